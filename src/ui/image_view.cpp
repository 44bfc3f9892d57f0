#include "ui/image_view.h"

#include <algorithm>

#include "engines/codec_module.h"
#include "engines/image_decode.h"
#include "engines/image_info.h"
#include "engines/media_engine_adapter.h"
#include "engines/picture_type.h"
#include "platform/drm/drm_service.h"
#include "platform/kernel/clock.h"
#include "ui/fitted_picture.h"

namespace {

constexpr DWORD kSubtypeGif = 2;
constexpr DWORD kSubtypeSvg = 6;

DibImage* const kNoStill = reinterpret_cast<DibImage*>(static_cast<intptr_t>(-1));

bool IsViewVideo(MediaType type) { return IsEngineVideoType(type); }

bool IsProtectedContent(LPCWSTR path) {
  BOOL isProtected = FALSE;
  return SUCCEEDED(FileDrmIsDRM(path, &isProtected)) && isProtected;
}

}  // namespace

CImageView::~CImageView() { Release(); }

const MessageMap* CImageView::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_TIMER, &CImageView::OnTimer),
      OnMessage(WM_LBUTTONDOWN, &CImageView::OnLButtonDown),
      OnMessage(WM_SIZE, &CImageView::OnSize),
      OnMessage(WM_KEYUP, &CImageView::OnKeyUp),
      OnMessage(WM_ERASEBKGND, &CImageView::OnEraseBackground),
      OnMessage(kImageViewVideoEnd, &CImageView::OnVideoEnd),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CImageView::Create(HWND parent, const RECT& rect, UINT controlId) {
  return CWndBase::Create(u"ImageViewWndClass", nullptr, WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, nullptr, parent, controlId,
                          kWhiteBackground);
}

SIZE CImageView::DecodeBox(SIZE picture) {
  LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  LONG larger = std::max(width, height), smaller = std::min(width, height);
  if (picture.cx > picture.cy) return SIZE{larger, smaller};
  if (picture.cx < picture.cy) return SIZE{smaller, larger};
  return SIZE{width, height};
}

void CImageView::Release() {
  KillTimer(kImageViewFrameTimer);
  m_playing = false;
  m_gif.reset();
  m_gifStream.reset();
  m_picture.reset();
  m_redraw.reset();
  if (m_isSvg && m_svg != nullptr) m_svg->Close();
  if (m_isVideo && m_video != nullptr && Video_GetState(m_video) != engine_state::kBusy) {
    Video_Stop(m_video);
    Video_UnloadFile(m_video);
  }
  m_isSvg = m_isVideo = m_protected = false;
  m_nextFrame = 0;
}

BOOL CImageView::Load(LPCWSTR path, MediaType typeCode, int* result, BOOL thumbnail, intptr_t ownerData, DWORD flags) {
  Release();
  m_thumbnail = thumbnail != FALSE;
  m_ownerData = ownerData;
  m_flags = flags;
  int code = image_view_result::kNoPath;
  if (media_type::KindOf(typeCode) == media_type::kNoKind) {
    // A type code without a kind is refused at once.
    code = image_view_result::kUnknownSubtype;
  } else if (path != nullptr && path[0] != 0) {
    m_path = CString(path);
    m_type = typeCode;
    m_size = SIZE{};
    GetImageInfo(path, &m_size, nullptr, typeCode);
    SIZE box = DecodeBox(m_size);
    DWORD format = media_type::FormatOf(typeCode);
    if (format == media_type::kRefusedFormat) {
      code = image_view_result::kRefused;
    } else if (media_type::KindOf(typeCode) == media_type::kImage) {
      code = LoadImage(typeCode, box);
    } else if (media_type::KindOf(typeCode) == media_type::kVideo) {
      code = LoadVideo(typeCode, box);
    } else {
      code = image_view_result::kUnknownSubtype;
    }
  }
  m_result = code;
  if (result != nullptr) *result = code;
  bool loaded = code == image_view_result::kLoaded || (code == image_view_result::kVideoWithoutStill && m_thumbnail);
  if (!loaded && code != image_view_result::kVideoWithoutStill) Release();
  InvalidateRect(nullptr, TRUE);
  return loaded ? TRUE : FALSE;
}

