#pragma once

#include "app/cli/Commands.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {

// The command line, read: the command, its operands and options.
struct CommandLine
{
    const Command* command = nullptr; // null: none named
    bool help = false;                // --help (of the command when one is named)
    bool version = false;
    std::vector<std::string> operands;
    bool json = false;
    bool all = false;
    std::optional<std::string> router;
    std::string error; // not empty: the line cannot be run, and why
};

// Reads the arguments after the program's name. Options may come before or
// after operands; "--" ends them. An option the command does not take is an error.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The texts of --help: the program's, and each command's.
std::string ProgramHelp();
std::string CommandHelp(const Command& command);

} // namespace velmora::cli
