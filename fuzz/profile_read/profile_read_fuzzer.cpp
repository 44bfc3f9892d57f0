// Parses arbitrary text as a profile. Names and values come out trimmed, and a look-up of every key
// kept finds the value of the first key of that name in the first matching section that has one.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "presentation/profile_reader.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool Trimmed(std::string_view text, std::string_view blanks) {
  return text.empty() || (blanks.find(text.front()) == std::string_view::npos &&
                          blanks.find(text.back()) == std::string_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ProfileError error;
  const auto reader = ParseProfileText(std::string_view(reinterpret_cast<const char*>(data), size), &error);
  if (!reader) {
    Check(error.status != ProfileStatus::kOk && error.offset <= size);
    return 0;
  }
  std::vector<char> buffer(size + 1);
  for (const ProfileSection& section : reader->Sections()) {
    Check(Trimmed(section.name, " \t"));
    for (const ProfileKey& key : section.keys) {
      Check(Trimmed(key.name, " \t") && Trimmed(key.value, " \t="));
      const ProfileKey* expected = reader->Find(section.name, key.name);
      Check(expected != nullptr);
      ProfileQuery query{section.name, key.name, ProfileValueType::kString, buffer};
      const bool found = GetProfileValue(reader.get(), query);
      // A look-up without a section name goes to the "default" section instead.
      if (!section.name.empty()) {
        Check(found && std::string_view(buffer.data(), query.length) == expected->value);
      }
    }
  }
  return 0;
}
