// Runs in a network namespace of its own with known interfaces (see
// IsolatedNetwork.h), so the answers are fixed whatever the machine has.
#include "platform/NetworkInterfaces.h"

#include "tests/support/IsolatedNetwork.h"

#include <gtest/gtest.h>

using velmora::test::kIsolatedAddress;

TEST(DefaultRouteInterface, PicksTheDefaultRouteWithTheLowestMetric)
{
    const std::string head =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
    const std::string local = "eth1\t004DA8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
    const std::string wlan = "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n";
    const std::string eth0 = "eth0\t00000000\t014DA8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n";
    EXPECT_EQ(velmora::DefaultRouteInterface(head + local + wlan + eth0), "eth0");
    EXPECT_EQ(velmora::DefaultRouteInterface(head + local), "");
    EXPECT_EQ(velmora::DefaultRouteInterface(""), "");
}

// Up interfaces only, in the kernel's order; loopback never.
TEST(LocalIPv4Addresses, ListsTheAddressesOfUpInterfaces)
{
    EXPECT_EQ(velmora::LocalIPv4Addresses(),
              (std::vector<std::string>{velmora::test::kIsolatedOtherAddress, kIsolatedAddress}));
}

TEST(DefaultRouteInterfaceAddress, IsTheAddressThatFacesTheGateway)
{
    EXPECT_EQ(velmora::DefaultRouteInterfaceAddress(), kIsolatedAddress);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!velmora::test::EnterIsolatedNetwork())
        return velmora::test::kSkipExitCode;
    return RUN_ALL_TESTS();
}
