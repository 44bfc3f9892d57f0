#include "forms/object_viewer_dialog.h"

#include <cstdint>
#include <optional>
#include <string>

#include "forms/read_view.h"
#include "forms/video_player_dialog.h"
#include "model/device_file.h"
#include "model/text_charset.h"
#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

namespace {

constexpr std::size_t kMaxShownBytes = 64u << 10;
constexpr int kTextControl = 1001;

// The object's text as it decodes; its name when it is no text.
CString TextOf(const SaveableObject& object) {
  const FileReadResult read = ReadDeviceFile(object.path.View(), kMaxShownBytes);
  if (read.status != FileReadStatus::kOk) return object.name;
  std::string contentType = "text/plain";
  const int code = CharsetCodeOfText(contentType, std::string_view(read.bytes).substr(0, 4));
  const std::optional<std::string> utf16 = ConvertText(read.bytes, code);
  if (!utf16) return object.name;
  std::u16string text;
  for (std::size_t i = 0; i + 1 < utf16->size(); i += 2) {
    const char16_t c = static_cast<char16_t>(static_cast<unsigned char>((*utf16)[i]) |
                                             static_cast<unsigned char>((*utf16)[i + 1]) << 8);
    if (c == 0) return object.name;  // binary data is no text to show
    if (c != 0xFEFF) text += c;
  }
  return CString(text);
}

}  // namespace

CObjectViewerDialog::~CObjectViewerDialog() = default;

const MessageMap* CObjectViewerDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CObjectViewerDialog::OnInitDialog),
      OnCommandId(1, &CObjectViewerDialog::OnDone),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

bool CObjectViewerDialog::Run(HWND owner) {
  return DoModal(transport::ResourceInstance(), kReadViewDialog, owner) == 1;
}

LRESULT CObjectViewerDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  ::SetWindowTextW(GetHandle(), m_object.name);
  RECT client{};
  GetClientRect(&client);
  if (media_type::KindOf(m_object.type) == media_type::kImage) {
    m_picture = std::make_unique<CImageView>(&m_svg, nullptr);
    m_picture->Create(GetHandle(), client, 0);
    int result = 0;
    if (m_picture->Load(m_object.path, m_object.type, &result, FALSE, 0, 0)) {
      m_picture->Play();
      return TRUE;
    }
    m_picture.reset();
  }
  m_text = TextOf(m_object);
  ::CreateWindowExW(0, u"EDIT", m_text, WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0,
                    0, client.right, client.bottom, GetHandle(),
                    reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(kTextControl)), nullptr, nullptr);
  return TRUE;
}

LRESULT CObjectViewerDialog::OnDone(WPARAM, LPARAM) {
  EndDialog(1);
  return 0;
}

bool ShowOwnViewer(HWND owner, const SaveableObject& object) {
  if (!object.present) return false;
  if (media_type::KindOf(object.type) == media_type::kVideo) return PlayVideoFile(owner, object.path);
  CObjectViewerDialog viewer(object);
  return viewer.Run(owner);
}
