#pragma once

// SOAP answers in the shape the lab's router sends them, for the scripted
// loopback server.

#include "tests/support/LoopbackHttpServer.h"

#include <string>

namespace velmora::test {

inline const char kWanIp[] = "urn:schemas-upnp-org:service:WANIPConnection:1";

inline std::string Envelope(const std::string& inner, const std::string& prefix = "s")
{
    return "<?xml version=\"1.0\"?>\r\n<" + prefix + ":Envelope xmlns:" + prefix +
           "=\"http://schemas.xmlsoap.org/soap/envelope/\" " + prefix +
           ":encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><" + prefix + ":Body>" +
           inner + "</" + prefix + ":Body></" + prefix + ":Envelope>\r\n";
}

inline std::string OkAnswer(const std::string& inner, const std::string& prefix = "s")
{
    return LoopbackHttpServer::Response("HTTP/1.1 200 OK", Envelope(inner, prefix));
}

// "<u:NameResponse xmlns:u=...>inner</u:NameResponse>" in a 200 answer.
inline std::string ActionAnswer(const std::string& action, const std::string& inner = "",
                                const std::string& s = "s", const std::string& u = "u")
{
    return OkAnswer("<" + u + ":" + action + "Response xmlns:" + u + "=\"" + kWanIp + "\">" +
                        inner + "</" + u + ":" + action + "Response>",
                    s);
}

inline std::string FaultAnswer(int code, const std::string& description)
{
    return LoopbackHttpServer::Response(
        "HTTP/1.1 500 Internal Server Error",
        Envelope("<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError</faultstring>"
                 "<detail><UPnPError xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>" +
                 std::to_string(code) + "</errorCode><errorDescription>" + description +
                 "</errorDescription></UPnPError></detail></s:Fault>"));
}

inline std::string EntryAnswer(const std::string& port, const std::string& protocol,
                               const std::string& client, const std::string& description)
{
    return ActionAnswer(
        "GetGenericPortMappingEntry",
        "<NewRemoteHost></NewRemoteHost><NewExternalPort>" + port +
            "</NewExternalPort><NewProtocol>" + protocol + "</NewProtocol><NewInternalPort>" +
            port + "</NewInternalPort><NewInternalClient>" + client +
            "</NewInternalClient><NewEnabled>1</NewEnabled>"
            "<NewPortMappingDescription>" +
            description + "</NewPortMappingDescription><NewLeaseDuration>0</NewLeaseDuration>");
}

} // namespace velmora::test
