// The video stream of a file: its size as displayed (after the rotation its display matrix asks
// for), and its frames decoded and turned into 24-bit bottom-up pictures (DibImage blocks, made
// with calloc so that the module frees them with free).
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <memory>
#include <optional>

#include "media_input.h"
#include "platform/win_types.h"

struct DibImage;

namespace media_engine {

struct VideoInfo {
  int codedWidth = 0;
  int codedHeight = 0;
  int rotation = 0;  // clockwise degrees: 0, 90, 180 or 270
  int width = 0;     // as displayed
  int height = 0;
  int64_t durationMs = -1;
};

// The video stream's description; nothing without a video stream or with an absurd size.
std::optional<VideoInfo> ReadVideoInfo(const MediaInput& input);

struct FrameDeleter {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using FramePointer = std::unique_ptr<AVFrame, FrameDeleter>;

// Decodes the video stream's frames in order.
class VideoDecoder {
 public:
  static std::unique_ptr<VideoDecoder> Open(MediaInput& input);
  ~VideoDecoder();
  VideoDecoder(const VideoDecoder&) = delete;
  VideoDecoder& operator=(const VideoDecoder&) = delete;

  const VideoInfo& info() const { return m_info; }
  // The next frame with its time in ms from the start, or null at the end or on an error.
  FramePointer Next(int64_t* timeMs);

 private:
  VideoDecoder() = default;
  MediaInput* m_input = nullptr;
  AVCodecContext* m_codec = nullptr;
  AVPacket* m_packet = nullptr;
  int m_stream = -1;
  VideoInfo m_info;
  bool m_drained = false;
};

// The frame scaled into `target` (its displayed orientation) and turned as the rotation says.
DibImage* FrameToDib(const AVFrame* frame, int rotation, SIZE target);

// The size a width x height picture takes in the box: scaled down to fit, never enlarged; a box
// with a side below 1 gives the picture's own size.
SIZE FitInto(int width, int height, SIZE box);

}  // namespace media_engine
