// The SMIL presentation model: what a received presentation says, read with XmlTree into the root
// layout, the regions and the body as a tree of time containers and media elements. Times are
// milliseconds (0: not given); strings are 8-bit copies, empty when not given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"
#include "presentation/smil_values.h"
#include "presentation/xml_tree.h"

struct SmilRootLayout {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::string backgroundColor;
};

struct SmilRegion {
  std::string id;
  std::uint16_t top = 0;  // lengths: see ParseSmilLength
  std::uint16_t left = 0;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::string backgroundColor;
  SmilFit fit = SmilFit::kHidden;
  std::uint8_t zIndex = 0;
};

struct SmilMeta {
  std::string name;
  std::string content;
};

struct SmilTransition {
  std::string id;
  std::string type;
  std::string subtype;
  LONG dur = 0;
};

struct SmilTiming {
  LONG dur = 0;
  LONG repeatDur = 0;
  LONG repeatCount = 0;
  LONG begin = 0;
  LONG end = 0;
  SmilFill fill = SmilFill::kNone;
  bool IsEmpty() const {
    return dur == 0 && repeatDur == 0 && repeatCount == 0 && begin == 0 && end == 0 && fill == SmilFill::kNone;
  }
};

enum class SmilMediaKind : std::uint8_t { kImage = 1, kText, kAudio, kRef, kVideo, kAnimation, kTextStream };

struct SmilMedia {
  SmilMediaKind kind = SmilMediaKind::kImage;
  std::string region;
  std::string src;
  std::string alt;
  LONG dur = 0;
  LONG repeatDur = 0;
  LONG repeatCount = 0;
  LONG begin = 0;
  LONG end = 0;
  SmilFill fill = SmilFill::kNone;
  LONG clipBegin = 0;
  LONG clipEnd = 0;
  std::string transIn;
  std::string transOut;
  std::string fontName;
  std::string fontColor;
  std::string backgroundColor;
  LONG fontSize = 0;
};

enum class SmilNodeClass : std::uint8_t { kMedia = 1, kContainer = 2 };
enum class SmilContainerKind : std::uint8_t { kSeq = 0, kPar = 1 };

// A body node: a media element, or a time container (seq or par) with its children.
struct SmilNode {
  SmilNodeClass nodeClass = SmilNodeClass::kMedia;
  SmilMedia media;  // media elements
  SmilContainerKind containerKind = SmilContainerKind::kSeq;  // containers
  std::optional<SmilTiming> timing;
  std::vector<SmilNode> children;
};

struct SmilPresentation {
  std::optional<SmilRootLayout> rootLayout;
  std::vector<SmilRegion> regions;
  std::vector<SmilMeta> meta;
  std::vector<SmilTransition> transitions;
  std::vector<SmilNode> body;
};

enum class SmilLoadStatus { kOk, kCannotOpen, kTooLarge, kNotXml };

struct SmilLoadResult {
  SmilLoadStatus status = SmilLoadStatus::kCannotOpen;
  XmlParseResult xml;  // where the text failed to load as XML
  explicit operator bool() const { return status == SmilLoadStatus::kOk; }
};

// Presentation files above this size are refused unread; real ones are a few kilobytes.
constexpr std::size_t kMaxPresentationFile = 1u << 20;
// Names and attribute values are cut to this many characters.
constexpr std::size_t kMaxSmilValue = 255;

// Parses presentation text (8-bit, up to its first zero byte). The root element may have any name.
std::optional<SmilPresentation> ParsePresentation(std::string_view text, SmilLoadResult* result = nullptr);

// Reads and parses a presentation file.
std::optional<SmilPresentation> LoadPresentation(std::u16string_view path, SmilLoadResult* result = nullptr);
