#include "platform/pim/vcard_writer.h"

#include "platform/pim/versit_writer.h"

namespace platform::pim {

std::string WriteVcard(const Contact& contact, VcardVersion version) {
  const bool v30 = version == VcardVersion::k30;
  VersitWriter writer(v30 ? VersitForm::kVersion30 : VersitForm::kVersion21);
  writer.Raw("BEGIN", "VCARD");
  writer.Raw("VERSION", v30 ? "3.0" : "2.1");
  // N is always written, so that a reader never derives the names from FN.
  writer.Structured("N", {contact.familyName, contact.givenName, "", "", ""});
  writer.Text("FN", DisplayName(contact));
  struct Number {
    const std::string& value;
    std::string_view type;
  };
  for (const Number& number : {Number{contact.mobile, "CELL"}, Number{contact.home, "HOME"},
                               Number{contact.work, "WORK"}}) {
    if (number.value.empty()) continue;
    writer.Text((v30 ? "TEL;TYPE=" : "TEL;") + std::string(number.type) + (v30 ? ",VOICE" : ";VOICE"),
                number.value);
  }
  // Addresses up to the last one set; an empty one holds the place of a field left free.
  std::size_t emails = contact.email.size();
  while (emails > 0 && contact.email[emails - 1].empty()) --emails;
  for (std::size_t i = 0; i < emails; ++i) {
    writer.Text(v30 ? "EMAIL;TYPE=INTERNET" : "EMAIL;INTERNET", contact.email[i]);
  }
  if (auto type = PictureType(contact.photo)) {
    writer.Binary("PHOTO;TYPE=" + std::string(*type), contact.photo);
  }
  writer.Raw("END", "VCARD");
  return writer.Output();
}

}  // namespace platform::pim
