#pragma once

#include "forwarding/core/RouterMappings.h"

#include <atomic>
#include <functional>

namespace velmora {

// How reading a router's whole mapping table ended.
enum class RouterTableRead
{
    Read,      // every row the router gave has been handed on (or `cancel` was set)
    NoAnswer,  // the first request got no usable answer (none, or not a SOAP one)
    Incomplete, // a later request got no usable answer, or the router refused the rest
    Capped      // kMaxListedMappings rows were handed on and the router had more
};

// The router's whole port-mapping table, each row handed to `onRow` as it
// comes: in bulk with the program's own client (GetListOfPortMappings) where
// the service is WANIPConnection:2 and the router takes it, else entry by
// entry through miniupnpc, as the ports list reads it. Blocks; every request
// has its own deadline, and `cancel` stops the reading between two of them.
RouterTableRead ReadRouterTable(const RouterEndpoint& router, const std::atomic<bool>& cancel,
                                const std::function<void(const PortMappingRow&)>& onRow);

} // namespace velmora
