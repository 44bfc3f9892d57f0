#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/kernel/device.h"
#include "platform/kernel/file_api.h"
#include "raw_registry.h"
#include "support/test_device.h"

namespace {

using config_test::ConfigKey;
using test_support::TestDevice;

bool FolderExists(const char16_t* path) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

TEST(Settings, NumbersOutsideTheTablesReadEmptyAndWriteNothing) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  for (int number : {-1, 194, 195, INT_MAX, INT_MIN}) {
    EXPECT_EQ(GetConfigValue(number), 0) << number;
    EXPECT_FALSE(SetConfigValue(number, 5, TRUE)) << number;
  }
  for (int number : {-1, 45, 46}) {
    EXPECT_TRUE(GetConfigString(number).IsEmpty()) << number;
    EXPECT_FALSE(SetConfigString(number, u"x", TRUE)) << number;
  }
  EXPECT_TRUE(GetFolderSetting(19).IsEmpty());
  EXPECT_TRUE(GetFolderSetting(-1).IsEmpty());
  EXPECT_TRUE(GetLastFolder(5).IsEmpty());
  EXPECT_FALSE(SetLastFolder(5, u"\\x\\", TRUE));
  LONG list[2] = {7, 7};
  EXPECT_FALSE(GetConfigList(list, 2, 7));
  EXPECT_FALSE(GetConfigList(list, 0, 6));
  EXPECT_EQ(list[0], 7);
}

TEST(Settings, MissingValuesReadTheirDefaults) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  const struct {
    int number;
    LONG expected;
  } cases[] = {
      {numeric_setting::kMaxSlides, 9},
      {numeric_setting::kPhotoLandscape, -1},
      {numeric_setting::kHTTPDefaultTimeout, 300000},
      {numeric_setting::kTransparency2, 1},
      {numeric_setting::kNotificationOptions3C850505, 1},  // a row under HKEY_CURRENT_USER
      {numeric_setting::kRilNetworkContexts, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(GetConfigValue(c.number), c.expected) << c.number;
  EXPECT_TRUE(GetConfigString(string_setting::kTransportPath).IsEmpty());
}

TEST(Settings, ReadingANumericSettingCreatesItsKey) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  ASSERT_FALSE(config_test::KeyExists(HKEY_LOCAL_MACHINE, ConfigKey(u"UI\\SendOption")));
  EXPECT_EQ(GetConfigValue(numeric_setting::kPriority), 0);
  EXPECT_TRUE(config_test::KeyExists(HKEY_LOCAL_MACHINE, ConfigKey(u"UI\\SendOption")));
}

TEST(Settings, WrittenValuesSurviveReopeningTheDevice) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  ASSERT_TRUE(SetConfigValue(numeric_setting::kMaxSlides, 12, TRUE));
  ASSERT_TRUE(SetConfigValue(numeric_setting::kInboxSaveSent, 0, TRUE));
  ASSERT_TRUE(SetConfigString(string_setting::kMMSClassName, u"IPM.MMS", TRUE));
  ASSERT_TRUE(CreateDirectoryW(u"\\My Documents", nullptr));
  ASSERT_TRUE(SetLastFolder(last_folder::kCurSoundPath, u"\\My Documents\\", TRUE));

  platform::CloseDevice();
  ASSERT_TRUE(platform::OpenDevice(device.root(), platform::RegistrySeed::kEmpty));
  EXPECT_EQ(GetConfigValue(numeric_setting::kMaxSlides), 12);
  EXPECT_EQ(GetConfigValue(numeric_setting::kInboxSaveSent), 0);
  EXPECT_EQ(GetConfigString(string_setting::kMMSClassName), u"IPM.MMS");
  EXPECT_EQ(GetLastFolder(last_folder::kCurSoundPath), u"\\My Documents\\");
}

TEST(Settings, NumericValuesAreFourBytesAsStoredElseTheDefault) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  const std::u16string key = ConfigKey(u"UI");
  const struct {
    DWORD type;
    std::string bytes;
    LONG expected;
  } cases[] = {
      {REG_DWORD, std::string("\x0C\x00\x00\x00", 4), 12},
      {REG_BINARY, std::string("\x01\x02\x00\x00", 4), 0x201},   // four binary bytes read as stored
      // Fewer than four bytes give no 32-bit value: they read as a missing value.
      {REG_BINARY, std::string("\x05\x00", 2), 9},
      {REG_BINARY, std::string("\x05\x00\x00\x00\x00", 5), 9},   // too long
      {REG_SZ, std::string("1\0\0\0", 4), 0x31},                 // four bytes as stored, whatever the type
      {REG_SZ, std::string("1\0\x32\0\0\0", 6), 9},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(config_test::WriteRaw(HKEY_LOCAL_MACHINE, key, u"MaxSlides", c.type, c.bytes));
    EXPECT_EQ(GetConfigValue(numeric_setting::kMaxSlides), c.expected) << c.type << " " << c.bytes.size();
  }
}

