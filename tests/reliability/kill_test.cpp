// Commands killed at random moments (a fixed seed): during a device's first use, an import, a save
// of a loaded message and a settings write. After each kill the device must open with both
// databases intact and its factory values, every listed message must have a whole data file, and
// once the clean-up that every writing command starts with ran, nothing of the killed one may be
// left; at the end a real writing command must have left nothing either.
#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "mm1/pdu_decoder.h"
#include "reliability/child_process.h"
#include "reliability/device_checks.h"
#include "support/test_device.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

enum class Moment { kFirstUse, kImport, kSave, kSettings };

const std::vector<std::string> kSources = {"mms/me-retrieve-1.mms", "mms/me-retrieve-6.mms", "mms/me-retrieve-8.mms",
                                           "mms/me-notification-2.mms", "mms/me-delivery-2.mms", "mms/me-read-rec.mms"};

struct Round {
  Moment moment;
  fs::path device;
  std::vector<std::string> command;
};

bool DecodesWhole(const fs::path& file) {
  auto bytes = mm1::ReadWholeFile(file, mm1::kMaxMessageFileBytes);
  return bytes && mm1::DecodePdu(bytes.Value());
}

TEST(Kills, AtRandomMomentsLeaveEveryDeviceWholeAndNothingBehind) {
  ScratchFolder scratch;
  const fs::path shared = scratch.path() / "shared";
  const fs::path saved = scratch.path() / "saved.mms";
  const std::string big = test_support::CorpusPath("mms/me-retrieve-3.mms").string();
  ASSERT_EQ(RunTool(shared, {"store", "list"}).exitCode, 0);

  std::mt19937 random(20261207);
  auto roundOf = [&](Moment moment, int number) {
    switch (moment) {
      case Moment::kFirstUse:
        return Round{moment, scratch.path() / ("fresh-" + std::to_string(number)), {"store", "list"}};
      case Moment::kImport:
        return Round{moment, shared, {"store", "import", test_support::CorpusPath(kSources[random() % kSources.size()]).string()}};
      case Moment::kSave:
        return Round{moment, shared, {"inspect", big, "--save", saved.string()}};
      case Moment::kSettings:
        return Round{moment, shared, {"settings", "set", "numeric", "82", std::to_string(random() % 4)}};
    }
    return Round{};
  };

  // How long each command takes when left alone: kills fall anywhere in that time.
  std::map<Moment, milliseconds> duration;
  for (Moment moment : {Moment::kFirstUse, Moment::kImport, Moment::kSave, Moment::kSettings}) {
    Round round = roundOf(moment, -1);
    auto start = std::chrono::steady_clock::now();
    ChildResult result = RunTool(round.device, round.command);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    duration[moment] = std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start);
  }

  constexpr int kRounds = 300;
  const Moment kOrder[] = {Moment::kFirstUse, Moment::kImport, Moment::kImport, Moment::kSave, Moment::kSettings};
  int killed = 0, finished = 0, failures = 0, dataLost = 0;
  std::map<Moment, int> killedDuring;
  auto started = std::chrono::steady_clock::now();
  for (int number = 0; number < kRounds; ++number) {
    Round round = roundOf(kOrder[random() % std::size(kOrder)], number);
    auto delay = milliseconds(random() % (duration[round.moment].count() * 6 / 5 + 1));
    {
      Child child(round.device, round.command, scratch.path());
      ASSERT_TRUE(child.Started());
      std::this_thread::sleep_for(delay);
      if (child.Ended()) {
        ++finished;
      } else {
        child.Kill();
        ++killed;
        ++killedDuring[round.moment];
      }
      ChildResult result = child.Wait(std::chrono::seconds(30));
      // A command that ran to its end did what it should.
      if (result.signal == 0 && result.exitCode != 0) {
        ++failures;
        ADD_FAILURE() << "round " << number << " failed by itself: " << result.err;
      }
    }
    DeviceCheck check = CheckDevice(round.device, Leftovers::kAfterCleanUp);
    if (round.moment == Moment::kSave && fs::exists(saved) && !DecodesWhole(saved)) {
      check.problems.push_back("the saved message is not whole");
    }
    if (!check.problems.empty()) ++dataLost;
    for (const std::string& problem : check.problems) ADD_FAILURE() << "round " << number << ": " << problem;
    if (round.moment == Moment::kFirstUse && number % 10 != 0) fs::remove_all(round.device);
  }
  auto took = std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - started);

  // The next command that writes cleans up what the killed ones left.
  ChildResult cleanUp = RunTool(shared, {"settings", "set", "numeric", "82", "1"});
  EXPECT_EQ(cleanUp.exitCode, 0) << cleanUp.err;
  DeviceCheck final = CheckDevice(shared, Leftovers::kAsTheyAre);
  for (const std::string& problem : final.problems) ADD_FAILURE() << "after the rounds: " << problem;
  // Every message listed exports through the host program, whole.
  int exported = 0;
  for (std::size_t i = 0; i < final.entryIds.size(); i += 4) {
    fs::path out = scratch.path() / "exported.mms";
    ChildResult result = RunTool(shared, {"store", "export", final.entryIds[i], out.string()});
    EXPECT_EQ(result.exitCode, 0) << final.entryIds[i] << ": " << result.err;
    EXPECT_TRUE(DecodesWhole(out)) << final.entryIds[i];
    ++exported;
  }
  std::printf("kills: %d rounds in %lld ms, %d killed (first use %d, import %d, save %d, settings %d), %d ran to the "
              "end, %d failures, %d with data lost; %zu messages stored, %d exported again\n",
              kRounds, static_cast<long long>(took.count()), killed, killedDuring[Moment::kFirstUse],
              killedDuring[Moment::kImport], killedDuring[Moment::kSave], killedDuring[Moment::kSettings], finished,
              failures, dataLost, final.messages, exported);
}

}  // namespace
}  // namespace reliability
