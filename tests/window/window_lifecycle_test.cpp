// Creation, destruction and message delivery of the window manager.
#include "window_test_support.h"

namespace window_test {
namespace {

using platform::automation::PumpUntilIdle;

class WindowLifecycle : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterRecorder();
  }
};

// A window object bound the way the toolkit's base class binds it: from WM_CREATE's parameters.
struct BoundObject {
  HWND hwnd = nullptr;
};

LRESULT BindingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    auto* object = static_cast<BoundObject*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    object->hwnd = hwnd;
    SetWindowLongW(hwnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(object));
    return 0;
  }
  auto* object = reinterpret_cast<BoundObject*>(GetWindowLongW(hwnd, GWL_USERDATA));
  if (!object) {
    Log().push_back({hwnd, message, wParam, lParam});
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(WindowLifecycle, CreationSendsNcCreateCreateSizeMoveInOrder) {
  HWND hwnd = MakeTop(u"Main", {10, 20, 110, 220});
  ASSERT_NE(hwnd, nullptr);
  std::vector<UINT> order;
  for (const Seen& seen : LogOf({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_ACTIVATE})) {
    order.push_back(seen.message);
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_ACTIVATE}));
  EXPECT_EQ(LogOf({WM_SIZE}).front().lParam, MAKELPARAM(100, 200));
  WCHAR text[16];
  EXPECT_EQ(GetWindowTextW(hwnd, text, 16), 4);
  EXPECT_EQ(std::u16string(text), u"Main");
  EXPECT_EQ(GetActiveWindow(), hwnd);
  EXPECT_EQ(GetFocus(), hwnd);
}

TEST_F(WindowLifecycle, MessagesBeforeBindingReachDefWindowProc) {
  WNDCLASSW info{};
  info.lpfnWndProc = BindingProcedure;
  info.lpszClassName = u"Bound";
  ASSERT_NE(RegisterClassW(&info), 0);
  BoundObject object;
  HWND hwnd = CreateWindowExW(0, u"Bound", u"Title", WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, &object);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(object.hwnd, hwnd);
  // WM_NCCREATE came before the binding; DefWindowProcW accepted it and kept the title.
  ASSERT_FALSE(Log().empty());
  EXPECT_EQ(Log().front().message, WM_NCCREATE);
  WCHAR text[8];
  GetWindowTextW(hwnd, text, 8);
  EXPECT_EQ(std::u16string(text), u"Title");
}

TEST_F(WindowLifecycle, CreateReturningMinusOneFailsAndLeavesNoWindow) {
  ReactTo(WM_CREATE, [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return -1; });
  EXPECT_EQ(MakeTop(u"Refused", {0, 0, 10, 10}), nullptr);
  ASSERT_FALSE(LogOf({WM_NCDESTROY}).empty());
  EXPECT_FALSE(IsWindow(LogOf({WM_NCDESTROY}).front().hwnd));
  EXPECT_EQ(FindWindowW(kRecorder, nullptr), nullptr);
}

TEST_F(WindowLifecycle, PostedMessagesKeepTheirOrderAndComeBeforeTimers) {
  HWND hwnd = MakeTop(u"Queue", {0, 0, 10, 10});
  SetTimer(hwnd, 1, 10, nullptr);
  platform::AdvanceVirtualClock(20);
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(PostMessageW(hwnd, WM_USER + (i % 3), static_cast<WPARAM>(i), 0));
  }
  Log().clear();
  PumpUntilIdle();
  std::vector<Seen> seen = LogOf({WM_USER, WM_USER + 1, WM_USER + 2, WM_TIMER});
  ASSERT_EQ(seen.size(), 51u);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(seen[static_cast<std::size_t>(i)].wParam, static_cast<WPARAM>(i));
  }
  EXPECT_EQ(seen.back().message, WM_TIMER);
}

TEST_F(WindowLifecycle, TimersFireInDueOrderOnTheVirtualClock) {
  HWND hwnd = MakeTop(u"Timers", {0, 0, 10, 10});
  const DWORD start = GetTickCount();
  static std::vector<std::pair<DWORD, WPARAM>> fired;
  static DWORD origin;
  fired.clear();
  origin = start;
  ReactTo(WM_TIMER, [](HWND, UINT, WPARAM id, LPARAM) -> LRESULT {
    fired.emplace_back(GetTickCount() - origin, id);
    return 0;
  });
  SetTimer(hwnd, 7, 30, nullptr);
  SetTimer(hwnd, 9, 50, nullptr);
  platform::automation::AdvanceClock(150);
  std::vector<std::pair<DWORD, WPARAM>> expected = {{30, 7}, {50, 9}, {60, 7}, {90, 7}, {100, 9},
                                                    {120, 7}, {150, 7}, {150, 9}};
  EXPECT_EQ(fired, expected);
  EXPECT_EQ(GetTickCount() - start, 150u);
}

