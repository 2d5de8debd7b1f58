#include "upnp/core/PinholeRequest.h"

#include "upnp/core/SoapRequest.h"
#include "upnp/core/XMLNode.h"

#include <charconv>

namespace velmora {
namespace {

std::string Element(const char* name, std::string_view value)
{
    return std::string("<") + name + ">" + XmlEscape(value) + "</" + name + ">\r\n";
}

std::string Element(const char* name, uint64_t value)
{
    return Element(name, std::to_string(value));
}

std::string TextOf(const XMLNode& node)
{
    const char* text = node.textAt(0);
    return text ? text : "";
}

} // namespace

std::string AddPinholeArguments(std::string_view internalClient, uint16_t internalPort,
                                int protocol, uint32_t leaseTime)
{
    return "<RemoteHost></RemoteHost>\r\n" + Element("RemotePort", 0) +
           Element("InternalClient", internalClient) + Element("InternalPort", internalPort) +
           Element("Protocol", static_cast<uint64_t>(protocol)) + Element("LeaseTime", leaseTime);
}

std::string UpdatePinholeArguments(uint16_t uniqueId, uint32_t leaseTime)
{
    return Element("UniqueID", uniqueId) + Element("NewLeaseTime", leaseTime);
}

std::string UniqueIdArguments(uint16_t uniqueId)
{
    return Element("UniqueID", uniqueId);
}

std::string OutboundPinholeTimeoutArguments(std::string_view internalClient, uint16_t internalPort,
                                            int protocol)
{
    return "<RemoteHost></RemoteHost>\r\n" + Element("RemotePort", 0) +
           Element("InternalClient", internalClient) + Element("InternalPort", internalPort) +
           Element("Protocol", static_cast<uint64_t>(protocol));
}

bool ReadAnswerValue(const std::string& response, const char* action, const char* element,
                     std::string& value)
{
    const std::string answer = std::string(action) + "Response";
    XMLNode node = XMLNode::parseDocument(response.c_str(), "Envelope")
                       .findChild("Body")
                       .findChild(answer.c_str())
                       .findChild(element);
    if (node.empty())
        return false;
    value = TextOf(node);
    return true;
}

int SoapFaultCode(const std::string& response)
{
    const XMLNode code = XMLNode::parseDocument(response.c_str(), "Envelope")
                             .findChild("Body")
                             .findChild("Fault")
                             .findChild("detail")
                             .findChild("UPnPError")
                             .findChild("errorCode");
    const std::string text = TextOf(code);
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string DescribePinholeError(int code)
{
    struct Name
    {
        int code;
        const char* text;
    };
    static const Name kNames[] = {
        {401, "Invalid Action"},
        {402, "Invalid Args"},
        {501, "Action Failed"},
        {606, "Action not authorized"},
        {701, "PinholeSpaceExhausted"},
        {702, "FirewallDisabled"},
        {703, "InboundPinholeNotAllowed"},
        {704, "NoSuchEntry"},
        {705, "ProtocolNotSupported"},
        {706, "InternalPortWildcardingNotAllowed"},
        {707, "ProtocolWildcardingNotAllowed"},
        {708, "InvalidLayer3Address"},
        {709, "NoTrafficReceived"},
    };
    for (const Name& name : kNames) {
        if (name.code == code)
            return std::to_string(code) + " " + name.text;
    }
    return "error " + std::to_string(code);
}

} // namespace velmora
