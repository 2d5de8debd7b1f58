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

// A loopback port that nobody listens on.
uint16_t ClosedPort()
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    close(fd);
    return ntohs(a.sin_port);
}

} // namespace

TEST(UpnpMappingWriter, SendsAddPortMappingWithTheEntrysValues)
{
    test::LoopbackSoapServer server;
    UpnpMappingWriter writer({server.controlUrl(), kService});
    EXPECT_EQ(writer.write(Request(8080)), MappingWriter::Outcome::Written);
    const auto bodies = server.bodies();
    ASSERT_EQ(bodies.size(), 1u);
    const auto& sent = bodies[0];
    EXPECT_NE(sent.find("POST /ctl/IPConn HTTP/1.1"), std::string::npos) << sent;
    EXPECT_NE(sent.find(std::string("SOAPACTION:\"") + kService + "#AddPortMapping\""),
              std::string::npos)
        << sent;
    EXPECT_NE(sent.find("<NewExternalPort>8080</NewExternalPort>"), std::string::npos);
    EXPECT_NE(sent.find("<NewInternalPort>8080</NewInternalPort>"), std::string::npos);
    EXPECT_NE(sent.find("<NewProtocol>TCP</NewProtocol>"), std::string::npos);
    EXPECT_NE(sent.find("<NewInternalClient>127.0.0.1</NewInternalClient>"), std::string::npos);
    EXPECT_NE(sent.find("<NewLeaseDuration>0</NewLeaseDuration>"), std::string::npos);
}

TEST(UpnpMappingWriter, AnErrorAnswerIsARefusalAndNothingIsHeld)
{
    test::LoopbackSoapServer server;
    UpnpMappingWriter writer({server.controlUrl(), kService});
    ASSERT_EQ(writer.write(Request(80)), MappingWriter::Outcome::Written);
    EXPECT_EQ(writer.write(Request(81)), MappingWriter::Outcome::Refused);
    EXPECT_FALSE(writer.holds(Request(80)));
    const auto bodies = server.bodies();
    ASSERT_EQ(bodies.size(), 3u);
    EXPECT_NE(bodies[2].find("#GetSpecificPortMappingEntry"), std::string::npos);
    EXPECT_NE(bodies[2].find("<NewExternalPort>80</NewExternalPort>"), std::string::npos);
}

TEST(UpnpMappingWriter, ARouterThatDoesNotAcceptConnectionsIsUnreachable)
{
    UpnpMappingWriter writer(
        {"http://127.0.0.1:" + std::to_string(ClosedPort()) + "/ctl/IPConn", kService});
    EXPECT_EQ(writer.write(Request(80)), MappingWriter::Outcome::Unreachable);
    EXPECT_FALSE(writer.holds(Request(80)));
}

TEST(UpnpMappingWriter, AnUnusableControlUrlSendsNothing)
{
    UpnpMappingWriter writer({"", kService});
    EXPECT_EQ(writer.write(Request(80)), MappingWriter::Outcome::Refused);
}
