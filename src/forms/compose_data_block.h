// The data block a host hands to a compose open: five wide strings (To, Cc, Bcc, subject and the
// creation marker, each may be null) and a flags word. The form copies the strings at once, since
// the host's buffers may go as soon as the call returns.
#pragma once

#include <array>
#include <optional>

#include "platform/text/cstring.h"
#include "platform/win_types.h"

// As the host lays it out.
struct ComposeDataBlock {
  LPCWSTR words[5];
  UINT_PTR flags;
};

namespace data_word {
constexpr int kTo = 0;
constexpr int kCc = 1;
constexpr int kBcc = 2;
constexpr int kSubject = 3;
constexpr int kMarker = 4;
}  // namespace data_word

// Marks a creation request in the marker word, compared without regard to case.
inline constexpr const char16_t* kCreationMarker = u"/C-C";
// The client application's replies through the hand-shake value, in the Bcc word.
inline constexpr const char16_t* kMenuReply = u"QuillonMenuExtReply";
inline constexpr const char16_t* kMenuReplyAll = u"QuillonMenuExtReplyAll";
// A word is read up to its terminating null but never beyond this many characters.
constexpr std::size_t kMaxDataWordChars = 1 << 20;

// The form's own copy of the block; a null word stays distinct from an empty one.
struct ComposeWords {
  bool present = false;
  std::array<std::optional<CString>, 5> words;
  DWORD flags = 0;

  static ComposeWords CopyOf(const ComposeDataBlock* block);
  bool Has(int word) const { return words[word].has_value(); }
  // The word's text, empty when it is null.
  CString Text(int word) const { return words[word].value_or(CString()); }
  void Drop(int word) { words[word].reset(); }
};

// The creation mode a request asks for: with the marker "/C-C" in word 4, the switch in word 2
// ("/PV" 0, "/AU" 1, "/VC" 2, "/VR" 3, "/AT" 4, without regard to case); -1 for no request.
int CreationModeOf(const ComposeWords& words);
