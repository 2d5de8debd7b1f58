#include "upnp/core/SoapRequest.h"

#include "upnp/core/HttpAnswerEnd.h"

#include <array>
#include <charconv>

namespace velmora {

namespace {

// The characters XmlEscape replaces.
constexpr std::array<bool, 256> MakeEscaped()
{
    std::array<bool, 256> escaped{};
    for (const char c : {'&', '<', '>', '"', '\''})
        escaped[static_cast<unsigned char>(c)] = true;
    return escaped;
}
constexpr std::array<bool, 256> kEscaped = MakeEscaped();

// Appends `text` with & < > " ' replaced by their entity references; runs
// without them are copied whole.
void AppendXmlEscaped(std::string& out, std::string_view text)
{
    size_t from = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (!kEscaped[static_cast<unsigned char>(c)])
            continue;
        out.append(text.substr(from, at - from));
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
        default:
            out += "&apos;";
            break;
        }
        from = at + 1;
    }
    out.append(text.substr(from));
}

} // namespace

std::string XmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendXmlEscaped(out, text);
    return out;
}

namespace {

// The envelope's fixed pieces, around the action, service type and arguments.
constexpr std::string_view kBodyHead =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<s:Envelope xmlns:s=\""
    "http://schemas.xmlsoap.org/soap/envelope/"
    "\" s:encodingStyle=\""
    "http://schemas.xmlsoap.org/soap/encoding/"
    "\">\r\n<s:Body>\r\n<u:";
constexpr std::string_view kBodyNamespace = " xmlns:u=\"";
constexpr std::string_view kBodyArguments = "\">\r\n";
constexpr std::string_view kBodyClose = "</u:";
constexpr std::string_view kBodyTail = ">\r\n</s:Body>\r\n</s:Envelope>\r\n";

size_t SoapBodySize(std::string_view action, std::string_view type, std::string_view arguments)
{
    return kBodyHead.size() + kBodyNamespace.size() + kBodyArguments.size() + kBodyClose.size() +
           kBodyTail.size() + 2 * action.size() + type.size() + arguments.size();
}

// Appends the envelope; `type` is the service type already escaped.
void AppendSoapBody(std::string& out, std::string_view action, std::string_view type,
                    std::string_view arguments)
{
    out.append(kBodyHead)
        .append(action)
        .append(kBodyNamespace)
        .append(type)
        .append(kBodyArguments)
        .append(arguments)
        .append(kBodyClose)
        .append(action)
        .append(kBodyTail);
}

} // namespace

std::string BuildSoapBody(std::string_view action, std::string_view serviceType,
                          std::string_view arguments)
{
    const std::string type = XmlEscape(serviceType);
    std::string body;
    body.reserve(SoapBodySize(action, type, arguments));
    AppendSoapBody(body, action, type, arguments);
    return body;
}

std::string BuildSoapRequest(std::string_view path, std::string_view host, uint16_t port,
                             std::string_view serviceType, std::string_view action,
                             std::string_view arguments)
{
    // Header and body in one buffer: the request goes out in one write.
    const std::string type = XmlEscape(serviceType);
    const size_t bodySize = SoapBodySize(action, type, arguments);
    std::string request;
    request.reserve(160 + path.size() + host.size() + serviceType.size() + action.size() +
                    bodySize);
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
        .append(std::to_string(bodySize))
        .append(" \r\n\r\n");
    AppendSoapBody(request, action, type, arguments);
    return request;
}

namespace {

// Appends the decimal text of `value`.
void AppendNumber(std::string& out, long value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, static_cast<size_t>(end - digits));
}

// Appends `text` escaped, up to its first NUL (as a C string would end).
void AppendEscaped(std::string& out, std::string_view text)
{
    AppendXmlEscaped(out, text.substr(0, text.find('\0')));
}

} // namespace

std::string AddPortMappingArguments(uint16_t externalPort, std::string_view protocol,
                                    uint16_t internalPort, std::string_view internalClient,
                                    std::string_view description)
{
    std::string out;
    out.reserve(360 + protocol.size() + internalClient.size() + 6 * description.size());
    out.append("<NewRemoteHost></NewRemoteHost>\r\n<NewExternalPort>");
    AppendNumber(out, externalPort);
    out.append("</NewExternalPort>\r\n<NewProtocol>");
    AppendEscaped(out, protocol);
    out.append("</NewProtocol>\r\n<NewInternalPort>");
    AppendNumber(out, internalPort);
    out.append("</NewInternalPort>\r\n<NewInternalClient>");
    AppendEscaped(out, internalClient);
    out.append("</NewInternalClient>\r\n<NewEnabled>1</NewEnabled>\r\n"
               "<NewPortMappingDescription>");
    AppendEscaped(out, description);
    out.append("</NewPortMappingDescription>\r\n<NewLeaseDuration>0</NewLeaseDuration>\r\n");
    return out;
}

std::string DeletePortMappingArguments(uint16_t externalPort, std::string_view protocol)
{
    std::string out;
    out.reserve(120 + 6 * protocol.size());
    out.append("<NewRemoteHost></NewRemoteHost>\r\n<NewExternalPort>");
    AppendNumber(out, externalPort);
    out.append("</NewExternalPort>\r\n<NewProtocol>");
    AppendEscaped(out, protocol);
    out.append("</NewProtocol>\r\n");
    return out;
}

std::string GenericPortMappingEntryArguments(int index)
{
    std::string out;
    out.reserve(400);
    out.append("<NewPortMappingIndex>");
    AppendNumber(out, index);
    out.append("</NewPortMappingIndex>"
               "<NewRemoteHost></NewRemoteHost>\r\n"
               "<NewExternalPort></NewExternalPort>\r\n"
               "<NewProtocol></NewProtocol>\r\n"
               "<NewInternalPort></NewInternalPort>\r\n"
               "<NewInternalClient></NewInternalClient>\r\n"
               "<NewEnabled>1</NewEnabled>\r\n"
               "<NewPortMappingDescription></NewPortMappingDescription>\r\n"
               "<NewLeaseDuration></NewLeaseDuration>\r\n");
    return out;
}

bool SoapAnswerIsSuccess(std::string_view response)
{
    // "HTTP/1.0 200 ..." or "HTTP/1.1 200 ..."
    if (!response.starts_with("HTTP/1.") || response.size() < 13)
        return false;
    const std::string_view code = response.substr(8, 5);
    if (code != " 200 " && code != " 200\r")
        return false;
    // The envelope's closing tag must have arrived: an answer cut off after
    // the opening tag is no success.
    return FindEndMarker(response, "Envelope>").has_value();
}

} // namespace velmora
