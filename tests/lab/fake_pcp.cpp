// A broken or old PCP gateway for lab tests, run in the router namespace after
// lab.stopRouter(): it answers on udp 5351 (IPv4 and IPv6) NAT-PMP requests
// (RFC 6886: the public address, mappings granted as asked) and PCP requests
// in one of these ways.
//   natpmp-only    "unsupported version", in NAT-PMP
//   wrong-nonce    PCP, but MAP answers carry another nonce
//   wrong-version  PCP announce answers fine, MAP answers say version 3
// It prints "fake_pcp ready", then one line per request ("request vN opM"),
// and ends after --seconds (default 30).

#include "tests/lab/LabProbes.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t g_stop = 0;

void Put32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// The answer to one request in `mode`; empty: none.
std::string Answer(const std::string& mode, const uint8_t* in, size_t size, uint32_t epoch)
{
    uint8_t out[64] = {};
    if (size < 2)
        return {};
    if (in[0] == 0 || mode == "natpmp-only") {
        out[1] = static_cast<uint8_t>(128 + in[1]);
        Put32(&out[4], epoch);
        if (in[0] != 0) { // RFC 6886 3.5: result 1, unsupported version
            out[3] = 1;
            return std::string(reinterpret_cast<char*>(out), 8);
        }
        if (in[1] == 0) { // public address
            const uint8_t wan[4] = {11, 22, 33, 1};
            std::memcpy(&out[8], wan, 4);
            return std::string(reinterpret_cast<char*>(out), 12);
        }
        if (size < 12)
            return {};
        std::memcpy(&out[8], &in[4], 4);  // private port, public port as asked
        std::memcpy(&out[12], &in[8], 4); // lifetime as asked
        return std::string(reinterpret_cast<char*>(out), 16);
    }
    if (in[0] != 2 || size < 24)
        return {};
    out[0] = 2;
    out[1] = static_cast<uint8_t>(0x80 | in[1]);
    Put32(&out[4], 600);
    Put32(&out[8], epoch);
    if (in[1] == 0)
        return std::string(reinterpret_cast<char*>(out), 24);
    if (size < 60)
        return {};
    std::memcpy(&out[24], &in[24], 36); // nonce, protocol, ports, address as asked
    if (mode == "wrong-nonce")
        out[24] ^= 0xFF;
    if (mode == "wrong-version")
        out[0] = 3;
    return std::string(reinterpret_cast<char*>(out), 60);
}

} // namespace

int main(int argc, char** argv)
{
    std::string mode;
    int seconds = 30;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--mode") == 0)
            mode = argv[i + 1];
        else if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atoi(argv[i + 1]);
    }
    if (mode != "natpmp-only" && mode != "wrong-nonce" && mode != "wrong-version") {
        fprintf(stderr, "usage: fake_pcp --mode natpmp-only|wrong-nonce|wrong-version "
                        "[--seconds N]\n");
        return 2;
    }
    if (!velmora::lab::InLabNamespace()) {
        fprintf(stderr, "fake_pcp: refusing to run outside a lab namespace\n");
        return 1;
    }
    signal(SIGTERM, [](int) { g_stop = 1; });
    const int fd = socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int off = 0;
    const int on = 1;
    setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    setsockopt(fd, IPPROTO_IPV6, IPV6_RECVPKTINFO, &on, sizeof on);
    sockaddr_in6 any{};
    any.sin6_family = AF_INET6;
    any.sin6_port = htons(5351);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0) {
        perror("fake_pcp: udp 5351");
        return 1;
    }
    printf("fake_pcp ready\n");
    fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    while (!g_stop && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 200) <= 0)
            continue;
        // The answer leaves from the address the request went to (a client
        // that asked the link-local address hears only that one).
        uint8_t in[1100];
        sockaddr_in6 from{};
        char control[CMSG_SPACE(sizeof(in6_pktinfo))] = {};
        iovec part{in, sizeof in};
        msghdr message{&from, sizeof from, &part, 1, control, sizeof control, 0};
        const ssize_t n = recvmsg(fd, &message, 0);
        if (n < 2)
            continue;
        printf("request v%d op%d\n", in[0], in[1] & 0x7F);
        fflush(stdout);
        const auto epoch = static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                                     std::chrono::steady_clock::now() - start)
                                                     .count());
        const std::string out = Answer(mode, in, static_cast<size_t>(n), epoch);
        if (out.empty())
            continue;
        iovec answer{const_cast<char*>(out.data()), out.size()};
        message.msg_iov = &answer;
        message.msg_flags = 0;
        sendmsg(fd, &message, 0);
    }
    close(fd);
    return 0;
}
