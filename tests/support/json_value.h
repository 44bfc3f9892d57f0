// A small JSON reader for the corpus's expected values: enough of JSON to walk objects and arrays
// and read strings and numbers. A malformed file gives a null value.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace json_test {

struct Value {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<Value> items;
  std::map<std::string, Value> members;

  const Value& operator[](const std::string& key) const {
    static const Value kNone;
    auto found = members.find(key);
    return found == members.end() ? kNone : found->second;
  }
  bool IsNull() const { return kind == Kind::kNull; }
};

class Reader {
 public:
  explicit Reader(std::string_view text) : m_text(text) {}

  Value Parse() {
    Value value = ParseValue();
    SkipSpace();
    return m_failed || m_position != m_text.size() ? Value{} : value;
  }

 private:
  void SkipSpace() {
    while (m_position < m_text.size() && std::string_view(" \t\r\n").find(m_text[m_position]) != std::string_view::npos) {
      ++m_position;
    }
  }
  bool Take(char c) {
    SkipSpace();
    if (m_position < m_text.size() && m_text[m_position] == c) {
      ++m_position;
      return true;
    }
    return false;
  }
  Value Fail() {
    m_failed = true;
    return Value{};
  }
  static void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | code >> 6));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | code >> 12));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | code >> 18));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  std::uint32_t Hex4() {
    if (m_position + 4 > m_text.size()) {
      m_failed = true;
      return 0;
    }
    std::uint32_t code = static_cast<std::uint32_t>(std::stoul(std::string(m_text.substr(m_position, 4)), nullptr, 16));
    m_position += 4;
    return code;
  }
  Value ParseString() {
    Value value;
    value.kind = Value::Kind::kString;
    while (m_position < m_text.size() && m_text[m_position] != '"') {
      char c = m_text[m_position++];
      if (c != '\\') {
        value.text.push_back(c);
        continue;
      }
      if (m_position >= m_text.size()) return Fail();
      char escape = m_text[m_position++];
      switch (escape) {
        case 'n': value.text.push_back('\n'); break;
        case 't': value.text.push_back('\t'); break;
        case 'r': value.text.push_back('\r'); break;
        case 'b': value.text.push_back('\b'); break;
        case 'f': value.text.push_back('\f'); break;
        case 'u': {
          std::uint32_t code = Hex4();
          if (code >= 0xD800 && code < 0xDC00 && m_text.substr(m_position, 2) == "\\u") {
            m_position += 2;
            code = 0x10000 + ((code - 0xD800) << 10) + (Hex4() - 0xDC00);
          }
          AppendUtf8(value.text, code);
          break;
        }
        default: value.text.push_back(escape);
      }
    }
    if (!Take('"')) return Fail();
    return value;
  }
  Value ParseValue() {
    SkipSpace();
    if (m_position >= m_text.size()) return Fail();
    char c = m_text[m_position];
    Value value;
    if (c == '"') {
      ++m_position;
      return ParseString();
    }
    if (c == '{' || c == '[') {
      ++m_position;
      bool object = c == '{';
      value.kind = object ? Value::Kind::kObject : Value::Kind::kArray;
      if (Take(object ? '}' : ']')) return value;
      do {
        std::string key;
        if (object) {
          if (!Take('"')) return Fail();
          key = ParseString().text;
          if (!Take(':')) return Fail();
        }
        Value item = ParseValue();
        if (m_failed) return Value{};
        if (object) {
          value.members[key] = std::move(item);
        } else {
          value.items.push_back(std::move(item));
        }
      } while (Take(','));
      return Take(object ? '}' : ']') ? value : Fail();
    }
    for (std::string_view word : {"true", "false", "null"}) {
      if (m_text.substr(m_position, word.size()) == word) {
        m_position += word.size();
        value.kind = word == "null" ? Value::Kind::kNull : Value::Kind::kBool;
        value.boolean = word == "true";
        return value;
      }
    }
    std::size_t end = m_text.find_first_of(",}] \r\n\t", m_position);
    std::string number(m_text.substr(m_position, end - m_position));
    m_position = end == std::string_view::npos ? m_text.size() : end;
    try {
      value.number = std::stod(number);
    } catch (...) {
      return Fail();
    }
    value.kind = Value::Kind::kNumber;
    return value;
  }

  std::string_view m_text;
  std::size_t m_position = 0;
  bool m_failed = false;
};

}  // namespace json_test
