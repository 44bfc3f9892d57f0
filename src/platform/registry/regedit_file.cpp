#include "platform/registry/regedit_file.h"

#include "platform/registry/registry.h"
#include "platform/text/text_conversion.h"

namespace platform {
namespace {

constexpr std::size_t kMaxEntries = 100000;
constexpr std::size_t kMaxValueBytes = 1 << 20;
// What all entries may hold together: each repeats its key's path, so without a bound a short file
// (a long path, many short values) parses into far more memory than the device has.
constexpr std::size_t kMaxParsedBytes = 64u << 20;

std::size_t ParsedBytes(const RegeditEntry& entry) {
  std::size_t bytes = entry.keyPath.size() * sizeof(char16_t);
  if (entry.value) bytes += entry.value->name.size() * sizeof(char16_t) + entry.value->data.size();
  return bytes;
}

struct RootName {
  std::string_view name;
  RegeditRoot root;
};
constexpr RootName kRoots[] = {
    {"HKEY_LOCAL_MACHINE", RegeditRoot::kLocalMachine},
    {"HKEY_CURRENT_USER", RegeditRoot::kCurrentUser},
    {"HKEY_CLASSES_ROOT", RegeditRoot::kClassesRoot},
};

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted string starting at text[0] == '"'; *rest gets what follows the closing quote.
std::optional<std::string> ReadQuoted(std::string_view text, std::string_view* rest) {
  std::string out;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      if (++i >= text.size()) return std::nullopt;
      out += text[i];
    } else if (text[i] == '"') {
      *rest = text.substr(i + 1);
      return out;
    } else {
      out += text[i];
    }
  }
  return std::nullopt;
}

std::string WideBytes(std::string_view utf8) {
  std::u16string wide = Utf8ToUtf16(utf8);
  std::string bytes;
  for (char16_t c : wide) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  bytes.append(2, '\0');
  return bytes;
}

std::optional<std::string> ParseHexList(std::string_view text) {
  std::string bytes;
  while (!text.empty()) {
    text = Trim(text);
    if (text.empty()) break;
    if (text.size() < 2 || HexDigit(text[0]) < 0 || HexDigit(text[1]) < 0) return std::nullopt;
    bytes += static_cast<char>(HexDigit(text[0]) * 16 + HexDigit(text[1]));
    if (bytes.size() > kMaxValueBytes) return std::nullopt;
    text = Trim(text.substr(2));
    if (!text.empty()) {
      if (text.front() != ',') return std::nullopt;
      text.remove_prefix(1);
    }
  }
  return bytes;
}

// Parses the right-hand side of a value line into a type and its bytes; an error text on failure.
std::string ParseData(std::string_view text, RegeditValue* value) {
  if (!text.empty() && text.front() == '"') {
    std::string_view rest;
    auto quoted = ReadQuoted(text, &rest);
    if (!quoted || !Trim(rest).empty()) return "malformed string value";
    if (!IsValidUtf8(*quoted)) return "string value is not UTF-8";
    value->type = REG_SZ;
    value->data = WideBytes(*quoted);
    return {};
  }
  if (text.starts_with("dword:")) {
    std::string_view digits = text.substr(6);
    if (digits.empty() || digits.size() > 8) return "malformed dword value";
    DWORD number = 0;
    for (char c : digits) {
      if (HexDigit(c) < 0) return "malformed dword value";
      number = number * 16 + static_cast<DWORD>(HexDigit(c));
    }
    value->type = REG_DWORD;
    value->data.assign(reinterpret_cast<const char*>(&number), sizeof number);
    return {};
  }
  DWORD type = REG_BINARY;
  if (text.starts_with("hex(")) {
    std::size_t close = text.find("):");
    if (close == std::string_view::npos || close == 4 || close > 12) return "malformed hex type";
    type = 0;
    for (char c : text.substr(4, close - 4)) {
      if (HexDigit(c) < 0) return "malformed hex type";
      type = type * 16 + static_cast<DWORD>(HexDigit(c));
    }
    text = text.substr(close + 2);
  } else if (text.starts_with("hex:")) {
    text = text.substr(4);
  } else {
    return "unknown value form";
  }
  auto bytes = ParseHexList(text);
  if (!bytes) return "malformed hex list";
  value->type = type;
  value->data = *bytes;
  return {};
}

}  // namespace

