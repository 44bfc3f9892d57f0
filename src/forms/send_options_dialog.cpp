#include "forms/send_options_dialog.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "config/message_time.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/dialog_soft_keys.h"
#include "forms/message_info_text.h"
#include "forms/send_option_choices.h"
#include "platform/controls/date_time_picker.h"
#include "platform/dialog/dialog_api.h"
#include "platform/kernel/clock.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

namespace {

using namespace send_options_item;

constexpr UINT kDeliveryAfterExpiryText = 40261;

// An option coded from 128 up, shown as a choice list of its names.
struct CodedOption {
  int list;
  LONG config::SendOptions::*field;
  CString (*name)(LONG code);
  int count;
  // Shown for a value outside the codes, above all 0 (not set): what the message is sent with then.
  LONG shownWhenUnset;
};

constexpr LONG kFirstCode = 128;
constexpr CodedOption kCodedOptions[] = {
    {kPriorityList, &config::SendOptions::priority, PriorityText, 3, 129},
    {kClassList, &config::SendOptions::messageClass, MessageClassText, 4, 128},
    {kSenderList, &config::SendOptions::senderVisibility, SenderVisibilityText, 2, config::kShowSender},
};

// Adds one choice with its value to a choice list, selected when it is the value shown.
void AddListChoice(HWND dialog, int list, const CString& text, LONG value, bool selected) {
  const LRESULT index = ::SendDlgItemMessageW(dialog, list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.GetString()));
  if (index < 0) return;
  ::SendDlgItemMessageW(dialog, list, CB_SETITEMDATA, static_cast<WPARAM>(index), value);
  if (selected) ::SendDlgItemMessageW(dialog, list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool IsChecked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Check(HWND dialog, int id, bool on) { ::CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

SYSTEMTIME PickerTime(HWND dialog, int id) {
  SYSTEMTIME time{};
  ::SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  return time;
}

void SetPickerTime(HWND dialog, int id, const SYSTEMTIME& time) {
  ::SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

}  // namespace

DWORD SendOptionsTemplate(bool defaults, bool expiryAbsolute, bool deliveryAbsolute) {
  static constexpr DWORD kMessage[4] = {201, 365, 364, 363};
  static constexpr DWORD kDefaults[4] = {330, 367, 368, 366};
  const int index = (expiryAbsolute ? 2 : 0) + (deliveryAbsolute ? 1 : 0);
  return defaults ? kDefaults[index] : kMessage[index];
}

CSendOptionsDialog::CSendOptionsDialog(StoreMessage* message)
    : m_message(message),
      m_options(message ? message->ReadSendOptions() : config::LoadSendOptionDefaults()),
      m_expiryAbsolute(GetConfigValue(numeric_setting::kSendExpireTimeInAbsolute) != 0),
      m_deliveryAbsolute(GetConfigValue(numeric_setting::kSendDeliveryTimeInAbsolute) != 0) {
  const std::int64_t now = platform::UnixTimeNow();
  m_localOffset = now + platform::LocalTimeOffset(now) - config::MessageTimeNow();
}

const MessageMap* CSendOptionsDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CSendOptionsDialog::OnInitDialog),
      OnCommandId(kSendOptionsDone, &CSendOptionsDialog::OnOK),
      OnCommandId(kSendOptionsFactoryDefaults, &CSendOptionsDialog::OnFactoryDefaults),
      OnCommandId(kLongestExpiry, &CSendOptionsDialog::OnLongestExpiry),
      OnCommandId(kDeliverAtOnce, &CSendOptionsDialog::OnDeliverAtOnce),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

INT_PTR CSendOptionsDialog::Run(HWND owner) {
  const DWORD templateId = SendOptionsTemplate(m_message == nullptr, m_expiryAbsolute, m_deliveryAbsolute);
  return DoModal(transport::ResourceInstance(), templateId, owner);
}

LRESULT CSendOptionsDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  if (GetConfigMask(1, kHideReadReportBit) != 0) {
    if (HWND readReport = GetDlgItem(kReadReport)) ::ShowWindow(readReport, SW_HIDE);
  }
  ShowOptions();
  CreateDialogSoftKeys(GetHandle(), kSendOptionsSoftKeys);
  return TRUE;
}

void CSendOptionsDialog::ShowOptions() {
  Check(GetHandle(), kDeliveryReport, m_options.deliveryReport != FALSE);
  Check(GetHandle(), kReadReport, m_options.readReport != FALSE);
  if (m_expiryAbsolute) {
    ShowTime(kLongestExpiry, kExpiryDate, kExpiryTime, m_options.expiry);
  } else {
    ShowChoices(kExpiryList, ExpiryChoices(), m_options.expiry, true);
  }
  if (m_deliveryAbsolute) {
    ShowTime(kDeliverAtOnce, kDeliveryDate, kDeliveryTime, m_options.deliveryTime);
  } else {
    ShowChoices(kDeliveryList, DeliveryTimeChoices(), m_options.deliveryTime, false);
  }
  ShowCodes();
}

void CSendOptionsDialog::ShowCodes() {
  static_assert(std::size(kCodedOptions) == std::tuple_size_v<decltype(m_shownCodes)>);
  for (std::size_t i = 0; i < std::size(kCodedOptions); ++i) {
    const CodedOption& option = kCodedOptions[i];
    const LONG value = m_options.*option.field;
    const bool known = value >= kFirstCode && value < kFirstCode + option.count;
    m_shownCodes[i] = known ? value : option.shownWhenUnset;
    ::SendDlgItemMessageW(GetHandle(), option.list, CB_RESETCONTENT, 0, 0);
    for (LONG code = kFirstCode; code < kFirstCode + option.count; ++code) {
      AddListChoice(GetHandle(), option.list, option.name(code), code, code == m_shownCodes[i]);
    }
  }
}

void CSendOptionsDialog::ReadCodes(config::SendOptions& options) const {
  for (std::size_t i = 0; i < std::size(kCodedOptions); ++i) {
    const CodedOption& option = kCodedOptions[i];
    const LONG chosen = ReadChoice(option.list, m_shownCodes[i]);
    if (chosen != m_shownCodes[i]) options.*option.field = chosen;
  }
}

// An absolute time: 0 ticks the box and shows the current time greyed; any other time shows in
// the pickers in local time.
void CSendOptionsDialog::ShowTime(int box, int date, int time, LONG seconds) {
  Check(GetHandle(), box, seconds == 0);
  // The date picker keeps the seconds of a stored time, so that a time left alone is stored again
  // exactly; the current time is shown to the minute.
  SYSTEMTIME shown{};
  if (seconds == 0) {
    GetLocalTime(&shown);
    shown.wSecond = 0;
  } else {
    shown = platform::SystemTimeFromSeconds(static_cast<std::int64_t>(seconds) + m_localOffset);
  }
  shown.wMilliseconds = 0;
  SetPickerTime(GetHandle(), date, shown);
  SetPickerTime(GetHandle(), time, shown);
  ::EnableWindow(GetDlgItem(date), seconds != 0);
  ::EnableWindow(GetDlgItem(time), seconds != 0);
}

// The date (and seconds) of the date picker with the hour and minute of the time picker, as a
// message time; 0 when the box is ticked. A time before 1970 or past what the message holds is kept within its range.
LONG CSendOptionsDialog::ReadTime(int box, int date, int time) const {
  if (IsChecked(GetHandle(), box)) return 0;
  SYSTEMTIME moment = PickerTime(GetHandle(), date);
  const SYSTEMTIME clock = PickerTime(GetHandle(), time);
  moment.wHour = clock.wHour;
  moment.wMinute = clock.wMinute;
  moment.wMilliseconds = 0;
  const std::optional<std::int64_t> local = platform::SecondsFromSystemTime(moment);
  if (!local) return 0;
  return static_cast<LONG>(std::clamp<std::int64_t>(*local - m_localOffset, 1, std::numeric_limits<LONG>::max()));
}

void CSendOptionsDialog::ShowChoices(int list, std::vector<LONG> choices, LONG seconds, bool expiry) {
  AddChoice(choices, seconds);
  ::SendDlgItemMessageW(GetHandle(), list, CB_RESETCONTENT, 0, 0);
  for (LONG choice : choices) {
    AddListChoice(GetHandle(), list, expiry ? ExpiryChoiceText(choice) : DeliveryTimeChoiceText(choice), choice,
                  choice == seconds);
  }
}

LONG CSendOptionsDialog::ReadChoice(int list, LONG fallback) const {
  const LRESULT index = ::SendDlgItemMessageW(GetHandle(), list, CB_GETCURSEL, 0, 0);
  if (index < 0) return fallback;
  return static_cast<LONG>(::SendDlgItemMessageW(GetHandle(), list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void CSendOptionsDialog::ReadControls(config::SendOptions& options) const {
  options.deliveryReport = IsChecked(GetHandle(), kDeliveryReport) ? TRUE : FALSE;
  options.readReport = IsChecked(GetHandle(), kReadReport) ? TRUE : FALSE;
  options.expiry = m_expiryAbsolute ? ReadTime(kLongestExpiry, kExpiryDate, kExpiryTime)
                                    : ReadChoice(kExpiryList, options.expiry);
  options.deliveryTime = m_deliveryAbsolute ? ReadTime(kDeliverAtOnce, kDeliveryDate, kDeliveryTime)
                                            : ReadChoice(kDeliveryList, options.deliveryTime);
  ReadCodes(options);
}

bool CSendOptionsDialog::Store() {
  if (m_message) return m_message->WriteSendOptions(m_options);
  return config::SaveSendOptionDefaults(m_options) != FALSE;
}

LRESULT CSendOptionsDialog::OnOK(WPARAM, LPARAM) {
  config::SendOptions options = m_options;
  ReadControls(options);
  // Times of different modes cannot be compared: only two relative or two absolute times are.
  if (m_expiryAbsolute == m_deliveryAbsolute && options.expiry != 0 && options.deliveryTime != 0 &&
      options.deliveryTime >= options.expiry) {
    if (CMMSGlobal* global = GetMMSGlobal()) {
      global->MessageBoxW(GetHandle(), kDeliveryAfterExpiryText, MB_ICONASTERISK);
    }
    return 0;
  }
  m_options = options;
  // A store that fails keeps the dialog open, so that the choices are not lost silently.
  if (!Store()) return 0;
  EndDialog(IDOK);
  return 0;
}

LRESULT CSendOptionsDialog::OnFactoryDefaults(WPARAM, LPARAM) {
  ReadControls(m_options);
  config::LoadFactorySendOptions(m_options);
  config::SaveSendOptionDefaults(m_options);
  ShowOptions();
  return 0;
}

LRESULT CSendOptionsDialog::OnLongestExpiry(WPARAM, LPARAM) {
  const bool longest = IsChecked(GetHandle(), kLongestExpiry);
  const LONG shown = longest ? 0 : ReadTime(kLongestExpiry, kExpiryDate, kExpiryTime);
  ShowTime(kLongestExpiry, kExpiryDate, kExpiryTime, shown);
  return 0;
}

LRESULT CSendOptionsDialog::OnDeliverAtOnce(WPARAM, LPARAM) {
  const bool atOnce = IsChecked(GetHandle(), kDeliverAtOnce);
  const LONG shown = atOnce ? 0 : ReadTime(kDeliverAtOnce, kDeliveryDate, kDeliveryTime);
  ShowTime(kDeliverAtOnce, kDeliveryDate, kDeliveryTime, shown);
  return 0;
}

INT_PTR RunSendOptionsDialog(HWND owner, StoreMessage& message) {
  CSendOptionsDialog dialog(&message);
  return dialog.Run(owner);
}

INT_PTR RunDefaultSendOptionsDialog(HWND owner) {
  CSendOptionsDialog dialog(nullptr);
  return dialog.Run(owner);
}
