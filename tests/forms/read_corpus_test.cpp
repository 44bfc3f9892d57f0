// Every corpus message with slides, stored in the Inbox and read in the read view headless on the
// virtual clock: each plays to its end without a fault, and reading leaves its data file as it was.
#include <filesystem>
#include <string>
#include <vector>

#include "forms/read_view.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "read_store_fixture.h"

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

using ReadCorpusTest = ReadStoreTest;

TEST_F(ReadCorpusTest, EveryMessageWithSlidesPlaysToItsEndAndItsDataFileStaysAsItWas) {
  const std::vector<std::filesystem::path> files = SlideMessages();
  ASSERT_FALSE(files.empty());
  for (const std::filesystem::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    MessageBinding binding;
    ASSERT_TRUE(StoreAndLoad(file, &binding));
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
