// The streaming resampler: result codes, coordinate taps, exact copies at ratio 1, area means, row
// placement in the buffer and the flush callback.
#include "engines/resampler.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ResamplerConfig Config(int sw, int sh, int dw, int dh, std::vector<BYTE>& buffer, int rows = -1) {
  ResamplerConfig config;
  config.sourceWidth = sw;
  config.sourceHeight = sh;
  config.sourceStride = sw * 3;
  config.destinationWidth = dw;
  config.destinationHeight = dh;
  config.destinationStride = dw * 3;
  config.bufferRows = rows < 0 ? dh : rows;
  buffer.assign(static_cast<size_t>(config.bufferRows) * dw * 3, 0);
  config.buffer = buffer.data();
  config.topDown = true;
  return config;
}

TEST(Resampler, CreationResultCodes) {
  std::vector<BYTE> buffer;
  struct Case {
    const char* what;
    ResamplerConfig config;
    int code;
  };
  ResamplerConfig depth = Config(4, 4, 2, 2, buffer);
  depth.bitCount = 16;
  ResamplerConfig zero = Config(4, 4, 2, 2, buffer);
  zero.sourceWidth = 0;
  ResamplerConfig noBuffer = Config(4, 4, 2, 2, buffer);
  noBuffer.buffer = nullptr;
  ResamplerConfig shortBuffer = Config(4, 4, 2, 2, buffer, 1);
  ResamplerConfig narrowStride = Config(4, 4, 2, 2, buffer);
  narrowStride.destinationStride = 5;
  const Case cases[] = {{"depth 16", depth, 3},
                        {"zero width", zero, 2},
                        {"no buffer", noBuffer, 2},
                        {"fewer rows than needed, no callback", shortBuffer, 2},
                        {"stride narrower than a row", narrowStride, 2},
                        {"good", Config(4, 4, 2, 2, buffer), 0}};
  for (const Case& c : cases) {
    std::unique_ptr<Resampler> resampler;
    EXPECT_EQ(Resampler::Create(c.config, resampler), c.code) << c.what;
    EXPECT_EQ(resampler != nullptr, c.code == 0) << c.what;
  }
}

TEST(Resampler, SameSizeIsAnExactCopyAndExtraRowsAreRefused) {
  std::vector<BYTE> buffer;
  std::unique_ptr<Resampler> resampler;
  ASSERT_EQ(Resampler::Create(Config(5, 3, 5, 3, buffer), resampler), 0);
  std::vector<BYTE> rows(45);
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<BYTE>(i * 5);
  for (int y = 0; y < 3; ++y) ASSERT_EQ(resampler->PushRow(&rows[y * 15]), 0);
  EXPECT_EQ(buffer, rows);
  EXPECT_EQ(resampler->PushRow(rows.data()), resample_result::kBadArgument);
}

TEST(Resampler, HalvingBlendsNeighboursBilinearly) {
  // Columns 0, 100, 200, 255 halve to positions 0.5 and 2.5: the means of the pairs.
  std::vector<BYTE> buffer;
  std::unique_ptr<Resampler> resampler;
  ResamplerConfig config = Config(4, 1, 2, 1, buffer);
  config.bitCount = 8;
  config.sourceStride = 4;
  config.destinationStride = 2;
  ASSERT_EQ(Resampler::Create(config, resampler), 0);
  const BYTE row[4] = {0, 100, 200, 255};
  ASSERT_EQ(resampler->PushRow(row), 0);
  EXPECT_EQ(buffer[0], 50);
  EXPECT_EQ(buffer[1], 227);
}

TEST(Resampler, AreaModeAveragesBlocksOnlyWhenBothRatiosExceedTwo) {
  std::vector<BYTE> buffer;
  std::unique_ptr<Resampler> resampler;
  ResamplerConfig config = Config(6, 6, 2, 2, buffer);
  config.mode = ResampleMode::kArea;
  ASSERT_EQ(Resampler::Create(config, resampler), 0);
  EXPECT_TRUE(resampler->areaMode());
  // Left half 30, right half 90, top rows brighter by 60.
  for (int y = 0; y < 6; ++y) {
    std::vector<BYTE> row(18);
    for (int x = 0; x < 6; ++x) std::fill_n(&row[x * 3], 3, static_cast<BYTE>((x < 3 ? 30 : 90) + (y < 3 ? 60 : 0)));
    ASSERT_EQ(resampler->PushRow(row.data()), 0);
  }
  EXPECT_NEAR(buffer[0], 90, 1);
  EXPECT_NEAR(buffer[3], 150, 1);
  EXPECT_NEAR(buffer[6], 30, 1);
  EXPECT_NEAR(buffer[9], 90, 1);
  ResamplerConfig wide = Config(6, 4, 2, 2, buffer);
  wide.mode = ResampleMode::kArea;
  ASSERT_EQ(Resampler::Create(wide, resampler), 0);
  EXPECT_FALSE(resampler->areaMode());  // the vertical ratio is only 2
}

struct Flushes {
  std::vector<int> rows;
  int stopAt = -1;
};

int Record(BYTE*, int rowsWritten, void* user) {
  auto* flushes = static_cast<Flushes*>(user);
  flushes->rows.push_back(rowsWritten);
  return rowsWritten == flushes->stopAt ? 9 : 0;
}

TEST(Resampler, BottomUpRowsWrapInTheBufferAndFlushWhenFull) {
  std::vector<BYTE> buffer;
  Flushes flushes;
  ResamplerConfig config = Config(1, 5, 1, 5, buffer, 2);
  config.topDown = false;
  config.flush = Record;
  config.user = &flushes;
  std::unique_ptr<Resampler> resampler;
  ASSERT_EQ(Resampler::Create(config, resampler), 0);
  for (BYTE y = 0; y < 5; ++y) {
    const BYTE row[3] = {BYTE(y + 10), BYTE(y + 10), BYTE(y + 10)};
    ASSERT_EQ(resampler->PushRow(row), 0);
    if (y == 1) {
      // Destination row 0 (written once source row 1 is in) goes to the last buffer row.
      EXPECT_EQ(buffer[3], 10);
      EXPECT_EQ(buffer[0], 0);
    }
  }
  EXPECT_EQ(flushes.rows, (std::vector<int>{2, 4, 5}));
  flushes = Flushes{{}, 2};
  ASSERT_EQ(Resampler::Create(config, resampler), 0);
  const BYTE row[3] = {1, 1, 1};
  EXPECT_EQ(resampler->PushRow(row), 0);
  EXPECT_EQ(resampler->PushRow(row), 0);
  EXPECT_EQ(resampler->PushRow(row), 9);  // the callback's answer stops the resampler
}

}  // namespace
