#include "UpnpTestSupport.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace velmora::test;
using Piece = LoopbackHttpServer::Piece;

namespace {

const char kRequest[] = "GET / HTTP/1.1\r\n\r\n";

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

// Each reply is served on a connection the server holds open (unless the case
// says otherwise), so only the end marker, the Content-Length, the size cap or
// the cycle limit can end the exchange.
TEST(HttpExchange, EndsAtTheMarkerTheCloseTheCapOrTheDeadline)
{
    const std::string answer = ActionAnswer("DeletePortMapping");
    const size_t cut = answer.find("Envelope>") + 4; // the marker split across two reads
    const std::string head = "HTTP/1.1 200 OK\r\n\r\n";
    const std::string underCap =
        head + std::string(UpnpClient::kMaxResponseBytes - head.size() - 12, 'y') + "</Envelope>\n";
    const std::string page = "HTTP/1.1 404 Not Found\r\nConnection: close\r\n\r\nno such page";
    const std::string sized = LoopbackHttpServer::Response("HTTP/1.1 200 OK", "<s:Envelope>");
    struct Case
    {
        const char* name;
        std::vector<Piece> pieces;
        bool holdOpen;
        int cycles;
        std::string response;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"marker split across pieces",
         {{answer.substr(0, 40), 0}, {answer.substr(40, cut - 40), 150}, {answer.substr(cut), 150}},
         true,
         600,
         answer,
         ""},
        {"late answer within the cycles", {{answer, 1500}}, true, 10, answer, ""},
        {"silent router", {}, true, 1, "", ""},
        {"partial answer at the deadline",
         {{"HTTP/1.1 200 OK\r\n\r\n<s:Env", 0}},
         true,
         1,
         "HTTP/1.1 200 OK\r\n\r\n<s:Env",
         ""},
        {"closed after a page", {{page, 0}}, false, 600, page, ""},
        {"Content-Length reached on an open connection", {{sized, 0}}, true, 600, sized, ""},
        {"closed at once", {}, false, 600, "", ""},
        {"oversized answer",
         {{head + std::string(UpnpClient::kMaxResponseBytes + 1000, 'x'), 0}},
         false,
         30,
         "",
         "Response longer than 1048576 bytes.\n"},
        {"answer as long as the cap", {{underCap, 0}}, false, 30, underCap, ""},
    };
    ASSERT_EQ(underCap.size(), UpnpClient::kMaxResponseBytes);
    for (const Case& c : cases) {
        LoopbackHttpServer server({{c.pieces, c.holdOpen}});
        UpnpClient client;
        client.init_client(1);
        ASSERT_TRUE(client.tcp_connect("127.0.0.1", server.port())) << c.name;
        EXPECT_EQ(client.http_exchange(kRequest, "Envelope>", c.cycles), c.response) << c.name;
        EXPECT_EQ(client.last_error, c.error) << c.name;
        client.tcp_sock.close();
        EXPECT_EQ(server.requests(), std::vector<std::string>{kRequest}) << c.name;
    }
}

TEST(TcpConnect, IPv4TextOnlyWithTimeOutAttempts)
{
    UpnpClient client;
    EXPECT_EQ(client.http_exchange(kRequest, "</root>", 1), ""); // no socket, no exchange

    const uint16_t port = ClosedPort();
    client.init_client(2);
    EXPECT_FALSE(client.tcp_connect("127.0.0.1", port));
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error,
              "Fail to connect to 127.0.0.1:" + std::to_string(port) + " (using TCP)\n");
    EXPECT_FALSE(client.tcp_sock.valid());

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
