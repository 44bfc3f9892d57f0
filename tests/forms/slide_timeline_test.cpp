// The time line driven tick by tick at 30 ms, as the presentation window's timer drives it.
#include "forms/slide_timeline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kTick = 30;

struct Event {
  std::string what;
  DWORD at;
  WPARAM wParam;
  LPARAM lParam;
};

class RecordingSink : public TimelineSink {
 public:
  DWORD now = 0;
  DWORD textBusyUntil = 0;
  std::vector<Event> events;

  void Notify(UINT message, WPARAM wParam, LPARAM lParam, bool posted) override {
    events.push_back({(posted ? "post " : "send ") + std::to_string(message), now, wParam, lParam});
  }
  void StartMedia(SlideMedia media) override { events.push_back({"start " + Name(media), now, 0, 0}); }
  void StopMedia(SlideMedia media) override { events.push_back({"stop " + Name(media), now, 0, 0}); }
  bool TextNeedsTime() override { return now < textBusyUntil; }

  const Event* First(const std::string& what) const {
    for (const Event& event : events) {
      if (event.what == what) return &event;
    }
    return nullptr;
  }
  std::vector<std::string> Posted() const {
    std::vector<std::string> posted;
    for (const Event& event : events) {
      if (event.what.rfind("post ", 0) == 0) posted.push_back(event.what);
    }
    return posted;
  }

 private:
  static std::string Name(SlideMedia media) {
    switch (media) {
      case SlideMedia::kPicture: return "picture";
      case SlideMedia::kText: return "text";
      default: return "audio";
    }
  }
};

TimelineSlide Slide(std::uint32_t duration) {
  TimelineSlide slide;
  slide.duration = duration;
  return slide;
}

// Ticks every 30 ms until the time line ends or `limit` ms have passed.
void Play(SlideTimeline& timeline, RecordingSink& sink, DWORD limit) {
  sink.now = 0;
  timeline.ShowSlide(0, sink.now, true);
  while (sink.now < limit) {
    sink.now += kTick;
    if (!timeline.Tick(sink.now)) return;
  }
}

TEST(SlideTimelineTest, ThreeSlidesOfTwoSecondsEndAfterSixSecondsWithAtEndThenEnded) {
  RecordingSink sink;
  SlideTimeline timeline({Slide(2000), Slide(2000), Slide(2000)}, sink);
  EXPECT_EQ(timeline.Total(), 6000u);
  Play(timeline, sink, 20000);

  const Event* atEnd = sink.First("post 1323");
  ASSERT_NE(atEnd, nullptr);
  EXPECT_GE(atEnd->at, 6000u);
  EXPECT_LT(atEnd->at, 6000u + kTick);
  EXPECT_EQ(atEnd->wParam, 6000u);
  EXPECT_EQ(sink.Posted(), (std::vector<std::string>{"post 1323", "post 1225"}));
  EXPECT_TRUE(timeline.Ended());
  EXPECT_EQ(timeline.CurrentSlide(), -1);

  // Each slide is announced once, in order, when the clock reaches its start.
  std::vector<std::pair<WPARAM, DWORD>> slides;
  for (const Event& event : sink.events) {
    if (event.what == "send 1228") slides.emplace_back(event.wParam, event.at);
  }
  ASSERT_EQ(slides.size(), 3u);
  for (WPARAM i = 0; i < 3; ++i) {
    EXPECT_EQ(slides[i].first, i);
    EXPECT_GE(slides[i].second, 2000u * i);
    EXPECT_LT(slides[i].second, 2000u * i + kTick);
  }
}

TEST(SlideTimelineTest, MediaStartOnTheFirstTickAtOrAfterTheirBeginAndStopAfterTheirEnd) {
  RecordingSink sink;
  TimelineSlide first = Slide(2000);
  first.media[static_cast<int>(SlideMedia::kPicture)] = {true, 0, 0};
  TimelineSlide second = Slide(3000);
  second.media[static_cast<int>(SlideMedia::kAudio)] = {true, 1000, 2500};
  SlideTimeline timeline({first, second}, sink);
  Play(timeline, sink, 20000);

  // A picture from the slide's start is up at once; without an end it lasts its slide.
  const Event* picture = sink.First("start picture");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->at, 0u);
  const Event* pictureGone = sink.First("stop picture");
  ASSERT_NE(pictureGone, nullptr);
  EXPECT_GE(pictureGone->at, 2000u);

  const Event* audio = sink.First("start audio");
  ASSERT_NE(audio, nullptr);
  EXPECT_GE(audio->at, 3000u);
  EXPECT_LT(audio->at, 3000u + kTick);
  const Event* audioStop = sink.First("stop audio");
  ASSERT_NE(audioStop, nullptr);
  EXPECT_GT(audioStop->at, 4500u);
  EXPECT_LE(audioStop->at, 4500u + kTick);
}

