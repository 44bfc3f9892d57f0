#include "forms/template_store.h"

#include <algorithm>
#include <memory>
#include <string>

#include "engines/dib_image.h"
#include "engines/image_decode.h"
#include "engines/image_encode.h"
#include "model/media_types.h"
#include "platform/kernel/file_api.h"
#include "transport/resource_module.h"

namespace {

constexpr UINT kIndexNameFormat = 40797;
constexpr UINT kLanguageCode = 40920;
constexpr const char16_t* kDefaultIndexName = u"MMSTemplates0409.inf";
constexpr const char16_t* kPlainIndexName = u"MMSTemplates.inf";
constexpr const char16_t* kCustomPreview = u"custom.jpg";
constexpr LONG kPreviewWidth = 100;
constexpr LONG kPreviewHeight = 80;
constexpr int kPreviewQuality = 90;

bool Exists(LPCWSTR path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// The whole file when it exists and is within the index cap; nothing otherwise.
bool ReadSmallFile(LPCWSTR path, std::string& bytes) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  bool ok = high == 0 && size != 0xFFFFFFFF && size <= kMaxTemplateIndexSize;
  if (ok) {
    bytes.resize(size);
    DWORD read = 0;
    ok = size == 0 || (ReadFile(file, bytes.data(), size, &read, nullptr) && read == size);
  }
  CloseHandle(file);
  return ok;
}

// The file's extension with its dot, or nothing: a dot in a folder name is no extension.
std::u16string_view ExtensionOf(std::u16string_view path) {
  const std::size_t dot = path.find_last_of(u".\\");
  return dot == std::u16string_view::npos || path[dot] != u'.' ? std::u16string_view() : path.substr(dot);
}

// The picture fitted into the preview box and centred on a white one.
bool WritePreview(LPCWSTR picture, LPCWSTR preview) {
  SIZE box{kPreviewWidth, kPreviewHeight};
  std::unique_ptr<DibImage, DibImageDeleter> fitted(DecodeImage(picture, &box, media_type::kNone, 0));
  std::unique_ptr<DibImage, DibImageDeleter> canvas(CreateDibImage(kPreviewWidth, kPreviewHeight, 24));
  if (!fitted || !canvas || box.cx > kPreviewWidth || box.cy > kPreviewHeight) return false;
  FillDibImage(canvas.get(), 0xFF, 0xFF, 0xFF);
  const LONG left = (kPreviewWidth - box.cx) / 2;
  const LONG top = (kPreviewHeight - box.cy) / 2;
  for (LONG row = 0; row < box.cy; ++row) {
    std::copy_n(DibRowFromTop(fitted.get(), row), static_cast<std::size_t>(box.cx) * 3,
                DibRowFromTop(canvas.get(), top + row) + left * 3);
  }
  return EncodeImage(canvas.get(), preview, media_type::kJpeg, kPreviewQuality, nullptr, 0) != FALSE;
}

}  // namespace

CString TemplateIndexName(std::u16string_view folder) {
  const CString format = transport::LoadResourceString(kIndexNameFormat);
  CString language = transport::LoadResourceString(kLanguageCode);
  if (language.IsEmpty()) language = CString(u"0409");
  if (!format.IsEmpty()) {
    CString name;
    name.Format(format, language.GetString());
    if (Exists(CString(folder) + name.View())) return name;
  }
  return CString(kDefaultIndexName);
}

bool TemplateStore::Open(LPCWSTR folder, LPCWSTR customName, LPCWSTR indexName) {
  m_folder = CString(folder != nullptr ? folder : u"");
  if (m_folder.IsEmpty() || m_folder[m_folder.GetLength() - 1] != u'\\') m_folder += u'\\';
  m_indexName = CString(indexName != nullptr ? indexName : kPlainIndexName);
  m_customName = CString(customName != nullptr ? customName : u"");
  m_index = TemplateIndex{};
  return Load();
}

