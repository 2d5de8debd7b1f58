// The UPnP client against the router lab's real miniupnpd: discovery,
// description, the SOAP actions and the listing, cross-checked with miniupnpc.
#include "UpnpTestSupport.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "tests/support/TempDir.h"
#include "upnp/core/FriendlyName.h"
#include "upnp/core/UpnpClient.h"

#include <gtest/gtest.h>
#include <miniupnpc/upnpcommands.h>
#include <string>
#include <vector>

namespace velmora::lab {
namespace {

using test::kWanIp;

class UpnpLab : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();

    void TearDown() override
    {
        // Every test leaves miniupnpd running, without mappings.
        if (!lab.routerRunning()) {
            ASSERT_TRUE(lab.startRouter());
        }
        Igd igd;
        if (igd.fromUrl(lab.descriptionUrl())) {
            for (const RouterMapping& m : lab.routerMappings())
                igd.deleteMapping(m.protocol == "tcp" ? "TCP" : "UDP", m.externalPort);
        }
        EXPECT_TRUE(lab.routerMappings().empty());
    }

    // A client set up from the description URL, without discovery.
    bool DescribedClient(UpnpClient& client)
    {
        client.init_client(3);
        client.describe_url = lab.descriptionUrl();
        return client.get_description() && client.parser_description();
    }
};

// Entries as miniupnpc lists them: "PROTO EXT CLIENT:INT desc".
std::vector<std::string> MiniupnpcListing(const Igd& igd)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 256; ++i) {
        char ext[6] = {}, client[16] = {}, in[6] = {}, proto[4] = {}, desc[80] = {},
             enabled[6] = {}, host[64] = {}, lease[16] = {};
        const std::string index = std::to_string(i);
        if (UPNP_GetGenericPortMappingEntry(igd.urls.controlURL, igd.data.first.servicetype,
                                            index.c_str(), ext, client, in, proto, desc, enabled,
                                            host, lease) != UPNPCOMMAND_SUCCESS)
            break;
        lines.push_back(std::string(proto) + " " + ext + " " + client + ":" + in + " " + desc);
    }
    return lines;
}

MappingRecord FindRecord(const std::vector<MappingRecord>& records, const std::string& port)
{
    for (const MappingRecord& r : records) {
        if (r.external_port == port)
            return r;
    }
    return {};
}

RouterLease FindLease(const std::vector<RouterLease>& leases, uint16_t port)
{
    for (const RouterLease& l : leases) {
        if (l.externalPort == port)
            return l;
    }
    return {};
}

} // namespace

TEST_F(UpnpLab, DiscoveryDescriptionAndControlUrl)
{
    UpnpClient client;
    client.init_client(3);
    ASSERT_TRUE(client.discovery()) << client.last_error;
    EXPECT_EQ(client.status, UpnpStatus::GatewayFound);
    EXPECT_EQ(client.describe_url, lab.descriptionUrl());
    EXPECT_FALSE(client.ssdp_sock.valid());
    ASSERT_TRUE(client.get_description());
    ASSERT_TRUE(client.parser_description()) << client.last_error;
    EXPECT_EQ(client.status, UpnpStatus::DescriptionParsed);
    EXPECT_EQ(client.service_type, kWanIp);
    EXPECT_EQ(client.friendly_name, lab.friendlyName());
    EXPECT_EQ(velmora::FirstFriendlyName(client.description), lab.friendlyName());

    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    EXPECT_EQ(client.control_url, std::string(igd.urls.controlURL));
}

TEST_F(UpnpLab, AddListReadAndDelete)
{
    UpnpClient client;
    ASSERT_TRUE(DescribedClient(client)) << client.last_error;
    EXPECT_TRUE(client.list_port_mappings());
    EXPECT_TRUE(client.mappings.empty());
    EXPECT_EQ(client.last_error, "Totally 0 mapping entries.\n");
    // The router refuses a mapping to an address outside its LAN.
    EXPECT_FALSE(client.AddPortMapping("elsewhere", "203.0.113.9", 20003, 30003, "TCP"));
    EXPECT_EQ(client.last_error, "Fail to add port mapping (elsewhere/TCP)\n");

    ASSERT_TRUE(client.AddPortMapping("lab & <ours>", lab.lanHost(), 20001, 30001, "TCP"))
        << client.last_error;
    ASSERT_TRUE(client.AddPortMapping("lab udp", lab.lanHost(), 20002, 30002, "UDP"));

    const std::vector<RouterMapping> onRouter = lab.routerMappings();
    ASSERT_EQ(onRouter.size(), 2u);
    // The request carries the description escaped; miniupnpd keeps argument
    // text as it arrives (it does not decode entity references).
    const std::vector<RouterLease> leases = lab.routerLeases();
    ASSERT_EQ(leases.size(), 2u);
    EXPECT_EQ(FindLease(leases, 20001).description, "lab &amp; &lt;ours&gt;");

    ASSERT_TRUE(client.list_port_mappings());
    ASSERT_EQ(client.mappings.size(), 2u);
    EXPECT_EQ(FindRecord(client.mappings, "20001"),
              (MappingRecord{"lab & <ours>", "TCP", "20001", lab.lanHost(), "30001"}));
    EXPECT_EQ(FindRecord(client.mappings, "20002"),
              (MappingRecord{"lab udp", "UDP", "20002", lab.lanHost(), "30002"}));
    EXPECT_EQ(client.last_error, "Totally 2 mapping entries.\n");

    char address[50] = {};
    ASSERT_TRUE(client.GetExternalIPAddress(address, sizeof address)) << client.last_error;
    EXPECT_EQ(std::string(address), lab.routerWan());

    EXPECT_TRUE(client.DeletePortMapping(20001, "TCP"));
    EXPECT_TRUE(client.DeletePortMapping(20002, "UDP"));
    EXPECT_EQ(client.status, UpnpStatus::MappingChanged);
    EXPECT_TRUE(lab.routerMappings().empty());
}

