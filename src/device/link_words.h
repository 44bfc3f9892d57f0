// How a message text is cut into words for link detection, and the two tables of address
// beginnings ("www." prefixes and schemes) that both the cutter and the scanner match.
#pragma once

#include <cstddef>
#include <string_view>

#include "device/link_checks.h"

namespace link_words {

// Ends a word: white space, control characters, anything from U+0100 up, and ; , ' " ) { } [ ] < >.
bool IsWordDelimiter(char16_t c);

// Whether `text` starts with `start` (lower-case ASCII), ASCII case ignored.
bool StartsWithNoCase(std::u16string_view text, std::u16string_view start);

// Whether a table entry can start at text[p], by its first two characters (a quick test before
// matching: a table entry never matches where this is false).
bool MayStartAddress(std::u16string_view text, std::size_t p);

// Length of the table entry that matches text[p..] (ASCII case ignored), or 0. The search gives up
// at the first entry at least as long as the `left` characters there, so a match always leaves at
// least one character after it, and shorter entries further down are not tried once text runs short.
std::size_t MatchPrefix(std::u16string_view text, std::size_t p, std::size_t left);
std::size_t MatchScheme(std::u16string_view text, std::size_t p, std::size_t left);

// What the word cutter saw of a word, so that the checks that cannot succeed are not run. The
// defaults say nothing is known.
struct WordShape {
  bool hasAt = true;            // an "@" somewhere
  bool phoneCharsOnly = true;   // nothing but digits and ( ) + -
  std::size_t firstAddress = 0;  // no prefix or scheme starts before this text index (npos: none)
};

// Where the word that starts at `start` ends (exclusive): at a delimiter, before a scheme that
// starts inside it, before a "." that no letter, digit or "_" follows, or where the bracket rule
// puts it for a "(".
std::size_t WordEnd(std::u16string_view text, std::size_t start, const LinkSettings& settings,
                    WordShape* shape = nullptr);

}  // namespace link_words
