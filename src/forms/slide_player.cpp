#include "forms/slide_player.h"

#include <algorithm>
#include <new>

#include "platform/kernel/power.h"
#include "platform/window/window_api.h"

namespace {

LONG Scale(LONG value, LONG to, LONG from) {
  return static_cast<LONG>(static_cast<std::int64_t>(value) * to / from);
}

}  // namespace

SlideRegions FitRegions(const MessageLayout& layout, const RECT& rect) {
  const LONG width = std::max<LONG>(0, rect.right - rect.left);
  const LONG height = std::max<LONG>(0, rect.bottom - rect.top);
  SlideRegions regions;
  regions.picture = RECT{0, 0, width, height / 2};
  regions.text = RECT{0, height / 2, width, height};
  bool picture = false;
  bool text = false;
  // A layout without a size of its own is taken as the rectangle's.
  const LONG from = layout.width > 0 ? layout.width : width;
  const LONG fromHeight = layout.height > 0 ? layout.height : height;
  if (from <= 0 || fromHeight <= 0) return regions;
  for (const LayoutRegion& region : layout.regions) {
    RECT fitted{Scale(std::clamp<LONG>(region.left, 0, from), width, from),
                Scale(std::clamp<LONG>(region.top, 0, fromHeight), height, fromHeight),
                Scale(std::clamp<LONG>(region.right, 0, from), width, from),
                Scale(std::clamp<LONG>(region.bottom, 0, fromHeight), height, fromHeight)};
    if (fitted.right <= fitted.left || fitted.bottom <= fitted.top) continue;
    if (region.kind == RegionKind::kImage && !picture) {
      regions.picture = fitted;
      picture = true;
    } else if (region.kind == RegionKind::kText && !text) {
      regions.text = fitted;
      text = true;
    }
  }
  return regions;
}

CSlidePlayer::~CSlidePlayer() {
  ReleaseBacklight();
  m_window.reset();
}

bool CSlidePlayer::Load(HWND notify, const RECT& rect, MessageModel* model, DWORD) {
  m_window.reset();
  m_state = slide_player::kStopped;
  m_display = slide_player::kDisplayEmpty;
  m_slide = 0;
  m_startTime = 0;
  m_notify = notify;
  m_model = model;
  if (model == nullptr) return false;
  m_total = TotalDuration(*model);
  auto window = std::unique_ptr<CPresentationWindow>(new (std::nothrow) CPresentationWindow(*this, notify, *model));
  if (!window) return false;
  const RECT area{0, 0, rect.right - rect.left, rect.bottom - rect.top};
  if (!window->Create(notify, rect, FitRegions(model->layout, area))) return false;
  m_window = std::move(window);
  // What the time line carries, which holds a presentation that would overflow its messages.
  m_total = m_window->Total();
  m_display = slide_player::kDisplayLoaded;
  return true;
}

int CSlidePlayer::SlideCount() const { return m_model ? static_cast<int>(m_model->slides.size()) : 0; }

void CSlidePlayer::Play(bool showOnly) {
  if (!m_window) return;
  if (m_state == slide_player::kStopped) {
    if (!showOnly) m_state = slide_player::kPlaying;
    m_window->ShowSlide(m_slide, !showOnly);
  } else if (m_state == slide_player::kPaused) {
    m_state = slide_player::kPlaying;
    m_window->Resume();
  }
  m_display = slide_player::kDisplayShowing;
  if (m_state == slide_player::kPlaying && m_keepBacklight) HoldBacklight();
}

void CSlidePlayer::Pause() {
  if (!m_window || m_state != slide_player::kPlaying) return;
  m_display = slide_player::kDisplayPaused;
  m_state = slide_player::kPaused;
  m_window->Pause();
  ReleaseBacklight();
}

void CSlidePlayer::Stop() {
  if (m_window) m_window->Stop();
  m_state = slide_player::kStopped;
  m_slide = 0;
  m_startTime = 0;
  m_display = slide_player::kDisplayStopped;
  ReleaseBacklight();
}

void CSlidePlayer::Reset() {
  m_state = slide_player::kStopped;
  m_slide = 0;
  m_startTime = 0;
}

void CSlidePlayer::GoTo(int index, bool showOnly) {
  if (!m_window) return;
  if (index < 0) index = 0;
  if (index >= SlideCount()) {
    // Past the last slide the playback ends, as at the end of the time line.
    ::PostMessageW(m_notify, WM_PLAYER_ENDED, m_total, m_total);
    return;
  }
  const bool play = m_state == slide_player::kPlaying && !showOnly;
  if (!play) m_state = slide_player::kStopped;
  m_window->ShowSlide(index, play);
}

void CSlidePlayer::OnSlideShown(int index) {
  // The start is the sum of the durations before the slide: a jump of several slides lands where
  // the time line has it, not one slide's duration away.
  std::uint64_t start = 0;
  int i = 0;
  for (auto slide = m_model->slides.begin(); slide != m_model->slides.end() && i < index; ++slide, ++i) {
    start += slide->duration;
  }
  m_slide = index;
  m_startTime = static_cast<std::uint32_t>(std::min<std::uint64_t>(start, 0x7FFFFFFF));
}

void CSlidePlayer::OnStopped() {
  m_display = slide_player::kDisplayStopped;
  m_state = slide_player::kStopped;
  m_slide = 0;
  m_startTime = 0;
  ReleaseBacklight();
}

void CSlidePlayer::SetRect(const RECT& rect, bool fullScreen) {
  if (!m_window || m_model == nullptr) return;
  const RECT area{0, 0, rect.right - rect.left, rect.bottom - rect.top};
  m_window->SetMode(fullScreen, rect, FitRegions(m_model->layout, area));
}

void CSlidePlayer::HoldBacklight() {
  if (m_power == nullptr) m_power = SetPowerRequirement(u"BKL1:", D0, POWER_NAME, nullptr, 0);
}

void CSlidePlayer::ReleaseBacklight() {
  if (m_power == nullptr) return;
  ReleasePowerRequirement(m_power);
  m_power = nullptr;
}
