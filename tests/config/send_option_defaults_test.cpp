#include <gtest/gtest.h>

#include "config/capture_duration.h"
#include "config/send_option_defaults.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/kernel/clock.h"
#include "raw_registry.h"
#include "support/test_device.h"

namespace {

using config::SendOptions;
using test_support::TestDevice;

constexpr std::int64_t kNow = 1'800'000'000;

// The option properties of a message, kept in memory.
class MemoryTarget : public config::SendOptionTarget {
 public:
  BOOL DeliveryReport() const override { return options.deliveryReport; }
  LONG Priority() const override { return options.priority; }
  LONG MessageClass() const override { return options.messageClass; }
  void SetDeliveryReport(BOOL on) override { options.deliveryReport = on; }
  void SetReadReport(BOOL on) override { options.readReport = on; }
  void SetPriority(LONG priority) override { options.priority = priority; }
  void SetMessageClass(LONG messageClass) override { options.messageClass = messageClass; }
  void SetSenderVisibility(LONG visibility) override { options.senderVisibility = visibility; }
  void SetExpiry(LONG expiry) override { options.expiry = expiry; }

  SendOptions options{.messageClass = 131, .priority = 130, .senderVisibility = 0, .deliveryReport = FALSE,
                      .readReport = FALSE, .deliveryTime = 0, .expiry = 77};
};

class SendOptionDefaults : public testing::Test {
 protected:
  SendOptionDefaults() {
    platform::SetFixedUnixTime(kNow);
  }
  ~SendOptionDefaults() override { platform::SetFixedUnixTime(0); }

  void Configure(std::initializer_list<std::pair<int, LONG>> values) {
    for (const auto& [number, value] : values) ASSERT_TRUE(SetConfigValue(number, value, FALSE));
  }

