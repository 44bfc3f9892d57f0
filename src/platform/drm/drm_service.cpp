#include "platform/drm/drm_service.h"

#include <fstream>
#include <optional>

#include "platform/drm/content_cipher.h"
#include "platform/drm/dcf_file.h"
#include "platform/drm/drm_message.h"
#include "platform/drm/rights_database.h"
#include "platform/internal/file_object.h"
#include "platform/kernel/debug_output.h"
#include "platform/kernel/device.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/last_error.h"
#include "platform/text/text_conversion.h"

namespace {

namespace fs = std::filesystem;
using namespace platform::drm;

constexpr std::uintmax_t kMaxObject = 64ull << 20;
constexpr std::string_view kMessageHeader = "Content-Type: application/vnd.oma.drm.message\r\n\r\n";
constexpr std::string_view kContentHeader = "Content-Type: application/vnd.oma.drm.content\r\n\r\n";

// The whole file in one read (a byte-at-a-time copy of a camera picture costs more than decoding it).
std::optional<std::string> ReadDeviceFile(LPCWSTR path) {
  if (path == nullptr) return std::nullopt;
  auto host = platform::HostPath(path);
  std::error_code error;
  if (!host || !fs::is_regular_file(*host, error)) return std::nullopt;
  const std::uintmax_t size = fs::file_size(*host, error);
  if (error || size > kMaxObject) return std::nullopt;
  std::ifstream in(*host, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

// Whether the file starts as a content file does (its version byte); anything else is opened as
// it is without being read first.
bool StartsLikeDcf(LPCWSTR path) {
  auto host = path ? platform::HostPath(path) : std::nullopt;
  if (!host) return false;
  std::ifstream in(*host, std::ios::binary);
  char version = 0;
  return in.get(version) && version == 1;
}

// Writes beside the target and renames, so that a failure leaves no half-written file.
bool WriteDeviceFile(LPCWSTR path, std::string_view bytes) {
  auto host = path ? platform::HostPath(path) : std::nullopt;
  if (!host) return false;
  fs::path temporary = *host;
  temporary += ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  fs::rename(temporary, *host, error);
  return !error;
}

// Every picture shown or resized is asked about first, so a file whose first byte already rules it
// out is not read whole: that would cost more than decoding a camera picture.
std::optional<DcfFile> ReadDcf(LPCWSTR file) {
  if (!StartsLikeDcf(file)) return std::nullopt;
  auto bytes = ReadDeviceFile(file);
  if (!bytes) return std::nullopt;
  return ParseDcf(*bytes, nullptr);
}

bool Granted(const ContentRights& rights, DWORD right) {
  if (right == kDrmRightForward) return rights.delivery == Delivery::kSeparate;
  if (!rights.rightsKnown || rights.key.empty()) return false;
  const Permission& permission = right == kDrmRightPlay ? rights.play : rights.display;
  return permission.granted && permission.count != 0;
}

HRESULT CopyContentType(const std::string& type, LPWSTR out, DWORD length) {
  std::u16string wide = platform::Utf8ToUtf16(type);
  if (out == nullptr || wide.size() + 1 > length) return E_INVALIDARG;
  std::copy(wide.begin(), wide.end(), out);
  out[wide.size()] = 0;
  return S_OK;
}

std::string RandomName() {
  static const char kHex[] = "0123456789abcdef";
  std::string name;
  for (char c : RandomBytes(8)) {
    name += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
    name += kHex[c & 0xF];
  }
  return name;
}

// A received DRM message: the content is encrypted under a new key kept in the rights database.
HRESULT StoreMessage(std::string_view body, LPCWSTR outputFile, DcfFile* stored) {
  std::string why;
  auto message = ParseDrmMessage(body, &why);
  if (!message) return kDrmErrorBadObject;
  ContentRights rights;
  rights.key = RandomBytes(kKeySize);
  rights.uri = "cid:" + (message->contentId.empty() ? RandomName() + "@device" : message->contentId);
  if (message->rightsXml) {
    auto object = ParseRightsObject(*message->rightsXml, &why);
    if (!object) return kDrmErrorBadObject;
    rights.delivery = Delivery::kCombined;
    rights.display = object->display;
    rights.play = object->play;
    rights.uri = object->uid;
  } else {
    rights.delivery = Delivery::kForwardLock;
    rights.display = Permission{true, -1};
    rights.play = Permission{true, -1};
  }
  rights.rightsKnown = true;
  if (rights.key.size() != kKeySize || rights.uri.size() > 255 || message->contentType.size() > 255) {
    return E_FAIL;
  }
  auto cipher = EncryptContent(rights.key, message->content);
  if (!cipher) return E_FAIL;
  stored->contentType = message->contentType;
  stored->contentUri = rights.uri;
  stored->headers = "Encryption-Method: AES128CBC;padding=RFC2630\r\n";
  stored->data = std::move(*cipher);
  RightsDatabase* database = RightsDatabase::ForCurrentDevice();
  if (database == nullptr || !database->Store(rights)) return E_FAIL;
  return WriteDeviceFile(outputFile, EncodeDcf(*stored)) ? S_OK : E_FAIL;
}

// A received protected content file (separate delivery): kept as it is; its rights come on their own.
HRESULT StoreContentFile(std::string_view body, LPCWSTR outputFile, DcfFile* stored) {
  auto file = ParseDcf(body, nullptr);
  if (!file) return kDrmErrorBadObject;
  RightsDatabase* database = RightsDatabase::ForCurrentDevice();
  if (database == nullptr) return E_FAIL;
  if (!database->Find(file->contentUri)) {
    ContentRights pending;
    pending.uri = file->contentUri;
    pending.delivery = Delivery::kSeparate;
    if (!database->Store(pending)) return E_FAIL;
  }
  *stored = *file;
  return WriteDeviceFile(outputFile, body) ? S_OK : E_FAIL;
}

}  // namespace

HRESULT FileDrmIsDRM(LPCWSTR file, BOOL* isProtected) {
  if (isProtected == nullptr) return E_INVALIDARG;
  *isProtected = ReadDcf(file).has_value() ? TRUE : FALSE;
  return S_OK;
}

HRESULT FileDrmVerifyRights(HWND, LPCWSTR file, DWORD right, DWORD, DWORD* status) {
  if (status) *status = 0;
  auto dcf = ReadDcf(file);
  if (!dcf) return kDrmErrorNotProtected;
  RightsDatabase* database = RightsDatabase::ForCurrentDevice();
  auto rights = database ? database->Find(dcf->contentUri) : std::nullopt;
  // Content the device has never seen was delivered separately: it may travel, but not be shown.
  ContentRights unknown;
  unknown.delivery = Delivery::kSeparate;
  if (!Granted(rights ? *rights : unknown, right)) return kDrmErrorNoRights;
  if (status) *status = right;
  return S_OK;
}

HRESULT FileDrmStoreContent(LPCWSTR headerFile, LPCWSTR outputFile, LPVOID, LPWSTR contentType, DWORD length) {
  auto bytes = ReadDeviceFile(headerFile);
  if (!bytes) return E_FAIL;
  std::string_view body = *bytes;
  DcfFile stored;
  HRESULT result;
  if (body.starts_with(kMessageHeader)) {
    result = StoreMessage(body.substr(kMessageHeader.size()), outputFile, &stored);
  } else if (body.starts_with(kContentHeader)) {
    result = StoreContentFile(body.substr(kContentHeader.size()), outputFile, &stored);
  } else {
    result = kDrmErrorBadObject;
  }
  if (FAILED(result)) return result;
  return CopyContentType(stored.contentType, contentType, length);
}

HRESULT FileDrmShowError(HWND, HRESULT result, LPCWSTR file, DWORD, DWORD* answer) {
  if (answer) *answer = 0;
  const char* why = result == kDrmErrorBadObject    ? "the protected object is damaged"
                    : result == kDrmErrorNoRights   ? "there are no rights for this object"
                    : result == kDrmErrorNotProtected ? "the object is not protected"
                                                 : "the protected object cannot be stored";
  platform::DebugPrint("DRM: %s: %s (0x%08x)\n", file ? platform::Utf16ToUtf8(file).c_str() : "", why,
                       static_cast<unsigned>(result));
  return S_OK;
}

HRESULT FileDrmCreateForwardableContent(LPCWSTR file, DWORD, LPCWSTR outputFile) {
  auto bytes = ReadDeviceFile(file);
  if (!bytes) return E_FAIL;
  auto dcf = ParseDcf(*bytes, nullptr);
  if (!dcf) return kDrmErrorNotProtected;
  if (FAILED(FileDrmVerifyRights(nullptr, file, kDrmRightForward, 0, nullptr))) return kDrmErrorNoRights;
  return WriteDeviceFile(outputFile, *bytes) ? S_OK : E_FAIL;
}

HRESULT FileDrmCommitRights(LPCWSTR file, DWORD right) {
  auto dcf = ReadDcf(file);
  if (!dcf) return kDrmErrorNotProtected;
  if (FAILED(FileDrmVerifyRights(nullptr, file, right, 0, nullptr))) return kDrmErrorNoRights;
  RightsDatabase* database = RightsDatabase::ForCurrentDevice();
  auto rights = database ? database->Find(dcf->contentUri) : std::nullopt;
  if (!rights) return kDrmErrorNoRights;
  const Permission& permission = right == kDrmRightPlay ? rights->play : rights->display;
  if (permission.count < 0) return S_OK;
  return database->ConsumeUse(dcf->contentUri, right == kDrmRightPlay) ? S_OK : kDrmErrorNoRights;
}

HANDLE FileDrmCreateFile(LPCWSTR file, DWORD right) {
  if (!StartsLikeDcf(file)) return CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  auto bytes = ReadDeviceFile(file);
  if (!bytes) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto dcf = ParseDcf(*bytes, nullptr);
  if (!dcf) return CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  RightsDatabase* database = RightsDatabase::ForCurrentDevice();
  auto rights = database ? database->Find(dcf->contentUri) : std::nullopt;
  std::optional<std::string> plain;
  if (rights && Granted(*rights, right)) plain = DecryptContent(rights->key, dcf->data);
  if (!plain) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return platform::internal::RegisterKernelObject(new platform::internal::MemoryFile(std::move(*plain)));
}

namespace platform {

bool InstallRightsObject(std::string_view xml, std::string* error) {
  auto object = drm::ParseRightsObject(xml, error);
  if (!object) return false;
  if (!object->key) {
    if (error) *error = "the rights carry no key";
    return false;
  }
  RightsDatabase* database = RightsDatabase::ForCurrentDevice();
  if (database == nullptr) {
    if (error) *error = "the rights database cannot be opened";
    return false;
  }
  ContentRights rights;
  rights.uri = object->uid;
  rights.key = *object->key;
  rights.delivery = Delivery::kSeparate;
  rights.rightsKnown = true;
  rights.display = object->display;
  rights.play = object->play;
  return database->Store(rights);
}

}  // namespace platform
