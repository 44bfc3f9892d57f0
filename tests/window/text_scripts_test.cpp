// Text in many scripts: every run shaped as HarfBuzz's own hb-shape tool shapes the same text with
// the same face, no missing glyphs, the faces of the expected kinds, right-to-left runs in their
// visual order, and pictures of the whole table wrapped at both screen widths.
#include "window_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_raii.h"
#include "platform/gdi/png_file.h"
#include "platform/gdi/text_block.h"
#include "platform/gdi/text_render.h"

namespace window_test {
namespace {

using platform::gdi::DrawnGlyph;
using platform::gdi::MemoryDc;
using platform::gdi::UniqueBitmap;
using platform::gdi::UniqueFont;

struct Sample {
  const char* name;
  std::u16string text;
  const char* faces;           // every glyph comes from a face whose file name matches this
  std::vector<int> leftToRight;  // text positions whose glyphs lie left to right in this order
};

// Visual orders worked out by hand from UAX #9: a paragraph takes its first strong character's
// direction; digits inside right-to-left text keep their own order.
const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = {
      {"korean", u"안녕하세요, 멀티미디어 메시지입니다.", "wqy-microhei|NotoSansCJK|DejaVuSans\\.ttf", {0, 4, 7}},
      {"chinese", u"你好，这是一条彩信。", "wqy-microhei|NotoSansCJK", {0, 9}},
      {"japanese", u"こんにちは、カタカナと漢字のメッセージです。", "wqy-microhei|NotoSansCJK", {0, 6, 11}},
      // رقم الهاتف 0123456789 متاح: the last word leftmost, the digits left to right, the first word rightmost.
      {"arabic_digits", u"رقم الهاتف 0123456789 متاح", "DejaVuSans\\.ttf|NotoSansArabic|NotoNaskhArabic",
       {25, 22, 11, 20, 9, 4, 2, 0}},
      // שלום MMS world עולם: Latin inside keeps its order between the two Hebrew words.
      {"hebrew_latin", u"שלום MMS world עולם", "DejaVuSans\\.ttf|NotoSansHebrew", {18, 15, 5, 13, 3, 0}},
      {"hindi", u"नमस्ते, यह क्षेत्र हिन्दी है", "NotoSansDevanagari|DejaVuSans\\.ttf", {0, 8, 11}},
      {"thai", u"สวัสดีครับ ยินดีต้อนรับ", "NotoSansThai|NotoSerifThai|NotoLoopedThai|DejaVuSans\\.ttf", {0, 6, 11}},
      {"greek", u"Καλημέρα κόσμε, ελληνικά", "DejaVuSans\\.ttf", {0, 9, 16}},
      {"cyrillic", u"Привет, мир! Ёжик в тумане", "DejaVuSans\\.ttf", {0, 8, 13}},
      {"emoji", u"Hi 👋🏽 family 👨‍👩‍👧‍👦 ❤️ 🇫🇮 ok", "NotoColorEmoji|DejaVuSans\\.ttf", {0, 3, 15, 27, 30, 35}},
      {"combining", u"Ångström e\u0301 a\u0308\u0304 q\u0323\u0307 Z\u0335", "DejaVuSans\\.ttf", {0, 9, 12, 16, 20}},
      // Longer paragraphs, so that the pictures show lines wrapped in each kind of script.
      {"korean_long", u"멀티미디어 메시지는 사진과 소리와 글을 한 번에 보냅니다. 긴 문장은 화면 너비에 맞게 줄이 바뀝니다.",
       "wqy-microhei|NotoSansCJK|DejaVuSans\\.ttf", {0, 6}},
      {"thai_long", u"ภาษาไทยเขียนติดกันโดยไม่มีช่องว่างระหว่างคำ แต่ตัดบรรทัดได้ที่ขอบเขตของคำ",
       "NotoSansThai|NotoSerifThai|NotoLoopedThai|DejaVuSans\\.ttf", {0, 4}},
      {"arabic_long", u"هذه رسالة وسائط متعددة تلتف على عدة أسطر بترتيبها الصحيح من اليمين إلى اليسار",
       "DejaVuSans\\.ttf|NotoSansArabic|NotoNaskhArabic", {8, 4, 2, 0}},
      // Korean, Arabic inside left-to-right text, emoji: the Arabic word reads right to left in place.
      {"mixed", u"MMS 한국어 عربي 😀 fin", "wqy-microhei|NotoSansCJK|DejaVuSans\\.ttf|NotoColorEmoji",
       {0, 4, 11, 8, 13, 16}},
  };
  return samples;
}

class ScriptsTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    m_bitmap.Reset(CreateBitmap(8, 8, 1, 24, nullptr));
    m_previous = SelectObject(m_dc.Get(), m_bitmap.Get());
    SelectObject(m_dc.Get(), Font(16));
  }
  void TearDown() override {
    SelectObject(m_dc.Get(), m_previous);
    WindowTest::TearDown();
  }
  HFONT Font(int pixels) {
    LOGFONTW log{};
    log.lfHeight = -pixels;
    std::memcpy(log.lfFaceName, u"Tahoma", sizeof(u"Tahoma"));
    m_fonts.emplace_back(CreateFontIndirectW(&log));
    return m_fonts.back().Get();
  }
  platform::gdi::FontSet& Fonts() const {
    return *platform::gdi::FindObject(m_fonts.back().Get(), platform::gdi::ObjectKind::kFont)->font;
  }
  std::vector<DrawnGlyph> OneLine(const std::u16string& text) const {
    return platform::gdi::DrawTextGlyphs(m_dc.Get(), text, RECT{0, 0, 100000, 100}, DT_SINGLELINE | DT_NOPREFIX);
  }

  MemoryDc m_dc{nullptr};
  UniqueBitmap m_bitmap;
  HGDIOBJ m_previous = nullptr;
  std::vector<UniqueFont> m_fonts;
};

