#include "presentation/xml_tree.h"

#include <algorithm>
#include <array>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDelimiter(char c) {
  return c == '<' || c == '>' || c == '=' || c == '\\' || c == '/' || c == '?' || c == '!';
}

struct NamedEntity {
  std::string_view text;  // what follows the `&`
  char value;
};
constexpr std::array<NamedEntity, 5> kEntities = {{
    {"lt;", '<'}, {"amp;", '&'}, {"gt;", '>'}, {"apos;", '\''}, {"quot;", '"'}}};

}  // namespace

// One pass over the text. Element grammar, with markup skipped wherever an element may start:
//   element  = "<" name ... ">" (children) "<" "/" name ... ">"  |  "<" name ... "/>"
//   skipped  = "<?" ... "?>"  |  "<!--" ... "-->"  |  "<![" ... "]]>"  |  "<!" ... ">"
class XmlTree::Parser {
 public:
  explicit Parser(XmlTree& tree) : m_tree(tree) {}

  // The new record's index, 0 when the parent's end tag comes next, or -1 on error.
  long Element(std::uint32_t parent, std::uint32_t depth);
  XmlParseResult Result() const { return m_result; }

 private:
  long Fail(XmlStatus status, std::uint32_t offset) {
    m_result = {status, offset};
    return -1;
  }
  ElementSpan& Record(std::uint32_t index) { return m_tree.m_spans[index]; }
  long StartTag(std::uint32_t record, std::uint32_t parent, XmlToken& name);
  long EndTag(std::uint32_t record, std::string_view name);

  XmlTree& m_tree;
  XmlParseResult m_result;
};

long XmlTree::Parser::Element(std::uint32_t parent, std::uint32_t depth) {
  if (m_tree.m_spans.size() > kMaxXmlElements) {
    return Fail(XmlStatus::kTooManyElements, Record(parent).endOpen);
  }
  const auto record = static_cast<std::uint32_t>(m_tree.m_spans.size());
  m_tree.m_spans.push_back(ElementSpan{});
  Record(record).parent = parent;
  XmlToken name;
  const long start = StartTag(record, parent, name);
  if (start <= 0) {
    return start;
  }
  if (depth > kMaxXmlDepth) {
    return Fail(XmlStatus::kTooDeep, Record(record).startOpen);
  }
  if (m_tree.At(Record(record).startClose - 1) == '/') {
    ElementSpan& span = Record(record);
    span.endOpen = span.startClose - 1;
    span.endClose = span.startClose;
    span.after = m_tree.Find('<', span.endClose);
    return record;
  }
  Record(record).endOpen = Record(record).startClose + 1;
  std::uint32_t previous = 0;
  for (;;) {
    const long child = Element(record, depth + 1);
    if (child < 0) {
      return -1;
    }
    if (child == 0) {
      break;
    }
    const auto index = static_cast<std::uint32_t>(child);
    (previous == 0 ? Record(record).firstChild : Record(previous).nextSibling) = index;
    Record(record).endOpen = Record(index).endClose + 1;
    previous = index;
  }
  return EndTag(record, m_tree.TokenText(name));
}

// Finds the start tag of the next element, skipping other markup. Gives the record back and returns
// 0 when an end tag comes first.
long XmlTree::Parser::StartTag(std::uint32_t record, std::uint32_t parent, XmlToken& name) {
  std::uint32_t scan = Record(parent).endOpen;
  for (;;) {
    const std::uint32_t open = m_tree.Find('<', scan);
    if (open == m_tree.m_text.size()) {
      return Fail(XmlStatus::kNoElement, scan);
    }
    Record(record).startOpen = open;
    Record(parent).endOpen = open;
    XmlToken token;
    if (!m_tree.NextToken(open + 1, token) || token.isQuoted) {
      return Fail(XmlStatus::kBadTagStart, open);
    }
    const char first = m_tree.At(token.left);
    std::string_view marker = ">";
    if (first == '?') {
      marker = "?>";
    } else if (first == '!') {
      const char next = m_tree.At(token.left + 1);
      marker = next == '[' ? "]]>" : next == '-' ? "-->" : ">";
    } else if (first == '/') {
      m_tree.m_spans.pop_back();
      return 0;
    } else {
      name = token;
    }
    const std::size_t found = m_tree.m_text.find(marker, token.next);
    if (found == std::string::npos) {
      return Fail(XmlStatus::kUnclosedMarkup, open);
    }
    scan = static_cast<std::uint32_t>(found);
    if (first != '?' && first != '!') {
      Record(record).startClose = scan;
      return 1;
    }
  }
}

