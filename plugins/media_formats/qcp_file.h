// QCP files (RIFF "QLCM", RFC 3625): the codec named by the GUID of the "fmt " chunk, the rate map,
// and the packets of the "data" chunk. A file whose RIFF or chunk sizes claim more than is there is
// refused, and nothing past a chunk's declared size is read.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace media_formats {

enum class QcpCodec { kUnknown, kQcelp13k, kEvrc, kSmv };

// The format codes reported for each codec; 48 for EVRC is what the module's type rule tests.
namespace qcp_format {
constexpr int32_t kQcelp13k = 47;
constexpr int32_t kEvrc = 48;
constexpr int32_t kSmv = 49;
constexpr int32_t kFailure = 32;
}  // namespace qcp_format

struct QcpPacket {
  uint8_t rate = 0;  // the rate octet; 0 is a blank packet that carries no data
  std::span<const uint8_t> data;  // the packet's bytes after the rate octet
};

struct QcpFile {
  QcpCodec codec = QcpCodec::kUnknown;
  uint16_t averageBps = 0;
  uint16_t packetSize = 0;  // fixed-rate files: bytes per packet; 0 for variable rate
  uint16_t samplingRate = 0;
  std::array<uint8_t, 8> rateSizes{};  // data bytes after the rate octet, by rate octet (0 unknown)
  bool variableRate = false;
  std::span<const uint8_t> data;  // the data chunk
  uint32_t packetCount = 0;  // packets found in the data chunk, blank ones included

  int32_t FormatCode() const;
  // 20 ms per packet.
  uint32_t DurationMs() const { return packetCount * 20; }
};

enum class QcpStatus { kOk, kNotQcp, kSizeLies, kNoFormat, kNoData, kBadPacket };

// Parses the whole file; on success every packet of the data chunk has been walked once.
QcpStatus ParseQcp(std::span<const uint8_t> bytes, QcpFile& file);

// Walks the packets of a parsed file in order; false at the end or at a packet that does not fit.
class QcpPacketReader {
 public:
  explicit QcpPacketReader(const QcpFile& file) : m_file(file) {}
  bool Next(QcpPacket& packet);

 private:
  const QcpFile& m_file;
  size_t m_offset = 0;
};

}  // namespace media_formats
