#include "controls_fixture.h"

#include "platform/controls/control_messages.h"

namespace controls_test {
namespace {

LRESULT OwnerProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* header = message == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam) : nullptr;
  ControlsTest::Log().push_back({message, wParam, lParam, header != nullptr ? header->code : 0});
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

std::vector<Seen>& ControlsTest::Log() {
  static std::vector<Seen> log;
  return log;
}

std::vector<Seen> ControlsTest::LogOf(UINT message) {
  std::vector<Seen> matching;
  for (const Seen& seen : Log()) {
    if (seen.message == message) matching.push_back(seen);
  }
  return matching;
}

void ControlsTest::SetUp() {
  platform::UseVirtualClock(true);
  platform::window::ResetWindowSystem();
  platform::automation::Reset();
  platform::automation::SetUnexpectedPromptHandler([](const platform::automation::Prompt& prompt) {
    ADD_FAILURE() << "unexpected prompt: " << std::string(prompt.text.begin(), prompt.text.end());
  });
  INITCOMMONCONTROLSEX init{sizeof init, ICC_BAR_CLASSES};
  InitCommonControlsEx(&init);
  ClearLog();
}

void ControlsTest::TearDown() {
  platform::window::ResetWindowSystem();
  platform::automation::Reset();
  platform::automation::SetUnexpectedPromptHandler(nullptr);
  platform::UseVirtualClock(false);
}

HWND ControlsTest::MakeOwner(RECT r) {
  WNDCLASSW existing{};
  if (!GetClassInfoW(nullptr, u"ControlsOwner", &existing)) {
    WNDCLASSW info{};
    info.lpfnWndProc = OwnerProcedure;
    info.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    info.lpszClassName = u"ControlsOwner";
    RegisterClassW(&info);
  }
  return CreateWindowExW(0, u"ControlsOwner", u"Owner", WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                         r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
}

POINT ScreenPoint(HWND hwnd, int x, int y) {
  POINT point{x, y};
  ClientToScreen(hwnd, &point);
  return point;
}

}  // namespace controls_test
