// Damaged and hostile messages opened through the read form's export, as a host opens them: the
// form opens what it can or fails cleanly, never crashes or hangs, the host is told when the form
// closes, and the stored message's data file is left exactly as it was.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engines/codec_module.h"
#include "forms/form_provider.h"
#include "forms/read_view.h"
#include "mm1/file_io.h"
#include "mm1/message_writer.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "read_store_fixture.h"

namespace ui_test {
namespace {

namespace fs = std::filesystem;

// However long its slides say it is, a reading is looked at for this long before it is ended.
constexpr DWORD kWatchMs = 20000;

struct RecordingHost : IFormHost {
  int closed = 0;
  HRESULT FormClosed(IMMSForm*, IMessage*, DWORD) override {
    ++closed;
    return S_OK;
  }
  HRESULT HostSlot1() override { return S_OK; }
  HRESULT HostSlot2() override { return S_OK; }
  HRESULT FormAction(IMMSForm*, IMessage*, DWORD, DWORD) override { return S_OK; }
};

struct Reading {
  HRESULT result = E_FAIL;
  bool viewOpened = false;
  int slides = 0;
  bool pictureShown = false;
  int hostToldClosed = 0;
};

class ReadBadInputTest : public ReadStoreTest {
 protected:
  void SetUp() override {
    ReadStoreTest::SetUp();
    // Damaged messages may ask or tell the person something; the careful answer is given.
    platform::automation::SetUnexpectedPromptHandler([](const platform::automation::Prompt&) {});
    ASSERT_EQ(MMSForm_Init(), 1);
  }
  void TearDown() override {
    MMSForm_Uninit();
    ReadStoreTest::TearDown();
  }

  // A message of the given presentation and parts (name, content type, bytes), stored as received.
  EntryId StoreMessage(const std::string& smil, const std::vector<std::array<std::string, 3>>& parts) {
    const fs::path source = m_device.root() / "source";
    fs::remove_all(source);
    fs::create_directories(source);
    mm1::MessageWriter writer;
    for (const auto& [name, type, bytes] : parts) {
      EXPECT_TRUE(mm1::WriteFileAtomically(source / name, std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
      mm1::PartRecord record;
      record.folder = source;
      record.fileName = name;
      record.contentType = type;
      EXPECT_TRUE(writer.AddPart(record));
    }
    if (!smil.empty()) {
      EXPECT_TRUE(mm1::WriteFileAtomically(source / "mms.smil", std::vector<std::uint8_t>(smil.begin(), smil.end())));
      EXPECT_TRUE(writer.SetPresentation(source / "mms.smil", "mms.smil"));
    }
    EXPECT_TRUE(writer.Write(source / "message.mms"));
    const ImportResult imported = ImportMessageFile(test_support::ReadFileBytes(source / "message.mms"),
                                                    PR_INBOX_FOLDER_ENTRYID);
    EXPECT_TRUE(imported.ok) << imported.error;
    return imported.entryId;
  }

  EntryId StoreCorpusMessage(const char* name) {
    const ImportResult imported = ImportMessageFile(
        test_support::ReadFileBytes(test_support::CorpusPath("mms-rich") / name), PR_INBOX_FOLDER_ENTRYID);
    EXPECT_TRUE(imported.ok) << imported.error;
    return imported.entryId;
  }

  fs::path DataFileOf(const EntryId& id) {
    ComPtr<IMessage> message = Open(id);
    MessageBinding binding;
    EXPECT_TRUE(LoadBinding(binding, message.Get(), nullptr, kHostVerbRead));
    return m_device.Host(binding.DataFile().View());
  }

  // Opens the stored message in the read form, watches the view play for a while on the virtual
  // clock, ends it with Done, and closes and releases the form as a host does.
  Reading Read(const EntryId& id) {
    Reading reading;
    ComPtr<IMessage> message = Open(id);
    // Closing a form closes the host window it was opened over.
    CreateOwner();
    platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
      auto* view = dynamic_cast<CReadView*>(reinterpret_cast<CWndBase*>(GetWindowLongW(dialog, GWL_USERDATA)));
      if (view) {
        reading.viewOpened = true;
        reading.slides = view->SlideCount();
        CPresentationWindow* window = view->Player().Window();
        reading.pictureShown = window && window->PictureShown();
        const DWORD start = GetTickCount();
        while (!view->Ended() && GetTickCount() - start < kWatchMs) platform::automation::AdvanceClock(300);
      }
      PostMessageW(dialog, WM_COMMAND, 1, 0);
    });
    RecordingHost host;
    DWORD activateArg = 0;
    IMMSForm* form = nullptr;
    reading.result = MMSForm_CreateReadForm(&host, message.Get(), m_owner, &activateArg, &form);
    platform::automation::PumpUntilIdle();
    if (SUCCEEDED(reading.result) && form) {
      form->Close();
      platform::automation::PumpUntilIdle();
      form->Release();
    }
    platform::automation::PumpUntilIdle();
    reading.hostToldClosed = host.closed;
    return reading;
  }

