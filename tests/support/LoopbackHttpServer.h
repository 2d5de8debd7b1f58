#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

// The tests' one scripted HTTP/SOAP responder on 127.0.0.1 (an ephemeral
// port): a router stand-in for the UPnP client, the ports list and the port
// check. Each accepted connection gets the next reply of the script: the
// request is read (headers and Content-Length body), then the reply's pieces
// are sent with their pauses. Every wait is bounded; the destructor stops and
// joins the thread.
class LoopbackHttpServer final
{
public:
    struct Piece
    {
        std::string bytes;
        int pauseMsBefore = 0;
    };
    struct Reply
    {
        std::vector<Piece> pieces;
        // Keep the connection open after the last piece until the client
        // closes it (or the server stops) instead of closing at once.
        bool holdOpen = false;
        // Stop listening once this request has arrived, so that the next
        // connection attempt is refused.
        bool closeListenerFirst = false;
        // Hold the reply back until release() (a slow router).
        bool waitForRelease = false;
    };

    explicit LoopbackHttpServer(std::vector<Reply> script);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    uint16_t port() const { return port_; }
    std::string url(const std::string& path) const;
    // The requests received so far, one per connection.
    std::vector<std::string> requests() const;
    int connections() const { return connections_; }
    // Lets replies that wait for it go (this one and every later one).
    void release();

    // A reply sent in one piece.
    static Reply Whole(std::string bytes);
    // A complete HTTP response with the given status line and body.
    static std::string Response(const std::string& statusLine, const std::string& body);

private:
    void run();
    void serve(int fd, const Reply& reply);
    bool pause(int ms);  // false when stopping
    bool awaitRelease(); // false when stopping

    std::vector<Reply> script_;
    int listenFd_ = -1;
    int wakeFd_ = -1; // eventfd that ends every wait when the server stops
    uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    bool released_ = false; // guarded by mutex_
    std::condition_variable releasedChanged_;
    std::thread thread_;
};

} // namespace velmora::test
