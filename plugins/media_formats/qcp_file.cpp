#include "qcp_file.h"

#include <cstring>

#include "byte_cursor.h"

namespace media_formats {
namespace {

// Codec GUIDs as stored (Data1..Data3 little-endian, then eight bytes).
constexpr uint8_t kQcelpGuid1[16] = {0x41, 0x6D, 0x7F, 0x5E, 0x15, 0xB1, 0xD0, 0x11,
                                     0xBA, 0x91, 0x00, 0x80, 0x5F, 0xB4, 0xB9, 0x7E};
constexpr uint8_t kQcelpGuid2[16] = {0x42, 0x6D, 0x7F, 0x5E, 0x15, 0xB1, 0xD0, 0x11,
                                     0xBA, 0x91, 0x00, 0x80, 0x5F, 0xB4, 0xB9, 0x7E};
constexpr uint8_t kEvrcGuid[16] = {0x8D, 0xD4, 0x89, 0xE6, 0x76, 0x90, 0xB5, 0x46,
                                   0x91, 0xEF, 0x73, 0x6A, 0x51, 0x00, 0xCE, 0xB4};
constexpr uint8_t kSmvGuid[16] = {0x75, 0x2B, 0x7C, 0x8D, 0x97, 0xA7, 0x49, 0xED,
                                  0x98, 0x5E, 0xD5, 0x3C, 0x8C, 0xC7, 0x5F, 0x84};

// The most packets a data chunk may hold (an hour at 50 packets a second).
constexpr uint32_t kMaxPackets = 180000;

QcpCodec CodecOfGuid(std::span<const uint8_t> guid) {
  if (std::memcmp(guid.data(), kQcelpGuid1, 16) == 0 || std::memcmp(guid.data(), kQcelpGuid2, 16) == 0) {
    return QcpCodec::kQcelp13k;
  }
  if (std::memcmp(guid.data(), kEvrcGuid, 16) == 0) return QcpCodec::kEvrc;
  if (std::memcmp(guid.data(), kSmvGuid, 16) == 0) return QcpCodec::kSmv;
  return QcpCodec::kUnknown;
}

// fmt chunk: major, minor, GUID, version, 80-byte name, average bps, packet size, block size,
// sampling rate, sample size, number of rates and eight (size, octet) pairs.
bool ParseFormat(std::span<const uint8_t> chunk, QcpFile& file) {
  ByteCursor cursor(chunk);
  std::span<const uint8_t> guid;
  uint16_t version = 0, blockSize = 0, sampleSize = 0;
  uint32_t rates = 0;
  if (!cursor.Skip(2) || !cursor.ReadBytes(guid, 16) || !cursor.ReadLe16(version) || !cursor.Skip(80) ||
      !cursor.ReadLe16(file.averageBps) || !cursor.ReadLe16(file.packetSize) || !cursor.ReadLe16(blockSize) ||
      !cursor.ReadLe16(file.samplingRate) || !cursor.ReadLe16(sampleSize) || !cursor.ReadLe32(rates)) {
    return false;
  }
  file.codec = CodecOfGuid(guid);
  if (rates > 8) return false;
  for (uint32_t i = 0; i < 8; ++i) {
    uint8_t size = 0, octet = 0;
    if (!cursor.ReadU8(size) || !cursor.ReadU8(octet)) return false;
    if (i < rates && octet < file.rateSizes.size()) file.rateSizes[octet] = size;
  }
  return true;
}

}  // namespace

int32_t QcpFile::FormatCode() const {
  switch (codec) {
    case QcpCodec::kQcelp13k: return qcp_format::kQcelp13k;
    case QcpCodec::kEvrc: return qcp_format::kEvrc;
    case QcpCodec::kSmv: return qcp_format::kSmv;
    case QcpCodec::kUnknown: break;
  }
  return qcp_format::kFailure;
}

QcpStatus ParseQcp(std::span<const uint8_t> bytes, QcpFile& file) {
  file = QcpFile{};
  ByteCursor cursor(bytes);
  uint32_t riff = 0, riffSize = 0, form = 0;
  if (!cursor.ReadBe32(riff) || !cursor.ReadLe32(riffSize) || !cursor.ReadBe32(form) || riff != 0x52494646 ||
      form != 0x514C434D) {
    return QcpStatus::kNotQcp;
  }
  if (riffSize < 4 || riffSize > bytes.size() - 8) return QcpStatus::kSizeLies;
  ByteCursor body(bytes.subspan(12, riffSize - 4));
  bool haveFormat = false, haveData = false;
  while (body.remaining() >= 8) {
    uint32_t id = 0, size = 0;
    std::span<const uint8_t> chunk;
    body.ReadBe32(id);
    body.ReadLe32(size);
    if (!body.ReadBytes(chunk, size)) return QcpStatus::kSizeLies;
    if (size % 2 == 1) body.Skip(1);
    if (id == 0x666D7420 && !haveFormat) {  // "fmt "
      if (!ParseFormat(chunk, file)) return QcpStatus::kNoFormat;
      haveFormat = true;
    } else if (id == 0x76726174) {  // "vrat"
      ByteCursor vrat(chunk);
      uint32_t flag = 0;
      if (vrat.ReadLe32(flag)) file.variableRate = flag != 0;
    } else if (id == 0x64617461 && !haveData) {  // "data"
      file.data = chunk;
      haveData = true;
    }
  }
  if (!haveFormat || file.codec == QcpCodec::kUnknown) return QcpStatus::kNoFormat;
  if (!haveData) return QcpStatus::kNoData;
  if (!file.variableRate && file.packetSize == 0) return QcpStatus::kNoFormat;
  QcpPacketReader reader(file);
  QcpPacket packet;
  uint32_t count = 0;
  while (count < kMaxPackets && reader.Next(packet)) ++count;
  file.packetCount = count;
  return count > 0 ? QcpStatus::kOk : QcpStatus::kBadPacket;
}

bool QcpPacketReader::Next(QcpPacket& packet) {
  ByteCursor cursor(m_file.data);
  if (!cursor.Seek(m_offset)) return false;
  if (!m_file.variableRate) {
    std::span<const uint8_t> data;
    if (!cursor.ReadBytes(data, m_file.packetSize)) return false;
    packet = QcpPacket{1, data};
    m_offset = cursor.position();
    return true;
  }
  uint8_t rate = 0;
  if (!cursor.ReadU8(rate) || rate >= m_file.rateSizes.size()) return false;
  std::span<const uint8_t> data;
  if (rate != 0) {
    if (m_file.rateSizes[rate] == 0 || !cursor.ReadBytes(data, m_file.rateSizes[rate])) return false;
  }
  packet = QcpPacket{rate, data};
  m_offset = cursor.position();
  return true;
}

}  // namespace media_formats
