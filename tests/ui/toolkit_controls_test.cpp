// The toolkit's own controls: progress times and updates, top-menu taps, spin-bar arrows, the
// playback toolbar helpers and its faces at both densities, and the transparent blit.
#include <algorithm>
#include <cstdlib>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "model/message_model.h"
#include "platform/controls/toolbar_api.h"
#include "platform/gdi/gdi_raii.h"
#include "platform/window/screen.h"
#include "ui/playback_toolbar.h"
#include "ui/progress_bar.h"
#include "ui/spin_bar.h"
#include "ui/top_menu.h"
#include "ui/transparent_bitmap.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

// The parent of the controls: logs the messages they send.
class Parent : public CWndBase {
 public:
  struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Seen> seen;
  LRESULT DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message >= WM_USER || message == WM_COMMAND) seen.push_back({message, wParam, lParam});
    return CWndBase::DefProc(hwnd, message, wParam, lParam);
  }
  bool Make() {
    return Create(u"ToolkitParent", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 294, nullptr, nullptr, 0,
                  kWhiteBackground) != FALSE;
  }
};

POINT On(const CWndBase& window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window.GetHandle(), &point);
  return point;
}

TEST(ProgressTimesTest, ElapsedAndTotalRoundAsShown) {
  struct Case {
    int position, duration;
    const char16_t* elapsed;
    const char16_t* total;
  };
  const Case cases[] = {{400, 600, u"00:00", u"00:01"},     {1500, 1500, u"00:02", u"00:02"},
                        {999, 999, u"00:01", u"00:01"},     {0, 0, u"00:00", u"00:00"},
                        {7000, 5000, u"00:05", u"00:05"},   {61499, 125000, u"01:01", u"02:05"},
                        {0, 6000000, u"00:00", u"00:00"},  // minutes wrap at 100
                        // the longest total, held at the largest int, rounds without wrapping
                        {2147483647, 2147483647, u"91:24", u"91:24"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressBar::FormatElapsed(c.position, c.duration).View(), c.elapsed) << c.position << "/" << c.duration;
    EXPECT_EQ(ProgressBar::FormatTotal(c.duration).View(), c.total) << c.duration;
  }
}

TEST_F(UiTest, ProgressIgnoresNoneAndFixedAndSkipsUnchangedPairs) {
  Parent parent;
  ASSERT_TRUE(parent.Make());
  ProgressBar bar;
  ASSERT_TRUE(bar.Create(u"TOOLBAR_PROGRESSBAR_CLASS", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 200, 30, nullptr,
                         parent.GetHandle(), 0, nullptr));
  EXPECT_EQ(bar.SetProgress(500, 2000), 1);
  EXPECT_EQ(bar.SetProgress(-1, -1), 0);
  EXPECT_EQ(bar.Position(), 500);
  EXPECT_EQ(bar.Duration(), 2000);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(bar.SetProgress(500, 2000), 1);
  bar.SetFixed(TRUE);
  EXPECT_EQ(bar.SetProgress(900, 2000), 0);
  EXPECT_EQ(bar.Position(), 500);
}

TEST_F(UiTest, ProgressFillClearsBehindABackwardsMove) {
  Parent parent;
  ASSERT_TRUE(parent.Make());
  ProgressBar bar;
  ASSERT_TRUE(bar.Create(u"TOOLBAR_PROGRESSBAR_CLASS", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 200, 30, nullptr,
                         parent.GetHandle(), 0, nullptr));
  const RECT r = bar.BarRect();
  const int y = (r.top + r.bottom) / 2;
  auto pixelAt = [&](int x) {
    platform::automation::PumpUntilIdle();
    HDC hdc = GetDC(bar.GetHandle());
    COLORREF color = GetPixel(hdc, x, y);
    ReleaseDC(bar.GetHandle(), hdc);
    return color;
  };
  const int threeQuarters = r.left + (r.right - r.left) * 3 / 4 - 2;
  bar.SetProgress(900, 1000);
  EXPECT_EQ(pixelAt(threeQuarters), GetSysColor(COLOR_HIGHLIGHT));
  bar.SetProgress(100, 1000);
  EXPECT_EQ(pixelAt(threeQuarters), RGB(255, 255, 255));
  bar.SetProgress(100, 0);  // no duration: the bar stays white
  EXPECT_EQ(pixelAt(r.left + 2), RGB(255, 255, 255));
}

