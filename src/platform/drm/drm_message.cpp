#include "platform/drm/drm_message.h"

#include <cctype>
#include <vector>

namespace platform::drm {
namespace {

constexpr std::size_t kMaxBoundary = 70;
constexpr std::size_t kMaxParts = 2;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

struct Part {
  std::string contentType;
  std::string contentId;
  std::string transferEncoding;
  std::string_view body;
};

// Splits one part into its header lines and its body (after the first empty line).
std::optional<Part> ParsePart(std::string_view text) {
  std::size_t split = text.find("\r\n\r\n");
  std::size_t bodyStart = split == std::string_view::npos ? std::string_view::npos : split + 4;
  if (split == std::string_view::npos) {
    split = text.find("\n\n");
    if (split == std::string_view::npos) return std::nullopt;
    bodyStart = split + 2;
  }
  Part part;
  std::string_view headers = text.substr(0, split);
  while (!headers.empty()) {
    std::size_t end = headers.find('\n');
    std::string_view line = Trim(headers.substr(0, end));
    headers = end == std::string_view::npos ? std::string_view() : headers.substr(end + 1);
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string name = Lower(Trim(line.substr(0, colon)));
    std::string_view value = Trim(line.substr(colon + 1));
    if (name == "content-type") {
      part.contentType = Lower(Trim(value.substr(0, value.find(';'))));
    } else if (name == "content-id") {
      if (value.size() >= 2 && value.front() == '<' && value.back() == '>') value = value.substr(1, value.size() - 2);
      part.contentId = std::string(value);
    } else if (name == "content-transfer-encoding") {
      part.transferEncoding = Lower(value);
    }
  }
  part.body = text.substr(bodyStart);
  return part;
}

std::optional<std::string> DecodeBody(const Part& part) {
  if (part.transferEncoding.empty() || part.transferEncoding == "binary" || part.transferEncoding == "8bit" ||
      part.transferEncoding == "7bit") {
    return std::string(part.body);
  }
  if (part.transferEncoding == "base64") return DecodeBase64(part.body);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> DecodeBase64(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3 / 4);
  unsigned accumulator = 0;
  int bits = 0;
  bool padding = false;
  for (char c : text) {
    int value;
    if (c >= 'A' && c <= 'Z') value = c - 'A';
    else if (c >= 'a' && c <= 'z') value = c - 'a' + 26;
    else if (c >= '0' && c <= '9') value = c - '0' + 52;
    else if (c == '+') value = 62;
    else if (c == '/') value = 63;
    else if (c == '=') { padding = true; continue; }
    else if (std::isspace(static_cast<unsigned char>(c))) continue;
    else return std::nullopt;
    if (padding) return std::nullopt;
    accumulator = (accumulator << 6) | static_cast<unsigned>(value);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((accumulator >> bits) & 0xFF);
    }
  }
  return out;
}

std::optional<DrmMessage> ParseDrmMessage(std::string_view body, std::string* error) {
  auto fail = [&](const char* what) -> std::optional<DrmMessage> {
    if (error) *error = what;
    return std::nullopt;
  };
  while (body.starts_with("\r\n")) body.remove_prefix(2);
  std::size_t lineEnd = body.find("\r\n");
  if (!body.starts_with("--") || lineEnd == std::string_view::npos) return fail("no boundary line");
  std::string_view boundary = Trim(body.substr(2, lineEnd - 2));
  if (boundary.empty() || boundary.size() > kMaxBoundary) return fail("bad boundary");
  std::string delimiter = "\r\n--" + std::string(boundary);
  std::string_view rest = body.substr(lineEnd + 2);
  std::vector<Part> parts;
  while (true) {
    std::size_t next = rest.find(delimiter);
    if (next == std::string_view::npos) return fail("missing closing boundary");
    if (parts.size() == kMaxParts) return fail("too many parts");
    auto part = ParsePart(rest.substr(0, next));
    if (!part) return fail("part without headers");
    parts.push_back(*part);
    rest = rest.substr(next + delimiter.size());
    if (rest.starts_with("--")) break;
    if (!rest.starts_with("\r\n")) return fail("malformed boundary line");
    rest.remove_prefix(2);
  }
  DrmMessage message;
  const Part* content = &parts.back();
  if (parts.size() == 2) {
    if (parts[0].contentType != "application/vnd.oma.drm.rights+xml") return fail("first part is not a rights object");
    message.rightsXml = std::string(parts[0].body);
  }
  if (content->contentType.empty() || content->contentType.starts_with("application/vnd.oma.drm")) {
    return fail("no content part");
  }
  auto decoded = DecodeBody(*content);
  if (!decoded) return fail("undecodable content transfer encoding");
  message.contentType = content->contentType;
  message.contentId = content->contentId;
  message.content = std::move(*decoded);
  return message;
}

}  // namespace platform::drm
