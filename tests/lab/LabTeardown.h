#pragma once

#include <string>

namespace velmora::lab {

// Makes sure the lab under prefix goes down however the process ends: a normal
// return, exit(), an uncaught exception, SIGINT/SIGTERM/SIGHUP, a crash, and -
// through a guardian process that outlives this one - even SIGKILL.
// Call once, while the process has a single thread and is still in the
// machine's own namespaces: the guardian process it starts there is the one
// that runs `lab.sh down` (found in those namespaces), whenever it is asked
// to or this process ends. False when the guardian cannot be started: then
// nothing could take the lab down, so no lab may be made.
bool ArmTeardown(const std::string& script, const std::string& prefix);

// Has the guardian run `lab.sh down PREFIX` now and waits for it (once; later
// calls return the first result). Async-signal-safe. True when the lab is gone.
bool TearDownLab();

} // namespace velmora::lab
