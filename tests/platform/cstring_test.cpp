#include "platform/text/cstring.h"

#include <gtest/gtest.h>

#include "platform/text/wide_format.h"

namespace {

TEST(CStringTest, EveryEmptyStringSharesTheOneEmptyBuffer) {
  CString a;
  CString b(u"");
  CString c(static_cast<LPCWSTR>(nullptr));
  CString d(u"text");
  d.Empty();
  for (const CString* s : {&a, &b, &c, &d}) {
    EXPECT_EQ(s->GetString(), SharedEmptyString());
    EXPECT_EQ(s->ShareCount(), 0);
  }
  CString e(u"abc");
  e.ReleaseBuffer(0);
  EXPECT_EQ(e.GetString(), SharedEmptyString());
}

TEST(CStringTest, CopiesShareUntilOneChanges) {
  CString original(u"Hello");
  CString copy = original;
  EXPECT_EQ(copy.GetString(), original.GetString());
  EXPECT_EQ(original.ShareCount(), 2);
  copy.MakeUpper();
  EXPECT_EQ(original, u"Hello");
  EXPECT_EQ(copy, u"HELLO");
  EXPECT_EQ(original.ShareCount(), 1);
  copy += u"!";
  EXPECT_EQ(copy, u"HELLO!");
}

TEST(CStringTest, EditingOperations) {
  CString s(u"  \\My Documents\\pic.JPG \r\n");
  s.Trim();
  EXPECT_EQ(s, u"\\My Documents\\pic.JPG");
  EXPECT_EQ(s.ReverseFind(u'.'), 17);
  EXPECT_EQ(s.Mid(18), u"JPG");
  EXPECT_EQ(s.Left(3), u"\\My");
  EXPECT_EQ(s.Right(100), s);
  EXPECT_EQ(s.Find(u"Doc"), 4);
  EXPECT_EQ(s.Find(u'x'), -1);
  EXPECT_EQ(s.CompareNoCase(u"\\MY DOCUMENTS\\PIC.jpg"), 0);
  EXPECT_EQ(s.Replace(u"\\", u"/"), 2);
  EXPECT_EQ(s, u"/My Documents/pic.JPG");
  s.Delete(0, 4);
  s.Insert(0, u"Our ");
  EXPECT_EQ(s, u"Our Documents/pic.JPG");
  EXPECT_EQ(s.Mid(100), u"");
}

TEST(CStringTest, FormatCoversTheConversionsInUse) {
  CString s;
  s.Format(u"%s%d.dat", u"\\UA\\", 4711);
  EXPECT_EQ(s, u"\\UA\\4711.dat");
  s.Format(u"FAILED(0x%08x) at %hs:%d", 0x80004005u, "Form", 12);
  EXPECT_EQ(s, u"FAILED(0x80004005) at Form:12");
  s.Format(u"[%-4s|%4s|%c|%%|%.2s|%5.1f]", u"ab", u"cd", u'Z', u"xyz", 2.25);
  EXPECT_EQ(s, u"[ab  |  cd|Z|%|xy|  2.2]");
  s.AppendFormat(u"%02d:%02d", 0, 7);
  EXPECT_EQ(s.Right(5), u"00:07");
  WCHAR small[6];
  EXPECT_EQ(_snwprintf(small, 6, u"%s", u"too long"), -1);
  EXPECT_EQ(std::u16string_view(small), u"too l");
}

TEST(CStringTest, BufferRoundTrip) {
  CString s;
  LPWSTR buffer = s.GetBuffer(10);
  std::u16string_view text = u"written";
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = 0;
  s.ReleaseBuffer();
  EXPECT_EQ(s, u"written");
  EXPECT_EQ(s.GetLength(), 7);
  EXPECT_EQ(CString::FromUtf8("\xC3\xA9t\xC3\xA9").ToUtf8(), "\xC3\xA9t\xC3\xA9");
}

}  // namespace
