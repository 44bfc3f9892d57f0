#include <gtest/gtest.h>
#include <unistd.h>

#include "mm1/message_reader.h"
#include "mm1/part_file_name.h"
#include "mm1/pdu_encoder.h"
#include "mm1_test_util.h"

namespace mm1 {
namespace {

using mm1_test::ScratchFolder;

TEST(PartFileName, NamesFromMessagesAreMadeSafe) {
  const std::pair<std::string, std::string> cases[] = {
      {"photo.jpg", "photo.jpg"},
      {"../../x", "x"},
      {"\\..\\x", "x"},
      {"..", ""},
      {"...", ""},
      {"/", ""},
      {"C:\\Windows\\evil.exe", "evil.exe"},
      {"a\x01" "b\x7F" "c", "a_b_c"},
      {"what?<>|*:\".txt", "what_______.txt"},
      {"name. . ", "name"},
      {"  lead.txt", "lead.txt"},
      {"bad\xFF" "utf8.txt", "bad_utf8.txt"},
      {"\xD0\x9F\xD1\x80.txt", "\xD0\x9F\xD1\x80.txt"},
      {".amr", ".amr"},
  };
  for (const auto& [input, safe] : cases) EXPECT_EQ(SafePartFileName(input), safe) << input;
}

TEST(PartFileName, LongNamesKeepTheirExtensionAndWholeCharacters) {
  std::string longName;
  for (int i = 0; i < 100; ++i) longName += "\xD0\x9F";  // 200 bytes of two-byte letters
  std::string safe = SafePartFileName(longName + ".jpeg");
  EXPECT_LE(safe.size(), kMaxPartNameBytes);
  EXPECT_TRUE(safe.ends_with("\xD0\x9F.jpeg"));
  // A cut that leaves dots at the end must not leave a name that cleans differently a second time.
  std::string dotted = std::string(kMaxPartNameBytes - 10, 'a') + std::string(40, '.') + "b";
  std::string cut = SafePartFileName(dotted);
  EXPECT_FALSE(cut.ends_with("."));
  EXPECT_EQ(SafePartFileName(cut), cut);
}

// A retrieve-conf whose parts carry the given Content-Locations and one byte of data each.
std::vector<std::uint8_t> MessageWithLocations(const std::vector<std::string>& locations) {
  static const std::uint8_t kData[] = {'d'};
  Pdu pdu;
  pdu.messageType = static_cast<std::uint8_t>(MessageType::kRetrieveConf);
  pdu.contentType = ContentType{"application/vnd.wap.multipart.mixed", std::nullopt, {}};
  pdu.multipart = true;
  for (const std::string& location : locations) {
    Part part;
    part.contentType.mediaType = "text/plain";
    part.contentLocation = location;
    part.data = kData;
    pdu.parts.push_back(part);
  }
  auto bytes = EncodePdu(pdu);
  EXPECT_TRUE(bytes);
  return bytes ? bytes.Value() : std::vector<std::uint8_t>();
}

std::vector<std::string> WriteAllParts(const std::vector<std::string>& locations, const std::filesystem::path& folder) {
  ScratchFolder source;
  test_support::WriteFileBytes(source.Path() / "m.mms", [&] {
    auto bytes = MessageWithLocations(locations);
    return std::string(bytes.begin(), bytes.end());
  }());
  auto reader = MessageReader::Open(source.Path() / "m.mms");
  EXPECT_TRUE(reader);
  std::vector<std::string> names;
  for (std::size_t i = 0; reader && i < reader.Value().PartCount(); ++i) {
    auto record = reader.Value().Part(i, folder);
    EXPECT_TRUE(record) << record.Failure().message;
    if (record) names.push_back(record.Value().fileName);
  }
  return names;
}

TEST(PartFiles, NothingIsWrittenOutsideThePartFolder) {
  ScratchFolder root;
  auto folder = root.Path() / "parts";
  std::filesystem::create_directories(folder);
  auto names = WriteAllParts({"../../x", "\\..\\x", "/etc/passwd", "..", "sub/../../y"}, folder);
  EXPECT_EQ(names, (std::vector<std::string>{"x", "x1", "passwd", "part3", "y"}));
  std::size_t outside = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root.Path())) {
    if (entry.path().parent_path() != folder && entry.path() != folder) ++outside;
  }
  EXPECT_EQ(outside, 0u);
}

