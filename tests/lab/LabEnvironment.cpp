#include "tests/lab/LabEnvironment.h"

#include "tests/lab/LabProbes.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <fstream>
#include <regex>
#include <sched.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace velmora::lab {

namespace {

LabEnvironment* g_instance = nullptr;

const char* SideName(Side side)
{
    switch (side) {
    case Side::Lan:
        return "lan";
    case Side::Router:
        return "router";
    case Side::Inet:
        return "inet";
    }
    return "lan";
}

} // namespace

const char* RouterModeName(RouterMode mode)
{
    switch (mode) {
    case RouterMode::Both:
        return "both";
    case RouterMode::Upnp:
        return "upnp";
    case RouterMode::Natpmp:
        return "natpmp";
    case RouterMode::None:
        return "none";
    }
    return "both";
}

LabOptions& GlobalLabOptions()
{
    static LabOptions options;
    return options;
}

LabEnvironment& LabEnvironment::Instance()
{
    if (!g_instance) {
        fprintf(stderr, "router lab: no lab is up (link the test with velmora_labsupport)\n");
        abort();
    }
    return *g_instance;
}

void LabEnvironment::Install(LabEnvironment* lab)
{
    g_instance = lab;
}

LabEnvironment::LabEnvironment(std::string script, std::string prefix, LabOptions options)
    : script_(std::move(script)), prefix_(std::move(prefix)), options_(options)
{
}

std::string LabEnvironment::namespaceName(Side side) const
{
    return prefix_ + "-" + SideName(side);
}

std::string LabEnvironment::value(const std::string& key) const
{
    for (const auto& [k, v] : info_)
        if (k == key)
            return v;
    return {};
}

int LabEnvironment::httpPort() const
{
    const std::string port = value("HTTP_PORT");
    return port.empty() ? 0 : std::stoi(port);
}

std::string LabEnvironment::descriptionUrl() const
{
    return "http://" + routerLan() + ":" + std::to_string(httpPort()) + "/rootDesc.xml";
}

ExecResult LabEnvironment::script(const std::vector<std::string>& args,
                                  std::chrono::milliseconds timeout) const
{
    std::vector<std::string> argv{script_};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, timeout);
}

bool LabEnvironment::refreshInfo()
{
    ExecResult r = script({"info", prefix_});
    if (!r.ok())
        return false;
    info_.clear();
    std::istringstream lines(r.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos && eq > 0)
            info_.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return true;
}

bool LabEnvironment::startRouter(RouterMode mode, bool secureMode)
{
    std::vector<std::string> args{"router", prefix_, "start", "--mode", RouterModeName(mode)};
    if (secureMode)
        args.emplace_back("--secure-mode");
    if (options_.igd2)
        args.emplace_back("--igd2");
    const ExecResult r = script(args);
    if (!r.ok())
        fprintf(stderr, "router lab: starting the router failed:\n%s\n", r.output.c_str());
    refreshInfo();
    return r.ok();
}

bool LabEnvironment::stopRouter()
{
    const ExecResult r = script({"router", prefix_, "stop"});
    if (!r.ok())
        fprintf(stderr, "router lab: stopping the router failed:\n%s\n", r.output.c_str());
    refreshInfo();
    return r.ok();
}

bool LabEnvironment::restartRouter(RouterMode mode, bool secureMode)
{
    return stopRouter() && startRouter(mode, secureMode);
}

bool LabEnvironment::rebootRouter(RouterMode mode)
{
    std::vector<std::string> args{"router", prefix_, "reboot", "--mode", RouterModeName(mode)};
    if (options_.igd2)
        args.emplace_back("--igd2");
    const ExecResult r = script(args);
    if (!r.ok())
        fprintf(stderr, "router lab: rebooting the router failed:\n%s\n", r.output.c_str());
    refreshInfo();
    return r.ok();
}

bool LabEnvironment::routerRunning()
{
    refreshInfo();
    return !value("ROUTER_PID").empty();
}

bool LabEnvironment::blockRouterPort(const std::string& protocol, int port)
{
    return script({"block", prefix_, protocol, std::to_string(port)}).ok();
}

bool LabEnvironment::unblockRouterPort(const std::string& protocol, int port)
{
    return script({"unblock", prefix_, protocol, std::to_string(port)}).ok();
}

bool LabEnvironment::setRouterPcp(bool on)
{
    return script({"pcp", prefix_, on ? "on" : "off"}).ok();
}

bool LabEnvironment::addLanAddress(const std::string& cidr, const std::string& device)
{
    return script({"add-address", prefix_, cidr, device}).ok();
}

