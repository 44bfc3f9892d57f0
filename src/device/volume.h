// The two queries the library exports for the user agent's other components.
#pragma once

#include "platform/win_types.h"

extern "C" {
// Kind 0 or 4: the volume, 1: the ringer, as 0 to 5 (the raw level divided by 0x33333333); FALSE
// with level 0 for a missing value and every other kind.
__attribute__((visibility("default"))) BOOL getVolume(DWORD kind, DWORD* level);
// Whether the phone is camped on a 3G network ("CSAF" 16 or 64).
__attribute__((visibility("default"))) BOOL isCamp3G();
}
