#include "forms/hand_over.h"

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/ipc_flag.h"
#include "device/wait_cursor.h"
#include "forms/hand_over_file.h"
#include "forms/message_binding.h"
#include "forms/store_properties.h"
#include "model/device_file.h"
#include "platform/dialog/dialog_api.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/process.h"
#include "platform/message_store/mail_api.h"
#include "transport/mms_global.h"

namespace {

using namespace store_property;

constexpr const char16_t* kTextMessageClass = u"IPM.SMStext";
constexpr const char16_t* kReplyMarker = u"QuillonMenuExtReply";

struct ReplyKind {
  int accountSetting;
  int classSetting;
};

constexpr ReplyKind kReplyKinds[] = {
    {string_setting::kSMSAccountName, string_setting::kSMSClassName},
    {string_setting::kMMSAccountName, string_setting::kMMSClassName},
    {string_setting::kVoiceMailAccountName, string_setting::kVoiceMailClassName},
};

// Writes the hand-over file and starts the composer program with its path.
bool StartComposerProgram(const HandOverStrings& strings) {
  CString file = GetFolderSetting(folder_setting::kUAContentsPath) + kHandOverFileName;
  if (!WriteDeviceFile(file.View(), EncodeHandOverFile(strings))) return false;
  CString commandLine = file;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(kComposerProgram, commandLine.GetBuffer(commandLine.GetLength()), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, nullptr, &process)) {
    return false;
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return true;
}

void ComposeThroughPlatform(const HandOverStrings& strings) {
  MAILCOMPOSEFIELDS fields{};
  fields.cbSize = sizeof fields;
  fields.dwFlags = MCF_ACCOUNT_IS_NAME;
  fields.pszTo = strings.to;
  fields.pszBcc = strings.bcc;
  fields.pszSubject = strings.subject;
  fields.pszBody = strings.body;
  fields.pszAccount = strings.account;
  fields.pszMsgClass = strings.messageClass;
  MailComposeMessage(&fields);
}

bool StoreFlag(ULONG tag) {
  IMsgStore* store = ULC_Global::GetGlobal()->messageStore;
  if (store == nullptr) return false;
  SizedSPropTagArray<1> tags{1, {tag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  bool on = SUCCEEDED(store->GetProps(tags.get(), MAPI_UNICODE, &count, &values)) && values[0].ulPropTag == tag &&
            values[0].Value.b != 0;
  MAPIFreeBuffer(values);
  return on;
}

CString SendOptionString(MessageBinding& binding) {
  StoreMessage& message = binding.Message();
  auto flag = [&](ULONG tag) { return static_cast<int>(message.Bool(tag)); };
  auto value = [&](ULONG tag) { return static_cast<int>(message.Long(tag)); };
  CString options;
  options.Format(u"%d : %d : %d : %d : %d : %d : %d : %d :%d : %d : %d : %d", flag(kDeliveryReport),
                 flag(kReadReport), flag(kAbsoluteExpiry), flag(kOptionFlag1A), flag(kOptionFlag1B), value(kOption1C),
                 value(kOptionMessageClass), value(kOptionPriority), value(kOptionSenderVisibility),
                 value(kOptionDeliveryTime), value(kOptionSentDate), value(kOptionExpiry));
  return binding.DataFile() + u"=" + options.View();
}

}  // namespace

int HandOverToComposer(HWND owner, const HandOverStrings& strings) {
  // The dialog that offered the command closes as if cancelled; the composer takes over from here.
  // A window that is no dialog is left as it is.
  if (owner != nullptr && IsWindow(owner)) EndDialog(owner, IDCANCEL);
  ULC_Global* global = ULC_Global::GetGlobal();
  bool textMessage = strings.messageClass.CompareNoCase(kTextMessageClass) == 0 ||
                     (strings.account != GetConfigString(string_setting::kMMSAccountName) &&
                      strings.account != GetConfigString(string_setting::kVoiceMailClassName) &&
                      strings.account != GetConfigString(string_setting::kMMSClassName));
  (textMessage ? global->smsComposeFlag : global->mmsComposeFlag) = 1;
  // Should the composer program be there but not take the hand-over, the platform's compose window
  // takes it instead, so that the user's reply is not lost.
  if (GetFileAttributesW(kComposerProgram) == INVALID_FILE_ATTRIBUTES || !StartComposerProgram(strings)) {
    ComposeThroughPlatform(strings);
  }
  return 1;
}

int ReplyHandOver(HWND owner, MessageBinding* binding, int kind, const SubjectPrefixes& prefixes) {
  if (binding == nullptr || kind < 0 || kind >= static_cast<int>(std::size(kReplyKinds))) return 0;
  HandOverStrings strings;
  strings.account = GetConfigString(kReplyKinds[kind].accountSetting);
  strings.messageClass = GetConfigString(kReplyKinds[kind].classSetting);
  StoreMessage& message = binding->Message();
  if (kind != 0) {
    strings.subject = ApplySubjectPrefix(message.Subject(), 1, prefixes);
    SetIpcFlag();
    strings.bcc = CString(kReplyMarker);
  }
  strings.to = message.SenderAddress();
  if (kind == 0 && StoreFlag(kStoreSignatureOn) && !StoreFlag(kStoreSignatureOnReplies)) strings.body = CString(u" ");
  return HandOverToComposer(owner, strings);
}

int ForwardHandOver(HWND owner, MessageBinding* binding, const SubjectPrefixes& prefixes) {
  if (binding == nullptr) return 0;
  WaitCursorHold hold;
  StoreMessage& message = binding->Message();
  CString messageClass = message.MessageClassText();
  const std::pair<CString, int> accounts[] = {
      {CString(kTextMessageClass), string_setting::kSMSAccountName},
      {GetConfigString(string_setting::kMMSClassName), string_setting::kMMSAccountName},
      {GetConfigString(string_setting::kVoiceMailClassName), string_setting::kVoiceMailAccountName},
      {GetConfigString(string_setting::kFlixClassName), string_setting::kFlixAccountName},
  };
  const std::pair<CString, int>* match = nullptr;
  for (const auto& candidate : accounts) {
    if (!candidate.first.IsEmpty() && messageClass.CompareNoCase(candidate.first.View()) == 0) {
      match = &candidate;
      break;
    }
  }
  if (match == nullptr) return 0;
  HandOverStrings strings;
  strings.to = SendOptionString(*binding);
  strings.subject = ApplySubjectPrefix(message.Subject(), 4, prefixes);
  strings.account = GetConfigString(match->second);
  strings.messageClass = messageClass;
  SetIpcFlag();
  return HandOverToComposer(owner, strings);
}
