// Building a document with XmlTree: inserting empty elements and keeping every record's offsets in
// step with the text.
#include <algorithm>
#include <string>

#include "presentation/xml_tree.h"

namespace {

// A name that reads back as one token: no whitespace, delimiters, quotes or entity starts.
bool IsInsertableName(std::string_view name) {
  return !name.empty() && std::none_of(name.begin(), name.end(), [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0' || c == '"' || c == '\'' ||
           c == '&' || std::string_view("<>=\\/?!").find(c) != std::string_view::npos;
  });
}

}  // namespace

bool XmlTree::AppendSibling(std::string_view name) {
  if (!IsInsertableName(name)) {
    return false;
  }
  if (m_current == 0) {
    if (m_spans[0].firstChild != 0) {
      return false;
    }
    m_text.clear();
    Clear();
  } else if (m_spans[m_current].parent == 0) {
    return false;  // a document has one root element
  }
  const std::uint32_t parent = m_current == 0 ? 0 : m_spans[m_current].parent;
  const std::uint32_t inserted = InsertElement(parent, m_current, name);
  if (inserted == 0) {
    return false;
  }
  m_current = inserted;
  m_currentChild = 0;
  return true;
}

bool XmlTree::AppendChild(std::string_view name) {
  if (m_current == 0 || !IsInsertableName(name)) {
    return false;
  }
  const std::uint32_t previous = m_currentChild != 0 ? m_currentChild : LastChild(m_current);
  const std::uint32_t inserted = InsertElement(m_current, previous, name);
  if (inserted == 0) {
    return false;
  }
  m_currentChild = inserted;
  return true;
}

std::uint32_t XmlTree::LastChild(std::uint32_t record) const {
  std::uint32_t last = 0;
  for (std::uint32_t child = m_spans[record].firstChild; child != 0; child = m_spans[child].nextSibling) {
    last = child;
  }
  return last;
}

// Inserts "<name/>" CR LF after `previous` (0: as the parent's only child). An empty parent is opened
// up first: its "/" becomes ">" CR LF, the new element, and the parent's end tag without its ">".
std::uint32_t XmlTree::InsertElement(std::uint32_t parent, std::uint32_t previous, std::string_view name) {
  const std::string element = "<" + std::string(name) + "/>\r\n";
  const std::string parentName = ElementName(parent);
  if (m_spans.size() > kMaxXmlElements ||
      m_text.size() + element.size() + parentName.size() + 5 > kMaxXmlText) {
    return 0;
  }
  const bool openUp = parent != 0 && IsEmptyElement(parent);
  std::uint32_t start = 0;
  if (openUp) {
    const std::uint32_t slash = m_spans[parent].startClose - 1;
    const std::uint32_t oldClose = m_spans[parent].startClose;
    const std::string replacement = ">\r\n" + element + "</" + parentName;
    m_text.replace(slash, 1, replacement);
    const auto grown = static_cast<std::uint32_t>(replacement.size() - 1);
    ShiftOffsets(oldClose, grown, 0);
    ElementSpan& opened = m_spans[parent];
    opened.startClose = slash;
    opened.endOpen = slash + 3 + static_cast<std::uint32_t>(element.size());
    opened.endClose = oldClose + grown;
    start = slash + 3;
  } else {
    start = previous != 0 ? m_spans[previous].after : m_spans[parent].endOpen;
    m_text.insert(start, element);
    ShiftOffsets(start, static_cast<std::uint32_t>(element.size()), previous);
  }
  ElementSpan span;
  span.startOpen = start;
  span.startClose = start + static_cast<std::uint32_t>(name.size()) + 2;
  span.endOpen = span.startClose - 1;
  span.endClose = span.startClose;
  span.after = span.endClose + 3;
  span.parent = parent;
  span.nextSibling = previous != 0 ? m_spans[previous].nextSibling : 0;
  const auto inserted = static_cast<std::uint32_t>(m_spans.size());
  m_spans.push_back(span);
  (previous != 0 ? m_spans[previous].nextSibling : m_spans[parent].firstChild) = inserted;
  return inserted;
}

// Raises every offset at or after `offset` by `amount`, except the `after` of the element that the new
// one follows: that still points at the new element.
void XmlTree::ShiftOffsets(std::uint32_t offset, std::uint32_t amount, std::uint32_t keepAfterOf) {
  for (std::uint32_t record = 1; record < m_spans.size(); ++record) {
    ElementSpan& span = m_spans[record];
    for (std::uint32_t* field : {&span.startOpen, &span.startClose, &span.endOpen, &span.endClose}) {
      if (*field >= offset) {
        *field += amount;
      }
    }
    if (span.after > offset || (span.after == offset && record != keepAfterOf)) {
      span.after += amount;
    }
  }
}