std::string Hex(const std::u16string& text, std::size_t from, std::size_t to) {
  std::string out;
  for (std::size_t i = from; i < to;) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s%X", out.empty() ? "" : ",",
                  static_cast<unsigned>(platform::gdi::NextCodePoint(text, &i)));
    out += buffer;
  }
  return out;
}

// At most `count` characters of context, as HarfBuzz takes them.
std::size_t BackCharacters(const std::u16string& text, std::size_t position, int count) {
  while (position > 0 && count-- > 0) {
    --position;
    if (position > 0 && text[position] >= 0xDC00 && text[position] <= 0xDFFF && text[position - 1] >= 0xD800 &&
        text[position - 1] <= 0xDBFF) {
      --position;
    }
  }
  return position;
}
std::size_t ForwardCharacters(const std::u16string& text, std::size_t position, int count) {
  while (position < text.size() && count-- > 0) platform::gdi::NextCodePoint(text, &position);
  return position;
}

std::string ScriptTag(std::uint32_t script) {
  return {static_cast<char>(script >> 24), static_cast<char>(script >> 16), static_cast<char>(script >> 8),
          static_cast<char>(script)};
}

// hb-shape's glyphs and clusters for a run, as "glyph=cluster" pairs.
std::string HbShape(const std::u16string& text, const platform::gdi::Paragraph::RunView& run) {
  std::string command = "hb-shape --no-glyph-names --no-positions --font-file='" + run.font->Source().file.string() +
                        "' --face-index=" + std::to_string(run.font->Source().index) +
                        " --direction=" + (run.rightToLeft ? "rtl" : "ltr") + " --script=" + ScriptTag(run.script) +
                        " --unicodes=" + Hex(text, run.start, run.end);
  std::size_t before = BackCharacters(text, run.start, 5), after = ForwardCharacters(text, run.end, 5);
  if (before < run.start) command += " --unicodes-before=" + Hex(text, before, run.start);
  if (after > run.end) command += " --unicodes-after=" + Hex(text, run.end, after);
  if (run.start == 0) command += " --bot";
  if (run.end == text.size()) command += " --eot";
  std::string output;
  if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    pclose(pipe);
  }
  while (!output.empty() && (output.back() == '\n' || output.back() == ']')) output.pop_back();
  if (!output.empty() && output.front() == '[') output.erase(0, 1);
  return output;
}

// Ours in the same form: clusters counted in characters from the run's start.
std::string Ours(const std::u16string& text, const platform::gdi::Paragraph::RunView& run) {
  std::string out;
  for (const platform::gdi::ShapedGlyph& glyph : *run.glyphs) {
    std::size_t characters = 0;
    for (std::size_t i = run.start; i < glyph.cluster; ++characters) platform::gdi::NextCodePoint(text, &i);
    out += (out.empty() ? "" : "|") + std::to_string(glyph.index) + "=" + std::to_string(characters);
  }
  return out;
}

TEST_F(ScriptsTest, EveryRunIsShapedAsHarfBuzzShapesIt) {
  ASSERT_EQ(std::system("hb-shape --version >/dev/null 2>&1"), 0) << "hb-shape (libharfbuzz-bin) is needed";
  for (const Sample& sample : Samples()) {
    auto paragraph = platform::gdi::AnalyseParagraph(Fonts(), sample.text);
    ASSERT_FALSE(paragraph->Runs().empty()) << sample.name;
    for (const auto& run : paragraph->Runs()) {
      const std::string expected = HbShape(sample.text, run);
      ASSERT_NE(expected.find('='), std::string::npos) << sample.name << ": hb-shape said " << expected;
      EXPECT_EQ(Ours(sample.text, run), expected)
          << sample.name << " [" << run.start << ", " << run.end << ") in " << run.font->Source().file;
    }
  }
}

