// An HTML or XHTML text as the HTML view shows it: parsed with an HTML5 parser (gumbo) into
// blocks of styled text. Paragraphs, line breaks, headings, lists, bold, italic, underline, links
// and pictures are understood; scripts and styles are dropped; every other element shows its text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::html {

constexpr unsigned kBold = 1;
constexpr unsigned kItalic = 2;
constexpr unsigned kUnderline = 4;

struct InlineRun {
  std::u16string text;
  unsigned style = 0;
  int link = -1;  // index into Document::links
};

struct Block {
  int heading = 0;  // 1 to 6, 0 for body text
  int indent = 0;   // list depth
  std::u16string marker;  // "• " or "3. " for a list item
  std::vector<InlineRun> runs;
  std::string picture;  // a picture block: its source as written (UTF-8), from the text's own folder
};

struct Document {
  std::vector<Block> blocks;
  std::vector<std::string> links;  // targets as written, 8-bit (UTF-8), at most 1000 characters
};

// Bounded: a longer text is cut at kMaxHtmlBytes; elements nest at most kMaxNesting deep (deeper
// tags are left out, their text kept), and the tree is walked without recursion.
constexpr std::size_t kMaxHtmlBytes = 4u << 20;
constexpr std::size_t kMaxLinkTarget = 1000;
constexpr int kMaxNesting = 256;

// Empty when the parser library cannot be loaded.
Document ParseHtml(std::string_view utf8);

// Whether a picture source names a file of the text's own folder: relative, no scheme, no ".."
// and no folder above; anything else (a web address, an absolute path) is never loaded.
bool IsLocalPicture(std::string_view source);

}  // namespace platform::html
