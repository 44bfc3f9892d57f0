// The SVG player object of the forms: one player of the SVG library attached to a window area. It
// opens and selects a file, reads its size, gives the library the display area and its frame
// callback, and plays, pauses, stops, zooms and pans; the window draws the last frame the library
// delivered (Paint) and is invalidated whenever a new one comes.
#pragma once

#include <vector>

#include "engines/svg_library.h"
#include "platform/window/window_api.h"

class SvgPlayer {
 public:
  SvgPlayer() = default;
  ~SvgPlayer();
  SvgPlayer(const SvgPlayer&) = delete;
  SvgPlayer& operator=(const SvgPlayer&) = delete;

  // The window and the area of it (client coordinates) to draw into.
  void Attach(HWND window, const RECT& area);
  // Opens the file for playback; mode 1 and 2 are the view's flags (kept, not interpreted by the
  // library). False when the library, a player or the file is missing.
  bool Open(LPCWSTR path, int mode);
  // Closes the file and releases the player.
  void Close();
  bool Play();
  void Pause();
  void Stop();
  bool Zoom(POINT point, int factorPercent);
  bool Pan(int dx, int dy);
  // Draws the last frame into the area.
  void Paint(HDC dc) const;

  bool isOpen() const { return m_file != nullptr; }
  bool playing() const { return m_playing; }
  int mode() const { return m_mode; }
  const SvgInfo& info() const { return m_info; }
  int framesDelivered() const { return m_frames; }

 private:
  static void OnFrame(void* user, const uint8_t* pixels, int32_t width, int32_t height, int32_t stride);
  void SetDisplay();

  HWND m_window = nullptr;
  RECT m_area{};
  SvgPlayerHandle m_player = nullptr;
  SvgFileHandle m_file = nullptr;
  SvgInfo m_info{};
  int m_mode = 0;
  bool m_playing = false;
  int m_frames = 0;
  std::vector<uint8_t> m_frame;  // bottom-up 24-bit rows of the area, ready to draw
  int m_frameWidth = 0;
  int m_frameHeight = 0;
};
