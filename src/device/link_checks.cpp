#include "device/link_checks.h"

#include <algorithm>

#include "config/setting_numbers.h"
#include "config/settings.h"

namespace {

bool IsDigit(char16_t c) { return c >= '0' && c <= '9'; }

bool IsForbiddenInEmail(char16_t c) {
  return c <= 32 || c > 126 || c == ':' || c == ';' || c == ',' || c == '\\' || c == '"' || c == '(' ||
         c == ')' || c == '<' || c == '>' || c == '[' || c == ']';
}

}  // namespace

LinkSettings LinkSettings::Read() {
  LinkSettings settings;
  settings.minEmailChars = GetConfigValue(numeric_setting::kMinEmailChars);
  settings.maxEmailChars = GetConfigValue(numeric_setting::kMaxEmailChars);
  settings.minPhoneChars = GetConfigValue(numeric_setting::kMinPhoneChars);
  settings.maxPhoneChars = GetConfigValue(numeric_setting::kMaxPhoneChars);
  settings.alphaTagDisplay = GetConfigString(string_setting::kAlphaTagDispTxt);
  settings.alphaTag = GetConfigString(string_setting::kAlphaTag);
  return settings;
}

bool IsEmailAddress(std::u16string_view s, bool checkLength) {
  return IsEmailAddress(s, checkLength, LinkSettings::Read());
}

bool IsPhoneNumber(std::u16string_view s, bool checkLength) {
  return IsPhoneNumber(s, checkLength, LinkSettings::Read());
}

bool IsEmailAddress(std::u16string_view s, bool checkLength, const LinkSettings& settings) {
  // Only an address with an "@" passes, so most words are settled by looking for one.
  if (s.find(u'@') == std::u16string_view::npos) return false;
  const long length = static_cast<long>(s.size());
  if (checkLength) {
    if (length < std::max(settings.minEmailChars, 5) || length > std::min(settings.maxEmailChars, 312)) return false;
    const std::size_t at = s.find(u'@');
    const std::size_t local = at == std::u16string_view::npos ? s.size() : at;
    if (local > 64) return false;
    if (at != std::u16string_view::npos && s.size() - at - 1 > 255) return false;
  }
  int ats = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (IsForbiddenInEmail(c)) return false;
    const char16_t previous = i > 0 ? s[i - 1] : 0;
    const bool edge = i == 0 || i + 1 == s.size();
    if (c == '@') {
      if (++ats > 1 || edge || previous == '.') return false;
    } else if (c == '.') {
      if (edge || previous == '@' || previous == '.') return false;
    }
  }
  return ats == 1;
}

namespace {

bool KeepsItsForm(std::u16string_view s, const LinkSettings& settings) {
  return s.empty() || s.find(u'@') != std::u16string_view::npos || s == settings.alphaTagDisplay.View() ||
         s == settings.alphaTag.View();
}

bool IsRemovedByNormalising(char16_t c) { return c == '(' || c == ')' || c == '-' || c == ' '; }

std::size_t NormalisedLength(std::u16string_view s, const LinkSettings& settings) {
  if (KeepsItsForm(s, settings)) return s.size();
  std::size_t length = 0;
  for (char16_t c : s) length += !IsRemovedByNormalising(c);
  return length;
}

// The character rules of a telephone number, on the text as written.
bool HasPhoneNumberForm(std::u16string_view s) {
  bool groupOpen = false;
  bool groupSeen = false;
  std::size_t i = 0;
  if (!s.empty() && s[0] == '+') {
    if (s.size() < 2 || !(IsDigit(s[1]) || s[1] == '(')) return false;
    groupOpen = groupSeen = s[1] == '(';
    i = 2;
  }
  for (; i < s.size(); ++i) {
    const char16_t c = s[i];
    const char16_t previous = i > 0 ? s[i - 1] : 0;
    if (IsDigit(c)) continue;
    if (c == '(') {
      if (groupSeen) return false;
      groupOpen = groupSeen = true;
    } else if (c == ')') {
      if (!groupOpen || previous == '(' || previous == '-') return false;
      groupOpen = false;
    } else if (c == '-') {
      if (i == 0 || i + 1 == s.size() || previous == '(' || previous == '-') return false;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

std::u16string NormalisePhoneNumber(std::u16string_view s, const LinkSettings& settings) {
  if (KeepsItsForm(s, settings)) return std::u16string(s);
  std::u16string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    if (!IsRemovedByNormalising(c)) out += c;
  }
  return out;
}

bool IsPhoneNumber(std::u16string_view s, bool checkLength, const LinkSettings& settings) {
  // The form is checked first: it needs no copy and turns most words away.
  if (!HasPhoneNumberForm(s)) return false;
  const bool plus = !s.empty() && s[0] == '+';
  if (!checkLength && !plus) return true;
  const long normalised = static_cast<long>(NormalisedLength(s, settings));
  if (checkLength &&
      (normalised < std::max(settings.minPhoneChars, 3) || normalised > std::min(settings.maxPhoneChars, 200))) {
    return false;
  }
  return !plus || normalised >= 5;
}
