// Faults of the host program's commands on a shared device: files that are not files, pictures
// that cannot be read or would be mislabelled, two picture commands at once, data files gone
// missing or short, and what killed commands leave behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

#include "reliability/child_process.h"
#include "support/test_device.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

// The number of a process that has ended.
pid_t EndedProcess() {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

// The one stored message's data file: the content folder's own ".dat" files (the bundled templates
// keep theirs in a folder below it).
fs::path OnlyDataFile(const fs::path& device) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(device / "My Documents" / "UAContents", error)) {
    if (entry.path().extension() == ".dat") return entry.path();
  }
  return {};
}

TEST(HostCommands, AFifoGivenAsAFileIsRefusedAtOnce) {
  ScratchFolder scratch;
  const fs::path device = scratch.path() / "device";
  const fs::path fifo = scratch.path() / "message.mms";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (std::vector<std::string> command : {std::vector<std::string>{"inspect", fifo.string()},
                                           {"inspect", fifo.string(), "--slides"},
                                           {"store", "import", fifo.string()},
                                           {"picture", "info", fifo.string()},
                                           {"picture", "resize", fifo.string(), (scratch.path() / "o.jpg").string(), "9", "9"}}) {
    ChildResult result = RunTool(device, command, seconds(20));
    EXPECT_FALSE(result.timedOut) << command[0] << " " << command[1] << " waited for a writer";
    EXPECT_EQ(result.exitCode, 1) << command[0] << " " << command[1] << ": " << result.err;
  }
}

TEST(HostCommands, PicturesThatCannotBeReadOrWouldBeMislabelledAreRefused) {
  ScratchFolder scratch;
  const fs::path device = scratch.path() / "device";
  std::string gif = ReadBytes(test_support::CorpusPath("gif/pm-nowmms-p2.gif"));
  std::string animated = ReadBytes(test_support::CorpusPath("gif/pm-btmms-p2-animated.gif"));
  struct Case {
    const char* what;
    std::string input;  // file name in the scratch folder
    std::string bytes;
    std::string output;
    const char* width;
    const char* height;
  };
  const Case cases[] = {
      {"a GIF cut after its screen descriptor, in a box it fits", "cut.gif", gif.substr(0, 13), "cut-out.gif", "1000", "1000"},
      {"a GIF cut in its first frame, in a box it fits", "half.gif", gif.substr(0, gif.size() / 3), "half-out.gif", "1000", "1000"},
      {"a GIF whose frame data is noise", "noise.gif", gif.substr(0, 800) + std::string(gif.size() - 800, '\x5A'), "noise-out.gif", "40", "30"},
      // 67 x 50: a box of its own height needs no scaling, and the GIF's bytes were copied unread.
      {"an animated GIF cut in half, in a box of its height", "animated.gif", animated.substr(0, animated.size() / 2),
       "animated-out.gif", "1000", "50"},
      {"a JPEG resized to a PNG name", "photo.jpg", ReadBytes(test_support::CorpusPath("jpeg/canon-eos-40d.jpg")), "photo.png", "40", "30"},
      {"a GIF resized to a JPEG name", "whole.gif", gif, "whole.jpg", "40", "30"},
  };
  for (const Case& c : cases) {
    fs::path input = scratch.path() / c.input;
    fs::path output = scratch.path() / c.output;
    test_support::WriteFileBytes(input, c.bytes);
    ChildResult result = RunTool(device, {"picture", "resize", input.string(), output.string(), c.width, c.height});
    EXPECT_EQ(result.exitCode, 1) << c.what << ": " << result.err;
    EXPECT_FALSE(fs::exists(output)) << c.what;
  }
  // The same pictures whole, into names of their own format, do resize.
  ChildResult whole = RunTool(device, {"picture", "resize", (scratch.path() / "whole.gif").string(),
                                       (scratch.path() / "whole-small.gif").string(), "40", "30"});
  EXPECT_EQ(whole.exitCode, 0) << whole.err;
}

