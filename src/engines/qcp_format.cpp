#include "engines/qcp_format.h"

#include <array>

#include "engines/media_engine_adapter.h"
#include "engines/qcp_reader_abi.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/module_api.h"
#include "platform/text/text_conversion.h"

namespace {

constexpr int32_t kFailure = 32;
constexpr int32_t kEvrcFormat = 48;
constexpr MediaType kQcpType = 0x20006;
constexpr MediaType kEvrcType = 0x20007;

// The C library's stream calls as the reader expects them, over the device's files: the path is in
// the system code page, as the reader gets it.
void* StreamOpen(const char* path, const char*) {
  std::array<WCHAR, MAX_PATH + 1> wide{};
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), MAX_PATH) <= 0) return nullptr;
  HANDLE file = CreateFileW(wide.data(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

int StreamSeek(void* stream, long offset, int origin) {
  DWORD method = origin == 1 ? FILE_CURRENT : origin == 2 ? FILE_END : FILE_BEGIN;
  return SetFilePointer(stream, static_cast<LONG>(offset), nullptr, method) == INVALID_SET_FILE_POINTER ? -1 : 0;
}

size_t StreamRead(void* buffer, size_t size, size_t count, void* stream) {
  if (size == 0 || count > 0x7FFFFFFF / size) return 0;
  DWORD done = 0;
  if (!ReadFile(stream, buffer, static_cast<DWORD>(size * count), &done, nullptr)) return 0;
  return done / size;
}

int StreamClose(void* stream) { return CloseHandle(stream) ? 0 : -1; }

long StreamTell(void* stream) {
  DWORD position = SetFilePointer(stream, 0, nullptr, FILE_CURRENT);
  return position == INVALID_SET_FILE_POINTER ? -1 : static_cast<long>(position);
}

const QcpStreamTable kStreams = {StreamOpen, StreamSeek, StreamRead, StreamClose, StreamTell};

}  // namespace

int32_t GetQcpFormat(LPCWSTR path) {
  if (path == nullptr || path[0] == 0) return kFailure;
  char ansi[MAX_PATH] = {};
  if (WideCharToMultiByte(CP_ACP, 0, path, -1, ansi, MAX_PATH, nullptr, nullptr) <= 0) return kFailure;
  HMODULE library = LoadLibraryW(u"qcp_reader.dll");
  if (library == nullptr) return kFailure;
  auto open = reinterpret_cast<EmQcpOpenFileFn>(GetProcAddressW(library, u"EmQcpOpenFile"));
  auto details = reinterpret_cast<EmQcpGetMediaDetailsFn>(GetProcAddressW(library, u"EmQcpGetMediaDetails"));
  auto close = reinterpret_cast<EmQcpCloseFileFn>(GetProcAddressW(library, u"EmQcpCloseFile"));
  int32_t format = kFailure;
  QcpHandle handle = nullptr;
  if (open != nullptr && details != nullptr && close != nullptr && open(&handle, ansi, &kStreams) && handle != nullptr) {
    QcpMediaDetails media{};
    if (details(handle, &media)) format = media.formatCode;
    close(handle);
  }
  FreeLibrary(library);
  return format;
}

MediaType PlayableAudioType(LPCWSTR path, MediaType type) {
  if (type != kQcpType) return type;
  if (GetQcpFormat(path) == kEvrcFormat && Audio_GetEngineType() == 6) return kEvrcType;
  return type;
}
