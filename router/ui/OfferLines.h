#pragma once

#include "router/core/RouterOffer.h"

#include <QString>

namespace velmora {

// The lines Router Info adds about what the router offers: how IPv4 ports
// are mapped, whether and how IPv6 pinholes are opened (and for which
// address), and whether the router's IPv6 firewall is on.
QString OfferLines(const OfferReport& report);

} // namespace velmora
