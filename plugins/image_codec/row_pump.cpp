#include "row_pump.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace image_codec {

RowPump::RowPump(size_t rowBytes, uint32_t totalRows, Producer produce)
    : m_rowBytes(rowBytes), m_totalRows(totalRows), m_produce(std::move(produce)), m_blocks(kBlocks) {
  for (Block& block : m_blocks) block.rows.resize(rowBytes * kBlockRows);
}

RowPump::~RowPump() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
  }
  m_changed.notify_all();
  if (m_worker.joinable()) m_worker.join();
}

bool RowPump::Start() {
  if (m_worker.joinable()) return false;
  try {
    m_worker = std::thread(&RowPump::Run, this);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

// Decodes block after block while the ring has room; stops at the last row, at the first failed
// block (the rows before the failure still reach the caller), or when the pump is destroyed.
void RowPump::Run() {
  uint32_t rowsAsked = 0;
  for (uint64_t index = 0; rowsAsked < m_totalRows; ++index) {
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_changed.wait(lock, [&] { return m_stopping || index - m_consumed < kBlocks; });
      if (m_stopping) return;
    }
    Block& block = m_blocks[index % kBlocks];
    block.asked = std::min(kBlockRows, m_totalRows - rowsAsked);
    block.filled = std::min(m_produce(block.rows.data(), block.asked), block.asked);
    rowsAsked += block.asked;
    const bool failed = block.filled < block.asked;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      ++m_produced;
    }
    m_changed.notify_all();
    if (failed) return;
  }
}

bool RowPump::Take(uint8_t* row) {
  if (m_failed || m_rowsTaken >= m_totalRows || !m_worker.joinable()) return false;
  // The lock is taken once a block: the worker does not touch a block again until it is handed back.
  if (m_rowInBlock == 0) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_produced > m_consumed; });
  }
  const Block& block = m_blocks[m_consumed % kBlocks];
  if (m_rowInBlock >= block.filled) {
    m_failed = true;
    return false;
  }
  std::memcpy(row, block.rows.data() + m_rowInBlock * m_rowBytes, m_rowBytes);
  ++m_rowsTaken;
  if (++m_rowInBlock == block.asked) {
    m_rowInBlock = 0;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      ++m_consumed;
    }
    m_changed.notify_all();
  }
  return true;
}

}  // namespace image_codec
