#include "forms/presentation_window.h"

#include <algorithm>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/media_engine_adapter.h"
#include "forms/slide_player.h"
#include "platform/controls/control_messages.h"
#include "platform/kernel/clock.h"
#include "transport/mms_global.h"

namespace {

constexpr DWORD kCaptionOkButton = 0x80000000;
constexpr UINT kPictureViewId = 1;
// A text that does not fit its region is scrolled one line this often once its slide's time is
// up, so that the slide holds until the reader could have seen all of it.
constexpr DWORD kTextLineMs = 300;
// Nothing holds a slide longer than this, however long its text.
constexpr DWORD kLongestTextHoldMs = 10 * 60 * 1000;

RECT Inflated(const RECT& rect) {
  return RECT{rect.left, rect.top, std::max(rect.left + 1, rect.right), std::max(rect.top + 1, rect.bottom)};
}

SlideMediaTimes TimesOf(const std::optional<MediaRef>& reference) {
  SlideMediaTimes times;
  if (!reference || reference->part == nullptr) return times;
  times.present = true;
  times.begin = static_cast<std::uint32_t>(std::max<LONG>(reference->begin, 0));
  times.end = static_cast<std::uint32_t>(std::max<LONG>(reference->end, 0));
  return times;
}

}  // namespace

std::vector<TimelineSlide> TimelineSlidesOf(const MessageModel& model) {
  std::vector<TimelineSlide> slides;
  slides.reserve(model.slides.size());
  for (const Slide& slide : model.slides) {
    TimelineSlide timed;
    timed.duration = slide.duration;
    timed.media[static_cast<int>(SlideMedia::kPicture)] = TimesOf(slide.video ? slide.video : slide.image);
    timed.media[static_cast<int>(SlideMedia::kText)] = TimesOf(slide.text);
    // A slide with a video plays the video's own sound.
    if (!slide.video) timed.media[static_cast<int>(SlideMedia::kAudio)] = TimesOf(slide.audio);
    slides.push_back(timed);
  }
  return slides;
}

CPresentationWindow::CPresentationWindow(CSlidePlayer& player, HWND notify, MessageModel& model)
    : m_player(player), m_notify(notify), m_model(model), m_timeline(TimelineSlidesOf(model), *this) {}

CPresentationWindow::~CPresentationWindow() {
  KillTimer(kTimelineTimer);
  KillTimer(kIdleResumeTimer);
  StopAudio();
  // The views go before the window they live in.
  m_picture.reset();
  m_text.reset();
  m_html.reset();
  if (IsWindow()) ::DestroyWindow(GetHandle());
}

const MessageMap* CPresentationWindow::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_TIMER, &CPresentationWindow::OnTimer),
      OnMessage(WM_LBUTTONDOWN, &CPresentationWindow::OnLButtonDown),
      OnMessage(WM_ERASEBKGND, &CPresentationWindow::OnEraseBackground),
      OnMessage(WM_PLAYER_STOP_REQUEST, &CPresentationWindow::OnStopRequest),
      OnMessage(kHyperTextLinkOpened, &CPresentationWindow::OnLinkOpened),
      OnMessage(kHyperTextSelectionChanged, &CPresentationWindow::OnLinkSelected),
      OnMessage(kHyperTextTappedOutside, &CPresentationWindow::OnTextTappedOutside),
      OnMessage(kHyperTextScrolled, &CPresentationWindow::OnTextScrolled),
      OnMessage(kReadHtmlLink, &CPresentationWindow::OnHtmlLink),
      OnMessage(kReadHtmlFolder, &CPresentationWindow::OnHtmlFolder),
      OnMessage(WM_KEYUP, &CPresentationWindow::OnKeyUp),
      OnMessage(WM_KEYDOWN, &CPresentationWindow::OnKeyDown),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CPresentationWindow::Create(HWND parent, const RECT& rect, const SlideRegions& regions) {
  m_normalRect = rect;
  m_regions = regions;
  // A child of the read view, so that it moves with it; the full-screen mode lifts it out.
  if (!CreateEx(kCaptionOkButton, kPresentationWindowClass, u"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left,
                rect.top, rect.right - rect.left, rect.bottom - rect.top,
                ULC_Global::GetGlobal()->resourceModule.instance, parent, nullptr)) {
    return FALSE;
  }
  ULC_Global* global = ULC_Global::GetGlobal();
  m_picture = std::make_unique<CImageView>(nullptr, global->InitVideoInstance());
  if (!m_picture->Create(GetHandle(), Inflated(m_regions.picture), kPictureViewId)) m_picture.reset();
  if (m_picture) m_picture->ShowWindow(SW_HIDE);
  return TRUE;
}

