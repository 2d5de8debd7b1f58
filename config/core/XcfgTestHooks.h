#pragma once

#include <cstddef>
#include <functional>

// Test hooks of the XCFG reader: watch the pieces of a file as they are handed
// to the parser, and make the reader's allocations fail as out of memory would.
// Not thread-safe; meant for tests, which set them around one load.

namespace velmora::xcfg_hooks {

using PieceObserver = std::function<void(size_t bytes, bool is_final)>;

enum class Allocation
{
    Node,
    AttributeList,
    StackEntry
};

// Called with each piece's size and final mark just before it is parsed.
void SetPieceObserver(PieceObserver observer);

// Lets `successes` further allocations of `kind` succeed and fails every one
// after them; a negative count lets all succeed again.
void FailAllocation(Allocation kind, int successes);

// Removes the observer and every allocation failure.
void ResetHooks();

// Used by the reader.
void NotifyPiece(size_t bytes, bool is_final);
bool AllocationAllowed(Allocation kind);

} // namespace velmora::xcfg_hooks
