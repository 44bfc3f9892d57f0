// The MAPI properties a stored MMS message carries, by what they mean to the forms.
#pragma once

#include "platform/win_types.h"

namespace store_property {

constexpr ULONG kEntryId = 0x0FFF0102;
constexpr ULONG kMessageSize = 0x0E080003;
constexpr ULONG kState = 0x80080003;
constexpr ULONG kFlags = 0x0E070003;
constexpr ULONG kDate = 0x80130040;
constexpr ULONG kStatusText = 0x8014001F;
constexpr ULONG kSenderAddress = 0x800B001F;
constexpr ULONG kSenderName = 0x0C1A001F;
constexpr ULONG kSenderEmailAddress = 0x0C1F001F;
constexpr ULONG kToList = 0x800C001F;
constexpr ULONG kCcList = 0x800D001F;
constexpr ULONG kBccList = 0x800E001F;
constexpr ULONG kToAddresses = 0x800F001F;
constexpr ULONG kCcAddresses = 0x8010001F;
constexpr ULONG kBccAddresses = 0x8011001F;
constexpr ULONG kSubject = 0x0037001F;
constexpr ULONG kHeaderText7 = 0x8007001F;
constexpr ULONG kHeaderText5 = 0x8005001F;
constexpr ULONG kHeaderText6 = 0x8006001F;
constexpr ULONG kMessageClass = 0x001A001F;
constexpr ULONG kHeaderText12 = 0x8012001F;
constexpr ULONG kHeaderValueA = 0x800A0003;
constexpr ULONG kHeaderValue9 = 0x80090003;
constexpr ULONG kSubjectPrefix = 0x003D001F;
constexpr ULONG kHeaderFlag4 = 0x8004000B;
constexpr ULONG kMessageStatus = 0x0E170003;
constexpr ULONG kParentEntryId = 0x0E090102;
constexpr ULONG kLastModified = 0x30080040;
constexpr ULONG kDeliveryTime = 0x0E060040;
constexpr ULONG kHeaderValue26 = 0x80260003;
constexpr ULONG kHeaderFlag27 = 0x8027000B;
// The transport's state of the message: 2 a body still to download, 3 a report, 8 queued for sending
// (transport/send_queue.h).
constexpr ULONG kTransportState = 0x81180003;
// The account the message goes out through, by name (as the Config\UI account names give it); the
// composer of a CDMA device sets it with the message class when the person picks Flix or MMS.
constexpr ULONG kAccountName = 0x8028001F;

// Send options.
constexpr ULONG kDeliveryReport = 0x8017000B;
constexpr ULONG kReadReport = 0x8018000B;
constexpr ULONG kAbsoluteExpiry = 0x8019000B;
constexpr ULONG kOptionFlag1A = 0x801A000B;
constexpr ULONG kOptionFlag1B = 0x801B000B;
constexpr ULONG kOption1C = 0x801C0003;
constexpr ULONG kOptionMessageClass = 0x801D0003;
constexpr ULONG kOptionPriority = 0x801E0003;
constexpr ULONG kOptionSenderVisibility = 0x801F0003;
constexpr ULONG kOptionDeliveryTime = 0x80200003;
constexpr ULONG kOptionSentDate = 0x80210003;
constexpr ULONG kOptionExpiry = 0x80220003;
constexpr ULONG kOption23 = 0x80230003;
constexpr ULONG kOption24 = 0x80240003;
constexpr ULONG kOption25 = 0x80250003;

// The message store's own settings.
constexpr ULONG kStoreSignatureOn = 0x811A000B;
constexpr ULONG kStoreSignatureOnReplies = 0x811B000B;
constexpr ULONG kStoreSignatureText = 0x8119001F;

}  // namespace store_property

namespace message_state {

constexpr LONG kRetrieved = 1;
constexpr LONG kNotification = 3;
constexpr LONG kDeliveryReport = 4;
constexpr LONG kReadReport = 5;
constexpr LONG kTransport6 = 6;
constexpr LONG kTransport7 = 7;

}  // namespace message_state
