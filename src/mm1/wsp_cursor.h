// A bounded reader over WSP-encoded bytes (WAP-230-WSP section 8.4, as used by the OMA MMS
// encapsulation). The data and its bound travel together; every read checks the bound, advances
// by at least one byte on success and reports the absolute offset of the fault on failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "mm1/result.h"

namespace mm1 {

class WspCursor {
 public:
  // `base` is the offset of data[0] within the whole input, so that errors name absolute offsets.
  explicit WspCursor(std::span<const std::uint8_t> data, std::size_t base = 0) : m_data(data), m_base(base) {}

  std::size_t Offset() const { return m_base + m_position; }
  std::size_t Remaining() const { return m_data.size() - m_position; }
  bool AtEnd() const { return m_position == m_data.size(); }
  std::span<const std::uint8_t> Rest() const { return m_data.subspan(m_position); }
  Error Fail(std::string_view what) const { return Error{std::string(what), Offset()}; }

  Result<std::uint8_t> PeekU8() const;
  Result<std::uint8_t> ReadU8();
  Result<std::span<const std::uint8_t>> ReadBytes(std::size_t count);
  // A cursor over the next `count` bytes; this one moves past them.
  Result<WspCursor> Split(std::size_t count);

  Result<std::uint32_t> ReadUintvar();
  Result<std::size_t> ReadValueLength();
  Result<std::uint8_t> ReadShortInteger();
  Result<std::uint64_t> ReadLongInteger();
  Result<std::uint64_t> ReadIntegerValue();
  Result<std::string> ReadTextString();
  Result<std::string> ReadTokenText();
  Result<std::string> ReadQuotedString();
  Result<std::string> ReadTextValue();
  // The bytes of one field value of any form, without interpreting them (see the .cpp).
  Result<std::span<const std::uint8_t>> ReadFieldValue();

 private:
  Result<std::string> ReadUntilNul(std::string_view what);

  std::span<const std::uint8_t> m_data;
  std::size_t m_base;
  std::size_t m_position = 0;
};

}  // namespace mm1
