// Link detection on texts as people write them: each case lists the links expected by hand, as
// (display, type, target); an empty target means the display itself.
#include "device/link_detection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "support/test_device.h"
#include "transport/mms_global.h"

namespace {

struct Expected {
  std::u16string display;
  std::int32_t type;
  std::u16string target;
};

struct ScanCase {
  const char* name;
  std::u16string text;
  std::vector<Expected> links;
};

std::string Narrow(std::u16string_view text) { return CString(text).ToUtf8(); }

const std::vector<ScanCase>& ScanCases() {
  static const std::vector<ScanCase> cases = {
      {"www prefix gets http in front", u"Visit www.example.com today",
       {{u"www.example.com", kLinkHttp, u"http://www.example.com"}}},
      {"prefix case is ignored and kept as written", u"WWW.EXAMPLE.COM",
       {{u"WWW.EXAMPLE.COM", kLinkHttp, u"http://WWW.EXAMPLE.COM"}}},
      {"four w prefix", u"wwww.example.com", {{u"wwww.example.com", kLinkHttp, u"http://wwww.example.com"}}},
      {"full stop ending a sentence is left out", u"See www.example.com.",
       {{u"www.example.com", kLinkHttp, u"http://www.example.com"}}},
      {"full stop before a letter stays", u"Go to www.example.co.uk/a.html now",
       {{u"www.example.co.uk/a.html", kLinkHttp, u"http://www.example.co.uk/a.html"}}},
      {"closing bracket at the end of the text", u"(www.example.com)",
       {{u"www.example.com", kLinkHttp, u"http://www.example.com"}}},
      {"bracketed address followed by text", u"(www.example.com)x",
       {{u"www.example.com", kLinkHttp, u"http://www.example.com"}}},
      {"bracketed part of an address stays", u"http://en.example.org/wiki/Foo_(bar)",
       {{u"http://en.example.org/wiki/Foo_(bar", kLinkHttp, u""}}},
      {"address inside brackets with a space", u"(see http://example.com/page)",
       {{u"http://example.com/page", kLinkHttp, u""}}},
      {"scheme inside a word starts a new word", u"linkhttp://example.com",
       {{u"http://example.com", kLinkHttp, u""}}},
      {"scheme after another scheme", u"telnet:rtsp://media.example.com/a.sdp",
       {{u"rtsp://media.example.com/a.sdp", kLinkRtsp, u""}}},
      {"comma ends an address", u"http://example.com/a,b", {{u"http://example.com/a", kLinkHttp, u""}}},
      {"query kept, comma after it ends it", u"Kuvat: www.esimerkki.fi/kuvat?id=42, kiitos!",
       {{u"www.esimerkki.fi/kuvat?id=42", kLinkHttp, u"http://www.esimerkki.fi/kuvat?id=42"}}},
      {"Korean after an address ends it", u"\uC790\uC138\uD55C \uB0B4\uC6A9\uC740 www.naver.com\uC5D0\uC11C",
       {{u"www.naver.com", kLinkHttp, u"http://www.naver.com"}}},
      {"Latin-1 letters do not end a word", u"Tervetuloa www.k\u00E4ytt\u00E4j\u00E4.fi",
       {{u"www.k\u00E4ytt\u00E4j\u00E4.fi", kLinkHttp, u"http://www.k\u00E4ytt\u00E4j\u00E4.fi"}}},
      {"lone surrogate before an address", std::u16string(1, u'\xD800') + u"www.example.com",
       {{u"www.example.com", kLinkHttp, u"http://www.example.com"}}},
      {"each scheme of the table", u"ftp://files.example.com/pub/readme.txt. https://secure.example.com/login "
                                   u"rtsp://stream.example.com/live.sdp wsp://wap.example.com "
                                   u"gopher://gopher.example.org file://host/share/doc.txt",
       {{u"ftp://files.example.com/pub/readme.txt", kLinkFtp, u""},
        {u"https://secure.example.com/login", kLinkHttps, u""},
        {u"rtsp://stream.example.com/live.sdp", kLinkRtsp, u""},
        {u"wsp://wap.example.com", kLinkWsp, u""},
        {u"gopher://gopher.example.org", kLinkGopher, u""},
        {u"file://host/share/doc.txt", kLinkFile, u""}}},
      {"telnet never links", u"telnet://bbs.example.com", {}},
      {"ftp and one character at the very end", u"ftp://a", {}},
      {"ftp and two characters", u"ftp://ab", {{u"ftp://ab", kLinkFtp, u""}}},
      {"mailto in front is no link", u"mailto:john@example.com", {}},
      {"bare e-mail address", u"Write to john@example.com", {{u"john@example.com", kLinkEmail, u""}}},
      {"e-mail with dots and plus, end of sentence", u"Email me at anna.maria+mms@example.co.uk.",
       {{u"anna.maria+mms@example.co.uk", kLinkEmail, u""}}},
      {"at sign after a full stop", u"john.@example.com", {}},
      {"address starting with a full stop", u".john@example.com", {}},
      {"phone with country code and area code", u"+1(555)123-4567", {{u"+1(555)123-4567", kLinkPhone, u""}}},
      {"area code in brackets then digits", u"Call (09)123-4567 now", {{u"(09)123-4567", kLinkPhone, u""}}},
      {"area code bracket then hyphen", u"(09)-1234567", {{u"(09)-1234567", kLinkPhone, u""}}},
      {"two bracketed groups", u"(555)(123)", {{u"(555)", kLinkPhone, u""}, {u"(123)", kLinkPhone, u""}}},
      {"numbers in a sentence", u"Soita 040-1234567 tai 0401234567.",
       {{u"040-1234567", kLinkPhone, u""}, {u"0401234567", kLinkPhone, u""}}},
      {"international number with spaces is cut", u"+358 40 1234567", {{u"1234567", kLinkPhone, u""}}},
      {"international number written together", u"+358401234567", {{u"+358401234567", kLinkPhone, u""}}},
      {"two digits are too short", u"Room 12", {}},
      {"longer than the phone limit", u"123456789012345678901", {}},
      {"unclosed bracket ends the word", u"foo(bar www.example.com",
       {{u"www.example.com", kLinkHttp, u"http://www.example.com"}}},
      {"only delimiters", u" ,;'\"{}[]<>)\t\r\n", {}},
  };
  return cases;
}

class LinkScan : public ::testing::Test {
 protected:
  test_support::TestDevice m_device;
};

TEST_F(LinkScan, FindsTheLinksOfEachText) {
  for (const ScanCase& c : ScanCases()) {
    SCOPED_TRACE(c.name);
    LinkList list;
    list.ScanLinks(c.text, true);
    ASSERT_EQ(list.Links().size(), c.links.size());
    std::size_t from = 0;
    for (std::size_t i = 0; i < c.links.size(); ++i) {
      const LinkRecord& link = list.Links()[i];
      const Expected& want = c.links[i];
      const std::size_t first = c.text.find(want.display, from);
      ASSERT_NE(first, std::u16string::npos);
      from = first + want.display.size();
      EXPECT_EQ(Narrow(link.display.View()), Narrow(want.display));
      EXPECT_EQ(Narrow(link.target.View()), Narrow(want.target.empty() ? want.display : want.target));
      EXPECT_EQ(link.type, want.type);
      EXPECT_EQ(link.first, static_cast<std::int32_t>(first));
      EXPECT_EQ(link.last, static_cast<std::int32_t>(first + want.display.size() - 1));
      EXPECT_EQ(link.own, 0);
    }
    EXPECT_EQ(list.Text(), c.text);
  }
}

TEST_F(LinkScan, DisabledScanKeepsTheTextWithoutLinks) {
  LinkList list;
  list.ScanLinks(u"www.example.com 555-1234", true);
  ASSERT_EQ(list.Links().size(), 2u);
  list.ScanLinks(u"www.example.com 555-1234", false);
  EXPECT_TRUE(list.Links().empty());
  EXPECT_EQ(list.Text(), u"www.example.com 555-1234");
}

TEST_F(LinkScan, WithoutTheInternetLibraryNoLinksAreMade) {
  std::filesystem::remove(m_device.Host(u"\\windows\\wininet.dll"));
  LinkList list;
  list.ScanLinks(u"www.example.com john@example.com 555-1234", true);
  EXPECT_TRUE(list.Links().empty());
  EXPECT_EQ(ULC_Global::GetGlobal()->winINetModule, nullptr);
}

TEST_F(LinkScan, LengthLimitsComeFromTheSettings) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kMaxPhoneChars, 8, FALSE));
  ASSERT_TRUE(SetConfigValue(numeric_setting::kMinEmailChars, 20, FALSE));
  LinkList list;
  list.ScanLinks(u"12345678 123456789 a@example.com", true);
  ASSERT_EQ(list.Links().size(), 1u);
  EXPECT_EQ(list.Links()[0].display, u"12345678");
}

