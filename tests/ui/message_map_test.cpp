// Message maps and the window base: lookup order, null handlers, command dispatch, the paint path,
// binding, help, class registration, and windows destroyed by their own handlers.
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "ui/wnd_base.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

std::vector<std::string>& Calls() {
  static std::vector<std::string> calls;
  return calls;
}

// Counts what reaches DefProc and the paint calls.
class Probe : public CWndBase {
 public:
  LRESULT DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND) Calls().push_back("DefProc command " + std::to_string(LOWORD(wParam)));
    return CWndBase::DefProc(hwnd, message, wParam, lParam);
  }
  BOOL OnPaint(HDC hdc, PAINTSTRUCT*) override {
    Calls().push_back(hdc ? "OnPaint inside BeginPaint" : "OnPaint without context");
    return TRUE;
  }
  BOOL Make(const char16_t* className) {
    return Create(className, u"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, 0, kWhiteBackground);
  }
};

// Maps WM_PAINT itself, has a null entry before a real one, and commands 7 and 8 (8 with a null
// handler only, so it falls to the base chain and then DefProc).
class Derived : public Probe {
 public:
  const MessageMap* GetMessageMap() const override {
    static const MessageMapEntry kEntries[] = {
        MapFirst(),
        {MapEntryKind::kMessage, WM_USER + 1, nullptr},
        OnMessage(WM_USER + 1, &Derived::OnUser),
        OnMessage(WM_PAINT, &Derived::OnOwnPaint),
        OnCommandId(7, &Derived::OnSeven),
        {MapEntryKind::kCommand, 8, nullptr},
        {MapEntryKind::kMessage, WM_USER + 2, nullptr},
        MapEnd(),
    };
    static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
    return &kMap;
  }
  LRESULT OnUser(WPARAM, LPARAM) { return 11; }
  LRESULT OnOwnPaint(WPARAM, LPARAM) {
    Calls().push_back("own paint");
    PAINTSTRUCT paint;
    BeginPaint(GetHandle(), &paint);
    EndPaint(GetHandle(), &paint);
    return 0;
  }
  LRESULT OnSeven(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam + lParam); }
};

// A further class whose map names WM_USER + 2 with a null handler and WM_USER + 1 again: the
// derived entry wins over the base's.
class MostDerived : public Derived {
 public:
  const MessageMap* GetMessageMap() const override {
    static const MessageMapEntry kEntries[] = {
        MapFirst(),
        OnMessage(WM_USER + 1, &MostDerived::OnUserAgain),
        MapEnd(),
    };
    static const MessageMap kMap{Derived::GetMessageMap(), kEntries};
    return &kMap;
  }
  LRESULT OnUserAgain(WPARAM, LPARAM) { return 22; }
};

class MessageMapTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    Calls().clear();
  }
};

TEST_F(MessageMapTest, LookupTakesTheFirstHandlerFromTheMostDerivedMap) {
  Derived derived;
  ASSERT_TRUE(derived.Make(u"DerivedWindow"));
  MostDerived most;
  ASSERT_TRUE(most.Make(u"MostDerivedWindow"));
  EXPECT_EQ(SendMessageW(derived.GetHandle(), WM_USER + 1, 0, 0), 11);  // the null entry is passed over
  EXPECT_EQ(SendMessageW(most.GetHandle(), WM_USER + 1, 0, 0), 22);
  EXPECT_EQ(SendMessageW(derived.GetHandle(), WM_USER + 2, 0, 0), 0);  // only a null entry: DefProc
  EXPECT_EQ(FindMessageHandler(derived.GetMessageMap(), WM_USER + 2), nullptr);
  EXPECT_NE(FindMessageHandler(derived.GetMessageMap(), WM_HELP), nullptr);  // from the base map
}

TEST_F(MessageMapTest, CommandsDispatchThroughTheChainOrReachDefProc) {
  MostDerived most;
  ASSERT_TRUE(most.Make(u"CommandWindow"));
  EXPECT_EQ(SendMessageW(most.GetHandle(), WM_COMMAND, MAKEWPARAM(7, 3), 4), MAKEWPARAM(7, 3) + 4);
  SendMessageW(most.GetHandle(), WM_COMMAND, 8, 0);
  SendMessageW(most.GetHandle(), WM_COMMAND, 9, 0);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"DefProc command 8", "DefProc command 9"}));
}

TEST_F(MessageMapTest, APaintEntryReplacesTheBasePaintPath) {
  Derived derived;
  ASSERT_TRUE(derived.Make(u"PaintingWindow"));
  Probe probe;
  ASSERT_TRUE(probe.Make(u"ProbeWindow"));
  InvalidateRect(nullptr, nullptr, TRUE);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(std::count(Calls().begin(), Calls().end(), "own paint"), 1);
  EXPECT_EQ(std::count(Calls().begin(), Calls().end(), "OnPaint inside BeginPaint"), 1);  // the probe only
  EXPECT_EQ(std::count(Calls().begin(), Calls().end(), "OnPaint without context"), 0);
}

