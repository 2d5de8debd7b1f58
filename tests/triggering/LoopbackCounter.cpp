#include "tests/triggering/LoopbackCounter.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::test {

namespace {

int BindLoopback(int type, int port)
{
    int fd = ::socket(AF_INET, type | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

LoopbackCounter::LoopbackCounter(int base, int count)
    : base_(base), datagrams_(count), accepts_(count), closes_(count)
{
}

std::unique_ptr<LoopbackCounter> LoopbackCounter::Open(int count, Tcp tcp, bool udp)
{
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> pick(10000, 32000 - count); // below the ephemeral ports
    for (int attempt = 0; attempt < 200; ++attempt) {
        std::unique_ptr<LoopbackCounter> counter(new LoopbackCounter(pick(random), count));
        counter->closeAccepted_ = tcp == Tcp::AcceptAndClose;
        if (counter->bindAll(tcp, udp)) {
            counter->thread_ = std::thread(&LoopbackCounter::pollLoop, counter.get());
            return counter;
        }
    }
    return nullptr;
}

bool LoopbackCounter::bindAll(Tcp tcp, bool udp)
{
    for (int i = 0; i < static_cast<int>(datagrams_.size()); ++i) {
        if (udp && !watch(BindLoopback(SOCK_DGRAM, base_ + i), Kind::Udp, i))
            return false;
        if (tcp == Tcp::Refuse) {
            refusing_.push_back(BindLoopback(SOCK_STREAM, base_ + i));
            if (refusing_.back() < 0)
                return false;
        } else if (tcp != Tcp::None) {
            const int fd = BindLoopback(SOCK_STREAM, base_ + i);
            if (!watch(fd, Kind::Listener, i) || ::listen(fd, 16) != 0)
                return false;
        }
    }
    return true;
}

bool LoopbackCounter::watch(int fd, Kind kind, int index)
{
    if (fd < 0)
        return false;
    fds_.push_back({fd, POLLIN, 0});
    watched_.push_back({kind, index});
    return true;
}

LoopbackCounter::~LoopbackCounter()
{
    stop_.store(true);
    if (thread_.joinable())
        thread_.join();
    for (const auto& entry : fds_) {
        if (entry.fd >= 0)
            ::close(entry.fd);
    }
    for (int fd : refusing_) {
        if (fd >= 0)
            ::close(fd);
    }
}

long long LoopbackCounter::totalDatagrams() const
{
    long long total = 0;
    for (const auto& count : datagrams_)
        total += count.load();
    return total;
}

void LoopbackCounter::pollLoop()
{
    char buffer[2048];
    while (!stop_.load()) {
        if (::poll(fds_.data(), fds_.size(), 50) <= 0)
            continue;
        const size_t polled = fds_.size(); // connections accepted now join the next round
        for (size_t k = 0; k < polled; ++k) {
            const int fd = fds_[k].fd;
            const Watched what = watched_[k];
            if (fd < 0 || fds_[k].revents == 0)
                continue;
            if (what.kind == Kind::Udp) {
                while (::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) >= 0)
                    datagrams_[what.index].fetch_add(1); // an empty datagram reads as 0 bytes
            } else if (what.kind == Kind::Listener) {
                int connection;
                while ((connection =
                            ::accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0) {
                    accepts_[what.index].fetch_add(1);
                    if (closeAccepted_)
                        ::close(connection);
                    else
                        watch(connection, Kind::Connection, what.index);
                }
            } else {
                const ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
                    closes_[what.index].fetch_add(1);
                    ::close(fd);
                    fds_[k].fd = -1; // poll skips negative descriptors
                }
            }
        }
    }
}

} // namespace velmora::test
