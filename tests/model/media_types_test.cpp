#include <gtest/gtest.h>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "model/media_types.h"
#include "support/test_device.h"
#include "transport/mms_global.h"

namespace {

using test_support::TestDevice;

// A device whose filter settings and generic-attachment filter each test sets; the transport's
// fields are put back afterwards.
class MediaTypes : public testing::Test {
 protected:
  MediaTypes() : savedGeneric_(Global()->genericFilter), savedFlix_(Global()->flixFlag) {
    Filters(u"*.jpg;*.jpeg;*.gif;*.png;*.bmp;*.wbmp;", u"*.mid;*.amr;*.mp3;*.wav;", u"*.3gp;*.mp4;", u"", u"*.wma;");
    Global()->genericFilter = CString(u"*");
  }
  ~MediaTypes() override {
    Global()->genericFilter = savedGeneric_;
    Global()->flixFlag = savedFlix_;
  }

  static ULC_Global* Global() { return ULC_Global::GetGlobal(); }

  void Filters(std::u16string_view image, std::u16string_view audio, std::u16string_view video,
               std::u16string_view pim, std::u16string_view player) {
    ASSERT_TRUE(SetConfigString(string_setting::kImageFilter, image, FALSE));
    ASSERT_TRUE(SetConfigString(string_setting::kAudioFilter, audio, FALSE));
    ASSERT_TRUE(SetConfigString(string_setting::kVideoFilter, video, FALSE));
    ASSERT_TRUE(SetConfigString(string_setting::kPIMFilter, pim, FALSE));
    ASSERT_TRUE(SetConfigString(string_setting::kMediaPlayerSupportFilter, player, FALSE));
    EnableMediaTypes();
  }

