// The slide editor on a model of its own: moving between slides, adding under the slide limit and
// before the signature slide, deleting, removing objects with their files, and the slide text as
// it is stored (UTF-16LE with a mark) and counted (UTF-8, with the mark's 3 bytes when asked).
#include "forms/slide_editor.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "support/test_device.h"

namespace {

using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

class SlideEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(m_device.Host(u"\\parts"));
    m_model.partFolder = CString(u"\\parts\\");
  }

  // A slide holding a picture file of the part folder.
  void GivePicture(SlideEditor& editor, const char16_t* name) {
    WriteFileBytes(m_device.Host(std::u16string(u"\\parts\\") + name), "picture");
    ASSERT_TRUE(editor.AddObject(name, media_type::kJpeg));
  }

  test_support::TestDevice m_device;
  MessageModel m_model;
};

TEST_F(SlideEditorTest, AnEmptyModelGetsOneSlideOfTheDefaultDurationAndALayout) {
  SetConfigValue(numeric_setting::kSlideDuration, 500, FALSE);
  SlideEditor editor(m_model);
  ASSERT_EQ(editor.Count(), 1);
  EXPECT_EQ(m_model.slides.front().duration, 2000u) << "raised to the shortest default";
  EXPECT_EQ(m_model.layout.regions.size(), 2u);
  EXPECT_FALSE(editor.IsChanged());
  EXPECT_EQ(editor.NavigationState(), 0);
}

TEST_F(SlideEditorTest, PreviousDropsTrailingEmptySlidesButNotTheFirst) {
  SlideEditor editor(m_model);
  GivePicture(editor, u"a.jpg");
  ASSERT_TRUE(editor.NextSlide());
  ASSERT_TRUE(editor.NextSlide() == false) << "an empty last slide is not followed by another";
  // Two empty slides after the picture, reached with add.
  ASSERT_TRUE(editor.AddSlide());
  ASSERT_EQ(editor.Count(), 3);
  ASSERT_EQ(editor.Current(), 2);
  editor.SetChanged(false);
  ASSERT_TRUE(editor.PreviousSlide());
  EXPECT_EQ(editor.Count(), 1) << "both empty slides went";
  EXPECT_EQ(editor.Current(), 0);
  EXPECT_TRUE(editor.IsChanged());
  EXPECT_FALSE(editor.PreviousSlide()) << "nothing before the first slide";
  EXPECT_EQ(editor.Count(), 1);
}

TEST_F(SlideEditorTest, PreviousFromAFilledLastSlideOnlyMoves) {
  SlideEditor editor(m_model);
  GivePicture(editor, u"a.jpg");
  ASSERT_TRUE(editor.NextSlide());
  GivePicture(editor, u"b.jpg");
  ASSERT_TRUE(editor.PreviousSlide());
  EXPECT_EQ(editor.Count(), 2);
  EXPECT_EQ(editor.Current(), 0);
  EXPECT_EQ(editor.NavigationState(), kNavigationNext);
}

TEST_F(SlideEditorTest, NineSlidesAreTheLimitForNextAndAdd) {
  SetConfigValue(numeric_setting::kMaxSlides, 9, FALSE);
  SlideEditor editor(m_model);
  for (int i = 0; i < 8; ++i) {
    GivePicture(editor, (u"p" + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u".jpg").c_str());
    ASSERT_TRUE(editor.NextSlide()) << i;
  }
  GivePicture(editor, u"last.jpg");
  ASSERT_EQ(editor.Count(), 9);
  EXPECT_FALSE(editor.MayAppendAfterCurrent());
  EXPECT_FALSE(editor.NextSlide());
  EXPECT_FALSE(editor.AddSlide());
  EXPECT_EQ(editor.Count(), 9);
}

