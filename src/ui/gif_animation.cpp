#include "ui/gif_animation.h"

#include <algorithm>

#include "engines/codec_module.h"

namespace {

// A frame without a delay would make the animation spin; it stays as long as common viewers keep it.
constexpr int kDelayOfUntimedFrame = 100;

}  // namespace

std::unique_ptr<GifAnimation> GifAnimation::Open(LPCWSTR path, SIZE box) {
  std::unique_ptr<GifAnimation> animation(new GifAnimation());
  animation->m_stream = ImageStream::OpenFile(path, image_stream_mode::kRead);
  if (!animation->m_stream) return nullptr;
  ImageGifLoopInfo loop{};
  if (CallCodec<ImageGifGetGifInfoFn>(CodecFamily::kGif, CodecEntry::kGetGifInfo, animation->m_stream->codecStream(),
                                      &loop) == 0) {
    animation->m_loop = loop.hasLoop != 0;
  }
  animation->m_player = GifPlayer::Open(*animation->m_stream, box, 0);
  if (!animation->m_player || !animation->m_player->RenderFrame(0)) return nullptr;
  animation->m_left = animation->DelayOfShownFrame();
  animation->m_running = animation->m_player->frameCount() > 1;
  return animation;
}

GifAnimation::~GifAnimation() = default;

int GifAnimation::DelayOfShownFrame() const {
  const int delay = m_player->frameDelay();
  return delay > 0 ? delay : kDelayOfUntimedFrame;
}

bool GifAnimation::Advance(DWORD elapsedMs) {
  if (!m_running) return false;
  m_left -= elapsedMs;
  bool moved = false;
  // A long pause skips frames rather than drawing each; one pass over the frames is the most
  // drawn for any one call, and every frame takes at least a millisecond, so the loop ends.
  for (int drawn = 0; m_left <= 0 && drawn < m_player->frameCount(); ++drawn) {
    int next = m_frame + 1;
    if (next >= m_player->frameCount()) {
      if (!m_loop) {
        m_running = false;
        return moved;
      }
      next = 0;
    }
    if (!m_player->RenderFrame(next)) {
      m_running = false;
      return moved;
    }
    m_frame = next;
    moved = true;
    m_left += DelayOfShownFrame();
  }
  // Time owed beyond one pass is dropped: the animation goes on from the frame it reached.
  m_left = std::max<long long>(m_left, 1);
  return moved;
}