void CPresentationWindow::SetRegions(const SlideRegions& regions) {
  m_regions = regions;
  PlaceViews();
}

void CPresentationWindow::PlaceViews() {
  const RECT& picture = m_regions.picture;
  const RECT& text = m_regions.text;
  if (m_picture) {
    ::MoveWindow(m_picture->GetHandle(), picture.left, picture.top, std::max<LONG>(1, picture.right - picture.left),
                 std::max<LONG>(1, picture.bottom - picture.top), TRUE);
  }
  if (m_text) {
    ::MoveWindow(m_text->GetHandle(), text.left, text.top, std::max<LONG>(1, text.right - text.left),
                 std::max<LONG>(1, text.bottom - text.top), TRUE);
    RECT area{0, 0, std::max<LONG>(1, text.right - text.left), std::max<LONG>(1, text.bottom - text.top)};
    m_text->Control().Resize(area);
  }
  if (m_html) {
    ::MoveWindow(m_html->GetHandle(), text.left, text.top, std::max<LONG>(1, text.right - text.left),
                 std::max<LONG>(1, text.bottom - text.top), TRUE);
  }
  InvalidateRect(nullptr, TRUE);
}

const Slide* CPresentationWindow::SlideAt(int index) const {
  if (index < 0) return nullptr;
  auto slide = m_model.slides.begin();
  for (int i = 0; i < index && slide != m_model.slides.end(); ++i) ++slide;
  return slide == m_model.slides.end() ? nullptr : &*slide;
}

const MediaRef* CPresentationWindow::VisualOf(const Slide& slide) const {
  if (slide.video && slide.video->part != nullptr) return &*slide.video;
  if (slide.image && slide.image->part != nullptr) return &*slide.image;
  return nullptr;
}

CString CPresentationWindow::PartPath(const MediaPart& part) const {
  CString path = m_model.partFolder;
  path += part.fileName.View();
  return path;
}

bool CPresentationWindow::PictureShown() const {
  return m_picture && ::IsWindowVisible(m_picture->GetHandle()) && m_picture->lastResult() >= 0;
}

bool CPresentationWindow::TextShown() const {
  if (m_htmlText) return m_html && ::IsWindowVisible(m_html->GetHandle());
  return m_text && ::IsWindowVisible(m_text->GetHandle());
}

void CPresentationWindow::ShowSlide(int index, bool play) {
  KillTimer(kTimelineTimer);
  m_ticking = false;
  m_paused = !play;
  m_holding = false;
  m_timeline.ShowSlide(index, GetTickCount(), play);
  if (play && m_timeline.Playing()) {
    m_ticking = SetTimer(kTimelineTimer, kTimelineTickMs, nullptr) != 0;
  }
}

void CPresentationWindow::Pause() {
  m_paused = true;
  if (m_audioPlaying) Audio_Pause(ULC_Global::GetGlobal()->InitAudioInstance());
  if (m_videoShown && m_picture) Video_Pause(ULC_Global::GetGlobal()->InitVideoInstance(), 0);
  KillTimer(kTimelineTimer);
  m_ticking = false;
  m_timeline.Pause();
}

void CPresentationWindow::Resume() {
  m_paused = false;
  const Slide* slide = SlideAt(m_timeline.CurrentSlide());
  if (slide == nullptr) return;
  ULC_Global* global = ULC_Global::GetGlobal();
  if (m_audioPlaying) Audio_Play(global->InitAudioInstance(), 0, -1, 1, 100);
  if (m_videoShown && m_picture) Video_Play(global->InitVideoInstance(), 100);
  KillTimer(kIdleResumeTimer);
  m_idleTimer = false;
  m_timeline.Resume(GetTickCount());
  m_ticking = SetTimer(kTimelineTimer, kTimelineTickMs, nullptr) != 0;
}

void CPresentationWindow::Stop() {
  KillTimer(kTimelineTimer);
  KillTimer(kIdleResumeTimer);
  m_ticking = false;
  m_idleTimer = false;
  StopAudio();
  if (m_videoShown && m_picture) m_picture->Stop();
  m_videoShown = false;
  m_paused = false;
  if (m_fullScreen) SetMode(false, m_normalRect, m_regions);
  m_player.OnStopped();
  m_timeline.Stop();
}

