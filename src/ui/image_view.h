// CImageView ("ImageViewWndClass"): the visual object of a slide in both forms. It shows a still
// picture, plays an animated GIF frame by frame on its 10 ms frame timer, an SVG through the forms'
// SVG player, or a video through the video engine; in thumbnail mode only the still (first frame)
// is made and nothing plays. Load reports why it failed in the result codes the callers test.
#pragma once

#include <memory>

#include "engines/dib_image.h"
#include "engines/gif_player.h"
#include "engines/image_stream.h"
#include "engines/svg_player.h"
#include "model/media_types.h"
#include "transport/mms_global.h"
#include "ui/wnd_base.h"

// Result codes of Load.
namespace image_view_result {
constexpr int kLoaded = 0;
constexpr int kVideoWithoutStill = 1;
constexpr int kNoPath = -1;
constexpr int kPictureUndecodable = -2;
constexpr int kPlayerFailed = -3;
constexpr int kUnknownSubtype = -5;
constexpr int kVideoNotPlayed = -6;
constexpr int kRefused = -7;
}  // namespace image_view_result

inline constexpr UINT_PTR kImageViewFrameTimer = 4608;
inline constexpr UINT kImageViewFrameMs = 10;
// The engine's end of video, sent to the window given to Video_SetEngine.
inline constexpr UINT kImageViewVideoEnd = 0x04C9;

class CImageView : public CWndBase {
 public:
  // The SVG player and the video engine are the owner's; either may be null.
  CImageView(SvgPlayer* svgPlayer, ULC_VideoEngine* videoEngine) : m_svg(svgPlayer), m_video(videoEngine) {}
  ~CImageView() override;

  const MessageMap* GetMessageMap() const override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;

  // A visible child with the stock white background.
  BOOL Create(HWND parent, const RECT& rect, UINT controlId);
  // TRUE when the object loaded (a video without a still counts in thumbnail mode); *result gets
  // the code either way.
  BOOL Load(LPCWSTR path, MediaType typeCode, int* result, BOOL thumbnail, intptr_t ownerData, DWORD flags);
  void Play();
  void Stop();
  // A still smaller than the view is shown at its size for the screen's density, not pixel for pixel.
  void ShowAtDensity(bool atDensity) { m_atDensity = atDensity; }

  const DibImage* picture() const { return m_picture.get(); }
  bool playing() const { return m_playing; }
  int lastResult() const { return m_result; }
  int nextFrame() const { return m_nextFrame; }
  SIZE pictureSize() const { return m_size; }

  // The decode box: the screen turned to the picture's orientation.
  static SIZE DecodeBox(SIZE picture);

 protected:
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  LRESULT OnVideoEnd(WPARAM wParam, LPARAM lParam);

 private:
  void Release();
  int LoadImage(MediaType type, SIZE box);
  int LoadGif(SIZE box);
  int LoadVideo(MediaType type, SIZE box);
  bool RenderNextGifFrame();

  SvgPlayer* m_svg;
  ULC_VideoEngine* m_video;
  std::unique_ptr<DibImage, DibImageDeleter> m_picture;
  std::unique_ptr<DibImage, DibImageDeleter> m_redraw;  // a frame captured for repainting a video
  std::unique_ptr<ImageStream> m_gifStream;
  std::unique_ptr<GifPlayer> m_gif;
  int m_nextFrame = 0;
  bool m_loop = false;
  int m_remainingDelay = 0;
  DWORD m_lastTick = 0;
  CString m_path;
  MediaType m_type = media_type::kNone;
  SIZE m_size{};
  intptr_t m_ownerData = 0;
  DWORD m_flags = 0;
  bool m_thumbnail = false;
  bool m_atDensity = false;
  bool m_playing = false;
  bool m_isVideo = false;
  bool m_isSvg = false;
  bool m_protected = false;  // the video is protected content
  int m_result = image_view_result::kNoPath;
};
