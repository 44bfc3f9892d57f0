#include "presentation/message_loading.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "mm1/mm1_library.h"
#include "model/drm_handling.h"
#include "model/message_saving.h"
#include "platform/drm/dcf_file.h"
#include "platform/kernel/file_api.h"
#include "platform/text/text_conversion.h"
#include "support/test_device.h"

namespace {

using test_support::CorpusPath;
using test_support::ReadFileBytes;
using test_support::TestDevice;
using test_support::WriteFileBytes;

enum class Outcome { kSlidesFromSmil, kDefaultSlides, kNoBody, kUndecodable };

// What each corpus message becomes, and why.
const std::map<std::string, Outcome>& ExpectedOutcomes() {
  static const std::map<std::string, Outcome> outcomes = [] {
    std::map<std::string, Outcome> table;
    // A presentation whose body is a list of par elements: one slide per par.
    for (const char* name : {"me-retrieve-1", "me-retrieve-10", "me-retrieve-2", "me-retrieve-3", "me-retrieve-6",
                             "me-retrieve-8", "me-retrieve-base64", "me-retrieve-invalidsubject",
                             "me-retrieve-quotedprintable", "me-retrieve-success1", "me-retrieve-success2",
                             "me-retrieve-success3", "me-send-req-1", "me-send-req-2", "me-send-req-3",
                             "pm-27d0a048", "pm-btmms", "pm-gallery2test", "pm-images-cut-off", "pm-iphone",
                             "pm-nowmms", "pm-openwave", "pm-projekt-exempel", "pm-sonyericsson-t310", "pm-tomslot"}) {
      table[name] = Outcome::kSlidesFromSmil;
    }
    // Presentations that put media straight into the body (the conformance messages) or a seq
    // between the pars (pm-m): the slide model has no place for either, so one slide per part.
    for (const char* name : {"mmsd-rc-mms-1-3-con-210", "mmsd-rc-mms-1-3-con-211", "mmsd-rc-mms-1-3-con-216",
                             "mmsd-rc-mms-1-3-con-220", "mmsd-rc-mms-1-3-con-224", "mmsd-rc-mms-1-3-con-228",
                             "mmsd-rc-mms-1-3-con-271", "mmsd-sr-mms-related-multi-to", "pm-m"}) {
      table[name] = Outcome::kDefaultSlides;
    }
    // No presentation at all: multipart.mixed bodies and single-part bodies.
    for (const char* name : {"me-retrieve-4", "me-retrieve-5", "me-retrieve-7", "me-retrieve-9",
                             "mmsd-rc-mms-1-3-con-212", "mmsd-rc-mms-1-3-con-213", "mmsd-rc-mms-1-3-con-214",
                             "mmsd-rc-mms-1-3-con-281", "mmsd-rc-mms-1-3-con-282", "mmsd-sr-mms-mixed", "pm-simple",
                             "pm-samsung-sgh-s300m"}) {
      table[name] = Outcome::kDefaultSlides;
    }
    // Notifications, reports and confirmations carry no body.
    for (const char* name : {"me-acknowledge", "me-delivery-1", "me-delivery-2", "me-notification-1",
                             "me-notification-2", "me-notification-3", "me-notification-4", "me-notifyresp",
                             "me-read-orig", "me-read-rec", "me-send-conf-1", "me-send-conf-2", "me-send-conf-3",
                             "mmsd-ni-mms-1-3-con-271", "mmsd-ni-mms-1-3-con-272"}) {
      table[name] = Outcome::kNoBody;
    }
    table["me-garbage-retrieve"] = Outcome::kUndecodable;  // 40 bytes of text, not a PDU
    return table;
  }();
  return outcomes;
}

struct Loaded {
  MessageModel model;
  MessageLoadReport report;
  int count = -1;
  std::u16string folder;
};

Loaded LoadCopy(const std::filesystem::path& file, const std::u16string& tag) {
  Loaded loaded;
  std::u16string message = u"\\" + tag + u".mms";
  std::filesystem::copy_file(file, *platform::HostPath(message), std::filesystem::copy_options::overwrite_existing);
  loaded.folder = u"\\parts-" + tag + u"\\";
  loaded.count = LoadMessage(loaded.model, message, loaded.folder, false, NoMediaLengths(), &loaded.report);
  return loaded;
}

std::u16string ReadUtf16File(const std::u16string& path) {
  std::string bytes = ReadFileBytes(*platform::HostPath(path));
  if (!bytes.starts_with("\xFF\xFE") || bytes.size() % 2 != 0) return u"<not UTF-16 with its mark>";
  std::u16string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  }
  return text;
}

