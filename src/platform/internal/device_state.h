// What the platform keeps for the open device, for the platform's own files.
#pragma once

#include "platform/registry/registry_store.h"

namespace platform::internal {

// The current device's registry, opening the default device on first use; null when it cannot be
// opened.
RegistryStore* Registry();

// Writes the keys and values of a REGEDIT4 text as factory values, inside the caller's transaction.
bool ApplyRegistryEntries(RegistryStore& store, std::string_view text, std::string* error);

}  // namespace platform::internal
