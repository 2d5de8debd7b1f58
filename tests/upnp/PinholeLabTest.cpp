// The own client's WANIPv6FirewallControl actions against the lab's
// miniupnpd with IPv6, and this computer's IPv6 addresses as the lab gives them.
#include "platform/NetworkInterfaces.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "upnp/core/UpnpClient.h"
#include "upnp/core/UrlParts.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace velmora::lab {
namespace {

using namespace std::chrono_literals;

class PinholeLab : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();

    void TearDown() override { EXPECT_TRUE(lab.rebootRouter()) << "leaves no pinhole behind"; }

    // The firewall control service over IPv6 through the computer's gateway,
    // sent from the computer's global address.
    void Point(UpnpClient& client, const std::string& host)
    {
        Igd igd;
        ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
        ASSERT_NE(igd.urls.controlURL_6FC, nullptr);
        client.init_client(2);
        client.control_url = UrlWithHost(igd.urls.controlURL_6FC, host);
        client.service_type = igd.data.IPv6FC.servicetype;
        client.source_address = lab.lan6Host();
    }

    std::string RouterLog() const
    {
        std::ifstream file(lab.routerLog());
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

TEST_F(PinholeLab, APinholeOpensIsRenewedAndCloses)
{
    UpnpClient client;
    Point(client, DefaultIPv6Gateway().zoned());
    bool enabled = false;
    bool allowed = false;
    ASSERT_TRUE(client.GetFirewallStatus(enabled, allowed)) << client.last_error;
    EXPECT_TRUE(enabled && allowed);
    uint32_t timeout = 0;
    EXPECT_TRUE(client.GetOutboundPinholeTimeout(lab.lan6Host(), 16300, 6, timeout) ||
                client.upnp_error == 501)
        << "optional: miniupnpd answers 501";

    uint16_t id = 0;
    ASSERT_TRUE(client.AddPinhole(lab.lan6Host(), 16300, 6, 600, id)) << client.last_error;
    ASSERT_EQ(lab.routerPinholes().size(), 1u);
    EXPECT_EQ(lab.routerPinholes()[0].address + " " + lab.routerPinholes()[0].protocol + " " +
                  std::to_string(lab.routerPinholes()[0].port),
              lab.lan6Host() + " tcp 16300");
    EXPECT_TRUE(lab.reachesFromInternet(lab.lan6Host(), lab.lan6Host(), 16300));
    EXPECT_FALSE(lab.reachesFromInternet(lab.lan6Host(), lab.lan6Host(), 16301))
        << "no pinhole, no way in";

    EXPECT_TRUE(client.UpdatePinhole(id, 900)) << client.last_error;
    EXPECT_NE(RouterLog().find("updating lease duration to 900 for pinhole with ID: " +
                               std::to_string(id)),
              std::string::npos);
    bool working = false;
    EXPECT_TRUE(client.CheckPinholeWorking(id, working) || client.upnp_error == 709)
        << client.last_error;

    EXPECT_TRUE(client.DeletePinhole(id)) << client.last_error;
    EXPECT_TRUE(lab.routerPinholes().empty());
    EXPECT_FALSE(client.DeletePinhole(id));
    EXPECT_NE(client.upnp_error, 0) << "a pinhole that is gone is refused, not taken for closed";
}

TEST_F(PinholeLab, TheRouterOpensAPinholeOnlyForTheAddressThatAsks)
{
    UpnpClient overIPv4;
    Point(overIPv4, lab.routerLan());
    overIPv4.source_address.clear();
    uint16_t id = 0;
    EXPECT_FALSE(overIPv4.AddPinhole(lab.lan6Host(), 16310, 17, 600, id));
    EXPECT_EQ(overIPv4.upnp_error, 606);
    EXPECT_NE(overIPv4.last_error.find("606 Action not authorized"), std::string::npos);
    EXPECT_TRUE(lab.routerPinholes().empty());
}

} // namespace
} // namespace velmora::lab
