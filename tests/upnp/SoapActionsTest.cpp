#include "upnp/core/SoapActions.h"

#include "SoapAnswers.h"
#include "SoapGolden.h"
#include "upnp/core/UpnpClient.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace velmora::test;
using Piece = LoopbackHttpServer::Piece;

namespace {

void UseServer(UpnpClient& client, const LoopbackHttpServer& server)
{
    client.init_client(1);
    client.setRouterInfo(RouterInfo::forService(server.url("/ctl/IPConn"), kWanIp));
}

std::string HostPort(const LoopbackHttpServer& server)
{
    return "127.0.0.1:" + std::to_string(server.port());
}

const std::string kAddOk =
    OkAnswer("<u:AddPortMappingResponse xmlns:u=\"urn:schemas-upnp-org:service:"
             "WANIPConnection:1\"/>");

std::string AddressAnswer(const std::string& address, const std::string& s = "s",
                          const std::string& u = "u")
{
    return OkAnswer("<" + u + ":GetExternalIPAddressResponse xmlns:" + u +
                        "=\"urn:schemas-upnp-org:service:WANIPConnection:1\">"
                        "<NewExternalIPAddress>" +
                        address + "</NewExternalIPAddress></" + u +
                        ":GetExternalIPAddressResponse>",
                    s);
}

} // namespace

TEST(AddPortMapping, SendsTheGoldenRequestAndSucceedsOn200)
{
    LoopbackHttpServer server({LoopbackHttpServer::Whole(kAddOk)});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_TRUE(client.AddPortMapping("web & mail <1>", "10.77.0.2", 8080, 80, "TCP"));
    EXPECT_EQ(client.status, UpnpStatus::MappingChanged);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0],
              GoldenHeader("/ctl/IPConn", HostPort(server), "AddPortMapping", "644") +
                  GoldenBody("AddPortMapping", kAddArguments));
    EXPECT_FALSE(client.tcp_sock.valid()); // the connection is closed after the action
}

TEST(AddPortMapping, SoapFaultIsAFailure)
{
    LoopbackHttpServer server(
        {LoopbackHttpServer::Whole(FaultAnswer(718, "ConflictInMappingEntry"))});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_FALSE(client.AddPortMapping("web & mail <1>", "10.77.0.2", 8080, 80, "TCP"));
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error, "Fail to add port mapping (web & mail <1>/TCP)\n");
}

TEST(AddPortMapping, TwoHundredOkOnlyInTheBodyIsAFailure)
{
    LoopbackHttpServer server({LoopbackHttpServer::Whole(LoopbackHttpServer::Response(
        "HTTP/1.1 402 Invalid Args", Envelope("<s:Fault><faultstring>200 OK</faultstring>"
                                              "</s:Fault>")))});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_FALSE(client.AddPortMapping("x", "10.77.0.2", 1, 1, "UDP"));
    EXPECT_EQ(client.last_error, "Fail to add port mapping (x/UDP)\n");
}

TEST(AddPortMapping, AnswerInPiecesAndLate)
{
    const size_t half = kAddOk.size() / 2;
    LoopbackHttpServer server(
        {{{Piece{kAddOk.substr(0, half), 1200}, Piece{kAddOk.substr(half), 300}}, true}});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_TRUE(client.AddPortMapping("late", "10.77.0.2", 2, 2, "TCP"));
}

TEST(AddPortMapping, CutAnswerOrGarbageOrNothingIsAFailure)
{
    const std::string cut = kAddOk.substr(0, kAddOk.size() / 2);
    LoopbackHttpServer server({LoopbackHttpServer::Whole(cut),
                               LoopbackHttpServer::Whole("\x01\x02garbage 200 OK\r\n"),
                               LoopbackHttpServer::Whole("")});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_FALSE(client.AddPortMapping("a", "10.77.0.2", 3, 3, "TCP"));
    EXPECT_FALSE(client.AddPortMapping("b", "10.77.0.2", 3, 3, "TCP"));
    EXPECT_FALSE(client.AddPortMapping("c", "10.77.0.2", 3, 3, "TCP"));
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(server.connections(), 3);
}

TEST(AddPortMapping, OversizedAnswerIsAFailure)
{
    const std::string padding(UpnpClient::kMaxResponseBytes, ' ');
    LoopbackHttpServer server({LoopbackHttpServer::Whole(
        OkAnswer("<u:AddPortMappingResponse>" + padding + "</u:AddPortMappingResponse>"))});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_FALSE(client.AddPortMapping("big", "10.77.0.2", 4, 4, "TCP"));
    EXPECT_EQ(client.last_error, "Fail to add port mapping (big/TCP)\n");
}

