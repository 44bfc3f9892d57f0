// Lays out and draws arbitrary UTF-16LE text (as text parts are kept: lone surrogates, controls,
// direction overrides and marks included) through every text call of the drawing layer, at a width
// taken from the input. Measured and drawn must agree, and nothing may read or write out of bounds.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi/gdi_api.h"
#include "platform/gdi/text_block.h"
#include "platform/gdi/text_caret.h"
#include "platform/kernel/device.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

HDC g_dc = nullptr;
HFONT g_fonts[2] = {};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const auto root = std::filesystem::temp_directory_path() / "mmsform-fuzz-text";
  std::filesystem::remove_all(root);
  Check(platform::OpenDevice(root, platform::RegistrySeed::kEmpty));
  g_dc = CreateCompatibleDC(nullptr);
  SelectObject(g_dc, CreateBitmap(96, 64, 1, 24, nullptr));
  for (int i = 0; i < 2; ++i) {
    LOGFONTW log{};
    log.lfHeight = i ? -7 : -13;
    log.lfWeight = i ? FW_BOLD : FW_NORMAL;
    std::memcpy(log.lfFaceName, u"Tahoma", sizeof(u"Tahoma"));
    g_fonts[i] = CreateFontIndirectW(&log);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text(size / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  const int width = 8 + static_cast<int>(size % 240);
  SelectObject(g_dc, g_fonts[size % 2]);
  const int count = static_cast<int>(text.size());
  for (UINT format : {DT_WORDBREAK | DT_EDITCONTROL, DT_WORDBREAK | DT_RTLREADING | DT_CENTER,
                      DT_SINGLELINE | DT_END_ELLIPSIS | DT_EXPANDTABS}) {
    RECT measured{0, 0, width, 0};
    const int height = DrawTextW(g_dc, text.c_str(), count, &measured, format | DT_CALCRECT);
    RECT box{0, 0, width, 64};
    Check(DrawTextW(g_dc, text.c_str(), count, &box, format) == height);
    for (const auto& glyph : platform::gdi::DrawTextGlyphs(g_dc, text, box, format | DT_NOPREFIX)) {
      Check(glyph.cluster < text.size());
    }
  }
  SIZE extent{};
  Check(GetTextExtentPoint32W(g_dc, text.c_str(), count, &extent));
  std::vector<INT> dx(text.size());
  INT fit = 0;
  SIZE all{};
  Check(GetTextExtentExPointW(g_dc, text.c_str(), count, width, &fit, dx.data(), &all));
  Check(all.cx == extent.cx && fit >= 0 && fit <= count);
  Check(dx.empty() || dx.back() == extent.cx);
  Check(ExtTextOutW(g_dc, 2, 2, ETO_CLIPPED, nullptr, text.c_str(), static_cast<UINT>(count), dx.empty() ? nullptr : dx.data()));
  for (std::size_t position : {std::size_t{0}, text.size() / 3, text.size()}) {
    const int caret = platform::gdi::CaretOffset(g_dc, text, position);
    Check(caret >= 0 && caret <= extent.cx);
  }
  for (const auto& [left, right] : platform::gdi::SelectionSpans(g_dc, text, text.size() / 4, text.size() / 2)) {
    Check(left < right && left >= 0 && right <= extent.cx);
  }
  // The wrapped layout of a multi-line edit: a tap anywhere lands on a cluster edge inside the
  // text, and the caret of every such place stays on a line of the layout.
  const UINT wrapped = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;
  RECT laid{0, 0, width, 0};
  const int laidHeight = DrawTextW(g_dc, text.c_str(), count, &laid, wrapped | DT_CALCRECT);
  for (POINT tap : {POINT{-3, -3}, POINT{width / 2, laidHeight / 2}, POINT{width + 5, laidHeight + 5},
                    POINT{static_cast<LONG>(size % 97), static_cast<LONG>(size % 53)}}) {
    const std::size_t at = platform::gdi::PositionAtPoint(g_dc, text, width, wrapped, tap);
    Check(at <= text.size());
    const POINT caret = platform::gdi::CaretPoint(g_dc, text, width, wrapped, at);
    Check(caret.y >= 0 && (text.empty() || caret.y < std::max(laidHeight, 1)));
  }
  for (const RECT& rect : platform::gdi::SelectionRects(g_dc, text, width, wrapped, text.size() / 5, text.size())) {
    Check(rect.left < rect.right && rect.top >= 0 && rect.bottom <= std::max(laidHeight, 1));
  }
  return 0;
}
