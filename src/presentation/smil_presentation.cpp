#include "presentation/smil_presentation.h"

#include <algorithm>
#include <array>

#include "model/device_file.h"

namespace {

struct MediaName {
  std::string_view name;
  SmilMediaKind kind;
};
constexpr std::array<MediaName, 7> kMediaNames = {{
    {"img", SmilMediaKind::kImage},
    {"text", SmilMediaKind::kText},
    {"audio", SmilMediaKind::kAudio},
    {"ref", SmilMediaKind::kRef},
    {"video", SmilMediaKind::kVideo},
    {"animation", SmilMediaKind::kAnimation},
    {"textstream", SmilMediaKind::kTextStream},
}};

std::optional<SmilMediaKind> MediaKindOf(std::string_view name) {
  const auto found = std::find_if(kMediaNames.begin(), kMediaNames.end(),
                                  [&](const MediaName& media) { return media.name == name; });
  return found == kMediaNames.end() ? std::nullopt : std::optional(found->kind);
}

class PresentationReader {
 public:
  explicit PresentationReader(const XmlTree& tree) : m_tree(tree) {}

  SmilPresentation Read() {
    SmilPresentation presentation;
    const std::uint32_t root = m_tree.Root();
    if (const std::uint32_t head = FirstChild(root, "head")) {
      ReadHead(head, presentation);
    }
    if (const std::uint32_t body = FirstChild(root, "body")) {
      ReadContainer(body, presentation.body);
      WrapLooseMedia(presentation.body);
    }
    return presentation;
  }

 private:
  std::string Value(std::uint32_t record, std::string_view name) const {
    return m_tree.Attribute(record, name, kMaxSmilValue);
  }
  std::string ValueOr(std::uint32_t record, std::string_view name, std::string_view fallback) const {
    std::string value = Value(record, name);
    return value.empty() ? Value(record, fallback) : value;
  }
  LONG Time(std::uint32_t record, std::string_view name) const { return ParseSmilTime(Value(record, name)); }
  LONG Integer(std::uint32_t record, std::string_view name) const { return LeadingInteger(Value(record, name)); }
  std::string Name(std::uint32_t record) const { return m_tree.ElementName(record).substr(0, kMaxSmilValue); }

  std::uint32_t FirstChild(std::uint32_t record, std::string_view name) const {
    for (std::uint32_t child = m_tree.Span(record).firstChild; child != 0; child = m_tree.Span(child).nextSibling) {
      if (Name(child) == name) {
        return child;
      }
    }
    return 0;
  }

  void ReadHead(std::uint32_t head, SmilPresentation& presentation) const;
  void ReadLayout(std::uint32_t layout, SmilPresentation& presentation) const;
  SmilRegion ReadRegion(std::uint32_t record) const;
  SmilMedia ReadMedia(std::uint32_t record, SmilMediaKind kind) const;
  void ReadContainer(std::uint32_t container, std::vector<SmilNode>& nodes) const;
  static void WrapLooseMedia(std::vector<SmilNode>& body);