  TestDevice device_{platform::RegistrySeed::kEmpty};
  CString savedGeneric_;
  int savedFlix_;
};

TEST_F(MediaTypes, FilesAreTypedByTheExtensionOfTheirName) {
  const struct {
    std::u16string_view path;
    MediaType expected;
  } cases[] = {
      {u"\\My Documents\\photo.jpg", 0x10001},
      {u"PHOTO.JPEG", 0x10001},
      {u"clip.3gp", 0x40005},                 // the video row comes before the audio row
      {u"tune.mp3", 0x20004},
      {u"card.vcf", 0x50001},                 // personal data is never switched off
      {u"page.HTM", 0x30009},
      {u"\\Folder.With.Dots\\readme", media_type::kNone},  // a dot in a folder's name is no extension
      {u"noextension", media_type::kNone},
  };
  Global()->genericFilter = CString(u"");
  for (const auto& c : cases) EXPECT_EQ(TypeOfFile(c.path, true), c.expected) << std::string(c.path.begin(), c.path.end());
}

TEST_F(MediaTypes, FilterItemsEnableOnlyTheirExactExtension) {
  Global()->genericFilter = CString(u"");
  Filters(u"*.jpg;*.jpegx;*.GIF", u"", u"", u"", u"");
  EXPECT_EQ(TypeOfFile(u"a.jpg", true), 0x10001u);
  EXPECT_EQ(TypeOfFile(u"a.jpeg", true), media_type::kNone) << "an item that only starts with .jpeg";
  EXPECT_EQ(TypeOfFile(u"a.gif", true), 0x10002u) << "the last item of a part without its ';'";
  EXPECT_EQ(TypeOfFile(u"a.png", true), media_type::kNone);
  EXPECT_EQ(TypeOfFile(u"a.png", false), 0x10003u);

  // Each filter setting is a list of its own: one that ends without ";" must not run into the
  // first item of the next and lose its last item.
  Filters(u"*.png;", u"*.amr", u"", u"", u"*.wma");
  EXPECT_EQ(TypeOfFile(u"a.wma", true), 0x20005u);
  EXPECT_EQ(TypeOfFile(u"a.png", true), 0x10003u);
  EXPECT_EQ(TypeOfFile(u"a.amr", true), 0x20003u);
}

TEST_F(MediaTypes, UnknownExtensionsFollowTheGenericAttachmentRule) {
  // Extensions are compared without regard to case everywhere, and the hide list's last item counts
  // without its ";": ".EXE" hides "setup.exe" and ".dll" hides "lib.dll".
  ASSERT_TRUE(SetConfigString(string_setting::kFilterForGenericObjPickerHide, u".EXE;.dll", FALSE));
  Global()->genericFilter = CString(u"*");
  EXPECT_EQ(TypeOfFile(u"archive.zip", true), media_type::kGenericByExtension);
  EXPECT_EQ(TypeOfFile(u"setup.exe", true), media_type::kNone);
  EXPECT_EQ(TypeOfFile(u"lib.dll", true), media_type::kNone);
  EXPECT_TRUE(IsGenericAllowed(u"archive.zip"));
  EXPECT_TRUE(IsGenericAllowed(u"noextension"));
  EXPECT_FALSE(IsGenericAllowed(u"SETUP.EXE"));

  Global()->genericFilter = CString(u".zip;.pdf;");
  EXPECT_EQ(TypeOfFile(u"archive.ZIP", true), media_type::kGenericByExtension);
  EXPECT_EQ(TypeOfFile(u"archive.rar", true), media_type::kNone);
  EXPECT_TRUE(IsGenericAllowed(u"doc.pdf"));
  EXPECT_FALSE(IsGenericAllowed(u"doc.rar"));
  EXPECT_FALSE(IsGenericAllowed(u"noextension"));
}

TEST_F(MediaTypes, ContentTypesAreFoundWithAndWithoutParametersThenByName) {
  Global()->genericFilter = CString(u"");
  const struct {
    std::string_view contentType;
    std::u16string_view fileName;
    MediaType expected;
  } cases[] = {
      {"image/jpeg; name=a", u"", 0x10001},
      {"IMAGE/JPEG", u"", 0x10001},
      {"text/plain;charset=utf_8", u"", 0x30001},
      {"text/plain; charset=\"utf-8\"", u"", 0x30001},
      {"audio/3gpp", u"", 0x2000B},
      {"audio/mpeg", u"", 0x20004},
      {"text/x-imelody", u"", 0x2FFFE},
      {"application/x-unknown", u"notes.txt", 0x30001},
      {"application/octet-stream", u"notes.txt", media_type::kGenericText},
      // Senders add name= and other parameters to any type; they do not change the rule.
      {"application/octet-stream; name=notes.txt", u"notes.txt", media_type::kGenericText},
      {"application/octet-stream", u"photo.jpg", 0x10001},
      {"image/x-new", u"", 0x1FFFE},
      {"image/x-new", u"data.bin", 0x1FFFE},
      {"application/x-unknown", u"", media_type::kNone},
      {"/jpeg", u"", media_type::kNone},
      {"", u"", media_type::kNone},
  };
  for (const auto& c : cases) EXPECT_EQ(TypeOfContentType(c.contentType, c.fileName), c.expected) << c.contentType;
}

TEST_F(MediaTypes, TypesMapBackToTheirFirstContentTypeAndExtension) {
  EXPECT_EQ(ContentTypeOfType(0x10001), "image/jpeg");
  EXPECT_EQ(ContentTypeOfType(0x30001), "text/plain;charset=iso-10646-ucs-2");
  EXPECT_EQ(ContentTypeOfType(media_type::kGenericByExtension), "");
  EXPECT_EQ(ExtensionOfType(0x20004, true), u".mp3");
  EXPECT_EQ(ExtensionOfType(0x40001, true), u".mp4");
  EXPECT_TRUE(ExtensionOfType(0x2FFFE, false).IsEmpty());
  EXPECT_TRUE(ExtensionOfType(media_type::kNone, false).IsEmpty());
  Filters(u"", u"", u"", u"", u"");
  EXPECT_TRUE(ExtensionOfType(0x10001, true).IsEmpty());
  EXPECT_EQ(ExtensionOfType(0x10001, false), u".jpg");
}

TEST_F(MediaTypes, FixExtensionReplacesOnlyForeignExtensions) {
  const struct {
    std::u16string_view path;
    MediaType type;
    std::u16string_view expected;
  } cases[] = {
      {u"\\Parts\\photo.jpeg", 0x10001, u"\\Parts\\photo.jpeg"},
      {u"\\Parts\\photo.bin", 0x10001, u"\\Parts\\photo.jpg"},
      {u"\\Parts.d\\photo", 0x10001, u"\\Parts.d\\photo.jpg"},
      {u"\\Parts\\song.MP3D", 0x20004, u"\\Parts\\song.MP3D"},
      {u"\\Parts\\clip.dat", 0x2000B, u"\\Parts\\clip.3gp"},
      {u"\\Parts\\file.dat", media_type::kGenericByExtension, u"\\Parts\\file.dat"},
      {u"\\Parts\\file.dat", 0x1FFFE, u"\\Parts\\file.dat"},
      {u"\\Parts\\file.dat", 0x1FFFD, u"\\Parts\\file.dat"},
      {u"\\Parts\\file.dat", 0x2FFFE, u"\\Parts\\file.dat"},
  };
  for (const auto& c : cases) {
    CString path(c.path);
    EXPECT_EQ(FixExtension(path, c.type), c.path != c.expected) << path.ToUtf8();
    EXPECT_EQ(path, c.expected);
  }
  Filters(u"", u"", u"", u"", u"");
  CString path(u"photo.bin");
  EXPECT_FALSE(FixExtension(path, 0x10001)) << "no enabled row to take the extension from";
  EXPECT_EQ(path, u"photo.bin");
  CString empty;
  EXPECT_FALSE(FixExtension(empty, 0x10001));
}

TEST_F(MediaTypes, MediaPlayerTypesNeedAnEnabledRowListedForThePlayer) {
  EXPECT_TRUE(IsMediaPlayerType(0x20005));
  EXPECT_FALSE(IsMediaPlayerType(0x20004)) << "enabled, but not a player type";
  EXPECT_FALSE(IsMediaPlayerType(media_type::kNone));
  EXPECT_FALSE(IsMediaPlayerType(0x2000D)) << "no extension row";
}

TEST_F(MediaTypes, FlixFlagStaysOnOnlyWithAnEnabledVideoType) {
  Global()->flixFlag = 1;
  Filters(u"*.jpg;", u"", u"*.3gp;", u"", u"");
  EXPECT_EQ(Global()->flixFlag, 1);
  Filters(u"*.jpg;", u"", u"", u"", u"");
  EXPECT_EQ(Global()->flixFlag, 0);
  Filters(u"*.jpg;", u"", u"*.3gp;", u"", u"");
  EXPECT_EQ(Global()->flixFlag, 0) << "a cleared flag is not set again";
}

}  // namespace
