#include "presentation/part_reference.h"

#include <algorithm>
#include <string>

#include "platform/text/text_conversion.h"

namespace {

constexpr std::u16string_view kCidScheme = u"cid:";

// The text between the first "<" and the first ">" when both are there in that order.
std::u16string_view Bracketed(std::u16string_view text) {
  const std::size_t open = text.find(u'<');
  const std::size_t close = text.find(u'>');
  if (open == std::u16string_view::npos || close == std::u16string_view::npos || close < open) {
    return text;
  }
  return text.substr(open + 1, close - open - 1);
}

std::u16string FlattenFolders(std::u16string_view text) {
  std::u16string flat(text);
  std::replace_if(flat.begin(), flat.end(), [](char16_t c) { return c == u'/' || c == u'\\'; }, u'_');
  return flat;
}

std::u16string_view Stem(std::u16string_view name) { return name.substr(0, name.rfind(u'.')); }

bool IsDrmMessageName(std::u16string_view name) {
  const std::size_t dot = name.rfind(u'.');
  return dot != std::u16string_view::npos && platform::EqualsNoCase(name.substr(dot), u".dm");
}

}  // namespace

MediaPart* FindReferencedPart(PartList& parts, std::string_view reference) {
  std::u16string wide = platform::IsValidUtf8(reference) ? platform::Utf8ToUtf16(reference)
                                                          : platform::Decode(CP_ACP, reference);
  const bool byContentId = wide.size() >= kCidScheme.size() &&
                           platform::EqualsNoCase(std::u16string_view(wide).substr(0, kCidScheme.size()), kCidScheme);
  if (byContentId) {
    wide.erase(0, kCidScheme.size());
  } else {
    wide = FlattenFolders(wide);
  }
  const bool anyExtension = IsDrmMessageName(wide);
  for (MediaPart& part : parts) {
    if (byContentId && !part.contentId.IsEmpty()) {
      if (platform::EqualsNoCase(Bracketed(part.contentId.View()), wide)) {
        return &part;
      }
      continue;
    }
    const CString& name = part.contentLocation.IsEmpty() ? part.fileName : part.contentLocation;
    const std::u16string flat = FlattenFolders(Bracketed(name.View()));
    const bool same = anyExtension ? platform::EqualsNoCase(Stem(flat), Stem(wide))
                                   : platform::EqualsNoCase(flat, wide);
    if (same) {
      return &part;
    }
  }
  return nullptr;
}
