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
#include "platform/file_api.h"
#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_raii.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/density.h"
#include "ui/fitted_picture.h"
#include "ui/grid_keys.h"
#include "ui/thumbnails.h"
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

const MessageMap* CTemplateWnd::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(kGetDialogCode, &CTemplateWnd::OnGetDialogCode),
      OnMessage(WM_KEYDOWN, &CTemplateWnd::OnKeyDown),
      OnMessage(WM_LBUTTONDOWN, &CTemplateWnd::OnLButtonDown),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CTemplateWnd::Create(HWND parent, const RECT& rect, TemplateStore* store) {
  m_store = store;
  if (!CWndBase::Create(kTemplateWndClass, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, nullptr, parent, template_chooser::kListControl,
                        kWhiteBackground)) {
    return FALSE;
  }
  m_selection = -1;
  Relayout();
  return TRUE;
}

int CTemplateWnd::Count() const { return m_store != nullptr ? static_cast<int>(m_store->Entries().size()) : 0; }

void CTemplateWnd::Relayout() {
  m_previews.clear();
  const int count = Count();
  for (int i = 0; i < count; ++i) {
    const CString& file = m_store->Entries()[static_cast<std::size_t>(i)].previewFile;
    SIZE box{ScaleX(kPreviewWidth), ScaleY(kPreviewHeight)};
    DibImage* preview = nullptr;
    if (!file.IsEmpty() && GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES) {
      preview = DecodeImage(file, &box, media_type::kJpeg, 0);
    }
    m_previews.emplace_back(preview);
  }
  if (count == 0) {
    m_selection = -1;
    m_firstRow = 0;
  } else {
    m_selection = std::clamp(m_selection, 0, count - 1);
    m_firstRow = std::min(m_firstRow, (count - 1) / Columns());
    ScrollIntoView(m_selection);
  }
  InvalidateRect(nullptr, TRUE);
}

SIZE CTemplateWnd::CellSize() const {
  return SIZE{ScaleX(kPreviewWidth + 2 * kCellMargin), ScaleY(kPreviewHeight + 2 * kCellMargin + kNameHeight)};
}

int CTemplateWnd::Columns() const {
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  return std::max(1, static_cast<int>(client.right - client.left) / static_cast<int>(CellSize().cx));
}

int CTemplateWnd::VisibleRows() const {
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  return std::max(1, static_cast<int>(client.bottom - client.top) / static_cast<int>(CellSize().cy));
}

RECT CTemplateWnd::CellRect(int index) const {
  const SIZE size = CellSize();
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  const int columns = Columns();
  // The columns stand in the middle of the width.
  const int left = (client.right - columns * size.cx) / 2 + (index % columns) * size.cx;
  const int top = (index / columns - m_firstRow) * size.cy;
  return RECT{left, top, left + size.cx, top + size.cy};
}

RECT CTemplateWnd::PictureRect(const RECT& cell) const {
  const int left = cell.left + ScaleX(kCellMargin);
  const int top = cell.top + ScaleY(kCellMargin);
  return RECT{left, top, left + ScaleX(kPreviewWidth), top + ScaleY(kPreviewHeight)};
}

void CTemplateWnd::DrawCell(HDC hdc, int index, const RECT& cell) const {
  const bool selected = index == m_selection;
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

BOOL CTemplateWnd::OnPaint(HDC hdc, PAINTSTRUCT*) {
  RECT client{};
  GetClientRect(&client);
  FillRect(hdc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ScopedUiFont font(hdc);
  const int count = std::min(Count(), static_cast<int>(m_previews.size()));
  for (int i = 0; i < count; ++i) {
    const RECT cell = CellRect(i);
    if (cell.bottom <= 0 || cell.top >= client.bottom) continue;
    DrawCell(hdc, i, cell);
  }
  return TRUE;
}

void CTemplateWnd::ScrollIntoView(int index) {
  if (index < 0) return;
  const int row = index / Columns();
  const int rows = VisibleRows();
  if (row < m_firstRow) m_firstRow = row;
  if (row >= m_firstRow + rows) m_firstRow = row - rows + 1;
}

void CTemplateWnd::Select(int index) {
  const int count = Count();
  if (count == 0) return;
  m_selection = std::clamp(index, 0, count - 1);
  ScrollIntoView(m_selection);
  InvalidateRect(nullptr, FALSE);
}

int CTemplateWnd::IndexOf(std::u16string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    if (m_store->Entries()[static_cast<std::size_t>(i)].name == name) return i;
  }
  return -1;
}

LRESULT CTemplateWnd::OnGetDialogCode(WPARAM, LPARAM) { return 1; }

LRESULT CTemplateWnd::OnKeyDown(WPARAM wParam, LPARAM) {
  if (const std::optional<int> target = GridKeyTarget(static_cast<UINT>(wParam), m_selection, Columns())) {
    Select(*target);
  } else if (wParam == VK_RETURN && m_selection >= 0) {
    ::PostMessageW(GetParent(), WM_COMMAND, IDOK, 0);
  }
  return 0;
}

LRESULT CTemplateWnd::OnLButtonDown(WPARAM, LPARAM lParam) {
  SetFocus();
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  for (int i = 0; i < Count(); ++i) {
    const RECT cell = CellRect(i);
    if (!PtInRect(&cell, point)) continue;
    if (i == m_selection) {
      ::PostMessageW(GetParent(), WM_COMMAND, IDOK, 0);
    } else {
      Select(i);
    }
    break;
  }
  return 0;
}

LRESULT CTemplateWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == composer_command::kDeleteTemplate) {
    DeleteSelected();
    return 0;
  }
  return CWndBase::OnCommand(wParam, lParam);
}

void CTemplateWnd::DeleteSelected() {
  if (m_store == nullptr || m_selection < 0 || m_selection >= Count()) return;
  const TemplateEntry entry = m_store->Entries()[static_cast<std::size_t>(m_selection)];
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