ExecResult LabEnvironment::exec(Side side, const std::vector<std::string>& argv,
                                std::chrono::milliseconds timeout) const
{
    std::vector<std::string> args{"exec", prefix_, SideName(side), "--"};
    args.insert(args.end(), argv.begin(), argv.end());
    return script(args, timeout);
}

BackgroundProcess LabEnvironment::spawn(Side side, const std::vector<std::string>& argv,
                                        const std::string& outputFile) const
{
    std::vector<std::string> full{script_, "exec", prefix_, SideName(side), "--"};
    full.insert(full.end(), argv.begin(), argv.end());
    return BackgroundProcess(full, outputFile);
}

bool LabEnvironment::runIn(Side side, const std::function<void()>& fn) const
{
    const std::string path = "/run/netns/" + namespaceName(side);
    bool entered = false;
    std::exception_ptr failure;
    std::thread worker([&] {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        // setns from a thread moves that thread alone.
        entered = setns(fd, CLONE_NEWNET) == 0;
        close(fd);
        if (!entered)
            return;
        try {
            fn();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
    return entered;
}

bool LabEnvironment::reachesFromInternet(const std::string& target, const std::string& listenAt,
                                         int port) const
{
    TcpListener listener(listenAt, port);
    std::string sent = "not run";
    std::thread knock([&] { runIn(Side::Inet, [&] { sent = SendTcp(target, port, "knock"); }); });
    const std::string got = listener.acceptAndRead(std::chrono::seconds(3));
    knock.join();
    return sent.empty() && got == "knock";
}

std::vector<RouterMapping> LabEnvironment::routerMappings() const
{
    std::vector<RouterMapping> out;
    ExecResult r =
        exec(Side::Router, {"nft", "list", "chain", "inet", "filter", "prerouting_miniupnpd"});
    if (!r.ok())
        return out;
    // e.g. iif "wan0" @nh,72,8 0x6 th dport 15555 dnat ip to 192.168.77.2:16666
    // (@nh,72,8 is the IPv4 protocol byte: 0x6 TCP, 0x11 UDP)
    static const std::regex rule(
        R"(@nh,72,8 (0x6|0x11) .*dport (\d+) .*dnat ip to ([0-9.]+):(\d+))");
    std::istringstream lines(r.output);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (!std::regex_search(line, m, rule))
            continue;
        RouterMapping mapping;
        mapping.protocol = m[1] == "0x6" ? "tcp" : "udp";
        mapping.externalPort = static_cast<uint16_t>(std::stoi(m[2]));
        mapping.internalAddress = m[3];
        mapping.internalPort = static_cast<uint16_t>(std::stoi(m[4]));
        out.push_back(mapping);
    }
    return out;
}

std::vector<RouterLease> LabEnvironment::routerLeases() const
{
    std::vector<RouterLease> out;
    std::ifstream in(leaseFile());
    std::string line;
    static const std::regex lease(R"(^(TCP|UDP):(\d+):([0-9.]+):(\d+):(\d+):(.*)$)");
    std::smatch m;
    while (std::getline(in, line)) {
        if (!std::regex_match(line, m, lease))
            continue;
        RouterLease l;
        l.protocol = m[1];
        l.externalPort = static_cast<uint16_t>(std::stoi(m[2]));
        l.internalAddress = m[3];
        l.internalPort = static_cast<uint16_t>(std::stoi(m[4]));
        l.description = m[6];
        out.push_back(l);
    }
    return out;
}

std::vector<RouterPinhole> LabEnvironment::routerPinholes() const
{
    std::vector<RouterPinhole> out;
    const ExecResult r = script({"pinholes", prefix_});
    std::istringstream lines(r.output);
    RouterPinhole pinhole;
    std::string address;
    while (lines >> pinhole.protocol >> pinhole.port >> address) {
        in6_addr parsed{};
        char text[INET6_ADDRSTRLEN] = {};
        if (inet_pton(AF_INET6, address.c_str(), &parsed) == 1 &&
            inet_ntop(AF_INET6, &parsed, text, sizeof text))
            pinhole.address = text;
        out.push_back(pinhole);
    }
    return out;
}

std::string LabEnvironment::FakeIgdPath()
{
    if (const char* env = getenv("VELMORA_FAKE_IGD"))
        return env;
    return VELMORA_FAKE_IGD_PATH;
}

std::string LabEnvironment::FakePcpPath()
{
    const std::string igd = FakeIgdPath();
    return igd.substr(0, igd.rfind('/') + 1) + "fake_pcp";
}

} // namespace velmora::lab