TEST(Settings, StringValuesAreCutAtTheirNullAndOverlongOrMistypedOnesReadEmpty) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  const std::u16string key = ConfigKey(u"UI");
  ASSERT_TRUE(config_test::WriteText(HKEY_LOCAL_MACHINE, key, u"Domain", std::u16string(u"abc\0def", 7)));
  EXPECT_EQ(GetConfigString(string_setting::kDomain), u"abc");

  ASSERT_TRUE(config_test::WriteText(HKEY_LOCAL_MACHINE, key, u"Domain", std::u16string(300, u'x')));
  EXPECT_TRUE(GetConfigString(string_setting::kDomain).IsEmpty());

  // A value of another type holds no text: reading its bytes as characters would give garbage.
  ASSERT_TRUE(config_test::WriteDword(HKEY_LOCAL_MACHINE, key, u"Domain", 0x41));
  EXPECT_TRUE(GetConfigString(string_setting::kDomain).IsEmpty());

  EXPECT_TRUE(SetConfigString(string_setting::kDomain, std::u16string(259, u'y'), FALSE));
  EXPECT_EQ(GetConfigString(string_setting::kDomain).GetLength(), 259);
  EXPECT_FALSE(SetConfigString(string_setting::kDomain, std::u16string(260, u'y'), FALSE));
  EXPECT_EQ(GetConfigString(string_setting::kDomain).GetLength(), 259);
}

// The voice-mail class "IPM.VoiceMail" names the key ...\MsgTypes\IPM\VoiceMail under the user root.
TEST(Settings, VoiceMailSettingsFollowTheExactlyNamedKey) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  const std::u16string parent = u"\\Software\\Microsoft\\Inbox\\MsgTypes\\IPM";
  ASSERT_TRUE(SetConfigString(string_setting::kVoiceMailClassName, u"IPM.VoiceMail", TRUE));
  EXPECT_EQ(GetConfigValue(numeric_setting::kVoiceMailClassPresent), 0);
  EXPECT_TRUE(GetConfigString(string_setting::kVoiceMailTypeName).IsEmpty());
  EXPECT_EQ(GetConfigValue(numeric_setting::kVoiceMailClassPresent), 0) << "reading string 39 made the key";

  ASSERT_TRUE(config_test::CreateKey(HKEY_CURRENT_USER, parent + u"\\voicemail"));
  EXPECT_EQ(GetConfigValue(numeric_setting::kVoiceMailClassPresent), 0);
  ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, (parent + u"\\voicemail").c_str()), ERROR_SUCCESS);

  ASSERT_TRUE(config_test::WriteText(HKEY_CURRENT_USER, parent + u"\\VoiceMail", u"", u"Voice mail"));
  EXPECT_EQ(GetConfigValue(numeric_setting::kVoiceMailClassPresent), 1);
  EXPECT_EQ(GetConfigString(string_setting::kVoiceMailTypeName), u"Voice mail");

  ASSERT_TRUE(SetConfigString(string_setting::kVoiceMailClassName, u"IPM", TRUE));
  EXPECT_EQ(GetConfigValue(numeric_setting::kVoiceMailClassPresent), 0);
  EXPECT_TRUE(GetConfigString(string_setting::kVoiceMailTypeName).IsEmpty());
}

TEST(Settings, FolderSettingsFallBackToTheirDefaultsAndCreateTheirFolders) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  EXPECT_EQ(GetFolderSetting(folder_setting::kUAContentsPath), u"\\My Documents\\UAContents\\");
  EXPECT_TRUE(FolderExists(u"\\My Documents\\UAContents"));

  const std::u16string folderKey = ConfigKey(u"Folder");
  ASSERT_TRUE(config_test::WriteText(HKEY_LOCAL_MACHINE, folderKey, u"TemplatePath", u"\\Data\\Templates"));
  EXPECT_EQ(GetFolderSetting(folder_setting::kTemplatePath), u"\\Data\\Templates\\");
  EXPECT_TRUE(FolderExists(u"\\Data\\Templates"));

  // Without the create flag the text is given as stored and nothing is made.
  ASSERT_TRUE(config_test::WriteText(HKEY_LOCAL_MACHINE, folderKey, u"RecordPath", u"\\Records"));
  EXPECT_EQ(GetFolderSetting(folder_setting::kRecordPath), u"\\Records");
  EXPECT_FALSE(FolderExists(u"\\Records"));

  // The log folder is configured with the MM1 settings, not with the other folders.
  ASSERT_TRUE(config_test::WriteText(HKEY_LOCAL_MACHINE, folderKey, u"DebugPath", u"\\Wrong\\"));
  ASSERT_TRUE(config_test::WriteText(HKEY_LOCAL_MACHINE, ConfigKey(u"mm1"), u"DebugPath", u"\\Log\\"));
  EXPECT_EQ(GetFolderSetting(folder_setting::kDebugPath), u"\\Log\\");
}

