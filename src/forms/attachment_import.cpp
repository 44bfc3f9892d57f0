#include "forms/attachment_import.h"

#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/content_check.h"
#include "model/drm_handling.h"
#include "model/media_types.h"
#include "model/text_charset.h"
#include "platform/com/com_ptr.h"
#include "platform/kernel/debug_output.h"
#include "platform/kernel/file_api.h"
#include "platform/message_store/mapi_tags.h"
#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"

namespace {

constexpr ULONG kBlockSize = 4096;
constexpr MediaType kAmr = 0x20003;
constexpr MediaType kQcelp = 0x20006;

struct OpenedAttachment {
  ComPtr<IAttach> attach;
  CString name;
};

CString TextProp(IMAPIProp* object, ULONG tag) {
  SizedSPropTagArray<1> tags{1, {tag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  CString text;
  if (SUCCEEDED(object->GetProps(tags.get(), MAPI_UNICODE, &count, &values)) && values[0].ulPropTag == tag &&
      values[0].Value.lpszW) {
    text = CString(values[0].Value.lpszW);
  }
  MAPIFreeBuffer(values);
  return text;
}

// The last attachment of the table that opens, with its file name.
OpenedAttachment LastAttachment(IMessage* message) {
  OpenedAttachment last;
  ComPtr<IMAPITable> table;
  if (FAILED(message->GetAttachmentTable(0, table.Receive()))) return last;
  SizedSPropTagArray<1> columns{1, {PR_ATTACH_NUM}};
  if (FAILED(table->SetColumns(columns.get(), 0))) return last;
  for (;;) {
    LPSRowSet rows = nullptr;
    if (FAILED(table->QueryRows(1, 0, &rows)) || rows == nullptr) break;
    bool done = rows->cRows == 0;
    if (!done && rows->aRow[0].cValues == 1 && rows->aRow[0].lpProps[0].ulPropTag == PR_ATTACH_NUM) {
      ComPtr<IAttach> attach;
      ULONG number = static_cast<ULONG>(rows->aRow[0].lpProps[0].Value.l);
      if (SUCCEEDED(message->OpenAttach(number, nullptr, 0, attach.Receive()))) {
        last.name = TextProp(attach.Get(), PR_ATTACH_FILENAME);
        last.attach = std::move(attach);
      }
    }
    FreeProws(rows);
    if (done) break;
  }
  return last;
}

// The name without any folder part, ".." or control characters, so that the file stays in the
// target folder whatever the attachment claims.
CString SafeName(const CString& name) {
  std::u16string_view view = name.View();
  std::size_t slash = view.find_last_of(u"\\/:");
  if (slash != std::u16string_view::npos) view.remove_prefix(slash + 1);
  std::u16string safe;
  for (char16_t c : view) {
    if (c >= 0x20 && c != 0x7F && c != u'*' && c != u'?' && c != u'"' && c != u'<' && c != u'>' && c != u'|') {
      safe.push_back(c);
    }
  }
  if (safe.find_first_not_of(u'.') == std::u16string::npos) safe = u"attachment";
  return CString(safe);
}

CString FreeFileName(LPCWSTR folder, const CString& name) {
  CString path;
  for (int n = 0;; ++n) {
    path.Format(u"%s%d_%s", folder, n, name.GetString());
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return path;
  }
}

// Copies the attachment's data into a new file. False, with the partial file removed, when the data
// cannot be read to its end.
bool CopyData(IAttach* attach, const CString& path) {
  ComPtr<IUnknown> object;
  if (FAILED(attach->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, 0, object.Receive()))) return false;
  ComPtr<IStream> stream;
  if (FAILED(object->QueryInterface(IID_IStream, reinterpret_cast<void**>(stream.Receive())))) return false;
  STATSTG stat{};
  bool sizeKnown = SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME));
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  ULONGLONG copied = 0;
  bool ok = true;
  char block[kBlockSize];
  for (;;) {
    ULONG read = 0;
    if (FAILED(stream->Read(block, kBlockSize, &read))) {
      ok = false;
      break;
    }
    if (read == 0) break;
    DWORD written = 0;
    if (!WriteFile(file, block, read, &written, nullptr) || written != read) {
      ok = false;
      break;
    }
    copied += read;
  }
  CloseHandle(file);
  if (ok && sizeKnown && copied != stat.cbSize.QuadPart) ok = false;
  if (!ok) {
    platform::DebugPrint("ImportAttachment: attachment data ended after %llu of %llu bytes\n",
                         static_cast<unsigned long long>(copied),
                         static_cast<unsigned long long>(sizeKnown ? stat.cbSize.QuadPart : 0));
    DeleteFileW(path);
  }
  return ok;
}

