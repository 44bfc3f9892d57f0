#include "engines/resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

// Taps for each destination index: p <= 0 maps to index 0 with weight 0.
template <typename Tap>
std::vector<Tap> Taps(int sourceSize, int destinationSize) {
  std::vector<Tap> taps(static_cast<size_t>(destinationSize));
  double ratio = static_cast<double>(sourceSize) / destinationSize;
  for (int i = 0; i < destinationSize; ++i) {
    double p = ratio * (i + 0.5) - 0.5;
    if (p <= 0) {
      taps[i] = Tap{0, 0};
      continue;
    }
    int index = std::min(static_cast<int>(p), sourceSize - 1);
    taps[i] = Tap{index, static_cast<int>(std::lround((p - index) * 256))};
  }
  return taps;
}

// The first source index that falls on destination index i (area mode), for i = 0 .. size.
std::vector<int> Starts(int sourceSize, int destinationSize) {
  std::vector<int> starts(static_cast<size_t>(destinationSize) + 1);
  for (int i = 0; i <= destinationSize; ++i) {
    starts[i] = static_cast<int>(static_cast<int64_t>(i) * sourceSize / destinationSize);
  }
  return starts;
}

}  // namespace

Resampler::Resampler(const ResamplerConfig& config)
    : m_config(config),
      m_channels(config.bitCount / 8),
      m_area(config.mode == ResampleMode::kArea &&
             static_cast<double>(config.sourceWidth) / config.destinationWidth > kAreaModeRatio &&
             static_cast<double>(config.sourceHeight) / config.destinationHeight > kAreaModeRatio) {}

int Resampler::Create(const ResamplerConfig& config, std::unique_ptr<Resampler>& resampler) {
  resampler.reset();
  if (config.bitCount != 8 && config.bitCount != 24 && config.bitCount != 32) return resample_result::kBadDepth;
  bool sizes = config.sourceWidth > 0 && config.sourceHeight > 0 && config.destinationWidth > 0 &&
               config.destinationHeight > 0 && config.sourceStride >= config.sourceWidth * config.bitCount / 8 &&
               config.destinationStride >= config.destinationWidth * config.bitCount / 8;
  bool buffer = config.buffer != nullptr && config.bufferRows > 0 &&
                (config.bufferRows >= config.destinationHeight || config.flush != nullptr);
  if (!sizes || !buffer) return resample_result::kBadArgument;
  std::unique_ptr<Resampler> made(new (std::nothrow) Resampler(config));
  if (!made || !made->BuildTables()) return resample_result::kOutOfMemory;
  resampler = std::move(made);
  return resample_result::kOk;
}