  TestDevice device_{platform::RegistrySeed::kEmpty};
  // Message times count in universal time while EnableCDMATimeStamp is off.
  const std::int64_t now_ = kNow;
};

TEST_F(SendOptionDefaults, MaskBitsApplyOnlyTheReports) {
  Configure({{numeric_setting::kNeedDeliveryReport, 1}, {numeric_setting::kNeedReadReport, 1},
             {numeric_setting::kPriority, 128}});
  MemoryTarget target;
  config::ApplyDefaultSendOptions(target, 2);
  EXPECT_FALSE(target.options.deliveryReport);
  EXPECT_TRUE(target.options.readReport);
  EXPECT_EQ(target.options.priority, 130);
  EXPECT_EQ(target.options.expiry, 77);
}

TEST_F(SendOptionDefaults, AllDefaultsRememberThePreviousValues) {
  Configure({{numeric_setting::kNeedDeliveryReport, 1}, {numeric_setting::kPriority, 128},
             {numeric_setting::kMessageClass, 129}, {numeric_setting::kSendAnonymously, 1},
             {numeric_setting::kExpiryTime, 3600}});
  MemoryTarget target;
  config::ApplyDefaultSendOptions(target, -1);
  EXPECT_TRUE(target.options.deliveryReport);
  EXPECT_EQ(target.options.priority, 128);
  EXPECT_EQ(target.options.messageClass, 129);
  EXPECT_EQ(target.options.senderVisibility, config::kHideSender);
  EXPECT_EQ(target.options.expiry, 3600) << "relative expiry is given as configured";
  EXPECT_FALSE(config::RememberedSendOptions().deliveryReport);
  EXPECT_EQ(config::RememberedSendOptions().priority, 130);
  EXPECT_EQ(config::RememberedSendOptions().messageClass, 131);
}

TEST_F(SendOptionDefaults, AbsoluteExpiryCountsFromNowAndZeroStaysZero) {
  Configure({{numeric_setting::kSendExpireTimeInAbsolute, 1}, {numeric_setting::kExpiryTime, 3600}});
  MemoryTarget target;
  config::ApplyDefaultSendOptions(target, -1);
  EXPECT_EQ(target.options.expiry, now_ + 3600);
  EXPECT_EQ(target.options.senderVisibility, config::kShowSender);

  Configure({{numeric_setting::kExpiryTime, 0}});
  config::ApplyDefaultSendOptions(target, -1);
  EXPECT_EQ(target.options.expiry, 0);
}

TEST_F(SendOptionDefaults, SavedDefaultsStoreAbsoluteExpiryAsTheTimeLeft) {
  Configure({{numeric_setting::kSendExpireTimeInAbsolute, 1}});
  const SendOptions options{.messageClass = 130, .priority = 129, .senderVisibility = config::kHideSender,
                            .deliveryReport = TRUE, .readReport = TRUE, .deliveryTime = 0,
                            .expiry = static_cast<LONG>(now_ + 600)};
  ASSERT_TRUE(config::SaveSendOptionDefaults(options));
  EXPECT_EQ(GetConfigValue(numeric_setting::kExpiryTime), 600);
  EXPECT_EQ(GetConfigValue(numeric_setting::kNeedDeliveryReport), 1);
  EXPECT_EQ(GetConfigValue(numeric_setting::kNeedReadReport), 1);
  EXPECT_EQ(GetConfigValue(numeric_setting::kPriority), 129);
  EXPECT_EQ(GetConfigValue(numeric_setting::kMessageClass), 130);
  EXPECT_EQ(GetConfigValue(numeric_setting::kSendAnonymously), 1);

  SendOptions expired = options;
  expired.expiry = static_cast<LONG>(now_ - 600);
  ASSERT_TRUE(config::SaveSendOptionDefaults(expired));
  EXPECT_EQ(GetConfigValue(numeric_setting::kExpiryTime), 0) << "an expiry in the past is no time left";

  Configure({{numeric_setting::kSendExpireTimeInAbsolute, 0}});
  expired.senderVisibility = config::kShowSender;
  ASSERT_TRUE(config::SaveSendOptionDefaults(expired));
  EXPECT_EQ(GetConfigValue(numeric_setting::kExpiryTime), expired.expiry);
  EXPECT_EQ(GetConfigValue(numeric_setting::kSendAnonymously), 0);
}

TEST_F(SendOptionDefaults, FactoryDefaultsReplaceTheRecordAfterRememberingIt) {
  Configure({{numeric_setting::kNeedReadReportFac, 1}, {numeric_setting::kPriorityFac, 129},
             {numeric_setting::kMessageClassFac, 128}, {numeric_setting::kSendAnonymouslyFac, 0},
             {numeric_setting::kExpiryTimeFac, 86400}, {numeric_setting::kSendExpireTimeInAbsolute, 1}});
  SendOptions options{.messageClass = 131, .priority = 130, .senderVisibility = config::kHideSender,
                      .deliveryReport = TRUE, .readReport = FALSE, .deliveryTime = 5, .expiry = 1};
  config::LoadFactorySendOptions(options);
  EXPECT_FALSE(options.deliveryReport);
  EXPECT_TRUE(options.readReport);
  EXPECT_EQ(options.priority, 129);
  EXPECT_EQ(options.messageClass, 128);
  EXPECT_EQ(options.senderVisibility, config::kShowSender);
  EXPECT_EQ(options.expiry, now_ + 86400);
  EXPECT_EQ(options.deliveryTime, 5);
  EXPECT_TRUE(config::RememberedSendOptions().deliveryReport);
  EXPECT_FALSE(config::RememberedSendOptions().readReport);
  EXPECT_EQ(config::RememberedSendOptions().priority, 130);
}

TEST(CaptureDuration, UsesTheSelectedProfileAndCapsTheRatio) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  const std::u16string profiles = u"\\Software\\Microsoft\\Pictures\\Camera\\OEM\\VideoProfile";
  EXPECT_FALSE(config::EstimateCaptureDuration(307200).has_value()) << "no byte rate configured";
  ASSERT_TRUE(config_test::WriteDword(HKEY_LOCAL_MACHINE, profiles + u"\\1", u"VideoAudioFileSizePerSecond", 1000));
  ASSERT_TRUE(config_test::WriteDword(HKEY_LOCAL_MACHINE, profiles + u"\\2", u"VideoAudioFileSizePerSecond", 4000));

  const struct {
    LONG ratio;
    DWORD maxSendSize;
    DWORD expected;
  } cases[] = {
      {-1, 307200, 291},            // not configured: 95 %
      {50, 307200, 153},
      {96, 307200, 291},
      {-7, 307200, 291},            // any negative ratio is above 95 when read unsigned
      {95, 0xFFFFFFFF, 4080218},    // would wrap in 32 bits
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SetConfigValue(numeric_setting::kVideoFileRatio, c.ratio, FALSE));
    EXPECT_EQ(config::EstimateCaptureDuration(c.maxSendSize), c.expected) << c.ratio;
  }
  ASSERT_TRUE(SetConfigValue(numeric_setting::kVideoProfileOptionNum, 2, FALSE));
  EXPECT_EQ(config::EstimateCaptureDuration(307200), 72u);
}

}  // namespace
