// The scan's description read against loopback servers: whole answers in
// any of their forms, and every answer it must give up (too long, too slow,
// not 200, cut), each within its deadline; a router whose URLs leave its
// address is not used.
#include "router/core/DescriptionFetch.h"

#include "router/core/UpnpDiscovery.h"
#include "tests/support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

namespace {

using velmora::DescriptionFetch;
using velmora::test::LoopbackHttpServer;
using Reply = LoopbackHttpServer::Reply;

constexpr auto kDeadline = std::chrono::milliseconds(400);

std::string Head(const std::string& fields)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n" + fields + "\r\n";
}

std::string Description(const std::string& control)
{
    return "<?xml version=\"1.0\"?><root><device><deviceType>urn:schemas-upnp-org:device:"
           "InternetGatewayDevice:1</deviceType><friendlyName>Loop Router</friendlyName>"
           "<deviceList><device><deviceList><device><serviceList><service><serviceType>"
           "urn:schemas-upnp-org:service:WANIPConnection:1</serviceType><controlURL>" +
           control +
           "</controlURL><SCPDURL>/scpd.xml</SCPDURL></service></serviceList>"
           "</device></deviceList></device></deviceList></device></root>";
}

TEST(DescriptionFetch, WholeAnswersAreReadAndEveryOtherIsGivenUpByItsDeadline)
{
    const std::string body = Description("/ctl");
    const std::string big(velmora::kMaxDescriptionAnswer, 'x');
    struct Case
    {
        const char* name;
        Reply reply;
        DescriptionFetch outcome;
    };
    const Case cases[] = {
        {"with a length",
         LoopbackHttpServer::Whole(LoopbackHttpServer::Response("HTTP/1.1 200 OK", body)),
         DescriptionFetch::Fetched},
        {"until it closes", LoopbackHttpServer::Whole(Head("") + body), DescriptionFetch::Fetched},
        {"chunked, the last chunk late",
         Reply{{{Head("Transfer-Encoding: chunked\r\n") + "10\r\n" + body.substr(0, 16) + "\r\n" +
                     [&] {
                         char size[16];
                         std::snprintf(size, sizeof size, "%zx", body.size() - 16);
                         return std::string(size);
                     }() +
                     "\r\n" + body.substr(16) + "\r\n",
                 0},
                {"0\r\n\r\n", 100}},
               true},
         DescriptionFetch::Fetched},
        {"over 1 MiB, announced",
         Reply{{{Head("Content-Length: " + std::to_string(big.size() + 1) + "\r\n"), 0}}, true},
         DescriptionFetch::Failed},
        {"over 1 MiB, streamed", LoopbackHttpServer::Whole(Head("") + big),
         DescriptionFetch::Failed},
        {"trickling", Reply{{{"HTTP/1.1 200 OK\r\n", 0}, {"Content-", 300}, {"Length", 300}}, true},
         DescriptionFetch::Failed},
        {"silent", Reply{{}, true}, DescriptionFetch::Failed},
        {"not 200",
         LoopbackHttpServer::Whole(LoopbackHttpServer::Response("HTTP/1.1 404 Not Found", body)),
         DescriptionFetch::Failed},
        {"cut short", LoopbackHttpServer::Whole(Head("Content-Length: 5000\r\n") + body),
         DescriptionFetch::Failed},
        {"broken chunks",
         LoopbackHttpServer::Whole(Head("Transfer-Encoding: chunked\r\n") + "zz\r\n"),
         DescriptionFetch::Failed},
    };
    for (const Case& c : cases) {
        LoopbackHttpServer server({c.reply});
        std::string read, lan;
        const auto start = velmora::SteadyClock::now();
        EXPECT_EQ(velmora::FetchDescription(server.url("/d.xml"), velmora::DeadlineAfter(kDeadline),
                                            read, lan),
                  c.outcome)
            << c.name;
        EXPECT_LT(velmora::SteadyClock::now() - start, 4 * kDeadline) << c.name;
        if (c.outcome == DescriptionFetch::Fetched) {
            EXPECT_EQ(read, body) << c.name;
            EXPECT_EQ(lan, "127.0.0.1") << c.name;
        }
        EXPECT_EQ(server.requests().size(), 1u) << c.name;
    }
}

TEST(DescriptionFetch, AUrlByHostNameIsNeverFetched)
{
    LoopbackHttpServer server({LoopbackHttpServer::Whole(
        LoopbackHttpServer::Response("HTTP/1.1 200 OK", Description("/ctl")))});
    std::string read, lan;
    const std::string url = "http://localhost:" + std::to_string(server.port()) + "/d.xml";
    EXPECT_EQ(velmora::FetchDescription(url, velmora::DeadlineAfter(kDeadline), read, lan),
              DescriptionFetch::NotAnAddress);
    EXPECT_EQ(server.connections(), 0);
}

TEST(FetchUpnpRouter, UrlsAreJoinedOnTheDevicesAddressOrTheRouterIsNotUsed)
{
    const std::pair<std::string, bool> cases[] = {
        {"/ctl/IPConn", true}, {"http://127.0.0.2/ctl", false}, {"https://127.0.0.1/", false}};
    for (const auto& [control, used] : cases) {
        LoopbackHttpServer server({LoopbackHttpServer::Whole(
            LoopbackHttpServer::Response("HTTP/1.1 200 OK", Description(control)))});
        const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/d.xml";
        std::string lines;
        velmora::RouterEntryPtr router =
            velmora::FetchUpnpRouter(url, "127.0.0.1", velmora::DeadlineAfter(kDeadline), lines);
        ASSERT_EQ(router != nullptr, used) << control;
        if (!used)
            continue;
        const std::string origin = "http://127.0.0.1:" + std::to_string(server.port());
        EXPECT_EQ(std::string(router->urls.controlURL), origin + control);
        EXPECT_EQ(std::string(router->urls.ipcondescURL), origin + "/scpd.xml");
        EXPECT_EQ(std::string(router->urls.rootdescURL), url);
        EXPECT_EQ(router->friendly_name, "Loop Router");
        EXPECT_EQ(lines, "Local LAN ip address : 127.0.0.1\n");
    }
}

} // namespace
