#include "LoopbackHttpServer.h"
#include "upnp/core/UpnpClient.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using velmora::test::LoopbackHttpServer;
using Piece = LoopbackHttpServer::Piece;

namespace {

const std::string kAnswer = LoopbackHttpServer::Response(
    "HTTP/1.1 200 OK",
    "<?xml version=\"1.0\"?>\r\n<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\">"
    "<s:Body><u:DeletePortMappingResponse xmlns:u=\"urn:schemas-upnp-org:service:"
    "WANIPConnection:1\"/></s:Body></s:Envelope>\r\n");

std::string Exchange(LoopbackHttpServer& server, UpnpClient& client, int cycles,
                     const char* marker = "Envelope>")
{
    client.init_client(1);
    if (!client.tcp_connect("127.0.0.1", server.port()))
        return "connect failed";
    std::string response = client.http_exchange("GET / HTTP/1.1\r\n\r\n", marker, cycles);
    client.tcp_sock.close();
    return response;
}

// A port on 127.0.0.1 where nothing listens.
uint16_t ClosedPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

} // namespace

TEST(HttpExchange, MarkerSplitAcrossPiecesEndsTheExchange)
{
    // The server keeps the connection open: only the marker can end the
    // exchange before its (very long) cycle limit.
    const size_t cut = kAnswer.find("Envelope>") + 4;
    LoopbackHttpServer server(
        {{{Piece{kAnswer.substr(0, 40), 0}, Piece{kAnswer.substr(40, cut - 40), 150},
           Piece{kAnswer.substr(cut), 150}},
          true}});
    UpnpClient client;
    EXPECT_EQ(Exchange(server, client, 600), kAnswer);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], "GET / HTTP/1.1\r\n\r\n");
}

TEST(HttpExchange, LateAnswerWithinTheCycles)
{
    LoopbackHttpServer server({{{Piece{kAnswer, 1500}}, true}});
    UpnpClient client;
    EXPECT_EQ(Exchange(server, client, 10), kAnswer);
}

TEST(HttpExchange, SilentRouterRunsToTheDeadline)
{
    LoopbackHttpServer server({{{}, true}});
    UpnpClient client;
    EXPECT_EQ(Exchange(server, client, 1), "");
}

TEST(HttpExchange, PartialAnswerIsReturnedAtTheDeadline)
{
    LoopbackHttpServer server({{{Piece{"HTTP/1.1 200 OK\r\n\r\n<s:Env", 0}}, true}});
    UpnpClient client;
    EXPECT_EQ(Exchange(server, client, 1), "HTTP/1.1 200 OK\r\n\r\n<s:Env");
}

TEST(HttpExchange, ClosedConnectionEndsTheExchange)
{
    const std::string page = "HTTP/1.1 404 Not Found\r\nConnection: close\r\n\r\nno such page";
    LoopbackHttpServer server({LoopbackHttpServer::Whole(page), LoopbackHttpServer::Whole("")});
    UpnpClient client;
    EXPECT_EQ(Exchange(server, client, 600), page);
    EXPECT_EQ(Exchange(server, client, 600), "");
}

TEST(HttpExchange, OversizedAnswerYieldsNothing)
{
    const std::string huge(UpnpClient::kMaxResponseBytes + 1000, 'x');
    LoopbackHttpServer server({LoopbackHttpServer::Whole("HTTP/1.1 200 OK\r\n\r\n" + huge)});
    UpnpClient client;
    EXPECT_EQ(Exchange(server, client, 30), "");
    EXPECT_EQ(client.last_error, "Response longer than 1048576 bytes.\n");
}

TEST(HttpExchange, AnswerJustUnderTheCapIsKept)
{
    const std::string head = "HTTP/1.1 200 OK\r\n\r\n";
    const std::string body(UpnpClient::kMaxResponseBytes - head.size() - 12, 'y');
    const std::string answer = head + body + "</Envelope>\n";
    ASSERT_EQ(answer.size(), UpnpClient::kMaxResponseBytes);
    LoopbackHttpServer server({LoopbackHttpServer::Whole(answer)});
    UpnpClient client;
    EXPECT_EQ(Exchange(server, client, 30), answer);
}

TEST(HttpExchange, NoSocketNoExchange)
{
    UpnpClient client;
    EXPECT_EQ(client.http_exchange("GET / HTTP/1.1\r\n\r\n", "</root>", 1), "");
}

TEST(TcpConnect, RefusedAfterEveryAttempt)
{
    const uint16_t port = ClosedPort();
    UpnpClient client;
    client.init_client(2);
    EXPECT_FALSE(client.tcp_connect("127.0.0.1", port));
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error,
              "Fail to connect to 127.0.0.1:" + std::to_string(port) + " (using TCP)\n");
    EXPECT_FALSE(client.tcp_sock.valid());
}

TEST(TcpConnect, HostNameOrNoAttemptsFail)
{
    UpnpClient client;
    client.init_client(3);
    EXPECT_FALSE(client.tcp_connect("localhost", 80));
    EXPECT_EQ(client.last_error, "Fail to connect to localhost:80 (using TCP)\n");
    EXPECT_FALSE(client.tcp_connect("127.0.0.1.5", 80));

    LoopbackHttpServer server({LoopbackHttpServer::Whole("")});
    client.init_client(0);
    EXPECT_FALSE(client.tcp_connect("127.0.0.1", server.port()));
    client.init_client(1);
    EXPECT_TRUE(client.tcp_connect("127.0.0.1", server.port()));
    EXPECT_EQ(client.status, UpnpStatus::Connected);
    EXPECT_TRUE(client.tcp_sock.valid());
}

TEST(UpnpClient, InitAndRouterInfo)
{
    UpnpClient client;
    EXPECT_TRUE(client.init_client(60));
    EXPECT_EQ(client.time_out, 60);
    EXPECT_EQ(client.status, UpnpStatus::Initialised);
    client.setRouterInfo(RouterInfo::forService("http://10.0.0.1:5000/ctl", "urn:x"));
    EXPECT_EQ(client.control_url, "http://10.0.0.1:5000/ctl");
    EXPECT_EQ(client.service_type, "urn:x");
    EXPECT_EQ(client.routerInfo().control_url, "http://10.0.0.1:5000/ctl");
    EXPECT_TRUE(client.describe_url.empty());
}