TEST_F(UpnpLab, CrossCheckWithMiniupnpc)
{
    // Ours set up from the control URL miniupnpc found, as the router scan does.
    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    UpnpClient client;
    client.init_client(3);
    client.setRouterInfo(RouterInfo::forService(igd.urls.controlURL, igd.data.first.servicetype));

    // Added by ours, listed by miniupnpc.
    ASSERT_TRUE(client.AddPortMapping("ours", lab.lanHost(), 21001, 31001, "TCP"));
    const std::vector<std::string> theirs = MiniupnpcListing(igd);
    ASSERT_EQ(theirs.size(), 1u);
    EXPECT_EQ(theirs[0], "TCP 21001 " + lab.lanHost() + ":31001 ours");

    // Added by miniupnpc, listed by ours.
    ASSERT_EQ(igd.addMapping("UDP", 21002, lab.lanHost(), 31002, "miniupnpc"), UPNPCOMMAND_SUCCESS);
    ASSERT_TRUE(client.list_port_mappings());
    ASSERT_EQ(client.mappings.size(), 2u);
    EXPECT_EQ(FindRecord(client.mappings, "21002"),
              (MappingRecord{"miniupnpc", "UDP", "21002", lab.lanHost(), "31002"}));
    EXPECT_EQ(FindRecord(client.mappings, "21001"),
              (MappingRecord{"ours", "TCP", "21001", lab.lanHost(), "31001"}));

    // Deleted by ours, gone for miniupnpc; external address agrees.
    EXPECT_TRUE(client.DeletePortMapping(21002, "UDP"));
    EXPECT_EQ(MiniupnpcListing(igd).size(), 1u);
    char address[50] = {};
    ASSERT_TRUE(client.GetExternalIPAddress(address, sizeof address));
    EXPECT_EQ(std::string(address), igd.externalAddress());
    EXPECT_EQ(igd.deleteMapping("TCP", 21001), UPNPCOMMAND_SUCCESS);
}

TEST_F(UpnpLab, DiscoveryOfARouterThatIsNotMiniupnpd)
{
    // A real router's description (IGD v1, URLBase, PPP connection) served by
    // the lab's fake IGD in place of miniupnpd, its URLBase on the lab
    // router's address as the real one's is on its own.
    test::TempDir dir;
    std::string description = test::ReadTestData("routers/linksys_WAG200G_desc.xml");
    const std::string urlBase = "<URLBase>http://192.168.1.1:49152</URLBase>";
    ASSERT_NE(description.find(urlBase), std::string::npos);
    description.replace(description.find(urlBase), urlBase.size(),
                        "<URLBase>http://" + lab.routerLan() + ":49152</URLBase>");
    dir.write("desc.xml", description);
    ASSERT_TRUE(lab.stopRouter());
    BackgroundProcess fake = lab.spawn(
        Side::Router,
        {LabEnvironment::FakeIgdPath(), "--desc", dir.file("desc.xml"), "--seconds", "60"},
        dir.file("fake.out"));
    ASSERT_TRUE(fake.waitForOutput("fake_igd ready", std::chrono::seconds(10))) << fake.output();

    UpnpClient client;
    client.init_client(3);
    ASSERT_TRUE(client.discovery()) << client.last_error;
    EXPECT_EQ(client.describe_url.rfind("http://" + lab.routerLan() + ":", 0), 0u)
        << client.describe_url;
    ASSERT_TRUE(client.parser_description()) << client.last_error;
    EXPECT_EQ(client.service_type, "urn:schemas-upnp-org:service:WANPPPConnection:1");
    EXPECT_EQ(client.control_url, "http://" + lab.routerLan() + ":49152/upnp/control/WANPPPConn1");
    EXPECT_EQ(client.friendly_name, "LINKSYS WAG200G Gateway");
    fake.stop();
}

} // namespace velmora::lab
