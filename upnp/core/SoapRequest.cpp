#include "upnp/core/SoapRequest.h"

#include "upnp/core/TextFormat.h"

namespace velmora {

std::string XmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

std::string BuildSoapBody(std::string_view action, std::string_view serviceType,
                          std::string_view arguments)
{
    const std::string type = XmlEscape(serviceType);
    std::string body;
    body.reserve(280 + 2 * action.size() + type.size() + arguments.size());
    body.append("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<s:Envelope xmlns:s=\"")
        .append("http://schemas.xmlsoap.org/soap/envelope/")
        .append("\" s:encodingStyle=\"")
        .append("http://schemas.xmlsoap.org/soap/encoding/")
        .append("\">\r\n<s:Body>\r\n<u:")
        .append(action)
        .append(" xmlns:u=\"")
        .append(type)
        .append("\">\r\n")
        .append(arguments)
        .append("</u:")
        .append(action)
        .append(">\r\n</s:Body>\r\n</s:Envelope>\r\n");
    return body;
}

std::string BuildSoapRequest(std::string_view path, std::string_view host, uint16_t port,
                             std::string_view serviceType, std::string_view action,
                             std::string_view arguments)
{
    const std::string body = BuildSoapBody(action, serviceType, arguments);
    std::string request;
    request.reserve(160 + path.size() + host.size() + serviceType.size() + action.size() +
                    body.size());
    request.append("POST ")
        .append(path)
        .append(" HTTP/1.1\r\nHOST: ")
        .append(host)
        .append(":")
        .append(std::to_string(port))
        .append("\r\nSOAPACTION:\"")
        .append(serviceType)
        .append("#")
        .append(action)
        .append("\"\r\nCONTENT-TYPE: text/xml ; charset=\"utf-8\"\r\nContent-Length: ")
        .append(std::to_string(body.size()))
        .append(" \r\n\r\n")
        .append(body);
    return request;
}

std::string AddPortMappingArguments(uint16_t externalPort, std::string_view protocol,
                                    uint16_t internalPort, std::string_view internalClient,
                                    std::string_view description)
{
    const std::string proto = XmlEscape(protocol);
    const std::string client = XmlEscape(internalClient);
    const std::string desc = XmlEscape(description);
    return Format("<NewRemoteHost></NewRemoteHost>\r\n"
                  "<NewExternalPort>%u</NewExternalPort>\r\n"
                  "<NewProtocol>%s</NewProtocol>\r\n"
                  "<NewInternalPort>%u</NewInternalPort>\r\n"
                  "<NewInternalClient>%s</NewInternalClient>\r\n"
                  "<NewEnabled>1</NewEnabled>\r\n"
                  "<NewPortMappingDescription>%s</NewPortMappingDescription>\r\n"
                  "<NewLeaseDuration>0</NewLeaseDuration>\r\n",
                  static_cast<unsigned>(externalPort), proto.c_str(),
                  static_cast<unsigned>(internalPort), client.c_str(), desc.c_str());
}

std::string DeletePortMappingArguments(uint16_t externalPort, std::string_view protocol)
{
    const std::string proto = XmlEscape(protocol);
    return Format("<NewRemoteHost></NewRemoteHost>\r\n"
                  "<NewExternalPort>%u</NewExternalPort>\r\n"
                  "<NewProtocol>%s</NewProtocol>\r\n",
                  static_cast<unsigned>(externalPort), proto.c_str());
}

std::string GenericPortMappingEntryArguments(int index)
{
    return Format("<NewPortMappingIndex>%i</NewPortMappingIndex>"
                  "<NewRemoteHost></NewRemoteHost>\r\n"
                  "<NewExternalPort></NewExternalPort>\r\n"
                  "<NewProtocol></NewProtocol>\r\n"
                  "<NewInternalPort></NewInternalPort>\r\n"
                  "<NewInternalClient></NewInternalClient>\r\n"
                  "<NewEnabled>1</NewEnabled>\r\n"
                  "<NewPortMappingDescription></NewPortMappingDescription>\r\n"
                  "<NewLeaseDuration></NewLeaseDuration>\r\n",
                  index);
}

bool SoapAnswerIsSuccess(std::string_view response)
{
    // "HTTP/1.0 200 ..." or "HTTP/1.1 200 ..."
    if (!response.starts_with("HTTP/1.") || response.size() < 13)
        return false;
    const std::string_view code = response.substr(8, 5);
    if (code != " 200 " && code != " 200\r")
        return false;
    return response.find("Envelope>") != std::string_view::npos;
}

} // namespace velmora
