#include "forms/store_message.h"

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/recipient_text.h"
#include "forms/store_properties.h"
#include "platform/kernel/clock.h"
#include "transport/mms_global.h"

namespace {

using namespace store_property;

constexpr DWORD kBodyAbsentStatus = 0x10000;
constexpr DWORD kPriorityFlagMask = 0x70000000;
constexpr LONGLONG kFileTimeOf1970 = 116444736000000000;
constexpr LONGLONG kFileTimeUnitsPerSecond = 10000000;

DWORD PriorityFlag(LONG priority) {
  switch (priority) {
    case 128:
      return 0x2000u << 16;
    case 129:
      return 0x1000u << 16;
    case 130:
      return 0x4000u << 16;
    default:
      return 0;
  }
}

CString CountryCodeRemoved(CString text) {
  if (GetConfigValue(numeric_setting::kEnableRemoveCountryCode) == 0) return text;
  return RemoveCountryCodes(text.View(), GetConfigString(string_setting::kCountryCode).View());
}

}  // namespace

StoreMessage::StoreMessage(std::shared_ptr<const EntryId> entryId) : m_entryId(std::move(entryId)) {
  IMsgStore* store = ULC_Global::GetGlobal()->messageStore;
  if (store == nullptr || !m_entryId || m_entryId->empty()) return;
  ComPtr<IUnknown> object;
  ULONG kind = 0;
  HRESULT hr = store->OpenEntry(static_cast<ULONG>(m_entryId->size()),
                                reinterpret_cast<LPENTRYID>(const_cast<char*>(m_entryId->data())), nullptr,
                                MAPI_BEST_ACCESS, &kind, object.Receive());
  if (SUCCEEDED(hr) && kind == MAPI_MESSAGE) m_message = ComPtr<IMessage>(static_cast<IMessage*>(object.Detach()));
}

std::optional<SPropValue> StoreMessage::Read(ULONG tag, LPSPropValue* buffer) const {
  *buffer = nullptr;
  if (!m_message) return std::nullopt;
  SizedSPropTagArray<1> tags{1, {tag}};
  ULONG count = 0;
  HRESULT hr = m_message->GetProps(tags.get(), MAPI_UNICODE, &count, buffer);
  if (FAILED(hr) || count != 1 || (*buffer)[0].ulPropTag != tag) return std::nullopt;
  return (*buffer)[0];
}

bool StoreMessage::Write(const SPropValue& value) {
  if (!m_message) return false;
  SPropValue copy = value;
  LPSPropProblemArray problems = nullptr;
  HRESULT hr = m_message->SetProps(1, &copy, &problems);
  bool ok = SUCCEEDED(hr) && problems == nullptr;
  MAPIFreeBuffer(problems);
  return ok;
}

LONG StoreMessage::Long(ULONG tag) const {
  LPSPropValue buffer = nullptr;
  auto value = Read(tag, &buffer);
  LONG result = value ? value->Value.l : 0;
  MAPIFreeBuffer(buffer);
  return result;
}

bool StoreMessage::SetLong(ULONG tag, LONG value) {
  SPropValue prop{};
  prop.ulPropTag = tag;
  prop.Value.l = value;
  return Write(prop);
}

BOOL StoreMessage::Bool(ULONG tag) const {
  LPSPropValue buffer = nullptr;
  auto value = Read(tag, &buffer);
  BOOL result = value && value->Value.b != 0 ? TRUE : FALSE;
  MAPIFreeBuffer(buffer);
  return result;
}

bool StoreMessage::SetBool(ULONG tag, BOOL value) {
  SPropValue prop{};
  prop.ulPropTag = tag;
  prop.Value.b = value ? 1 : 0;
  return Write(prop);
}

CString StoreMessage::Text(ULONG tag) const {
  LPSPropValue buffer = nullptr;
  auto value = Read(tag, &buffer);
  CString result = value && value->Value.lpszW ? CString(value->Value.lpszW) : CString();
  MAPIFreeBuffer(buffer);
  return result;
}

bool StoreMessage::SetText(ULONG tag, std::u16string_view text) {
  std::u16string copy(text);
  SPropValue prop{};
  prop.ulPropTag = tag;
  prop.Value.lpszW = copy.data();
  return Write(prop);
}