TEST_F(SlideEditorTest, GoToIgnoresTheCurrentSlideAndIndicesBeyondTheLast) {
  SlideEditor editor(m_model);
  ASSERT_TRUE(editor.AddSlide());
  EXPECT_FALSE(editor.GoToSlide(1));
  EXPECT_FALSE(editor.GoToSlide(2));
  EXPECT_FALSE(editor.GoToSlide(20));
  EXPECT_FALSE(editor.GoToSlide(-1));
  EXPECT_TRUE(editor.GoToSlide(0));
  EXPECT_EQ(editor.Current(), 0);
}

TEST_F(SlideEditorTest, TheSignatureSlideStaysLastWhenSlidesAreAdded) {
  SetConfigValue(numeric_setting::kSignatureInLastSlide, 1, FALSE);
  SlideEditor editor(m_model);
  GivePicture(editor, u"a.jpg");
  ASSERT_TRUE(editor.AddSignatureSlide(u"-- Sent from my phone", true));
  ASSERT_EQ(editor.Count(), 2);
  EXPECT_EQ(editor.Current(), 0) << "the signature does not move the user";
  ASSERT_TRUE(editor.GoToSlide(1));
  ASSERT_TRUE(editor.AddSlide());
  EXPECT_EQ(editor.Count(), 3);
  EXPECT_EQ(editor.Current(), 1) << "the new slide comes before the signature and is current";
  ASSERT_TRUE(editor.GoToSlide(2));
  EXPECT_EQ(editor.SlideText(), u"-- Sent from my phone");
  // Deleting the signature slide clears the flag; then slides go after the current one again.
  ASSERT_TRUE(editor.DeleteSlide(2));
  EXPECT_FALSE(editor.SignatureFlag());
  EXPECT_EQ(editor.Current(), 1);
  ASSERT_TRUE(editor.AddSlide());
  EXPECT_EQ(editor.Current(), 2);
}

TEST_F(SlideEditorTest, WithoutTheSettingTheSignatureIsNoDifferentFromOtherSlides) {
  SetConfigValue(numeric_setting::kSignatureInLastSlide, 0, FALSE);
  SlideEditor editor(m_model);
  ASSERT_TRUE(editor.AddSignatureSlide(u"sig", true));
  ASSERT_TRUE(editor.GoToSlide(1));
  ASSERT_TRUE(editor.AddSlide());
  EXPECT_EQ(editor.Current(), 2);
}

TEST_F(SlideEditorTest, DeletingTheOnlySlideEmptiesItAndRemovesTheFiles) {
  SlideEditor editor(m_model);
  GivePicture(editor, u"a.jpg");
  ASSERT_TRUE(editor.SetSlideText(u"hello"));
  const std::string textName = m_model.slides.front().text->part->fileName.ToUtf8();
  ASSERT_TRUE(editor.DeleteSlide(0));
  EXPECT_EQ(editor.Count(), 1);
  EXPECT_FALSE(SlideHasObject(m_model.slides.front()));
  EXPECT_TRUE(m_model.parts.empty());
  EXPECT_FALSE(std::filesystem::exists(m_device.Host(u"\\parts\\a.jpg")));
  EXPECT_FALSE(std::filesystem::exists(m_device.Host(u"\\parts") / textName));
}

TEST_F(SlideEditorTest, APictureTwoSlidesUseKeepsItsFileUntilTheLastGoes) {
  SlideEditor editor(m_model);
  GivePicture(editor, u"shared.jpg");
  ASSERT_TRUE(editor.NextSlide());
  ASSERT_TRUE(editor.AddObject(u"shared.jpg", media_type::kJpeg));
  ASSERT_EQ(m_model.parts.size(), 1u);
  ASSERT_TRUE(editor.RemoveObject(1, slide_slot::kPicture));
  EXPECT_TRUE(std::filesystem::exists(m_device.Host(u"\\parts\\shared.jpg")));
  EXPECT_EQ(m_model.parts.size(), 1u);
  ASSERT_TRUE(editor.RemoveObject(0, slide_slot::kPicture));
  EXPECT_FALSE(std::filesystem::exists(m_device.Host(u"\\parts\\shared.jpg")));
  EXPECT_EQ(m_model.attachmentCount, 0) << "a removed object must not stay behind as an attachment";
  EXPECT_FALSE(editor.RemoveObject(5, slide_slot::kPicture));
  EXPECT_FALSE(editor.RemoveObject(0, 9));
}

