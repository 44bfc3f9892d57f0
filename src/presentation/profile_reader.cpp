#include "presentation/profile_reader.h"

#include <algorithm>
#include <cstring>

#include "model/device_file.h"
#include "platform/kernel/file_api.h"
#include "presentation/smil_values.h"
#include "platform/text/text_conversion.h"

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kDefaultSection = "default";

std::string_view Trim(std::string_view text, std::string_view characters = kBlanks) {
  const std::size_t first = text.find_first_not_of(characters);
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(characters) - first + 1);
}

using platform::EqualsNoCase;

enum class LineKind { kSkipped, kSection, kKey };

struct ParsedLine {
  LineKind kind = LineKind::kSkipped;
  std::string_view name;
  std::string_view value;
};

// line = blank | comment | "[" name "]" | key "=" value ; anything else is skipped.
ParsedLine ClassifyLine(std::string_view line) {
  const std::size_t first = line.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) {
    return {};
  }
  const char lead = line[first];
  if (lead == '*' || lead == '#' || lead == ';' || lead == '=') {
    return {};
  }
  if (lead == '[') {
    const std::size_t last = line.find_last_not_of(kBlanks);
    if (last == first || line[last] != ']') {
      return {};
    }
    return {LineKind::kSection, Trim(line.substr(first + 1, last - first - 1)), {}};
  }
  const std::size_t equals = line.find('=', first);
  if (equals == std::string_view::npos) {
    return {};
  }
  return {LineKind::kKey, Trim(line.substr(first, equals - first)), Trim(line.substr(equals + 1), " \t=")};
}

std::unique_ptr<ProfileReader> Fail(ProfileError* error, ProfileStatus status, std::size_t offset = 0,
                                    std::size_t line = 0) {
  if (error != nullptr) {
    *error = {status, offset, line};
  }
  return nullptr;
}

}  // namespace

const ProfileKey* ProfileReader::Find(std::string_view section, std::string_view key) const {
  for (const ProfileSection& candidate : m_sections) {
    if (!EqualsNoCase(candidate.name, section)) {
      continue;
    }
    const auto found = std::find_if(candidate.keys.begin(), candidate.keys.end(),
                                    [&](const ProfileKey& entry) { return EqualsNoCase(entry.name, key); });
    if (found != candidate.keys.end()) {
      return &*found;
    }
  }
  return nullptr;
}

std::unique_ptr<ProfileReader> ParseProfileText(std::string_view text, ProfileError* error) {
  if (text.size() > kMaxProfileFile) {
    return Fail(error, ProfileStatus::kTooLarge);
  }
  std::vector<ProfileSection> sections;
  std::size_t lineNumber = 0;
  for (std::size_t start = 0; start < text.size();) {
    ++lineNumber;
    const std::size_t newline = text.find('\n', start);
    // A last line without its end counts as if it had CR LF.
    const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
    const std::size_t stored = newline == std::string_view::npos ? end - start + 2 : end - start + 1;
    if (stored >= kMaxProfileLine) {
      return Fail(error, ProfileStatus::kLineTooLong, start, lineNumber);
    }
    std::string_view line = text.substr(start, end - start);
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    const ParsedLine parsed = ClassifyLine(line);
    if (parsed.kind == LineKind::kSection) {
      sections.push_back({std::string(parsed.name), {}});
    } else if (parsed.kind == LineKind::kKey) {
      if (sections.empty()) {
        return Fail(error, ProfileStatus::kKeyOutsideSection, start, lineNumber);
      }
      sections.back().keys.push_back({std::string(parsed.name), std::string(parsed.value)});
    }
    start = end + 1;
  }
  if (error != nullptr) {
    *error = {};
  }
  return std::make_unique<ProfileReader>(std::move(sections));
}

std::unique_ptr<ProfileReader> OpenProfile(std::u16string_view path, ProfileError* error) {
  if (path.empty()) {
    return Fail(error, ProfileStatus::kNoPath);
  }
  const std::u16string name(path);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return Fail(error, ProfileStatus::kCannotOpen);
  }
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    ScopedFile created(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!created.IsValid()) {
      return Fail(error, ProfileStatus::kCannotOpen);
    }
  }
  const FileReadResult file = ReadDeviceFile(path, kMaxProfileFile);
  if (file.status != FileReadStatus::kOk) {
    return Fail(error, file.status == FileReadStatus::kTooLarge ? ProfileStatus::kTooLarge : ProfileStatus::kCannotOpen);
  }
  return ParseProfileText(file.bytes, error);
}

bool GetProfileValue(const ProfileReader* reader, ProfileQuery& query) {
  const std::string_view key = Trim(query.key);
  const bool knownType = query.type == ProfileValueType::kInteger || query.type == ProfileValueType::kString;
  if (reader == nullptr || key.empty() || query.buffer.empty() || !knownType) {
    return false;
  }
  const std::string_view section = Trim(query.section);
  const ProfileKey* found = reader->Find(section.empty() ? kDefaultSection : section, key);
  if (found == nullptr) {
    return false;
  }
  if (query.type == ProfileValueType::kString) {
    if (found->value.size() >= query.buffer.size()) {
      return false;
    }
    std::memcpy(query.buffer.data(), found->value.data(), found->value.size());
    query.buffer[found->value.size()] = '\0';
    query.length = found->value.size();
    return true;
  }
  const LONG number = LeadingInteger(found->value);
  std::memcpy(query.buffer.data(), &number, std::min(sizeof number, query.buffer.size()));
  return true;
}

void CloseProfile(std::unique_ptr<ProfileReader> reader) { reader.reset(); }
