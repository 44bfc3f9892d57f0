#include "forms/media_picker.h"

#include <algorithm>

#include "forms/composer_commands.h"
#include "forms/dialog_soft_keys.h"
#include "platform/automation/automation.h"
#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "platform/kernel/file_api.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_styles.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

namespace {

constexpr std::u16string_view kUpText = u"..";

std::u16string WithBackslash(std::u16string folder) {
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  return folder;
}

std::u16string ParentOf(const std::u16string& folder) {
  if (folder.size() <= 1) return u"\\";
  const std::size_t slash = folder.find_last_of(u'\\', folder.size() - 2);
  return slash == std::u16string::npos ? u"\\" : folder.substr(0, slash + 1);
}

std::u16string RowText(const MediaPickerRow& row) {
  switch (row.kind) {
    case MediaPickerRow::Kind::kUp: return std::u16string(kUpText);
    case MediaPickerRow::Kind::kFolder: return u"[" + row.name + u"]";
    default: return row.name;
  }
}

bool IsFolder(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool LessNoCase(const MediaPickerRow& a, const MediaPickerRow& b) {
  return platform::FoldCase(a.name) < platform::FoldCase(b.name);
}

}  // namespace

FileFilter::FileFilter(std::u16string_view filter) {
  std::size_t start = 0;
  while (start <= filter.size()) {
    const std::size_t end = std::min(filter.find(u';', start), filter.size());
    std::u16string_view entry = filter.substr(start, end - start);
    while (!entry.empty() && entry.front() == u' ') entry.remove_prefix(1);
    while (!entry.empty() && entry.back() == u' ') entry.remove_suffix(1);
    if (entry == u"*" || entry == u"*.*") {
      m_all = true;
    } else {
      if (!entry.empty() && entry.front() == u'*') entry.remove_prefix(1);
      // Only an extension counts: "*.jpg" or ".jpg", never a bare name.
      if (entry.size() > 1 && entry.front() == u'.') m_extensions.push_back(platform::FoldCase(entry));
    }
    start = end + 1;
  }
}

bool FileFilter::Accepts(std::u16string_view fileName) const {
  if (m_all) return true;
  const std::size_t dot = fileName.find_last_of(u'.');
  if (dot == std::u16string_view::npos) return false;
  const std::u16string extension = platform::FoldCase(fileName.substr(dot));
  return std::find(m_extensions.begin(), m_extensions.end(), extension) != m_extensions.end();
}

std::vector<MediaPickerRow> ListPickerFolder(const std::u16string& folder, const FileFilter& filter,
                                             const std::u16string& captureText) {
  std::vector<MediaPickerRow> rows;
  if (!captureText.empty()) rows.push_back({MediaPickerRow::Kind::kCapture, captureText});
  if (folder != u"\\") rows.push_back({MediaPickerRow::Kind::kUp, std::u16string(kUpText)});
  std::vector<MediaPickerRow> folders;
  std::vector<MediaPickerRow> files;
  WIN32_FIND_DATAW data{};
  const std::u16string pattern = folder + u"*";
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::u16string name(data.cFileName);
      if (name.empty() || name == u"." || name == u"..") continue;
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        folders.push_back({MediaPickerRow::Kind::kFolder, name});
      } else if (filter.Accepts(name)) {
        files.push_back({MediaPickerRow::Kind::kFile, name});
      }
    } while (folders.size() + files.size() < kMaxPickerRows && FindNextFileW(find, &data));
    FindClose(find);
  }
  std::sort(folders.begin(), folders.end(), LessNoCase);
  std::sort(files.begin(), files.end(), LessNoCase);
  rows.insert(rows.end(), folders.begin(), folders.end());
  rows.insert(rows.end(), files.begin(), files.end());
  return rows;
}

CMediaPickerDialog::CMediaPickerDialog(MediaPickerRequest request)
    : m_request(std::move(request)), m_filter(m_request.filter.View()) {}

const MessageMap* CMediaPickerDialog::GetMessageMap() const {
  using D = CMediaPickerDialog;
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &D::OnInitDialog),
      OnCommandId(media_picker::kListControl, &D::OnListCommand),
      OnMessage(WM_COMPOSER_REPLACED, &D::OnReplaced),
      OnMessage(WM_ANSWER_FOR_ABSENT_USER, &D::OnAbsentUser),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