bool IsConvertedText(const MediaPart& part) {
  return media_type::KindOf(part.type) == media_type::kText && media_type::FormatOf(part.type) != 9;
}

std::size_t TopLevelPars(const std::u16string& smilPath) {
  std::string text = ReadFileBytes(*platform::HostPath(smilPath));
  std::size_t count = 0;
  for (std::size_t at = text.find("<par"); at != std::string::npos; at = text.find("<par", at + 4)) {
    char next = at + 4 < text.size() ? text[at + 4] : '\0';
    if (next == ' ' || next == '>' || next == '\t' || next == '\r' || next == '\n' || next == '/') ++count;
  }
  return count;
}

TEST(MessageLoading, EveryCorpusMessageLoadsAsItsPresentationSays) {
  TestDevice device;
  std::set<std::string> seen;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusPath("mms"))) {
    std::string name = entry.path().stem().string();
    auto expected = ExpectedOutcomes().find(name);
    ASSERT_NE(expected, ExpectedOutcomes().end()) << name << " has no expected outcome";
    seen.insert(name);
    Loaded loaded = LoadCopy(entry.path(), platform::Utf8ToUtf16(name));
    switch (expected->second) {
      case Outcome::kUndecodable:
        EXPECT_EQ(loaded.count, -1) << name;
        break;
      case Outcome::kNoBody:
        EXPECT_EQ(loaded.count, 0) << name;
        EXPECT_TRUE(loaded.model.slides.empty()) << name;
        break;
      case Outcome::kSlidesFromSmil:
        ASSERT_GT(loaded.count, 0) << name;
        EXPECT_EQ(loaded.report.presentationStatus, SlideBuildStatus::kOk) << name;
        EXPECT_EQ(loaded.model.slides.size(), TopLevelPars(loaded.folder + u"mms.smil")) << name;
        break;
      case Outcome::kDefaultSlides: {
        ASSERT_GT(loaded.count, 0) << name;
        EXPECT_TRUE(loaded.report.defaultSlides) << name;
        std::size_t shown = 0;
        for (const MediaPart& part : loaded.model.parts) {
          DWORD kind = media_type::KindOf(part.type);
          shown += kind == media_type::kImage || kind == media_type::kAudio || kind == media_type::kText ||
                   kind == media_type::kVideo;
        }
        EXPECT_EQ(loaded.model.slides.size(), shown) << name;
        break;
      }
    }
    for (const MediaPart& part : loaded.model.parts) {
      if (!IsConvertedText(part)) continue;
      std::u16string text = ReadUtf16File(loaded.folder + std::u16string(part.fileName.View()));
      EXPECT_NE(text, u"<not UTF-16 with its mark>") << name;
      for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') {
          EXPECT_TRUE(i > 0 && text[i - 1] == u'\r') << name << ": a bare line feed";
        }
      }
    }
  }
  EXPECT_EQ(seen.size(), ExpectedOutcomes().size());
}

TEST(MessageLoading, TextPartsCarryTheTextTheirCharsetSays) {
  TestDevice device;
  struct Case {
    const char* file;
    std::u16string_view contains;
  };
  // Korean UTF-8, and Finnish UTF-8 (with a character beyond the BMP) behind a base64 and a
  // quoted-printable transfer encoding.
  const Case cases[] = {
      {"me-retrieve-10", u"[MMS \uC218\uC2E0 \uC548\uB0B4]"},
      {"me-retrieve-base64", u"T\u00E4mm\u00F6nen \U0001F608 t\u00E4\u00E4 l\u00E4htee huomenna."},
      {"me-retrieve-quotedprintable", u"T\u00E4mm\u00F6nen \U0001F608 t\u00E4\u00E4 l\u00E4htee huomenna."},
  };
  for (const Case& c : cases) {
    Loaded loaded = LoadCopy(CorpusPath(std::string("mms/") + c.file + ".mms"), platform::Utf8ToUtf16(c.file));
    std::u16string all;
    for (const MediaPart& part : loaded.model.parts) {
      if (IsConvertedText(part)) all += ReadUtf16File(loaded.folder + std::u16string(part.fileName.View()));
    }
    EXPECT_NE(all.find(c.contains), std::u16string::npos) << c.file << ": " << platform::Utf16ToUtf8(all);
  }
}

