// Focus, activation, capture, geometry, z-order, window words and painting order.
#include "window_test_support.h"

#include "platform/gdi/gdi_api.h"
#include "platform/window/screen.h"

namespace window_test {
namespace {

using platform::automation::PumpUntilIdle;

class WindowBehaviour : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterRecorder();
  }
};

std::vector<std::pair<HWND, UINT>> Pairs(std::initializer_list<UINT> messages) {
  std::vector<std::pair<HWND, UINT>> out;
  for (const Seen& s : LogOf(messages)) {
    out.emplace_back(s.hwnd, s.message);
  }
  return out;
}

TEST_F(WindowBehaviour, FocusMovesWithKillFocusBeforeSetFocus) {
  HWND top = MakeTop(u"Top", {0, 0, 100, 100});
  HWND a = MakeChild(top, {0, 0, 50, 50}, 1);
  HWND b = MakeChild(top, {50, 0, 100, 50}, 2);
  EXPECT_EQ(SetFocus(a), top);
  Log().clear();
  EXPECT_EQ(SetFocus(b), a);
  std::vector<Seen> seen = LogOf({WM_KILLFOCUS, WM_SETFOCUS});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], (Seen{a, WM_KILLFOCUS, reinterpret_cast<WPARAM>(b), 0}));
  EXPECT_EQ(seen[1], (Seen{b, WM_SETFOCUS, reinterpret_cast<WPARAM>(a), 0}));
  EXPECT_EQ(GetFocus(), b);
  Log().clear();
  EXPECT_EQ(SetFocus(b), b);  // no change, no messages
  EXPECT_TRUE(Log().empty());
}

TEST_F(WindowBehaviour, FocusInAnotherTopLevelWindowActivatesItFirst) {
  HWND first = MakeTop(u"First", {0, 0, 100, 100});
  HWND second = MakeTop(u"Second", {0, 0, 100, 100});
  HWND inFirst = MakeChild(first, {0, 0, 10, 10}, 1);
  EXPECT_EQ(GetActiveWindow(), second);
  Log().clear();
  SetFocus(inFirst);
  std::vector<std::pair<HWND, UINT>> expected = {
      {second, WM_ACTIVATE}, {first, WM_ACTIVATE}, {second, WM_KILLFOCUS},
      {first, WM_SETFOCUS},  {first, WM_KILLFOCUS}, {inFirst, WM_SETFOCUS}};
  EXPECT_EQ(Pairs({WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS}), expected);
  EXPECT_EQ(LOWORD(LogOf({WM_ACTIVATE})[0].wParam), WA_INACTIVE);
  EXPECT_EQ(LOWORD(LogOf({WM_ACTIVATE})[1].wParam), WA_ACTIVE);
  EXPECT_EQ(GetForegroundWindow(), first);
  EXPECT_EQ(GetWindow(second, GW_HWNDFIRST), first);  // activation brings to the top
}

TEST_F(WindowBehaviour, DestroyingOrDisablingTheFocusLeavesNoDeadFocus) {
  HWND top = MakeTop(u"Top", {0, 0, 100, 100});
  HWND a = MakeChild(top, {0, 0, 50, 50}, 1);
  HWND b = MakeChild(top, {0, 50, 50, 100}, 2);
  SetFocus(a);
  DestroyWindow(a);
  EXPECT_EQ(GetFocus(), nullptr);
  SetFocus(b);
  EXPECT_FALSE(EnableWindow(b, FALSE));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_TRUE(EnableWindow(b, TRUE));
  EXPECT_TRUE(IsWindowEnabled(b));
}

TEST_F(WindowBehaviour, DestroyingTheActiveWindowActivatesItsOwner) {
  HWND owner = MakeTop(u"Owner", {0, 0, 100, 100});
  HWND other = MakeTop(u"Other", {0, 0, 100, 100});
  HWND popup = CreateWindowExW(0, kRecorder, u"Popup", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, owner, nullptr,
                               nullptr, nullptr);
  EXPECT_EQ(GetActiveWindow(), popup);
  EXPECT_EQ(GetParent(popup), owner);  // a pop-up reports its owner
  DestroyWindow(popup);
  EXPECT_EQ(GetActiveWindow(), owner);
  ShowWindow(owner, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), other);
}

