#include "media_input.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/drm/drm_service.h"
#include "platform/kernel/device.h"
#include "platform/kernel/file_api.h"

namespace media_engine {
namespace {

constexpr int kIoBufferBytes = 32 * 1024;
constexpr int64_t kMaxFileBytes = 256ll * 1024 * 1024;
constexpr int kOpenSeconds = 5;
constexpr const char* kDemuxers = "mov,mp3,aac,ogg,wav,amr,amrnb,amrwb,qcp,flac,asf,h263,m4v,h264,matroska";

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

std::vector<uint8_t> ReadSmallFile(const std::filesystem::path& host, size_t maxBytes) {
  std::ifstream file(host, std::ios::binary);
  std::vector<uint8_t> bytes;
  if (!file) return bytes;
  file.seekg(0, std::ios::end);
  std::streamoff size = file.tellg();
  if (size <= 0 || static_cast<size_t>(size) > maxBytes) return bytes;
  file.seekg(0);
  bytes.resize(static_cast<size_t>(size));
  file.read(reinterpret_cast<char*>(bytes.data()), size);
  if (!file) bytes.clear();
  return bytes;
}

std::filesystem::path HostPathOf(const char16_t* devicePath) {
  if (devicePath == nullptr || devicePath[0] == 0) return {};
  auto host = platform::HostPath(devicePath);
  return host ? *host : std::filesystem::path();
}

bool IsProtectedContent(const char16_t* devicePath) {
  BOOL isProtected = FALSE;
  return devicePath != nullptr && SUCCEEDED(FileDrmIsDRM(devicePath, &isProtected)) && isProtected;
}

std::shared_ptr<const std::vector<uint8_t>> ReadProtectedContent(const char16_t* devicePath) {
  if (FAILED(FileDrmVerifyRights(nullptr, devicePath, kDrmRightPlay, 0, nullptr))) return nullptr;
  HANDLE file = FileDrmCreateFile(devicePath, kDrmRightPlay);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  std::vector<uint8_t> bytes;
  const DWORD size = GetFileSize(file, nullptr);
  if (size != INVALID_FILE_SIZE && size > 0 && size <= kMaxSniffBytes) {
    bytes.resize(size);
    DWORD done = 0;
    if (!ReadFile(file, bytes.data(), size, &done, nullptr) || done != size) bytes.clear();
  }
  CloseHandle(file);
  if (bytes.empty()) return nullptr;
  return std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
}

bool SpendPlayRight(const char16_t* devicePath) {
  return SUCCEEDED(FileDrmVerifyRights(nullptr, devicePath, kDrmRightPlay, 0, nullptr)) &&
         SUCCEEDED(FileDrmCommitRights(devicePath, kDrmRightPlay));
}

std::unique_ptr<MediaInput> MediaInput::Open(const std::filesystem::path& host) {
  if (host.empty()) return nullptr;
  std::unique_ptr<MediaInput> input(new MediaInput);
  input->m_file = std::fopen(host.c_str(), "rb");
  if (input->m_file == nullptr) return nullptr;
  if (std::fseek(input->m_file, 0, SEEK_END) != 0) return nullptr;
  input->m_size = std::ftell(input->m_file);
  std::rewind(input->m_file);
  if (input->m_size <= 0 || input->m_size > kMaxFileBytes) return nullptr;
  return input->OpenFormat() ? std::move(input) : nullptr;
}

std::unique_ptr<MediaInput> MediaInput::OpenBytes(std::shared_ptr<const std::vector<uint8_t>> bytes) {
  if (!bytes || bytes->empty() || static_cast<int64_t>(bytes->size()) > kMaxFileBytes) return nullptr;
  std::unique_ptr<MediaInput> input(new MediaInput);
  input->m_size = static_cast<int64_t>(bytes->size());
  input->m_bytes = std::move(bytes);
  return input->OpenFormat() ? std::move(input) : nullptr;
}

bool MediaInput::OpenFormat() {
  MediaInput* input = this;
  auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferBytes));
  if (buffer == nullptr) return false;
  input->m_io = avio_alloc_context(buffer, kIoBufferBytes, 0, input, &MediaInput::Read, nullptr,
                                   &MediaInput::Seek);
  if (input->m_io == nullptr) {
    av_free(buffer);
    return false;
  }
  AVFormatContext* format = avformat_alloc_context();
  if (format == nullptr) return false;
  format->pb = input->m_io;
  format->flags |= AVFMT_FLAG_CUSTOM_IO;
  format->probesize = 1 << 20;
  format->max_analyze_duration = 5 * AV_TIME_BASE;
  // Containers that name other files or addresses (references, playlists) get nothing opened.
  format->io_open = [](AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) { return AVERROR(EPERM); };
  format->interrupt_callback = AVIOInterruptCB{&MediaInput::Interrupt, input};
  input->ExtendDeadline(kOpenSeconds);
  AVDictionary* options = nullptr;
  av_dict_set(&options, "format_whitelist", kDemuxers, 0);
  int result = avformat_open_input(&format, nullptr, nullptr, &options);
  av_dict_free(&options);
  if (result < 0) return false;  // avformat_open_input frees the context on failure
  input->m_format = format;
  if (avformat_find_stream_info(format, nullptr) < 0) return false;
  return true;
}

