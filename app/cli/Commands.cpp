#include "app/cli/Commands.h"

#include <algorithm>

namespace velmora::cli {

namespace {

constexpr Command kCommands[] = {
    {"scan", "", "the routers found, one a line",
     "Searches the local network for UPnP Internet Gateway Devices and probes the\n"
     "default gateway with NAT-PMP, as the window's router box does, and prints\n"
     "each router found: its name, its kind and its address. A NAT-PMP gateway is\n"
     "named \"AirPort Station\".\n",
     kJsonOption | kRouterOption, &RunScan},
    {"info", "", "the Router Info report of the router",
     "Prints what the router says about its connection: type, status and uptime,\n"
     "link speeds, external address and traffic counters; then, for a router that\n"
     "offers IPv6 pinholes or PCP, how IPv4 mappings and IPv6 pinholes are made\n"
     "and whether its IPv6 firewall is on. Of a NAT-PMP gateway only that offer is\n"
     "told, where it speaks PCP.\n",
     kJsonOption | kRouterOption, &RunInfo},
    {"ip", "", "this computer's addresses and the router's external address",
     "Prints this computer's IPv4 and global IPv6 addresses and the router's\n"
     "external address, and says so when that address is private or shared\n"
     "(another NAT in front of the router); then, where the router opens IPv6\n"
     "pinholes, how a program on this computer is reached over IPv6.\n",
     kJsonOption | kRouterOption, &RunIp},
    {"list", "", "the port mappings the router holds",
     "Prints every port mapping of the router: name, protocol, external port and\n"
     "internal address. An IGD:2 router is asked for its whole table at once.\n",
     kJsonOption | kRouterOption, &RunList},
    {"add", "NAME... | --all", "install port forwarding entries in the router",
     "Installs the named port forwarding entries of config.xml (all of them with\n"
     "--all) in the router, as the window's \"Add into Router\" does, and reads each\n"
     "mapping back. On a NAT-PMP gateway the mappings last two hours unless\n"
     "\"velmora-cli keep\" looks after them.\n",
     kRouterOption | kAllOption, &RunAdd},
    {"delete", "PROTOCOL PORT", "delete one port mapping from the router",
     "Deletes the router's mapping of an external port; PROTOCOL is TCP or UDP.\n", kRouterOption,
     &RunDelete},
    {"entries", "", "the entries of config.xml",
     "Prints the port forwarding and the port triggering entries of config.xml.\n", kJsonOption,
     &RunEntries},
    {"keep", "", "install the auto-add entries and look after them until stopped",
     "Runs in the foreground until SIGTERM or Ctrl-C: finds the router, installs\n"
     "the port forwarding entries marked \"Auto add\" (type \"Y\"), then looks after\n"
     "them as the window's monitor does: every 5 minutes, when the router\n"
     "announces a restart and when its external address changes, a missing\n"
     "mapping is installed again. Each finding is one line of the activity log\n"
     "and of the output. The entries are read once, at the start.\n",
     kRouterOption, &RunKeep},
};

} // namespace

std::span<const Command> Commands()
{
    return kCommands;
}

const Command* FindCommand(std::string_view name)
{
    const auto found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [&](const Command& command) { return command.name == name; });
    return found == std::end(kCommands) ? nullptr : found;
}

} // namespace velmora::cli
