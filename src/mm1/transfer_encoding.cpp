#include "mm1/transfer_encoding.h"

#include <cctype>
#include <string>

#include "mm1/ascii.h"

namespace mm1 {
namespace {

int Base64Value(std::uint8_t c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

int HexValue(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Line breaks and blanks may stand anywhere; padding only at the end.
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> out;
  out.reserve(data.size() * 3 / 4);
  std::uint32_t accumulator = 0;
  int bits = 0;
  bool padding = false;
  for (std::uint8_t c : data) {
    if (c == '=') {
      padding = true;
      continue;
    }
    if (std::isspace(c)) continue;
    int value = Base64Value(c);
    if (value < 0 || padding) return std::nullopt;
    accumulator = (accumulator << 6) | static_cast<std::uint32_t>(value);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<std::uint8_t>(accumulator >> bits));
    }
  }
  return out;
}

// "=XX" is a byte, "=" at a line end a soft break; everything else stands for itself.
std::optional<std::vector<std::uint8_t>> DecodeQuotedPrintable(std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> out;
  out.reserve(data.size());
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (data[i] != '=') {
      out.push_back(data[i]);
      continue;
    }
    if (i + 2 < data.size() && data[i + 1] == '\r' && data[i + 2] == '\n') {
      i += 2;
    } else if (i + 1 < data.size() && data[i + 1] == '\n') {
      i += 1;
    } else if (i + 2 < data.size() && HexValue(data[i + 1]) >= 0 && HexValue(data[i + 2]) >= 0) {
      out.push_back(static_cast<std::uint8_t>(HexValue(data[i + 1]) * 16 + HexValue(data[i + 2])));
      i += 2;
    } else if (i + 1 == data.size()) {
      break;
    } else {
      return std::nullopt;
    }
  }
  return out;
}

}  // namespace

std::string TransferEncodingOf(const Part& part) {
  for (const RawHeader& header : part.otherHeaders) {
    if (header.code || !EqualsNoCase(header.name, "Content-Transfer-Encoding")) continue;
    std::string value(header.value.begin(), header.value.end());
    while (!value.empty() && (value.back() == '\0' || std::isspace(static_cast<unsigned char>(value.back())))) {
      value.pop_back();
    }
    std::size_t start = 0;
    while (start < value.size() && std::isspace(static_cast<unsigned char>(value[start]))) ++start;
    std::string lower;
    for (char c : value.substr(start)) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
  }
  return {};
}

std::optional<std::vector<std::uint8_t>> DecodeTransferEncoding(std::string_view encoding,
                                                                 std::span<const std::uint8_t> data) {
  if (encoding == "base64") return DecodeBase64(data);
  if (encoding == "quoted-printable") return DecodeQuotedPrintable(data);
  return std::nullopt;
}

}  // namespace mm1
