// The QCP reader: the corpus files and hand-made files whose sizes lie, through the parser and
// through the library with the adapter's stream functions.
#include <cstring>

#include "engines/media_engine_adapter.h"
#include "engines/qcp_format.h"
#include "media_fixture.h"
#include "qcp_file.h"

namespace media_test {
namespace {

using media_formats::ParseQcp;
using media_formats::QcpFile;
using media_formats::QcpStatus;

std::vector<uint8_t> Corpus(const std::string& name) {
  std::string bytes = test_support::ReadFileBytes(test_support::CorpusPath("media/" + name));
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(QcpParse, CorpusFiles) {
  struct Case {
    const char* name;
    QcpStatus status;
    int32_t format;
    uint32_t packets;
  } cases[] = {
      {"qcelp13k-eighth.qcp", QcpStatus::kOk, 47, 150},
      {"qcelp13k-blank-mixed.qcp", QcpStatus::kOk, 47, 150},  // 50 blank packets count
      {"evrc-eighth.qcp", QcpStatus::kOk, 48, 150},
      {"riff-size-lies.qcp", QcpStatus::kSizeLies, 32, 0},
      {"truncated-data.qcp", QcpStatus::kSizeLies, 32, 0},
      {"pcm16-8k-mono.wav", QcpStatus::kNotQcp, 32, 0},
      {"empty.mp3", QcpStatus::kNotQcp, 32, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = Corpus(c.name);
    QcpFile file;
    EXPECT_EQ(ParseQcp(bytes, file), c.status);
    if (c.status == QcpStatus::kOk) {
      EXPECT_EQ(file.FormatCode(), c.format);
      EXPECT_EQ(file.packetCount, c.packets);
      EXPECT_EQ(file.DurationMs(), c.packets * 20);
    }
  }
}

TEST(QcpParse, EveryTruncationFailsCleanly) {
  std::vector<uint8_t> whole = Corpus("qcelp13k-eighth.qcp");
  for (size_t size = 0; size < whole.size(); ++size) {
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(size));
    QcpFile file;
    EXPECT_NE(ParseQcp(cut, file), QcpStatus::kOk) << size;
  }
}

TEST(QcpParse, LyingSizesAreRefused) {
  std::vector<uint8_t> whole = Corpus("qcelp13k-eighth.qcp");
  // Chunks start at 12: "fmt " with its size at 16.
  ASSERT_EQ(std::memcmp(whole.data() + 12, "fmt ", 4), 0);
  struct Case {
    size_t at;
    uint32_t value;
    QcpStatus status;
  } cases[] = {
      {4, 0xFFFFFFFF, QcpStatus::kSizeLies},         // RIFF size past the file
      {4, 2, QcpStatus::kSizeLies},                  // RIFF size smaller than its own form type
      {16, 0x7FFFFFF0, QcpStatus::kSizeLies},        // fmt chunk past the RIFF end
      {16, 10, QcpStatus::kNoFormat},                // fmt chunk too short to hold the format
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.at);
    std::vector<uint8_t> bytes = whole;
    PutLe32(bytes, c.at, c.value);
    QcpFile file;
    EXPECT_EQ(ParseQcp(bytes, file), c.status);
  }
}

TEST(QcpParse, UnknownCodecIsNoFormat) {
  std::vector<uint8_t> bytes = Corpus("evrc-eighth.qcp");
  bytes[22] ^= 0xFF;  // inside the GUID
  QcpFile file;
  EXPECT_EQ(ParseQcp(bytes, file), QcpStatus::kNoFormat);
}

class QcpLibrary : public MediaTest {};

TEST_F(QcpLibrary, FormatCodesThroughTheLibrary) {
  EXPECT_EQ(GetQcpFormat(Put("evrc-eighth.qcp").c_str()), 48);
  EXPECT_EQ(GetQcpFormat(Put("qcelp13k-eighth.qcp").c_str()), 47);
  EXPECT_EQ(GetQcpFormat(Put("riff-size-lies.qcp").c_str()), 32);
  EXPECT_EQ(GetQcpFormat(Put("truncated-data.qcp").c_str()), 32);
  EXPECT_EQ(GetQcpFormat(u"\\My Documents\\none.qcp"), 32);
  EXPECT_EQ(GetQcpFormat(u""), 32);
  EXPECT_EQ(GetQcpFormat(nullptr), 32);
}

TEST_F(QcpLibrary, EvrcInQcpPlaysAsEvrcOnAnEvrcEngine) {
  EXPECT_EQ(Audio_GetEngineType(), 6);
  EXPECT_EQ(PlayableAudioType(Put("evrc-eighth.qcp").c_str(), 0x20006), 0x20007u);
  EXPECT_EQ(PlayableAudioType(Put("qcelp13k-eighth.qcp").c_str(), 0x20006), 0x20006u);
  EXPECT_EQ(PlayableAudioType(Put("amrnb-122-sweep.amr").c_str(), 0x20003), 0x20003u);
}

}  // namespace
}  // namespace media_test
