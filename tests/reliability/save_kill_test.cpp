// A composer killed in the middle of saving a message (the data file, then its size and subject in
// the store) at random moments (a fixed seed). After every kill the stored message must still be
// whole: its data file decodes and holds one of the versions the composer saved (or the message as
// it was first stored), its recorded size is not larger than the file, its subject belongs to that
// version or the save before it, and nothing of the killed save is left once the next writer cleaned up.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "forms/message_binding.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "mm1/pdu_decoder.h"
#include "platform/com/com_ptr.h"
#include "platform/kernel/device.h"
#include "platform/message_store/message_store.h"
#include "reliability/child_process.h"
#include "reliability/device_checks.h"
#include "support/test_device.h"
#include "transport/mms_global.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr int kVersions = 4;
constexpr int kSaves = 4;
constexpr int kOriginal = -1;

std::string VersionText(int version) {
  std::string text = "Version " + std::to_string(version) + " ";
  for (int i = 0; i < version * 12000; ++i) text += "Ж";
  return text;
}

struct Stored {
  std::optional<int> version;  // kOriginal for the message as imported
  std::vector<std::string> otherParts;  // the data of every part that is no text, in order
  std::string problem;
};

// Which version the data file holds; the text parts must all say the same one.
Stored Describe(const fs::path& dataFile, const std::vector<std::string>& originalTexts) {
  Stored stored;
  auto bytes = mm1::ReadWholeFile(dataFile, mm1::kMaxMessageFileBytes);
  if (!bytes) return Stored{std::nullopt, {}, "the data file does not read: " + bytes.Failure().message};
  auto pdu = mm1::DecodePdu(bytes.Value());
  if (!pdu) return Stored{std::nullopt, {}, "the data file does not decode: " + pdu.Failure().message};
  std::vector<std::string> texts;
  for (const mm1::Part& part : pdu.Value().parts) {
    std::string data(part.data.begin(), part.data.end());
    if (part.contentType.mediaType == "text/plain") {
      if (data.starts_with("\xEF\xBB\xBF")) data.erase(0, 3);
      texts.push_back(data);
    } else if (part.contentType.mediaType != "application/smil") {
      stored.otherParts.push_back(data);
    }
  }
  if (texts == originalTexts) {
    stored.version = kOriginal;
    return stored;
  }
  for (int version = 0; version < kVersions; ++version) {
    if (texts == std::vector<std::string>(originalTexts.size(), VersionText(version))) stored.version = version;
  }
  if (!stored.version) stored.problem = "the data file holds texts of no version";
  return stored;
}

std::vector<std::string> OriginalTexts(const fs::path& file, std::vector<std::string>* otherParts) {
  auto bytes = mm1::ReadWholeFile(file, mm1::kMaxMessageFileBytes);
  auto pdu = mm1::DecodePdu(bytes.Value());
  std::vector<std::string> texts;
  for (const mm1::Part& part : pdu.Value().parts) {
    std::string data(part.data.begin(), part.data.end());
    if (part.contentType.mediaType == "text/plain") texts.push_back(data);
    else if (part.contentType.mediaType != "application/smil") otherParts->push_back(data);
  }
  return texts;
}

struct Recorded {
  std::string subject;
  LONG size = 0;
};

// The subject and size the store holds for the message, read in this process as the next command
// would.
Recorded ReadRecorded(const fs::path& device, const std::string& id) {
  Recorded recorded;
  if (!platform::OpenDevice(device, platform::RegistrySeed::kFactory)) return recorded;
  {
    ComPtr<IMsgStore> store;
    if (platform::OpenMessageStore(store.Receive()) == S_OK) {
      ULC_Global::GetGlobal()->messageStore = store.Get();
      StoreMessage message(std::make_shared<const EntryId>(id));
      recorded = Recorded{message.Subject().ToUtf8(), message.Size()};
      ULC_Global::GetGlobal()->messageStore = nullptr;
    }
  }
  platform::CloseDevice();
  return recorded;
}

// Files the save writes for itself and that must not outlive it.
std::vector<fs::path> SaveLeftovers(const fs::path& partFolder) {
  std::vector<fs::path> found;
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(partFolder, error)) {
    if (entry.path().string().find("texttempfile") != std::string::npos) found.push_back(entry.path());
  }
  return found;
}

