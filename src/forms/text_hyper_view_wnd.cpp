#include "forms/text_hyper_view_wnd.h"

#include <algorithm>
#include <string>

#include "platform/kernel/file_api.h"
#include "transport/mms_global.h"

namespace {

constexpr DWORD kMaxTextBytes = 1u << 20;

}  // namespace

const MessageMap* CTextHyperViewWnd::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(kHyperTextTappedOutside, &CTextHyperViewWnd::OnTappedOutside),
      OnMessage(kHyperTextSelectionChanged, &CTextHyperViewWnd::OnSelectionChanged),
      OnMessage(kHyperTextLinkOpened, &CTextHyperViewWnd::OnLinkOpened),
      OnMessage(kHyperTextScrolled, &CTextHyperViewWnd::OnScrolled),
      OnMessage(WM_KEYUP, &CTextHyperViewWnd::OnKeyUp),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CTextHyperViewWnd::Create(HWND parent, const RECT& rect, DWORD options) {
  if (!CWndBase::Create(u"CTextHyperViewWnd", u"", WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top,
                        ULC_Global::GetGlobal()->resourceModule.instance, parent, 0, kWhiteBackground)) {
    return FALSE;
  }
  RECT area{};
  return m_control.Create(GetHandle(), &area, WS_CHILD | WS_VISIBLE, options);
}

BOOL CTextHyperViewWnd::ShowText(LPCWSTR text) {
  RECT client{};
  GetClientRect(&client);
  DWORD first[3];
  DWORD second[3];
  return m_control.SetText(text, client.right, client.bottom, 0, first, second);
}

BOOL CTextHyperViewWnd::ShowFile(LPCWSTR path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  const DWORD size = GetFileSize(file, nullptr);
  std::string bytes(std::min(size, kMaxTextBytes), '\0');
  DWORD read = 0;
  const BOOL ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  if (!ok) return FALSE;
  bytes.resize(read);
  std::u16string text;
  const std::size_t start = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                                    static_cast<unsigned char>(bytes[1]) == 0xFE
                                ? 2
                                : 0;
  for (std::size_t i = start; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return ShowText(text.c_str());
}

// The control posts a tap outside; it goes on as a post too.
LRESULT CTextHyperViewWnd::OnTappedOutside(WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(GetParent(), kHyperTextTappedOutside, wParam, lParam);
}

LRESULT CTextHyperViewWnd::OnSelectionChanged(WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(GetParent(), kHyperTextSelectionChanged, wParam, lParam);
}

LRESULT CTextHyperViewWnd::OnLinkOpened(WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(GetParent(), kHyperTextLinkOpened, wParam, lParam);
}

LRESULT CTextHyperViewWnd::OnScrolled(WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(GetParent(), kHyperTextScrolled, wParam, lParam);
}

LRESULT CTextHyperViewWnd::OnKeyUp(WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(GetParent(), WM_KEYUP, wParam, lParam);
}
