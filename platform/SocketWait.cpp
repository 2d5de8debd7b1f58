#include "platform/SocketWait.h"

#include <cerrno>
#include <poll.h>

namespace velmora {
namespace {

WaitResult WaitFor(pollfd* entries, size_t count, Deadline deadline)
{
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
        const int ready = ::ppoll(entries, count, limitPointer, nullptr);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return WaitResult::Failed;
        for (size_t i = 0; i < count; ++i) {
            if (entries[i].revents & POLLNVAL)
                return WaitResult::Failed;
        }
        return ready == 0 ? WaitResult::TimedOut : WaitResult::Ready;
    }
}

WaitResult WaitFor(int fd, short events, Deadline deadline)
{
    pollfd entry{fd, events, 0};
    return WaitFor(&entry, 1, deadline);
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

WaitResult WaitAnyReadable(const std::vector<int>& fds, Deadline deadline, std::vector<bool>& ready)
{
    std::vector<pollfd> entries;
    entries.reserve(fds.size());
    for (const int fd : fds)
        entries.push_back(pollfd{fd, POLLIN, 0}); // poll leaves negative descriptors out
    const WaitResult result = WaitFor(entries.data(), entries.size(), deadline);
    ready.assign(fds.size(), false);
    for (size_t i = 0; i < entries.size(); ++i)
        ready[i] = entries[i].fd >= 0 && entries[i].revents != 0;
    return result;
}

} // namespace velmora
