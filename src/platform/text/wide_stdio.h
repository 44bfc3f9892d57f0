// The device C library's wide file streams: _wfopen on a device path, and wide text written as
// UTF-16LE code units (no byte-order mark), as the device's library writes them. The host C
// library's own wide streams would write the locale's multibyte encoding instead.
#pragma once

#include <cstdio>

#include "platform/win_types.h"

// Modes "r", "w", "a" (with an optional "b" or "+"); null when the path maps outside the device or
// the file cannot be opened.
FILE* _wfopen(LPCWSTR path, LPCWSTR mode);
// Writes the text's units; EOF on a write error, else a non-negative value.
int fputws(LPCWSTR text, FILE* file);
