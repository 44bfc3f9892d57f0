// Why writing into a folder failed, in the words a person understands: a full or a read-only file
// system is by far the most common cause on a phone, and the one the person can do something about.
#pragma once

#include <filesystem>
#include <string>

namespace platform {

// "the device folder F is full" or "the device folder F is read-only" when that is why a write
// under `folder` failed (errorNumber is the errno of the failure, or 0 when unknown); empty when
// neither is the case.
std::string StorageProblem(const std::filesystem::path& folder, int errorNumber = 0);

// The same for the current device's root, after a device call failed with the Win32 error `error`
// (GetLastError; 0 when unknown).
std::string DeviceStorageProblem(unsigned long error = 0);

// Whether nothing can be written under `folder` because its file system is mounted read-only.
bool IsReadOnlyFolder(const std::filesystem::path& folder);

}  // namespace platform
