#include <gtest/gtest.h>

#include <cctype>
#include <span>

#include "mm1/mm1_library.h"
#include "mm1/pdu_decoder.h"
#include "mm1/pdu_encoder.h"
#include "mm1_test_util.h"

namespace mm1 {
namespace {

using mm1_test::ScratchFolder;
using test_support::CorpusPath;
using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

TEST(MessageReader, WritesEachPartAndDescribesIt) {
  ScratchFolder folder;
  auto handle = OpenMessage(CorpusPath("mms/me-retrieve-1.mms"));
  ASSERT_TRUE(handle) << handle.Failure().message;
  ReadHandle& reader = handle.Value();
  ASSERT_EQ(reader->PartCount(), 3u);
  auto text = reader->Part(1, folder.Path());
  ASSERT_TRUE(text);
  EXPECT_EQ(text.Value().contentType, "text/plain;charset=utf_8;name=text_001.txt");
  EXPECT_EQ(text.Value().fileName, "text_001.txt");
  EXPECT_EQ(text.Value().contentId, "text_001.txt");
  EXPECT_EQ(text.Value().size, 127u);
  EXPECT_EQ(std::filesystem::file_size(folder.Path() / "text_001.txt"), 127u);
  EXPECT_FALSE(reader->Part(3, folder.Path()));
  EXPECT_FALSE(reader->IsForwardLocked());
  CloseMessage(reader);
  EXPECT_FALSE(reader);
}

// A filter sees each part under the name it asks for and may write other bytes in its place; the
// record keeps the size the part had in the message.
TEST(MessageReader, AFilterReplacesThePartDataItChooses) {
  ScratchFolder folder;
  auto reader = MessageReader::Open(CorpusPath("mms/me-retrieve-1.mms"));
  ASSERT_TRUE(reader);
  std::vector<std::string> seen;
  auto upperText = [&](const PartRecord& record, std::span<const std::uint8_t> data) -> std::optional<std::string> {
    seen.push_back(record.fileName);
    if (!record.contentType.starts_with("text/")) return std::nullopt;
    std::string text(data.begin(), data.end());
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "[" + text + "]";
  };
  auto text = reader.Value().Part(1, folder.Path(), upperText);
  ASSERT_TRUE(text);
  const std::string written = ReadFileBytes(folder.Path() / "text_001.txt");
  EXPECT_EQ(written.size(), 129u);
  EXPECT_TRUE(written.starts_with("[") && written.ends_with("]"));
  EXPECT_EQ(written.find_first_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos);
  EXPECT_EQ(text.Value().size, 127u);
  // The same name again gets its counter after the filter has seen it.
  auto again = reader.Value().Part(1, folder.Path(), upperText);
  ASSERT_TRUE(again);
  EXPECT_EQ(again.Value().fileName, "text_0011.txt");
  auto other = reader.Value().Part(2, folder.Path(), upperText);
  ASSERT_TRUE(other);
  EXPECT_EQ(std::filesystem::file_size(folder.Path() / other.Value().fileName), other.Value().size);
  EXPECT_EQ(seen, (std::vector<std::string>{"text_001.txt", "text_001.txt", other.Value().fileName}));
}

TEST(MessageReader, PresentationIsTheStartPartElseTheFirstSmil) {
  ScratchFolder folder;
  // Success2 has its SMIL last and without Content-Location; the start parameter names it.
  for (const char* name : {"me-retrieve-success2.mms", "pm-images-cut-off.mms", "pm-iphone.mms"}) {
    auto reader = MessageReader::Open(CorpusPath(std::string("mms/") + name));
    ASSERT_TRUE(reader) << name;
    auto smil = reader.Value().Presentation(folder.Path(), "mms.smil");
    ASSERT_TRUE(smil) << name;
    EXPECT_EQ(smil.Value().contentType.substr(0, 16), "application/smil") << name;
    EXPECT_TRUE(ReadFileBytes(folder.Path() / "mms.smil").starts_with("<smil")) << name;
  }
  auto textOnly = MessageReader::Open(CorpusPath("mms/me-retrieve-7.mms"));
  ASSERT_TRUE(textOnly);
  EXPECT_FALSE(textOnly.Value().Presentation(folder.Path(), "mms.smil"));
}

TEST(MessageReader, AStartNamingAPartThatIsNotSmilLeavesThatPartAPart) {
  ScratchFolder folder;
  WriteFileBytes(folder.Path() / "pic.jpg", std::string(100, 'j'));
  WriteFileBytes(folder.Path() / "show.smil", "<smil><body><par><img src=\"pic.jpg\"/></par></body></smil>");
  WriteHandle writer = CreateMessage();
  ASSERT_TRUE(writer->AddPart(PartRecord{"image/jpeg", folder.Path(), "pic.jpg", "pic@x", "pic.jpg", "", 0, false}));
  ASSERT_TRUE(writer->SetPresentation(folder.Path() / "show.smil", "show.smil"));
  ASSERT_TRUE(writer->Write(folder.Path() / "out.mms"));
  // The decoded parts point into the bytes they came from.
  const std::vector<std::uint8_t> written = mm1_test::Bytes(ReadFileBytes(folder.Path() / "out.mms"));
  auto pdu = DecodePdu(written);
  ASSERT_TRUE(pdu);
  bool changed = false;
  for (WspParameter& parameter : pdu.Value().contentType->parameters) {
    if (parameter.name == "start") {
      parameter.value = "<pic@x>";
      changed = true;
    }
  }
  ASSERT_TRUE(changed);
  auto bytes = EncodePdu(pdu.Value());
  ASSERT_TRUE(bytes);
  WriteFileBytes(folder.Path() / "wrong-start.mms", std::string(bytes.Value().begin(), bytes.Value().end()));

  auto reader = MessageReader::Open(folder.Path() / "wrong-start.mms");
  ASSERT_TRUE(reader);
  auto smil = reader.Value().Presentation(folder.Path(), "mms.smil");
  ASSERT_TRUE(smil);
  EXPECT_EQ(smil.Value().contentType.substr(0, 16), "application/smil");
  ASSERT_TRUE(reader.Value().PresentationIndex().has_value());
  EXPECT_EQ(reader.Value().Headers().parts[*reader.Value().PresentationIndex()].contentType.mediaType,
            "application/smil");
}

TEST(MessageReader, OpenReportsWhereDecodingFailed) {
  auto garbage = MessageReader::Open(CorpusPath("mms/me-garbage-retrieve.mms"));
  ASSERT_FALSE(garbage);
  EXPECT_EQ(garbage.Failure().offset, 0u);
  EXPECT_FALSE(MessageReader::Open(CorpusPath("mms/no-such-file.mms")));
}

TEST(MessageWriter, WrittenMessagesReadBackWithTheirParts) {
  ScratchFolder folder;
  WriteFileBytes(folder.Path() / "hello.txt", "hello");
  WriteFileBytes(folder.Path() / "pic.jpg", std::string(3000, 'j'));
  WriteFileBytes(folder.Path() / "mms.smil", "<smil></smil>");
  WriteHandle writer = CreateMessage();
  ASSERT_TRUE(writer->AddPart(PartRecord{"text/plain;charset=utf_8", folder.Path(), "hello.txt", "", "", "", 0, false}));
  ASSERT_TRUE(writer->AddPart(PartRecord{"image/jpeg", folder.Path(), "pic.jpg", "", "", "", 0, false}));
  ASSERT_TRUE(writer->SetPresentation(folder.Path() / "mms.smil", "mms.smil"));
  ASSERT_TRUE(writer->Write(folder.Path() / "out.mms"));
  CloseMessage(writer);

  auto bytes = mm1_test::Bytes(ReadFileBytes(folder.Path() / "out.mms"));
  auto pdu = DecodePdu(bytes);
  ASSERT_TRUE(pdu) << pdu.Failure().message;
  ASSERT_EQ(pdu.Value().parts.size(), 3u);
  EXPECT_EQ(pdu.Value().contentType->mediaType, "application/vnd.wap.multipart.related");
  EXPECT_EQ(pdu.Value().parts[0].contentType.mediaType, "application/smil");
  EXPECT_EQ(pdu.Value().parts[1].contentType.Charset(), 106u);
  EXPECT_EQ(pdu.Value().parts[1].contentLocation, "hello.txt");
  EXPECT_EQ(pdu.Value().parts[2].data.size(), 3000u);

  ScratchFolder target;
  auto reader = MessageReader::Open(folder.Path() / "out.mms");
  ASSERT_TRUE(reader);
  auto presentation = reader.Value().Presentation(target.Path(), "mms.smil");
  ASSERT_TRUE(presentation);
  EXPECT_EQ(ReadFileBytes(target.Path() / "mms.smil"), "<smil></smil>");
}

TEST(MessageWriter, ARefusedPartLeavesTheOldFileWhole) {
  ScratchFolder folder;
  WriteFileBytes(folder.Path() / "old.mms", "previous");
  WriteHandle writer = CreateMessage();
  EXPECT_FALSE(writer->AddPart(PartRecord{"image/png", folder.Path(), "missing.png", "", "", "", 0, false}));
  EXPECT_FALSE(writer->AddPart(PartRecord{"image/png", folder.Path(), "../old.mms", "", "", "", 0, false}));
  writer->Headers().transactionId = std::string("bad\0id", 6);
  EXPECT_FALSE(writer->Write(folder.Path() / "old.mms"));
  EXPECT_EQ(ReadFileBytes(folder.Path() / "old.mms"), "previous");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) ++files;
  EXPECT_EQ(files, 1u);  // no temporary file left behind
}

TEST(MessageReader, DrmMessagePartsAreForwardLocked) {
  ScratchFolder folder;
  WriteFileBytes(folder.Path() / "song.dm", "--boundary\r\n");
  WriteHandle writer = CreateMessage();
  ASSERT_TRUE(writer->AddPart(PartRecord{"application/vnd.oma.drm.message", folder.Path(), "song.dm", "", "", "", 0, false}));
  ASSERT_TRUE(writer->Write(folder.Path() / "locked.mms"));
  auto reader = MessageReader::Open(folder.Path() / "locked.mms");
  ASSERT_TRUE(reader);
  EXPECT_TRUE(reader.Value().IsForwardLocked());
  auto record = reader.Value().Part(0, folder.Path());
  ASSERT_TRUE(record);
  EXPECT_TRUE(record.Value().forwardLocked);
}

TEST(Mm1Config, DefaultsLimitMessagesTo300Kilobytes) {
  const Mm1Config* config = mm1_config_get_default();
  ASSERT_NE(config, nullptr);
  EXPECT_EQ(config->maxMessageSize, 307200u);
}

TEST(EncodedText, AccessorsGiveCharsetBytesAndLength) {
  EncodedString subject{106, "\xD0\x9F"};
  EXPECT_EQ(EncodedTextCharset(subject), 106u);
  EXPECT_EQ(std::string(EncodedTextData(subject), EncodedTextLength(subject)), "\xD0\x9F");
  EXPECT_EQ(EncodedTextCharset(EncodedString{std::nullopt, "x"}), 0u);
}

}  // namespace
}  // namespace mm1