TEST_F(ScriptsTest, NoMissingGlyphsAndTheExpectedFaces) {
  for (const Sample& sample : Samples()) {
    const std::regex faces(sample.faces);
    std::vector<DrawnGlyph> glyphs = OneLine(sample.text);
    ASSERT_FALSE(glyphs.empty()) << sample.name;
    for (const DrawnGlyph& glyph : glyphs) {
      EXPECT_NE(glyph.glyph, 0u) << sample.name << " at " << glyph.cluster << " in " << glyph.font;
      EXPECT_TRUE(std::regex_search(glyph.font.filename().string(), faces))
          << sample.name << " at " << glyph.cluster << " drawn with " << glyph.font;
    }
  }
}

TEST_F(ScriptsTest, RightToLeftRunsAreInVisualOrder) {
  for (const Sample& sample : Samples()) {
    std::vector<DrawnGlyph> glyphs = OneLine(sample.text);
    int previous = -1;
    for (int position : sample.leftToRight) {
      auto glyph = std::find_if(glyphs.begin(), glyphs.end(),
                                [&](const DrawnGlyph& g) { return g.cluster == static_cast<std::uint32_t>(position); });
      ASSERT_NE(glyph, glyphs.end()) << sample.name << ": nothing drawn for " << position;
      EXPECT_GT(glyph->x, previous) << sample.name << ": " << position << " out of order";
      previous = glyph->x;
    }
  }
}

// The table drawn as the text view draws it, one sample under the other, at each screen's width
// and density; kept under the build folder and compared with tests/window/golden/.
class ScriptPictures : public ScriptsTest, public ::testing::WithParamInterface<int> {};

