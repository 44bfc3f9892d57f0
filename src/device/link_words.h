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

// Length of the table entry that matches text[p..] (ASCII case ignored), or 0. The search gives up
// at the first entry at least as long as the `left` characters there, so a match always leaves at
// least one character after it, and shorter entries further down are not tried once text runs short.
std::size_t MatchPrefix(std::u16string_view text, std::size_t p, std::size_t left);
std::size_t MatchScheme(std::u16string_view text, std::size_t p, std::size_t left);

// Where the word that starts at `start` ends (exclusive): at a delimiter, before a scheme that
// starts inside it, before a "." that no letter, digit or "_" follows, or where the bracket rule
// puts it for a "(".
std::size_t WordEnd(std::u16string_view text, std::size_t start, const LinkSettings& settings);

}  // namespace link_words
