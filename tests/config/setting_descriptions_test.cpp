#include <gtest/gtest.h>

#include <map>

#include "config/setting_descriptions.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "raw_registry.h"
#include "support/test_device.h"

namespace {

using config::SettingOrigin;
using config::SettingTable;
using test_support::TestDevice;

const config::SettingDescription& Find(const std::vector<config::SettingDescription>& all, SettingTable table,
                                       int number) {
  for (const auto& setting : all) {
    if (setting.table == table && setting.number == number) return setting;
  }
  ADD_FAILURE() << "no such setting";
  return all.front();
}

TEST(SettingDescriptions, ListEveryRowOfEveryTable) {
  std::map<SettingTable, int> counts;
  for (const auto& setting : config::DescribeSettings()) ++counts[setting.table];
  EXPECT_EQ(counts[SettingTable::kNumeric], 194);
  EXPECT_EQ(counts[SettingTable::kString], 45);
  EXPECT_EQ(counts[SettingTable::kFolder], 19);
  EXPECT_EQ(counts[SettingTable::kLastFolder], 5);
  EXPECT_EQ(counts[SettingTable::kList], 7);

  const auto all = config::DescribeSettings();
  const auto& maxSlides = Find(all, SettingTable::kNumeric, numeric_setting::kMaxSlides);
  EXPECT_EQ(maxSlides.key, u"\\SOFTWARE\\Quillon\\Quillon MMS UA\\Config\\UI");
  EXPECT_EQ(maxSlides.valueName, u"MaxSlides");
  EXPECT_EQ(maxSlides.defaultText, u"9");
  EXPECT_EQ(Find(all, SettingTable::kFolder, folder_setting::kDebugPath).key,
            u"\\SOFTWARE\\Quillon\\Quillon MMS UA\\Config\\mm1");
  EXPECT_EQ(Find(all, SettingTable::kNumeric, numeric_setting::kInboxSaveSent).root,
            config::RegistryRoot::kCurrentUser);
}

TEST(SettingDescriptions, OriginsTellFactoryFromSetFromDefault) {
  TestDevice device(platform::RegistrySeed::kFactory);
  const auto all = config::DescribeSettings();
  const auto& imageFilter = Find(all, SettingTable::kString, string_setting::kImageFilter);
  const auto& domain = Find(all, SettingTable::kString, string_setting::kDomain);
  const auto& interval = Find(all, SettingTable::kList, config_list::kInterval);

  ASSERT_FALSE(GetConfigString(string_setting::kImageFilter).IsEmpty()) << "the factory registry lists images";
  EXPECT_EQ(config::OriginOf(imageFilter), SettingOrigin::kFactory);
  EXPECT_EQ(config::OriginOf(domain), SettingOrigin::kDefault);
  EXPECT_EQ(config::OriginOf(Find(all, SettingTable::kNumeric, numeric_setting::kVoiceMailClassPresent)),
            SettingOrigin::kComputed);

  ASSERT_TRUE(SetConfigString(string_setting::kImageFilter, u"*.jpg;", TRUE));
  ASSERT_TRUE(SetConfigString(string_setting::kDomain, u"example.org", TRUE));
  EXPECT_EQ(config::OriginOf(imageFilter), SettingOrigin::kSet);
  EXPECT_EQ(config::OriginOf(domain), SettingOrigin::kSet);

  // A list entry counts only up to the list's count (TryDefault for the retry intervals).
  ASSERT_TRUE(config_test::WriteDword(HKEY_LOCAL_MACHINE, config_test::ConfigKey(u"UI\\TryLimit"), u"Interval2", 30));
  EXPECT_EQ(config::OriginOf(interval), SettingOrigin::kDefault);
  ASSERT_TRUE(SetConfigValue(numeric_setting::kTryDefault, 2, TRUE));
  EXPECT_EQ(config::OriginOf(interval), SettingOrigin::kSet);
}

}  // namespace