TEST_P(ScriptPictures, TableMatchesTheReference) {
  const int width = GetParam();
  const int pixels = width == 240 ? 12 : 24;
  SelectObject(m_dc.Get(), Font(pixels));
  constexpr UINT kFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;
  const int gap = pixels / 2;
  int height = 0;
  for (const Sample& sample : Samples()) {
    RECT r{0, 0, width, 0};
    height += DrawTextW(m_dc.Get(), sample.text.c_str(), -1, &r, kFormat | DT_CALCRECT) + gap;
  }
  UniqueBitmap picture(CreateBitmap(width, height, 1, 24, nullptr));
  SelectObject(m_dc.Get(), picture.Get());
  RECT all{0, 0, width, height};
  FillRect(m_dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(m_dc.Get(), TRANSPARENT);
  int y = 0;
  for (const Sample& sample : Samples()) {
    RECT r{0, y, width, height};
    y += DrawTextW(m_dc.Get(), sample.text.c_str(), -1, &r, kFormat);
    RECT rule{0, y + gap / 2, width, y + gap / 2 + 1};
    FillRect(m_dc.Get(), &rule, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    y += gap;
  }
  const std::string name = "scripts_" + std::to_string(width) + ".png";
  std::filesystem::path drawn = test_support::BinaryPath("window-pictures/" + name);
  std::filesystem::create_directories(drawn.parent_path());
  const auto* bitmap = platform::gdi::FindObject(picture.Get(), platform::gdi::ObjectKind::kBitmap);
  ASSERT_TRUE(platform::gdi::WritePng(*bitmap->surface, drawn));
  SelectObject(m_dc.Get(), m_bitmap.Get());
  std::filesystem::path reference = test_support::SourcePath("tests/window/golden/" + name);
  if (std::getenv("MMSFORM_UPDATE_GOLDEN")) {
    std::filesystem::copy_file(drawn, reference, std::filesystem::copy_options::overwrite_existing);
  }
  std::string error;
  auto expected = platform::gdi::ReadPng(reference, &error);
  ASSERT_TRUE(expected) << reference << ": " << error;
  auto actual = platform::gdi::ReadPng(drawn, &error);
  ASSERT_TRUE(actual) << error;
  ExpectLikeReference(*actual, *expected, drawn);
}

INSTANTIATE_TEST_SUITE_P(Widths, ScriptPictures, ::testing::Values(240, 480),
                         [](const auto& info) { return std::to_string(info.param); });

// Lines of drawn glyphs, top to bottom, each with its glyphs in drawing order.
std::vector<std::vector<DrawnGlyph>> Lines(const std::vector<DrawnGlyph>& glyphs) {
  std::vector<std::vector<DrawnGlyph>> lines;
  for (const DrawnGlyph& glyph : glyphs) {
    if (lines.empty() || lines.back().front().y != glyph.y) lines.emplace_back();
    lines.back().push_back(glyph);
  }
  return lines;
}

std::uint32_t FirstCluster(const std::vector<DrawnGlyph>& line) {
  return std::min_element(line.begin(), line.end(), [](const DrawnGlyph& a, const DrawnGlyph& b) {
           return a.cluster < b.cluster;
         })->cluster;
}

TEST_F(ScriptsTest, LinesBreakWhereTheScriptAllows) {
  struct Case {
    const char* name;
    std::u16string text;
    int width;
    UINT format;
    std::vector<std::uint32_t> starts;  // where a line may start (besides 0); empty: anywhere
    std::uint32_t period;               // or: lines start at multiples of this
  };
  const std::u16string family = u"\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466";
  const std::vector<Case> cases = {
      // No spaces: Chinese breaks between any two characters, even without DT_EDITCONTROL.
      {"chinese", u"你好这是一条彩信你好这是一条彩信", 60, DT_WORDBREAK, {}, 1},
      // Thai breaks only where the dictionary ends a word: สวัสดี|ครับ|ยินดี|ต้อนรับ.
      {"thai", u"สวัสดีครับยินดีต้อนรับ", 50, DT_WORDBREAK, {6, 10, 15}, 0},
      // Emoji sequences of 11 units stay whole even when a word must be split.
      {"family", family + family + family + family, 30, DT_WORDBREAK | DT_EDITCONTROL, {}, 11},
      {"accents", u"e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301", 20, DT_WORDBREAK | DT_EDITCONTROL, {}, 2},
  };
  for (const Case& c : cases) {
    auto lines = Lines(platform::gdi::DrawTextGlyphs(m_dc.Get(), c.text, RECT{0, 0, c.width, 1000}, c.format | DT_NOPREFIX));
    EXPECT_GT(lines.size(), 1u) << c.name;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::uint32_t start = FirstCluster(lines[i]);
      if (c.period) {
        EXPECT_EQ(start % c.period, 0u) << c.name << " line " << i << " starts at " << start;
      } else {
        EXPECT_NE(std::find(c.starts.begin(), c.starts.end(), start), c.starts.end())
            << c.name << " line " << i << " starts at " << start;
      }
      const int right = lines[i].back().x;
      EXPECT_LE(right, c.width) << c.name;
    }
  }
}

TEST_F(ScriptsTest, RightToLeftLinesWrapInTheirOwnOrder) {
  const std::u16string text = u"אחת שתיים שלוש ארבע חמש שש שבע שמונה";
  auto lines = Lines(platform::gdi::DrawTextGlyphs(m_dc.Get(), text, RECT{0, 0, 90, 1000}, DT_WORDBREAK | DT_NOPREFIX));
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(FirstCluster(lines[0]), 0u);  // the first words on the first line
  std::uint32_t previousStart = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::uint32_t first = FirstCluster(lines[i]);
    if (i > 0) EXPECT_GT(first, previousStart);
    previousStart = first;
    // Right to left: the line's first character is its rightmost glyph.
    auto rightmost = std::max_element(lines[i].begin(), lines[i].end(),
                                      [](const DrawnGlyph& a, const DrawnGlyph& b) { return a.x < b.x; });
    EXPECT_EQ(rightmost->cluster, first) << "line " << i;
  }
}

