#include "forwarding/core/PortCheck.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

PortCheckFindings Findings()
{
    PortCheckFindings f;
    f.target = {"web", "TCP", 8080, "192.168.77.2"};
    f.mappingCode = 0;
    f.held = {"web", "TCP", "8080", "192.168.77.2", "8080", "0"};
    f.probedClient = "192.168.77.2";
    f.probedPort = 8080;
    f.probe = ProbeResult{PortState::Open, "connection accepted"};
    f.externalCode = 0;
    f.externalAddress = "11.22.33.1";
    return f;
}

// Every part must be in the report.
void ExpectReport(const PortCheckFindings& f, std::initializer_list<std::string> parts)
{
    const auto text = BuildPortCheckReport(f);
    for (const auto& part : parts)
        EXPECT_NE(text.find(part), std::string::npos) << "missing: " << part << "\n" << text;
}

} // namespace

TEST(PortCheckReport, SaysWhatCanBeKnownFromInside)
{
    ExpectReport(Findings(), {"\"web\", TCP port 8080", "held, forwarded to 192.168.77.2:8080.",
                              "State: unfiltered",
                              "TCP 192.168.77.2:8080, connection accepted.\n   State: open",
                              "external address: 11.22.33.1", "needs a check from outside"});

    auto gone = Findings();
    gone.mappingCode = 714;
    gone.probe = ProbeResult{PortState::Closed, "connection refused"};
    ExpectReport(gone, {"no longer holds it.\n   State: filtered", "State: closed"});

    auto other = Findings();
    other.held.internalClient = "192.168.77.9";
    ExpectReport(other, {"forwarded to 192.168.77.9:8080 (not to 192.168.77.2)"});

    auto unknown = Findings();
    unknown.mappingCode = -3;
    unknown.probe.reset();
    unknown.externalCode.reset();
    ExpectReport(unknown, {"the router did not say (", "not probed (the check ran out of time)",
                           "external address: not read", "needs a check from outside"});
}

TEST(PortCheckReport, PrivateOrSharedExternalAddressTellsOfAnotherNat)
{
    const struct
    {
        const char* address;
        bool told;
    } cases[] = {{"192.168.1.20", true}, {"100.72.0.3", true}, {"11.22.33.1", false}};
    for (const auto& c : cases) {
        auto f = Findings();
        f.externalAddress = c.address;
        const auto text = BuildPortCheckReport(f);
        const bool told = text.find("carrier-grade NAT sits between this router and the internet") !=
                          std::string::npos;
        EXPECT_EQ(told, c.told) << text;
        if (c.told) {
            EXPECT_NE(text.find(std::string("external address: ") + c.address + "\n   The router's "
                                "external address " + c.address),
                      std::string::npos)
                << text;
        }
    }
}
