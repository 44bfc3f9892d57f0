#include "forms/composer_menu_rules.h"

#include <array>
#include <utility>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/cdma_content.h"
#include "platform/gdi/gdi_raii.h"
#include "transport/resource_module.h"
#include "ui/density.h"

using namespace composer_command;

namespace {

constexpr std::array<std::pair<UINT, COLORREF>, 12> kColours{{
    {40426, 0xFFFFFF}, {40427, 0x241CED}, {40428, 0x9999FF}, {40429, 0x1D94F7},
    {40430, 0x99CCFF}, {40431, 0x99F7FF}, {40432, 0x4AB539}, {40433, 0x9CD3A3},
    {40434, 0xCB8C44}, {40435, 0xFFCC99}, {40436, 0xCC66CC}, {40437, 0xCCCCCC},
}};

// The texts that a Flix message (videos) and an MMS message (pictures) give the visual commands.
constexpr UINT kRemoveVideoText = 41161;
constexpr UINT kRemovePictureText = 41162;
constexpr UINT kInsertVideoText = 41163;
constexpr UINT kInsertPictureText = 41164;
// The item that turns a form opened for one insertion into the full composer.
constexpr UINT kLeaveStartActionText = 40746;

// Where the capture items and the background items sit in the soft-key menu (menu 250): the
// separator above the capture items, and the background popup with its separator first.
constexpr UINT kCaptureSeparatorPosition = 5;
constexpr UINT kCloseAfterCapturePosition = 9;
constexpr UINT kSendOptionsPosition = 4;

bool Has(HMENU menu, UINT command) { return GetMenuState(menu, command, MF_BYCOMMAND) != kMenuItemNotFound; }

void Enable(HMENU menu, UINT command, bool on) {
  EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

bool IsAt(HMENU menu, UINT position, UINT command) {
  return static_cast<int>(position) < GetMenuItemCount(menu) &&
         GetMenuItemID(menu, static_cast<int>(position)) == command;
}

// Gives an item another text, keeping its state; nothing when the item or the text is missing.
void Reword(HMENU menu, UINT command, UINT textId) {
  const CString text = transport::LoadResourceString(textId);
  if (!Has(menu, command) || text.IsEmpty()) return;
  const UINT state = GetMenuState(menu, command, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED);
  ModifyMenuW(menu, command, MF_BYCOMMAND | MF_STRING | state, command, text.GetString());
}

bool SupportsCdma() { return GetConfigValue(numeric_setting::kIsSupportCDMA) != 0; }

bool HoldsAtTopLevel(HMENU menu, UINT command) {
  for (int position = 0; position < GetMenuItemCount(menu); ++position) {
    if (GetMenuItemID(menu, position) == command) return true;
  }
  return false;
}

// A form opened for one insertion shows only that object; the first item of its menu leads to the
// full composer. It comes off before the other rules run, since they find items by position.
void RemoveStartActionItem(HMENU menu) {
  if (!IsAt(menu, 0, kLeaveStartAction)) return;
  DeleteMenu(menu, 0, MF_BYPOSITION);
  DeleteMenu(menu, 0, MF_BYPOSITION);  // its separator
}

void AddStartActionItem(HMENU menu) {
  const CString text = transport::LoadResourceString(kLeaveStartActionText);
  if (text.IsEmpty()) return;
  InsertMenuW(menu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, kLeaveStartAction, text.GetString());
}

void ApplyCdmaWording(HMENU menu, int cdmaType) {
  if (cdmaType == cdma_message_type::kFlix) {
    Reword(menu, kInsertVisual, kInsertVideoText);
    Reword(menu, kRemoveVisual, kRemoveVideoText);
    DeleteMenu(menu, kInsertAudio, MF_BYCOMMAND);
    DeleteMenu(menu, kRemoveAudio, MF_BYCOMMAND);
  } else if (cdmaType == cdma_message_type::kMms) {
    Reword(menu, kInsertVisual, kInsertPictureText);
    Reword(menu, kRemoveVisual, kRemovePictureText);
  }
}

void ApplySlideRules(HMENU menu, const ComposerMenuState& state) {
  Enable(menu, kAddSlide, state.mayAddAfterCurrent && ComposerRoomForSlide(state.slideCount, state.cdmaType));
  Enable(menu, kDeleteSlide, state.slideCount >= 2 || state.anySlideHasObject);
  Enable(menu, kRemoveVisual, state.currentHasPicture || state.currentHasVideo);
  Enable(menu, kRemoveAudio, state.currentHasAudio);
  Enable(menu, kRemoveText, state.currentHasText);
  Enable(menu, kInsertAudio, !state.currentHasVideo);
  Enable(menu, kInsertContact, state.focusInHeader);
  Enable(menu, kInsertCallNumber, !state.focusInHeader);
}

// Capture items the device cannot use go; when both went, so does the separator that set them off.
void ApplyCaptureRules(HMENU menu, const ComposerMenuState& state) {
  if (!(GetConfigMask(2, kCaptureVideoMask) != 0 && state.canCaptureVideos)) {
    DeleteMenu(menu, kCaptureVideo, MF_BYCOMMAND);
  }
  if (!(GetConfigMask(2, kCapturePictureMask) != 0 && state.canCapturePictures)) {
    DeleteMenu(menu, kCapturePicture, MF_BYCOMMAND);
  }
  if (!Has(menu, kCapturePicture) && !Has(menu, kCaptureVideo) &&
      IsAt(menu, kCloseAfterCapturePosition, kCloseAsk)) {
    DeleteMenu(menu, kCaptureSeparatorPosition, MF_BYPOSITION);
  }
  Enable(menu, kCapturePicture, state.mayCapturePicture);
  Enable(menu, kCaptureVideo, state.mayCaptureVideo);
}

// With a root layout the background commands show their colours; without one there is no
// background to set, and the background popup with its separator leaves the menu.
void ApplyBackgroundRules(HMENU menu, const ComposerMenuState& state) {
  if (GetConfigValue(numeric_setting::kNeedInsertRootLayout) == 0) {
    if (IsAt(menu, kSendOptionsPosition, kSendOptions)) {
      DeleteMenu(menu, 0, MF_BYPOSITION);
      DeleteMenu(menu, 0, MF_BYPOSITION);
    }
    return;
  }
  UINT current = kFirstColour;
  for (const auto& [command, colour] : kColours) {
    if (!Has(menu, command)) continue;
    const UINT itemState = GetMenuState(menu, command, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED);
    ModifyMenuW(menu, command, MF_BYCOMMAND | MF_OWNERDRAW | itemState, command,
                reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(colour)));
    if (colour == state.backgroundColour) current = command;
  }
  CheckMenuRadioItem(menu, kFirstColour, kLastColour, current, MF_BYCOMMAND);
}

void ApplyTemplateRules(HMENU menu, const ComposerMenuState& state, bool cdma) {
  const bool flix = cdma && state.cdmaType == cdma_message_type::kFlix;
  const bool restricted = GetConfigValue(numeric_setting::kRestrictUseTemplate) != 0 &&
                          state.cdmaType != cdma_message_type::kFlix && state.anySlideHasMedia;
  Enable(menu, kTemplates, !flix && !restricted);
  Enable(menu, kSaveAsTemplate, !flix);
}

}  // namespace

