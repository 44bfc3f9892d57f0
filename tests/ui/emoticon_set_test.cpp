// The emoticon index read from hand-written and hostile texts, the folders a screen's set is found
// in (the bundled set of a new device included), the player's marking of a text, and the hypertext
// control showing typed emoticons as pictures.
#include "ui/emoticon_set.h"

#include <chrono>
#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "text_view_scene.h"
#include "ui/emoticon_player.h"
#include "ui/hyper_text_ctrl.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

using test_support::WriteFileBytes;

constexpr std::u16string_view kFolder = u"\\My Documents\\UAContents\\Emoticon\\";

std::string Index(long count, int sections) {
  std::string text = "[GENERAL]\r\nCOUNT=" + std::to_string(count) + "\r\n";
  for (int i = 1; i <= sections; ++i) {
    text += "[EMOTICON" + std::to_string(i) + "]\r\nEMOTION=:" + std::to_string(i) + "\r\nDYNICON=p" +
            std::to_string(i) + ".gif\r\n";
  }
  return text;
}

TEST(EmoticonIndex, ReadsTextsAndPicturesInFileOrderWhateverTheCaseAndSpacing) {
  const std::string text =
      "; a comment\n[general]\ncount = 2\n[Emoticon2]\nEmotion = ;-)\nDynicon = wink.gif\n"
      "[EMOTICON1]\nEMOTION=:-)\nDYNICON=faces\\smile.gif\n";
  EmoticonIndexParse parse = ParseEmoticonIndex(text, kFolder);
  ASSERT_TRUE(parse.ok());
  ASSERT_EQ(parse.texts.size(), 2u);
  EXPECT_EQ(parse.texts[0], u":-)");
  EXPECT_EQ(parse.pictures[0].path, u"\\My Documents\\UAContents\\Emoticon\\faces\\smile.gif");
  EXPECT_EQ(parse.texts[1], u";-)");
  EXPECT_EQ(parse.pictures[1].type, 0x10002u);
}

TEST(EmoticonIndex, EightBitTextIsReadInTheDeviceCodePage) {
  test_support::TestDevice device;
  EmoticonIndexParse parse = ParseEmoticonIndex("[GENERAL]\nCOUNT=1\n[EMOTICON1]\nEMOTION=\xA9\xB0\nDYNICON=\xE9.gif\n", kFolder);
  ASSERT_TRUE(parse.ok());
  EXPECT_EQ(parse.texts[0], u"\u00A9\u00B0");
  EXPECT_EQ(parse.pictures[0].path, std::u16string(kFolder) + u"\u00E9.gif");
}

