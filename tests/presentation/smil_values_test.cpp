#include "presentation/smil_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SmilValues, TimesInMillisecondsSecondsAndBareNumbers) {
  const std::vector<std::pair<std::string, LONG>> cases = {
      {"500ms", 500},      {"6825ms", 6825},   {"5s", 5000},          {"1.5s", 1500},
      {"2.25s", 2250},     {"0.0015s", 1},     {"1.23456s", 1234},    {".5s", 500},
      {"3", 3000},         {"1.5", 1000},      {"ms", 0},             {"s", 0},
      {"00:01:02", 0},     {"indefinite", 0},  {"", 0},               {" 7s", 7000},
      // A negative time would end a reference before it begins: it counts as not given.
      {"-5s", 0},          {"-1.5s", 0},       {"-200ms", 0},         {"99999999999ms", 2147483647},
      {"3000000s", 2147483647},                {"12abcms", 12},       {"1.5xs", 1500},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseSmilTime(text), expected) << text;
  }
}

TEST(SmilValues, ColoursAreHexTriplesOrHtmlKeywords) {
  const std::vector<std::pair<std::string, COLORREF>> cases = {
      {"#ff0000", 0x0000FF},  {"#00FF00", 0x00FF00}, {"#0000ff", 0xFF0000}, {"##123456", 0x563412},
      {"#12345", 0xFFFFFF},   {"", 0xFFFFFF},        {"#", 0xFFFFFF},       {"Navy", 0x800000},
      {"NAVY", 0x800000},     {"red", 0x0000FF},     {"aqua", 0xFFFF00},    {"silver", 0xC0C0C0},
      {"orange", 0xFFFFFF},   {"#zz0000", 0x000000}, {"#ff", 0xFFFFFF},     {"###ff00", 0x0000FF},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseSmilColor(text), expected) << text;
  }
}

TEST(SmilValues, TextStyleColoursReadDigitsLeniently) {
  const std::vector<std::pair<std::string, COLORREF>> cases = {
      {"#ff0000", 0x0000FF}, {"ff0000", 0x0000FF}, {"#f", 0x0000F0},   {"", 0x000000},
      // Senders write fontcolor="red" as often as a hex triple: text colours take the keywords too.
      {"##00ff00", 0x00FF00}, {"#gg0000", 0x000000}, {"red", 0x0000FF}, {"Yellow", 0x00FFFF},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseTextStyleColor(text), expected) << text;
  }
}

TEST(SmilValues, LengthsArePercentagesOrPixels) {
  EXPECT_EQ(ResolveLength(ParseSmilLength("10%"), 200), 20);
  EXPECT_EQ(ResolveLength(ParseSmilLength("50%"), 200), 100);
  EXPECT_EQ(ResolveLength(ParseSmilLength("10"), 200), 10);
  EXPECT_EQ(ResolveLength(ParseSmilLength("10px"), 200), 10);
  EXPECT_EQ(ResolveLength(ParseSmilLength(""), 200), 0);
  EXPECT_EQ(ResolveLength(ParseSmilLength("33%"), 176), 58);
  EXPECT_EQ(ParseSmilLength("20%"), 20);
  EXPECT_EQ(ParseSmilLength("20"), kPixelLength | 20);
  // A length beyond what the value holds is held at the largest, not wrapped to a small one.
  EXPECT_EQ(ParseSmilLength("99999"), kPixelLength | kLengthNumberMask);
  EXPECT_EQ(ParseSmilLength("-5%"), 0);
}

TEST(SmilValues, LeadingIntegerIsHeldToItsRange) {
  EXPECT_EQ(LeadingInteger("  42abc"), 42);
  EXPECT_EQ(LeadingInteger("-7"), -7);
  EXPECT_EQ(LeadingInteger("+7"), 7);
  EXPECT_EQ(LeadingInteger("x1"), 0);
  EXPECT_EQ(LeadingInteger("99999999999999999999"), 2147483647);
  EXPECT_EQ(LeadingInteger("-99999999999999999999"), -2147483647 - 1);
}

}  // namespace
