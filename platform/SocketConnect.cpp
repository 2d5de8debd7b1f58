#include "platform/SocketConnect.h"

#include "platform/SocketWait.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>

namespace velmora {
namespace {

// Puts a socket into non-blocking mode for its lifetime and restores the
// mode it had.
class NonBlockingScope final
{
public:
    explicit NonBlockingScope(int fd) : fd_(fd), flags_(::fcntl(fd, F_GETFL))
    {
        if (flags_ >= 0 && !(flags_ & O_NONBLOCK))
            ::fcntl(fd_, F_SETFL, flags_ | O_NONBLOCK);
    }
    ~NonBlockingScope()
    {
        if (flags_ >= 0 && !(flags_ & O_NONBLOCK))
            ::fcntl(fd_, F_SETFL, flags_);
    }
    NonBlockingScope(const NonBlockingScope&) = delete;
    NonBlockingScope& operator=(const NonBlockingScope&) = delete;

private:
    int fd_;
    int flags_;
};

ConnectResult Failure(int error)
{
    return {ConnectResult::Status::Failed, error};
}

} // namespace

ConnectResult ConnectWithin(int fd, const sockaddr_in& address, Deadline deadline)
{
    return ConnectWithin(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address, deadline);
}

ConnectResult ConnectWithin(int fd, const sockaddr* address, socklen_t size, Deadline deadline)
{
    NonBlockingScope nonBlocking(fd);
    if (::connect(fd, address, size) == 0)
        return {ConnectResult::Status::Connected, 0};
    // An interrupted connect goes on in the background, like one in progress.
    if (errno != EINPROGRESS && errno != EINTR)
        return Failure(errno);
    switch (WaitWritable(fd, deadline)) {
    case WaitResult::TimedOut:
        return {ConnectResult::Status::TimedOut, ETIMEDOUT};
    case WaitResult::Failed:
        return Failure(errno);
    case WaitResult::Ready:
        break;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return Failure(errno);
    if (error != 0)
        return Failure(error);
    return {ConnectResult::Status::Connected, 0};
}

} // namespace velmora