TEST(PartFiles, NamesAreUniqueWithoutRegardToCase) {
  ScratchFolder folder;
  auto names = WriteAllParts({"A.txt", "a.txt", "a.TXT", "a1.txt"}, folder.Path());
  EXPECT_EQ(names, (std::vector<std::string>{"A.txt", "a1.txt", "a2.TXT", "a11.txt"}));
  // Latin-1 letters fold as the device compares names; the multiplication and division signs,
  // which sit where a capital and its small letter would, are two names.
  ScratchFolder latin;
  names = WriteAllParts({"\xC3\x84pfel.txt", "\xC3\xA4pfel.txt", "\xC3\x97.txt", "\xC3\xB7.txt", "\xC3"}, latin.Path());
  EXPECT_EQ(names,
            (std::vector<std::string>{"\xC3\x84pfel.txt", "\xC3\xA4pfel1.txt", "\xC3\x97.txt", "\xC3\xB7.txt", "_"}));
}

TEST(PartFileName, OnlyAShortExtensionAfterAStemSurvivesTheLengthBound) {
  const std::string stem(200, 'n');
  EXPECT_EQ(SafePartFileName(stem + ".jpg"), std::string(kMaxPartNameBytes - 4, 'n') + ".jpg");
  // Seventeen bytes is no extension: the name is cut like any other.
  EXPECT_EQ(SafePartFileName(stem + "." + std::string(16, 'e')), std::string(kMaxPartNameBytes, 'n'));
  // A leading dot starts the name rather than an extension.
  EXPECT_EQ(SafePartFileName("." + stem), "." + std::string(kMaxPartNameBytes - 1, 'n'));
}

TEST(PartFiles, AFolderOrAnUnsafeNameIsNeverWrittenOver) {
  ScratchFolder root;
  std::filesystem::create_directories(root.Path() / "clip.amr");
  auto folder = PartFolder::Open(root.Path());
  ASSERT_TRUE(folder);
  const std::uint8_t data[] = {'x'};
  auto name = folder.Value().WriteUnique("clip.amr", data);
  ASSERT_TRUE(name) << name.Failure().message;
  EXPECT_EQ(name.Value(), "clip1.amr");
  EXPECT_TRUE(std::filesystem::is_directory(root.Path() / "clip.amr"));
  EXPECT_FALSE(folder.Value().WriteExact("clip.amr", data));
  // The writer takes only names already made safe: anything else is refused, not cleaned.
  for (const char* unsafe : {"", "../x", "a/b", "name.", "a\x01"}) {
    EXPECT_FALSE(folder.Value().WriteUnique(unsafe, data)) << unsafe;
    EXPECT_FALSE(folder.Value().WriteExact(unsafe, data)) << unsafe;
  }
  EXPECT_FALSE(PartFolder::Open(root.Path() / "missing"));
}

TEST(PartFiles, ALinkInTheFolderIsNotFollowed) {
  ScratchFolder root;
  auto folder = root.Path() / "parts";
  std::filesystem::create_directories(folder);
  test_support::WriteFileBytes(root.Path() / "victim", "keep");
  std::filesystem::create_symlink(root.Path() / "victim", folder / "evil.txt");
  auto names = WriteAllParts({"evil.txt"}, folder);
  EXPECT_EQ(names, (std::vector<std::string>{"evil1.txt"}));
  EXPECT_EQ(test_support::ReadFileBytes(root.Path() / "victim"), "keep");
}

}  // namespace
}  // namespace mm1
