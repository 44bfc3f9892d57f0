// Whether a string is an e-mail address or a telephone number, by the rules the read view's links
// and the composer's recipients share, with the length limits of the settings.
#pragma once

#include <string>
#include <string_view>

#include "platform/text/cstring.h"

// The settings the checks read: the length limits and the two alpha tags that are never normalised.
struct LinkSettings {
  int minEmailChars = 0;
  int maxEmailChars = 0;
  int minPhoneChars = 0;
  int maxPhoneChars = 0;
  CString alphaTagDisplay;
  CString alphaTag;

  static LinkSettings Read();
};

// Each reads the settings it needs; the forms of the scanner take them read once.
bool IsEmailAddress(std::u16string_view s, bool checkLength);
bool IsPhoneNumber(std::u16string_view s, bool checkLength);
bool IsEmailAddress(std::u16string_view s, bool checkLength, const LinkSettings& settings);
bool IsPhoneNumber(std::u16string_view s, bool checkLength, const LinkSettings& settings);

// Without "(", ")", "-" and spaces, unless the text is empty, holds "@", or is one of the alpha tags.
std::u16string NormalisePhoneNumber(std::u16string_view s, const LinkSettings& settings);
