// The phone's call log read through its open, read and close calls as the call-history picker
// reads it, and the camera that takes its picture or video from a file the device names.
#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/activity_log.h"
#include "platform/phone/call_log.h"
#include "platform/registry/registry.h"
#include "platform/shell/camera_capture.h"
#include "support/test_device.h"

namespace {

using platform::phone::CallRecord;
using test_support::TestDevice;

constexpr HRESULT kInvalidArgument = static_cast<HRESULT>(0x80070057);

std::vector<CALLLOGENTRY> ReadAll(HANDLE log, std::vector<std::u16string>& numbers) {
  std::vector<CALLLOGENTRY> entries;
  for (int guard = 0; guard < 1000; ++guard) {
    CALLLOGENTRY entry{};
    entry.cbSize = sizeof entry;
    const HRESULT result = PhoneGetCallLogEntry(log, &entry);
    if (result == S_FALSE) break;
    EXPECT_EQ(result, S_OK);
    if (result != S_OK) break;
    numbers.emplace_back(entry.pszNumber);
    entries.push_back(entry);
  }
  return entries;
}

TEST(CallLog, IsReadNewestFirstUntilTheEnd) {
  TestDevice device;
  HANDLE log = nullptr;
  ASSERT_EQ(PhoneOpenCallLog(&log), S_OK);
  std::vector<std::u16string> numbers;
  EXPECT_TRUE(ReadAll(log, numbers).empty()) << "a new phone has made no calls";
  EXPECT_EQ(PhoneCloseCallLog(log), S_OK);

  ASSERT_TRUE(platform::phone::AddCall(CallRecord{u"+358401234567", u"Anna", IOM_INCOMING, 1700000000, 65}));
  ASSERT_TRUE(platform::phone::AddCall(CallRecord{u"0501112222", u"", IOM_MISSED, 1700000100, 0}));
  ASSERT_TRUE(platform::phone::AddCall(CallRecord{u"112", u"Emergency", IOM_OUTGOING, 1700000200, 30}));
  EXPECT_FALSE(platform::phone::AddCall(CallRecord{u"", u"Nobody", IOM_OUTGOING, 0, 0}));

  ASSERT_EQ(PhoneOpenCallLog(&log), S_OK);
  numbers.clear();
  const std::vector<CALLLOGENTRY> entries = ReadAll(log, numbers);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(numbers, (std::vector<std::u16string>{u"112", u"0501112222", u"+358401234567"}));
  EXPECT_EQ(entries[0].iom, IOM_OUTGOING);
  EXPECT_EQ(entries[0].flags & 0x1u, 0x1u);
  EXPECT_EQ(entries[1].iom, IOM_MISSED);
  EXPECT_EQ(entries[1].pszName, nullptr) << "a call without a name has none";
  // 1700000000 s after 1970 in 100 ns steps after 1601, and 65 s later for the end.
  const unsigned long long start = (1700000000ULL + 11644473600ULL) * 10000000ULL;
  EXPECT_EQ(entries[2].ftStartTime.dwLowDateTime, static_cast<DWORD>(start & 0xFFFFFFFF));
  EXPECT_EQ(entries[2].ftStartTime.dwHighDateTime, static_cast<DWORD>(start >> 32));
  const unsigned long long end = start + 65ULL * 10000000ULL;
  EXPECT_EQ(entries[2].ftEndTime.dwLowDateTime, static_cast<DWORD>(end & 0xFFFFFFFF));
  CALLLOGENTRY after{};
  after.cbSize = sizeof after;
  EXPECT_EQ(PhoneGetCallLogEntry(log, &after), S_FALSE) << "the end stays the end";
  EXPECT_EQ(PhoneCloseCallLog(log), S_OK);
}

TEST(CallLog, RefusesBadHandlesRecordsAndKeepsNumbersShort) {
  TestDevice device;
  EXPECT_EQ(PhoneOpenCallLog(nullptr), kInvalidArgument);
  HANDLE log = nullptr;
  ASSERT_EQ(PhoneOpenCallLog(&log), S_OK);
  CALLLOGENTRY entry{};
  entry.cbSize = 48;
  EXPECT_EQ(PhoneGetCallLogEntry(log, &entry), sizeof(CALLLOGENTRY) == 48 ? S_FALSE : kInvalidArgument);
  entry.cbSize = sizeof entry;
  EXPECT_EQ(PhoneGetCallLogEntry(log, nullptr), kInvalidArgument);
  int notALog = 0;
  EXPECT_EQ(PhoneGetCallLogEntry(&notALog, &entry), kInvalidArgument);
  EXPECT_EQ(PhoneCloseCallLog(log), S_OK);
  EXPECT_EQ(PhoneCloseCallLog(log), kInvalidArgument) << "closed once only";

  ASSERT_TRUE(platform::phone::AddCall(CallRecord{std::u16string(1000, u'5'), std::u16string(300, u'x'), 9, 0, -4}));
  const std::vector<CallRecord> calls = platform::phone::ReadCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].number.size(), platform::phone::kMaxCallText);
  EXPECT_EQ(calls[0].name.size(), platform::phone::kMaxCallText);
  EXPECT_EQ(calls[0].iom, IOM_OUTGOING);
  EXPECT_EQ(calls[0].seconds, 0);
}

