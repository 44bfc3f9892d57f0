// The composer's pickers at both common densities, compared with reference pictures a person has
// looked at: the media picker in a folder with a sub-folder, pictures and the capture row, the
// texts picker, and the appointment-or-task chooser as a person sees it. The pictures drawn are kept under the build folder (picker-pictures/<size>/);
// MMSFORM_UPDATE_GOLDEN=1 makes the run replace the references with them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "composer_frame_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/pim/calendar_chooser.h"
#include "platform/pim/pim_store.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen.h"
#include "ui/golden_compare.h"

namespace {

using namespace composer_test;

class PickerScreens : public ComposerFrameTest, public ::testing::WithParamInterface<platform::window::ScreenGeometry> {
 protected:
  void TearDown() override {
    ComposerFrameTest::TearDown();
    platform::window::ResetScreen();
  }
  std::string ScreenSize() const {
    const platform::window::ScreenGeometry screen = GetParam();
    return std::to_string(screen.width) + "x" + std::to_string(screen.height);
  }
  // Where the pictures of this screen size are drawn (created when missing), and their references.
  std::filesystem::path DrawnFolder() const {
    const std::filesystem::path drawn = test_support::BinaryPath("picker-pictures/" + ScreenSize());
    std::filesystem::create_directories(drawn);
    return drawn;
  }
  std::filesystem::path ReferenceFolder() const {
    return test_support::SourcePath("tests/compose/golden/" + ScreenSize());
  }
  // Opens the picker of `command` and draws it once it has settled; the picker is then cancelled.
  void DrawPicker(CComposerFrame* frame, WORD command, const std::string& name) {
    const std::filesystem::path drawn = DrawnFolder();
    const std::filesystem::path references = ReferenceFolder();
    bool shot = false;
    std::string error;
    platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND) {
      shot = platform::automation::Screenshot(drawn / name, &error);
    });
    frame->SendMessage(WM_COMMAND, command, 0);
    platform::automation::PumpUntilIdle();
    ASSERT_TRUE(shot) << error;
    EXPECT_TRUE(ui_test::MatchesReference(drawn, references, name));
  }
};

TEST_P(PickerScreens, TheMediaPickerAndTheTextsPickerMatchTheirReferences) {
  ASSERT_TRUE(platform::window::ConfigureScreen(GetParam()));
  SetConfigValue(numeric_setting::kCaptureEnable, 0x6, FALSE);
  std::filesystem::create_directories(m_device.Host(u"\\My Documents\\My Pictures\\Holiday"));
  WriteFileBytes(m_device.Host(u"\\My Documents\\My Pictures\\beach.jpg"),
                 ReadFileBytes(test_support::CorpusPath("jpeg/canon-eos-40d.jpg")));
  WriteFileBytes(m_device.Host(u"\\My Documents\\My Pictures\\notes.txt"), "not a picture");
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  platform::automation::QueueFileChoice(u"");
  DrawPicker(frame, composer_command::kInsertVisual, "media_picker.png");
  platform::automation::QueueAnswer(0);
  DrawPicker(frame, composer_command::kInsertListText, "text_list_picker.png");
  EXPECT_FALSE(frame->Editor()->CurrentSlide().image.has_value());
  EXPECT_TRUE(frame->Editor()->SlideText().IsEmpty());
}

TEST_P(PickerScreens, TheCalendarChooserMatchesItsReferenceAndCancelsToNothing) {
  ASSERT_TRUE(platform::window::ConfigureScreen(GetParam()));
  platform::pim::PimStore* store = platform::pim::PimStore::ForCurrentDevice();
  platform::pim::Appointment review;
  review.subject = "Design review";
  review.start = 1796644800;  // 2026-12-07 12:00 UTC
  ASSERT_TRUE(store->Add(review));
  platform::pim::Appointment holiday;
  holiday.subject = "Christmas Eve";
  holiday.start = 1798070400;
  holiday.allDay = true;
  ASSERT_TRUE(store->Add(holiday));
  platform::pim::Task report;
  report.subject = "Send the quarterly report to the whole team";
  report.due = 1796688000;
  ASSERT_TRUE(store->Add(report));
  ASSERT_TRUE(store->Add(platform::pim::Task{}));
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  const std::filesystem::path drawn = DrawnFolder();
  const std::filesystem::path references = ReferenceFolder();
  bool shot = false;
  std::string error;
  // A person at the front-end: the window waits for them, and is drawn before they cancel it.
  platform::window::SetWaitHandler([&](DWORD) {
    HWND chooser = FindWindowW(platform::pim::kCalendarChooserClass, nullptr);
    if (chooser == nullptr || shot) return;
    shot = platform::automation::Screenshot(drawn / "calendar_chooser.png", &error);
    PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(frame->SendMessage(composer_message::kInsertPersonalData, 3, 0), 0);
  platform::window::SetWaitHandler(nullptr);
  ASSERT_TRUE(shot) << error;
  EXPECT_TRUE(ui_test::MatchesReference(drawn, references, "calendar_chooser.png"));
  EXPECT_EQ(FindWindowW(platform::pim::kCalendarChooserClass, nullptr), nullptr);
  EXPECT_TRUE(IsWindowEnabled(frame->GetHandle())) << "the frame takes input again";
  EXPECT_TRUE(frame->Editor()->Model().parts.empty());
}

INSTANTIATE_TEST_SUITE_P(Densities, PickerScreens,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
