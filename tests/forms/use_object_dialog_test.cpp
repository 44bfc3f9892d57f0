// The use dialogs of the save-objects window, each choice carried out and read back from the
// device's own stores: the wallpaper files, the contact store's photo and ring tone, the video
// player, and an SVG picture played through the SVG player. Cancel changes nothing anywhere.
#include "forms/use_object_dialog.h"

#include <functional>

#include "engines/media_engine_adapter.h"
#include "forms/object_viewer_dialog.h"
#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "platform/pim/pim_items.h"
#include "platform/pim/pim_store.h"
#include "save_fixture.h"

namespace save_test {
namespace {

using platform::pim::Contact;
using platform::pim::PimStore;

constexpr MediaType kAmr = 0x20003;
constexpr MediaType k3gp = 0x40005;
constexpr MediaType kSvg = 0x10006;

class UseObjectDialogTest : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    Contact ann;
    ann.givenName = "Ann";
    ann.familyName = "Lee";
    m_ann = *PimStore::ForCurrentDevice()->Add(ann);
  }
  void TearDown() override {
    ULC_Global::GetGlobal()->UnloadEngineModule();
    SaveTest::TearDown();
  }
  std::u16string PutCorpus(std::u16string_view name, const std::string& corpus) {
    return Put(name, test_support::ReadFileBytes(test_support::CorpusPath(corpus)));
  }
  // Opens the dialog for the file; `answer` runs once it waits for the person.
  bool Use(const std::u16string& path, MediaType type, const std::function<void(HWND)>& answer) {
    CUseObjectDialog dialog(UseDialogFor(type), CString(path), type);
    bool answered = false;
    platform::automation::OnWindowAppears(u"Dialog", {}, [&](HWND window) {
      answered = true;
      answer(window);
    });
    const bool used = dialog.Run(m_owner);
    EXPECT_TRUE(answered);
    return used;
  }
  static std::u16string Title(HWND window) {
    WCHAR title[64] = {};
    GetWindowTextW(window, title, 64);
    return title;
  }
  static bool Enabled(HWND window, int id) { return IsWindowEnabled(GetDlgItem(window, id)) != FALSE; }
  static bool Checked(HWND window, int id) { return IsDlgButtonChecked(window, id) == BST_CHECKED; }
  // Picks the choice and presses OK.
  static std::function<void(HWND)> Choose(int choice) {
    return [choice](HWND window) {
      CheckRadioButton(window, use_object::kFirstChoice, use_object::kSecondChoice, choice);
      PostMessageW(window, WM_COMMAND, IDOK, 0);
    };
  }
  Contact Ann() { return *PimStore::ForCurrentDevice()->FindContact(m_ann); }
  std::set<std::string> Wallpapers() { return FilesIn(u"\\windows"); }

  LONG m_ann = 0;
};

TEST_F(UseObjectDialogTest, EachKindOpensItsOwnDialogWithTheChoicesItCanCarry) {
  struct Case {
    const char* what;
    MediaType type;
    DWORD dialog;
    std::u16string title;
    bool firstEnabled, secondEnabled;
    int checked;
  };
  const Case cases[] = {
      {"picture", media_type::kJpeg, 212, u"Use Picture", true, true, use_object::kFirstChoice},
      // The device has no sound settings of its own to take a ring tone.
      {"sound", kAmr, 213, u"Use Sound", false, true, use_object::kSecondChoice},
      {"video", k3gp, 220, u"Use Video", true, true, use_object::kFirstChoice},
      // An SVG picture is played like a video, and has no sound to ring with.
      {"svg picture", kSvg, 220, u"Use Video", true, false, use_object::kFirstChoice},
      {"contact card", 0x50001, 338, u"Use Object", false, false, 0},
      {"text", media_type::kPlainText, 338, u"Use Object", false, false, 0},
  };
  const std::u16string path = Put(u"object.bin", "bytes");
  for (const Case& each : cases) {
    EXPECT_EQ(UseDialogFor(each.type), each.dialog) << each.what;
    EXPECT_FALSE(Use(path, each.type, [&](HWND window) {
      EXPECT_EQ(Title(window), each.title) << each.what;
      if (each.dialog == use_object::kOtherDialog) {
        EXPECT_EQ(GetDlgItem(window, use_object::kSecondChoice), nullptr) << each.what;  // it only informs
      } else {
        EXPECT_EQ(Enabled(window, use_object::kFirstChoice), each.firstEnabled) << each.what;
        EXPECT_EQ(Enabled(window, use_object::kSecondChoice), each.secondEnabled) << each.what;
      }
      if (each.checked != 0) EXPECT_TRUE(Checked(window, each.checked)) << each.what;
      PostMessageW(window, WM_COMMAND, each.dialog == use_object::kOtherDialog ? IDOK : IDCANCEL, 0);
    })) << each.what;
  }
  EXPECT_TRUE(PromptTexts().empty());
}