LONG StoreMessage::ReadTime(ULONG tag) const {
  LPSPropValue buffer = nullptr;
  auto value = Read(tag, &buffer);
  LONGLONG fileTime = value ? static_cast<LONGLONG>(static_cast<ULONGLONG>(value->Value.ft.dwHighDateTime) << 32 |
                                                    value->Value.ft.dwLowDateTime)
                            : 0;
  MAPIFreeBuffer(buffer);
  if (!value) return 0;
  LONGLONG since1970 = fileTime - kFileTimeOf1970;
  LONGLONG seconds = since1970 >= 0 ? since1970 / kFileTimeUnitsPerSecond
                                    : -((-since1970 + kFileTimeUnitsPerSecond - 1) / kFileTimeUnitsPerSecond);
  // Stored times are universal; the forms show local time unless the network's time stamps are used.
  if (GetConfigValue(numeric_setting::kEnableCDMATimeStamp) == 0) seconds += platform::LocalTimeOffset(seconds);
  return static_cast<LONG>(seconds);
}

bool StoreMessage::WriteTime(ULONG tag, LONG seconds) {
  auto fileTime = static_cast<ULONGLONG>(kFileTimeOf1970 + static_cast<LONGLONG>(seconds) * kFileTimeUnitsPerSecond);
  SPropValue prop{};
  prop.ulPropTag = tag;
  prop.Value.ft = FILETIME{static_cast<DWORD>(fileTime & 0xFFFFFFFF), static_cast<DWORD>(fileTime >> 32)};
  return Write(prop);
}

CString StoreMessage::ReadList(ULONG tag) const { return CountryCodeRemoved(OneLineList(Text(tag).View())); }

LONG StoreMessage::Size() const { return Long(kMessageSize); }
bool StoreMessage::SetSize(LONG size) { return SetLong(kMessageSize, size); }

LONG StoreMessage::State() const {
  LONG state = Long(kState);
  switch (state) {
    case message_state::kNotification:
    case message_state::kDeliveryReport:
    case message_state::kReadReport:
    case message_state::kTransport6:
    case message_state::kTransport7:
      return state;
    default:
      return message_state::kRetrieved;
  }
}

bool StoreMessage::SetState(LONG state) {
  DWORD status = MessageStatus();
  if (state == message_state::kRetrieved || state == message_state::kTransport7) {
    if (!SetMessageStatus(status & ~kBodyAbsentStatus)) return false;
  } else if (state == message_state::kNotification || state == message_state::kTransport6) {
    if (!SetMessageStatus(status | kBodyAbsentStatus)) return false;
  }
  return SetLong(kState, state);
}

DWORD StoreMessage::Flags() const { return static_cast<DWORD>(Long(kFlags)); }

bool StoreMessage::SetFlags(DWORD flags) {
  DWORD merged = (Flags() | (flags & 0xFFFF0000u)) & ~1u;
  return SetLong(kFlags, static_cast<LONG>(merged | (flags & 1u)));
}

bool StoreMessage::ClearFlags(DWORD mask) { return SetLong(kFlags, static_cast<LONG>(Flags() & ~mask)); }

LONG StoreMessage::Date() const { return ReadTime(kDate); }
bool StoreMessage::SetDate(LONG seconds) { return WriteTime(kDate, seconds); }
CString StoreMessage::StatusText() const { return Text(kStatusText); }
bool StoreMessage::SetStatusText(std::u16string_view text) { return SetText(kStatusText, text); }
CString StoreMessage::SenderAddress() const { return Text(kSenderAddress); }

bool StoreMessage::SetSenderAddress(std::u16string_view text) {
  DisplayAddress parts = SplitDisplayAddress(text);
  return SetText(kSenderAddress, text) && SetText(kSenderName, parts.name.View()) &&
         SetText(kSenderEmailAddress, parts.address.View());
}

CString StoreMessage::SenderName() const { return Text(kSenderName); }

bool StoreMessage::SetSenderName(std::u16string_view text) {
  return SetText(kSenderName, CountryCodeRemoved(CString(text)).View());
}

CString StoreMessage::ToList() const { return ReadList(kToList); }
CString StoreMessage::CcList() const { return ReadList(kCcList); }
CString StoreMessage::BccList() const { return ReadList(kBccList); }
CString StoreMessage::ToAddresses() const { return ReadList(kToAddresses); }
CString StoreMessage::CcAddresses() const { return ReadList(kCcAddresses); }
CString StoreMessage::BccAddresses() const { return ReadList(kBccAddresses); }

