// Forwarding a message on a CDMA device: what its content needs (nothing, a Flix message or an MMS
// message), and the forward that its message kind cannot carry, which closes the form unwritten.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "compose_host_fixture.h"
#include "forms/cdma_content.h"
#include "forms/message_import.h"
#include "forms/store_properties.h"
#include "model/message_saving.h"
#include "platform/kernel/file_api.h"
#include "platform/text/text_conversion.h"
#include "presentation/slide_builder.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace {

using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

// One slide as letters: P picture, V video, S sound, T text.
using SlideLetters = std::vector<std::string>;

constexpr int kLimit = 2;

// A model of those slides over parts that need no files; `attachments` parts no slide uses.
MessageModel ModelOf(const SlideLetters& slides, int attachments = 0) {
  MessageModel model;
  for (const std::string& letters : slides) {
    Slide slide = NewSlide();
    for (char letter : letters) {
      const MediaType type = letter == 'P'   ? media_type::Make(media_type::kImage, 1)
                             : letter == 'V' ? media_type::Make(media_type::kVideo, 1)
                             : letter == 'S' ? media_type::Make(media_type::kAudio, 1)
                                             : media_type::Make(media_type::kText, 1);
      MediaPart* part = &*AddPartOfType(model, u"part", type);
      std::optional<MediaRef>& slot = letter == 'P'   ? slide.image
                                      : letter == 'V' ? slide.video
                                      : letter == 'S' ? slide.audio
                                                      : slide.text;
      SetReference(slot, MediaRef{letter == 'T' ? RegionKind::kText : RegionKind::kImage, 0, 0, part, nullptr});
    }
    model.slides.push_back(slide);
  }
  for (int i = 0; i < attachments; ++i) AddPartOfType(model, u"card.vcf", media_type::Make(media_type::kText, 1));
  return model;
}

TEST(CdmaContentClass, SortsMessagesByWhatTheyCarry) {
  const struct Case {
    const char* name;
    SlideLetters slides;
    int attachments;
    int expected;
  } cases[] = {
      {"no slide", {}, 0, cdma_content::kEmpty},
      {"empty slides", {"", ""}, 0, cdma_content::kEmpty},
      {"more empty slides than the limit", {"", "", ""}, 0, cdma_content::kEmpty},
      {"a picture and a text", {"PT"}, 0, cdma_content::kFitsFlix},
      {"a video and a text on each of two", {"VT", "V"}, 0, cdma_content::kFitsFlix},
      {"a text alone", {"T"}, 0, cdma_content::kFitsFlix},
      {"a sound", {"P", "S"}, 0, cdma_content::kNeedsMms},
      {"a picture and a video together", {"PV"}, 0, cdma_content::kNeedsMms},
      {"one slide past the limit", {"P", "P", "P"}, 0, cdma_content::kNeedsMms},
      {"an attachment beside a picture", {"P"}, 1, cdma_content::kNeedsMms},
      {"an attachment alone", {}, 1, cdma_content::kNeedsMms},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CdmaContentClass(ModelOf(c.slides, c.attachments), kLimit), c.expected) << c.name;
  }
}

TEST(CdmaContentClass, AVideoLeavesTheSoundOfItsSlideUnused) {
  // The slide's sound reference is not played beside a video: the video is what the slide shows.
  EXPECT_EQ(CdmaContentClass(ModelOf({"VS"}), kLimit), cdma_content::kFitsFlix);
}

using composer_test::CountingHost;

class CdmaForwardTest : public composer_test::ComposeHostTest {
 protected:
  void SetUp() override {
    ComposeHostTest::SetUp();
    SetConfigValue(numeric_setting::kIsSupportCDMA, 1, FALSE);
    SetConfigValue(numeric_setting::kFlixSlideCountLimit, kLimit, FALSE);
  }
  void TearDown() override {
    if (m_form != nullptr) {
      m_form->Close();
      m_form->Release();
    }
    ComposeHostTest::TearDown();
    // A slide's video made the shared video engine; it goes with the engine library.
    ULC_Global::GetGlobal()->UnloadEngineModule();
  }

