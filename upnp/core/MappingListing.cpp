#include "platform/DebugTrace.h"
#include "upnp/core/SoapRequest.h"
#include "upnp/core/TextFormat.h"
#include "upnp/core/UpnpClient.h"
#include "upnp/core/XMLNode.h"

#include <cstdio>

bool UpnpClient::list_port_mappings()
{
    mappings.clear();
    Endpoint endpoint;
    if (!controlEndpoint(endpoint))
        return false;
    for (int index = 0;; ++index) {
        if (index > kMaxMappingIndex) {
            // A router that keeps answering with new entries: stop here.
            fail(velmora::Format("Totally %i mapping entries.\n", index));
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
    const std::string prefix = "Fail to get mapping info from response data.(NO ";
    XMLNode envelope = XMLNode::parseDocument(last_response.c_str(), "Envelope");
    if (envelope.empty()) {
        fail(prefix + "\"SOAP-ENV:Envelope\" node.)\n");
        return false;
    }
    XMLNode body = envelope.findChild("Body");
    if (body.empty()) {
        fail(prefix + "\"SOAP-ENV:Body\" node.)\n");
        return false;
    }
    XMLNode answer = body.findChild("GetGenericPortMappingEntryResponse");
    if (answer.empty()) {
        fail(prefix + "\"u:GetGenericPortMappingEntryResponse\" node.)\n");
        return false;
    }

    static const char* const kElements[] = {"NewExternalPort", "NewProtocol", "NewInternalPort",
                                            "NewInternalClient", "NewPortMappingDescription"};
    std::string values[5];
    for (int i = 0; i < 5; ++i) {
        XMLNode element = answer.findChild(kElements[i]);
        if (element.empty()) {
            fail(prefix + "\"" + kElements[i] + "\" node.)\n");
            return false;
        }
        values[i] = element.textAt(0) ? element.textAt(0) : "";
    }
    MappingRecord record{values[4], values[1], values[0], values[3], values[2]};
    mapping_lines.push_back(velmora::Format(
        "%s/%s[%s]-->%s:%s\r\n", record.external_port.c_str(), record.protocol.c_str(),
        record.mapping_desc.c_str(), record.internal_client.c_str(), record.internal_port.c_str()));
    DebugTrace("mapping_info is %s\n", mapping_lines.back().c_str());

    // A router that answers past its last entry with that entry again.
    if (!mappings.empty() && mappings.back() == record) {
        DebugTrace("duplicated port mappings\n");
        return false;
    }
    mappings.push_back(std::move(record));
    return true;
}