TEST(HostCommands, PictureCommandsAtOnceKeepTheirOwnInputsAndOutputs) {
  ScratchFolder scratch;
  const fs::path device = scratch.path() / "device";
  const std::vector<fs::path> inputs = {test_support::CorpusPath("jpeg/canon-eos-40d.jpg"),
                                        test_support::CorpusPath("jpeg/fujifilm-finepix6900zoom.jpg"),
                                        test_support::CorpusPath("jpeg/nikon-coolpix-p1.jpg")};
  ASSERT_EQ(RunTool(device, {"store", "list"}).exitCode, 0);
  // Each input resized alone first: what each of the parallel runs must write.
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    fs::path out = scratch.path() / ("alone-" + std::to_string(i) + ".jpg");
    ChildResult alone = RunTool(device, {"picture", "resize", inputs[i].string(), out.string(), "64", "48"});
    ASSERT_EQ(alone.exitCode, 0) << alone.err;
    expected.push_back(ReadBytes(out));
  }
  constexpr int kAtOnce = 9;
  int mixedUp = 0;
  for (int round = 0; round < 3; ++round) {
    std::vector<std::unique_ptr<Child>> children;
    for (int i = 0; i < kAtOnce; ++i) {
      fs::path out = scratch.path() / ("parallel-" + std::to_string(i) + ".jpg");
      children.push_back(std::make_unique<Child>(
          device, std::vector<std::string>{"picture", "resize", inputs[i % inputs.size()].string(), out.string(), "64", "48"},
          scratch.path()));
    }
    for (int i = 0; i < kAtOnce; ++i) {
      ChildResult result = children[i]->Wait(seconds(60));
      EXPECT_EQ(result.exitCode, 0) << result.err;
      if (ReadBytes(scratch.path() / ("parallel-" + std::to_string(i) + ".jpg")) != expected[i % inputs.size()]) ++mixedUp;
    }
  }
  EXPECT_EQ(mixedUp, 0);
}

TEST(HostCommands, AMessageWhoseDataFileIsShortOrMissingIsReportedAndNotExported) {
  ScratchFolder scratch;
  const fs::path device = scratch.path() / "device";
  ChildResult imported = RunTool(device, {"store", "import", test_support::CorpusPath("mms/me-retrieve-6.mms").string()});
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  std::string id = imported.out.substr(0, imported.out.find('\n'));
  fs::path dataFile = OnlyDataFile(device);
  ASSERT_FALSE(dataFile.empty());
  fs::path out = scratch.path() / "out.mms";

  fs::resize_file(dataFile, fs::file_size(dataFile) / 2);
  ChildResult list = RunTool(device, {"store", "list", "--json"});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_NE(list.out.find("\"problem\":\"its data file is shorter than recorded"), std::string::npos) << list.out;
  ChildResult exported = RunTool(device, {"store", "export", id, out.string()});
  EXPECT_EQ(exported.exitCode, 1);
  EXPECT_NE(exported.err.find("shorter than recorded"), std::string::npos) << exported.err;
  EXPECT_FALSE(fs::exists(out));

  fs::remove(dataFile);
  list = RunTool(device, {"store", "list", "--json"});
  EXPECT_NE(list.out.find("\"problem\":\"its data file is missing\""), std::string::npos) << list.out;
  exported = RunTool(device, {"store", "export", id, out.string()});
  EXPECT_EQ(exported.exitCode, 1);
  EXPECT_NE(exported.err.find("missing"), std::string::npos) << exported.err;
  EXPECT_FALSE(fs::exists(out));
}

TEST(HostCommands, TheNextWritingCommandRemovesWhatKilledCommandsLeft) {
  ScratchFolder scratch;
  const fs::path device = scratch.path() / "device";
  ASSERT_EQ(RunTool(device, {"store", "list"}).exitCode, 0);
  const std::string dead = std::to_string(EndedProcess());
  const std::string alive = std::to_string(::getpid());
  const fs::path out = scratch.path() / "saved.mms";
  const std::vector<fs::path> stale = {device / "Temp" / ("inspect-" + dead), device / "Temp" / ("inspect.tmp-" + dead + "-0"),
                                       device / "Temp" / ("picture-in.tmp-" + dead + "-2.jpg"),
                                       device / "My Documents" / "UAContents" / "4242.dat",
                                       scratch.path() / ("saved.mms.tmp-" + dead + "-7")};
  const std::vector<fs::path> kept = {device / "Temp" / ("inspect.tmp-" + alive + "-0"),
                                      scratch.path() / ("saved.mms.tmp-" + alive + "-1"),
                                      device / "My Documents" / ("notes.tmp-" + dead + "-x")};
  for (const fs::path& path : stale) test_support::WriteFileBytes(path, "left behind");
  for (const fs::path& path : kept) test_support::WriteFileBytes(path, "in use");
  // Reading leaves them: a reading command writes nothing.
  ASSERT_EQ(RunTool(device, {"store", "list"}).exitCode, 0);
  for (const fs::path& path : stale) EXPECT_TRUE(fs::exists(path)) << path;

  ChildResult save = RunTool(device, {"inspect", test_support::CorpusPath("mms/me-retrieve-1.mms").string(), "--save", out.string()});
  ASSERT_EQ(save.exitCode, 0) << save.err;
  for (const fs::path& path : stale) EXPECT_FALSE(fs::exists(path)) << path;
  for (const fs::path& path : kept) EXPECT_TRUE(fs::exists(path)) << path;
  EXPECT_TRUE(fs::exists(out));
}

}  // namespace
}  // namespace reliability
