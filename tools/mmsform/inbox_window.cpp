#include "inbox_window.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

#include "platform/controls/shell_title_bar.h"
#include "platform/text_conversion.h"
#include "store_listing.h"

namespace mmsform_tool {
namespace {

std::u16string DateText(LONG seconds) {
  if (seconds <= 0) return u"";
  // The store gives the time in local time already.
  const std::time_t time = seconds;
  std::tm parts{};
  gmtime_r(&time, &parts);
  char text[16];
  std::strftime(text, sizeof text, "%d/%m/%y", &parts);
  return platform::Utf8ToUtf16(text);
}

std::u16string SizeText(LONG bytes) {
  char text[24];
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, "%ld B", static_cast<long>(std::max<LONG>(0, bytes)));
  } else {
    std::snprintf(text, sizeof text, "%ld KB", static_cast<long>((bytes + 1023) / 1024));
  }
  return platform::Utf8ToUtf16(text);
}

InboxRow RowFor(const StoreMessage& message) {
  CString sender = message.SenderName();
  if (sender.IsEmpty()) sender = message.SenderAddress();
  return InboxRow{std::u16string(sender.View()), std::u16string(message.Subject().View()), DateText(message.Date()),
                  SizeText(message.Size())};
}

}  // namespace

InboxWindow::~InboxWindow() {
  m_session.Close();
  if (IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
}

bool InboxWindow::Create(IMsgStore* store) {
  m_store = store;
  WNDCLASSW info{};
  if (!GetClassInfoW(nullptr, kInboxClass, &info)) {
    info.lpfnWndProc = &InboxWindow::Procedure;
    info.lpszClassName = kInboxClass;
    info.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    RegisterClassW(&info);
  }
  // The inbox sits below the shell's title bar, as the phone's applications do.
  const int top = platform::controls::ShowShellTitleBar();
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN) - top;
  m_hwnd = CreateWindowExW(0, kInboxClass, u"Inbox", WS_POPUP | WS_VISIBLE, 0, top, width, height, nullptr, nullptr,
                           nullptr, nullptr);
  if (m_hwnd == nullptr) return false;
  SetWindowLongW(m_hwnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (!m_list.Create(m_hwnd, RECT{0, 0, width, height})) return false;
  Reload();
  SetActiveWindow(m_hwnd);
  SetFocus(m_list.Handle());
  return true;
}

void InboxWindow::Reload() {
  m_entries.clear();
  std::vector<InboxRow> rows;
  if (const platform::StandardFolder* inbox = FolderNamed("Inbox")) {
    ForEachMessage(m_store, *inbox, [&](const EntryId& id) {
      StoreMessage message(std::make_shared<const EntryId>(id));
      if (!message.IsOpen()) return;
      m_entries.push_back(id);
      rows.push_back(RowFor(message));
    });
  }
  m_list.SetRows(std::move(rows));
}

bool InboxWindow::OpenRow(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= m_entries.size() || m_session.IsOpen()) return false;
  StoreMessage message(std::make_shared<const EntryId>(m_entries[static_cast<std::size_t>(row)]));
  if (!message.IsOpen()) return false;
  const HRESULT hr = m_session.Open(message.Get(), [this] { FormClosed(); });
  if (FAILED(hr)) {
    std::fprintf(stderr, "window: the read form did not open (0x%08lx)\n", static_cast<unsigned long>(hr));
    return false;
  }
  return true;
}

void InboxWindow::FormClosed() {
  // Reading may have changed what the list shows (the message's state); the inbox comes to the front.
  Reload();
  SetActiveWindow(m_hwnd);
  SetFocus(m_list.Handle());
  InvalidateRect(m_hwnd, nullptr, TRUE);
  Announce();
}

void InboxWindow::Announce() const {
  RECT row = m_list.RowRect(0);
  POINT topLeft{row.left, row.top};
  POINT bottomRight{row.right, row.bottom};
  ClientToScreen(m_list.Handle(), &topLeft);
  ClientToScreen(m_list.Handle(), &bottomRight);
  std::printf("{\"inbox\": \"shown\", \"messages\": %zu, \"first_row\": [%ld, %ld, %ld, %ld]}\n", m_entries.size(),
              static_cast<long>(topLeft.x), static_cast<long>(topLeft.y), static_cast<long>(bottomRight.x),
              static_cast<long>(bottomRight.y));
  std::fflush(stdout);
}

LRESULT InboxWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* inbox = reinterpret_cast<InboxWindow*>(GetWindowLongW(hwnd, GWL_USERDATA));
  // The read view opens from the message loop, once the form's frame handles its verb.
  if (inbox != nullptr && message == kInboxOpenRow) {
    inbox->OpenRow(static_cast<int>(wParam));
    return 0;
  }
  if (message == WM_SETFOCUS && inbox != nullptr && IsWindow(inbox->m_list.Handle())) {
    SetFocus(inbox->m_list.Handle());
    return 0;
  }
  if (message == WM_NCDESTROY && inbox != nullptr) {
    SetWindowLongW(hwnd, GWL_USERDATA, 0);
    inbox->m_hwnd = nullptr;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace mmsform_tool
