#include "platform/pim/contact_chooser.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/pim/contact_media.h"
#include "platform/pim/pim_store.h"
#include "platform/text/text_conversion.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen.h"

namespace platform::pim {
namespace {

constexpr WORD kListId = 100;
constexpr int kCancelled = -1;
// More requests than there are kinds of request is a malformed record.
constexpr DWORD kMaxRequests = 16;

struct ChoiceRow {
  std::int64_t contact = 0;
  ULONG property = 0;
  std::string value;
  std::string name;
  std::u16string text;  // as listed
};

// One row per contact, or with properties asked, one per offered field of each contact: set fields
// only, except for the all-fields request, which offers empty ones too.
std::vector<ChoiceRow> RowsFor(const CONTACTCHOICE& choice) {
  std::vector<ChoiceRow> rows;
  PimStore* store = PimStore::ForCurrentDevice();
  if (store == nullptr) return rows;
  std::vector<ULONG> offered;
  bool offerEmpty = false;
  for (DWORD i = 0; i < choice.cRequestedProperties; ++i) {
    const ULONG request = choice.rgRequestedProperties[i];
    offerEmpty = offerEmpty || request == kRequestAllFields;
    for (ULONG field : RequestFields(request)) {
      if (std::find(offered.begin(), offered.end(), field) == offered.end()) offered.push_back(field);
    }
  }
  for (std::int64_t id : store->Ids(PimKind::kContact)) {
    auto contact = store->FindContact(id);
    if (!contact) continue;
    const std::string name = DisplayName(*contact);
    if (choice.cRequestedProperties == 0) {
      rows.push_back({id, 0, {}, name, Utf8ToUtf16(name)});
      continue;
    }
    for (ULONG field : offered) {
      const std::string& value = *ContactField(*contact, field);
      if (value.empty() && !offerEmpty) continue;
      const std::string shown = name + " - " + std::string(FieldLabel(field)) + ": " + (value.empty() ? "(empty)" : value);
      rows.push_back({id, field, value, name, Utf8ToUtf16(shown)});
    }
  }
  return rows;
}

void CopyOut(std::string_view utf8, LPWSTR out, DWORD capacity) {
  if (out == nullptr || capacity == 0) return;
  const std::u16string text = Utf8ToUtf16(utf8);
  const std::size_t count = std::min<std::size_t>(text.size(), capacity - 1);
  std::copy_n(text.begin(), count, out);
  out[count] = 0;
}

// The live window: a list and OK and Cancel buttons.
struct ChooserState {
  int chosen = 0;  // row number from 1; kCancelled
  bool done = false;
};

int Scaled(int value) { return window::ScaleForDensity(value); }

int CaptionHeight() { return Scaled(22); }

// The title in a caption bar above the list, as the device's own pickers show it.
LRESULT Paint(HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, GetSysColorBrush(COLOR_WINDOW));
  RECT caption{0, 0, client.right, CaptionHeight()};
  FillRect(hdc, &caption, GetSysColorBrush(COLOR_ACTIVECAPTION));
  HGDIOBJ previous = SelectObject(hdc, controls::SystemUiFont());
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, GetSysColor(COLOR_CAPTIONTEXT));
  const std::u16string title = controls::TextOf(hwnd);
  RECT titleRect{Scaled(6), 0, client.right - Scaled(6), CaptionHeight()};
  DrawTextW(hdc, title.c_str(), -1, &titleRect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  SelectObject(hdc, previous);
  EndPaint(hwnd, &paint);
  return 0;
}

LRESULT Handle(ChooserState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: return Paint(hwnd);
    case WM_ERASEBKGND: return 1;
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      if (id == IDCANCEL) {
        state.chosen = kCancelled;
        state.done = true;
      } else if (id == IDOK || (id == kListId && code == LBN_DBLCLK)) {
        const LRESULT row = SendMessageW(GetDlgItem(hwnd, kListId), LB_GETCURSEL, 0, 0);
        if (row >= 0) {
          state.chosen = static_cast<int>(row) + 1;
          state.done = true;
        }
      }
      return 0;
    }
    case WM_CLOSE:
      state.chosen = kCancelled;
      state.done = true;
      return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT ChooserProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return controls::ControlProcedure<ChooserState>(hwnd, message, wParam, lParam, Handle);
}

