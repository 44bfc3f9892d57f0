// The texts of the read view's message dialogs, from corpus messages stored as a phone receives
// them: the header lines, report texts, the reports asked for and the object list; the date, time
// and size formats; and the row wrapping of the information list.
#include "forms/message_info_text.h"

#include <ctime>
#include <string>

#include "forms/message_info_dialog.h"
#include "stored_message_fixture.h"

namespace ui_test {
namespace {

// The local date and time of a stored time, formatted by the C library: the expectation does not
// come from the code under test.
std::u16string LocalText(std::int64_t utcSeconds, const char* format) {
  const std::time_t local = static_cast<std::time_t>(utcSeconds + platform::LocalTimeOffset(utcSeconds));
  std::tm parts{};
  gmtime_r(&local, &parts);
  char text[32] = {};
  std::strftime(text, sizeof text, format, &parts);
  return std::u16string(text, text + std::strlen(text));
}

std::u16string When(std::int64_t utcSeconds) { return LocalText(utcSeconds, "%d/%m/%Y %H:%M"); }

std::vector<std::pair<std::u16string, std::u16string>> Pairs(const std::vector<InfoLine>& lines) {
  std::vector<std::pair<std::u16string, std::u16string>> pairs;
  for (const InfoLine& line : lines) pairs.emplace_back(line.label.View(), line.value.View());
  return pairs;
}

using MessageInfoTextTest = StoredMessageTest;

TEST(MessageInfoFormats, DatesAndTimesMatchTheCLibraryAcrossTheCalendar) {
  // Leap days, the turn of centuries, the last second of a day and times before 1970.
  for (LONG seconds : {0, 59, 86399, 86400, 951782400, 951868799, 978307200, 1700014400, 2147483647, -1, -86401,
                       -2147483647}) {
    std::time_t t = seconds;
    std::tm parts{};
    gmtime_r(&t, &parts);
    char date[16] = {};
    char time[8] = {};
    std::strftime(date, sizeof date, "%d/%m/%Y", &parts);
    std::strftime(time, sizeof time, "%H:%M", &parts);
    EXPECT_EQ(MessageDateText(seconds).ToUtf8(), date) << seconds;
    EXPECT_EQ(MessageTimeText(seconds).ToUtf8(), time) << seconds;
  }
}

TEST(MessageInfoFormats, SizesRoundUpToKilobytesAndShowMegabytesWithOneDecimal) {
  test_support::TestDevice device;
  const std::pair<LONG, const char16_t*> cases[] = {
      {0, u"0 KB"},          {1, u"1 KB"},          {1024, u"1 KB"},          {1025, u"2 KB"},
      {1048575, u"1024 KB"}, {1048576, u"1.0 MB"},  {1572864, u"1.5 MB"},     {1101005, u"1.1 MB"},
      {-5, u"0 KB"},         {10380902, u"9.9 MB"}, {2147483647, u"2048.0 MB"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(MessageSizeText(bytes).View(), std::u16string_view(text)) << bytes;
}

TEST(MessageInfoFormats, CodesOutsideTheirRangesHaveNoName) {
  test_support::TestDevice device;
  EXPECT_EQ(PriorityText(128), u"Low");
  EXPECT_EQ(PriorityText(130), u"High");
  EXPECT_TRUE(PriorityText(127).IsEmpty());
  EXPECT_TRUE(PriorityText(131).IsEmpty());
  EXPECT_EQ(MessageClassText(131), u"Automatic");
  EXPECT_TRUE(MessageClassText(132).IsEmpty());
  EXPECT_TRUE(MessageClassText(0).IsEmpty());
  EXPECT_EQ(DeliveryStatusText(129), u"Retrieved");
  EXPECT_EQ(DeliveryStatusText(135), u"Unreachable");
  EXPECT_TRUE(DeliveryStatusText(136).IsEmpty());
}

TEST_F(MessageInfoTextTest, AMessageShowsEveryHeaderFieldItHasAndNoEmptyOnes) {
  MessageBinding* binding = Bind("mms/me-retrieve-1.mms");
  ASSERT_NE(binding, nullptr);
  // Values from the independent decoder's reading of the file; no subject, so no subject line.
  const std::vector<std::pair<std::u16string, std::u16string>> expected = {
      {u"From:", u"+79050000000/TYPE=PLMN"},
      {u"To:", u"+79650000001/TYPE=PLMN;+79650000002/TYPE=PLMN"},
      {u"Cc:", u"+79650000003/TYPE=PLMN;+79650000004/TYPE=PLMN"},
      {u"Date:", When(1388311724)},
      {u"Size:", u"15 KB"},  // 14722 bytes
      {u"Class:", u"Advertisement"},
      {u"Priority:", u"Normal"},
  };
  EXPECT_EQ(Pairs(MessageInfoLines(binding->Message())), expected);
  EXPECT_FALSE(IsReportMessage(binding->Message()));
}

TEST_F(MessageInfoTextTest, AMessageOfNoSenderAndNoFieldsShowsOnlyWhatItHas) {
  MessageBinding* binding = Bind("mms/me-retrieve-5.mms");
  ASSERT_NE(binding, nullptr);
  const auto pairs = Pairs(MessageInfoLines(binding->Message()));
  for (const auto& [label, value] : pairs) {
    EXPECT_NE(label, u"From:");
    EXPECT_NE(label, u"To:");
    EXPECT_FALSE(value.empty()) << std::string(label.begin(), label.end());
  }
  ASSERT_FALSE(pairs.empty());
  EXPECT_EQ(pairs.front(), (std::pair<std::u16string, std::u16string>{u"Date:", When(1398022758)}));
}

TEST_F(MessageInfoTextTest, ADeliveryReportShowsItsReportTextAndStatus) {
  MessageBinding* binding = Bind("mms/me-delivery-1.mms");
  ASSERT_NE(binding, nullptr);
  ASSERT_TRUE(IsReportMessage(binding->Message()));
  // The report arrives now; it names the recipient the message reached.
  const std::u16string expectedReport = u"Delivery report on your message \"(no subject)\" to +358500000000/TYPE=PLNM, " +
                                        LocalText(kArrivalTime, "%d/%m/%Y %H:%M") + u".";
  EXPECT_EQ(ReportInfoText(binding->Message()).View(), expectedReport);
  const std::vector<std::pair<std::u16string, std::u16string>> expected = {
      {u"Report:", expectedReport}, {u"Status:", u"Retrieved"}, {u"Date:", When(kArrivalTime)}};
  EXPECT_EQ(Pairs(MessageInfoLines(binding->Message())), expected);
  EXPECT_EQ(DeliveryReportText(binding->Message()).View(), expectedReport + u"\r\n\r\nStatus: Retrieved");
}

TEST_F(MessageInfoTextTest, AReadReportNamesTheReaderAsTheRecipient) {
  MessageBinding* binding = Bind("mms/me-read-orig.mms");
  ASSERT_NE(binding, nullptr);
  const std::u16string expected = u"Your message \"(no subject)\" to +358500000000/TYPE=PLMN was read on " +
                                  LocalText(kArrivalTime, "%d/%m/%Y") + u" at " + LocalText(kArrivalTime, "%H:%M") +
                                  u".";
  EXPECT_EQ(ReportInfoText(binding->Message()).View(), expected);
  EXPECT_EQ(ReadReportText(binding->Message()).View(), expected);
  // A read report is no delivery report: its dialog says whether one was asked for.
  EXPECT_EQ(DeliveryReportText(binding->Message()), u"The sender did not ask for a delivery report.");
}

TEST_F(MessageInfoTextTest, TheReportsAskedForAreTheSendersRequests) {
  MessageBinding* asksDelivery = Bind("mms/me-retrieve-success1.mms");
  MessageBinding* asksRead = Bind("mms/me-retrieve-1.mms");
  ASSERT_NE(asksDelivery, nullptr);
  ASSERT_NE(asksRead, nullptr);
  EXPECT_EQ(DeliveryReportText(asksDelivery->Message()), u"The sender asked for a delivery report.");
  EXPECT_EQ(ReadReportText(asksDelivery->Message()), u"The sender did not ask for a read report.");
  EXPECT_EQ(DeliveryReportText(asksRead->Message()), u"The sender did not ask for a delivery report.");
  EXPECT_EQ(ReadReportText(asksRead->Message()), u"The sender asked for a read report.");
  EXPECT_TRUE(ReportInfoText(asksRead->Message()).IsEmpty());
}

TEST_F(MessageInfoTextTest, TheDetailsListEveryObjectWithItsTypeAndSize) {
  MessageBinding* binding = Bind("mms-rich/rich-01-photo-audio-begin.mms");
  ASSERT_NE(binding, nullptr);
  MessageModel* model = binding->Model();
  ASSERT_NE(model, nullptr);
  const CString details = MessageDetailsText(binding->Message(), model);
  EXPECT_NE(details.Find(u"Subject: Holiday photos (sound on slide 2)"), -1);
  EXPECT_NE(details.Find(u"The sender did not ask for a delivery report."), -1);
  // Sizes from the corpus: 79837 bytes is 78 KB, 5126 bytes 6 KB.
  EXPECT_NE(details.Find(u"photo1.jpg\r\n    image/jpeg, 78 KB"), -1) << details.ToUtf8();
  EXPECT_NE(details.Find(u"sweep.amr\r\n    audio/amr, 6 KB"), -1) << details.ToUtf8();
  for (const MediaPart& part : model->parts) EXPECT_NE(details.Find(part.fileName.View()), -1);
  // Without the body there is nothing to list.
  EXPECT_EQ(MessageDetailsText(binding->Message(), nullptr).Find(u"Objects:"), -1);
}

TEST(WrapRows, RowsBreakAfterSpacesInsideLongWordsAndNeverStartWithASpace) {
  const auto oneEach = [](std::u16string_view text) { return static_cast<int>(text.size()); };
  auto rows = [&](std::u16string_view text, int width) {
    std::vector<std::u16string> out;
    for (const CString& row : WrapRows(CString(text), width, oneEach)) out.emplace_back(row.View());
    return out;
  };
  EXPECT_EQ(rows(u"From: Ann Smith", 40), (std::vector<std::u16string>{u"From: Ann Smith"}));
  EXPECT_EQ(rows(u"From: Ann Smith", 10), (std::vector<std::u16string>{u"From: Ann ", u"Smith"}));
  EXPECT_EQ(rows(u"abcdefghij", 4), (std::vector<std::u16string>{u"abcd", u"efgh", u"ij"}));
  EXPECT_EQ(rows(u"ab    cd", 3), (std::vector<std::u16string>{u"ab ", u"cd"}));
  // Too narrow for anything: one character a row, and it ends.
  EXPECT_EQ(rows(u"abc", 0), (std::vector<std::u16string>{u"a", u"b", u"c"}));
  EXPECT_TRUE(rows(u"", 10).empty());
  EXPECT_TRUE(rows(u"   ", 10).empty());
}

}  // namespace
}  // namespace ui_test
