// Where links lead: the shell, the phone and the dialler, each request found in the device's
// activity log afterwards.
#include "device/link_actions.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/kernel/activity_log.h"
#include "platform/phone/phone_api.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell_execute.h"
#include "support/test_device.h"

namespace {

// Children of this process named `name` that have ended and were never waited for.
int ZombieChildren(const std::string& name) {
  int count = 0;
  const std::string self = std::to_string(getpid());
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream in(entry.path() / "stat");
    std::string line;
    if (!std::getline(in, line)) continue;
    // pid (comm) state ppid ...
    const std::size_t open = line.find('(');
    const std::size_t close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 1));
    std::string state, ppid;
    rest >> state >> ppid;
    count += ppid == self && state == "Z" && line.substr(open + 1, close - open - 1) == name;
  }
  return count;
}

class LinkActions : public ::testing::Test {
 protected:
  platform::ActivityEntry Last() {
    const auto entries = platform::ReadActivity();
    return entries.empty() ? platform::ActivityEntry{} : entries.back();
  }
  // The dialler runs as its own process: its row arrives when it has run.
  bool WaitForKind(const std::string& kind, std::size_t count) {
    for (int i = 0; i < 200; ++i) {
      std::size_t found = 0;
      for (const auto& entry : platform::ReadActivity()) found += entry.kind == kind;
      if (found >= count) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
  }

  test_support::TestDevice m_device;
};

struct OpenCase {
  std::u16string target;
  std::string kind;
};

TEST_F(LinkActions, OpeningAnAddressOrDocumentIsRecorded) {
  const OpenCase cases[] = {
      {u"http://www.example.com/photos", "open"},
      {u"rtsp://media.example.com/live.sdp", "open"},
      {u"\\My Documents\\notes.txt", "open"},
      {u"\\My Documents\\anna.vcf", "import"},  // the contact store imports the file
      {u"\\My Documents\\party.VCS", "import"},
  };
  test_support::WriteFileBytes(m_device.Host(u"\\My Documents\\anna.vcf"),
                               "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Berg;Anna\r\nEND:VCARD\r\n");
  test_support::WriteFileBytes(m_device.Host(u"\\My Documents\\party.VCS"),
                               "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nSUMMARY:Party\r\n"
                               "DTSTART:20261219T190000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
  for (const OpenCase& c : cases) {
    EXPECT_TRUE(OpenAddress(c.target.c_str()));
    const platform::ActivityEntry last = Last();
    EXPECT_EQ(last.kind, c.kind);
    EXPECT_EQ(last.detail.substr(0, CString(c.target.c_str()).ToUtf8().size()), CString(c.target.c_str()).ToUtf8());
  }
  // What the import added is named in the log: one item each.
  EXPECT_EQ(platform::ReadActivity().back().detail, "\\My Documents\\party.VCS (1 item)");
  EXPECT_EQ(platform::ReadActivity().size(), std::size(cases));
  EXPECT_FALSE(OpenAddress(u""));
  EXPECT_EQ(platform::ReadActivity().size(), std::size(cases));
}

// With desktop opening allowed (the real window's --open-links), web and mail addresses also go
// to the desktop's opener, here a stand-in on the PATH that writes down what it was given; other
// documents never leave the device.
TEST_F(LinkActions, WebAndMailAddressesReachTheDesktopOpenerOnlyWhenAllowed) {
  const std::filesystem::path bin = m_device.Host(u"\\opener-bin");
  std::filesystem::create_directories(bin);
  const std::filesystem::path written = bin / "opened.txt";
  test_support::WriteFileBytes(bin / "xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + written.string() + "\"\n");
  std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
  const char* path = std::getenv("PATH");
  const std::string savedPath = path ? path : "";
  setenv("PATH", (bin.string() + ":" + savedPath).c_str(), 1);
  auto readWritten = [&](std::size_t lines) {
    std::string text;
    for (int i = 0; i < 200; ++i) {
      text = std::filesystem::exists(written) ? test_support::ReadFileBytes(written) : std::string();
      if (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= lines) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return text;
  };
  EXPECT_TRUE(OpenAddress(u"http://www.example.com/before"));
  platform::shell::AllowDesktopOpening(true);
  for (const char16_t* target : {u"\\My Documents\\notes.txt", u"file:///My Documents/a.htm",
                                 u"rtsp://media.example.com/live.sdp", u"https://secure.example.com/a?b=1&c=2",
                                 u"mailto:anna@example.com"}) {
    EXPECT_TRUE(OpenAddress(target));
  }
  platform::shell::AllowDesktopOpening(false);
  const std::string opened = readWritten(2);
  setenv("PATH", savedPath.c_str(), 1);
  // Each address comes through as one argument, as written; the order is the openers' own.
  EXPECT_NE(opened.find("https://secure.example.com/a?b=1&c=2\n"), std::string::npos) << opened;
  EXPECT_NE(opened.find("mailto:anna@example.com\n"), std::string::npos) << opened;
  EXPECT_EQ(std::count(opened.begin(), opened.end(), '\n'), 2) << opened;
  // Both openers have ended; neither may stay behind as a zombie of this process.
  int zombies = 0;
  for (int i = 0; i < 200; ++i) {
    zombies = ZombieChildren("xdg-open");
    if (zombies == 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  EXPECT_EQ(zombies, 0);
}

TEST_F(LinkActions, ADeviceProgramIsStartedAsAProcess) {
  EXPECT_TRUE(OpenAddress(u"\\Windows\\cprog.exe"));
  EXPECT_EQ(Last().kind, "start");
  EXPECT_TRUE(WaitForKind("dialler", 1));
  EXPECT_FALSE(OpenAddress(u"\\windows\\missing.exe"));
}

TEST_F(LinkActions, DiallingPlacesACallOrStartsTheDialler) {
  EXPECT_EQ(Dial(u"+358401234567", 0), 1);
  EXPECT_EQ(Last().kind, "call");
  EXPECT_EQ(Last().detail, "+358401234567");
  EXPECT_EQ(Dial(u"+358401234567", 1), 1);
  EXPECT_TRUE(WaitForKind("dialler", 1));
  for (const auto& entry : platform::ReadActivity()) {
    if (entry.kind == "dialler") EXPECT_EQ(entry.detail, "started");  // no arguments
  }
  // Nothing to call: the phone refuses, and Dial still answers 1.
  EXPECT_EQ(Dial(u"", 0), 1);
  PHONEMAKECALLINFO shortRecord{};
  shortRecord.cbSize = 28;
  shortRecord.pszDestAddress = u"123";
  EXPECT_NE(PhoneMakeCall(&shortRecord), 0);
}

struct HtmlLinkCase {
  std::u16string target;
  std::u16string address;  // empty: the link leads nowhere
};

TEST(HtmlLinks, WhatATappedLinkOfAReceivedTextOpens) {
  constexpr std::u16string_view kFolder = u"\\My Documents\\UAContents\\7\\";
  const HtmlLinkCase cases[] = {
      {u"http://www.example.com/a", u"http://www.example.com/a"},
      {u"HTTPS://secure.example.com/", u"HTTPS://secure.example.com/"},
      {u"rtsp://media.example.com/live.sdp", u"rtsp://media.example.com/live.sdp"},
      {u"page2.htm", u"\\My Documents\\UAContents\\7\\page2.htm"},
      {u"pictures/a.jpg?x=../y", u"\\My Documents\\UAContents\\7\\pictures/a.jpg?x=../y"},
      {u"\\My Documents\\notes.txt", u"\\My Documents\\notes.txt"},
      {u"file:///My Documents/a.htm", u"file:///My Documents/a.htm"},
      // Out of the text's folder, programs and scripts: nothing.
      {u"../../secret.txt", u""},
      {u"pictures/../../x.htm", u""},
      {u"..\\registry.db", u""},
      {u"\\windows\\cprog.exe", u""},
      {u"file:///windows/CPROG.EXE?x=1", u""},
      {u"javascript:alert(1)", u""},
      {u"C:a.htm", u""},
      {u"", u""},
  };
  for (const HtmlLinkCase& c : cases) {
    EXPECT_EQ(HtmlLinkAddress(c.target, kFolder), c.address) << CString(c.target).ToUtf8();
  }
}

TEST_F(LinkActions, TheOwnNumberIsADeviceSetting) {
  EXPECT_TRUE(OwnPhoneNumber().IsEmpty());
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const char16_t number[] = u"+358401112222";
  RegSetValueExW(key, u"OwnNumber", 0, REG_SZ, reinterpret_cast<const BYTE*>(number), sizeof number);
  RegCloseKey(key);
  EXPECT_EQ(OwnPhoneNumber(), u"+358401112222");
}

}  // namespace