  // A received message of those slides, saved as an MMS file from real part files and stored.
  void Receive(const SlideLetters& slides, bool attachment) {
    const std::u16string folder = u"\\source\\";
    std::filesystem::create_directories(m_device.Host(folder));
    MessageModel model;
    SetDefaultRegions(model.layout);
    int n = 0;
    auto add = [&](const std::string& name, const std::string& bytes) {
      WriteFileBytes(m_device.Host(folder + platform::Utf8ToUtf16(name)), bytes);
      const std::u16string wide = platform::Utf8ToUtf16(name);
      return &*AddPartOfType(model, wide, TypeOfFile(folder + wide, true));
    };
    for (const std::string& letters : slides) {
      Slide slide = NewSlide();
      const std::string tag = std::to_string(++n);
      for (char letter : letters) {
        if (letter == 'P') {
          SetReference(slide.image,
                       {RegionKind::kImage, 0, 0,
                        add("p" + tag + ".png", ReadFileBytes(test_support::CorpusPath("png/basn2c16.png"))), nullptr});
        } else if (letter == 'V') {
          SetReference(
              slide.video,
              {RegionKind::kImage, 0, 0,
               add("v" + tag + ".3gp", ReadFileBytes(test_support::CorpusPath("media/h263-qcif-amrnb.3gp"))), nullptr});
        } else if (letter == 'S') {
          SetReference(
              slide.audio,
              {RegionKind::kImage, 0, 0,
               add("s" + tag + ".amr", ReadFileBytes(test_support::CorpusPath("media/amrnb-122-sweep.amr"))), nullptr});
        } else {
          // UTF-16LE with its mark, as the model keeps slide texts.
          SetReference(slide.text,
                       {RegionKind::kText, 0, 0, add("t" + tag + ".txt", std::string("\xFF\xFEh\0i\0", 6)), nullptr});
        }
      }
      model.slides.push_back(slide);
    }
    if (attachment) add("card.vcf", "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe;John\r\nEND:VCARD\r\n");
    EXPECT_TRUE(SaveMessage(model, folder, u"\\source.mms"));
    ImportResult imported = ImportMessageFile(ReadFileBytes(m_device.Host(u"\\source.mms")), PR_INBOX_FOLDER_ENTRYID);
    EXPECT_TRUE(imported.ok) << imported.error;
    m_source = std::make_unique<StoreMessage>(std::make_shared<const EntryId>(imported.entryId));
  }

  // Forwards `source` in a form of that message class, as the host opens it.
  CComposeForm* Forward(const SlideLetters& slides, LPCWSTR messageClass, bool attachment = false) {
    Receive(slides, attachment);
    m_message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
    IMMSForm* form = nullptr;
    EXPECT_EQ(OpenComposeForm(&m_host, m_message.Get(), 4, m_source->Get(), nullptr, m_parent, 0, &form, messageClass),
              S_OK);
    platform::automation::PumpUntilIdle();
    m_form = static_cast<CComposeForm*>(form);
    return m_form;
  }