// Tokens of an end tag, numbered from 1: "/" then the element's name, up to the first `>`.
long XmlTree::Parser::EndTag(std::uint32_t record, std::string_view name) {
  const std::uint32_t open = m_tree.Find('<', Record(record).endOpen);
  if (open == m_tree.m_text.size()) {
    return Fail(XmlStatus::kMismatchedEndTag, Record(record).endOpen);
  }
  std::uint32_t numbered = 0;
  std::uint32_t position = open + 1;
  for (;;) {
    XmlToken token;
    const bool more = m_tree.NextToken(position, token);
    const std::string_view text = m_tree.TokenText(token);
    if (!more) {
      // The text ends inside the end tag, unless the token that reached the end is its `>`.
      if (token.left < m_tree.m_text.size() && !token.isQuoted && text == ">" && numbered >= 2) {
        Record(record).endClose = token.left;
        Record(record).after = static_cast<std::uint32_t>(m_tree.m_text.size());
        return record;
      }
      return Fail(XmlStatus::kMismatchedEndTag, open);
    }
    ++numbered;
    if (!token.isQuoted) {
      if ((numbered == 1 && text != "/") || (numbered == 2 && text != name)) {
        return Fail(XmlStatus::kMismatchedEndTag, open);
      }
      if (text == ">") {
        Record(record).endClose = token.left;
        Record(record).after = m_tree.Find('<', token.left);
        return record;
      }
    }
    position = token.next;
  }
}

XmlTree::XmlTree() { Clear(); }

void XmlTree::Clear() {
  m_spans.assign(1, ElementSpan{});
  Rewind();
}

XmlParseResult XmlTree::Load(std::string_view text) {
  Clear();
  text = text.substr(0, text.find('\0'));
  if (text.size() > kMaxXmlText) {
    m_text.clear();
    return {XmlStatus::kTooLarge, static_cast<std::uint32_t>(kMaxXmlText)};
  }
  m_text.assign(text);
  if (m_text.empty()) {
    return {XmlStatus::kEmpty, 0};
  }
  m_spans.reserve(std::min<std::size_t>(m_text.size() / 64 + 8, kMaxXmlElements + 1));
  Parser parser(*this);
  const long root = parser.Element(0, 1);
  if (root > 0) {
    m_spans[0].firstChild = static_cast<std::uint32_t>(root);
    Rewind();
    return {XmlStatus::kOk, 0};
  }
  const std::uint32_t where = m_spans[0].endOpen;
  Clear();
  if (root == 0) {
    return {XmlStatus::kMismatchedEndTag, where};
  }
  return parser.Result();
}

void XmlTree::Rewind() {
  m_current = 0;
  m_currentChild = 0;
  m_depth = 0;
}

const ElementSpan& XmlTree::Span(std::uint32_t record) const {
  return record < m_spans.size() ? m_spans[record] : m_spans[0];
}

bool XmlTree::IsEmptyElement(std::uint32_t record) const {
  const ElementSpan& span = Span(record);
  return span.startClose == span.endOpen + 1;
}

std::uint32_t XmlTree::Find(char c, std::uint32_t from) const {
  const std::size_t found = from < m_text.size() ? m_text.find(c, from) : std::string::npos;
  return static_cast<std::uint32_t>(found == std::string::npos ? m_text.size() : found);
}

