// The input panel and the shell's full-screen state: kept as states that the forms set and tests
// read; the full-screen state also shows or hides the shell's title bar.
#include <map>

#include "platform/controls/control_messages.h"
#include "platform/controls/shell_title_bar.h"

namespace {

struct ShellState {
  DWORD inputPanel = SIPF_OFF;
  std::map<HWND, DWORD> fullScreen;
};

ShellState& State() {
  static ShellState state;
  return state;
}

}  // namespace

BOOL SipShowIM(DWORD flags) {
  State().inputPanel = flags & SIPF_ON;
  return TRUE;
}

DWORD SipGetState() { return State().inputPanel; }

BOOL SHFullScreen(HWND hwnd, DWORD state) {
  if (!IsWindow(hwnd)) return FALSE;
  State().fullScreen[hwnd] = state;
  platform::controls::UpdateShellTitleBar();
  return TRUE;
}

DWORD SHFullScreenState(HWND hwnd) {
  auto it = State().fullScreen.find(hwnd);
  return it == State().fullScreen.end() || !IsWindow(hwnd) ? 0 : it->second;
}
