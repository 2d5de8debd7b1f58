#pragma once

// Shared pieces of the UPnP client tests: test data files, SOAP answers in the
// shape the lab's router sends them, and request bytes written out by hand.

#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/SoapAnswers.h"
#include "upnp/core/UpnpClient.h"

#include <fstream>
#include <sstream>
#include <string>

namespace velmora::test {

// A file of tests/upnp/data, whole; empty when it cannot be read.
inline std::string ReadTestData(const std::string& relative)
{
    std::ifstream in(std::string(VELMORA_UPNP_TEST_DATA) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of `key` in `section` of a .values file ("section:" lines, then
// " key = value" lines).
inline std::string ValuesEntry(const std::string& values, const std::string& section,
                               const std::string& key)
{
    std::istringstream in(values);
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] != ' ' && line.back() == ':') {
            inSection = line == section + ":";
            continue;
        }
        const std::string lead = " " + key + " = ";
        if (inSection && line.rfind(lead, 0) == 0)
            return line.substr(lead.size());
    }
    return {};
}

// A client aimed at the server's control URL, one connection attempt.
inline void UseServer(UpnpClient& client, const LoopbackHttpServer& server)
{
    client.init_client(1);
    client.setRouterInfo(RouterInfo::forService(server.url("/ctl/IPConn"), kWanIp));
}

// A whole request as the client must send it to the server's control URL.
inline std::string GoldenRequest(const LoopbackHttpServer& server, const std::string& action,
                                 const std::string& arguments, const std::string& length)
{
    const std::string body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                             "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                             "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">\r\n"
                             "<s:Body>\r\n"
                             "<u:" +
                             action +
                             " xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\">\r\n" +
                             arguments + "</u:" + action + ">\r\n</s:Body>\r\n</s:Envelope>\r\n";
    if (std::to_string(body.size()) != length)
        return "golden body of " + action + " is not " + length + " bytes";
    return "POST /ctl/IPConn HTTP/1.1\r\n"
           "HOST: 127.0.0.1:" +
           std::to_string(server.port()) +
           "\r\n"
           "SOAPACTION:\"urn:schemas-upnp-org:service:WANIPConnection:1#" +
           action +
           "\"\r\n"
           "CONTENT-TYPE: text/xml ; charset=\"utf-8\"\r\n"
           "Content-Length: " +
           length + " \r\n\r\n" + body;
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