TEST(SlideTimelineTest, ScrollingTextHoldsItsSlideUntilDone) {
  RecordingSink sink;
  TimelineSlide first = Slide(1000);
  first.media[static_cast<int>(SlideMedia::kText)] = {true, 0, 0};
  SlideTimeline timeline({first, Slide(1000)}, sink);
  sink.textBusyUntil = 1300;
  Play(timeline, sink, 20000);

  std::vector<DWORD> slideStarts;
  for (const Event& event : sink.events) {
    if (event.what == "send 1228") slideStarts.push_back(event.at);
  }
  ASSERT_EQ(slideStarts.size(), 2u);
  // The next slide comes on the first tick after the text is done, 300 ms past the slide's end.
  EXPECT_GE(slideStarts[1], 1300u);
  EXPECT_LT(slideStarts[1], 1300u + kTick);
  ASSERT_NE(sink.First("post 1323"), nullptr);
}

TEST(SlideTimelineTest, AHoldLongerThanTheNextSlideDoesNotSkipIt) {
  RecordingSink sink;
  TimelineSlide first = Slide(1000);
  first.media[static_cast<int>(SlideMedia::kText)] = {true, 0, 0};
  SlideTimeline timeline({first, Slide(1000), Slide(1000)}, sink);
  sink.textBusyUntil = 5000;
  Play(timeline, sink, 20000);

  std::vector<std::pair<WPARAM, DWORD>> slides;
  for (const Event& event : sink.events) {
    if (event.what == "send 1228") slides.emplace_back(event.wParam, event.at);
  }
  // Every slide plays its full time after the hold, to within a tick.
  ASSERT_EQ(slides.size(), 3u);
  EXPECT_GE(slides[1].second, 5000u);
  EXPECT_NEAR(static_cast<double>(slides[2].second - slides[1].second), 1000.0, kTick);
  const Event* atEnd = sink.First("post 1323");
  ASSERT_NE(atEnd, nullptr);
  EXPECT_NEAR(static_cast<double>(atEnd->at - slides[2].second), 1000.0, kTick);
}

TEST(SlideTimelineTest, PauseFreezesThePositionAndResumeGoesOnFromIt) {
  RecordingSink sink;
  SlideTimeline timeline({Slide(2000)}, sink);
  timeline.ShowSlide(0, 0, true);
  for (sink.now = kTick; sink.now <= 900; sink.now += kTick) timeline.Tick(sink.now);
  timeline.Pause();
  const std::uint32_t paused = timeline.Position();
  EXPECT_EQ(sink.events.back().what, "send 1226");
  timeline.Tick(5000);  // no tick runs while paused, but a late one changes nothing
  EXPECT_EQ(timeline.Position(), paused);
  timeline.Resume(60000);
  EXPECT_EQ(sink.events.back().what, "send 1297");
  timeline.Tick(60000 + kTick);
  EXPECT_EQ(timeline.Position(), paused + kTick);
}

TEST(SlideTimelineTest, OddDurationsEndWithoutWrappingOrHanging) {
  RecordingSink sink;
  // Slides of no time pass one a tick; a slide of 0xFFFFFFFF ms does not wrap the total round.
  SlideTimeline empty({Slide(0), Slide(0), Slide(0)}, sink);
  Play(empty, sink, 1000);
  EXPECT_TRUE(empty.Ended());
  ASSERT_NE(sink.First("post 1323"), nullptr);

  RecordingSink longSink;
  SlideTimeline endless({Slide(0xFFFFFFFF), Slide(0xFFFFFFFF)}, longSink);
  EXPECT_EQ(endless.Total(), 0x7FFFFFFFu);
  Play(endless, longSink, 3000);
  EXPECT_FALSE(endless.Ended());
  EXPECT_EQ(endless.CurrentSlide(), 0);

  // Past the last slide is the end.
  RecordingSink pastSink;
  SlideTimeline past({Slide(1000)}, pastSink);
  past.ShowSlide(5, 0, true);
  EXPECT_TRUE(past.Ended());
  EXPECT_EQ(pastSink.Posted(), (std::vector<std::string>{"post 1225"}));
}

}  // namespace
