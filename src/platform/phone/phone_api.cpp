#include "platform/phone/phone_api.h"

#include <algorithm>
#include <string>

#include "platform/kernel/activity_log.h"
#include "platform/registry/registry.h"
#include "platform/text/text_conversion.h"

namespace {

constexpr LONG kInvalidArgument = static_cast<LONG>(0x80070057);
constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);

}  // namespace

LONG PhoneMakeCall(PHONEMAKECALLINFO* info) {
  if (info == nullptr || info->cbSize != sizeof(PHONEMAKECALLINFO) || info->pszDestAddress == nullptr ||
      *info->pszDestAddress == 0) {
    return kInvalidArgument;
  }
  std::string detail = platform::Utf16ToUtf8(info->pszDestAddress);
  if (info->pszCalledParty != nullptr && *info->pszCalledParty != 0) {
    detail += " (" + platform::Utf16ToUtf8(info->pszCalledParty) + ")";
  }
  platform::RecordActivity("call", detail);
  return 0;
}

HRESULT SmsGetPhoneNumber(SMS_ADDRESS* address) {
  if (address == nullptr) return kInvalidArgument;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform", 0, KEY_READ, &key) != ERROR_SUCCESS) return kFail;
  WCHAR number[SMS_MAX_ADDRESS_LENGTH] = {};
  DWORD size = sizeof number - sizeof(WCHAR);
  DWORD type = REG_NONE;
  const LONG read = RegQueryValueExW(key, u"OwnNumber", nullptr, &type, reinterpret_cast<BYTE*>(number), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ || number[0] == 0) return kFail;
  std::copy(std::begin(number), std::end(number), address->ptsAddress);
  address->smsatAddressType = number[0] == '+' ? SMSAT_INTERNATIONAL : SMSAT_UNKNOWN;
  return 0;
}