void SetCameraSource(const char16_t* name, std::u16string_view path) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\Camera", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::u16string value(path);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
  RegCloseKey(key);
}

SHCAMERACAPTURE Capture(DWORD mode) {
  SHCAMERACAPTURE capture{};
  capture.cbSize = sizeof capture;
  capture.Mode = mode;
  return capture;
}

TEST(CameraCapture, WithoutASourceItFailsAndSaysWhy) {
  TestDevice device;
  SHCAMERACAPTURE capture = Capture(0);
  EXPECT_EQ(SHCameraCapture(&capture), static_cast<HRESULT>(0x80070002));
  EXPECT_EQ(capture.szFile[0], u'\0');
  SetCameraSource(u"StillSource", u"\\My Documents\\gone.jpg");
  EXPECT_EQ(SHCameraCapture(&capture), static_cast<HRESULT>(0x80070002));
  const std::vector<platform::ActivityEntry> log = platform::ReadActivity();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].kind, "camera");
  EXPECT_NE(log[0].detail.find("StillSource is not set"), std::string::npos) << log[0].detail;
  EXPECT_NE(log[1].detail.find("missing file \\My Documents\\gone.jpg"), std::string::npos) << log[1].detail;

  capture.cbSize = 12;
  EXPECT_EQ(SHCameraCapture(&capture), kInvalidArgument);
  SHCAMERACAPTURE odd = Capture(3);
  EXPECT_EQ(SHCameraCapture(&odd), kInvalidArgument);
}

TEST(CameraCapture, TakesACopyOfTheSourceUnderAFreshNameOrTheGivenOne) {
  TestDevice device;
  test_support::WriteFileBytes(device.Host(u"\\Camera\\still.jpg"), "still picture");
  test_support::WriteFileBytes(device.Host(u"\\Camera\\clip.3gp"), "video clip");
  SetCameraSource(u"StillSource", u"\\Camera\\still.jpg");
  SetCameraSource(u"VideoSource", u"\\Camera\\clip.3gp");

  SHCAMERACAPTURE first = Capture(0);
  ASSERT_EQ(SHCameraCapture(&first), S_OK);
  EXPECT_EQ(std::u16string(first.szFile), u"\\My Documents\\My Pictures\\IMAGE001.jpg");
  SHCAMERACAPTURE second = Capture(0);
  ASSERT_EQ(SHCameraCapture(&second), S_OK);
  EXPECT_EQ(std::u16string(second.szFile), u"\\My Documents\\My Pictures\\IMAGE002.jpg");
  EXPECT_EQ(test_support::ReadFileBytes(device.Host(second.szFile)), "still picture");

  SHCAMERACAPTURE video = Capture(2);
  video.pszInitialDir = u"\\My Documents\\Clips";
  video.pszDefaultFileName = u"party";
  ASSERT_EQ(SHCameraCapture(&video), S_OK);
  EXPECT_EQ(std::u16string(video.szFile), u"\\My Documents\\Clips\\party.3gp");
  EXPECT_EQ(test_support::ReadFileBytes(device.Host(video.szFile)), "video clip");

  // A default name that is a path is no name: the capture stays in its folder.
  SHCAMERACAPTURE escaping = Capture(1);
  escaping.pszInitialDir = u"\\My Documents\\Clips\\";
  escaping.pszDefaultFileName = u"..\\..\\windows\\evil.3gp";
  ASSERT_EQ(SHCameraCapture(&escaping), S_OK);
  EXPECT_EQ(std::u16string(escaping.szFile), u"\\My Documents\\Clips\\VIDEO001.3gp");
}

}  // namespace
