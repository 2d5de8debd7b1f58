#include "router/core/RouterInfoReport.h"

#include <gtest/gtest.h>

namespace {

RouterInfoValues FullAnswer()
{
    RouterInfoValues values;
    values.connectionType = "IP_Routed";
    values.status = RouterInfoValues::Status{"Connected", 3600};
    values.bitRates = RouterInfoValues::BitRates{2560000, 999};
    values.externalAddress = "11.22.33.1";
    values.bytesSent = 1234;
    values.bytesReceived = 56789;
    values.packetsSent = 12;
    values.packetsReceived = 345678901;
    return values;
}

TEST(BitRateBracket, BelowAThousandHasNoBracket)
{
    EXPECT_EQ(BitRateBracket(0), "");
    EXPECT_EQ(BitRateBracket(999), "");
}

TEST(BitRateBracket, ThousandsInKbps)
{
    EXPECT_EQ(BitRateBracket(1000), " (1 Kbps)");
    EXPECT_EQ(BitRateBracket(1999), " (1 Kbps)");
    EXPECT_EQ(BitRateBracket(999999), " (999 Kbps)");
}

TEST(BitRateBracket, MillionsInMbpsWithTheTenthCut)
{
    EXPECT_EQ(BitRateBracket(1000000), " (1.0 Mbps)");
    EXPECT_EQ(BitRateBracket(2560000), " (2.5 Mbps)");
    EXPECT_EQ(BitRateBracket(1999999), " (1.9 Mbps)");
    EXPECT_EQ(BitRateBracket(100000000), " (100.0 Mbps)");
    EXPECT_EQ(BitRateBracket(4294967295u), " (4294.9 Mbps)");
}

TEST(RouterInfoReport, EveryLineOfAFullAnswer)
{
    EXPECT_EQ(FormatRouterInfoReport(FullAnswer()),
              "Connection Type : IP_Routed\n"
              "Status : Connected, uptime=3600s\n"
              "MaxBitRateDown : 2560000 bps (2.5 Mbps)   MaxBitRateUp 999 bps\n"
              "\n"
              "ExternalIPAddress = 11.22.33.1\n"
              "Bytes:   Sent:     1234\tRecv:    56789\n"
              "Packets: Sent:       12\tRecv: 345678901\n");
}

TEST(RouterInfoReport, BothRatesGetTheirOwnBracket)
{
    RouterInfoValues values;
    values.bitRates = RouterInfoValues::BitRates{1000000, 1000};
    std::string report = FormatRouterInfoReport(values);
    EXPECT_EQ(report.substr(0, report.find('\n') + 1),
              "MaxBitRateDown : 1000000 bps (1.0 Mbps)   MaxBitRateUp 1000 bps (1 Kbps)\n");
}

TEST(RouterInfoReport, NothingAnsweredLeavesTheEmptyLineAndTheCounters)
{
    RouterInfoValues values;
    values.bytesSent = static_cast<unsigned>(-3);
    EXPECT_EQ(FormatRouterInfoReport(values), "\n"
                                              "Bytes:   Sent: 4294967293\tRecv:        0\n"
                                              "Packets: Sent:        0\tRecv:        0\n");
}

TEST(RouterInfoReport, FailedBitRatesStillGiveTheEmptyLine)
{
    RouterInfoValues values = FullAnswer();
    values.bitRates.reset();
    values.externalAddress.reset();
    EXPECT_EQ(FormatRouterInfoReport(values), "Connection Type : IP_Routed\n"
                                              "Status : Connected, uptime=3600s\n"
                                              "\n"
                                              "Bytes:   Sent:     1234\tRecv:    56789\n"
                                              "Packets: Sent:       12\tRecv: 345678901\n");
}

TEST(RouterInfoReport, UptimeIsUnsigned)
{
    RouterInfoValues values;
    values.status = RouterInfoValues::Status{"Connected", 4294967295u};
    EXPECT_EQ(FormatRouterInfoReport(values).substr(0, 38),
              "Status : Connected, uptime=4294967295s");
}

TEST(RouterInfoReport, AppendsToWhatTheCallerHas)
{
    // BuildRouterInfoReport appends; the text itself is only the answer's.
    std::string report = "x";
    report += FormatRouterInfoReport(RouterInfoValues{});
    EXPECT_EQ(report.substr(0, 2), "x\n");
}

} // namespace
