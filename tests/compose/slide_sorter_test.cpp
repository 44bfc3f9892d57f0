// The slide sorter driven as a person drives it: taps on its rows and spin arrows, its soft-key
// menu (answered by the headless popup queue), drags on the virtual clock; and what it leaves in
// the model: slide order, durations within their limits, parts released with deleted slides, the
// current slide and the signature flag.
#include "forms/slide_sorter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "config/registry_key.h"
#include "config/setting_numbers.h"
#include "config/setting_tables.h"
#include "config/settings.h"
#include "forms/slide_sorter_window.h"
#include "platform/registry/registry.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/window/screen.h"
#include "ui/ui_fixture.h"

namespace {

using namespace slide_sorter;
namespace automation = platform::automation;

// Lengths by file name; anything else has none.
class NamedLengths : public MediaLengthSource {
 public:
  std::optional<DWORD> LengthOf(std::u16string_view path, MediaType) const override {
    const std::u16string name(path.substr(path.rfind(u'\\') + 1));
    auto it = lengths.find(name);
    return it == lengths.end() ? std::nullopt : std::optional<DWORD>(it->second);
  }
  std::map<std::u16string, DWORD> lengths;
};

std::u16string ClassOf(HWND window) {
  WCHAR name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// Children of a class, from top to bottom on the screen.
std::vector<HWND> ChildrenOf(HWND parent, std::u16string_view className) {
  std::vector<HWND> found;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == className) found.push_back(child);
  }
  std::sort(found.begin(), found.end(), [](HWND a, HWND b) {
    RECT ra{}, rb{};
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.top < rb.top;
  });
  return found;
}

HWND SoftKeysOf(HWND dialog) {
  struct Search {
    HWND dialog;
    HWND bar;
  } search{dialog, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lParam) -> BOOL {
        auto* found = reinterpret_cast<Search*>(lParam);
        if (ClassOf(hwnd) == kMenuBarClass && GetWindow(hwnd, GW_OWNER) == found->dialog) found->bar = hwnd;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.bar;
}

// A point of a window's client area on the screen.
POINT OnScreen(HWND window, POINT client) {
  ClientToScreen(window, &client);
  return client;
}

POINT Middle(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class SlideSorterTest : public ui_test::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    std::filesystem::create_directories(m_device.Host(u"\\My Documents\\parts"));
    m_model.partFolder = CString(u"\\My Documents\\parts\\");
    m_owner = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                              nullptr);
  }
  // The engines are the process's, released when the module is; each test releases those it made.
  void TearDown() override {
    DestroyWindow(m_owner);
    platform::window::ResetScreen();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    UiTest::TearDown();
  }

  // Slides told apart by their durations: slide i lasts (i + 3) seconds.
  void MakeSlides(int count) {
    for (int i = 0; i < count; ++i) {
      Slide slide = NewSlide();
      slide.duration = static_cast<DWORD>((i + 3) * 1000);
      m_model.slides.push_back(slide);
    }
  }
  Slide& SlideAt(int index) { return *std::next(m_model.slides.begin(), index); }
  std::vector<int> Order() const {
    std::vector<int> seconds;
    for (const Slide& slide : m_model.slides) seconds.push_back(static_cast<int>(slide.duration / 1000) - 3);
    return seconds;
  }
  MediaPart& Put(std::optional<MediaRef>& slot, const std::string& corpusFile, const char16_t* name, MediaType type,
                 RegionKind role = RegionKind::kImage) {
    if (!corpusFile.empty()) {
      std::filesystem::copy_file(test_support::CorpusPath(corpusFile),
                                 m_device.Host(std::u16string(u"\\My Documents\\parts\\") + name),
                                 std::filesystem::copy_options::overwrite_existing);
    }
    MediaPart& part = *AddPartOfType(m_model, name, type);
    SetReference(slot, MediaRef{role, 0, 0, &part, nullptr});
    CountAttachments(m_model);
    return part;
  }

  // Runs the sorter; `act` gets the dialog and its list once it waits for the person, then Done.
  INT_PTR Run(std::function<void(HWND, HWND)> act, std::function<bool()> room = [] { return true; }) {
    automation::OnWindowAppears(u"Dialog", u"", [this, act](HWND dialog) {
      ++m_shown;
      const std::vector<HWND> lists = ChildrenOf(dialog, u"CpSlideWnd");
      ASSERT_EQ(lists.size(), 1u);
      act(dialog, lists[0]);
      if (IsWindow(dialog)) SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    return RunSlideSorter(m_owner, m_model, m_signature, m_current, std::move(room), m_lengths);
  }
  static SlideSorterWindow& List(HWND list) {
    return *dynamic_cast<SlideSorterWindow*>(reinterpret_cast<CWndBase*>(GetWindowLongW(list, GWL_USERDATA)));
  }
  // Taps the right soft key with the command queued as the menu's choice.
  static void Choose(HWND dialog, UINT command) {
    HWND keys = SoftKeysOf(dialog);
    ASSERT_NE(keys, nullptr);
    RECT bar{};
    GetClientRect(keys, &bar);
    automation::QueueAnswer(static_cast<int>(command));
    SendMessageW(keys, WM_LBUTTONUP, 0, MAKELPARAM(bar.right - 5, 5));
    automation::PumpUntilIdle();
  }
  static void TapArrow(HWND spin, bool right) {
    auto* bar = dynamic_cast<SpinBar*>(reinterpret_cast<CWndBase*>(GetWindowLongW(spin, GWL_USERDATA)));
    ASSERT_NE(bar, nullptr);
    automation::Tap(OnScreen(spin, Middle(right ? bar->RightArrowRect() : bar->LeftArrowRect())));
  }
  static POINT RowPoint(HWND list, int index) {
    RECT row = List(list).RowRect(index);
    return OnScreen(list, POINT{row.right - 8, row.top + 6});
  }

  MessageModel m_model;
  NamedLengths m_lengths;
  bool m_signature = false;
  int m_current = 0;
  int m_shown = 0;
  HWND m_owner = nullptr;
};

TEST_F(SlideSorterTest, DoneWithoutChangesReportsNothingChanged) {
  MakeSlides(3);
  m_current = 1;
  int rows = 0;
  EXPECT_EQ(Run([&](HWND, HWND list) { rows = static_cast<int>(ChildrenOf(list, u"SpinBar").size()); }), 0);
  EXPECT_EQ(m_shown, 1);
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(m_current, 1);
  EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2}));
}