void CPresentationWindow::SetMode(bool fullScreen, const RECT& rect, const SlideRegions& regions) {
  m_regions = regions;
  HWND hwnd = GetHandle();
  if (fullScreen && !m_fullScreen) {
    ::SetParent(hwnd, nullptr);
    ::SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG_PTR>(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN));
    SHFullScreen(hwnd, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
  } else if (!fullScreen && m_fullScreen) {
    SHFullScreen(hwnd, SHFS_SHOWTASKBAR);
    ::SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN));
    ::SetParent(hwnd, m_notify);
  }
  if (!fullScreen) m_normalRect = rect;
  m_fullScreen = fullScreen;
  ::SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER);
  PlaceViews();
  if (!fullScreen) {
    ::SetForegroundWindow(::GetParent(hwnd) != nullptr ? ::GetParent(hwnd) : hwnd);
    SetFocus();
  }
}

// TimelineSink

void CPresentationWindow::Notify(UINT message, WPARAM wParam, LPARAM lParam, bool posted) {
  if (message == WM_PLAYER_SLIDE) {
    const int index = static_cast<int>(wParam);
    m_player.OnSlideShown(index);
    m_holding = false;
    // The views start empty: what the slide shows arrives as its media begin.
    if (m_picture) {
      m_picture->Stop();
      m_picture->ShowWindow(SW_HIDE);
    }
    m_videoShown = false;
    HideText();
    InvalidateRect(nullptr, TRUE);
  }
  if (posted) {
    ::PostMessageW(m_notify, message, wParam, lParam);
  } else {
    ::SendMessageW(m_notify, message, wParam, lParam);
  }
  // The read view clears its current link before the new slide's media arrive.
  if (message == WM_PLAYER_SLIDE) ::SendMessageW(m_notify, WM_PLAYER_MEDIA_AHEAD, wParam, 0);
}

void CPresentationWindow::StartMedia(SlideMedia media) {
  const Slide* slide = SlideAt(m_timeline.CurrentSlide());
  if (slide == nullptr) return;
  switch (media) {
    case SlideMedia::kPicture:
      if (const MediaRef* visual = VisualOf(*slide)) ShowPicture(*visual);
      break;
    case SlideMedia::kText:
      if (slide->text) ShowText(*slide->text);
      break;
    case SlideMedia::kAudio:
      if (slide->audio && !slide->video) StartAudio(*slide->audio);
      break;
    case SlideMedia::kCount:
      break;
  }
}

void CPresentationWindow::StopMedia(SlideMedia media) {
  switch (media) {
    case SlideMedia::kPicture: {
      // A picture that ends with its slide stays up while a scrolling text holds the slide; one
      // with an earlier end of its own goes.
      const Slide* slide = SlideAt(m_timeline.CurrentSlide());
      const MediaRef* visual = slide ? VisualOf(*slide) : nullptr;
      const bool ownEnd = visual != nullptr && visual->end > 0 &&
                          static_cast<std::uint32_t>(visual->end) < slide->duration;
      if (m_videoShown && m_picture) m_picture->Stop();
      m_videoShown = false;
      if (ownEnd && m_picture) {
        m_picture->ShowWindow(SW_HIDE);
        InvalidateRect(nullptr, TRUE);
      }
      break;
    }
    case SlideMedia::kText:
      // At the end of the presentation the last text stays on the screen.
      if (m_timeline.Position() < m_timeline.Total()) HideText();
      break;
    case SlideMedia::kAudio:
      StopAudio();
      break;
    case SlideMedia::kCount:
      break;
  }
}

