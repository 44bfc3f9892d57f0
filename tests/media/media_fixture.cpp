#include "media_fixture.h"

#include <png.h>

#include <cmath>
#include <cstdio>

#include "engines/dib_image.h"
#include "engines/svg_library.h"
#include "transport/mms_global.h"

namespace media_test {

void MediaTest::SetUp() {
  ULC_Global::GetGlobal()->UnloadEngineModule();
  DestroySvgContext();
  std::filesystem::create_directories(m_device.Host(u"\\My Documents"));
}

void MediaTest::TearDown() {
  ULC_Global::GetGlobal()->UnloadEngineModule();
  DestroySvgContext();
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::u16string MediaTest::Put(const std::string& name) {
  return PutBytes(name, test_support::ReadFileBytes(test_support::CorpusPath("media/" + name)));
}

std::u16string MediaTest::PutBytes(const std::string& name, const std::string& bytes) {
  std::u16string path = u"\\My Documents\\" + Wide(name);
  test_support::WriteFileBytes(m_device.Host(path), bytes);
  return path;
}

json_test::Value Expected(const std::string& name) {
  std::string text = test_support::ReadFileBytes(test_support::CorpusPath("media/expected/" + name + ".json"));
  return json_test::Reader(text).Parse();
}

std::vector<std::string> CorpusMediaFiles() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(test_support::CorpusPath("media"))) {
    if (entry.is_regular_file() && entry.path().extension() != ".md") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<uint8_t> ReadPngOverWhite(const std::filesystem::path& path, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) return {};
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
    int alpha = rgba[i + 3];
    for (int c = 0; c < 3; ++c) rgb.push_back(static_cast<uint8_t>((rgba[i + c] * alpha + 255 * (255 - alpha) + 127) / 255));
  }
  return rgb;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 0;
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
  return sum == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * a.size() / sum);
}

std::vector<uint8_t> RgbOf(const DibImage* image) {
  std::vector<uint8_t> rgb;
  for (LONG y = 0; y < image->header.biHeight; ++y) {
    const BYTE* row = DibRowFromTop(image, y);
    for (LONG x = 0; x < image->header.biWidth; ++x) rgb.insert(rgb.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
  }
  return rgb;
}

}  // namespace media_test