// The slides as text: durations, the files each reference names and the text styles given.
std::string Describe(const MessageModel& model) {
  std::string text = std::to_string(model.layout.width) + "x" + std::to_string(model.layout.height) + " bg " +
                     std::to_string(model.layout.backgroundColor) + " regions " +
                     std::to_string(model.layout.regions.size()) + "\n";
  for (const Slide& slide : model.slides) {
    // An end that is not given and an end at the slide's end mean the same.
    auto reference = [&slide](const char* kind, const std::optional<MediaRef>& ref) {
      if (!ref || ref->part == nullptr) return std::string();
      const TextStyle& style = ref->part->style;
      LONG end = ref->end == static_cast<LONG>(slide.duration) ? 0 : ref->end;
      return std::string(" ") + kind + "=" + ref->part->fileName.ToUtf8() + "(" + std::to_string(ref->begin) + "," +
             std::to_string(end) + "," + (style.textColorGiven ? std::to_string(style.textColor) : "-") + "," +
             (style.fontSizeGiven ? std::to_string(style.fontSize) : "-") + ")";
    };
    text += "par " + std::to_string(slide.duration) + reference("img", slide.image) + reference("text", slide.text) +
            reference("audio", slide.audio) + reference("video", slide.video) + "\n";
  }
  return text;
}

TEST(MessageLoading, SaveThenLoadKeepsLayoutSlidesStylesAndTexts) {
  TestDevice device;
  for (const char* name : {"me-retrieve-2", "pm-tomslot", "pm-m", "mmsd-rc-mms-1-3-con-282"}) {
    std::u16string tag = platform::Utf8ToUtf16(name);
    Loaded first = LoadCopy(CorpusPath(std::string("mms/") + name + ".mms"), tag);
    ASSERT_GT(first.count, 0) << name;
    std::u16string saved = u"\\saved-" + tag + u".mms";
    ASSERT_TRUE(SaveMessage(first.model, first.folder, saved)) << name;
    // The text files stay UTF-16 in the part folder while the message carries UTF-8.
    for (const MediaPart& part : first.model.parts) {
      if (IsConvertedText(part)) {
        EXPECT_NE(ReadUtf16File(first.folder + std::u16string(part.fileName.View())), u"<not UTF-16 with its mark>");
      }
    }
    Loaded second;
    second.folder = u"\\reloaded-" + tag + u"\\";
    second.count = LoadMessage(second.model, saved, second.folder, false, NoMediaLengths(), &second.report);
    ASSERT_EQ(second.count, first.count) << name;
    EXPECT_EQ(second.report.presentationStatus, SlideBuildStatus::kOk) << name << ": our own presentation must read back";
    EXPECT_EQ(Describe(second.model), Describe(first.model)) << name;
    auto firstPart = first.model.parts.begin();
    for (const MediaPart& part : second.model.parts) {
      EXPECT_EQ(part.type, firstPart->type) << name;
      if (IsConvertedText(part)) {
        EXPECT_EQ(ReadUtf16File(second.folder + std::u16string(part.fileName.View())),
                  ReadUtf16File(first.folder + std::u16string(firstPart->fileName.View())))
            << name;
      }
      ++firstPart;
    }
    auto reader = mm1::OpenMessage(*platform::HostPath(saved));
    ASSERT_TRUE(reader);
    for (std::size_t i = 0; i < reader.Value()->PartCount(); ++i) {
      std::string type = reader.Value()->Headers().parts[i].contentType.mediaType;
      EXPECT_NE(type, "text/plain;charset=iso-10646-ucs-2");
    }
  }
}

