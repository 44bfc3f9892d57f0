#include "forms/text_xml_view_wnd.h"

#include "platform/controls/html_view.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"

namespace {

constexpr const WCHAR* kWindowClass = u"CTextXMLViewWnd";

}  // namespace

CTextXMLViewWnd::~CTextXMLViewWnd() {
  if (m_viewChild && IsWindow(m_viewChild) && m_childProcedure) {
    SetWindowLongW(m_viewChild, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(m_childProcedure));
    SetWindowLongW(m_viewChild, GWL_USERDATA, 0);
  }
}

const MessageMap* CTextXMLViewWnd::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_NOTIFY, &CTextXMLViewWnd::OnNotify),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CTextXMLViewWnd::Create(HWND parent, const RECT& rect) {
  HINSTANCE instance = ULC_Global::GetGlobal()->resourceModule.instance;
  if (!InitHTMLControl(instance)) return FALSE;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (!CWndBase::Create(kWindowClass, u"", WS_CHILD | WS_VISIBLE, rect.left, rect.top, width, height, instance,
                        parent, 0, kWhiteBackground)) {
    return FALSE;
  }
  m_htmlView = CreateWindowExW(0, kHtmlViewClass, u"", kHtmlViewStyle, 0, 0, width, height, GetHandle(), nullptr,
                               instance, nullptr);
  if (m_htmlView == nullptr) return FALSE;
  // The view's first child takes the input: it is subclassed so that key releases reach the read
  // view as they do from the hypertext control.
  m_viewChild = GetWindow(m_htmlView, GW_CHILD);
  if (m_viewChild) {
    SetWindowLongW(m_viewChild, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_childProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongW(m_viewChild, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&CTextXMLViewWnd::ChildProcedure)));
  }
  return TRUE;
}

LRESULT CTextXMLViewWnd::ChildProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CTextXMLViewWnd*>(GetWindowLongW(hwnd, GWL_USERDATA));
  if (self == nullptr || self->m_childProcedure == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_KEYUP) ::SendMessageW(self->GetParent(), WM_KEYUP, wParam, lParam);
  return CallWindowProcW(self->m_childProcedure, hwnd, message, wParam, lParam);
}

BOOL CTextXMLViewWnd::ShowFile(LPCWSTR path) {
  if (m_htmlView == nullptr || path == nullptr || *path == 0) return FALSE;
  const CString file(path);
  int slash = -1;
  for (int i = 0; i < file.GetLength(); ++i) {
    if (file[i] == '/' || file[i] == '\\') slash = i;
  }
  m_folder = slash >= 0 ? file.Left(slash + 1) : CString();
  const CString address = CString(u"file://") + file.View();
  ::SendMessageW(m_htmlView, DTM_NAVIGATE, 0, reinterpret_cast<LPARAM>(address.GetString()));
  ::SendMessageW(GetParent(), kReadHtmlFolder, 0, reinterpret_cast<LPARAM>(m_folder.GetString()));
  return TRUE;
}

LRESULT CTextXMLViewWnd::OnNotify(WPARAM, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header == nullptr || header->hwndFrom != m_htmlView) return 0;
  if (header->code == NM_HOTSPOT || header->code == NM_CONTEXTMENU) {
    ::SendMessageW(GetParent(), kReadHtmlLink, 0, lParam);
  }
  return 0;
}
