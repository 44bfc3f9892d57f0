#include "forms/slide_sorter.h"

#include "engines/media_lengths.h"
#include "forms/cdma_content.h"
#include "forms/composer_menu_rules.h"
#include "forms/dialog_soft_keys.h"
#include "forms/slide_sorter_window.h"
#include "forms/slide_sorting.h"
#include "platform/controls/menu_api.h"
#include "platform/dialog/dialog_api.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/dialog_base.h"
#include "ui/window_layout.h"

using namespace slide_sorter;

namespace {

class SlideSorterDialog : public CDialogBase {
 public:
  SlideSorterDialog(SlideSorting& sorting, std::function<bool()> roomForSlide)
      : m_sorting(sorting), m_room(std::move(roomForSlide)), m_list(sorting) {}

  const MessageMap* GetMessageMap() const override;

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
  LRESULT OnAddSlide(WPARAM wParam, LPARAM lParam);
  LRESULT OnDeleteSlide(WPARAM wParam, LPARAM lParam);
  LRESULT OnMoveLater(WPARAM wParam, LPARAM lParam);
  LRESULT OnMoveEarlier(WPARAM wParam, LPARAM lParam);
  LRESULT OnNaturalDuration(WPARAM wParam, LPARAM lParam);

 private:
  bool RoomForSlide() const;

  SlideSorting& m_sorting;
  std::function<bool()> m_room;
  SlideSorterWindow m_list;
};

const MessageMap* SlideSorterDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &SlideSorterDialog::OnInitDialog),
      OnMessage(WM_INITMENUPOPUP, &SlideSorterDialog::OnInitMenuPopup),
      OnCommandId(kAddSlide, &SlideSorterDialog::OnAddSlide),
      OnCommandId(kDeleteSlide, &SlideSorterDialog::OnDeleteSlide),
      OnCommandId(kMoveLater, &SlideSorterDialog::OnMoveLater),
      OnCommandId(kMoveEarlier, &SlideSorterDialog::OnMoveEarlier),
      OnCommandId(kNaturalDuration, &SlideSorterDialog::OnNaturalDuration),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

bool SlideSorterDialog::RoomForSlide() const {
  if (m_room) return m_room();
  return ComposerRoomForSlide(m_sorting.count(),
                              ULC_Global::GetGlobal()->flixFlag ? cdma_message_type::kFlix : cdma_message_type::kMms);
}

LRESULT SlideSorterDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  HWND keys = CreateDialogSoftKeys(GetHandle(), kSoftKeys);
  const RECT client = ClientAboveSoftKeys(GetHandle(), keys);
  if (m_list.Create(GetHandle(), client)) m_list.SetFocus();
  return FALSE;
}

void Enable(HMENU menu, UINT command, bool on) {
  EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

LRESULT SlideSorterDialog::OnInitMenuPopup(WPARAM wParam, LPARAM) {
  HMENU menu = reinterpret_cast<HMENU>(wParam);
  Enable(menu, kAddSlide, RoomForSlide());
  Enable(menu, kDeleteSlide, m_sorting.CanDeleteCurrent());
  Enable(menu, kMoveLater, m_sorting.CanMoveLater());
  Enable(menu, kMoveEarlier, m_sorting.CanMoveEarlier());
  return 0;
}

// The commands check their own conditions as well: they may come from elsewhere than the menu.
LRESULT SlideSorterDialog::OnAddSlide(WPARAM, LPARAM) {
  if (!RoomForSlide()) return 0;
  m_sorting.AddAfterCurrent();
  m_list.Rebuild();
  return 0;
}

LRESULT SlideSorterDialog::OnDeleteSlide(WPARAM, LPARAM) {
  if (!m_sorting.CanDeleteCurrent()) return 0;
  m_sorting.DeleteCurrent();
  m_list.Rebuild();
  return 0;
}

LRESULT SlideSorterDialog::OnMoveLater(WPARAM, LPARAM) {
  if (m_sorting.MoveCurrentTo(m_sorting.current() + 1)) m_list.Rebuild();
  return 0;
}

LRESULT SlideSorterDialog::OnMoveEarlier(WPARAM, LPARAM) {
  if (m_sorting.MoveCurrentTo(m_sorting.current() - 1)) m_list.Rebuild();
  return 0;
}

LRESULT SlideSorterDialog::OnNaturalDuration(WPARAM, LPARAM) {
  m_sorting.ResetDuration(m_sorting.current());
  m_list.RefreshRow(m_sorting.current());
  return 0;
}

}  // namespace

INT_PTR RunSlideSorter(HWND owner, MessageModel& model, bool& signatureFlag, int& currentSlide,
                       std::function<bool()> roomForSlide) {
  return RunSlideSorter(owner, model, signatureFlag, currentSlide, std::move(roomForSlide), EngineMediaLengths());
}

INT_PTR RunSlideSorter(HWND owner, MessageModel& model, bool& signatureFlag, int& currentSlide,
                       std::function<bool()> roomForSlide, const MediaLengthSource& lengths) {
  SlideSorting sorting(model, currentSlide, signatureFlag, lengths);
  INT_PTR result = -1;
  {
    SlideSorterDialog dialog(sorting, std::move(roomForSlide));
    result = dialog.DoModal(transport::ResourceInstance(), kDialog, owner);
  }
  if (result == -1 && !sorting.changed()) return -1;
  currentSlide = sorting.current();
  if (signatureFlag && !sorting.SignatureKept()) signatureFlag = false;
  return sorting.changed() ? 1 : 0;
}
