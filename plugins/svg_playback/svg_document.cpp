#include "svg_document.h"

#include <fontconfig/fontconfig.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "engines/svg_playback_abi.h"

namespace svg_playback {
namespace {

std::vector<uint8_t> Inflate(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> out;
  z_stream stream{};
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return out;
  stream.next_in = const_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  uint8_t chunk[16384];
  int result = Z_OK;
  while (result == Z_OK) {
    stream.next_out = chunk;
    stream.avail_out = sizeof chunk;
    result = inflate(&stream, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END) {
      out.clear();
      break;
    }
    out.insert(out.end(), chunk, chunk + (sizeof chunk - stream.avail_out));
    if (out.size() > SVG_PLAYBACK_MAX_BYTES) {
      out.clear();
      break;
    }
    if (stream.avail_in == 0 && result == Z_OK && stream.avail_out != 0) {
      out.clear();  // the stream stopped before its end
      break;
    }
  }
  inflateEnd(&stream);
  return out;
}

// A document type declaration with an external entity (SYSTEM or PUBLIC) is refused outright.
bool DeclaresExternalEntity(std::span<const uint8_t> bytes) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (size_t at = text.find("<!ENTITY"); at != std::string_view::npos; at = text.find("<!ENTITY", at + 1)) {
    size_t end = text.find('>', at);
    std::string_view declaration = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    if (declaration.find("SYSTEM") != std::string_view::npos || declaration.find("PUBLIC") != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

// Markup as the checks below read it: a UTF-16 or UTF-32 document with its zero bytes left out, so
// that its ASCII names, quotes and numbers read as they do in UTF-8.
std::string_view MarkupText(std::span<const uint8_t> bytes, std::string& narrowed) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.find('\0') == std::string_view::npos) return text;
  narrowed.reserve(text.size());
  for (char c : text) {
    if (c != '\0') narrowed.push_back(c);
  }
  return narrowed;
}

// The numbers of a list as a CSS tokenizer splits them: a sign or a second point starts a new one
// even without a separator, and anything else (spaces, commas, comments) only parts them.
size_t CountNumbers(std::string_view list) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  size_t count = 0;
  size_t at = 0;
  while (at < list.size()) {
    size_t start = at;
    if (list[at] == '+' || list[at] == '-') ++at;
    size_t digits = at;
    while (at < list.size() && digit(list[at])) ++at;
    bool whole = at > digits;
    bool fraction = false;
    if (at + 1 < list.size() && list[at] == '.' && digit(list[at + 1])) {
      for (++at; at < list.size() && digit(list[at]);) ++at;
      fraction = true;
    }
    if (!whole && !fraction) {
      at = start + 1;
      continue;
    }
    ++count;
    if (at < list.size() && (list[at] == 'e' || list[at] == 'E')) {
      size_t exponent = at + 1;
      if (exponent < list.size() && (list[exponent] == '+' || list[exponent] == '-')) ++exponent;
      if (exponent < list.size() && digit(list[exponent])) {
        for (at = exponent; at < list.size() && digit(list[at]);) ++at;
      }
    }
  }
  return count;
}

// The quoted value that follows an attribute name ending at `at` (spaces and "=" between them).
std::optional<std::string_view> QuotedValueAfter(std::string_view text, size_t at) {
  size_t quote = text.find_first_not_of(" \t\r\n=", at);
  if (quote == std::string_view::npos || (text[quote] != '"' && text[quote] != '\'')) return std::nullopt;
  size_t end = text.find(text[quote], quote + 1);
  return text.substr(quote + 1, end == std::string_view::npos ? std::string_view::npos : end - quote - 1);
}

// The value of an attribute `name` of the element around `at`, as written; none when it is not
// there. A ">" inside a value ends the element early here, which only hides attributes.
std::optional<std::string_view> AttributeOfElementAround(std::string_view text, size_t at, std::string_view name) {
  size_t open = text.rfind('<', at);
  size_t close = text.find('>', at);
  if (open == std::string_view::npos) return std::nullopt;
  std::string_view element = text.substr(open, close == std::string_view::npos ? std::string_view::npos : close - open);
  for (size_t found = element.find(name); found != std::string_view::npos; found = element.find(name, found + 1)) {
    if (found == 0 || std::string_view(" \t\r\n").find(element[found - 1]) == std::string_view::npos) continue;
    if (auto value = QuotedValueAfter(element, found + name.size())) return value;
  }
  return std::nullopt;
}

// An order of 20 by 20, written as one number or two.
bool IsOrderTwenty(std::optional<std::string_view> order) {
  if (!order) return false;
  size_t numbers = 0;
  size_t at = 0;
  while ((at = order->find_first_not_of(" \t\r\n,", at)) != std::string_view::npos) {
    size_t end = order->find_first_of(" \t\r\n,", at);
    if (order->substr(at, end == std::string_view::npos ? std::string_view::npos : end - at) != "20") return false;
    ++numbers;
    at = end;
  }
  return numbers == 1 || numbers == 2;
}

// librsvg (2.54) ends the process, panicking while it builds the matrix, on a convolution kernel of
// 400 numbers or more, unless its order is 20 by 20. Such a kernel is refused, and so is one written
// with references, whose numbers show only once they are expanded.
bool HasOversizedKernel(std::string_view text) {
  constexpr std::string_view kName = "kernelMatrix";
  for (size_t at = text.find(kName); at != std::string_view::npos; at = text.find(kName, at + 1)) {
    std::optional<std::string_view> value = QuotedValueAfter(text, at + kName.size());
    if (!value) continue;
    if (value->find('&') != std::string_view::npos) return true;
    size_t count = CountNumbers(*value);
    if (count >= 400 && !(count == 400 && IsOrderTwenty(AttributeOfElementAround(text, at, "order")))) return true;
  }
  return false;
}

// The document's own size at 96 dpi; from the viewBox when it has no width and height.
bool IntrinsicSize(RsvgHandle* handle, double& width, double& height) {
  rsvg_handle_set_dpi(handle, 96.0);
  if (rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height) && width > 0 && height > 0) return true;
  gboolean hasWidth = FALSE, hasHeight = FALSE, hasViewBox = FALSE;
  RsvgLength w{}, h{};
  RsvgRectangle viewBox{};
  rsvg_handle_get_intrinsic_dimensions(handle, &hasWidth, &w, &hasHeight, &h, &hasViewBox, &viewBox);
  if (!hasViewBox || viewBox.width <= 0 || viewBox.height <= 0) return false;
  width = viewBox.width;
  height = viewBox.height;
  return true;
}

