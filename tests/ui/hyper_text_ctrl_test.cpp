// The hypertext control under automation: what taps, holds, keys and the owner's requests send
// its parent, how it wraps, and the pictures it draws at both densities.
#include "ui/hyper_text_ctrl.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "golden_compare.h"
#include "platform/automation/automation.h"
#include "platform/controls/shell_gesture.h"
#include "platform/gdi/line_breaks.h"
#include "platform/gdi/png_file.h"
#include "platform/kernel/clock.h"
#include "platform/window/screen.h"
#include "text_view_scene.h"
#include "ui/density.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

using mmsform_tool::TextViewNotice;
using mmsform_tool::TextViewScene;

const std::u16string kText =
    u"Hi Anna!\r\nThe photos are at www.example.com/photos/summer.html and the tickets on "
    u"https://tickets.example.org/event?id=4711.\r\nCall me on (09)123-4567 or mail anna.maria+mms@example.co.uk.\r\n"
    u"Old stuff: ftp://files.example.com/pub/ and rtsp://media.example.com/live.sdp\r\n"
    u"K\u00E4y my\u00F6s sivulla www.k\u00E4ytt\u00E4j\u00E4.fi \u2013 n\u00E4hd\u00E4\u00E4n!";

class HyperText : public UiTest {
 protected:
  void Open(DWORD options, std::u16string_view text = kText) {
    std::string error;
    ASSERT_TRUE(m_scene.Open(text, options, &error)) << error;
    m_scene.TakeNotices();
  }
  CHyperTextCtrl& Control() { return m_scene.Control(); }

  // The screen point in the middle of the first run of link `number` (1-based).
  POINT PointOnLink(int number) {
    const HyperTextLayout& layout = Control().Layout();
    const int run = layout.FirstRunOf(number - 1);
    EXPECT_GE(run, 0);
    const RECT& r = layout.Runs()[run].rect;
    return ToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }
  // Layout coordinates to the screen: the text sits 3 scaled pixels in from the control's corner.
  POINT ToScreen(POINT layoutPoint) {
    POINT origin{0, 0};
    ClientToScreen(Control().GetHandle(), &origin);
    const int margin = ScaleX(3);
    return POINT{origin.x + layoutPoint.x + margin, origin.y + layoutPoint.y + margin - Control().ScrollPosition()};
  }
  int LinkNumber(std::int32_t type) {
    const auto& links = Control().Links().Links();
    for (std::size_t i = 0; i < links.size(); ++i) {
      if (links[i].type == type) return static_cast<int>(i + 1);
    }
    return 0;
  }

  TextViewScene m_scene;
};

TEST_F(HyperText, ATapOnALinkOpensItWithTheTapPoint) {
  Open(0);
  const int email = LinkNumber(kLinkEmail);
  ASSERT_GT(email, 0);
  const POINT at = PointOnLink(email);
  const DWORD before = GetTickCount();
  ASSERT_TRUE(platform::automation::Tap(at));
  const auto notices = m_scene.TakeNotices();
  ASSERT_EQ(notices.size(), 1u);  // no selection without 0x2000
  EXPECT_EQ(notices[0].message, kHyperTextLinkOpened);
  EXPECT_EQ(notices[0].record.type, kLinkEmail);
  EXPECT_EQ(notices[0].record.target, u"anna.maria+mms@example.co.uk");
  EXPECT_EQ(GET_X_LPARAM(notices[0].lParam), at.x);
  EXPECT_EQ(GET_Y_LPARAM(notices[0].lParam), at.y);
  EXPECT_EQ(Control().SelectedLink(), 0);
  EXPECT_EQ(GetTickCount(), before);  // a tap is told at once, without waiting for a hold
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(HyperText, WithSelectionATapSelectsFirstThenOpens) {
  Open(kHyperTextSelectable);
  const int phone = LinkNumber(kLinkPhone);
  ASSERT_TRUE(platform::automation::Tap(PointOnLink(phone)));
  const auto notices = m_scene.TakeNotices();
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].message, kHyperTextSelectionChanged);
  EXPECT_EQ(notices[0].wParam, static_cast<WPARAM>(phone));
  EXPECT_EQ(notices[0].lParam, 0);
  EXPECT_EQ(notices[1].message, kHyperTextLinkOpened);
  EXPECT_EQ(notices[1].record.target, u"(09)123-4567");
  EXPECT_EQ(Control().SelectedLink(), phone);
}

