// The WANIPv6FirewallControl:1 actions of the program's own client.

#include "platform/DebugTrace.h"
#include "upnp/core/PinholeRequest.h"
#include "upnp/core/SoapRequest.h"
#include "upnp/core/TextFormat.h"
#include "upnp/core/UpnpClient.h"

#include <charconv>

namespace {

// Seconds one pinhole action may take: the router answers at once or not at all.
constexpr int kPinholeCycles = 10;

template <class Number> bool ReadNumber(const std::string& text, Number& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

bool UpnpClient::pinholeAction(const char* action, const std::string& arguments,
                               std::string& response)
{
    upnp_error = 0;
    last_error.clear();
    Endpoint endpoint;
    if (!controlEndpoint(endpoint))
        return false;
    if (soapExchange(endpoint, action, arguments, kPinholeCycles, response) !=
        SoapOutcome::Exchanged)
        return false;
    DebugTrace("%s response is %s\n", action, response.c_str());
    if (velmora::SoapAnswerIsSuccess(response))
        return true;
    upnp_error = velmora::SoapFaultCode(response);
    // An answer too long to keep comes back empty, with its reason.
    const bool unreadable =
        (response.empty() && !last_error.empty()) || (!response.empty() && upnp_error == 0);
    if (upnp_error != 0)
        fail(velmora::Format("%s refused (%s).\n", action,
                             velmora::DescribePinholeError(upnp_error).c_str()));
    else
        fail(velmora::Format(unreadable ? "Unreadable answer to %s.\n" : "No answer to %s.\n",
                             action));
    return false;
}

bool UpnpClient::GetFirewallStatus(bool& firewall_enabled, bool& inbound_pinhole_allowed)
{
    std::string response;
    if (!pinholeAction("GetFirewallStatus", "", response))
        return false;
    std::string enabled;
    std::string allowed;
    if (!velmora::ReadAnswerValue(response, "GetFirewallStatus", "FirewallEnabled", enabled) ||
        !velmora::ReadAnswerValue(response, "GetFirewallStatus", "InboundPinholeAllowed",
                                  allowed)) {
        fail("Fail to read the firewall status.\n");
        return false;
    }
    firewall_enabled = enabled == "1" || enabled == "true";
    inbound_pinhole_allowed = allowed == "1" || allowed == "true";
    status = UpnpStatus::ValueRead;
    return true;
}

bool UpnpClient::GetOutboundPinholeTimeout(const std::string& internal_client,
                                           uint16_t internal_port, int protocol, uint32_t& timeout)
{
    std::string response;
    if (!pinholeAction(
            "GetOutboundPinholeTimeout",
            velmora::OutboundPinholeTimeoutArguments(internal_client, internal_port, protocol),
            response))
        return false;
    std::string text;
    if (!velmora::ReadAnswerValue(response, "GetOutboundPinholeTimeout", "OutboundPinholeTimeout",
                                  text) ||
        !ReadNumber(text, timeout)) {
        fail("Fail to read the outbound pinhole timeout.\n");
        return false;
    }
    status = UpnpStatus::ValueRead;
    return true;
}

bool UpnpClient::AddPinhole(const std::string& internal_client, uint16_t internal_port,
                            int protocol, uint32_t lease_time, uint16_t& unique_id)
{
    std::string response;
    if (!pinholeAction(
            "AddPinhole",
            velmora::AddPinholeArguments(internal_client, internal_port, protocol, lease_time),
            response))
        return false;
    std::string text;
    if (!velmora::ReadAnswerValue(response, "AddPinhole", "UniqueID", text) ||
        !ReadNumber(text, unique_id)) {
        // Without its identifier the pinhole can be neither renewed nor closed.
        fail("Fail to read the pinhole's UniqueID.\n");
        return false;
    }
    status = UpnpStatus::MappingChanged;
    return true;
}

bool UpnpClient::UpdatePinhole(uint16_t unique_id, uint32_t lease_time)
{
    std::string response;
    if (!pinholeAction("UpdatePinhole", velmora::UpdatePinholeArguments(unique_id, lease_time),
                       response))
        return false;
    status = UpnpStatus::MappingChanged;
    return true;
}

bool UpnpClient::DeletePinhole(uint16_t unique_id)
{
    std::string response;
    if (!pinholeAction("DeletePinhole", velmora::UniqueIdArguments(unique_id), response))
        return false;
    status = UpnpStatus::MappingChanged;
    return true;
}

bool UpnpClient::CheckPinholeWorking(uint16_t unique_id, bool& working)
{
    std::string response;
    if (!pinholeAction("CheckPinholeWorking", velmora::UniqueIdArguments(unique_id), response))
        return false;
    std::string text;
    if (!velmora::ReadAnswerValue(response, "CheckPinholeWorking", "IsWorking", text)) {
        fail("Fail to read whether the pinhole works.\n");
        return false;
    }
    working = text == "1" || text == "true";
    status = UpnpStatus::ValueRead;
    return true;
}