bool ComposerRoomForSlide(int slideCount, int cdmaType) {
  const LONG maxSlides = GetConfigValue(numeric_setting::kMaxSlides);
  if (slideCount >= maxSlides) return false;
  return !(SupportsCdma() && cdmaType == cdma_message_type::kFlix &&
           slideCount >= GetConfigValue(numeric_setting::kFlixSlideCountLimit));
}

void ApplyComposerMenuRules(HMENU menu, const ComposerMenuState& state) {
  if (!IsMenu(menu)) return;
  RemoveStartActionItem(menu);
  const bool mainPopup = HoldsAtTopLevel(menu, kSendOptions);
  const bool cdma = SupportsCdma();
  if (cdma) ApplyCdmaWording(menu, state.cdmaType);
  ApplySlideRules(menu, state);
  ApplyCaptureRules(menu, state);
  ApplyBackgroundRules(menu, state);
  ApplyTemplateRules(menu, state, cdma);
  if (mainPopup && state.oneInsertion) AddStartActionItem(menu);
}

std::optional<COLORREF> ComposerBackgroundColour(UINT command) {
  for (const auto& [id, colour] : kColours) {
    if (id == command) return colour;
  }
  return std::nullopt;
}

void MeasureComposerColourItem(MEASUREITEMSTRUCT& measure) {
  measure.itemWidth = static_cast<UINT>(ScaleX(96));
  measure.itemHeight = static_cast<UINT>(ScaleY(18));
}

void DrawComposerColourItem(const DRAWITEMSTRUCT& draw) {
  if (draw.CtlType != ODT_MENU || draw.hDC == nullptr) return;
  RECT row = draw.rcItem;
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  FillRect(draw.hDC, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  // The mark of the current colour stands left of the swatch, where a radio mark would.
  const int markSize = ScaleX(6);
  const int markLeft = row.left + ScaleX(4);
  const int middle = (row.top + row.bottom) / 2;
  if (draw.itemState & ODS_CHECKED) {
    platform::gdi::UniqueBrush mark(CreateSolidBrush(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT)));
    RECT dot{markLeft, middle - markSize / 2, markLeft + markSize, middle - markSize / 2 + markSize};
    FillRect(draw.hDC, &dot, mark.Get());
  }
  RECT swatch{markLeft + markSize + ScaleX(4), row.top + ScaleY(3), row.right - ScaleX(4), row.bottom - ScaleY(3)};
  platform::gdi::UniqueBrush fill(CreateSolidBrush(static_cast<COLORREF>(draw.itemData)));
  FillRect(draw.hDC, &swatch, fill.Get());
  platform::gdi::UniqueBrush frame(CreateSolidBrush(GetSysColor((draw.itemState & ODS_GRAYED) ? COLOR_GRAYTEXT
                                                                                               : COLOR_MENUTEXT)));
  FrameRect(draw.hDC, &swatch, frame.Get());
}
