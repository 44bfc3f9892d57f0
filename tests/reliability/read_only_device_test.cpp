// A device whose file system was remounted read-only: everything that only reads works (listing,
// exporting, settings, inspecting, picture information, types), and every write fails and says
// that the device is read-only.
#include <gtest/gtest.h>

#include <regex>

#include "reliability/child_process.h"
#include "reliability/small_mount.h"
#include "support/test_device.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;

TEST(ReadOnlyDevice, ReadsWorkAndWritesFailWithTheCause) {
  ScratchFolder scratch;
  SmallMount mount(scratch.path() / "ro", 16u << 20);
  if (!mount.Mounted()) GTEST_SKIP() << mount.Error();
  const fs::path device = scratch.path() / "ro" / "device";
  const fs::path message = test_support::CorpusPath("mms/me-retrieve-6.mms");
  std::vector<std::string> stored;
  for (const char* file : {"mms/me-retrieve-6.mms", "mms/me-notification-1.mms"}) {
    ChildResult result = RunTool(device, {"store", "import", test_support::CorpusPath(file).string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    stored.push_back(result.out.substr(0, result.out.find('\n')));
  }
  ASSERT_EQ(RunTool(device, {"settings", "set", "numeric", "82", "3"}).exitCode, 0);
  const fs::path photo = device / "My Documents" / "photo.jpg";
  fs::create_directories(photo.parent_path());
  fs::copy_file(test_support::CorpusPath("jpeg/canon-eos-40d.jpg"), photo);
  if (!mount.SetReadOnly(true)) GTEST_SKIP() << mount.Error();

  ChildResult list = RunTool(device, {"store", "list", "--json"});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(ListedIds(list.out), stored);
  fs::path out = scratch.path() / "exported.mms";
  ChildResult exported = RunTool(device, {"store", "export", stored[0], out.string()});
  EXPECT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_EQ(ReadBytes(out), ReadBytes(message));
  ChildResult settings = RunTool(device, {"settings"});
  EXPECT_EQ(settings.exitCode, 0) << settings.err;
  EXPECT_TRUE(std::regex_search(settings.out, std::regex("numeric +82 +\\S+ +3 ")));
  for (std::vector<std::string> read : {std::vector<std::string>{"inspect", message.string()},
                                        {"picture", "info", photo.string()},
                                        // Files outside the device are read where they lie.
                                        {"picture", "info", test_support::CorpusPath("jpeg/canon-eos-40d.jpg").string()},
                                        {"media", "info", test_support::CorpusPath("media/amrnb-122-sweep.amr").string()},
                                        {"type", "x.jpg"},
                                        {"store", "show", stored[1]}}) {
    ChildResult result = RunTool(device, read);
    EXPECT_EQ(result.exitCode, 0) << read[0] << " " << read[1] << ": " << result.err;
  }

  for (std::vector<std::string> write : {std::vector<std::string>{"store", "import", message.string()},
                                         {"settings", "set", "numeric", "82", "4"},
                                         {"picture", "resize", photo.string(), (scratch.path() / "small.jpg").string(), "40", "30"}}) {
    ChildResult result = RunTool(device, write);
    EXPECT_EQ(result.exitCode, 1) << write[0] << " " << write[1] << ": " << result.err;
    EXPECT_NE(result.err.find("is read-only"), std::string::npos) << write[0] << " " << write[1] << ": " << result.err;
  }
  mount.SetReadOnly(false);
}

}  // namespace
}  // namespace reliability
