// A router reached through two LAN ports (lab with a second LAN): it answers
// each port's search with that port's description URL.
#include "platform/NetworkInterfaces.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/router/RouterLabSupport.h"

#include <gtest/gtest.h>

namespace velmora::lab {
namespace {

using test::RunLabScan;

class RouterLabTwoLan : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();

    void SetUp() override
    {
        ASSERT_FALSE(lab.lan2Host().empty()) << "needs --lab-second-lan";
        std::string output;
        ASSERT_TRUE(test::UseRouter(lab, RouterMode::Upnp, &output)) << output;
    }

    std::string urlVia(const std::string& routerAddress) const
    {
        return "http://" + routerAddress + ":" + std::to_string(lab.httpPort()) + "/rootDesc.xml";
    }
};

TEST_F(RouterLabTwoLan, EachLanPortGivesItsOwnLine)
{
    auto addresses = LocalIPv4Addresses();
    ASSERT_EQ(addresses, (std::vector<std::string>{lab.lanHost(), lab.lan2Host()}));
    auto scan = RunLabScan(addresses);
    ASSERT_EQ(scan.routers.size(), 2u) << scan.diagnostics;
    // Default interface (the first port), its own address again (ends that
    // round), then the second port's address.
    EXPECT_EQ(scan.routers[0]->description_url, urlVia(lab.routerLan()));
    EXPECT_EQ(scan.routers[1]->description_url, urlVia(lab.routerLan2()));
    EXPECT_EQ(scan.routers[1]->lan_address, lab.lan2Host());
    EXPECT_EQ(RouterBoxLines(scan.routers),
              (std::vector<std::string>{lab.friendlyName(), lab.friendlyName()}));
}

TEST_F(RouterLabTwoLan, WithNatPmpTheGatewayComesLast)
{
    std::string output;
    ASSERT_TRUE(test::UseRouter(lab, RouterMode::Both, &output)) << output;
    auto scan = RunLabScan(LocalIPv4Addresses());
    EXPECT_EQ(RouterBoxLines(scan.routers),
              (std::vector<std::string>{lab.friendlyName(), lab.friendlyName(), "AirPort Station"}))
        << scan.diagnostics;
}

} // namespace
} // namespace velmora::lab
