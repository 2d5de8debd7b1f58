#include "app/cli/CommandLine.h"

#include "app/cli/CliOutput.h"

#include <algorithm>

namespace velmora::cli {

namespace {

struct OptionName
{
    const char* name;
    unsigned option;
};
constexpr OptionName kOptionNames[] = {
    {"--json", kJsonOption}, {"--router", kRouterOption}, {"--all", kAllOption}};

constexpr char kOptionsHelp[] =
    "Options:\n"
    "  --json                  print one JSON document (scan, info, ip, list, entries)\n"
    "  --router NAME|ADDRESS   talk to the router of that name (as \"scan\" shows it)\n"
    "                          or address; without it, the first UPnP router found\n"
    "                          (else the NAT-PMP gateway)\n"
    "  --help                  this text, or a command's with COMMAND --help\n"
    "  --version               the program's version\n";

constexpr char kTrailerHelp[] =
    "velmora-cli reads config.xml and writes the activity log where the Velmora\n"
    "window does: an installed copy in ~/.config/velmora/ and ~/.local/state/velmora/\n"
    "(or $XDG_CONFIG_HOME, $XDG_STATE_HOME), a portable copy beside its executable.\n"
    "\n"
    "Exit status: 0 on success, 1 when the router, the network or a file fails\n"
    "(with one line on standard error), 2 for a command line that cannot be run.\n";

std::string UsageLine(const Command& command)
{
    std::string line = std::string("Usage: ") + kProgram + " " + command.name;
    if (command.operands[0])
        line += std::string(" ") + command.operands;
    if (command.options & kRouterOption)
        line += " [--router NAME|ADDRESS]";
    if (command.options & kJsonOption)
        line += " [--json]";
    return line + "\n";
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    bool optionsEnded = false;
    unsigned given = 0;
    for (size_t i = 0; i < arguments.size() && line.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        const bool option = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (!option) {
            if (!line.command && !line.help && !line.version) {
                line.command = FindCommand(argument);
                if (!line.command)
                    line.error = "unknown command \"" + PlainText(argument) + "\"";
            } else {
                line.operands.push_back(argument);
            }
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else if (argument == "--version" && !line.command) {
            line.version = true;
        } else if (argument == "--json") {
            line.json = true, given |= kJsonOption;
        } else if (argument == "--all") {
            line.all = true, given |= kAllOption;
        } else if (argument == "--router" || argument.rfind("--router=", 0) == 0) {
            given |= kRouterOption;
            if (argument != "--router")
                line.router = argument.substr(9);
            else if (i + 1 < arguments.size())
                line.router = arguments[++i];
            else
                line.error = "--router needs a router's name or address";
        } else {
            line.error = "unknown option \"" + PlainText(argument) + "\"";
        }
    }
    if (!line.error.empty() || line.help || line.version)
        return line;
    if (!line.command) {
        line.error = "no command given";
        return line;
    }
    for (const OptionName& option : kOptionNames) {
        if ((given & option.option) && !(line.command->options & option.option))
            line.error = std::string("\"") + line.command->name + "\" takes no " + option.name;
    }
    return line;
}

std::string ProgramHelp()
{
    std::string text =
        std::string("Usage: ") + kProgram +
        " COMMAND [OPTIONS] [ARGUMENTS]\n\n"
        "Finds the router (UPnP IGD and NAT-PMP) and shows, adds, deletes and keeps\n"
        "its port mappings, with the entries of Velmora's config.xml.\n\n"
        "Commands:\n";
    for (const Command& command : Commands()) {
        std::string left = std::string(command.name) + " " + command.operands;
        left.resize(std::max<size_t>(left.size(), 22), ' ');
        text += "  " + left + "  " + command.summary + "\n";
    }
    return text + "\n" + kOptionsHelp + "\n" + kTrailerHelp;
}

std::string CommandHelp(const Command& command)
{
    return UsageLine(command) + "\n" + command.details + "\n" + kTrailerHelp;
}

} // namespace velmora::cli
