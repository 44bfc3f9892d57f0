// A contact's photo and ring tone taken from files of the device. The photo's bytes go into the
// store; the sound is copied into the store's own folder ("\Application Data\Contacts\"), so that
// both outlive the message they came with.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform::pim {

// False for a missing contact, a file that is no JPEG, PNG, GIF or BMP picture or is larger than
// 1 MB, or a store that cannot be written.
bool SetContactPhotoFromFile(std::int64_t id, std::u16string_view devicePath);
// False for a missing contact or file, or a copy or store write that fails (the last error says
// why: ERROR_DISK_FULL on full storage); the contact then keeps the tone it had.
bool SetContactRingToneFromFile(std::int64_t id, std::u16string_view devicePath);

}  // namespace platform::pim
