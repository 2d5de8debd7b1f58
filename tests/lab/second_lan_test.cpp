// The lab with a second LAN port: the computer reaches the same router through
// two interfaces, and the router answers on each with its own description URL.

#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"

#include <gtest/gtest.h>

namespace velmora::lab {
namespace {

TEST(LabSecondLan, TheComputerHasAnAddressOnEachLanPort)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    ASSERT_TRUE(lab.options().secondLan);
    EXPECT_EQ(lab.lan2Host(), "192.168.78.2");
    EXPECT_EQ(lab.routerLan2(), "192.168.78.1");
    EXPECT_TRUE(HasLocalAddress(lab.lanHost()));
    EXPECT_TRUE(HasLocalAddress(lab.lan2Host()));
    EXPECT_EQ(DefaultGateway(), lab.routerLan()); // one default route, through the first port
    ASSERT_TRUE(lab.addLanAddress("192.168.78.3/24", "eth1"));
    EXPECT_TRUE(HasLocalAddress("192.168.78.3"));
}

TEST(LabSecondLan, EachPortAnswersWithItsOwnDescriptionUrlForTheSameRouter)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    DeviceList first = Discover(std::chrono::milliseconds(1000), lab.lanHost().c_str());
    DeviceList second = Discover(std::chrono::milliseconds(1000), lab.lan2Host().c_str());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    const std::string port = ":" + std::to_string(lab.httpPort()) + "/rootDesc.xml";
    EXPECT_EQ(std::string(first->descURL), "http://" + lab.routerLan() + port);
    EXPECT_EQ(std::string(second->descURL), "http://" + lab.routerLan2() + port);

    Igd igd;
    ASSERT_TRUE(igd.fromUrl(second->descURL)) << igd.error;
    EXPECT_EQ(igd.lanAddress, lab.lan2Host());
    EXPECT_EQ(igd.externalAddress(), lab.routerWan());
    ASSERT_EQ(igd.addMapping("TCP", 20000, lab.lan2Host(), 20000, "second port"), 0);
    const std::vector<RouterMapping> mappings = lab.routerMappings();
    ASSERT_EQ(mappings.size(), 1u);
    EXPECT_EQ(mappings[0].internalAddress, lab.lan2Host());
    EXPECT_EQ(igd.deleteMapping("TCP", 20000), 0);
}

} // namespace
} // namespace velmora::lab
