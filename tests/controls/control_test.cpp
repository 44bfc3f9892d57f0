// The platform controls as the forms use them: typed input and limits in EDIT, buttons and their
// groups, list and combo box selections, and the STATIC bitmap.
#include "controls_fixture.h"
#include "platform/controls/control_messages.h"
#include "platform/controls/control_common.h"
#include "platform/gdi/text_caret.h"
#include "platform/gdi/text_clusters.h"
#include "platform/resources/resource_api.h"

#include <climits>

namespace controls_test {
namespace {

HWND Child(HWND parent, const char16_t* className, DWORD style, int id, RECT r = {10, 10, 150, 30},
           const char16_t* text = u"") {
  return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                         r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr,
                         nullptr);
}

std::u16string Text(HWND hwnd) {
  WCHAR text[128] = {};
  GetWindowTextW(hwnd, text, 128);
  return text;
}

int Notifications(WORD id, WORD code) {
  int count = 0;
  for (const Seen& seen : ControlsTest::Log()) {
    if (seen.message == WM_COMMAND && LOWORD(seen.wParam) == id && HIWORD(seen.wParam) == code) ++count;
  }
  return count;
}

TEST_F(ControlsTest, EditTakesTypedTextUpToItsLimit) {
  HWND owner = MakeOwner();
  HWND edit = Child(owner, u"EDIT", WS_BORDER, 5);
  SendMessageW(edit, EM_LIMITTEXT, 5, 0);
  SetFocus(edit);
  ClearLog();
  platform::automation::TypeText(u"hello world");
  EXPECT_EQ(Text(edit), u"hello");
  EXPECT_EQ(Notifications(5, EN_CHANGE), 5);
  EXPECT_GE(Notifications(5, EN_MAXTEXT), 1);
  platform::automation::PressKey(VK_BACK);
  EXPECT_EQ(Text(edit), u"hell");
  SendMessageW(edit, EM_SETSEL, 1, 3);
  DWORD from = 0, to = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 1u);
  EXPECT_EQ(to, 3u);
  SendMessageW(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(u"EY"));
  EXPECT_EQ(Text(edit), u"hEYl");
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(u"much too long"));
  EXPECT_EQ(Text(edit), u"much ");
}

DWORD CaretOf(HWND edit) {
  DWORD from = 0, to = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  return to;
}

// e + combining acute (2 units), the Finnish flag (two regional indicators, 4 units), a family
// emoji (7 characters, 11 units), x: the caret stops only between them.
TEST_F(ControlsTest, EditCaretAndDeletionKeepClustersWhole) {
  HWND owner = MakeOwner();
  HWND edit = Child(owner, u"EDIT", WS_BORDER, 7);
  const std::u16string text = u"e\u0301\U0001F1EB\U0001F1EE\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466x";
  SetWindowTextW(edit, text.c_str());
  SetFocus(edit);
  const DWORD stops[] = {2, 6, 17, 18};
  for (DWORD stop : stops) {
    platform::automation::PressKey(VK_RIGHT);
    EXPECT_EQ(CaretOf(edit), stop);
  }
  for (int i = 2; i >= 0; --i) {
    platform::automation::PressKey(VK_LEFT);
    EXPECT_EQ(CaretOf(edit), stops[i]);
  }
  platform::automation::PressKey(VK_LEFT);
  EXPECT_EQ(CaretOf(edit), 0u);
  // Positions inside a cluster move to its start.
  SendMessageW(edit, EM_SETSEL, 3, 9);
  DWORD from = 0, to = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 2u);
  EXPECT_EQ(to, 6u);
  SendMessageW(edit, EM_SETSEL, 17, 17);
  platform::automation::PressKey(VK_BACK);  // the whole family
  EXPECT_EQ(Text(edit), text.substr(0, 6) + u"x");
  SendMessageW(edit, EM_SETSEL, 0, 0);
  platform::automation::PressKey(VK_DELETE);  // e with its accent
  EXPECT_EQ(Text(edit), text.substr(2, 4) + u"x");
  // A limit never leaves half a cluster: the flag does not fit in 3 units.
  SetWindowTextW(edit, u"");
  SendMessageW(edit, EM_LIMITTEXT, 5, 0);
  SendMessageW(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(u"ab\U0001F1EB\U0001F1EE"));
  EXPECT_EQ(Text(edit), u"ab");
  SendMessageW(edit, EM_SETSEL, 0, 1);
  UpdateWindow(owner);
}

DWORD AnchorOf(HWND edit) {
  DWORD from = 0, to = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  return from == CaretOf(edit) ? to : from;
}

