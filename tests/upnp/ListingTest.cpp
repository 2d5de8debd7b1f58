#include "UpnpTestSupport.h"

#include <gtest/gtest.h>

using namespace velmora::test;
using Whole = LoopbackHttpServer;

namespace {

const std::string kEndOfTable = FaultAnswer(713, "SpecifiedArrayIndexInvalid");
const std::string kNoNode = "Fail to get mapping info from response data.(NO ";

// The router's answer carrying `m` (same external and internal port).
std::string Answer(const MappingRecord& m)
{
    return EntryAnswer(m.external_port, m.protocol, m.internal_client, m.mapping_desc);
}

} // namespace

TEST(ListPortMappings, ReadsUntilTheRoutersErrorAnswer)
{
    LoopbackHttpServer server({Whole::Whole(EntryAnswer("8080", "TCP", "10.77.0.2", "web")),
                               Whole::Whole(EntryAnswer("53", "UDP", "10.77.0.3", "dns")),
                               Whole::Whole(EntryAnswer("22", "TCP", "10.77.0.4", "")),
                               Whole::Whole(kEndOfTable)});
    UpnpClient client;
    UseServer(client, server);
    client.mappings.push_back({"stale", "TCP", "1", "1.1.1.1", "1"});
    EXPECT_TRUE(client.list_port_mappings());
    EXPECT_EQ(client.mappings, (std::vector<MappingRecord>{
                                   {"web", "TCP", "8080", "10.77.0.2", "8080"},
                                   {"dns", "UDP", "53", "10.77.0.3", "53"},
                                   {"", "TCP", "22", "10.77.0.4", "22"},
                               }));
    EXPECT_EQ(client.mapping_lines, (std::vector<std::string>{
                                        "8080/TCP[web]-->10.77.0.2:8080\r\n",
                                        "53/UDP[dns]-->10.77.0.3:53\r\n",
                                        "22/TCP[]-->10.77.0.4:22\r\n",
                                    }));
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error, "Totally 3 mapping entries.\n");
    EXPECT_EQ(client.last_response, kEndOfTable);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[3],
              GoldenRequest(server, "GetGenericPortMappingEntry", kEntry3Arguments, "669"));
    EXPECT_NE(requests[0].find("<NewPortMappingIndex>0</NewPortMappingIndex>"), std::string::npos);
}

TEST(ListPortMappings, EndsOfTheTable)
{
    const MappingRecord web{"web", "TCP", "80", "10.77.0.2", "80"};
    const MappingRecord dns{"dns", "UDP", "53", "10.77.0.3", "53"};
    const MappingRecord s1{"server", "TCP", "443", "10.77.0.2", "443"};
    const MappingRecord s2{"server", "TCP", "444", "10.77.0.2", "444"};
    const MappingRecord s3{"server", "TCP", "445", "10.77.0.2", "445"};
    const std::string prefixed = LoopbackHttpServer::Response(
        "HTTP/1.1 200 OK",
        Envelope("<m:GetGenericPortMappingEntryResponse xmlns:m=\"urn:x\">"
                 "<m:NewExternalPort>9</m:NewExternalPort><m:NewProtocol>UDP</m:NewProtocol>"
                 "<m:NewInternalPort>10</m:NewInternalPort>"
                 "<m:NewInternalClient>10.77.0.9</m:NewInternalClient>"
                 "<m:NewPortMappingDescription>a &amp; b</m:NewPortMappingDescription>"
                 "</m:GetGenericPortMappingEntryResponse>",
                 "SOAP-ENV"));
    const std::string unreadable =
        ActionAnswer("GetGenericPortMappingEntry", "<NewExternalPort>2</NewExternalPort>");
    struct Case
    {
        const char* name;
        std::vector<std::string> answers;
        bool refuseLastConnection;
        bool result;
        std::vector<MappingRecord> kept;
        size_t lines;
        int connections;
        std::string error; // "PORT" stands for the server's port; empty: not checked
    };
    const std::vector<Case> cases = {
        {"empty table", {kEndOfTable}, false, true, {}, 0, 1, "Totally 0 mapping entries.\n"},
        // A router that answers past its last entry with that entry again: the
        // repeat's line is still noted.
        {"repeated last entry",
         {Answer(web), Answer(dns), Answer(dns), Answer(dns)},
         false,
         true,
         {web, dns},
         3,
         3,
         ""},
        {"entries sharing a description",
         {Answer(s1), Answer(s2), Answer(s3), kEndOfTable},
         false,
         true,
         {s1, s2, s3},
         3,
         4,
         "Totally 3 mapping entries.\n"},
        {"prefixed elements",
         {prefixed, kEndOfTable},
         false,
         true,
         {{"a & b", "UDP", "9", "10.77.0.9", "10"}},
         1,
         2,
         "Totally 1 mapping entries.\n"},
        {"unreadable entry",
         {Answer(web), unreadable},
         false,
         true,
         {web},
         1,
         2,
         kNoNode + "\"NewProtocol\" node.)\n"},
        {"connection refused at index 3",
         {Answer(web), Answer(dns), Answer(s1)},
         true,
         false,
         {web, dns, s1},
         3,
         3,
         "Fail to connect to 127.0.0.1:PORT (using TCP)\n"},
    };
    for (const Case& c : cases) {
        std::vector<LoopbackHttpServer::Reply> script;
        for (const std::string& answer : c.answers)
            script.push_back(Whole::Whole(answer));
        script.back().closeListenerFirst = c.refuseLastConnection;
        LoopbackHttpServer server(script);
        UpnpClient client;
        UseServer(client, server);
        EXPECT_EQ(client.list_port_mappings(), c.result) << c.name;
        EXPECT_EQ(client.mappings, c.kept) << c.name;
        EXPECT_EQ(client.mapping_lines.size(), c.lines) << c.name;
        EXPECT_EQ(server.connections(), c.connections) << c.name;
        std::string error = c.error;
        if (const size_t at = error.find("PORT"); at != std::string::npos)
            error.replace(at, 4, std::to_string(server.port()));
        if (!error.empty()) {
            EXPECT_EQ(client.status, UpnpStatus::Failed) << c.name;
            EXPECT_EQ(client.last_error, error) << c.name;
        }
    }
}

