// The device: one root folder on the host that holds everything a running system keeps (files under
// device paths, the registry, the message store). The process works on one device at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// How a device that is created new gets its first registry.
enum class RegistrySeed {
  kFactory,  // the factory registry of a phone of this kind
  kEmpty,    // nothing: every setting reads its default
};

// The root used when no device was opened explicitly: $MMSFORM_DEVICE, else
// ~/.local/share/mmsform/device.
std::filesystem::path DefaultDeviceRoot();

// Makes `root` the current device, creating it when missing (seeded as asked), and installs the
// run-time libraries built for the device into its "\windows\" folder. Returns false with a reason
// when the folder or its registry cannot be opened. Closes the device that was open before.
bool OpenDevice(const std::filesystem::path& root, RegistrySeed seed, std::string* error = nullptr);

// The current device's root; opens the default device on first use.
const std::filesystem::path& DeviceRoot();

// Closes the current device (its registry and stores); the next call that needs one opens the default.
void CloseDevice();

// Maps a device path ("\My Documents\x.jpg", separators "\" or "/") to the host path under the root.
// Each existing component is found without regard to case; missing ones keep their spelling; empty
// components (doubled separators) are skipped. A "." or ".." component gives nothing, so no device
// path leaves the root. A host file lent to the device (platform/lent_files.h) maps to itself.
std::optional<std::filesystem::path> HostPath(std::u16string_view devicePath);

// The device path of a host path under the current root, or nothing when it lies outside.
std::optional<std::u16string> DevicePathOf(const std::filesystem::path& hostPath);

// Screen and text settings of the device, read from the registry ("\Platform" under
// HKEY_LOCAL_MACHINE), with the defaults of a 240 x 320 phone at 96 dpi and code page 1252.
struct DeviceSettings {
  int screenWidth = 240;
  int screenHeight = 320;
  int dpi = 96;
  unsigned codePage = 1252;
};
DeviceSettings ReadDeviceSettings();
bool WriteDeviceSettings(const DeviceSettings& settings);

}  // namespace platform
