// Laying out and drawing a 480 x 640 screen of text the way a text view does (each paragraph
// measured with DT_CALCRECT, then drawn word-wrapped): mixed Korean, Arabic, Latin and emoji, and
// plain Latin. "warm" draws text that was drawn before; "cold" forgets every shaped run and laid-out
// paragraph first. Built unchanged against an older drawing layer (without those caches) for the
// side-by-side comparison of compare_with_base.sh.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi/gdi_api.h"
#include "platform/kernel/device.h"
#if __has_include("platform/gdi/text_layout.h")
#include "platform/gdi/text_layout.h"
#define MMSFORM_TEXT_CACHES 1
#endif

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;

const std::vector<std::u16string> kMixed = {
    u"[MMS 수신 안내] 멀티미디어 메시지가 도착했습니다. 사진 2장과 소리 파일이 있습니다 😀",
    u"مرحبا! الرسالة رقم 2024 تحتوي على صورة وملف صوتي، أرسلها أحمد أمس",
    u"Meeting moved to 15:30 👍🏽 see you at the café near the station, Åsa",
    u"오늘 저녁 7시에 만나요 🎉 장소는 시청역 2번 출구 앞입니다",
    u"شكرا جزيلا على الصور الجميلة 🌹 سأتصل بك غدا صباحا إن شاء الله",
    u"Family photos 👨‍👩‍👧‍👦 from the weekend trip to the lake, with the boat ⛵ and the dog 🐕",
};

const std::vector<std::u16string> kLatin = {
    u"Meeting moved to half past three. See you at the cafe near the station; bring the slides.",
    u"The multimedia message contains two pictures, one sound clip and a short text of greetings.",
    u"Reply to this message to confirm the booking for Saturday evening, table for four people.",
    u"Forwarded message: the weekend photos from the lake, with the boat and the dog running.",
    u"Please call back when you can. The number is in the contact card attached to this message.",
    u"Remember to buy milk, bread, apples and coffee on the way home from work tomorrow.",
};

class Screen {
 public:
  Screen() : m_root(std::filesystem::temp_directory_path() / "mmsform-bench-text") {
    platform::OpenDevice(m_root, platform::RegistrySeed::kEmpty);
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateBitmap(kWidth, kHeight, 1, 24, nullptr);
    m_previousBitmap = SelectObject(m_dc, m_bitmap);
    LOGFONTW log{};
    log.lfHeight = -24;  // 12 points at 192 dpi
    std::memcpy(log.lfFaceName, u"Tahoma", sizeof(u"Tahoma"));
    m_font = CreateFontIndirectW(&log);
    m_previousFont = SelectObject(m_dc, m_font);
    SetBkMode(m_dc, TRANSPARENT);
  }
  ~Screen() {
    SelectObject(m_dc, m_previousFont);
    SelectObject(m_dc, m_previousBitmap);
    DeleteObject(m_font);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
    platform::CloseDevice();
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
  }

  HDC Dc() const { return m_dc; }

  // One frame: the background, then paragraphs one under the other until the screen is full.
  int Draw(const std::vector<std::u16string>& paragraphs) {
    RECT all{0, 0, kWidth, kHeight};
    FillRect(m_dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    int y = 4;
    for (std::size_t i = 0; y < kHeight; ++i) {
      const std::u16string& text = paragraphs[i % paragraphs.size()];
      RECT box{4, y, kWidth - 4, y};
      DrawTextW(m_dc, text.c_str(), static_cast<int>(text.size()), &box, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
      box.right = kWidth - 4;
      DrawTextW(m_dc, text.c_str(), static_cast<int>(text.size()), &box, DT_WORDBREAK | DT_NOPREFIX);
      y = box.bottom + 6;
    }
    return y;
  }

 private:
  std::filesystem::path m_root;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HFONT m_font = nullptr;
  HGDIOBJ m_previousBitmap = nullptr;
  HGDIOBJ m_previousFont = nullptr;
};

void ForgetShaping() {
#ifdef MMSFORM_TEXT_CACHES
  platform::gdi::ClearTextLayoutCaches();
#endif
}

void TextScreen(benchmark::State& state, const std::vector<std::u16string>* paragraphs, bool cold) {
  Screen screen;
  screen.Draw(*paragraphs);  // faces opened, glyphs rendered once
  for (auto _ : state) {
    if (cold) ForgetShaping();
    benchmark::DoNotOptimize(screen.Draw(*paragraphs));
  }
}

BENCHMARK_CAPTURE(TextScreen, mixed_480x640_warm, &kMixed, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TextScreen, mixed_480x640_cold, &kMixed, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TextScreen, latin_480x640_warm, &kLatin, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TextScreen, latin_480x640_cold, &kLatin, true)->Unit(benchmark::kMillisecond);

// Hostile sizes: a paragraph without a break opportunity, wrapped between clusters, laid out cold
// each time. Four times the text should take about four times as long.
void LongParagraph(benchmark::State& state) {
  Screen screen;
  const std::u16string text(static_cast<std::size_t>(state.range(0)), u'a');
  for (auto _ : state) {
    ForgetShaping();
    RECT box{0, 0, kWidth, 0};
    benchmark::DoNotOptimize(DrawTextW(screen.Dc(), text.c_str(), static_cast<int>(text.size()), &box,
                                       DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT));
  }
  state.SetComplexityN(state.range(0));
}

BENCHMARK(LongParagraph)->RangeMultiplier(4)->Range(1 << 14, 1 << 20)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
