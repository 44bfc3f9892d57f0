#include "presentation/slide_builder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/kernel/file_api.h"
#include "presentation/part_reference.h"
#include "support/test_device.h"

namespace {

using test_support::TestDevice;
using test_support::WriteFileBytes;

constexpr std::u16string_view kFolder = u"\\parts\\";

// Lengths by file name, as the codec and the engines would measure them.
class FakeLengths : public MediaLengthSource {
 public:
  explicit FakeLengths(std::map<std::u16string, DWORD> lengths = {}) : m_lengths(std::move(lengths)) {}
  std::optional<DWORD> LengthOf(std::u16string_view path, MediaType) const override {
    const auto found = m_lengths.find(std::u16string(path.substr(path.rfind(u'\\') + 1)));
    return found == m_lengths.end() ? std::nullopt : std::optional(found->second);
  }

 private:
  std::map<std::u16string, DWORD> m_lengths;
};

MediaPart& AddNamedPart(MessageModel& model, std::u16string_view location, MediaType type,
                        std::u16string_view contentId = {}) {
  MediaPart& part = *AddPartOfType(model, location, type);
  part.contentLocation = CString(location);
  part.contentId = CString(contentId);
  return part;
}

// The parts most presentations here name: a picture, a GIF, a text, a sound and a video.
void AddUsualParts(MessageModel& model) {
  AddNamedPart(model, u"a.jpg", 0x10001);
  AddNamedPart(model, u"anim.gif", 0x10002);
  AddNamedPart(model, u"t.txt", 0x30001);
  AddNamedPart(model, u"s.amr", 0x20003);
  AddNamedPart(model, u"v.3gp", 0x40005);
}

std::string Smil(const std::string& body, const std::string& layout = "") {
  return "<smil><head><layout>" + layout + "</layout></head><body>" + body + "</body></smil>";
}

SlideBuildStatus Build(MessageModel& model, const std::string& smil, const MediaLengthSource& lengths = NoMediaLengths(),
                       std::u16string_view folder = kFolder) {
  const auto presentation = ParsePresentation(smil);
  if (!presentation) {
    return SlideBuildStatus::kNoPresentation;
  }
  return BuildSlidesFromPresentation(*presentation, model.layout, model.slides, model.parts, folder, lengths);
}

// What the loader does with a presentation: its slides, or, when it cannot be used, one slide per part.
SlideBuildStatus LoadSlides(MessageModel& model, std::u16string_view smilPath) {
  const SlideBuildStatus status = BuildSlides(smilPath, model.layout, model.slides, model.parts, kFolder);
  if (status != SlideBuildStatus::kOk) {
    ResetModel(model, false);
    EXPECT_TRUE(BuildDefaultSlides(kFolder, model.layout, model.slides, model.parts));
  }
  CountAttachments(model);
  return status;
}

struct DurationCase {
  const char* name;
  std::string par;
  DWORD duration;
};

TEST(SlideBuilder, SlideDurations) {
  TestDevice device;
  const FakeLengths lengths({{u"s.amr", 3000}, {u"anim.gif", 7000}, {u"v.3gp", 9000}, {u"a.jpg", 60000}});
  const std::vector<DurationCase> cases = {
      {"par dur wins", "<par dur=\"5s\"><img src=\"a.jpg\"/></par>", 5000},
      {"default duration without dur", "<par><text src=\"t.txt\"/></par>", 2000},
      {"audio end", "<par><audio src=\"s.amr\" end=\"8000ms\"/></par>", 8000},
      {"audio length plus begin", "<par><audio src=\"s.amr\" begin=\"1s\"/></par>", 4000},
      {"bare numbers are seconds", "<par><text src=\"t.txt\" begin=\"1\" dur=\"3\"/></par>", 4000},
      {"GIF frame delays", "<par><img src=\"anim.gif\"/></par>", 7000},
      {"video length", "<par><video src=\"v.3gp\"/></par>", 9000},
      {"text begin", "<par><text src=\"t.txt\" begin=\"3s\"/></par>", 3000},
      {"longest of all", "<par><text src=\"t.txt\" end=\"2500ms\"/><audio src=\"s.amr\"/></par>", 3000},
      {"end below begin plus dur", "<par><text src=\"t.txt\" begin=\"1s\" dur=\"10s\" end=\"6s\"/></par>", 6000},
      {"negative dur is not given", "<par dur=\"-5s\"><text src=\"t.txt\"/></par>", 2000},
  };
  for (const DurationCase& test : cases) {
    SCOPED_TRACE(test.name);
    MessageModel model;
    AddUsualParts(model);
    ASSERT_EQ(Build(model, Smil(test.par), lengths), SlideBuildStatus::kOk);
    ASSERT_EQ(model.slides.size(), 1u);
    EXPECT_EQ(model.slides.front().duration, test.duration);
  }
}

TEST(SlideBuilder, WithoutLengthsTheDefaultDurationStands) {
  TestDevice device;
  MessageModel model;
  AddUsualParts(model);
  ASSERT_EQ(Build(model, Smil("<par><audio src=\"s.amr\" begin=\"1s\"/><img src=\"anim.gif\"/></par>")),
            SlideBuildStatus::kOk);
  EXPECT_EQ(model.slides.front().duration, 2000u);
}

TEST(SlideBuilder, ReferencesCarryBeginEndRoleAndAlternative) {
  TestDevice device;
  MessageModel model;
  AddUsualParts(model);
  ASSERT_EQ(Build(model, Smil("<par dur=\"5s\"><img src=\"a.jpg\" begin=\"1\" dur=\"3\" alt=\"t.txt\"/>"
                              "<text src=\"t.txt\"/><audio src=\"s.amr\" begin=\"500ms\"/></par>")),
            SlideBuildStatus::kOk);
  const Slide& slide = model.slides.front();
  ASSERT_TRUE(slide.image && slide.text && slide.audio);
  EXPECT_EQ(slide.image->begin, 1000);
  EXPECT_EQ(slide.image->end, 4000);
  EXPECT_EQ(slide.image->role, RegionKind::kImage);
  EXPECT_EQ(slide.image->part->fileName, u"a.jpg");
  EXPECT_EQ(slide.image->alternative, slide.text->part);
  EXPECT_EQ(slide.text->role, RegionKind::kText);
  EXPECT_EQ(slide.audio->begin, 500);
  EXPECT_EQ(slide.audio->end, 0);
  EXPECT_EQ(CountAttachments(model), 2);  // the GIF and the video are attachments
}

TEST(SlideBuilder, VideoExcludesImageAndAudio) {
  TestDevice device;
  for (const std::string par : {"<par dur=\"1s\"><video src=\"v.3gp\"/><img src=\"a.jpg\"/><audio src=\"s.amr\"/></par>",
                                "<par dur=\"1s\"><img src=\"a.jpg\"/><audio src=\"s.amr\"/><video src=\"v.3gp\"/></par>"}) {
    SCOPED_TRACE(par);
    MessageModel model;
    AddUsualParts(model);
    ASSERT_EQ(Build(model, Smil(par)), SlideBuildStatus::kOk);
    const Slide& slide = model.slides.front();
    EXPECT_TRUE(slide.video);
    EXPECT_FALSE(slide.image);
    EXPECT_FALSE(slide.audio);
    EXPECT_EQ(model.parts.front().inSlide, 0);  // the dropped picture is an attachment again
    EXPECT_EQ(CountAttachments(model), 4);
  }
}

struct FailureCase {
  const char* name;
  std::string smil;
  SlideBuildStatus status;
};

TEST(SlideBuilder, EveryFailureFallsBackToOneSlidePerPart) {
  TestDevice device;
  ASSERT_TRUE(CreateDirectoryW(u"\\parts", nullptr));
  const std::string threeRegions = "<region id=\"a\"/><region id=\"b\"/><region id=\"c\"/>";
  const std::vector<FailureCase> cases = {
      {"not XML", "<smil><body>", SlideBuildStatus::kNoPresentation},
      {"three regions", Smil("<par><img src=\"a.jpg\"/></par>", threeRegions), SlideBuildStatus::kTooManyRegions},
      {"region without id", Smil("", "<region left=\"0\"/>"), SlideBuildStatus::kRegionWithoutId},
      {"media directly in the body", Smil("<img src=\"a.jpg\"/>"), SlideBuildStatus::kBodyNodeNotPar},
      {"a seq in the body", Smil("<seq><par><img src=\"a.jpg\"/></par></seq>"), SlideBuildStatus::kBodyNodeNotPar},
      {"four elements in a par",
       Smil("<par><img src=\"a.jpg\"/><text src=\"t.txt\"/><audio src=\"s.amr\"/><ref src=\"x\"/></par>"),
       SlideBuildStatus::kTooManyChildren},
      {"nested container", Smil("<par><seq/></par>"), SlideBuildStatus::kNestedContainer},
      {"src names no part", Smil("<par dur=\"1s\"><img src=\"a.jpg\"/></par><par><img src=\"b.jpg\"/></par>"),
       SlideBuildStatus::kSourceNotFound},
      {"two pictures in a par", Smil("<par><img src=\"a.jpg\"/><img src=\"anim.gif\"/></par>"),
       SlideBuildStatus::kSlotTaken},
      {"two texts in a par", Smil("<par><text src=\"t.txt\"/><text src=\"t.txt\"/></par>"),
       SlideBuildStatus::kSlotTaken},
  };
  for (const FailureCase& test : cases) {
    SCOPED_TRACE(test.name);
    WriteFileBytes(device.root() / "parts" / "mms.smil", test.smil);
    MessageModel model;
    AddUsualParts(model);
    AddNamedPart(model, u"card.vcf", 0x50001);
    EXPECT_EQ(LoadSlides(model, u"\\parts\\mms.smil"), test.status);
    ASSERT_EQ(model.slides.size(), 5u);  // every part but the vCard
    int used = 0;
    for (const MediaPart& part : model.parts) used += part.inSlide;
    EXPECT_EQ(used, 5);
    EXPECT_EQ(model.attachmentCount, 1);
    EXPECT_EQ(model.layout.width, 100);
    EXPECT_FALSE(DescribeSlideBuildStatus(test.status).empty());
  }
  MessageModel model;
  AddUsualParts(model);
  EXPECT_EQ(LoadSlides(model, u"\\parts\\missing.smil"), SlideBuildStatus::kNoPresentation);
}

TEST(SlideBuilder, AParWithoutDurNeedsThePartFolder) {
  TestDevice device;
  MessageModel model;
  AddUsualParts(model);
  EXPECT_EQ(Build(model, Smil("<par dur=\"2s\"><img src=\"a.jpg\"/></par>"), NoMediaLengths(), u""),
            SlideBuildStatus::kOk);
  MessageModel other;
  AddUsualParts(other);
  EXPECT_EQ(Build(other, Smil("<par><img src=\"a.jpg\"/></par>"), NoMediaLengths(), u""),
            SlideBuildStatus::kNoPartFolder);
}

TEST(SlideBuilder, SkippedElementsLeaveTheSlideAlone) {
  TestDevice device;
  MessageModel model;
  AddUsualParts(model);
  ASSERT_EQ(Build(model, Smil("<par><img/><animation src=\"a.jpg\"/><img src=\"a.jpg\" alt=\"none\"/></par>")),
            SlideBuildStatus::kOk);
  EXPECT_TRUE(model.slides.front().image);
  EXPECT_EQ(model.slides.front().image->alternative, nullptr);
  MessageModel empty;
  EXPECT_EQ(Build(empty, Smil("")), SlideBuildStatus::kOk);
  EXPECT_TRUE(empty.slides.empty());
}

TEST(SlideBuilder, SourcesResolveByContentIdOrByName) {
  MessageModel model;
  MediaPart& first = AddNamedPart(model, u"images_a.jpg", 0x10001);
  MediaPart& cid = AddNamedPart(model, u"other.jpg", 0x10001, u"<ABC>");
  MediaPart& bare = AddNamedPart(model, u"x.txt", 0x30001, u"plain-id");
  MediaPart& unwrapped = AddNamedPart(model, u"song.mp3", 0x20004);
  MediaPart& accented = AddNamedPart(model, u"caf\u00e9.jpg", 0x10001);
  MediaPart& noLocation = *AddPartOfType(model, u"file_only.gif", 0x10002);
  const std::vector<std::pair<std::string, MediaPart*>> cases = {
      {"images/a.jpg", &first},
      {"images\\a.jpg", &first},
      {"IMAGES_A.JPG", &first},
      {"cid:ABC", &cid},
      {"CID:abc", &cid},
      {"cid:plain-id", &bare},
      {"cid:<ABC>", nullptr},
      {"ABC", nullptr},
      {"song.dm", &unwrapped},
      {"song.jpg", nullptr},
      {"caf\xc3\xa9.jpg", &accented},  // UTF-8
      {"caf\xe9.jpg", &accented},      // not UTF-8: older phones write names in their code page
      {"file_only.gif", &noLocation},  // a part without a location is known by its file name
      {"", nullptr},
  };
  for (const auto& [reference, expected] : cases) {
    EXPECT_EQ(FindReferencedPart(model.parts, reference), expected) << reference;
  }
  AddNamedPart(model, u"IMAGES_A.jpg", 0x10001);
  EXPECT_EQ(FindReferencedPart(model.parts, "images_a.jpg"), &first);  // the first match wins
}

TEST(SlideBuilder, RegionsAreConvertedIntoRootLayoutPixels) {
  TestDevice device;
  MessageModel model;
  AddUsualParts(model);
  const std::string layout =
      "<root-layout width=\"200\" height=\"300\" background-color=\"navy\"/>"
      "<region id=\"Text\" left=\"10%\" top=\"10\" width=\"50%\" height=\"0\" fit=\"bogus\"/>"
      "<region id=\"IMAGE\" left=\"10\" top=\"0%\" width=\"100%\" height=\"50%\"/>";
  ASSERT_EQ(Build(model, Smil("<par dur=\"1s\"><img src=\"a.jpg\" region=\"image\"/><text src=\"t.txt\" region=\"Text\"/></par>",
                              layout)),
            SlideBuildStatus::kOk);
  EXPECT_EQ(model.layout.width, 200);
  EXPECT_EQ(model.layout.height, 300);
  EXPECT_EQ(model.layout.backgroundColor, 0x800000u);
  ASSERT_EQ(model.layout.regions.size(), 2u);
  const LayoutRegion& text = model.layout.regions[0];
  EXPECT_EQ(text.kind, RegionKind::kText);  // the text element's region, whatever its place
  EXPECT_EQ(text.left, 20);
  EXPECT_EQ(text.right, 120);
  EXPECT_EQ(text.top, 10);
  // A region without a height reaches down to the root layout's edge, whatever the layout's size.
  EXPECT_EQ(text.bottom, 300);
  EXPECT_EQ(text.fit, RegionFit::kMeet);
  const LayoutRegion& image = model.layout.regions[1];
  EXPECT_EQ(image.kind, RegionKind::kImage);
  EXPECT_EQ(image.left, 10);
  EXPECT_EQ(image.right, 210);
  EXPECT_EQ(image.bottom, 150);
  EXPECT_EQ(image.fit, RegionFit::kHidden);
}

TEST(SlideBuilder, WithoutRegionsTheLayoutGetsTheDefaultTwo) {
  TestDevice device;
  MessageModel model;
  AddUsualParts(model);
  ASSERT_EQ(Build(model, Smil("<par dur=\"1s\"><text src=\"t.txt\"/></par>", "<root-layout width=\"0\"/>")),
            SlideBuildStatus::kOk);
  EXPECT_EQ(model.layout.width, 100);
  EXPECT_EQ(model.layout.backgroundColor, kWhite);
  ASSERT_EQ(model.layout.regions.size(), 2u);
  EXPECT_EQ(model.layout.regions[0].bottom, 66);
  EXPECT_EQ(model.layout.regions[1].top, 66);
  EXPECT_EQ(model.layout.regions[1].kind, RegionKind::kText);
  EXPECT_EQ(model.layout.regions[1].fit, RegionFit::kMeet);
}

TEST(SlideBuilder, TextElementsStyleTheirParts) {
  TestDevice device;
  MessageModel model;
  AddUsualParts(model);
  ASSERT_EQ(Build(model, Smil("<par dur=\"1s\"><text src=\"t.txt\" fontcolor=\"#ff0000\" fontsize=\"18\"/></par>",
                              "<root-layout backgroundColor=\"#102030\"/>")),
            SlideBuildStatus::kOk);
  const TextStyle& style = model.slides.front().text->part->style;
  EXPECT_TRUE(style.textColorGiven);
  EXPECT_EQ(style.textColor, 0x0000FFu);
  EXPECT_FALSE(style.backgroundColorGiven);
  EXPECT_EQ(style.backgroundColor, 0x302010u);  // the root layout's
  EXPECT_TRUE(style.fontSizeGiven);
  EXPECT_EQ(style.fontSize, 18);
}

TEST(SlideBuilder, DefaultBuilderMakesOneSlidePerMediaPart) {
  TestDevice device;
  MessageModel model;
  AddUsualParts(model);
  AddNamedPart(model, u"card.vcf", 0x50001);
  AddNamedPart(model, u"data.bin", 0x70000);
  const FakeLengths lengths({{u"s.amr", 1000}, {u"anim.gif", 7000}, {u"v.3gp", 9000}});
  ASSERT_TRUE(BuildDefaultSlides(kFolder, model.layout, model.slides, model.parts, lengths));
  EXPECT_EQ(model.layout.width, 100);
  EXPECT_EQ(model.layout.height, 100);
  ASSERT_EQ(model.layout.regions.size(), 2u);
  EXPECT_EQ(model.layout.regions[0].bottom, 66);
  ASSERT_EQ(model.slides.size(), 5u);
  std::vector<DWORD> durations;
  for (const Slide& slide : model.slides) durations.push_back(slide.duration);
  EXPECT_EQ(durations, (std::vector<DWORD>{2000, 7000, 2000, 2000, 9000}));
  auto slide = model.slides.begin();
  EXPECT_TRUE(slide->image);
  EXPECT_EQ(slide->image->end, 2000);
  EXPECT_EQ((++slide)->image->end, 7000);
  EXPECT_EQ((++slide)->text->role, RegionKind::kText);
  EXPECT_TRUE((++slide)->audio);
  EXPECT_EQ((++slide)->video->role, RegionKind::kImage);
  EXPECT_EQ(CountAttachments(model), 2);
}

}  // namespace
