// XmlTree: a small non-validating reader of 8-bit XML text. It keeps the text unchanged and indexes
// it in one pass into element records that hold offsets into the text and the links between the
// elements; names and attribute values are read from the text only when asked for. Text between
// tags is never stored. Elements can also be inserted to build a document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One element of the text, by offsets. An element is empty (<a/>) exactly when
// startClose == endOpen + 1.
struct ElementSpan {
  std::uint32_t startOpen = 0;   // the `<` of the start tag
  std::uint32_t startClose = 0;  // the `>` of the start tag
  std::uint32_t endOpen = 0;     // the `<` of the end tag; the `/` of an empty element
  std::uint32_t endClose = 0;    // the `>` of the end tag; startClose for an empty element
  std::uint32_t after = 0;       // the first `<` after the element, or the end of the text
  std::uint32_t parent = 0;      // 0: the document
  std::uint32_t firstChild = 0;  // 0: none
  std::uint32_t nextSibling = 0;
};

// A token of the text: offsets of its first and last character (quotes excluded for a quoted
// string), and where scanning resumes.
struct XmlToken {
  std::uint32_t left = 0;
  std::uint32_t right = 0;
  std::uint32_t next = 0;
  bool isQuoted = false;
};

enum class XmlStatus {
  kOk,
  kEmpty,              // no text, or nothing but text and markup that is not an element
  kNoElement,          // no `<` where an element or end tag had to start
  kBadTagStart,        // a quoted token, or the end of the text, right after `<`
  kUnclosedMarkup,     // a tag, comment, CDATA section or declaration without its closing marker
  kMismatchedEndTag,   // an end tag that is missing, malformed or names another element
  kTooDeep,            // elements nested deeper than kMaxXmlDepth
  kTooManyElements,    // more than kMaxXmlElements
  kTooLarge,           // a text longer than kMaxXmlText
};

// Where a load stopped: the status and the offset in the text where the fault was caught.
struct XmlParseResult {
  XmlStatus status = XmlStatus::kEmpty;
  std::uint32_t offset = 0;
  explicit operator bool() const { return status == XmlStatus::kOk; }
};

constexpr std::uint32_t kMaxXmlDepth = 256;
constexpr std::uint32_t kMaxXmlElements = 100000;
constexpr std::size_t kMaxXmlText = 16u << 20;

class XmlTree {
 public:
  XmlTree();

  // Replaces the text (up to its first zero byte) and indexes it. Only the first top-level element is
  // indexed. On failure the tree is empty and the text stays.
  XmlParseResult Load(std::string_view text);
  const std::string& Text() const { return m_text; }

  // Cursor: `current` is an element (0: the document level), `currentChild` one of its children.
  void Rewind();
  bool NextSibling(std::string_view name = {});
  bool NextChild(std::string_view name = {});
  bool EnterChild();
  bool LeaveChild();
  std::uint32_t Current() const { return m_current; }
  std::uint32_t CurrentChild() const { return m_currentChild; }
  std::uint32_t Depth() const { return m_depth; }

  // Records: 0 is the document, whose firstChild is the root element.
  std::uint32_t RecordCount() const { return static_cast<std::uint32_t>(m_spans.size()); }
  const ElementSpan& Span(std::uint32_t record) const;
  std::uint32_t Root() const { return m_spans[0].firstChild; }
  bool IsEmptyElement(std::uint32_t record) const;

  // The name of the element; empty for record 0 or an unknown record.
  std::string ElementName(std::uint32_t record) const;
  // The double-quoted value of an attribute of the start tag with the named entities decoded, cut to
  // maxLength characters; empty when absent. An empty name finds the first attribute.
  std::string Attribute(std::uint32_t record, std::string_view name,
                        std::size_t maxLength = std::string::npos) const;

  // Inserts an empty element after `current` and makes it current; at the document level only into
  // an empty document (the text is cleared first).
  bool AppendSibling(std::string_view name);
  // Inserts an empty element as the last child of `current` (after `currentChild` when one is set) and
  // makes it the current child.
  bool AppendChild(std::string_view name);

  // The tokenizer: true while the text goes on after the token. A token that ends exactly at the end
  // of the text is filled in but gives false.
  bool NextToken(std::uint32_t from, XmlToken& token) const;

 private:
  class Parser;

  char At(std::uint32_t offset) const { return offset < m_text.size() ? m_text[offset] : '\0'; }
  std::string_view TokenText(const XmlToken& token) const;
  std::uint32_t Find(char c, std::uint32_t from) const;
  void Clear();
  std::uint32_t InsertElement(std::uint32_t parent, std::uint32_t previous, std::string_view name);
  void ShiftOffsets(std::uint32_t offset, std::uint32_t amount, std::uint32_t keepAfterOf);
  std::uint32_t LastChild(std::uint32_t record) const;

  std::string m_text;
  std::vector<ElementSpan> m_spans;  // m_spans.size() is the next free record
  std::uint32_t m_current = 0;
  std::uint32_t m_currentChild = 0;
  std::uint32_t m_depth = 0;
};
