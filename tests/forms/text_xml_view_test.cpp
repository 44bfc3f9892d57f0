// The HTML text view: a small part with a picture, a list and links, shown in the platform's HTML
// view; taps and holds on links reach the read view as 1322 with the target as written, the
// folder as 1325; scripts, external pictures and links out of the part folder lead nowhere.
#include "forms/text_xml_view_wnd.h"

#include <cstdlib>

#include "golden_compare.h"
#include "platform/automation/automation.h"
#include "platform/controls/html_document.h"
#include "platform/controls/html_pictures.h"
#include "platform/controls/html_view.h"
#include "platform/gdi/png_file.h"
#include "platform/kernel/clock.h"
#include "platform/window/screen.h"
#include "support/json_value.h"
#include "support/sha256.h"
#include "text_view_scene.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

constexpr char kPart[] =
    "<!DOCTYPE html><html><head><title>Summer</title><script>document.write('SCRIPTED')</script></head><body>"
    "<h1>Summer party</h1>"
    "<p>Hi <b>Anna</b>, the <i>photos</i> from <u>Saturday</u> are here &amp; more &mdash; see below.</p>"
    "<img src=\"photo.png\" alt=\"a photo\"><img src=\"http://tracker.example.com/pixel.gif\" alt=\"[external]\">"
    "<ul><li>Bring <a href=\"mailto:anna@example.com\">mail</a></li>"
    "<li>Tickets at <a href=\"http://tickets.example.org/\">the site</a></li>"
    "<li>Menu: <a href=\"menu.html\">menu</a></li><li>Outside: <a href=\"../../secret.txt\">up</a></li></ul>"
    "<ol><li>first</li><li>second</li></ol><custom-tag>Unknown elements show their text</custom-tag></body></html>";

constexpr COLORREF kLinkColourForTests = RGB(0, 0, 255);
constexpr char16_t kFolder[] = u"\\My Documents\\UAContents\\7\\";

class HtmlView : public UiTest {
 protected:
  void Open() {
    const auto folder = m_device.Host(kFolder);
    std::filesystem::create_directories(folder);
    test_support::WriteFileBytes(folder / "part.html", kPart);
    test_support::WriteFileBytes(folder / "photo.png",
                                 test_support::ReadFileBytes(test_support::CorpusPath("png/basn2c08.png")));
    std::string error;
    ASSERT_TRUE(m_scene.OpenHtml(std::u16string(kFolder) + u"part.html", &error)) << error;
  }
  HWND View() { return m_scene.HtmlView().HtmlView(); }
  POINT LinkPoint(int index) {
    RECT rect{};
    EXPECT_TRUE(platform::html::LinkRectangle(View(), index, &rect));
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }

  mmsform_tool::TextViewScene m_scene;
};

TEST_F(HtmlView, TheFolderGoesToTheReadViewAndTapsComeBackAsWritten) {
  Open();
  auto notices = m_scene.TakeNotices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].message, kReadHtmlFolder);
  EXPECT_EQ(notices[0].htmlTarget, "\\My Documents\\UAContents\\7\\");
  ASSERT_EQ(platform::html::LinkCount(View()), 4);
  const char* const targets[] = {"mailto:anna@example.com", "http://tickets.example.org/", "menu.html",
                                 "../../secret.txt"};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(platform::automation::Tap(LinkPoint(i)));
    notices = m_scene.TakeNotices();
    ASSERT_EQ(notices.size(), 1u) << targets[i];
    EXPECT_EQ(notices[0].message, kReadHtmlLink);
    EXPECT_EQ(notices[0].htmlCode, NM_HOTSPOT);
    EXPECT_EQ(notices[0].htmlTarget, targets[i]);
  }
  // The view follows no link: what it shows is still the same part.
  EXPECT_EQ(platform::html::LinkCount(View()), 4);
}

