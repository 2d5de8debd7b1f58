#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

// The process's peak resident memory, for the figures of benchmarks and lab
// tables.
namespace velmora::test {

// Peak resident memory (VmHWM) since the start or the last ResetPeakRss(), in KiB;
// -1 when /proc cannot say.
inline long PeakRssKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// Starts the peak over from the memory resident now.
inline void ResetPeakRss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace velmora::test
