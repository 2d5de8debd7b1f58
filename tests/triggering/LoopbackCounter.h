#pragma once

#include <atomic>
#include <memory>
#include <poll.h>
#include <thread>
#include <vector>

namespace velmora::test {

// Listens on a block of consecutive ports of 127.0.0.1 and counts what the
// trigger workers send there: TCP connections accepted (and later closed by
// the peer) and UDP datagrams. One thread polls every socket; it stops and
// every socket closes with the object.
class LoopbackCounter final
{
public:
    enum class Tcp
    {
        None,           // no TCP socket on the ports
        Accept,         // a listener that accepts and holds each connection
        AcceptAndClose, // a listener that closes each connection it accepts
        Refuse,         // a bound socket that does not listen: connects are refused
    };

    // Finds `count` free consecutive ports (below the ephemeral range) and
    // opens them; null when no block could be found.
    static std::unique_ptr<LoopbackCounter> Open(int count, Tcp tcp, bool udp);
    ~LoopbackCounter();
    LoopbackCounter(const LoopbackCounter&) = delete;
    LoopbackCounter& operator=(const LoopbackCounter&) = delete;

    int basePort() const { return base_; }
    long long datagrams(int index) const { return datagrams_[index].load(); }
    long long accepts(int index) const { return accepts_[index].load(); }
    long long peerCloses(int index) const { return closes_[index].load(); }
    long long totalDatagrams() const;

private:
    enum class Kind
    {
        Udp,
        Listener,
        Connection
    };
    struct Watched
    {
        Kind kind;
        int index; // which port
    };

    LoopbackCounter(int base, int count);
    bool bindAll(Tcp tcp, bool udp);
    bool watch(int fd, Kind kind, int index);
    void pollLoop();

    const int base_;
    std::vector<pollfd> fds_; // after Open, only the poll thread touches these two
    std::vector<Watched> watched_;
    std::vector<int> refusing_; // never polled: a closed TCP socket always reports a hang-up
    std::vector<std::atomic<long long>> datagrams_;
    std::vector<std::atomic<long long>> accepts_;
    std::vector<std::atomic<long long>> closes_;
    bool closeAccepted_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace velmora::test
