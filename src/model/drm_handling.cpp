#include "model/drm_handling.h"

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "model/device_file.h"
#include "model/media_types.h"
#include "platform/drm/drm_service.h"
#include "platform/kernel/file_api.h"
#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"

namespace {

constexpr std::string_view kMessageType = "application/vnd.oma.drm.message";
constexpr std::string_view kContentType = "application/vnd.oma.drm.content";
constexpr std::string_view kMessageHeader = "Content-Type: application/vnd.oma.drm.message";
constexpr std::string_view kContentHeader = "Content-Type: application/vnd.oma.drm.content";
constexpr std::string_view kBlankLine = "\r\n\r\n";
// DRM objects in a message are pictures, sounds and videos: far below this.
constexpr std::size_t kMaxObject = 64u << 20;

constexpr const WCHAR* kUnwrappedName = u"tyrtemp.drm";
constexpr const WCHAR* kWithHeaderName = u"tyrtempheader.drm";

bool DrmSupported() { return GetConfigValue(numeric_setting::kIsSupportDrm) != 0; }

std::string_view HeaderOf(int kind) {
  if (kind == kDrmKindMessage || kind == kDrmKindCombinedMessage) return kMessageHeader;
  if (kind == kDrmKindContent) return kContentHeader;
  return {};
}

using platform::EqualsNoCase;

}  // namespace

int DrmStatus(LPCWSTR file, int mode, HWND owner) {
  if (file == nullptr || !DrmSupported()) return kDrmNotProtected;
  if (GetFileAttributesW(file) == INVALID_FILE_ATTRIBUTES) return kDrmNotProtected;
  BOOL isProtected = FALSE;
  if (FAILED(FileDrmIsDRM(file, &isProtected)) || !isProtected) return kDrmNotProtected;
  DWORD status = 0;
  HRESULT result = FileDrmVerifyRights(owner, file, kDrmRightForward, mode == 0 ? 1 : 0, &status);
  return FAILED(result) ? kDrmForwardRefused : kDrmForwardGranted;
}

bool MayUse(LPCWSTR file) {
  if (DrmStatus(file, 1, nullptr) == kDrmNotProtected) return true;
  DWORD kind = media_type::KindOf(TypeOfFile(file, false));
  DWORD right = kind == media_type::kImage                                 ? kDrmRightDisplay
                : kind == media_type::kAudio || kind == media_type::kVideo ? kDrmRightPlay
                                                                           : 0;
  if (right == 0) return false;
  DWORD status = 0;
  return SUCCEEDED(FileDrmVerifyRights(nullptr, file, right, 0, &status));
}

DrmKind DrmKindOfContentType(std::string_view contentType) {
  std::string_view bare = contentType.substr(0, contentType.find(';'));
  while (!bare.empty() && bare.back() == ' ') bare.remove_suffix(1);
  if (EqualsNoCase(bare, kMessageType)) return kDrmKindMessage;
  if (EqualsNoCase(bare, kContentType)) return kDrmKindContent;
  return kDrmKindNone;
}

bool IsDrmContentType(std::string_view contentType) { return DrmKindOfContentType(contentType) != kDrmKindNone; }

bool AddDrmHeader(LPCWSTR file, int kind) {
  std::string_view header = HeaderOf(kind);
  if (file == nullptr || header.empty() || !DrmSupported()) return false;
  FileReadResult read = ReadDeviceFile(file, kMaxObject);
  if (read.status != FileReadStatus::kOk || read.bytes.starts_with(header)) return false;
  std::string_view data = read.bytes;
  while (data.starts_with("\r\n")) data.remove_prefix(2);
  std::string rewritten;
  rewritten.reserve(header.size() + kBlankLine.size() + data.size());
  rewritten.append(header).append(kBlankLine).append(data);
  return WriteDeviceFile(file, rewritten);
}

bool StripDrmHeader(LPCWSTR file, int kind) {
  std::string_view header = HeaderOf(kind);
  if (file == nullptr || header.empty() || !DrmSupported()) return false;
  FileReadResult read = ReadDeviceFile(file, kMaxObject);
  if (read.status != FileReadStatus::kOk || !read.bytes.starts_with(header)) return false;
  std::string_view rest = std::string_view(read.bytes).substr(header.size());
  if (rest.starts_with(kBlankLine)) rest.remove_prefix(kBlankLine.size());
  return WriteDeviceFile(file, rest);
}

bool UnwrapDrm(LPCWSTR folder, LPCWSTR name, std::string& contentTypeOut, std::string_view contentType, HWND owner) {
  contentTypeOut.clear();
  if (folder == nullptr || name == nullptr || !DrmSupported()) return false;
  DrmKind kind = DrmKindOfContentType(contentType);
  CString received = CString(folder) + name;
  CString withHeader = CString(folder) + kWithHeaderName;
  CString unwrapped = CString(folder) + kUnwrappedName;
  if (!CopyFileW(received, withHeader, FALSE)) return false;
  AddDrmHeader(withHeader, kind);
  WCHAR innerType[MAX_PATH + 1] = {};
  HRESULT result = FileDrmStoreContent(withHeader, unwrapped, nullptr, innerType, MAX_PATH + 1);
  DeleteFileW(withHeader);
  if (FAILED(result)) {
    DWORD answer = 0;
    FileDrmShowError(owner, result, received, 0, &answer);
    DeleteFileW(unwrapped);
    return false;
  }
  // The received file is set aside, not deleted, until the unwrapped one has taken its name.
  CString setAside = received + u".received";
  DeleteFileW(setAside);
  if (!MoveFileW(received, setAside)) {
    DeleteFileW(unwrapped);
    return false;
  }
  if (!MoveFileW(unwrapped, received)) {
    MoveFileW(setAside, received);
    DeleteFileW(unwrapped);
    return false;
  }
  DeleteFileW(setAside);
  contentTypeOut = platform::Utf16ToUtf8(innerType);
  return true;
}

void SetDrmContext(DWORD active, HWND window, int flag) { ULC_Global::GetGlobal()->SetDrmContext(active, window, flag); }
