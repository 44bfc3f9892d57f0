#include "forms/save_objects_window.h"

#include <algorithm>
#include <cstdint>

#include "engines/media_engine_adapter.h"
#include "forms/object_folder.h"
#include "forms/object_icons.h"
#include "forms/object_saving.h"
#include "forms/object_viewer_dialog.h"
#include "forms/shell_open.h"
#include "forms/use_object_dialog.h"
#include "model/drm_handling.h"
#include "platform/controls/control_messages.h"
#include "platform/controls/list_view_api.h"
#include "platform/controls/menu_api.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/dialog/dialog_api.h"
#include "platform/text/wide_format.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/density.h"
#include "ui/window_layout.h"

namespace {

constexpr UINT kListFont = 12;
// The preview bar's height at 96 dots per inch, as the video view's two-button form.
constexpr int kPreviewBarHeight = 24;
constexpr int kMaxTitle = 256;
constexpr int kMenuItemCount = 5;

// The sort the last window used; the next one opens with it.
WORD g_lastSortKey = save_objects::kSortByName;
bool g_lastDescending = false;

bool IsSaveableKind(MediaType type) {
  const DWORD kind = media_type::KindOf(type);
  return (kind >= media_type::kImage && kind <= media_type::kPersonalData) || kind == media_type::kGeneric ||
         kind == media_type::kNoKind;
}

CString RowText(const SaveableObject& object) {
  CString text = object.name;
  text.AppendFormat(u"  %s", ObjectKindName(object.type).GetString());
  if (!object.present) {
    text += transport::LoadResourceString(object_text::kMissing).GetString();
  } else if (object.size < 1024) {
    text.AppendFormat(u", %u B", static_cast<unsigned>(object.size));
  } else {
    text.AppendFormat(u", %u KB", static_cast<unsigned>((object.size + 1023) / 1024));
  }
  if (object.forwardLock) text += transport::LoadResourceString(object_text::kProtected).GetString();
  return text;
}

// What LVM_SORTITEMS compares by: the rows' item data index the window's objects.
struct SortOrder {
  const std::vector<SaveableObject>* objects;
  bool byType;
  bool descending;
};

int CompareObjects(LPARAM first, LPARAM second, LPARAM sort) {
  const auto* order = reinterpret_cast<const SortOrder*>(sort);
  const SaveableObject& a = (*order->objects)[static_cast<std::size_t>(first)];
  const SaveableObject& b = (*order->objects)[static_cast<std::size_t>(second)];
  int result = 0;
  if (order->byType) result = static_cast<int>(a.type > b.type) - static_cast<int>(a.type < b.type);
  if (result == 0) result = a.name.CompareNoCase(b.name.View());
  return order->descending ? -result : result;
}

}  // namespace

CSaveObjectsWindow::CSaveObjectsWindow(MessageModel* model)
    : m_model(model), m_sortKey(g_lastSortKey), m_descending(g_lastDescending) {}

CSaveObjectsWindow::~CSaveObjectsWindow() {
  m_keepAwake.Stop();
  if (m_ownsMenu) DestroyMenu(m_menu);
  if (m_font != nullptr) DeleteObject(m_font);
  // The list view and the toolbar went with the window; the image lists are the window's own.
  if (m_icons != nullptr) ImageList_Destroy(m_icons);
  if (m_faces != nullptr) ImageList_Destroy(m_faces);
}

const MessageMap* CSaveObjectsWindow::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CSaveObjectsWindow::OnInitDialog),
      OnCommandId(1, &CSaveObjectsWindow::OnDone),
      OnCommandId(save_objects::kSortByName, &CSaveObjectsWindow::OnSort),
      OnCommandId(save_objects::kSortByType, &CSaveObjectsWindow::OnSort),
      OnCommandId(save_objects::kOpen, &CSaveObjectsWindow::OnOpen),
      OnCommandId(save_objects::kUse, &CSaveObjectsWindow::OnUse),
      OnCommandId(save_objects::kSave, &CSaveObjectsWindow::OnSave),
      OnCommandId(save_objects::kPlay, &CSaveObjectsWindow::OnPlay),
      OnCommandId(save_objects::kPause, &CSaveObjectsWindow::OnPause),
      OnCommandId(save_objects::kStop, &CSaveObjectsWindow::OnStop),
      OnMessage(WM_NOTIFY, &CSaveObjectsWindow::OnNotify),
      OnMessage(WM_INITMENUPOPUP, &CSaveObjectsWindow::OnInitMenuPopup),
      OnMessage(engine_message::kAudioProgress, &CSaveObjectsWindow::OnAudioProgress),
      OnMessage(WM_TIMER, &CSaveObjectsWindow::OnTimer),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