bool CPresentationWindow::TextNeedsTime() {
  if (m_htmlText || !m_text || !::IsWindowVisible(m_text->GetHandle())) return false;
  CHyperTextCtrl& control = m_text->Control();
  if (control.IsDone()) return false;
  // Held: the text scrolls on by itself, a line at a time, until its end has been shown.
  const DWORD now = GetTickCount();
  if (!m_holding) {
    m_holding = true;
    m_holdStart = now;
    m_nextLine = now + kTextLineMs;
  }
  if (now - m_holdStart > kLongestTextHoldMs) return false;
  while (static_cast<std::int32_t>(now - m_nextLine) >= 0) {
    const int before = control.ScrollPosition();
    ::SendMessageW(control.GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
    // A text that cannot move on is as far as it goes.
    if (control.ScrollPosition() == before) return false;
    m_nextLine += kTextLineMs;
  }
  return control.IsDone() == FALSE;
}

void CPresentationWindow::ShowPicture(const MediaRef& visual) {
  if (!m_picture || visual.part == nullptr) return;
  const CString path = PartPath(*visual.part);
  int result = image_view_result::kNoPath;
  m_picture->ShowWindow(SW_SHOW);
  // Media that cannot be shown are skipped; the slide still lasts its time.
  if (!m_picture->Load(path, visual.part->type, &result, FALSE, 0, 0)) {
    m_picture->ShowWindow(SW_HIDE);
    return;
  }
  m_videoShown = media_type::KindOf(visual.part->type) == media_type::kVideo;
  if (!m_paused) m_picture->Play();
  m_picture->InvalidateRect(nullptr, TRUE);
}

void CPresentationWindow::ShowText(const MediaRef& reference) {
  if (reference.part == nullptr) return;
  const MediaPart& part = *reference.part;
  const CString path = PartPath(part);
  const RECT area = Inflated(m_regions.text);
  m_htmlText = part.type == media_type::kMarkupText;
  if (m_htmlText) {
    if (!m_html) {
      m_html = std::make_unique<CTextXMLViewWnd>();
      if (!m_html->Create(GetHandle(), area)) {
        m_html.reset();
        return;
      }
    }
    m_html->ShowWindow(SW_SHOW);
    if (!m_html->ShowFile(path)) m_html->ShowWindow(SW_HIDE);
    return;
  }
  if (!m_text) {
    m_text = std::make_unique<CTextHyperViewWnd>();
    // Typed emoticons show as pictures where the device supports them (the control checks).
    if (!m_text->Create(GetHandle(), area, kHyperTextSelectable | kHyperTextEmoticons)) {
      m_text.reset();
      return;
    }
  }
  const TextStyle& style = part.style;
  const Slide* slide = SlideAt(m_timeline.CurrentSlide());
  const TextStyle& slideStyle = slide ? slide->style : style;
  const COLORREF textColour = style.textColorGiven ? style.textColor : slideStyle.textColor;
  const COLORREF background = style.backgroundColorGiven   ? style.backgroundColor
                              : slideStyle.backgroundColorGiven ? slideStyle.backgroundColor
                                                                : m_model.layout.backgroundColor;
  const int fontSize = static_cast<int>(std::clamp<LONG>(style.fontSizeGiven ? style.fontSize : 12, 6, 72));
  m_text->Control().SetColorsAndFont(textColour, background, fontSize);
  m_text->ShowWindow(SW_SHOW);
  const BOOL shown = media_type::KindOf(part.type) == media_type::kText && part.type == media_type::kInlineText
                         ? m_text->ShowText(part.fileName)
                         : m_text->ShowFile(path);
  if (!shown) m_text->ShowWindow(SW_HIDE);
  m_holding = false;
}

void CPresentationWindow::HideText() {
  if (m_text) m_text->ShowWindow(SW_HIDE);
  if (m_html) m_html->ShowWindow(SW_HIDE);
  m_htmlText = false;
}

void CPresentationWindow::StartAudio(const MediaRef& audio) {
  if (audio.part == nullptr) return;
  ULC_AudioEngine* engine = ULC_Global::GetGlobal()->InitAudioInstance();
  if (engine == nullptr) return;
  StopAudio();
  if (Audio_LoadFile(engine, PartPath(*audio.part), GetHandle(), 0) <= 0) return;
  if (m_paused) return;
  m_audioPlaying = Audio_Play(engine, 0, -1, 1, 100) != 0;
}

void CPresentationWindow::StopAudio() {
  if (!m_audioPlaying) return;
  ULC_AudioEngine* engine = ULC_Global::GetGlobal()->InitAudioInstance();
  Audio_Stop(engine);
  Audio_UnloadFile(engine);
  m_audioPlaying = false;
}

void CPresentationWindow::Tick() {
  if (m_paused) return;
  if (m_timeline.Tick(GetTickCount())) return;
  KillTimer(kTimelineTimer);
  m_ticking = false;
  if (!m_timeline.Ended()) return;
  // The end: the last slide stays on the screen, its sound and video stop.
  StopAudio();
  if (m_videoShown && m_picture) m_picture->Stop();
  m_videoShown = false;
  if (m_fullScreen) SetMode(false, m_normalRect, m_regions);
  m_player.OnStopped();
}

LRESULT CPresentationWindow::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == kTimelineTimer) {
    Tick();
  } else if (wParam == kIdleResumeTimer) {
    KillTimer(kIdleResumeTimer);
    m_idleTimer = false;
    if (m_player.State() == slide_player::kPaused) m_player.Play(false);
  }
  return 0;
}

