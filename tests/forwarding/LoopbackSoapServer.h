#pragma once

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace velmora::test {

// A slow router on 127.0.0.1: holds the first SOAP request until released,
// then answers it with a mapping entry; later requests get no answer, so a
// listing reads one row and stops. Every wait in it is bounded.
class LoopbackSoapServer final
{
public:
    explicit LoopbackSoapServer(bool holdFirstAnswer = false) : hold_(holdFirstAnswer)
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listener_, 8);
        socklen_t len = sizeof a;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~LoopbackSoapServer()
    {
        stop_ = true;
        release();
        thread_.join();
        close(listener_);
    }
    LoopbackSoapServer(const LoopbackSoapServer&) = delete;
    LoopbackSoapServer& operator=(const LoopbackSoapServer&) = delete;

    std::string controlUrl() const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + "/ctl/IPConn";
    }
    // Lets a held first answer go.
    void release()
    {
        {
            std::lock_guard lock(mutex_);
            hold_ = false;
        }
        released_.notify_all();
    }
    int requestsSeen() const { return requests_.load(); }

private:
    static bool Readable(int fd, int ms)
    {
        pollfd p{fd, POLLIN, 0};
        return poll(&p, 1, ms) > 0;
    }

    void serve()
    {
        for (int index = 0; !stop_ && index < 64;) {
            if (!Readable(listener_, 50))
                continue;
            int client = accept(listener_, nullptr, nullptr);
            if (client < 0)
                continue;
            answer(client, index++ == 0);
            close(client);
        }
    }

    void answer(int client, bool first)
    {
        std::string request;
        char buffer[4096];
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (request.find("Envelope>") == std::string::npos &&
               std::chrono::steady_clock::now() < until && Readable(client, 100)) {
            ssize_t n = recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            request.append(buffer, static_cast<size_t>(n));
        }
        ++requests_;
        if (!first)
            return;
        {
            std::unique_lock lock(mutex_);
            released_.wait_for(lock, std::chrono::seconds(20), [&] { return !hold_; });
        }
        const std::string body =
            "<?xml version=\"1.0\"?>\r\n<s:Envelope "
            "xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
            "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>"
            "<u:GetGenericPortMappingEntryResponse "
            "xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\">"
            "<NewRemoteHost></NewRemoteHost><NewExternalPort>80</NewExternalPort>"
            "<NewProtocol>TCP</NewProtocol><NewInternalPort>80</NewInternalPort>"
            "<NewInternalClient>127.0.0.1</NewInternalClient><NewEnabled>1</NewEnabled>"
            "<NewPortMappingDescription>late</NewPortMappingDescription>"
            "<NewLeaseDuration>0</NewLeaseDuration></u:GetGenericPortMappingEntryResponse>"
            "</s:Body></s:Envelope>\r\n";
        const std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=\"utf-8\"\r\n"
                                  "Connection: close\r\nContent-Length: " +
                                  std::to_string(body.size()) + "\r\n\r\n" + body;
        send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
    }

    int listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::mutex mutex_;
    std::condition_variable released_;
    bool hold_;
    std::thread thread_;
};

} // namespace velmora::test