bool CSaveObjectsWindow::Run(HWND owner) {
  return DoModal(transport::ResourceInstance(), kSaveObjectsDialog, owner) == 1;
}

LRESULT CSaveObjectsWindow::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  WCHAR title[kMaxTitle] = {};
  if (HWND parent = ::GetParent(GetHandle()); parent != nullptr && ::GetWindowTextW(parent, title, kMaxTitle) > 0) {
    ::SetWindowTextW(GetHandle(), title);
  }
  m_font = transport::CreateUiFont(kListFont, 0);
  HWND list = GetDlgItem(kObjectList);
  if (m_font != nullptr) ::SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
  m_icons = CreateObjectIcons();
  ::SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_icons));
  SHMENUBARINFO bar{};
  bar.cbSize = sizeof bar;
  bar.hwndParent = GetHandle();
  bar.nToolBarId = kSaveObjectsMenu;
  bar.hInstRes = transport::ResourceInstance();
  if (SHCreateMenuBar(&bar)) m_menuBar = bar.hwndMB;
  // The sort marks go into the bar's own menu; without a bar the window keeps a menu of its own.
  if (m_menuBar != nullptr) m_menu = reinterpret_cast<HMENU>(::SendMessageW(m_menuBar, SHCMBM_GETMENU, 0, 0));
  if (m_menu == nullptr) {
    m_menu = transport::LoadResourceMenu(kSaveObjectsMenu);
    m_ownsMenu = m_menu != nullptr;
  }
  if (m_model != nullptr) m_objects = SaveableObjects(*m_model);
  BuildPreviewBar();
  FillList();
  Sort();
  if (m_objects.size() == 1) {
    Select(0);
    if (m_objects.front().forwardLock) SetDrmContext(1, GetHandle(), 1);
  }
  return TRUE;
}

void CSaveObjectsWindow::Sort() {
  SortOrder order{&m_objects, m_sortKey == save_objects::kSortByType, m_descending};
  // The list keeps the selection with its row.
  ::SendMessageW(GetDlgItem(kObjectList), LVM_SORTITEMS, reinterpret_cast<WPARAM>(&order),
                 reinterpret_cast<LPARAM>(&CompareObjects));
  UpdateSortMenu();
}

