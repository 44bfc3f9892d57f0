#include "forms/message_info_dialog.h"

#include "forms/dialog_soft_keys.h"
#include <algorithm>
#include <functional>

#include "forms/read_dialogs.h"
#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "platform/gdi/gdi_api.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

namespace {

constexpr UINT kTitleText = 41241;
constexpr std::u16string_view kContinuationIndent = u"    ";
// A value longer than this is cut: the list is for reading at a glance, the details show the rest.
constexpr int kLongestValue = 2000;

}  // namespace

std::vector<CString> WrapRows(const CString& text, int width, const std::function<int(std::u16string_view)>& measure) {
  std::vector<CString> rows;
  const std::u16string_view all = text.View();
  std::size_t start = 0;
  while (start < all.size()) {
    // A row never starts with the space it was broken at.
    if (all[start] == u' ') {
      ++start;
      continue;
    }
    std::size_t end = start + 1;
    std::size_t lastBreak = std::u16string_view::npos;
    while (end < all.size() && measure(all.substr(start, end + 1 - start)) <= width) {
      if (all[end] == u' ' || all[end] == u';' || all[end] == u',') lastBreak = end;
      ++end;
    }
    if (end < all.size() && lastBreak != std::u16string_view::npos && all[end] != u' ') end = lastBreak + 1;
    rows.emplace_back(all.substr(start, end - start));
    start = end;
  }
  return rows;
}

const MessageMap* CMessageInfoDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CMessageInfoDialog::OnInitDialog),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

INT_PTR CMessageInfoDialog::Run(HWND owner) {
  return DoModal(transport::ResourceInstance(), kMessageInfoDialog, owner);
}

LRESULT CMessageInfoDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  // The template is the list dialog that the pickers share; this one names what it shows.
  ::SetWindowTextW(GetHandle(), transport::LoadResourceString(kTitleText));
  HWND list = GetDlgItem(kMessageInfoList);
  if (list != nullptr) {
    RECT client{};
    GetClientRect(&client);
    ::MoveWindow(list, 0, 0, client.right, std::max<LONG>(1, client.bottom), TRUE);
    FillList(list);
  }
  CreateDialogSoftKeys(GetHandle(), kDoneSoftKeys);
  return TRUE;
}

void CMessageInfoDialog::FillList(HWND list) {
  RECT rect{};
  ::GetClientRect(list, &rect);
  const int width = std::max<int>(1, rect.right - ::GetSystemMetrics(SM_CXVSCROLL) - 4);
  HDC dc = ::GetDC(list);
  HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
  auto measure = [dc](std::u16string_view text) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  };
  for (const InfoLine& line : m_lines) {
    CString value = line.value.GetLength() > kLongestValue ? line.value.Left(kLongestValue) : line.value;
    value.Replace(u"\r\n", u" ");
    value.Replace(u"\n", u" ");
    const CString whole = line.label + u" " + value.View();
    const std::vector<CString> rows = WrapRows(whole, width, measure);
    if (rows.empty()) continue;
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rows.front().GetString()));
    // What did not fit goes on in rows indented under the label, wrapped to what is left of the width.
    const CString rest = whole.Mid(rows.front().GetLength());
    const int indent = measure(kContinuationIndent);
    for (const CString& row : WrapRows(rest, std::max(1, width - indent), measure)) {
      const CString indented = CString(kContinuationIndent) + row.View();
      ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(indented.GetString()));
    }
  }
  ::SelectObject(dc, previous);
  ::ReleaseDC(list, dc);
}

INT_PTR ShowMessageInfoDialog(HWND owner, const StoreMessage& message) {
  CMessageInfoDialog dialog(MessageInfoLines(message));
  return dialog.Run(owner);
}
