#pragma once

#include "app/cli/CliOutput.h"
#include "platform/AppPaths.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {

// What one command is given: its operands and options from the command line,
// where to write, and the program's files.
struct Invocation
{
    std::vector<std::string> operands;
    bool json = false;
    bool all = false;
    std::optional<std::string> router; // --router NAME|ADDRESS
    Streams io;
    AppPaths paths;
};

} // namespace velmora::cli