TEST(MessageLoading, PersonalDataAloneIsSavedWithoutAPresentation) {
  TestDevice device;
  CreateDirectoryW(u"\\pim", nullptr);
  WriteFileBytes(device.Host(u"\\pim\\card.vcf"), "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe;John\r\nEND:VCARD\r\n");
  WriteFileBytes(device.Host(u"\\pim\\meeting.vcs"), "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nEND:VCALENDAR\r\n");
  MessageModel model;
  AddPart(model, u"card.vcf", 1);
  AddPart(model, u"meeting.vcs", 2);
  SetDefaultRegions(model.layout);
  ASSERT_TRUE(SaveMessage(model, u"\\pim\\", u"\\pim.mms"));
  auto reader = mm1::OpenMessage(*platform::HostPath(u"\\pim.mms"));
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader.Value()->PartCount(), 2u);
  EXPECT_FALSE(reader.Value()->PresentationIndex().has_value());
  MessageModel reloaded;
  EXPECT_EQ(LoadMessage(reloaded, u"\\pim.mms", u"\\pim-reloaded\\", false), 2);
  EXPECT_EQ(reloaded.parts.front().type, 0x50001u);
  EXPECT_EQ(reloaded.parts.back().type, 0x50002u);
}

// A message of one part, written by our own encoder from the data put into \src under `name`, with
// a presentation from \src when one is named.
void WriteOnePartMessage(TestDevice& device, const std::u16string& file, const std::string& name,
                         const std::string& data, const std::string& contentType,
                         const std::string& contentLocation = "", const std::string& presentation = "") {
  CreateDirectoryW(u"\\src", nullptr);
  WriteFileBytes(device.Host(u"\\src") / name, data);
  mm1::WriteHandle writer = mm1::CreateMessage();
  mm1::PartRecord record;
  record.contentType = contentType;
  record.folder = device.Host(u"\\src");
  record.fileName = name;
  record.contentLocation = contentLocation;
  ASSERT_TRUE(writer->AddPart(record));
  if (!presentation.empty()) ASSERT_TRUE(writer->SetPresentation(device.Host(u"\\src") / presentation, presentation));
  ASSERT_TRUE(writer->Write(*platform::HostPath(file)));
}

// A message whose one part is an OMA DRM message, written by our own encoder.
void WriteDrmMessage(TestDevice& device, const std::u16string& file) {
  WriteOnePartMessage(device, file, "locked",
                      "--b\r\nContent-Type: image/gif\r\nContent-ID: <g@example>\r\n\r\nGIF89a-locked-picture\r\n--b--\r\n",
                      "application/vnd.oma.drm.message");
}

TEST(MessageLoading, ForwardLockedPartsAreUnwrappedAndStayProtected) {
  TestDevice device;
  WriteDrmMessage(device, u"\\drm.mms");
  MessageModel model;
  MessageLoadReport report;
  ASSERT_EQ(LoadMessage(model, u"\\drm.mms", u"\\drm\\", false, NoMediaLengths(), &report), 1);
  EXPECT_TRUE(report.unwrappedDrm);
  const MediaPart& part = model.parts.front();
  EXPECT_EQ(part.type, 0x10002u);
  EXPECT_EQ(part.fileName, u"locked.gif");
  std::u16string path = u"\\drm\\locked.gif";
  EXPECT_EQ(DrmStatus(path.c_str(), 1, nullptr), kDrmForwardRefused);
  EXPECT_TRUE(MayUse(path.c_str()));
  EXPECT_EQ(ReadFileBytes(device.Host(path)).find("GIF89a"), std::string::npos);
  // The stored message now holds the protected content file, not the received DRM message.
  auto reader = mm1::OpenMessage(*platform::HostPath(u"\\drm.mms"));
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader.Value()->Headers().parts.back().contentType.mediaType, "application/vnd.oma.drm.content");
}

// A message whose presentation shows one picture that arrived as protected content of separate
// delivery (which may be forwarded).
void WriteForwardableMessage(TestDevice& device, const std::u16string& file) {
  CreateDirectoryW(u"\\src", nullptr);
  platform::drm::DcfFile dcf{"image/gif", "cid:shop-picture@example", "Encryption-Method: AES128CBC\r\n",
                             std::string(32, '\x5A')};
  WriteFileBytes(device.Host(u"\\src\\mms.smil"),
                 "<smil><head><layout><root-layout width=\"176\" height=\"144\"/>"
                 "<region id=\"Image\" left=\"0\" top=\"0\" width=\"176\" height=\"144\"/></layout></head>"
                 "<body><par dur=\"4000ms\"><img src=\"apart.gif\" region=\"Image\"/></par></body></smil>");
  WriteOnePartMessage(device, file, "apart.gif", platform::drm::EncodeDcf(dcf), "application/vnd.oma.drm.content",
                      "apart.gif", "mms.smil");
}

std::set<std::string> FilesIn(const std::filesystem::path& folder) {
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) files.insert(entry.path().filename().string());
  return files;
}

