#pragma once

#include <unistd.h>
#include <utility>

namespace velmora {

// Owns one socket descriptor and closes it when replaced or destroyed.
class SocketHandle final
{
public:
    SocketHandle() = default;
    explicit SocketHandle(int fd) : fd_(fd) {}
    ~SocketHandle() { reset(); }

    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;
    SocketHandle(SocketHandle&& other) noexcept : fd_(other.release()) {}
    SocketHandle& operator=(SocketHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    int fd() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

    // Gives up ownership without closing.
    int release() { return std::exchange(fd_, -1); }

    // Closes the held descriptor (if any) and takes `fd` instead. Returns the
    // result of the close, 0 when nothing was held.
    int reset(int fd = -1)
    {
        int result = 0;
        if (fd_ >= 0)
            result = ::close(fd_);
        fd_ = fd;
        return result;
    }
    void close() { reset(); }

private:
    int fd_ = -1;
};

} // namespace velmora