DWORD FileSize(const CString& path) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(path, &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  FindClose(search);
  return found.nFileSizeLow;
}

// A text file becomes UTF-16 with the mark FF FE, as the composer's text parts are kept.
void MakeTextPart(const CString& path) {
  std::string contentType = "text/plain";
  ConvertTextFile(path.View(), CharsetCode(contentType, path.View()));
}

// A protected file (".dcf", ".odf") is unwrapped into protected content, named for its inner type.
CString UnwrapProtected(LPCWSTR folder, CString path, HWND owner) {
  CString lower = CString(path).MakeLower();
  std::string_view contentType = lower.View().ends_with(u".dcf")   ? "application/vnd.oma.drm.content"
                                 : lower.View().ends_with(u".odf") ? "application/vnd.oma.drm.dcf"
                                                                   : "";
  if (contentType.empty()) return path;
  std::string inner;
  CString name = path.Mid(static_cast<int>(std::u16string_view(folder).size()));
  if (!UnwrapDrm(folder, name, inner, contentType, owner)) return path;
  CString fixed = path;
  if (FixExtension(fixed, TypeOfContentType(inner)) && MoveFileW(path, fixed)) return fixed;
  return path;
}

bool IsVoiceMailClass(LPCWSTR messageClass) {
  return GetConfigValue(numeric_setting::kVoiceMailClassPresent) != 0 && messageClass != nullptr &&
         GetConfigString(string_setting::kVoiceMailClassName) == messageClass;
}

int VoiceMailStatus(MediaType type) {
  const LONG recordType = GetConfigValue(numeric_setting::kRecordType);
  if ((recordType == 1 && type == kAmr) || (recordType == 0 && type == kQcelp)) return import_status::kImported;
  bool textAllowed = GetConfigValue(numeric_setting::kIsVoiceMailSupportText) != 0;
  return textAllowed && media_type::KindOf(type) == media_type::kText ? import_status::kImported
                                                                      : import_status::kNotAllowed;
}

int StatusOf(const CString& path, LPCWSTR messageClass, int mmsFlag, int flixFlag) {
  MediaType type = TypeOfFile(path.View(), true);
  DWORD kind = media_type::KindOf(type);
  // A voice message takes only what its class allows, markup included.
  if (IsVoiceMailClass(messageClass)) return VoiceMailStatus(type);
  if (type == media_type::kMarkupText) return import_status::kImported;
  if (type == media_type::kNone) return import_status::kNotAllowed;
  if (kind == media_type::kText && !IsGenericAllowed(path.View())) return import_status::kNotAllowed;
  if ((kind == media_type::kImage || kind == media_type::kAudio) && mmsFlag == 0) return import_status::kNoMms;
  if (kind == media_type::kVideo && flixFlag == 0) return import_status::kNoFlix;
  // In free creation mode nothing is refused for content or size.
  if (CurrentCreationMode() != CreationMode::kFree) {
    if (!PassesContentCheck(path, type)) return import_status::kContentRefused;
    if (static_cast<LONG>(FileSize(path)) > ContentClassSizeLimit(ContentClassOf(type))) return import_status::kTooLarge;
  }
  int drm = DrmStatus(path, 1, nullptr);
  if (drm == kDrmForwardRefused || drm == kDrmLocked) return import_status::kProtected;
  return import_status::kImported;
}

}  // namespace

int ImportAttachment(IMessage* hostMessage, HWND parentWindow, LPCWSTR targetFolder, LPCWSTR messageClass,
                     int mmsFlag, int flixFlag) {
  ULC_Global* global = ULC_Global::GetGlobal();
  if (hostMessage == nullptr || targetFolder == nullptr) return import_status::kNothing;
  OpenedAttachment attachment = LastAttachment(hostMessage);
  if (!attachment.attach || attachment.name.IsEmpty()) return import_status::kNothing;
  if (GetFileAttributesW(targetFolder) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(targetFolder, nullptr);
  CString path = FreeFileName(targetFolder, SafeName(attachment.name));
  if (!CopyData(attachment.attach.Get(), path)) return import_status::kNothing;
  path = UnwrapProtected(targetFolder, path, parentWindow);
  MediaType type = TypeOfFile(path.View(), true);
  if (IsConvertedText(type)) MakeTextPart(path);

  int status = StatusOf(path, messageClass, mmsFlag, flixFlag);
  global->importedFile = path;
  if (status == import_status::kNotAllowed || status == import_status::kProtected) {
    DeleteFileW(path);
    global->importedFile.Empty();
  }
  return status;
}