TEST_F(SlideSorterTest, EachRowShowsItsDurationRoundedToWholeSeconds) {
  MakeSlides(3);
  SlideAt(0).duration = 2499;
  SlideAt(1).duration = 2500;
  SlideAt(2).duration = 61000;
  std::vector<std::u16string> texts;
  std::vector<DWORD> states;
  Run([&](HWND, HWND list) {
    for (HWND spin : ChildrenOf(list, u"SpinBar")) {
      auto* bar = dynamic_cast<SpinBar*>(reinterpret_cast<CWndBase*>(GetWindowLongW(spin, GWL_USERDATA)));
      texts.push_back(bar->GetText().GetString());
      states.push_back(bar->GetState());
    }
  });
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"2s", u"3s", u"61s"}));
  EXPECT_EQ(states, (std::vector<DWORD>{kSpinBothActive, kSpinBothActive, kSpinBothActive}));
}

TEST_F(SlideSorterTest, SpinArrowsStepBySecondsWithinTheLimits) {
  const std::u16string ui = std::u16string(config::kConfigRoot) + u"\\UI";
  const DWORD longest = 5000;
  ASSERT_EQ(RegSetValueExW(config::RegistryKey::Create(HKEY_LOCAL_MACHINE, ui).Get(), u"MaxDuration", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&longest), sizeof longest),
            ERROR_SUCCESS);
  MakeSlides(2);
  SlideAt(0).duration = 3400;  // shown as 3 s
  m_lengths.lengths[u"song.amr"] = 7000;
  Put(SlideAt(1).audio, "", u"song.amr", 0x20003);
  std::vector<DWORD> durations;
  DWORD stateAtLongest = 0, stateAtShortest = 0;
  EXPECT_EQ(Run([&](HWND, HWND list) {
              const std::vector<HWND> spins = ChildrenOf(list, u"SpinBar");
              auto bar = [&](int i) {
                return dynamic_cast<SpinBar*>(reinterpret_cast<CWndBase*>(GetWindowLongW(spins[i], GWL_USERDATA)));
              };
              TapArrow(spins[0], true);
              durations.push_back(SlideAt(0).duration);
              TapArrow(spins[0], true);
              durations.push_back(SlideAt(0).duration);
              stateAtLongest = bar(0)->GetState();
              TapArrow(spins[0], true);  // the right arrow is inactive at the longest
              durations.push_back(SlideAt(0).duration);
              for (int i = 0; i < 4; ++i) TapArrow(spins[0], false);
              durations.push_back(SlideAt(0).duration);
              stateAtShortest = bar(0)->GetState();
              // The slide with a seven-second sound may run that long, past the configured five.
              for (int i = 0; i < 4; ++i) TapArrow(spins[1], true);
              durations.push_back(SlideAt(1).duration);
            }),
            1);
  EXPECT_EQ(durations, (std::vector<DWORD>{4000, 5000, 5000, 2000, 7000}));
  EXPECT_EQ(stateAtLongest, DWORD{kSpinAtMaximum});
  EXPECT_EQ(stateAtShortest, DWORD{kSpinAtMinimum});
  EXPECT_EQ(m_current, 1) << "the row whose arrows were used became current";
}

