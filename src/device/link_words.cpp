#include "device/link_words.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace link_words {
namespace {

constexpr std::array<std::u16string_view, 2> kPrefixes = {u"www.", u"wwww."};
constexpr std::array<std::u16string_view, 9> kSchemes = {u"http://", u"ftp://", u"rtsp://", u"wsp://", u"file://",
                                                         u"mailto:", u"telnet:", u"https://", u"gopher://"};

char16_t FoldAscii(char16_t c) { return (c >= 'A' && c <= 'Z') ? static_cast<char16_t>(c + 32) : c; }
bool IsDigit(char16_t c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// What a character below U+0100 may do to a word, looked up once per character: most do nothing.
// The last two bits only describe the word for the e-mail and telephone checks; where a prefix or
// scheme may start is told by the letter pairs below.
enum CharClass : unsigned char {
  kPlain = 0,
  kDelimiter = 1,
  kSpecial = 4,     // "." and "("
  kAt = 8,
  kPhone = 16,  // digits and ( ) + -
  kPairStart = 32,  // may begin a prefix or scheme: the letter after it decides
};

// The first two letters of every prefix and scheme above.
constexpr std::string_view kPairs[] = {"ht", "ft", "fi", "rt", "ws", "ww", "ma", "te", "go"};

constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> classes{};
  for (int c = 0; c <= 32; ++c) classes[c] = kDelimiter;
  for (char c : std::string_view(";,'\"){}[]<>")) classes[static_cast<unsigned char>(c)] = kDelimiter;
  for (char c : std::string_view("0123456789+-")) classes[static_cast<unsigned char>(c)] = kPhone;
  classes['.'] = kSpecial;
  classes['('] = kSpecial | kPhone;
  classes[')'] = kDelimiter | kPhone;
  classes['@'] = kAt;
  for (std::string_view pair : kPairs) {
    classes[static_cast<unsigned char>(pair[0])] |= kPairStart;
    classes[static_cast<unsigned char>(pair[0] - 32)] |= kPairStart;
  }
  return classes;
}

constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

// For the first letter of a prefix or scheme, the second letters it can go on with, as bits from
// U+0040 ("A" is bit 1); zero for every other character.
constexpr std::array<std::uint64_t, 256> MakeSecondLetters() {
  std::array<std::uint64_t, 256> second{};
  for (std::string_view pair : kPairs) {
    const auto bits = (std::uint64_t{1} << (pair[1] - 64)) | (std::uint64_t{1} << (pair[1] - 32 - 64));
    second[static_cast<unsigned char>(pair[0])] |= bits;
    second[static_cast<unsigned char>(pair[0] - 32)] |= bits;
  }
  return second;
}

constexpr std::array<std::uint64_t, 256> kSecondLetters = MakeSecondLetters();

// MayStartAddress without branches, for the word cutter's inner loop; c = text[p] below U+0100.
inline bool StartsPair(std::u16string_view text, std::size_t p, char16_t c) {
  const unsigned next = p + 1 < text.size() ? text[p + 1] : 0;
  const unsigned offset = next - 64;
  return offset < 64 && ((kSecondLetters[c] >> offset) & 1) != 0;
}

template <std::size_t N>
std::size_t MatchTable(const std::array<std::u16string_view, N>& table, std::u16string_view text, std::size_t p,
                       std::size_t left) {
  if (left == 0) return 0;
  const char16_t first = FoldAscii(text[p]);
  for (std::u16string_view entry : table) {
    if (entry.size() >= left) return 0;
    if (entry[0] == first && StartsWithNoCase(text.substr(p), entry)) return entry.size();
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

bool MayStartAddress(std::u16string_view text, std::size_t p) { return text[p] < 256 && StartsPair(text, p, text[p]); }

bool IsWordDelimiter(char16_t c) { return c >= 256 || (kClasses[c] & kDelimiter) != 0; }

std::size_t MatchPrefix(std::u16string_view text, std::size_t p, std::size_t left) {
  return MatchTable(kPrefixes, text, p, left);
}

std::size_t MatchScheme(std::u16string_view text, std::size_t p, std::size_t left) {
  return MatchTable(kSchemes, text, p, left);
}

std::size_t WordEnd(std::u16string_view text, std::size_t start, const LinkSettings& settings, WordShape* shape) {
  const std::size_t n = text.size() - start;
  unsigned seenAny = 0;
  unsigned seenAll = kPhone;
  std::size_t firstAddress = std::u16string_view::npos;
  auto finish = [&](std::size_t end) {
    if (shape != nullptr) *shape = WordShape{(seenAny & kAt) != 0, (seenAll & kPhone) != 0, firstAddress};
    return end;
  };
  std::size_t i = 0;
  while (i < n) {
    const std::size_t at = start + i;
    const char16_t c = text[at];
    if (c >= 256) return finish(at);
    const unsigned kind = kClasses[c];
    // Most characters of prose are letters that begin no prefix or scheme: they only shape the word.
    if ((kind & (kDelimiter | kSpecial | kPairStart)) == 0) {
      seenAny |= kind;
      seenAll &= kind;
      ++i;
      continue;
    }
    const bool addressStart = (kind & kPairStart) != 0 && StartsPair(text, at, c);
    if ((kind & (kDelimiter | kSpecial)) == 0 && !addressStart) {
      seenAny |= kind;
      seenAll &= kind;
      ++i;
      continue;
    }
    if (kind & kDelimiter) return finish(at);
    if (c == '(') {
      // The bracket rule reads on past what was seen here: nothing is known of the word.
      if (shape != nullptr) *shape = WordShape{};
      return BracketEnd(text, at, settings);
    }
    std::size_t step = 1;
    if (addressStart) {
      if (firstAddress == std::u16string_view::npos) firstAddress = at;
      if (std::size_t scheme = MatchScheme(text, at, n - i)) {
        if (i > 0) return finish(at);
        step = scheme;
      } else {
        step = std::max<std::size_t>(MatchPrefix(text, at, n - i), 1);
      }
    } else if (c == '.' && !(at + 1 < text.size() && (IsDigit(text[at + 1]) || IsAsciiLetter(text[at + 1]) ||
                                                     text[at + 1] == '_'))) {
      return finish(at);
    }
    // What stays in the word here is a letter of a prefix or scheme, or a ".": never part of a
    // telephone number, never an "@".
    seenAll = 0;
    i += step;
  }
  return finish(start + n);
}

}  // namespace link_words
