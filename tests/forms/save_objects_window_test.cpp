// The save-objects window run modally as the read view opens it: what its list shows, sorting,
// saving through it into the folders of the kinds, a contact card handed to the platform, an
// object whose file is missing, and the sound preview that keeps the device awake.
#include "forms/save_objects_window.h"

#include <functional>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/name_conflict_dialog.h"
#include "forms/object_icons.h"
#include "mm1/mm1_library.h"
#include "model/drm_handling.h"
#include "platform/kernel/activity_log.h"
#include "platform/kernel/device.h"
#include "platform/kernel/file_api.h"
#include "presentation/message_loading.h"
#include "platform/controls/list_view_api.h"
#include "platform/controls/menu_api.h"
#include "platform/controls/toolbar_api.h"
#include "platform/pim/pim_store.h"
#include "transport/resource_module.h"
#include "ui/progress_bar.h"
#include "save_fixture.h"

namespace save_test {
namespace {

class SaveObjectsWindowTest : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    m_model.partFolder = CString(kPartFolder);
  }
  void TearDown() override {
    ULC_Global::GetGlobal()->UnloadEngineModule();
    SaveTest::TearDown();
  }
  MediaPart& Add(std::u16string_view name, MediaType type, const std::string& bytes, bool present = true) {
    if (present) Put(name, bytes);
    return *AddPartOfType(m_model, name, type);
  }
  // Runs the window; `check` sees it once it waits for the person, then Done closes it.
  void Run(const std::function<void(CSaveObjectsWindow&)>& check) {
    CSaveObjectsWindow window(&m_model);
    window.SetIdleReset([this] { ++m_idleResets; });
    bool checked = false;
    platform::automation::OnWindowAppears(u"Dialog", u"Save Objects", [&](HWND dialog) {
      checked = true;
      check(window);
      PostMessageW(dialog, WM_COMMAND, 1, 0);
    });
    EXPECT_TRUE(window.Run(m_owner));
    EXPECT_TRUE(checked);
  }
  static void Command(CSaveObjectsWindow& window, WORD id) {
    SendMessageW(window.GetHandle(), WM_COMMAND, id, 0);
    platform::automation::PumpUntilIdle();
  }
  static std::vector<std::u16string> Names(const CSaveObjectsWindow& window) {
    std::vector<std::u16string> names;
    for (const SaveableObject& object : window.Objects()) names.emplace_back(object.name.View());
    return names;
  }
  // The icon each row shows, from the list itself.
  static std::vector<int> Icons(const CSaveObjectsWindow& window) {
    std::vector<int> icons;
    HWND list = GetDlgItem(window.GetHandle(), kObjectList);
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
      LVITEMW item{};
      item.mask = LVIF_IMAGE;
      item.iItem = row;
      SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
      icons.push_back(item.iImage);
    }
    return icons;
  }
  static int RowOf(const CSaveObjectsWindow& window, std::u16string_view name) {
    const std::vector<SaveableObject> objects = window.Objects();
    for (std::size_t row = 0; row < objects.size(); ++row) {
      if (objects[row].name.View() == name) return static_cast<int>(row);
    }
    return -1;
  }
  static bool Checked(const CSaveObjectsWindow& window, WORD id) {
    return (GetMenuState(window.Menu(), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
  }

  MessageModel m_model;
  int m_idleResets = 0;
};

TEST_F(SaveObjectsWindowTest, TheListShowsEachObjectWithItsKindSizeAndWhetherItIsProtectedOrMissing) {
  Add(u"photo.jpg", media_type::kJpeg, std::string(2048, 'j'));
  Add(u"tone.amr", 0x20003, "#!AMR\n");
  Add(u"locked.gif", 0x10002, kGif).forwardLock = true;
  Add(u"gone.txt", media_type::kPlainText, "", false);
  Run([&](CSaveObjectsWindow& window) {
    EXPECT_EQ(window.RowTexts(), (std::vector<CString>{CString(u"gone.txt  Text, missing"),
                                                       CString(u"locked.gif  Picture, 35 B, protected"),
                                                       CString(u"photo.jpg  Picture, 2 KB"),
                                                       CString(u"tone.amr  Sound, 6 B")}));
    EXPECT_EQ(Icons(window), (std::vector<int>{object_icon::kText, object_icon::kPicture, object_icon::kPicture,
                                               object_icon::kSound}));
    // With several objects none is chosen for the person, and nothing can be saved yet.
    EXPECT_EQ(window.Selection(), -1);
    EXPECT_FALSE(window.SaveEnabled());
    EXPECT_EQ(window.GetHandle() != nullptr, true);
  });
}

TEST_F(SaveObjectsWindowTest, ASingleObjectIsSelectedAndTheWindowTakesItsOwnersTitle) {
  Add(u"only.jpg", media_type::kJpeg, "x");
  Run([&](CSaveObjectsWindow& window) {
    EXPECT_EQ(window.Selection(), 0);
    EXPECT_TRUE(window.SaveEnabled());
    WCHAR title[32] = {};
    GetWindowTextW(window.GetHandle(), title, 32);
    EXPECT_EQ(std::u16string_view(title), u"Inbox");
  });
}

TEST_F(SaveObjectsWindowTest, ChoosingTheKeyInUseReversesTheOrderAndTheOtherKeySortsAscending) {
  Add(u"b.amr", 0x20003, "a");
  Add(u"c.jpg", media_type::kJpeg, "c");
  Add(u"A.txt", media_type::kPlainText, "t");
  Run([&](CSaveObjectsWindow& window) {
    EXPECT_EQ(window.SortKey(), save_objects::kSortByName);
    EXPECT_EQ(Names(window), (std::vector<std::u16string>{u"A.txt", u"b.amr", u"c.jpg"}));
    EXPECT_TRUE(Checked(window, save_objects::kSortByName));
    window.Select(1);
    Command(window, save_objects::kSortByName);
    EXPECT_TRUE(window.Descending());
    EXPECT_EQ(Names(window), (std::vector<std::u16string>{u"c.jpg", u"b.amr", u"A.txt"}));
    // The selection stays with its object.
    EXPECT_EQ(window.Objects()[static_cast<std::size_t>(window.Selection())].name, CString(u"b.amr"));
    Command(window, save_objects::kSortByType);
    EXPECT_FALSE(window.Descending());
    EXPECT_TRUE(Checked(window, save_objects::kSortByType));
    EXPECT_FALSE(Checked(window, save_objects::kSortByName));
    EXPECT_EQ(Names(window), (std::vector<std::u16string>{u"c.jpg", u"b.amr", u"A.txt"}));
    Command(window, save_objects::kSortByType);
    EXPECT_EQ(Names(window), (std::vector<std::u16string>{u"A.txt", u"b.amr", u"c.jpg"}));
  });
  // The next window opens with the sort the last one used.
  Run([&](CSaveObjectsWindow& window) {
    EXPECT_EQ(window.SortKey(), save_objects::kSortByType);
    EXPECT_TRUE(window.Descending());
    Command(window, save_objects::kSortByName);
  });
}

TEST_F(SaveObjectsWindowTest, SaveWritesEachKindIntoItsFolder) {
  Add(u"a.jpg", media_type::kJpeg, "pic");
  Add(u"b.amr", 0x20003, "snd");
  Add(u"c.3gp", 0x2000B, "vid");
  Run([&](CSaveObjectsWindow& window) {
    for (int row = 0; row < 3; ++row) {
      window.Select(row);
      Command(window, save_objects::kSave);
    }
  });
  EXPECT_EQ(Read(u"\\My Documents\\My Pictures\\a.jpg"), "pic");
  EXPECT_EQ(Read(u"\\My Documents\\My Sounds\\b.amr"), "snd");
  EXPECT_EQ(Read(u"\\My Documents\\My Videos\\c.3gp"), "vid");
  EXPECT_EQ(PromptTexts().size(), 3u);
}

TEST_F(SaveObjectsWindowTest, AReadOnlyFolderIsNamedKeepsWhatItHoldsAndTheOtherObjectsStillSave) {
  Add(u"a.jpg", media_type::kJpeg, "new pic");
  Add(u"b.amr", 0x20003, "snd");
  Add(u"c.jpg", media_type::kJpeg, "other pic");
  const std::filesystem::path pictures = m_device.Host(u"\\My Documents\\My Pictures");
  std::filesystem::create_directories(pictures);
  test_support::WriteFileBytes(pictures / "a.jpg", "old pic");
  ASSERT_TRUE(SetFileAttributesW(u"\\My Documents\\My Pictures", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
  // The person chooses to replace the picture of the same name; the folder still refuses.
  AnswerConflicts(name_conflict::kReplace);
  const std::set<std::string> before = AllFiles();
  std::vector<bool> saved;
  Run([&](CSaveObjectsWindow& window) {
    for (std::u16string_view name : {u"a.jpg", u"b.amr", u"c.jpg"}) {
      window.Select(RowOf(window, name));
      Command(window, save_objects::kSave);
      saved.push_back(window.LastSaveSucceeded());
    }
  });
  SetFileAttributesW(u"\\My Documents\\My Pictures", FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(saved, (std::vector<bool>{false, true, false}));
  const std::u16string refused = u"Nothing can be saved in \\My Documents\\My Pictures\\. The item was not saved.";
  EXPECT_EQ(PromptTexts(), (std::vector<std::u16string>{refused, u"b.amr was saved in \\My Documents\\My Sounds\\.", refused}));
  EXPECT_EQ(Read(u"\\My Documents\\My Pictures\\a.jpg"), "old pic");
  std::set<std::string> expected = before;
  expected.insert("My Documents/My Sounds/b.amr");
  EXPECT_EQ(AllFiles(), expected);
}

TEST_F(SaveObjectsWindowTest, AContactCardIsImportedThroughTheShellNotCopiedIntoAFolder) {
  Add(u"ann.vcf", 0x50001, "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Lee;Ann\r\nTEL;CELL:+15550100\r\nEND:VCARD\r\n");
  const std::size_t before = platform::pim::PimStore::ForCurrentDevice()->Ids(platform::pim::PimKind::kContact).size();
  Run([&](CSaveObjectsWindow& window) {
    ASSERT_TRUE(window.SaveEnabled());
    Command(window, save_objects::kSave);
  });
  EXPECT_EQ(platform::pim::PimStore::ForCurrentDevice()->Ids(platform::pim::PimKind::kContact).size(), before + 1);
  EXPECT_FALSE(Exists(u"\\My Documents\\ann.vcf"));
}

TEST_F(SaveObjectsWindowTest, AnObjectMissingFromThePartFolderOrNamedOutsideItSavesNothing) {
  Add(u"gone.jpg", media_type::kJpeg, "", false);
  // A part name that climbs out of the part folder is never read from.
  test_support::WriteFileBytes(m_device.Host(u"\\My Documents\\UAContents\\escape.jpg"), "outside");
  AddPartOfType(m_model, u"..\\escape.jpg", media_type::kJpeg);
  const std::set<std::string> before = AllFiles();
  Run([&](CSaveObjectsWindow& window) {
    ASSERT_EQ(window.Objects().size(), 2u);
    for (int row = 0; row < 2; ++row) {
      window.Select(row);
      Command(window, save_objects::kSave);
    }
  });
  EXPECT_EQ(PromptTexts(), (std::vector<std::u16string>{u"The file could not be copied.", u"The file could not be copied."}));
  EXPECT_EQ(AllFiles(), before);
}

TEST_F(SaveObjectsWindowTest, TheHostsTargetFolderTakesEveryObject) {
  Add(u"a.jpg", media_type::kJpeg, "pic");
  Add(u"b.txt", media_type::kPlainText, std::string("\xFF\xFE" "b\0", 4));
  std::filesystem::create_directories(m_device.Host(u"\\Out"));
  CSaveObjectsWindow window(&m_model);
  window.SetTargetFolder(CString(u"\\Out\\"));
  platform::automation::OnWindowAppears(u"Dialog", u"Save Objects", [&](HWND dialog) {
    for (int row = 0; row < 2; ++row) {
      window.Select(row);
      Command(window, save_objects::kSave);
    }
    PostMessageW(dialog, WM_COMMAND, 1, 0);
  });
  EXPECT_TRUE(window.Run(m_owner));
  EXPECT_EQ(FilesIn(u"\\Out"), (std::set<std::string>{"a.jpg", "b.txt"}));
  EXPECT_EQ(Read(u"\\Out\\b.txt"), "\xEF\xBB\xBF" "b");
}

TEST_F(SaveObjectsWindowTest, PreviewingASoundKeepsTheDeviceAwakeUntilItPausesOrEnds) {
  // Two seconds of sound.
  Put(u"tone.wav", test_support::ReadFileBytes(test_support::CorpusPath("media/pcm16-8k-mono.wav")));
  AddPartOfType(m_model, u"tone.wav", 0x20002);
  Run([&](CSaveObjectsWindow& window) {
    ASSERT_EQ(window.Selection(), 0);
    Command(window, save_objects::kPlay);
    ASSERT_EQ(window.PreviewState(), save_objects::kPreviewPlaying);
    EXPECT_TRUE(window.KeepAwakeRunning());
    platform::automation::AdvanceClock(400);
    Command(window, save_objects::kPause);
    EXPECT_EQ(window.PreviewState(), save_objects::kPreviewPaused);
    EXPECT_FALSE(window.KeepAwakeRunning());
    Command(window, save_objects::kPlay);
    EXPECT_TRUE(window.KeepAwakeRunning());
    platform::automation::AdvanceClock(2500);
    EXPECT_EQ(window.PreviewState(), save_objects::kPreviewStopped);
    EXPECT_FALSE(window.KeepAwakeRunning());
  });
  EXPECT_EQ(m_idleResets, 0);
}

TEST_F(SaveObjectsWindowTest, ThePreviewBarShowsHowFarTheSoundHasPlayed) {
  // Two seconds of sound, and a picture to move the selection to.
  Put(u"tone.wav", test_support::ReadFileBytes(test_support::CorpusPath("media/pcm16-8k-mono.wav")));
  AddPartOfType(m_model, u"tone.wav", 0x20002);
  Add(u"photo.jpg", media_type::kJpeg, "p");
  Run([&](CSaveObjectsWindow& window) {
    const ProgressBar* progress = window.Progress();
    ASSERT_NE(progress, nullptr);
    // The bar sits on the toolbar right of the stop button.
    RECT stop{}, bar{};
    ASSERT_TRUE(platform::controls::ToolbarButtonRect(window.Toolbar(), save_objects::kStop, &stop));
    GetWindowRect(progress->GetHandle(), &bar);
    MapWindowPoints(nullptr, window.Toolbar(), reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_GE(bar.left, stop.right);
    EXPECT_GT(bar.right - bar.left, 0);
    window.Select(RowOf(window, u"tone.wav"));
    Command(window, save_objects::kPlay);
    ASSERT_EQ(window.PreviewState(), save_objects::kPreviewPlaying);
    EXPECT_EQ(progress->Position(), 0);
    EXPECT_EQ(progress->Duration(), 2000);
    // The position follows the engine's reports on the clock, never past the length.
    int before = 0;
    for (int step = 0; step < 3; ++step) {
      platform::automation::AdvanceClock(400);
      EXPECT_GT(progress->Position(), before) << step;
      EXPECT_LE(progress->Position(), 400 * (step + 1)) << step;
      before = progress->Position();
    }
    // A pause holds it where it is.
    Command(window, save_objects::kPause);
    const int paused = progress->Position();
    platform::automation::AdvanceClock(1000);
    EXPECT_EQ(progress->Position(), paused);
    // Played out, the bar stands at the whole length.
    Command(window, save_objects::kPlay);
    platform::automation::AdvanceClock(2500);
    ASSERT_EQ(window.PreviewState(), save_objects::kPreviewStopped);
    EXPECT_EQ(progress->Position(), 2000);
    EXPECT_EQ(progress->Duration(), 2000);
    EXPECT_EQ(ProgressBar::FormatElapsed(progress->Position(), progress->Duration()), CString(u"00:02"));
    // Playing again starts from the beginning; a stop puts the bar back there.
    Command(window, save_objects::kPlay);
    EXPECT_EQ(progress->Position(), 0);
    platform::automation::AdvanceClock(600);
    EXPECT_GT(progress->Position(), 0);
    Command(window, save_objects::kStop);
    EXPECT_EQ(progress->Position(), 0);
    EXPECT_EQ(progress->Duration(), 2000);
    platform::automation::AdvanceClock(600);
    EXPECT_EQ(progress->Position(), 0);
    // Another object has no sound to measure.
    window.Select(RowOf(window, u"photo.jpg"));
    EXPECT_EQ(progress->Duration(), 0);
  });
}

// A received message whose one part is a forward-locked picture, loaded as the read form loads it.
void LoadLockedPicture(test_support::TestDevice& device, MessageModel& model) {
  CreateDirectoryW(u"\\src", nullptr);
  test_support::WriteFileBytes(device.Host(u"\\src\\locked"),
                               "--b\r\nContent-Type: image/gif\r\nContent-ID: <g@example>\r\n\r\nGIF89a-locked\r\n--b--\r\n");
  mm1::WriteHandle writer = mm1::CreateMessage();
  mm1::PartRecord record;
  record.contentType = "application/vnd.oma.drm.message";
  record.folder = device.Host(u"\\src");
  record.fileName = "locked";
  ASSERT_TRUE(writer->AddPart(record));
  ASSERT_TRUE(writer->Write(*platform::HostPath(u"\\drm.mms")));
  ASSERT_EQ(LoadMessage(model, u"\\drm.mms", kPartFolder, false), 1);
  model.partFolder = CString(kPartFolder);
}

TEST_F(SaveObjectsWindowTest, AProtectedObjectIsShownByTheWindowItselfAndSavedStillProtected) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kEnabledrmfl, 1, FALSE));
  LoadLockedPicture(m_device, m_model);
  ASSERT_TRUE(m_model.parts.front().forwardLock);
  const std::size_t activity = platform::ReadActivity().size();
  bool viewerShown = false;
  Run([&](CSaveObjectsWindow& window) {
    ASSERT_EQ(window.Selection(), 0);
    // The one protected object selected sets the protected rendering state for this window.
    EXPECT_EQ(ULC_Global::GetGlobal()->drmContext.window, window.GetHandle());
    platform::automation::OnWindowAppears(u"Dialog", u"View Message", [&](HWND viewer) {
      viewerShown = true;
      PostMessageW(viewer, WM_COMMAND, 1, 0);
    });
    Command(window, save_objects::kOpen);
    Command(window, save_objects::kSave);
  });
  EXPECT_TRUE(viewerShown);
  // Nothing went to the shell: no copy was opened outside the message.
  EXPECT_EQ(platform::ReadActivity().size(), activity);
  const std::u16string saved = u"\\My Documents\\My Pictures\\locked.gif";
  ASSERT_TRUE(Exists(saved));
  EXPECT_EQ(DrmStatus(saved.c_str(), 1, nullptr), kDrmForwardRefused);
  EXPECT_EQ(Read(saved).find("GIF89a"), std::string::npos);
}

TEST_F(SaveObjectsWindowTest, EveryKindOfObjectHasItsOwnIconSizedForTheScreen) {
  Add(u"a.jpg", media_type::kJpeg, "p");
  Add(u"b.amr", 0x20003, "s");
  Add(u"c.3gp", 0x40005, "v");
  Add(u"d.txt", media_type::kPlainText, "t");
  Add(u"e.vcf", 0x50001, "c");
  Add(u"f.vcs", 0x50002, "e");
  Add(u"g.bin", 0x70001, "o");
  Run([&](CSaveObjectsWindow& window) {
    EXPECT_EQ(Icons(window), (std::vector<int>{object_icon::kPicture, object_icon::kSound, object_icon::kVideo,
                                               object_icon::kText, object_icon::kContactCard,
                                               object_icon::kCalendarEntry, object_icon::kOther}));
    ASSERT_NE(window.Icons(), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(window.Icons()), object_icon::kCount);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(window.Icons(), &width, &height));
    EXPECT_EQ(width, 20);
    EXPECT_EQ(height, 20);
  });
  // 20 pixels at 96 dots per inch, to the nearest pixel at other densities.
  EXPECT_EQ(ObjectIconSide(96), 20);
  EXPECT_EQ(ObjectIconSide(192), 40);
  EXPECT_EQ(ObjectIconSide(130), 27);  // 27.08
  EXPECT_EQ(ObjectIconSide(131), 27);  // 27.29
  EXPECT_EQ(ObjectIconSide(134), 28);  // 27.92
}

// Twelve seconds of 8 kHz 16-bit silence: long enough for two keep-awake ticks.
std::string LongWav() {
  const std::uint32_t data = 8000 * 2 * 12;
  std::string wav = "RIFF";
  auto put32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) wav += static_cast<char>((v >> (8 * i)) & 0xFF); };
  auto put16 = [&](std::uint16_t v) { wav += static_cast<char>(v & 0xFF); wav += static_cast<char>(v >> 8); };
  put32(36 + data);
  wav += "WAVEfmt ";
  put32(16);
  put16(1);         // PCM
  put16(1);         // mono
  put32(8000);      // samples a second
  put32(8000 * 2);  // bytes a second
  put16(2);
  put16(16);
  wav += "data";
  put32(data);
  return wav + std::string(data, '\0');
}

