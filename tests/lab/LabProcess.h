#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace velmora::lab {

struct ExecResult
{
    int exitCode = -1;  // the program's exit status; -1 when it did not exit normally
    std::string output; // stdout and stderr together
    bool timedOut = false;

    bool ok() const { return exitCode == 0 && !timedOut; }
};

// Runs argv (argv[0] is a path or a name looked up in PATH) to completion,
// collecting its output. Killed when it outlives the timeout.
ExecResult RunProgram(const std::vector<std::string>& argv,
                      std::chrono::milliseconds timeout = std::chrono::seconds(60));

// A program running in the background with its output going to a file; it is
// ended (SIGTERM, then SIGKILL) and reaped when the owner goes away.
class BackgroundProcess final
{
public:
    BackgroundProcess() = default;
    BackgroundProcess(const std::vector<std::string>& argv, const std::string& outputFile);
    ~BackgroundProcess();
    BackgroundProcess(BackgroundProcess&& other) noexcept;
    BackgroundProcess& operator=(BackgroundProcess&& other) noexcept;
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    bool running();
    // Everything it has written so far.
    std::string output() const;
    // Waits until its output contains text; false when it ends first or on timeout.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout);
    // Waits for it to end by itself; returns its exit status or -1.
    int wait(std::chrono::milliseconds timeout);
    // Ends it now; returns its exit status or -1 when it died of a signal.
    int stop();

private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::string outputFile_;
};

} // namespace velmora::lab