void CSaveObjectsWindow::FillList() {
  HWND list = GetDlgItem(kObjectList);
  if (list == nullptr) return;
  ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t i = 0; i < m_objects.size(); ++i) {
    const CString text = RowText(m_objects[i]);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<LPWSTR>(text.GetString());
    item.iImage = ObjectIconFor(m_objects[i].type);
    item.lParam = static_cast<LPARAM>(i);
    ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

// The list fills the window above the preview bar, which runs along the bottom.
void CSaveObjectsWindow::BuildPreviewBar() {
  const int height = ScaleY(kPreviewBarHeight);
  HWND toolbar = m_buttons.CreateAlongBottom(GetHandle(), kPreviewToolbarId, height, &m_faces);
  if (toolbar != nullptr) {
    TBBUTTON buttons[] = {m_buttons.PlayButton(), {kStopImage, kStopCommand, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0}};
    ::SendMessageW(toolbar, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
    m_buttons.SetToolTipLayout(ToolTipLayout::kTwoButtons);
    m_progress = m_buttons.AddProgress(GetHandle(), kStopCommand);
  }
  RECT client{};
  GetClientRect(&client);
  RECT list{};
  HWND listWindow = GetDlgItem(kObjectList);
  ::GetWindowRect(listWindow, &list);
  POINT topLeft{list.left, list.top};
  ::ScreenToClient(GetHandle(), &topLeft);
  const int bottom = client.bottom - (toolbar != nullptr ? height : 0);
  ::MoveWindow(listWindow, topLeft.x, topLeft.y, client.right - topLeft.x, std::max(1, bottom - static_cast<int>(topLeft.y)),
               TRUE);
  UpdatePreviewButtons();
}

void CSaveObjectsWindow::UpdateSortMenu() {
  if (m_menu == nullptr) return;
  HMENU sort = GetSubMenu(m_menu, save_objects::kSortSubmenu);
  if (sort != nullptr) {
    CheckMenuRadioItem(sort, save_objects::kSortByName, save_objects::kSortByType, m_sortKey, MF_BYCOMMAND);
  }
  // The sort key's item names the key in use and its direction.
  WCHAR key[64] = {};
  GetMenuStringW(m_menu, m_sortKey, key, static_cast<int>(std::size(key)), MF_BYCOMMAND);
  const CString format = transport::LoadResourceString(object_text::kSortLabel);
  const std::u16string label =
      platform::FormatWide(format.GetString(), key, m_descending ? u"\u2193" : u"\u2191");
  if (GetMenuItemCount(m_menu) == kMenuItemCount && sort != nullptr) {
    ModifyMenuW(m_menu, save_objects::kSortSubmenu, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(sort),
                label.c_str());
  }
}

int CSaveObjectsWindow::Selection() const {
  HWND list = GetDlgItem(kObjectList);
  if (list == nullptr) return -1;
  const LRESULT row = ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  return row < 0 || static_cast<std::size_t>(row) >= m_objects.size() ? -1 : static_cast<int>(row);
}

void CSaveObjectsWindow::Select(int row) {
  LVITEMW item{};
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  // The list tells the window of the change (LVN_ITEMCHANGED).
  ::SendMessageW(GetDlgItem(kObjectList), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  ::SendMessageW(GetDlgItem(kObjectList), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

const SaveableObject* CSaveObjectsWindow::Selected() const {
  const int row = Selection();
  if (row < 0) return nullptr;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!::SendMessageW(GetDlgItem(kObjectList), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  const auto index = static_cast<std::size_t>(item.lParam);
  return index < m_objects.size() ? &m_objects[index] : nullptr;
}

std::vector<SaveableObject> CSaveObjectsWindow::Objects() const {
  std::vector<SaveableObject> shown;
  HWND list = GetDlgItem(kObjectList);
  const LRESULT count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT row = 0; row < count; ++row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = static_cast<int>(row);
    if (!::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) continue;
    if (static_cast<std::size_t>(item.lParam) < m_objects.size()) shown.push_back(m_objects[static_cast<std::size_t>(item.lParam)]);
  }
  return shown;
}

bool CSaveObjectsWindow::SaveEnabled() const {
  const SaveableObject* object = Selected();
  return object != nullptr && IsSaveableKind(object->type);
}

std::vector<CString> CSaveObjectsWindow::RowTexts() const {
  std::vector<CString> rows;
  HWND list = GetDlgItem(kObjectList);
  const LRESULT count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    WCHAR text[MAX_PATH * 2] = {};
    LVITEMW item{};
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    rows.emplace_back(text);
  }
  return rows;
}

void CSaveObjectsWindow::SelectionChanged() {
  // A sound being previewed belongs to the object that was selected; a sort keeps it playing.
  const SaveableObject* object = Selected();
  const MediaPart* part = object != nullptr ? object->part : nullptr;
  if (part != m_selectedPart) {
    StopPreview();
    // The bar's length was the sound before's.
    m_previewLength = 0;
    if (m_progress) m_progress->SetProgress(0, 0);
  }
  m_selectedPart = part;
  if (m_menu != nullptr) UpdateMenuState(m_menu);
  UpdatePreviewButtons();
}

// Play and stop are there for a sound that is present; stop also while a preview runs.
void CSaveObjectsWindow::UpdatePreviewButtons() {
  const SaveableObject* object = Selected();
  const bool sound = object != nullptr && object->present && media_type::KindOf(object->type) == media_type::kAudio;
  m_buttons.EnableButton(m_buttons.PlayShown() ? kPlayCommand : kPauseCommand, sound ? TRUE : FALSE);
  m_buttons.EnableButton(kStopCommand, sound || m_preview != save_objects::kPreviewStopped ? TRUE : FALSE);
}

void CSaveObjectsWindow::UpdateMenuState(HMENU menu) {
  const SaveableObject* object = Selected();
  const UINT saveState = SaveEnabled() ? MF_ENABLED : MF_GRAYED;
  EnableMenuItem(menu, save_objects::kSave, MF_BYCOMMAND | saveState);
  const UINT selected = object != nullptr && object->present ? MF_ENABLED : MF_GRAYED;
  EnableMenuItem(menu, save_objects::kOpen, MF_BYCOMMAND | selected);
  EnableMenuItem(menu, save_objects::kUse, MF_BYCOMMAND | selected);
  const bool sound = object != nullptr && object->present && media_type::KindOf(object->type) == media_type::kAudio;
  EnableMenuItem(menu, save_objects::kPlay, MF_BYCOMMAND | (sound && m_preview != save_objects::kPreviewPlaying ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(menu, save_objects::kPause, MF_BYCOMMAND | (m_preview == save_objects::kPreviewPlaying ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(menu, save_objects::kStop, MF_BYCOMMAND | (m_preview != save_objects::kPreviewStopped ? MF_ENABLED : MF_GRAYED));
}

LRESULT CSaveObjectsWindow::OnInitMenuPopup(WPARAM wParam, LPARAM) {
  if (HMENU popup = reinterpret_cast<HMENU>(wParam)) UpdateMenuState(popup);
  return 0;
}

LRESULT CSaveObjectsWindow::OnDone(WPARAM, LPARAM) {
  StopPreview();
  EndDialog(1);
  return 0;
}

LRESULT CSaveObjectsWindow::OnSort(WPARAM wParam, LPARAM) {
  const WORD key = LOWORD(wParam);
  m_descending = key == m_sortKey ? !m_descending : false;
  m_sortKey = key;
  g_lastSortKey = m_sortKey;
  g_lastDescending = m_descending;
  Sort();
  if (const int row = Selection(); row >= 0) ::SendMessageW(GetDlgItem(kObjectList), LVM_ENSUREVISIBLE, row, FALSE);
  return 0;
}

LRESULT CSaveObjectsWindow::OnNotify(WPARAM wParam, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header != nullptr && header->idFrom == kObjectList) {
    if (header->code == LVN_ITEMCHANGED) {
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
      if ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) SelectionChanged();
    } else if (header->code == NM_DBLCLK || header->code == NM_RETURN) {
      ::PostMessageW(GetHandle(), WM_COMMAND, save_objects::kOpen, 0);
    }
  }
  return DefProc(GetHandle(), WM_NOTIFY, wParam, lParam);
}

LRESULT CSaveObjectsWindow::OnOpen(WPARAM, LPARAM) {
  const SaveableObject* object = Selected();
  if (object == nullptr || !object->present) return 0;
  const SaveableObject chosen = *object;
  const bool recognised = media_type::KindOf(chosen.type) != media_type::kPersonalData &&
                          media_type::KindOf(chosen.type) != media_type::kNoKind &&
                          media_type::FormatOf(chosen.type) != media_type::kOtherFormat;
  if (!chosen.forwardLock && recognised) {
    StopPreview();
    OpenWithShell(chosen.path, GetHandle());
  } else if (media_type::KindOf(chosen.type) == media_type::kAudio) {
    ::SendMessageW(GetHandle(), WM_COMMAND, save_objects::kPlay, 0);
  } else {
    StopPreview();
    ShowOwnViewer(GetHandle(), chosen);
  }
  return 0;
}

LRESULT CSaveObjectsWindow::OnUse(WPARAM, LPARAM) {
  const SaveableObject* object = Selected();
  if (object == nullptr || !object->present) return 0;
  const SaveableObject chosen = *object;
  const DWORD dialog = UseDialogFor(chosen.type);
  if (dialog == use_object::kSoundDialog) StopPreview();
  CUseObjectDialog use(dialog, chosen.path, chosen.type);
  use.Run(GetHandle());
  return 0;
}

LRESULT CSaveObjectsWindow::OnSave(WPARAM, LPARAM) {
  m_lastSaved = false;
  if (!SaveEnabled()) return 0;
  const SaveableObject chosen = *Selected();
  if (chosen.path.IsEmpty()) {
    GetMMSGlobal()->MessageBoxW(GetHandle(), save_text::kNotCopied, MB_OK);
    return 0;
  }
  const MediaType type = SavedTypeOf(chosen.type);
  if (media_type::KindOf(type) == media_type::kPersonalData) {
    // The platform imports a contact card or a calendar entry when it opens one.
    m_lastSaved = OpenWithShell(chosen.path, GetHandle());
    return 0;
  }
  const CString folder = m_targetFolder.IsEmpty() ? FolderForObject(type) : m_targetFolder;
  m_lastSaved = SaveObjectToFile(folder, chosen.path, type, GetHandle());
  return 0;
}

LRESULT CSaveObjectsWindow::OnPlay(WPARAM, LPARAM) {
  const SaveableObject* object = Selected();
  if (object == nullptr || !object->present || media_type::KindOf(object->type) != media_type::kAudio) return 0;
  ULC_AudioEngine* engine = ULC_Global::GetGlobal()->InitAudioInstance();
  if (engine == nullptr) return 0;
  if (m_preview == save_objects::kPreviewStopped) {
    if (object->forwardLock) SetDrmContext(1, GetHandle(), 1);
    if (Audio_LoadFile(engine, object->path, GetHandle(), 0) <= 0) return 0;
    m_previewLength = std::max(0, Audio_GetAudioFileDuration(engine, object->path));
    if (m_progress) m_progress->SetProgress(0, m_previewLength);
  }
  if (Audio_Play(engine, 0, -1, 1, 100) == 0) return 0;
  SetPreview(save_objects::kPreviewPlaying);
  return 0;
}

LRESULT CSaveObjectsWindow::OnPause(WPARAM, LPARAM) {
  if (m_preview != save_objects::kPreviewPlaying) return 0;
  Audio_Pause(ULC_Global::GetGlobal()->InitAudioInstance());
  SetPreview(save_objects::kPreviewPaused);
  return 0;
}

LRESULT CSaveObjectsWindow::OnStop(WPARAM, LPARAM) {
  StopPreview();
  return 0;
}

void CSaveObjectsWindow::StopPreview(bool atEnd) {
  if (m_preview == save_objects::kPreviewStopped) return;
  if (ULC_AudioEngine* engine = ULC_Global::GetGlobal()->audioEngine.get()) {
    Audio_Stop(engine);
    Audio_UnloadFile(engine);
  }
  if (m_progress) m_progress->SetProgress(atEnd ? m_previewLength : 0, m_previewLength);
  SetPreview(save_objects::kPreviewStopped);
}

// The toolbar and the keep-awake timer follow the preview: pause and the timer exactly while it
// plays, play otherwise.
void CSaveObjectsWindow::SetPreview(int state) {
  m_preview = state;
  const bool playing = state == save_objects::kPreviewPlaying;
  if (playing) m_keepAwake.Start(GetHandle());
  else m_keepAwake.Stop();
  m_buttons.ShowPlayButton(!playing);
  UpdatePreviewButtons();
}

LRESULT CSaveObjectsWindow::OnAudioProgress(WPARAM wParam, LPARAM lParam) {
  // A report that comes after a stop belongs to no preview.
  if (m_preview == save_objects::kPreviewStopped) return 0;
  if (lParam > 0) m_previewLength = static_cast<int>(std::min<LPARAM>(lParam, INT32_MAX));
  // The engine reports the end of the sound with the position -1.
  if (static_cast<int>(wParam) == -1) {
    StopPreview(true);
    return 0;
  }
  const int position = static_cast<int>(std::min<WPARAM>(wParam, static_cast<WPARAM>(INT32_MAX)));
  if (m_progress) m_progress->SetProgress(std::min(position, m_previewLength), m_previewLength);
  return 0;
}

LRESULT CSaveObjectsWindow::OnTimer(WPARAM wParam, LPARAM) {
  m_keepAwake.Tick(static_cast<UINT_PTR>(wParam));
  return 0;
}

bool ShowSaveObjects(HWND owner, MessageModel* model) {
  CSaveObjectsWindow window(model);
  return window.Run(owner);
}
