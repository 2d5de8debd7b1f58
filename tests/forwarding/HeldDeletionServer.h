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
#include <vector>

namespace velmora::test {

// A router on 127.0.0.1 that holds three mappings (ports 1001-1003, TCP) and
// answers each DeletePortMapping only when the test lets it go, one at a
// time. It notes the ports asked for, in order, and whether a second request
// came in while one was held. Every wait in it is bounded.
class HeldDeletionServer final
{
public:
    HeldDeletionServer()
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listener_, 8);
        socklen_t len = sizeof a;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~HeldDeletionServer()
    {
        stop_ = true;
        releaseAll();
        thread_.join();
        ::close(listener_);
    }
    HeldDeletionServer(const HeldDeletionServer&) = delete;
    HeldDeletionServer& operator=(const HeldDeletionServer&) = delete;

    std::string controlUrl() const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + "/ctl/IPConn";
    }
    // Lets one more held deletion be answered.
    void releaseOne()
    {
        {
            std::lock_guard lock(mutex_);
            ++released_;
        }
        changed_.notify_all();
    }
    void releaseAll()
    {
        {
            std::lock_guard lock(mutex_);
            released_ = 1 << 20;
        }
        changed_.notify_all();
    }
    std::vector<std::string> deletedPorts() const
    {
        std::lock_guard lock(mutex_);
        return deleted_;
    }
    bool overlapped() const { return overlapped_.load(); }

private:
    static bool Readable(int fd, int ms)
    {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }

    static std::string Between(const std::string& text, const std::string& open,
                               const std::string& close)
    {
        const size_t start = text.find(open);
        if (start == std::string::npos)
            return {};
        const size_t end = text.find(close, start + open.size());
        return end == std::string::npos
                   ? std::string()
                   : text.substr(start + open.size(), end - start - open.size());
    }

    void serve()
    {
        for (int connections = 0; !stop_ && connections < 256;) {
            if (!Readable(listener_, 50))
                continue;
            int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0)
                continue;
            ++connections;
            answer(client);
            ::close(client);
        }
    }

    void answer(int client)
    {
        std::string request;
        char buffer[4096];
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (request.find("Envelope>", request.find("<s:Body") + 1) == std::string::npos &&
               std::chrono::steady_clock::now() < until && Readable(client, 100)) {
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            request.append(buffer, static_cast<size_t>(n));
        }
        std::string body;
        int status = 200;
        if (request.find("#GetGenericPortMappingEntry") != std::string::npos) {
            const int index = std::atoi(
                Between(request, "<NewPortMappingIndex>", "</NewPortMappingIndex>").c_str());
            if (index < 3) {
                const std::string port = std::to_string(1001 + index);
                body = "<u:GetGenericPortMappingEntryResponse xmlns:u=\"" + std::string(kService) +
                       "\"><NewRemoteHost></NewRemoteHost><NewExternalPort>" + port +
                       "</NewExternalPort><NewProtocol>TCP</NewProtocol><NewInternalPort>" + port +
                       "</NewInternalPort><NewInternalClient>127.0.0.1</NewInternalClient>"
                       "<NewEnabled>1</NewEnabled><NewPortMappingDescription>m" +
                       port +
                       "</NewPortMappingDescription><NewLeaseDuration>0</NewLeaseDuration>"
                       "</u:GetGenericPortMappingEntryResponse>";
            } else {
                status = 500;
                body = Fault(713, "SpecifiedArrayIndexInvalid");
            }
        } else if (request.find("#DeletePortMapping") != std::string::npos) {
            {
                std::lock_guard lock(mutex_);
                deleted_.push_back(Between(request, "<NewExternalPort>", "</NewExternalPort>"));
            }
            holdDeletion();
            body = "<u:DeletePortMappingResponse xmlns:u=\"" + std::string(kService) + "\"/>";
        } else {
            status = 500;
            body = Fault(401, "Invalid Action");
        }
        const std::string envelope =
            "<?xml version=\"1.0\"?>\r\n<s:Envelope "
            "xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
            "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>" +
            body + "</s:Body></s:Envelope>\r\n";
        const std::string reply = "HTTP/1.1 " + std::to_string(status) +
                                  (status == 200 ? " OK" : " Internal Server Error") +
                                  "\r\nContent-Type: text/xml; charset=\"utf-8\"\r\n"
                                  "Connection: close\r\nContent-Length: " +
                                  std::to_string(envelope.size()) + "\r\n\r\n" + envelope;
        ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
    }

    // Waits (at most 20 s) until the test lets one more deletion go, watching
    // for a second request arriving meanwhile.
    void holdDeletion()
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::unique_lock lock(mutex_);
        while (released_ == 0 && std::chrono::steady_clock::now() < until) {
            changed_.wait_for(lock, std::chrono::milliseconds(20));
            if (Readable(listener_, 0))
                overlapped_ = true;
        }
        if (released_ > 0)
            --released_;
    }

    static std::string Fault(int code, const char* text)
    {
        return "<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError</faultstring>"
               "<detail><UPnPError xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>" +
               std::to_string(code) + "</errorCode><errorDescription>" + text +
               "</errorDescription></UPnPError></detail></s:Fault>";
    }

    static constexpr char kService[] = "urn:schemas-upnp-org:service:WANIPConnection:1";
    int listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> overlapped_{false};
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int released_ = 0;
    std::vector<std::string> deleted_;
    std::thread thread_;
};

} // namespace velmora::test
