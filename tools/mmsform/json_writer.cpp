#include "json_writer.h"

#include <cmath>
#include <cstdio>

#include "platform/text/text_conversion.h"

namespace mmsform_tool {

void JsonWriter::BeforeValue() {
  if (m_afterKey) {
    m_afterKey = false;
    return;
  }
  if (!m_firstInScope.empty()) {
    if (!m_firstInScope.back()) m_text += ',';
    m_firstInScope.back() = false;
  }
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  m_text += '{';
  m_firstInScope.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  m_text += '}';
  m_firstInScope.pop_back();
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  m_text += '[';
  m_firstInScope.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  m_text += ']';
  m_firstInScope.pop_back();
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  BeforeValue();
  WriteQuoted(key);
  m_text += ':';
  m_afterKey = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8) {
  BeforeValue();
  WriteQuoted(utf8);
  return *this;
}

void JsonWriter::WriteQuoted(std::string_view utf8) {
  // Texts from hostile files may not be UTF-8: their bad bytes become U+FFFD, so the output stays JSON.
  std::string repaired;
  if (!platform::IsValidUtf8(utf8)) {
    repaired = platform::Utf16ToUtf8(platform::Utf8ToUtf16(utf8));
    utf8 = repaired;
  }
  m_text += '"';
  for (char c : utf8) {
    auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': m_text += "\\\""; break;
      case '\\': m_text += "\\\\"; break;
      case '\n': m_text += "\\n"; break;
      case '\r': m_text += "\\r"; break;
      case '\t': m_text += "\\t"; break;
      default:
        if (byte < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
          m_text += escaped;
        } else {
          m_text += c;
        }
    }
  }
  m_text += '"';
}

JsonWriter& JsonWriter::Int(std::int64_t value) {
  BeforeValue();
  m_text += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Uint(std::uint64_t value) {
  BeforeValue();
  m_text += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Double(double value) {
  BeforeValue();
  if (!std::isfinite(value)) {
    m_text += "null";
    return *this;
  }
  char number[32];
  std::snprintf(number, sizeof number, "%.17g", value);
  m_text += number;
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  m_text += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  m_text += "null";
  return *this;
}

}  // namespace mmsform_tool
