// vCards as phones and address books write them, read field by field against values worked out by
// hand; what we write read back equal in both versions; hostile files refused with the line named.
#include <gtest/gtest.h>

#include <string>

#include "platform/pim/vcard_reader.h"
#include "platform/pim/vcard_writer.h"
#include "platform/pim/versit_lines.h"

namespace {

using platform::pim::Contact;
using platform::pim::ReadVcards;
using platform::pim::VcardVersion;

// A 1 x 1 GIF, and its base64 form as address books write it.
const std::string kGif(
    "\x47\x49\x46\x38\x39\x61\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00\x21\xf9\x04\x01\x00\x00\x00\x00"
    "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
    43);

// A phone's export: UTF-8 and Latin-1 in quoted-printable, soft breaks (one followed by a space
// that belongs to the text), bare 2.1 types, a fax number, properties not kept.
constexpr std::string_view kPhone21 =
    "BEGIN:VCARD\r\n"
    "VERSION:2.1\r\n"
    "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=85str=C3=B6m;Bj=C3=B6rn;;;\r\n"
    "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Bj=C3=B6rn =C3=85str=C3=B6m\r\n"
    "TEL;CELL;PREF:+46701234567\r\n"
    "TEL;HOME:+4681234567\r\n"
    "TEL;WORK;FAX:+4687654321\r\n"
    "TEL;WORK;VOICE:+46 8 765 43 21\r\n"
    "EMAIL;PREF;INTERNET:bjorn@example.se\r\n"
    "ADR;HOME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;;Storgatan 1=0D=0A=\r\n"
    "L=C3=A5ngrad;Stockholm;;11122;Sverige\r\n"
    "NOTE;ENCODING=QUOTED-PRINTABLE:Line one=0D=0Aand the exporter broke this=\r\n"
    " line\r\n"
    "END:VCARD\r\n"
    "BEGIN:VCARD\r\n"
    "VERSION:2.1\r\n"
    "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen\r\n"
    "TEL;VOICE:030 1234\r\n"
    "TEL:030 5678\r\n"
    "EMAIL:j@example.de\r\n"
    "EMAIL;INTERNET:j2@example.de\r\n"
    "END:VCARD\r\n";

// An address book's 3.0 export: base64 PHOTO folded over lines, a name folded inside a UTF-8
// sequence, escaped commas, TYPE lists, a group prefix, LF line ends.
constexpr std::string_view kBook30 =
    "BEGIN:VCARD\n"
    "VERSION:3.0\n"
    "N:Nakamura;Y\xC5\n"
    " \xAB\x6B\x6F;;;\n"
    "FN:Y\xC5\xAB\x6Bo Nakamura\\, Ph.D.\n"
    "item1.TEL;TYPE=cell,voice:+81 90 1234 5678\n"
    "TEL;TYPE=\"work\":+81 3 1234 5678\n"
    "EMAIL;TYPE=INTERNET,pref:yuko@example.jp\n"
    "PHOTO;ENCODING=b;TYPE=GIF:R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAA\n"
    " AAABAAEAAAICRAEAOw==\n"
    "END:VCARD\n";

TEST(VcardRead, PhoneExportOfVersion21) {
  auto read = ReadVcards(kPhone21);
  ASSERT_TRUE(read.ok()) << read.error << " at line " << read.errorLine;
  ASSERT_EQ(read.contacts.size(), 2u);
  const Contact& bjorn = read.contacts[0];
  EXPECT_EQ(bjorn.familyName, "\xC3\x85str\xC3\xB6m");
  EXPECT_EQ(bjorn.givenName, "Bj\xC3\xB6rn");
  EXPECT_EQ(bjorn.fileAs, "Bj\xC3\xB6rn \xC3\x85str\xC3\xB6m");
  EXPECT_EQ(bjorn.mobile, "+46701234567");
  EXPECT_EQ(bjorn.home, "+4681234567");
  EXPECT_EQ(bjorn.work, "+46 8 765 43 21");  // the fax number is not a telephone of the contact
  EXPECT_EQ(bjorn.email[0], "bjorn@example.se");
  const Contact& juergen = read.contacts[1];
  EXPECT_EQ(juergen.familyName, "M\xC3\xBCller");  // Latin-1 0xFC as UTF-8
  EXPECT_EQ(juergen.givenName, "J\xC3\xBCrgen");
  EXPECT_EQ(juergen.fileAs, "M\xC3\xBCller, J\xC3\xBCrgen");  // no FN: family, given
  // Numbers without a kind fill the free telephone fields in turn.
  EXPECT_EQ(juergen.mobile, "030 1234");
  EXPECT_EQ(juergen.home, "030 5678");
  EXPECT_EQ(juergen.email[0], "j@example.de");
  EXPECT_EQ(juergen.email[1], "j2@example.de");
  ASSERT_EQ(read.warnings.size(), 1u);
  EXPECT_NE(read.warnings[0].find("line 7"), std::string::npos) << read.warnings[0];
}

TEST(VcardRead, AddressBookExportOfVersion30) {
  auto read = ReadVcards(kBook30);
  ASSERT_TRUE(read.ok()) << read.error << " at line " << read.errorLine;
  ASSERT_EQ(read.contacts.size(), 1u);
  const Contact& yuko = read.contacts[0];
  EXPECT_EQ(yuko.givenName, "Y\xC5\xAB\x6B\x6F");
  EXPECT_EQ(yuko.familyName, "Nakamura");
  EXPECT_EQ(yuko.fileAs, "Y\xC5\xAB\x6Bo Nakamura, Ph.D.");
  EXPECT_EQ(yuko.mobile, "+81 90 1234 5678");
  EXPECT_EQ(yuko.work, "+81 3 1234 5678");
  EXPECT_EQ(yuko.email[0], "yuko@example.jp");
  EXPECT_EQ(yuko.photo, kGif);
}

Contact Awkward() {
  Contact contact;
  contact.givenName = "Zo\xC3\xAB; \"Z\" \\ Co, Ltd";
  contact.familyName = std::string(120, 'x') + "\xE2\x82\xAC" + std::string(100, 'y');  // long, and a euro sign
  contact.fileAs = "A = B; C, D";
  contact.mobile = "+1 555 0100";
  contact.home = "+1 555 0101";
  contact.work = "+1 555 0102";
  contact.email = {"a@example.com", "b@example.com", "c@example.com"};
  contact.photo = kGif + std::string(300, '\x55');  // long enough for several lines of base64
  return contact;
}

TEST(VcardRead, Base64LinesWithoutTheFoldingSpace) {
  // As some phones write a 2.1 photo: the lines of the value start at the margin, and an empty
  // line ends it.
  const std::string text = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Lee;Ann\r\nPHOTO;GIF;BASE64:\r\n"
                           "R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAA\r\nAAABAAEAAAICRAEAOw==\r\n\r\n"
                           "TEL;CELL:+1 555 0100\r\nEND:VCARD\r\n";
  auto read = ReadVcards(text);
  ASSERT_TRUE(read.ok()) << read.error << " at line " << read.errorLine;
  EXPECT_EQ(read.contacts.at(0).photo, kGif);
  EXPECT_EQ(read.contacts.at(0).mobile, "+1 555 0100");
}

TEST(VcardWrite, ReadsBackEqualInBothVersions) {
  Contact plain;
  plain.givenName = "Ann";
  plain.fileAs = "Ann";
  plain.email[2] = "third@example.com";  // the first two left free
  for (VcardVersion version : {VcardVersion::k21, VcardVersion::k30}) {
    for (const Contact& contact : {Awkward(), plain}) {
      const std::string text = platform::pim::WriteVcard(contact, version);
      for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        EXPECT_LE(end - start, 76u) << text.substr(start, end - start);
      }
      auto read = ReadVcards(text);
      ASSERT_TRUE(read.ok()) << read.error << " at line " << read.errorLine << "\n" << text;
      ASSERT_EQ(read.contacts.size(), 1u);
      EXPECT_EQ(read.contacts[0], contact) << text;
      EXPECT_TRUE(read.warnings.empty());
    }
  }
}

