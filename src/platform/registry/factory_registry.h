// The factory registry of a phone of this kind (REGEDIT4 text, built into the library from
// resources/factory.reg), applied when a device is created.
#pragma once

#include <string_view>

namespace platform {

std::string_view FactoryRegistryText();

}  // namespace platform