// A multi-line edit as a composer's text box: taps land on cluster edges of the line tapped, a
// drag selects across lines, up and down keep the column, and the caret and the selection are
// drawn on the line they belong to.
TEST_F(ControlsTest, MultiLineEditTapsDragsAndLineKeys) {
  HWND owner = MakeOwner();
  HWND edit = Child(owner, u"EDIT", WS_BORDER | ES_MULTILINE, 8, {10, 10, 130, 130});
  const std::u16string text =
      u"ab cde\u0301 fgh \U0001F468\u200D\U0001F469\u200D\U0001F467 ijklm nopq rstu vwxyz and some more words";
  SetWindowTextW(edit, text.c_str());
  SetFocus(edit);
  UpdateWindow(owner);
  HDC dc = GetDC(edit);
  HGDIOBJ font = SelectObject(dc, platform::controls::FontOr(nullptr));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int lineHeight = metrics.tmHeight;
  const std::vector<std::uint32_t> edges = platform::gdi::ClusterBoundaries(text);
  RECT client{};
  GetClientRect(edit, &client);
  const int width = client.right - 4;
  const UINT format = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;
  // Every visible edge is found again by a tap on its caret (the edit's text starts 2 pixels in and
  // 1 down).
  int rows = 0;
  for (std::uint32_t edge : edges) {
    if (edge < text.size() && text[edge] == u' ') continue;
    const POINT at = platform::gdi::CaretPoint(dc, text, width, format, edge);
    rows = std::max(rows, static_cast<int>(at.y / lineHeight) + 1);
    platform::automation::Tap(ScreenPoint(edit, 2 + at.x, 1 + at.y + lineHeight / 2));
    EXPECT_EQ(CaretOf(edit), edge);
  }
  EXPECT_GE(rows, 3);
  // A tap on the family's right half is after the whole family, never inside it.
  const std::size_t family = text.find(u"\U0001F468");
  const std::size_t afterFamily = text.find(u" ijklm");
  const POINT familyLeft = platform::gdi::CaretPoint(dc, text, width, format, family);
  const POINT familyRight = platform::gdi::CaretPoint(dc, text, width, format, afterFamily);
  ASSERT_EQ(familyLeft.y, familyRight.y);
  platform::automation::Tap(ScreenPoint(edit, 2 + familyRight.x - 2, 1 + familyRight.y + 2));
  EXPECT_EQ(CaretOf(edit), afterFamily);
  // Down from the start keeps near the column, on the next line; up from the first line stays.
  SendMessageW(edit, EM_SETSEL, 0, 0);
  platform::automation::PressKey(VK_UP);
  EXPECT_EQ(CaretOf(edit), 0u);
  platform::automation::PressKey(VK_DOWN);
  EXPECT_EQ(platform::gdi::CaretPoint(dc, text, width, format, CaretOf(edit)).y, lineHeight);
  platform::automation::PressKey(VK_DOWN);
  platform::automation::PressKey(VK_DOWN);
  platform::automation::PressKey(VK_DOWN);
  const DWORD lastLine = CaretOf(edit);
  platform::automation::PressKey(VK_DOWN);
  EXPECT_EQ(CaretOf(edit), lastLine);  // below the last line nothing moves
  platform::automation::PressKey(VK_UP);
  EXPECT_LT(CaretOf(edit), lastLine);
  // A drag from the first line to the third selects across them, anchored where it began.
  platform::automation::MouseDown(ScreenPoint(edit, 3, 2 + lineHeight / 2));
  platform::automation::MouseMove(ScreenPoint(edit, 40, 1 + 2 * lineHeight + lineHeight / 2));
  platform::automation::MouseUp(ScreenPoint(edit, 40, 1 + 2 * lineHeight + lineHeight / 2));
  EXPECT_EQ(AnchorOf(edit), 0u);
  const DWORD dragged = CaretOf(edit);
  EXPECT_EQ(platform::gdi::CaretPoint(dc, text, width, format, dragged).y, 2 * lineHeight);
  // The highlight is drawn on the first line and on the third, not below the selection.
  UpdateWindow(owner);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  auto highlighted = [&](int row) {
    int count = 0;
    for (int x = 2; x < width; ++x) count += GetPixel(dc, x, 1 + row * lineHeight + 1) == highlight;
    return count;
  };
  EXPECT_GT(highlighted(0), 20);
  EXPECT_GT(highlighted(2), 0);
  EXPECT_EQ(highlighted(3), 0);
  SelectObject(dc, font);
  ReleaseDC(edit, dc);
}

