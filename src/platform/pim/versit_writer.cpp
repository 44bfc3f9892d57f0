#include "platform/pim/versit_writer.h"

#include "platform/pim/versit_lines.h"

namespace platform::pim {
namespace {

constexpr std::size_t kFoldAt = 75;
constexpr std::size_t kQuotedLine = 76;
constexpr std::size_t kLongestPlainLine = 998;
constexpr std::size_t kBase64Line = 72;  // with the leading space, within the 76 of 2.1

bool IsPlainAscii(std::string_view text) {
  for (char c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

// Folds one line at kFoldAt bytes, never inside a UTF-8 sequence; continuations start with a space.
void AppendFolded(std::string& out, std::string_view line) {
  std::size_t room = kFoldAt;
  while (line.size() > room) {
    std::size_t cut = room;
    while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out.append(line.substr(0, cut));
    out += "\r\n ";
    line.remove_prefix(cut);
    room = kFoldAt - 1;
  }
  out.append(line);
  out += "\r\n";
}

}  // namespace

std::string EncodeQuotedPrintable(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const bool last = i + 1 == bytes.size();
    if (c == '=' || c < 0x20 || c > 0x7E || (c == ' ' && last)) {
      out += '=';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string VersitWriter::Escape(std::string_view value) const {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (c == '\\' || c == ';' || (c == ',' && m_form == VersitForm::kVersion30)) {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c != '\r') {
      out += c;
    }
  }
  return out;
}

void VersitWriter::Emit(std::string_view head, std::string_view escaped) {
  std::string line(head);
  if (m_form == VersitForm::kVersion30) {
    line += ':';
    line += escaped;
    AppendFolded(m_out, line);
    return;
  }
  if (IsPlainAscii(escaped) && head.size() + escaped.size() < kLongestPlainLine) {
    m_out += line + ":" + std::string(escaped) + "\r\n";
    return;
  }
  line += ";CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:";
  // Soft breaks keep each line within 76 characters; an escape is never split.
  const std::string encoded = EncodeQuotedPrintable(escaped);
  std::size_t column = line.size();
  m_out += line;
  for (std::size_t i = 0; i < encoded.size();) {
    const std::size_t token = encoded[i] == '=' ? 3 : 1;
    if (column + token > kQuotedLine - 1) {
      m_out += "=\r\n";
      column = 0;
    }
    m_out.append(encoded, i, token);
    column += token;
    i += token;
  }
  m_out += "\r\n";
}

void VersitWriter::Raw(std::string_view head, std::string_view value) { Emit(head, value); }

void VersitWriter::Text(std::string_view head, std::string_view value) { Emit(head, Escape(value)); }

void VersitWriter::Structured(std::string_view head, std::initializer_list<std::string_view> components) {
  std::string joined;
  bool first = true;
  for (std::string_view component : components) {
    if (!first) joined += ';';
    joined += Escape(component);
    first = false;
  }
  Emit(head, joined);
}

void VersitWriter::Binary(std::string_view head, std::string_view bytes) {
  const std::string encoded = EncodeBase64(bytes);
  if (m_form == VersitForm::kVersion30) {
    AppendFolded(m_out, std::string(head) + ";ENCODING=b:" + encoded);
    return;
  }
  m_out += std::string(head) + ";ENCODING=BASE64:\r\n";
  for (std::size_t i = 0; i < encoded.size(); i += kBase64Line) {
    m_out += ' ';
    m_out.append(encoded, i, kBase64Line);
    m_out += "\r\n";
  }
  m_out += "\r\n";
}

}  // namespace platform::pim
