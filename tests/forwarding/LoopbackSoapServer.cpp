#include "tests/forwarding/LoopbackSoapServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::test {
namespace {

const char kEntry[] =
    "<?xml version=\"1.0\"?>\r\n<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
    "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>"
    "<u:GetGenericPortMappingEntryResponse "
    "xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\">"
    "<NewRemoteHost></NewRemoteHost><NewExternalPort>80</NewExternalPort>"
    "<NewProtocol>TCP</NewProtocol><NewInternalPort>80</NewInternalPort>"
    "<NewInternalClient>127.0.0.1</NewInternalClient><NewEnabled>1</NewEnabled>"
    "<NewPortMappingDescription>late</NewPortMappingDescription>"
    "<NewLeaseDuration>0</NewLeaseDuration></u:GetGenericPortMappingEntryResponse>"
    "</s:Body></s:Envelope>\r\n";

const char kFault[] =
    "<?xml version=\"1.0\"?>\r\n<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
    "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body><s:Fault>"
    "<faultcode>s:Client</faultcode><faultstring>UPnPError</faultstring><detail>"
    "<UPnPError xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>713</errorCode>"
    "<errorDescription>SpecifiedArrayIndexInvalid</errorDescription></UPnPError>"
    "</detail></s:Fault></s:Body></s:Envelope>\r\n";

bool Readable(int fd, int ms)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, ms) > 0;
}

} // namespace

LoopbackSoapServer::LoopbackSoapServer(bool holdFirstAnswer) : hold_(holdFirstAnswer)
{
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
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

LoopbackSoapServer::~LoopbackSoapServer()
{
    stop_ = true;
    release();
    thread_.join();
    close(listener_);
}

std::string LoopbackSoapServer::controlUrl() const
{
    return "http://127.0.0.1:" + std::to_string(port_) + "/ctl/IPConn";
}

void LoopbackSoapServer::release()
{
    {
        std::lock_guard lock(mutex_);
        hold_ = false;
    }
    released_.notify_all();
}

std::vector<std::string> LoopbackSoapServer::bodies()
{
    std::lock_guard lock(mutex_);
    return bodies_;
}

void LoopbackSoapServer::serve()
{
    for (int index = 0; !stop_ && index < 64;) {
        if (!Readable(listener_, 50))
            continue;
        int client = accept(listener_, nullptr, nullptr);
        if (client < 0)
            continue;
        answer(client, index++);
        close(client);
    }
}

void LoopbackSoapServer::answer(int client, int index)
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
    {
        std::unique_lock lock(mutex_);
        bodies_.push_back(request);
        released_.wait_for(lock, std::chrono::seconds(20), [&] { return !hold_; });
    }
    const bool first = index == 0;
    const std::string body = first ? kEntry : kFault;
    const std::string reply =
        std::string(first ? "HTTP/1.1 200 OK" : "HTTP/1.1 500 Internal Server Error") +
        "\r\nContent-Type: text/xml; charset=\"utf-8\"\r\nConnection: close\r\n"
        "Content-Length: " +
        std::to_string(body.size()) + "\r\n\r\n" + body;
    send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
}

} // namespace velmora::test
