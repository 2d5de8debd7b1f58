#include "upnp/core/SoapActions.h"

#include "platform/Deadline.h"
#include "platform/DeadlineScale.h"
#include "platform/DebugTrace.h"
#include "platform/Utf8Text.h"
#include "upnp/core/SoapRequest.h"
#include "upnp/core/TextFormat.h"
#include "upnp/core/UpnpClient.h"
#include "upnp/core/UrlParts.h"
#include "upnp/core/XMLNode.h"

#include <cstring>

namespace velmora {

bool ReadExternalIPAddress(const std::string& response, std::string& address, std::string& error)
{
    const char* prefix = "Fail to get mapping info from response data.(NO ";
    XMLNode node = XMLNode::parseDocument(response.c_str(), "Envelope");
    if (node.empty()) {
        error = std::string(prefix) + "\"SOAP-ENV:Envelope\" node.)\n";
        return false;
    }
    // Each step down, with the name the failure message gives the missing node.
    const std::pair<const char*, const char*> path[] = {
        {"Body", "SOAP-ENV:Body"},
        {"GetExternalIPAddressResponse", "u:GetExternalIPAddressResponse"},
        {"NewExternalIPAddress", "NewExternalIPAddress"},
    };
    for (const auto& [child, shownName] : path) {
        node = node.findChild(child);
        if (node.empty()) {
            error = std::string(prefix) + "\"" + shownName + "\" node.)\n";
            return false;
        }
    }
    address = node.textAt(0) ? node.textAt(0) : "";
    return true;
}

} // namespace velmora

bool UpnpClient::controlEndpoint(Endpoint& endpoint)
{
    if (parseUrl(control_url, endpoint.host, endpoint.port, endpoint.path)) {
        DebugTrace("control_url is %s,host is %s,port is %d,path is %s\n", control_url.c_str(),
                   endpoint.host.c_str(), endpoint.port, endpoint.path.c_str());
        return true;
    }
    fail("Fail to parseURl: " + describe_url + "\n");
    DebugTrace("parseUrl error is %s\n", last_error.c_str());
    return false;
}

UpnpClient::SoapOutcome UpnpClient::soapExchange(const Endpoint& endpoint, const char* action,
                                                 const std::string& arguments, int cycles,
                                                 std::string& response)
{
    if (!tcp_connect(endpoint.host, endpoint.port))
        return SoapOutcome::NoConnection;
    const std::string request =
        velmora::BuildSoapRequest(endpoint.path, velmora::HostInHeader(endpoint.host),
                                  endpoint.port, service_type, action, arguments);
    DebugTrace("add port forwarding buffer is %s\n", request.c_str());
    response = http_exchange(request, "Envelope>", cycles);
    tcp_sock.close();
    return SoapOutcome::Exchanged;
}

bool UpnpClient::AddPortMapping(const std::string& mapping_description,
                                const std::string& internal_client, uint16_t external_port,
                                uint16_t internal_port, const std::string& protocol)
{
    Endpoint endpoint;
    if (!controlEndpoint(endpoint)) {
        DebugTrace("add port forwarding error 1\n");
        return false;
    }
    std::string response;
    const std::string arguments = velmora::AddPortMappingArguments(
        external_port, protocol, internal_port, internal_client, mapping_description);
    last_error.clear();
    // The exchange's own deadline (see http_exchange).
    const auto answerBy = velmora::DeadlineAfter(
        velmora::ScaledDeadline(std::chrono::milliseconds(add_answer_seconds * 1000)));
    if (soapExchange(endpoint, "AddPortMapping", arguments, add_answer_seconds, response) !=
        SoapOutcome::Exchanged) {
        DebugTrace("add port forwarding error 2\n");
        return false;
    }
    if (response.empty() && last_error.empty() &&
        velmora::TimeLeft(answerBy) == velmora::SteadyClock::duration::zero()) {
        // The router took the request and let it run to its deadline.
        fail(velmora::Format("%s%s:%i\n", kNoAnswer, endpoint.host.c_str(), endpoint.port));
        return false;
    }
    DebugTrace("add port forwarding resp buffer is %s\n", response.c_str());
    if (!velmora::SoapAnswerIsSuccess(response)) {
        fail(velmora::Format("Fail to add port mapping (%s/%s)\n", mapping_description.c_str(),
                             protocol.c_str()));
        return false;
    }
    status = UpnpStatus::MappingChanged;
    return true;
}

bool UpnpClient::DeletePortMapping(uint16_t external_port, const std::string& protocol)
{
    Endpoint endpoint;
    if (!controlEndpoint(endpoint))
        return false;
    std::string response;
    if (soapExchange(endpoint, "DeletePortMapping",
                     velmora::DeletePortMappingArguments(external_port, protocol), 10,
                     response) != SoapOutcome::Exchanged)
        return false;
    DebugTrace("delet response is %s\n", response.c_str());
    if (!velmora::SoapAnswerIsSuccess(response)) {
        fail(velmora::Format("Fail to del port mapping (%s/%u)\n", protocol.c_str(),
                             static_cast<unsigned>(external_port)));
        return false;
    }
    status = UpnpStatus::MappingChanged;
    return true;
}

bool UpnpClient::GetExternalIPAddress(char* buffer, size_t size)
{
    if (!buffer || size == 0) {
        fail("Fail to get router internet ip.\n");
        return false;
    }
    Endpoint endpoint;
    if (!controlEndpoint(endpoint))
        return false;
    std::string response;
    if (soapExchange(endpoint, "GetExternalIPAddress", "", 10, response) != SoapOutcome::Exchanged)
        return false;
    if (!velmora::SoapAnswerIsSuccess(response)) {
        fail("Fail to get router internet ip.\n");
        return false;
    }
    std::string address;
    std::string error;
    if (!velmora::ReadExternalIPAddress(response, address, error)) {
        fail(error);
        return false;
    }
    // A text longer than the buffer is cut on a character boundary.
    const size_t length = velmora::Utf8CutLength(address, size - 1);
    std::memcpy(buffer, address.data(), length);
    buffer[length] = '\0';
    status = UpnpStatus::ValueRead;
    return true;
}