// A WAP-style XHTML part, with its XML declaration and document type, shows as HTML does.
TEST_F(HtmlView, AnXhtmlPartGoesThroughTheSameView) {
  const auto folder = m_device.Host(kFolder);
  std::filesystem::create_directories(folder);
  const std::string part =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html PUBLIC \"-//WAPFORUM//DTD XHTML Mobile 1.0//EN\" "
      "\"http://www.wapforum.org/DTD/xhtml-mobile10.dtd\">\n<html xmlns=\"http://www.w3.org/1999/xhtml\"><head>"
      "<title>T</title></head><body><p>Menu <a href=\"http://m.example.com/\">here</a><br/>"
      "K\xC3\xA4y <b>my\xC3\xB6s</b></p></body></html>";
  test_support::WriteFileBytes(folder / "part.xhtml", part);
  std::string error;
  ASSERT_TRUE(m_scene.OpenHtml(std::u16string(kFolder) + u"part.xhtml", &error)) << error;
  ASSERT_EQ(platform::html::LinkCount(View()), 1);
  m_scene.TakeNotices();
  ASSERT_TRUE(platform::automation::Tap(LinkPoint(0)));
  const auto notices = m_scene.TakeNotices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].htmlTarget, "http://m.example.com/");
  std::u16string all;
  for (const auto& block : platform::html::ParseHtml(part).blocks) {
    for (const auto& run : block.runs) all += run.text;
  }
  EXPECT_EQ(all.find(u"xml version"), std::u16string::npos);
  EXPECT_NE(all.find(u"K\u00E4y my\u00F6s"), std::u16string::npos);
}

TEST_F(HtmlView, AHeldLinkAsksForItsMenuWithThePoint) {
  Open();
  m_scene.TakeNotices();
  const POINT at = LinkPoint(1);
  ASSERT_TRUE(platform::automation::MouseDown(at));
  platform::automation::MouseUp(at);
  const auto notices = m_scene.TakeNotices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].htmlCode, NM_CONTEXTMENU);
  EXPECT_EQ(notices[0].htmlTarget, "http://tickets.example.org/");
  EXPECT_EQ(notices[0].htmlPoint.x, at.x);
  EXPECT_EQ(notices[0].htmlPoint.y, at.y);
}

TEST_F(HtmlView, TapsBesideLinksSayNothing) {
  Open();
  m_scene.TakeNotices();
  ASSERT_TRUE(platform::automation::Tap(POINT{5, GetSystemMetrics(SM_CYSCREEN) - 5}));
  EXPECT_TRUE(m_scene.TakeNotices().empty());
}

// Words longer than the view is wide (a long address, letters with accents and no break) are cut
// between clusters onto lines of their own: nothing is laid out past the right edge, and a cut link
// stays tappable.
TEST_F(HtmlView, LongWordsAreCutToTheViewsWidth) {
  const auto folder = m_device.Host(kFolder);
  std::filesystem::create_directories(folder);
  std::string accented;
  for (int i = 0; i < 150; ++i) accented += "e\xCC\x81";
  test_support::WriteFileBytes(folder / "long.html",
                               "<p>Start " + std::string(400, 'w') + " end</p><p><a href=\"x\">http://example.com/" +
                                   std::string(300, 'a') + "</a></p><h1>" + accented + "</h1>");
  std::string error;
  ASSERT_TRUE(m_scene.OpenHtml(std::u16string(kFolder) + u"long.html", &error)) << error;
  RECT client{};
  GetClientRect(View(), &client);
  const RECT bounds = platform::html::ContentBounds(View());
  EXPECT_LE(bounds.right, client.right);
  EXPECT_GT(bounds.bottom - bounds.top, 8 * 12);  // several lines each
  RECT link{};
  ASSERT_TRUE(platform::html::LinkRectangle(View(), 0, &link));
  POINT corner{0, 0};
  ClientToScreen(View(), &corner);
  EXPECT_GT(link.right, link.left);
  EXPECT_LE(link.right - corner.x, client.right);
}

// A picture of the part's own folder is decoded and drawn at its own size (it fits); one that
// is not a picture keeps its framed place; one larger than the view is fitted to its width.
TEST_F(HtmlView, PicturesOfTheOwnFolderAreDecodedAndFitted) {
  const auto folder = m_device.Host(kFolder);
  std::filesystem::create_directories(folder);
  test_support::WriteFileBytes(folder / "small.png", test_support::ReadFileBytes(test_support::CorpusPath("png/basn2c08.png")));
  test_support::WriteFileBytes(folder / "broken.png", "\x89PNG\r\n\x1A\n not really");
  test_support::WriteFileBytes(folder / "pics.html",
                               "<p>Pictures</p><img src=\"small.png\"><img src=\"broken.png\"><img src=\"missing.jpg\">");
  std::string error;
  ASSERT_TRUE(m_scene.OpenHtml(std::u16string(kFolder) + u"pics.html", &error)) << error;
  EXPECT_EQ(platform::html::PicturesShown(View()), 1);
  // The drawn picture is the file's 32 x 32: three bands of colour gradients 8 rows each above a
  // grey one.
  HWND child = GetWindow(View(), GW_CHILD);
  UpdateWindow(child);
  HDC dc = GetDC(child);
  int coloured = 0, firstRow = -1, lastRow = -1;
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 60; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c)) continue;
      if (c == kLinkColourForTests) continue;
      ++coloured;
      if (firstRow < 0) firstRow = y;
      lastRow = y;
    }
  }
  ReleaseDC(child, dc);
  EXPECT_GE(coloured, 24 * 32 * 9 / 10);
  EXPECT_EQ(lastRow - firstRow + 1, 24);
}