TEST(SaveKills, AKilledSaveLeavesTheMessageWholeAtOneOfItsVersions) {
  ScratchFolder scratch;
  const fs::path device = scratch.path() / "device";
  const fs::path source = test_support::CorpusPath("mms/pm-nowmms.mms");
  ChildResult imported = RunTool(device, {"store", "import", source.string(), "--folder", "Drafts"});
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  const std::string id = imported.out.substr(0, imported.out.find('\n'));
  std::string binaryId;
  for (std::size_t i = 0; i + 1 < id.size(); i += 2) binaryId += static_cast<char>(std::stoi(id.substr(i, 2), nullptr, 16));
  const std::string number = std::to_string(MessageNumber(binaryId));
  const fs::path contents = device / "My Documents" / "UAContents";
  const fs::path dataFile = contents / (number + ".dat");
  const fs::path partFolder = contents / number;
  std::vector<std::string> originalOthers;
  const std::vector<std::string> originalTexts = OriginalTexts(source, &originalOthers);
  ASSERT_EQ(originalTexts.size(), 2u);
  const std::vector<std::string> command = {id, std::to_string(kVersions), std::to_string(kSaves)};

  auto start = std::chrono::steady_clock::now();
  {
    Child alone(SAVE_LOOP_CHILD, device, command, scratch.path());
    ChildResult result = alone.Wait(std::chrono::seconds(60));
    ASSERT_EQ(result.exitCode, 0) << result.err;
  }
  auto duration = std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_EQ(Describe(dataFile, originalTexts).version, (kSaves - 1) % kVersions);

  std::string lastSubject = ReadRecorded(device, binaryId).subject;
  std::mt19937 random(20261208);
  constexpr int kRounds = 40;
  int killed = 0;
  for (int round = 0; round < kRounds; ++round) {
    auto delay = milliseconds(random() % (duration.count() * 11 / 10 + 1));
    {
      Child child(SAVE_LOOP_CHILD, device, command, scratch.path());
      ASSERT_TRUE(child.Started());
      std::this_thread::sleep_for(delay);
      if (!child.Ended()) {
        child.Kill();
        ++killed;
      }
      ChildResult result = child.Wait(std::chrono::seconds(30));
      if (result.signal == 0) EXPECT_EQ(result.exitCode, 0) << "round " << round << ": " << result.err;
    }
    Stored stored = Describe(dataFile, originalTexts);
    EXPECT_TRUE(stored.problem.empty()) << "round " << round << ": " << stored.problem;
    EXPECT_EQ(stored.otherParts, originalOthers) << "round " << round;
    Recorded recorded = ReadRecorded(device, binaryId);
    std::error_code error;
    EXPECT_LE(recorded.size, static_cast<LONG>(fs::file_size(dataFile, error))) << "round " << round;
    if (stored.version && *stored.version != kOriginal) {
      // A save killed between the data file and the store leaves the subject of the save before:
      // the same child's, or, at a child's first version, whatever the round before left.
      const std::string before = *stored.version == 0 ? lastSubject
                                                      : "Version " + std::to_string(*stored.version - 1);
      EXPECT_TRUE(recorded.subject == "Version " + std::to_string(*stored.version) || recorded.subject == before)
          << "round " << round << ": version " << *stored.version << ", subject " << recorded.subject
          << ", the round before left " << lastSubject;
    }
    lastSubject = recorded.subject;
    DeviceCheck check = CheckDevice(device, Leftovers::kAfterCleanUp);
    for (const std::string& problem : check.problems) ADD_FAILURE() << "round " << round << ": " << problem;
  }
  {
    Child last(SAVE_LOOP_CHILD, device, command, scratch.path());
    ChildResult result = last.Wait(std::chrono::seconds(60));
    ASSERT_EQ(result.exitCode, 0) << result.err;
  }
  ChildResult list = RunTool(device, {"store", "list"});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_EQ(list.err, "");
  Stored final = Describe(dataFile, originalTexts);
  EXPECT_EQ(final.version, (kSaves - 1) % kVersions) << final.problem;
  EXPECT_EQ(final.otherParts, originalOthers);
  for (const fs::path& path : SaveLeftovers(partFolder)) ADD_FAILURE() << "left behind: " << path;
  DeviceCheck check = CheckDevice(device, Leftovers::kAsTheyAre);
  for (const std::string& problem : check.problems) ADD_FAILURE() << "after the rounds: " << problem;
  std::printf("save kills: %d rounds, %d killed, a run of %d saves takes %lld ms\n", kRounds, killed, kSaves,
              static_cast<long long>(duration.count()));
}

}  // namespace
}  // namespace reliability
