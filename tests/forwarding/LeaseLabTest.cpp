// Pinholes and PCP mappings against the lab's miniupnpd with IPv6 and an
// IGD:2 description: installed beside the IPv4 mappings, renewed at half
// their lease, reopened after a reboot, closed; PCP in place of NAT-PMP.
#include "forwarding/core/DualStackMonitoredRouter.h"
#include "forwarding/core/LeaseExchange.h"
#include "forwarding/core/LeaseWriter.h"
#include "forwarding/core/PinholePlan.h"
#include "router/core/RouterOffer.h"
#include "forwarding/core/UpnpMappingWriter.h"
#include "router/core/NatPmpProbe.h"
#include "tests/config/RecordMakers.h"
#include "tests/forwarding/LabRouterEntry.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <sstream>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class LeaseLab : public ::testing::Test
{
protected:
    lab::LabEnvironment& lab = lab::LabEnvironment::Instance();
    std::atomic<bool> cancel{false};

    void TearDown() override { EXPECT_TRUE(lab.rebootRouter()); }

    size_t logCount(const std::string& text) const
    {
        std::ifstream file(lab.routerLog());
        std::stringstream all;
        all << file.rdbuf();
        size_t count = 0;
        for (size_t at = all.str().find(text); at != std::string::npos;
             at = all.str().find(text, at + 1))
            ++count;
        return count;
    }
};

TEST_F(LeaseLab, ASevenPortEntryGetsItsPinholesBesideItsMappings)
{
    auto router = UpnpRouter(lab.descriptionUrl());
    ASSERT_NE(router, nullptr);
    const RouterOffer offer = OfferOf(*router);
    EXPECT_TRUE(offer.upnpFirewall);
    EXPECT_EQ(offer.pinholeAddress, lab.lan6Host());
    ASSERT_EQ(offer.pinholes.via, LeaseRoute::Via::UpnpPinhole);

    const std::vector entries{MakeForwarding("seven", "N", "TCP", "16500-16506", lab.lanHost())};
    MappingPlan plan = PlanMappings(entries);
    AddPinholeRequests(plan, entries, offer.pinholeAddress, IsThisComputer);
    auto book = std::make_shared<LeaseBook>();
    DualStackWriter writer(std::make_unique<UpnpMappingWriter>(EndpointOf(*router)),
                           std::make_unique<LeaseWriter>(offer.pinholes, book));
    const auto start = Clock::now();
    const InstallResult result = InstallMappings(plan, writer, cancel, {});
    std::printf("figure: 7-port entry over IPv4 + IPv6 installed in %lld ms\n",
                static_cast<long long>((Clock::now() - start) / 1ms));
    EXPECT_EQ(result.installed, 14u);
    const FamilyCounts held = CountFamilies(result.held);
    EXPECT_EQ(held.ipv4, 7u);
    EXPECT_EQ(held.ipv6, 7u);
    EXPECT_EQ(lab.routerMappings().size(), 7u);
    EXPECT_EQ(lab.routerPinholes().size(), 7u);
    EXPECT_EQ(book->leases().size(), 7u);
    EXPECT_TRUE(lab.reachesFromInternet(lab.lan6Host(), lab.lan6Host(), 16503));
}

TEST_F(LeaseLab, APinholeIsRenewedAtHalfItsLeaseReopenedAfterARebootAndClosed)
{
    auto router = UpnpRouter(lab.descriptionUrl());
    ASSERT_NE(router, nullptr);
    const RouterOffer offer = OfferOf(*router);
    auto book = std::make_shared<LeaseBook>();
    LeaseWriter writer(offer.pinholes, book, 4);
    const MappingRequest request{16510, "TCP", lab.lan6Host(), "renewed"};
    ASSERT_EQ(writer.write(request), MappingWriter::Outcome::Written) << writer.problem();
    EXPECT_TRUE(writer.holds(request));
    for (auto end = Clock::now() + 5s; Clock::now() < end && book->renewals() == 0;)
        std::this_thread::sleep_for(50ms);
    EXPECT_GE(book->renewals(), 1u);
    EXPECT_GE(logCount("UpdatePinhole: (inbound) updating lease duration to 4"), 1u);

    // From here the monitor alone looks after it (no renewals in between).
    HeldLease lease;
    ASSERT_TRUE(book->release(LeaseKey(request), &lease));
    book = std::make_shared<LeaseBook>([](HeldLease&) { return LeaseBook::Renewal::Renewed; });
    book->hold(lease);
    ASSERT_TRUE(lab.rebootRouter());
    ASSERT_TRUE(lab.routerPinholes().empty());
    DualStackMonitoredRouter monitored(nullptr, book, offer.pinholes, {}, 4);
    const auto start = Clock::now();
    EXPECT_EQ(monitored.lookup(request).state, MappingLookup::State::Missing);
    EXPECT_TRUE(monitored.reinstall(request));
    std::printf("figure: pinhole reopened %lld ms after the monitor looked\n",
                static_cast<long long>((Clock::now() - start) / 1ms));
    ASSERT_EQ(lab.routerPinholes().size(), 1u);
    EXPECT_EQ(monitored.lookup(request).state, MappingLookup::State::Held);

    ASSERT_TRUE(book->release(LeaseKey(request), &lease));
    EXPECT_TRUE(CloseHeldLease(lease));
    EXPECT_TRUE(lab.routerPinholes().empty());
}

TEST_F(LeaseLab, PcpReplacesNatPmpWhereTheGatewaySpeaksIt)
{
    RouterEntryPtr gateway = ProbeNatPmpRouter();
    ASSERT_NE(gateway, nullptr);
    EXPECT_TRUE(gateway->speaks_pcp);
    const RouterOffer offer = OfferOf(*gateway);
    ASSERT_EQ(offer.pcpMappings.via, LeaseRoute::Via::Pcp);
    ASSERT_EQ(offer.pinholes.via, LeaseRoute::Via::Pcp) << "no UPnP for a NAT-PMP gateway";
    auto book = std::make_shared<LeaseBook>();
    DualStackWriter writer(std::make_unique<LeaseWriter>(offer.pcpMappings, book),
                           std::make_unique<LeaseWriter>(offer.pinholes, book));
    EXPECT_EQ(writer.write({16520, "TCP", "Localhost", "pcp"}), MappingWriter::Outcome::Written);
    EXPECT_EQ(writer.write({16521, "UDP", lab.lan6Host(), "pcp"}), MappingWriter::Outcome::Written);
    ASSERT_EQ(lab.routerMappings().size(), 1u);
    EXPECT_EQ(lab.routerMappings()[0].internalAddress, lab.lanHost());
    EXPECT_EQ(lab.routerMappings()[0].externalPort, 16520);
    ASSERT_EQ(lab.routerPinholes().size(), 1u);
    EXPECT_EQ(lab.routerPinholes()[0].port, 16521);

    ASSERT_TRUE(lab.stopRouter());
    TempDir dir;
    lab::BackgroundProcess natPmpOnly =
        lab.spawn(lab::Side::Router, {lab::LabEnvironment::FakePcpPath(), "--mode", "natpmp-only"},
                  dir.file("fake"));
    ASSERT_TRUE(natPmpOnly.waitForOutput("fake_pcp ready", 5s));
    gateway = ProbeNatPmpRouter();
    ASSERT_NE(gateway, nullptr);
    EXPECT_FALSE(gateway->speaks_pcp) << "a NAT-PMP gateway stays NAT-PMP";
    EXPECT_FALSE(OfferOf(*gateway).pcpMappings);
}

} // namespace
} // namespace velmora::test
