#pragma once

#include <string>
#include <vector>

namespace velmora::test {

// Exit status of a test binary that cannot run here (SKIP_RETURN_CODE).
inline constexpr int kSkipExitCode = 77;

// The network of an isolated test process: loopback; a veth pair
// "vt0"/"vt1", both up, vt0 at kIsolatedAddress with the default route
// through kIsolatedGateway; a pair "vt2"/"vt3" left down, vt2 at
// 198.51.100.1. Nothing in it reaches the machine's own network.
inline constexpr char kIsolatedAddress[] = "192.0.2.1";
inline constexpr char kIsolatedGateway[] = "192.0.2.254";

// Moves this process into a network namespace of its own (as root, or as a
// user through a user namespace where the system allows it) and builds the
// network above with `ip`. Must run before the process starts any thread.
// False, with the reason on stderr, where that cannot be done.
bool EnterIsolatedNetwork(bool withInterfaces = true);

} // namespace velmora::test
