// What a device must hold after anything happened to it: both databases intact, the factory values
// there, every listed message's data file whole and decodable, no leftovers of killed processes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace reliability {

struct DeviceCheck {
  bool opened = false;
  std::vector<std::string> problems;  // empty when everything holds
  std::size_t messages = 0;
  std::vector<std::string> entryIds;  // of the listed messages, as hex
};

// Whether leftovers of killed processes (temporary files, data files no message claims) count.
enum class Leftovers {
  kIgnored,
  kAfterCleanUp,  // count what is left after the clean-up every writing command starts with
  kAsTheyAre,     // count what is there (a writing command ran since)
};

// Opens the device in this process (as the next command would), checks it and closes it again.
DeviceCheck CheckDevice(const std::filesystem::path& root, Leftovers leftovers);

// Temporary files and work folders under the root (NAME.tmp-PID-N, Temp\inspect-PID).
std::vector<std::filesystem::path> TemporaryLeftovers(const std::filesystem::path& root);

}  // namespace reliability