TEST(ListPortMappings, IndexCap)
{
    std::vector<LoopbackHttpServer::Reply> script;
    for (int i = 0; i < 5; ++i)
        script.push_back(Whole::Whole(
            EntryAnswer(std::to_string(i + 1), "TCP", "10.77.0.2", "entry " + std::to_string(i))));
    LoopbackHttpServer server(script);
    UpnpClient client;
    UseServer(client, server);
    EXPECT_EQ(client.max_listed, 2 * 65536); // the router's ports list reads as many
    client.max_listed = 3;
    EXPECT_TRUE(client.list_port_mappings());
    EXPECT_EQ(client.mappings.size(), 3u);
    EXPECT_EQ(client.last_error, "Totally 3 mapping entries.\n");
    EXPECT_EQ(client.listing_end, UpnpClient::ListingEnd::Capped);
}

TEST(ParseMappingInfo, MessagesInOrder)
{
    UpnpClient client;
    const std::pair<std::string, const char*> outer[] = {
        {"HTTP/1.1 200 OK\r\n\r\n", "SOAP-ENV:Envelope"},
        {"<s:Envelope><x/></s:Envelope>", "SOAP-ENV:Body"},
        {Envelope("<u:Other/>"), "u:GetGenericPortMappingEntryResponse"},
    };
    for (const auto& [answer, missing] : outer) {
        client.last_response = answer;
        EXPECT_FALSE(client.parse_mapping_info());
        EXPECT_EQ(client.last_error, kNoNode + "\"" + missing + "\" node.)\n");
    }
    std::string present;
    for (const char* name : {"NewExternalPort", "NewProtocol", "NewInternalPort",
                             "NewInternalClient", "NewPortMappingDescription"}) {
        client.last_response = Envelope("<u:GetGenericPortMappingEntryResponse>" + present +
                                        "</u:GetGenericPortMappingEntryResponse>");
        EXPECT_FALSE(client.parse_mapping_info());
        EXPECT_EQ(client.last_error, kNoNode + "\"" + name + "\" node.)\n");
        EXPECT_EQ(client.status, UpnpStatus::Failed);
        present += std::string("<") + name + "/>";
    }
    client.last_response = Envelope("<u:GetGenericPortMappingEntryResponse>" + present +
                                    "</u:GetGenericPortMappingEntryResponse>");
    EXPECT_TRUE(client.parse_mapping_info());
    EXPECT_EQ(client.mappings.back(), MappingRecord{});
    EXPECT_EQ(client.mapping_lines.back(), "/[]-->:\r\n");
}