  // Reads the message and checks what every reading must give: a clean result, the host told once
  // when a form was made, and the data file as it was.
  Reading ReadLeavingItsDataFile(const EntryId& id, const fs::path& dataFile) {
    std::error_code missing;
    const bool existed = fs::exists(dataFile, missing);
    const std::string before = existed ? test_support::ReadFileBytes(dataFile) : std::string();
    Reading reading = Read(id);
    EXPECT_TRUE(reading.result == S_OK || reading.result == E_FAIL) << std::hex << reading.result;
    if (reading.result == S_OK) {
      EXPECT_EQ(reading.hostToldClosed, 1);
    }
    EXPECT_EQ(fs::exists(dataFile, missing), existed);
    if (existed) EXPECT_EQ(test_support::ReadFileBytes(dataFile), before);
    return reading;
  }
};

std::string SmilOf(const std::string& body) {
  return "<smil><head><layout><root-layout width=\"176\" height=\"144\"/>"
         "<region id=\"Image\" left=\"0\" top=\"0\" width=\"176\" height=\"100\"/>"
         "<region id=\"Text\" left=\"0\" top=\"100\" width=\"176\" height=\"44\"/>"
         "</layout></head><body>" +
         body + "</body></smil>";
}

std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

std::string BigEndian(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
          static_cast<char>(value)};
}

std::string PngChunk(const std::string& type, const std::string& data) {
  return BigEndian(static_cast<std::uint32_t>(data.size())) + type + data + BigEndian(Crc32(type + data));
}

// A PNG that declares 60,000 x 60,000 pixels of colour and carries a few bytes of them: about 100
// bytes standing for ten gigabytes.
std::string HugeDeclaredPng() {
  std::string header = BigEndian(60000) + BigEndian(60000) + std::string("\x08\x02\x00\x00\x00", 5);
  std::string png = "\x89PNG\r\n\x1a\n";
  png += PngChunk("IHDR", header);
  png += PngChunk("IDAT", std::string("\x78\x9c\x62\x60\x60\x60\x00\x00\x00\xff\xff", 11) + std::string(40, '\0'));
  return png;
}

TEST_F(ReadBadInputTest, ADataFileMissingTruncatedOrGarbageOpensNothingHalfWayAndStaysAsItIs) {
  for (const char* damage : {"missing", "truncated", "garbage", "empty"}) {
    SCOPED_TRACE(damage);
    const EntryId id = StoreCorpusMessage("rich-01-photo-audio-begin.mms");
    const fs::path dataFile = DataFileOf(id);
    const std::string whole = test_support::ReadFileBytes(dataFile);
    ASSERT_FALSE(whole.empty());
    const std::string_view kind = damage;
    if (kind == "missing") {
      fs::remove(dataFile);
    } else if (kind == "truncated") {
      test_support::WriteFileBytes(dataFile, std::string_view(whole).substr(0, whole.size() / 3));
    } else if (kind == "garbage") {
      std::mt19937 random(17);
      std::string noise(whole.size(), '\0');
      for (char& c : noise) c = static_cast<char>(random());
      test_support::WriteFileBytes(dataFile, noise);
    } else {
      test_support::WriteFileBytes(dataFile, "");
    }
    const Reading reading = ReadLeavingItsDataFile(id, dataFile);
    // The view opens on what could be read (here nothing), so the person can still see the message
    // information and leave.
    EXPECT_EQ(reading.result, S_OK);
    EXPECT_TRUE(reading.viewOpened);
    // What survives of a truncated message may still make a slide; nothing of it can show a
    // picture cut off before its data.
    if (kind != "truncated") EXPECT_FALSE(reading.pictureShown);
  }
}

TEST_F(ReadBadInputTest, APresentationNamingPartsThatAreNotThereShowsTheRest) {
  const std::string smil = SmilOf(
      "<par dur=\"2000ms\"><img src=\"nothere.jpg\" region=\"Image\"/><text src=\"caption.txt\" region=\"Text\"/></par>"
      "<par dur=\"2000ms\"><img src=\"cid:nobody\" region=\"Image\"/><audio src=\"missing.amr\"/></par>");
  const EntryId id = StoreMessage(smil, {{"caption.txt", "text/plain;charset=utf-8", "A caption"}});
  const Reading reading = ReadLeavingItsDataFile(id, DataFileOf(id));
  EXPECT_EQ(reading.result, S_OK);
  EXPECT_TRUE(reading.viewOpened);
  EXPECT_FALSE(reading.pictureShown);
}

TEST_F(ReadBadInputTest, AThousandSlidesAndSlidesOfNoTimeOrAllTimeOpenAndEndWhenTold) {
  std::string thousand;
  for (int i = 0; i < 1000; ++i) thousand += "<par dur=\"10ms\"><text src=\"t.txt\" region=\"Text\"/></par>";
  const std::string extremes = "<par dur=\"0ms\"><text src=\"t.txt\" region=\"Text\"/></par>"
                               "<par dur=\"4294967295ms\"><text src=\"t.txt\" region=\"Text\"/></par>"
                               "<par dur=\"0ms\"><text src=\"t.txt\" region=\"Text\"/></par>";
  for (const std::string& body : {thousand, extremes}) {
    const EntryId id = StoreMessage(SmilOf(body), {{"t.txt", "text/plain;charset=utf-8", "words"}});
    const Reading reading = ReadLeavingItsDataFile(id, DataFileOf(id));
    EXPECT_EQ(reading.result, S_OK);
    EXPECT_TRUE(reading.viewOpened);
    EXPECT_GE(reading.slides, 1);
  }
}

TEST_F(ReadBadInputTest, APictureDeclaringSixtyThousandPixelsASideInAHundredBytesIsLeftOut) {
  const std::string png = HugeDeclaredPng();
  ASSERT_LT(png.size(), 120u);
  const std::string smil = SmilOf(
      "<par dur=\"2000ms\"><img src=\"huge.png\" region=\"Image\"/><text src=\"t.txt\" region=\"Text\"/></par>");
  const EntryId id =
      StoreMessage(smil, {{"huge.png", "image/png", png}, {"t.txt", "text/plain;charset=utf-8", "below it"}});
  const Reading reading = ReadLeavingItsDataFile(id, DataFileOf(id));
  EXPECT_EQ(reading.result, S_OK);
  EXPECT_TRUE(reading.viewOpened);
  EXPECT_FALSE(reading.pictureShown);
}

TEST_F(ReadBadInputTest, WithoutThePictureLibraryTheSlidesPlayWithoutTheirPictures) {
  const EntryId id = StoreCorpusMessage("rich-01-photo-audio-begin.mms");
  const fs::path dataFile = DataFileOf(id);
  // As on a device without it: the library that earlier readings of this process loaded goes too.
  ASSERT_TRUE(fs::remove(m_device.Host(u"\\windows\\ImageDLL.dll")));
  FreeCodecLibrary();
  const Reading reading = ReadLeavingItsDataFile(id, dataFile);
  EXPECT_EQ(reading.result, S_OK);
  EXPECT_TRUE(reading.viewOpened);
  EXPECT_EQ(reading.slides, 3);
  EXPECT_FALSE(reading.pictureShown);
}

}  // namespace
}  // namespace ui_test