// A picture larger than the view comes out the view's width at most, its aspect kept.
TEST(HtmlPictures, LargePicturesAreFittedAndBadOnesRefused) {
  test_support::TestDevice device;
  const auto folder = device.Host(u"\\My Documents\\");
  std::filesystem::create_directories(folder);
  test_support::WriteFileBytes(folder / "p.png", test_support::ReadFileBytes(test_support::CorpusPath("png/basn2c08.png")));
  HBITMAP fitted = platform::html::DecodePicture(folder / "p.png", 16, 100);
  ASSERT_NE(fitted, nullptr);
  BITMAP info{};
  GetObjectW(fitted, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 16);
  EXPECT_EQ(info.bmHeight, 16);
  DeleteObject(fitted);
  HBITMAP whole = platform::html::DecodePicture(folder / "p.png", 500, 500);  // never enlarged
  ASSERT_NE(whole, nullptr);
  GetObjectW(whole, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 32);
  DeleteObject(whole);
  test_support::WriteFileBytes(folder / "cut.png", test_support::ReadFileBytes(test_support::CorpusPath("png/basn2c08.png")).substr(0, 60));
  EXPECT_EQ(platform::html::DecodePicture(folder / "cut.png", 100, 100), nullptr);
  EXPECT_EQ(platform::html::DecodePicture(folder / "none.png", 100, 100), nullptr);
  EXPECT_EQ(platform::html::DecodePicture(folder / "p.png", 0, 100), nullptr);
}

TEST(HtmlDocument, ScriptsExternalPicturesAndStructure) {
  const platform::html::Document document = platform::html::ParseHtml(kPart);
  std::u16string all;
  int pictures = 0;
  for (const auto& block : document.blocks) {
    pictures += !block.picture.empty();
    all += block.marker;
    for (const auto& run : block.runs) all += run.text + u"|";
  }
  EXPECT_EQ(all.find(u"SCRIPTED"), std::u16string::npos);
  EXPECT_EQ(all.find(u"Summer|"), std::u16string::npos);  // the title is the head's, not shown
  EXPECT_NE(all.find(u"Summer party"), std::u16string::npos);
  EXPECT_NE(all.find(u"& more \u2014 see below."), std::u16string::npos);  // character references
  EXPECT_NE(all.find(u"[external]"), std::u16string::npos);  // an external picture: its alt text only
  EXPECT_EQ(pictures, 1);
  EXPECT_NE(all.find(u"2. second"), std::u16string::npos);
  EXPECT_NE(all.find(u"Unknown elements show their text"), std::u16string::npos);
  EXPECT_EQ(document.blocks[0].heading, 1);
}

struct PictureCase {
  const char* source;
  bool local;
};

TEST(HtmlDocument, OnlyPicturesOfTheOwnFolderAreLocal) {
  const PictureCase cases[] = {
      {"photo.png", true}, {"pics/a.jpg", true}, {"../a.jpg", false}, {"pics/../../a.jpg", false},
      {"/a.jpg", false}, {"\\windows\\a.bmp", false}, {"http://x/a.gif", false}, {"file:///a.png", false},
      {"C:a.png", false}, {"", false}, {"a.png?x=1:2", true},
  };
  for (const PictureCase& c : cases) EXPECT_EQ(platform::html::IsLocalPicture(c.source), c.local) << c.source;
}

