// The library's two exports, by the names the platform gives them.
#include <algorithm>

#include "platform/kernel/last_error.h"
#include "platform/net/internet_api.h"
#include "url_text.h"

#define INTERNET_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::u16string_view TextOf(LPCWSTR url, DWORD length) {
  if (length != 0) return std::u16string_view(url, length);
  return std::u16string_view(url);
}

}  // namespace

INTERNET_EXPORT BOOL InternetCanonicalizeUrlW(LPCWSTR url, LPWSTR buffer, DWORD* length, DWORD flags) {
  if (url == nullptr || length == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto canonical = internet::CanonicalUrl(url, (flags & ICU_BROWSER_MODE) != 0);
  if (!canonical) {
    SetLastError(ERROR_INTERNET_INVALID_URL);
    return FALSE;
  }
  const DWORD needed = static_cast<DWORD>(canonical->size() + 1);
  if (buffer == nullptr || *length < needed) {
    *length = needed;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::copy(canonical->begin(), canonical->end(), buffer);
  buffer[canonical->size()] = 0;
  *length = needed - 1;
  return TRUE;
}

INTERNET_EXPORT BOOL InternetCrackUrlW(LPCWSTR url, DWORD length, DWORD, URL_COMPONENTSW* components) {
  if (url == nullptr || components == nullptr || components->dwStructSize != sizeof(URL_COMPONENTSW)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  internet::UrlParts parts;
  switch (internet::SplitUrl(TextOf(url, length), &parts)) {
    case internet::SplitError::kNone:
      break;
    case internet::SplitError::kNoScheme:
      SetLastError(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
      return FALSE;
    case internet::SplitError::kInvalid:
      SetLastError(ERROR_INTERNET_INVALID_URL);
      return FALSE;
  }
  *components = URL_COMPONENTSW{sizeof(URL_COMPONENTSW),
                                parts.scheme.offset, parts.scheme.length, parts.schemeNumber,
                                parts.host.offset, parts.host.length, parts.port, 0,
                                parts.user.offset, parts.user.length, parts.password.offset, parts.password.length,
                                parts.path.offset, parts.path.length, parts.extra.offset, parts.extra.length};
  return TRUE;
}
