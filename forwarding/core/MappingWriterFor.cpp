#include "forwarding/core/MappingWriterFor.h"

#include "forwarding/core/LeaseWriter.h"
#include "forwarding/core/NatPmpMappingWriter.h"
#include "forwarding/core/RouterMappings.h"
#include "forwarding/core/UpnpMappingWriter.h"
#include "router/core/RouterEntry.h"

namespace velmora {

std::unique_ptr<MappingWriter> MappingWriterFor(RouterEntry& router,
                                                std::shared_ptr<NatPmpLeaseKeeper> leases,
                                                uint32_t natPmpLifetime,
                                                std::shared_ptr<LeaseBook> book)
{
    if (const LeaseRoute pcp = PcpMappingRouteOf(router); pcp && book)
        return std::make_unique<LeaseWriter>(pcp, std::move(book), natPmpLifetime);
    if (router.is_apple) {
        // Each request goes out on a handle of its own; the scan's handle
        // only tells where the gateway is.
        return std::make_unique<NatPmpMappingWriter>(NatPmpGatewayOf(router), std::move(leases),
                                                     natPmpLifetime);
    }
    return std::make_unique<UpnpMappingWriter>(EndpointOf(router));
}

} // namespace velmora