TEST_F(LinkScan, TheLibraryIsReleasedAfterTheScan) {
  LinkList list;
  list.ScanLinks(u"www.example.com", true);
  EXPECT_EQ(ULC_Global::GetGlobal()->winINetLoads, 0);
  EXPECT_EQ(ULC_Global::GetGlobal()->canonicalizeUrl, nullptr);
}

TEST_F(LinkScan, HostileTextsStayBounded) {
  LinkList list;
  list.ScanLinks(std::u16string(200000, u'('), true);
  EXPECT_TRUE(list.Links().empty());
  list.ScanLinks(std::u16string(200000, u')'), true);
  EXPECT_TRUE(list.Links().empty());
  std::u16string brackets;
  for (int i = 0; i < 20000; ++i) brackets += u"(1)2";
  list.ScanLinks(brackets, true);
  EXPECT_TRUE(list.Links().empty());  // each "(1)2" ends at the next bracket, two digits long

  std::u16string longUrl = u"http://example.com/" + std::u16string(100000, u'a');
  list.ScanLinks(longUrl, true);
  ASSERT_EQ(list.Links().size(), 1u);
  EXPECT_EQ(list.Links()[0].last, static_cast<std::int32_t>(longUrl.size() - 1));

  // A word that is nothing but schemes that never link, behind a bracket that keeps it whole.
  std::u16string schemes = u"(1)2";
  for (int i = 0; i < 20000; ++i) schemes += u"mailto:x";
  list.ScanLinks(schemes, true);
  EXPECT_TRUE(list.Links().empty());

  std::u16string many;
  for (int i = 0; i < 10000; ++i) many += u"www.e" + std::u16string(1, u'a' + i % 26) + u".com ";
  list.ScanLinks(many, true);
  EXPECT_EQ(list.Links().size(), 10000u);
}

