// Slides with sound or video last as long as that media, measured by the engine; others keep the
// default duration.
#include "engines/media_lengths.h"
#include "model/message_model.h"
#include "presentation/slide_builder.h"
#include "media_fixture.h"

namespace media_test {
namespace {

TEST_F(MediaTest, LengthsOfSoundsAndVideosComeFromTheEngine) {
  struct Case {
    const char* name;
    MediaType type;
    std::optional<DWORD> length;
  } cases[] = {
      {"amrnb-dtx-modes.amr", 0x20003, 3000},   {"mp3-cbr-44k-stereo.mp3", 0x20004, 4000},
      {"midi-format0.mid", 0x20001, 5000},      {"evrc-eighth.qcp", 0x20007, 3000},
      {"h263-qcif-amrnb.3gp", 0x40005, 3000},   {"h264-qvga-aac.mp4", 0x40001, 2534},
      {"empty.mp3", 0x20004, std::nullopt},     {"truncated-3000.mp4", 0x40001, std::nullopt},
      {"shapes.svg", 0x10006, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EngineMediaLengths().LengthOf(Put(c.name), c.type), c.length);
  }
}

}  // namespace
}  // namespace media_test

namespace media_test {
namespace {

// A par without dur lasts as long as its sound (plus its begin) or its video, as the engine measures
// them; a picture-only par keeps the default duration.
TEST_F(MediaTest, SlidesWithoutDurLastAsLongAsTheirMedia) {
  const std::u16string folder = u"\\My Documents";
  Put("amrnb-122-sweep.amr");
  Put("h263-qcif-amrnb.3gp");
  Put("shapes.svg");
  PutBytes("mms.smil",
           "<smil><head><layout><root-layout width=\"176\" height=\"208\"/>"
           "<region id=\"Image\" top=\"0\" left=\"0\" width=\"176\" height=\"144\"/></layout></head><body>"
           "<par><audio src=\"amrnb-122-sweep.amr\" begin=\"1000ms\"/></par>"
           "<par><video src=\"h263-qcif-amrnb.3gp\" region=\"Image\"/></par>"
           "<par><img src=\"shapes.svg\" region=\"Image\"/></par></body></smil>");
  MessageModel model;
  for (auto [name, type] : {std::pair<const char16_t*, MediaType>{u"amrnb-122-sweep.amr", 0x20003},
                            {u"h263-qcif-amrnb.3gp", 0x40005},
                            {u"shapes.svg", 0x10006}}) {
    AddPartOfType(model, name, type)->contentLocation = CString(name);
  }
  ASSERT_EQ(BuildSlides(u"\\My Documents\\mms.smil", model.layout, model.slides, model.parts, folder,
                        EngineMediaLengths()),
            SlideBuildStatus::kOk);
  std::vector<DWORD> durations;
  for (const Slide& slide : model.slides) durations.push_back(slide.duration);
  EXPECT_EQ(durations, (std::vector<DWORD>{4200, 3000, 2000}));
}

}  // namespace
}  // namespace media_test