bool XmlTree::NextToken(std::uint32_t from, XmlToken& token) const {
  const auto size = static_cast<std::uint32_t>(m_text.size());
  std::uint32_t offset = std::min(from, size);
  while (offset < size && IsSpace(m_text[offset])) {
    ++offset;
  }
  token = XmlToken{};
  if (offset == size) {
    token.left = token.next = size;
    return false;
  }
  if (m_text[offset] == '"') {
    token.left = offset + 1;
    const std::uint32_t quote = Find('"', offset + 1);
    token.right = quote - 1;
    token.next = quote < size ? quote + 1 : size;
    token.isQuoted = true;
  } else {
    token.left = offset;
    std::uint32_t end = offset;
    while (end < size && !IsSpace(m_text[end]) && !IsDelimiter(m_text[end])) {
      ++end;
    }
    if (end == offset) {
      end = offset + 1;  // a delimiter is a token of its own
    }
    token.right = end - 1;
    token.next = end;
  }
  return token.next < size;
}

std::string_view XmlTree::TokenText(const XmlToken& token) const {
  if (token.left >= m_text.size() || token.right + 1 <= token.left) {
    return {};
  }
  return std::string_view(m_text).substr(token.left, token.right + 1 - token.left);
}

std::string XmlTree::ElementName(std::uint32_t record) const {
  if (record == 0 || record >= m_spans.size()) {
    return {};
  }
  XmlToken token;
  NextToken(m_spans[record].startOpen + 1, token);
  return token.isQuoted ? std::string() : std::string(TokenText(token));
}

bool XmlTree::NextSibling(std::string_view name) {
  std::uint32_t candidate = m_current == 0 ? m_spans[0].firstChild : m_spans[m_current].nextSibling;
  for (; candidate != 0; candidate = m_spans[candidate].nextSibling) {
    if (name.empty() || ElementName(candidate) == name) {
      m_current = candidate;
      m_currentChild = 0;
      return true;
    }
  }
  return false;
}

bool XmlTree::NextChild(std::string_view name) {
  if (m_current == 0 && (!NextSibling() || m_current == 0)) {
    return false;
  }
  if (IsEmptyElement(m_current)) {
    return false;
  }
  std::uint32_t candidate =
      m_currentChild != 0 ? m_spans[m_currentChild].nextSibling : m_spans[m_current].firstChild;
  for (; candidate != 0; candidate = m_spans[candidate].nextSibling) {
    if (name.empty() || ElementName(candidate) == name) {
      m_currentChild = candidate;
      return true;
    }
  }
  return false;
}

bool XmlTree::EnterChild() {
  if (m_currentChild == 0 && !NextChild()) {
    return false;
  }
  m_current = m_currentChild;
  m_currentChild = 0;
  ++m_depth;
  return true;
}

bool XmlTree::LeaveChild() {
  if (m_current == 0 || m_depth < 1) {
    return false;
  }
  m_currentChild = m_current;
  m_current = m_spans[m_current].parent;
  --m_depth;
  return true;
}

// Start-tag tokens counted from 0 (the name): attribute name, "=", quoted value. Unquoted values and
// single-quoted ones are never found.
std::string XmlTree::Attribute(std::uint32_t record, std::string_view name, std::size_t maxLength) const {
  if (record == 0 || record >= m_spans.size()) {
    return {};
  }
  std::uint32_t position = m_spans[record].startOpen + 1;
  long matched = -1;
  for (long index = 0;; ++index) {
    XmlToken token;
    if (!NextToken(position, token)) {
      return {};
    }
    const std::string_view text = TokenText(token);
    if (!token.isQuoted) {
      if (text == ">" || text == "/") {
        return {};
      }
      if (matched < 0 && index > 0 && text != "=" && (name.empty() || text == name)) {
        matched = index;
      }
    } else if (matched >= 0 && index == matched + 2) {
      std::string value;
      for (std::size_t i = 0; i < text.size() && value.size() < maxLength; ++i) {
        const auto entity = std::find_if(kEntities.begin(), kEntities.end(), [&](const NamedEntity& e) {
          return text[i] == '&' && text.substr(i + 1, e.text.size()) == e.text;
        });
        value += entity == kEntities.end() ? text[i] : entity->value;
        i += entity == kEntities.end() ? 0 : entity->text.size();
      }
      return value;
    }
    if (matched >= 0 && index >= matched + 2) {
      return {};
    }
    position = token.next;
  }
}