bool Resampler::BuildTables() {
  try {
    const ResamplerConfig& c = m_config;
    size_t rowValues = static_cast<size_t>(c.destinationWidth) * m_channels;
    if (m_area) {
      m_columnStarts = Starts(c.sourceWidth, c.destinationWidth);
      m_sum.assign(rowValues, 0);
    } else {
      m_columns = Taps<Tap>(c.sourceWidth, c.destinationWidth);
      m_rows = Taps<Tap>(c.sourceHeight, c.destinationHeight);
      m_previous.assign(rowValues, 0);
    }
    m_current.assign(rowValues, 0);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// Horizontal pass: bilinear taps, or the mean of the source columns under each destination column.
void Resampler::ScaleRow(const BYTE* source, uint16_t* out) const {
  const int channels = m_channels;
  const int lastColumn = m_config.sourceWidth - 1;
  for (int i = 0; i < m_config.destinationWidth; ++i, out += channels) {
    if (m_area) {
      int first = m_columnStarts[i];
      int end = std::max(m_columnStarts[i + 1], first + 1);
      for (int c = 0; c < channels; ++c) {
        uint32_t sum = 0;
        for (int x = first; x < end; ++x) sum += source[x * channels + c];
        out[c] = static_cast<uint16_t>(sum / static_cast<uint32_t>(end - first));
      }
      continue;
    }
    const Tap tap = m_columns[i];
    const BYTE* a = source + tap.index * channels;
    const BYTE* b = source + std::min(tap.index + 1, lastColumn) * channels;
    for (int c = 0; c < channels; ++c) out[c] = static_cast<uint16_t>(a[c] + (((b[c] - a[c]) * tap.weight) >> 8));
  }
}

int Resampler::PushRow(const BYTE* row) {
  if (row == nullptr || m_rowsFed >= m_config.sourceHeight) return resample_result::kBadArgument;
  if (!m_area) std::swap(m_previous, m_current);
  ScaleRow(row, m_current.data());
  ++m_rowsFed;
  return m_area ? EmitArea(m_rowsFed == m_config.sourceHeight) : EmitBilinear();
}

// Emits every destination row whose two source rows are in: rows index and index + 1, the last
// source row standing in for the one below it at the bottom edge.
int Resampler::EmitBilinear() {
  int newest = m_rowsFed - 1;
  while (m_rowsWritten < m_config.destinationHeight) {
    const Tap tap = m_rows[m_rowsWritten];
    int needed = std::min(tap.index + 1, m_config.sourceHeight - 1);
    if (needed > newest) return resample_result::kOk;
    // Row `index` is the previous row unless index is the newest (bottom edge, or weight-0 rows).
    const uint16_t* a = tap.index == newest ? m_current.data() : m_previous.data();
    int result = WriteRow(a, m_current.data(), tap.index == newest ? 0 : tap.weight);
    if (result != resample_result::kOk) return result;
  }
  return resample_result::kOk;
}

// Sums the rows that fall on the current destination row; emits it when its last row is in.
int Resampler::EmitArea(bool last) {
  for (size_t i = 0; i < m_sum.size(); ++i) m_sum[i] += m_current[i];
  ++m_sumRows;
  int destinationRow = m_rowsWritten;
  int64_t endOfRow = (static_cast<int64_t>(destinationRow) + 1) * m_config.sourceHeight / m_config.destinationHeight;
  if (m_rowsFed < endOfRow && !last) return resample_result::kOk;
  int result = WriteAreaRow();
  if (result != resample_result::kOk) return result;
  // The last source row also closes any destination rows still open.
  while (last && m_rowsWritten < m_config.destinationHeight) {
    result = WriteAreaRow();
    if (result != resample_result::kOk) return result;
  }
  return resample_result::kOk;
}

int Resampler::WriteAreaRow() {
  if (m_sumRows > 0) {
    uint32_t scale = 65536u / static_cast<uint32_t>(m_sumRows);
    for (size_t i = 0; i < m_sum.size(); ++i) m_current[i] = static_cast<uint16_t>((m_sum[i] * scale) >> 16);
  }
  std::fill(m_sum.begin(), m_sum.end(), 0);
  m_sumRows = 0;
  return WriteRow(m_current.data(), m_current.data(), 0);
}

int Resampler::WriteRow(const uint16_t* rowA, const uint16_t* rowB, int weight) {
  const ResamplerConfig& c = m_config;
  int slot = m_rowsWritten % c.bufferRows;
  int bufferRow = c.topDown ? slot : c.bufferRows - 1 - slot;
  BYTE* out = c.buffer + static_cast<size_t>(bufferRow) * c.destinationStride;
  size_t values = static_cast<size_t>(c.destinationWidth) * m_channels;
  for (size_t i = 0; i < values; ++i) {
    int a = rowA[i];
    out[i] = static_cast<BYTE>(a + (((rowB[i] - a) * weight) >> 8));
  }
  ++m_rowsWritten;
  bool full = slot == c.bufferRows - 1 || m_rowsWritten == c.destinationHeight;
  if (c.flush != nullptr && full) return c.flush(c.buffer, m_rowsWritten, c.user);
  return resample_result::kOk;
}
