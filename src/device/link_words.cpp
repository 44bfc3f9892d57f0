#include "device/link_words.h"

#include <array>

namespace link_words {
namespace {

constexpr std::array<std::u16string_view, 2> kPrefixes = {u"www.", u"wwww."};
constexpr std::array<std::u16string_view, 9> kSchemes = {u"http://", u"ftp://", u"rtsp://", u"wsp://", u"file://",
                                                         u"mailto:", u"telnet:", u"https://", u"gopher://"};

char16_t FoldAscii(char16_t c) { return (c >= 'A' && c <= 'Z') ? static_cast<char16_t>(c + 32) : c; }
bool IsDigit(char16_t c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

template <std::size_t N>
std::size_t MatchTable(const std::array<std::u16string_view, N>& table, std::u16string_view text, std::size_t p,
                       std::size_t left) {
  for (std::u16string_view entry : table) {
    if (entry.size() >= left) return 0;
    if (StartsWithNoCase(text.substr(p), entry)) return entry.size();
  }
  return 0;
}

// A "(" at `open`: a bracketed area code followed by digits and hyphens stays in the word, and so
// does a bracketed part of an address; anything else ends the word at the "(" or after the ")".
std::size_t BracketEnd(std::u16string_view text, std::size_t open, const LinkSettings& settings) {
  const std::size_t size = text.size();
  bool digitsOnly = true;
  bool taken = false;
  std::size_t k = open + 1;
  while (k < size) {
    const char16_t c = text[k];
    if (c == '(' || (c != ')' && IsWordDelimiter(c))) return taken ? k : open;
    if (c != ')') {
      digitsOnly = digitsOnly && (IsDigit(c) || c == '-');
      ++k;
      continue;
    }
    if (taken) return k;
    const std::u16string_view inside = text.substr(open + 1, k - open - 1);
    if (k + 1 == size) return IsEmailAddress(inside, true, settings) ? open : k + 1;
    const char16_t next = text[k + 1];
    if (!digitsOnly || !(IsDigit(next) || next == '-')) return IsEmailAddress(inside, true, settings) ? open : k + 1;
    if (next == '-') {
      if (k + 2 >= size || !IsDigit(text[k + 2])) return open;
      k += 3;
    } else {
      k += 2;
    }
    taken = true;
  }
  return taken ? size : open;
}

}  // namespace

bool StartsWithNoCase(std::u16string_view text, std::u16string_view start) {
  if (text.size() < start.size()) return false;
  for (std::size_t i = 0; i < start.size(); ++i) {
    if (FoldAscii(text[i]) != start[i]) return false;
  }
  return true;
}

bool IsWordDelimiter(char16_t c) {
  if (c <= 32 || c >= 256) return true;
  switch (c) {
    case ';': case ',': case '\'': case '"': case ')': case '{': case '}': case '[': case ']': case '<': case '>':
      return true;
    default:
      return false;
  }
}

std::size_t MatchPrefix(std::u16string_view text, std::size_t p, std::size_t left) {
  return MatchTable(kPrefixes, text, p, left);
}

std::size_t MatchScheme(std::u16string_view text, std::size_t p, std::size_t left) {
  return MatchTable(kSchemes, text, p, left);
}

std::size_t WordEnd(std::u16string_view text, std::size_t start, const LinkSettings& settings) {
  const std::size_t n = text.size() - start;
  std::size_t i = 0;
  while (i < n) {
    const std::size_t at = start + i;
    const char16_t c = text[at];
    if (IsWordDelimiter(c)) return at;
    if (c == '(') return BracketEnd(text, at, settings);
    if (std::size_t scheme = MatchScheme(text, at, n - i)) {
      if (i > 0) return at;
      i += scheme;
      continue;
    }
    if (std::size_t prefix = MatchPrefix(text, at, n - i)) {
      i += prefix;
      continue;
    }
    if (c == '.' && !(at + 1 < text.size() && (IsDigit(text[at + 1]) || IsAsciiLetter(text[at + 1]) ||
                                              text[at + 1] == '_'))) {
      return at;
    }
    ++i;
  }
  return start + n;
}

}  // namespace link_words