// Each showing rewrites the stored message with the forwardable copy in place of the part, and the
// next showing must find the same presentation, the same slides and the same files.
TEST(MessageLoading, AForwardablePartKeepsItsNameAndSlidesOverRepeatedShowings) {
  TestDevice device;
  WriteForwardableMessage(device, u"\\fwd.mms");
  std::string firstSlides;
  for (int showing = 0; showing < 3; ++showing) {
    SCOPED_TRACE(showing);
    MessageModel model;
    MessageLoadReport report;
    ASSERT_EQ(LoadMessage(model, u"\\fwd.mms", u"\\fwd\\", false, NoMediaLengths(), &report), 1);
    EXPECT_EQ(report.presentationStatus, SlideBuildStatus::kOk);
    EXPECT_EQ(model.parts.front().fileName, u"apart.gif");
    EXPECT_EQ(DrmStatus(u"\\fwd\\apart.gif", 1, nullptr), kDrmForwardGranted);
    if (showing == 0) firstSlides = Describe(model);
    EXPECT_EQ(Describe(model), firstSlides);
    EXPECT_EQ(FilesIn(device.Host(u"\\fwd")), (std::set<std::string>{"apart.gif", "mms.smil"}));
    auto reader = mm1::OpenMessage(*platform::HostPath(u"\\fwd.mms"));
    ASSERT_TRUE(reader);
    std::set<std::string> stored;
    for (const auto& part : reader.Value()->Headers().parts) {
      stored.insert(part.contentType.mediaType + " " + part.contentLocation.value_or(""));
    }
    EXPECT_EQ(stored, (std::set<std::string>{"application/smil mms.smil", "application/vnd.oma.drm.content apart.gif"}));
  }
  EXPECT_NE(firstSlides.find("img=apart.gif"), std::string::npos) << firstSlides;
}

// Protected text stays in the protected content file the DRM service wrote: this module cannot
// protect a converted copy, so the text is decoded when it is shown, not rewritten as UTF-16 here.
TEST(MessageLoading, ProtectedTextStaysProtectedAndUnconverted) {
  TestDevice device;
  WriteOnePartMessage(device, u"\\text.mms", "note",
                      "--b\r\nContent-Type: text/plain; charset=utf-8\r\nContent-ID: <t@example>\r\n\r\n"
                      "secret words\r\n--b--\r\n",
                      "application/vnd.oma.drm.message");
  MessageModel model;
  ASSERT_EQ(LoadMessage(model, u"\\text.mms", u"\\text\\", false), 1);
  const MediaPart& part = model.parts.front();
  EXPECT_EQ(part.type, 0x30001u);
  std::u16string path = u"\\text\\" + std::u16string(part.fileName.View());
  EXPECT_EQ(DrmStatus(path.c_str(), 1, nullptr), kDrmForwardRefused);
  std::string stored = ReadFileBytes(device.Host(path));
  EXPECT_EQ(stored.find("secret"), std::string::npos);
  EXPECT_FALSE(stored.starts_with("\xFF\xFE"));
}

TEST(MessageLoading, WithoutDrmSupportProtectedPartsStayOrdinaryFiles) {
  TestDevice device;
  ASSERT_TRUE(SetConfigValue(numeric_setting::kIsSupportDrm, 0, TRUE));
  WriteDrmMessage(device, u"\\drm.mms");
  MessageModel model;
  MessageLoadReport report;
  ASSERT_EQ(LoadMessage(model, u"\\drm.mms", u"\\drm\\", false, NoMediaLengths(), &report), 1);
  EXPECT_FALSE(report.unwrappedDrm);
  const std::u16string path = u"\\drm\\" + std::u16string(model.parts.front().fileName.View());
  const std::string stored = ReadFileBytes(device.Host(path));
  EXPECT_NE(stored.find("GIF89a-locked-picture"), std::string::npos);
  // Neither unwrapped by hand nor marked, and the device treats the file as unprotected.
  std::string inner;
  EXPECT_FALSE(UnwrapDrm(u"\\drm\\", model.parts.front().fileName.GetString(), inner,
                         "application/vnd.oma.drm.message", nullptr));
  EXPECT_FALSE(AddDrmHeader(path.c_str(), kDrmKindMessage));
  EXPECT_EQ(ReadFileBytes(device.Host(path)), stored);
  EXPECT_EQ(DrmStatus(path.c_str(), 0, nullptr), kDrmNotProtected);
  EXPECT_TRUE(MayUse(path.c_str()));
}

