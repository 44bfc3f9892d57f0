// Exporting the store's items as files of the device: a contact as a vCard, an appointment or a
// task as a vCalendar. Each file is written under a temporary name and renamed into place, so that a
// failed write (storage full: error 112) leaves no half-written file and an older file of the name
// as it was. Failures set the last error.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/pim/pim_items.h"
#include "platform/pim/vcard_writer.h"

namespace platform::pim {

bool ExportItem(PimKind kind, std::int64_t id, std::u16string_view devicePath,
                VcardVersion version = VcardVersion::k21);
// Writes the bytes to a device file the safe way described above.
bool WriteDeviceFile(std::u16string_view devicePath, std::string_view bytes);

}  // namespace platform::pim
