// Answers recorded from the router lab's miniupnpd (data/miniupnpd/), read
// by the client offline and served again from a loopback server.
#include "UpnpTestSupport.h"
#include "upnp/core/FriendlyName.h"
#include "upnp/core/SoapActions.h"
#include "upnp/core/SoapRequest.h"
#include "upnp/core/SsdpAnswer.h"

#include <gtest/gtest.h>

using namespace velmora::test;

namespace {

std::string Captured(const std::string& name)
{
    return ReadTestData("miniupnpd/" + name);
}

} // namespace

TEST(CapturedMiniupnpd, SsdpAnswerDescriptionAndJudgedAnswers)
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

    for (const char* ok : {"add_ok.http", "delete_ok.http", "external_ip.http", "entry_0.http"})
        EXPECT_TRUE(velmora::SoapAnswerIsSuccess(Captured(ok))) << ok;
    for (const char* refused : {"add_refused.http", "entry_end.http", "bad_action.http"})
        EXPECT_FALSE(velmora::SoapAnswerIsSuccess(Captured(refused))) << refused;
    std::string address, error;
    ASSERT_TRUE(velmora::ReadExternalIPAddress(Captured("external_ip.http"), address, error));
    EXPECT_EQ(address, "11.22.33.1");
}

TEST(CapturedMiniupnpd, ActionsAgainstRecordedAnswers)
{
    std::vector<LoopbackHttpServer::Reply> script;
    for (const char* name : {"add_ok.http", "add_refused.http", "external_ip.http",
                             "delete_ok.http", "entry_0.http", "entry_end.http"})
        script.push_back(LoopbackHttpServer::Whole(Captured(name)));
    LoopbackHttpServer server(script);
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