TEST_F(UseObjectDialogTest, APictureBecomesTheWallpaperForBothOrientations) {
  const std::u16string picture = PutCorpus(u"photo.jpg", "jpeg/kodak-dc210.jpg");
  ASSERT_TRUE(Use(picture, media_type::kJpeg, Choose(use_object::kFirstChoice)));
  const std::set<std::string> files = Wallpapers();
  const auto has = [&](const std::string& stem) {
    return std::any_of(files.begin(), files.end(), [&](const std::string& name) { return name.rfind(stem, 0) == 0; });
  };
  EXPECT_TRUE(has("tdywater_240_320.")) << ::testing::PrintToString(files);
  EXPECT_TRUE(has("tdywater_320_240.")) << ::testing::PrintToString(files);
  EXPECT_TRUE(Ann().photo.empty());
}

TEST_F(UseObjectDialogTest, APictureBecomesTheChosenContactsPhoto) {
  const std::u16string picture = PutCorpus(u"photo.jpg", "jpeg/kodak-dc210.jpg");
  const std::set<std::string> wallpapers = Wallpapers();
  platform::automation::QueueAnswer(1);
  platform::automation::QueueAnswer(IDOK, u"assigned");
  ASSERT_TRUE(Use(picture, media_type::kJpeg, Choose(use_object::kSecondChoice)));
  EXPECT_FALSE(Ann().photo.empty());
  EXPECT_EQ(Wallpapers(), wallpapers);
  EXPECT_EQ(PromptTexts().back(), u"The item was assigned to the contact.");
}

TEST_F(UseObjectDialogTest, ASoundOrAVideoBecomesTheChosenContactsRingTone) {
  const struct {
    const char* what;
    std::u16string name;
    std::string corpus;
    MediaType type;
  } cases[] = {
      {"sound", u"ring.amr", "media/amrnb-122-sweep.amr", kAmr},
      {"video", u"clip.3gp", "media/h263-qcif-amrnb.3gp", k3gp},
  };
  for (const auto& each : cases) {
    const std::u16string path = PutCorpus(each.name, each.corpus);
    platform::automation::QueueAnswer(1);
    platform::automation::QueueAnswer(IDOK, u"assigned");
    ASSERT_TRUE(Use(path, each.type, Choose(use_object::kSecondChoice))) << each.what;
    const std::string ringTone = Ann().ringTone;
    ASSERT_FALSE(ringTone.empty()) << each.what;
    // The store keeps a copy of its own with the file's content.
    EXPECT_EQ(test_support::ReadFileBytes(m_device.Host(std::u16string(ringTone.begin(), ringTone.end()))), Read(path))
        << each.what;
  }
}

TEST_F(UseObjectDialogTest, AVideoPlaysInThePlayerDialog) {
  const std::u16string video = PutCorpus(u"clip.3gp", "media/h263-qcif-amrnb.3gp");
  bool played = false;
  ASSERT_TRUE(Use(video, k3gp, [&](HWND window) {
    Choose(use_object::kFirstChoice)(window);
    platform::automation::OnWindowAppears(u"Dialog", {}, [&](HWND player) {
      played = Video_GetState(ULC_Global::GetGlobal()->InitVideoInstance()) == engine_state::kPlaying;
      PostMessageW(player, WM_COMMAND, 1, 0);
    });
  }));
  EXPECT_TRUE(played);
  EXPECT_TRUE(Ann().ringTone.empty());
}

