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

TEST(GlobalIPv6Addresses, KeepsReachableAddressesLastingOnesFirst)
{
    // address index prefix scope flags name, as /proc/net/if_inet6 lists them
    const std::string table =
        "fe80000000000000a8bbccfffe000001 02 40 20 80     eth0\n"
        "20010db8007700000000000000000099 02 40 00 01     eth0\n" // temporary
        "fd000000000000000000000000000002 02 40 00 80     eth0\n" // ULA
        "20010db8007700000000000000000002 02 40 00 80     eth0\n"
        "20010db8007700000000000000000003 02 40 00 40     eth0\n"  // tentative
        "20010db8007800000000000000000002 03 40 00 a0     wlan0\n" // deprecated
        "00000000000000000000000000000001 01 80 10 80       lo\n";
    const auto found = velmora::GlobalIPv6Addresses(table);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].address, "2001:db8:77::2");
    EXPECT_EQ(found[1].address, "2001:db8:77::99");
    EXPECT_TRUE(found[1].temporary);
    EXPECT_TRUE(found[2].deprecated);
    EXPECT_EQ(velmora::PinholeAddress(found, "eth0"), "2001:db8:77::2");
    EXPECT_EQ(velmora::PinholeAddress(found, "wlan0"), "2001:db8:78::2") << "the only one there";
    EXPECT_EQ(velmora::PinholeAddress(found, "eth9"), "");
}

TEST(DefaultIPv6Gateway, TheGatewayRouteWithTheLowestMetricLinkLocalWithItsZone)
{
    const std::string zero(32, '0');
    const std::string table =
        "20010db8007700000000000000000000 40 " + zero + " 00 " + zero +
        " 00000100 1 0 00000001 eth0\n" + zero + " 00 " + zero + " 00 " + zero +
        " ffffffff 1 0 00200200 lo\n" + // unreachable
        zero + " 00 " + zero + " 00 fe800000000000000000000000000001 00000400 1 0 00450003 eth0\n" +
        zero + " 00 " + zero + " 00 20010db8007800000000000000000001 00000800 1 0 00000003 wlan0\n";
    const velmora::IPv6Gateway gateway = velmora::DefaultIPv6Gateway(table);
    EXPECT_EQ(gateway.zoned(), "fe80::1%eth0");
    EXPECT_EQ(velmora::DefaultIPv6Gateway("").zoned(), "");
    EXPECT_EQ((velmora::IPv6Gateway{"2001:db8::1", "eth0"}.zoned()), "2001:db8::1");
}
