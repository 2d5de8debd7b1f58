#pragma once

#include <string>

// Request bytes written out by hand, for comparison with what the client
// builds and sends.
namespace velmora::test {

inline const char kWanIp[] = "urn:schemas-upnp-org:service:WANIPConnection:1";

inline std::string GoldenBody(const std::string& action, const std::string& arguments)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
           "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">\r\n"
           "<s:Body>\r\n"
           "<u:" +
           action + " xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\">\r\n" + arguments +
           "</u:" + action +
           ">\r\n"
           "</s:Body>\r\n"
           "</s:Envelope>\r\n";
}

inline std::string GoldenHeader(const std::string& path, const std::string& hostPort,
                                const std::string& action, const std::string& length)
{
    return "POST " + path +
           " HTTP/1.1\r\n"
           "HOST: " +
           hostPort +
           "\r\n"
           "SOAPACTION:\"urn:schemas-upnp-org:service:WANIPConnection:1#" +
           action +
           "\"\r\n"
           "CONTENT-TYPE: text/xml ; charset=\"utf-8\"\r\n"
           "Content-Length: " +
           length +
           " \r\n"
           "\r\n";
}

// AddPortMapping("web & mail <1>", "10.77.0.2", 8080, 80, "TCP"): 644 body bytes.
inline const char kAddArguments[] =
    "<NewRemoteHost></NewRemoteHost>\r\n"
    "<NewExternalPort>8080</NewExternalPort>\r\n"
    "<NewProtocol>TCP</NewProtocol>\r\n"
    "<NewInternalPort>80</NewInternalPort>\r\n"
    "<NewInternalClient>10.77.0.2</NewInternalClient>\r\n"
    "<NewEnabled>1</NewEnabled>\r\n"
    "<NewPortMappingDescription>web &amp; mail &lt;1&gt;</NewPortMappingDescription>\r\n"
    "<NewLeaseDuration>0</NewLeaseDuration>\r\n";

// DeletePortMapping(8080, "UDP"): 412 body bytes.
inline const char kDeleteArguments[] = "<NewRemoteHost></NewRemoteHost>\r\n"
                                       "<NewExternalPort>8080</NewExternalPort>\r\n"
                                       "<NewProtocol>UDP</NewProtocol>\r\n";

// GetExternalIPAddress: no arguments, 312 body bytes.

// GetGenericPortMappingEntry with index 3: 669 body bytes.
inline const char kEntry3Arguments[] =
    "<NewPortMappingIndex>3</NewPortMappingIndex><NewRemoteHost></NewRemoteHost>\r\n"
    "<NewExternalPort></NewExternalPort>\r\n"
    "<NewProtocol></NewProtocol>\r\n"
    "<NewInternalPort></NewInternalPort>\r\n"
    "<NewInternalClient></NewInternalClient>\r\n"
    "<NewEnabled>1</NewEnabled>\r\n"
    "<NewPortMappingDescription></NewPortMappingDescription>\r\n"
    "<NewLeaseDuration></NewLeaseDuration>\r\n";

} // namespace velmora::test
