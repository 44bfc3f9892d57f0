#include "platform/gdi/line_breaks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::gdi::LineBreakOpportunities;

std::vector<std::uint32_t> Positions(std::u16string_view text) {
  std::vector<std::uint32_t> positions;
  for (const auto& lineBreak : LineBreakOpportunities(text)) positions.push_back(lineBreak.position);
  return positions;
}

TEST(LineBreaks, LatinBreaksAfterSpacesAndHyphensOnly) {
  EXPECT_EQ(Positions(u"see you at ten"), (std::vector<std::uint32_t>{4, 8, 11, 14}));
  EXPECT_EQ(Positions(u"well-known"), (std::vector<std::uint32_t>{5, 10}));
  EXPECT_TRUE(LineBreakOpportunities(u"").empty());
}

TEST(LineBreaks, IdeographsBreakBetweenCharactersButNotBeforeClosingPunctuation) {
  // 今日は。 : no line may start with the full stop.
  EXPECT_EQ(Positions(u"\u4eca\u65e5\u306f\u3002"), (std::vector<std::uint32_t>{1, 2, 4}));
}

TEST(LineBreaks, ThaiBreaksAtDictionaryWordsNeverInsideAnEmojiSequence) {
  // สวัสดีครับ is two words: สวัสดี and ครับ.
  std::u16string thai = u"\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35\u0e04\u0e23\u0e31\u0e1a";
  EXPECT_EQ(Positions(thai), (std::vector<std::uint32_t>{6, 10}));
  // A family emoji (four people joined by ZWJ) is one unit.
  std::u16string family = u"\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466";
  EXPECT_EQ(Positions(family), (std::vector<std::uint32_t>{static_cast<std::uint32_t>(family.size())}));
}

TEST(LineBreaks, LineFeedIsMandatoryAndLoneSurrogatesAreTolerated) {
  auto breaks = LineBreakOpportunities(u"a\nb c");
  ASSERT_EQ(breaks.size(), 3u);
  EXPECT_EQ(breaks[0].position, 2u);
  EXPECT_TRUE(breaks[0].mandatory);
  EXPECT_FALSE(breaks[1].mandatory);
  std::u16string broken = u"x\xD800 y\xDC00";
  EXPECT_EQ(Positions(broken).back(), broken.size());
}

}  // namespace
