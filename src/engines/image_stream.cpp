#include "engines/image_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/drm/drm_service.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/last_error.h"

namespace {

struct OpenArguments {
  DWORD access;
  DWORD share;
  DWORD disposition;
  bool toEnd;
};

OpenArguments ArgumentsOf(int mode) {
  switch (mode) {
    case image_stream_mode::kWrite:
      return {GENERIC_WRITE, 0, CREATE_ALWAYS, false};
    case image_stream_mode::kAppend:
      return {GENERIC_WRITE, 0, OPEN_ALWAYS, true};
    case image_stream_mode::kReadWrite:
      return {GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, false};
    case image_stream_mode::kReadWriteNew:
      return {GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS, false};
    case image_stream_mode::kReadWriteEnd:
      return {GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS, true};
    default:
      return {GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, false};
  }
}

bool IsProtectedMode(int mode) {
  return mode == image_stream_mode::kProtected || mode == image_stream_mode::kProtectedMeasure;
}

// Protected content opens decrypted once the service grants its display right; a refusal is handed
// to the service's error report. Showing the picture uses the right up, measuring it does not.
HANDLE OpenProtected(LPCWSTR path, int mode) {
  HRESULT verified = FileDrmVerifyRights(nullptr, path, kDrmRightDisplay, 0, nullptr);
  if (FAILED(verified)) {
    DWORD answer = 0;
    FileDrmShowError(nullptr, verified, path, 0, &answer);
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE file = FileDrmCreateFile(path, kDrmRightDisplay);
  if (file != INVALID_HANDLE_VALUE && mode == image_stream_mode::kProtected) FileDrmCommitRights(path, kDrmRightDisplay);
  return file;
}

bool IsProtectedContent(LPCWSTR path) {
  BOOL isProtected = FALSE;
  return SUCCEEDED(FileDrmIsDRM(path, &isProtected)) && isProtected;
}

}  // namespace

ImageStream::ImageStream(ImageStreamKind kind) : m_kind(kind) {
  static const ImageCodecStreamOps kOps = {CodecRead, CodecWrite, CodecSeek, CodecTell};
  m_head.base.ops = &kOps;
  m_head.owner = this;
}

ImageStream::~ImageStream() {
  if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
}

std::unique_ptr<ImageStream> ImageStream::OpenFile(LPCWSTR path, int mode) {
  if (path == nullptr || path[0] == 0) return nullptr;
  OpenArguments arguments = ArgumentsOf(mode);
  HANDLE file = IsProtectedMode(mode) && IsProtectedContent(path)
                    ? OpenProtected(path, mode)
                    : CreateFileW(path, arguments.access, arguments.share, nullptr, arguments.disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  std::unique_ptr<ImageStream> stream(new ImageStream(ImageStreamKind::kFile));
  stream->m_file = file;
  if (arguments.toEnd && SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) return nullptr;
  return stream;
}

std::unique_ptr<ImageStream> ImageStream::OpenMemory(std::span<const uint8_t> bytes) {
  std::unique_ptr<ImageStream> stream(new ImageStream(ImageStreamKind::kMemory));
  stream->m_buffer.assign(bytes.begin(), bytes.end());
  return stream;
}

bool ImageStream::Read(void* buffer, DWORD size, DWORD* done) {
  *done = 0;
  if (m_kind == ImageStreamKind::kFile) return ReadFile(m_file, buffer, size, done, nullptr) != FALSE;
  size_t available = m_position < m_buffer.size() ? m_buffer.size() - m_position : 0;
  size_t count = std::min<size_t>(size, available);
  if (count > 0) std::memcpy(buffer, m_buffer.data() + m_position, count);
  m_position += count;
  *done = static_cast<DWORD>(count);
  return true;
}

bool ImageStream::ReadExact(void* buffer, DWORD size) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  DWORD total = 0;
  while (total < size) {
    DWORD done = 0;
    if (!Read(bytes + total, size - total, &done) || done == 0) return false;
    total += done;
  }
  return true;
}

bool ImageStream::Write(const void* buffer, DWORD size) {
  if (m_kind == ImageStreamKind::kFile) {
    DWORD written = 0;
    return WriteFile(m_file, buffer, size, &written, nullptr) != FALSE && written == size;
  }
  if (m_position + size > m_buffer.size()) m_buffer.resize(m_position + size);
  if (size > 0) std::memcpy(m_buffer.data() + m_position, buffer, size);
  m_position += size;
  return true;
}

int ImageStream::Seek(LONG offset, int origin) {
  if (origin < 0 || origin > 2) return -1;
  if (m_kind == ImageStreamKind::kFile) {
    static const DWORD kMethods[3] = {FILE_BEGIN, FILE_END, FILE_CURRENT};
    return SetFilePointer(m_file, offset, nullptr, kMethods[origin]) == INVALID_SET_FILE_POINTER ? -1 : 0;
  }
  int64_t base = origin == 0 ? 0 : origin == 1 ? static_cast<int64_t>(m_buffer.size()) : static_cast<int64_t>(m_position);
  if (base + offset < 0) return -1;
  m_position = static_cast<size_t>(base + offset);
  return 0;
}

LONG ImageStream::Tell() {
  if (m_kind == ImageStreamKind::kFile) {
    DWORD position = SetFilePointer(m_file, 0, nullptr, FILE_CURRENT);
    return position == INVALID_SET_FILE_POINTER ? -1 : static_cast<LONG>(position);
  }
  return static_cast<LONG>(m_position);
}

ImageStream* ImageStream::Self(ImageCodecStream* stream) { return reinterpret_cast<Head*>(stream)->owner; }

int32_t ImageStream::CodecRead(ImageCodecStream* stream, void* buffer, uint32_t size, uint32_t* done) {
  DWORD count = 0;
  bool ok = Self(stream)->Read(buffer, size, &count);
  *done = count;
  return ok ? 0 : -1;
}

int32_t ImageStream::CodecWrite(ImageCodecStream* stream, const void* buffer, uint32_t size) {
  return Self(stream)->Write(buffer, size) ? 0 : -1;
}

int32_t ImageStream::CodecSeek(ImageCodecStream* stream, int32_t offset, int32_t origin) {
  return Self(stream)->Seek(offset, origin);
}

int32_t ImageStream::CodecTell(ImageCodecStream* stream) { return Self(stream)->Tell(); }