TEST_F(WindowBehaviour, CaptureTakesTapsAndReportsItsLoss) {
  HWND top = MakeTop(u"Top", {0, 0, 200, 200});
  HWND left = MakeChild(top, {0, 0, 100, 200}, 1);
  HWND right = MakeChild(top, {100, 0, 200, 200}, 2);
  PumpUntilIdle();
  EXPECT_EQ(SetCapture(left), nullptr);
  Log().clear();
  platform::automation::Tap({150, 10});
  std::vector<Seen> taps = LogOf({WM_LBUTTONDOWN, WM_LBUTTONUP});
  ASSERT_EQ(taps.size(), 2u);
  EXPECT_EQ(taps[0].hwnd, left);
  EXPECT_EQ(taps[0].lParam, MAKELPARAM(150, 10));  // client coordinates of the capture window
  EXPECT_EQ(SetCapture(right), left);
  EXPECT_EQ(LogOf({WM_CAPTURECHANGED}).back(), (Seen{left, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(right)}));
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  Log().clear();
  platform::automation::Tap({20, 30});
  EXPECT_EQ(LogOf({WM_LBUTTONDOWN}).at(0).hwnd, left);
  EXPECT_EQ(LogOf({WM_LBUTTONDOWN}).at(0).lParam, MAKELPARAM(20, 30));
}

TEST_F(WindowBehaviour, TapsSkipHiddenAndDisabledWindows) {
  HWND top = MakeTop(u"Top", {0, 0, 200, 200});
  HWND hidden = MakeChild(top, {0, 0, 100, 100}, 1, WS_CHILD);
  HWND disabled = MakeChild(top, {100, 0, 200, 100}, 2, WS_CHILD | WS_VISIBLE | WS_DISABLED);
  EXPECT_EQ(WindowFromPoint({10, 10}), top);
  EXPECT_EQ(WindowFromPoint({150, 10}), top);
  EXPECT_EQ(WindowFromPoint({500, 10}), nullptr);
  Log().clear();
  EXPECT_FALSE(platform::automation::Tap({500, 10}));
  EXPECT_TRUE(LogOf({WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
  // Over the hidden and the disabled child the parent takes the tap, in its own coordinates.
  EXPECT_TRUE(platform::automation::Tap({10, 10}));
  EXPECT_TRUE(platform::automation::Tap({150, 10}));
  std::vector<Seen> downs = LogOf({WM_LBUTTONDOWN});
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].hwnd, top);
  EXPECT_EQ(downs[0].lParam, MAKELPARAM(10, 10));
  EXPECT_EQ(downs[1].hwnd, top);
  EXPECT_EQ(downs[1].lParam, MAKELPARAM(150, 10));
  for (const Seen& seen : LogOf({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_SETFOCUS})) {
    EXPECT_NE(seen.hwnd, hidden);
    EXPECT_NE(seen.hwnd, disabled);
  }
}

TEST_F(WindowBehaviour, CoordinatesThroughNestedChildrenAndBorders) {
  HWND top = MakeTop(u"Top", {10, 20, 210, 220});
  HWND child = MakeChild(top, {5, 6, 105, 106}, 1, WS_CHILD | WS_VISIBLE | WS_BORDER);
  HWND inner = MakeChild(child, {2, 3, 12, 13}, 2);
  POINT p{0, 0};
  ASSERT_TRUE(ClientToScreen(inner, &p));
  EXPECT_EQ(p.x, 10 + 5 + 1 + 2);
  EXPECT_EQ(p.y, 20 + 6 + 1 + 3);
  ScreenToClient(inner, &p);
  EXPECT_EQ(p.x, 0);
  RECT client;
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, 98);  // the border takes a pixel on each side
  RECT window;
  GetWindowRect(child, &window);
  EXPECT_EQ(window.left, 15);
  EXPECT_EQ(window.bottom, 126);
  EXPECT_EQ(WindowFromPoint({19, 30}), inner);
}

