#pragma once

#include <string>
#include <vector>

namespace velmora::test {

// Exit status of a test binary that cannot run here (SKIP_RETURN_CODE).
inline constexpr int kSkipExitCode = 77;

// The network of an isolated test process: loopback and three veth pairs.
// vt0/vt1 are up, vt0 at kIsolatedOtherAddress; vt2/vt3 are down, vt2 at
// 198.51.100.1; vt4/vt5 are up, vt4 at kIsolatedAddress with the default
// route through kIsolatedGateway. Nothing in it reaches the machine's own
// network.
inline constexpr char kIsolatedOtherAddress[] = "192.0.2.1";
inline constexpr char kIsolatedAddress[] = "203.0.113.1";
inline constexpr char kIsolatedGateway[] = "203.0.113.254";

// Moves this process into a network namespace of its own (as root, or as a
// user through a user namespace where the system allows it) and builds the
// network above with `ip`. Must run before the process starts any thread.
// False, with the reason on stderr, where that cannot be done.
bool EnterIsolatedNetwork(bool withInterfaces = true);

} // namespace velmora::test