TEST(Settings, LastFoldersThatNoLongerExistFallBack) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  EXPECT_EQ(GetLastFolder(last_folder::kCurPicturePath), u"\\My Documents\\My Pictures\\");
  ASSERT_TRUE(CreateDirectoryW(u"\\Shots", nullptr));
  ASSERT_TRUE(SetLastFolder(last_folder::kCurPicturePath, u"\\Shots\\", FALSE));
  EXPECT_EQ(GetLastFolder(last_folder::kCurPicturePath), u"\\Shots\\");
  ASSERT_TRUE(RemoveDirectoryW(u"\\Shots"));
  EXPECT_EQ(GetLastFolder(last_folder::kCurPicturePath), u"\\My Documents\\My Pictures\\");
  ASSERT_TRUE(SetLastFolder(last_folder::kCurGenericPath, u"", FALSE));
  EXPECT_EQ(GetLastFolder(last_folder::kCurGenericPath), u"\\My Documents\\");
}

TEST(Settings, ListEntriesTakeTheDefaultOnlyWhenMissing) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  const std::u16string key = ConfigKey(u"UI\\TryLimit");
  ASSERT_TRUE(config_test::WriteDword(HKEY_LOCAL_MACHINE, key, u"Interval2", 0));
  ASSERT_TRUE(config_test::WriteDword(HKEY_LOCAL_MACHINE, key, u"Interval3", 30));
  LONG values[4] = {-5, -5, -5, -5};
  ASSERT_TRUE(GetConfigList(values, 3, config_list::kInterval));
  EXPECT_EQ(values[0], 60);
  EXPECT_EQ(values[1], 0);
  EXPECT_EQ(values[2], 30);
  EXPECT_EQ(values[3], -5) << "wrote past the count";
}

TEST(Settings, CustomResourcesNeedALibraryAndANumber) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  const std::u16string key = u"\\Software\\Quillon\\Quillon MMS UA\\Config\\UI\\Customization\\Picker\\CapturePicture";
  CString library;
  LONG resource = -1;
  POINT position{-1, -1};
  EXPECT_FALSE(GetCustomResource(custom_resource::kCapturePicture, library, resource, position));
  ASSERT_TRUE(config_test::WriteText(HKEY_LOCAL_MACHINE, key, u"ResDll", u"\\windows\\Custom.dll"));
  EXPECT_FALSE(GetCustomResource(custom_resource::kCapturePicture, library, resource, position));
  ASSERT_TRUE(config_test::WriteDword(HKEY_LOCAL_MACHINE, key, u"ResID", 120));
  ASSERT_TRUE(config_test::WriteDword(HKEY_LOCAL_MACHINE, key, u"positionY", 40));
  ASSERT_TRUE(GetCustomResource(custom_resource::kCapturePicture, library, resource, position));
  EXPECT_EQ(library, u"\\windows\\Custom.dll");
  EXPECT_EQ(resource, 120);
  EXPECT_EQ(position.x, 0);
  EXPECT_EQ(position.y, 40);
  EXPECT_FALSE(GetCustomResource(custom_resource::kCaptureVideo, library, resource, position));
  EXPECT_FALSE(GetCustomResource(11, library, resource, position));
}

TEST(Settings, MasksAndFixedDiallingNumbers) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  ASSERT_TRUE(SetConfigValue(numeric_setting::kHideDlgControl, 0x18, FALSE));
  ASSERT_TRUE(SetConfigValue(numeric_setting::kCreateMessageFolder, 0x3, FALSE));
  EXPECT_EQ(GetConfigMask(1, 8), 8);
  EXPECT_EQ(GetConfigMask(1, 4), 0);
  EXPECT_EQ(GetConfigMask(3, -1), 3);
  EXPECT_EQ(GetConfigMask(4, -1), 0);

  ASSERT_TRUE(config_test::WriteText(HKEY_LOCAL_MACHINE, ConfigKey(u"FdnTest"), u"FdnNum1", u"+4912345"));
  EXPECT_EQ(GetFdnNumber(1), u"+4912345");
  EXPECT_TRUE(GetFdnNumber(0).IsEmpty());
  EXPECT_TRUE(GetFdnNumber(2).IsEmpty());
}

}  // namespace
