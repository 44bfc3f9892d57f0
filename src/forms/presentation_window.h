// CPresentationWindow ("Player main Windows"): shows the slides of a message model in the layout's
// picture and text regions and runs their time line on a 30 ms timer. Pictures and video go
// through the image view, text through the text view (or the HTML view for markup text), sound
// through the audio engine. Every step is told to the read view as its window messages.
#pragma once

#include <memory>
#include <optional>

#include "forms/slide_timeline.h"
#include "forms/text_hyper_view_wnd.h"
#include "forms/text_xml_view_wnd.h"
#include "model/message_model.h"
#include "ui/image_view.h"
#include "ui/wnd_base.h"

class CSlidePlayer;

constexpr const WCHAR* kPresentationWindowClass = u"Player main Windows";
constexpr UINT_PTR kTimelineTimer = 8209;
constexpr UINT kTimelineTickMs = 30;
constexpr UINT_PTR kIdleResumeTimer = 8228;
// Sent to the read view before a slide's media are shown (slide index, 0).
constexpr UINT WM_PLAYER_MEDIA_AHEAD = 1230;
// A link of the text was opened (LinkRecord*, point) or selected (link number, LinkRecord* or 0).
constexpr UINT WM_READ_LINK_ACTIVATED = 1250;
constexpr UINT WM_READ_LINK_SELECTED = 1318;
// Posted to itself at the end of the presentation: stops the playback.
constexpr UINT WM_PLAYER_STOP_REQUEST = 1324;

// Where the slide's picture and text go, in the presentation window's client coordinates.
struct SlideRegions {
  RECT picture{};
  RECT text{};
};

class CPresentationWindow : public CWndBase, private TimelineSink {
 public:
  // The model and the player outlive the window; `notify` is the read view.
  CPresentationWindow(CSlidePlayer& player, HWND notify, MessageModel& model);
  ~CPresentationWindow() override;

  const MessageMap* GetMessageMap() const override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;

  // A child of `parent` over `rect` (parent client coordinates), with its views made.
  BOOL Create(HWND parent, const RECT& rect, const SlideRegions& regions);
  void SetRegions(const SlideRegions& regions);

  // Shows slide `index` from its start; with `play` the time line runs on from there.
  void ShowSlide(int index, bool play);
  void Pause();
  void Resume();
  // Back to before the first slide; the read view hears 1225 (posted).
  void Stop();
  // Normal mode over `rect` of the read view, or the whole screen.
  void SetMode(bool fullScreen, const RECT& rect, const SlideRegions& regions);

  bool FullScreen() const { return m_fullScreen; }
  bool Paused() const { return m_paused; }
  int CurrentSlide() const { return m_timeline.CurrentSlide(); }
  std::uint32_t Position() const { return m_timeline.Position(); }
  std::uint32_t Total() const { return m_timeline.Total(); }
  const SlideRegions& Regions() const { return m_regions; }
  // The views, for the read view's focus and for tests; null when not made.
  CImageView* PictureView() { return m_picture.get(); }
  CTextHyperViewWnd* TextView() { return m_text.get(); }
  CTextXMLViewWnd* HtmlView() { return m_html.get(); }
  bool PictureShown() const;
  bool TextShown() const;
  bool AudioPlaying() const { return m_audioPlaying; }
  bool IdleTimerRunning() const { return m_idleTimer; }

 protected:
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  LRESULT OnStopRequest(WPARAM wParam, LPARAM lParam);
  LRESULT OnLinkOpened(WPARAM wParam, LPARAM lParam);
  LRESULT OnLinkSelected(WPARAM wParam, LPARAM lParam);
  LRESULT OnTextTappedOutside(WPARAM wParam, LPARAM lParam);
  LRESULT OnTextScrolled(WPARAM wParam, LPARAM lParam);
  LRESULT OnHtmlLink(WPARAM wParam, LPARAM lParam);
  LRESULT OnHtmlFolder(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);

 private:
  // TimelineSink
  void Notify(UINT message, WPARAM wParam, LPARAM lParam, bool posted) override;
  void StartMedia(SlideMedia media) override;
  void StopMedia(SlideMedia media) override;
  bool TextNeedsTime() override;

  const Slide* SlideAt(int index) const;
  const MediaRef* VisualOf(const Slide& slide) const;
  CString PartPath(const MediaPart& part) const;
  void ShowPicture(const MediaRef& visual);
  void ShowText(const MediaRef& text);
  void HideText();
  void StartAudio(const MediaRef& audio);
  void StopAudio();
  void PlaceViews();
  void Tick();
  // A person did something: an idle pause when so configured.
  void UserAction(bool fromTap);

  CSlidePlayer& m_player;
  HWND m_notify;
  MessageModel& m_model;
  SlideTimeline m_timeline;
  SlideRegions m_regions;
  RECT m_normalRect{};
  bool m_fullScreen = false;
  bool m_paused = false;
  bool m_ticking = false;
  bool m_idleTimer = false;
  bool m_audioPlaying = false;
  bool m_videoShown = false;
  bool m_htmlText = false;
  bool m_holding = false;  // a scrolling text holds the slide
  DWORD m_holdStart = 0;
  DWORD m_nextLine = 0;
  std::unique_ptr<CImageView> m_picture;
  std::unique_ptr<CTextHyperViewWnd> m_text;
  std::unique_ptr<CTextXMLViewWnd> m_html;
};

// The time line's slides from the model: the picture or video, text and audio windows of each.
std::vector<TimelineSlide> TimelineSlidesOf(const MessageModel& model);