TEST_F(UiTest, TopMenuTapsNotifyOnlyInsideAnItem) {
  Parent parent;
  ASSERT_TRUE(parent.Make());
  CPTopMenu menu;
  RECT r{0, 0, 240, 26};
  ASSERT_TRUE(menu.Create(nullptr, parent.GetHandle(), &r, u"CPTopMenu"));
  EXPECT_FALSE(menu.SetItems(nullptr, 2));
  const TopMenuItem items[] = {{5, 0, u"Left", 0, {0, 0, 100, 26}}, {6, 141, u"Right", 0x2100, {140, 0, 240, 26}}};
  EXPECT_FALSE(menu.SetItems(items, 0));
  ASSERT_TRUE(menu.SetItems(items, 2));
  platform::automation::PumpUntilIdle();
  platform::automation::Tap(On(menu, 120, 10));  // between the items
  platform::automation::Tap(On(menu, 10, 10));  // no notification message yet
  EXPECT_TRUE(parent.seen.empty());
  menu.SetNotifyMessage(0x0791);
  platform::automation::Tap(On(menu, 120, 10));
  EXPECT_TRUE(parent.seen.empty());
  platform::automation::Tap(On(menu, 200, 10));
  ASSERT_EQ(parent.seen.size(), 1u);
  EXPECT_EQ(parent.seen[0].message, 0x0791u);
  EXPECT_EQ(parent.seen[0].wParam, 6u);
  EXPECT_TRUE(menu.SetItemText(6, u"Other"));
  EXPECT_TRUE(menu.SetItemText(6, u""));  // keeps "Other"
  EXPECT_FALSE(menu.SetItemText(7, u"Nobody"));
  EXPECT_EQ(menu.GetHeight(), 26);
}

TEST_F(UiTest, TopMenuModifyItemSetsAnEmptyTextThatSetItemTextIgnores) {
  Parent parent;
  ASSERT_TRUE(parent.Make());
  CPTopMenu menu;
  RECT r{0, 0, 240, 26};
  ASSERT_TRUE(menu.Create(nullptr, parent.GetHandle(), &r, u"CPTopMenu"));
  const TopMenuItem items[] = {{5, 0, u"Left", 0, {0, 0, 100, 26}}};
  ASSERT_TRUE(menu.SetItems(items, 1));
  // Pixels of the item that differ from the menu's background: its text.
  auto inked = [&] {
    platform::automation::PumpUntilIdle();
    HDC hdc = GetDC(menu.GetHandle());
    const COLORREF background = GetPixel(hdc, 239, 25);
    int count = 0;
    for (int y = 0; y < 26; ++y) {
      for (int x = 0; x < 100; ++x) count += GetPixel(hdc, x, y) != background;
    }
    ReleaseDC(menu.GetHandle(), hdc);
    return count;
  };
  ASSERT_GT(inked(), 0);
  EXPECT_TRUE(menu.SetItemText(5, u""));
  EXPECT_GT(inked(), 0) << "an empty title keeps the old one";
  TopMenuChange change;
  change.command = 5;
  change.text = u"";
  change.mask = kTopMenuChangeText;
  EXPECT_TRUE(menu.ModifyItem(change));
  EXPECT_EQ(inked(), 0) << "a change of text to nothing clears it";
}

