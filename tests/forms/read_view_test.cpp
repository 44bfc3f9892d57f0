// The read view run as the frame runs it, modally, with its toolbar and player: what it opens on,
// navigation and its enabling, the keep-awake ticks while playing, and the progress text.
#include "forms/read_view.h"

#include <functional>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "transport/resource_module.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

constexpr WPARAM kLeftArrow = 37;
constexpr WPARAM kRightArrow = 39;

class ReadViewTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    m_owner = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                              nullptr);
  }
  void TearDown() override {
    DestroyWindow(m_owner);
    ULC_Global::GetGlobal()->UnloadEngineModule();
    UiTest::TearDown();
  }
  void AddSlides(int count, DWORD duration) {
    for (int i = 0; i < count; ++i) {
      Slide slide;
      slide.duration = duration;
      m_model.slides.push_back(slide);
    }
  }
  // Runs the view; `check` sees it once it waits for the reader, then it is closed with Done.
  void Run(const std::function<void(CReadView&)>& check) {
    CReadView view(&m_model);
    view.SetIdleReset([this] { ++m_idleResets; });
    bool checked = false;
    platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
      checked = true;
      check(view);
      PostMessageW(dialog, WM_COMMAND, 1, 0);
    });
    EXPECT_TRUE(view.Run(m_owner));
    EXPECT_TRUE(checked);
  }
  static bool Enabled(const CReadView& view, int command) {
    return SendMessageW(view.Toolbar(), TB_ISBUTTONENABLED, static_cast<WPARAM>(command), 0) != 0;
  }
  static bool HasButton(const CReadView& view, int command) {
    RECT rect{};
    return platform::controls::ToolbarButtonRect(view.Toolbar(), command, &rect);
  }
  static void Key(CReadView& view, WPARAM key) {
    SendMessageW(view.GetHandle(), WM_KEYUP, key, 0);
    platform::automation::PumpUntilIdle();
  }

  HWND m_owner = nullptr;
  MessageModel m_model;
  int m_idleResets = 0;
};

TEST_F(ReadViewTest, WithoutAutoPlayItOpensOnTheFirstSlideNotPlayingWithPlayShown) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kMsgAutoPlay, 0, FALSE));
  AddSlides(3, 2000);
  Run([&](CReadView& view) {
    EXPECT_EQ(view.CurrentSlide(), 0);
    EXPECT_EQ(view.PlaybackState(), read_view::kStopped);
    EXPECT_TRUE(HasButton(view, kPlayCommand));
    EXPECT_FALSE(HasButton(view, kPauseCommand));
    EXPECT_EQ(view.Player().Window()->CurrentSlide(), 0);
    platform::automation::AdvanceClock(5000);
    EXPECT_EQ(view.CurrentSlide(), 0);
    EXPECT_FALSE(view.KeepAwakeRunning());
    // Play swaps the button for pause, with its tool tip.
    SendMessageW(view.GetHandle(), WM_COMMAND, kPlayCommand, 0);
    EXPECT_EQ(view.PlaybackState(), read_view::kPlaying);
    EXPECT_TRUE(HasButton(view, kPauseCommand));
    EXPECT_EQ(platform::controls::ToolbarToolTip(view.Toolbar(), 2), transport::LoadResourceString(40511).View());
  });
}

TEST_F(ReadViewTest, NavigationIsEnabledByThePositionAndTheArrowsDoNothingAtTheEnds) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kMsgAutoPlay, 0, FALSE));
  AddSlides(3, 2000);
  Run([&](CReadView& view) {
    EXPECT_FALSE(Enabled(view, kPreviousCommand));
    EXPECT_TRUE(Enabled(view, kNextCommand));
    Key(view, kLeftArrow);
    EXPECT_EQ(view.CurrentSlide(), 0);
    Key(view, kRightArrow);
    EXPECT_EQ(view.CurrentSlide(), 1);
    EXPECT_TRUE(Enabled(view, kPreviousCommand));
    EXPECT_TRUE(Enabled(view, kNextCommand));
    Key(view, kRightArrow);
    EXPECT_EQ(view.CurrentSlide(), 2);
    EXPECT_FALSE(Enabled(view, kNextCommand));
    Key(view, kRightArrow);
    EXPECT_EQ(view.CurrentSlide(), 2);
    EXPECT_EQ(view.Player().Window()->CurrentSlide(), 2);
    Key(view, kLeftArrow);
    EXPECT_EQ(view.CurrentSlide(), 1);
  });
}

