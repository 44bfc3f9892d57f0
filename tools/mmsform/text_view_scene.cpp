#include "text_view_scene.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "platform/automation/automation.h"
#include "platform/controls/html_view.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_api.h"

namespace mmsform_tool {

class TextViewHost : public CWndBase {
 public:
  LRESULT DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kHyperTextTappedOutside || message == kHyperTextSelectionChanged ||
        message == kHyperTextLinkOpened || message == kHyperTextScrolled || message == WM_KEYUP ||
        message == kReadHtmlLink || message == kReadHtmlFolder) {
      TextViewNotice notice;
      notice.message = message;
      notice.wParam = wParam;
      notice.lParam = lParam;
      if (message == kHyperTextLinkOpened && wParam != 0) notice.record = *reinterpret_cast<const LinkRecord*>(wParam);
      if (message == kReadHtmlFolder && lParam != 0) {
        notice.htmlTarget = platform::Utf16ToUtf8(reinterpret_cast<LPCWSTR>(lParam));
      }
      if (message == kReadHtmlLink && lParam != 0) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        notice.htmlCode = header->code;
        if (header->code == NM_HOTSPOT) {
          const char* target = reinterpret_cast<const NM_HTMLVIEW*>(lParam)->szTarget;
          notice.htmlTarget = target ? target : "";
        } else {
          const auto* context = reinterpret_cast<const NM_HTMLCONTEXT*>(lParam);
          notice.htmlTarget = context->szLinkHREF ? context->szLinkHREF : "";
          notice.htmlPoint = context->pt;
        }
      }
      notices.push_back(notice);
      return 0;
    }
    return CWndBase::DefProc(hwnd, message, wParam, lParam);
  }
  std::vector<TextViewNotice> notices;
};

TextViewScene::TextViewScene() : m_host(std::make_unique<TextViewHost>()) {}

TextViewScene::~TextViewScene() {
  if (m_host->IsWindow()) DestroyWindow(m_host->GetHandle());
}

HWND TextViewScene::Host() const { return m_host->GetHandle(); }

bool TextViewScene::OpenHost(std::string* error) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  if (!m_host->Create(u"TextViewHost", u"Text", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr, 0,
                      CWndBase::kWhiteBackground)) {
    *error = "the host window cannot be created";
    return false;
  }
  return true;
}

bool TextViewScene::OpenHtml(std::u16string_view devicePath, std::string* error) {
  if (!OpenHost(error)) return false;
  RECT area{};
  GetClientRect(Host(), &area);
  const std::u16string path(devicePath);
  if (!m_html.Create(Host(), area) || !m_html.ShowFile(path.c_str())) {
    *error = "the HTML view cannot be created";
    return false;
  }
  platform::automation::PumpUntilIdle();
  return true;
}

bool TextViewScene::Open(std::u16string_view text, DWORD options, std::string* error) {
  if (!OpenHost(error)) return false;
  RECT area{};
  if (!m_control.Create(Host(), &area, WS_CHILD | WS_VISIBLE, options)) {
    *error = "the hypertext control cannot be created";
    return false;
  }
  m_control.SetColorsAndFont(RGB(0, 0, 0), RGB(255, 255, 255), 12);
  const std::u16string terminated(text);
  DWORD first[3] = {};
  DWORD second[3] = {};
  if (!m_control.SetText(terminated.c_str(), area.right, area.bottom, 0, first, second)) {
    *error = "the control refused the text (empty?)";
    return false;
  }
  platform::automation::PumpUntilIdle();
  return true;
}

std::vector<TextViewNotice> TextViewScene::TakeNotices() {
  platform::automation::PumpUntilIdle();
  std::vector<TextViewNotice> taken;
  taken.swap(m_host->notices);
  return taken;
}

bool IsMarkupFile(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".htm" || extension == ".html" || extension == ".xhtml" || extension == ".xml";
}

bool ReadTextPart(const std::filesystem::path& file, std::u16string* text, std::string* error) {
  constexpr std::uintmax_t kMaxBytes = 16u << 20;
  std::error_code code;
  const std::uintmax_t size = std::filesystem::file_size(file, code);
  if (code || size > kMaxBytes) {
    *error = code ? "cannot read " + file.string() : file.string() + " is larger than 16 MB";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) {
    *error = "cannot read " + file.string();
    return false;
  }
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    text->clear();
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text->push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return true;
  }
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  *text = platform::Utf8ToUtf16(bytes);
  return true;
}

}  // namespace mmsform_tool
