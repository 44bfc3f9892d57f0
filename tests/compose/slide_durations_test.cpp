// How long a slide plays by itself (its longest timed object, at least two seconds) and the longest
// duration the sorter offers, from the registry or its default.
#include "forms/slide_durations.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "config/registry_key.h"
#include "config/setting_tables.h"
#include "platform/registry/registry.h"
#include "support/test_device.h"
#include "transport/mms_global.h"

namespace {

// Lengths by file name, as an engine would tell them; it also records the paths it was asked for.
class TableLengths : public MediaLengthSource {
 public:
  explicit TableLengths(std::map<std::u16string, DWORD> lengths) : m_lengths(std::move(lengths)) {}
  std::optional<DWORD> LengthOf(std::u16string_view path, MediaType) const override {
    m_asked.emplace_back(path);
    const auto slash = path.rfind(u'\\');
    const std::u16string name(path.substr(slash == std::u16string_view::npos ? 0 : slash + 1));
    auto it = m_lengths.find(name);
    if (it == m_lengths.end()) return std::nullopt;
    return it->second;
  }
  mutable std::vector<std::u16string> m_asked;

 private:
  std::map<std::u16string, DWORD> m_lengths;
};

class SlideDurationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ULC_Global::GetGlobal()->UnloadEngineModule();
    m_folder = CString(u"\\My Documents\\parts\\");
  }
  void TearDown() override { ULC_Global::GetGlobal()->UnloadEngineModule(); }

  MediaRef Ref(const char16_t* name, MediaType type) {
    auto part = AddPartOfType(m_model, name, type);
    return MediaRef{RegionKind::kImage, 0, 0, &*part, nullptr};
  }

  test_support::TestDevice m_device;
  MessageModel m_model;
  CString m_folder;
};

TEST_F(SlideDurationsTest, TheLongestObjectCountsAndNeverLessThanTwoSeconds) {
  const TableLengths lengths({{u"song.amr", 3200}, {u"anim.gif", 5400}, {u"short.amr", 700}, {u"clip.3gp", 2534}});
  Slide empty;
  EXPECT_EQ(NaturalSlideDuration(empty, m_folder, lengths), 2000u);

  Slide pictureAndSong;
  pictureAndSong.image = Ref(u"anim.gif", 0x10002);
  pictureAndSong.audio = Ref(u"song.amr", 0x20003);
  EXPECT_EQ(NaturalSlideDuration(pictureAndSong, m_folder, lengths), 5400u);
  EXPECT_EQ(lengths.m_asked.back().substr(0, m_folder.GetLength()), m_folder.View()) << "asked in the part folder";

  Slide shortSound;
  shortSound.audio = Ref(u"short.amr", 0x20003);
  shortSound.text = Ref(u"words.txt", 0x30001);
  EXPECT_EQ(NaturalSlideDuration(shortSound, m_folder, lengths), 2000u);

  Slide unknown;
  unknown.audio = Ref(u"unmeasured.amr", 0x20003);
  EXPECT_EQ(NaturalSlideDuration(unknown, m_folder, lengths), 2000u) << "an engine without an answer";
}

TEST_F(SlideDurationsTest, AVideoSlideCountsOnlyItsVideo) {
  const TableLengths lengths({{u"song.amr", 9000}, {u"clip.3gp", 2534}});
  Slide slide;
  slide.audio = Ref(u"song.amr", 0x20003);
  slide.video = Ref(u"clip.3gp", 0x40005);
  EXPECT_EQ(NaturalSlideDuration(slide, m_folder, lengths), 2534u);
}

TEST_F(SlideDurationsTest, TheEnginesMeasureRealFiles) {
  const std::filesystem::path folder = m_device.Host(u"\\My Documents\\parts");
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(test_support::CorpusPath("media/amrnb-122-sweep.amr"), folder / "sweep.amr");
  std::filesystem::copy_file(test_support::CorpusPath("gif/mmsd-con-224-p2-animated.gif"), folder / "anim.gif");
  Slide sound;
  sound.audio = Ref(u"sweep.amr", 0x20003);
  EXPECT_EQ(NaturalSlideDuration(sound, m_folder), 3200u);
  Slide animation;
  animation.image = Ref(u"anim.gif", 0x10002);
  EXPECT_EQ(NaturalSlideDuration(animation, m_folder), 2000u) << "six frames of 100 ms are raised to two seconds";
}

TEST_F(SlideDurationsTest, TheLongestOfferedComesFromTheRegistryAndYieldsToTheNatural) {
  const std::u16string ui = std::u16string(config::kConfigRoot) + u"\\UI";
  config::RegistryKey::Create(HKEY_LOCAL_MACHINE, ui);
  RegDeleteValueW(config::RegistryKey::Open(HKEY_LOCAL_MACHINE, ui).Get(), u"MaxDuration");
  EXPECT_EQ(LongestOfferedDuration(2000), 999000u) << "its own default, not the settings table's";
  EXPECT_EQ(LongestOfferedDuration(1200000), 1200000u);
  const DWORD configured = 30000;
  const config::RegistryKey key = config::RegistryKey::Create(HKEY_LOCAL_MACHINE, ui);
  ASSERT_EQ(RegSetValueExW(key.Get(), u"MaxDuration", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&configured),
                           sizeof configured),
            ERROR_SUCCESS);
  EXPECT_EQ(LongestOfferedDuration(2000), 30000u);
  EXPECT_EQ(LongestOfferedDuration(45000), 45000u);
}

}  // namespace
