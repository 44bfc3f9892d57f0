// The message model: one MMS message body in memory, as its layout, its slides and its media parts.
// Every part's data lives in a file of the part folder; the model holds only names and properties.
#pragma once

#include <list>
#include <optional>
#include <vector>

#include "model/media_types.h"
#include "platform/text/cstring.h"
#include "platform/win_types.h"

constexpr COLORREF kWhite = 0x00FFFFFF;

// Kinds of a layout region, also the roles that media references play in it.
enum class RegionKind : int { kImage = 0, kText = 1 };

// How a picture fits its region, as numbered in the presentation text.
enum class RegionFit : int { kHidden = 0, kFill = 1, kMeet = 2, kSlice = 3, kScroll = 4 };

// The style a SMIL `text` element gives its text; each value counts only when its flag is set.
struct TextStyle {
  COLORREF textColor = 0;
  bool textColorGiven = false;
  COLORREF backgroundColor = kWhite;
  bool backgroundColorGiven = false;
  LONG fontSize = 12;
  bool fontSizeGiven = false;
};

struct MediaPart {
  MediaType type = media_type::kNone;
  bool forwardLock = false;
  // How many slide references use the part; a part no slide uses is an attachment.
  int inSlide = 0;
  CString contentId;
  CString contentLocation;
  TextStyle style;
  // For text parts: the size in bytes as the part came out of the message, before conversion.
  DWORD receivedSize = 0;
  // The name of the part's file inside the part folder.
  CString fileName;
  // The device file the part was copied from when the composer made it (maybe scaled); empty
  // otherwise. Inserting that file again reuses the part.
  CString sourcePath;
};

using PartList = std::list<MediaPart>;  // a list, so that references to parts stay valid

// One used media element of a slide. The parts it points to belong to the model's part list.
struct MediaRef {
  RegionKind role = RegionKind::kImage;
  LONG begin = 0;  // milliseconds; 0 when not given
  LONG end = 0;
  MediaPart* part = nullptr;
  MediaPart* alternative = nullptr;
};

struct Slide {
  TextStyle style;
  DWORD duration = 0;  // milliseconds
  DWORD minimumDuration = 2000;
  std::optional<MediaRef> image;
  std::optional<MediaRef> text;
  std::optional<MediaRef> audio;
  // A slide with a video uses neither its image nor its audio reference.
  std::optional<MediaRef> video;
};

using SlideList = std::list<Slide>;

struct LayoutRegion {
  RegionKind kind = RegionKind::kImage;
  LONG left = 0;  // pixels inside the root layout
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
  RegionFit fit = RegionFit::kHidden;
};

constexpr std::size_t kMaxLayoutRegions = 2;

struct MessageLayout {
  LONG width = 0;
  LONG height = 0;
  std::vector<LayoutRegion> regions;  // at most kMaxLayoutRegions
  COLORREF backgroundColor = kWhite;
};

struct MessageModel {
  MessageLayout layout;
  SlideList slides;
  PartList parts;
  CString partFolder;  // ends with "\"
  int attachmentCount = 0;
};

// A slide with the values of a new slide: its duration is the SlideDuration setting as read.
Slide NewSlide();

// Appends a personal-data part (type 0x50000 | format); it starts as an attachment.
PartList::iterator AddPart(MessageModel& model, std::u16string_view fileName, DWORD format);
PartList::iterator AddPartOfType(MessageModel& model, std::u16string_view fileName, MediaType type);

// Destroys the part. Slide references to it are dropped first, so that no slide points at a
// destroyed part; the attachment count shrinks when the part was an attachment.
void RemovePart(MessageModel& model, PartList::iterator part);

// Forgets the layout and destroys every slide; with dropParts also every part. Parts that stay are
// used by no slide afterwards.
void ResetModel(MessageModel& model, bool dropParts);

// The sum of all slide durations in milliseconds, held at 0xFFFFFFFF rather than wrapping.
DWORD TotalDuration(const MessageModel& model);

// SlideDuration raised to at least 2000 ms, then held to MaxDuration and to 600000 ms.
DWORD DefaultSlideDuration();

// Stores and returns the number of parts that no slide uses.
int CountAttachments(MessageModel& model);

// Points `slot` at `part` for `role`, counting the use; a reference the slot held is released first.
void SetReference(std::optional<MediaRef>& slot, MediaRef reference);
// Drops the reference in `slot`, releasing the use of its part.
void ClearReference(std::optional<MediaRef>& slot);
