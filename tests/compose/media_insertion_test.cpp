// Files brought into a message being composed: pictures scaled to the configured box and held to the
// room left in the message, files used twice, handed-over texts, contact cards and calendar entries.
// What the frame wrote into the part folder is decoded or read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "composer_frame_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/dib_image.h"
#include "engines/image_decode.h"
#include "engines/image_encode.h"
#include "forms/message_size.h"
#include "platform/automation/automation.h"
#include "platform/pim/pim_store.h"
#include "platform/pim/vcalendar.h"
#include "platform/pim/vcard_reader.h"
#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"

namespace {

using namespace composer_test;

constexpr const char16_t* kPictures = u"\\My Documents\\My Pictures\\";

class MediaInsertionTest : public ComposerFrameTest {
 protected:
  // A JPEG of the size; noisy pictures encode large, smooth ones small.
  std::u16string WriteJpeg(const std::u16string& name, LONG width, LONG height, bool noisy = false, int quality = 90) {
    DibImage* image = CreateDibImage(width, height, 24);
    std::mt19937 random(7);
    for (LONG y = 0; y < height; ++y) {
      BYTE* row = DibRowFromTop(image, y);
      for (LONG x = 0; x < width * 3; ++x) {
        row[x] = noisy ? static_cast<BYTE>(random()) : static_cast<BYTE>((x / 3 + y) & 0xFF);
      }
    }
    const std::u16string path = kPictures + name;
    EXPECT_TRUE(EncodeImage(image, path.c_str(), media_type::kJpeg, quality, nullptr, 0));
    FreeDibImage(image);
    return path;
  }

  // Whether the current slide shows a picture afterwards.
  bool Add(CComposerFrame* frame, const std::u16string& path) {
    frame->SendMessage(composer_message::kAddObject, media_type::kNone, reinterpret_cast<LPARAM>(path.c_str()));
    return frame->Editor()->CurrentSlide().image.has_value();
  }

  std::u16string PartPath(CComposerFrame* frame, const MediaPart* part) {
    return std::u16string(frame->Editor()->Model().partFolder.View()) + std::u16string(part->fileName.View());
  }

  // The size of the picture as it decodes.
  SIZE DecodedSize(const std::u16string& path) {
    SIZE size{10000, 10000};
    DibImage* image = DecodeImage(path.c_str(), &size, media_type::kNone, 0xFFFFFFFF);
    if (image == nullptr) return SIZE{0, 0};
    FreeDibImage(image);
    return size;
  }

  SIZE SlidePictureSize(CComposerFrame* frame) {
    const auto& image = frame->Editor()->CurrentSlide().image;
    return image && image->part != nullptr ? DecodedSize(PartPath(frame, image->part)) : SIZE{0, 0};
  }

  // The files in the part folder whose names start with the stem.
  int PartFiles(CComposerFrame* frame, const std::string& stem) {
    int count = 0;
    const std::filesystem::path folder = m_device.Host(frame->Editor()->Model().partFolder.View());
    if (!std::filesystem::exists(folder)) return 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().filename().string().rfind(stem, 0) == 0) ++count;
    }
    return count;
  }
};

