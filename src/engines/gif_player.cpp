#include "engines/gif_player.h"

#include <algorithm>
#include <cstring>

#include "engines/image_fit.h"

std::vector<int> NearestMap(int oldSize, int newSize) {
  std::vector<int> map(static_cast<size_t>(std::max(newSize, 0)));
  for (int n = 0; n < newSize; ++n) {
    map[n] = static_cast<int>(std::min<int64_t>((int64_t{2} * n + 1) * oldSize / (int64_t{2} * newSize), oldSize - 1));
  }
  return map;
}

int ToNewCoordinate(int value, int oldSize, int newSize) {
  return static_cast<int>((int64_t{2} * value * newSize + oldSize) / (int64_t{2} * oldSize));
}

GifPlayer::~GifPlayer() = default;

std::unique_ptr<GifPlayer> GifPlayer::Open(ImageStream& stream, SIZE box, DWORD) {
  std::unique_ptr<GifPlayer> player(new GifPlayer());
  if (stream.Seek(0, 0) != 0 ||
      CallCodec<ImageDecodeInitFn>(CodecFamily::kGif, CodecEntry::kDecodeInit, stream.codecStream(),
                                   player->m_handle.out()) != 0 ||
      CallCodec<ImageGifGetGlobInfoFn>(CodecFamily::kGif, CodecEntry::kDecodeGetGlobInfo, player->m_handle.get(),
                                       &player->m_global) != 0) {
    return nullptr;
  }
  const ImageGifGlobalInfo& global = player->m_global;
  player->m_size = FitSize(global.screenWidth, global.screenHeight, box);
  player->m_frameCount = global.frameCount;
  player->m_canvas.reset(CreateDibImage(player->m_size.cx, player->m_size.cy, 24));
  player->m_saved.reset(CreateDibImage(player->m_size.cx, player->m_size.cy, 24));
  if (!player->m_canvas || !player->m_saved || global.screenWidth == 0 || global.screenHeight == 0) return nullptr;
  FillDibImage(player->m_canvas.get(), 255, 255, 255);
  player->m_columnOf = NearestMap(global.screenWidth, player->m_size.cx);
  player->m_rowOf = NearestMap(global.screenHeight, player->m_size.cy);
  return player;
}

// Disposal of the frame drawn before: 2 clears its rectangle to the white background, 3 puts back
// the canvas as it was before that frame.
bool GifPlayer::Dispose() {
  if (!m_hasPrevious) return true;
  const ImageGifFrameInfo& frame = m_previous;
  if (frame.disposal == 3) {
    std::memcpy(DibPixels(m_canvas.get()), DibPixels(m_saved.get()), DibStride(m_canvas.get()) * m_size.cy);
  } else if (frame.disposal == 2) {
    for (LONG y = 0; y < m_size.cy; ++y) {
      if (m_rowOf[y] < frame.top || m_rowOf[y] >= frame.top + frame.height) continue;
      BYTE* row = DibRowFromTop(m_canvas.get(), y);
      for (LONG x = 0; x < m_size.cx; ++x) {
        if (m_columnOf[x] >= frame.left && m_columnOf[x] < frame.left + frame.width) std::memset(row + x * 3, 255, 3);
      }
    }
  }
  return true;
}

// Source rows arrive top first; every canvas row whose nearest screen row is this one takes it.
bool GifPlayer::DrawRows(const ImageGifFrameInfo& frame, const BYTE* palette, uint32_t paletteBytes) {
  std::vector<BYTE> row(frame.width);
  LONG canvasRow = 0;
  for (int sourceRow = 0; sourceRow < frame.height; ++sourceRow) {
    int32_t done = 0, reserved = 0;
    if (CallCodec<ImageDecodeScanLinesFn>(CodecFamily::kGif, CodecEntry::kDecodeScanLines, m_handle.get(), row.data(),
                                          1, &done, &reserved) != 0) {
      return false;
    }
    int screenRow = frame.top + sourceRow;
    while (canvasRow < m_size.cy && m_rowOf[canvasRow] < screenRow) ++canvasRow;
    for (; canvasRow < m_size.cy && m_rowOf[canvasRow] == screenRow; ++canvasRow) {
      BYTE* out = DibRowFromTop(m_canvas.get(), canvasRow);
      for (LONG x = 0; x < m_size.cx; ++x) {
        int column = m_columnOf[x] - frame.left;
        if (column < 0 || column >= frame.width) continue;
        BYTE index = row[column];
        if (index == frame.transparentIndex || index * 4u + 3 > paletteBytes) continue;
        std::memcpy(out + x * 3, palette + index * 4, 3);
      }
    }
  }
  return true;
}

bool GifPlayer::RenderFrame(int index) {
  if (!m_canvas) return false;
  ImageGifFrameInfo frame{};
  if (CallCodec<ImageGifSetFrameIndexFn>(CodecFamily::kGif, CodecEntry::kDecodeSetFrameIndex, m_handle.get(), index) != 0 ||
      CallCodec<ImageGifGetFrameInfoFn>(CodecFamily::kGif, CodecEntry::kDecodeGetFrameInfo, m_handle.get(), &frame) != 0) {
    return false;
  }
  BYTE palette[1024] = {};
  uint32_t paletteBytes = sizeof palette;
  if (CallCodec<ImageGetColorTabFn>(CodecFamily::kGif, CodecEntry::kDecodeGetColorTab, m_handle.get(), palette,
                                    &paletteBytes) != 0) {
    return false;
  }
  Dispose();
  if (frame.disposal == 3) {
    std::memcpy(DibPixels(m_saved.get()), DibPixels(m_canvas.get()), DibStride(m_canvas.get()) * m_size.cy);
  }
  if (!DrawRows(frame, palette, paletteBytes)) return false;
  m_previous = frame;
  m_hasPrevious = true;
  m_delay = frame.delay * 10;
  return true;
}
