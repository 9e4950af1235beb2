// Which processes are Pentrax: its windows are never acted on, whichever
// Pentrax process asks (a command run while Pentrax's window is open finds
// that window as any other).
#pragma once

#include <cstdint>

namespace pentrax {

// Whether the process is this one, or one that runs the same executable
// file (as /proc tells it: the same device and inode). A process that
// cannot be looked at (another user's, one that has ended) is not.
bool IsPentraxProcess(std::int64_t pid);

}  // namespace pentrax