bool StoreMessage::SetRecipients(std::u16string_view to, std::u16string_view cc, std::u16string_view bcc) {
  return SetText(kToList, to) && SetText(kCcList, cc) && SetText(kBccList, bcc) &&
         SetText(kToAddresses, AddressListOf(to).View()) && SetText(kCcAddresses, AddressListOf(cc).View()) &&
         SetText(kBccAddresses, AddressListOf(bcc).View());
}

CString StoreMessage::Subject() const { return Text(kSubject); }
bool StoreMessage::SetSubject(std::u16string_view text) { return SetText(kSubject, text); }
CString StoreMessage::MessageClassText() const { return Text(store_property::kMessageClass); }
bool StoreMessage::SetMessageClassText(std::u16string_view text) { return SetText(store_property::kMessageClass, text); }
CString StoreMessage::AccountName() const { return Text(store_property::kAccountName); }
bool StoreMessage::SetAccountName(std::u16string_view name) { return SetText(store_property::kAccountName, name); }
DWORD StoreMessage::MessageStatus() const { return static_cast<DWORD>(Long(kMessageStatus)); }
bool StoreMessage::SetMessageStatus(DWORD status) { return SetLong(kMessageStatus, static_cast<LONG>(status)); }

EntryId StoreMessage::ParentEntryId() const {
  LPSPropValue buffer = nullptr;
  auto value = Read(kParentEntryId, &buffer);
  EntryId result;
  if (value && value->Value.bin.lpb) result.assign(reinterpret_cast<const char*>(value->Value.bin.lpb), value->Value.bin.cb);
  MAPIFreeBuffer(buffer);
  return result;
}

LONG StoreMessage::LastModified() const { return ReadTime(kLastModified); }
LONG StoreMessage::DeliveryTime() const { return ReadTime(kDeliveryTime); }
bool StoreMessage::SetDeliveryTime(LONG seconds) { return WriteTime(kDeliveryTime, seconds); }

bool StoreMessage::CopyFrom(const StoreMessage& source, ULONG tag) {
  if (!source.m_message || !m_message) return false;
  SizedSPropTagArray<1> tags{1, {tag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  HRESULT hr = source.m_message->GetProps(tags.get(), MAPI_UNICODE, &count, &values);
  bool present = SUCCEEDED(hr) && count == 1 && values[0].ulPropTag == tag;
  bool ok = !present || Write(values[0]);
  MAPIFreeBuffer(values);
  return ok;
}

BOOL StoreMessage::DeliveryReport() const { return Bool(kDeliveryReport); }
LONG StoreMessage::Priority() const { return Long(kOptionPriority); }
LONG StoreMessage::MessageClass() const { return Long(kOptionMessageClass); }
void StoreMessage::SetDeliveryReport(BOOL on) { SetBool(kDeliveryReport, on); }
void StoreMessage::SetReadReport(BOOL on) { SetBool(kReadReport, on); }
void StoreMessage::SetPriority(LONG priority) { WritePriority(priority); }
void StoreMessage::SetMessageClass(LONG messageClass) { SetLong(kOptionMessageClass, messageClass); }
void StoreMessage::SetSenderVisibility(LONG visibility) { SetLong(kOptionSenderVisibility, visibility); }
void StoreMessage::SetExpiry(LONG expiry) { SetLong(kOptionExpiry, expiry); }

config::SendOptions StoreMessage::ReadSendOptions() const {
  config::SendOptions options;
  options.messageClass = Long(kOptionMessageClass);
  options.priority = Long(kOptionPriority);
  options.senderVisibility = Long(kOptionSenderVisibility);
  options.deliveryReport = Bool(kDeliveryReport);
  options.readReport = Bool(kReadReport);
  options.deliveryTime = Long(kOptionDeliveryTime);
  options.expiry = Long(kOptionExpiry);
  return options;
}

bool StoreMessage::WriteSendOptions(const config::SendOptions& options) {
  return SetLong(kOptionMessageClass, options.messageClass) && WritePriority(options.priority) &&
         SetLong(kOptionSenderVisibility, options.senderVisibility) && SetBool(kDeliveryReport, options.deliveryReport) &&
         SetBool(kReadReport, options.readReport) && SetLong(kOptionDeliveryTime, options.deliveryTime) &&
         SetLong(kOptionExpiry, options.expiry);
}

bool StoreMessage::WritePriority(LONG priority) {
  DWORD flags = (Flags() & ~kPriorityFlagMask) | PriorityFlag(priority);
  return SetLong(kOptionPriority, priority) && SetLong(kFlags, static_cast<LONG>(flags));
}
