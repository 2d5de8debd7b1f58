#include "platform/DebugTrace.h"
#include "upnp/core/SoapRequest.h"
#include "upnp/core/TextFormat.h"
#include "upnp/core/UpnpClient.h"
#include "upnp/core/XMLNode.h"

#include <cstdio>
#include <string>
#include <string_view>

bool UpnpClient::list_port_mappings()
{
    mappings.clear();
    listing_end = ListingEnd::Complete;
    Endpoint endpoint;
    if (!controlEndpoint(endpoint))
        return false;
    for (int index = 0; !cancelled(); ++index) {
        if (index >= max_listed) {
            // A router that keeps answering with new entries: stop here.
            fail(velmora::Format("Totally %i mapping entries.\n", index));
            listing_end = ListingEnd::Capped;
            break;
        }
        std::string response;
        if (soapExchange(endpoint, "GetGenericPortMappingEntry",
                         velmora::GenericPortMappingEntryArguments(index), 10,
                         response) != SoapOutcome::Exchanged) {
            DebugTrace("tcp_connect error ret is %d\n", -1);
            return false;
        }
        last_response = std::move(response);
        DebugTrace("get port forwarding info resp is %s\n", last_response.c_str());
        if (!velmora::SoapAnswerIsSuccess(last_response)) {
            // The router's error answer after its last entry ends the table.
            fail(velmora::Format("Totally %i mapping entries.\n", index));
            break;
        }
        if (!parse_mapping_info()) {
            DebugTrace("parse_mapping_info error\n");
            break;
        }
        std::printf("mapping[%d]:%s\n", index, mapping_lines.back().c_str());
        status = UpnpStatus::ValueRead;
    }
    return true;
}

bool UpnpClient::parse_mapping_info()
{
    static constexpr std::string_view kPrefix = "Fail to get mapping info from response data.(NO ";
    const auto missing = [this](std::string_view element) {
        std::string message(kPrefix);
        message.append(element).append(" node.)\n");
        fail(std::move(message));
        return false;
    };
    XMLNode envelope = XMLNode::parseDocument(last_response.c_str(), "Envelope");
    if (envelope.empty())
        return missing("\"SOAP-ENV:Envelope\"");
    XMLNode body = envelope.findChild("Body");
    if (body.empty())
        return missing("\"SOAP-ENV:Body\"");
    XMLNode answer = body.findChild("GetGenericPortMappingEntryResponse");
    if (answer.empty())
        return missing("\"u:GetGenericPortMappingEntryResponse\"");

    MappingRecord record;
    const struct
    {
        const char* element;
        std::string* field;
    } kFields[] = {{"NewExternalPort", &record.external_port},
                   {"NewProtocol", &record.protocol},
                   {"NewInternalPort", &record.internal_port},
                   {"NewInternalClient", &record.internal_client},
                   {"NewPortMappingDescription", &record.mapping_desc}};
    for (const auto& field : kFields) {
        XMLNode element = answer.findChild(field.element);
        if (element.empty())
            return missing(std::string("\"") + field.element + "\"");
        if (const char* text = element.textAt(0))
            field.field->assign(text);
    }
    // "port/protocol[description]-->client:port"
    std::string line;
    line.reserve(16 + record.external_port.size() + record.protocol.size() +
                 record.mapping_desc.size() + record.internal_client.size() +
                 record.internal_port.size());
    line.append(record.external_port)
        .append("/")
        .append(record.protocol)
        .append("[")
        .append(record.mapping_desc)
        .append("]-->")
        .append(record.internal_client)
        .append(":")
        .append(record.internal_port)
        .append("\r\n");
    mapping_lines.push_back(std::move(line));
    DebugTrace("mapping_info is %s\n", mapping_lines.back().c_str());

    // A router that answers past its last entry with that entry again.
    if (!mappings.empty() && mappings.back() == record) {
        DebugTrace("duplicated port mappings\n");
        return false;
    }
    mappings.push_back(std::move(record));
    if (mappings_added)
        mappings_added(std::span<const MappingRecord>(&mappings.back(), 1));
    return true;
}
