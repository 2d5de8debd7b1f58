#include "SoapAnswers.h"
#include "SoapGolden.h"
#include "upnp/core/UpnpClient.h"

#include <gtest/gtest.h>

using namespace velmora::test;

namespace {

using Whole = LoopbackHttpServer;

void UseServer(UpnpClient& client, const LoopbackHttpServer& server)
{
    client.init_client(1);
    client.setRouterInfo(RouterInfo::forService(server.url("/ctl/IPConn"), kWanIp));
}

const std::string kEndOfTable = FaultAnswer(713, "SpecifiedArrayIndexInvalid");

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
    ASSERT_EQ(client.mappings.size(), 3u);
    EXPECT_EQ(client.mappings[0], (MappingRecord{"web", "TCP", "8080", "10.77.0.2", "8080"}));
    EXPECT_EQ(client.mappings[1], (MappingRecord{"dns", "UDP", "53", "10.77.0.3", "53"}));
    EXPECT_EQ(client.mappings[2], (MappingRecord{"", "TCP", "22", "10.77.0.4", "22"}));
    ASSERT_EQ(client.mapping_lines.size(), 3u);
    EXPECT_EQ(client.mapping_lines[0], "8080/TCP[web]-->10.77.0.2:8080\r\n");
    EXPECT_EQ(client.mapping_lines[2], "22/TCP[]-->10.77.0.4:22\r\n");
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error, "Totally 3 mapping entries.\n");
    EXPECT_EQ(client.last_response, kEndOfTable);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[3], GoldenHeader("/ctl/IPConn", "127.0.0.1:" + std::to_string(server.port()),
                                        "GetGenericPortMappingEntry", "669") +
                               GoldenBody("GetGenericPortMappingEntry", kEntry3Arguments));
    EXPECT_NE(requests[0].find("<NewPortMappingIndex>0</NewPortMappingIndex>"), std::string::npos);
}

TEST(ListPortMappings, EmptyTable)
{
    LoopbackHttpServer server({Whole::Whole(kEndOfTable)});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_TRUE(client.list_port_mappings());
    EXPECT_TRUE(client.mappings.empty());
    EXPECT_EQ(client.last_error, "Totally 0 mapping entries.\n");
}

TEST(ListPortMappings, RouterRepeatingItsLastEntryEndsTheList)
{
    const std::string last = EntryAnswer("53", "UDP", "10.77.0.3", "dns");
    LoopbackHttpServer server({Whole::Whole(EntryAnswer("80", "TCP", "10.77.0.2", "web")),
                               Whole::Whole(last), Whole::Whole(last), Whole::Whole(last)});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_TRUE(client.list_port_mappings());
    ASSERT_EQ(client.mappings.size(), 2u);
    EXPECT_EQ(client.mapping_lines.size(), 3u); // the repeat's line is still noted
    EXPECT_EQ(server.connections(), 3);
}

TEST(ListPortMappings, EntriesSharingADescriptionAreAllKept)
{
    LoopbackHttpServer server({Whole::Whole(EntryAnswer("443", "TCP", "10.77.0.2", "server")),
                               Whole::Whole(EntryAnswer("444", "TCP", "10.77.0.2", "server")),
                               Whole::Whole(EntryAnswer("445", "TCP", "10.77.0.2", "server")),
                               Whole::Whole(kEndOfTable)});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_TRUE(client.list_port_mappings());
    ASSERT_EQ(client.mappings.size(), 3u);
    EXPECT_EQ(client.mappings[2].external_port, "445");
}

TEST(ListPortMappings, PrefixedElementsAreRead)
{
    LoopbackHttpServer server(
        {Whole::Whole(LoopbackHttpServer::Response(
             "HTTP/1.1 200 OK",
             Envelope("<m:GetGenericPortMappingEntryResponse xmlns:m=\"urn:x\">"
                      "<m:NewExternalPort>9</m:NewExternalPort><m:NewProtocol>UDP</m:NewProtocol>"
                      "<m:NewInternalPort>10</m:NewInternalPort>"
                      "<m:NewInternalClient>10.77.0.9</m:NewInternalClient>"
                      "<m:NewPortMappingDescription>a &amp; b</m:NewPortMappingDescription>"
                      "</m:GetGenericPortMappingEntryResponse>",
                      "SOAP-ENV"))),
         Whole::Whole(kEndOfTable)});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_TRUE(client.list_port_mappings());
    ASSERT_EQ(client.mappings.size(), 1u);
    EXPECT_EQ(client.mappings[0], (MappingRecord{"a & b", "UDP", "9", "10.77.0.9", "10"}));
}

