#pragma once

namespace velmora::cli {

// velmora-cli: reads the command line, runs the command and gives its exit
// status. Diagnostic lines the core writes to standard output are dropped:
// the command's own output keeps standard output to itself.
int RunCli(int argc, char** argv);

} // namespace velmora::cli