TEST(MessageLoading, ANameWithoutExtensionGetsTheOneOfItsContentType) {
  TestDevice device;
  CreateDirectoryW(u"\\src", nullptr);
  WriteFileBytes(device.Host(u"\\src\\photo"), "\xFF\xD8\xFF\xE0 not really a picture");
  mm1::WriteHandle writer = mm1::CreateMessage();
  mm1::PartRecord record;
  record.contentType = "image/jpeg";
  record.folder = device.Host(u"\\src");
  record.fileName = "photo";
  ASSERT_TRUE(writer->AddPart(record));
  ASSERT_TRUE(writer->Write(device.Host(u"\\named.mms")));
  // A file of the repaired name is there already: the counter goes before the extension.
  CreateDirectoryW(u"\\named", nullptr);
  WriteFileBytes(device.Host(u"\\named\\photo.jpg"), "taken");
  MessageModel model;
  ASSERT_EQ(LoadMessage(model, u"\\named.mms", u"\\named\\", false), 1);
  EXPECT_EQ(model.parts.front().fileName, u"photo1.jpg");
  EXPECT_EQ(model.parts.front().type, 0x10001u);
  EXPECT_EQ(ReadFileBytes(device.Host(u"\\named\\photo.jpg")), "taken");
}

// Text reaches its file converted at the first write: UTF-16LE with its mark and CR LF line ends,
// the charset taken from the content type or else from a mark, and no other file left beside it.
TEST(MessageLoading, TextPartsAreWrittenConvertedOnce) {
  TestDevice device;
  CreateDirectoryW(u"\\src", nullptr);
  WriteFileBytes(device.Host(u"\\src\\marked.txt"), "\xEF\xBB\xBFK\xC3\xB6ln\n");
  WriteFileBytes(device.Host(u"\\src\\lines.txt"), "one\r\ntwo\nthree\r");
  WriteFileBytes(device.Host(u"\\src\\latin.txt"), "Gr\xFC\xDF");
  mm1::WriteHandle writer = mm1::CreateMessage();
  for (auto [type, name] : {std::pair{"text/plain", "marked.txt"}, std::pair{"text/plain;charset=utf-8", "lines.txt"},
                            std::pair{"text/plain;charset=iso-8859-1", "latin.txt"}}) {
    mm1::PartRecord record;
    record.contentType = type;
    record.folder = device.Host(u"\\src");
    record.fileName = name;
    ASSERT_TRUE(writer->AddPart(record));
  }
  ASSERT_TRUE(writer->Write(device.Host(u"\\texts.mms")));
  MessageModel model;
  ASSERT_EQ(LoadMessage(model, u"\\texts.mms", u"\\texts\\", false), 3);
  std::vector<std::u16string> texts;
  std::vector<DWORD> sizes;
  for (const MediaPart& part : model.parts) {
    texts.push_back(ReadUtf16File(u"\\texts\\" + std::u16string(part.fileName.View())));
    sizes.push_back(part.receivedSize);
  }
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"K\u00F6ln\r\n", u"one\r\ntwo\r\nthree\r", u"Gr\u00FC\u00DF"}));
  EXPECT_EQ(sizes, (std::vector<DWORD>{9, 15, 4}));
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(device.Host(u"\\texts"))) {
    files.insert(entry.path().filename().string());
  }
  EXPECT_EQ(files, (std::set<std::string>{"marked.txt", "lines.txt", "latin.txt"}));
}