TEST_F(MediaInsertionTest, EachDefaultResolutionScalesBothOrientationsIntoItsBox) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  const std::u16string landscape = WriteJpeg(u"wide.jpg", 1600, 1200);
  const std::u16string portrait = WriteJpeg(u"tall.jpg", 1200, 1600);
  const std::u16string fitsTurned = WriteJpeg(u"turned.jpg", 480, 640);
  struct Case {
    LONG resolution;
    std::u16string path;
    SIZE expected;
  };
  const Case cases[] = {
      {0, landscape, {160, 120}},  {0, portrait, {120, 160}},    {1, landscape, {320, 240}},
      {1, portrait, {240, 320}},   {2, landscape, {640, 480}},   {2, portrait, {480, 640}},
      {2, fitsTurned, {480, 640}}, {3, landscape, {1024, 768}},  {3, portrait, {768, 1024}},
      {4, landscape, {1280, 960}}, {4, portrait, {960, 1280}},   {5, landscape, {1600, 1200}},
      {5, portrait, {1200, 1600}}, {7, landscape, {1600, 1200}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "DefaultResolution " << c.resolution << " " << platform::Utf16ToUtf8(c.path));
    SetConfigValue(numeric_setting::kDefaultResolution, c.resolution, FALSE);
    // Another slide picture first, so that each case makes a new copy.
    frame->Editor()->RemoveObject(frame->Editor()->Current(), slide_slot::kPicture);
    ASSERT_TRUE(Add(frame, c.path));
    const SIZE size = SlidePictureSize(frame);
    EXPECT_EQ(size.cx, c.expected.cx);
    EXPECT_EQ(size.cy, c.expected.cy);
    const MediaPart* part = frame->Editor()->CurrentSlide().image->part;
    EXPECT_EQ(part->sourcePath, c.path.c_str());
    const bool unchanged = c.expected.cx == 1600 || c.expected.cy == 1600 || c.path == fitsTurned;
    EXPECT_EQ(ReadFileBytes(m_device.Host(PartPath(frame, part))) == ReadFileBytes(m_device.Host(c.path)), unchanged);
  }
}

TEST_F(MediaInsertionTest, APictureTheMessageHoldsIsNotCopiedAgain) {
  SetConfigValue(numeric_setting::kDefaultResolution, 2, FALSE);
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  const std::u16string photo = WriteJpeg(u"photo.jpg", 1024, 768);
  ASSERT_TRUE(Add(frame, photo));
  const MediaPart* first = frame->Editor()->CurrentSlide().image->part;
  // The same picture on the same slide changes nothing, however its name is written.
  ASSERT_TRUE(Add(frame, u"\\MY DOCUMENTS\\My Pictures\\PHOTO.JPG"));
  EXPECT_EQ(frame->Editor()->CurrentSlide().image->part, first);
  EXPECT_EQ(PartFiles(frame, "photo"), 1);

  // On another slide the part is used again, not copied.
  ASSERT_TRUE(frame->AddSlide());
  ASSERT_TRUE(Add(frame, photo));
  EXPECT_EQ(frame->Editor()->CurrentSlide().image->part, first);
  EXPECT_EQ(first->inSlide, 2);
  EXPECT_EQ(frame->Editor()->Model().parts.size(), 1u);
  EXPECT_EQ(PartFiles(frame, "photo"), 1);

  // Taken off one slide, the picture's file stays for the other.
  ASSERT_TRUE(frame->RemoveObject(frame->Editor()->Current(), slide_slot::kPicture));
  EXPECT_EQ(PartFiles(frame, "photo"), 1);
  EXPECT_EQ(first->inSlide, 1);
  frame->GoToSlide(0);
  ASSERT_TRUE(frame->RemoveObject(0, slide_slot::kPicture));
  EXPECT_EQ(PartFiles(frame, "photo"), 0);
}

TEST_F(MediaInsertionTest, APictureLargerThanTheRoomLeftIsShrunkOnlyWhenThePersonAgrees) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  const std::u16string huge = WriteJpeg(u"huge.jpg", 1200, 900, true, 95);
  ASSERT_GT(std::filesystem::file_size(m_device.Host(huge)), MaxSendSize());
  ASSERT_TRUE(Add(frame, std::u16string(kPictures) + u"dot.png"));
  const MediaPart* dot = frame->Editor()->CurrentSlide().image->part;

  platform::automation::QueueAnswer(IDCANCEL, u"Picture Too Large");
  EXPECT_TRUE(Add(frame, huge));
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_EQ(frame->Editor()->CurrentSlide().image->part, dot);
  EXPECT_EQ(PartFiles(frame, "huge"), 0);

  platform::automation::QueueAnswer(IDOK, u"Picture Too Large");
  ASSERT_TRUE(Add(frame, huge));
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  const MediaPart* shrunk = frame->Editor()->CurrentSlide().image->part;
  ASSERT_NE(shrunk, dot);
  EXPECT_LE(MessageSizeOf(frame->Editor()->Model()), MaxSendSize());
  const SIZE size = SlidePictureSize(frame);
  EXPECT_LT(size.cx, 1200);
  EXPECT_NEAR(size.cx * 3, size.cy * 4, 4);
  EXPECT_EQ(PartFiles(frame, "huge"), 1);
  EXPECT_EQ(PartFiles(frame, "dot"), 0);
}