TEST(EmoticonIndex, HostileIndexesFailCleanlyAndSayWhere) {
  const std::string longValue(kMaxEmoticonValue + 1, 'x');
  struct Case {
    std::string text;
    EmoticonIndexStatus status;
    long entry;
  };
  const Case cases[] = {
      {"", EmoticonIndexStatus::kNoCount, 0},
      {"\xFF\xFE[\0G\0E\0", EmoticonIndexStatus::kNoCount, 0},
      {"[GENERAL]\nCOUNT=many\n", EmoticonIndexStatus::kNoCount, 0},
      {"[OTHER]\nCOUNT=1\n", EmoticonIndexStatus::kNoCount, 0},
      {Index(2147483648L, 1), EmoticonIndexStatus::kBadCount, 0},
      {Index(-1, 0), EmoticonIndexStatus::kBadCount, 0},
      {Index(kMaxEmoticons + 1, 1), EmoticonIndexStatus::kBadCount, 0},
      {Index(3, 2), EmoticonIndexStatus::kMissingKey, 3},
      {"[GENERAL]\nCOUNT=1\n[EMOTICON1]\nEMOTION=:-)\n", EmoticonIndexStatus::kMissingKey, 1},
      {"[GENERAL]\nCOUNT=1\n[EMOTICON1]\nDYNICON=a.gif\n", EmoticonIndexStatus::kMissingKey, 1},
      {"[GENERAL]\nCOUNT=1\n[EMOTICON1]\nEMOTION=" + longValue + "\nDYNICON=a.gif\n", EmoticonIndexStatus::kTooLong, 1},
      {"[GENERAL]\nCOUNT=1\n[EMOTICON1]\nEMOTION=:)\nDYNICON=" + longValue + "\n", EmoticonIndexStatus::kTooLong, 1},
      {"[GENERAL]\nCOUNT=1\n[EMOTICON1]\nEMOTION=:)\nDYNICON=..\\..\\Templates\\0.dat\n",
       EmoticonIndexStatus::kUnsafePicture, 1},
      {"[GENERAL]\nCOUNT=1\n[EMOTICON1]\nEMOTION=:)\nDYNICON=a\\..\\..\\x.gif\n", EmoticonIndexStatus::kUnsafePicture, 1},
      {"[GENERAL]\nCOUNT=1\n[EMOTICON1]\nEMOTION=:)\nDYNICON=\\windows\\x.gif\n", EmoticonIndexStatus::kUnsafePicture, 1},
      {"[GENERAL]\nCOUNT=1\n[EMOTICON1]\nEMOTION=:)\nDYNICON=C:x.gif\n", EmoticonIndexStatus::kUnsafePicture, 1},
      {"[GENERAL]\nCOUNT=1\n[EMOTICON1]\nEMOTION=:)\nDYNICON=\n", EmoticonIndexStatus::kUnsafePicture, 1},
  };
  for (const Case& c : cases) {
    EmoticonIndexParse parse = ParseEmoticonIndex(c.text, kFolder);
    EXPECT_EQ(parse.status, c.status) << c.text.substr(0, 80);
    EXPECT_EQ(parse.entry, c.entry) << c.text.substr(0, 80);
    EXPECT_TRUE(parse.texts.empty());
    EXPECT_TRUE(parse.pictures.empty());
  }
  // The longest values that the index's writers keep are read.
  const std::string longest(kMaxEmoticonValue, 'y');
  EXPECT_TRUE(ParseEmoticonIndex("[GENERAL]\nCOUNT=1\n[EMOTICON1]\nEMOTION=" + longest + "\nDYNICON=" + longest + "\n",
                                 kFolder).ok());
}

