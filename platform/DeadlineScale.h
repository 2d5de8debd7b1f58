#pragma once

#include <chrono>

namespace velmora {

// The program's own deadlines for a router's answers (the scan, Router Info,
// the ports list's stall, the port check, each search wait and exchange of
// the own UPnP client) are taken through ScaledDeadline at their nominal
// length. The
// environment variable VELMORA_DEADLINE_SCALE, a factor from 0.01 to 1 read
// once, shortens them all together: the hostile-router tests set it, so that
// a silent or trickling router is given up within seconds. Unset, or not such
// a factor: 1.
double DeadlineScale();

template <typename Rep, typename Period>
std::chrono::duration<Rep, Period> ScaledDeadline(std::chrono::duration<Rep, Period> nominal)
{
    return std::chrono::duration_cast<std::chrono::duration<Rep, Period>>(nominal *
                                                                          DeadlineScale());
}

} // namespace velmora