TEST(HtmlDocument, DeepOrUnclosedNestingStaysBounded) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<div>";
  deep += "deep text";
  const auto document = platform::html::ParseHtml(deep);
  bool found = false;
  for (const auto& block : document.blocks) {
    for (const auto& run : block.runs) found = found || run.text.find(u"deep text") != std::u16string::npos;
  }
  EXPECT_TRUE(found);
  std::string unclosed;
  for (int i = 0; i < 20000; ++i) unclosed += "<b><i><u><p><ul><li><a href=x>t";
  const auto second = platform::html::ParseHtml(unclosed);
  EXPECT_FALSE(second.blocks.empty());
  EXPECT_LE(second.links.size(), 20000u);
  const auto longLink = platform::html::ParseHtml("<a href=\"" + std::string(5000, 'a') + "\">x</a>");
  ASSERT_EQ(longLink.links.size(), 1u);
  EXPECT_EQ(longLink.links[0].size(), platform::html::kMaxLinkTarget);
}

class HtmlGolden : public HtmlView, public ::testing::WithParamInterface<platform::window::ScreenGeometry> {};

TEST_P(HtmlGolden, APartWithAPictureAListAndLinksMatchesItsReference) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  Open();
  const std::string size = std::to_string(screen.width) + "x" + std::to_string(screen.height);
  const std::filesystem::path drawn = test_support::BinaryPath("ui-pictures/" + size);
  const std::filesystem::path references = test_support::SourcePath("tests/ui/golden/" + size);
  std::filesystem::create_directories(drawn);
  std::string error;
  const std::string name = "html_part.png";
  ASSERT_TRUE(platform::automation::Screenshot(drawn / name, &error)) << error;
  EXPECT_TRUE(MatchesReference(drawn, references, name));
}

INSTANTIATE_TEST_SUITE_P(Densities, HtmlGolden,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
}  // namespace ui_test

namespace {

// The red-green-blue triplets of a 24-bit top-down DIB section, row by row.
std::vector<uint8_t> RgbOf(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  std::vector<uint8_t> rgb;
  const auto* bits = static_cast<const uint8_t*>(info.bmBits);
  for (int y = 0; bits != nullptr && y < info.bmHeight; ++y) {
    const uint8_t* row = bits + static_cast<std::size_t>(y) * info.bmWidthBytes;
    for (int x = 0; x < info.bmWidth; ++x) rgb.insert(rgb.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
  }
  return rgb;
}

}  // namespace

// A GIF in a page shows its first frame at its own size; the pixels are those another decoder
// finds in the corpus pictures, an animation's later frames left out.
TEST(HtmlPictures, GifPicturesShowTheirFirstFrameAndHostileScreensAreRefused) {
  test_support::TestDevice device;
  const auto folder = device.Host(u"\\My Documents\\");
  std::filesystem::create_directories(folder);
  for (const std::string name : {"mmsd-con-210-p2.gif", "pm-btmms-p2-animated.gif"}) {
    SCOPED_TRACE(name);
    test_support::WriteFileBytes(folder / name, test_support::ReadFileBytes(test_support::CorpusPath("gif/" + name)));
    const json_test::Value expected = json_test::Reader(test_support::ReadFileBytes(
        test_support::CorpusPath("expected/" + name + ".image.json"))).Parse();
    HBITMAP bitmap = platform::html::DecodePicture(folder / name, 1000, 1000);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, expected["header"]["ImageWidth"].number);
    EXPECT_EQ(info.bmHeight, expected["header"]["ImageHeight"].number);
    EXPECT_EQ(test_support::Sha256Hex(RgbOf(bitmap)), expected["frames"].items.at(0)["rgb_sha256"].text);
    DeleteObject(bitmap);
  }
  // A frame that covers only part of its screen: the rest is the page's white.
  const std::string part("GIF89a\x02\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF"
                         "\x2C\x01\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B", 35);
  test_support::WriteFileBytes(folder / "part.gif", part);
  HBITMAP partial = platform::html::DecodePicture(folder / "part.gif", 100, 100);
  ASSERT_NE(partial, nullptr);
  EXPECT_EQ(RgbOf(partial), (std::vector<uint8_t>{255, 255, 255, 0, 0, 0}));
  DeleteObject(partial);
  // One black pixel on a screen that claims 65535 x 65535: nothing is decoded, nothing allocated.
  const std::string huge("GIF89a\xFF\xFF\xFF\xFF\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF"
                         "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B", 35);
  test_support::WriteFileBytes(folder / "huge.gif", huge);
  EXPECT_EQ(platform::html::DecodePicture(folder / "huge.gif", 100, 100), nullptr);
}
