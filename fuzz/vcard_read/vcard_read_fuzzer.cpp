// Reads arbitrary bytes as vCards. A failure names a line of the text and keeps no contact; a
// success keeps fields within their caps, and every contact read writes as 2.1 and as 3.0 and reads
// back equal.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/pim/vcard_reader.h"
#include "platform/pim/vcard_writer.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace platform::pim;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const VcardRead read = ReadVcards(text);
  const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n') +
                                      std::count(text.begin(), text.end(), '\r')) + 1;
  if (!read.ok()) {
    Check(read.contacts.empty());
    Check(read.errorLine >= 0 && read.errorLine <= lines);
    return 0;
  }
  Check(read.contacts.size() <= kMaxVcards);
  for (const Contact& contact : read.contacts) {
    Check(contact.photo.size() <= kMaxPhotoBytes);
    Check(contact.photo.empty() || PictureType(contact.photo).has_value());
    for (const std::string* field : {&contact.givenName, &contact.familyName, &contact.mobile, &contact.home,
                                     &contact.work, &contact.email[0], &contact.email[1], &contact.email[2]}) {
      Check(field->size() <= kMaxFieldBytes);
    }
    for (VcardVersion version : {VcardVersion::k21, VcardVersion::k30}) {
      const VcardRead again = ReadVcards(WriteVcard(contact, version));
      Check(again.ok() && again.contacts.size() == 1);
      Contact expected = contact;
      if (expected.fileAs.empty()) expected.fileAs = DisplayName(contact);
      Check(again.contacts[0] == expected);
    }
  }
  return 0;
}