  const XmlTree& m_tree;
};

void PresentationReader::ReadHead(std::uint32_t head, SmilPresentation& presentation) const {
  if (const std::uint32_t layout = FirstChild(head, "layout")) {
    ReadLayout(layout, presentation);
  }
  for (std::uint32_t child = m_tree.Span(head).firstChild; child != 0; child = m_tree.Span(child).nextSibling) {
    const std::string name = Name(child);
    if (name == "meta") {
      presentation.meta.push_back({Value(child, "name"), Value(child, "content")});
    } else if (name == "transition") {
      presentation.transitions.push_back(
          {Value(child, "id"), Value(child, "type"), Value(child, "subtype"), Time(child, "dur")});
    }
  }
}

void PresentationReader::ReadLayout(std::uint32_t layout, SmilPresentation& presentation) const {
  if (const std::uint32_t root = FirstChild(layout, "root-layout")) {
    SmilRootLayout rootLayout;
    rootLayout.width = static_cast<std::uint16_t>(std::clamp<LONG>(Integer(root, "width"), 0, 0xFFFF));
    rootLayout.height = static_cast<std::uint16_t>(std::clamp<LONG>(Integer(root, "height"), 0, 0xFFFF));
    rootLayout.backgroundColor = ValueOr(root, "backgroundColor", "background-color");
    presentation.rootLayout = rootLayout;
  }
  for (std::uint32_t child = m_tree.Span(layout).firstChild; child != 0; child = m_tree.Span(child).nextSibling) {
    if (Name(child) == "region") {
      presentation.regions.push_back(ReadRegion(child));
    }
  }
}

SmilRegion PresentationReader::ReadRegion(std::uint32_t record) const {
  SmilRegion region;
  region.id = Value(record, "id");
  region.width = ParseSmilLength(Value(record, "width"));
  region.height = ParseSmilLength(Value(record, "height"));
  region.left = ParseSmilLength(Value(record, "left"));
  region.top = ParseSmilLength(Value(record, "top"));
  region.backgroundColor = ValueOr(record, "backgroundColor", "background-color");
  region.fit = ParseSmilFit(Value(record, "fit"));
  region.zIndex = static_cast<std::uint8_t>(std::clamp<LONG>(Integer(record, "z-index"), 0, 0xFF));
  return region;
}

SmilMedia PresentationReader::ReadMedia(std::uint32_t record, SmilMediaKind kind) const {
  SmilMedia media;
  media.kind = kind;
  media.src = Value(record, "src");
  media.region = Value(record, "region");
  media.alt = Value(record, "alt");
  media.dur = Time(record, "dur");
  media.begin = Time(record, "begin");
  media.end = Time(record, "end");
  media.repeatDur = Time(record, "repeatDur");
  media.repeatCount = Integer(record, "repeatCount");
  media.fill = ParseSmilFill(Value(record, "fill"));
  media.clipBegin = Time(record, "clipBegin");
  media.clipEnd = Time(record, "clipEnd");
  media.transIn = Value(record, "transIn");
  media.transOut = Value(record, "transOut");
  media.fontName = Value(record, "fontName");
  media.fontColor = Value(record, "fontcolor");
  media.backgroundColor = Value(record, "background-color");
  media.fontSize = Integer(record, "fontsize");
  return media;
}

// Children of a container (or of the body), in order. The recursion is as deep as the elements,
// which the tree caps.
void PresentationReader::ReadContainer(std::uint32_t container, std::vector<SmilNode>& nodes) const {
  for (std::uint32_t child = m_tree.Span(container).firstChild; child != 0; child = m_tree.Span(child).nextSibling) {
    const std::string name = Name(child);
    SmilNode node;
    if (name == "seq" || name == "par") {
      node.nodeClass = SmilNodeClass::kContainer;
      node.containerKind = name == "par" ? SmilContainerKind::kPar : SmilContainerKind::kSeq;
      const SmilTiming timing{Time(child, "dur"),  Time(child, "repeatDur"), Integer(child, "repeatCount"),
                              Time(child, "begin"), Time(child, "end"),      ParseSmilFill(Value(child, "fill"))};
      if (!timing.IsEmpty()) {
        node.timing = timing;
      }
      ReadContainer(child, node.children);
    } else if (const std::optional<SmilMediaKind> kind = MediaKindOf(name)) {
      node.media = ReadMedia(child, *kind);
    } else {
      continue;
    }
    nodes.push_back(std::move(node));
  }
}

// A body that holds media directly is read as one sequence of everything it holds.
void PresentationReader::WrapLooseMedia(std::vector<SmilNode>& body) {
  const bool loose = std::any_of(body.begin(), body.end(),
                                 [](const SmilNode& node) { return node.nodeClass == SmilNodeClass::kMedia; });
  if (!loose) {
    return;
  }
  SmilNode sequence;
  sequence.nodeClass = SmilNodeClass::kContainer;
  sequence.containerKind = SmilContainerKind::kSeq;
  sequence.children = std::move(body);
  body.clear();
  body.push_back(std::move(sequence));
}

}  // namespace

std::optional<SmilPresentation> ParsePresentation(std::string_view text, SmilLoadResult* result) {
  SmilLoadResult local;
  SmilLoadResult& outcome = result != nullptr ? *result : local;
  XmlTree tree;
  outcome.xml = tree.Load(text);
  if (!outcome.xml) {
    outcome.status = outcome.xml.status == XmlStatus::kTooLarge ? SmilLoadStatus::kTooLarge : SmilLoadStatus::kNotXml;
    return std::nullopt;
  }
  outcome.status = SmilLoadStatus::kOk;
  return PresentationReader(tree).Read();
}

std::optional<SmilPresentation> LoadPresentation(std::u16string_view path, SmilLoadResult* result) {
  const FileReadResult file = ReadDeviceFile(path, kMaxPresentationFile);
  if (file.status != FileReadStatus::kOk) {
    if (result != nullptr) {
      *result = SmilLoadResult{};
      result->status = file.status == FileReadStatus::kTooLarge ? SmilLoadStatus::kTooLarge : SmilLoadStatus::kCannotOpen;
    }
    return std::nullopt;
  }
  return ParsePresentation(file.bytes, result);
}
