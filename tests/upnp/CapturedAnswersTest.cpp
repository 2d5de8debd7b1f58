// Answers recorded from the router lab's miniupnpd (data/miniupnpd/), read
// by the client offline and served again from a loopback server.
#include "LoopbackHttpServer.h"
#include "TestData.h"
#include "upnp/core/FriendlyName.h"
#include "upnp/core/SoapActions.h"
#include "upnp/core/SoapRequest.h"
#include "upnp/core/SsdpAnswer.h"
#include "upnp/core/UpnpClient.h"

#include <gtest/gtest.h>

using velmora::test::LoopbackHttpServer;
using velmora::test::ReadTestData;

namespace {

std::string Captured(const std::string& name)
{
    return ReadTestData("miniupnpd/" + name);
}

const char kWanIp[] = "urn:schemas-upnp-org:service:WANIPConnection:1";

void UseServer(UpnpClient& client, const LoopbackHttpServer& server)
{
    client.init_client(1);
    client.setRouterInfo(RouterInfo::forService(server.url("/ctl/IPConn"), kWanIp));
}

} // namespace

TEST(CapturedMiniupnpd, SsdpAnswerAndDescription)
{
    const std::string ssdp = Captured("ssdp_answer.txt");
    ASSERT_FALSE(ssdp.empty());
    EXPECT_EQ(velmora::DescribeUrlFromSsdpAnswer(ssdp), "http://192.168.77.1:5000/rootDesc.xml");

    UpnpClient client;
    client.init_client(1);
    client.describe_url = "http://192.168.77.1:5000/rootDesc.xml";
    client.description = Captured("description.http");
    ASSERT_TRUE(client.parser_description()) << client.last_error;
    EXPECT_EQ(client.base_URL, "http://192.168.77.1:5000");
    EXPECT_EQ(client.service_type, kWanIp);
    EXPECT_EQ(client.control_url, "http://192.168.77.1:5000/ctl/IPConn");
    EXPECT_EQ(client.friendly_name, "Velmora Lab Router");
    EXPECT_EQ(velmora::FirstFriendlyName(client.description), "Velmora Lab Router");
}

TEST(CapturedMiniupnpd, SoapAnswersJudged)
{
    EXPECT_TRUE(velmora::SoapAnswerIsSuccess(Captured("add_ok.http")));
    EXPECT_TRUE(velmora::SoapAnswerIsSuccess(Captured("delete_ok.http")));
    EXPECT_TRUE(velmora::SoapAnswerIsSuccess(Captured("external_ip.http")));
    EXPECT_TRUE(velmora::SoapAnswerIsSuccess(Captured("entry_0.http")));
    EXPECT_FALSE(velmora::SoapAnswerIsSuccess(Captured("add_refused.http")));
    EXPECT_FALSE(velmora::SoapAnswerIsSuccess(Captured("entry_end.http")));
    EXPECT_FALSE(velmora::SoapAnswerIsSuccess(Captured("bad_action.http")));

    std::string address, error;
    ASSERT_TRUE(velmora::ReadExternalIPAddress(Captured("external_ip.http"), address, error));
    EXPECT_EQ(address, "11.22.33.1");
}

TEST(CapturedMiniupnpd, ActionsAgainstRecordedAnswers)
{
    LoopbackHttpServer server({LoopbackHttpServer::Whole(Captured("add_ok.http")),
                               LoopbackHttpServer::Whole(Captured("add_refused.http")),
                               LoopbackHttpServer::Whole(Captured("external_ip.http")),
                               LoopbackHttpServer::Whole(Captured("delete_ok.http")),
                               LoopbackHttpServer::Whole(Captured("entry_0.http")),
                               LoopbackHttpServer::Whole(Captured("entry_end.http"))});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_TRUE(client.AddPortMapping("capture", "192.168.77.2", 22001, 32001, "TCP"));
    EXPECT_FALSE(client.AddPortMapping("elsewhere", "203.0.113.9", 22002, 32002, "TCP"));
    char address[50] = {};
    EXPECT_TRUE(client.GetExternalIPAddress(address, sizeof address));
    EXPECT_STREQ(address, "11.22.33.1");
    EXPECT_TRUE(client.DeletePortMapping(22001, "TCP"));
    EXPECT_TRUE(client.list_port_mappings());
    ASSERT_EQ(client.mappings.size(), 1u);
    EXPECT_EQ(client.mappings[0],
              (MappingRecord{"capture", "TCP", "22001", "192.168.77.2", "32001"}));
    EXPECT_EQ(client.last_error, "Totally 1 mapping entries.\n");
}