TEST_F(UseObjectDialogTest, AnSvgPicturePlaysThroughTheSvgPlayer) {
  const std::u16string svg = PutCorpus(u"shapes.svg", "media/shapes.svg");
  int drawn = -1;
  ASSERT_TRUE(Use(svg, kSvg, [&](HWND window) {
    Choose(use_object::kFirstChoice)(window);
    platform::automation::OnWindowAppears(u"Dialog", {}, [&](HWND viewer) {
      // The picture's colours are shown; a viewer that fell back to showing the file as text
      // would draw only black and grey.
      HDC screen = GetDC(nullptr);
      drawn = 0;
      for (int y = 30; y < 300; y += 4) {
        for (int x = 0; x < 240; x += 4) {
          const COLORREF pixel = GetPixel(screen, x, y);
          drawn += GetRValue(pixel) != GetGValue(pixel) || GetGValue(pixel) != GetBValue(pixel);
        }
      }
      ReleaseDC(nullptr, screen);
      PostMessageW(viewer, WM_COMMAND, 1, 0);
    });
  }));
  EXPECT_GT(drawn, 100);
  EXPECT_TRUE(Ann().ringTone.empty());
}

// The viewer that dialog 220 opens for an SVG picture plays it through its own SVG player rather
// than showing a decoded still.
TEST_F(UseObjectDialogTest, TheViewerPlaysAnSvgPictureThroughItsPlayer) {
  SaveableObject object;
  object.path = CString(PutCorpus(u"shapes.svg", "media/shapes.svg"));
  object.name = CString(u"shapes.svg");
  object.type = kSvg;
  object.present = true;
  CObjectViewerDialog viewer(object);
  bool checked = false;
  platform::automation::OnWindowAppears(u"Dialog", {}, [&](HWND window) {
    checked = true;
    EXPECT_TRUE(viewer.Svg().isOpen());
    EXPECT_TRUE(viewer.Svg().playing());
    EXPECT_GE(viewer.Svg().framesDelivered(), 1);
    ASSERT_NE(viewer.Picture(), nullptr);
    EXPECT_TRUE(viewer.Picture()->playing());
    PostMessageW(window, WM_COMMAND, 1, 0);
  });
  EXPECT_TRUE(viewer.Run(m_owner));
  EXPECT_TRUE(checked);
}

TEST_F(UseObjectDialogTest, CancelChangesNothing) {
  const std::u16string picture = PutCorpus(u"photo.jpg", "jpeg/kodak-dc210.jpg");
  const std::u16string sound = PutCorpus(u"ring.amr", "media/amrnb-122-sweep.amr");
  const std::u16string video = PutCorpus(u"clip.3gp", "media/h263-qcif-amrnb.3gp");
  const std::u16string svg = PutCorpus(u"shapes.svg", "media/shapes.svg");
  const std::set<std::string> before = AllFiles();
  const struct {
    std::u16string path;
    MediaType type;
    int choice;
  } cases[] = {
      {picture, media_type::kJpeg, use_object::kFirstChoice}, {picture, media_type::kJpeg, use_object::kSecondChoice},
      {sound, kAmr, use_object::kSecondChoice},               {video, k3gp, use_object::kFirstChoice},
      {video, k3gp, use_object::kSecondChoice},               {svg, kSvg, use_object::kFirstChoice},
  };
  for (const auto& each : cases) {
    EXPECT_FALSE(Use(each.path, each.type, [&](HWND window) {
      CheckRadioButton(window, use_object::kFirstChoice, use_object::kSecondChoice, each.choice);
      PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }));
  }
  EXPECT_EQ(AllFiles(), before);
  EXPECT_TRUE(Ann().photo.empty());
  EXPECT_TRUE(Ann().ringTone.empty());
  EXPECT_TRUE(platform::automation::PromptLog().empty());
}

}  // namespace
}  // namespace save_test