TEST_F(SlideSorterTest, NaturalDurationIsTheLongestMediaOrTwoSeconds) {
  MakeSlides(2);
  m_lengths.lengths[u"clip.3gp"] = 12300;
  Put(SlideAt(1).video, "", u"clip.3gp", 0x40005);
  m_current = 0;
  EXPECT_EQ(Run([&](HWND dialog, HWND list) {
              Choose(dialog, kNaturalDuration);
              automation::Tap(RowPoint(list, 1));
              Choose(dialog, kNaturalDuration);
            }),
            1);
  EXPECT_EQ(SlideAt(0).duration, 2000u);
  EXPECT_EQ(SlideAt(1).duration, 12300u);
}

TEST_F(SlideSorterTest, MovesFollowTheMenuAndAreGreyedAtTheEnds) {
  MakeSlides(3);
  m_current = 2;
  EXPECT_EQ(Run([&](HWND dialog, HWND) {
              Choose(dialog, kMoveLater);  // greyed on the last slide: the menu gives no command
              Choose(dialog, kMoveEarlier);
              Choose(dialog, kMoveEarlier);
              Choose(dialog, kMoveEarlier);  // greyed on the first
            }),
            1);
  EXPECT_EQ(Order(), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(m_current, 0);
  const auto& prompts = automation::PromptLog();
  ASSERT_EQ(prompts.size(), 4u);
  EXPECT_EQ(prompts[0].kind, u"PopupMenu");
}

TEST_F(SlideSorterTest, AddingPutsADefaultSlideAfterTheCurrentOneWhileThereIsRoom) {
  SetConfigValue(numeric_setting::kSlideDuration, 7000, FALSE);
  MakeSlides(2);
  bool room = true;
  EXPECT_EQ(Run(
                [&](HWND dialog, HWND list) {
                  Choose(dialog, kAddSlide);
                  room = false;
                  Choose(dialog, kAddSlide);
                  SendMessageW(dialog, WM_COMMAND, kAddSlide, 0);  // not from the menu: still refused
                  EXPECT_EQ(ChildrenOf(list, u"SpinBar").size(), 3u);
                },
                [&] { return room; }),
            1);
  ASSERT_EQ(m_model.slides.size(), 3u);
  EXPECT_EQ(Order(), (std::vector<int>{0, 4, 1})) << "the new slide of seven seconds after the first";
  EXPECT_EQ(m_current, 1);
}

TEST_F(SlideSorterTest, WithoutARuleTheComposersRoomRuleApplies) {
  SetConfigValue(numeric_setting::kMaxSlides, 2, FALSE);
  MakeSlides(1);
  EXPECT_EQ(Run(
                [&](HWND dialog, HWND) {
                  Choose(dialog, kAddSlide);
                  Choose(dialog, kAddSlide);
                },
                nullptr),
            1);
  EXPECT_EQ(m_model.slides.size(), 2u);
}

TEST_F(SlideSorterTest, DeletingASlideReleasesItsPartsButNotThoseOthersUse) {
  MakeSlides(3);
  MediaPart& shared = Put(SlideAt(0).image, "png/basn2c08.png", u"shared.png", 0x10003);
  SetReference(SlideAt(1).image, MediaRef{RegionKind::kImage, 0, 0, &shared, nullptr});
  Put(SlideAt(1).audio, "", u"own.amr", 0x20003);
  Put(SlideAt(1).text, "", u"own.txt", 0x30001, RegionKind::kText);
  AddPartOfType(m_model, u"attached.vcf", 0x50001);
  CountAttachments(m_model);
  m_current = 1;
  EXPECT_EQ(Run([&](HWND dialog, HWND) { Choose(dialog, kDeleteSlide); }), 1);
  EXPECT_EQ(Order(), (std::vector<int>{0, 2}));
  std::vector<std::u16string> names;
  for (const MediaPart& part : m_model.parts) names.emplace_back(part.fileName.View());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"shared.png", u"attached.vcf"}));
  EXPECT_EQ(shared.inSlide, 1);
  EXPECT_EQ(m_model.attachmentCount, 1);
  EXPECT_EQ(m_current, 1);
  EXPECT_TRUE(std::filesystem::exists(m_device.Host(u"\\My Documents\\parts\\shared.png")))
      << "files stay until the message is saved";
}

