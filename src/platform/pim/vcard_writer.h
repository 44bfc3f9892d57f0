// Writes contacts as vCards: 2.1 (what phones exchange in messages) or 3.0. The ring tone, a file of
// this device, is not written.
#pragma once

#include <string>
#include <string_view>

#include "platform/pim/pim_items.h"

namespace platform::pim {

enum class VcardVersion { k21, k30 };

std::string WriteVcard(const Contact& contact, VcardVersion version);

}  // namespace platform::pim
