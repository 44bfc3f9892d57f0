#include "inbox_window.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <memory>
#include <string_view>

#include "platform/controls/menu_api.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/controls/shell_title_bar.h"
#include "platform/text/text_conversion.h"
#include "store_listing.h"

namespace mmsform_tool {
namespace {

// Posted to the inbox once a compose form has closed: the driver behind it may go only then.
constexpr UINT kInboxComposeClosed = WM_APP + 2;
constexpr WORD kNewCommand = 100;
constexpr WORD kFirstFolderCommand = 110;
// The folders the inbox shows, in the order of its menu; the first is what it opens on.
constexpr const char16_t* kFolders[] = {u"Inbox", u"Drafts", u"Outbox", u"Sent Items"};
constexpr std::size_t kFolderCount = std::size(kFolders);

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

// The sender of a received message; whom it goes to for one written here.
InboxRow RowFor(const StoreMessage& message, bool outgoing) {
  CString party = outgoing ? message.ToList() : message.SenderName();
  if (party.IsEmpty()) party = outgoing ? message.ToAddresses() : message.SenderAddress();
  return InboxRow{std::u16string(party.View()), std::u16string(message.Subject().View()), DateText(message.Date()),
                  SizeText(message.Size())};
}

}  // namespace

InboxWindow::~InboxWindow() {
  CloseForm();
  if (IsWindow(m_softKeys)) DestroyWindow(m_softKeys);
  if (IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
}

void InboxWindow::CloseForm() {
  m_session.Close();
  if (m_composer) {
    m_composer->Close();
    m_composer->Finish();
    m_composer.reset();
  }
}

// "New" on the left key; "Menu" on the right opens the folders.
bool InboxWindow::MakeSoftKeys() {
  HMENU bar = CreateMenu();
  HMENU folders = CreatePopupMenu();
  for (std::size_t i = 0; i < kFolderCount; ++i) {
    AppendMenuW(folders, MF_STRING, kFirstFolderCommand + i, kFolders[i]);
  }
  AppendMenuW(bar, MF_STRING, kNewCommand, u"New");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(folders), u"Menu");
  m_softKeys = platform::controls::CreateMenuBarForMenu(m_hwnd, bar);
  return m_softKeys != nullptr;
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
  m_hwnd = CreateWindowExW(0, kInboxClass, kFolders[0], WS_POPUP | WS_VISIBLE, 0, top, width, height, nullptr,
                           nullptr, nullptr, nullptr);
  if (m_hwnd == nullptr) return false;
  SetWindowLongW(m_hwnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (!MakeSoftKeys()) return false;
  // The soft keys stand over the bottom of the window.
  if (!m_list.Create(m_hwnd, RECT{0, 0, width, height - GetSystemMetrics(SM_CYMENU)})) return false;
  Reload();
  SetActiveWindow(m_hwnd);
  SetFocus(m_list.Handle());
  return true;
}

void InboxWindow::Reload() {
  m_entries.clear();
  std::vector<InboxRow> rows;
  const bool outgoing = m_folder != 0;
  if (const platform::StandardFolder* folder = FolderNamed(platform::Utf16ToUtf8(kFolders[m_folder]))) {
    ForEachMessage(m_store, *folder, [&](const EntryId& id) {
      StoreMessage message(std::make_shared<const EntryId>(id));
      if (!message.IsOpen()) return;
      m_entries.push_back(id);
      rows.push_back(RowFor(message, outgoing));
    });
  }
  m_list.SetPartyTitle(outgoing ? u"To" : u"From");
  m_list.SetRows(std::move(rows));
}

bool InboxWindow::ShowFolder(const char16_t* name) {
  for (std::size_t i = 0; i < kFolderCount; ++i) {
    if (std::u16string_view(kFolders[i]) != name) continue;
    m_folder = i;
    // The shell's title bar names the folder shown.
    SetWindowTextW(m_hwnd, kFolders[i]);
    Reload();
    return true;
  }
  return false;
}

bool InboxWindow::NewMessage() { return StartCompose(m_newMessage); }

bool InboxWindow::StartCompose(const ComposeOptions& options) {
  if (m_session.IsOpen() || m_composer) return false;
  m_composer = std::make_unique<ComposeDriver>(m_module, m_store, options);
  HWND inbox = m_hwnd;
  ShowWindow(m_softKeys, SW_HIDE);
  if (!m_composer->Start([inbox] { PostMessageW(inbox, kInboxComposeClosed, 0, 0); })) {
    m_composer.reset();
    ShowWindow(m_softKeys, SW_SHOWNOACTIVATE);
    return false;
  }
  return true;
}

void InboxWindow::ComposeClosed() {
  if (!m_composer || m_composer->IsOpen()) return;
  const ComposeOutcome outcome = m_composer->Finish();
  m_composer.reset();
  // The person sees where the message went: the Outbox for one sent, Drafts for one saved.
  if (outcome.folder == nullptr || !ShowFolder(outcome.folder->name)) Reload();
  FormClosed();
}

void InboxWindow::OnCommand(WORD id) {
  if (id == kNewCommand) {
    NewMessage();
  } else if (id >= kFirstFolderCommand && id < kFirstFolderCommand + kFolderCount) {
    ShowFolder(kFolders[id - kFirstFolderCommand]);
    Announce();
  }
}

bool InboxWindow::OpenRow(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= m_entries.size() || m_session.IsOpen() || m_composer) return false;
  const EntryId& entry = m_entries[static_cast<std::size_t>(row)];
  // A draft is the person's own message still being written: it opens to be written on.
  if (std::u16string_view(kFolders[m_folder]) == u"Drafts") {
    m_reopenDraft.mode = 5;
    m_reopenDraft.source = HexOf(entry);
    return StartCompose(m_reopenDraft);
  }
  StoreMessage message(std::make_shared<const EntryId>(entry));
  if (!message.IsOpen()) return false;
  ShowWindow(m_softKeys, SW_HIDE);
  const HRESULT hr = m_session.Open(message.Get(), [this] {
    Reload();
    FormClosed();
  });
  if (FAILED(hr)) {
    ShowWindow(m_softKeys, SW_SHOWNOACTIVATE);
    std::fprintf(stderr, "window: the read form did not open (0x%08lx)\n", static_cast<unsigned long>(hr));
    return false;
  }
  return true;
}

void InboxWindow::FormClosed() {
  // Reading may have changed what the list shows (the message's state); the inbox comes to the front.
  ShowWindow(m_softKeys, SW_SHOWNOACTIVATE);
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
  RECT keys{};
  GetWindowRect(m_softKeys, &keys);
  std::printf("{\"inbox\": \"shown\", \"folder\": \"%s\", \"messages\": %zu, \"first_row\": [%ld, %ld, %ld, %ld], "
              "\"soft_keys\": [%ld, %ld, %ld, %ld]}\n",
              platform::Utf16ToUtf8(kFolders[m_folder]).c_str(), m_entries.size(), static_cast<long>(topLeft.x),
              static_cast<long>(topLeft.y), static_cast<long>(bottomRight.x), static_cast<long>(bottomRight.y),
              static_cast<long>(keys.left), static_cast<long>(keys.top), static_cast<long>(keys.right),
              static_cast<long>(keys.bottom));
  std::fflush(stdout);
}

LRESULT InboxWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* inbox = reinterpret_cast<InboxWindow*>(GetWindowLongW(hwnd, GWL_USERDATA));
  // The read view opens from the message loop, once the form's frame handles its verb.
  if (inbox != nullptr && message == kInboxOpenRow) {
    inbox->OpenRow(static_cast<int>(wParam));
    return 0;
  }
  if (inbox != nullptr && message == kInboxComposeClosed) {
    inbox->ComposeClosed();
    return 0;
  }
  if (inbox != nullptr && message == WM_COMMAND) {
    inbox->OnCommand(LOWORD(wParam));
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
