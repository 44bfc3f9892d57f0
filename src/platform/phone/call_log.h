// The phone's call log (the phone library's open, read and close calls): the calls made and taken
// on the device, newest first. The log is kept in the device's registry under
// HKEY_LOCAL_MACHINE\Platform\CallLog, one key per call, so that a person can add calls to it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

// One call, as the phone library hands it out: twelve fields, as on the device, where its pointers
// are 32-bit and cbSize is 48; here cbSize is the size of this record. The strings stay valid
// until the next entry is read or the log is closed.
struct CALLLOGENTRY {
  DWORD cbSize;
  FILETIME ftStartTime;
  FILETIME ftEndTime;
  DWORD iom;       // 0 incoming, 1 missed, 2 outgoing
  DWORD flags;     // bit 0 outgoing, bit 1 connected, bit 2 ended, bit 3 roaming
  DWORD cidt;      // 0 unavailable, 1 blocked, 2 available: whether the caller's number is known
  LPWSTR pszNumber;
  LPWSTR pszName;
  LPWSTR pszNameType;
  LPWSTR pszNote;
};

constexpr DWORD IOM_INCOMING = 0;
constexpr DWORD IOM_MISSED = 1;
constexpr DWORD IOM_OUTGOING = 2;

// A handle for reading the log from its newest call; E_INVALIDARG without a place for it.
HRESULT PhoneOpenCallLog(HANDLE* log);
// The next call: S_OK, S_FALSE after the last one, E_INVALIDARG for a bad handle or a record of
// another size.
HRESULT PhoneGetCallLogEntry(HANDLE log, CALLLOGENTRY* entry);
HRESULT PhoneCloseCallLog(HANDLE log);

namespace platform::phone {

struct CallRecord {
  std::u16string number;
  std::u16string name;
  DWORD iom = IOM_OUTGOING;
  std::int64_t start = 0;  // seconds since 1970
  std::int64_t seconds = 0;
};

// Numbers and names longer than this are cut: the phone keeps no more.
constexpr std::size_t kMaxCallText = 256;
// The log keeps the newest calls only.
constexpr std::size_t kMaxCalls = 500;

// Adds a call at the top of the log (the oldest beyond kMaxCalls are dropped); false when the
// registry cannot be written or the number is empty.
bool AddCall(const CallRecord& call);
// The calls, newest first.
std::vector<CallRecord> ReadCalls();

}  // namespace platform::phone
