// bench_triggering [ports=1000] [frequency_ms=100] [seconds=10]
//
// Runs one UDP triggering entry over `ports` consecutive loopback ports and
// counts the datagrams in a child process (so its CPU stays out of the
// figures), then stops the entry and times the way out.
#include "config/core/Records.h"
#include "platform/Log.h"
#include "tests/support/PeakMemory.h"
#include "tests/triggering/LoopbackCounter.h"
#include "triggering/core/Triggering.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

namespace {

using velmora::test::PeakRssKb;

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int ThreadCount()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Threads:", 0) == 0)
            return std::atoi(line.c_str() + 8);
    }
    return -1;
}

bool ReadAll(int fd, void* data, size_t size)
{
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        ssize_t got = ::read(fd, bytes, size);
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

// The child: opens the counter, reports its first port, then answers each
// request byte with the datagrams counted so far; ends when the parent closes.
[[noreturn]] void RunCounter(int ports, int requests, int answers)
{
    auto counter = velmora::test::LoopbackCounter::Open(
        ports, velmora::test::LoopbackCounter::Tcp::None, true);
    int base = counter ? counter->basePort() : -1;
    if (::write(answers, &base, sizeof base) != sizeof base || !counter)
        std::_Exit(1);
    char request;
    while (::read(requests, &request, 1) == 1) {
        long long total = counter->totalDatagrams();
        if (::write(answers, &total, sizeof total) != sizeof total)
            break;
    }
    counter.reset();
    std::_Exit(0);
}

} // namespace

int main(int argc, char** argv)
{
    const int ports = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int frequency = argc > 2 ? std::atoi(argv[2]) : 100;
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 10;

    int toChild[2];
    int fromChild[2];
    if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0)
        return 1;
    const pid_t child = ::fork(); // before any thread exists
    if (child == 0) {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        RunCounter(ports, toChild[0], fromChild[1]);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    int base = -1;
    if (!ReadAll(fromChild[0], &base, sizeof base) || base < 0) {
        std::fprintf(stderr, "no block of %d free loopback ports\n", ports);
        return 1;
    }
    auto askCount = [&] {
        long long total = -1;
        char request = 'c';
        if (::write(toChild[1], &request, 1) == 1)
            ReadAll(fromChild[0], &total, sizeof total);
        return total;
    };

    OpenLog("/dev/null"); // the stop lines are timed through the end reports
    auto entry = velmora::ZeroedRecord<TriggeringEntry>();
    velmora::SetField(entry.name, "bench");
    velmora::SetField(entry.protocol, "UDP");
    velmora::SetField(entry.trigger_address, "127.0.0.1");
    velmora::SetField(entry.trigger_port, std::to_string(base));
    velmora::SetField(entry.trigger_port_end, std::to_string(base + ports - 1));
    velmora::SetField(entry.frequence, std::to_string(frequency));

    std::atomic<long long> lastEndNs{0};
    const double cpuBefore = CpuSeconds();
    const long long countBefore = askCount();
    const auto began = Clock::now();
    auto run = StartTriggeringEntry(entry, [&](const auto&, const auto&) {
        lastEndNs.store(Clock::now().time_since_epoch().count()); // just after the stop line
    });
    std::this_thread::sleep_until(began + std::chrono::seconds(seconds));
    const long long received = askCount() - countBefore;
    const double window = std::chrono::duration<double>(Clock::now() - began).count();
    const double cpu = CpuSeconds() - cpuBefore;
    const int threads = ThreadCount();

    const auto stopAt = Clock::now();
    RequestTriggeringStop(run);
    const bool ended = run->waitUntilFinished(std::chrono::seconds(60));
    const double stopSeconds =
        std::chrono::duration<double>(Clock::duration(lastEndNs.load()) - stopAt.time_since_epoch())
            .count();

    const double ideal = static_cast<double>(run->workersStarted()) * window * 1000.0 / frequency;
    std::printf(
        "triggering bench: %d UDP ports (workers %d, bound %d per entry) every %d ms for %.2f s\n",
        ports, run->workersStarted(), velmora::kMaxWorkersPerEntry, frequency, window);
    std::printf("  datagrams received      %lld of ideal %.0f: ratio %.4f (goal >= 0.95)\n",
                received, ideal, static_cast<double>(received) / ideal);
    std::printf("  CPU seconds (workers)   %.3f over %.2f s wall\n", cpu, window);
    std::printf("  peak resident memory    %.1f MiB\n", static_cast<double>(PeakRssKb()) / 1024.0);
    std::printf("  threads while running   %d\n", threads);
    std::printf("  Stop to last stop line  %.3f s (goal <= %.3f s)%s\n", stopSeconds,
                frequency / 1000.0 + 3.5, ended ? "" : "  [not all workers ended]");

    ::close(toChild[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return ended ? 0 : 1;
}