TEST_F(MediaInsertionTest, AnUnreadablePictureIsRefusedWithNothingLeftBehind) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  const std::u16string photo = WriteJpeg(u"photo.jpg", 1024, 768);
  const std::string bytes = ReadFileBytes(m_device.Host(photo));
  WriteFileBytes(m_device.Host(std::u16string(kPictures) + u"cut.jpg"), bytes.substr(0, 200));
  // A PNG that calls itself a JPEG.
  WriteFileBytes(m_device.Host(std::u16string(kPictures) + u"liar.jpg"),
                 ReadFileBytes(m_device.Host(std::u16string(kPictures) + u"dot.png")));
  struct Case {
    LONG resolution;
    const char16_t* name;
  };
  for (const Case& c : {Case{2, u"cut.jpg"}, Case{5, u"cut.jpg"}, Case{2, u"liar.jpg"}, Case{5, u"liar.jpg"}}) {
    SCOPED_TRACE(platform::Utf16ToUtf8(c.name));
    SetConfigValue(numeric_setting::kDefaultResolution, c.resolution, FALSE);
    platform::automation::QueueAnswer(IDOK, u"cannot be read");
    EXPECT_FALSE(Add(frame, std::u16string(kPictures) + c.name));
    EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
    EXPECT_TRUE(frame->Editor()->Model().parts.empty());
    EXPECT_EQ(PartFiles(frame, ""), 0);
  }
}

TEST_F(MediaInsertionTest, AHandedOverTextContributesAtMostItsFirstBytes) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  std::filesystem::create_directories(m_device.Host(u"\\Temp"));
  std::string utf16 = "\xFF\xFE";
  for (int i = 0; utf16.size() < 20000; ++i) utf16 += std::string{static_cast<char>('a' + i % 26), '\0'};
  // A UTF-8 text cut inside its last character loses that character, not the whole text.
  std::string utf8 = std::string(9997, 'x') + "\xC3\xA9" + std::string(10001, 'y');
  struct Case {
    std::string bytes;
    std::size_t expectedLength;
  };
  const Case cases[] = {
      {utf16, (9998 - 2) / 2},
      {utf8, 9997},
      {"short and whole", 15},
      {"\xEF\xBB\xBF" "marked", 6},
  };
  for (const Case& c : cases) {
    frame->Editor()->SetSlideText(u"");
    WriteFileBytes(m_device.Host(u"\\Temp\\note.txt"), c.bytes);
    ULC_Global::GetGlobal()->importedFile = CString(u"\\Temp\\note.txt");
    EXPECT_EQ(frame->SendMessage(composer_message::kHandedOverFile, 0, 0), 1);
    EXPECT_TRUE(ULC_Global::GetGlobal()->importedFile.IsEmpty());
    const CString text = frame->Editor()->SlideText();
    EXPECT_EQ(static_cast<std::size_t>(text.GetLength()), c.expectedLength);
    if (c.expectedLength > 0) EXPECT_NE(text.View().front(), u'\xFEFF');
  }
  EXPECT_EQ(frame->Editor()->SlideText().View(), u"marked");
  EXPECT_TRUE(frame->HasChanges());

  // Bytes that are no text go with the message as a file.
  WriteFileBytes(m_device.Host(u"\\Temp\\blob.txt"), std::string("\x80\x81\xFE\x00\x01", 5));
  ULC_Global::GetGlobal()->importedFile = CString(u"\\Temp\\blob.txt");
  frame->SendMessage(composer_message::kHandedOverFile, 0, 0);
  ASSERT_EQ(frame->Editor()->Model().parts.size(), 2u);
  EXPECT_EQ(frame->Editor()->Model().parts.back().type, media_type::kGenericText);
}

