// Recipient lists as other programs hand them over: commas inside quoted display names stay.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "forms/recipient_text.h"

namespace {

struct ListCase {
  const char16_t* text;
  const char16_t* list;
};

TEST(RecipientListFromHostText, CommasOutsideQuotesSeparateAndQuotedOnesStay) {
  const ListCase cases[] = {
      {u"+123,+456", u"+123;+456"},
      {u"\"Doe, Jane\"<+123>,+456", u"\"Doe, Jane\"<+123>;+456"},
      {u"\"Doe, Jane\"<+123>;ann@example.com", u"\"Doe, Jane\"<+123>;ann@example.com"},
      // A doubled quote inside the name is a literal quote: the name goes on past it.
      {u"\"Jane \"\"J, D\"\" Doe\"<+1>,+2", u"\"Jane \"\"J, D\"\" Doe\"<+1>;+2"},
      // Two names in a row, each quoted.
      {u"\"A, B\"<+1>,\"C, D\"<+2>", u"\"A, B\"<+1>;\"C, D\"<+2>"},
      // Blanks around entries go, empty entries go.
      {u"  +1 , ,;+2,  ", u"+1;+2"},
      {u",,;;", u""},
      {u"", u""},
  };
  for (const ListCase& c : cases) {
    EXPECT_EQ(RecipientListFromHostText(c.text), c.list) << std::u16string(c.text).size();
  }
}

TEST(RecipientListFromHostText, AnUnbalancedQuoteKeepsEveryCommaAfterIt) {
  // The quote never closes, so the rest is one display name; nothing is lost or split wrongly.
  EXPECT_EQ(RecipientListFromHostText(u"+1,\"Open, name<+2>,+3"), u"+1;\"Open, name<+2>,+3");
  EXPECT_EQ(RecipientListFromHostText(u"\""), u"\"");
  // A lone doubled quote at the end toggles twice outside quotes.
  EXPECT_EQ(RecipientListFromHostText(u"+1,\"\",+2"), u"+1;\"\";+2");
}

TEST(RecipientListFromHostText, TenThousandCharactersKeepEveryEntry) {
  std::u16string text;
  int entries = 0;
  while (text.size() < 10000) {
    if (!text.empty()) text += u',';
    text += u"\"Name, ";
    text += static_cast<char16_t>(u'A' + entries % 26);
    text += u"\"<+35840" + std::u16string(1, static_cast<char16_t>(u'0' + entries % 10)) + u">";
    ++entries;
  }
  CString list = RecipientListFromHostText(text);
  std::u16string_view view = list.View();
  EXPECT_EQ(static_cast<int>(std::count(view.begin(), view.end(), u';')), entries - 1);
  EXPECT_EQ(static_cast<int>(std::count(view.begin(), view.end(), u',')), entries);
  EXPECT_EQ(view.size(), text.size());
}

}  // namespace