TEST(SoapActions, UnusableControlUrlSendsNothing)
{
    UpnpClient client;
    client.init_client(1);
    client.describe_url = "http://10.77.0.1:5000/rootDesc.xml";
    EXPECT_FALSE(client.AddPortMapping("x", "10.77.0.2", 1, 1, "TCP"));
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error, "Fail to parseURl: http://10.77.0.1:5000/rootDesc.xml\n");
    client.control_url = "http://127.0.0.1:1";
    EXPECT_FALSE(client.DeletePortMapping(1, "TCP"));
    char buffer[50] = "untouched";
    EXPECT_FALSE(client.GetExternalIPAddress(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "untouched");
}

TEST(DeletePortMapping, GoldenRequestSuccessAndFailure)
{
    LoopbackHttpServer server(
        {LoopbackHttpServer::Whole(OkAnswer("<u:DeletePortMappingResponse xmlns:u=\"urn:schemas-"
                                            "upnp-org:service:WANIPConnection:1\"/>")),
         LoopbackHttpServer::Whole(FaultAnswer(714, "NoSuchEntryInArray"))});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_TRUE(client.DeletePortMapping(8080, "UDP"));
    EXPECT_EQ(client.status, UpnpStatus::MappingChanged);
    EXPECT_FALSE(client.DeletePortMapping(8080, "UDP"));
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error, "Fail to del port mapping (UDP/8080)\n");
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(server.requests()[0],
              GoldenHeader("/ctl/IPConn", HostPort(server), "DeletePortMapping", "412") +
                  GoldenBody("DeletePortMapping", kDeleteArguments));
}

TEST(GetExternalIPAddress, GoldenRequestAndAddress)
{
    LoopbackHttpServer server({LoopbackHttpServer::Whole(AddressAnswer("203.0.113.7"))});
    UpnpClient client;
    UseServer(client, server);
    char buffer[50] = {};
    EXPECT_TRUE(client.GetExternalIPAddress(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "203.0.113.7");
    EXPECT_EQ(client.status, UpnpStatus::ValueRead);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0],
              GoldenHeader("/ctl/IPConn", HostPort(server), "GetExternalIPAddress", "312") +
                  GoldenBody("GetExternalIPAddress", ""));
}

TEST(GetExternalIPAddress, OtherPrefixesEmptyAddressAndSmallBuffer)
{
    LoopbackHttpServer server({LoopbackHttpServer::Whole(AddressAnswer("", "SOAP-ENV", "m")),
                               LoopbackHttpServer::Whole(AddressAnswer("203.0.113.250")),
                               LoopbackHttpServer::Whole(AddressAnswer("ab\xc3\xa9"
                                                                       "cd"))});
    UpnpClient client;
    UseServer(client, server);
    char buffer[50];
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_TRUE(client.GetExternalIPAddress(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
    char small[8];
    EXPECT_TRUE(client.GetExternalIPAddress(small, sizeof small));
    EXPECT_STREQ(small, "203.0.1");
    char tiny[4]; // "ab" and a two-byte character do not fit in 3 bytes
    EXPECT_TRUE(client.GetExternalIPAddress(tiny, sizeof tiny));
    EXPECT_STREQ(tiny, "ab");
}

TEST(GetExternalIPAddress, FailuresLeaveTheBufferUntouched)
{
    LoopbackHttpServer server({LoopbackHttpServer::Whole(FaultAnswer(501, "ActionFailed")),
                               LoopbackHttpServer::Whole(OkAnswer("<u:Other/>"))});
    UpnpClient client;
    UseServer(client, server);
    char buffer[50] = "untouched";
    EXPECT_FALSE(client.GetExternalIPAddress(buffer, sizeof buffer));
    EXPECT_EQ(client.last_error, "Fail to get router internet ip.\n");
    EXPECT_FALSE(client.GetExternalIPAddress(buffer, sizeof buffer));
    EXPECT_EQ(client.last_error, "Fail to get mapping info from response data.(NO "
                                 "\"u:GetExternalIPAddressResponse\" node.)\n");
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_FALSE(client.GetExternalIPAddress(buffer, 0));
    EXPECT_FALSE(client.GetExternalIPAddress(nullptr, 10));
}

TEST(ReadExternalIPAddress, MessagesOfTheMissingElements)
{
    std::string address = "keep";
    std::string error;
    const std::string prefix = "Fail to get mapping info from response data.(NO ";
    EXPECT_FALSE(velmora::ReadExternalIPAddress("HTTP/1.1 200 OK\r\n\r\n", address, error));
    EXPECT_EQ(error, prefix + "\"SOAP-ENV:Envelope\" node.)\n");
    EXPECT_FALSE(
        velmora::ReadExternalIPAddress("<s:Envelope><s:Head/></s:Envelope>", address, error));
    EXPECT_EQ(error, prefix + "\"SOAP-ENV:Body\" node.)\n");
    EXPECT_FALSE(velmora::ReadExternalIPAddress(Envelope("<u:GetExternalIPAddressResponse/>"),
                                                address, error));
    EXPECT_EQ(error, prefix + "\"NewExternalIPAddress\" node.)\n");
    EXPECT_EQ(address, "keep");
}
