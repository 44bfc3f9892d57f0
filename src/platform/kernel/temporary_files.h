// Temporary files of the device: every file is written under a temporary name and renamed into
// place, so that a process killed half way never leaves a half-written file under the real name.
// The temporary name carries the writer's process number; what a process that no longer runs
// left behind is removed by the next process that writes to the device.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// ".tmp-PID-N": appended to a file's name, unique to this process and this call.
std::string TemporarySuffix();

// Whether a file or folder name is a temporary one of a process that no longer runs: NAME.tmp-PID-N
// (an extension may follow), or "inspect-PID" (the host program's former work folders).
bool IsStaleTemporaryName(std::string_view name);

// Removes the stale temporary files and folders under the current device root; returns how many.
std::size_t RemoveStaleTemporaryFiles();

}  // namespace platform