TEST_F(ReadViewTest, TheIdleTimerIsResetEveryFiveSecondsWhilePlayingOnly) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kMsgAutoPlay, 1, FALSE));
  AddSlides(1, 60000);
  Run([&](CReadView& view) {
    EXPECT_EQ(view.PlaybackState(), read_view::kPlaying);
    EXPECT_TRUE(view.KeepAwakeRunning());
    platform::automation::AdvanceClock(15000);
    EXPECT_EQ(m_idleResets, 3);
    SendMessageW(view.GetHandle(), WM_COMMAND, kPauseCommand, 0);
    EXPECT_EQ(view.PlaybackState(), read_view::kPaused);
    EXPECT_FALSE(view.KeepAwakeRunning());
    EXPECT_TRUE(HasButton(view, kPlayCommand));
    platform::automation::AdvanceClock(20000);
    EXPECT_EQ(m_idleResets, 3);
  });
}

TEST_F(ReadViewTest, PlayingToTheEndStopsWithPlayShownAndPlayStartsOver) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kMsgAutoPlay, 1, FALSE));
  AddSlides(2, 1000);
  Run([&](CReadView& view) {
    platform::automation::AdvanceClock(2500);
    EXPECT_EQ(view.PlaybackState(), read_view::kStopped);
    EXPECT_TRUE(view.Ended());
    EXPECT_TRUE(HasButton(view, kPlayCommand));
    EXPECT_FALSE(view.KeepAwakeRunning());
    EXPECT_EQ(view.Progress()->Position(), 1999);
    SendMessageW(view.GetHandle(), WM_COMMAND, kPlayCommand, 0);
    EXPECT_EQ(view.PlaybackState(), read_view::kPlaying);
    EXPECT_EQ(view.CurrentSlide(), 0);
    EXPECT_FALSE(view.Ended());
  });
}

TEST_F(ReadViewTest, AMessageWithoutSlidesOpensWithNothingToPlay) {
  Run([&](CReadView& view) {
    EXPECT_FALSE(Enabled(view, kPreviousCommand));
    EXPECT_FALSE(Enabled(view, kNextCommand));
    platform::automation::AdvanceClock(1000);
    SendMessageW(view.GetHandle(), WM_COMMAND, kStopCommand, 0);
  });
}

TEST(ProgressTextTest, TotalsRoundAndPositionsCutExceptAtTheEnd) {
  struct Case {
    int position;
    int total;
    const char16_t* text;
  } cases[] = {
      {0, 999, u"00:00 / 00:01"},      // a total under a second shows as one second
      {0, 1, u"00:00 / 00:01"},
      {0, 0, u"00:00 / 00:00"},
      {999, 999, u"00:01 / 00:01"},    // at the total the position shows the total
      {5000, 4400, u"00:04 / 00:04"},  // past it as well
      {1999, 12000, u"00:01 / 00:12"}, // positions are cut
      {0, 12500, u"00:00 / 00:13"},    // half a second counts up
      {0, 12499, u"00:00 / 00:12"},
      {61000, 125000, u"01:01 / 02:05"},
      {0, 6000000, u"00:00 / 00:00"},  // minutes modulo 100
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressText(c.position, c.total).View(), std::u16string_view(c.text)) << c.position << " " << c.total;
  }
}

}  // namespace
}  // namespace ui_test