RegeditParseResult ParseRegeditText(std::string_view text) {
  RegeditParseResult result;
  auto fail = [&](int line, std::string why) {
    result.entries.clear();
    result.error = std::move(why);
    result.errorLine = line;
    return result;
  };
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  bool sawHeader = false;
  std::optional<RegeditEntry> section;
  std::size_t parsedBytes = 0;
  int lineNumber = 0;
  while (!text.empty()) {
    // Join lines that end in "\" (continued hex lists) into one logical line.
    std::string logical;
    int firstLine = lineNumber + 1;
    while (true) {
      std::size_t end = text.find('\n');
      std::string_view line = Trim(text.substr(0, end));
      text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
      ++lineNumber;
      if (!line.empty() && line.back() == '\\' && !text.empty()) {
        logical += line.substr(0, line.size() - 1);
        continue;
      }
      logical += line;
      break;
    }
    std::string_view line = Trim(logical);
    if (line.empty() || line.front() == ';') continue;
    if (!sawHeader) {
      if (line != "REGEDIT4" && line != "Windows Registry Editor Version 5.00") {
        return fail(firstLine, "not a registry file (REGEDIT4 header missing)");
      }
      sawHeader = true;
      continue;
    }
    if (result.entries.size() >= kMaxEntries) return fail(firstLine, "too many entries");
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3) return fail(firstLine, "malformed key header");
      std::string_view path = line.substr(1, line.size() - 2);
      if (path.front() == '-') return fail(firstLine, "key deletion is not supported");
      std::size_t slash = path.find('\\');
      std::string_view rootName = path.substr(0, slash);
      RegeditEntry entry;
      bool known = false;
      for (const RootName& root : kRoots) {
        if (rootName == root.name) {
          entry.root = root.root;
          known = true;
        }
      }
      if (!known) return fail(firstLine, "unknown root key");
      std::string_view keyPath = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
      if (!IsValidUtf8(keyPath)) return fail(firstLine, "key name is not UTF-8");
      // Keys are named by null-terminated paths: one with a null would be cut short there.
      if (keyPath.find('\0') != std::string_view::npos) return fail(firstLine, "null in a key name");
      entry.keyPath = Utf8ToUtf16(keyPath);
      parsedBytes += ParsedBytes(entry);
      if (parsedBytes > kMaxParsedBytes) return fail(firstLine, "too much data");
      section = entry;
      result.entries.push_back(entry);
      continue;
    }
    if (!section) return fail(firstLine, "value outside a key");
    RegeditValue value;
    std::string_view rest;
    if (line.front() == '@') {
      rest = Trim(line.substr(1));
    } else if (line.front() == '"') {
      auto name = ReadQuoted(line, &rest);
      if (!name || !IsValidUtf8(*name) || name->find('\0') != std::string::npos) {
        return fail(firstLine, "malformed value name");
      }
      value.name = Utf8ToUtf16(*name);
      rest = Trim(rest);
    } else {
      return fail(firstLine, "unexpected text");
    }
    if (rest.empty() || rest.front() != '=') return fail(firstLine, "'=' expected");
    std::string why = ParseData(Trim(rest.substr(1)), &value);
    if (!why.empty()) return fail(firstLine, why);
    RegeditEntry entry = *section;
    entry.value = std::move(value);
    parsedBytes += ParsedBytes(entry);
    if (parsedBytes > kMaxParsedBytes) return fail(firstLine, "too much data");
    result.entries.push_back(std::move(entry));
  }
  if (!sawHeader) return fail(lineNumber, "not a registry file (REGEDIT4 header missing)");
  return result;
}

}  // namespace platform