TEST_F(ScriptsTest, ExtentsMeasureWhatIsDrawn) {
  for (const Sample& sample : Samples()) {
    const int count = static_cast<int>(sample.text.size());
    SIZE extent{};
    ASSERT_TRUE(GetTextExtentPoint32W(m_dc.Get(), sample.text.c_str(), count, &extent));
    RECT measured{0, 0, 0, 0};
    DrawTextW(m_dc.Get(), sample.text.c_str(), count, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(measured.right, extent.cx) << sample.name;
    std::vector<INT> dx(sample.text.size());
    INT fit = 0;
    SIZE all{};
    ASSERT_TRUE(GetTextExtentExPointW(m_dc.Get(), sample.text.c_str(), count, extent.cx / 2, &fit, dx.data(), &all));
    EXPECT_EQ(all.cx, extent.cx) << sample.name;
    EXPECT_EQ(dx.back(), extent.cx) << sample.name;
    EXPECT_TRUE(std::is_sorted(dx.begin(), dx.end())) << sample.name;
    EXPECT_GT(fit, 0) << sample.name;
    EXPECT_LT(fit, count) << sample.name;
    EXPECT_LE(dx[static_cast<std::size_t>(fit) - 1], extent.cx / 2) << sample.name;
    // The drawn line ends where the extent says.
    std::vector<DrawnGlyph> glyphs = OneLine(sample.text);
    EXPECT_LE(std::max_element(glyphs.begin(), glyphs.end(),
                               [](const DrawnGlyph& a, const DrawnGlyph& b) { return a.x < b.x; })->x,
              extent.cx)
        << sample.name;
  }
}

TEST_F(ScriptsTest, ClustersFitWholeOrNotAtAll) {
  const std::u16string text = u"e\u0301e\u0301x";
  std::vector<INT> dx(text.size());
  SIZE size{};
  INT fit = 0;
  for (int limit = 0; limit < 60; ++limit) {
    ASSERT_TRUE(GetTextExtentExPointW(m_dc.Get(), text.c_str(), 5, limit, &fit, dx.data(), &size));
    EXPECT_TRUE(fit == 0 || fit == 2 || fit == 4 || fit == 5) << "fit " << fit << " at " << limit;
  }
  EXPECT_EQ(dx[0], dx[1]);
  EXPECT_EQ(dx[2], dx[3]);
  EXPECT_LT(dx[1], dx[3]);
  EXPECT_EQ(dx[4], size.cx);
}

// Hostile text: none of it may crash, and the long ones finish in linear time (a quadratic step
// over a million characters would not finish within the test's time).
TEST_F(ScriptsTest, HostileTextIsDrawnAndMeasured) {
  std::u16string nested;
  for (int i = 0; i < 200; ++i) nested += (i % 2 ? u"\u202Aa" : u"\u202Bب");
  nested += u"x";
  for (int i = 0; i < 200; ++i) nested += u"\u202C";
  std::u16string isolates;
  for (int i = 0; i < 200; ++i) isolates += (i % 2 ? u"\u2066a " : u"\u2067ب ");
  std::u16string controls;
  for (char16_t c = 0; c < 0x20; ++c) controls += c, controls += u'k';
  const std::vector<std::pair<const char*, std::u16string>> cases = {
      {"lone surrogates", std::u16string{0xD800, u'a', 0xDC00, 0xDBFF, 0xDBFF, 0xDFFF, 0xDC00}},
      {"marks on one base", u"a" + std::u16string(10000, u'\u0301')},
      {"marks without a base", std::u16string(10000, u'\u0E49')},
      {"no break opportunity", std::u16string(1000000, u'a')},
      {"nested embeddings", nested},
      {"nested isolates", isolates},
      {"controls", controls},
  };
  UniqueBitmap canvas(CreateBitmap(240, 320, 1, 24, nullptr));
  SelectObject(m_dc.Get(), canvas.Get());
  for (const auto& [name, text] : cases) {
    for (UINT format : {DT_SINGLELINE, DT_WORDBREAK, DT_WORDBREAK | DT_EDITCONTROL}) {
      RECT r{0, 0, 240, 320};
      RECT measured = r;
      int height = DrawTextW(m_dc.Get(), text.c_str(), static_cast<int>(text.size()), &measured,
                             format | DT_CALCRECT | DT_NOPREFIX);
      EXPECT_GT(height, 0) << name;
      EXPECT_EQ(DrawTextW(m_dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, format | DT_NOPREFIX), height)
          << name;
    }
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32W(m_dc.Get(), text.c_str(), static_cast<int>(text.size()), &size)) << name;
    EXPECT_TRUE(ExtTextOutW(m_dc.Get(), 0, 0, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr));
  }
  SelectObject(m_dc.Get(), m_bitmap.Get());
  // A million characters without a break: whole with word break, split to the width with edit breaking.
  const std::u16string& longest = cases[3].second;
  SIZE one{};
  GetTextExtentPoint32W(m_dc.Get(), u"aaaa", 4, &one);
  TEXTMETRICW metrics{};
  GetTextMetricsW(m_dc.Get(), &metrics);
  RECT r{0, 0, 240, 0};
  EXPECT_EQ(DrawTextW(m_dc.Get(), longest.c_str(), -1, &r, DT_WORDBREAK | DT_CALCRECT), metrics.tmHeight);
  const int perLine = 240 / (one.cx / 4);
  const int lines = (1000000 + perLine - 1) / perLine;
  r = {0, 0, 240, 0};
  EXPECT_EQ(DrawTextW(m_dc.Get(), longest.c_str(), -1, &r, DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT),
            lines * metrics.tmHeight);
}

}  // namespace
}  // namespace window_test
