#include "model/message_model.h"

#include <gtest/gtest.h>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "support/test_device.h"

namespace {

using test_support::TestDevice;

TEST(MessageModel, DefaultSlideDurationIsHeldBetweenItsBounds) {
  TestDevice device;
  struct Case {
    LONG slideDuration;
    LONG maxDuration;
    DWORD expected;
  };
  const Case cases[] = {
      {2000, 600000, 2000},   {500, 600000, 2000},     {5000, 600000, 5000},   {5000, 3000, 3000},
      {900000, 1000000, 600000}, {-1, 600000, 600000},  // read unsigned: a huge value
      {5000, -1, 5000},       {1000, 1000, 1000},
  };
  for (const Case& test : cases) {
    ASSERT_TRUE(SetConfigValue(numeric_setting::kSlideDuration, test.slideDuration, FALSE));
    ASSERT_TRUE(SetConfigValue(numeric_setting::kMaxDuration, test.maxDuration, FALSE));
    EXPECT_EQ(DefaultSlideDuration(), test.expected) << test.slideDuration << " " << test.maxDuration;
  }
}

TEST(MessageModel, PartsAreAddedAsAttachmentsAndRemovedWithTheirReferences) {
  MessageModel model;
  const auto card = AddPart(model, u"card.vcf", 1);
  EXPECT_EQ(card->type, 0x50001u);
  const auto picture = AddPartOfType(model, u"a.jpg", 0x10001);
  EXPECT_EQ(model.attachmentCount, 2);
  EXPECT_EQ(picture->fileName, u"a.jpg");

  Slide& slide = model.slides.emplace_back();
  SetReference(slide.image, MediaRef{RegionKind::kImage, 0, 0, &*picture, &*card});
  SetReference(slide.text, MediaRef{RegionKind::kText, 0, 0, &*card, nullptr});
  EXPECT_EQ(picture->inSlide, 1);
  EXPECT_EQ(CountAttachments(model), 0);

  // The count is of the parts no slide uses: removing a slide's part leaves it as it is.
  RemovePart(model, picture);
  EXPECT_FALSE(slide.image);
  EXPECT_EQ(model.attachmentCount, 0);
  RemovePart(model, card);
  EXPECT_FALSE(slide.text);
  EXPECT_TRUE(model.parts.empty());
  EXPECT_EQ(model.attachmentCount, 0);  // never below zero

  const auto last = AddPart(model, u"cal.vcs", 2);
  EXPECT_EQ(model.attachmentCount, 1);
  RemovePart(model, last);
  EXPECT_TRUE(model.parts.empty());
  EXPECT_EQ(model.attachmentCount, 0);
}

TEST(MessageModel, RemovingAnAlternativeClearsOnlyThatLink) {
  MessageModel model;
  const auto picture = AddPartOfType(model, u"a.jpg", 0x10001);
  const auto alternative = AddPartOfType(model, u"alt.txt", 0x30001);
  Slide& slide = model.slides.emplace_back();
  SetReference(slide.image, MediaRef{RegionKind::kImage, 0, 0, &*picture, &*alternative});
  RemovePart(model, alternative);
  ASSERT_TRUE(slide.image);
  EXPECT_EQ(slide.image->alternative, nullptr);
  EXPECT_EQ(slide.image->part, &*picture);
}

TEST(MessageModel, ResetForgetsLayoutAndSlides) {
  MessageModel model;
  const auto picture = AddPartOfType(model, u"a.jpg", 0x10001);
  model.layout.width = 176;
  model.layout.regions.push_back(LayoutRegion{});
  model.layout.backgroundColor = 0;
  SetReference(model.slides.emplace_back().image, MediaRef{RegionKind::kImage, 0, 0, &*picture, nullptr});

  ResetModel(model, false);
  EXPECT_EQ(model.layout.width, 0);
  EXPECT_TRUE(model.layout.regions.empty());
  EXPECT_EQ(model.layout.backgroundColor, kWhite);
  EXPECT_TRUE(model.slides.empty());
  ASSERT_EQ(model.parts.size(), 1u);
  EXPECT_EQ(picture->inSlide, 0);  // no slide is left to use it

  ResetModel(model, true);
  EXPECT_TRUE(model.parts.empty());
  EXPECT_EQ(model.attachmentCount, 0);
}

TEST(MessageModel, TotalDurationAddsUpWithoutWrapping) {
  MessageModel model;
  EXPECT_EQ(TotalDuration(model), 0u);
  model.slides.emplace_back().duration = 5000;
  model.slides.emplace_back().duration = 2500;
  EXPECT_EQ(TotalDuration(model), 7500u);
  model.slides.emplace_back().duration = 0xFFFFFFF0u;
  EXPECT_EQ(TotalDuration(model), 0xFFFFFFFFu);
}

}  // namespace
