// The whole mapping table in bulk (GetListOfPortMappings) and its fall-back,
// against scripted loopback answers; the router lab proves it on miniupnpd.

#include "upnp/core/PortMappingList.h"

#include "UpnpTestSupport.h"
#include "upnp/core/DoubleNat.h"

#include <gtest/gtest.h>
#include <span>

using namespace velmora::test;
using velmora::kWanIpConnection2;

namespace {

std::string ListEntry(int port, const std::string& protocol, const std::string& description)
{
    return "<p:PortMappingEntry><p:NewRemoteHost></p:NewRemoteHost><p:NewExternalPort>" +
           std::to_string(port) + "</p:NewExternalPort><p:NewProtocol>" + protocol +
           "</p:NewProtocol><p:NewInternalPort>" + std::to_string(port + 1) +
           "</p:NewInternalPort><p:NewInternalClient>192.168.77.2</p:NewInternalClient>"
           "<p:NewEnabled>1</p:NewEnabled><p:NewDescription>" +
           description +
           "</p:NewDescription><p:NewLeaseTime>0</p:NewLeaseTime>"
           "</p:PortMappingEntry>";
}

std::string ListAnswer(const std::string& entries, bool cdata = true)
{
    std::string list = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><p:PortMappingList "
                       "xmlns:p=\"urn:schemas-upnp-org:gw:WANIPConnection\">" +
                       entries + "</p:PortMappingList>";
    if (!cdata) {
        std::string escaped;
        for (char c : list)
            escaped += c == '<'   ? "&lt;"
                       : c == '>' ? "&gt;"
                       : c == '&' ? "&amp;"
                                  : std::string(1, c);
        list = escaped;
    } else {
        list = "<![CDATA[" + list + "]]>";
    }
    return ActionAnswer("GetListOfPortMappings", "<NewPortListing>" + list + "</NewPortListing>");
}

std::vector<std::string> Lines(const std::vector<MappingRecord>& records)
{
    std::vector<std::string> out;
    for (const auto& r : records)
        out.push_back(r.mapping_desc + "|" + r.protocol + "|" + r.external_port + "|" +
                      r.internal_client + "|" + r.internal_port);
    return out;
}

struct Listed
{
    bool ok = false;
    UpnpClient::ListingEnd end = UpnpClient::ListingEnd::Complete;
    std::vector<std::string> handedOn;
    std::vector<size_t> batches; // entries per call of mappings_added
    std::vector<std::string> kept;
    std::vector<std::string> requests;
};

Listed ReadTable(std::vector<LoopbackHttpServer::Reply> script, const char* serviceType)
{
    LoopbackHttpServer server(std::move(script));
    UpnpClient client;
    client.init_client(1);
    client.setRouterInfo(RouterInfo::forService(server.url("/ctl/IPConn"), serviceType));
    std::vector<MappingRecord> handedOn;
    Listed listed;
    client.mappings_added = [&](std::span<const MappingRecord> batch) {
        handedOn.insert(handedOn.end(), batch.begin(), batch.end());
        listed.batches.push_back(batch.size());
    };
    listed.ok = velmora::ReadMappingTable(client);
    listed.end = client.listing_end;
    listed.handedOn = Lines(handedOn);
    listed.kept = Lines(client.mappings);
    listed.requests = server.requests();
    return listed;
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(DoubleNat, PrivateAndSharedRanges)
{
    const struct
    {
        const char* address;
        bool behindAnotherNat;
    } cases[] = {
        {"10.0.0.1", true},        {"10.255.255.255", true},
        {"172.16.0.1", true},      {"172.31.255.254", true},
        {"172.15.255.255", false}, {"172.32.0.0", false},
        {"192.168.1.1", true},     {"192.169.0.1", false},
        {"100.64.0.1", true},      {"100.127.255.255", true},
        {"100.63.255.255", false}, {"100.128.0.0", false},
        {"11.22.33.1", false},     {"", false},
        {"not an address", false}, {"10.0.0.1 ", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velmora::IsPrivateOrSharedAddress(c.address), c.behindAnotherNat) << c.address;
    const std::string message = velmora::DoubleNatMessage("100.64.1.2");
    EXPECT_TRUE(Has(message, "100.64.1.2"));
    EXPECT_TRUE(Has(message, "carrier-grade NAT"));
    EXPECT_TRUE(Has(message, "will not make a program on this computer reachable"));
}

TEST(PortListing, ReadsCdataAndEscapedListsAndFaults)
{
    const std::string two = ListEntry(8080, "TCP", "web &amp; mail") + ListEntry(22, "TCP", "ssh");
    const struct
    {
        std::string response;
        velmora::PortListingAnswer answer;
        size_t entries;
    } cases[] = {
        {ListAnswer(two), velmora::PortListingAnswer::Entries, 2},
        {ListAnswer(two, false), velmora::PortListingAnswer::Entries, 2},
        {ListAnswer(""), velmora::PortListingAnswer::Entries, 0},
        {FaultAnswer(730, "PortMappingNotFound"), velmora::PortListingAnswer::NoneLeft, 0},
        {FaultAnswer(714, "NoSuchEntryInArray"), velmora::PortListingAnswer::NoneLeft, 0},
        {FaultAnswer(401, "Invalid Action"), velmora::PortListingAnswer::Refused, 0},
        {ActionAnswer("GetListOfPortMappings"), velmora::PortListingAnswer::Refused, 0},
        {ActionAnswer("GetListOfPortMappings", "<NewPortListing>junk</NewPortListing>"),
         velmora::PortListingAnswer::Refused, 0},
        {"", velmora::PortListingAnswer::Refused, 0},
    };
    for (const auto& c : cases) {
        std::vector<MappingRecord> entries;
        EXPECT_EQ(velmora::ReadPortListing(c.response, entries), c.answer) << c.response;
        EXPECT_EQ(entries.size(), c.entries) << c.response;
    }
    std::vector<MappingRecord> entries;
    velmora::ReadPortListing(ListAnswer(two, false), entries);
    EXPECT_EQ(Lines(entries), (std::vector<std::string>{"web & mail|TCP|8080|192.168.77.2|8081",
                                                        "ssh|TCP|22|192.168.77.2|23"}));
}

TEST(MappingTable, InBulkOnVersion2TcpThenUdp)
{
    const auto listed =
        ReadTable({LoopbackHttpServer::Whole(ListAnswer(ListEntry(8080, "TCP", "web"))),
                   LoopbackHttpServer::Whole(
                       ListAnswer(ListEntry(53, "UDP", "dns") + ListEntry(54, "UDP", "dns")))},
                  kWanIpConnection2);
    EXPECT_TRUE(listed.ok);
    const std::vector<std::string> rows = {"web|TCP|8080|192.168.77.2|8081",
                                           "dns|UDP|53|192.168.77.2|54",
                                           "dns|UDP|54|192.168.77.2|55"};
    EXPECT_EQ(listed.handedOn, rows); // entries sharing a description all stay
    EXPECT_EQ(listed.kept, rows);
    EXPECT_EQ(listed.end, UpnpClient::ListingEnd::Complete);
    ASSERT_EQ(listed.requests.size(), 2u);
    EXPECT_TRUE(Has(listed.requests[0], "#GetListOfPortMappings\""));
    EXPECT_TRUE(Has(listed.requests[0], "<NewStartPort>0</NewStartPort>\r\n<NewEndPort>65535"
                                        "</NewEndPort>\r\n<NewProtocol>TCP</NewProtocol>"));
    EXPECT_TRUE(Has(listed.requests[0], "<NewNumberOfPorts>1000</NewNumberOfPorts>"));
    EXPECT_TRUE(Has(listed.requests[1], "<NewProtocol>UDP</NewProtocol>"));
}

// The UDP pass refused after the TCP one was read: what came stays, and the
// list says it is not complete.
TEST(MappingTable, ALaterChunkRefusedLeavesAPartialList)
{
    const auto listed =
        ReadTable({LoopbackHttpServer::Whole(ListAnswer(ListEntry(8080, "TCP", "web"))),
                   LoopbackHttpServer::Whole(FaultAnswer(501, "ActionFailed"))},
                  kWanIpConnection2);
    EXPECT_TRUE(listed.ok);
    EXPECT_EQ(listed.kept.size(), 1u);
    EXPECT_EQ(listed.end, UpnpClient::ListingEnd::Partial);
}

TEST(MappingTable, AFullChunkAsksOnFromAboveItsHighestPort)
{
    std::string full;
    for (int i = 0; i < velmora::kPortListingChunk; ++i)
        full += ListEntry(2000 + i, "TCP", "m" + std::to_string(i));
    const auto listed =
        ReadTable({LoopbackHttpServer::Whole(ListAnswer(full)),
                   LoopbackHttpServer::Whole(ListAnswer(ListEntry(9000, "TCP", "x"))),
                   LoopbackHttpServer::Whole(FaultAnswer(730, "PortMappingNotFound"))},
                  kWanIpConnection2);
    EXPECT_TRUE(listed.ok);
    EXPECT_EQ(listed.kept.size(), 1001u);
    ASSERT_EQ(listed.requests.size(), 3u);
    EXPECT_TRUE(Has(listed.requests[1], "<NewStartPort>3000</NewStartPort>"));
    EXPECT_TRUE(Has(listed.requests[2], "<NewProtocol>UDP</NewProtocol>"));
}

// Routers that claim too much: more entries than asked, with ports that lead
// nowhere, and every port in use. Each answer is handed on as one batch.
TEST(MappingTable, BoundedPerAnswerAndPerProtocolAndEndsWithoutProgress)
{
    const int chunk = velmora::kPortListingChunk;
    const auto answer = [](int first, int count, bool portless) {
        std::string entries;
        for (int port = first; port < first + count; ++port)
            entries += "<p:PortMappingEntry><p:NewExternalPort>" +
                       (portless ? "x" : std::to_string(port)) +
                       "</p:NewExternalPort></p:PortMappingEntry>";
        return LoopbackHttpServer::Whole(ListAnswer(entries));
    };
    const auto portless =
        ReadTable({answer(0, 3 * chunk, true), answer(0, 3 * chunk, true)}, kWanIpConnection2);
    EXPECT_EQ(portless.batches, (std::vector<size_t>{1000, 1000}));
    EXPECT_EQ(portless.requests.size(), 2u);
    EXPECT_EQ(portless.end, UpnpClient::ListingEnd::Partial);
    std::vector<LoopbackHttpServer::Reply> everyPort;
    for (int first = 0; first <= 65535; first += chunk)
        everyPort.push_back(answer(first, chunk, false));
    everyPort.push_back(LoopbackHttpServer::Whole(FaultAnswer(730, "PortMappingNotFound")));
    std::vector<size_t> batches(65, chunk);
    batches.push_back(535); // 65,535 in all
    const auto full = ReadTable(std::move(everyPort), kWanIpConnection2);
    EXPECT_EQ(full.batches, batches);
    EXPECT_EQ(full.requests.size(), 67u);
    EXPECT_EQ(full.end, UpnpClient::ListingEnd::Partial);
}

TEST(MappingTable, RefusedBulkFallsBackToEntryByEntry)
{
    const std::vector<std::string> rows = {"web|TCP|8080|10.77.0.2|8080",
                                           "web|UDP|8080|10.77.0.2|8080"};
    for (const char* service : {kWanIpConnection2, kWanIp}) {
        std::vector<LoopbackHttpServer::Reply> script;
        if (service == std::string(kWanIpConnection2))
            script.push_back(LoopbackHttpServer::Whole(FaultAnswer(401, "Invalid Action")));
        script.push_back(LoopbackHttpServer::Whole(EntryAnswer("8080", "TCP", "10.77.0.2", "web")));
        script.push_back(LoopbackHttpServer::Whole(EntryAnswer("8080", "UDP", "10.77.0.2", "web")));
        script.push_back(LoopbackHttpServer::Whole(FaultAnswer(713, "SpecifiedArrayIndexInvalid")));
        const auto listed = ReadTable(std::move(script), service);
        EXPECT_TRUE(listed.ok) << service;
        EXPECT_EQ(listed.handedOn, rows) << service;
        EXPECT_EQ(listed.kept, rows) << service;
        ASSERT_FALSE(listed.requests.empty());
        EXPECT_TRUE(Has(listed.requests.back(), "#GetGenericPortMappingEntry\"")) << service;
    }
}

TEST(MappingTable, NoEndpointIsAFailure)
{
    UpnpClient client;
    client.init_client(1);
    client.setRouterInfo(RouterInfo::forService("", kWanIpConnection2));
    EXPECT_FALSE(velmora::ReadMappingTable(client));
    client.setRouterInfo(RouterInfo::forService("", kWanIp));
    EXPECT_FALSE(velmora::ReadMappingTable(client));
}
