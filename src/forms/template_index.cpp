#include "forms/template_index.h"

#include <optional>
#include <string_view>

namespace {

// The index bytes and a read position that only moves forward within them.
class IndexCursor {
 public:
  explicit IndexCursor(std::span<const std::uint8_t> data) : m_data(data) {}

  std::size_t Position() const { return m_position; }
  std::size_t Remaining() const { return m_data.size() - m_position; }

  std::optional<std::uint32_t> ReadU32() {
    if (Remaining() < 4) return std::nullopt;
    const std::uint8_t* p = m_data.data() + m_position;
    m_position += 4;
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  }

  std::optional<std::span<const std::uint8_t>> ReadBytes(std::size_t count) {
    if (Remaining() < count) return std::nullopt;
    std::span<const std::uint8_t> bytes = m_data.subspan(m_position, count);
    m_position += count;
    return bytes;
  }

  bool SeekTo(std::size_t position) {
    if (position > m_data.size()) return false;
    m_position = position;
    return true;
  }

 private:
  std::span<const std::uint8_t> m_data;
  std::size_t m_position = 0;
};

// UTF-16LE characters from `offset` of the strings, up to a null, `bytes` or the strings' end.
CString StringAt(std::span<const std::uint8_t> strings, std::size_t offset, std::size_t bytes) {
  if (bytes == 0 || offset >= strings.size()) return CString();
  const std::size_t end = std::min(strings.size(), offset + bytes);
  std::u16string text;
  for (std::size_t i = offset; i + 1 < end; i += 2) {
    const char16_t c = static_cast<char16_t>(strings[i] | strings[i + 1] << 8);
    if (c == 0) break;
    text += c;
  }
  return CString(text);
}

TemplateIndexParse Failure(TemplateIndexStatus status, std::size_t offset) {
  TemplateIndexParse parse;
  parse.status = status;
  parse.offset = offset;
  return parse;
}

void PutU32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::uint32_t StringBytes(const CString& text) {
  return text.IsEmpty() ? 0 : static_cast<std::uint32_t>((text.GetLength() + 1) * 2);
}

void PutString(std::string& out, const CString& text) {
  if (text.IsEmpty()) return;
  for (char16_t c : text.View()) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  out.append(2, '\0');
}

}  // namespace

TemplateIndexParse ParseTemplateIndex(std::span<const std::uint8_t> data) {
  if (data.size() > kMaxTemplateIndexSize) return Failure(TemplateIndexStatus::kTooLarge, kMaxTemplateIndexSize);
  IndexCursor cursor(data);
  const auto version = cursor.ReadU32();
  const auto count = cursor.ReadU32();
  const auto running = cursor.ReadU32();
  const auto first = cursor.ReadU32();
  if (!first) return Failure(TemplateIndexStatus::kTruncated, data.size());
  if (*version != kTemplateIndexVersion) return Failure(TemplateIndexStatus::kWrongVersion, 0);
  if (*first < kTemplateIndexHeadSize || !cursor.SeekTo(*first)) return Failure(TemplateIndexStatus::kBadOffset, 12);
  // Every record takes at least 20 bytes: a count the rest of the file cannot hold is a lie.
  if (*count > kMaxTemplateEntries || *count > cursor.Remaining() / 20) {
    return Failure(TemplateIndexStatus::kTooManyEntries, 4);
  }
  TemplateIndexParse parse;
  parse.index.runningNumber = *running;
  for (std::uint32_t i = 0; i < *count; ++i) {
    const std::size_t start = cursor.Position();
    const auto size = cursor.ReadU32();
    const auto messageBytes = cursor.ReadU32();
    const auto previewBytes = cursor.ReadU32();
    const auto nameBytes = cursor.ReadU32();
    if (!nameBytes) return Failure(TemplateIndexStatus::kTruncated, start);
    const std::uint64_t counted = std::uint64_t{*messageBytes} + *previewBytes + *nameBytes;
    if (*size < 20 || *size > kMaxTemplateRecordSize || counted != *size - 20) {
      return Failure(TemplateIndexStatus::kBadRecordSize, start);
    }
    const auto strings = cursor.ReadBytes(*size - 20);
    const auto flag = strings ? cursor.ReadU32() : std::nullopt;
    if (!flag) return Failure(TemplateIndexStatus::kTruncated, start);
    TemplateEntry entry;
    entry.messageFile = StringAt(*strings, 0, *messageBytes);
    entry.previewFile = StringAt(*strings, *messageBytes & ~1u, *previewBytes);
    entry.name = StringAt(*strings, static_cast<std::size_t>((*messageBytes + *previewBytes) / 2) * 2, *nameBytes);
    entry.flag = *flag;
    parse.index.entries.push_back(std::move(entry));
  }
  return parse;
}

std::string SerializeTemplateIndex(const TemplateIndex& index) {
  std::string out;
  PutU32(out, kTemplateIndexVersion);
  PutU32(out, static_cast<std::uint32_t>(index.entries.size()));
  PutU32(out, index.runningNumber);
  PutU32(out, kTemplateIndexHeadSize);
  for (const TemplateEntry& entry : index.entries) {
    const std::uint32_t messageBytes = StringBytes(entry.messageFile);
    const std::uint32_t previewBytes = StringBytes(entry.previewFile);
    const std::uint32_t nameBytes = StringBytes(entry.name);
    PutU32(out, 20 + messageBytes + previewBytes + nameBytes);
    PutU32(out, messageBytes);
    PutU32(out, previewBytes);
    PutU32(out, nameBytes);
    PutString(out, entry.messageFile);
    PutString(out, entry.previewFile);
    PutString(out, entry.name);
    PutU32(out, entry.flag);
  }
  return out;
}
