#include "tests/support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kAcceptLimit = std::chrono::seconds(60);
constexpr auto kRequestLimit = std::chrono::seconds(10);
constexpr auto kHoldLimit = std::chrono::seconds(120);

int MsLeft(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The request is complete when its headers and Content-Length bytes arrived.
bool RequestComplete(const std::string& request)
{
    const size_t end = request.find("\r\n\r\n");
    if (end == std::string::npos)
        return false;
    size_t length = 0;
    const size_t field = request.find("Content-Length:");
    if (field != std::string::npos && field < end)
        length = std::strtoul(request.c_str() + field + 15, nullptr, 10);
    return request.size() >= end + 4 + length;
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer(std::vector<Reply> script) : script_(std::move(script))
{
    listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
    wakeFd_ = eventfd(0, EFD_NONBLOCK);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listenFd_ < 0 || wakeFd_ < 0 ||
        bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listenFd_, 8) != 0 ||
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("loopback server could not listen");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    releasedChanged_.notify_all();
    const uint64_t one = 1;
    (void)!write(wakeFd_, &one, sizeof one);
    if (thread_.joinable())
        thread_.join();
    if (listenFd_ >= 0)
        close(listenFd_);
    close(wakeFd_);
}

std::string LoopbackHttpServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackHttpServer::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

LoopbackHttpServer::Reply LoopbackHttpServer::Whole(std::string bytes)
{
    return Reply{{Piece{std::move(bytes), 0}}, false};
}

std::string LoopbackHttpServer::Response(const std::string& statusLine, const std::string& body)
{
    return statusLine + "\r\nContent-Type: text/xml; charset=\"utf-8\"\r\nConnection: close\r\n" +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

void LoopbackHttpServer::release()
{
    {
        std::lock_guard lock(mutex_);
        released_ = true;
    }
    releasedChanged_.notify_all();
}

bool LoopbackHttpServer::awaitRelease()
{
    std::unique_lock lock(mutex_);
    releasedChanged_.wait_for(lock, kHoldLimit, [this] { return released_ || stopping_; });
    return released_ && !stopping_;
}

bool LoopbackHttpServer::pause(int ms)
{
    pollfd entry{wakeFd_, POLLIN, 0};
    return poll(&entry, 1, ms) == 0 && !stopping_;
}

void LoopbackHttpServer::run()
{
    for (const Reply& reply : script_) {
        if (listenFd_ < 0)
            return;
        const auto deadline = Clock::now() + kAcceptLimit;
        int fd = -1;
        while (fd < 0 && !stopping_ && Clock::now() < deadline) {
            pollfd entries[2] = {{listenFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
            if (poll(entries, 2, MsLeft(deadline)) <= 0 || entries[1].revents)
                return;
            fd = accept(listenFd_, nullptr, nullptr);
        }
        if (fd < 0)
            return;
        ++connections_;
        serve(fd, reply);
        close(fd);
    }
}

void LoopbackHttpServer::serve(int fd, const Reply& reply)
{
    std::string request;
    const auto deadline = Clock::now() + kRequestLimit;
    char buffer[4096];
    while (!RequestComplete(request) && Clock::now() < deadline) {
        pollfd entries[2] = {{fd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (poll(entries, 2, MsLeft(deadline)) <= 0 || entries[1].revents)
            break;
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.append(buffer, static_cast<size_t>(n));
    }
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    if (reply.closeListenerFirst) {
        close(listenFd_);
        listenFd_ = -1;
    }
    if (reply.waitForRelease && !awaitRelease())
        return;
    for (const Piece& piece : reply.pieces) {
        if (piece.pauseMsBefore > 0 && !pause(piece.pauseMsBefore))
            return;
        size_t sent = 0;
        while (sent < piece.bytes.size()) {
            const ssize_t n =
                send(fd, piece.bytes.data() + sent, piece.bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return; // the client went away
            sent += static_cast<size_t>(n);
        }
    }
    if (reply.holdOpen) {
        // Until the client closes its end, or the server stops.
        const auto holdDeadline = Clock::now() + kHoldLimit;
        while (Clock::now() < holdDeadline) {
            pollfd entries[2] = {{fd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
            if (poll(entries, 2, MsLeft(holdDeadline)) <= 0 || entries[1].revents)
                return;
            if (recv(fd, buffer, sizeof buffer, 0) <= 0)
                return;
        }
    }
}

} // namespace velmora::test