TEST(MessageLoading, SavingNeverRewritesTheTextFilesAndClearsWhatACutSaveLeft) {
  TestDevice device;
  Loaded loaded = LoadCopy(CorpusPath("mms/pm-nowmms.mms"), u"cut");
  ASSERT_GT(loaded.count, 0);
  std::map<std::u16string, std::string> before;
  for (const MediaPart& part : loaded.model.parts) {
    std::u16string path = loaded.folder + std::u16string(part.fileName.View());
    if (IsConvertedText(part)) before[path] = ReadFileBytes(*platform::HostPath(path));
  }
  ASSERT_EQ(before.size(), 2u);
  // What a save killed half way leaves: UTF-8 copies of its own, under the parts' names and others.
  const std::u16string work = loaded.folder + u"texttempfile\\";
  CreateDirectoryW(work.c_str(), nullptr);
  WriteFileBytes(device.Host(work + u"temp_0.txt"), "left by a cut save");
  WriteFileBytes(device.Host(work + std::u16string(loaded.model.parts.back().fileName.View())), "stale");

  ASSERT_TRUE(SaveMessage(loaded.model, loaded.folder, u"\\saved-cut.mms"));
  for (const auto& [path, bytes] : before) EXPECT_EQ(ReadFileBytes(*platform::HostPath(path)), bytes);
  EXPECT_EQ(GetFileAttributesW(work.substr(0, work.size() - 1).c_str()), INVALID_FILE_ATTRIBUTES);
  Loaded reloaded;
  reloaded.folder = u"\\reloaded-cut\\";
  ASSERT_EQ(LoadMessage(reloaded.model, u"\\saved-cut.mms", reloaded.folder, false), loaded.count);
  std::vector<std::u16string> texts, again;
  for (const MediaPart& part : loaded.model.parts) {
    if (IsConvertedText(part)) texts.push_back(ReadUtf16File(loaded.folder + std::u16string(part.fileName.View())));
  }
  for (const MediaPart& part : reloaded.model.parts) {
    if (IsConvertedText(part)) again.push_back(ReadUtf16File(reloaded.folder + std::u16string(part.fileName.View())));
  }
  EXPECT_EQ(again, texts);
}

// A part that calls itself "mms.smil" in a message whose presentation is elsewhere or absent keeps
// its data apart from the presentation that saving writes into the same folder.
TEST(MessageLoading, APartNamedLikeThePresentationKeepsItsOwnFile) {
  TestDevice device;
  CreateDirectoryW(u"\\src", nullptr);
  WriteFileBytes(device.Host(u"\\src\\show.smil"),
                 "<smil><body><par dur=\"3000ms\"><text src=\"mms.smil\"/></par></body></smil>");
  for (bool withPresentation : {false, true}) {
    SCOPED_TRACE(withPresentation);
    WriteOnePartMessage(device, u"\\named.mms", "note", "not a presentation", "text/plain;charset=utf_8", "mms.smil",
                        withPresentation ? "show.smil" : "");
    MessageModel model;
    ASSERT_EQ(LoadMessage(model, u"\\named.mms", u"\\named\\", false), 1);
    const std::u16string name(model.parts.front().fileName.View());
    EXPECT_FALSE(platform::EqualsNoCase(name, u"mms.smil"));
    ASSERT_TRUE(SaveMessage(model, u"\\named\\", u"\\named.mms"));
    EXPECT_EQ(ReadUtf16File(u"\\named\\" + name), u"not a presentation");
    MessageModel reloaded;
    ASSERT_EQ(LoadMessage(reloaded, u"\\named.mms", u"\\reloaded\\", false), 1);
    EXPECT_EQ(ReadUtf16File(u"\\reloaded\\" + std::u16string(reloaded.parts.front().fileName.View())),
              u"not a presentation");
  }
  // A model that names a part like the presentation is refused rather than saved over it.
  MessageModel model;
  AddPart(model, u"MMS.SMIL", 1);
  SetDefaultRegions(model.layout);
  WriteFileBytes(device.Host(u"\\named\\MMS.SMIL"), "kept");
  EXPECT_FALSE(SaveMessage(model, u"\\named\\", u"\\refused.mms"));
  EXPECT_EQ(ReadFileBytes(device.Host(u"\\named\\MMS.SMIL")), "kept");
}

TEST(MessageLoading, FilesThatCannotBeLoadedGiveMinusOne) {
  TestDevice device;
  MessageModel model;
  EXPECT_EQ(LoadMessage(model, u"", u"\\parts\\", false), -1);
  EXPECT_EQ(LoadMessage(model, u"\\missing.mms", u"", false), -1);
  EXPECT_EQ(LoadMessage(model, u"\\missing.mms", u"\\parts\\", false), -1);
  EXPECT_EQ(LoadMessage(model, u"\\..\\outside.mms", u"\\parts\\", false), -1);
  WriteFileBytes(device.Host(u"\\cut.mms"), ReadFileBytes(CorpusPath("mms/me-retrieve-2.mms")).substr(0, 3000));
  EXPECT_EQ(LoadMessage(model, u"\\cut.mms", u"\\parts\\", false), -1);
}

}  // namespace