TEST_F(UiTest, SpinBarArrowsStepExceptAtTheirLimits) {
  Parent parent;
  ASSERT_TRUE(parent.Make());
  SpinBar spin;
  RECT r{10, 10, 110, 32};
  ASSERT_TRUE(spin.Create(nullptr, parent.GetHandle(), &r, FALSE));
  spin.SetText(u"5s", 0x55, FALSE);
  EXPECT_EQ(spin.GetText().View(), u"5s");
  struct Case {
    DWORD state;
    bool leftSends;
    bool rightSends;
  };
  const Case cases[] = {{kSpinBothActive, true, true}, {kSpinAtMinimum, false, true},
                        {kSpinAtMaximum, true, false}, {kSpinDisabled, false, false}, {7, false, false}};
  for (const Case& c : cases) {
    spin.SetState(c.state);
    for (bool left : {true, false}) {
      parent.seen.clear();
      const RECT& arrow = left ? spin.LeftArrowRect() : spin.RightArrowRect();
      platform::automation::Tap(On(spin, arrow.left + 1, 5));
      const bool expected = left ? c.leftSends : c.rightSends;
      ASSERT_EQ(parent.seen.size(), expected ? 1u : 0u) << c.state << (left ? " left" : " right");
      if (expected) {
        EXPECT_EQ(parent.seen[0].message, kSpinBarStepMessage);
        EXPECT_EQ(parent.seen[0].wParam, left ? 38u : 40u);
        EXPECT_EQ(parent.seen[0].lParam, 0x55);
      }
    }
  }
  parent.seen.clear();
  RECT value{};
  GetWindowRect(spin.ValueWindow(), &value);
  platform::automation::Tap({value.left + 3, value.top + 3});
  ASSERT_EQ(parent.seen.size(), 1u);
  EXPECT_EQ(parent.seen[0].message, kSpinBarValueTapMessage);
  EXPECT_EQ(parent.seen[0].wParam, reinterpret_cast<WPARAM>(spin.ValueWindow()));
}

TEST_F(UiTest, SpinBarDurationSetsItsStateFromTheLimits) {
  Parent parent;
  ASSERT_TRUE(parent.Make());
  SpinBar spin;
  RECT r{10, 10, 110, 32};
  ASSERT_TRUE(spin.Create(nullptr, parent.GetHandle(), &r, FALSE));
  Slide slide;
  slide.minimumDuration = 2000;
  struct Case {
    DWORD duration;
    DWORD state;
    const char16_t* text;
  };
  // Without a MaxDuration value the bar goes up to 999 s, past the settings table's 600 s.
  for (const Case& c : {Case{2000, kSpinAtMinimum, u"2s"}, Case{5500, kSpinBothActive, u"5s"},
                        Case{600000, kSpinBothActive, u"600s"}, Case{998999, kSpinBothActive, u"998s"},
                        Case{999000, kSpinAtMaximum, u"999s"}}) {
    slide.duration = c.duration;
    spin.SetDuration(slide);
    EXPECT_EQ(spin.GetState(), c.state) << c.duration;
    EXPECT_EQ(spin.GetText().View(), c.text);
  }
  ASSERT_TRUE(SetConfigValue(numeric_setting::kMaxDuration, 30000, FALSE));
  for (const Case& c : {Case{29999, kSpinBothActive, u"29s"}, Case{30000, kSpinAtMaximum, u"30s"}}) {
    slide.duration = c.duration;
    spin.SetDuration(slide);
    EXPECT_EQ(spin.GetState(), c.state) << c.duration;
  }
}

TEST_F(UiTest, PlaybackToolbarSwapsFacesAndSetsToolTips) {
  Parent parent;
  ASSERT_TRUE(parent.Make());
  HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, u"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 26, parent.GetHandle(),
                                 nullptr, nullptr, nullptr);
  const TBBUTTON buttons[] = {{51, 40500, TBSTATE_ENABLED, TBSTYLE_CHECK, {}, 0, 0},
                              {46, 40502, TBSTATE_ENABLED | TBSTATE_CHECKED, TBSTYLE_BUTTON, {}, 0, 0}};
  SendMessageW(toolbar, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons));
  PlaybackToolbar helpers(toolbar);
  EXPECT_TRUE(helpers.SwapButton(kPlayCommand, TBIF_IMAGE | TBIF_COMMAND, kPauseCommand, 45, 0, 0, 0, 0, nullptr, 0));
  EXPECT_FALSE(helpers.SwapButton(kPlayCommand, TBIF_IMAGE | TBIF_COMMAND, kPauseCommand, 45, 0, 0, 0, 0, nullptr, 0));
  EXPECT_TRUE(helpers.EnableButton(kPauseCommand, FALSE));
  EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, kPauseCommand, 0));
  EXPECT_TRUE(helpers.IsButtonChecked(40502));
  EXPECT_FALSE(helpers.IsButtonChecked(kPauseCommand));

  struct Case {
    ToolTipLayout layout;
    BOOL playing;
    std::vector<std::u16string> texts;
  };
  const Case cases[] = {{ToolTipLayout::kFourButtons, TRUE, {u"Previous slide", u"Next slide", u"Play", u"Stop"}},
                        {ToolTipLayout::kTwoButtons, FALSE, {u"Pause", u"Stop"}},
                        {ToolTipLayout::kFiveButtons, TRUE,
                         {u"Previous slide", u"Next slide", u"Full screen", u"Play", u"Stop"}}};
  for (const Case& c : cases) {
    CString strings[kMaxToolTips];
    ASSERT_EQ(helpers.SetToolTips(strings, c.playing, c.layout), static_cast<int>(c.texts.size()));
    for (std::size_t i = 0; i < c.texts.size(); ++i) {
      EXPECT_EQ(platform::controls::ToolbarToolTip(toolbar, static_cast<int>(i)), c.texts[i]);
    }
  }
}

