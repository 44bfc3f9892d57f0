#include "mm1/content_type.h"

#include <gtest/gtest.h>

#include "mm1/content_type_split.h"
#include "mm1_test_util.h"

namespace mm1 {
namespace {

using mm1_test::Bytes;

struct DecodeCase {
  const char* what;
  std::vector<std::uint8_t> bytes;
  const char* text;  // the part-record form, or nullptr when decoding must fail
};

TEST(ContentType, DecodesTheBinaryForms) {
  const DecodeCase cases[] = {
      {"well-known short form", Bytes({0x9E}), "image/jpeg"},
      {"textual form", Bytes({'a', '/', 'b', 0}), "a/b"},
      // Value-length 8: text/plain, Charset us-ascii, Name (0x85) "a.t".
      {"general form", Bytes({0x08, 0x83, 0x81, 0x83, 0x85, 'a', '.', 't', 0}), "text/plain;charset=us-ascii;name=a.t"},
      // multipart.related, Type (0x89) application/smil as text, Start (0x8A) "<0>".
      {"related with start",
       Bytes({0x18, 0xB3, 0x89, 'a', 'p', 'p', 'l', 'i', 'c', 'a', 't', 'i', 'o', 'n', '/', 's', 'm', 'i', 'l', 0, 0x8A, '<', '0', '>', 0}),
       "application/vnd.wap.multipart.related;type=application/smil;start=<0>"},
      {"untyped parameter", Bytes({0x06, 0x83, 'x', 0, 'y', 'z', 0}), "text/plain;x=yz"},
      {"UCS-2 charset by two-octet MIBenum", Bytes({0x05, 0x83, 0x81, 0x02, 0x03, 0xE8}), "text/plain;charset=iso-10646-ucs-2"},
      {"parameter runs past its length", Bytes({0x03, 0x83, 0x85, 'a'}), nullptr},
      {"length past the data", Bytes({0x09, 0x83}), nullptr},
  };
  for (const DecodeCase& c : cases) {
    WspCursor cursor(c.bytes);
    auto type = ReadContentType(cursor);
    ASSERT_EQ(type.Ok(), c.text != nullptr) << c.what;
    if (type) {
      EXPECT_EQ(ContentTypeText(type.Value()), c.text) << c.what;
    }
  }
}

TEST(ContentType, TextFormEncodesAndDecodesToTheSameText) {
  for (const char* text : {"image/gif", "text/plain;charset=utf_8;name=hello world.txt", "application/x-custom;level=2",
                           "application/vnd.wap.multipart.related;start=<a>;type=application/smil",
                           "text/plain;charset=iso-10646-ucs-2", "text/plain;name=\"a;b.txt\""}) {
    WspWriter writer;
    ASSERT_TRUE(WriteContentType(writer, ParseContentTypeText(text))) << text;
    WspCursor cursor(writer.Bytes());
    auto decoded = ReadContentType(cursor);
    ASSERT_TRUE(decoded) << text;
    EXPECT_TRUE(cursor.AtEnd()) << text;
    EXPECT_EQ(ContentTypeText(decoded.Value()), text);
  }
}

// Binary content types whose parameters broke the text form or the second encoding once.
TEST(ContentType, HostileParametersSurviveTheTextFormAndReEncoding) {
  const DecodeCase cases[] = {
      // Untyped parameter named "a\"b" = "1", then Name "x": the quote mark took the name with it.
      {"quote mark in a name", Bytes({0x0A, 0x83, 'a', '"', 'b', 0, '1', 0, 0x85, 'x', 0}), "text/plain;ab=1;name=x"},
      {"separators in a name", Bytes({0x0A, 0x83, 'a', ';', '=', 0, '1', 0, 0x85, 'x', 0}), "text/plain;a=1;name=x"},
      // Textual media type holding a quote mark, then Name "x".
      {"quote mark in the media type", Bytes({0x08, 'a', '"', '/', 'b', 0, 0x85, 'x', 0}), "a/b;name=x"},
  };
  for (const DecodeCase& c : cases) {
    WspCursor cursor(c.bytes);
    auto type = ReadContentType(cursor);
    ASSERT_TRUE(type) << c.what;
    const std::string text = ContentTypeText(type.Value());
    EXPECT_EQ(text, c.text) << c.what;
    EXPECT_EQ(ContentTypeText(ParseContentTypeText(text)), text) << c.what;
  }
  // Modification-date (0x94) sent as the text "1": it stays a text through encoding.
  const std::vector<std::uint8_t> dateAsText = Bytes({0x04, 0x83, 0x94, '1', 0});
  WspCursor cursor(dateAsText);
  auto type = ReadContentType(cursor);
  ASSERT_TRUE(type);
  ASSERT_EQ(type.Value().parameters.size(), 1u);
  EXPECT_FALSE(type.Value().parameters[0].number.has_value());
  WspWriter writer;
  ASSERT_TRUE(WriteContentType(writer, type.Value()));
  WspCursor again(writer.Bytes());
  auto reread = ReadContentType(again);
  ASSERT_TRUE(reread);
  EXPECT_EQ(reread.Value(), type.Value());
}

TEST(ContentType, SplitGivesTheMediaTypeAndOneParameter) {
  auto split = SplitContentTypeText("text/plain; charset=\"utf_8\"; name=a.txt", "charset");
  EXPECT_EQ(split.mediaType, "text/plain");
  EXPECT_EQ(split.parameterValue, "utf_8");
  EXPECT_FALSE(SplitContentTypeText("image/png", "charset").parameterValue);
  EXPECT_FALSE(SplitContentTypeText("text/plain;charset=x", "").parameterValue);
}

}  // namespace
}  // namespace mm1
