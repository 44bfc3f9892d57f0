#include "platform/controls/html_document.h"

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <string>

#include "platform/internal/shared_library.h"
#include "platform/text/text_conversion.h"

namespace platform::html {
namespace {

// The parser, loaded the first time an HTML text is shown: most runs show none.
struct GumboFunctions {
  decltype(&gumbo_parse_with_options) parseWithOptions;
  decltype(&gumbo_destroy_output) destroyOutput;
  decltype(&gumbo_get_attribute) getAttribute;
  const GumboOptions* defaultOptions;
};

void ResolveGumbo(internal::SharedLibrary& library, GumboFunctions& gumbo) {
  library.Resolve(gumbo.parseWithOptions, "gumbo_parse_with_options");
  library.Resolve(gumbo.destroyOutput, "gumbo_destroy_output");
  library.Resolve(gumbo.getAttribute, "gumbo_get_attribute");
  library.Resolve(gumbo.defaultOptions, "kGumboDefaultOptions");
}

// Null when the library or one of its names cannot be found.
const GumboFunctions* Gumbo() {
  static const auto functions = internal::LoadFunctions<GumboFunctions>(MMSFORM_GUMBO_LIBRARY, ResolveGumbo);
  return functions ? &*functions : nullptr;
}

bool IsSpace(char16_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

struct ListState {
  bool ordered = false;
  int counter = 0;
};

class Builder {
 public:
  Document document;

  void StartBlock(int heading = 0) {
    if (!document.blocks.empty() && document.blocks.back().runs.empty() && document.blocks.back().marker.empty() &&
        document.blocks.back().picture.empty()) {
      document.blocks.back().heading = heading;
      document.blocks.back().indent = static_cast<int>(m_lists.size());
      return;
    }
    Block block;
    block.heading = heading;
    block.indent = static_cast<int>(m_lists.size());
    document.blocks.push_back(std::move(block));
  }
  void AddText(std::string_view utf8, unsigned style, int link) {
    if (document.blocks.empty()) StartBlock();
    Block& block = document.blocks.back();
    std::u16string text;
    bool lastSpace = block.runs.empty() || (!block.runs.back().text.empty() && IsSpace(block.runs.back().text.back()));
    for (char16_t c : Utf8ToUtf16(utf8)) {
      if (IsSpace(c)) {
        if (!lastSpace) text += u' ';
        lastSpace = true;
      } else {
        text += c;
        lastSpace = false;
      }
    }
    if (text.empty()) return;
    if (!block.runs.empty() && block.runs.back().style == style && block.runs.back().link == link) {
      block.runs.back().text += text;
    } else {
      block.runs.push_back(InlineRun{std::move(text), style, link});
    }
  }
  void AddPicture(std::string source) {
    StartBlock();
    document.blocks.back().picture = std::move(source);
    StartBlock();
  }
  int AddLink(std::string_view target) {
    document.links.emplace_back(target.substr(0, kMaxLinkTarget));
    return static_cast<int>(document.links.size()) - 1;
  }
  void OpenList(bool ordered) {
    m_lists.push_back(ListState{ordered, 0});
    StartBlock();
  }
  void CloseList() {
    if (!m_lists.empty()) m_lists.pop_back();
    StartBlock();
  }
  void ListItem() {
    StartBlock();
    Block& block = document.blocks.back();
    if (m_lists.empty()) {
      block.marker = u"\u2022 ";
      return;
    }
    ListState& list = m_lists.back();
    block.marker = list.ordered ? Utf8ToUtf16(std::to_string(++list.counter) + ". ") : u"\u2022 ";
  }

 private:
  std::vector<ListState> m_lists;
};

bool IsBlockTag(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_P: case GUMBO_TAG_DIV: case GUMBO_TAG_BLOCKQUOTE: case GUMBO_TAG_PRE: case GUMBO_TAG_TR:
    case GUMBO_TAG_TABLE: case GUMBO_TAG_SECTION: case GUMBO_TAG_ARTICLE: case GUMBO_TAG_HEADER:
    case GUMBO_TAG_FOOTER: case GUMBO_TAG_ADDRESS: case GUMBO_TAG_DL: case GUMBO_TAG_DT: case GUMBO_TAG_DD:
    case GUMBO_TAG_HR: case GUMBO_TAG_CENTER: case GUMBO_TAG_FORM:
      return true;
    default:
      return false;
  }
}

int HeadingOf(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_H1: return 1;
    case GUMBO_TAG_H2: return 2;
    case GUMBO_TAG_H3: return 3;
    case GUMBO_TAG_H4: return 4;
    case GUMBO_TAG_H5: return 5;
    case GUMBO_TAG_H6: return 6;
    default: return 0;
  }
}

bool IsHidden(GumboTag tag) {
  return tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || tag == GUMBO_TAG_HEAD || tag == GUMBO_TAG_TEMPLATE ||
         tag == GUMBO_TAG_NOSCRIPT || tag == GUMBO_TAG_IFRAME || tag == GUMBO_TAG_OBJECT || tag == GUMBO_TAG_EMBED;
}

const char* Attribute(const GumboElement& element, const char* name) {
  const GumboAttribute* attribute = Gumbo()->getAttribute(&element.attributes, name);
  return attribute ? attribute->value : nullptr;
}

// One step of the walk: a node to enter, or an element to leave with the style it changed.
struct Frame {
  const GumboNode* node;
  unsigned style;
  int link;
  bool leaving;
};

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string LowerName(std::string_view text, std::size_t at) {
  std::string name;
  while (at < text.size() && (IsAsciiLetter(text[at]) || (text[at] >= '0' && text[at] <= '9') || text[at] == '-')) {
    name += static_cast<char>(std::tolower(static_cast<unsigned char>(text[at++])));
  }
  return name;
}

bool IsVoidElement(std::string_view name) {
  static constexpr std::string_view kVoid[] = {"area", "base", "br", "col", "embed", "hr", "img", "input",
                                               "link", "meta", "param", "source", "track", "wbr"};
  for (std::string_view element : kVoid) {
    if (name == element) return true;
  }
  return false;
}

// The parser's tree building checks its stack of open elements at almost every step, so a text
// that nests deeply (or never closes its tags) costs it time by the square of the depth. Tags that
// would open elements beyond kMaxNesting are left out before parsing; their text stays.
std::string LimitNesting(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  int depth = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t open = text.find('<', i);
    if (open == std::string_view::npos || open + 1 >= text.size()) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, open - i));
    const char next = text[open + 1];
    std::size_t close = text.find('>', open + 1);
    if (close == std::string_view::npos) close = text.size() - 1;
    if (text.compare(open, 4, "<!--") == 0) {
      const std::size_t end = text.find("-->", open + 4);
      close = end == std::string_view::npos ? text.size() - 1 : end + 2;
    }
    std::string_view tag = text.substr(open, close - open + 1);
    if (next == '/') {
      depth = std::max(0, depth - 1);
      out.append(tag);
    } else if (IsAsciiLetter(next)) {
      const std::string name = LowerName(text, open + 1);
      const bool selfClosing = tag.size() >= 2 && tag[tag.size() - 2] == '/';
      if (!IsVoidElement(name) && !selfClosing) {
        if (depth >= kMaxNesting) tag = {};
        else ++depth;
      }
      out.append(tag);
      // Raw text elements: their content is not markup.
      if (!tag.empty() && (name == "script" || name == "style" || name == "textarea" || name == "title")) {
        std::size_t end = close + 1;
        while (true) {
          end = text.find("</", end);
          if (end == std::string_view::npos || LowerName(text, end + 2) == name) break;
          end += 2;
        }
        if (end == std::string_view::npos) end = text.size();
        out.append(text.substr(close + 1, end - close - 1));
        close = end - 1;
      }
    } else {
      out.append(tag);
    }
    i = close + 1;
  }
  return out;
}

}  // namespace