TEST_F(MediaInsertionTest, AContactCardIsWrittenFromTheStoreAndAttached) {
  platform::pim::Contact ann;
  ann.givenName = "Ann";
  ann.familyName = "Lee";
  ann.fileAs = "Lee, Ann";
  ann.mobile = "+4412345";
  ann.email[0] = "ann@example.org";
  ASSERT_TRUE(platform::pim::PimStore::ForCurrentDevice()->Add(ann).has_value());
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  for (int round = 0; round < 2; ++round) {
    platform::automation::QueueAnswer(1);
    EXPECT_EQ(frame->SendMessage(composer_message::kInsertPersonalData, 2, 0), 1);
  }
  const MessageModel& model = frame->Editor()->Model();
  ASSERT_EQ(model.parts.size(), 2u);
  EXPECT_EQ(model.parts.front().fileName, u"vCard.vcf");
  EXPECT_EQ(model.parts.back().fileName, u"vCard_1.vcf");
  EXPECT_EQ(model.attachmentCount, 2);
  EXPECT_EQ(model.parts.front().type, media_type::Make(media_type::kPersonalData, 1));
  const platform::pim::VcardRead read =
      platform::pim::ReadVcards(ReadFileBytes(m_device.Host(PartPath(frame, &model.parts.front()))));
  ASSERT_TRUE(read.ok()) << read.error;
  ASSERT_EQ(read.contacts.size(), 1u);
  EXPECT_EQ(read.contacts[0].givenName, "Ann");
  EXPECT_EQ(read.contacts[0].familyName, "Lee");
  EXPECT_EQ(read.contacts[0].mobile, "+4412345");
  EXPECT_EQ(read.contacts[0].email[0], "ann@example.org");

  // Nothing chosen adds nothing.
  platform::automation::QueueAnswer(0);
  EXPECT_EQ(frame->SendMessage(composer_message::kInsertPersonalData, 2, 0), 0);
  EXPECT_EQ(model.parts.size(), 2u);
}

