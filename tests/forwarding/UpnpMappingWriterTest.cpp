#include "forwarding/core/UpnpMappingWriter.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace velmora;

// What the writer sends and how it reads answers is proven against the lab's
// router; here, the two ways there is no router to talk to.
TEST(UpnpMappingWriter, NoRouterIsUnreachableAndNoUsableUrlIsRefused)
{
    const char service[] = "urn:schemas-upnp-org:service:WANIPConnection:1";
    const MappingRequest request{80, "TCP", "127.0.0.1", "web"};
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
        {"http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/ctl/IPConn", service});
    EXPECT_EQ(gone.write(request), MappingWriter::Outcome::Unreachable);
    EXPECT_FALSE(gone.holds(request));

    UpnpMappingWriter unusable({"", service});
    EXPECT_EQ(unusable.write(request), MappingWriter::Outcome::Refused);
}
