// What the platform keeps for the open device, for the platform's own files.
#pragma once

#include "platform/internal/registry_store.h"

namespace platform::internal {

// The current device's registry, opening the default device on first use; null when it cannot be
// opened.
RegistryStore* Registry();

}  // namespace platform::internal
