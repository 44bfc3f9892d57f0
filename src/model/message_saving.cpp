#include "model/message_saving.h"

#include <string>
#include <vector>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "mm1/mm1_library.h"
#include "model/device_file.h"
#include "model/drm_handling.h"
#include "model/media_types.h"
#include "model/smil_writer.h"
#include "model/text_charset.h"
#include "platform/drm/drm_service.h"
#include "platform/kernel/device.h"
#include "platform/kernel/file_api.h"
#include "platform/text/text_conversion.h"

namespace {

constexpr std::u16string_view kTextTempFolder = u"texttempfile\\";
constexpr std::string_view kUtf8TextType = "text/plain;charset=utf_8";
constexpr std::string_view kDrmContentType = "application/vnd.oma.drm.content";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t kMaxTextFile = 32u << 20;

// The message carries texts as UTF-8 while the model's part files stay UTF-16. Each text goes into
// the message from a UTF-8 copy under its own name in a work folder of the part folder, and the work
// folder is emptied when the save is over, whatever its outcome. The model's files are never
// rewritten, so a save cut short (a process killed half way) leaves them as they were; what such a
// save left in the work folder is cleared by the next one before it starts.
class Utf8TextCopies {
 public:
  explicit Utf8TextCopies(const std::u16string& partFolder) : m_folder(partFolder + std::u16string(kTextTempFolder)) {
    Clear();
  }
  ~Utf8TextCopies() { Clear(); }
  Utf8TextCopies(const Utf8TextCopies&) = delete;
  Utf8TextCopies& operator=(const Utf8TextCopies&) = delete;

  // The work folder that holds the copies.
  const std::u16string& Folder() const { return m_folder; }

  // Writes the UTF-8 form (with its mark when asked) of the part's UTF-16 file into the work folder
  // under the part's name; false when it cannot.
  bool Write(const std::u16string& path, const std::u16string& name, bool withMark) {
    FileReadResult read = ReadDeviceFile(path, kMaxTextFile);
    if (read.status != FileReadStatus::kOk) return false;
    std::string_view bytes = read.bytes;
    if (bytes.starts_with("\xFF\xFE")) bytes.remove_prefix(2);
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                      static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    std::string utf8 = withMark ? std::string(kUtf8Mark) : std::string();
    utf8 += platform::Utf16ToUtf8(text);
    CreateDirectoryW(m_folder.c_str(), nullptr);
    m_used = true;
    return WriteDeviceFile(m_folder + name, utf8);
  }

 private:
  void Clear() {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((m_folder + u"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE && !m_used) return;
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::u16string_view name(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileW((m_folder + std::u16string(name)).c_str());
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(m_folder.substr(0, m_folder.size() - 1).c_str());
  }

  std::u16string m_folder;  // ends with a separator
  bool m_used = false;
};

// A protected part that may be forwarded travels as its forwardable copy. The copy is made beside
// the part and then takes the part's place under the part's own name, so that the model and the
// presentation keep naming the file the message carries and no copy is left behind.
bool ReplaceWithForwardableCopy(const std::u16string& folder, const std::u16string& name) {
  std::u16string source = folder + name;
  std::u16string copy = source + u".dcf";
  for (int n = 0; DevicePathExists(copy); ++n) copy = source + u"_" + platform::Utf8ToUtf16(std::to_string(n)) + u".dcf";
  StripDrmHeader(source.c_str(), kDrmKindContent);
  if (FAILED(FileDrmCreateForwardableContent(source.c_str(), 2, copy.c_str())) ||
      !MoveFileExW(copy.c_str(), source.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(copy.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool SaveMessage(const MessageModel& model, std::u16string_view partFolder, std::u16string_view messageFile) {
  if (partFolder.empty() || messageFile.empty()) return false;
  std::u16string folder = WithTrailingSeparator(partFolder);
  auto hostFolder = platform::HostPath(folder);
  auto hostMessage = platform::HostPath(messageFile);
  if (!hostFolder || !hostMessage) return false;
  bool drmSupported = GetConfigValue(numeric_setting::kIsSupportDrm) != 0;
  bool withMark = GetConfigValue(numeric_setting::kEnableInsertUTF8BOM) != 0;
  auto hostTexts = platform::HostPath(folder + std::u16string(kTextTempFolder));
  if (!hostTexts) return false;
  mm1::WriteHandle writer = mm1::CreateMessage();
  Utf8TextCopies texts(folder);
  bool onlyPersonalData = true;
  for (const MediaPart& part : model.parts) {
    std::u16string name(part.fileName.View());
    // The presentation is written under its own name in the same folder: it must not replace a part.
    if (platform::EqualsNoCase(name, kPresentationFileName)) return false;
    std::u16string path = folder + name;
    mm1::PartRecord record;
    record.folder = *hostFolder;
    record.contentId = part.contentId.ToUtf8();
    int drm = drmSupported ? DrmStatus(path.c_str(), 1, nullptr) : kDrmNotProtected;
    if (drm != kDrmNotProtected) {
      record.contentType = kDrmContentType;
      if (drm == kDrmForwardGranted && !ReplaceWithForwardableCopy(folder, name)) return false;
    } else if (IsConvertedText(part.type)) {
      record.contentType = kUtf8TextType;
      if (!texts.Write(path, name, withMark)) return false;
      record.folder = *hostTexts;
    } else {
      record.contentType = ContentTypeOfType(part.type);
      if (record.contentType.empty()) record.contentType = "application/octet-stream";
    }
    if (media_type::KindOf(part.type) != media_type::kPersonalData) onlyPersonalData = false;
    record.fileName = platform::Utf16ToUtf8(name);
    // The presentation names each part by its file name, so the part must carry it as its location.
    record.contentLocation = record.fileName;
    if (!writer->AddPart(record)) return false;
  }
  std::u16string smil = folder + std::u16string(kPresentationFileName);
  if (!WriteSmil(smil, model.layout, model.slides)) return false;
  if (!onlyPersonalData) {
    auto hostSmil = platform::HostPath(smil);
    if (!hostSmil || !writer->SetPresentation(*hostSmil, platform::Utf16ToUtf8(kPresentationFileName))) return false;
  }
  return static_cast<bool>(writer->Write(*hostMessage));
}

DWORD PresentationSize(const MessageModel& model) {
  SmilTextForm form;
  form.lineEnd = "\r\n";
  form.rootLayout = true;
  form.textStyles = false;
  auto text = ComposeSmil(model.layout, model.slides, form);
  return text ? static_cast<DWORD>(text->size()) : 0;
}
