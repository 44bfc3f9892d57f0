#include "forms/save_objects_window.h"

#include <algorithm>

#include "engines/media_engine_adapter.h"
#include "forms/object_folder.h"
#include "forms/object_saving.h"
#include "forms/object_viewer_dialog.h"
#include "forms/shell_open.h"
#include "forms/use_object_dialog.h"
#include "model/drm_handling.h"
#include "platform/controls/control_messages.h"
#include "platform/controls/menu_api.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/dialog/dialog_api.h"
#include "platform/power.h"
#include "platform/wide_format.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

namespace {

constexpr UINT kListFont = 12;
constexpr UINT kPreviewKeepAwakeMs = 5000;
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

}  // namespace

CSaveObjectsWindow::CSaveObjectsWindow(MessageModel* model)
    : m_model(model), m_sortKey(g_lastSortKey), m_descending(g_lastDescending), m_idleReset(&SystemIdleTimerReset) {}

CSaveObjectsWindow::~CSaveObjectsWindow() {
  StopKeepAwake();
  if (m_ownsMenu) DestroyMenu(m_menu);
  if (m_font != nullptr) DeleteObject(m_font);
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
      OnCommandId(kObjectList, &CSaveObjectsWindow::OnList),
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
  if (m_font != nullptr) ::SendMessageW(GetDlgItem(kObjectList), WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
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
  Sort();
  if (m_objects.size() == 1) {
    Select(0);
    if (m_objects.front().forwardLock) SetDrmContext(1, GetHandle(), 1);
  }
  return TRUE;
}

void CSaveObjectsWindow::Sort() {
  const bool byType = m_sortKey == save_objects::kSortByType;
  const bool descending = m_descending;
  std::stable_sort(m_objects.begin(), m_objects.end(), [&](const SaveableObject& a, const SaveableObject& b) {
    int order = 0;
    if (byType) order = static_cast<int>(a.type > b.type) - static_cast<int>(a.type < b.type);
    if (order == 0) order = a.name.CompareNoCase(b.name.View());
    return descending ? order > 0 : order < 0;
  });
  FillList();
  UpdateSortMenu();
}

void CSaveObjectsWindow::FillList() {
  HWND list = GetDlgItem(kObjectList);
  if (list == nullptr) return;
  ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const SaveableObject& object : m_objects) {
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(RowText(object).GetString()));
  }
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
  const LRESULT row = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
  return row == LB_ERR || row < 0 || static_cast<std::size_t>(row) >= m_objects.size() ? -1 : static_cast<int>(row);
}

void CSaveObjectsWindow::Select(int row) {
  ::SendMessageW(GetDlgItem(kObjectList), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SelectionChanged();
}

const SaveableObject* CSaveObjectsWindow::Selected() const {
  const int row = Selection();
  return row < 0 ? nullptr : &m_objects[static_cast<std::size_t>(row)];
}

bool CSaveObjectsWindow::SaveEnabled() const {
  const SaveableObject* object = Selected();
  return object != nullptr && IsSaveableKind(object->type);
}

std::vector<CString> CSaveObjectsWindow::RowTexts() const {
  std::vector<CString> rows;
  HWND list = GetDlgItem(kObjectList);
  const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    WCHAR text[MAX_PATH * 2] = {};
    const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length < 0 || static_cast<std::size_t>(length) >= std::size(text)) continue;
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    rows.emplace_back(text);
  }
  return rows;
}

void CSaveObjectsWindow::SelectionChanged() {
  // A sound being previewed belongs to the row that was selected.
  StopPreview();
  if (m_menu != nullptr) UpdateMenuState(m_menu);
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
  const SaveableObject* selected = Selected();
  const MediaPart* part = selected != nullptr ? selected->part : nullptr;
  m_descending = key == m_sortKey ? !m_descending : false;
  m_sortKey = key;
  g_lastSortKey = m_sortKey;
  g_lastDescending = m_descending;
  Sort();
  // The selection stays with its object.
  for (std::size_t i = 0; i < m_objects.size(); ++i) {
    if (part != nullptr && m_objects[i].part == part) ::SendMessageW(GetDlgItem(kObjectList), LB_SETCURSEL, i, 0);
  }
  return 0;
}

LRESULT CSaveObjectsWindow::OnList(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) == LBN_SELCHANGE) SelectionChanged();
  if (HIWORD(wParam) == LBN_DBLCLK) ::PostMessageW(GetHandle(), WM_COMMAND, save_objects::kOpen, 0);
  return 0;
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
  CUseObjectDialog use(dialog, chosen.path);
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
  }
  if (Audio_Play(engine, 0, -1, 1, 100) == 0) return 0;
  m_preview = save_objects::kPreviewPlaying;
  StartKeepAwake();
  return 0;
}

LRESULT CSaveObjectsWindow::OnPause(WPARAM, LPARAM) {
  if (m_preview != save_objects::kPreviewPlaying) return 0;
  Audio_Pause(ULC_Global::GetGlobal()->InitAudioInstance());
  m_preview = save_objects::kPreviewPaused;
  StopKeepAwake();
  return 0;
}

LRESULT CSaveObjectsWindow::OnStop(WPARAM, LPARAM) {
  StopPreview();
  return 0;
}

void CSaveObjectsWindow::StopPreview() {
  if (m_preview == save_objects::kPreviewStopped) return;
  if (ULC_AudioEngine* engine = ULC_Global::GetGlobal()->audioEngine.get()) {
    Audio_Stop(engine);
    Audio_UnloadFile(engine);
  }
  m_preview = save_objects::kPreviewStopped;
  StopKeepAwake();
}

LRESULT CSaveObjectsWindow::OnAudioProgress(WPARAM wParam, LPARAM) {
  // The engine reports the end of the sound with the position -1.
  if (static_cast<int>(wParam) == -1) StopPreview();
  return 0;
}

void CSaveObjectsWindow::StartKeepAwake() {
  if (m_keepAwake == 0) m_keepAwake = SetTimer(kPreviewKeepAwakeTimer, kPreviewKeepAwakeMs, nullptr);
}

void CSaveObjectsWindow::StopKeepAwake() {
  if (m_keepAwake != 0) KillTimer(kPreviewKeepAwakeTimer);
  m_keepAwake = 0;
}

LRESULT CSaveObjectsWindow::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == kPreviewKeepAwakeTimer && m_idleReset) m_idleReset();
  return 0;
}

bool ShowSaveObjects(HWND owner, MessageModel* model) {
  CSaveObjectsWindow window(model);
  return window.Run(owner);
}
