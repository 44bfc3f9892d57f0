#include "presentation/smil_values.h"
#include "platform/text/text_conversion.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr COLORREF kWhiteColor = 0x00FFFFFF;
constexpr long long kLongMax = std::numeric_limits<LONG>::max();
constexpr long long kLongMin = std::numeric_limits<LONG>::min();

struct ColorKeyword {
  std::string_view name;
  COLORREF color;  // 0x00BBGGRR
};
constexpr std::array<ColorKeyword, 16> kColorKeywords = {{
    {"aqua", 0xFFFF00},   {"black", 0x000000},  {"blue", 0xFF0000},  {"fuchsia", 0xFF00FF},
    {"gray", 0x808080},   {"green", 0x008000},  {"lime", 0x00FF00},  {"maroon", 0x000080},
    {"navy", 0x800000},   {"olive", 0x008080},  {"purple", 0x800080}, {"red", 0x0000FF},
    {"silver", 0xC0C0C0}, {"teal", 0x808000},   {"white", 0xFFFFFF}, {"yellow", 0x00FFFF},
}};

using platform::EqualsNoCase;

const ColorKeyword* FindKeyword(std::string_view text) {
  const auto found = std::find_if(kColorKeywords.begin(), kColorKeywords.end(),
                                  [&](const ColorKeyword& keyword) { return EqualsNoCase(keyword.name, text); });
  return found == kColorKeywords.end() ? nullptr : &*found;
}

unsigned HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  return 0;
}

// Six characters as red, green and blue; characters past the end count as 0.
COLORREF HexColor(std::string_view digits) {
  unsigned bytes[3] = {0, 0, 0};
  for (std::size_t i = 0; i < 6; ++i) {
    const unsigned digit = i < digits.size() ? HexDigit(digits[i]) : 0;
    bytes[i / 2] = bytes[i / 2] * 16 + digit;
  }
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16;
}

std::string_view SkipHashes(std::string_view text) {
  return text.substr(std::min(text.find_first_not_of('#'), text.size()));
}

LONG Clamp(long long value) { return static_cast<LONG>(std::clamp(value, kLongMin, kLongMax)); }

// The first three digits after the decimal point as milliseconds, padded with zeros on the right.
long long FractionMilliseconds(std::string_view text) {
  const std::size_t point = text.find('.');
  long long fraction = 0;
  bool inDigits = point != std::string_view::npos;
  for (std::size_t place = 1; place <= 3; ++place) {
    const std::size_t i = point + place;
    inDigits = inDigits && i < text.size() && text[i] >= '0' && text[i] <= '9';
    fraction = fraction * 10 + (inDigits ? text[i] - '0' : 0);
  }
  return point == std::string_view::npos ? 0 : fraction;
}

}  // namespace

LONG LeadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min(value * 10 + (text[i] - '0'), kLongMax + 1);
  }
  return Clamp(negative ? -value : value);
}

LONG ParseSmilTime(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first != std::string_view::npos && text[first] == '-') {
    return 0;
  }
  long long milliseconds = 0;
  if (text.size() > 2 && text.ends_with("ms")) {
    milliseconds = LeadingInteger(text);
  } else if (text.size() >= 2 && text.ends_with('s')) {
    milliseconds = static_cast<long long>(LeadingInteger(text)) * 1000 + FractionMilliseconds(text);
  } else {
    milliseconds = static_cast<long long>(LeadingInteger(text)) * 1000;
  }
  return Clamp(milliseconds);
}

COLORREF ParseSmilColor(std::string_view text) {
  if (text.size() < 2) {
    return kWhiteColor;
  }
  if (text[0] != '#') {
    const ColorKeyword* keyword = FindKeyword(text);
    return keyword != nullptr ? keyword->color : kWhiteColor;
  }
  return text.size() < 7 ? kWhiteColor : HexColor(SkipHashes(text));
}

COLORREF ParseTextStyleColor(std::string_view text) {
  if (!text.empty() && text[0] != '#') {
    if (const ColorKeyword* keyword = FindKeyword(text)) {
      return keyword->color;
    }
  }
  return HexColor(SkipHashes(text));
}

std::uint16_t ParseSmilLength(std::string_view text) {
  const auto number = static_cast<std::uint16_t>(std::clamp<LONG>(LeadingInteger(text), 0, kLengthNumberMask));
  return text.ends_with('%') ? number : static_cast<std::uint16_t>(number | kPixelLength);
}

LONG ResolveLength(std::uint16_t length, LONG total) {
  const LONG number = length & kLengthNumberMask;
  if (length & kPixelLength) {
    return number;
  }
  return Clamp(static_cast<long long>(number) * total / 100);
}

SmilFill ParseSmilFill(std::string_view text) {
  constexpr std::array<std::string_view, 6> kNames = {"remove", "freeze", "hold", "transition", "auto", "default"};
  const auto found = std::find(kNames.begin(), kNames.end(), text);
  return found == kNames.end() ? SmilFill::kNone : static_cast<SmilFill>(found - kNames.begin() + 1);
}

SmilFit ParseSmilFit(std::string_view text) {
  constexpr std::array<std::string_view, 5> kNames = {"hidden", "fill", "meet", "slice", "scroll"};
  if (text.empty()) {
    return SmilFit::kHidden;
  }
  const auto found = std::find(kNames.begin(), kNames.end(), text);
  return found == kNames.end() ? SmilFit::kMeet : static_cast<SmilFit>(found - kNames.begin());
}
