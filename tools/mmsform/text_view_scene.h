// A text part laid out as the read view shows it: a slide-sized host window holding the hypertext
// control, which keeps every notification the control sends or posts to it. Shared by the
// text-view command and the control's tests.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "forms/text_xml_view_wnd.h"
#include "ui/hyper_text_ctrl.h"

namespace mmsform_tool {

struct TextViewNotice {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LinkRecord record;  // a copy of what wParam pointed to, for kHyperTextLinkOpened
  UINT htmlCode = 0;  // for kReadHtmlLink: NM_HOTSPOT or NM_CONTEXTMENU
  std::string htmlTarget;  // its target; for kReadHtmlFolder, the folder (UTF-8)
  POINT htmlPoint{};  // NM_CONTEXTMENU's point
};

class TextViewHost;

class TextViewScene {
 public:
  TextViewScene();
  ~TextViewScene();

  // Opens the host over the whole screen and sets the text (black on white, size 12); false with
  // a reason when the window or the layout fails.
  bool Open(std::u16string_view text, DWORD options, std::string* error);
  // The same host with the HTML view showing a file of the device (a device path).
  bool OpenHtml(std::u16string_view devicePath, std::string* error);
  CHyperTextCtrl& Control() { return m_control; }
  CTextXMLViewWnd& HtmlView() { return m_html; }
  HWND Host() const;
  // What reached the host since the last call, posted messages included (the queue is pumped).
  std::vector<TextViewNotice> TakeNotices();

 private:
  bool OpenHost(std::string* error);

  std::unique_ptr<TextViewHost> m_host;
  CHyperTextCtrl m_control;
  CTextXMLViewWnd m_html;
};

// Whether a text part file is shown by the HTML view (HTML, XHTML or XML by its extension).
bool IsMarkupFile(const std::filesystem::path& file);

// The text of a text part file: UTF-16LE after FF FE, else UTF-8 (a byte-order mark skipped).
bool ReadTextPart(const std::filesystem::path& file, std::u16string* text, std::string* error);

}  // namespace mmsform_tool
