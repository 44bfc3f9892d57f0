// The slide layout: the chooser dialog driven by taps in both orientations, and the code a
// message's layout stands for, including the layouts the composer itself writes.
#include "forms/slide_layout_chooser.h"

#include <gtest/gtest.h>

#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "platform/window/screen.h"
#include "ui/dialog_base.h"
#include "ui/ui_fixture.h"

namespace {

using namespace slide_layout;
using platform::automation::OnWindowAppears;
using platform::automation::Tap;

POINT Centre(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

int Checked(HWND dialog) {
  int checked = 0;
  for (int code : {1, 3, 4, 5}) {
    if (IsDlgButtonChecked(dialog, kFirstButton + code) == BST_CHECKED) checked = checked * 10 + code;
  }
  return checked;
}

class LayoutChooserTest : public ui_test::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    m_owner = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                              nullptr);
  }
  void TearDown() override {
    DestroyWindow(m_owner);
    platform::window::ResetScreen();
    UiTest::TearDown();
  }
  HWND m_owner = nullptr;
};

TEST_F(LayoutChooserTest, OpensOnTheCurrentCodeAndTapsChooseAnother) {
  int shown = -1;
  OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
    shown = Checked(dialog);
    Tap(Centre(GetDlgItem(dialog, kFirstButton + kLargePicture)));
    Tap(Centre(GetDlgItem(dialog, IDOK)));
  });
  EXPECT_EQ(ChooseSlideLayout(m_owner, kPictureLeft), kLargePicture);
  EXPECT_EQ(shown, kPictureLeft);
}

TEST_F(LayoutChooserTest, AnUnknownCurrentCodeShowsTheDefaultAndOkKeepsIt) {
  int shown = -1;
  OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
    shown = Checked(dialog);
    Tap(Centre(GetDlgItem(dialog, IDOK)));
  });
  EXPECT_EQ(ChooseSlideLayout(m_owner, 2), kPictureOnTop);
  EXPECT_EQ(shown, kPictureOnTop);
}

TEST_F(LayoutChooserTest, CancelAndAClosingFormGiveNothing) {
  OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
    Tap(Centre(GetDlgItem(dialog, kFirstButton + kTextOnTop)));
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(ChooseSlideLayout(m_owner, kPictureOnTop), 0);

  OnWindowAppears(u"Dialog", u"", [&](HWND dialog) { SendMessageW(dialog, WM_CLOSEDIALOG, 0, -1); });
  EXPECT_EQ(ChooseSlideLayout(m_owner, kPictureOnTop), 0);
}

// The picture-left button of the portrait template is a square-ish tile; the landscape one is a
// wide row.
SIZE ButtonSizeShown(HWND owner) {
  SIZE size{};
  OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
    RECT item{};
    GetWindowRect(GetDlgItem(dialog, kFirstButton + kPictureLeft), &item);
    size = SIZE{item.right - item.left, item.bottom - item.top};
    Tap(Centre(GetDlgItem(dialog, kFirstButton + kTextOnTop)));
    Tap(Centre(GetDlgItem(dialog, IDOK)));
  });
  EXPECT_EQ(ChooseSlideLayout(owner, kPictureOnTop), kTextOnTop);
  return size;
}

TEST_F(LayoutChooserTest, EachOrientationGetsItsOwnTemplate) {
  const SIZE portrait = ButtonSizeShown(m_owner);
  EXPECT_LT(portrait.cx, 2 * portrait.cy);
  ASSERT_TRUE(platform::window::ConfigureScreen({320, 240, 96}));
  MoveWindow(m_owner, 0, 0, 320, 240, FALSE);
  const SIZE landscape = ButtonSizeShown(m_owner);
  EXPECT_GT(landscape.cx, 3 * landscape.cy);
}

MessageLayout Layout(LayoutRegion image, LayoutRegion text) {
  MessageLayout layout;
  layout.width = 176;
  layout.height = 208;
  image.kind = RegionKind::kImage;
  text.kind = RegionKind::kText;
  layout.regions = {image, text};
  return layout;
}

TEST(LayoutCode, FromHowTheRegionsLie) {
  struct Case {
    const char* name;
    MessageLayout layout;
    int code;
  } cases[] = {
      {"picture above text", Layout({{}, 0, 0, 176, 120}, {{}, 0, 120, 176, 208}), kPictureOnTop},
      {"large picture above a strip of text", Layout({{}, 0, 0, 176, 180}, {{}, 0, 180, 176, 208}), kLargePicture},
      {"just under the large share", Layout({{}, 0, 0, 176, 79}, {{}, 0, 79, 176, 100}), kPictureOnTop},
      {"just at the large share", Layout({{}, 0, 0, 176, 80}, {{}, 0, 80, 176, 100}), kLargePicture},
      {"text above picture", Layout({{}, 0, 60, 176, 208}, {{}, 0, 0, 176, 60}), kTextOnTop},
      {"picture left of text", Layout({{}, 0, 0, 88, 208}, {{}, 88, 0, 176, 208}), kPictureLeft},
      {"text left of picture", Layout({{}, 88, 0, 176, 208}, {{}, 0, 0, 88, 208}), kPictureOnTop},
      {"overlapping regions", Layout({{}, 0, 0, 176, 150}, {{}, 0, 100, 176, 208}), kPictureOnTop},
      {"an empty picture region", Layout({{}, 0, 0, 176, 0}, {{}, 0, 100, 176, 208}), kPictureOnTop},
  };
  for (const Case& c : cases) EXPECT_EQ(LayoutCodeFromMessageLayout(c.layout), c.code) << c.name;

  MessageLayout onlyText;
  onlyText.regions = {LayoutRegion{RegionKind::kText, 0, 0, 100, 100, RegionFit::kMeet}};
  EXPECT_EQ(LayoutCodeFromMessageLayout(onlyText), kPictureOnTop);
  EXPECT_EQ(LayoutCodeFromMessageLayout(MessageLayout{}), kPictureOnTop);
}

TEST(LayoutCode, EveryCodeTheComposerWritesReadsBackAsItself) {
  for (int code : {kTextOnTop, kPictureOnTop, kPictureLeft, kLargePicture}) {
    MessageLayout layout;
    layout.backgroundColor = 0x123456;
    ApplyLayoutCode(layout, code);
    EXPECT_EQ(layout.width, 100);
    EXPECT_EQ(layout.regions.size(), 2u);
    EXPECT_EQ(layout.backgroundColor, COLORREF{0x123456});
    EXPECT_EQ(LayoutCodeFromMessageLayout(layout), code);
  }
  MessageLayout large;
  large.width = 176;
  large.height = 208;
  ApplyLayoutCode(large, kLargePicture);
  MessageLayout normal = large;
  ApplyLayoutCode(normal, kPictureOnTop);
  EXPECT_GT(large.regions[0].bottom, normal.regions[0].bottom) << "the large picture is taller";
  EXPECT_EQ(large.regions[1].bottom, 208);
  ApplyLayoutCode(normal, 7);
  EXPECT_EQ(LayoutCodeFromMessageLayout(normal), kPictureOnTop) << "an unknown code lays out as the default";
}

}  // namespace
