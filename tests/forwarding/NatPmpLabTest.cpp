// Port forwarding to an AirPort-style gateway: the lab's miniupnpd answering
// NAT-PMP only. Mappings are checked on the router's own NAT rules.

#include "forwarding/core/NatPmpLeaseKeeper.h"
#include "tests/forwarding/LabSupport.h"

#include <ctime>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

namespace velmora::test {
namespace {

using lab::LabEnvironment;
using lab::RouterMode;

std::set<std::string> Mapped(const std::vector<lab::RouterMapping>& mappings)
{
    std::set<std::string> out;
    for (const auto& m : mappings) {
        out.insert(m.protocol + " " + std::to_string(m.externalPort) + " " + m.internalAddress +
                   ":" + std::to_string(m.internalPort));
    }
    return out;
}

class NatPmpLab : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();
    RouterEntryPtr router;

    void SetUp() override
    {
        LabApp();
        router = LabAppleRouter(lab.routerLan());
        ASSERT_NE(router, nullptr);
    }

    void TearDown() override
    {
        if (!lab.routerRunning()) {
            ASSERT_TRUE(lab.startRouter(RouterMode::Natpmp));
        }
        // Each test starts with a router that holds no mapping: give them back.
        for (const auto& m : lab.routerMappings()) {
            const int protocol = m.protocol == "tcp" ? NATPMP_PROTOCOL_TCP : NATPMP_PROTOCOL_UDP;
            RequestNatPmpMapping(router->natpmp.gateway, protocol, m.internalPort, 0, 0,
                                 kNatPmpTimeout);
        }
        EXPECT_TRUE(lab.routerMappings().empty());
    }

    std::string Map(const char* protocol, int port) const
    {
        return std::string(protocol) + " " + std::to_string(port) + " " + lab.lanHost() + ":" +
               std::to_string(port);
    }
};

TEST_F(NatPmpLab, AnEntryIsMappedForThisComputerAndKeptAlive)
{
    LabTab tab({MakeEntry("airport", "TCP", "24000", "Localhost")}, router);
    tab.view->setNatPmpLifetime(4);
    EXPECT_TRUE(tab.addIntoRouter({0}).isEmpty());
    const std::set<std::string> expected{Map("tcp", 24000)};
    EXPECT_EQ(Mapped(lab.routerMappings()), expected);

    // Renewed at half its lifetime, it outlives that lifetime several times over.
    ASSERT_TRUE(WaitFor([&] { return tab.view->natPmpLeases().renewals() >= 4; }, 30000));
    EXPECT_EQ(Mapped(lab.routerMappings()), expected);

    // Once nobody renews it, the router lets it run out.
    tab.view.reset();
    EXPECT_TRUE(WaitFor([&] { return lab.routerMappings().empty(); }, 30000));
}

TEST_F(NatPmpLab, BothMapsTcpAndUdp)
{
    LabTab tab({MakeEntry("game", "Both", "24010-24011", "Localhost")}, router);
    EXPECT_TRUE(tab.addIntoRouter({0}).isEmpty());
    EXPECT_EQ(Mapped(lab.routerMappings()),
              (std::set<std::string>{Map("tcp", 24010), Map("tcp", 24011), Map("udp", 24010),
                                     Map("udp", 24011)}));
    EXPECT_EQ(tab.view->natPmpLeases().leaseCount(), 4u);
}

// Seconds from now to the expiry the router's lease file gives a mapping, or -1.
long SecondsLeft(const std::string& leaseFile, const std::string& protocol, int port)
{
    std::ifstream in(leaseFile);
    std::string line;
    const std::string prefix = protocol + ":" + std::to_string(port) + ":";
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        // PROTO:EXTPORT:IADDR:IPORT:EXPIRY:DESCRIPTION
        size_t field = 0;
        for (int i = 0; i < 4 && field != std::string::npos; ++i)
            field = line.find(':', field + 1);
        if (field == std::string::npos)
            return -1;
        return std::atol(line.c_str() + field + 1) - static_cast<long>(std::time(nullptr));
    }
    return -1;
}

TEST_F(NatPmpLab, TheMappingIsAskedForTwoHours)
{
    LabTab tab({MakeEntry("long", "UDP", "24020", "Localhost")}, router);
    EXPECT_TRUE(tab.addIntoRouter({0}).isEmpty());
    const long left = SecondsLeft(lab.leaseFile(), "UDP", 24020);
    EXPECT_GT(left, 7200 - 60);
    EXPECT_LE(left, 7200);
    EXPECT_EQ(tab.view->natPmpLeases().renewals(), 0u);
    EXPECT_EQ(NatPmpLeaseKeeper::renewInterval(7200), std::chrono::seconds(3600));
}

TEST_F(NatPmpLab, AGatewayThatDoesNotAnswerIsAFailure)
{
    ASSERT_TRUE(lab.stopRouter());
    LabTab tab({MakeEntry("silent", "TCP", "24030", "Localhost")}, router);
    EXPECT_EQ(tab.addIntoRouter({0}), QStringList{"Failed to add port mapping into router!"});
    EXPECT_EQ(tab.view->natPmpLeases().leaseCount(), 0u);
}

} // namespace
} // namespace velmora::test