HWND CreateChooserWindow(HWND owner, const std::u16string& title, const std::vector<ChoiceRow>& rows) {
  controls::EnsureControlClasses();
  controls::RegisterControlClass(kContactChooserClass, ChooserProcedure, COLOR_WINDOW);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HWND chooser = CreateWindowExW(WS_EX_TOPMOST, kContactChooserClass, title.c_str(), WS_POPUP, 0, 0, width, height,
                                 owner, nullptr, nullptr, nullptr);
  if (chooser == nullptr) return nullptr;
  const int buttonHeight = Scaled(24);
  const int top = CaptionHeight() + Scaled(4);
  HWND list = CreateWindowExW(0, u"LISTBOX", u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_NOTIFY,
                              Scaled(4), top, width - Scaled(8), height - top - buttonHeight - Scaled(32), chooser,
                              reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(kListId)), nullptr, nullptr);
  for (const ChoiceRow& row : rows) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.text.c_str()));
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  const int buttonWidth = Scaled(70);
  const int y = height - buttonHeight - Scaled(22);
  CreateWindowExW(0, u"BUTTON", u"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, width / 2 - buttonWidth - Scaled(4), y,
                  buttonWidth, buttonHeight, chooser, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(IDOK)),
                  nullptr, nullptr);
  CreateWindowExW(0, u"BUTTON", u"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP, width / 2 + Scaled(4), y, buttonWidth,
                  buttonHeight, chooser, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(IDCANCEL)), nullptr,
                  nullptr);
  ShowWindow(chooser, SW_SHOW);
  SetFocus(list);
  return chooser;
}

// Runs the window until a row is picked or the chooser is cancelled (Escape, Cancel, or IDCANCEL
// sent by the owner when it closes).
int RunChooserWindow(HWND owner, const std::u16string& title, const std::vector<ChoiceRow>& rows) {
  HWND chooser = CreateChooserWindow(owner, title, rows);
  if (chooser == nullptr) return kCancelled;
  ChooserState* state = controls::StateOf<ChooserState>(chooser);
  const bool reenableOwner = owner && IsWindowEnabled(owner);
  if (reenableOwner) EnableWindow(owner, FALSE);
  MSG msg;
  while (IsWindow(chooser) && !state->done) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      state->chosen = kCancelled;
      state->done = true;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  const int chosen = IsWindow(chooser) && state->done ? state->chosen : kCancelled;
  if (reenableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(chooser)) DestroyWindow(chooser);
  return chosen;
}

int AskHeadless(HWND owner, const std::u16string& title, const std::vector<ChoiceRow>& rows) {
  std::u16string listing;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    listing += Utf8ToUtf16(std::to_string(i + 1) + ". ") + rows[i].text + u"\n";
  }
  automation::Prompt prompt{u"ContactChooser", owner, title, listing, 0};
  return automation::Answer(prompt, 0);
}

}  // namespace
}  // namespace platform::pim

int ChooseContact(CONTACTCHOICE* choice) {
  using namespace platform::pim;
  if (choice == nullptr || choice->cbSize != sizeof(CONTACTCHOICE) ||
      (choice->cRequestedProperties > 0 && choice->rgRequestedProperties == nullptr) ||
      choice->cRequestedProperties > kMaxRequests ||
      ((choice->dwFlags & CCF_ASSIGNPHOTO) != 0 && choice->lpszPictureFile == nullptr)) {
    return 0;
  }
  const std::vector<ChoiceRow> rows = RowsFor(*choice);
  if (rows.empty()) return kCancelled;
  const std::u16string title = choice->lpszTitle ? choice->lpszTitle : u"Contacts";
  // A person at a live front-end answers for themselves, unless a script has answers waiting.
  const bool live = platform::window::WaitHandler() && platform::automation::PendingAnswers() == 0;
  const int chosen = live ? RunChooserWindow(choice->hwndOwner, title, rows) : AskHeadless(choice->hwndOwner, title, rows);
  if (chosen < 1 || static_cast<std::size_t>(chosen) > rows.size()) return kCancelled;
  const ChoiceRow& row = rows[static_cast<std::size_t>(chosen - 1)];
  if ((choice->dwFlags & CCF_ASSIGNPHOTO) != 0 && !SetContactPhotoFromFile(row.contact, choice->lpszPictureFile)) {
    return 0;
  }
  choice->lContactId = static_cast<LONG>(row.contact);
  choice->ulPropertyChosen = row.property;
  CopyOut(row.value, choice->lpszValue, choice->cchValue);
  CopyOut(row.name, choice->lpszName, choice->cchName);
  return 1;
}
