// The parts of ICU the text code uses, loaded the first time text is broken into lines or clusters
// or a character's properties are asked: a command that draws no text does not pay the library's
// load and its data at start.
#pragma once

#include <unicode/uchar.h>
#include <unicode/ubrk.h>

namespace platform::gdi {

struct UnicodeLibrary {
  decltype(&ubrk_open) breakOpen;
  decltype(&ubrk_close) breakClose;
  decltype(&ubrk_setText) breakSetText;
  decltype(&ubrk_following) breakFollowing;
  decltype(&ubrk_next) breakNext;
  decltype(&ubrk_getRuleStatus) breakRuleStatus;
  decltype(&u_hasBinaryProperty) hasBinaryProperty;
};

// The library's functions, or null when it cannot be loaded: then breaks fall back to every
// code unit and no character has a property.
const UnicodeLibrary* Unicode();

// The character's binary property, false without the library.
bool HasUnicodeProperty(char32_t c, UProperty property);

}  // namespace platform::gdi
