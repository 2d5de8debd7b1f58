#include "forwarding/core/PortCheck.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

PortCheckFindings Findings()
{
    PortCheckFindings f;
    f.target = {"web", "TCP", 8080, "192.168.77.2"};
    f.mappingCode = 0;
    f.held = {"web", "TCP", "8080", "192.168.77.2", "8080"};
    f.probedClient = "192.168.77.2";
    f.probedPort = 8080;
    f.probe = ProbeResult{PortState::Open, "connection accepted"};
    f.externalCode = 0;
    f.externalAddress = "11.22.33.1";
    return f;
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(PortStateWord, UsesTheLegendsWords)
{
    EXPECT_STREQ(PortStateWord(PortState::Open), "open");
    EXPECT_STREQ(PortStateWord(PortState::Closed), "closed");
    EXPECT_STREQ(PortStateWord(PortState::Filtered), "filtered");
    EXPECT_STREQ(PortStateWord(PortState::Unfiltered), "unfiltered");
    EXPECT_STREQ(PortStateWord(PortState::OpenFiltered), "open|filtered");
    EXPECT_STREQ(PortStateWord(PortState::ClosedFiltered), "closed|filtered");
}

TEST(BuildPortCheckReport, AHeldMappingToAnOpenPort)
{
    auto text = BuildPortCheckReport(Findings());
    EXPECT_TRUE(Has(text, "\"web\", TCP port 8080")) << text;
    EXPECT_TRUE(Has(text, "held, forwarded to 192.168.77.2:8080.")) << text;
    EXPECT_TRUE(Has(text, "State: unfiltered")) << text;
    EXPECT_TRUE(Has(text, "TCP 192.168.77.2:8080, connection accepted.\n   State: open")) << text;
    EXPECT_TRUE(Has(text, "external address: 11.22.33.1")) << text;
    EXPECT_TRUE(Has(text, "needs a check from outside")) << text;
}

TEST(BuildPortCheckReport, AMappingTheRouterNoLongerHolds)
{
    auto f = Findings();
    f.mappingCode = 714;
    f.probe = ProbeResult{PortState::Closed, "connection refused"};
    auto text = BuildPortCheckReport(f);
    EXPECT_TRUE(Has(text, "no longer holds it.\n   State: filtered")) << text;
    EXPECT_TRUE(Has(text, "State: closed")) << text;
}

TEST(BuildPortCheckReport, AMappingLeadingToAnotherClientSaysSo)
{
    auto f = Findings();
    f.held.internalClient = "192.168.77.9";
    auto text = BuildPortCheckReport(f);
    EXPECT_TRUE(Has(text, "forwarded to 192.168.77.9:8080 (not to 192.168.77.2)")) << text;
}

TEST(BuildPortCheckReport, WhatWasNotLearnedIsSaid)
{
    auto f = Findings();
    f.mappingCode = -3;
    f.probe.reset();
    f.externalCode.reset();
    auto text = BuildPortCheckReport(f);
    EXPECT_TRUE(Has(text, "the router did not say (")) << text;
    EXPECT_TRUE(Has(text, "not probed (the check ran out of time)")) << text;
    EXPECT_TRUE(Has(text, "external address: not read")) << text;
    EXPECT_TRUE(Has(text, "needs a check from outside")) << text;
}
