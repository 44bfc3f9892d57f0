#include "platform/drm/dcf_file.h"

#include <cctype>

namespace platform::drm {
namespace {

// Declared sizes larger than this are refused before anything is read.
constexpr std::uint64_t kMaxData = 64ull << 20;

void AppendUintvar(std::string& out, std::uint64_t value) {
  char bytes[10];
  int count = 0;
  do {
    bytes[count++] = static_cast<char>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  for (int i = count - 1; i >= 0; --i) out += static_cast<char>(bytes[i] | (i > 0 ? 0x80 : 0));
}

struct Cursor {
  std::string_view data;
  std::size_t position = 0;

  bool ReadU8(unsigned* value) {
    if (position >= data.size()) return false;
    *value = static_cast<unsigned char>(data[position++]);
    return true;
  }
  // A uintvar is at most five bytes, the last without the continuation bit.
  bool ReadUintvar(std::uint64_t* value) {
    *value = 0;
    for (int i = 0; i < 5; ++i) {
      unsigned byte;
      if (!ReadU8(&byte)) return false;
      *value = (*value << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) return true;
    }
    return false;
  }
  bool ReadBytes(std::uint64_t count, std::string* out) {
    if (count > data.size() - position) return false;
    out->assign(data.substr(position, static_cast<std::size_t>(count)));
    position += static_cast<std::size_t>(count);
    return true;
  }
};

}  // namespace

std::string EncodeDcf(const DcfFile& file) {
  std::string out;
  out += '\x01';
  out += static_cast<char>(file.contentType.size());
  out += static_cast<char>(file.contentUri.size());
  out += file.contentType;
  out += file.contentUri;
  AppendUintvar(out, file.headers.size());
  AppendUintvar(out, file.data.size());
  out += file.headers;
  out += file.data;
  return out;
}

std::optional<DcfFile> ParseDcf(std::string_view bytes, std::string* error) {
  Cursor cursor{bytes};
  auto fail = [&](const char* what) -> std::optional<DcfFile> {
    if (error) *error = std::string(what) + " at offset " + std::to_string(cursor.position);
    return std::nullopt;
  };
  unsigned version, typeLength, uriLength;
  if (!cursor.ReadU8(&version) || version != 1) return fail("not a version 1 content file");
  if (!cursor.ReadU8(&typeLength) || !cursor.ReadU8(&uriLength)) return fail("truncated header");
  DcfFile file;
  if (typeLength == 0 || !cursor.ReadBytes(typeLength, &file.contentType)) return fail("bad content type");
  if (!cursor.ReadBytes(uriLength, &file.contentUri)) return fail("bad content URI");
  std::uint64_t headersLength, dataLength;
  if (!cursor.ReadUintvar(&headersLength) || !cursor.ReadUintvar(&dataLength)) return fail("bad lengths");
  if (headersLength > kMaxData || dataLength > kMaxData) return fail("declared size too large");
  if (!cursor.ReadBytes(headersLength, &file.headers)) return fail("headers run past the end");
  if (!cursor.ReadBytes(dataLength, &file.data)) return fail("data runs past the end");
  if (cursor.position != bytes.size()) return fail("bytes after the data");
  for (char c : file.contentType) {
    if (!std::isprint(static_cast<unsigned char>(c))) return fail("content type is not text");
  }
  return file;
}

std::optional<std::string> DcfHeader(const DcfFile& file, std::string_view name) {
  std::string_view headers = file.headers;
  while (!headers.empty()) {
    std::size_t end = headers.find("\r\n");
    std::string_view line = headers.substr(0, end);
    headers = end == std::string_view::npos ? std::string_view() : headers.substr(end + 2);
    std::size_t colon = line.find(':');
    if (colon != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < colon; ++i) {
      if (std::tolower(static_cast<unsigned char>(line[i])) != std::tolower(static_cast<unsigned char>(name[i]))) {
        same = false;
      }
    }
    if (!same) continue;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    return std::string(value);
  }
  return std::nullopt;
}

}  // namespace platform::drm