// Text in the generic families is drawn in DejaVu, as everywhere on the device, whatever other fonts
// the host has: the rule goes into fontconfig before the first text is laid out.
void PreferDejaVu() {
  static const bool done = [] {
    static const char kRules[] =
        "<?xml version='1.0'?><fontconfig>"
        "<match target='pattern'><test name='family'><string>sans-serif</string></test>"
        "<edit name='family' mode='prepend_first' binding='strong'><string>DejaVu Sans</string></edit></match>"
        "<match target='pattern'><test name='family'><string>serif</string></test>"
        "<edit name='family' mode='prepend_first' binding='strong'><string>DejaVu Serif</string></edit></match>"
        "<match target='pattern'><test name='family'><string>monospace</string></test>"
        "<edit name='family' mode='prepend_first' binding='strong'><string>DejaVu Sans Mono</string></edit></match>"
        "</fontconfig>";
    FcConfig* config = FcConfigGetCurrent();
    return config != nullptr &&
           FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kRules), FcFalse) == FcTrue;
  }();
  (void)done;
}

}  // namespace

std::unique_ptr<SvgDocument> SvgDocument::Load(std::span<const uint8_t> bytes) {
  auto gzipped = [](std::span<const uint8_t> data) { return data.size() >= 2 && data[0] == 0x1F && data[1] == 0x8B; };
  std::vector<uint8_t> inflated;
  if (gzipped(bytes)) {
    inflated = Inflate(bytes);
    // A gzip inside would be inflated again by librsvg, whole and without a bound.
    if (inflated.empty() || gzipped(inflated)) return nullptr;
    bytes = inflated;
  }
  if (bytes.empty() || bytes.size() > SVG_PLAYBACK_MAX_BYTES || DeclaresExternalEntity(bytes)) return nullptr;
  std::string narrowed;
  if (HasOversizedKernel(MarkupText(bytes, narrowed))) return nullptr;
  // fontconfig is costly to start: only documents with text need it.
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.find("<text") != std::string_view::npos || text.find(":text") != std::string_view::npos) PreferDejaVu();
  GError* error = nullptr;
  RsvgHandle* handle = rsvg_handle_new_from_data(bytes.data(), bytes.size(), &error);
  if (error != nullptr) g_error_free(error);
  if (handle == nullptr) return nullptr;
  std::unique_ptr<SvgDocument> document(new SvgDocument);
  document->m_handle = handle;
  if (!IntrinsicSize(handle, document->m_width, document->m_height) || document->m_width > 1e6 ||
      document->m_height > 1e6) {
    return nullptr;
  }
  return document;
}

std::vector<uint8_t> SvgDocument::ReadFile(const std::filesystem::path& host) {
  std::ifstream file(host, std::ios::binary);
  if (!file) return {};
  file.seekg(0, std::ios::end);
  std::streamoff size = file.tellg();
  if (size <= 0 || static_cast<uint64_t>(size) > SVG_PLAYBACK_MAX_BYTES) return {};
  file.seekg(0);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) return {};
  return bytes;
}

SvgDocument::~SvgDocument() {
  if (m_handle != nullptr) g_object_unref(m_handle);
}

bool SvgDocument::Render(uint8_t* pixels, int width, int height, int stride, uint32_t background, double zoom,
                         double panX, double panY) const {
  if (width < 1 || height < 1 ||
      static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > SVG_PLAYBACK_MAX_PIXELS || stride < width * 3) {
    return false;
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, (background & 0xFF) / 255.0, ((background >> 8) & 0xFF) / 255.0,
                       ((background >> 16) & 0xFF) / 255.0);
  cairo_paint(cr);
  cairo_translate(cr, panX, panY);
  cairo_scale(cr, zoom, zoom);
  // The picture at the scale that fits, from the top left corner, as rsvg-convert places it.
  double scale = std::min(width / m_width, height / m_height);
  RsvgRectangle viewport{0, 0, m_width * scale, m_height * scale};
  GError* error = nullptr;
  bool drawn = rsvg_handle_render_document(m_handle, cr, &viewport, &error);
  if (error != nullptr) g_error_free(error);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  if (drawn) {
    const uint8_t* source = cairo_image_surface_get_data(surface);
    int sourceStride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
      const uint8_t* in = source + static_cast<size_t>(y) * sourceStride;
      uint8_t* out = pixels + static_cast<size_t>(y) * stride;
      for (int x = 0; x < width; ++x) std::memcpy(out + x * 3, in + x * 4, 3);  // B, G, R of native-endian XRGB
    }
  }
  cairo_surface_destroy(surface);
  return drawn;
}

}  // namespace svg_playback
