// The PCP client against the lab's miniupnpd over IPv4 and IPv6 (a gateway of
// NAT-PMP alone and stray answers are rows of the hostile-router table).
#include "platform/NetworkInterfaces.h"
#include "router/core/PcpExchange.h"
#include "tests/lab/LabEnvironment.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

namespace velmora::lab {
namespace {

using namespace std::chrono_literals;
using Status = PcpOutcome::Status;

class PcpLab : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();

    void TearDown() override
    {
        lab.unblockRouterPort("udp", 5351);
        EXPECT_TRUE(lab.rebootRouter()) << "leaves no mapping behind";
    }

    std::string gateway6() const { return DefaultIPv6Gateway().zoned(); }
};

PcpRequest Map(const std::string& protocol, uint16_t port, uint32_t lifetime, bool ipv4)
{
    return PcpMap(protocol, port, lifetime, NewPcpNonce(), ipv4);
}

PcpOutcome Exchange(const std::string& server, const std::string& source, const PcpRequest& r)
{
    return ExchangePcp(server, source, r, DeadlineAfter(2s));
}

TEST_F(PcpLab, AMapOverIPv4IsAPortMappingUntilItsNonceEndsIt)
{
    PcpRequest map = Map("TCP", 16400, 600, true);
    PcpOutcome outcome = Exchange(lab.routerLan(), "", map);
    ASSERT_EQ(outcome.status, Status::Answered) << English(DescribePcpOutcome(outcome));
    EXPECT_EQ(English(DescribePcpOutcome(outcome)), "");
    EXPECT_EQ(outcome.answer.externalPort, 16400);
    in_addr wan{};
    inet_pton(AF_INET, lab.routerWan().c_str(), &wan);
    const in6_addr expected = MappedIPv4(wan);
    EXPECT_EQ(memcmp(&outcome.answer.externalAddress, &expected, 16), 0);
    ASSERT_EQ(lab.routerMappings().size(), 1u);
    EXPECT_EQ(lab.routerMappings()[0].internalAddress, lab.lanHost());
    EXPECT_TRUE(lab.reachesFromInternet(lab.routerWan(), lab.lanHost(), 16400));

    map.lifetime = 0;
    outcome = Exchange(lab.routerLan(), "", map);
    EXPECT_EQ(outcome.status, Status::Answered);
    EXPECT_EQ(outcome.answer.result, pcp_result::kSuccess);
    EXPECT_TRUE(lab.routerMappings().empty());
}

TEST_F(PcpLab, AMapOverIPv6OpensAPinholeForTheSender)
{
    PcpRequest map = Map("UDP", 16410, 600, false);
    PcpOutcome outcome = Exchange(gateway6(), lab.lan6Host(), map);
    ASSERT_EQ(outcome.status, Status::Answered) << English(DescribePcpOutcome(outcome));
    EXPECT_EQ(outcome.answer.result, pcp_result::kSuccess);
    EXPECT_EQ(outcome.answer.lifetime, 600u);
    ASSERT_EQ(lab.routerPinholes().size(), 1u);
    EXPECT_EQ(lab.routerPinholes()[0].address, lab.lan6Host());
    EXPECT_EQ(lab.routerPinholes()[0].port, 16410);

    map.lifetime = 0;
    EXPECT_EQ(Exchange(gateway6(), lab.lan6Host(), map).answer.result, pcp_result::kSuccess);
    EXPECT_TRUE(lab.routerPinholes().empty());
}

TEST_F(PcpLab, AGatewayWithoutPcpIsToldApartFromOneThatIsSilent)
{
    ASSERT_TRUE(lab.restartRouter(RouterMode::Upnp));
    auto start = SteadyClock::now();
    EXPECT_EQ(Exchange(lab.routerLan(), "", Map("TCP", 16420, 600, true)).status, Status::Refused);
    EXPECT_LT(SteadyClock::now() - start, 1s) << "a closed port answers at once";

    ASSERT_TRUE(lab.restartRouter(RouterMode::Both));
    ASSERT_TRUE(lab.blockRouterPort("udp", 5351));
    start = SteadyClock::now();
    EXPECT_EQ(Exchange(lab.routerLan(), "", Map("TCP", 16420, 600, true)).status, Status::NoAnswer);
    EXPECT_LT(SteadyClock::now() - start, 2500ms) << "bounded by the deadline";
}

} // namespace
} // namespace velmora::lab