TEST(ListPortMappings, ConnectionFailureKeepsTheEntriesRead)
{
    std::vector<LoopbackHttpServer::Reply> script = {
        Whole::Whole(EntryAnswer("1", "TCP", "10.77.0.2", "a")),
        Whole::Whole(EntryAnswer("2", "TCP", "10.77.0.2", "b")),
        Whole::Whole(EntryAnswer("3", "TCP", "10.77.0.2", "c"))};
    script.back().closeListenerFirst = true;
    LoopbackHttpServer server(script);
    UpnpClient client;
    UseServer(client, server);
    EXPECT_FALSE(client.list_port_mappings());
    EXPECT_EQ(client.mappings.size(), 3u);
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error,
              "Fail to connect to 127.0.0.1:" + std::to_string(server.port()) + " (using TCP)\n");
}

TEST(ListPortMappings, UnreadableEntryEndsTheList)
{
    LoopbackHttpServer server(
        {Whole::Whole(EntryAnswer("1", "TCP", "10.77.0.2", "a")),
         Whole::Whole(OkAnswer("<u:GetGenericPortMappingEntryResponse><NewExternalPort>2"
                               "</NewExternalPort></u:GetGenericPortMappingEntryResponse>"))});
    UpnpClient client;
    UseServer(client, server);
    EXPECT_TRUE(client.list_port_mappings());
    EXPECT_EQ(client.mappings.size(), 1u);
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error,
              "Fail to get mapping info from response data.(NO \"NewProtocol\" node.)\n");
}

TEST(ListPortMappings, IndexCap)
{
    std::vector<LoopbackHttpServer::Reply> script;
    for (int i = 0; i <= UpnpClient::kMaxMappingIndex + 1; ++i)
        script.push_back(Whole::Whole(
            EntryAnswer(std::to_string(i + 1), "TCP", "10.77.0.2", "entry " + std::to_string(i))));
    LoopbackHttpServer server(script);
    UpnpClient client;
    UseServer(client, server);
    EXPECT_TRUE(client.list_port_mappings());
    EXPECT_EQ(client.mappings.size(), static_cast<size_t>(UpnpClient::kMaxMappingIndex + 1));
    EXPECT_EQ(client.last_error, "Totally 1024 mapping entries.\n");
}

TEST(ListPortMappings, UnusableControlUrl)
{
    UpnpClient client;
    client.init_client(1);
    client.mappings.push_back({"stale", "TCP", "1", "1.1.1.1", "1"});
    EXPECT_FALSE(client.list_port_mappings());
    EXPECT_TRUE(client.mappings.empty());
    EXPECT_EQ(client.last_error, "Fail to parseURl: \n");
}

TEST(ParseMappingInfo, MessagesInOrder)
{
    UpnpClient client;
    const std::string prefix = "Fail to get mapping info from response data.(NO ";
    client.last_response = "HTTP/1.1 200 OK\r\n\r\n";
    EXPECT_FALSE(client.parse_mapping_info());
    EXPECT_EQ(client.last_error, prefix + "\"SOAP-ENV:Envelope\" node.)\n");
    client.last_response = "<s:Envelope><x/></s:Envelope>";
    EXPECT_FALSE(client.parse_mapping_info());
    EXPECT_EQ(client.last_error, prefix + "\"SOAP-ENV:Body\" node.)\n");
    client.last_response = Envelope("<u:Other/>");
    EXPECT_FALSE(client.parse_mapping_info());
    EXPECT_EQ(client.last_error, prefix + "\"u:GetGenericPortMappingEntryResponse\" node.)\n");
    const char* names[] = {"NewExternalPort", "NewProtocol", "NewInternalPort", "NewInternalClient",
                           "NewPortMappingDescription"};
    std::string present;
    for (const char* name : names) {
        client.last_response = Envelope("<u:GetGenericPortMappingEntryResponse>" + present +
                                        "</u:GetGenericPortMappingEntryResponse>");
        EXPECT_FALSE(client.parse_mapping_info());
        EXPECT_EQ(client.last_error, prefix + "\"" + name + "\" node.)\n");
        EXPECT_EQ(client.status, UpnpStatus::Failed);
        present += std::string("<") + name + "/>";
    }
    client.last_response = Envelope("<u:GetGenericPortMappingEntryResponse>" + present +
                                    "</u:GetGenericPortMappingEntryResponse>");
    EXPECT_TRUE(client.parse_mapping_info());
    EXPECT_EQ(client.mappings.back(), MappingRecord{});
    EXPECT_EQ(client.mapping_lines.back(), "/[]-->:\r\n");
}
