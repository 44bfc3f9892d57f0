// A small streaming JSON writer for the host program's output: objects, arrays, strings (UTF-8,
// escaped), integers, doubles and booleans, with commas placed for the caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mmsform_tool {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  // The key of the next value inside an object.
  JsonWriter& Key(std::string_view key);
  JsonWriter& String(std::string_view utf8);
  JsonWriter& Int(std::int64_t value);
  JsonWriter& Uint(std::uint64_t value);
  JsonWriter& Double(double value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  const std::string& Text() const { return m_text; }

 private:
  void BeforeValue();
  void WriteQuoted(std::string_view utf8);

  std::string m_text;
  std::vector<bool> m_firstInScope;  // one entry per open object or array
  bool m_afterKey = false;
};

}  // namespace mmsform_tool
