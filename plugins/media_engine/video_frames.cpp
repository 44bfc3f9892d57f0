#include "video_frames.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include "engines/media_engine_abi.h"
#include "platform/gdi/gdi_types.h"

namespace media_engine {
namespace {

// Packets read in search of one frame before the file counts as broken.
constexpr int kMaxPacketsPerFrame = 4096;

int RotationOf(const AVStream* stream) {
  const uint8_t* matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
  if (matrix == nullptr) return 0;
  double counterClockwise = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
  if (std::isnan(counterClockwise)) return 0;
  int clockwise = static_cast<int>(std::lround(-counterClockwise)) % 360;
  if (clockwise < 0) clockwise += 360;
  return (clockwise + 45) / 90 * 90 % 360;
}

struct DibBlock {
  DibImage* image = nullptr;
  BYTE* pixels = nullptr;
  size_t stride = 0;
};

DibBlock MakeDib(int width, int height) {
  DibBlock block;
  block.stride = (static_cast<size_t>(width) * 24 + 31) / 32 * 4;
  size_t bytes = sizeof(BITMAPINFOHEADER) + block.stride * static_cast<size_t>(height);
  void* memory = std::calloc(1, bytes);
  if (memory == nullptr) return block;
  auto* header = static_cast<BITMAPINFOHEADER*>(memory);
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = width;
  header->biHeight = height;
  header->biPlanes = 1;
  header->biBitCount = 24;
  header->biSizeImage = static_cast<DWORD>(block.stride * static_cast<size_t>(height));
  block.image = static_cast<DibImage*>(memory);
  block.pixels = static_cast<BYTE*>(memory) + sizeof(BITMAPINFOHEADER);
  return block;
}

}  // namespace

SIZE FitInto(int width, int height, SIZE box) {
  if (box.cx < 1 || box.cy < 1 || (width <= box.cx && height <= box.cy)) return SIZE{width, height};
  double scale = std::min(static_cast<double>(box.cx) / width, static_cast<double>(box.cy) / height);
  LONG w = static_cast<LONG>(std::lround(width * scale));
  LONG h = static_cast<LONG>(std::lround(height * scale));
  return SIZE{std::max<LONG>(w, 1), std::max<LONG>(h, 1)};
}

std::optional<VideoInfo> ReadVideoInfo(const MediaInput& input) {
  int index = input.BestStream(AVMEDIA_TYPE_VIDEO);
  if (index < 0) return std::nullopt;
  const AVStream* stream = input.format()->streams[index];
  const AVCodecParameters* parameters = stream->codecpar;
  if (parameters->width <= 0 || parameters->height <= 0 ||
      static_cast<int64_t>(parameters->width) * parameters->height > kMaxVideoPixels) {
    return std::nullopt;
  }
  VideoInfo info;
  info.codedWidth = parameters->width;
  info.codedHeight = parameters->height;
  info.rotation = RotationOf(stream);
  bool turned = info.rotation == 90 || info.rotation == 270;
  info.width = turned ? info.codedHeight : info.codedWidth;
  info.height = turned ? info.codedWidth : info.codedHeight;
  info.durationMs = input.DurationMs();
  return info;
}

std::unique_ptr<VideoDecoder> VideoDecoder::Open(MediaInput& input) {
  auto info = ReadVideoInfo(input);
  if (!info) return nullptr;
  std::unique_ptr<VideoDecoder> decoder(new VideoDecoder);
  decoder->m_input = &input;
  decoder->m_info = *info;
  decoder->m_stream = input.BestStream(AVMEDIA_TYPE_VIDEO);
  AVStream* stream = input.format()->streams[decoder->m_stream];
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (codec == nullptr) return nullptr;
  decoder->m_codec = avcodec_alloc_context3(codec);
  decoder->m_packet = av_packet_alloc();
  if (decoder->m_codec == nullptr || decoder->m_packet == nullptr) return nullptr;
  if (avcodec_parameters_to_context(decoder->m_codec, stream->codecpar) < 0) return nullptr;
  decoder->m_codec->thread_count = 1;
  decoder->m_codec->pkt_timebase = stream->time_base;
  if (avcodec_open2(decoder->m_codec, codec, nullptr) < 0) return nullptr;
  for (unsigned i = 0; i < input.format()->nb_streams; ++i) {
    if (static_cast<int>(i) != decoder->m_stream) input.format()->streams[i]->discard = AVDISCARD_ALL;
  }
  return decoder;
}

VideoDecoder::~VideoDecoder() {
  av_packet_free(&m_packet);
  avcodec_free_context(&m_codec);
}

FramePointer VideoDecoder::Next(int64_t* timeMs) {
  FramePointer frame(av_frame_alloc());
  if (!frame) return nullptr;
  AVStream* stream = m_input->format()->streams[m_stream];
  for (int attempts = 0; attempts < kMaxPacketsPerFrame; ++attempts) {
    int received = avcodec_receive_frame(m_codec, frame.get());
    if (received == 0) {
      if (frame->width != m_info.codedWidth || frame->height != m_info.codedHeight) return nullptr;
      int64_t pts = frame->best_effort_timestamp;
      int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
      *timeMs = pts == AV_NOPTS_VALUE ? 0 : av_rescale_q(pts - start, stream->time_base, AVRational{1, 1000});
      return frame;
    }
    if (received == AVERROR_EOF || received != AVERROR(EAGAIN) || m_input->PastDeadline()) return nullptr;
    if (m_drained) return nullptr;
    int read = av_read_frame(m_input->format(), m_packet);
    if (read < 0) {
      m_drained = true;
      avcodec_send_packet(m_codec, nullptr);
      continue;
    }
    if (m_packet->stream_index == m_stream) avcodec_send_packet(m_codec, m_packet);
    av_packet_unref(m_packet);
  }
  return nullptr;
}

DibImage* FrameToDib(const AVFrame* frame, int rotation, SIZE target) {
  bool turned = rotation == 90 || rotation == 270;
  int scaledWidth = static_cast<int>(turned ? target.cy : target.cx);
  int scaledHeight = static_cast<int>(turned ? target.cx : target.cy);
  if (scaledWidth < 1 || scaledHeight < 1) return nullptr;
  SwsContext* scaler = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                      scaledWidth, scaledHeight, AV_PIX_FMT_BGR24,
                                      SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT | SWS_BITEXACT, nullptr,
                                      nullptr, nullptr);
  if (scaler == nullptr) return nullptr;
  int scaledStride = scaledWidth * 3;
  std::unique_ptr<uint8_t[]> scaled(new (std::nothrow) uint8_t[static_cast<size_t>(scaledStride) * scaledHeight]);
  if (!scaled) {
    sws_freeContext(scaler);
    return nullptr;
  }
  uint8_t* planes[4] = {scaled.get(), nullptr, nullptr, nullptr};
  int strides[4] = {scaledStride, 0, 0, 0};
  sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
  sws_freeContext(scaler);
  int width = static_cast<int>(target.cx), height = static_cast<int>(target.cy);
  DibBlock block = MakeDib(width, height);
  if (block.image == nullptr) return nullptr;
  for (int y = 0; y < height; ++y) {
    BYTE* row = block.pixels + block.stride * static_cast<size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      // Source pixel of display pixel (x, y) for a clockwise turn of the scaled picture.
      int sx = x, sy = y;
      if (rotation == 90) {
        sx = y;
        sy = scaledHeight - 1 - x;
      } else if (rotation == 180) {
        sx = scaledWidth - 1 - x;
        sy = scaledHeight - 1 - y;
      } else if (rotation == 270) {
        sx = scaledWidth - 1 - y;
        sy = x;
      }
      std::memcpy(row + x * 3, scaled.get() + static_cast<size_t>(sy) * scaledStride + sx * 3, 3);
    }
  }
  return block.image;
}

}  // namespace media_engine