// The chooser lists the appointments and then the tasks; each one picked is exported from its own
// store into a free "vCalendar.vcs" of the message and goes with it as an attachment.
TEST_F(MediaInsertionTest, AnAppointmentOrATaskIsWrittenAsAVcalendarAndAttached) {
  platform::pim::Appointment dentist;
  dentist.subject = "Dentist";
  dentist.location = "High Street 4";
  dentist.start = 1796644800;  // 2026-12-07 12:00 UTC
  dentist.end = dentist.start + 1800;
  platform::pim::Task milk;
  milk.subject = "Buy milk";
  milk.due = 1796688000;  // 2026-12-08
  milk.priority = 1;
  platform::pim::PimStore* store = platform::pim::PimStore::ForCurrentDevice();
  // A task added before the appointment is still listed after it.
  ASSERT_TRUE(store->Add(milk).has_value());
  ASSERT_TRUE(store->Add(dentist).has_value());
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  frame->Editor()->SetChanged(false);
  platform::automation::QueueAnswer(1, u"1. Dentist - 2026-12-07 12:00\n2. Buy milk - task, due 2026-12-08\n");
  EXPECT_EQ(frame->SendMessage(composer_message::kInsertPersonalData, 3, 0), 1);
  platform::automation::QueueAnswer(2);
  EXPECT_EQ(frame->SendMessage(composer_message::kInsertPersonalData, 3, 0), 1);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_FALSE(frame->IsBusy());
  EXPECT_TRUE(frame->Editor()->IsChanged());

  const MessageModel& model = frame->Editor()->Model();
  ASSERT_EQ(model.parts.size(), 2u);
  EXPECT_EQ(model.attachmentCount, 2);
  EXPECT_EQ(model.parts.front().fileName, u"vCalendar.vcs");
  EXPECT_EQ(model.parts.back().fileName, u"vCalendar_1.vcs");
  for (const MediaPart& part : model.parts) EXPECT_EQ(part.type, 0x50002u);
  EXPECT_FALSE(frame->Editor()->CurrentSlide().text.has_value()) << "an attachment, not a slide object";

  const platform::pim::VcalendarRead event =
      platform::pim::ReadVcalendar(ReadFileBytes(m_device.Host(PartPath(frame, &model.parts.front()))));
  ASSERT_TRUE(event.ok()) << event.error;
  ASSERT_EQ(event.appointments.size(), 1u);
  EXPECT_TRUE(event.tasks.empty());
  EXPECT_EQ(event.appointments[0].subject, "Dentist");
  EXPECT_EQ(event.appointments[0].location, "High Street 4");
  EXPECT_EQ(event.appointments[0].start, 1796644800);
  const platform::pim::VcalendarRead todo =
      platform::pim::ReadVcalendar(ReadFileBytes(m_device.Host(PartPath(frame, &model.parts.back()))));
  ASSERT_TRUE(todo.ok()) << todo.error;
  ASSERT_EQ(todo.tasks.size(), 1u);
  EXPECT_TRUE(todo.appointments.empty());
  EXPECT_EQ(todo.tasks[0].subject, "Buy milk");
  EXPECT_EQ(todo.tasks[0].due, 1796688000);

  // Nothing chosen, or a row that is not there, adds nothing and leaves no file.
  for (int answer : {0, 3}) {
    platform::automation::QueueAnswer(answer);
    EXPECT_EQ(frame->SendMessage(composer_message::kInsertPersonalData, 3, 0), 0);
  }
  EXPECT_EQ(model.parts.size(), 2u);
  EXPECT_EQ(PartFiles(frame, "vCalendar"), 2);
  // Neither a vCard nor a vCalendar: no chooser opens.
  const std::size_t asked = platform::automation::PromptLog().size();
  EXPECT_EQ(frame->SendMessage(composer_message::kInsertPersonalData, 4, 0), 0);
  EXPECT_EQ(platform::automation::PromptLog().size(), asked);
}

TEST_F(MediaInsertionTest, ACalendarEntryTheChecksRefuseOrThatCannotBeWrittenLeavesNoFile) {
  platform::pim::Appointment party;
  party.subject = "Party";
  party.start = 1798070400;  // 2026-12-24
  party.allDay = true;
  ASSERT_TRUE(platform::pim::PimStore::ForCurrentDevice()->Add(party).has_value());
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);

  // Restricted creation with room for less than the file: refused, and the file is gone again.
  SetConfigValue(numeric_setting::kDefaultCreationMode, 0, FALSE);
  SetConfigValue(numeric_setting::kMMContentClassVideoRichSizeLimit, 16, FALSE);
  platform::automation::QueueAnswer(1, u"1. Party - 2026-12-24\n");
  platform::automation::QueueAnswer(IDOK);
  EXPECT_EQ(frame->SendMessage(composer_message::kInsertPersonalData, 3, 0), 0);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_TRUE(frame->Editor()->Model().parts.empty());
  EXPECT_EQ(PartFiles(frame, "vCalendar"), 0);

  // A part folder that has gone: the export fails, the person is told, nothing is added.
  SetConfigValue(numeric_setting::kDefaultCreationMode, 2, FALSE);
  std::filesystem::remove_all(m_device.Host(frame->Editor()->Model().partFolder.View()));
  platform::automation::QueueAnswer(1);
  platform::automation::QueueAnswer(IDOK, u"could not be copied");
  EXPECT_EQ(frame->SendMessage(composer_message::kInsertPersonalData, 3, 0), 0);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_TRUE(frame->Editor()->Model().parts.empty());
  EXPECT_FALSE(frame->IsBusy());
}

}  // namespace
