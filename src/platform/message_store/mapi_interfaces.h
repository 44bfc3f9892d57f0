// The interfaces of the device's MAPI message store, as far as the module uses them: properties of
// any object, the store, folders, messages, attachments, tables and streams.
#pragma once

#include "platform/com/unknown.h"
#include "platform/message_store/mapi_types.h"

inline constexpr IID IID_IMAPIProp = {0x00020303, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IMsgStore = {0x00020306, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IMessage = {0x00020307, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IAttachment = {0x00020308, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IMAPIContainer = {0x0002030B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IMAPIFolder = {0x0002030C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IMAPITable = {0x00020301, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Seek origins and Stat flags of a stream.
constexpr DWORD STREAM_SEEK_SET = 0;
constexpr DWORD STREAM_SEEK_CUR = 1;
constexpr DWORD STREAM_SEEK_END = 2;
constexpr DWORD STATFLAG_NONAME = 1;
constexpr DWORD STGTY_STREAM = 2;

union LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
};

struct STATSTG {
  LPWSTR pwcsName;
  DWORD type;
  ULARGE_INTEGER cbSize;
  FILETIME mtime;
  FILETIME ctime;
  FILETIME atime;
  DWORD grfMode;
  DWORD grfLocksSupported;
  CLSID clsid;
  DWORD grfStateBits;
  DWORD reserved;
};

// A byte stream over a property's value (an attachment's data).
struct IStream : IUnknown {
  // Fewer bytes than asked only at the end; a failure means the data could not be read.
  virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;
  virtual HRESULT Write(const void* buffer, ULONG size, ULONG* written) = 0;
  virtual HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) = 0;
  virtual HRESULT SetSize(ULARGE_INTEGER size) = 0;
  // Makes what was written the property's value.
  virtual HRESULT Commit(DWORD flags) = 0;
  virtual HRESULT Stat(STATSTG* stat, DWORD flags) = 0;
};
using LPSTREAM = IStream*;

// Properties of any store object. Values are written through: a SetProps that succeeds is stored,
// and every other object of the store sees it at once.
struct IMAPIProp : IUnknown {
  // tags null: every property. Properties that are missing come back as PT_ERROR values with
  // MAPI_E_NOT_FOUND, and the result is then MAPI_W_ERRORS_RETURNED. Free *values with MAPIFreeBuffer.
  virtual HRESULT GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) = 0;
  virtual HRESULT SetProps(ULONG count, LPSPropValue values, LPSPropProblemArray* problems) = 0;
  virtual HRESULT DeleteProps(LPSPropTagArray tags, LPSPropProblemArray* problems) = 0;
  // IID_IStream over a binary or text property; MAPI_CREATE | MAPI_MODIFY starts it empty for writing.
  virtual HRESULT OpenProperty(ULONG tag, const IID* iid, ULONG interfaceOptions, ULONG flags,
                               LPUNKNOWN* object) = 0;
  // Values are already stored when SetProps returns; this only confirms the object still exists.
  virtual HRESULT SaveChanges(ULONG flags) = 0;
};
using LPMAPIPROP = IMAPIProp*;

// A table of rows, one per message, folder or attachment, read in pages.
struct IMAPITable : IUnknown {
  virtual HRESULT SetColumns(LPSPropTagArray tags, ULONG flags) = 0;
  virtual HRESULT GetRowCount(ULONG flags, ULONG* count) = 0;
  // Up to `rowCount` rows from the current position, which moves past them; no rows at the end.
  virtual HRESULT QueryRows(LONG rowCount, ULONG flags, LPSRowSet* rows) = 0;
  virtual HRESULT SeekRow(ULONG bookmark, LONG rowCount, LONG* sought) = 0;
};
using LPMAPITABLE = IMAPITable*;
constexpr ULONG BOOKMARK_BEGINNING = 0;

struct IAttach : IMAPIProp {};
using LPATTACH = IAttach*;

struct IMessage : IMAPIProp {
  virtual HRESULT GetAttachmentTable(ULONG flags, LPMAPITABLE* table) = 0;
  virtual HRESULT OpenAttach(ULONG attachmentNumber, const IID* iid, ULONG flags, LPATTACH* attachment) = 0;
  virtual HRESULT CreateAttach(const IID* iid, ULONG flags, ULONG* attachmentNumber, LPATTACH* attachment) = 0;
};
using LPMESSAGE = IMessage*;

struct IMAPIFolder : IMAPIProp {
  virtual HRESULT GetContentsTable(ULONG flags, LPMAPITABLE* table) = 0;
  virtual HRESULT GetHierarchyTable(ULONG flags, LPMAPITABLE* table) = 0;
  virtual HRESULT CreateMessage(const IID* iid, ULONG flags, LPMESSAGE* message) = 0;
  // Deletes the listed messages of this folder with their attachments.
  virtual HRESULT DeleteMessages(LPENTRYLIST messages, ULONG uiParam, LPVOID progress, ULONG flags) = 0;
  // With MESSAGE_MOVE: moves the listed messages of this folder into `destination` (an IMAPIFolder of
  // the same store), each keeping its entry identifier. Copying without moving is not offered.
  virtual HRESULT CopyMessages(LPENTRYLIST messages, const IID* iid, LPVOID destination, ULONG_PTR uiParam,
                               LPVOID progress, ULONG flags) = 0;
};
using LPMAPIFOLDER = IMAPIFolder*;

struct IMsgStore : IMAPIProp {
  // An empty identifier opens the root folder. *objectType receives the kind of what was opened.
  virtual HRESULT OpenEntry(ULONG entryIdSize, LPENTRYID entryId, const IID* iid, ULONG flags,
                            ULONG* objectType, LPUNKNOWN* object) = 0;
};
using LPMDB = IMsgStore*;
