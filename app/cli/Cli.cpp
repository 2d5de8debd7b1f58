#include "app/cli/Cli.h"

#include "app/cli/CommandLine.h"
#include "platform/ExecutableDir.h"
#include "platform/Version.h"

#include <fcntl.h>
#include <unistd.h>

namespace velmora::cli {

namespace {

// A stream of its own for the command's output; standard output itself then
// goes nowhere, so the scan's and the clients' diagnostic lines are not mixed
// into it.
std::FILE* TakeStandardOutput()
{
    const int own = ::dup(STDOUT_FILENO);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    std::FILE* out = own >= 0 ? ::fdopen(own, "w") : nullptr;
    if (!out || nowhere < 0) {
        if (nowhere >= 0)
            ::close(nowhere);
        return stdout;
    }
    std::fflush(stdout);
    ::dup2(nowhere, STDOUT_FILENO);
    ::close(nowhere);
    return out;
}

} // namespace

int RunCli(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const CommandLine line = ParseCommandLine(arguments);
    Streams io;
    if (!line.error.empty())
        return UsageError(io, line.error + " (see " + kProgram + " --help)");
    if (line.version) {
        std::printf("%s %s\n", kProgram, kProductVersion);
        return kExitSuccess;
    }
    if (line.help) {
        std::fputs((line.command ? CommandHelp(*line.command) : ProgramHelp()).c_str(), stdout);
        return kExitSuccess;
    }

    Invocation invocation;
    invocation.operands = line.operands;
    invocation.json = line.json;
    invocation.all = line.all;
    invocation.router = line.router;
    invocation.paths = AppPathsFor(ExecutableDir());
    std::string reason;
    if (!PrepareAppPaths(invocation.paths, &reason))
        return Fail(io, reason);
    io.out = TakeStandardOutput();
    invocation.io = io;
    return line.command->run(invocation);
}

} // namespace velmora::cli
