#pragma once

#include "app/cli/Invocation.h"

#include <span>
#include <string_view>

namespace velmora::cli {

// Options a command takes besides --help.
enum CommandOption : unsigned
{
    kJsonOption = 1,   // --json
    kRouterOption = 2, // --router NAME|ADDRESS
    kAllOption = 4,    // --all
};

struct Command
{
    const char* name;
    const char* operands; // as the usage line shows them
    const char* summary;  // one line for the list of commands
    const char* details;  // the rest of the command's --help
    unsigned options;
    int (*run)(const Invocation& invocation);
};

std::span<const Command> Commands();
// The command of that name, or null.
const Command* FindCommand(std::string_view name);

int RunScan(const Invocation& invocation);
int RunInfo(const Invocation& invocation);
int RunIp(const Invocation& invocation);
int RunList(const Invocation& invocation);
int RunAdd(const Invocation& invocation);
int RunDelete(const Invocation& invocation);
int RunEntries(const Invocation& invocation);
int RunKeep(const Invocation& invocation);

} // namespace velmora::cli
