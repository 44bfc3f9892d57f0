// The three readers of received DRM objects on their own: the DRM message (MIME multipart), the
// rights object (ODRL) and the content file (DCF), on the forms senders use and on damaged ones.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/drm/dcf_file.h"
#include "platform/drm/drm_message.h"
#include "platform/drm/rights_object.h"

namespace {

using platform::drm::ParseDcf;
using platform::drm::ParseDrmMessage;
using platform::drm::ParseRightsObject;
using namespace std::string_literals;

const std::string kRights =
    "<o-ex:rights xmlns:o-ex=\"http://odrl.net/1.1/ODRL-EX\"><o-ex:agreement><o-ex:asset><o-ex:context>"
    "<o-dd:uid>cid:a@b</o-dd:uid></o-ex:context></o-ex:asset><o-ex:permission><o-dd:play/>"
    "</o-ex:permission></o-ex:agreement></o-ex:rights>";

TEST(DrmMessageReader, FormsOfTheMessage) {
  struct Case {
    const char* what;
    std::string body;
    const char* contentType;  // nullptr when the message is refused
    const char* content;
    const char* contentId;
    bool rights;
  };
  const Case cases[] = {
      {"forward lock, binary", "--b\r\nContent-Type: image/gif\r\nContent-Transfer-Encoding: binary\r\n\r\nGIF\r\n--b--\r\n",
       "image/gif", "GIF", "", false},
      {"blank lines before the boundary, parameters on the type, an id in brackets",
       "\r\n\r\n--b\r\nContent-Type: Image/JPEG; name=x.jpg\r\nContent-ID: <p@q>\r\n\r\nJ\r\n--b--", "image/jpeg", "J",
       "p@q", false},
      {"base64 with + and / across lines",
       "--x\r\nContent-Type: audio/amr\r\nContent-Transfer-Encoding: BASE64\r\n\r\n+/+/\r\nYQ==\r\n--x--", "audio/amr",
       "\xFB\xFF\xBF"
       "a",
       "", false},
      {"header lines ended by line feeds alone", "--b\r\ncontent-type: text/plain\n8bit: ignored\n\nhi\r\n--b--",
       "text/plain", "hi", "", false},
      {"combined delivery: rights, then content",
       "--b\r\nContent-Type: application/vnd.oma.drm.rights+xml\r\n\r\n" + kRights +
           "\r\n--b\r\nContent-Type: text/plain\r\n\r\nt\r\n--b--",
       "text/plain", "t", "", true},
      {"no boundary line", "Content-Type: image/gif\r\n\r\nGIF", nullptr, nullptr, nullptr, false},
      {"a boundary too long", "--" + std::string(71, 'b') + "\r\nContent-Type: image/gif\r\n\r\nG\r\n--" +
                                  std::string(71, 'b') + "--",
       nullptr, nullptr, nullptr, false},
      {"no closing boundary", "--b\r\nContent-Type: image/gif\r\n\r\nGIF", nullptr, nullptr, nullptr, false},
      {"a part without headers", "--b\r\nGIF\r\n--b--", nullptr, nullptr, nullptr, false},
      {"three parts", "--b\r\nContent-Type: a/b\r\n\r\n1\r\n--b\r\nContent-Type: a/b\r\n\r\n2\r\n--b\r\n"
                      "Content-Type: a/b\r\n\r\n3\r\n--b--",
       nullptr, nullptr, nullptr, false},
      {"a first part that is not rights", "--b\r\nContent-Type: text/plain\r\n\r\nx\r\n--b\r\n"
                                          "Content-Type: image/gif\r\n\r\ny\r\n--b--",
       nullptr, nullptr, nullptr, false},
      {"a protected object as the content", "--b\r\nContent-Type: application/vnd.oma.drm.content\r\n\r\nx\r\n--b--",
       nullptr, nullptr, nullptr, false},
      {"content without a type", "--b\r\nContent-ID: <a>\r\n\r\nx\r\n--b--", nullptr, nullptr, nullptr, false},
      {"a transfer encoding not ours", "--b\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: "
                                       "quoted-printable\r\n\r\nx\r\n--b--",
       nullptr, nullptr, nullptr, false},
      {"base64 with a stray character", "--b\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                                        "YQ*=\r\n--b--",
       nullptr, nullptr, nullptr, false},
      {"base64 with data after the padding", "--b\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: base64\r\n"
                                             "\r\nYQ==YQ\r\n--b--",
       nullptr, nullptr, nullptr, false},
      {"something after a boundary", "--b\r\nContent-Type: text/plain\r\n\r\nx\r\n--bxyz", nullptr, nullptr, nullptr,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string error;
    auto message = ParseDrmMessage(c.body, &error);
    ASSERT_EQ(message.has_value(), c.contentType != nullptr) << error;
    if (!message) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(message->contentType, c.contentType);
    EXPECT_EQ(message->content, c.content);
    EXPECT_EQ(message->contentId, c.contentId);
    EXPECT_EQ(message->rightsXml.has_value(), c.rights);
    if (message->rightsXml) {
      EXPECT_TRUE(ParseRightsObject(*message->rightsXml, nullptr));
    }
  }
}

TEST(RightsObjectReader, PermissionsCountsAndKeys) {
  auto rights = [](const std::string& inside, const std::string& permission) {
    return "<?xml version=\"1.0\"?><!-- issued --><o-ex:rights><o-ex:agreement><o-ex:asset><o-ex:context>"
           "<o-dd:uid>cid:x@y</o-dd:uid></o-ex:context>" +
           inside + "</o-ex:asset><o-ex:permission>" + permission + "</o-ex:permission></o-ex:agreement></o-ex:rights>";
  };
  const std::string count3 = "<o-ex:constraint><o-dd:count>3</o-dd:count></o-ex:constraint>";
  struct Case {
    const char* what;
    std::string xml;
    bool ok;
    int display;  // -2 not granted, -1 granted without a count, else the count
    int play;
    bool key;
  };
  const Case cases[] = {
      {"display without a count", rights("", "<o-dd:display/>"), true, -1, -2, false},
      {"play three times", rights("", "<o-dd:play>" + count3 + "</o-dd:play>"), true, -2, 3, false},
      {"both, display counted", rights("", "<o-dd:display>" + count3 + "</o-dd:display><o-dd:play/>"), true, 3, -1,
       false},
      {"a key of 16 bytes", rights("<ds:KeyInfo><ds:KeyValue>AAECAwQFBgcICQoLDA0ODw==</ds:KeyValue></ds:KeyInfo>",
                                   "<o-dd:display/>"),
       true, -1, -2, true},
      {"a key of 5 bytes", rights("<ds:KeyInfo><ds:KeyValue>c2hvcnQ=</ds:KeyValue></ds:KeyInfo>", "<o-dd:display/>"),
       false, 0, 0, false},
      {"a count that is not a number",
       rights("", "<o-dd:play><o-ex:constraint><o-dd:count>x</o-dd:count></o-ex:constraint></o-dd:play>"), false, 0, 0,
       false},
      {"a count too large",
       rights("", "<o-dd:play><o-ex:constraint><o-dd:count>99999999999</o-dd:count></o-ex:constraint></o-dd:play>"),
       false, 0, 0, false},
      {"no content identifier", "<o-ex:rights><o-ex:agreement/></o-ex:rights>", false, 0, 0, false},
      {"not a rights object", "<a><o-dd:uid>cid:x</o-dd:uid></a>", false, 0, 0, false},
      {"an element left open", "<o-ex:rights><o-ex:agreement>", false, 0, 0, false},
      {"a mismatched end tag", "<o-ex:rights></o-ex:agreement>", false, 0, 0, false},
      {"an unterminated tag", "<o-ex:rights", false, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string error;
    auto parsed = ParseRightsObject(c.xml, &error);
    ASSERT_EQ(parsed.has_value(), c.ok) << error;
    if (!parsed) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(parsed->uid, "cid:x@y");
    EXPECT_EQ(parsed->display.granted ? parsed->display.count : -2, c.display);
    EXPECT_EQ(parsed->play.granted ? parsed->play.count : -2, c.play);
    EXPECT_EQ(parsed->key.has_value(), c.key);
  }
  // Deep nesting is refused before it can grow without bound.
  std::string deep;
  for (int i = 0; i < 40; ++i) deep += "<o-ex:a>";
  EXPECT_FALSE(ParseRightsObject("<o-ex:rights>" + deep, nullptr));
}

TEST(DcfReader, LengthsHeadersAndTrailingBytes) {
  // Version 1, type "a/b", URI "cid:c", headers "K: v\r\n" (6), data of 4 bytes.
  const std::string whole = "\x01\x03\x05" "a/bcid:c\x06\x04" "K: v\r\nDATA"s;
  std::string error;
  auto file = ParseDcf(whole, &error);
  ASSERT_TRUE(file) << error;
  EXPECT_EQ(file->contentType, "a/b");
  EXPECT_EQ(file->contentUri, "cid:c");
  EXPECT_EQ(file->data, "DATA");
  EXPECT_EQ(platform::drm::DcfHeader(*file, "k"), "v");
  EXPECT_EQ(platform::drm::DcfHeader(*file, "K2"), std::nullopt);
  EXPECT_EQ(platform::drm::EncodeDcf(*file), whole);
  const struct {
    const char* what;
    std::string bytes;
  } refused[] = {
      {"version 2", std::string("\x02") + whole.substr(1)},
      {"no content type", "\x01\x00\x05" "cid:c\x06\x04" "K: v\r\nDATA"s},
      {"a byte after the data", whole + "!"},
      // Data length 0x21 << 21 bytes, past the 64 MB limit.
      {"a declared size over the limit", "\x01\x03\x00" "a/b\x00\xA1\x80\x80\x00"s},
      {"a content type that is not text", "\x01\x03\x00" "a\x01" "b\x00\x00"s},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.what);
    std::string why;
    EXPECT_FALSE(ParseDcf(c.bytes, &why));
    EXPECT_NE(why.find(" at offset "), std::string::npos) << why;
  }
}

}  // namespace