int CImageView::LoadImage(MediaType type, SIZE box) {
  DWORD format = media_type::FormatOf(type);
  if (format == media_type::kOtherFormat) return image_view_result::kUnknownSubtype;
  if (format == kSubtypeSvg && m_svg != nullptr) {
    m_picture.reset(DecodeImage(m_path, &box, type, 0));
    if (!m_picture) return image_view_result::kPlayerFailed;
    if (!m_thumbnail) {
      RECT client{};
      GetClientRect(&client);
      m_svg->Attach(GetHandle(), client);
      int mode = ((m_flags & 0x3) ? 2 : 0) + ((m_flags & 0x2) ? 1 : 0);
      if (!m_svg->Open(m_path, mode)) return image_view_result::kPlayerFailed;
      m_isSvg = true;
    }
    return image_view_result::kLoaded;
  }
  if (format == kSubtypeGif && !m_thumbnail) return LoadGif(box);
  m_picture.reset(DecodeImage(m_path, &box, type, 0));
  return m_picture ? image_view_result::kLoaded : image_view_result::kPictureUndecodable;
}

int CImageView::LoadGif(SIZE box) {
  m_gifStream = ImageStream::OpenFile(m_path, image_stream_mode::kRead);
  if (!m_gifStream) return image_view_result::kPictureUndecodable;
  ImageGifLoopInfo loop{};
  if (CallCodec<ImageGifGetGifInfoFn>(CodecFamily::kGif, CodecEntry::kGetGifInfo, m_gifStream->codecStream(), &loop) ==
      0) {
    m_loop = loop.hasLoop != 0;
  }
  m_gif = GifPlayer::Open(*m_gifStream, box, 0);
  if (!m_gif || !m_gif->RenderFrame(0)) {
    m_gif.reset();
    return image_view_result::kPictureUndecodable;
  }
  m_nextFrame = 1;
  m_remainingDelay = m_gif->frameDelay();
  return image_view_result::kLoaded;
}

int CImageView::LoadVideo(MediaType type, SIZE box) {
  DWORD format = media_type::FormatOf(type);
  if (format == media_type::kOtherFormat) return image_view_result::kUnknownSubtype;
  if (!IsViewVideo(type)) return image_view_result::kVideoNotPlayed;
  if (m_video == nullptr) return image_view_result::kPlayerFailed;
  DibImage* still = DecodeImage(m_path, &box, type, 0);
  int code = image_view_result::kLoaded;
  if (still == kNoStill) {
    code = image_view_result::kVideoWithoutStill;
  } else if (still == nullptr) {
    if (Video_GetEngineType() != video_engine_type::kPlaysWithoutStill) return image_view_result::kPlayerFailed;
  } else {
    m_picture.reset(still);
  }
  if (!m_thumbnail) {
    ShowWindow(SW_SHOW);
    UpdateWindow();
    RECT client{};
    GetClientRect(&client);
    Video_SetEngine(m_video, GetHandle(), client.left, client.top, client.right, client.bottom);
    Video_SetConfig(m_video, engine_config::kThumbnailOwner, m_ownerData);
    // The engine answers 0 for a file it cannot open (and a negative value on other engines).
    if (Video_LoadFile(m_video, m_path, 0) <= 0) return image_view_result::kPlayerFailed;
    m_isVideo = true;
    // Protected content is shown only by the engine, while it plays.
    m_protected = IsProtectedContent(m_path);
    if (m_protected) m_picture.reset();
  }
  return code;
}

void CImageView::Play() {
  if (m_thumbnail) return;
  if (m_gif) {
    m_lastTick = GetTickCount();
    m_playing = true;
    SetTimer(kImageViewFrameTimer, kImageViewFrameMs, nullptr);
    return;
  }
  if (m_isVideo && m_video != nullptr) {
    bool asked = false;
    if (Video_GetState(m_video) == engine_state::kLoading &&
        !Audio_IsUseVideoPlayer(ULC_Global::GetGlobal()->InitAudioInstance())) {
      UpdateWindow();
      Video_Play(m_video, 100);
      asked = true;
    }
    m_playing = Video_GetState(m_video) == engine_state::kPlaying;
    if (m_protected && asked && !m_playing) {
      // The engine refused the protected video (no play left): nothing of it stays on show.
      m_result = image_view_result::kRefused;
      m_picture.reset();
      m_redraw.reset();
      InvalidateRect(nullptr, TRUE);
      return;
    }
    if (!m_picture && !m_protected) {
      SIZE box{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
      DibImage* still = DecodeImage(m_path, &box, m_type, 0);
      if (still != kNoStill) m_picture.reset(still);
    }
    return;
  }
  if (m_isSvg && m_svg != nullptr && !m_svg->playing()) m_playing = m_svg->Play();
}

void CImageView::Stop() {
  KillTimer(kImageViewFrameTimer);
  m_playing = false;
  if (m_isSvg && m_svg != nullptr) m_svg->Stop();
  if (m_isVideo && m_video != nullptr && Video_GetState(m_video) != engine_state::kBusy) Video_Stop(m_video);
}

bool CImageView::RenderNextGifFrame() {
  if (m_nextFrame >= m_gif->frameCount()) {
    if (!m_loop) return false;
    m_nextFrame = 0;
  }
  if (!m_gif->RenderFrame(m_nextFrame)) return false;
  ++m_nextFrame;
  return true;
}

LRESULT CImageView::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam != kImageViewFrameTimer || !m_gif) return 0;
  DWORD now = GetTickCount();
  m_remainingDelay -= static_cast<int>(now - m_lastTick);
  m_lastTick = now;
  if (m_remainingDelay > 0) return 0;
  int overshoot = -m_remainingDelay;
  if (!RenderNextGifFrame()) {
    KillTimer(kImageViewFrameTimer);
    m_playing = false;
    return 0;
  }
  m_remainingDelay = m_gif->frameDelay() - overshoot;
  InvalidateRect(nullptr, FALSE);
  return 0;
}

