#pragma once

#include "upnp/core/MappingRecord.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class UpnpClient;

// The whole port-mapping table in few requests, with GetListOfPortMappings of
// the WANIPConnection:2 service.

namespace velmora {

inline constexpr char kWanIpConnection2[] = "urn:schemas-upnp-org:service:WANIPConnection:2";
// Entries asked for per request, and the most kept of one answer.
inline constexpr int kPortListingChunk = 1000;
// The most entries kept per protocol: one per port number.
inline constexpr size_t kMaxListedPerProtocol = 65535;

// The argument block of GetListOfPortMappings (all mappings, not only ours).
std::string PortListingArguments(uint16_t startPort, uint16_t endPort, std::string_view protocol,
                                 int count);

enum class PortListingAnswer
{
    Entries,  // `entries` holds the list, in the router's order
    NoneLeft, // the router has no mapping in the range (UPnP error 730 or 714)
    Refused,  // another error answer, or a list that cannot be read
};

// Reads a GetListOfPortMappings answer (the whole HTTP response): the
// NewPortListing element holds a PortMappingList document, escaped or as a
// CDATA section, that is parsed in turn. At most `limit` entries are kept,
// the first in the router's order.
PortListingAnswer ReadPortListing(const std::string& response, std::vector<MappingRecord>& entries,
                                  size_t limit = kPortListingChunk);

// The UPnP error code of a SOAP fault answer (UPnPError/errorCode), or 0.
int UpnpFaultCode(const std::string& response);

enum class BulkListing
{
    Read,         // the table is in `mappings` (also when it is empty)
    Refused,      // the router does not list this way (nothing read): ask entry by entry
    NoConnection, // unusable control URL or no connection
};

// Lists TCP then UDP mappings, ports 0-65535, in chunks of kPortListingChunk,
// into client.mappings (emptied first), handing the entries of each answer to
// client.mappings_added in one batch. Each protocol ends with a short answer,
// with kMaxListedPerProtocol entries, or with an answer whose ports do not
// lead past the range already asked for (the next request would ask again);
// the listing ends with client.max_listed entries. client.listing_end says
// whether the router had more (Capped at max_listed, Partial otherwise).
// Stops between two requests when the client's cancel flag is set.
BulkListing ListPortMappingsInBulk(UpnpClient& client);

// The table into client.mappings, handed to client.mappings_added as it
// comes: in bulk where the service is WANIPConnection:2, entry by entry
// (list_port_mappings) otherwise or when the router refuses the bulk request.
// False when the table could not be read (no usable endpoint, no connection).
bool ReadMappingTable(UpnpClient& client);

} // namespace velmora
