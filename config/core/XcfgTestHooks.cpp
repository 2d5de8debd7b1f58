#include "config/core/XcfgTestHooks.h"

#include <array>

namespace velmora::xcfg_hooks {
namespace {

struct Hooks
{
    PieceObserver observer;
    std::array<int, 3> successes_left{-1, -1, -1}; // per Allocation; -1: no limit
};

Hooks& State()
{
    static Hooks hooks;
    return hooks;
}

} // namespace

void SetPieceObserver(PieceObserver observer)
{
    State().observer = std::move(observer);
}

void FailAllocation(Allocation kind, int successes)
{
    State().successes_left[static_cast<size_t>(kind)] = successes < 0 ? -1 : successes;
}

void ResetHooks()
{
    State() = Hooks{};
}

void NotifyPiece(size_t bytes, bool is_final)
{
    if (State().observer)
        State().observer(bytes, is_final);
}

bool AllocationAllowed(Allocation kind)
{
    int& left = State().successes_left[static_cast<size_t>(kind)];
    if (left < 0)
        return true;
    if (left == 0)
        return false;
    --left;
    return true;
}

} // namespace velmora::xcfg_hooks
