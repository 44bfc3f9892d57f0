// A test switch for storage that fills up: once set, device writes (WriteFile, CopyFileW and streams
// from _wfopen) succeed for so many more bytes in all, the write that passes the limit writes what
// fits, and every write fails with ERROR_DISK_FULL (112) from there on, as on a full phone. Free
// space reports the bytes left. The environment variable MMSFORM_WRITE_LIMIT sets it for a whole
// process (the host program under test), read when the process first writes.
#pragma once

#include <cstddef>

namespace platform {

// A negative limit turns the switch off.
void SetDeviceWriteLimit(long long bytes);
// Bytes still allowed, or -1 when the switch is off.
long long DeviceWriteBudget();

namespace internal {

// How many of `wanted` bytes may be written now; the budget is reduced by that many.
std::size_t TakeWriteBudget(std::size_t wanted);

}  // namespace internal
}  // namespace platform
