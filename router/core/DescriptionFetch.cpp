#include "router/core/DescriptionFetch.h"

#include "platform/IPv4Endpoint.h"
#include "platform/SocketConnect.h"
#include "platform/SocketHandle.h"
#include "platform/SocketReceive.h"
#include "platform/SocketSend.h"
#include "router/core/DescriptionAnswer.h"
#include "upnp/core/TextCompare.h"
#include "upnp/core/TextFormat.h"
#include "upnp/core/UrlParts.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <vector>

namespace velmora {

namespace {

// A chunk-size line longer than this is not one.
constexpr size_t kMaxChunkLine = 64;
constexpr size_t kReadBytes = 16 * 1024;

std::string LocalAddressOf(int fd)
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    char text[INET_ADDRSTRLEN] = {};
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
        !::inet_ntop(AF_INET, &local.sin_addr, text, sizeof text))
        return {};
    return text;
}

} // namespace

ChunkedState ReadChunks(std::string_view chunked, size_t& at, std::string& body)
{
    for (;;) {
        const size_t lineEnd = chunked.find("\r\n", at);
        if (lineEnd == std::string_view::npos)
            return chunked.size() - at > kMaxChunkLine ? ChunkedState::Bad : ChunkedState::NeedMore;
        if (lineEnd - at > kMaxChunkLine)
            return ChunkedState::Bad;
        size_t size = 0;
        size_t digits = 0;
        for (size_t i = at; i < lineEnd; ++i, ++digits) {
            const char c = AsciiLower(chunked[i]);
            const int value = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : -1;
            if (value < 0)
                break; // a chunk extension, or blanks
            if (digits >= 8)
                return ChunkedState::Bad; // no chunk of ours is that long
            size = size * 16 + static_cast<size_t>(value);
        }
        if (digits == 0)
            return ChunkedState::Bad;
        const size_t data = lineEnd + 2;
        if (size == 0) {
            at = data; // a trailer, if any, is not needed
            return ChunkedState::Done;
        }
        if (chunked.size() < data + size + 2)
            return ChunkedState::NeedMore;
        if (chunked.substr(data + size, 2) != "\r\n")
            return ChunkedState::Bad;
        body.append(chunked.substr(data, size));
        at = data + size + 2;
    }
}

bool Dechunk(const std::string& chunked, std::string& body)
{
    body.clear();
    size_t at = 0;
    return ReadChunks(chunked, at, body) == ChunkedState::Done;
}

DescriptionFetch FetchDescription(const std::string& url, Deadline deadline, std::string& body,
                                  std::string& lanAddress)
{
    std::string host;
    std::string path;
    uint16_t port = 0;
    sockaddr_in address{};
    if (!parseUrl(url, host, port, path) || !MakeIPv4Endpoint(host.c_str(), port, address))
        return DescriptionFetch::NotAnAddress;

    SocketHandle sock(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!sock.valid() || !ConnectWithin(sock.fd(), address, deadline).connected())
        return DescriptionFetch::Failed;
    const std::string request =
        Format("GET %s HTTP/1.1\r\nHost: %s:%d\r\nConnection: close\r\n\r\n", path.c_str(),
               host.c_str(), port);
    size_t sent = 0;
    if (SendAll(sock.fd(), request.data(), request.size(), deadline, sent) != SendResult::Sent)
        return DescriptionFetch::Failed;

    DescriptionAnswer answer;
    std::vector<char> buffer(kReadBytes);
    for (;;) {
        const ReceiveResult got = ReceiveWithin(sock.fd(), buffer.data(), buffer.size(), deadline);
        if (got.status == ReceiveResult::Status::Closed && answer.wholeAtClose())
            break;
        if (got.status != ReceiveResult::Status::Received)
            return DescriptionFetch::Failed;
        const DescriptionAnswer::State state = answer.add(buffer.data(), got.size);
        if (state == DescriptionAnswer::State::Refused)
            return DescriptionFetch::Failed;
        if (state == DescriptionAnswer::State::Whole)
            break;
    }
    body = answer.takeBody();
    lanAddress = LocalAddressOf(sock.fd());
    return DescriptionFetch::Fetched;
}

} // namespace velmora
