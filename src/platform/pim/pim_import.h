// Importing a vCard or vCalendar file into the device's contact store: every card or item of the
// file is added, or none is (a broken file adds nothing). The shell hands .vcf and .vcs files here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pim/pim_items.h"

namespace platform::pim {

struct PimImport {
  std::vector<std::int64_t> contacts;  // identifiers of what was added, in file order
  std::vector<std::int64_t> appointments;
  std::vector<std::int64_t> tasks;
  std::vector<std::string> warnings;
  std::string error;  // empty on success: "line 12: broken quoted-printable value", ...
  bool ok() const { return error.empty(); }
};

// The file's text, told apart by its first BEGIN (VCARD or VCALENDAR), not by its name.
PimImport ImportPimText(std::string_view text);
// A file of the host (the host program's import) or of the device (a device path, the shell's).
PimImport ImportPimHostFile(const std::filesystem::path& file);
PimImport ImportPimDeviceFile(std::u16string_view devicePath);

}  // namespace platform::pim
