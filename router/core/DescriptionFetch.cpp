#include "router/core/DescriptionFetch.h"

#include "upnp/core/UpnpClient.h"
#include "upnp/core/UrlParts.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora {

namespace {

constexpr int kConnectAttempts = 1;

// The local address the kernel would use toward `address` (no packet is sent).
std::string LocalAddressToward(const in_addr& address, uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return {};
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr = address;
    peer.sin_port = htons(port);
    sockaddr_in local{};
    socklen_t length = sizeof local;
    std::string text;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0) {
        char buffer[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &local.sin_addr, buffer, sizeof buffer))
            text = buffer;
    }
    ::close(fd);
    return text;
}

bool HeadSaysChunked(const std::string& head)
{
    size_t line = head.find("\r\n");
    while (line != std::string::npos && line + 2 < head.size()) {
        const size_t start = line + 2;
        line = head.find("\r\n", start);
        const std::string field =
            head.substr(start, line == std::string::npos ? line : line - start);
        constexpr char kName[] = "transfer-encoding:";
        if (field.size() >= sizeof kName - 1 &&
            ::strncasecmp(field.c_str(), kName, sizeof kName - 1) == 0)
            return field.find("chunked") != std::string::npos ||
                   field.find("Chunked") != std::string::npos;
    }
    return false;
}

} // namespace

bool Dechunk(const std::string& chunked, std::string& body)
{
    body.clear();
    size_t at = 0;
    for (;;) {
        const size_t lineEnd = chunked.find("\r\n", at);
        if (lineEnd == std::string::npos)
            return false;
        char* end = nullptr;
        const std::string sizeText = chunked.substr(at, lineEnd - at);
        const unsigned long size = std::strtoul(sizeText.c_str(), &end, 16);
        if (end == sizeText.c_str())
            return false;
        at = lineEnd + 2;
        if (size == 0)
            return true;
        if (size > chunked.size() - at)
            return false;
        body.append(chunked, at, size);
        at += size + 2; // the chunk's CR LF
        if (at > chunked.size())
            return false;
    }
}

DescriptionFetch FetchDescription(const std::string& url, std::string& body,
                                  std::string& lanAddress)
{
    std::string host;
    std::string path;
    uint16_t port = 0;
    in_addr address{};
    if (!parseUrl(url, host, port, path) || ::inet_pton(AF_INET, host.c_str(), &address) != 1)
        return DescriptionFetch::NotAnAddress;

    UpnpClient client;
    client.init_client(kConnectAttempts);
    client.describe_url = url;
    if (!client.get_description() || client.description.empty())
        return DescriptionFetch::Failed;
    const std::string& answer = client.description;
    const size_t headEnd = answer.find("\r\n\r\n");
    const size_t space = answer.find(' ');
    if (headEnd == std::string::npos || answer.compare(0, 5, "HTTP/") != 0 ||
        space == std::string::npos || answer.compare(space + 1, 3, "200") != 0)
        return DescriptionFetch::Failed;
    const std::string head = answer.substr(0, headEnd);
    if (HeadSaysChunked(head)) {
        if (!Dechunk(answer.substr(headEnd + 4), body))
            return DescriptionFetch::Failed;
    } else {
        body = answer.substr(headEnd + 4);
    }
    lanAddress = LocalAddressToward(address, port);
    return DescriptionFetch::Fetched;
}

} // namespace velmora
