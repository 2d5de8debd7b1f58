#include "platform/SocketWait.h"

#include <cerrno>
#include <poll.h>

namespace velmora {
namespace {

WaitResult WaitFor(int fd, short events, Deadline deadline)
{
    pollfd entry{fd, events, 0};
    for (;;) {
        timespec limit{};
        timespec* limitPointer = nullptr;
        if (deadline != kNoDeadline) {
            const auto left =
                std::chrono::duration_cast<std::chrono::nanoseconds>(TimeLeft(deadline));
            limit.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
            limit.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
            limitPointer = &limit;
        }
        const int ready = ::ppoll(&entry, 1, limitPointer, nullptr);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || (entry.revents & POLLNVAL))
            return WaitResult::Failed;
        return ready == 0 ? WaitResult::TimedOut : WaitResult::Ready;
    }
}

} // namespace

WaitResult WaitReadable(int fd, Deadline deadline)
{
    return WaitFor(fd, POLLIN, deadline);
}

WaitResult WaitWritable(int fd, Deadline deadline)
{
    return WaitFor(fd, POLLOUT, deadline);
}

} // namespace velmora
