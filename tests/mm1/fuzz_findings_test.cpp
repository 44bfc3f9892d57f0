// Every input that ever broke the decoder or the round trip is kept in fuzz/mm1_decode/findings or
// fuzz/mm1_round_trip/findings and must now give a clean result.
#include <gtest/gtest.h>

#include <algorithm>

#include "mm1/pdu_decoder.h"
#include "mm1/pdu_encoder.h"
#include "mm1_test_util.h"

namespace mm1 {
namespace {

// Replays one kept input; false when it was not a file to replay.
bool Replay(const std::filesystem::path& file) {
  if (!std::filesystem::is_regular_file(file) || file.filename() == "README") return false;
  auto bytes = mm1_test::Bytes(test_support::ReadFileBytes(file));
  auto pdu = DecodePdu(bytes);
  if (!pdu) {
    EXPECT_LE(pdu.Failure().offset, bytes.size()) << file;
    return true;
  }
  auto encoded = EncodePdu(pdu.Value());
  if (!encoded) return true;
  // What we write must read back with the same parts, byte for byte, and write the same again.
  auto again = DecodePdu(encoded.Value());
  EXPECT_TRUE(again) << file << ": " << again.Failure().message;
  if (!again) return true;
  EXPECT_EQ(again.Value().parts.size(), pdu.Value().parts.size()) << file;
  for (std::size_t i = 0; i < pdu.Value().parts.size() && i < again.Value().parts.size(); ++i) {
    auto before = pdu.Value().parts[i].data;
    auto after = again.Value().parts[i].data;
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin(), after.end())) << file;
  }
  auto second = EncodePdu(again.Value());
  EXPECT_TRUE(second && second.Value() == encoded.Value()) << file;
  return true;
}

TEST(FuzzFindings, KeptInputsDecodeOrFailCleanly) {
  for (const char* target : {"mm1_decode", "mm1_round_trip"}) {
    const std::filesystem::path folder = test_support::SourcePath(std::string("fuzz/") + target + "/findings");
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) count += Replay(entry.path()) ? 1 : 0;
    EXPECT_GT(count, 0u) << folder;
  }
}

}  // namespace
}  // namespace mm1
