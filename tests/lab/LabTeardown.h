#pragma once

#include <string>

namespace velmora::lab {

// Makes sure the lab under prefix goes down however the process ends: a normal
// return, exit(), an uncaught exception, SIGINT/SIGTERM/SIGHUP, a crash, and -
// through a guardian process that outlives this one - even SIGKILL.
// Call once, while the process has a single thread and is still in the
// machine's own namespaces.
void ArmTeardown(const std::string& script, const std::string& prefix);

// Runs `lab.sh down PREFIX` now (once; later calls return the first result).
// Async-signal-safe. True when the lab is gone.
bool TearDownLab();

} // namespace velmora::lab
