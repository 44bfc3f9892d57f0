// One SVG document loaded for drawing with librsvg, from memory and without a base address: the
// only references it can follow are data: URIs inside it, so nothing outside the file (another
// folder, an address, an external entity) is ever read. SVGZ is inflated here, within a bound.
#pragma once

#include <librsvg/rsvg.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace svg_playback {

class SvgDocument {
 public:
  static std::unique_ptr<SvgDocument> Load(std::span<const uint8_t> bytes);
  // The bytes of a file within the bound on documents; empty when it cannot be read or is larger.
  static std::vector<uint8_t> ReadFile(const std::filesystem::path& host);
  ~SvgDocument();
  SvgDocument(const SvgDocument&) = delete;
  SvgDocument& operator=(const SvgDocument&) = delete;

  double width() const { return m_width; }
  double height() const { return m_height; }

  // Draws into a width x height picture of 24-bit rows from the top (stride bytes each) over the
  // background colour (0x00BBGGRR): the document fitted into the area with its aspect kept, then
  // zoomed by `zoom` about the origin and moved by (panX, panY).
  bool Render(uint8_t* pixels, int width, int height, int stride, uint32_t background, double zoom = 1.0,
              double panX = 0.0, double panY = 0.0) const;

 private:
  SvgDocument() = default;
  RsvgHandle* m_handle = nullptr;
  double m_width = 0;
  double m_height = 0;
};

}  // namespace svg_playback
