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

// Opens the device in this process (as the next command would), checks it and closes it again.
// withLeftovers: also counts temporary files and unclaimed data files as problems (after a command
// that cleans up has run).
DeviceCheck CheckDevice(const std::filesystem::path& root, bool withLeftovers);

// Temporary files and work folders under the root (NAME.tmp-PID-N, Temp\inspect-PID).
std::vector<std::filesystem::path> TemporaryLeftovers(const std::filesystem::path& root);

}  // namespace reliability
