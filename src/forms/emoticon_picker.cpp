#include "forms/emoticon_picker.h"

#include <algorithm>

#include "forms/dialog_soft_keys.h"
#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "platform/kernel/clock.h"
#include "platform/gdi/gdi_raii.h"
#include "platform/window/window_styles.h"
#include "transport/resource_module.h"
#include "ui/density.h"
#include "ui/window_layout.h"

namespace {
// A picture's cell at 96 dots per inch: the picture and room for the selection frame around it.
constexpr int kCellPadding = 6;
constexpr int kSelectionWidth = 2;
constexpr COLORREF kSelectionColour = 0x00C07030;
}  // namespace

const MessageMap* CEmoticonGrid::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_TIMER, &CEmoticonGrid::OnTimer),
      MapEnd(),
  };
  static const MessageMap kMap{CCellGrid::GetMessageMap(), kEntries};
  return &kMap;
}

CEmoticonGrid::~CEmoticonGrid() {
  if (m_timer && IsWindow()) KillTimer(emoticon_picker::kFrameTimer);
}

BOOL CEmoticonGrid::Create(HWND parent, const RECT& rect, EmoticonPlayer* player) {
  m_player = player;
  SetSelection(player->Set().Count() > 0 ? 0 : -1);
  if (!CWndBase::Create(u"EmoticonGrid", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, nullptr, parent,
                        emoticon_picker::kGridControl, kWhiteBackground)) {
    return FALSE;
  }
  OpenAnimations();
  return TRUE;
}

void CEmoticonGrid::OpenAnimations() {
  const int count = m_player->Set().Count();
  m_animations.clear();
  m_animations.resize(static_cast<std::size_t>(count));
  bool running = false;
  for (int i = 0; i < count; ++i) {
    const RECT picture = PictureRect(CellRect(i));
    const SIZE box{picture.right - picture.left, picture.bottom - picture.top};
    // Pictures that are not GIFs, or do not open as one, are drawn still.
    auto animation = GifAnimation::Open(m_player->Set().Picture(i).path, box);
    if (animation && animation->Running()) {
      running = true;
      m_animations[static_cast<std::size_t>(i)] = std::move(animation);
    }
  }
  if (running) {
    m_lastTick = GetTickCount();
    m_timer = SetTimer(emoticon_picker::kFrameTimer, emoticon_picker::kFrameTimerMs, nullptr) != 0;
  }
}

int CEmoticonGrid::AnimationFrame(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= m_animations.size()) return -1;
  const auto& animation = m_animations[static_cast<std::size_t>(index)];
  return animation ? animation->Frame() : -1;
}

int CEmoticonGrid::Count() const { return m_player != nullptr ? m_player->Set().Count() : 0; }

RECT CEmoticonGrid::PictureRect(const RECT& cell) const {
  RECT picture = cell;
  InflateRect(&picture, -ScaleX(kCellPadding), -ScaleX(kCellPadding));
  return picture;
}

LRESULT CEmoticonGrid::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam != emoticon_picker::kFrameTimer) return 0;
  const DWORD now = GetTickCount();
  const DWORD elapsed = now - m_lastTick;
  m_lastTick = now;
  bool running = false;
  for (std::size_t i = 0; i < m_animations.size(); ++i) {
    GifAnimation* animation = m_animations[i].get();
    if (animation == nullptr) continue;
    if (animation->Advance(elapsed)) {
      const RECT cell = CellRect(static_cast<int>(i));
      InvalidateRect(&cell, FALSE);
    }
    running = running || animation->Running();
  }
  if (!running) {
    KillTimer(emoticon_picker::kFrameTimer);
    m_timer = false;
  }
  return 0;
}

// The pictures are drawn at the size of the screen's own set: its folder's pictures were made for it.
SIZE CEmoticonGrid::CellSize() const {
  const int side = ScaleX(16) + 2 * ScaleX(kCellPadding);
  return SIZE{side, side};
}

void CEmoticonGrid::DrawCell(HDC hdc, int index, const RECT& cell, bool selected) const {
  const int padding = ScaleX(kCellPadding);
  if (selected) {
    platform::gdi::UniqueBrush frame(CreateSolidBrush(kSelectionColour));
    RECT outer = cell;
    InflateRect(&outer, -padding / 2, -padding / 2);
    FillRect(hdc, &outer, frame.Get());
    InflateRect(&outer, -ScaleX(kSelectionWidth), -ScaleX(kSelectionWidth));
    FillRect(hdc, &outer, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  RECT picture = PictureRect(cell);
  const std::size_t slot = static_cast<std::size_t>(index);
  const GifAnimation* animation = slot < m_animations.size() ? m_animations[slot].get() : nullptr;
  if (animation != nullptr) {
    DrawCentred(hdc, animation->Image(), picture);
  } else if (!m_player->Draw(hdc, index, picture)) {
    // A picture that cannot be shown leaves its text in the cell.
    const CString& text = m_player->Set().Text(index);
    DrawTextW(hdc, text, text.GetLength(), &picture, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

const MessageMap* CEmoticonPickerDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CEmoticonPickerDialog::OnInitDialog),
      OnCommandId(emoticon_picker::kChoose, &CEmoticonPickerDialog::OnChooseCommand),
      OnCommandId(emoticon_picker::kCancel, &CEmoticonPickerDialog::OnCancelCommand),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

std::optional<CString> CEmoticonPickerDialog::Run(HWND owner) {
  m_player.LoadConfiguredSet();
  DoModal(transport::ResourceInstance(), emoticon_picker::kDialog, owner);
  return m_chosen;
}

LRESULT CEmoticonPickerDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  ::SetWindowTextW(GetHandle(), transport::LoadResourceString(emoticon_picker::kTitle));
  HWND list = ::GetDlgItem(GetHandle(), emoticon_picker::kListControl);
  RECT area{};
  if (list != nullptr) {
    ::GetWindowRect(list, &area);
    ::MapWindowPoints(nullptr, GetHandle(), reinterpret_cast<POINT*>(&area), 2);
    ::DestroyWindow(list);
  } else {
    ::GetClientRect(GetHandle(), &area);
  }
  if (!m_grid.Create(GetHandle(), area, &m_player)) {
    EndDialog(IDCANCEL);
    return TRUE;
  }
  CreateDialogSoftKeys(GetHandle(), kOkCancelSoftKeys);
  m_grid.SetFocus();
  return FALSE;
}

LRESULT CEmoticonPickerDialog::OnOK(WPARAM wParam, LPARAM lParam) {
  const int selection = m_grid.Selection();
  // With nothing to offer there is nothing to choose: OK only closes the picker.
  if (selection >= 0 && selection < m_player.Set().Count()) m_chosen = m_player.Set().Text(selection);
  return CDialogBase::OnOK(wParam, lParam);
}

LRESULT CEmoticonPickerDialog::OnChooseCommand(WPARAM, LPARAM) { return OnOK(IDOK, 0); }

LRESULT CEmoticonPickerDialog::OnCancelCommand(WPARAM, LPARAM) { return OnCancel(IDCANCEL, 0); }

BOOL RunEmoticonPicker(HWND owner, CString* text) {
  CEmoticonPickerDialog dialog;
  std::optional<CString> chosen = dialog.Run(owner);
  if (!chosen) return FALSE;
  if (text != nullptr) *text = *chosen;
  return TRUE;
}