TEST_F(WindowBehaviour, ZOrderQueriesAndEnumeration) {
  HWND bottom = MakeTop(u"Bottom", {0, 0, 10, 10});
  HWND middle = MakeTop(u"Middle", {0, 0, 10, 10});
  HWND topmost = CreateWindowExW(WS_EX_TOPMOST, kRecorder, u"Topmost", WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
  HWND last = MakeTop(u"Last", {0, 0, 10, 10});  // stays below the topmost window
  static std::vector<HWND> seen;
  seen.clear();
  EnumWindows([](HWND h, LPARAM) -> BOOL { seen.push_back(h); return TRUE; }, 0);
  EXPECT_EQ(seen, (std::vector<HWND>{topmost, last, middle, bottom}));
  EXPECT_EQ(GetWindow(last, GW_HWNDNEXT), middle);
  EXPECT_EQ(GetWindow(last, GW_HWNDPREV), topmost);
  SetWindowPos(bottom, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetWindow(topmost, GW_HWNDNEXT), bottom);
  EXPECT_EQ(FindWindowW(u"RECORDER", u"middle"), middle);
  EXPECT_EQ(FindWindowW(nullptr, u"Nobody"), nullptr);
  DWORD process = 0;
  EXPECT_NE(GetWindowThreadProcessId(middle, &process), 0u);
  EXPECT_NE(process, 0u);
}

TEST_F(WindowBehaviour, DeferredPositionsApplyTogetherAndABadWindowAbandonsTheSet) {
  HWND top = MakeTop(u"Top", {0, 0, 200, 200});
  HWND a = MakeChild(top, {0, 0, 10, 10}, 1);
  HWND b = MakeChild(top, {0, 0, 10, 10}, 2);
  HDWP set = BeginDeferWindowPos(2);
  set = DeferWindowPos(set, a, nullptr, 5, 5, 20, 20, SWP_NOZORDER);
  set = DeferWindowPos(set, b, nullptr, 50, 60, 30, 30, SWP_NOZORDER);
  ASSERT_NE(set, nullptr);
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r.right, 10);  // nothing moves before the end
  EXPECT_TRUE(EndDeferWindowPos(set));
  GetWindowRect(b, &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.bottom, 90);
  HDWP bad = BeginDeferWindowPos(1);
  EXPECT_EQ(DeferWindowPos(bad, reinterpret_cast<HWND>(0x12345), nullptr, 0, 0, 1, 1, 0), nullptr);
  EXPECT_FALSE(EndDeferWindowPos(bad));
}

LRESULT SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetWindowLongW(hwnd, 0));
  if (message == WM_USER) {
    return 42;
  }
  return CallWindowProcW(previous, hwnd, message, wParam, lParam);
}

TEST_F(WindowBehaviour, WindowWordsHoldPointersAndSubclassProcedures) {
  HWND hwnd = MakeTop(u"Words", {0, 0, 10, 10});
  int object = 0;
  SetWindowLongW(hwnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&object));
  EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongW(hwnd, GWL_USERDATA)), &object);
  LONG_PTR original = SetWindowLongW(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProcedure));
  SetWindowLongW(hwnd, 0, original);
  EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 42);
  Log().clear();
  SendMessageW(hwnd, WM_USER + 5, 0, 0);
  EXPECT_EQ(LogOf({WM_USER + 5}).size(), 1u);  // passed on to the original procedure
  EXPECT_EQ(SetWindowLongW(hwnd, 9, 1), 0);   // the class has 16 extra bytes: offset 9 + 8 is past them
  EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE);
  SetWindowLongW(hwnd, GWL_STYLE, GetWindowLongW(hwnd, GWL_STYLE) & ~WS_VISIBLE);
  EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(WindowBehaviour, PaintingIsPainterStyleAndErasesWithTheClassBackground) {
  HWND lower = MakeTop(u"Lower", {0, 0, 100, 100});
  HWND child = MakeChild(lower, {10, 10, 50, 50}, 1);
  HWND upper = MakeTop(u"Upper", {20, 20, 80, 80});
  PumpUntilIdle();
  Log().clear();
  InvalidateRect(nullptr, nullptr, TRUE);
  UpdateWindow(lower);
  std::vector<std::pair<HWND, UINT>> expected = {{lower, WM_PAINT}, {lower, WM_ERASEBKGND},
                                                 {child, WM_PAINT}, {child, WM_ERASEBKGND},
                                                 {upper, WM_PAINT}, {upper, WM_ERASEBKGND}};
  EXPECT_EQ(Pairs({WM_PAINT, WM_ERASEBKGND}), expected);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, 5, 5), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(GetPixel(screen, 150, 150), GetSysColor(COLOR_BACKGROUND));
  ReleaseDC(nullptr, screen);
  // Only windows that meet the stale area paint again.
  Log().clear();
  RECT corner{0, 0, 5, 5};
  InvalidateRect(lower, &corner, TRUE);
  PumpUntilIdle();
  EXPECT_EQ(Pairs({WM_PAINT}), (std::vector<std::pair<HWND, UINT>>{{lower, WM_PAINT}}));
}

