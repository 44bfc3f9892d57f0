// Nine processes on one device at once: importers, listers and settings writers. None may fail
// (SQLite's "database is locked" included), and every import must be listed afterwards and export
// byte for byte as it was imported.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <thread>

#include "platform/internal/sqlite_database.h"
#include "reliability/child_process.h"
#include "reliability/device_checks.h"
#include "support/test_device.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

const std::vector<std::string> kMessages = {"mms/me-retrieve-1.mms", "mms/me-retrieve-6.mms", "mms/me-retrieve-10.mms",
                                            "mms/me-notification-1.mms", "mms/me-delivery-2.mms"};

struct Worker {
  std::string role;
  std::vector<std::vector<std::string>> commands;
};

TEST(SeveralProcesses, ImportListAndChangeSettingsAtOnceWithoutFailureOrLoss) {
  ScratchFolder scratch;
  fs::path device = scratch.path() / "device";
  ASSERT_EQ(RunTool(device, {"store", "list"}).exitCode, 0);

  constexpr int kImporters = 4, kImportsEach = 5, kListers = 3, kListsEach = 10, kSetters = 2, kSetsEach = 15;
  std::vector<Worker> workers;
  for (int i = 0; i < kImporters; ++i) {
    Worker worker{"import", {}};
    for (int n = 0; n < kImportsEach; ++n) {
      worker.commands.push_back(
          {"store", "import", test_support::CorpusPath(kMessages[(i + n) % kMessages.size()]).string()});
    }
    workers.push_back(worker);
  }
  for (int i = 0; i < kListers; ++i) workers.push_back({"list", std::vector(kListsEach, std::vector<std::string>{"store", "list", "--json"})});
  for (int i = 0; i < kSetters; ++i) {
    Worker worker{"settings", {}};
    for (int n = 0; n < kSetsEach; ++n) worker.commands.push_back({"settings", "set", "numeric", "82", std::to_string(n % 5)});
    workers.push_back(worker);
  }

  // Each worker runs its commands one after the other; the workers run side by side.
  std::map<std::string, std::string> imported;  // entry id -> source file
  int runs = 0, failures = 0;
  std::vector<std::size_t> next(workers.size(), 0);
  std::vector<std::unique_ptr<Child>> running(workers.size());
  std::vector<std::string> runningSource(workers.size());
  for (bool busy = true; busy;) {
    busy = false;
    for (std::size_t w = 0; w < workers.size(); ++w) {
      if (running[w] && running[w]->Ended()) {
        ChildResult result = running[w]->Wait(seconds(1));
        ++runs;
        if (result.exitCode != 0 || result.err.find("locked") != std::string::npos) {
          ++failures;
          ADD_FAILURE() << workers[w].role << " failed (" << result.exitCode << "): " << result.err;
        } else if (workers[w].role == "import") {
          imported[result.out.substr(0, result.out.find('\n'))] = runningSource[w];
        }
        running[w].reset();
      }
      if (!running[w] && next[w] < workers[w].commands.size()) {
        const auto& command = workers[w].commands[next[w]++];
        runningSource[w] = command.back();
        running[w] = std::make_unique<Child>(device, command, scratch.path());
        ASSERT_TRUE(running[w]->Started());
      }
      busy = busy || running[w];
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }

  ChildResult list = RunTool(device, {"store", "list", "--json"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  std::vector<std::string> listed = ListedIds(list.out);
  std::set<std::string> listedSet(listed.begin(), listed.end());
  EXPECT_EQ(listed.size(), static_cast<std::size_t>(kImporters * kImportsEach));
  int lost = 0;
  for (const auto& [id, source] : imported) {
    fs::path out = scratch.path() / (id + ".mms");
    ChildResult exported = RunTool(device, {"store", "export", id, out.string()});
    bool same = listedSet.count(id) == 1 && exported.exitCode == 0 && ReadBytes(out) == ReadBytes(source);
    if (!same) ++lost;
    EXPECT_TRUE(same) << id << " from " << source << ": " << exported.err;
  }
  ChildResult settings = RunTool(device, {"settings"});
  EXPECT_EQ(settings.exitCode, 0) << settings.err;
  std::printf("several processes: %zu processes at once, %d runs, %d failures, %zu imports, %d lost\n", workers.size(),
              runs, failures, imported.size(), lost);
  EXPECT_EQ(imported.size(), static_cast<std::size_t>(kImporters * kImportsEach));
}

// Processes that all find the device new make one registry with its factory values and one store
// with its folders between them, and none of them fails.
TEST(SeveralProcesses, FirstUseAtOnceMakesOneDevice) {
  constexpr int kDevices = 3, kAtOnce = 8;
  for (int d = 0; d < kDevices; ++d) {
    ScratchFolder scratch;
    fs::path device = scratch.path() / "device";
    std::vector<std::unique_ptr<Child>> children;
    for (int i = 0; i < kAtOnce; ++i) {
      std::vector<std::string> command = i % 2 == 0 ? std::vector<std::string>{"store", "list"}
                                                    : std::vector<std::string>{"settings", "set", "numeric", "82", "2"};
      children.push_back(std::make_unique<Child>(device, command, scratch.path()));
    }
    for (auto& child : children) {
      ChildResult result = child->Wait(seconds(60));
      EXPECT_EQ(result.exitCode, 0) << result.err;
    }
    DeviceCheck check = CheckDevice(device, Leftovers::kAsTheyAre);
    for (const std::string& problem : check.problems) ADD_FAILURE() << problem;
    std::string error;
    auto store = platform::internal::SqliteDatabase::Open(device / "message_store.db", &error);
    ASSERT_TRUE(store) << error;
    auto objects = store->Prepare("SELECT sum(kind=1), sum(kind=3) FROM objects");
    ASSERT_TRUE(objects.Step());
    EXPECT_EQ(objects.Int(0), 1) << "stores";
    EXPECT_EQ(objects.Int(1), 6) << "folders: the root and the five standard ones";
  }
}

}  // namespace
}  // namespace reliability