TEST_F(SlideSorterTest, TheOnlySlideIsEmptiedAndAnEmptyOneCannotBeDeleted) {
  SetConfigValue(numeric_setting::kSlideDuration, 3000, FALSE);
  MakeSlides(1);
  SlideAt(0).duration = 9000;
  SlideAt(0).minimumDuration = 5000;
  SlideAt(0).style.backgroundColor = 0x99CCFF;
  Put(SlideAt(0).image, "png/basn2c08.png", u"p.png", 0x10003);
  EXPECT_EQ(Run([&](HWND dialog, HWND) {
              Choose(dialog, kDeleteSlide);
              Choose(dialog, kDeleteSlide);  // now greyed
            }),
            1);
  ASSERT_EQ(m_model.slides.size(), 1u);
  EXPECT_FALSE(SlideAt(0).image.has_value());
  EXPECT_TRUE(m_model.parts.empty());
  EXPECT_EQ(SlideAt(0).duration, 3000u);
  EXPECT_EQ(SlideAt(0).minimumDuration, 2000u);
  EXPECT_EQ(SlideAt(0).style.backgroundColor, COLORREF{0x99CCFF});
}

TEST_F(SlideSorterTest, TheSignatureFlagStaysOnlyWhileTheSignatureSlideIsLast) {
  MakeSlides(3);
  m_signature = true;
  m_current = 0;
  Run([&](HWND dialog, HWND) { Choose(dialog, kMoveLater); });
  EXPECT_TRUE(m_signature) << "other slides moved";

  m_current = 2;
  Run([&](HWND dialog, HWND) {
    Choose(dialog, kMoveEarlier);
    Choose(dialog, kMoveLater);
  });
  EXPECT_TRUE(m_signature) << "moved away and back";

  m_current = 2;
  Run([&](HWND dialog, HWND) { Choose(dialog, kMoveEarlier); });
  EXPECT_FALSE(m_signature) << "a slide that is not last is no signature slide";

  m_signature = true;
  m_current = 2;
  Run([&](HWND dialog, HWND) { Choose(dialog, kDeleteSlide); });
  EXPECT_FALSE(m_signature) << "deleted";
}

TEST_F(SlideSorterTest, WithSignatureInLastSlideANewSlideGoesBeforeTheSignature) {
  SetConfigValue(numeric_setting::kSignatureInLastSlide, 1, FALSE);
  MakeSlides(2);
  m_signature = true;
  m_current = 1;
  Run([&](HWND dialog, HWND) { Choose(dialog, kAddSlide); });
  ASSERT_EQ(m_model.slides.size(), 3u);
  EXPECT_EQ(SlideAt(2).duration, 4000u) << "the signature slide stays last";
  EXPECT_EQ(m_current, 1);
  EXPECT_TRUE(m_signature);
}

