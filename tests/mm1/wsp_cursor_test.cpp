#include "mm1/wsp_cursor.h"

#include <gtest/gtest.h>

#include "mm1/wsp_writer.h"
#include "mm1_test_util.h"

namespace mm1 {
namespace {

using mm1_test::Bytes;

struct UintvarCase {
  const char* what;
  std::vector<std::uint8_t> bytes;
  bool ok;
  std::uint32_t value;
};

TEST(WspCursor, UintvarTakesAtMostFiveOctetsAndThirtyTwoBits) {
  const UintvarCase cases[] = {
      {"one octet", Bytes({0x05}), true, 5},
      {"two octets", Bytes({0x81, 0x00}), true, 128},
      {"largest 32-bit value", Bytes({0x8F, 0xFF, 0xFF, 0xFF, 0x7F}), true, 0xFFFFFFFF},
      {"five octets over 32 bits", Bytes({0x9F, 0xFF, 0xFF, 0xFF, 0x7F}), false, 0},
      {"six octets", Bytes({0x80, 0x80, 0x80, 0x80, 0x80, 0x01}), false, 0},
      {"cut after a continuation octet", Bytes({0x81}), false, 0},
      {"empty", {}, false, 0},
  };
  for (const UintvarCase& c : cases) {
    WspCursor cursor(c.bytes);
    auto value = cursor.ReadUintvar();
    EXPECT_EQ(value.Ok(), c.ok) << c.what;
    if (c.ok && value) {
      EXPECT_EQ(value.Value(), c.value) << c.what;
    }
    if (!c.ok && !value) {
      EXPECT_EQ(value.Failure().offset, 0u) << c.what;
    }
  }
}

TEST(WspCursor, UintvarRoundTripsThroughTheWriter) {
  for (std::uint32_t value : {0u, 127u, 128u, 16383u, 16384u, 0x0FFFFFFFu, 0xFFFFFFFFu}) {
    WspWriter writer;
    writer.WriteUintvar(value);
    WspCursor cursor(writer.Bytes());
    auto read = cursor.ReadUintvar();
    ASSERT_TRUE(read) << value;
    EXPECT_EQ(read.Value(), value);
    EXPECT_TRUE(cursor.AtEnd());
  }
}

TEST(WspCursor, ValueLengthThatLiesAboutTheRestFails) {
  // 0x05: five octets follow, but only two are there.
  auto shortBytes = Bytes({0x05, 0x01, 0x02});
  EXPECT_FALSE(WspCursor(shortBytes).ReadValueLength());
  // 0x1F then a uintvar of 200 with three octets left.
  auto longBytes = Bytes({0x1F, 0x81, 0x48, 0x01, 0x02, 0x03});
  EXPECT_FALSE(WspCursor(longBytes).ReadValueLength());
  auto honestBytes = Bytes({0x1F, 0x02, 0xAA, 0xBB});
  WspCursor honest(honestBytes);
  auto length = honest.ReadValueLength();
  ASSERT_TRUE(length);
  EXPECT_EQ(length.Value(), 2u);
}

TEST(WspCursor, LongIntegerLengthsAreBounded) {
  const std::vector<std::uint8_t> bad[] = {
      Bytes({0x00}),                                // no octets
      Bytes({0x09, 1, 2, 3, 4, 5, 6, 7, 8, 9}),     // over 64 bits
      Bytes({0x04, 0x52, 0xC0}),                    // cut short
  };
  for (const auto& bytes : bad) EXPECT_FALSE(WspCursor(bytes).ReadLongInteger());
  auto dateBytes = Bytes({0x04, 0x52, 0xC0, 0x35, 0x2C});
  auto date = WspCursor(dateBytes).ReadLongInteger();
  ASSERT_TRUE(date);
  EXPECT_EQ(date.Value(), 0x52C0352Cu);
}

TEST(WspCursor, TextStringsDropTheQuoteAndNeedTheirTerminator) {
  auto quotedBytes = Bytes({0x7F, 0xD0, 0x9F, 0x00});
  auto text = WspCursor(quotedBytes).ReadTextString();
  ASSERT_TRUE(text);
  EXPECT_EQ(text.Value(), "\xD0\x9F");
  auto openBytes = Bytes(std::string("abc"));
  auto unterminated = WspCursor(openBytes).ReadTextString();
  ASSERT_FALSE(unterminated);
  EXPECT_EQ(unterminated.Failure().offset, 0u);
}

TEST(WspCursor, TextsReadBackAsWrittenWhateverTheirFirstOctet) {
  // 0x7F is the Quote itself: a text starting with it needs a Quote of its own like 0x80 and above.
  for (const std::string text : {"abc", "\x7F" "abc", "\x7F", "\x80x", "\xFF"}) {
    WspWriter writer;
    writer.WriteTextString(text);
    auto read = WspCursor(writer.Bytes()).ReadTextString();
    ASSERT_TRUE(read) << text;
    EXPECT_EQ(read.Value(), text);
  }
}

TEST(WspCursor, FieldValueExtentFollowsTheFirstOctet) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    std::size_t extent;
  };
  const Case cases[] = {
      {Bytes({0x81, 0xFF}), 1},              // short integer
      {Bytes({0x02, 0xAA, 0xBB, 0xFF}), 3},  // short length
      {Bytes({0x1F, 0x01, 0xAA, 0xFF}), 3},  // length quote
      {Bytes({'a', 'b', 0x00, 0xFF}), 3},    // text
  };
  for (const Case& c : cases) {
    WspCursor cursor(c.bytes);
    auto value = cursor.ReadFieldValue();
    ASSERT_TRUE(value);
    EXPECT_EQ(value.Value().size(), c.extent);
  }
}

}  // namespace
}  // namespace mm1
