#include "upnp/core/SoapActions.h"

#include "UpnpTestSupport.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace velmora::test;
using Piece = LoopbackHttpServer::Piece;
using Whole = LoopbackHttpServer;

namespace {

std::string AddressAnswer(const std::string& address, const std::string& s = "s",
                          const std::string& u = "u")
{
    return ActionAnswer("GetExternalIPAddress",
                        "<NewExternalIPAddress>" + address + "</NewExternalIPAddress>", s, u);
}

} // namespace

TEST(SoapActions, GoldenRequestsAndResults)
{
    LoopbackHttpServer server({Whole::Whole(ActionAnswer("AddPortMapping")),
                               Whole::Whole(ActionAnswer("DeletePortMapping")),
                               Whole::Whole(FaultAnswer(714, "NoSuchEntryInArray")),
                               Whole::Whole(AddressAnswer("203.0.113.7"))});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_TRUE(client.AddPortMapping("web & mail <1>", "10.77.0.2", 8080, 80, "TCP"));
    EXPECT_EQ(client.status, UpnpStatus::MappingChanged);
    EXPECT_FALSE(client.tcp_sock.valid()); // the connection is closed after the action
    EXPECT_TRUE(client.DeletePortMapping(8080, "UDP"));
    EXPECT_EQ(client.status, UpnpStatus::MappingChanged);
    EXPECT_FALSE(client.DeletePortMapping(8080, "UDP"));
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error, "Fail to del port mapping (UDP/8080)\n");
    char buffer[50] = {};
    EXPECT_TRUE(client.GetExternalIPAddress(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "203.0.113.7");
    EXPECT_EQ(client.status, UpnpStatus::ValueRead);

    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0], GoldenRequest(server, "AddPortMapping", kAddArguments, "644"));
    EXPECT_EQ(requests[1], GoldenRequest(server, "DeletePortMapping", kDeleteArguments, "412"));
    EXPECT_EQ(requests[3], GoldenRequest(server, "GetExternalIPAddress", "", "312"));
}

TEST(SoapActions, AddPortMappingJudgesWhatArrived)
{
    const std::string ok = ActionAnswer("AddPortMapping");
    const size_t half = ok.size() / 2;
    struct Case
    {
        const char* name;
        LoopbackHttpServer::Reply reply;
        bool added;
    };
    const std::vector<Case> cases = {
        {"in pieces and late",
         {{Piece{ok.substr(0, half), 1200}, Piece{ok.substr(half), 300}}, true},
         true},
        {"SOAP fault", Whole::Whole(FaultAnswer(718, "ConflictInMappingEntry")), false},
        {"200 OK only in the body",
         Whole::Whole(LoopbackHttpServer::Response(
             "HTTP/1.1 402 Invalid Args",
             Envelope("<s:Fault><faultstring>200 OK</faultstring></s:Fault>"))),
         false},
        {"cut answer", Whole::Whole(ok.substr(0, half)), false},
        {"cut after the opening tag",
         Whole::Whole("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n<s:Envelope><s:Body>"),
         false},
        {"garbage", Whole::Whole("\x01\x02garbage 200 OK\r\n"), false},
        {"nothing", Whole::Whole(""), false},
        {"oversized",
         Whole::Whole(
             ActionAnswer("AddPortMapping", std::string(UpnpClient::kMaxResponseBytes, ' '))),
         false},
    };
    for (const Case& c : cases) {
        LoopbackHttpServer server({c.reply});
        UpnpClient client;
        UseServer(client, server);
        EXPECT_EQ(client.AddPortMapping("x & y", "10.77.0.2", 3, 3, "TCP"), c.added) << c.name;
        EXPECT_EQ(client.status, c.added ? UpnpStatus::MappingChanged : UpnpStatus::Failed)
            << c.name;
        if (!c.added) {
            EXPECT_EQ(client.last_error, "Fail to add port mapping (x & y/TCP)\n") << c.name;
        }
        EXPECT_EQ(server.connections(), 1) << c.name;
    }
}

TEST(SoapActions, UnusableControlUrlSendsNothing)
{
    UpnpClient client;
    client.init_client(1);
    client.describe_url = "http://10.77.0.1:5000/rootDesc.xml";
    EXPECT_FALSE(client.AddPortMapping("x", "10.77.0.2", 1, 1, "TCP"));
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error, "Fail to parseURl: http://10.77.0.1:5000/rootDesc.xml\n");
    client.mappings.push_back({"stale", "TCP", "1", "1.1.1.1", "1"});
    EXPECT_FALSE(client.list_port_mappings());
    EXPECT_TRUE(client.mappings.empty());
    client.control_url = "http://127.0.0.1:1";
    EXPECT_FALSE(client.DeletePortMapping(1, "TCP"));
    char buffer[50] = "untouched";
    EXPECT_FALSE(client.GetExternalIPAddress(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "untouched");
}

TEST(GetExternalIPAddress, OtherPrefixesEmptyAddressAndTheCallersSize)
{
    LoopbackHttpServer server({Whole::Whole(AddressAnswer("", "SOAP-ENV", "m")),
                               Whole::Whole(AddressAnswer("203.0.113.250")),
                               Whole::Whole(AddressAnswer("ab\xc3\xa9"
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
    LoopbackHttpServer server(
        {Whole::Whole(FaultAnswer(501, "ActionFailed")), Whole::Whole(OkAnswer("<u:Other/>"))});
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

    const std::string prefix = "Fail to get mapping info from response data.(NO ";
    const std::pair<std::string, std::string> cases[] = {
        {"HTTP/1.1 200 OK\r\n\r\n", "\"SOAP-ENV:Envelope\" node.)\n"},
        {"<s:Envelope><s:Head/></s:Envelope>", "\"SOAP-ENV:Body\" node.)\n"},
        {Envelope("<u:GetExternalIPAddressResponse/>"), "\"NewExternalIPAddress\" node.)\n"},
    };
    for (const auto& [answer, missing] : cases) {
        std::string address = "keep", error;
        EXPECT_FALSE(velmora::ReadExternalIPAddress(answer, address, error));
        EXPECT_EQ(error, prefix + missing);
        EXPECT_EQ(address, "keep");
    }
}
