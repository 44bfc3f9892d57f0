#include "forms/use_object_dialog.h"

#include <algorithm>

#include "engines/wallpaper.h"
#include "forms/contact_assignment.h"
#include "forms/object_viewer_dialog.h"
#include "forms/video_player_dialog.h"
#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "transport/resource_module.h"

namespace {
constexpr DWORD kSvgFormat = 6;

bool IsSvg(MediaType type) {
  return media_type::KindOf(type) == media_type::kImage && media_type::FormatOf(type) == kSvgFormat;
}
}  // namespace

DWORD UseDialogFor(MediaType type) {
  switch (media_type::KindOf(type)) {
    case media_type::kImage:
      return IsSvg(type) ? use_object::kVideoDialog : use_object::kPictureDialog;
    case media_type::kAudio: return use_object::kSoundDialog;
    case media_type::kVideo: return use_object::kVideoDialog;
    default: return use_object::kOtherDialog;
  }
}

const MessageMap* CUseObjectDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CUseObjectDialog::OnInitDialog),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

bool CUseObjectDialog::Run(HWND owner) {
  m_owner = owner;
  m_choice = 0;
  DoModal(transport::ResourceInstance(), m_template, owner);
  // The choice is carried out once the dialog is gone, so that what it opens is not covered.
  return m_choice != 0 && Carry(m_choice);
}

LRESULT CUseObjectDialog::OnInitDialog(WPARAM, LPARAM) {
  // The sound dialog's first choice, the device's own ring tone, belongs to the phone's sound
  // settings, which this device does not have; a contact's ring tone is what it offers.
  if (m_template == use_object::kSoundDialog) {
    ::EnableWindow(::GetDlgItem(GetHandle(), use_object::kFirstChoice), FALSE);
    ::CheckDlgButton(GetHandle(), use_object::kSecondChoice, BST_CHECKED);
  } else if (m_template == use_object::kVideoDialog && IsSvg(m_type)) {
    // An SVG picture has no sound to ring with; it can only be played.
    ::EnableWindow(::GetDlgItem(GetHandle(), use_object::kSecondChoice), FALSE);
    ::CheckDlgButton(GetHandle(), use_object::kFirstChoice, BST_CHECKED);
  } else {
    ::CheckDlgButton(GetHandle(), use_object::kFirstChoice, BST_CHECKED);
  }
  return TRUE;
}

LRESULT CUseObjectDialog::OnOK(WPARAM, LPARAM) {
  int choice = 0;
  if (::IsDlgButtonChecked(GetHandle(), use_object::kFirstChoice) == BST_CHECKED) choice = use_object::kFirstChoice;
  if (::IsDlgButtonChecked(GetHandle(), use_object::kSecondChoice) == BST_CHECKED) choice = use_object::kSecondChoice;
  m_choice = choice;
  EndDialog(IDOK);
  return 0;
}

bool CUseObjectDialog::Carry(int choice) {
  switch (m_template) {
    case use_object::kPictureDialog: {
      if (choice == use_object::kSecondChoice) return AssignContactPhoto(m_owner, m_path);
      WallpaperRequest request;
      request.picture = m_path;
      request.mediaType = media_type::kNone;
      request.owner = m_owner;
      const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
      request.portrait = SIZE{std::min(width, height), std::max(width, height)};
      request.landscape = SIZE{std::max(width, height), std::min(width, height)};
      return SetWallpaper(request) != FALSE;
    }
    case use_object::kSoundDialog: return AssignContactRingTone(m_owner, m_path);
    case use_object::kVideoDialog: {
      if (choice == use_object::kSecondChoice) return !IsSvg(m_type) && AssignContactRingTone(m_owner, m_path);
      if (!IsSvg(m_type)) return PlayVideoFile(m_owner, m_path);
      SaveableObject object;
      object.path = m_path;
      const std::u16string_view path = m_path.View();
      object.name = CString(path.substr(path.find_last_of(u"\\/") + 1));
      object.type = m_type;
      object.present = true;
      return ShowOwnViewer(m_owner, object);
    }
    default: return false;
  }
}
