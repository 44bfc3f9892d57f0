// A device on a 2 MB file system of its own, filled by imports. Every import that does not fit
// fails with the cause, nothing half-written is left, everything stored before still exports byte
// for byte, and reads keep working.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "platform/gdi/png_file.h"
#include "reliability/child_process.h"
#include "reliability/device_checks.h"
#include "reliability/small_mount.h"
#include "support/test_device.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kDeviceBytes = 2u << 20;

TEST(FullDevice, ImportsUntilFullFailWithTheCauseAndKeepWhatWasStored) {
  ScratchFolder scratch;
  SmallMount mount(scratch.path() / "small", kDeviceBytes);
  if (!mount.Mounted()) GTEST_SKIP() << mount.Error();
  const fs::path device = scratch.path() / "small" / "device";
  const fs::path source = test_support::CorpusPath("mms/me-retrieve-3.mms");
  const fs::path small = test_support::CorpusPath("mms/me-retrieve-1.mms");
  ASSERT_EQ(RunTool(device, {"store", "list"}).exitCode, 0);
  // A good message file on the device, for the save below that must not harm it.
  const fs::path kept = scratch.path() / "small" / "kept.mms";
  test_support::WriteFileBytes(kept, ReadBytes(small));
  const fs::path screen = scratch.path() / "small" / "screen.png";
  ASSERT_TRUE(platform::gdi::WritePng(platform::gdi::Surface(4, 4, false, false), screen));
  const std::string screenBefore = ReadBytes(screen);

  std::vector<std::string> stored;
  int attempts = 0, failures = 0, failuresAfterFull = 0;
  constexpr int kMoreAfterFull = 3;
  while (attempts < 40 && failuresAfterFull < kMoreAfterFull) {
    ++attempts;
    ChildResult result = RunTool(device, {"store", "import", source.string()});
    if (result.exitCode == 0) {
      EXPECT_EQ(failures, 0) << "an import succeeded after one failed for lack of space";
      stored.push_back(result.out.substr(0, result.out.find('\n')));
      continue;
    }
    ++failures;
    if (failures > 1) ++failuresAfterFull;
    EXPECT_EQ(result.exitCode, 1) << "signal " << result.signal << ": " << result.err;
    EXPECT_NE(result.err.find("is full"), std::string::npos) << result.err;
  }
  ASSERT_GT(failures, 0) << "the device never filled up";
  ASSERT_FALSE(stored.empty());
  // What room a message did not fit in is taken too: not a page is left.
  {
    std::ofstream filler(scratch.path() / "small" / "filler", std::ios::binary);
    std::string block(4096, 'f');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
    }
  }
  ChildResult more = RunTool(device, {"store", "import", small.string()});
  EXPECT_EQ(more.exitCode, 1) << more.err;
  EXPECT_NE(more.err.find("is full"), std::string::npos) << more.err;
  ChildResult setting = RunTool(device, {"settings", "set", "numeric", "82", "2"});
  if (setting.exitCode != 0) EXPECT_NE(setting.err.find("is full"), std::string::npos) << setting.err;

  // Reads work on the full device.
  ChildResult list = RunTool(device, {"store", "list", "--json"});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(ListedIds(list.out), stored);
  EXPECT_EQ(RunTool(device, {"settings"}).exitCode, 0);
  int lost = 0;
  for (const std::string& id : stored) {
    fs::path out = scratch.path() / "exported.mms";
    ChildResult exported = RunTool(device, {"store", "export", id, out.string()});
    bool same = exported.exitCode == 0 && ReadBytes(out) == ReadBytes(source);
    lost += same ? 0 : 1;
    EXPECT_TRUE(same) << id << ": " << exported.err;
  }

  // Outputs on the full device: the old file stays, no part of a new one appears.
  ChildResult save = RunTool(device, {"inspect", source.string(), "--save", kept.string()});
  EXPECT_NE(save.exitCode, 0);
  EXPECT_EQ(ReadBytes(kept), ReadBytes(small));
  const fs::path picture = scratch.path() / "small" / "picture.jpg";
  ChildResult resize = RunTool(device, {"picture", "resize", test_support::CorpusPath("jpeg/canon-ixus.jpg").string(),
                                        picture.string(), "160", "120"});
  EXPECT_EQ(resize.exitCode, 1) << resize.err;
  EXPECT_EQ(resize.err.find("may already fit"), std::string::npos) << resize.err;
  EXPECT_FALSE(fs::exists(picture));
  // A screen picture too large for what is left: the old one stays.
  platform::gdi::Surface noise(400, 400, false, false);
  std::minstd_rand random(7);
  for (int i = 0; i < 400 * 400 * 3; ++i) noise.Bits()[i] = static_cast<BYTE>(random());
  std::string error;
  EXPECT_FALSE(platform::gdi::WritePng(noise, screen, &error));
  EXPECT_NE(error.find("No space left"), std::string::npos) << error;
  EXPECT_EQ(ReadBytes(screen), screenBefore);
  EXPECT_TRUE(TemporaryLeftovers(scratch.path() / "small").empty());
  // The failed imports left no message and no data file.
  DeviceCheck check = CheckDevice(device, Leftovers::kAsTheyAre);
  EXPECT_EQ(check.messages, stored.size());
  for (const std::string& problem : check.problems) ADD_FAILURE() << problem;

  std::printf("full device: %d imports tried, %zu stored, %d failed for lack of space (all with the cause), %d lost\n",
              attempts, stored.size(), failures, lost);
}

}  // namespace
}  // namespace reliability
