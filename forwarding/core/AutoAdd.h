#pragma once

#include "config/core/Records.h"
#include "forwarding/core/MappingInstaller.h"
#include "forwarding/core/MonitorFindings.h"

#include <vector>

namespace velmora {

// The entries installed without a dialog each time a router is found: those
// whose type is "Y", in list order.
std::vector<ForwardingEntry> AutoAddEntries(const std::vector<ForwardingEntry>& entries);

// What one auto add run did, as the activity log and one balloon tell it: a
// line per entry and outcome, after a line about port numbers never sent.
MonitorReport AutoAddReport(const MappingPlan& plan, const InstallResult& result);

} // namespace velmora
