#include "forwarding/core/RouterTable.h"

#include "forwarding/core/ProgramUpnpClient.h"
#include "upnp/core/PortMappingList.h"
#include "upnp/core/UpnpClient.h"

#include <miniupnpc/upnpcommands.h>
#include <span>

namespace velmora {

namespace {

PortMappingRow RowOf(const MappingRecord& record)
{
    PortMappingRow row;
    row.description = record.mapping_desc;
    row.protocol = record.protocol;
    row.externalPort = record.external_port;
    row.internalClient = record.internal_client;
    row.internalPort = record.internal_port;
    return row;
}

} // namespace

RouterTableRead ReadRouterTable(const RouterEndpoint& router, const std::atomic<bool>& cancel,
                                const std::function<void(const PortMappingRow&)>& onRow)
{
    if (router.serviceType == kWanIpConnection2) {
        UpnpClient client;
        client.init_client(ProgramUpnpClient::kConnectAttempts);
        client.setRouterInfo(RouterInfo::forService(router.controlUrl, router.serviceType));
        client.cancel = &cancel;
        client.mappings_added = [&](std::span<const MappingRecord> records) {
            for (const MappingRecord& record : records)
                onRow(RowOf(record));
        };
        switch (ListPortMappingsInBulk(client)) {
        case BulkListing::Read:
            switch (client.listing_end) {
            case UpnpClient::ListingEnd::Complete:
                return RouterTableRead::Read;
            case UpnpClient::ListingEnd::Capped:
                return RouterTableRead::Capped;
            case UpnpClient::ListingEnd::Partial:
                return RouterTableRead::Incomplete;
            }
            return RouterTableRead::Read;
        case BulkListing::NoConnection:
            return RouterTableRead::NoAnswer;
        case BulkListing::Refused:
            break; // asked entry by entry below
        }
    }
    // As ListPortMappings, but the end of the table (the router's UPnP error,
    // a positive code) is told apart from no usable answer (miniupnpc's own
    // negative codes).
    for (int index = 0; !cancel.load(); ++index) {
        PortMappingRow row;
        const int code = GetGenericPortMapping(router, index, row);
        if (code < 0)
            return index == 0 ? RouterTableRead::NoAnswer : RouterTableRead::Incomplete;
        if (code != UPNPCOMMAND_SUCCESS)
            break;
        if (index == kMaxListedMappings)
            return RouterTableRead::Capped;
        onRow(row);
    }
    return RouterTableRead::Read;
}

} // namespace velmora
