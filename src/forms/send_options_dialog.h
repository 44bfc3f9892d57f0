// CSendOptionsDialog: the send options of one message (the frame's command 40139) or the default
// send options (command 1379). Delivery and read reports are check boxes; expiry and delivery time
// are choice lists in relative mode and date and time pickers with a "longest" or "at once" box in
// absolute mode (SendExpireTimeInAbsolute, SendDeliveryTimeInAbsolute), each mode choosing its
// template. Priority, message class and sender visibility are choice lists in every template.
// Done (40450) checks and stores the options; Factory Defaults (40452) loads the factory options,
// saves them as the defaults and shows them.
#pragma once

#include <array>

#include "config/send_option_defaults.h"
#include "forms/store_message.h"
#include "ui/dialog_base.h"

namespace send_options_item {
constexpr int kDeliveryReport = 1267;
constexpr int kReadReport = 1351;
constexpr int kExpiryList = 1012;
constexpr int kLongestExpiry = 1410;
constexpr int kExpiryDate = 1408;
constexpr int kExpiryTime = 1409;
constexpr int kDeliveryList = 1407;
constexpr int kDeliverAtOnce = 1006;
constexpr int kDeliveryDate = 1064;
constexpr int kDeliveryTime = 1065;
constexpr int kPriorityList = 1220;
constexpr int kClassList = 1221;
constexpr int kSenderList = 1222;
}  // namespace send_options_item

constexpr WORD kSendOptionsDone = 40450;
constexpr WORD kSendOptionsFactoryDefaults = 40452;
constexpr UINT kSendOptionsSoftKeys = 259;
// HideDlgControl bit that hides the read report box.
constexpr LONG kHideReadReportBit = 16;

// The template: for a message 363 (both times absolute), 364 (expiry only), 365 (delivery time
// only), 201 (neither); for the defaults 366, 368, 367, 330 in the same order.
DWORD SendOptionsTemplate(bool defaults, bool expiryAbsolute, bool deliveryAbsolute);

class CSendOptionsDialog : public CDialogBase {
 public:
  // With a message the options come from it and go back to it; without one they are the defaults.
  explicit CSendOptionsDialog(StoreMessage* message);

  const MessageMap* GetMessageMap() const override;
  // Runs the dialog modally: IDOK once the options were stored, IDCANCEL, or -1 when it cannot be shown.
  INT_PTR Run(HWND owner);
  const config::SendOptions& Options() const { return m_options; }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnOK(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnFactoryDefaults(WPARAM wParam, LPARAM lParam);
  LRESULT OnLongestExpiry(WPARAM wParam, LPARAM lParam);
  LRESULT OnDeliverAtOnce(WPARAM wParam, LPARAM lParam);

 private:
  void ShowOptions();
  void ShowTime(int box, int date, int time, LONG seconds);
  LONG ReadTime(int box, int date, int time) const;
  void ShowChoices(int list, std::vector<LONG> choices, LONG seconds, bool expiry);
  LONG ReadChoice(int list, LONG fallback) const;
  void ShowCodes();
  void ReadCodes(config::SendOptions& options) const;
  void ReadControls(config::SendOptions& options) const;
  bool Store();

  StoreMessage* m_message;
  config::SendOptions m_options;
  bool m_expiryAbsolute;
  bool m_deliveryAbsolute;
  // The code each coded list showed first: a list left there keeps the stored value, so that an
  // option never set (0, the sender's own default) is not turned into an explicit one.
  std::array<LONG, 3> m_shownCodes{};
  // Local time minus the message time of the same moment: what the pickers add to show it.
  std::int64_t m_localOffset;
};

// The frame's command 40139: the options of `message`, stored into it on Done.
INT_PTR RunSendOptionsDialog(HWND owner, StoreMessage& message);
// The frame's command 1379: the default send options, saved as the defaults on Done.
INT_PTR RunDefaultSendOptionsDialog(HWND owner);
