// printf-style formatting of wide text, as the device's wide printf functions do it: %s is wide
// text, %hs 8-bit text (taken as UTF-8), %c a wide character, numbers as in printf.
#pragma once

#include <cstdarg>
#include <string>

#include "platform/win_types.h"

namespace platform {

std::u16string FormatWideV(const WCHAR* format, va_list args);
std::u16string FormatWide(const WCHAR* format, ...);

}  // namespace platform

// Writes at most `count` characters with the terminating null; -1 when the text did not fit (the
// output is then cut and still ends with a null).
int _snwprintf(LPWSTR out, std::size_t count, LPCWSTR format, ...);
