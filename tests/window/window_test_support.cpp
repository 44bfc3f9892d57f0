#include "window_test_support.h"

#include <map>

namespace window_test {
namespace {

std::map<UINT, Reaction>& Reactions() {
  static std::map<UINT, Reaction> reactions;
  return reactions;
}

LRESULT RecorderProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Log().push_back({hwnd, message, wParam, lParam});
  auto it = Reactions().find(message);
  if (it != Reactions().end()) {
    return it->second(hwnd, message, wParam, lParam);
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

const char16_t kRecorder[] = u"Recorder";

std::vector<Seen>& Log() {
  static std::vector<Seen> log;
  return log;
}

std::vector<Seen> LogOf(std::initializer_list<UINT> messages) {
  std::vector<Seen> out;
  for (const Seen& seen : Log()) {
    if (std::find(messages.begin(), messages.end(), seen.message) != messages.end()) {
      out.push_back(seen);
    }
  }
  return out;
}

void RegisterRecorder() {
  Log().clear();
  Reactions().clear();
  WNDCLASSW info{};
  info.lpfnWndProc = RecorderProcedure;
  info.cbWndExtra = 16;
  info.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
  info.lpszClassName = kRecorder;
  ASSERT_NE(RegisterClassW(&info), 0);
}

void ReactTo(UINT message, Reaction reaction) { Reactions()[message] = reaction; }

HWND MakeTop(const char16_t* title, RECT r, DWORD style) {
  return CreateWindowExW(0, kRecorder, title, style, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                         nullptr, nullptr, nullptr);
}

HWND MakeChild(HWND parent, RECT r, int id, DWORD style) {
  return CreateWindowExW(0, kRecorder, nullptr, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                         reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
}

}  // namespace window_test
