#include "ui/emoticon_set.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <unordered_map>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "model/device_file.h"
#include "platform/kernel/file_api.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_api.h"
#include "platform/window/window_styles.h"
#include "presentation/profile_reader.h"

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The sections by their name in lower case, the first of each name winning, so that thousands of
// emoticons are found without searching the whole index for each one.
std::unordered_map<std::string, const ProfileSection*> SectionsByName(const ProfileReader& reader) {
  std::unordered_map<std::string, const ProfileSection*> sections;
  for (const ProfileSection& section : reader.Sections()) sections.emplace(Lower(section.name), &section);
  return sections;
}

const std::string* KeyValue(const ProfileSection* section, std::string_view key) {
  if (section == nullptr) return nullptr;
  for (const ProfileKey& entry : section->keys) {
    if (Lower(entry.name) == key) return &entry.value;
  }
  return nullptr;
}

// A leading decimal number, as the profile reader reads integers; none without a digit.
bool ReadCount(const std::string& value, long& count) {
  std::size_t at = 0;
  bool negative = false;
  if (at < value.size() && (value[at] == '-' || value[at] == '+')) negative = value[at++] == '-';
  if (at >= value.size() || value[at] < '0' || value[at] > '9') return false;
  long long number = 0;
  for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
    number = std::min<long long>(number * 10 + (value[at] - '0'), kMaxEmoticons + 1LL);
  }
  count = static_cast<long>(negative ? -number : number);
  return true;
}

// A picture name that stays inside the folder: no drive, no root, no step up, no control character.
bool IsSafePictureName(std::u16string_view name) {
  if (name.empty() || name[0] == u'\\' || name[0] == u'/' || name.find(u':') != std::u16string_view::npos) return false;
  if (std::any_of(name.begin(), name.end(), [](char16_t c) { return c < 0x20; })) return false;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = name.size();
    if (name.substr(start, end - start) == u"..") return false;
    start = end + 1;
  }
  return true;
}

EmoticonIndexParse Failure(EmoticonIndexStatus status, long entry) {
  EmoticonIndexParse parse;
  parse.status = status;
  parse.entry = entry;
  return parse;
}

bool FolderExists(const CString& folder) {
  const DWORD attributes = GetFileAttributesW(folder.Left(folder.GetLength() - 1));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

CString WithBackslash(std::u16string_view folder) {
  CString out(folder);
  if (out.IsEmpty() || out[out.GetLength() - 1] != u'\\') out += u'\\';
  return out;
}

}  // namespace

EmoticonIndexParse ParseEmoticonIndex(std::string_view text, std::u16string_view folder) {
  std::unique_ptr<ProfileReader> reader = ParseProfileText(text);
  if (!reader) return Failure(EmoticonIndexStatus::kNoIndex, 0);
  const auto sections = SectionsByName(*reader);
  auto section = [&](const std::string& name) {
    auto found = sections.find(name);
    return found == sections.end() ? nullptr : found->second;
  };
  const std::string* countText = KeyValue(section("general"), "count");
  long count = 0;
  if (countText == nullptr || !ReadCount(*countText, count)) return Failure(EmoticonIndexStatus::kNoCount, 0);
  if (count < 0 || count > kMaxEmoticons) return Failure(EmoticonIndexStatus::kBadCount, 0);
  EmoticonIndexParse parse;
  parse.texts.reserve(static_cast<std::size_t>(count));
  parse.pictures.reserve(static_cast<std::size_t>(count));
  for (long i = 1; i <= count; ++i) {
    const ProfileSection* entry = section("emoticon" + std::to_string(i));
    const std::string* emotion = KeyValue(entry, "emotion");
    const std::string* picture = KeyValue(entry, "dynicon");
    if (emotion == nullptr || picture == nullptr) return Failure(EmoticonIndexStatus::kMissingKey, i);
    if (emotion->size() > kMaxEmoticonValue || picture->size() > kMaxEmoticonValue) {
      return Failure(EmoticonIndexStatus::kTooLong, i);
    }
    const std::u16string pictureName = platform::Decode(CP_ACP, *picture);
    if (!IsSafePictureName(pictureName)) return Failure(EmoticonIndexStatus::kUnsafePicture, i);
    parse.texts.emplace_back(platform::Decode(CP_ACP, *emotion));
    parse.pictures.push_back(EmoticonPicture{CString(folder) + pictureName, kEmoticonPictureType});
  }
  return parse;
}

CString EmoticonIndexFileName(int width, int height) {
  CString name;
  name.Format(u"Emoticon_%dx%d.ini", std::min(width, height), std::max(width, height));
  return name;
}

CString EmoticonSubFolder(int width, int height) {
  const int shortSide = std::min(width, height);
  const int longSide = std::max(width, height);
  if (shortSide == 176 && longSide == 220) return CString();
  if (shortSide == 480 && longSide == 640) return CString(u"Emoticon_480x640\\");
  if (shortSide == 480 && longSide == 800) return CString(u"Emoticon_480x800\\");
  if (shortSide == 320 && longSide == 320) return CString(u"Emoticon_320x320\\");
  if (shortSide == longSide) return CString(u"Emoticon_240x240\\");
  return CString(u"Emoticon_240x320\\");
}

CString EmoticonFolderFor(std::u16string_view folder, int width, int height) {
  const CString base = WithBackslash(folder);
  if (DevicePathExists((base + EmoticonIndexFileName(width, height).View()).View())) return base;
  const CString sub = EmoticonSubFolder(width, height);
  if (sub.IsEmpty()) return base;
  const CString screenFolder = base + sub.View();
  return FolderExists(screenFolder) ? screenFolder : base;
}

CString ConfiguredEmoticonFolder() {
  CString folder = GetConfigString(string_setting::kEmoticonPath);
  if (folder.IsEmpty()) folder = GetFolderSetting(folder_setting::kEmoticonPath);
  return WithBackslash(folder.View());
}

bool EmoticonSet::Load(std::u16string_view folder) {
  return LoadFor(folder, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

bool EmoticonSet::LoadFor(std::u16string_view folder, int width, int height) {
  Clear();
  m_folder = EmoticonFolderFor(folder, width, height);
  const CString path = m_folder + EmoticonIndexFileName(width, height).View();
  FileReadResult file = ReadDeviceFile(path.View(), kMaxProfileFile);
  if (file.status != FileReadStatus::kOk) return false;
  EmoticonIndexParse parse = ParseEmoticonIndex(file.bytes, m_folder.View());
  m_status = parse.status;
  if (!parse.ok()) return false;
  m_texts = std::move(parse.texts);
  m_pictures = std::move(parse.pictures);
  return true;
}

void EmoticonSet::Clear() {
  m_texts.clear();
  m_pictures.clear();
  m_status = EmoticonIndexStatus::kNoIndex;
}
