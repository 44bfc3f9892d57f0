// "qcp_reader.dll": QCP files read through the caller's stream functions and parsed by our RIFF
// QLCM reader, which refuses sizes that claim more than the file holds.
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "engines/qcp_reader_abi.h"
#include "qcp_file.h"

#define QCP_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct QcpReader {
  std::vector<uint8_t> bytes;
  media_formats::QcpFile file;
};

// The whole stream, or nothing when it is empty, too large or short of what it claimed.
bool ReadAll(const QcpStreamTable& table, void* stream, std::vector<uint8_t>& bytes) {
  if (table.seek(stream, 0, SEEK_END) != 0) return false;
  long size = table.tell(stream);
  if (size <= 0 || static_cast<unsigned long>(size) > QCP_READER_MAX_BYTES || table.seek(stream, 0, SEEK_SET) != 0) {
    return false;
  }
  bytes.resize(static_cast<size_t>(size));
  return table.read(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

}  // namespace

QCP_EXPORT int32_t EmQcpOpenFile(QcpHandle* handle, const char* path, const QcpStreamTable* table) {
  if (handle == nullptr) return 0;
  *handle = nullptr;
  if (path == nullptr || table == nullptr || !table->open || !table->seek || !table->read || !table->close ||
      !table->tell) {
    return 0;
  }
  void* stream = table->open(path, "rb");
  if (stream == nullptr) return 0;
  auto reader = std::unique_ptr<QcpReader>(new (std::nothrow) QcpReader);
  bool read = reader && ReadAll(*table, stream, reader->bytes);
  table->close(stream);
  if (!read || media_formats::ParseQcp(reader->bytes, reader->file) != media_formats::QcpStatus::kOk) return 0;
  *handle = reader.release();
  return 1;
}

QCP_EXPORT int32_t EmQcpGetMediaDetails(QcpHandle handle, QcpMediaDetails* details) {
  if (handle == nullptr || details == nullptr) return 0;
  const media_formats::QcpFile& file = static_cast<QcpReader*>(handle)->file;
  *details = QcpMediaDetails{file.DurationMs(), file.packetCount, file.FormatCode(), file.samplingRate,
                             file.averageBps};
  return 1;
}

QCP_EXPORT int32_t EmQcpCloseFile(QcpHandle handle) {
  delete static_cast<QcpReader*>(handle);
  return 1;
}
