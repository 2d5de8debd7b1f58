#pragma once

#include "platform/SocketHandle.h"

#include <cstddef>

// Small IPv4 socket functions for the trigger traffic. Results are 0 for
// success and -1 for failure unless said otherwise.

// Result of WaitSocket when the time-out passed before the socket was ready.
namespace velmora {
inline constexpr int kWaitTimeout = 258;
} // namespace velmora

// Creates an IPv4 stream / datagram socket into `out` (closing what it held).
int OpenTcpSocket(velmora::SocketHandle& out);
int OpenUdpSocket(velmora::SocketHandle& out);

// Closes the socket; 0 also when none was held.
int CloseSocket(velmora::SocketHandle& socket);

// Connects to a dotted IPv4 text and a port (used modulo 65536). A null,
// empty or unreadable text gives -1 without any traffic.
int ConnectIPv4(int fd, const char* address, long long port);

// True while a connected stream socket is still open from the peer's side:
// reads (and drops) what the peer sent without blocking, and reports false
// on end of stream or a socket error.
namespace velmora {
bool StreamStillOpen(int fd);
} // namespace velmora

// Waits until `fd` is readable or, with `forWrite`, writable. The time-out is
// in microseconds; a negative one waits without limit. Interrupted waits are
// repeated with the time that is left. Returns 0 ready, kWaitTimeout, or -1.
int WaitSocket(int fd, bool forWrite, long long timeoutUs);

// One send of the buffer (never raising SIGPIPE), repeated while interrupted.
// On would-block with a non-zero time-out it waits for writability and tries
// once more. `sent` gets the bytes sent (0 on failure). Returns 0, the wait's
// non-zero result, or -1.
int SendOnce(int fd, const void* data, size_t length, long long timeoutUs, size_t& sent);

// The same with sendto to a dotted IPv4 text and port.
int SendToOnce(int fd, const void* data, size_t length, const char* address, long long port,
               long long timeoutUs, size_t& sent);

// Repeat SendOnce / SendToOnce on the rest of the buffer until nothing is left
// or a call fails; a length of 0 still makes exactly one call. `sent` gets the
// total. Returns the last call's result.
int SendAll(int fd, const void* data, size_t length, long long timeoutUs, size_t& sent);
int SendToAll(int fd, const void* data, size_t length, const char* address, long long port,
              long long timeoutUs, size_t& sent);
