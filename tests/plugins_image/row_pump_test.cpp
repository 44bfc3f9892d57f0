// The ring between the decoding thread and the caller: every row arrives once and in order, a
// failure stops the rows at the last good one, and a pump dropped half way stops its worker.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "row_pump.h"

namespace image_codec {
namespace {

constexpr size_t kRowBytes = 5;

// Rows numbered from the top: every byte of row y holds y modulo 251.
RowPump::Producer Numbered(std::atomic<uint32_t>& produced, uint32_t failAt = UINT32_MAX) {
  return [&produced, failAt](uint8_t* rows, uint32_t count) {
    uint32_t done = 0;
    for (; done < count; ++done) {
      uint32_t y = produced.load();
      if (y == failAt) break;
      std::memset(rows + done * kRowBytes, static_cast<int>(y % 251), kRowBytes);
      produced.store(y + 1);
    }
    return done;
  };
}

TEST(RowPump, DeliversEveryRowOnceInOrderThenRefusesMore) {
  for (uint32_t total : {1u, RowPump::kBlockRows, RowPump::kBlockRows * RowPump::kBlocks + 3, 1000u}) {
    SCOPED_TRACE(total);
    std::atomic<uint32_t> produced{0};
    RowPump pump(kRowBytes, total, Numbered(produced));
    ASSERT_TRUE(pump.Start());
    std::vector<uint8_t> row(kRowBytes);
    for (uint32_t y = 0; y < total; ++y) {
      ASSERT_TRUE(pump.Take(row.data())) << y;
      ASSERT_EQ(row, std::vector<uint8_t>(kRowBytes, static_cast<uint8_t>(y % 251))) << y;
    }
    EXPECT_FALSE(pump.Take(row.data()));
    EXPECT_EQ(produced.load(), total);
  }
}

TEST(RowPump, AFailureEndsTheRowsAfterTheLastGoodOne) {
  for (uint32_t failAt : {0u, 7u, RowPump::kBlockRows, 100u}) {
    SCOPED_TRACE(failAt);
    std::atomic<uint32_t> produced{0};
    RowPump pump(kRowBytes, 200, Numbered(produced, failAt));
    ASSERT_TRUE(pump.Start());
    std::vector<uint8_t> row(kRowBytes);
    uint32_t taken = 0;
    while (pump.Take(row.data())) {
      ASSERT_EQ(row[0], taken % 251);
      ++taken;
    }
    EXPECT_EQ(taken, failAt);
    EXPECT_FALSE(pump.Take(row.data()));
  }
}

TEST(RowPump, DecodesOnlyAFewBlocksAheadAndStopsWhenDropped) {
  std::atomic<uint32_t> produced{0};
  {
    RowPump pump(kRowBytes, 10000, Numbered(produced));
    ASSERT_TRUE(pump.Start());
    std::vector<uint8_t> row(kRowBytes);
    ASSERT_TRUE(pump.Take(row.data()));
  }
  EXPECT_LE(produced.load(), RowPump::kBlockRows * (RowPump::kBlocks + 1));
}

TEST(RowPump, GivesNoRowsWithoutItsWorker) {
  std::atomic<uint32_t> produced{0};
  RowPump pump(kRowBytes, 10, Numbered(produced));
  std::vector<uint8_t> row(kRowBytes);
  EXPECT_FALSE(pump.Take(row.data()));
  EXPECT_EQ(produced.load(), 0u);
}

}  // namespace
}  // namespace image_codec
