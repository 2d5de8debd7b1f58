#include "tests/triggering/LoopbackCounter.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::test {

namespace {

int BindLoopback(int type, int port)
{
    int fd = ::socket(AF_INET, type | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void CloseAll(std::vector<int>& fds)
{
    for (int& fd : fds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

} // namespace

LoopbackCounter::LoopbackCounter(int base, int count)
    : base_(base), count_(count), udp_(count, -1), listeners_(count, -1), datagrams_(count),
      accepts_(count), closes_(count)
{
}

std::unique_ptr<LoopbackCounter> LoopbackCounter::Open(int count, Tcp tcp, bool udp)
{
    std::mt19937 random(std::random_device{}());
    const int lowest = 10000;
    const int highest = 32000 - count; // stay below the ephemeral ports
    std::uniform_int_distribution<int> pick(lowest, highest);
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
    for (int i = 0; i < count_; ++i) {
        if (udp && (udp_[i] = BindLoopback(SOCK_DGRAM, base_ + i)) < 0)
            break;
        if (tcp != Tcp::None) {
            listeners_[i] = BindLoopback(SOCK_STREAM, base_ + i);
            if (listeners_[i] < 0)
                break;
            if (tcp != Tcp::Refuse && ::listen(listeners_[i], 16) != 0)
                break;
        }
        if (i == count_ - 1)
            return true;
    }
    CloseAll(udp_);
    CloseAll(listeners_);
    return false;
}

LoopbackCounter::~LoopbackCounter()
{
    stop_.store(true);
    if (thread_.joinable())
        thread_.join();
    CloseAll(udp_);
    CloseAll(listeners_);
}

long long LoopbackCounter::totalDatagrams() const
{
    long long total = 0;
    for (const auto& count : datagrams_)
        total += count.load();
    return total;
}

long long LoopbackCounter::totalAccepts() const
{
    long long total = 0;
    for (const auto& count : accepts_)
        total += count.load();
    return total;
}

void LoopbackCounter::pollLoop()
{
    enum class Kind
    {
        Udp,
        Listener,
        Connection
    };
    struct Watched
    {
        Kind kind;
        int index;
    };
    std::vector<pollfd> fds;
    std::vector<Watched> watched;
    for (int i = 0; i < count_; ++i) {
        if (udp_[i] >= 0) {
            fds.push_back({udp_[i], POLLIN, 0});
            watched.push_back({Kind::Udp, i});
        }
        if (listeners_[i] >= 0) {
            fds.push_back({listeners_[i], POLLIN, 0});
            watched.push_back({Kind::Listener, i});
        }
    }
    char buffer[2048];
    while (!stop_.load()) {
        if (::poll(fds.data(), fds.size(), 50) <= 0)
            continue;
        const size_t polled = fds.size(); // accepted connections join after this round
        for (size_t k = 0; k < polled; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0)
                continue;
            const Watched what = watched[k];
            if (what.kind == Kind::Udp) {
                while (::recv(fds[k].fd, buffer, sizeof buffer, MSG_DONTWAIT) >= 0)
                    datagrams_[what.index].fetch_add(1); // an empty datagram reads as 0 bytes
            } else if (what.kind == Kind::Listener) {
                int connection;
                while ((connection = ::accept4(fds[k].fd, nullptr, nullptr,
                                               SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0) {
                    accepts_[what.index].fetch_add(1);
                    if (closeAccepted_) {
                        ::close(connection);
                        continue;
                    }
                    fds.push_back({connection, POLLIN, 0});
                    watched.push_back({Kind::Connection, what.index});
                }
            } else {
                ssize_t got = ::recv(fds[k].fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
                    closes_[what.index].fetch_add(1);
                    ::close(fds[k].fd);
                    fds[k].fd = -1; // poll skips negative descriptors
                }
            }
        }
    }
    for (size_t k = 0; k < fds.size(); ++k) {
        if (watched[k].kind == Kind::Connection && fds[k].fd >= 0)
            ::close(fds[k].fd);
    }
}

} // namespace velmora::test