TEST(EmoticonIndex, CountZeroIsAnEmptySetAndTheLargestSetLoadsQuickly) {
  EmoticonIndexParse empty = ParseEmoticonIndex(Index(0, 0), kFolder);
  EXPECT_TRUE(empty.ok());
  EXPECT_TRUE(empty.texts.empty());

  const auto start = std::chrono::steady_clock::now();
  EmoticonIndexParse largest = ParseEmoticonIndex(Index(kMaxEmoticons, static_cast<int>(kMaxEmoticons)), kFolder);
  ASSERT_TRUE(largest.ok());
  EXPECT_EQ(largest.texts.size(), static_cast<std::size_t>(kMaxEmoticons));
  EXPECT_EQ(largest.texts.back(), u":" + std::u16string(u"2048"));
  // Ten thousand emoticons are more than a set holds: refused, not searched.
  EmoticonIndexParse tooMany = ParseEmoticonIndex(Index(10000, 10000), kFolder);
  EXPECT_EQ(tooMany.status, EmoticonIndexStatus::kBadCount);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(EmoticonFolders, NamesFollowTheScreenInEitherOrientation) {
  EXPECT_EQ(EmoticonIndexFileName(240, 320), u"Emoticon_240x320.ini");
  EXPECT_EQ(EmoticonIndexFileName(800, 480), u"Emoticon_480x800.ini");
  EXPECT_EQ(EmoticonSubFolder(320, 240), u"Emoticon_240x320\\");
  EXPECT_EQ(EmoticonSubFolder(640, 480), u"Emoticon_480x640\\");
  EXPECT_EQ(EmoticonSubFolder(240, 240), u"Emoticon_240x240\\");
  EXPECT_EQ(EmoticonSubFolder(320, 320), u"Emoticon_320x320\\");
  EXPECT_EQ(EmoticonSubFolder(480, 480), u"Emoticon_240x240\\");
  EXPECT_EQ(EmoticonSubFolder(176, 220), u"");
  EXPECT_EQ(EmoticonSubFolder(480, 800), u"Emoticon_480x800\\");
  EXPECT_EQ(EmoticonSubFolder(600, 1024), u"Emoticon_240x320\\");
}

class EmoticonDevice : public UiTest {
 protected:
  std::filesystem::path Host(std::u16string_view relative) {
    return m_device.Host(std::u16string(kFolder) + std::u16string(relative));
  }
};

TEST_F(EmoticonDevice, ANewDeviceHasTheBundledSetForEveryScreen) {
  EXPECT_EQ(ConfiguredEmoticonFolder(), kFolder);
  const struct {
    int width, height;
    std::u16string_view folder;
  } screens[] = {{240, 320, u"Emoticon_240x320\\"}, {320, 240, u"Emoticon_240x320\\"}, {480, 640, u"Emoticon_480x640\\"},
                 {240, 240, u"Emoticon_240x240\\"}, {320, 320, u"Emoticon_320x320\\"}, {480, 800, u"Emoticon_480x800\\"},
                 {176, 220, u""}};
  for (const auto& screen : screens) {
    EmoticonSet set;
    ASSERT_TRUE(set.LoadFor(kFolder, screen.width, screen.height)) << screen.width << "x" << screen.height;
    EXPECT_EQ(set.Folder(), std::u16string(kFolder) + std::u16string(screen.folder));
    ASSERT_EQ(set.Count(), 10);
    EXPECT_EQ(set.Text(0), u":-)");
    EXPECT_EQ(set.Text(7), u">:-(");
    for (int i = 0; i < set.Count(); ++i) {
      EXPECT_TRUE(std::filesystem::exists(m_device.Host(set.Picture(i).path.View()))) << set.Picture(i).path.View().size();
    }
  }
}

TEST_F(EmoticonDevice, TheFolderWithTheScreensIndexWinsThenItsSubFolderThenTheFolderItself) {
  // A 480 x 800 device whose folder holds no index for its screen looks in its sub-folder.
  EmoticonSet set;
  ASSERT_TRUE(set.LoadFor(kFolder, 800, 480));
  EXPECT_EQ(set.Folder(), std::u16string(kFolder) + u"Emoticon_480x800\\");
  // An index for the screen in the folder itself is used before the sub-folder's.
  WriteFileBytes(Host(u"Emoticon_480x800.ini"), "[GENERAL]\r\nCOUNT=1\r\n[EMOTICON1]\r\nEMOTION=:-)\r\nDYNICON=own.gif\r\n");
  ASSERT_TRUE(set.LoadFor(kFolder, 480, 800));
  EXPECT_EQ(set.Folder(), kFolder);
  EXPECT_EQ(set.Count(), 1);
  // Without the sub-folder, the folder itself, which has no index for this screen: no set.
  std::filesystem::remove_all(Host(u"Emoticon_480x640"));
  EXPECT_FALSE(set.LoadFor(kFolder, 480, 640));
  EXPECT_EQ(set.Count(), 0);
  EXPECT_EQ(set.Folder(), kFolder);
  // A damaged index empties a set that was loaded before.
  ASSERT_TRUE(set.LoadFor(kFolder, 240, 320));
  WriteFileBytes(Host(u"Emoticon_240x320\\Emoticon_240x320.ini"), "[GENERAL]\r\nCOUNT=2147483647\r\n");
  EXPECT_FALSE(set.LoadFor(kFolder, 240, 320));
  EXPECT_EQ(set.Count(), 0);
  EXPECT_EQ(set.Status(), EmoticonIndexStatus::kBadCount);
}

TEST_F(EmoticonDevice, TheConfiguredPathGetsItsBackslash) {
  ASSERT_TRUE(SetConfigString(string_setting::kEmoticonPath, u"\\Faces", FALSE));
  EXPECT_EQ(ConfiguredEmoticonFolder(), u"\\Faces\\");
}

TEST_F(EmoticonDevice, ThePlayerMarksTheLongestTextAndLeavesUnshowablePicturesAsText) {
  EmoticonPlayer player;
  EXPECT_TRUE(player.MarkText(u":-) ;-)", 16).empty()) << "no set, nothing marked";
  ASSERT_TRUE(player.LoadConfiguredSet());
  const std::u16string text = u"so >:-( then :-):-D<3 and :- )";
  const std::vector<HyperTextPicture> marks = player.MarkText(text, 16);
  ASSERT_EQ(marks.size(), 4u);
  EXPECT_EQ(marks[0].first, 3);
  EXPECT_EQ(marks[0].count, 4);  // ">:-(", not ":-(" inside it
  EXPECT_EQ(player.Set().Text(marks[0].picture), u">:-(");
  EXPECT_EQ(marks[1].first, 13);
  EXPECT_EQ(player.Set().Text(marks[2].picture), u":-D");
  EXPECT_EQ(marks[3].first, 19);
  EXPECT_EQ(marks[3].count, 2);
  // A picture that is missing or not a picture: its text stays text.
  std::filesystem::remove(Host(u"Emoticon_240x320\\smile.gif"));
  WriteFileBytes(Host(u"Emoticon_240x320\\wink.gif"), "GIF89a but nothing after");
  EmoticonPlayer damaged;
  ASSERT_TRUE(damaged.LoadConfiguredSet());
  const std::vector<HyperTextPicture> left = damaged.MarkText(u":-) ;-) :-(", 16);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].first, 8);
}

