#include "router/core/RouterEntry.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool Open(int fd)
{
    return fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

// No traffic: the socket is made and closed, never used.
TEST(RouterEntry, ReleasingAnAppleEntryClosesItsNatPmpSocket)
{
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    {
        auto entry = std::make_shared<RouterEntry>();
        entry->is_apple = true;
        entry->natpmp.s = fd;
        entry->natpmp_open = true;
        RouterList list{entry};
        entry.reset();
        EXPECT_TRUE(Open(fd));
        list.clear();
    }
    EXPECT_FALSE(Open(fd));
}

TEST(RouterEntry, AnEntryWithoutAHandleClosesNothing)
{
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    {
        RouterEntry entry;
        entry.is_apple = true;
        entry.natpmp.s = fd; // not marked open: not ours
    }
    EXPECT_TRUE(Open(fd));
    close(fd);
}

TEST(RouterEntry, BoxLine)
{
    RouterEntry upnp;
    upnp.friendly_name = "Home";
    EXPECT_EQ(upnp.displayName(), "Home");
    RouterEntry apple;
    apple.is_apple = true;
    apple.friendly_name = "ignored";
    EXPECT_EQ(apple.displayName(), "AirPort Station");
}

} // namespace
