#include "platform/NetworkInterfaces.h"

#include <gtest/gtest.h>

TEST(DefaultRouteInterface, PicksTheDefaultRouteWithTheLowestMetric)
{
    const std::string table =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        "eth1\t004DA8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
        "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
        "eth0\t00000000\t014DA8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n";
    EXPECT_EQ(velmora::DefaultRouteInterface(table), "eth0");
}

TEST(DefaultRouteInterface, NoDefaultRouteGivesNothing)
{
    const std::string table =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        "eth1\t004DA8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
    EXPECT_EQ(velmora::DefaultRouteInterface(table), "");
    EXPECT_EQ(velmora::DefaultRouteInterface(""), "");
}

TEST(LocalIPv4Addresses, NeverListsLoopback)
{
    for (const auto& address : velmora::LocalIPv4Addresses())
        EXPECT_NE(address.rfind("127.", 0), 0u) << address;
}