// The faces as a toolbar draws them on a white button, row by row: how many pixels of ink each row
// holds, and whether anything else than ink or the button showed (a blurred or keyed-wrong face).
struct FaceRows {
  std::vector<int> ink;
  bool onlyInkAndButton = true;
};

FaceRows DrawnFace(HIMAGELIST images, int face, int side) {
  FaceRows rows;
  HDC screen = GetDC(nullptr);
  platform::gdi::MemoryDc canvas(screen);
  platform::gdi::UniqueBitmap pixels(CreateCompatibleBitmap(screen, side, side));
  platform::gdi::ScopedSelect select(canvas.Get(), pixels.Get());
  const RECT all{0, 0, side, side};
  FillRect(canvas.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ImageList_Draw(images, face, canvas.Get(), 0, 0, ILD_TRANSPARENT);
  for (int y = 0; y < side; ++y) {
    int ink = 0;
    for (int x = 0; x < side; ++x) {
      const COLORREF colour = GetPixel(canvas.Get(), x, y);
      if (colour == RGB(0x20, 0x20, 0x20)) ++ink;
      else if (colour != RGB(255, 255, 255)) rows.onlyInkAndButton = false;
    }
    rows.ink.push_back(ink);
  }
  ReleaseDC(nullptr, screen);
  return rows;
}

TEST_F(UiTest, PlaybackFacesAreMadeForTheScreensDensity) {
  struct Case {
    platform::window::ScreenGeometry screen;
    int side;
    // The play face's widest row and the stop face's square.
    int playWidest;
    int stopSide;
  };
  const Case cases[] = {{{240, 320, 96}, 16, 6, 10}, {{480, 640, 192}, 32, 12, 20}};
  for (const Case& c : cases) {
    ASSERT_TRUE(platform::window::ConfigureScreen(c.screen));
    Parent parent;
    ASSERT_TRUE(parent.Make());
    PlaybackToolbar bar;
    HIMAGELIST images = nullptr;
    ASSERT_NE(bar.CreateAlongBottom(parent.GetHandle(), 7, 48, &images), nullptr);
    ASSERT_NE(images, nullptr);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images, &width, &height));
    EXPECT_EQ(width, c.side) << c.screen.dpi;
    EXPECT_EQ(height, c.side) << c.screen.dpi;
    EXPECT_EQ(PlaybackFaceSide(c.screen.dpi), c.side);
    // The play triangle's edge climbs one pixel a row at either density: drawn for the size, not
    // a small face blown up into steps of two.
    const FaceRows play = DrawnFace(images, kPlayImage, c.side);
    EXPECT_TRUE(play.onlyInkAndButton) << c.screen.dpi;
    EXPECT_EQ(*std::max_element(play.ink.begin(), play.ink.end()), c.playWidest) << c.screen.dpi;
    int previous = 0;
    for (int ink : play.ink) {
      if (ink != 0 && previous != 0) EXPECT_LE(std::abs(ink - previous), 1) << c.screen.dpi;
      previous = ink;
    }
    // The stop face is a solid square and pause two bars of the same height.
    const FaceRows stop = DrawnFace(images, kStopImage, c.side);
    EXPECT_TRUE(stop.onlyInkAndButton);
    EXPECT_EQ(std::count(stop.ink.begin(), stop.ink.end(), c.stopSide), c.stopSide) << c.screen.dpi;
    EXPECT_EQ(std::count(stop.ink.begin(), stop.ink.end(), 0), c.side - c.stopSide) << c.screen.dpi;
    const FaceRows pause = DrawnFace(images, kPauseImage, c.side);
    EXPECT_TRUE(pause.onlyInkAndButton);
    EXPECT_EQ(std::count(pause.ink.begin(), pause.ink.end(), c.side * 6 / 16), c.side * 12 / 16) << c.screen.dpi;
    ImageList_Destroy(images);
  }
  platform::window::ResetScreen();
}

