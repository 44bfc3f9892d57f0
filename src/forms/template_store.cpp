#include "forms/template_store.h"

#include <algorithm>
#include <string>

#include "platform/file_api.h"
#include "transport/resource_module.h"

namespace {

constexpr UINT kIndexNameFormat = 40797;
constexpr UINT kLanguageCode = 40920;
constexpr const char16_t* kDefaultIndexName = u"MMSTemplates0409.inf";
constexpr const char16_t* kPlainIndexName = u"MMSTemplates.inf";
constexpr const char16_t* kCustomPreview = u"custom.jpg";

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
  // Only files inside the store's own folder are deleted: an index names them, and an index is
  // outside data.
  for (const CString* file : {&found->messageFile, &found->previewFile}) {
    if (!file->IsEmpty() && file->Left(m_folder.GetLength()).CompareNoCase(m_folder.View()) == 0 &&
        file->Find(u"..") < 0) {
      DeleteFileW(*file);
    }
  }
  m_index.entries.erase(found);
  return WriteIndex();
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
