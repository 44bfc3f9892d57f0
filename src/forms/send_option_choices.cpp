#include "forms/send_option_choices.h"

#include <algorithm>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "transport/resource_module.h"

namespace {

constexpr UINT kHoursText = 40403;
constexpr UINT kHourText = 40404;
constexpr UINT kMaximumExpiryText = 40267;
constexpr UINT kImmediatelyText = 40268;

// Ascending, with 0 after every other value.
bool ComesBefore(LONG a, LONG b) {
  if (a == 0) return false;
  if (b == 0) return true;
  return a < b;
}

std::vector<LONG> ReadChoices(int countSetting, int list) {
  const LONG configured = GetConfigValue(countSetting);
  const int count = static_cast<int>(std::clamp<LONG>(configured, 0, kMaxSendOptionChoices));
  std::vector<LONG> values(static_cast<std::size_t>(count));
  if (count == 0 || !GetConfigList(values.data(), count, list)) return {};
  std::vector<LONG> choices;
  for (LONG value : values) {
    if (value >= 0) AddChoice(choices, value);
  }
  return choices;
}

CString HoursText(LONG seconds) {
  const LONG hours = seconds / 3600;
  CString text;
  text.Format(u"%d %s", static_cast<int>(hours),
              transport::LoadResourceString(hours == 1 ? kHourText : kHoursText).GetString());
  return text;
}

}  // namespace

void AddChoice(std::vector<LONG>& choices, LONG seconds) {
  if (std::find(choices.begin(), choices.end(), seconds) != choices.end()) return;
  choices.insert(std::upper_bound(choices.begin(), choices.end(), seconds, ComesBefore), seconds);
}

std::vector<LONG> ExpiryChoices() {
  return ReadChoices(numeric_setting::kExpirationCount, config_list::kExpiration);
}

std::vector<LONG> DeliveryTimeChoices() {
  return ReadChoices(numeric_setting::kDeliveryTimeCount, config_list::kDeliveryTime);
}

CString ExpiryChoiceText(LONG seconds) {
  return seconds == 0 ? transport::LoadResourceString(kMaximumExpiryText) : HoursText(seconds);
}

CString DeliveryTimeChoiceText(LONG seconds) {
  return seconds == 0 ? transport::LoadResourceString(kImmediatelyText) : HoursText(seconds);
}
