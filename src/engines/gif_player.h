// The animated GIF player: a GIF opened with an output size fitted to a box, whose frames are
// rendered one after another onto a 24-bit canvas through nearest-neighbour index maps, honouring
// each frame's transparency and the disposal of the frame before it.
#pragma once

#include <memory>
#include <vector>

#include "engines/codec_module.h"
#include "engines/dib_image.h"
#include "engines/image_stream.h"

class GifPlayer {
 public:
  // Opens the GIF in `stream` (which must outlive the player) for the box; null when it cannot be
  // read or the canvas cannot be made.
  static std::unique_ptr<GifPlayer> Open(ImageStream& stream, SIZE box, DWORD flags);
  ~GifPlayer();
  GifPlayer(const GifPlayer&) = delete;
  GifPlayer& operator=(const GifPlayer&) = delete;

  SIZE size() const { return m_size; }
  int frameCount() const { return m_frameCount; }
  // Draws frame `index` onto the canvas (frames are meant to be drawn in order).
  bool RenderFrame(int index);
  // Delay of the last rendered frame, in milliseconds.
  int frameDelay() const { return m_delay; }
  const DibImage* canvas() const { return m_canvas.get(); }
  // Hands the canvas over to the caller; the player has none afterwards.
  DibImage* TakeImage() { return m_canvas.release(); }

 private:
  GifPlayer() : m_handle(CodecFamily::kGif, CodecEntry::kDecodeUninit) {}
  bool Dispose();
  bool DrawRows(const ImageGifFrameInfo& frame, const BYTE* palette, uint32_t paletteBytes);

  CodecHandle m_handle;
  ImageGifGlobalInfo m_global{};
  SIZE m_size{};
  int m_frameCount = 0;
  int m_delay = 0;
  std::unique_ptr<DibImage, DibImageDeleter> m_canvas;
  std::unique_ptr<DibImage, DibImageDeleter> m_saved;  // the canvas before a frame that restores it
  std::vector<int> m_columnOf;  // new column -> screen column
  std::vector<int> m_rowOf;     // new row -> screen row
  ImageGifFrameInfo m_previous{};
  bool m_hasPrevious = false;
};

// The nearest screen coordinate of each of `newSize` coordinates: floor((n + 0.5) x old / new).
std::vector<int> NearestMap(int oldSize, int newSize);
// The new coordinate of screen coordinate v: v x new / old, rounded half up.
int ToNewCoordinate(int value, int oldSize, int newSize);