MediaInput::~MediaInput() {
  if (m_format != nullptr) avformat_close_input(&m_format);
  if (m_io != nullptr) {
    av_freep(&m_io->buffer);
    avio_context_free(&m_io);
  }
  if (m_file != nullptr) std::fclose(m_file);
}

int MediaInput::BestStream(AVMediaType type) const {
  int index = av_find_best_stream(m_format, type, -1, -1, nullptr, 0);
  return index < 0 ? -1 : index;
}

int64_t MediaInput::DurationMs() const {
  if (m_format->duration == AV_NOPTS_VALUE || m_format->duration <= 0) return -1;
  return m_format->duration / 1000;
}

void MediaInput::ExtendDeadline(int seconds) { m_deadline = NowMs() + seconds * 1000ll; }

bool MediaInput::PastDeadline() const { return NowMs() > m_deadline; }

int MediaInput::Read(void* opaque, uint8_t* buffer, int size) {
  auto* input = static_cast<MediaInput*>(opaque);
  if (size <= 0) return 0;
  if (input->m_file == nullptr) {
    const int64_t left = input->m_size - input->m_position;
    const int done = static_cast<int>(std::min<int64_t>(left, size));
    if (done <= 0) return AVERROR_EOF;
    std::memcpy(buffer, input->m_bytes->data() + input->m_position, static_cast<size_t>(done));
    input->m_position += done;
    return done;
  }
  size_t done = std::fread(buffer, 1, static_cast<size_t>(size), input->m_file);
  return done == 0 ? AVERROR_EOF : static_cast<int>(done);
}

int64_t MediaInput::Seek(void* opaque, int64_t offset, int whence) {
  auto* input = static_cast<MediaInput*>(opaque);
  if (whence == AVSEEK_SIZE) return input->m_size;
  whence &= ~AVSEEK_FORCE;
  int origin = whence == SEEK_CUR ? SEEK_CUR : whence == SEEK_END ? SEEK_END : SEEK_SET;
  if (input->m_file == nullptr) {
    const int64_t base = origin == SEEK_CUR ? input->m_position : origin == SEEK_END ? input->m_size : 0;
    if (offset < -base || offset > input->m_size - base) return -1;
    input->m_position = base + offset;
    return input->m_position;
  }
  if (std::fseek(input->m_file, static_cast<long>(offset), origin) != 0) return -1;
  return std::ftell(input->m_file);
}

int MediaInput::Interrupt(void* opaque) { return static_cast<MediaInput*>(opaque)->PastDeadline() ? 1 : 0; }

}  // namespace media_engine
