// The resource module holds a text for every string number the forms use; CString loads numbers
// given directly; message boxes take the transport's caption.
#include "platform/registry/registry.h"
#include "platform/window/window_api.h"
#include "transport/message_box.h"
#include "transport/resource_module.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

// Every string number the forms name, by the part of the forms that shows it.
constexpr UINT kStringNumbers[] = {
    // titles, captions, application names
    40253, 40255, 40269, 40293, 40359, 40409, 40410, 40411, 40412, 40876, 40877, 40913, 41133,
    // opening and closing forms, subject prefixes
    40249, 40250, 40273, 40274, 40336, 40337, 40339, 40370, 40377, 40479, 40628, 40629, 40720, 40730, 40905,
    40906, 40907, 40947, 40948,
    // protected content
    40372, 40751, 40752,
    // read form and playback
    40278, 40313, 40314, 40510, 40511, 40518, 40692, 40810, 41134, 41135,
    // saving objects and contacts
    40283, 40444, 40446, 40447, 40475, 40501, 40502, 40528, 40529, 40637,
    // composing
    40000, 40258, 40311, 40312, 40369, 40630, 40710, 40711, 40712, 40754, 40821, 40874, 40875, 40908, 41084,
    41123, 41124, 41161, 41162, 41163, 41164,
    // recipients
    40396, 40401, 40755, 40940, 40941, 41141, 41142,
    // sizes and content limits
    40395, 40442, 40850, 40881, 40882, 40883, 40884, 40885, 40886, 40887, 40888, 40889, 40890, 40891, 40892,
    40893, 40894, 40895, 40896, 40897, 40898, 40899, 40900, 40918,
    // send options
    40261, 40267, 40403, 40404,
    // templates
    40272, 40358, 40361, 40413, 40797, 40822, 40920, 41093,
};

TEST_F(UiTest, EveryStringNumberHasAText) {
  for (UINT id : kStringNumbers) {
    EXPECT_FALSE(transport::LoadResourceString(id).IsEmpty()) << id;
  }
}

TEST_F(UiTest, FormatStringsTakeTheArgumentsTheirCallersGive) {
  struct Case {
    UINT id;
    const char16_t* conversions;
  };
  // The conversions each caller passes, in order.
  const Case cases[] = {{40258, u"d"},   {40369, u"d"},   {40395, u"dd"},   {40396, u"d"},  {40401, u"d"},
                        {40442, u"ss"},  {40850, u"d"},   {40918, u"f"},    {41123, u"d"},  {41124, u"dd"},
                        {41141, u"sd"},  {41142, u"sd"},  {40755, u"dddd"}, {40797, u"s"},  {41093, u"ss"},
                        {40444, u"ss"}};
  for (const Case& c : cases) {
    CString text = transport::LoadResourceString(c.id);
    std::u16string found;
    for (int i = 0; i + 1 < text.GetLength(); ++i) {
      if (text[i] != u'%') continue;
      int j = i + 1;
      while (j < text.GetLength() && (text[j] == u'.' || (text[j] >= u'0' && text[j] <= u'9'))) ++j;
      if (j < text.GetLength() && text[j] != u'%') found += text[j];
      i = j;
    }
    EXPECT_EQ(found, c.conversions) << c.id;
  }
}

TEST_F(UiTest, CStringLoadsANumberOrReportsTheMissingString) {
  CString stop(reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(40518)));
  EXPECT_EQ(stop.View(), u"Stop");
  platform::automation::QueueAnswer(IDOK, u"Error Load string");
  CString missing(reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(64999)));
  EXPECT_TRUE(missing.IsEmpty());
  ASSERT_EQ(platform::automation::PromptLog().size(), 1u);
  EXPECT_EQ(platform::automation::PromptLog()[0].caption, u"Error");
}

TEST_F(UiTest, MessageBoxCaptionFollowsTheVoiceMailClass) {
  EXPECT_NE(transport::LoadResourceString(40269), transport::LoadResourceString(40253));
  platform::automation::QueueAnswer(IDYES, u"Save changes");
  EXPECT_EQ(GetMMSGlobal()->MessageBoxW(nullptr, 40874u, MB_YESNO), IDYES);
  EXPECT_EQ(platform::automation::PromptLog().back().caption, u"Messages ");
  EXPECT_EQ(platform::automation::PromptLog().back().style, MB_YESNO);

  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"\\Software\\Microsoft\\Inbox\\MsgTypes\\IPM\\VoiceMail", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  platform::automation::QueueAnswer(IDOK, u"ready text");
  EXPECT_EQ(GetMMSGlobal()->MessageBoxW(nullptr, u"A ready text", MB_OK), IDOK);
  EXPECT_EQ(platform::automation::PromptLog().back().caption, u"Voice Mail ");
  EXPECT_EQ(platform::automation::PromptLog().back().text, u"A ready text");
  // Not only captions: every load of the string follows the class.
  EXPECT_EQ(transport::LoadResourceString(40269), transport::LoadResourceString(40253));
}

TEST_F(UiTest, UiFontsComeFromTheResourceModule) {
  for (int kind : {1, 2, 4, 12, 77}) {
    HFONT font = transport::CreateUiFont(kind, 0);
    ASSERT_NE(font, nullptr) << kind;
    LOGFONTW info{};
    ASSERT_TRUE(GetObjectW(font, sizeof info, &info));
    EXPECT_EQ(std::u16string(info.lfFaceName), u"DejaVu Sans");
    EXPECT_EQ(info.lfWeight, kind == 1 ? FW_BOLD : FW_NORMAL);
    DeleteObject(font);
  }
}

}  // namespace
}  // namespace ui_test