bool TemplateStore::Load() {
  std::string bytes;
  if (ReadSmallFile(IndexPath(), bytes)) {
    TemplateIndexParse parse =
        ParseTemplateIndex({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    if (parse.ok()) {
      m_index = std::move(parse.index);
      return true;
    }
  }
  // A missing, foreign or damaged index: the templates' files stay where they are, but only the
  // custom entry can be offered, and file names start again from 0.
  m_index = TemplateIndex{};
  return AddCustom();
}

const TemplateEntry* TemplateStore::Find(std::u16string_view name) const {
  auto found = std::find_if(m_index.entries.begin(), m_index.entries.end(),
                            [&](const TemplateEntry& entry) { return entry.name == name; });
  return found == m_index.entries.end() ? nullptr : &*found;
}

bool TemplateStore::Add(std::u16string_view name, LPCWSTR sourceMessageFile, LPCWSTR sourcePicture, DWORD flag) {
  if (name.empty() || sourceMessageFile == nullptr || !Exists(sourceMessageFile)) return false;
  // An index with more entries than the reader takes would be thrown away on the next opening,
  // and every template with it: a full store takes no new name.
  const bool replacing = std::any_of(m_index.entries.begin(), m_index.entries.end(), [&](const TemplateEntry& existing) {
    return existing.name == name && existing.flag == 0;
  });
  if (!replacing && m_index.entries.size() >= kMaxTemplateEntries) return false;
  // Fresh file names every time, so that nothing an index names outside the folder is written to.
  const int number = static_cast<int>(m_index.runningNumber);
  TemplateEntry entry;
  entry.name = CString(name);
  entry.flag = flag;
  entry.messageFile.Format(u"%s%d%s", m_folder.GetString(), number, CString(ExtensionOf(sourceMessageFile)).GetString());
  entry.previewFile.Format(u"%s%d%s", m_folder.GetString(), number, u".jpg");
  CreateDirectoryW(m_folder, nullptr);
  if (!CopyFileW(sourceMessageFile, entry.messageFile, FALSE)) return false;
  if (sourcePicture == nullptr || !Exists(sourcePicture) || !WritePreview(sourcePicture, entry.previewFile)) {
    DeleteFileW(entry.previewFile);
    entry.previewFile.Empty();
  }
  ++m_index.runningNumber;
  auto old = std::find_if(m_index.entries.begin(), m_index.entries.end(),
                          [&](const TemplateEntry& existing) { return existing.name == name && existing.flag == 0; });
  if (old == m_index.entries.end()) {
    m_index.entries.push_back(std::move(entry));
  } else {
    DeleteOwnFiles(*old);
    *old = std::move(entry);
  }
  return WriteIndex();
}

bool TemplateStore::AddCustom() {
  TemplateEntry custom;
  custom.name = m_customName;
  custom.previewFile = m_folder + kCustomPreview;
  custom.flag = 1;
  m_index.entries.push_back(std::move(custom));
  return WriteIndex();
}

bool TemplateStore::Remove(std::u16string_view name) {
  auto found = std::find_if(m_index.entries.begin(), m_index.entries.end(),
                            [&](const TemplateEntry& entry) { return entry.name == name; });
  if (found == m_index.entries.end()) return false;
  DeleteOwnFiles(*found);
  m_index.entries.erase(found);
  return WriteIndex();
}

void TemplateStore::DeleteOwnFiles(const TemplateEntry& entry) const {
  // Only files inside the store's own folder are deleted: an index names them, and an index is
  // outside data.
  for (const CString* file : {&entry.messageFile, &entry.previewFile}) {
    if (!file->IsEmpty() && file->Left(m_folder.GetLength()).CompareNoCase(m_folder.View()) == 0 &&
        file->Find(u"..") < 0) {
      DeleteFileW(*file);
    }
  }
}

void TemplateStore::Clear() { m_index.entries.clear(); }

bool TemplateStore::WriteIndex() const {
  // The folder and any folder above it that is missing.
  for (int slash = m_folder.Find(u'\\', 1); slash >= 0; slash = m_folder.Find(u'\\', slash + 1)) {
    CreateDirectoryW(m_folder.Left(slash), nullptr);
  }
  const std::string bytes = SerializeTemplateIndex(m_index);
  const CString path = IndexPath();
  const CString temporary = path + u".new";
  HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size() && FlushFileBuffers(file);
  CloseHandle(file);
  ok = ok && MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING);
  if (!ok) DeleteFileW(temporary);
  return ok;
}
