// Slides with sound or video last as long as that media, measured by the engine; others keep the
// default duration.
#include "engines/media_lengths.h"
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