class EmoticonText : public EmoticonDevice {
 protected:
  std::vector<HyperTextRun> PictureRuns() {
    std::vector<HyperTextRun> runs;
    for (const HyperTextRun& run : m_scene.Control().Layout().Runs()) {
      if (run.picture >= 0) runs.push_back(run);
    }
    return runs;
  }
  mmsform_tool::TextViewScene m_scene;
};

TEST_F(EmoticonText, TypedEmoticonsArePicturesOnlyWithTheSettingAndTheOption) {
  const std::u16string text = u"See you at 8 :-) www.example.com ;-) late? >:-(";
  std::string error;
  ASSERT_TRUE(m_scene.Open(text, kHyperTextEmoticons, &error)) << error;
  EXPECT_TRUE(PictureRuns().empty()) << "SupportEmoticon is off on a new device";
  EXPECT_EQ(m_scene.Control().Emoticons(), nullptr);

  ASSERT_TRUE(SetConfigValue(numeric_setting::kSupportEmoticon, 1, FALSE));
  mmsform_tool::TextViewScene plain;
  ASSERT_TRUE(plain.Open(text, 0, &error)) << error;
  for (const HyperTextRun& run : plain.Control().Layout().Runs()) EXPECT_LT(run.picture, 0);

  mmsform_tool::TextViewScene shown;
  ASSERT_TRUE(shown.Open(text, kHyperTextEmoticons, &error)) << error;
  std::vector<HyperTextRun> pictures;
  for (const HyperTextRun& run : shown.Control().Layout().Runs()) {
    if (run.picture >= 0) pictures.push_back(run);
  }
  ASSERT_EQ(pictures.size(), 3u) << "one with a line-break opportunity inside it too";
  EXPECT_EQ(pictures[2].count, 4);
  const int line = shown.Control().Layout().LineHeight();
  EXPECT_EQ(pictures[0].first, 13);
  EXPECT_EQ(pictures[0].count, 3);
  EXPECT_EQ(pictures[0].rect.right - pictures[0].rect.left, line) << "a picture is as wide as a line is high";
  EXPECT_EQ(pictures[1].first, 33);
  // The link between them is still a link.
  ASSERT_EQ(shown.Control().Links().Links().size(), 1u);
}

// A set that cannot be loaded does not refuse the text: a message whose words vanish because the
// emoticon folder is damaged would be worse than emoticons shown as the text that was typed.
TEST_F(EmoticonText, AMissingSetLeavesTheTextShownWithItsEmoticonsAsText) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kSupportEmoticon, 1, FALSE));
  std::filesystem::remove_all(Host(u""));
  std::string error;
  ASSERT_TRUE(m_scene.Open(u"See you at 8 :-) www.example.com", kHyperTextEmoticons, &error)) << error;
  EXPECT_TRUE(PictureRuns().empty());
  EXPECT_FALSE(m_scene.Control().Layout().Runs().empty());
  EXPECT_EQ(m_scene.Control().Links().Links().size(), 1u);
}

}  // namespace
}  // namespace ui_test
