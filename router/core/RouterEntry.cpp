#include "router/core/RouterEntry.h"

RouterEntry::~RouterEntry()
{
    if (!is_apple)
        FreeUPNPUrls(&urls);
    if (natpmp_open)
        closenatpmp(&natpmp);
}

namespace velmora {

in_addr_t NatPmpGatewayOf(RouterEntry& router)
{
    std::lock_guard lock(router.natpmp_mutex);
    return router.is_apple && router.natpmp_open ? router.natpmp.gateway : 0;
}

} // namespace velmora
