// What an object of a message can be used for (dialogs 212 picture, 213 sound, 220 video or SVG
// picture, 338 anything else): a picture as the wallpaper or a contact's photo, a sound or a video
// as a contact's ring tone, a video or an SVG picture played. OK does the chosen use once the
// dialog is gone; Cancel and dialog 338, which only informs, do nothing.
#pragma once

#include "model/media_types.h"
#include "platform/text/cstring.h"
#include "ui/dialog_base.h"

namespace use_object {
constexpr DWORD kPictureDialog = 212;
constexpr DWORD kSoundDialog = 213;
constexpr DWORD kVideoDialog = 220;
constexpr DWORD kOtherDialog = 338;
constexpr int kFirstChoice = 1001;
constexpr int kSecondChoice = 1002;
}  // namespace use_object

// The dialog for an object of the type: an SVG picture counts with the videos.
DWORD UseDialogFor(MediaType type);

class CUseObjectDialog : public CDialogBase {
 public:
  CUseObjectDialog(DWORD templateId, CString path, MediaType type)
      : m_template(templateId), m_path(std::move(path)), m_type(type) {}

  const MessageMap* GetMessageMap() const override;

  // True when the chosen use was carried out.
  bool Run(HWND owner);

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnOK(WPARAM wParam, LPARAM lParam) override;

 private:
  bool Carry(int choice);

  DWORD m_template;
  CString m_path;
  MediaType m_type;
  HWND m_owner = nullptr;
  int m_choice = 0;
};
