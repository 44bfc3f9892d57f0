// Every corpus message with slides, stored in the Inbox and read in the read view headless on the
// virtual clock: each plays to its end without a fault, and reading leaves its data file as it was.
#include <filesystem>
#include <string>
#include <vector>

#include "forms/form_interface.h"
#include "forms/message_binding.h"
#include "forms/message_import.h"
#include "forms/read_view.h"
#include "platform/automation/automation.h"
#include "platform/clock.h"
#include "platform/message_store/message_store.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

// However long a message's slides say it is, its reading is given this long before it counts as hung.
constexpr DWORD kLongestReadingMs = 10 * 60 * 1000;

std::vector<std::filesystem::path> SlideMessages() {
  std::vector<std::filesystem::path> files;
  for (const char* folder : {"mms-rich", "media"}) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(test_support::CorpusPath(folder), error)) {
      if (entry.path().extension() == ".mms") files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

class ReadCorpusTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    std::string error;
    ASSERT_EQ(platform::OpenMessageStore(m_store.Receive(), &error), S_OK) << error;
    ULC_Global::GetGlobal()->messageStore = m_store.Get();
    m_owner = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                              nullptr);
  }
  void TearDown() override {
    DestroyWindow(m_owner);
    ULC_Global::GetGlobal()->messageStore = nullptr;
    m_store.Reset();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    UiTest::TearDown();
  }

  ComPtr<IMessage> Open(const EntryId& id) {
    ComPtr<IUnknown> object;
    ULONG kind = 0;
    EXPECT_EQ(m_store->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data())),
                                 nullptr, MAPI_MODIFY, &kind, object.Receive()),
              S_OK);
    return ComPtr<IMessage>(static_cast<IMessage*>(object.Detach()));
  }

  ComPtr<IMsgStore> m_store;
  HWND m_owner = nullptr;
};

TEST_F(ReadCorpusTest, EveryMessageWithSlidesPlaysToItsEndAndItsDataFileStaysAsItWas) {
  const std::vector<std::filesystem::path> files = SlideMessages();
  ASSERT_FALSE(files.empty());
  for (const std::filesystem::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    const ImportResult imported = ImportMessageFile(test_support::ReadFileBytes(file), PR_INBOX_FOLDER_ENTRYID);
    ASSERT_TRUE(imported.ok) << imported.error;
    ComPtr<IMessage> message = Open(imported.entryId);
    ASSERT_TRUE(message);
    MessageBinding binding;
    ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, kHostVerbRead));
    const std::filesystem::path dataFile = m_device.Host(binding.DataFile().View());
    const std::string before = test_support::ReadFileBytes(dataFile);
    MessageModel* model = binding.Model();
    ASSERT_NE(model, nullptr);
    if (model->slides.empty()) continue;
    CReadView view(model);
    bool ended = false;
    DWORD took = 0;
    platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
      const DWORD start = GetTickCount();
      while (!view.Ended() && GetTickCount() - start < kLongestReadingMs) platform::automation::AdvanceClock(300);
      ended = view.Ended() && view.PlaybackState() == read_view::kStopped;
      took = GetTickCount() - start;
      PostMessageW(dialog, WM_COMMAND, 1, 0);
    });
    EXPECT_TRUE(view.Run(m_owner));
    EXPECT_TRUE(ended) << "after " << took << " ms";
    // It ends no earlier than its slides say.
    EXPECT_GE(took + 300, TotalDuration(*model));
    EXPECT_EQ(test_support::ReadFileBytes(dataFile), before);
  }
}

}  // namespace
}  // namespace ui_test