TEST_F(SlideSorterTest, DraggingARowOntoAnotherMovesTheSlideThere) {
  MakeSlides(3);
  EXPECT_EQ(Run([&](HWND, HWND list) {
              automation::MouseDown(RowPoint(list, 0));
              automation::MouseMove(RowPoint(list, 1));
              EXPECT_TRUE(List(list).dragging());
              EXPECT_EQ(List(list).dropTarget(), 1);
              automation::MouseMove(RowPoint(list, 2));
              automation::MouseUp(RowPoint(list, 2));
              EXPECT_FALSE(List(list).dragging());
            }),
            1);
  EXPECT_EQ(Order(), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(m_current, 2);
}

TEST_F(SlideSorterTest, ATapIsNoDragAndADropOnItselfMovesNothing) {
  MakeSlides(3);
  EXPECT_EQ(Run([&](HWND, HWND list) {
              automation::Tap(RowPoint(list, 2));
              automation::MouseDown(RowPoint(list, 1));
              POINT away = RowPoint(list, 1);
              away.x -= 20;
              automation::MouseMove(away);
              automation::MouseUp(away);
            }),
            0);
  EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(m_current, 1);
}

TEST_F(SlideSorterTest, HoldingTheDragAtTheBottomScrollsOnceASecond) {
  MakeSlides(9);
  int target = -1;
  EXPECT_EQ(Run([&](HWND, HWND list) {
              SlideSorterWindow& window = List(list);
              ASSERT_LT(window.VisibleRows(), 9);
              RECT client{};
              GetClientRect(list, &client);
              const POINT bottom = OnScreen(list, POINT{client.right - 8, client.bottom - 3});
              automation::MouseDown(RowPoint(list, 0));
              automation::MouseMove(bottom);
              EXPECT_EQ(window.firstVisible(), 0);
              automation::AdvanceClock(999);
              EXPECT_EQ(window.firstVisible(), 0);
              automation::AdvanceClock(1);
              EXPECT_EQ(window.firstVisible(), 1);
              automation::AdvanceClock(1000);
              EXPECT_EQ(window.firstVisible(), 2);
              target = window.dropTarget();
              EXPECT_GE(target, 2 + window.VisibleRows() - 1) << "the row under the pen at the bottom";
              automation::MouseUp(bottom);
              const int afterDrop = window.firstVisible();
              automation::AdvanceClock(3000);
              EXPECT_EQ(window.firstVisible(), afterDrop) << "the timer stops with the drop";
            }),
            1);
  ASSERT_GT(target, 0);
  EXPECT_EQ(m_current, target);
  EXPECT_EQ(Order()[static_cast<size_t>(target)], 0);
}

TEST_F(SlideSorterTest, UpAndDownKeysMoveTheSelectionAndLeftAndRightTheDuration) {
  MakeSlides(3);
  EXPECT_EQ(Run([&](HWND, HWND) {
              automation::PressKey(VK_DOWN);
              automation::PressKey(VK_DOWN);
              automation::PressKey(VK_DOWN);
              automation::PressKey(VK_RIGHT);
            }),
            1);
  EXPECT_EQ(m_current, 2);
  EXPECT_EQ(SlideAt(2).duration, 6000u);
}

// The sorter drawn at both screen densities, for a person to look at.
TEST_F(SlideSorterTest, DrawsAtBothDensities) {
  for (const platform::window::ScreenGeometry& screen :
       {platform::window::ScreenGeometry{240, 320, 96}, platform::window::ScreenGeometry{480, 640, 192}}) {
    ASSERT_TRUE(platform::window::ConfigureScreen(screen));
    MoveWindow(m_owner, 0, 0, screen.width, screen.height, FALSE);
    m_model = MessageModel{};
    m_model.partFolder = CString(u"\\My Documents\\parts\\");
    MakeSlides(5);
    Put(SlideAt(0).image, "jpeg/canon-ixus.jpg", u"photo.jpg", 0x10001);
    Put(SlideAt(0).text, "", u"t.txt", 0x30001, RegionKind::kText);
    Put(SlideAt(1).video, "media/h263-qcif-amrnb.3gp", u"clip.3gp", 0x40005);
    Put(SlideAt(2).image, "png/basn2c08.png", u"small.png", 0x10003);
    Put(SlideAt(2).audio, "", u"song.amr", 0x20003);
    m_current = 1;
    const std::filesystem::path png =
        test_support::BinaryPath("sorter-pictures/sorter_" + std::to_string(screen.width) + "x" +
                                 std::to_string(screen.height) + ".png");
    std::filesystem::create_directories(png.parent_path());
    bool shot = false;
    Run([&](HWND, HWND list) {
      automation::MouseDown(RowPoint(list, 3));
      automation::MouseMove(RowPoint(list, 2));
      std::string error;
      shot = automation::Screenshot(png, &error);
      EXPECT_TRUE(shot) << error;
      automation::MouseUp(RowPoint(list, 3));
    });
    EXPECT_TRUE(shot);
    EXPECT_GT(std::filesystem::file_size(png), 1000u);
  }
}

}  // namespace
