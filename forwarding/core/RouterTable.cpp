#include "forwarding/core/RouterTable.h"

#include "forwarding/core/ProgramUpnpClient.h"
#include "upnp/core/PortMappingList.h"
#include "upnp/core/UpnpClient.h"

#include <miniupnpc/upnpcommands.h>

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
        client.mapping_added = [&](const MappingRecord& record) { onRow(RowOf(record)); };
        switch (ListPortMappingsInBulk(client)) {
        case BulkListing::Read:
            return RouterTableRead::Read;
        case BulkListing::NoConnection:
            return RouterTableRead::NoConnection;
        case BulkListing::Refused:
            break; // asked entry by entry below
        }
    }
    // As ListPortMappings, but a first request that reaches nobody is told
    // apart from an empty table (which the router answers with an error).
    for (int index = 0; index < kMaxListedMappings && !cancel.load(); ++index) {
        PortMappingRow row;
        const int code = GetGenericPortMapping(router, index, row);
        if (code == UPNPCOMMAND_HTTP_ERROR && index == 0)
            return RouterTableRead::NoConnection;
        if (code != UPNPCOMMAND_SUCCESS)
            break;
        onRow(row);
    }
    return RouterTableRead::Read;
}

} // namespace velmora
