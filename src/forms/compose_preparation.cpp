#include "forms/compose_preparation.h"

#include <iterator>
#include <string>

#include "config/send_option_defaults.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/link_checks.h"
#include "forms/recipient_text.h"
#include "forms/store_properties.h"
#include "forms/subject_prefix.h"
#include "platform/phone/sim_card.h"
#include "transport/resource_module.h"

namespace {

// Keys of the property copy table.
constexpr int kMessageClassKey[] = {12};
constexpr int kHeaderTextKeys[] = {13, 14};
constexpr LONG kAllDefaults = -1;
constexpr LONG kReportDefaults = 3;
constexpr UINT kForwardPrefixText = 40274;
constexpr UINT kReplyPrefixText = 40273;

bool IsSupportCdma() { return GetConfigValue(numeric_setting::kIsSupportCDMA) != 0; }

bool BodyAbsent(LONG state) { return state == message_state::kNotification || state == message_state::kTransport6; }

void CopyMessageClass(MessageBinding& binding, MessageBinding& source) {
  binding.CopyProperties(source, kMessageClassKey, static_cast<int>(std::size(kMessageClassKey)));
}

CString JoinLists(const CString& first, const CString& second) {
  if (first.IsEmpty()) return second;
  if (second.IsEmpty()) return first;
  CString joined = first;
  if (joined[joined.GetLength() - 1] != u';') joined += u';';
  joined += second.View();
  return joined;
}

// Modes 1 and 2: the reply's recipients; returns the source's subject.
CString PrepareReply(int mode, MessageBinding& binding, MessageBinding& source) {
  StoreMessage& message = binding.Message();
  StoreMessage& original = source.Message();
  CopyMessageClass(binding, source);
  const CString sender = original.SenderAddress();
  if (mode == compose_mode::kReply) {
    if (IsSupportCdma()) message.SetSenderAddress(sender.View());
    message.SetRecipients(sender.View(), message.CcList().View(), message.BccList().View());
  } else {
    const CString own = OwnNumber();
    const CString to = RemoveOwnNumber(original.ToList().View(), own.View());
    const CString cc = RemoveOwnNumber(original.CcList().View(), own.View());
    message.SetRecipients(JoinLists(sender, to).View(), cc.View(), message.BccList().View());
  }
  return original.Subject();
}

// Mode 4: the source's body and send options; returns the source's subject.
CString PrepareForward(MessageBinding& binding, MessageBinding& source) {
  StoreMessage& message = binding.Message();
  binding.SetSizeFromFile(0);
  CopyMessageClass(binding, source);
  config::ApplyDefaultSendOptions(message, kAllDefaults);
  binding.CopySendOptions(source);
  config::ApplyDefaultSendOptions(message, kReportDefaults);
  binding.SetDatesNow();
  message.SetLong(store_property::kOption23, 0);
  message.SetLong(store_property::kOptionSentDate, 0);
  return source.Message().Subject();
}

void SetState(int mode, MessageBinding& binding, MessageBinding* source) {
  StoreMessage& message = binding.Message();
  const bool forwardWithSource = mode == compose_mode::kForward && source != nullptr;
  const LONG state = forwardWithSource ? source->Message().State() : message.State();
  if (!BodyAbsent(state) || (mode != compose_mode::kForward && mode != compose_mode::kReopen)) {
    message.SetState(message_state::kRetrieved);
    return;
  }
  message.SetState(message_state::kTransport6);
  if (source != nullptr) binding.CopyProperties(*source, kHeaderTextKeys, static_cast<int>(std::size(kHeaderTextKeys)));
}

}  // namespace

void ApplyDataBlockRecipients(StoreMessage& message, const ComposeWords& words) {
  const CString to = words.Text(data_word::kTo);
  const CString cc = words.Text(data_word::kCc);
  const CString bcc = words.Text(data_word::kBcc);
  if (!to.IsEmpty() || !cc.IsEmpty() || !bcc.IsEmpty()) {
    message.SetRecipients(RecipientListFromHostText(to.View()).View(), RecipientListFromHostText(cc.View()).View(),
                          RecipientListFromHostText(bcc.View()).View());
  }
  const CString subject = words.Text(data_word::kSubject);
  if (!subject.IsEmpty()) message.SetSubject(subject.View());
}

CString OwnNumber() {
  HSIM sim = nullptr;
  CString number;
  if (SUCCEEDED(SimInitialize(0, nullptr, 0, &sim))) {
    WCHAR subscriber[kMaxSubscriberNumberChars + 1] = {};
    if (SUCCEEDED(SimGetSubscriberNumber(sim, subscriber, kMaxSubscriberNumberChars + 1))) number = CString(std::u16string_view(subscriber));
    SimDeinitialize(sim);
  }
  if (!number.IsEmpty()) return number;
  return GetConfigString(string_setting::kOwnerTelephone);
}

CString RemoveOwnNumber(std::u16string_view list, std::u16string_view ownNumber) {
  const LinkSettings settings = LinkSettings::Read();
  const std::u16string own = NormalisePhoneNumber(ownNumber, settings);
  if (own.empty()) return CString(list);
  CString kept;
  for (;;) {
    const std::size_t end = list.find(u';');
    const std::u16string_view entry = list.substr(0, end);
    const CString address = SplitDisplayAddress(entry).address;
    const bool empty = address.IsEmpty();
    if (!empty && NormalisePhoneNumber(address.View(), settings) != own) {
      if (!kept.IsEmpty()) kept += u';';
      kept += entry;
    }
    if (end == std::u16string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return kept;
}

void PrepareNewMessage(int mode, MessageBinding& binding, MessageBinding* source, bool imported) {
  StoreMessage& message = binding.Message();
  CString subject = message.Subject();
  const bool reply = mode == compose_mode::kReply || mode == compose_mode::kReplyAll;
  if (reply && source != nullptr) subject = PrepareReply(mode, binding, *source);
  if (mode == compose_mode::kNew || reply) {
    binding.SetDatesNow();
    config::ApplyDefaultSendOptions(message, kAllDefaults);
  } else if (mode == compose_mode::kForward && source != nullptr) {
    subject = PrepareForward(binding, *source);
  } else if (mode == compose_mode::kReopen) {
    if (imported) {
      config::ApplyDefaultSendOptions(message, kAllDefaults);
      binding.SetDatesNow();
    }
  } else {
    binding.SetDatesNow();
  }
  if (reply || mode == compose_mode::kForward) {
    const SubjectPrefixes prefixes{transport::LoadResourceString(kForwardPrefixText),
                                   transport::LoadResourceString(kReplyPrefixText)};
    message.SetSubject(ApplySubjectPrefix(subject, mode, prefixes).View());
  }
  SetState(mode, binding, source);
}