  // Closes the form as its host does; the host's window, which closing closes, is made anew and the
  // prompts are forgotten, for the next case.
  void CloseAndRenew() {
    if (m_form != nullptr) {
      m_form->Close();
      m_form->Release();
      m_form = nullptr;
    }
    platform::automation::PumpUntilIdle();
    platform::automation::Reset();
    HostClosed() = 0;
    if (!IsWindow(m_parent)) {
      m_parent = CreateWindowExW(0, u"ComposeParent", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
  }

  int MismatchShown() const {
    const std::u16string text = transport::LoadResourceString(40630).GetString();
    int shown = 0;
    for (const std::u16string& prompt : Prompts()) shown += prompt == text ? 1 : 0;
    return shown;
  }

  CountingHost m_host;
  std::unique_ptr<StoreMessage> m_source;
  ComPtr<IMessage> m_message;
  CComposeForm* m_form = nullptr;
};

constexpr LPCWSTR kFlix = u"IPM.MMS.Flix";
constexpr LPCWSTR kMms = u"IPM.MMS";

TEST_F(CdmaForwardTest, AFlixForwardOfWhatAFlixMessageCarriesOpens) {
  for (const SlideLetters& slides : {SlideLetters{"PT"}, SlideLetters{"VT", "P"}}) {
    SCOPED_TRACE(slides.size());
    CComposeForm* form = Forward(slides, kFlix);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(MismatchShown(), 0);
    EXPECT_FALSE(form->Frame()->LoadRefused());
    EXPECT_EQ(form->Frame()->CdmaType(), 1);
    EXPECT_EQ(form->Frame()->ClassSelector(), nullptr) << "a forward keeps the kind it was opened as";
    ASSERT_NE(form->Frame()->Editor(), nullptr);
    EXPECT_EQ(form->Frame()->Editor()->Count(), static_cast<int>(slides.size()));
    EXPECT_TRUE(IsWindowVisible(form->Frame()->GetHandle()));
    EXPECT_EQ(HostClosed(), 0);
    CloseAndRenew();
  }
}

TEST_F(CdmaForwardTest, AFlixForwardOfWhatNeedsAnMmsMessageIsRefusedAndClosesUnwritten) {
  const struct Case {
    const char* name;
    SlideLetters slides;
    bool attachment;
  } cases[] = {
      {"a sound", {"PT", "S"}, false},
      {"more slides than the limit", {"P", "P", "P"}, false},
      {"an attachment", {"PT"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CComposeForm* form = Forward(c.slides, kFlix, c.attachment);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(MismatchShown(), 1);
    CComposerFrame* frame = form->Frame();
    EXPECT_TRUE(frame->LoadRefused());
    EXPECT_FALSE(IsWindowVisible(frame->GetHandle())) << "the refused message is never shown";
    EXPECT_EQ(frame->Editor(), nullptr);
    EXPECT_EQ(HostClosed(), 1) << "the host is told to close the form";
    const std::string dataBefore = ReadFileBytes(m_device.Host(form->Binding()->DataFile().View()));
    const CString subjectBefore = form->Binding()->Message().Subject();
    // The host closes the form as it does for an opening that cannot go on.
    form->Close();
    EXPECT_EQ(FindWindowW(kComposerFrameClass, kComposerFrameTitle), nullptr) << "no frame is left behind";
    ASSERT_EQ(m_host.closes.size(), 1u);
    EXPECT_EQ(m_host.closes.back(), 4u);
    MessageBinding after;
    ASSERT_TRUE(LoadBinding(after, m_message.Get(), nullptr, 5));
    EXPECT_EQ(ReadFileBytes(m_device.Host(after.DataFile().View())), dataBefore) << "nothing is saved over it";
    EXPECT_EQ(after.Message().Subject(), subjectBefore);
    EXPECT_EQ(after.Message().MessageClassText(), kMms) << "the class the opening prepared stays";
    CloseAndRenew();
    m_host.closes.clear();
  }
}

TEST_F(CdmaForwardTest, AnMmsForwardNeverFailsForItsContent) {
  // A plain MMS forward of one picture fits a Flix message too; an MMS message takes it all the
  // same.
  for (const SlideLetters& slides : {SlideLetters{"P"}, SlideLetters{"PT", "S", "P"}}) {
    SCOPED_TRACE(slides.size());
    CComposeForm* form = Forward(slides, kMms);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(MismatchShown(), 0);
    EXPECT_FALSE(form->Frame()->LoadRefused());
    EXPECT_EQ(form->Frame()->CdmaType(), 2);
    EXPECT_TRUE(IsWindowVisible(form->Frame()->GetHandle()));
    CloseAndRenew();
  }
}

TEST_F(CdmaForwardTest, WithoutCdmaAFlixClassedForwardIsNotChecked) {
  SetConfigValue(numeric_setting::kIsSupportCDMA, 0, FALSE);
  CComposeForm* form = Forward({"PT", "S"}, kFlix);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(MismatchShown(), 0);
  EXPECT_FALSE(form->Frame()->LoadRefused());
  EXPECT_NE(form->Frame()->Editor(), nullptr);
}

}  // namespace
