// The emoticon set: the texts that stand for emoticons (":-)" and the like) and, in the same order,
// the pictures that show them, read from an index file in the emoticon folder of the screen in use.
//
//   [GENERAL]      COUNT=n
//   [EMOTICON1]    EMOTION=text   DYNICON=picture file name, relative to the folder
//   ...            up to [EMOTICONn]
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "model/media_types.h"
#include "platform/text/cstring.h"

// Every emoticon picture is an animated GIF.
constexpr MediaType kEmoticonPictureType = 0x10002;
// Texts and file names are at most this long, as the index's writers keep them.
constexpr std::size_t kMaxEmoticonValue = 259;
// More emoticons than any picker can offer: a larger COUNT is a damaged index.
constexpr long kMaxEmoticons = 2048;

struct EmoticonPicture {
  CString path;  // the folder followed by the index's file name
  MediaType type = kEmoticonPictureType;
};

enum class EmoticonIndexStatus {
  kOk,
  kNoIndex,       // no index file, or one that cannot be read as a profile
  kNoCount,       // no COUNT in [GENERAL], or one that is not a number
  kBadCount,      // a negative COUNT or one above kMaxEmoticons
  kMissingKey,    // an emoticon's section lacks EMOTION or DYNICON
  kTooLong,       // a value longer than kMaxEmoticonValue
  kUnsafePicture, // a picture name that leaves the folder (a drive, a leading "\", "..")
};

struct EmoticonIndexParse {
  EmoticonIndexStatus status = EmoticonIndexStatus::kOk;
  long entry = 0;  // the emoticon (from 1) whose section failed, 0 for the head
  std::vector<CString> texts;
  std::vector<EmoticonPicture> pictures;
  bool ok() const { return status == EmoticonIndexStatus::kOk; }
};

// Reads the index text; pictures are named below `folder` (which ends with a backslash). Text is
// 8-bit in the device's code page. A failure leaves both lists empty.
EmoticonIndexParse ParseEmoticonIndex(std::string_view text, std::u16string_view folder);

// "Emoticon_WxH.ini" with the short and the long side of the screen.
CString EmoticonIndexFileName(int width, int height);
// The per-screen sub-folder ("Emoticon_240x320\" ...), empty for a 176 x 220 screen.
CString EmoticonSubFolder(int width, int height);
// The folder the set is read from: `folder` itself when it holds the screen's index, else its
// sub-folder for the screen when that exists, else `folder`.
CString EmoticonFolderFor(std::u16string_view folder, int width, int height);
// String setting EmoticonPath with a trailing backslash, or the emoticon folder setting when unset.
CString ConfiguredEmoticonFolder();

class EmoticonSet {
 public:
  // Loads the set for the device's screen from `folder`; false (and an empty set) on any failure.
  bool Load(std::u16string_view folder);
  // The same for a screen of the given size.
  bool LoadFor(std::u16string_view folder, int width, int height);
  void Clear();

  int Count() const { return static_cast<int>(m_texts.size()); }
  const CString& Text(int i) const { return m_texts[static_cast<std::size_t>(i)]; }
  const EmoticonPicture& Picture(int i) const { return m_pictures[static_cast<std::size_t>(i)]; }
  EmoticonIndexStatus Status() const { return m_status; }
  // The folder the set was read from.
  const CString& Folder() const { return m_folder; }

 private:
  std::vector<CString> m_texts;
  std::vector<EmoticonPicture> m_pictures;
  EmoticonIndexStatus m_status = EmoticonIndexStatus::kNoIndex;
  CString m_folder;
};
