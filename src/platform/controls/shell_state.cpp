// The input panel and the shell's full-screen state: kept as states that the forms set and tests
// read, since the host draws neither a task bar nor an input panel.
#include <map>

#include "platform/controls/control_messages.h"

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
  return TRUE;
}

DWORD SHFullScreenState(HWND hwnd) {
  auto it = State().fullScreen.find(hwnd);
  return it == State().fullScreen.end() || !IsWindow(hwnd) ? 0 : it->second;
}