TEST_F(WindowLifecycle, KilledTimerNeverFiresEvenWhenDueAtTheSameTime) {
  HWND hwnd = MakeTop(u"Timers", {0, 0, 10, 10});
  static int fires[3];
  fires[1] = fires[2] = 0;
  ReactTo(WM_TIMER, [](HWND h, UINT, WPARAM id, LPARAM) -> LRESULT {
    ++fires[id];
    KillTimer(h, 2);  // the first handler at the shared due time kills the other timer
    return 0;
  });
  SetTimer(hwnd, 1, 100, nullptr);
  SetTimer(hwnd, 2, 100, nullptr);
  SetTimer(hwnd, 3, 100, nullptr);
  KillTimer(hwnd, 3);
  platform::automation::AdvanceClock(1000);
  EXPECT_EQ(fires[1], 10);
  EXPECT_EQ(fires[2], 0);
  EXPECT_EQ(LogOf({WM_TIMER}).size(), 10u);
  EXPECT_FALSE(KillTimer(hwnd, 3));
}

TEST_F(WindowLifecycle, TimerOfZeroElapseIsRaisedToTheMinimumAndCannotStarveThePump) {
  HWND hwnd = MakeTop(u"Timers", {0, 0, 10, 10});
  SetTimer(hwnd, 1, 0, nullptr);
  platform::automation::AdvanceClock(100);
  EXPECT_EQ(LogOf({WM_TIMER}).size(), 10u);
}

TEST_F(WindowLifecycle, TimerProcedureRunsInsteadOfTheWindowAndDiesWithTheWindow) {
  HWND hwnd = MakeTop(u"Timers", {0, 0, 10, 10});
  static int calls;
  calls = 0;
  SetTimer(hwnd, 5, 20, [](HWND, UINT, UINT_PTR, DWORD) { ++calls; });
  platform::automation::AdvanceClock(40);
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(LogOf({WM_TIMER}).empty());
  DestroyWindow(hwnd);
  platform::automation::AdvanceClock(100);
  EXPECT_EQ(calls, 2);
}

TEST_F(WindowLifecycle, ForgedTimerProcedureInAPostedMessageIsNeverCalled) {
  HWND hwnd = MakeTop(u"Timers", {0, 0, 10, 10});
  static bool called;
  called = false;
  TIMERPROC forged = [](HWND, UINT, UINT_PTR, DWORD) { called = true; };
  PostMessageW(hwnd, WM_TIMER, 1, reinterpret_cast<LPARAM>(forged));
  PumpUntilIdle();
  EXPECT_FALSE(called);
}

TEST_F(WindowLifecycle, WindowDestroyedInItsOwnHandlerDoesNotBreakTheDispatch) {
  HWND hwnd = MakeTop(u"Self", {0, 0, 100, 100});
  ReactTo(WM_USER, [](HWND h, UINT, WPARAM, LPARAM) -> LRESULT {
    DestroyWindow(h);
    DestroyWindow(h);  // a second call on the dead handle only fails
    return 0;
  });
  PostMessageW(hwnd, WM_USER, 0, 0);
  PostMessageW(hwnd, WM_USER + 1, 0, 0);  // dropped: its window is gone by then
  PumpUntilIdle();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(LogOf({WM_USER + 1}).empty());
  EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(WindowLifecycle, WindowDestroyedDuringCreationMakesCreationFail) {
  ReactTo(WM_SIZE, [](HWND h, UINT, WPARAM, LPARAM) -> LRESULT {
    DestroyWindow(h);
    return 0;
  });
  EXPECT_EQ(MakeTop(u"Gone", {0, 0, 10, 10}), nullptr);
}

TEST_F(WindowLifecycle, DestroyingAParentDestroysOwnedWindowsThenChildrenFirst) {
  HWND parent = MakeTop(u"Parent", {0, 0, 200, 200});
  HWND child = MakeChild(parent, {0, 0, 100, 100}, 1);
  HWND grandchild = MakeChild(child, {0, 0, 50, 50}, 2);
  HWND owned = CreateWindowExW(0, kRecorder, u"Owned", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, child, nullptr,
                               nullptr, nullptr);
  ASSERT_TRUE(owned && grandchild);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), parent);
  static bool childAliveAtParentNcDestroy;
  childAliveAtParentNcDestroy = true;
  ReactTo(WM_NCDESTROY, [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (GetWindow(h, GW_CHILD) != nullptr) {
      childAliveAtParentNcDestroy = true;
    }
    return DefWindowProcW(h, m, w, l);
  });
  childAliveAtParentNcDestroy = false;
  Log().clear();
  ASSERT_TRUE(DestroyWindow(parent));
  std::vector<Seen> order = LogOf({WM_DESTROY, WM_NCDESTROY});
  std::vector<std::pair<HWND, UINT>> got;
  for (const Seen& s : order) {
    got.emplace_back(s.hwnd, s.message);
  }
  std::vector<std::pair<HWND, UINT>> expected = {
      {owned, WM_DESTROY},       {owned, WM_NCDESTROY},      {parent, WM_DESTROY},
      {child, WM_DESTROY},       {grandchild, WM_DESTROY},   {grandchild, WM_NCDESTROY},
      {child, WM_NCDESTROY},     {parent, WM_NCDESTROY}};
  EXPECT_EQ(got, expected);
  EXPECT_FALSE(childAliveAtParentNcDestroy);
  for (HWND h : {parent, child, grandchild, owned}) {
    EXPECT_FALSE(IsWindow(h));
  }
}