TEST_F(HyperText, AHeldPressIsTheContextMenuGestureOnTheDeviceClock) {
  Open(kHyperTextSelectable);
  const DWORD before = GetTickCount();
  const POINT at = PointOnLink(1);
  ASSERT_TRUE(platform::automation::MouseDown(at));
  EXPECT_EQ(GetTickCount() - before, kShellHoldMilliseconds);
  const auto notices = m_scene.TakeNotices();
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[1].message, kHyperTextLinkOpened);
  EXPECT_EQ(GET_X_LPARAM(notices[1].lParam), at.x);
  EXPECT_EQ(GetCapture(), Control().GetHandle());
  platform::automation::MouseUp(at);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(HyperText, TapsOffTheLinksGoToTheParentAsOutside) {
  Open(kHyperTextSelectable);
  const HyperTextLayout& layout = Control().Layout();
  // On a plain word: nothing at all.
  const auto plain = std::find_if(layout.Runs().begin(), layout.Runs().end(), [](const HyperTextRun& run) {
    return run.link < 0 && run.count > 3;
  });
  ASSERT_NE(plain, layout.Runs().end());
  ASSERT_TRUE(platform::automation::Tap(ToScreen(POINT{plain->rect.left + 2, plain->rect.top + 2})));
  EXPECT_TRUE(m_scene.TakeNotices().empty());
  // Beside the end of the first line, and below the last line: 0x0500, posted.
  const HyperTextLine& first = layout.Lines()[0];
  const HyperTextRun& lastOfFirst = layout.Runs()[first.firstRun + first.runCount - 1];
  const POINT beside = ToScreen(POINT{lastOfFirst.rect.right + 10, first.top + 2});
  const POINT below = ToScreen(POINT{10, layout.Height() + 10});
  for (POINT at : {beside, below}) {
    ASSERT_TRUE(platform::automation::Tap(at));
    const auto notices = m_scene.TakeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].message, kHyperTextTappedOutside);
    EXPECT_EQ(notices[0].wParam, 0u);
    EXPECT_EQ(notices[0].lParam, 0);
  }
  EXPECT_EQ(Control().SelectedLink(), 0);
}

TEST_F(HyperText, TheActionKeyOpensTheSelectedLinkAtItsLeftEdgeAndBottom) {
  for (DWORD raise : {DWORD{0}, kHyperTextRaisedPoint}) {
    TextViewScene scene;
    std::string error;
    ASSERT_TRUE(scene.Open(kText, kHyperTextSelectable | raise, &error)) << error;
    CHyperTextCtrl& control = scene.Control();
    // Nothing selected: nothing opens.
    SendMessageW(control.GetHandle(), kHyperTextScrolled, kHyperTextOpenSelected, 0);
    scene.TakeNotices();
    ASSERT_TRUE(control.SelectLink(2));
    SendMessageW(control.GetHandle(), kHyperTextScrolled, kHyperTextOpenSelected, 0);
    const auto notices = scene.TakeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].record.type, kLinkHttps);
    const HyperTextRun& run = control.Layout().Runs()[control.Layout().FirstRunOf(1)];
    POINT expected{run.rect.left + ScaleX(3), run.rect.bottom + ScaleX(3)};
    ClientToScreen(control.GetHandle(), &expected);
    if (raise) expected.y -= ScaleY(20);
    EXPECT_EQ(GET_X_LPARAM(notices[0].lParam), expected.x);
    EXPECT_EQ(GET_Y_LPARAM(notices[0].lParam), expected.y);
  }
}

TEST_F(HyperText, WithoutSelectionNothingIsEverSelected) {
  Open(0);
  SendMessageW(Control().GetHandle(), WM_KEYDOWN, VK_DOWN, 0);
  SendMessageW(Control().GetHandle(), kHyperTextScrolled, kHyperTextOpenSelected, 0);
  ASSERT_TRUE(platform::automation::Tap(PointOnLink(3)));
  for (const TextViewNotice& notice : m_scene.TakeNotices()) {
    EXPECT_NE(notice.message, kHyperTextSelectionChanged);
  }
  EXPECT_EQ(Control().SelectedLink(), 0);
}

