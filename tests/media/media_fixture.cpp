#include "media_fixture.h"

#include <png.h>

#include <cmath>
#include <cstdio>

#include "engines/dib_image.h"
#include "engines/svg_library.h"
#include "platform/drm/drm_service.h"
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

std::u16string MediaTest::PutProtectedVideo(const std::string& name, int plays, const std::string& video) {
  std::string message = "Content-Type: application/vnd.oma.drm.message\r\n\r\n";
  if (plays > 0) {
    message += "--b\r\nContent-Type: application/vnd.oma.drm.rights+xml\r\n\r\n"
               "<o-ex:rights xmlns:o-ex=\"http://odrl.net/1.1/ODRL-EX\" xmlns:o-dd=\"http://odrl.net/1.1/ODRL-DD\">"
               "<o-ex:context><o-dd:version>1.0</o-dd:version></o-ex:context><o-ex:agreement><o-ex:asset>"
               "<o-ex:context><o-dd:uid>cid:" + name + "@example</o-dd:uid></o-ex:context></o-ex:asset>"
               "<o-ex:permission><o-dd:play><o-ex:constraint><o-dd:count>" + std::to_string(plays) +
               "</o-dd:count></o-ex:constraint></o-dd:play></o-ex:permission></o-ex:agreement></o-ex:rights>\r\n";
  }
  message +=
      "--b\r\nContent-Type: video/mp4\r\n\r\n" +
      (video.empty() ? test_support::ReadFileBytes(test_support::CorpusPath("media/h264-qvga-aac.mp4")) : video) +
      "\r\n--b--\r\n";
  const std::u16string received = PutBytes(name + ".in", message);
  const std::u16string stored = u"\\My Documents\\" + Wide(name) + u".mp4";
  WCHAR type[64];
  EXPECT_EQ(FileDrmStoreContent(received.c_str(), stored.c_str(), nullptr, type, 64), S_OK);
  EXPECT_EQ(std::u16string_view(type), u"video/mp4");
  // What is stored is not the video itself: only the DRM service can read it.
  EXPECT_NE(test_support::ReadFileBytes(m_device.Host(stored)).find("ftyp"), 4u);
  return stored;
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
