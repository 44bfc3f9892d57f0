#include "model/smil_writer.h"

#include <gtest/gtest.h>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "model/message_saving.h"
#include "support/test_device.h"

namespace {

using test_support::ReadFileBytes;
using test_support::TestDevice;

// A 100 x 100 layout with the usual two regions and a dark blue background.
MessageModel UsualModel() {
  MessageModel model;
  model.layout.width = 100;
  model.layout.height = 100;
  model.layout.backgroundColor = 0x00800000;
  model.layout.regions = {{RegionKind::kImage, 0, 0, 100, 66, RegionFit::kMeet},
                          {RegionKind::kText, 0, 66, 100, 100, RegionFit::kScroll}};
  return model;
}

MediaPart* Part(MessageModel& model, std::u16string_view name, MediaType type) {
  return &*AddPartOfType(model, name, type);
}

Slide& AddSlide(MessageModel& model, DWORD duration) {
  Slide& slide = model.slides.emplace_back();
  slide.duration = duration;
  return slide;
}

std::string Compose(const MessageModel& model, const SmilTextForm& form = {}) {
  return ComposeSmil(model.layout, model.slides, form).value_or("<nothing>");
}

const std::string kHead =
    "<smil>\n<head>\n<meta name=\"title\" content=\"mms\"/>\n<layout>\n"
    "<root-layout background-color=\"#000080\" width=\"100\" height=\"100\" />\n"
    "<region id=\"Image\" left=\"0%\" top=\"0%\" width=\"100%\" height=\"66%\" fit=\"meet\" />\n"
    "<region id=\"Text\" left=\"0%\" top=\"66%\" width=\"100%\" height=\"34%\" fit=\"scroll\" />\n"
    "</layout>\n</head>\n<body>\n";
const std::string kTail = "</body>\n</smil>\n";

TEST(SmilWriter, WritesOneParPerSlideInTheFixedForm) {
  MessageModel model = UsualModel();
  MediaPart* picture = Part(model, u"a.jpg", 0x10001);
  MediaPart* text = Part(model, u"t.txt", 0x30001);
  MediaPart* sound = Part(model, u"s.amr", 0x20003);
  text->style.textColor = 0x0000FF;
  text->style.textColorGiven = true;
  text->style.backgroundColor = 0x00FF00;
  text->style.backgroundColorGiven = true;
  text->style.fontSize = 18;
  text->style.fontSizeGiven = true;
  Slide& first = AddSlide(model, 5000);
  SetReference(first.image, {RegionKind::kImage, 0, 0, picture, nullptr});
  SetReference(first.text, {RegionKind::kText, 0, 0, text, nullptr});
  SetReference(first.audio, {RegionKind::kImage, 0, 0, sound, nullptr});
  AddSlide(model, 2000);
  EXPECT_EQ(Compose(model),
            kHead +
                "<par dur=\"5000ms\" >\n"
                "<img src=\"a.jpg\" region=\"Image\"/>\n"
                "<text src=\"t.txt\" region=\"Text\" fontcolor=\"#ff0000\" background-color=\"#00ff00\" fontsize=\"18\"/>\n"
                "<audio src=\"s.amr\"/>\n"
                "</par>\n"
                "<par dur=\"2000ms\" >\n</par>\n" +
                kTail);
}

TEST(SmilWriter, VideoLeavesOutImageAndAudio) {
  MessageModel model = UsualModel();
  Slide& slide = AddSlide(model, 1000);
  SetReference(slide.image, {RegionKind::kImage, 0, 0, Part(model, u"a.jpg", 0x10001), nullptr});
  SetReference(slide.text, {RegionKind::kText, 0, 0, Part(model, u"t.txt", 0x30001), nullptr});
  SetReference(slide.audio, {RegionKind::kImage, 0, 0, Part(model, u"s.amr", 0x20003), nullptr});
  SetReference(slide.video, {RegionKind::kText, 0, 0, Part(model, u"v.3gp", 0x40005), nullptr});
  EXPECT_EQ(Compose(model), kHead +
                                "<par dur=\"1000ms\" >\n<text src=\"t.txt\" region=\"Text\"/>\n"
                                "<video src=\"v.3gp\" region=\"Text\"/>\n</par>\n" +
                                kTail);
}

TEST(SmilWriter, TextStylesAppearOnlyWhenGiven) {
  struct Case {
    bool color, background, size;
    const char* attributes;
  };
  const Case cases[] = {
      {false, false, false, " region=\"Text\""},
      {false, false, true, " region=\"Text\" fontsize=\"12\""},
      {true, false, false, " region=\"Text\" fontcolor=\"#010203\""},
      {true, false, true, " region=\"Text\" fontcolor=\"#010203\" fontsize=\"12\""},
      {false, true, false, " region=\"Text\" background-color=\"#ffffff\""},
      {false, true, true, " region=\"Text\" background-color=\"#ffffff\" fontsize=\"12\""},
      {true, true, false, " region=\"Text\" fontcolor=\"#010203\" background-color=\"#ffffff\""},
      {true, true, true, " region=\"Text\" fontcolor=\"#010203\" background-color=\"#ffffff\" fontsize=\"12\""},
  };
  for (const Case& test : cases) {
    MessageModel model = UsualModel();
    MediaPart* text = Part(model, u"t.txt", 0x30001);
    text->style.textColor = 0x030201;
    text->style.textColorGiven = test.color;
    text->style.backgroundColorGiven = test.background;
    text->style.fontSizeGiven = test.size;
    SetReference(AddSlide(model, 1).text, {RegionKind::kText, 0, 0, text, nullptr});
    const std::string line = std::string("<text src=\"t.txt\"") + test.attributes + "/>\n";
    EXPECT_NE(Compose(model).find(line), std::string::npos) << test.attributes;
    const SmilTextForm plain{"\r\n", true, false};
    EXPECT_NE(Compose(model, plain).find("<text src=\"t.txt\" region=\"Text\"/>\r\n"), std::string::npos);
  }
}

TEST(SmilWriter, FitNamesRegionPercentagesAndLineEnds) {
  MessageModel model;
  model.layout.width = 176;
  model.layout.height = 144;
  model.layout.regions = {{RegionKind::kText, 17, 0, 176, 58, RegionFit::kFill},
                          {RegionKind::kImage, 0, 58, 176, 144, static_cast<RegionFit>(7)}};
  const std::string text = Compose(model, SmilTextForm{"\r\n", false, true});
  EXPECT_EQ(text.find("<root-layout"), std::string::npos);
  // 17 of 176 is no whole percentage: it is written in pixels, which read back exactly.
  EXPECT_NE(text.find("<region id=\"Text\" left=\"17\" top=\"0%\" width=\"159\" height=\"58\" fit=\"fill\" />\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("<region id=\"Image\" left=\"0%\" top=\"58\" width=\"100%\" height=\"86\" fit=\"meet\" />\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find('\n', 0), text.find("\r\n") + 1);
  model.layout.regions[0].fit = static_cast<RegionFit>(2);
  EXPECT_NE(Compose(model).find("fit=\"meet\""), std::string::npos);
}

TEST(SmilWriter, NamesAreEscapedAndUnwritableOnesLeftOut) {
  MessageModel model = UsualModel();
  Slide& slide = AddSlide(model, 1000);
  SetReference(slide.image, {RegionKind::kImage, 0, 0, Part(model, u"a&b\"<c>.jpg", 0x10001), nullptr});
  SetReference(slide.text, {RegionKind::kText, 0, 0, Part(model, std::u16string(260, u'x'), 0x30001), nullptr});
  SetReference(slide.audio, {RegionKind::kImage, 0, 0, Part(model, u"", 0x20003), nullptr});
  SetReference(slide.video, {RegionKind::kImage, 0, 0, nullptr, nullptr});
  EXPECT_EQ(Compose(model), kHead + "<par dur=\"1000ms\" >\n</par>\n" + kTail);
  slide.video.reset();
  EXPECT_NE(Compose(model).find("<img src=\"a&amp;b&quot;&lt;c&gt;.jpg\" region=\"Image\"/>\n"), std::string::npos);
  slide.image->part->fileName = CString(u"caf\u00e9.jpg");
  EXPECT_NE(Compose(model).find("<img src=\"caf\xc3\xa9.jpg\""), std::string::npos);
}

TEST(SmilWriter, PresentationSizeCountsTheTextTheWriterWrites) {
  MessageModel model = UsualModel();
  SetReference(AddSlide(model, 1000).image, {RegionKind::kImage, 0, 0, Part(model, u"a&b.jpg", 0x10001), nullptr});
  model.layout.regions[1].fit = RegionFit::kFill;
  // The estimate measures what the writer writes (names escaped, in UTF-8) with CR LF line ends and
  // no text styles, so it is never smaller than the presentation a message carries; raw names would
  // measure a text that is not XML.
  std::string expected =
      "<smil>\r\n<head>\r\n<meta name=\"title\" content=\"mms\"/>\r\n<layout>\r\n"
      "<root-layout background-color=\"#000080\" width=\"100\" height=\"100\" />\r\n"
      "<region id=\"Image\" left=\"0%\" top=\"0%\" width=\"100%\" height=\"66%\" fit=\"meet\" />\r\n"
      "<region id=\"Text\" left=\"0%\" top=\"66%\" width=\"100%\" height=\"34%\" fit=\"fill\" />\r\n"
      "</layout>\r\n</head>\r\n<body>\r\n"
      "<par dur=\"1000ms\" >\r\n<img src=\"a&amp;b.jpg\" region=\"Image\"/>\r\n</par>\r\n"
      "</body>\r\n</smil>\r\n";
  EXPECT_EQ(PresentationSize(model), expected.size());
  EXPECT_GT(PresentationSize(model), Compose(model).size());
  model.layout.regions.clear();
  EXPECT_EQ(PresentationSize(model), 0u);
}

TEST(SmilWriter, LayoutsWithoutOneOrTwoRegionsAreRefused) {
  TestDevice device;
  MessageModel model = UsualModel();
  model.layout.regions.clear();
  EXPECT_FALSE(ComposeSmil(model.layout, model.slides, {}));
  EXPECT_FALSE(WriteSmil(u"\\none.smil", model.layout, model.slides));
  EXPECT_FALSE(std::filesystem::exists(device.root() / "none.smil"));
  model.layout.regions.resize(3);
  EXPECT_FALSE(WriteSmil(u"\\none.smil", model.layout, model.slides));
  model.layout.regions.resize(1);
  EXPECT_TRUE(ComposeSmil(model.layout, model.slides, {}));
}

TEST(SmilWriter, WritesTheFileWithTheRootLayoutSetting) {
  TestDevice device;
  const MessageModel model = UsualModel();
  ASSERT_TRUE(WriteSmil(u"\\mms.smil", model.layout, model.slides));
  EXPECT_EQ(ReadFileBytes(device.root() / "mms.smil"), kHead + kTail);
  ASSERT_TRUE(SetConfigValue(numeric_setting::kNeedInsertRootLayout, 0, FALSE));
  ASSERT_TRUE(WriteSmil(u"\\mms.smil", model.layout, model.slides));
  EXPECT_EQ(ReadFileBytes(device.root() / "mms.smil").find("root-layout"), std::string::npos);
  EXPECT_FALSE(WriteSmil(u"\\no folder\\mms.smil", model.layout, model.slides));
}

}  // namespace