TEST_F(HyperText, KeysStepThroughTheLinksAndReleasesGoToTheParent) {
  Open(kHyperTextSelectable);
  SetFocus(Control().GetHandle());
  ASSERT_TRUE(platform::automation::PressKey(VK_DOWN));
  ASSERT_TRUE(platform::automation::PressKey(VK_DOWN));
  const auto notices = m_scene.TakeNotices();
  ASSERT_EQ(notices.size(), 4u);
  EXPECT_EQ(notices[0].message, kHyperTextSelectionChanged);
  EXPECT_EQ(notices[0].wParam, 1u);
  EXPECT_EQ(notices[1].message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(notices[1].wParam, VK_DOWN);
  EXPECT_EQ(notices[2].wParam, 2u);
  EXPECT_EQ(Control().SelectedLink(), 2);
}

TEST_F(HyperText, ScrollingTellsTheParentWhichWay) {
  std::u16string longText;
  for (int i = 0; i < 200; ++i) longText += u"Line of text number " + std::u16string(1, u'a' + i % 26) + u"\r\n";
  Open(0, longText);
  EXPECT_FALSE(Control().IsDone());
  SendMessageW(Control().GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessageW(Control().GetHandle(), WM_HSCROLL, SB_LINEDOWN, 0);
  const auto notices = m_scene.TakeNotices();
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].message, kHyperTextScrolled);
  EXPECT_EQ(notices[0].wParam, kHyperTextScrollNotice);
  EXPECT_EQ(notices[0].lParam, 1);
  EXPECT_EQ(notices[1].lParam, 0);
  EXPECT_EQ(Control().ScrollPosition(), Control().Layout().LineHeight());
  SendMessageW(Control().GetHandle(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_TRUE(Control().IsDone());  // the last line has been shown
}

TEST_F(HyperText, DoneAndRefusedTexts) {
  CHyperTextCtrl idle;
  EXPECT_TRUE(idle.IsDone());  // nothing laid out
  Open(kHyperTextDoneAtOnce1 | kHyperTextDoneAtOnce2);
  EXPECT_TRUE(Control().IsDone());
  DWORD first[3] = {1, 1, 1};
  DWORD second[3] = {1, 1, 1};
  EXPECT_FALSE(Control().SetText(u"", 100, 100, 0, first, second));
  EXPECT_FALSE(Control().SetText(u"text", 0, 100, 0, first, second));
  EXPECT_FALSE(Control().SetText(u"text", 100, 0, 0, first, second));
  ASSERT_TRUE(Control().SetText(u"one\r\ntwo\r\nthree", 200, 10, 0, first, second));
  EXPECT_EQ(first[1], 3u);
  EXPECT_EQ(second[0], 0u);  // no second height: zeroed
  ASSERT_TRUE(Control().SetText(u"one\r\ntwo\r\nthree", 200, 10, 1000, first, second));
  EXPECT_EQ(second[2], 1u);
  EXPECT_GT(first[2], 1u);
}

TEST_F(HyperText, WrapsOnlyAtBreakOpportunitiesAndKeepsBrokenLinksLinks) {
  Open(kHyperTextSelectable);
  const HyperTextLayout& layout = Control().Layout();
  const std::u16string& text = Control().Links().Text();
  std::set<std::uint32_t> breaks;
  for (const auto& b : platform::gdi::LineBreakOpportunities(text)) breaks.insert(b.position);
  RECT client{};
  GetClientRect(Control().GetHandle(), &client);
  for (std::size_t l = 1; l < layout.Lines().size(); ++l) {
    const HyperTextLine& line = layout.Lines()[l];
    ASSERT_GT(line.runCount, 0);
    EXPECT_TRUE(breaks.count(static_cast<std::uint32_t>(layout.Runs()[line.firstRun].first)));
  }
  for (const HyperTextRun& run : layout.Runs()) {
    EXPECT_LE(run.rect.right, client.right);
    const bool inLink = std::any_of(Control().Links().Links().begin(), Control().Links().Links().end(),
                                    [&](const LinkRecord& link) { return run.first >= link.first && run.first <= link.last; });
    EXPECT_EQ(run.link >= 0, inLink);
  }
  // The first address is too long for a 240-pixel line: it is drawn as a link on both lines.
  std::set<int> linesOfFirst;
  for (const HyperTextLine& line : layout.Lines()) {
    for (std::int32_t i = line.firstRun; i < line.firstRun + line.runCount; ++i) {
      if (layout.Runs()[i].link == 0) linesOfFirst.insert(line.top);
    }
  }
  EXPECT_EQ(linesOfFirst.size(), 2u);
}

TEST_F(HyperText, ResizeSelectsTheLinkAgainAndTellsTheParent) {
  Open(kHyperTextSelectable);
  ASSERT_TRUE(Control().SelectLink(5));
  Control().Resize(RECT{0, 0, 200, 150});
  const auto notices = m_scene.TakeNotices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].message, kHyperTextSelectionChanged);
  EXPECT_EQ(notices[0].wParam, 5u);
  RECT client{};
  GetClientRect(Control().GetHandle(), &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 150);
}

class HyperTextGolden : public UiTest, public ::testing::WithParamInterface<platform::window::ScreenGeometry> {};

TEST_P(HyperTextGolden, EachLinkTypeSelectedAndNotMatchesItsReference) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  const std::string size = std::to_string(screen.width) + "x" + std::to_string(screen.height);
  const std::filesystem::path drawn = test_support::BinaryPath("ui-pictures/" + size);
  const std::filesystem::path references = test_support::SourcePath("tests/ui/golden/" + size);
  std::filesystem::create_directories(drawn);
  TextViewScene scene;
  std::string error;
  // Every type a scan can make, and a link the wrap breaks, selected in both its pieces.
  const std::u16string text =
      kText + u"\r\nMore: gopher://gopher.example.org, wsp://wap.example.com and file://host/doc.txt";
  ASSERT_TRUE(scene.Open(text, kHyperTextSelectable, &error)) << error;
  ASSERT_EQ(scene.Control().Links().Links().size(), 10u);
  const std::pair<int, const char*> pictures[] = {
      {0, "hypertext.png"}, {2, "hypertext_selected.png"}, {1, "hypertext_selected_broken.png"}};
  for (const auto& [selected, name] : pictures) {
    ASSERT_TRUE(scene.Control().SelectLink(selected));
    ASSERT_TRUE(platform::automation::Screenshot(drawn / name, &error)) << error;
    EXPECT_TRUE(MatchesReference(drawn, references, name));
  }
}

INSTANTIATE_TEST_SUITE_P(Densities, HyperTextGolden,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
}  // namespace ui_test