TEST_F(WindowBehaviour, AWindowDestroyedWhilePaintingEndsThePassCleanly) {
  HWND top = MakeTop(u"Top", {0, 0, 100, 100});
  MakeChild(top, {0, 0, 50, 50}, 1);
  ReactTo(WM_PAINT, [](HWND h, UINT, WPARAM, LPARAM) -> LRESULT {
    DestroyWindow(GetParent(h) ? GetParent(h) : h);
    return 0;
  });
  PumpUntilIdle();
  EXPECT_FALSE(IsWindow(top));
}

TEST_F(WindowBehaviour, ChildDrawingIsClippedToItsParentsClientArea) {
  HWND top = MakeTop(u"Top", {0, 0, 100, 100});
  HWND child = MakeChild(top, {50, 50, 150, 150}, 1);
  PumpUntilIdle();
  HDC hdc = GetDC(child);
  RECT everything{-100, -100, 300, 300};
  FillRect(hdc, &everything, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(child, hdc);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, 99, 99), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(screen, 100, 100), GetSysColor(COLOR_BACKGROUND));
  EXPECT_EQ(GetPixel(screen, 49, 49), GetSysColor(COLOR_WINDOW));
  ReleaseDC(nullptr, screen);
}

TEST_F(WindowBehaviour, ScreenMetricsFollowTheDensity) {
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
  ReleaseDC(nullptr, screen);
  ASSERT_TRUE(platform::window::ConfigureScreen({480, 640, 192}));
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 640);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 26);
  EXPECT_EQ(platform::window::ScaleForDensity(5), 10);
  EXPECT_FALSE(platform::window::ConfigureScreen({0, 640, 192}));
  EXPECT_FALSE(platform::window::ConfigureScreen({480, 640, 10000}));
}

TEST_F(WindowBehaviour, WaitCursorIsAState) {
  HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  EXPECT_NE(wait, arrow);
  SetCursor(arrow);
  EXPECT_EQ(SetCursor(wait), arrow);
  EXPECT_EQ(GetCursor(), wait);
}

TEST_F(WindowBehaviour, MessageBoxesTakeQueuedAnswers) {
  platform::automation::QueueAnswer(IDYES, u"Delete");
  EXPECT_EQ(MessageBoxW(nullptr, u"Delete the slide?", u"MMS", MB_YESNO), IDYES);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  std::vector<std::u16string> unexpected;
  platform::automation::SetUnexpectedPromptHandler(
      [&unexpected](const platform::automation::Prompt& p) { unexpected.push_back(p.text); });
  platform::automation::QueueAnswer(IDOK, u"Saved");
  EXPECT_EQ(MessageBoxW(nullptr, u"Send now?", u"MMS", MB_YESNO), IDNO);  // cautious answer
  EXPECT_EQ(unexpected, (std::vector<std::u16string>{u"Send now?"}));
  EXPECT_EQ(platform::automation::PendingAnswers(), 1u);  // kept for the prompt it names
  EXPECT_EQ(platform::automation::PromptLog().size(), 2u);
  EXPECT_EQ(MessageBoxW(nullptr, u"Saved.", u"MMS", MB_OK), IDOK);
}

TEST_F(WindowBehaviour, HooksActOnceTheNewWindowIsIdle) {
  HWND owner = MakeTop(u"Owner", {0, 0, 100, 100});
  static HWND hooked;
  hooked = nullptr;
  platform::automation::OnWindowAppears(u"recorder", u"Question", [](HWND h) {
    hooked = h;
    PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
  });
  HWND question = CreateWindowExW(0, kRecorder, u"Question", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, owner, nullptr,
                                  nullptr, nullptr);
  EXPECT_EQ(hooked, nullptr);  // not during creation
  PumpUntilIdle();
  EXPECT_EQ(hooked, question);
  EXPECT_EQ(LogOf({WM_COMMAND}).size(), 1u);
  HWND again = CreateWindowExW(0, kRecorder, u"Question", WS_POPUP, 0, 0, 5, 5, owner, nullptr, nullptr, nullptr);
  PumpUntilIdle();
  EXPECT_EQ(hooked, question);  // once only
  (void)again;
}

}  // namespace
}  // namespace window_test
