// Reads vCards (2.1 and 3.0; 4.0 is read as 3.0) into contacts: N, FN, TEL, EMAIL and PHOTO. Other
// properties are left out. A broken card fails the whole file, so that an import is all or nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/pim/pim_items.h"

namespace platform::pim {

// One card may hold this many properties; a file this many cards.
constexpr std::size_t kMaxVcardProperties = 500;
constexpr std::size_t kMaxVcards = 5000;

struct VcardRead {
  std::vector<Contact> contacts;
  std::vector<std::string> warnings;  // what was left out ("line 7: PHOTO is not a picture, left out")
  std::string error;                  // empty when the file was read
  int errorLine = 0;
  bool ok() const { return error.empty(); }
};

VcardRead ReadVcards(std::string_view text);

}  // namespace platform::pim