LRESULT CImageView::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
  HWND parent = GetParent();
  if (parent != nullptr) PostMessageW(parent, WM_LBUTTONDOWN, wParam, lParam);
  return 0;
}

LRESULT CImageView::OnSize(WPARAM, LPARAM) {
  RECT client{};
  GetClientRect(&client);
  if (m_isSvg && m_svg != nullptr) {
    m_svg->Attach(GetHandle(), client);
    if (m_svg->playing()) m_svg->Play();  // drawn again at the new size
  }
  if (m_isVideo && m_video != nullptr) {
    int32_t state = Video_GetState(m_video);
    if (state != engine_state::kIdle && state != engine_state::kNoRegion) {
      Video_ResetRegion(m_video, GetHandle(), client.left, client.top, client.right, client.bottom);
    }
  }
  return 0;
}

// Keys go on to the parent, which owns the commands.
LRESULT CImageView::OnKeyUp(WPARAM wParam, LPARAM lParam) {
  HWND parent = GetParent();
  if (parent != nullptr) PostMessageW(parent, WM_KEYUP, wParam, lParam);
  return 0;
}

// The picture covers what it draws; the rest is painted white in OnPaint, so nothing flickers.
LRESULT CImageView::OnEraseBackground(WPARAM, LPARAM) { return 1; }

LRESULT CImageView::OnVideoEnd(WPARAM, LPARAM) {
  m_redraw.reset();
  m_playing = false;
  if (m_video != nullptr && Video_GetEngineType() == video_engine_type::kOwnPlayer) {
    int32_t finished = 0;
    if (Video_GetFlag(m_video, engine_config::kFlagFinished, &finished) && finished) Video_Stop(m_video);
  }
  InvalidateRect(nullptr, FALSE);
  return 0;
}

BOOL CImageView::OnPaint(HDC hdc, PAINTSTRUCT*) {
  RECT client{};
  GetClientRect(&client);
  FillRect(hdc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (m_isSvg && m_svg != nullptr && m_svg->framesDelivered() > 0) {
    m_svg->Paint(hdc);
    return TRUE;
  }
  const DibImage* image = m_gif ? m_gif->canvas() : m_picture.get();
  if (m_isVideo && m_video != nullptr) {
    int32_t state = Video_GetState(m_video);
    if (state == engine_state::kPlaying || state == engine_state::kPaused) {
      // While a video plays or is paused, the frame on screen is drawn again rather than the still.
      m_redraw.reset(Video_CaptureCurrentFrame(m_video));
      if (m_redraw) image = m_redraw.get();
    }
  }
  if (image == nullptr) return TRUE;
  if (m_atDensity) {
    DrawPictureAtDensity(hdc, image, client);
    return TRUE;
  }
  // A picture larger than the view (its box follows its own orientation) is shown scaled to fit.
  LONG width = image->header.biWidth, height = image->header.biHeight;
  LONG areaWidth = client.right - client.left, areaHeight = client.bottom - client.top;
  LONG shownWidth = width, shownHeight = height;
  if (width > areaWidth || height > areaHeight) {
    if (static_cast<int64_t>(width) * areaHeight > static_cast<int64_t>(height) * areaWidth) {
      shownWidth = areaWidth;
      shownHeight = std::max<LONG>(1, static_cast<LONG>(static_cast<int64_t>(height) * areaWidth / width));
    } else {
      shownHeight = areaHeight;
      shownWidth = std::max<LONG>(1, static_cast<LONG>(static_cast<int64_t>(width) * areaHeight / height));
    }
  }
  StretchDIBits(hdc, (areaWidth - shownWidth) / 2, (areaHeight - shownHeight) / 2, shownWidth, shownHeight, 0, 0,
                width, height, DibPixels(image), reinterpret_cast<const BITMAPINFO*>(&image->header), DIB_RGB_COLORS,
                SRCCOPY);
  return TRUE;
}
