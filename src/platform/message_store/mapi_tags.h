// Property tags of the device's message store that the store itself computes or the module and the
// host use by name.
#pragma once

#include "platform/message_store/mapi_types.h"

// Computed by the store (read only).
constexpr ULONG PR_ENTRYID = 0x0FFF0102;
constexpr ULONG PR_OBJECT_TYPE = 0x0FFE0003;
constexpr ULONG PR_PARENT_ENTRYID = 0x0E090102;
constexpr ULONG PR_LAST_MODIFICATION_TIME = 0x30080040;
constexpr ULONG PR_ATTACH_NUM = 0x0E210003;

constexpr ULONG PR_DISPLAY_NAME = 0x3001001F;
constexpr ULONG PR_MESSAGE_CLASS = 0x001A001F;
constexpr ULONG PR_SUBJECT = 0x0037001F;
constexpr ULONG PR_MESSAGE_SIZE = 0x0E080003;
constexpr ULONG PR_MESSAGE_FLAGS = 0x0E070003;
constexpr ULONG PR_MESSAGE_DELIVERY_TIME = 0x0E060040;
constexpr ULONG PR_MSG_STATUS = 0x0E170003;

constexpr ULONG PR_ATTACH_DATA_BIN = 0x37010102;
constexpr ULONG PR_ATTACH_FILENAME = 0x3704001F;
constexpr ULONG PR_ATTACH_SIZE = 0x0E200003;

// The store properties that hold the entry identifiers of its standard folders.
constexpr ULONG PR_INBOX_FOLDER_ENTRYID = 0x35E00102;
constexpr ULONG PR_OUTBOX_FOLDER_ENTRYID = 0x35E20102;
constexpr ULONG PR_DRAFTS_FOLDER_ENTRYID = 0x81040102;
constexpr ULONG PR_SENTMAIL_FOLDER_ENTRYID = 0x35E40102;
constexpr ULONG PR_WASTEBASKET_FOLDER_ENTRYID = 0x35E30102;
