// Multipart entry headers as senders write them (repeats, dispositions as tokens and texts, textual
// and shifted headers), X-Mms-Delivery-Time, and the MIME transfer encodings some servers add.
// Every byte sequence is written out from the WSP and OMA MMS grammars by hand.
#include <gtest/gtest.h>

#include <optional>

#include "mm1/pdu_decoder.h"
#include "mm1/pdu_encoder.h"
#include "mm1/transfer_encoding.h"
#include "mm1_test_util.h"

namespace mm1 {
namespace {

using mm1_test::Bytes;

// An m-retrieve-conf of version 1.2 with a multipart.mixed body of one entry: Content-Type
// text/plain (0x83), then `headers`, then the data "x".
std::vector<std::uint8_t> OneEntryPdu(const std::vector<std::uint8_t>& headers) {
  std::vector<std::uint8_t> pdu = Bytes({0x8C, 0x84, 0x8D, 0x92, 0x84, 0xA3, 0x01});
  pdu.push_back(static_cast<std::uint8_t>(headers.size() + 1));  // HeadersLen, one octet below 128
  pdu.push_back(0x01);                                           // DataLen
  pdu.push_back(0x83);
  pdu.insert(pdu.end(), headers.begin(), headers.end());
  pdu.push_back('x');
  return pdu;
}

struct EntryCase {
  const char* what;
  std::vector<std::uint8_t> headers;
  bool decodes;
  std::optional<std::string> contentLocation;
  std::optional<std::string> contentId;
  std::optional<std::string> disposition;
  std::vector<RawHeader> otherHeaders;
};

TEST(PartHeaders, RepeatsDispositionsAndUnknownHeadersAreKept) {
  const EntryCase cases[] = {
      {"repeated Content-Location (0x8E): the second is kept as sent",
       Bytes({0x8E, 'a', 0, 0x8E, 'b', 0}), true, "a", std::nullopt, std::nullopt,
       {RawHeader{0x0E, {}, Bytes({'b', 0})}}},
      {"repeated Content-ID (0xC0), quoted strings",
       Bytes({0xC0, '"', '<', 'a', '>', 0, 0xC0, '"', '<', 'b', '>', 0}), true, std::nullopt, "<a>", std::nullopt,
       {RawHeader{0x40, {}, Bytes({'"', '<', 'b', '>', 0})}}},
      // Value-length 10: Token-text "x-mine", then Filename (0x86) "f".
      {"disposition as a token text with a parameter",
       Bytes({0xAE, 0x0A, 'x', '-', 'm', 'i', 'n', 'e', 0, 0x86, 'f', 0}), true, std::nullopt, std::nullopt,
       "x-mine", {}},
      {"disposition under the WSP 1.4 code (0xC5): Attachment (0x81)", Bytes({0xC5, 0x01, 0x81}), true, std::nullopt,
       std::nullopt, "attachment", {}},
      {"second disposition kept as sent", Bytes({0xAE, 0x01, 0x82, 0xAE, 0x01, 0x80}), true, std::nullopt,
       std::nullopt, "inline", {RawHeader{0x2E, {}, Bytes({0x01, 0x80})}}},
      {"disposition without a length: kept as sent", Bytes({0xAE, 0x81}), true, std::nullopt, std::nullopt,
       std::nullopt, {RawHeader{0x2E, {}, Bytes({0x81})}}},
      {"textual header", Bytes({'X', '-', 'N', 0, 'h', 'i', 0}), true, std::nullopt, std::nullopt, std::nullopt,
       {RawHeader{std::nullopt, "X-N", Bytes({'h', 'i'})}}},
      {"shift to another code page: the rest byte for byte", Bytes({0x7F, 0x02, 0x81, 0x01}), true, std::nullopt,
       std::nullopt, std::nullopt, {RawHeader{std::nullopt, {}, Bytes({0x7F, 0x02, 0x81, 0x01})}}},
      {"short shift", Bytes({0x8E, 'a', 0, 0x03, 0x90}), true, "a", std::nullopt, std::nullopt,
       {RawHeader{std::nullopt, {}, Bytes({0x03, 0x90})}}},
      {"unknown disposition code (0x83)", Bytes({0xAE, 0x01, 0x83}), false, {}, {}, {}, {}},
      {"a null octet where a header starts", Bytes({0x00}), false, {}, {}, {}, {}},
      {"disposition length past the headers", Bytes({0xAE, 0x05, 0x81}), false, {}, {}, {}, {}},
  };
  for (const EntryCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<std::uint8_t> bytes = OneEntryPdu(c.headers);
    auto pdu = DecodePdu(bytes);
    ASSERT_EQ(pdu.Ok(), c.decodes) << (pdu ? "" : pdu.Failure().message);
    if (!pdu) {
      EXPECT_LE(pdu.Failure().offset, bytes.size());
      continue;
    }
    ASSERT_EQ(pdu.Value().parts.size(), 1u);
    const Part& part = pdu.Value().parts[0];
    EXPECT_EQ(part.contentLocation, c.contentLocation);
    EXPECT_EQ(part.contentId, c.contentId);
    EXPECT_EQ(part.disposition ? std::optional(part.disposition->disposition) : std::nullopt, c.disposition);
    EXPECT_EQ(part.otherHeaders, c.otherHeaders);
    EXPECT_EQ(std::string(part.data.begin(), part.data.end()), "x");
    // Whatever was kept goes out again and reads back the same.
    auto encoded = EncodePdu(pdu.Value());
    ASSERT_TRUE(encoded) << encoded.Failure().message;
    auto again = DecodePdu(encoded.Value());
    ASSERT_TRUE(again);
    const Part& reread = again.Value().parts.at(0);
    EXPECT_EQ(reread.contentLocation, part.contentLocation);
    EXPECT_EQ(reread.contentId, part.contentId);
    EXPECT_EQ(reread.disposition, part.disposition);
    EXPECT_EQ(reread.otherHeaders, part.otherHeaders);
  }
}

TEST(PartHeaders, DispositionParametersAreRead) {
  // Value-length 8: Inline (0x82), then Filename (0x86) "p.gif".
  const auto bytes = OneEntryPdu(Bytes({0xAE, 0x08, 0x82, 0x86, 'p', '.', 'g', 'i', 'f', 0}));
  auto pdu = DecodePdu(bytes);
  ASSERT_TRUE(pdu) << pdu.Failure().message;
  const Part& part = pdu.Value().parts.at(0);
  ASSERT_TRUE(part.disposition);
  EXPECT_EQ(part.disposition->disposition, "inline");
  ASSERT_EQ(part.disposition->parameters.size(), 1u);
  EXPECT_EQ(part.disposition->parameters[0].name, "filename");
  EXPECT_EQ(part.disposition->parameters[0].value, "p.gif");
  EXPECT_EQ(part.FileName(), "p.gif");
  EXPECT_EQ(part.Name(), "");  // the content type carries no name
}

TEST(DeliveryTime, AbsoluteAndRelativeFormsDecodeAndEncodeAgain) {
  const struct {
    const char* what;
    std::vector<std::uint8_t> field;  // X-Mms-Delivery-Time (0x87) with its value
    TimeValue expected;
  } cases[] = {
      // Value-length 6: Absolute-token (0x80), Long-integer of 4 octets 0x5F5E1000.
      {"absolute", Bytes({0x87, 0x06, 0x80, 0x04, 0x5F, 0x5E, 0x10, 0x00}), TimeValue{false, 1600000000}},
      // Value-length 3: Relative-token (0x81), Long-integer of 1 octet: 60 seconds.
      {"relative", Bytes({0x87, 0x03, 0x81, 0x01, 0x3C}), TimeValue{true, 60}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // m-send-req, transaction "t", version 1.2, the field, then a text/plain body "hi".
    std::vector<std::uint8_t> bytes = Bytes({0x8C, 0x80, 0x98, 't', 0, 0x8D, 0x92});
    bytes.insert(bytes.end(), c.field.begin(), c.field.end());
    bytes.insert(bytes.end(), {0x84, 0x83, 'h', 'i'});
    auto pdu = DecodePdu(bytes);
    ASSERT_TRUE(pdu) << pdu.Failure().message;
    EXPECT_EQ(pdu.Value().deliveryTime, c.expected);
    auto encoded = EncodePdu(pdu.Value());
    ASSERT_TRUE(encoded);
    EXPECT_NE(std::search(encoded.Value().begin(), encoded.Value().end(), c.field.begin(), c.field.end()),
              encoded.Value().end());
  }
  // A delivery time with a token other than Absolute or Relative is refused.
  auto bad = DecodePdu(Bytes({0x8C, 0x80, 0x98, 't', 0, 0x8D, 0x92, 0x87, 0x03, 0x82, 0x01, 0x3C, 0x84, 0x83, 'h'}));
  EXPECT_FALSE(bad);
}

TEST(TransferEncoding, Base64AndQuotedPrintableAsServersWriteThem) {
  const struct {
    const char* encoding;
    const char* text;
    std::optional<std::string> decoded;
  } cases[] = {
      {"base64", "+/+/", std::string("\xFB\xFF\xBF")},  // 62, 63, 62, 63
      {"base64", "YW Jj\r\nZA==", std::string("abcd")},
      {"base64", "YQ", std::string("a")},                 // without padding
      {"base64", "", std::string()},
      {"base64", "YWJj=ZA", std::nullopt},                // data after padding
      {"base64", "YW*j", std::nullopt},
      {"quoted-printable", "a=3Db", std::string("a=b")},
      {"quoted-printable", "a=3db", std::string("a=b")},  // lower-case hex
      {"quoted-printable", "=C3=A9t=C3=A9", std::string("\xC3\xA9t\xC3\xA9")},
      {"quoted-printable", "soft=\r\nbreak", std::string("softbreak")},
      {"quoted-printable", "soft=\nbreak", std::string("softbreak")},
      {"quoted-printable", "end=", std::string("end")},
      {"quoted-printable", "bad=ZZ", std::nullopt},
      {"quoted-printable", "cut=4", std::nullopt},
      {"7bit", "as is", std::nullopt},  // not ours to decode: the data is used as it is
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.encoding) + " " + c.text);
    const std::string text = c.text;
    auto decoded = DecodeTransferEncoding(c.encoding, Bytes(text));
    ASSERT_EQ(decoded.has_value(), c.decoded.has_value());
    if (decoded) {
      EXPECT_EQ(std::string(decoded->begin(), decoded->end()), *c.decoded);
    }
  }
}

TEST(TransferEncoding, TheTextualHeaderNamesTheEncodingWhateverItsCase) {
  auto pdu = DecodePdu(OneEntryPdu(Bytes({'c', 'o', 'n', 't', 'e', 'n', 't', '-', 't', 'r', 'a', 'n', 's', 'f', 'e', 'r',
                                          '-', 'e', 'n', 'c', 'o', 'd', 'i', 'n', 'g', 0, ' ', 'B', 'a', 's', 'e', '6',
                                          '4', ' ', 0})));
  ASSERT_TRUE(pdu) << pdu.Failure().message;
  EXPECT_EQ(TransferEncodingOf(pdu.Value().parts.at(0)), "base64");
  auto plain = DecodePdu(OneEntryPdu({}));
  ASSERT_TRUE(plain);
  EXPECT_EQ(TransferEncodingOf(plain.Value().parts.at(0)), "");
}

}  // namespace
}  // namespace mm1
