// A device of its own with the media libraries installed, the corpus files put into it on demand,
// and the expected values and pictures of the media corpus.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/json_value.h"
#include "engines/dib_image.h"
#include "support/test_device.h"

namespace media_test {

class MediaTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Copies corpus/media/NAME into "\My Documents\" and returns its device path.
  std::u16string Put(const std::string& name);
  // Writes bytes as "\My Documents\NAME".
  std::u16string PutBytes(const std::string& name, const std::string& bytes);
  // h264-qvga-aac.mp4 received as a DRM message and stored as protected content, the way a
  // received one is: forward-lock with no rights given (it plays freely), or combined delivery
  // whose rights allow `plays` plays. Returns the stored file's device path. `video` replaces the
  // corpus file's bytes when given.
  std::u16string PutProtectedVideo(const std::string& name, int plays, const std::string& video = {});

  test_support::TestDevice m_device;
};

// expected/NAME.json of the media corpus.
json_test::Value Expected(const std::string& name);
// Every file of the media corpus.
std::vector<std::string> CorpusMediaFiles();

// A PNG as red-green-blue rows, composited over white; empty when it cannot be read.
std::vector<uint8_t> ReadPngOverWhite(const std::filesystem::path& path, int& width, int& height);
double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

std::vector<uint8_t> RgbOf(const DibImage* image);

std::u16string Wide(const std::string& text);

}  // namespace media_test