TEST(VcardWrite, RingToneStaysOnTheDevice) {
  Contact contact = Awkward();
  contact.ringTone = "\\Application Data\\Contacts\\ring tone 1.mid";
  const std::string text = platform::pim::WriteVcard(contact, VcardVersion::k21);
  EXPECT_EQ(text.find("ring tone"), std::string::npos);
}

struct BadCard {
  const char* what;
  std::string text;
  const char* error;  // part of the error expected
  int line;
};

std::string ManyFields(int count) {
  std::string text = "BEGIN:VCARD\r\nVERSION:2.1\r\n";
  for (int i = 0; i < count; ++i) text += "X-FIELD:" + std::to_string(i) + "\r\n";
  return text + "END:VCARD\r\n";
}

std::string HugeNote() {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nNOTE:" + std::string(10u << 20, 'n') + "\r\nEND:VCARD\r\n";
}

TEST(VcardRead, HostileFilesFailCleanlyAndKeepNothing) {
  const BadCard cases[] = {
      {"broken quoted-printable", "BEGIN:VCARD\r\nN;ENCODING=QUOTED-PRINTABLE:M=ZZller\r\nEND:VCARD\r\n",
       "quoted-printable", 2},
      {"quoted-printable cut short", "BEGIN:VCARD\r\nFN;ENCODING=QUOTED-PRINTABLE:Ann=4\r\nEND:VCARD\r\n",
       "quoted-printable", 2},
      {"broken base64", "BEGIN:VCARD\r\nVERSION:3.0\r\nPHOTO;ENCODING=b:R0lG*DlhAQAB\r\nEND:VCARD\r\n", "base64", 3},
      {"base64 after its padding", "BEGIN:VCARD\r\nPHOTO;ENCODING=BASE64:R0k=R0k=\r\nEND:VCARD\r\n", "base64", 2},
      {"a lone base64 digit", "BEGIN:VCARD\r\nPHOTO;ENCODING=BASE64:R0lGO\r\nEND:VCARD\r\n", "base64", 2},
      {"unknown encoding", "BEGIN:VCARD\r\nFN;ENCODING=X-ROT13:nnn\r\nEND:VCARD\r\n", "encoding", 2},
      {"unknown character set", "BEGIN:VCARD\r\nFN;CHARSET=X-NOPE:nnn\r\nEND:VCARD\r\n", "character set", 2},
      {"character set name that is no name", "BEGIN:VCARD\r\nFN;CHARSET=\"UTF-8//IGNORE\":a\r\nEND:VCARD\r\n",
       "character set", 2},
      {"10,000 fields", ManyFields(10000), "more than 500 properties", 502},
      {"10 MB", HugeNote(), "larger than 4 MB", 0},
      {"no END", "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Ann\r\n", "no END:VCARD", 3},
      {"a card in a card", "BEGIN:VCARD\r\nBEGIN:VCARD\r\nEND:VCARD\r\nEND:VCARD\r\n", "inside a vCard", 2},
      {"no colon", "BEGIN:VCARD\r\nFN Ann\r\nEND:VCARD\r\n", "no ':'", 2},
      {"no name", "BEGIN:VCARD\r\n;X=1:Ann\r\nEND:VCARD\r\n", "no property name", 2},
      {"text before the card", "hello\r\nBEGIN:VCARD\r\nEND:VCARD\r\n", "no ':'", 1},
      {"property before the card", "FN:Ann\r\nBEGIN:VCARD\r\nEND:VCARD\r\n", "outside a vCard", 1},
      {"empty file", "", "no vCard", 0},
      {"a good card, then a broken one",
       "BEGIN:VCARD\r\nFN:Ann\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN;ENCODING=QUOTED-PRINTABLE:=G0\r\nEND:VCARD\r\n",
       "quoted-printable", 5},
  };
  for (const BadCard& bad : cases) {
    auto read = ReadVcards(bad.text);
    EXPECT_FALSE(read.ok()) << bad.what;
    EXPECT_NE(read.error.find(bad.error), std::string::npos) << bad.what << ": " << read.error;
    EXPECT_EQ(read.errorLine, bad.line) << bad.what;
    EXPECT_TRUE(read.contacts.empty()) << bad.what;
  }
}