TEST_F(WindowLifecycle, HandlesAreNeverReused) {
  HWND first = MakeTop(u"A", {0, 0, 10, 10});
  DestroyWindow(first);
  HWND second = MakeTop(u"B", {0, 0, 10, 10});
  EXPECT_NE(first, second);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(GetWindowLongW(first, GWL_STYLE), 0);
}

TEST_F(WindowLifecycle, CloseDestroysByDefault) {
  HWND hwnd = MakeTop(u"Close", {0, 0, 10, 10});
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowLifecycle, ClassRegistrationRules) {
  WNDCLASSW info{};
  info.lpfnWndProc = DefWindowProcW;
  info.lpszClassName = u"RECORDER";  // names compare without regard to case
  EXPECT_EQ(RegisterClassW(&info), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
  HWND hwnd = MakeTop(u"x", {0, 0, 10, 10});
  EXPECT_FALSE(UnregisterClassW(u"recorder", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
  DestroyWindow(hwnd);
  EXPECT_TRUE(UnregisterClassW(u"recorder", nullptr));
  EXPECT_EQ(CreateWindowExW(0, kRecorder, nullptr, 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
}

TEST_F(WindowLifecycle, ClassProviderRegistersControlClassesOnFirstUse) {
  platform::window::AddClassProvider([](std::u16string_view name) {
    if (name != u"LateClass") {
      return false;
    }
    WNDCLASSW info{};
    info.lpfnWndProc = DefWindowProcW;
    info.lpszClassName = u"LateClass";
    return RegisterClassW(&info) != 0;
  });
  EXPECT_NE(CreateWindowExW(0, u"LateClass", nullptr, 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindowExW(0, u"Unknown", nullptr, 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowLifecycle, ChildWithoutParentIsRefused) {
  EXPECT_EQ(CreateWindowExW(0, kRecorder, nullptr, WS_CHILD, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  HWND dead = MakeTop(u"dead", {0, 0, 1, 1});
  DestroyWindow(dead);
  EXPECT_EQ(MakeChild(dead, {0, 0, 1, 1}), nullptr);
}

TEST_F(WindowLifecycle, GetMessageOnTheVirtualClockMovesOnToTheNextTimer) {
  HWND hwnd = MakeTop(u"Loop", {0, 0, 10, 10});
  PumpUntilIdle();
  DWORD start = GetTickCount();
  SetTimer(hwnd, 3, 5000, nullptr);
  MSG msg;
  ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(GetTickCount() - start, 5000u);
  PostQuitMessage(4);
  EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.wParam, 4u);
}

TEST_F(WindowLifecycle, PressKeyTranslatesToCharBetweenDownAndUp) {
  HWND hwnd = MakeTop(u"Keys", {0, 0, 10, 10});
  PumpUntilIdle();
  Log().clear();
  platform::automation::PressKey('A');
  std::vector<Seen> keys = LogOf({WM_KEYDOWN, WM_CHAR, WM_KEYUP});
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].message, WM_KEYDOWN);
  EXPECT_EQ(keys[1].message, WM_CHAR);
  EXPECT_EQ(keys[1].wParam, static_cast<WPARAM>(u'a'));
  EXPECT_EQ(keys[2].message, WM_KEYUP);
  EXPECT_EQ(keys[0].hwnd, hwnd);
}

}  // namespace
}  // namespace window_test
