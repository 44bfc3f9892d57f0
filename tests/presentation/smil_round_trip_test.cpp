// What the SMIL writer writes, the slide builder reads back the same.
#include <gtest/gtest.h>

#include "model/smil_writer.h"
#include "platform/kernel/file_api.h"
#include "presentation/slide_builder.h"
#include "support/test_device.h"

namespace {

using test_support::TestDevice;

void AddParts(MessageModel& model) {
  AddPartOfType(model, u"pic one.jpg", 0x10001);
  AddPartOfType(model, u"t&1.txt", 0x30001);
  AddPartOfType(model, u"s.amr", 0x20003);
  AddPartOfType(model, u"v.3gp", 0x40005);
  AddPartOfType(model, u"card.vcf", 0x50001);
}

MediaPart* PartAt(MessageModel& model, int index) { return &*std::next(model.parts.begin(), index); }

TEST(SmilRoundTrip, LayoutSlidesReferencesAndStylesSurvive) {
  TestDevice device;
  ASSERT_TRUE(CreateDirectoryW(u"\\parts", nullptr));
  MessageModel saved;
  AddParts(saved);
  saved.layout = {176, 144, {}, 0x00336699};
  // Pixels as a loader makes them from whole percentages (10%, 40%, 90%, 60% of 176 x 144).
  saved.layout.regions = {{RegionKind::kText, 0, 0, 176, 57, RegionFit::kScroll},
                          {RegionKind::kImage, 17, 57, 175, 143, RegionFit::kSlice}};
  MediaPart* text = PartAt(saved, 1);
  text->style = {0x0000FF, true, 0x00FF00, false, 20, true};
  Slide& first = saved.slides.emplace_back();
  first.duration = 4500;
  SetReference(first.image, {RegionKind::kImage, 0, 0, PartAt(saved, 0), nullptr});
  SetReference(first.text, {RegionKind::kText, 0, 0, text, nullptr});
  SetReference(first.audio, {RegionKind::kImage, 0, 0, PartAt(saved, 2), nullptr});
  Slide& second = saved.slides.emplace_back();
  second.duration = 8000;
  SetReference(second.video, {RegionKind::kImage, 0, 0, PartAt(saved, 3), nullptr});
  ASSERT_TRUE(WriteSmil(u"\\parts\\mms.smil", saved.layout, saved.slides));

  MessageModel loaded;
  AddParts(loaded);
  ASSERT_EQ(BuildSlides(u"\\parts\\mms.smil", loaded.layout, loaded.slides, loaded.parts, u"\\parts\\"),
            SlideBuildStatus::kOk);
  EXPECT_EQ(loaded.layout.width, 176);
  EXPECT_EQ(loaded.layout.height, 144);
  EXPECT_EQ(loaded.layout.backgroundColor, 0x00336699u);
  ASSERT_EQ(loaded.layout.regions.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const LayoutRegion& a = saved.layout.regions[i];
    const LayoutRegion& b = loaded.layout.regions[i];
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.bottom, b.bottom);
    EXPECT_EQ(a.fit, b.fit);
  }
  ASSERT_EQ(loaded.slides.size(), 2u);
  const Slide& one = loaded.slides.front();
  EXPECT_EQ(one.duration, 4500u);
  ASSERT_TRUE(one.image && one.text && one.audio);
  EXPECT_EQ(one.image->part, PartAt(loaded, 0));
  EXPECT_EQ(one.text->part, PartAt(loaded, 1));
  EXPECT_EQ(one.audio->part, PartAt(loaded, 2));
  const TextStyle& style = PartAt(loaded, 1)->style;
  EXPECT_TRUE(style.textColorGiven);
  EXPECT_EQ(style.textColor, 0x0000FFu);
  EXPECT_FALSE(style.backgroundColorGiven);
  EXPECT_EQ(style.fontSize, 20);
  const Slide& two = loaded.slides.back();
  EXPECT_EQ(two.duration, 8000u);
  ASSERT_TRUE(two.video);
  EXPECT_EQ(two.video->part, PartAt(loaded, 3));
  EXPECT_EQ(CountAttachments(loaded), 1);
}

}  // namespace
