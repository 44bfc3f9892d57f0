// The streaming scanline resampler: source rows go in top to bottom, destination rows come out in
// order into a buffer of rows, handed to a flush callback whenever that buffer is full. Bilinear
// for moderate ratios; area averaging when both ratios exceed 2 and the caller asked for it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/win_types.h"

namespace resample_result {
constexpr int kOk = 0;
constexpr int kBadArgument = 2;  // also: more rows fed than the source has
constexpr int kBadDepth = 3;
constexpr int kOutOfMemory = 4;
}  // namespace resample_result

enum class ResampleMode { kBilinear = 1, kArea = 2 };

// Receives the buffer, the destination rows written so far and the user word; non-zero stops the
// resampler with that code.
using ResampleFlush = int (*)(BYTE* buffer, int rowsWritten, void* user);

struct ResamplerConfig {
  int sourceWidth = 0;
  int sourceHeight = 0;
  int sourceStride = 0;
  int destinationWidth = 0;
  int destinationHeight = 0;
  int destinationStride = 0;
  int bitCount = 24;  // 8, 24 or 32
  BYTE* buffer = nullptr;
  int bufferRows = 0;
  bool topDown = false;  // clear: destination row k goes to buffer row bufferRows - 1 - k % bufferRows
  ResampleFlush flush = nullptr;
  void* user = nullptr;
  ResampleMode mode = ResampleMode::kBilinear;
};

class Resampler {
 public:
  // Makes a resampler; the result code says why none was made.
  static int Create(const ResamplerConfig& config, std::unique_ptr<Resampler>& resampler);

  // Takes the next source row; returns a result code or the flush callback's non-zero answer.
  int PushRow(const BYTE* row);
  int rowsWritten() const { return m_rowsWritten; }
  bool areaMode() const { return m_area; }

 private:
  // A source position p = ratio x (i + 0.5) - 0.5 as a whole index and an 8-bit fraction.
  struct Tap {
    int index;
    int weight;
  };
  explicit Resampler(const ResamplerConfig& config);
  bool BuildTables();
  void ScaleRow(const BYTE* source, uint16_t* out) const;
  int EmitBilinear();
  int EmitArea(bool last);
  int WriteRow(const uint16_t* rowA, const uint16_t* rowB, int weight);
  int WriteAreaRow();

  ResamplerConfig m_config;
  int m_channels;
  bool m_area;
  std::vector<Tap> m_columns;       // bilinear: one tap per destination column
  std::vector<int> m_columnStarts;  // area: first source column of each destination column, and one past the end
  std::vector<Tap> m_rows;          // bilinear: one tap per destination row
  std::vector<uint16_t> m_previous;  // horizontally scaled rows (bilinear keeps the last two)
  std::vector<uint16_t> m_current;
  std::vector<uint32_t> m_sum;      // area: the rows of the current destination row, summed
  int m_sumRows = 0;
  int m_rowsFed = 0;
  int m_rowsWritten = 0;
};

// The ratio above which the area mode applies, in both directions.
constexpr double kAreaModeRatio = 2.0;