// The recorder's strip (play 0, pause 1, stop 2, record 3) is chosen and sized the same way.
TEST_F(UiTest, RecorderFacesAreMadeForTheScreensDensity) {
  struct Case {
    platform::window::ScreenGeometry screen;
    int side, stopSide, pauseInk, pauseRows;
  };
  const Case cases[] = {{{240, 320, 96}, 16, 10, 6, 12}, {{480, 640, 192}, 32, 20, 12, 24}};
  for (const Case& c : cases) {
    ASSERT_TRUE(platform::window::ConfigureScreen(c.screen));
    HIMAGELIST images = CreateFaceImages(131, 134, 4);
    ASSERT_NE(images, nullptr);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images, &width, &height));
    EXPECT_EQ(width, c.side) << c.screen.dpi;
    EXPECT_EQ(height, c.side) << c.screen.dpi;
    const FaceRows stop = DrawnFace(images, 2, c.side);
    EXPECT_TRUE(stop.onlyInkAndButton) << c.screen.dpi;
    EXPECT_EQ(std::count(stop.ink.begin(), stop.ink.end(), c.stopSide), c.stopSide) << c.screen.dpi;
    const FaceRows pause = DrawnFace(images, 1, c.side);
    EXPECT_EQ(std::count(pause.ink.begin(), pause.ink.end(), c.pauseInk), c.pauseRows) << c.screen.dpi;
    // A face of 16 blown up to 32 would have only rows of an even width.
    const FaceRows play = DrawnFace(images, 0, c.side);
    EXPECT_TRUE(play.onlyInkAndButton) << c.screen.dpi;
    EXPECT_TRUE(std::any_of(play.ink.begin(), play.ink.end(), [](int ink) { return ink % 2 == 1; })) << c.screen.dpi;
    ImageList_Destroy(images);
  }
  platform::window::ResetScreen();
}

TEST_F(UiTest, TransparentBlitLeavesKeyPixelsOfTheDestination) {
  HDC screen = GetDC(nullptr);
  platform::gdi::MemoryDc target(screen);
  platform::gdi::UniqueBitmap canvas(CreateCompatibleBitmap(screen, 6, 1));
  platform::gdi::ScopedSelect selectCanvas(target.Get(), canvas.Get());
  const COLORREF below[] = {RGB(10, 20, 30), RGB(40, 50, 60), RGB(70, 80, 90), RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)};
  for (int x = 0; x < 6; ++x) SetPixel(target.Get(), x, 0, below[x]);
  platform::gdi::MemoryDc source(screen);
  platform::gdi::UniqueBitmap image(CreateCompatibleBitmap(screen, 4, 1));
  {
    platform::gdi::ScopedSelect selectImage(source.Get(), image.Get());
    const COLORREF pixels[] = {RGB(192, 192, 192), RGB(255, 0, 0), RGB(192, 192, 192), RGB(0, 0, 0)};
    for (int x = 0; x < 4; ++x) SetPixel(source.Get(), x, 0, pixels[x]);
  }
  SetTextColor(target.Get(), RGB(9, 9, 9));
  SetBkColor(target.Get(), RGB(3, 3, 3));
  DrawTransparentBitmap(target.Get(), 1, 0, image.Get(), RGB(192, 192, 192));
  const COLORREF expected[] = {below[0], below[1], RGB(255, 0, 0), below[3], RGB(0, 0, 0), below[5]};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(GetPixel(target.Get(), x, 0), expected[x]) << x;
  // The context's colours come back as they were.
  EXPECT_EQ(GetTextColor(target.Get()), RGB(9, 9, 9));
  EXPECT_EQ(GetBkColor(target.Get()), RGB(3, 3, 3));
  // Without a bitmap nothing is drawn.
  DrawTransparentBitmap(target.Get(), 0, 0, nullptr, RGB(192, 192, 192));
  for (int x = 0; x < 6; ++x) EXPECT_EQ(GetPixel(target.Get(), x, 0), expected[x]) << x;
  ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace ui_test