TEST_F(SaveObjectsWindowTest, ThePreviewBarShowsPauseExactlyWhileASoundPlaysAndKeepsTheDeviceAwake) {
  Put(u"long.wav", LongWav());
  AddPartOfType(m_model, u"long.wav", 0x20002);
  Add(u"photo.jpg", media_type::kJpeg, "p");
  Run([&](CSaveObjectsWindow& window) {
    HWND toolbar = window.Toolbar();
    ASSERT_NE(toolbar, nullptr);
    auto enabled = [&](WORD id) { return SendMessageW(toolbar, TB_ISBUTTONENABLED, id, 0) != 0; };
    auto tapButton = [&](WORD id) {
      RECT button{};
      ASSERT_TRUE(platform::controls::ToolbarButtonRect(toolbar, id, &button));
      POINT at{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
      ClientToScreen(toolbar, &at);
      ASSERT_TRUE(platform::automation::Tap(at));
      platform::automation::PumpUntilIdle();
    };
    // The bar runs along the bottom, below the list.
    RECT bar{}, list{};
    GetWindowRect(toolbar, &bar);
    GetWindowRect(GetDlgItem(window.GetHandle(), kObjectList), &list);
    EXPECT_LE(list.bottom, bar.top);
    // Nothing to preview until a sound is selected.
    EXPECT_FALSE(enabled(save_objects::kPlay));
    window.Select(RowOf(window, u"photo.jpg"));
    EXPECT_FALSE(enabled(save_objects::kPlay));
    window.Select(RowOf(window, u"long.wav"));
    EXPECT_TRUE(enabled(save_objects::kPlay));
    EXPECT_EQ(platform::controls::ToolbarToolTip(toolbar, 0), transport::LoadResourceString(40510).View());
    tapButton(save_objects::kPlay);
    ASSERT_EQ(window.PreviewState(), save_objects::kPreviewPlaying);
    EXPECT_FALSE(window.PlayShown());
    RECT face{};
    EXPECT_TRUE(platform::controls::ToolbarButtonRect(toolbar, save_objects::kPause, &face));
    EXPECT_FALSE(platform::controls::ToolbarButtonRect(toolbar, save_objects::kPlay, &face));
    EXPECT_EQ(platform::controls::ToolbarToolTip(toolbar, 0), transport::LoadResourceString(40511).View());
    platform::automation::AdvanceClock(5000);
    EXPECT_EQ(m_idleResets, 1);
    // Pause from the same button: play comes back and the device may sleep.
    tapButton(save_objects::kPause);
    EXPECT_EQ(window.PreviewState(), save_objects::kPreviewPaused);
    EXPECT_TRUE(window.PlayShown());
    EXPECT_FALSE(window.KeepAwakeRunning());
    platform::automation::AdvanceClock(10000);
    EXPECT_EQ(m_idleResets, 1);
    tapButton(save_objects::kPlay);
    EXPECT_EQ(window.PreviewState(), save_objects::kPreviewPlaying);
    // Sorting keeps the sound playing: its object is still the selected one.
    Command(window, save_objects::kSortByType);
    EXPECT_EQ(window.PreviewState(), save_objects::kPreviewPlaying);
    EXPECT_EQ(window.Objects()[static_cast<std::size_t>(window.Selection())].name, CString(u"long.wav"));
    Command(window, save_objects::kSortByName);
    platform::automation::AdvanceClock(5000);
    EXPECT_EQ(m_idleResets, 2);
    tapButton(save_objects::kStop);
    EXPECT_EQ(window.PreviewState(), save_objects::kPreviewStopped);
    EXPECT_TRUE(window.PlayShown());
    EXPECT_FALSE(window.KeepAwakeRunning());
    // Choosing another object ends a preview of the one before.
    window.Select(RowOf(window, u"long.wav"));
    Command(window, save_objects::kPlay);
    ASSERT_EQ(window.PreviewState(), save_objects::kPreviewPlaying);
    window.Select(RowOf(window, u"photo.jpg"));
    EXPECT_EQ(window.PreviewState(), save_objects::kPreviewStopped);
    EXPECT_TRUE(window.PlayShown());
    EXPECT_FALSE(enabled(save_objects::kPlay));
  });
}

}  // namespace
}  // namespace save_test
