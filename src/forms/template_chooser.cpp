#include "forms/template_chooser.h"

#include <algorithm>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/image_decode.h"
#include "forms/composer_commands.h"
#include "forms/dialog_soft_keys.h"
#include "forms/slide_items.h"
#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_raii.h"
#include "platform/kernel/file_api.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/density.h"
#include "ui/fitted_picture.h"
#include "ui/window_layout.h"

namespace {

// A cell at 96 dots per inch: the preview's own size (100 x 80) with a margin, over a line for
// the name.
constexpr int kPreviewWidth = 100;
constexpr int kPreviewHeight = 80;
constexpr int kCellMargin = 6;
constexpr int kNameHeight = 16;
constexpr int kSelectionWidth = 2;
constexpr COLORREF kSelectionColour = 0x00C07030;
constexpr COLORREF kNoPreviewColour = 0x00D8D8D8;
constexpr COLORREF kNoPreviewEdge = 0x00A0A0A0;
constexpr COLORREF kNameColour = 0x00000000;
constexpr COLORREF kSelectedNameColour = 0x00FFFFFF;
constexpr LPARAM kStoredTemplate = 1;
constexpr LPARAM kCustomEntry = 0;

void FillSolid(HDC hdc, const RECT& rect, COLORREF colour) {
  platform::gdi::UniqueBrush brush(CreateSolidBrush(colour));
  FillRect(hdc, &rect, brush.Get());
}
}  // namespace

BOOL CTemplateWnd::Create(HWND parent, const RECT& rect, TemplateStore* store) {
  m_store = store;
  if (!CWndBase::Create(kTemplateWndClass, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, nullptr, parent, template_chooser::kListControl,
                        kWhiteBackground)) {
    return FALSE;
  }
  SetSelection(-1);
  Relayout();
  return TRUE;
}

int CTemplateWnd::Count() const {
  // A preview list not yet read again after the store changed shows no more than it holds.
  if (m_store == nullptr) return 0;
  return static_cast<int>(std::min(m_store->Entries().size(), m_previews.size()));
}

void CTemplateWnd::Relayout() {
  m_previews.clear();
  if (m_store == nullptr) return;
  for (const TemplateEntry& entry : m_store->Entries()) {
    const CString& file = entry.previewFile;
    SIZE box{ScaleX(kPreviewWidth), ScaleY(kPreviewHeight)};
    DibImage* preview = nullptr;
    if (!file.IsEmpty() && GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES) {
      preview = DecodeImage(file, &box, media_type::kJpeg, 0);
    }
    m_previews.emplace_back(preview);
  }
  KeepWithinEntries();
  InvalidateRect(nullptr, TRUE);
}

SIZE CTemplateWnd::CellSize() const {
  return SIZE{ScaleX(kPreviewWidth + 2 * kCellMargin), ScaleY(kPreviewHeight + 2 * kCellMargin + kNameHeight)};
}

RECT CTemplateWnd::PictureRect(const RECT& cell) const {
  const int left = cell.left + ScaleX(kCellMargin);
  const int top = cell.top + ScaleY(kCellMargin);
  return RECT{left, top, left + ScaleX(kPreviewWidth), top + ScaleY(kPreviewHeight)};
}

void CTemplateWnd::DrawCell(HDC hdc, int index, const RECT& cell, bool selected) const {
  if (selected) {
    RECT frame = cell;
    InflateRect(&frame, -ScaleX(kSelectionWidth), -ScaleY(kSelectionWidth));
    FillSolid(hdc, frame, kSelectionColour);
  }
  const RECT picture = PictureRect(cell);
  const DibImage* preview = m_previews[static_cast<std::size_t>(index)].get();
  if (preview != nullptr) {
    FillSolid(hdc, picture, 0x00FFFFFF);
    DrawPictureFitted(hdc, preview, picture);
  } else {
    // Without a preview the entry is a grey box with its name under it.
    FillSolid(hdc, picture, kNoPreviewEdge);
    RECT inner = picture;
    InflateRect(&inner, -1, -1);
    FillSolid(hdc, inner, kNoPreviewColour);
  }
  RECT name{cell.left + ScaleX(kSelectionWidth + 1), picture.bottom + ScaleY(1),
            cell.right - ScaleX(kSelectionWidth + 1), cell.bottom - ScaleY(kSelectionWidth)};
  const CString& text = m_store->Entries()[static_cast<std::size_t>(index)].name;
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, selected ? kSelectedNameColour : kNameColour);
  DrawTextW(hdc, text, text.GetLength(), &name, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

BOOL CTemplateWnd::OnPaint(HDC hdc, PAINTSTRUCT* paint) {
  ScopedUiFont font(hdc);
  return CCellGrid::OnPaint(hdc, paint);
}

int CTemplateWnd::IndexOf(std::u16string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    if (m_store->Entries()[static_cast<std::size_t>(i)].name == name) return i;
  }
  return -1;
}