bool IsLocalPicture(std::string_view source) {
  if (source.empty() || source.front() == '/' || source.front() == '\\') return false;
  const std::size_t colon = source.find(':');
  const std::size_t slash = source.find_first_of("/\\?#");
  if (colon != std::string_view::npos && (slash == std::string_view::npos || colon < slash)) return false;
  std::size_t start = 0;
  while (start <= source.size()) {
    std::size_t end = source.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = source.size();
    if (source.substr(start, end - start) == "..") return false;
    start = end + 1;
  }
  return true;
}

Document ParseHtml(std::string_view utf8) {
  const GumboFunctions* gumbo = Gumbo();
  if (gumbo == nullptr) return {};
  const std::string limited = LimitNesting(utf8.substr(0, kMaxHtmlBytes));
  GumboOutput* output = gumbo->parseWithOptions(gumbo->defaultOptions, limited.data(), limited.size());
  if (output == nullptr) return {};
  Builder builder;
  std::vector<Frame> stack{{output->root, 0, -1, false}};
  while (!stack.empty()) {
    const Frame frame = stack.back();
    stack.pop_back();
    const GumboNode* node = frame.node;
    if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE || node->type == GUMBO_NODE_CDATA) {
      builder.AddText(node->v.text.text, frame.style, frame.link);
      continue;
    }
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT) continue;
    const GumboTag tag = node->type == GUMBO_NODE_ELEMENT ? node->v.element.tag : GUMBO_TAG_HTML;
    if (frame.leaving) {
      if (tag == GUMBO_TAG_UL || tag == GUMBO_TAG_OL) {
        builder.CloseList();
      } else if (IsBlockTag(tag) || HeadingOf(tag) || tag == GUMBO_TAG_LI) {
        builder.StartBlock();
      }
      continue;
    }
    if (IsHidden(tag)) continue;
    unsigned style = frame.style;
    int link = frame.link;
    if (node->type == GUMBO_NODE_ELEMENT) {
      const GumboElement& element = node->v.element;
      if (tag == GUMBO_TAG_BR) {
        builder.StartBlock();
        continue;
      }
      if (tag == GUMBO_TAG_IMG) {
        const char* source = Attribute(element, "src");
        if (source && IsLocalPicture(source)) {
          builder.AddPicture(source);
        } else if (const char* alt = Attribute(element, "alt")) {
          builder.AddText(alt, style, link);
        }
        continue;
      }
      if (tag == GUMBO_TAG_B || tag == GUMBO_TAG_STRONG) style |= kBold;
      if (tag == GUMBO_TAG_I || tag == GUMBO_TAG_EM) style |= kItalic;
      if (tag == GUMBO_TAG_U || tag == GUMBO_TAG_INS) style |= kUnderline;
      if (tag == GUMBO_TAG_A) {
        if (const char* href = Attribute(element, "href")) link = builder.AddLink(href);
      }
      if (tag == GUMBO_TAG_UL || tag == GUMBO_TAG_OL) builder.OpenList(tag == GUMBO_TAG_OL);
      if (tag == GUMBO_TAG_LI) builder.ListItem();
      if (IsBlockTag(tag)) builder.StartBlock();
      if (const int heading = HeadingOf(tag)) {
        builder.StartBlock(heading);
        style |= kBold;
      }
      stack.push_back(Frame{node, frame.style, frame.link, true});
    }
    const GumboVector& children = node->type == GUMBO_NODE_ELEMENT ? node->v.element.children : node->v.document.children;
    for (unsigned i = children.length; i-- > 0;) {
      stack.push_back(Frame{static_cast<const GumboNode*>(children.data[i]), style, link, false});
    }
  }
  gumbo->destroyOutput(gumbo->defaultOptions, output);
  return std::move(builder.document);
}

}  // namespace platform::html