// A converter named by an alias of UTF-8 may pass on bytes that are no Unicode (a code point past
// U+10FFFF); they are replaced like any undecodable byte, so the name writes and reads back as kept.
TEST(VcardRead, BytesPastUnicodeUnderACharsetAliasAreReplacedAndReadBackEqual) {
  auto read = ReadVcards("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF8;ENCODING=QUOTED-PRINTABLE:Ann=F4=9E=9E=94a\r\n"
                         "END:VCARD\r\n");
  ASSERT_TRUE(read.ok()) << read.error;
  ASSERT_EQ(read.contacts.size(), 1u);
  const std::string& family = read.contacts[0].familyName;
  EXPECT_EQ(family.substr(0, 3), "Ann");
  EXPECT_EQ(family.find('\xF4'), std::string::npos) << "no byte of the sequence is kept as it was";
  EXPECT_NE(family.find("\xEF\xBF\xBD"), std::string::npos);
  EXPECT_EQ(family.back(), 'a');
  for (VcardVersion version : {VcardVersion::k21, VcardVersion::k30}) {
    auto again = ReadVcards(platform::pim::WriteVcard(read.contacts[0], version));
    ASSERT_TRUE(again.ok());
    ASSERT_EQ(again.contacts.size(), 1u);
    EXPECT_EQ(again.contacts[0].familyName, family);
  }
}

TEST(VcardRead, PhotoThatIsNoPictureIsLeftOutWithAWarning) {
  const std::string text =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\nPHOTO;ENCODING=b;TYPE=JPEG:" +
      platform::pim::EncodeBase64("<html>not a picture</html>") +
      "\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:Bo\r\nPHOTO;VALUE=uri:http://example.com/bo.jpg\r\nEND:VCARD\r\n";
  auto read = ReadVcards(text);
  ASSERT_TRUE(read.ok()) << read.error;
  ASSERT_EQ(read.contacts.size(), 2u);
  EXPECT_TRUE(read.contacts[0].photo.empty());
  EXPECT_EQ(read.contacts[0].givenName, "Ann");
  ASSERT_EQ(read.warnings.size(), 2u);
  EXPECT_NE(read.warnings[0].find("line 4: PHOTO is not"), std::string::npos) << read.warnings[0];
  EXPECT_NE(read.warnings[1].find("not fetched"), std::string::npos) << read.warnings[1];
}

TEST(VcardRead, OverlongFieldsAreCutAtACharacterBoundary) {
  const std::string name = std::string(4095, 'a') + "\xC3\xA9" + "tail";
  auto read = ReadVcards("BEGIN:VCARD\r\nVERSION:3.0\r\nN:" + name + ";b\r\nEND:VCARD\r\n");
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.contacts[0].familyName, std::string(4095, 'a'));
}

}  // namespace
