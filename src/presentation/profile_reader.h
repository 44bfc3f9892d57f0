// The profile reader: index files of sections and "key = value" lines (the emoticon index and the
// like), loaded once and looked up by section and key without regard to case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

struct ProfileKey {
  std::string name;
  std::string value;
};

struct ProfileSection {
  std::string name;
  std::vector<ProfileKey> keys;
};

enum class ProfileStatus {
  kOk,
  kNoPath,
  kCannotOpen,    // missing and not creatable, a folder, or unreadable
  kTooLarge,      // a file above kMaxProfileFile
  kLineTooLong,   // a line of kMaxProfileLine bytes or more, line end included
  kKeyOutsideSection,
};

struct ProfileError {
  ProfileStatus status = ProfileStatus::kOk;
  std::size_t offset = 0;  // where the offending line starts
  std::size_t line = 0;    // its number, from 1
};

constexpr std::size_t kMaxProfileLine = 2048;
constexpr std::size_t kMaxProfileFile = 1u << 20;

class ProfileReader {
 public:
  explicit ProfileReader(std::vector<ProfileSection> sections) : m_sections(std::move(sections)) {}
  const std::vector<ProfileSection>& Sections() const { return m_sections; }
  // The first key of that name in the first section of that name that has it (both in any case).
  const ProfileKey* Find(std::string_view section, std::string_view key) const;

 private:
  std::vector<ProfileSection> m_sections;
};

// Lines end in LF or CR LF. Blank lines, comments ("*", "#", ";" first), lines starting with "=" and
// lines that are neither "[section]" nor "key = value" are skipped.
std::unique_ptr<ProfileReader> ParseProfileText(std::string_view text, ProfileError* error = nullptr);

// Reads the file (creating it empty when it does not exist); nothing when it cannot be read or parsed.
std::unique_ptr<ProfileReader> OpenProfile(std::u16string_view path, ProfileError* error = nullptr);

enum class ProfileValueType { kInteger = 1, kString = 2 };

// A look-up: the section (none: "default") and key, with leading and trailing spaces and tabs ignored;
// the result goes into `buffer`: a zero-terminated string, or the first bytes (at most 4) of a LONG in
// the byte order of the machine. `length` becomes the length of a string result.
struct ProfileQuery {
  std::string_view section;
  std::string_view key;
  ProfileValueType type = ProfileValueType::kString;
  std::span<char> buffer;
  std::size_t length = 0;
};

// True when the key was found and the value fits: a string must be shorter than the buffer; an integer
// is its leading decimal digits.
bool GetProfileValue(const ProfileReader* reader, ProfileQuery& query);

// Frees the reader and everything it holds.
void CloseProfile(std::unique_ptr<ProfileReader> reader);
