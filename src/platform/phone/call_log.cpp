#include "platform/phone/call_log.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "platform/registry/registry.h"

namespace {

constexpr HRESULT kInvalidArgument = static_cast<HRESULT>(0x80070057);
constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);
constexpr const char16_t* kLogKey = u"\\Platform\\CallLog";
// Seconds between 1601 and 1970, and 100 ns steps in a second.
constexpr std::int64_t kFileTimeEpoch = 11644473600LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;

// An open log: the calls as read when it was opened, the position, and the strings of the entry
// handed out last.
struct CallLogReader {
  std::vector<platform::phone::CallRecord> calls;
  std::size_t next = 0;
  std::u16string number;
  std::u16string name;
  std::u16string nameType;
};

std::set<CallLogReader*>& OpenReaders() {
  static std::set<CallLogReader*> readers;
  return readers;
}

FILETIME FileTimeOf(std::int64_t seconds) {
  const auto ticks = static_cast<std::uint64_t>((seconds + kFileTimeEpoch) * kTicksPerSecond);
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

std::u16string ReadText(HKEY key, const char16_t* name) {
  // Room for the longest text with its null, and one more null that the value cannot overwrite.
  WCHAR text[platform::phone::kMaxCallText + 2] = {};
  DWORD size = sizeof text - sizeof(WCHAR);
  DWORD type = REG_NONE;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  return std::u16string(text, std::min<std::size_t>(size / sizeof(WCHAR), platform::phone::kMaxCallText)).c_str();
}

std::int64_t ReadNumber(HKEY key, const char16_t* name) {
  std::int64_t value = 0;
  DWORD size = sizeof value;
  DWORD type = REG_NONE;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_BINARY || size != sizeof value) {
    return 0;
  }
  return value;
}

void WriteText(HKEY key, const char16_t* name, std::u16string_view text) {
  const std::u16string value(text.substr(0, platform::phone::kMaxCallText));
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
}

// The calls' key names, which count up: the newest call has the largest.
std::vector<std::u16string> CallKeys(HKEY log) {
  std::vector<std::u16string> names;
  for (DWORD index = 0; names.size() <= platform::phone::kMaxCalls * 2; ++index) {
    WCHAR name[64] = {};
    DWORD length = 63;
    if (RegEnumKeyExW(log, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  std::sort(names.begin(), names.end(), [](const std::u16string& a, const std::u16string& b) {
    return a.size() != b.size() ? a.size() > b.size() : a > b;
  });
  return names;
}

}  // namespace

namespace platform::phone {

bool AddCall(const CallRecord& call) {
  if (call.number.empty()) return false;
  HKEY log = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kLogKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &log, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  std::vector<std::u16string> keys = CallKeys(log);
  unsigned long long next = 1;
  if (!keys.empty()) {
    const std::string digits(keys.front().begin(), keys.front().end());
    next = std::strtoull(digits.c_str(), nullptr, 10) + 1;
  }
  char name[32];
  std::snprintf(name, sizeof name, "%010llu", next);
  const std::u16string keyName(name, name + std::char_traits<char>::length(name));
  HKEY entry = nullptr;
  bool ok = RegCreateKeyExW(log, keyName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &entry, nullptr) ==
            ERROR_SUCCESS;
  if (ok) {
    WriteText(entry, u"Number", call.number);
    WriteText(entry, u"Name", call.name);
    const DWORD iom = std::min<DWORD>(call.iom, IOM_OUTGOING);
    RegSetValueExW(entry, u"Kind", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&iom), sizeof iom);
    RegSetValueExW(entry, u"Start", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&call.start), sizeof call.start);
    RegSetValueExW(entry, u"Seconds", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&call.seconds),
                   sizeof call.seconds);
    RegCloseKey(entry);
    for (std::size_t i = kMaxCalls - 1; i < keys.size(); ++i) RegDeleteKeyW(log, keys[i].c_str());
  }
  RegFlushKey(log);
  RegCloseKey(log);
  return ok;
}

std::vector<CallRecord> ReadCalls() {
  std::vector<CallRecord> calls;
  HKEY log = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLogKey, 0, KEY_READ, &log) != ERROR_SUCCESS) return calls;
  for (const std::u16string& keyName : CallKeys(log)) {
    if (calls.size() >= kMaxCalls) break;
    HKEY entry = nullptr;
    if (RegOpenKeyExW(log, keyName.c_str(), 0, KEY_READ, &entry) != ERROR_SUCCESS) continue;
    CallRecord call;
    call.number = ReadText(entry, u"Number");
    call.name = ReadText(entry, u"Name");
    DWORD iom = IOM_OUTGOING;
    DWORD size = sizeof iom;
    DWORD type = REG_NONE;
    if (RegQueryValueExW(entry, u"Kind", nullptr, &type, reinterpret_cast<BYTE*>(&iom), &size) == ERROR_SUCCESS &&
        type == REG_DWORD) {
      call.iom = std::min<DWORD>(iom, IOM_OUTGOING);
    }
    call.start = ReadNumber(entry, u"Start");
    call.seconds = std::max<std::int64_t>(ReadNumber(entry, u"Seconds"), 0);
    RegCloseKey(entry);
    calls.push_back(std::move(call));
  }
  RegCloseKey(log);
  return calls;
}

}  // namespace platform::phone

HRESULT PhoneOpenCallLog(HANDLE* log) {
  if (log == nullptr) return kInvalidArgument;
  auto reader = std::make_unique<CallLogReader>();
  reader->calls = platform::phone::ReadCalls();
  if (!OpenReaders().insert(reader.get()).second) return kFail;
  *log = reader.release();
  return S_OK;
}

HRESULT PhoneGetCallLogEntry(HANDLE log, CALLLOGENTRY* entry) {
  auto* reader = static_cast<CallLogReader*>(log);
  if (OpenReaders().count(reader) == 0 || entry == nullptr || entry->cbSize != sizeof(CALLLOGENTRY)) {
    return kInvalidArgument;
  }
  if (reader->next >= reader->calls.size()) return S_FALSE;
  const platform::phone::CallRecord& call = reader->calls[reader->next++];
  reader->number = call.number;
  reader->name = call.name;
  reader->nameType = call.name.empty() ? u"" : u"m";
  *entry = CALLLOGENTRY{};
  entry->cbSize = sizeof(CALLLOGENTRY);
  entry->ftStartTime = FileTimeOf(call.start);
  entry->ftEndTime = FileTimeOf(call.start + call.seconds);
  entry->iom = call.iom;
  entry->flags = (call.iom == IOM_OUTGOING ? 0x1u : 0u) | (call.iom != IOM_MISSED ? 0x2u : 0u) | 0x4u;
  entry->cidt = call.number.empty() ? 0 : 2;
  entry->pszNumber = reader->number.data();
  entry->pszName = reader->name.empty() ? nullptr : reader->name.data();
  entry->pszNameType = reader->nameType.empty() ? nullptr : reader->nameType.data();
  entry->pszNote = nullptr;
  return S_OK;
}

HRESULT PhoneCloseCallLog(HANDLE log) {
  auto* reader = static_cast<CallLogReader*>(log);
  if (OpenReaders().erase(reader) == 0) return kInvalidArgument;
  std::unique_ptr<CallLogReader> owned(reader);
  return S_OK;
}
