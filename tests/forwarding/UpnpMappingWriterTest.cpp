#include "forwarding/core/UpnpMappingWriter.h"

#include "tests/forwarding/LoopbackSoapServer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace velmora;

namespace {

const char kService[] = "urn:schemas-upnp-org:service:WANIPConnection:1";

MappingRequest Request(uint16_t port)
{
    return {port, "TCP", "127.0.0.1", "web & <mail>"};
}

} // namespace

// The stand-in accepts the first request and refuses every later one.
TEST(UpnpMappingWriter, SendsTheEntrysValuesAndReadsBack)
{
    test::LoopbackSoapServer server;
    UpnpMappingWriter writer({server.controlUrl(), kService});
    EXPECT_EQ(writer.write(Request(8080)), MappingWriter::Outcome::Written);
    EXPECT_EQ(writer.write(Request(81)), MappingWriter::Outcome::Refused);
    EXPECT_FALSE(writer.holds(Request(8080)));
    const auto bodies = server.bodies();
    ASSERT_EQ(bodies.size(), 3u);
    for (const std::string& part : std::initializer_list<std::string>{
             "POST /ctl/IPConn HTTP/1.1", std::string("SOAPACTION:\"") + kService + "#AddPortMapping\"",
          "<NewExternalPort>8080</NewExternalPort>", "<NewInternalPort>8080</NewInternalPort>",
          "<NewProtocol>TCP</NewProtocol>", "<NewInternalClient>127.0.0.1</NewInternalClient>",
          "<NewLeaseDuration>0</NewLeaseDuration>"})
        EXPECT_NE(bodies[0].find(part), std::string::npos) << part << "\n" << bodies[0];
    EXPECT_NE(bodies[2].find("#GetSpecificPortMappingEntry"), std::string::npos);
    EXPECT_NE(bodies[2].find("<NewExternalPort>8080</NewExternalPort>"), std::string::npos);
}

TEST(UpnpMappingWriter, NoRouterOrNoUsableUrl)
{
    // A loopback port that nobody listens on.
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    close(fd);
    UpnpMappingWriter gone(
        {"http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/ctl/IPConn", kService});
    EXPECT_EQ(gone.write(Request(80)), MappingWriter::Outcome::Unreachable);
    EXPECT_FALSE(gone.holds(Request(80)));

    UpnpMappingWriter unusable({"", kService});
    EXPECT_EQ(unusable.write(Request(80)), MappingWriter::Outcome::Refused);
}
