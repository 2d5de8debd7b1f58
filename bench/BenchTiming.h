#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

// Timing pieces the benchmark programs share.
namespace velmora::bench {

using Clock = std::chrono::steady_clock;

// Milliseconds from `start` until now.
inline double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The middle value of an odd number of samples (the upper middle of an even one).
inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace velmora::bench
