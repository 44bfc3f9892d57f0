// String resources of the process module by number, for CString's resource constructor.
#pragma once

#include <string>

#include "platform/win_types.h"

namespace platform::resources {

// The whole text, however long. A missing string shows the message box "Error Load string"
// titled "Error" and gives an empty text.
std::u16string LoadStringResource(UINT id);

}  // namespace platform::resources
