// Rows decoded ahead on a second thread: while the caller scales and stores one block of rows, the
// worker decodes the next ones. The worker and the caller meet only at a small ring of row blocks,
// so the decoder's state is touched by one thread at a time: by the worker once it has started.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace image_codec {

class RowPump {
 public:
  // Fills up to count rows of rowBytes each at rows, top first, and returns how many it filled;
  // fewer than asked means the decode failed after those rows. Runs on the worker thread only.
  using Producer = std::function<uint32_t(uint8_t* rows, uint32_t count)>;

  static constexpr uint32_t kBlockRows = 16;
  static constexpr uint32_t kBlocks = 4;

  RowPump(size_t rowBytes, uint32_t totalRows, Producer produce);
  // Stops the worker after the block it is decoding and waits for it.
  ~RowPump();
  RowPump(const RowPump&) = delete;
  RowPump& operator=(const RowPump&) = delete;

  // Starts the worker; false when no thread can be made (the caller then decodes by itself).
  bool Start();
  // Copies the next row into row; false after the last row or once the decode has failed.
  bool Take(uint8_t* row);

 private:
  struct Block {
    std::vector<uint8_t> rows;
    uint32_t filled = 0;  // rows the producer delivered
    uint32_t asked = 0;   // rows the producer was asked for
  };

  void Run();

  const size_t m_rowBytes;
  const uint32_t m_totalRows;
  Producer m_produce;
  std::vector<Block> m_blocks;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  uint64_t m_produced = 0;  // blocks handed over by the worker
  uint64_t m_consumed = 0;  // blocks the caller has finished with
  bool m_stopping = false;
  // The caller's place: the block it reads and the next row in it. Touched by the caller only.
  uint32_t m_rowInBlock = 0;
  uint32_t m_rowsTaken = 0;
  bool m_failed = false;
  std::thread m_worker;
};

}  // namespace image_codec
