// The media picker ("MediaPicker", dialog template 390): a file chooser over the device's folders
// for the composer's insert commands. It lists the folder it is in (a row to go up, its folders,
// then the files the filter lets through), with a first row that captures or records instead when
// the caller allows it. OK or the action key goes into a folder or chooses a file; a new compose
// form replacing this one (WM_COMPOSER_REPLACED) closes it as Cancel does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/text/cstring.h"
#include "ui/dialog_base.h"

namespace media_picker {
constexpr DWORD kDialog = 390;
constexpr int kFolderControl = 1001;
constexpr int kListControl = 1135;
// The choice that, queued for a headless run, takes the capture row.
constexpr const char16_t* kCaptureChoice = u"<capture>";
}  // namespace media_picker

// The extensions of a filter string such as "*.jpg;*.png;" or ".exe;.dll;", lower case with their
// dot; "*" or "*.*" lets every file through.
class FileFilter {
 public:
  explicit FileFilter(std::u16string_view filter);
  bool Accepts(std::u16string_view fileName) const;
  bool AcceptsAll() const { return m_all; }

 private:
  bool m_all = false;
  std::vector<std::u16string> m_extensions;
};

struct MediaPickerRow {
  enum class Kind { kCapture, kUp, kFolder, kFile };
  Kind kind;
  std::u16string name;  // the folder's or file's name; the row's text for the capture row
};

// The rows for `folder` (ending with a backslash): up unless it is the root, then its folders and
// the accepted files, each sorted without regard to case. At most kMaxPickerRows are listed.
constexpr std::size_t kMaxPickerRows = 2000;
std::vector<MediaPickerRow> ListPickerFolder(const std::u16string& folder, const FileFilter& filter,
                                             const std::u16string& captureText);

struct MediaPickerRequest {
  CString title;
  CString startFolder;
  CString filter;
  CString captureText;  // empty: no capture row
};

struct MediaPickerResult {
  enum class Outcome { kCancelled, kFile, kCapture };
  Outcome outcome = Outcome::kCancelled;
  CString path;    // the chosen file
  CString folder;  // the folder the picker was in, with its backslash
};

class CMediaPickerDialog : public CDialogBase {
 public:
  explicit CMediaPickerDialog(MediaPickerRequest request);
  const MessageMap* GetMessageMap() const override;

  MediaPickerResult Run(HWND owner);
  const std::u16string& Folder() const { return m_folder; }
  const std::vector<MediaPickerRow>& Rows() const { return m_rows; }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnOK(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnListCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnReplaced(WPARAM wParam, LPARAM lParam);
  LRESULT OnAbsentUser(WPARAM wParam, LPARAM lParam);

 private:
  void Enter(const std::u16string& folder);
  void Activate(int row);

  MediaPickerRequest m_request;
  FileFilter m_filter;
  std::u16string m_folder;
  std::vector<MediaPickerRow> m_rows;
  MediaPickerResult m_result;
};