// Typing past the bottom or the right edge scrolls the text so that the caret stays in view; taps
// land on what is shown, and moving back scrolls back.
TEST_F(ControlsTest, EditsScrollToKeepTheCaretInView) {
  HWND owner = MakeOwner();
  HDC screen = GetDC(owner);
  HGDIOBJ font = SelectObject(screen, platform::controls::FontOr(nullptr));
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, font);
  ReleaseDC(owner, screen);
  const int line = metrics.tmHeight;
  // Two lines of text fit (the text area is one pixel in from the top and the bottom).
  HWND multi = Child(owner, u"EDIT", ES_MULTILINE, 9, {10, 10, 130, 10 + 2 * line + 2});
  SetFocus(multi);
  platform::automation::TypeText(u"one\rtwo\rthree\rfour\rfive\rsix");
  EXPECT_EQ(SendMessageW(multi, EM_GETFIRSTVISIBLELINE, 0, 0), 4);
  // A tap on the top line shown lands on "five", the fifth line.
  platform::automation::Tap(ScreenPoint(multi, 2, 1 + line / 2));
  EXPECT_EQ(CaretOf(multi), Text(multi).find(u"five"));
  platform::automation::PressKey(VK_UP);
  EXPECT_EQ(SendMessageW(multi, EM_GETFIRSTVISIBLELINE, 0, 0), 3);
  platform::automation::PressKey(VK_HOME);
  EXPECT_EQ(SendMessageW(multi, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  platform::automation::PressKey(VK_END);
  EXPECT_EQ(SendMessageW(multi, EM_GETFIRSTVISIBLELINE, 0, 0), 4);
  // The caret is drawn on the bottom line, inside the edit.
  UpdateWindow(owner);
  HDC dc = GetDC(multi);
  auto darkInRow = [&](HDC hdc, int y, int width) {
    int count = 0;
    for (int x = 0; x < width; ++x) count += GetPixel(hdc, x, y) == RGB(0, 0, 0);
    return count;
  };
  EXPECT_GT(darkInRow(dc, 1 + line + line / 2, 120), 0);
  ReleaseDC(multi, dc);
  SetWindowTextW(multi, u"");
  EXPECT_EQ(SendMessageW(multi, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

  HWND single = Child(owner, u"EDIT", ES_AUTOHSCROLL, 10, {10, 100, 70, 100 + line + 6});
  SetFocus(single);
  const std::u16string typed = u"abcdefghijklmnopqrstuvwxyz0123456789";
  platform::automation::TypeText(typed);
  const LRESULT first = SendMessageW(single, EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_GT(first, 0);
  EXPECT_LT(first, static_cast<LRESULT>(typed.size()));
  // The caret after the last character is drawn inside the edit, not past its edge.
  UpdateWindow(owner);
  dc = GetDC(single);
  RECT client{};
  GetClientRect(single, &client);
  int caretColumns = 0;
  for (int x = 0; x < client.right; ++x) {
    bool column = true;
    for (int y = client.bottom / 2 - line / 4; y <= client.bottom / 2 + line / 4; ++y) {
      column = column && GetPixel(dc, x, y) == RGB(0, 0, 0);
    }
    caretColumns += column;
  }
  EXPECT_GE(caretColumns, 1);
  ReleaseDC(single, dc);
  // A tap at the left edge lands on the first character shown.
  platform::automation::Tap(ScreenPoint(single, 2, client.bottom / 2));
  EXPECT_EQ(static_cast<LRESULT>(CaretOf(single)), first);
  platform::automation::PressKey(VK_HOME);
  EXPECT_EQ(SendMessageW(single, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  platform::automation::PressKey(VK_END);
  EXPECT_EQ(SendMessageW(single, EM_GETFIRSTVISIBLELINE, 0, 0), first);
}

// Left and right go in logical order over a right-to-left word: the caret visits every letter of
// it in reading order, and its drawn place moves leftwards inside the word.
TEST_F(ControlsTest, EditArrowsWalkRightToLeftTextInReadingOrder) {
  HWND owner = MakeOwner();
  HWND edit = Child(owner, u"EDIT", WS_BORDER, 9, {10, 10, 200, 30});
  const std::u16string text = u"ab \u05E9\u05DC\u05D5\u05DD";
  SetWindowTextW(edit, text.c_str());
  SetFocus(edit);
  HDC dc = GetDC(edit);
  HGDIOBJ font = SelectObject(dc, platform::controls::FontOr(nullptr));
  int previousX = INT_MAX;
  for (DWORD stop = 1; stop <= text.size(); ++stop) {
    platform::automation::PressKey(VK_RIGHT);
    EXPECT_EQ(CaretOf(edit), stop);
    if (stop > 3 && stop < text.size()) {
      const int x = platform::gdi::CaretOffset(dc, text, stop);
      EXPECT_LT(x, previousX) << stop;
      previousX = x;
    }
  }
  SelectObject(dc, font);
  ReleaseDC(edit, dc);
}

TEST_F(ControlsTest, EditRefusesWhatItsStyleForbids) {
  HWND owner = MakeOwner();
  struct Case {
    DWORD style;
    std::u16string typed;
    std::u16string expected;
  };
  const Case cases[] = {{ES_NUMBER, u"a1b2", u"12"},
                        {ES_READONLY, u"abc", u""},
                        {0, u"a\rb", u"ab"},
                        {ES_MULTILINE, u"a\rb", u"a\r\nb"}};
  int id = 100;
  for (const Case& c : cases) {
    HWND edit = Child(owner, u"EDIT", c.style, ++id);
    SetFocus(edit);
    for (char16_t ch : c.typed) SendMessageW(edit, WM_CHAR, ch, 0);
    EXPECT_EQ(Text(edit), c.expected) << c.style;
  }
}

TEST_F(ControlsTest, RadioButtonsCheckOneOfTheirGroup) {
  HWND owner = MakeOwner();
  HWND a = Child(owner, u"BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 11, {10, 10, 100, 30});
  HWND b = Child(owner, u"BUTTON", BS_AUTORADIOBUTTON, 12, {10, 40, 100, 60});
  HWND other = Child(owner, u"BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 13, {10, 70, 100, 90});
  SendMessageW(other, BM_SETCHECK, BST_CHECKED, 0);
  platform::automation::Tap(ScreenPoint(a, 5, 5));
  EXPECT_EQ(SendMessageW(a, BM_GETCHECK, 0, 0), BST_CHECKED);
  platform::automation::Tap(ScreenPoint(b, 5, 5));
  EXPECT_EQ(SendMessageW(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(other, BM_GETCHECK, 0, 0), BST_CHECKED);  // another group
  EXPECT_EQ(Notifications(12, BN_CLICKED), 1);
}

TEST_F(ControlsTest, PushButtonReportsPushedWhileDownAndClicksOnlyWhenReleasedOverIt) {
  HWND owner = MakeOwner();
  HWND button = Child(owner, u"BUTTON", BS_PUSHBUTTON, 21);
  ClearLog();
  platform::automation::MouseDown(ScreenPoint(button, 5, 5));
  EXPECT_TRUE(SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_FALSE(LogOf(WM_CTLCOLORBTN).empty());
  platform::automation::MouseUp(ScreenPoint(button, 300, 300));
  EXPECT_FALSE(SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_EQ(Notifications(21, BN_CLICKED), 0);
  platform::automation::Tap(ScreenPoint(button, 5, 5));
  EXPECT_EQ(Notifications(21, BN_CLICKED), 1);
}

TEST_F(ControlsTest, ListAndComboSelectionsAgree) {
  HWND owner = MakeOwner();
  HWND list = Child(owner, u"LISTBOX", LBS_NOTIFY | LBS_HASSTRINGS, 31, {0, 0, 200, 200});
  HWND combo = Child(owner, u"COMBOBOX", CBS_DROPDOWNLIST, 32, {0, 210, 200, 230});
  for (const char16_t* text : {u"one", u"two", u"three"}) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 7, 0), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"TWO")), 1);
  EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(u"zero")), 0);
  SendMessageW(list, LB_SETCURSEL, 2, 0);
  SendMessageW(list, LB_DELETESTRING, 0, 0);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);  // the selection follows its item
  const int rowHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  platform::automation::Tap(ScreenPoint(list, 5, rowHeight * 2 + 1));
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Notifications(31, LBN_SELCHANGE), 1);

  platform::automation::QueueAnswer(3, u"three");  // the third item's command in the drop list
  platform::automation::Tap(ScreenPoint(combo, 5, 5));
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Notifications(32, CBN_SELCHANGE), 1);
  WCHAR text[16];
  SendMessageW(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(std::u16string(text), u"three");
}

TEST_F(ControlsTest, StaticShowsBitmapsGivenByOrdinalOrMessage) {
  HWND owner = MakeOwner();
  HWND picture = CreateWindowExW(0, u"STATIC", MAKEINTRESOURCEW(171), WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 0, 40, 40,
                                 owner, nullptr, nullptr, nullptr);
  auto loaded = reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(loaded, nullptr);
  HBITMAP other = LoadBitmapW(nullptr, MAKEINTRESOURCEW(106));
  EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(other))),
            loaded);
  DeleteObject(loaded);
  HWND label = Child(owner, u"STATIC", SS_NOTIFY, 41, {0, 50, 100, 70}, u"Tap me");
  platform::automation::Tap(ScreenPoint(label, 2, 2));
  EXPECT_EQ(Notifications(41, STN_CLICKED), 1);
}

}  // namespace
}  // namespace controls_test