struct PlainCase {
  std::u16string address;
  bool plain;  // read without the library
};

// Plain addresses skip canonicalising; each must get the scheme number the library gives it, and
// everything the library might change or refuse must be left to it.
TEST_F(LinkScan, PlainAddressesGetTheLibrarysSchemeNumber) {
  const PlainCase cases[] = {
      {u"http://example.com", true},
      {u"HTTP://Example.COM:8080/a/b?c=d#e", true},
      {u"https://tickets.example.org/event?id=4711&seat=12", true},
      {u"http://example.com:80/", true},
      {u"http://example.com:0", true},
      {u"http://example.com:00080/", true},
      {u"http://example.com:65535", true},
      {u"http://example.com:65536", false},
      {u"http://example.com:123456/", false},
      {u"http://example.com:/", false},
      {u"http://example.com:8080:9/", false},
      {u"http://[::1]/", false},
      {u"http://[fe80::1%25eth0]:8/", false},
      {u"http://user@example.com/", false},
      {u"http://user:pw@example.com/", false},
      {u"http://example.com/a%20b", false},
      {u"http://example.com/%7Euser", false},
      {u"http://example.com/a/../../b/./c", true},
      {u"http://example.com/./.", true},
      {u"http://a..b/", true},
      {u"http://-/", true},
      {u"http://1.2.3.999/", true},
      {u"http://example.com/page)", true},
      {u"http://example.com/?q='x'&y=(1),;*!$+:@", true},
      {u"http://example.com/x#a#b", false},
      {u"http://example.com/a[1]", false},
      {u"http://example.com\\path", false},
      {u"http://b\u00fccher.example/", false},
      {u"http://example.com/\u00e4", false},
      {u"http://example.com/\xd800", false},
      {u"https://", false},
      {u"ftp:///pub", false},
      {u"ftp://files.example.com/pub/pics/.", true},
      {u"file://host/c:/x", true},
      {u"file:///c:/x", false},
      {u"gopher://g.example:70/1", true},
      {u"news://news.example/group", false},
      {u"mailto:a@example.com", false},
      {u"tel:+35840123", false},
      {u"www.example.com", false},
      {u"http:example.com", false},
      {u"rtsp://media.example/clip", false},
  };
  ULC_Global* global = ULC_Global::GetGlobal();
  ASSERT_TRUE(global->LoadWinINet());
  for (const PlainCase& c : cases) {
    SCOPED_TRACE(Narrow(c.address));
    const std::optional<INTERNET_SCHEME> fast = link_scheme::OfPlainAddress(c.address);
    EXPECT_EQ(fast.has_value(), c.plain);
    if (fast) EXPECT_EQ(fast, link_scheme::OfLibrary(CString(c.address).GetString()));
  }
  global->UnloadWinINet();
}

