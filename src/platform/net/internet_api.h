// The internet library ("wininet.dll") as its users see it: the two address calls it exports by
// name, their flags, errors and the components record. The library is a plugin loaded at run time;
// this header only describes what it exports.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

// Canonicalising: keep the query and fragment as written (no case or escape normalisation there).
constexpr DWORD ICU_BROWSER_MODE = 0x02000000;

// Scheme numbers of the components record.
using INTERNET_SCHEME = std::int32_t;
constexpr INTERNET_SCHEME INTERNET_SCHEME_UNKNOWN = -1;
constexpr INTERNET_SCHEME INTERNET_SCHEME_FTP = 1;
constexpr INTERNET_SCHEME INTERNET_SCHEME_GOPHER = 2;
constexpr INTERNET_SCHEME INTERNET_SCHEME_HTTP = 3;
constexpr INTERNET_SCHEME INTERNET_SCHEME_HTTPS = 4;
constexpr INTERNET_SCHEME INTERNET_SCHEME_FILE = 5;
constexpr INTERNET_SCHEME INTERNET_SCHEME_NEWS = 6;
constexpr INTERNET_SCHEME INTERNET_SCHEME_MAILTO = 7;
constexpr INTERNET_SCHEME INTERNET_SCHEME_SOCKS = 8;

constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
constexpr DWORD ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;

// The components of a split address: fifteen 32-bit words, as on the device. Where the device's
// record holds pointers into the address, this one holds character offsets from its start, so that
// the record keeps its size on a 64-bit host. A component that is absent has length 0.
struct URL_COMPONENTSW {
  DWORD dwStructSize;  // 60
  DWORD schemeOffset;
  DWORD dwSchemeLength;
  INTERNET_SCHEME nScheme;
  DWORD hostNameOffset;
  DWORD dwHostNameLength;
  WORD nPort;  // the scheme's default port when the address gives none
  WORD reserved;
  DWORD userNameOffset;
  DWORD dwUserNameLength;
  DWORD passwordOffset;
  DWORD dwPasswordLength;
  DWORD urlPathOffset;
  DWORD dwUrlPathLength;
  DWORD extraInfoOffset;  // the query and fragment, from their "?" or "#"
  DWORD dwExtraInfoLength;
};
static_assert(sizeof(URL_COMPONENTSW) == 60);

// Writes the canonical form of `url` into `buffer`; *length is the buffer's size in characters on
// entry and the result's length (without its null) on return. A short buffer fails with
// ERROR_INSUFFICIENT_BUFFER and *length set to the size needed, null included.
using InternetCanonicalizeUrlFunction = BOOL (*)(LPCWSTR url, LPWSTR buffer, DWORD* length, DWORD flags);
// Splits `url` (length 0: up to its null) into `components`, whose dwStructSize must be 60.
using InternetCrackUrlFunction = BOOL (*)(LPCWSTR url, DWORD length, DWORD flags, URL_COMPONENTSW* components);
