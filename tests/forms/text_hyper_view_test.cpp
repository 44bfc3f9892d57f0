// The plain text view: a text part file shown in the hypertext control, whose notifications reach
// the read view through it unchanged.
#include "forms/text_hyper_view_wnd.h"

#include <vector>

#include "platform/automation/automation.h"
#include "support/test_device.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

struct Received {
  UINT message;
  WPARAM wParam;
  std::int32_t type;
};

std::vector<Received> g_received;

LRESULT ReadViewProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kHyperTextLinkOpened || message == kHyperTextSelectionChanged || message == kHyperTextTappedOutside) {
    const std::int32_t type = message == kHyperTextLinkOpened ? reinterpret_cast<const LinkRecord*>(wParam)->type : 0;
    g_received.push_back(Received{message, wParam, type});
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class TextHyperView : public UiTest {};

TEST_F(TextHyperView, AConvertedTextPartShowsWithItsLinksAndPassesTapsOn) {
  g_received.clear();
  WNDCLASSW readView{};
  readView.lpfnWndProc = &ReadViewProcedure;
  readView.lpszClassName = u"TestReadView";
  ASSERT_TRUE(RegisterClassW(&readView));
  HWND parent = CreateWindowExW(0, u"TestReadView", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  // As the loader writes text parts: UTF-16LE after FF FE, CR LF line ends.
  const std::u16string text = u"Call 040-1234567\r\nor see www.example.com";
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  test_support::WriteFileBytes(m_device.Host(u"\\My Documents\\1.txt"), bytes);
  CTextHyperViewWnd view;
  ASSERT_TRUE(view.Create(parent, RECT{0, 0, 240, 200}, kHyperTextSelectable));
  ASSERT_TRUE(view.ShowFile(u"\\My Documents\\1.txt"));
  ASSERT_EQ(view.Control().Links().Links().size(), 2u);
  const HyperTextLayout& layout = view.Control().Layout();
  const RECT& run = layout.Runs()[layout.FirstRunOf(1)].rect;
  POINT at{(run.left + run.right) / 2 + 3, (run.top + run.bottom) / 2 + 3};
  ClientToScreen(view.Control().GetHandle(), &at);
  ASSERT_TRUE(platform::automation::Tap(at));
  ASSERT_EQ(g_received.size(), 2u);
  EXPECT_EQ(g_received[0].message, kHyperTextSelectionChanged);
  EXPECT_EQ(g_received[0].wParam, 2u);
  EXPECT_EQ(g_received[1].message, kHyperTextLinkOpened);
  EXPECT_EQ(g_received[1].type, kLinkHttp);
  ASSERT_TRUE(platform::automation::Tap(POINT{10, 190}));
  ASSERT_EQ(g_received.size(), 3u);
  EXPECT_EQ(g_received[2].message, kHyperTextTappedOutside);
  EXPECT_FALSE(view.ShowFile(u"\\My Documents\\missing.txt"));
  DestroyWindow(parent);
}

}  // namespace
}  // namespace ui_test