TEST_F(MessageMapTest, MessagesBeforeBindingReachDefWindowProc) {
  struct Early : Probe {
    const MessageMap* GetMessageMap() const override {
      static const MessageMapEntry kEntries[] = {MapFirst(), OnMessage(WM_NCCREATE, &Early::OnNcCreate), MapEnd()};
      static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
      return &kMap;
    }
    LRESULT OnNcCreate(WPARAM, LPARAM) {
      Calls().push_back("bound too early");
      return TRUE;
    }
  } early;
  ASSERT_TRUE(early.Make(u"EarlyWindow"));
  EXPECT_TRUE(Calls().empty());  // WM_NCCREATE came before WM_CREATE bound the object
  EXPECT_EQ(GetWindowLongW(early.GetHandle(), GWL_USERDATA), reinterpret_cast<LONG_PTR>(&early));
}

TEST_F(MessageMapTest, HelpStartsTheViewerWithTheTopicAndNothingWithoutOne) {
  // A help viewer of our own on the device that notes each start and its topic.
  const std::filesystem::path viewer = m_device.root() / "peghelp.exe";
  test_support::WriteFileBytes(viewer, "#!/bin/sh\nprintf '[%s]' \"$1\" >> \"$MMSFORM_DEVICE/help-started.txt\"\n");
  std::filesystem::permissions(viewer, std::filesystem::perms::owner_all);
  const std::filesystem::path started = m_device.root() / "help-started.txt";
  Probe probe;
  ASSERT_TRUE(probe.Make(u"HelpWindow"));
  ULC_Global::GetGlobal()->helpTopic.Empty();
  EXPECT_EQ(SendMessageW(probe.GetHandle(), WM_HELP, 0, 0), 0);
  ULC_Global::GetGlobal()->helpTopic = CString(u"file:mmsform.htm#compose");
  EXPECT_EQ(SendMessageW(probe.GetHandle(), WM_HELP, 0, 0), 0);
  for (int i = 0; i < 300 && test_support::ReadFileBytes(started).empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // Time for a start without a topic to have noted itself too, had there been one.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(test_support::ReadFileBytes(started), "[file:mmsform.htm#compose]");
  ULC_Global::GetGlobal()->helpTopic.Empty();
}

TEST_F(MessageMapTest, ASecondWindowOfAClassDoesNotRegisterItAgain) {
  Probe first;
  ASSERT_TRUE(first.Make(u"SharedClass"));
  WNDCLASSW before{};
  ASSERT_TRUE(GetClassInfoW(nullptr, u"SharedClass", &before));
  Probe second;
  ASSERT_TRUE(second.Create(u"SharedClass", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, 0, nullptr));
  WNDCLASSW after{};
  ASSERT_TRUE(GetClassInfoW(nullptr, u"SharedClass", &after));
  EXPECT_EQ(after.hbrBackground, before.hbrBackground);  // still the first window's white brush
  DestroyWindow(first.GetHandle());
  DestroyWindow(second.GetHandle());
  Probe third;
  ASSERT_TRUE(third.CreateEx(0, u"SharedClass", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr));
  ASSERT_TRUE(GetClassInfoW(nullptr, u"SharedClass", &after));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(after.hbrBackground), 0x40000010u);  // registered afresh
}

TEST_F(MessageMapTest, AHandlerMayDestroyItsOwnWindow) {
  struct SelfDestroying : Probe {
    const MessageMap* GetMessageMap() const override {
      static const MessageMapEntry kEntries[] = {MapFirst(), OnMessage(WM_USER, &SelfDestroying::OnUser), MapEnd()};
      static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
      return &kMap;
    }
    LRESULT OnUser(WPARAM, LPARAM) {
      DestroyWindow(GetHandle());
      return 5;
    }
  } window;
  ASSERT_TRUE(window.Make(u"SelfDestroying"));
  PostMessageW(window.GetHandle(), WM_USER, 0, 0);
  platform::automation::PumpUntilIdle();
  EXPECT_FALSE(window.IsWindow());
  EXPECT_EQ(window.SendMessage(WM_USER, 0, 0), 0);  // guarded: nothing to send to
  EXPECT_FALSE(window.PostMessage(WM_USER, 0, 0));
  EXPECT_FALSE(window.ShowWindow(SW_SHOW));
  RECT r{};
  EXPECT_FALSE(window.GetClientRect(&r));
}

TEST_F(MessageMapTest, DestroyingTheObjectClosesItsWindow) {
  HWND hwnd = nullptr;
  {
    Derived derived;
    ASSERT_TRUE(derived.Make(u"ClosingWindow"));
    hwnd = derived.GetHandle();
  }
  EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
}  // namespace ui_test
