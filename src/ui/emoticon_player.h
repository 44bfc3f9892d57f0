// The emoticon player: finds the emoticon texts of a set in a text, so that a text view shows
// them as pictures, and draws those pictures. The pictures are decoded once per size and kept.
#pragma once

#include <map>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "engines/dib_image.h"
#include "platform/gdi/gdi_api.h"
#include "ui/emoticon_set.h"
#include "ui/hyper_text_layout.h"

// Draws the picture centred in `rect` at its own size.
void DrawCentred(HDC hdc, const DibImage* image, const RECT& rect);

class EmoticonPlayer {
 public:
  // Loads the set of the configured emoticon folder for the device's screen.
  bool LoadConfiguredSet();
  // Uses this set instead (a copy).
  void UseSet(const EmoticonSet& set) {
    m_set = set;
    m_pictures.clear();
  }
  const EmoticonSet& Set() const { return m_set; }

  // The emoticons in `text`, the longest text winning where several start at one place. An
  // emoticon whose picture cannot be shown at `size` pixels stays text. Never fails: without a
  // set there is nothing to mark.
  std::vector<HyperTextPicture> MarkText(std::u16string_view text, int size);
  // Draws emoticon `index` centred in `rect`; false when its picture cannot be shown.
  bool Draw(HDC hdc, int index, const RECT& rect);
  // Emoticon `index` fitted into a square of `size` pixels, or null.
  const DibImage* Picture(int index, int size);

 private:
  EmoticonSet m_set;
  // (emoticon, size) -> its picture, null when it did not decode.
  std::map<std::pair<int, int>, std::unique_ptr<DibImage, DibImageDeleter>> m_pictures;
};
