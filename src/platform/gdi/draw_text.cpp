// DrawTextW: formatted text in a rectangle. Lines break at line ends and, with DT_WORDBREAK, between
// words; long words break only with DT_EDITCONTROL, as on the device. Measuring (DT_CALCRECT) and
// drawing share one layout, so the measured rectangle is exactly the one drawn into.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi/gdi_api.h"
#include "platform/gdi/text_render.h"
#include "platform/last_error.h"

using namespace platform::gdi;

namespace {

constexpr std::u16string_view kEllipsis = u"...";
constexpr int kTabColumns = 8;

struct Line {
  std::u16string text;
  int width = 0;
};

// Removes the '&' prefix marks ("&&" stands for one '&').
std::u16string StripPrefixes(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&') {
      if (i + 1 < text.size() && text[i + 1] == u'&') {
        out += u'&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

std::u16string ExpandTabs(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text) {
    if (c == u'\t') {
      std::size_t column = out.size() - (out.rfind(u'\n') == std::u16string::npos ? 0 : out.rfind(u'\n') + 1);
      out.append(kTabColumns - column % kTabColumns, u' ');
    } else {
      out += c;
    }
  }
  return out;
}

std::vector<std::u16string_view> Paragraphs(std::u16string_view text) {
  std::vector<std::u16string_view> paragraphs;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' || text[i] == u'\n') {
      paragraphs.push_back(text.substr(start, i - start));
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
        ++i;
      }
      start = i + 1;
    }
  }
  paragraphs.push_back(text.substr(start));
  return paragraphs;
}

// Cuts a line to fit `width` with "..." at its end.
void AddEllipsis(FontInstance& font, Line& line, int width) {
  if (line.width <= width) {
    return;
  }
  int ellipsisWidth = MeasureRun(font, kEllipsis);
  std::u16string kept;
  int keptWidth = 0;
  for (std::size_t i = 0; i < line.text.size();) {
    std::size_t start = i;
    int advance = font.GlyphFor(NextCodePoint(line.text, &i)).advance;
    if (keptWidth + advance + ellipsisWidth > width) {
      break;
    }
    kept.append(line.text, start, i - start);
    keptWidth += advance;
  }
  line.text = kept + std::u16string(kEllipsis);
  line.width = keptWidth + ellipsisWidth;
}

// Splits a word too long for its line at character boundaries.
void BreakLongWord(FontInstance& font, std::u16string_view word, int width, std::vector<Line>& lines) {
  Line current;
  for (std::size_t i = 0; i < word.size();) {
    std::size_t start = i;
    int advance = font.GlyphFor(NextCodePoint(word, &i)).advance;
    if (!current.text.empty() && current.width + advance > width) {
      lines.push_back(std::move(current));
      current = Line{};
    }
    current.text.append(word.substr(start, i - start));
    current.width += advance;
  }
  if (!current.text.empty()) {
    lines.push_back(std::move(current));
  }
}

// Greedy word wrap. Spaces between words count only when another word follows on the same line.
void WrapParagraph(FontInstance& font, std::u16string_view text, int width, bool breakWords,
                   std::vector<Line>& lines) {
  Line current;
  bool started = false;         // a word (even an empty one before leading spaces) is on the line
  std::u16string_view pending;  // spaces after the last word of `current`
  std::size_t i = 0;
  do {
    std::size_t wordStart = i;
    while (i < text.size() && text[i] != u' ') {
      ++i;
    }
    std::u16string_view word = text.substr(wordStart, i - wordStart);
    std::size_t spaceStart = i;
    while (i < text.size() && text[i] == u' ') {
      ++i;
    }
    int wordWidth = MeasureRun(font, word);
    int pendingWidth = MeasureRun(font, pending);
    if (started && !current.text.empty() && current.width + pendingWidth + wordWidth > width) {
      lines.push_back(std::move(current));
      current = Line{};
    } else if (started) {
      current.text.append(pending);
      current.width += pendingWidth;
    }
    started = true;
    if (current.text.empty() && wordWidth > width && breakWords) {
      BreakLongWord(font, word, width, lines);
      current = std::move(lines.back());
      lines.pop_back();
    } else {
      current.text.append(word);
      current.width += wordWidth;
    }
    pending = text.substr(spaceStart, i - spaceStart);
  } while (i < text.size());
  lines.push_back(std::move(current));
}

std::vector<Line> Layout(FontInstance& font, std::u16string_view text, int width, UINT format) {
  std::vector<Line> lines;
  if (format & DT_SINGLELINE) {
    std::u16string flat;
    for (char16_t c : text) {
      if (c != u'\r' && c != u'\n') {
        flat += c;
      }
    }
    lines.push_back({flat, MeasureRun(font, flat)});
  } else {
    for (std::u16string_view paragraph : Paragraphs(text)) {
      if (format & DT_WORDBREAK) {
        WrapParagraph(font, paragraph, width, (format & DT_EDITCONTROL) != 0, lines);
      } else {
        lines.push_back({std::u16string(paragraph), MeasureRun(font, paragraph)});
      }
    }
  }
  if (format & DT_END_ELLIPSIS) {
    for (Line& line : lines) {
      AddEllipsis(font, line, width);
    }
  }
  return lines;
}

}  // namespace

int DrawTextW(HDC hdc, LPCWSTR text, int count, RECT* rect, UINT format) {
  DeviceContext* dc = FindDeviceContext(hdc);
  if (!dc || !rect || (count != 0 && !text) || count < -1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string_view raw = count < 0 ? std::u16string_view(text) : std::u16string_view(text, count);
  std::u16string prepared = format & DT_NOPREFIX ? std::u16string(raw) : StripPrefixes(raw);
  if (format & DT_EXPANDTABS) {
    prepared = ExpandTabs(prepared);
  }
  if (prepared.empty()) {
    if (format & DT_CALCRECT) {
      rect->right = rect->left;
      rect->bottom = rect->top;
    }
    return 0;
  }
  FontInstance& font = SelectedFontInstance(*dc);
  const int width = rect->right - rect->left;
  std::vector<Line> lines = Layout(font, prepared, width, format);
  const int lineHeight = font.Height();
  const int total = lineHeight * static_cast<int>(lines.size());
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const Line& line : lines) {
      widest = std::max(widest, line.width);
    }
    rect->right = rect->left + widest;
    rect->bottom = rect->top + total;
    return total;
  }
  int y = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) {
      y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    } else if (format & DT_BOTTOM) {
      y = rect->bottom - lineHeight;
    }
  }
  const int result = (y - rect->top) + total;
  RECT clip = format & DT_NOCLIP ? dc->Clip() : Intersect(dc->ToDevice(*rect), dc->Clip());
  const DcState& state = dc->State();
  for (const Line& line : lines) {
    int x = rect->left;
    if (format & DT_CENTER) {
      x = rect->left + (width - line.width) / 2;
    } else if (format & DT_RIGHT) {
      x = rect->right - line.width;
    }
    POINT origin = dc->ToDevice(x, y);
    if (state.bkMode == OPAQUE) {
      RECT cell = Intersect({origin.x, origin.y, origin.x + line.width, origin.y + lineHeight}, clip);
      if (!IsEmpty(cell)) {
        dc->Target()->Fill(cell, state.bkColor);
      }
    }
    DrawRun(*dc, font, origin.x, origin.y, line.text, clip);
    y += lineHeight;
  }
  return result;
}
