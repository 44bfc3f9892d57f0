// Every input that ever broke the decoder is kept in fuzz/mm1_decode/findings and must now give a
// clean result.
#include <gtest/gtest.h>

#include <algorithm>

#include "mm1/pdu_decoder.h"
#include "mm1/pdu_encoder.h"
#include "mm1_test_util.h"

namespace mm1 {
namespace {

TEST(FuzzFindings, KeptInputsDecodeOrFailCleanly) {
  std::filesystem::path folder(MMSFORM_MM1_FINDINGS_DIR);
  ASSERT_TRUE(std::filesystem::is_directory(folder));
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
    auto bytes = mm1_test::Bytes(test_support::ReadFileBytes(entry.path()));
    auto pdu = DecodePdu(bytes);
    if (pdu) {
      auto encoded = EncodePdu(pdu.Value());
      if (encoded) {
        // What we write must read back with the same parts, byte for byte.
        auto again = DecodePdu(encoded.Value());
        ASSERT_TRUE(again) << entry.path() << ": " << again.Failure().message;
        ASSERT_EQ(again.Value().parts.size(), pdu.Value().parts.size()) << entry.path();
        for (std::size_t i = 0; i < pdu.Value().parts.size(); ++i) {
          auto before = pdu.Value().parts[i].data;
          auto after = again.Value().parts[i].data;
          EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin(), after.end())) << entry.path();
        }
      }
    } else {
      EXPECT_LE(pdu.Failure().offset, bytes.size()) << entry.path();
    }
    ++count;
  }
  EXPECT_GT(count, 0u);
}

}  // namespace
}  // namespace mm1
