// A text part laid out as the read view shows it: a slide-sized host window holding the hypertext
// control, which keeps every notification the control sends or posts to it. Shared by the
// text-view command and the control's tests.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ui/hyper_text_ctrl.h"

namespace mmsform_tool {

struct TextViewNotice {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LinkRecord record;  // a copy of what wParam pointed to, for kHyperTextLinkOpened
};

class TextViewHost;

class TextViewScene {
 public:
  TextViewScene();
  ~TextViewScene();

  // Opens the host over the whole screen and sets the text (black on white, size 12); false with
  // a reason when the window or the layout fails.
  bool Open(std::u16string_view text, DWORD options, std::string* error);
  CHyperTextCtrl& Control() { return m_control; }
  HWND Host() const;
  // What reached the host since the last call, posted messages included (the queue is pumped).
  std::vector<TextViewNotice> TakeNotices();

 private:
  std::unique_ptr<TextViewHost> m_host;
  CHyperTextCtrl m_control;
};

// The text of a text part file: UTF-16LE after FF FE, else UTF-8 (a byte-order mark skipped).
bool ReadTextPart(const std::filesystem::path& file, std::u16string* text, std::string* error);

}  // namespace mmsform_tool
