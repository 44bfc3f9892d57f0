// The phone's calls as the forms use them: placing a call (the phone library's make-call) and the
// device's own number (the SMS library's SmsGetPhoneNumber). Calls are not placed on this device:
// each request is written to the activity log. The dialler program is "\windows\cprog.exe".
#pragma once

#include "platform/win_types.h"

// The call record: seven fields, as on the device, where its pointers are 32-bit and cbSize is 28;
// here cbSize is the size of this record.
struct PHONEMAKECALLINFO {
  DWORD cbSize;
  DWORD dwFlags;
  LPCWSTR pszDestAddress;
  LPCWSTR pszAppName;
  LPCWSTR pszCalledParty;
  LPCWSTR pszComment;
  DWORD dwReserved;
};

constexpr DWORD PMCF_DEFAULT = 0x1;
constexpr DWORD PMCF_PROMPTBEFORECALLING = 0x2;

// 0 when the call was placed; E_INVALIDARG for a record of another size or without a number.
LONG PhoneMakeCall(PHONEMAKECALLINFO* info);

enum SMS_ADDRESS_TYPE { SMSAT_UNKNOWN = 0, SMSAT_INTERNATIONAL = 1, SMSAT_NATIONAL = 2 };
constexpr int SMS_MAX_ADDRESS_LENGTH = 256;

struct SMS_ADDRESS {
  SMS_ADDRESS_TYPE smsatAddressType;
  WCHAR ptsAddress[SMS_MAX_ADDRESS_LENGTH];
};

// The device's own number: the text value "OwnNumber" under HKEY_LOCAL_MACHINE\Platform. E_FAIL
// when the device has none (no SIM, or not set).
HRESULT SmsGetPhoneNumber(SMS_ADDRESS* address);
