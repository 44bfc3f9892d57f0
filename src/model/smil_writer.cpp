#include "model/smil_writer.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "model/device_file.h"
#include "platform/text/text_conversion.h"

namespace {

constexpr std::size_t kMaxSourceBytes = MAX_PATH - 1;

class SmilText {
 public:
  explicit SmilText(const SmilTextForm& form) : m_form(form) {}

  // Appends one line made from a printf format; the line end is added here.
  void Line(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    char buffer[1024];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (length > 0) {
      m_text.append(buffer, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
    }
    m_text.append(m_form.lineEnd);
  }
  void Append(std::string_view text) { m_text.append(text); }
  void EndLine() { m_text.append(m_form.lineEnd); }
  const SmilTextForm& Form() const { return m_form; }
  std::string Take() { return std::move(m_text); }

 private:
  const SmilTextForm& m_form;
  std::string m_text;
};

const char* RegionName(RegionKind kind) { return kind == RegionKind::kImage ? "Image" : "Text"; }

unsigned Red(COLORREF color) { return color & 0xFF; }
unsigned Green(COLORREF color) { return (color >> 8) & 0xFF; }
unsigned Blue(COLORREF color) { return (color >> 16) & 0xFF; }

// A region value as the presentation writes it: a whole percentage of `total` when it is one (as in
// the 100 x 100 layout of composed messages), else its pixels, so that it reads back to the same
// pixels whatever the size of the root layout.
std::string RegionValue(LONG value, LONG total) {
  const long long scaled = static_cast<long long>(value) * 100;
  if (total <= 0) return std::to_string(value) + "%";
  if (scaled % total == 0) return std::to_string(scaled / total) + "%";
  return std::to_string(value);
}

// The part's file name for a src attribute, escaped for XML; empty when it cannot be written.
std::string SourceName(const MediaPart* part) {
  if (part == nullptr) {
    return {};
  }
  const std::string name = platform::Utf16ToUtf8(part->fileName.View());
  if (name.size() > kMaxSourceBytes) {
    return {};
  }
  std::string escaped;
  for (const char c : name) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string ColorAttribute(const char* name, COLORREF color) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, " %s=\"#%02x%02x%02x\"", name, Red(color), Green(color), Blue(color));
  return buffer;
}

std::string TextAttributes(const MediaPart& part, bool withStyles) {
  std::string attributes = " region=\"Text\"";
  if (!withStyles) {
    return attributes;
  }
  if (part.style.textColorGiven) {
    attributes += ColorAttribute("fontcolor", part.style.textColor);
  }
  if (part.style.backgroundColorGiven) {
    attributes += ColorAttribute("background-color", part.style.backgroundColor);
  }
  if (part.style.fontSizeGiven) {
    attributes += " fontsize=\"" + std::to_string(part.style.fontSize) + "\"";
  }
  return attributes;
}

void MediaElement(SmilText& text, const char* element, const std::optional<MediaRef>& reference) {
  if (!reference) {
    return;
  }
  const std::string source = SourceName(reference->part);
  if (source.empty()) {
    return;
  }
  const std::string_view name(element);
  std::string attributes;
  if (name == "text") {
    attributes = TextAttributes(*reference->part, text.Form().textStyles);
  } else if (name != "audio") {
    attributes = std::string(" region=\"") + RegionName(reference->role) + "\"";
  }
  text.Append("<" + std::string(name) + " src=\"" + source + "\"" + attributes + "/>");
  text.EndLine();
}

void Head(SmilText& text, const MessageLayout& layout) {
  text.Line("<smil>");
  text.Line("<head>");
  text.Line("<meta name=\"title\" content=\"mms\"/>");
  text.Line("<layout>");
  if (text.Form().rootLayout) {
    const COLORREF color = layout.backgroundColor;
    text.Line("<root-layout background-color=\"#%02x%02x%02x\" width=\"%d\" height=\"%d\" />", Red(color),
              Green(color), Blue(color), layout.width, layout.height);
  }
  for (const LayoutRegion& region : layout.regions) {
    text.Line("<region id=\"%s\" left=\"%s\" top=\"%s\" width=\"%s\" height=\"%s\" fit=\"%s\" />",
              RegionName(region.kind), RegionValue(region.left, layout.width).c_str(),
              RegionValue(region.top, layout.height).c_str(),
              RegionValue(region.right - region.left, layout.width).c_str(),
              RegionValue(region.bottom - region.top, layout.height).c_str(), SmilFitName(region.fit));
  }
  text.Line("</layout>");
  text.Line("</head>");
}

}  // namespace

std::optional<std::string> ComposeSmil(const MessageLayout& layout, const SlideList& slides,
                                       const SmilTextForm& form) {
  if (layout.regions.empty() || layout.regions.size() > kMaxLayoutRegions) {
    return std::nullopt;
  }
  SmilText text(form);
  Head(text, layout);
  text.Line("<body>");
  for (const Slide& slide : slides) {
    text.Line("<par dur=\"%lums\" >", static_cast<unsigned long>(slide.duration));
    const bool hasVideo = slide.video.has_value();
    if (!hasVideo) {
      MediaElement(text, "img", slide.image);
    }
    MediaElement(text, "text", slide.text);
    if (!hasVideo) {
      MediaElement(text, "audio", slide.audio);
    }
    MediaElement(text, "video", slide.video);
    text.Line("</par>");
  }
  text.Line("</body>");
  text.Line("</smil>");
  return text.Take();
}

bool WriteSmil(std::u16string_view path, const MessageLayout& layout, const SlideList& slides) {
  SmilTextForm form;
  form.rootLayout = GetConfigValue(numeric_setting::kNeedInsertRootLayout) != 0;
  const std::optional<std::string> text = ComposeSmil(layout, slides, form);
  return text && WriteDeviceFile(path, *text);
}

const char* SmilFitName(RegionFit fit) {
  switch (fit) {
    case RegionFit::kHidden: return "hidden";
    case RegionFit::kFill: return "fill";
    case RegionFit::kSlice: return "slice";
    case RegionFit::kScroll: return "scroll";
    default: return "meet";
  }
}
