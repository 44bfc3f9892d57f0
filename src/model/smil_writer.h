// The SMIL writer: the message layout and slides as the simple presentation text that messages
// carry ("mms.smil"): one root layout, one or two regions, one `par` per slide with at most one
// element per media kind.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/message_model.h"

// How the text is laid out. The saved file uses LF and the text styles; the size estimate of a
// message measures CR LF lines without styles.
struct SmilTextForm {
  std::string_view lineEnd = "\n";
  bool rootLayout = true;
  bool textStyles = true;
};

// The presentation text, or nothing when the layout has no region or more than two. Regions are
// written as percentages of the root layout. A reference whose part has no file name, or one of 260
// bytes or more in UTF-8, is left out of its `par`.
std::optional<std::string> ComposeSmil(const MessageLayout& layout, const SlideList& slides,
                                       const SmilTextForm& form);

// Writes the presentation to `path` (created or emptied), with the root layout when the
// NeedInsertRootLayout setting is on. False, and no file, when the layout is unusable or the file
// cannot be written.
bool WriteSmil(std::u16string_view path, const MessageLayout& layout, const SlideList& slides);

// The name a presentation gives a region's fit: 2 and any value outside 0 to 4 are "meet".
const char* SmilFitName(RegionFit fit);
