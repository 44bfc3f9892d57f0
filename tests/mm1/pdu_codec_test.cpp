#include <gtest/gtest.h>

#include <algorithm>

#include "mm1/pdu_decoder.h"
#include "mm1/pdu_encoder.h"
#include "mm1_test_util.h"

namespace mm1 {
namespace {

using mm1_test::Bytes;
using mm1_test::CorpusPdu;

void ExpectSameParts(const Pdu& a, const Pdu& b, const std::string& what) {
  ASSERT_EQ(a.parts.size(), b.parts.size()) << what;
  for (std::size_t i = 0; i < a.parts.size(); ++i) {
    const Part& x = a.parts[i];
    const Part& y = b.parts[i];
    EXPECT_EQ(x.contentType, y.contentType) << what << " part " << i;
    EXPECT_EQ(x.contentId, y.contentId) << what << " part " << i;
    EXPECT_EQ(x.contentLocation, y.contentLocation) << what << " part " << i;
    EXPECT_EQ(x.disposition, y.disposition) << what << " part " << i;
    EXPECT_EQ(x.otherHeaders, y.otherHeaders) << what << " part " << i;
    EXPECT_TRUE(std::ranges::equal(x.data, y.data)) << what << " part " << i;
  }
}

void ExpectSamePdu(const Pdu& a, const Pdu& b, const std::string& what) {
  EXPECT_EQ(a.messageType, b.messageType) << what;
  EXPECT_EQ(a.transactionId, b.transactionId) << what;
  EXPECT_EQ(a.mmsVersion, b.mmsVersion) << what;
  EXPECT_EQ(a.messageId, b.messageId) << what;
  EXPECT_EQ(a.date, b.date) << what;
  EXPECT_EQ(a.from, b.from) << what;
  EXPECT_EQ(a.to, b.to) << what;
  EXPECT_EQ(a.cc, b.cc) << what;
  EXPECT_EQ(a.bcc, b.bcc) << what;
  EXPECT_EQ(a.subject, b.subject) << what;
  EXPECT_EQ(a.messageClass, b.messageClass) << what;
  EXPECT_EQ(a.priority, b.priority) << what;
  EXPECT_EQ(a.expiry, b.expiry) << what;
  EXPECT_EQ(a.deliveryTime, b.deliveryTime) << what;
  EXPECT_EQ(a.messageSize, b.messageSize) << what;
  EXPECT_EQ(a.contentLocation, b.contentLocation) << what;
  EXPECT_EQ(a.status, b.status) << what;
  EXPECT_EQ(a.responseText, b.responseText) << what;
  EXPECT_EQ(a.retrieveText, b.retrieveText) << what;
  EXPECT_EQ(a.otherHeaders, b.otherHeaders) << what;
  EXPECT_EQ(a.contentType, b.contentType) << what;
  ExpectSameParts(a, b, what);
}

TEST(PduCodec, EveryDecodableCorpusPduSurvivesEncodeAndDecode) {
  std::size_t decoded = 0;
  for (const auto& file : mm1_test::CorpusPdus()) {
    auto bytes = Bytes(test_support::ReadFileBytes(file));
    auto pdu = DecodePdu(bytes);
    if (!pdu) {
      EXPECT_EQ(file.filename(), "me-garbage-retrieve.mms") << pdu.Failure().message;
      continue;
    }
    ++decoded;
    auto encoded = EncodePdu(pdu.Value());
    ASSERT_TRUE(encoded) << file << ": " << encoded.Failure().message;
    auto again = DecodePdu(encoded.Value());
    ASSERT_TRUE(again) << file << ": " << again.Failure().message;
    ExpectSamePdu(pdu.Value(), again.Value(), file.filename());
  }
  EXPECT_EQ(decoded, 61u);
}

TEST(PduCodec, HeaderValuesOfReportsAndNotifications) {
  auto notification = CorpusPdu("me-notification-1.mms");
  auto pdu = DecodePdu(notification);
  ASSERT_TRUE(pdu);
  EXPECT_EQ(pdu.Value().messageSize, 25031u);
  EXPECT_EQ(pdu.Value().contentLocation, "http://mmsr5/?message-id=m10l9m7u03mct2jbc12");
  ASSERT_TRUE(pdu.Value().expiry);
  auto delivery = CorpusPdu("me-delivery-1.mms");
  auto report = DecodePdu(delivery);
  ASSERT_TRUE(report);
  EXPECT_EQ(report.Value().status, 0x81);  // Retrieved
  EXPECT_EQ(report.Value().messageId, "BH24CBJJA40W1");
  auto sendReq = CorpusPdu("pm-iphone.mms");
  auto send = DecodePdu(sendReq);
  ASSERT_TRUE(send);
  ASSERT_TRUE(send.Value().from);
  EXPECT_TRUE(send.Value().from->insertAddress);
  ASSERT_EQ(send.Value().to.size(), 1u);
  EXPECT_EQ(send.Value().to[0].charset, 3u);
  EXPECT_EQ(send.Value().to[0].Utf8(), "1337/TYPE=PLMN");
}

TEST(PduCodec, TruncationAtEveryByteFailsCleanly) {
  for (const char* name : {"me-retrieve-1.mms", "pm-nowmms.mms", "mmsd-rc-mms-1-3-con-214.mms", "me-send-req-3.mms"}) {
    auto bytes = CorpusPdu(name);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
      auto pdu = DecodePdu(std::span(bytes).first(size));
      ASSERT_FALSE(pdu) << name << " cut at " << size;
      EXPECT_LE(pdu.Failure().offset, size) << name;
    }
  }
  // A message without a body may end after any header; a cut inside a header fails.
  auto notification = CorpusPdu("me-notification-4.mms");
  for (std::size_t size = 0; size < notification.size(); ++size) {
    auto pdu = DecodePdu(std::span(notification).first(size));
    if (!pdu) {
      EXPECT_LE(pdu.Failure().offset, size);
    }
  }
}

// m-retrieve-conf, transaction "t", MMS 1.2, then the content type and body given.
std::vector<std::uint8_t> RetrieveConf(std::initializer_list<int> contentTypeAndBody) {
  auto bytes = Bytes({0x8C, 0x84, 0x98, 't', 0x00, 0x8D, 0x92, 0x84});
  for (int value : contentTypeAndBody) bytes.push_back(static_cast<std::uint8_t>(value));
  return bytes;
}

struct BadInput {
  const char* what;
  std::vector<std::uint8_t> bytes;
};

TEST(PduCodec, BadInputsFailWithoutUnboundedWork) {
  const BadInput cases[] = {
      // multipart.mixed, 1 entry, headers 1 octet, data 200 octets but 2 present.
      {"data length lies", RetrieveConf({0xA3, 0x01, 0x01, 0x81, 0x48, 0x83, 'h', 'i'})},
      {"headers length lies", RetrieveConf({0xA3, 0x01, 0x40, 0x01, 0x83, 'h'})},
      {"six-octet uintvar part count", RetrieveConf({0xA3, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01})},
      {"a million parts", RetrieveConf({0xA3, 0xBD, 0x84, 0x40, 0x01, 0x01, 0x83, 'x'})},
      {"fewer parts than counted", RetrieveConf({0xA3, 0x02, 0x01, 0x01, 0x83, 'x'})},
      {"empty multipart body", RetrieveConf({0xA3})},
      {"unterminated transaction id", Bytes({0x8C, 0x84, 0x98, 't', 'x'})},
      {"message type not first", Bytes({0x8D, 0x92, 0x8C, 0x84})},
      {"from without a token", Bytes({0x8C, 0x86, 0x89, 0x01, 0x07})},
      {"content type value length past the end", RetrieveConf({0x1F, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0xB3})},
  };
  for (const BadInput& c : cases) {
    auto pdu = DecodePdu(c.bytes);
    ASSERT_FALSE(pdu) << c.what;
    EXPECT_LE(pdu.Failure().offset, c.bytes.size()) << c.what;
  }
}

TEST(PduCodec, NestedMultipartIsKeptAsOnePart) {
  // The outer body holds one entry of type multipart.mixed whose data is itself a multipart.
  auto bytes = RetrieveConf({0xA3, 0x01, 0x01, 0x06, 0xA3, 0x01, 0x01, 0x02, 0x83, 'h', 'i'});
  auto pdu = DecodePdu(bytes);
  ASSERT_TRUE(pdu) << pdu.Failure().message;
  ASSERT_EQ(pdu.Value().parts.size(), 1u);
  EXPECT_EQ(pdu.Value().parts[0].contentType.mediaType, "application/vnd.wap.multipart.mixed");
  EXPECT_EQ(pdu.Value().parts[0].data.size(), 6u);
}

TEST(PduCodec, VersionTextsOtherThanThePlainSpellingStayTexts) {
  const struct {
    const char* version;
    std::vector<std::uint8_t> encoded;  // the X-Mms-MMS-Version field (0x8D) as written
  } cases[] = {
      {"1.2", Bytes({0x8D, 0x92})},  // Short-integer: major 1 in bits 4-6, minor 2 below
      {"1", Bytes({0x8D, 0x9F})},    // minor 15: none given
      {"01.2", Bytes({0x8D, '0', '1', '.', '2', 0})},
      {" 1", Bytes({0x8D, ' ', '1', 0})},
      {"1.2.3", Bytes({0x8D, '1', '.', '2', '.', '3', 0})},
  };
  for (const auto& c : cases) {
    Pdu pdu;
    pdu.messageType = static_cast<std::uint8_t>(MessageType::kNotifyRespInd);
    pdu.mmsVersion = c.version;
    auto encoded = EncodePdu(pdu);
    ASSERT_TRUE(encoded) << c.version;
    const auto& bytes = encoded.Value();
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), c.encoded.begin(), c.encoded.end()), bytes.end()) << c.version;
    auto decoded = DecodePdu(bytes);
    ASSERT_TRUE(decoded) << c.version;
    EXPECT_EQ(decoded.Value().mmsVersion, c.version);
  }
}

TEST(PduCodec, EncoderRefusesWhatCannotBeEncoded) {
  Pdu withNul;
  withNul.transactionId = std::string("a\0b", 3);
  EXPECT_FALSE(EncodePdu(withNul));
  Pdu badRaw;
  badRaw.otherHeaders.push_back(RawHeader{0x30, {}, {0x05, 0x01}});  // length 5, one octet
  EXPECT_FALSE(EncodePdu(badRaw));
}

}  // namespace
}  // namespace mm1
