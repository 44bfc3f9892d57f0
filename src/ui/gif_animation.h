// GifAnimation: an animated GIF played frame by frame at the delays the file gives, for views
// that draw it themselves (the emoticon picker's cells). The owner's frame timer tells it how much
// time went by; the file's loop extension says whether it starts over after the last frame.
#pragma once

#include <memory>

#include "engines/dib_image.h"
#include "engines/gif_player.h"
#include "engines/image_stream.h"
#include "platform/win_types.h"

class GifAnimation {
 public:
  // Opens the GIF at `path` fitted into `box` with its first frame drawn; null when it is no GIF
  // the player reads.
  static std::unique_ptr<GifAnimation> Open(LPCWSTR path, SIZE box);
  ~GifAnimation();
  GifAnimation(const GifAnimation&) = delete;
  GifAnimation& operator=(const GifAnimation&) = delete;

  const DibImage* Image() const { return m_player->canvas(); }
  int FrameCount() const { return m_player->frameCount(); }
  // The frame on show.
  int Frame() const { return m_frame; }
  // False once a GIF that does not loop has shown its last frame, or a frame failed to draw.
  bool Running() const { return m_running; }
  // Moves on by `elapsedMs`; true when another frame is on show.
  bool Advance(DWORD elapsedMs);

 private:
  GifAnimation() = default;
  int DelayOfShownFrame() const;

  std::unique_ptr<ImageStream> m_stream;
  std::unique_ptr<GifPlayer> m_player;
  bool m_loop = false;
  bool m_running = true;
  int m_frame = 0;
  long long m_left = 0;  // milliseconds the frame on show still stays
};