TEST_F(SlideEditorTest, SlideTextIsStoredAsUtf16WithAMarkAndCountedInUtf8) {
  SetConfigValue(numeric_setting::kEnableInsertUTF8BOM, 0, FALSE);
  SlideEditor editor(m_model);
  ASSERT_TRUE(editor.SetSlideText(u"h\u00e9\u4e2d"));  // 1 + 2 + 3 bytes in UTF-8
  const MediaPart& part = *m_model.slides.front().text->part;
  EXPECT_EQ(part.type, media_type::kPlainText);
  EXPECT_EQ(part.receivedSize, 6u);
  EXPECT_EQ(ReadFileBytes(m_device.Host(u"\\parts") / part.fileName.ToUtf8()),
            std::string("\xFF\xFE" "h\0" "\xE9\0" "\x2D\x4E", 8));
  EXPECT_EQ(editor.SlideText(), u"h\u00e9\u4e2d");
  SetConfigValue(numeric_setting::kEnableInsertUTF8BOM, 1, FALSE);
  EXPECT_EQ(SlideTextSize(u"h\u00e9\u4e2d"), 9u);
  EXPECT_EQ(SlideTextSize(u""), 0u);
}

TEST_F(SlideEditorTest, TheSameTextIsNotWrittenAgainAndAnEmptyOneRemovesIt) {
  SlideEditor editor(m_model);
  ASSERT_TRUE(editor.SetSlideText(u"one"));
  const CString first = m_model.slides.front().text->part->fileName;
  editor.SetChanged(false);
  ASSERT_TRUE(editor.SetSlideText(u"one"));
  EXPECT_FALSE(editor.IsChanged());
  EXPECT_EQ(m_model.slides.front().text->part->fileName, first);
  ASSERT_TRUE(editor.SetSlideText(u"two"));
  EXPECT_FALSE(std::filesystem::exists(m_device.Host(u"\\parts") / first.ToUtf8())) << "the old text file went";
  EXPECT_EQ(m_model.parts.size(), 1u);
  ASSERT_TRUE(editor.SetSlideText(u""));
  EXPECT_FALSE(m_model.slides.front().text.has_value());
  EXPECT_TRUE(m_model.parts.empty());
}

TEST_F(SlideEditorTest, TheSlideTextLimitIsNeverBelow5000) {
  SetConfigValue(numeric_setting::kEnableSlideCharsLimit, 0, FALSE);
  EXPECT_EQ(SlideTextLimit(), -1);
  SetConfigValue(numeric_setting::kEnableSlideCharsLimit, 1, FALSE);
  SetConfigValue(numeric_setting::kMaxCharsInSlide, 1000, FALSE);
  EXPECT_EQ(SlideTextLimit(), 5000);
  SetConfigValue(numeric_setting::kMaxCharsInSlide, 7000, FALSE);
  EXPECT_EQ(SlideTextLimit(), 7000);
  SetConfigValue(numeric_setting::kMaxCharsInSlide, 1000, FALSE);
  SlideEditor editor(m_model);
  ASSERT_TRUE(editor.SetSlideText(std::u16string(6000, u'x')));
  EXPECT_EQ(editor.SlideText().GetLength(), 5000);
}

TEST_F(SlideEditorTest, ABackgroundColourGoesToTheModelAndTheCurrentSlide) {
  SlideEditor editor(m_model);
  editor.SetBackgroundColor(0x241CED);
  EXPECT_EQ(m_model.layout.backgroundColor, 0x241CEDu);
  EXPECT_EQ(m_model.slides.front().style.backgroundColor, 0x241CEDu);
  EXPECT_TRUE(editor.IsChanged());
}

}  // namespace
