#include "upnp/core/PortMappingList.h"

#include "platform/DebugTrace.h"
#include "upnp/core/SoapRequest.h"
#include "upnp/core/UpnpClient.h"
#include "upnp/core/UrlParts.h"
#include "upnp/core/XMLNode.h"

#include <algorithm>
#include <optional>
#include <span>

namespace velmora {

namespace {

// Exchange time of one bulk request, in one-second cycles.
constexpr int kBulkCycles = 30;
// More requests than a full table in chunks needs: a bound for a router that
// keeps answering with full chunks.
constexpr int kMaxRequestsPerProtocol = 65536 / kPortListingChunk + 2;

std::string TextOf(const XMLNode& node)
{
    const char* text = node.textAt(0);
    return text ? text : "";
}

// A port number written in decimal digits only, or nothing.
std::optional<long> PortNumber(const std::string& text)
{
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value <= 65535 ? std::optional<long>(value) : std::nullopt;
}

// The embedded list: the CDATA section when there is one, else the
// (entity-decoded) text.
std::string EmbeddedList(const XMLNode& listing)
{
    for (int i = 0; i < listing.clearCount(); ++i) {
        const XMLClearSection* section = listing.clearAt(i);
        if (section && std::string_view(section->openTag) == "<![CDATA[")
            return section->content;
    }
    return TextOf(listing);
}

} // namespace

std::string PortListingArguments(uint16_t startPort, uint16_t endPort, std::string_view protocol,
                                 int count)
{
    std::string out;
    out.reserve(256);
    out.append("<NewStartPort>")
        .append(std::to_string(startPort))
        .append("</NewStartPort>\r\n<NewEndPort>")
        .append(std::to_string(endPort))
        .append("</NewEndPort>\r\n<NewProtocol>")
        .append(XmlEscape(protocol))
        .append("</NewProtocol>\r\n<NewManage>1</NewManage>\r\n<NewNumberOfPorts>")
        .append(std::to_string(count))
        .append("</NewNumberOfPorts>\r\n");
    return out;
}

int UpnpFaultCode(const std::string& response)
{
    XMLNode envelope = XMLNode::parseDocument(response.c_str(), "Envelope");
    XMLNode code = envelope.findChild("Body")
                       .findChild("Fault")
                       .findChild("detail")
                       .findChild("UPnPError")
                       .findChild("errorCode");
    // Error codes are 3 digits; anything longer is no code we know.
    const std::string text = TextOf(code);
    if (text.empty() || text.size() > 4)
        return 0;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

PortListingAnswer ReadPortListing(const std::string& response, std::vector<MappingRecord>& entries,
                                  size_t limit)
{
    entries.clear();
    if (!SoapAnswerIsSuccess(response)) {
        const int code = UpnpFaultCode(response);
        return code == 730 || code == 714 ? PortListingAnswer::NoneLeft
                                          : PortListingAnswer::Refused;
    }
    XMLNode envelope = XMLNode::parseDocument(response.c_str(), "Envelope");
    XMLNode listing = envelope.findChild("Body")
                          .findChild("GetListOfPortMappingsResponse")
                          .findChild("NewPortListing");
    if (listing.empty())
        return PortListingAnswer::Refused;
    const std::string embedded = EmbeddedList(listing);
    XMLNode list = XMLNode::parseDocument(embedded.c_str(), "PortMappingList");
    if (list.empty())
        return PortListingAnswer::Refused;
    int cursor = 0;
    for (XMLNode entry = list.nextChild("PortMappingEntry", &cursor);
         !entry.empty() && entries.size() < limit;
         entry = list.nextChild("PortMappingEntry", &cursor)) {
        MappingRecord record;
        record.mapping_desc = TextOf(entry.findChild("NewDescription"));
        record.protocol = TextOf(entry.findChild("NewProtocol"));
        record.external_port = TextOf(entry.findChild("NewExternalPort"));
        record.internal_client = TextOf(entry.findChild("NewInternalClient"));
        record.internal_port = TextOf(entry.findChild("NewInternalPort"));
        entries.push_back(std::move(record));
    }
    return PortListingAnswer::Entries;
}

BulkListing ListPortMappingsInBulk(UpnpClient& client)
{
    using End = UpnpClient::ListingEnd;
    client.mappings.clear();
    client.listing_end = End::Complete;
    std::string host;
    std::string path;
    uint16_t port = 0;
    if (!parseUrl(client.control_url, host, port, path))
        return BulkListing::NoConnection;
    const auto cancelled = [&client] { return client.cancel && client.cancel->load(); };
    const size_t most = static_cast<size_t>(std::max(client.max_listed, 0));
    for (const char* protocol : {"TCP", "UDP"}) {
        long start = 0;
        size_t listed = 0; // entries of this protocol kept so far
        for (int request = 0; request < kMaxRequestsPerProtocol && start <= 65535; ++request) {
            if (cancelled())
                return BulkListing::Read;
            if (!client.tcp_connect(host, port))
                return BulkListing::NoConnection;
            const std::string arguments = PortListingArguments(static_cast<uint16_t>(start), 65535,
                                                               protocol, kPortListingChunk);
            const std::string response =
                client.http_exchange(BuildSoapRequest(path, host, port, client.service_type,
                                                      "GetListOfPortMappings", arguments),
                                     "Envelope>", kBulkCycles);
            client.tcp_sock.close();
            // What is kept of the answer: what was asked, within both bounds.
            // One entry more tells whether the router had more than that.
            const size_t room = std::min(kMaxListedPerProtocol - listed,
                                         most - std::min(most, client.mappings.size()));
            const size_t wanted = std::min<size_t>(kPortListingChunk, room);
            std::vector<MappingRecord> entries;
            const PortListingAnswer answer = ReadPortListing(response, entries, wanted + 1);
            if (answer == PortListingAnswer::Refused) {
                DebugTrace("GetListOfPortMappings refused\n");
                // Entries already handed on stay: asking again entry by entry
                // would hand them on twice. The list says it is not complete.
                if (client.mappings.empty())
                    return BulkListing::Refused;
                client.listing_end = End::Partial;
                return BulkListing::Read;
            }
            if (answer == PortListingAnswer::NoneLeft)
                break;
            const bool more = entries.size() > wanted;
            entries.resize(std::min(entries.size(), wanted));
            // Where the next request starts: above the highest port of the
            // range that this answer covered. Ports that cannot be read, or
            // lie below the range asked for, lead nowhere.
            long highest = -1;
            for (const MappingRecord& entry : entries) {
                if (const auto number = PortNumber(entry.external_port); number && *number >= start)
                    highest = std::max(highest, *number);
            }
            const size_t first = client.mappings.size();
            client.mappings.insert(client.mappings.end(), std::make_move_iterator(entries.begin()),
                                   std::make_move_iterator(entries.end()));
            listed += entries.size();
            if (client.mappings_added && client.mappings.size() > first)
                client.mappings_added(
                    std::span<const MappingRecord>(client.mappings).subspan(first));
            if (more && wanted == room) {
                // A bound is reached and the router has more: the whole
                // listing's (max_listed), or this protocol's, which no
                // router that keeps one mapping per port can pass.
                if (client.mappings.size() >= most) {
                    client.listing_end = End::Capped;
                    return BulkListing::Read;
                }
                client.listing_end = End::Partial;
                break;
            }
            if (entries.size() < wanted)
                break; // the last chunk
            if (highest < start) {
                // The router claims more but its ports lead no further.
                DebugTrace("GetListOfPortMappings: an answer without progress\n");
                client.listing_end = End::Partial;
                break;
            }
            start = highest + 1; // a full chunk: the rest lies above its highest port
        }
    }
    return BulkListing::Read;
}

bool ReadMappingTable(UpnpClient& client)
{
    if (client.service_type == kWanIpConnection2) {
        const BulkListing bulk = ListPortMappingsInBulk(client);
        if (bulk == BulkListing::Read)
            return true;
        if (bulk == BulkListing::NoConnection)
            return false;
    }
    return client.list_port_mappings();
}

} // namespace velmora
