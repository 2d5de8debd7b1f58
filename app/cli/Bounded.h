#pragma once

#include "app/cli/CliOutput.h"
#include "platform/Deadline.h"

#include <chrono>
#include <functional>
#include <string>

namespace velmora::cli {

// How long a command may wait for the router's answers, as the window gives
// its Router Info.
inline constexpr std::chrono::milliseconds kAnswerDeadline{20000};

// "the router did not answer within 20 s": the failure line of a late answer.
std::string NoAnswerWithin(std::chrono::milliseconds deadline);

// Runs `work` on a thread of its own and waits for it until `deadline`. Work
// that is not done by then is given up: `late` goes out as the failure line
// and the process ends at once, the thread still waiting for its router
// (nothing of the caller is unwound, so what `work` uses stays in place).
void RunWithin(Deadline deadline, const std::function<void()>& work, const Streams& io,
               const std::string& late);

// Ends the process now with `status`, without waiting for threads left
// behind or running destructors; output is flushed first.
[[noreturn]] void EndNow(int status);

} // namespace velmora::cli