void CPresentationWindow::UserAction(bool fromTap) {
  const LONG idle = GetConfigValue(numeric_setting::kPlayerIdleTime);
  if (idle <= 0) {
    // Without an idle time a tap only goes on to the read view; a reported action pauses for good.
    if (!fromTap) m_player.Pause();
    return;
  }
  const bool playing = m_player.State() == slide_player::kPlaying;
  if (!playing && !m_idleTimer) return;
  if (playing) m_player.Pause();
  KillTimer(kIdleResumeTimer);
  m_idleTimer = SetTimer(kIdleResumeTimer, static_cast<UINT>(idle), nullptr) != 0;
}

LRESULT CPresentationWindow::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
  UserAction(true);
  ::SendMessageW(m_notify, WM_LBUTTONDOWN, wParam, lParam);
  return 0;
}

LRESULT CPresentationWindow::OnEraseBackground(WPARAM wParam, LPARAM) {
  RECT client{};
  GetClientRect(&client);
  HBRUSH brush = ::CreateSolidBrush(m_model.layout.backgroundColor);
  ::FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
  ::DeleteObject(brush);
  return 1;
}

BOOL CPresentationWindow::OnPaint(HDC, PAINTSTRUCT*) { return TRUE; }

LRESULT CPresentationWindow::OnStopRequest(WPARAM, LPARAM) {
  m_player.Stop();
  return 0;
}

// Links the text view reports go on to the read view; a person touching the text counts as an action.
LRESULT CPresentationWindow::OnLinkOpened(WPARAM wParam, LPARAM lParam) {
  UserAction(false);
  return ::SendMessageW(m_notify, WM_READ_LINK_ACTIVATED, wParam, lParam);
}

// The control names the selected link by its number; the read view gets its record.
LRESULT CPresentationWindow::OnLinkSelected(WPARAM wParam, LPARAM) {
  UserAction(false);
  const LinkRecord* record = nullptr;
  if (m_text) {
    const std::vector<LinkRecord>& links = m_text->Control().Links().Links();
    if (wParam >= 1 && wParam <= links.size()) record = &links[wParam - 1];
  }
  return ::SendMessageW(m_notify, WM_READ_LINK_SELECTED, wParam, reinterpret_cast<LPARAM>(record));
}

LRESULT CPresentationWindow::OnTextTappedOutside(WPARAM, LPARAM) {
  UserAction(false);
  return 0;
}

LRESULT CPresentationWindow::OnTextScrolled(WPARAM, LPARAM) {
  // A person's scrolling; the window's own steps at a slide's end are not an action.
  if (!m_holding) UserAction(false);
  return 0;
}

LRESULT CPresentationWindow::OnHtmlLink(WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(m_notify, kReadHtmlLink, wParam, lParam);
}

LRESULT CPresentationWindow::OnHtmlFolder(WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(m_notify, kReadHtmlFolder, wParam, lParam);
}

// The read view hands the focus to this window; the keys it is given (and those its text view
// passes up) are the view's: the arrows move between slides, the Talk key calls.
LRESULT CPresentationWindow::OnKeyUp(WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(m_notify, WM_KEYUP, wParam, lParam);
}

// The player keeps the focus, so the keys that step through the links of a text or scroll it are
// passed to the text shown on the slide.
LRESULT CPresentationWindow::OnKeyDown(WPARAM wParam, LPARAM lParam) {
  if (wParam != VK_UP && wParam != VK_DOWN && wParam != VK_PRIOR && wParam != VK_NEXT) return 0;
  if (!TextShown()) return 0;
  HWND text = m_htmlText ? m_html->InputWindow() : m_text->Control().GetHandle();
  return ::SendMessageW(text, WM_KEYDOWN, wParam, lParam);
}