struct ClassifyCase {
  std::u16string target;
  std::int32_t type;
};

TEST_F(LinkScan, ClassifiesByTheOrderOfTheChecks) {
  const ClassifyCase cases[] = {
      {u"http://x.example", kLinkHttp},       {u"HTTPS://x.example", kLinkHttps},
      {u"ftp://x.example", kLinkFtp},         {u"gopher://x.example", kLinkGopher},
      {u"file://x/y", kLinkFile},             {u"news://x.example/group", kLinkNews},
      {u"socks://x.example", kLinkSocks},     {u"mailto:a@example.com", kLinkEmail},
      {u"telnet://x.example", kLinkNone},     {u"wsp://x.example", kLinkWsp},
      {u"wsp://", kLinkNone},                 {u"rtsp://x", kLinkRtsp},
      {u"rtsp://", kLinkNone},                {u"x-rtsp://y", kLinkRtsp},
      {u"john@example.com", kLinkEmail},      {u"555-1234", kLinkPhone},
      {u"hello", kLinkNone},                  {u"", kLinkNone},
      {u"http://a:b/", kLinkHttp},  // a port that is not one is encoded, not refused
  };
  for (const ClassifyCase& c : cases) {
    EXPECT_EQ(ClassifyLink(c.target), c.type) << Narrow(c.target);
  }
}

struct CheckCase {
  std::u16string text;
  bool email;
  bool phone;
};

TEST_F(LinkScan, EmailAndPhoneChecksWithTheirLimits) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kMaxEmailChars, 1000, FALSE));
  const std::u16string local64(64, u'a');
  const CheckCase cases[] = {
      {u"a@b.c", true, false},
      {u"a@b", false, false},  // four characters: below the floor of five
      {local64 + u"@example.com", true, false},
      {local64 + u"a@example.com", false, false},
      {u"a@" + std::u16string(255, u'b'), true, false},
      {u"a@" + std::u16string(256, u'b'), false, false},
      {u"first.last@example.com", true, false},
      {u"first..last@example.com", false, false},
      {u"first@.example.com", false, false},
      {u"first.last@example.com.", false, false},
      {u"a@b@example.com", false, false},
      {u"@example.com", false, false},
      {u"john smith@example.com", false, false},
      {u"j\u00F6rg@example.com", false, false},
      {u"john[1]@example.com", false, false},
      {u"123", false, true},
      {u"12", false, false},
      {u"+12345", false, true},
      {u"+1234", false, true},
      {u"+123", false, false},  // an international number needs five characters, "+" included
      {u"+(358)401234", false, true},
      {u"+-1234567", false, false},
      {u"12-34", false, true},
      {u"-1234", false, false},
      {u"1234-", false, false},
      {u"12--34", false, false},
      {u"(12)(34)", false, false},
      {u"(123", false, true},  // an unclosed group is accepted
      {u"12)", false, false},
      {u"(-12)", false, false},
      {u"(12-)", false, false},
      {u"12 34", false, false},
      {u"12345678901234567890", false, true},
      {u"123456789012345678901", false, false},
      {u"(1)(2)-(3)", false, false},
  };
  for (const CheckCase& c : cases) {
    EXPECT_EQ(IsEmailAddress(c.text, true), c.email) << Narrow(c.text);
    EXPECT_EQ(IsPhoneNumber(c.text, true), c.phone) << Narrow(c.text);
  }
}

TEST_F(LinkScan, AlphaTagsAreNotNormalised) {
  ASSERT_TRUE(SetConfigString(string_setting::kAlphaTag, u"(12)-3", FALSE));
  const LinkSettings settings = LinkSettings::Read();
  EXPECT_EQ(NormalisePhoneNumber(u"(12)-3", settings), u"(12)-3");
  EXPECT_EQ(NormalisePhoneNumber(u"(12)-4", settings), u"124");
  EXPECT_EQ(NormalisePhoneNumber(u"a@(1)", settings), u"a@(1)");
  // "(12)-3" is six characters as it stands but three once normalised: the tag keeps it long.
  ASSERT_TRUE(SetConfigValue(numeric_setting::kMaxPhoneChars, 5, FALSE));
  EXPECT_FALSE(IsPhoneNumber(u"(12)-3", true));
  EXPECT_TRUE(IsPhoneNumber(u"(12)-4", true));
}

}  // namespace
