#include "mm1/wsp_cursor.h"

#include <cstring>

namespace mm1 {
namespace {

constexpr std::uint8_t kQuote = 0x7F;         // prefixes a Text-string whose first octet is >= 128
constexpr std::uint8_t kQuotedStringMark = 0x22;
constexpr std::uint8_t kLengthQuote = 31;     // Value-length: a uintvar length follows
constexpr std::size_t kMaxUintvarOctets = 5;  // 5 x 7 bits covers every 32-bit length
constexpr std::size_t kMaxLongIntegerOctets = 8;

}  // namespace

Result<std::uint8_t> WspCursor::PeekU8() const {
  if (AtEnd()) return Fail("unexpected end of data");
  return m_data[m_position];
}

Result<std::uint8_t> WspCursor::ReadU8() {
  if (AtEnd()) return Fail("unexpected end of data");
  return m_data[m_position++];
}

Result<std::span<const std::uint8_t>> WspCursor::ReadBytes(std::size_t count) {
  if (count > Remaining()) return Fail("length runs past the end of the data");
  auto bytes = m_data.subspan(m_position, count);
  m_position += count;
  return bytes;
}

Result<WspCursor> WspCursor::Split(std::size_t count) {
  std::size_t start = Offset();
  auto bytes = ReadBytes(count);
  if (!bytes) return bytes.Failure();
  return WspCursor(bytes.Value(), start);
}

// Uintvar: 1 to 5 octets, 7 bits each, most significant first; the high bit of every octet but
// the last is set. The value must fit 32 bits.
Result<std::uint32_t> WspCursor::ReadUintvar() {
  std::size_t start = Offset();
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < kMaxUintvarOctets; ++i) {
    auto octet = ReadU8();
    if (!octet) return Error{"truncated uintvar", start};
    value = (value << 7) | (octet.Value() & 0x7F);
    if ((octet.Value() & 0x80) == 0) {
      if (value > 0xFFFFFFFFu) return Error{"uintvar exceeds 32 bits", start};
      return static_cast<std::uint32_t>(value);
    }
  }
  return Error{"uintvar longer than five octets", start};
}

// Value-length = Short-length (0..30) | Length-quote (31) Length (uintvar). The length must fit
// in what is left of the data.
Result<std::size_t> WspCursor::ReadValueLength() {
  std::size_t start = Offset();
  auto first = ReadU8();
  if (!first) return first.Failure();
  std::size_t length = first.Value();
  if (length == kLengthQuote) {
    auto longLength = ReadUintvar();
    if (!longLength) return longLength.Failure();
    length = longLength.Value();
  } else if (length > kLengthQuote) {
    return Error{"value length expected", start};
  }
  if (length > Remaining()) return Error{"value length runs past the end of the data", start};
  return length;
}

// Short-integer = OCTET with the high bit set; the value is the low seven bits.
Result<std::uint8_t> WspCursor::ReadShortInteger() {
  std::size_t start = Offset();
  auto octet = ReadU8();
  if (!octet) return octet.Failure();
  if ((octet.Value() & 0x80) == 0) return Error{"short integer expected", start};
  return static_cast<std::uint8_t>(octet.Value() & 0x7F);
}

// Long-integer = Short-length Multi-octet-integer (1..30 octets, big-endian); we take up to 8.
Result<std::uint64_t> WspCursor::ReadLongInteger() {
  std::size_t start = Offset();
  auto length = ReadU8();
  if (!length) return length.Failure();
  if (length.Value() == 0 || length.Value() > kMaxLongIntegerOctets) return Error{"bad long integer length", start};
  auto bytes = ReadBytes(length.Value());
  if (!bytes) return Error{"truncated long integer", start};
  std::uint64_t value = 0;
  for (std::uint8_t octet : bytes.Value()) value = (value << 8) | octet;
  return value;
}

// Integer-value = Short-integer | Long-integer.
Result<std::uint64_t> WspCursor::ReadIntegerValue() {
  auto first = PeekU8();
  if (!first) return first.Failure();
  if (first.Value() & 0x80) {
    auto shortValue = ReadShortInteger();
    if (!shortValue) return shortValue.Failure();
    return std::uint64_t{shortValue.Value()};
  }
  return ReadLongInteger();
}

Result<std::string> WspCursor::ReadUntilNul(std::string_view what) {
  std::size_t start = Offset();
  auto rest = Rest();
  const void* nul = std::memchr(rest.data(), 0, rest.size());
  if (nul == nullptr) return Error{std::string(what) + " is not terminated", start};
  std::size_t length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - rest.data());
  std::string text(reinterpret_cast<const char*>(rest.data()), length);
  m_position += length + 1;
  return text;
}

// Text-string = [Quote] *TEXT End-of-string. The quote octet (127) only marks text whose first
// octet has the high bit set; it is not part of the text.
Result<std::string> WspCursor::ReadTextString() {
  auto first = PeekU8();
  if (!first) return first.Failure();
  if (first.Value() == kQuote) ++m_position;
  return ReadUntilNul("text string");
}

// Token-text = Token End-of-string; the first octet is a printable character (32..126).
Result<std::string> WspCursor::ReadTokenText() {
  auto first = PeekU8();
  if (!first) return first.Failure();
  if (first.Value() < 32 || first.Value() >= kQuote) return Fail("token text expected");
  return ReadUntilNul("token text");
}

// Quoted-string = <Octet 34> *TEXT End-of-string. Some encoders leave out the opening quote; the
// text is taken either way, without the quote.
Result<std::string> WspCursor::ReadQuotedString() {
  auto first = PeekU8();
  if (!first) return first.Failure();
  if (first.Value() == kQuotedStringMark) ++m_position;
  return ReadUntilNul("quoted string");
}

// Text-value = No-value (0) | Token-text | Quoted-string.
Result<std::string> WspCursor::ReadTextValue() {
  auto first = PeekU8();
  if (!first) return first.Failure();
  if (first.Value() == 0) {
    ++m_position;
    return std::string();
  }
  if (first.Value() == kQuotedStringMark) return ReadQuotedString();
  return ReadTextString();
}

// Every WSP field value starts with an octet that says how long it is:
//   0..30   Short-length, then that many octets (Value-length forms, Long-integer)
//   31      Length-quote, a uintvar length, then that many octets
//   32..127 text, up to and including End-of-string
//   128..255 a Short-integer, one octet
Result<std::span<const std::uint8_t>> WspCursor::ReadFieldValue() {
  std::size_t startPosition = m_position;
  auto first = PeekU8();
  if (!first) return first.Failure();
  if (first.Value() >= 0x80) {
    ++m_position;
  } else if (first.Value() <= kLengthQuote) {
    auto length = ReadValueLength();
    if (!length) return length.Failure();
    m_position += length.Value();
  } else {
    auto text = ReadUntilNul("text value");
    if (!text) return text.Failure();
  }
  return m_data.subspan(startPosition, m_position - startPosition);
}

}  // namespace mm1