LRESULT CTemplateWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == composer_command::kDeleteTemplate) {
    DeleteSelected();
    return 0;
  }
  return CCellGrid::OnCommand(wParam, lParam);
}

void CTemplateWnd::DeleteSelected() {
  const int selection = Selection();
  if (m_store == nullptr || selection < 0 || selection >= Count()) return;
  const TemplateEntry entry = m_store->Entries()[static_cast<std::size_t>(selection)];
  // The custom entry is the only way to an empty message, and its preview is no file of its own.
  if (entry.flag == 1) return;
  CMMSGlobal* global = GetMMSGlobal();
  if (global == nullptr ||
      global->MessageBoxW(GetParent(), template_chooser::kDeleteQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  m_store->Remove(entry.name.View());
  Relayout();
}

CTemplateChooser::~CTemplateChooser() { Close(); }

const MessageMap* CTemplateChooser::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CTemplateChooser::OnInitDialog),
      OnCommandId(composer_command::kChooseTemplate, &CTemplateChooser::OnChooseCommand),
      OnCommandId(composer_command::kCancel, &CTemplateChooser::OnCancelCommand),
      OnCommandId(composer_command::kDeleteTemplate, &CTemplateChooser::OnDeleteCommand),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

bool CTemplateChooser::Open(HWND frame) {
  if (IsOpen()) return true;
  m_frame = frame;
  m_chosen.reset();
  m_told = false;
  const CString folder = GetFolderSetting(folder_setting::kTemplatePath);
  CString withSlash = folder;
  if (withSlash.IsEmpty() || withSlash[withSlash.GetLength() - 1] != u'\\') withSlash += u'\\';
  // A store whose index cannot be written still offers what it read, the custom entry at least.
  m_store.Open(folder, transport::LoadResourceString(template_chooser::kTitle),
               TemplateIndexName(withSlash.View()));
  return CreateModeless(transport::ResourceInstance(), frame, template_chooser::kDialog) != FALSE;
}

bool CTemplateChooser::Close() {
  m_told = true;
  if (IsWindow()) ::DestroyWindow(GetHandle());
  const bool closed = !IsWindow();
  if (closed) ClearHandle();
  return closed;
}

LRESULT CTemplateChooser::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  ::SetWindowTextW(GetHandle(), transport::LoadResourceString(template_chooser::kTitle));
  HWND keys = CreateDialogSoftKeys(GetHandle(), template_chooser::kSoftKeys);
  const RECT area = ClientAboveSoftKeys(GetHandle(), keys);
  if (m_list.Create(GetHandle(), area, &m_store)) {
    m_list.Select(0);
    m_list.SetFocus();
  }
  return FALSE;
}

void CTemplateChooser::Tell(UINT message, LPARAM lParam) {
  if (m_told) return;
  m_told = true;
  if (m_frame != nullptr && ::IsWindow(m_frame)) ::PostMessageW(m_frame, message, 0, lParam);
}

LRESULT CTemplateChooser::OnOK(WPARAM, LPARAM) {
  if (m_told) return 0;
  const int selection = m_list.Selection();
  const auto& entries = m_store.Entries();
  // With nothing to offer there is nothing to choose: the message stays as it is.
  if (selection < 0 || static_cast<std::size_t>(selection) >= entries.size()) {
    Tell(composer_message::kTemplateCancelled, 0);
    return 0;
  }
  m_chosen = entries[static_cast<std::size_t>(selection)];
  Tell(composer_message::kTemplateChosen, m_chosen->messageFile.IsEmpty() ? kCustomEntry : kStoredTemplate);
  return 0;
}

LRESULT CTemplateChooser::OnCancel(WPARAM, LPARAM) {
  Tell(composer_message::kTemplateCancelled, 0);
  return 0;
}

LRESULT CTemplateChooser::OnChooseCommand(WPARAM, LPARAM) { return OnOK(IDOK, 0); }

LRESULT CTemplateChooser::OnCancelCommand(WPARAM, LPARAM) { return OnCancel(IDCANCEL, 0); }

LRESULT CTemplateChooser::OnDeleteCommand(WPARAM wParam, LPARAM lParam) {
  m_list.SendMessage(WM_COMMAND, wParam, lParam);
  return 0;
}

LRESULT CTemplateChooser::OnCloseDialog(WPARAM wParam, LPARAM lParam) {
  // Closed from outside (a form closing somewhere): the frame must not stay hidden behind nothing.
  Tell(composer_message::kTemplateCancelled, 0);
  return CDialogBase::OnCloseDialog(wParam, lParam);
}