MediaPickerResult CMediaPickerDialog::Run(HWND owner) {
  m_result = {};
  DoModal(transport::ResourceInstance(), media_picker::kDialog, owner);
  return m_result;
}

LRESULT CMediaPickerDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  ::SetWindowTextW(GetHandle(), m_request.title.GetString());
  CreateDialogSoftKeys(GetHandle(), kOkCancelSoftKeys);
  // A start folder that is gone opens the root rather than an empty list with no way out.
  std::u16string start = WithBackslash(std::u16string(m_request.startFolder.View()));
  if (start.front() != u'\\' || !IsFolder(start)) start = u"\\";
  Enter(start);
  if (HWND list = ::GetDlgItem(GetHandle(), media_picker::kListControl)) ::SetFocus(list);
  return FALSE;
}

void CMediaPickerDialog::Enter(const std::u16string& folder) {
  m_folder = folder;
  m_rows = ListPickerFolder(m_folder, m_filter, std::u16string(m_request.captureText.View()));
  ::SetDlgItemTextW(GetHandle(), media_picker::kFolderControl, m_folder.c_str());
  HWND list = ::GetDlgItem(GetHandle(), media_picker::kListControl);
  if (list == nullptr) return;
  ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const MediaPickerRow& row : m_rows) {
    const std::u16string text = RowText(row);
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  ::SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void CMediaPickerDialog::Activate(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size()) return;
  const MediaPickerRow chosen = m_rows[static_cast<std::size_t>(row)];
  m_result.folder = CString(m_folder);
  switch (chosen.kind) {
    case MediaPickerRow::Kind::kUp: Enter(ParentOf(m_folder)); return;
    case MediaPickerRow::Kind::kFolder: Enter(m_folder + chosen.name + u"\\"); return;
    case MediaPickerRow::Kind::kCapture: m_result.outcome = MediaPickerResult::Outcome::kCapture; break;
    case MediaPickerRow::Kind::kFile:
      m_result.outcome = MediaPickerResult::Outcome::kFile;
      m_result.path = CString(m_folder + chosen.name);
      break;
  }
  EndDialog(IDOK);
}

LRESULT CMediaPickerDialog::OnOK(WPARAM, LPARAM) {
  HWND list = ::GetDlgItem(GetHandle(), media_picker::kListControl);
  Activate(list != nullptr ? static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0)) : -1);
  return 0;
}

LRESULT CMediaPickerDialog::OnListCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == LBN_DBLCLK) return OnOK(IDOK, lParam);
  return 0;
}

LRESULT CMediaPickerDialog::OnReplaced(WPARAM, LPARAM) { return OnCancel(IDCANCEL, 0); }

// Headless, the file comes from the automation's queue, held to what the list would have let a
// person pick: an existing file that the filter accepts, or the capture row when it is offered;
// an empty choice is Cancel.
LRESULT CMediaPickerDialog::OnAbsentUser(WPARAM, LPARAM) {
  const platform::automation::Prompt prompt{u"FileChooser", ::GetWindow(GetHandle(), GW_OWNER),
                                            std::u16string(m_request.title.View()), m_folder, 0};
  const std::optional<std::u16string> choice = platform::automation::ChooseFile(prompt);
  if (!choice) return 0;
  m_result.folder = CString(m_folder);
  if (choice->empty()) {
    EndDialog(IDCANCEL);
    return 0;
  }
  if (*choice == media_picker::kCaptureChoice) {
    if (m_request.captureText.IsEmpty()) return 0;
    m_result.outcome = MediaPickerResult::Outcome::kCapture;
    EndDialog(IDOK);
    return 0;
  }
  const std::size_t slash = choice->find_last_of(u'\\');
  if (slash == std::u16string::npos || !IsFile(*choice) || !m_filter.Accepts(choice->substr(slash + 1))) return 0;
  m_result.outcome = MediaPickerResult::Outcome::kFile;
  m_result.path = CString(*choice);
  m_result.folder = CString(choice->substr(0, slash + 1));
  EndDialog(IDOK);
  return 0;
}
