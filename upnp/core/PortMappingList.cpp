#include "upnp/core/PortMappingList.h"

#include "platform/DebugTrace.h"
#include "upnp/core/SoapRequest.h"
#include "upnp/core/UpnpClient.h"
#include "upnp/core/UrlParts.h"
#include "upnp/core/XMLNode.h"

#include <algorithm>
#include <cstdlib>

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

// The UPnP error code of a SOAP fault answer, or 0.
int FaultCode(const std::string& response)
{
    XMLNode envelope = XMLNode::parseDocument(response.c_str(), "Envelope");
    XMLNode code = envelope.findChild("Body")
                       .findChild("Fault")
                       .findChild("detail")
                       .findChild("UPnPError")
                       .findChild("errorCode");
    return code.empty() ? 0 : std::atoi(TextOf(code).c_str());
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

PortListingAnswer ReadPortListing(const std::string& response, std::vector<MappingRecord>& entries)
{
    entries.clear();
    if (!SoapAnswerIsSuccess(response)) {
        const int code = FaultCode(response);
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
    for (XMLNode entry = list.nextChild("PortMappingEntry", &cursor); !entry.empty();
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
    client.mappings.clear();
    client.listing_end = UpnpClient::ListingEnd::Complete;
    std::string host;
    std::string path;
    uint16_t port = 0;
    if (!parseUrl(client.control_url, host, port, path))
        return BulkListing::NoConnection;
    const auto cancelled = [&client] { return client.cancel && client.cancel->load(); };
    for (const char* protocol : {"TCP", "UDP"}) {
        long start = 0;
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
            std::vector<MappingRecord> entries;
            const PortListingAnswer answer = ReadPortListing(response, entries);
            if (answer == PortListingAnswer::Refused) {
                DebugTrace("GetListOfPortMappings refused\n");
                // Entries already handed on stay: asking again entry by entry
                // would hand them on twice. The list says it is not complete.
                if (client.mappings.empty())
                    return BulkListing::Refused;
                client.listing_end = UpnpClient::ListingEnd::Partial;
                return BulkListing::Read;
            }
            if (answer == PortListingAnswer::NoneLeft)
                break;
            long highest = start;
            for (MappingRecord& entry : entries) {
                if (client.mappings.size() >= static_cast<size_t>(client.max_listed)) {
                    client.listing_end = UpnpClient::ListingEnd::Capped;
                    return BulkListing::Read;
                }
                highest = std::max(highest, std::atol(entry.external_port.c_str()));
                client.mappings.push_back(std::move(entry));
                if (client.mapping_added)
                    client.mapping_added(client.mappings.back());
            }
            if (entries.size() < static_cast<size_t>(kPortListingChunk))
                break;
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
