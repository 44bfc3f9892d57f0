#include "forms/compose_data_block.h"

#include <string_view>

namespace {

std::optional<CString> CopyWord(LPCWSTR word) {
  if (word == nullptr) return std::nullopt;
  std::size_t length = 0;
  while (length < kMaxDataWordChars && word[length] != 0) ++length;
  return CString(std::u16string_view(word, length));
}

}  // namespace

ComposeWords ComposeWords::CopyOf(const ComposeDataBlock* block) {
  ComposeWords copy;
  if (block == nullptr) return copy;
  copy.present = true;
  for (int i = 0; i < 5; ++i) copy.words[i] = CopyWord(block->words[i]);
  copy.flags = static_cast<DWORD>(block->flags);
  return copy;
}

int CreationModeOf(const ComposeWords& words) {
  if (!words.Has(data_word::kMarker) || !words.Has(data_word::kBcc)) return -1;
  if (words.Text(data_word::kMarker).CompareNoCase(kCreationMarker) != 0) return -1;
  static constexpr const char16_t* kSwitches[] = {u"/PV", u"/AU", u"/VC", u"/VR", u"/AT"};
  const CString creationSwitch = words.Text(data_word::kBcc);
  for (int mode = 0; mode < 5; ++mode) {
    if (creationSwitch.CompareNoCase(kSwitches[mode]) == 0) return mode;
  }
  return -1;
}
