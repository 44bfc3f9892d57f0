// A device with a message's part folder and an owner window, for the tests of saving objects:
// files put into the part folder, the names found in a device folder, the prompts that were
// shown, an answer for the name-conflict dialog, and the switch for a full storage.
#pragma once

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/automation/automation.h"
#include "platform/kernel/write_limit.h"
#include "platform/window/window_styles.h"
#include "support/test_device.h"
#include "ui_fixture.h"

namespace save_test {

inline constexpr char16_t kPartFolder[] = u"\\My Documents\\UAContents\\7\\";

// A 1 x 1 GIF picture.
inline const std::string kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00,\x00\x00\x00\x00\x01\x00"
                              "\x01\x00\x00\x02\x02\x44\x01\x00;",
                              35);

class FullStorage {
 public:
  explicit FullStorage(long long bytes) { platform::SetDeviceWriteLimit(bytes); }
  ~FullStorage() { platform::SetDeviceWriteLimit(-1); }
  FullStorage(const FullStorage&) = delete;
  FullStorage& operator=(const FullStorage&) = delete;
};

class SaveTest : public ui_test::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    m_owner = CreateWindowExW(0, u"STATIC", u"Inbox", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                              nullptr, nullptr);
    std::filesystem::create_directories(m_device.Host(kPartFolder));
    // A box that only informs needs no answer; the tests read what it said from the prompt log.
    platform::automation::SetUnexpectedPromptHandler([](const platform::automation::Prompt& prompt) {
      if (prompt.kind == u"MessageBox" && prompt.style == MB_OK) return;
      ADD_FAILURE() << "unexpected prompt: " << std::string(prompt.text.begin(), prompt.text.end());
    });
  }
  void TearDown() override {
    if (m_conflictHook != 0) platform::automation::RemoveHook(m_conflictHook);
    DestroyWindow(m_owner);
    UiTest::TearDown();
  }

  // Writes a file of the part folder and returns its device path.
  std::u16string Put(std::u16string_view name, const std::string& bytes) {
    const std::u16string path = std::u16string(kPartFolder) + std::u16string(name);
    test_support::WriteFileBytes(m_device.Host(path), bytes);
    return path;
  }
  std::string Read(std::u16string_view devicePath) { return test_support::ReadFileBytes(m_device.Host(devicePath)); }
  bool Exists(std::u16string_view devicePath) { return std::filesystem::exists(m_device.Host(devicePath)); }

  // Every file name below a device folder (temporary ones included), relative to it.
  std::set<std::string> FilesIn(std::u16string_view devicePath) {
    std::set<std::string> names;
    const std::filesystem::path root = m_device.Host(devicePath);
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      if (it->is_regular_file()) names.insert(std::filesystem::relative(it->path(), root).string());
    }
    return names;
  }
  // Every file of the whole device, to show that nothing was written anywhere else.
  std::set<std::string> AllFiles() { return FilesIn(u"\\"); }

  // The name-conflict dialog gets this answer each time it opens.
  void AnswerConflicts(int answer) {
    if (m_conflictHook != 0) platform::automation::RemoveHook(m_conflictHook);
    m_conflictHook = platform::automation::OnWindowAppears(
        u"Dialog", u"Save",
        [this, answer](HWND dialog) {
          ++m_conflicts;
          PostMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        },
        false);
  }

  // The texts of the prompts shown, in order.
  static std::vector<std::u16string> PromptTexts() {
    std::vector<std::u16string> texts;
    for (const auto& prompt : platform::automation::PromptLog()) texts.push_back(prompt.text);
    return texts;
  }
  static bool Prompted(std::u16string_view part) {
    const auto texts = PromptTexts();
    return std::any_of(texts.begin(), texts.end(), [&](const std::u16string& t) { return t.find(part) != t.npos; });
  }

  HWND m_owner = nullptr;
  int m_conflicts = 0;
  platform::automation::HookId m_conflictHook = 0;
};

}  // namespace save_test
