// Code-page conversion between 8-bit text and UTF-16, and UTF-8 helpers used across layers.
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"

constexpr UINT CP_ACP = 0;  // the device's system code page
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x8;
constexpr DWORD MB_PRECOMPOSED = 0x1;

// Win32 semantics: a length of -1 takes the text up to and including its null; an output size of 0
// asks for the size needed; the result is the count written (0 on failure, see GetLastError:
// ERROR_INSUFFICIENT_BUFFER, ERROR_NO_UNICODE_TRANSLATION, ERROR_INVALID_PARAMETER). Undecodable
// bytes become U+FFFD unless MB_ERR_INVALID_CHARS is given. Code pages: 0 (system), 65001, 1250,
// 1252, 936, 28591 (ISO-8859-1), 28592 (ISO-8859-2), 20127 (US-ASCII).
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int length, WCHAR* out, int outSize);
// Characters with no form in the code page become '?' (and *usedDefault is set when given).
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* text, int length, char* out, int outSize,
                        const char* defaultChar, BOOL* usedDefault);

namespace platform {

// The code page CP_ACP stands for on this device.
UINT SystemCodePage();
bool IsSupportedCodePage(UINT codePage);

// Whole-string forms; invalid input becomes U+FFFD (or '?' when encoding).
std::u16string Decode(UINT codePage, std::string_view text);
std::string Encode(UINT codePage, std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// Strict UTF-8 check (no overlongs, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Case folding for names the device compares without regard to case (ASCII and Latin-1 letters).
char16_t FoldCase(char16_t c);
std::u16string FoldCase(std::u16string_view text);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
// 8-bit names (content types, charsets, keys of text files) compared with ASCII letters folded.
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace platform
