#include "forms/hand_over_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

HandOverStrings Forward() {
  return HandOverStrings{CString(u"\\My Documents\\UAContents\\4F2A.dat=0 : 1 : 0"), CString(u"Fw: \u00e9t\u00e9 \U0001F600"),
                         CString(u"MMS"), CString(u"IPM.MMS"), CString(), CString()};
}

bool Same(const HandOverStrings& a, const HandOverStrings& b) {
  return a.to == b.to && a.bcc == b.bcc && a.subject == b.subject && a.account == b.account &&
         a.messageClass == b.messageClass && a.body == b.body;
}

TEST(HandOverFile, ReadsBackWhatWasWrittenWithEmptyRecordsKept) {
  const std::string bytes = EncodeHandOverFile(Forward());
  const HandOverReading reading = ReadHandOverFile(bytes);
  ASSERT_TRUE(reading.strings.has_value()) << reading.error;
  EXPECT_TRUE(Same(*reading.strings, Forward()));
  EXPECT_TRUE(reading.strings->bcc.IsEmpty());
}

TEST(HandOverFile, EveryTruncationIsRefusedAtTheRecordItBreaks) {
  const std::string bytes = EncodeHandOverFile(Forward());
  // The record starts: four bytes of count, then two bytes a unit.
  std::vector<std::size_t> starts{0};
  const HandOverStrings strings = Forward();
  for (const CString* text : {&strings.to, &strings.bcc, &strings.subject, &strings.account, &strings.messageClass}) {
    starts.push_back(starts.back() + 4 + 2 * static_cast<std::size_t>(text->GetLength()));
  }
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    const HandOverReading reading = ReadHandOverFile(std::string_view(bytes).substr(0, size));
    ASSERT_FALSE(reading.strings.has_value()) << size;
    std::size_t record = 0;
    while (record + 1 < starts.size() && starts[record + 1] <= size) ++record;
    EXPECT_EQ(reading.errorOffset, starts[record]) << size;
  }
}

TEST(HandOverFile, RefusesCountsBeyondTheFileOrTheLimitAndTrailingBytes) {
  // One record claiming 0xFFFFFFFF units: its count must not be trusted for an allocation.
  EXPECT_FALSE(ReadHandOverFile(std::string("\xFF\xFF\xFF\xFF", 4)).strings.has_value());
  std::string huge(4, '\0');
  huge[2] = 0x20;  // 0x200000 units, above the limit, with the bytes to back it
  huge += std::string(0x400000, 'a');
  const HandOverReading tooLong = ReadHandOverFile(huge);
  EXPECT_FALSE(tooLong.strings.has_value());
  EXPECT_EQ(tooLong.errorOffset, 0u);

  std::string trailing = EncodeHandOverFile(Forward()) + "x";
  const HandOverReading extra = ReadHandOverFile(trailing);
  EXPECT_FALSE(extra.strings.has_value());
  EXPECT_EQ(extra.errorOffset, trailing.size() - 1);
}

TEST(HandOverFile, ARecordEndsAtItsFirstNull) {
  HandOverStrings strings = Forward();
  std::string bytes = EncodeHandOverFile(strings);
  // The To record's third unit becomes a null: the composer reads "\M".
  bytes[4 + 2 * 2] = 0;
  bytes[4 + 2 * 2 + 1] = 0;
  const HandOverReading reading = ReadHandOverFile(bytes);
  ASSERT_TRUE(reading.strings.has_value());
  EXPECT_EQ(reading.strings->to, u"\\M");
  EXPECT_EQ(reading.strings->subject, strings.subject);
}

}  // namespace
