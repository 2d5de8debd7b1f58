#pragma once

#include "forwarding/core/MappingInstaller.h"

#include <QString>
#include <QStringList>

namespace velmora {

// The message that ends an Add into Router run that also opened IPv6
// pinholes: what was installed over IPv4, what was opened over IPv6 and for
// which address, and why what failed failed.
QString DualStackOutcomeText(const InstallResult& result);

} // namespace velmora
