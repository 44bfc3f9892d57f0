#include "engines/svg_player.h"

#include <cstring>

SvgPlayer::~SvgPlayer() { Close(); }

void SvgPlayer::Attach(HWND window, const RECT& area) {
  m_window = window;
  m_area = area;
  if (m_player != nullptr) SetDisplay();
}

void SvgPlayer::SetDisplay() {
  SvgDisplayParam display{m_area.right - m_area.left, m_area.bottom - m_area.top, 0x00FFFFFF};
  AS_SetDisplayParam(m_player, &display);
}

bool SvgPlayer::Open(LPCWSTR path, int mode) {
  Close();
  m_player = AS_CreatePlayer();
  if (m_player == nullptr) return false;
  m_file = AS_OpenFile(m_player, path);
  if (m_file == nullptr || AS_SelectFile(m_player, m_file) != 0 || AS_GetSVGInfo(m_player, &m_info) != 0) {
    Close();
    return false;
  }
  m_mode = mode;
  SetDisplay();
  AS_SetCallback(m_player, kSvgCallbackFrame, reinterpret_cast<void*>(&SvgPlayer::OnFrame), this);
  AS_Pack(m_player, 0, 0, 0, 0);
  return true;
}

void SvgPlayer::Close() {
  m_playing = false;
  if (m_player == nullptr) return;
  if (m_file != nullptr) {
    AS_Stop(m_player, 0);
    AS_CloseFile(m_player, m_file);
  }
  AS_ReleasePlayer(m_player);
  m_player = nullptr;
  m_file = nullptr;
  m_frame.clear();
}

bool SvgPlayer::Play() {
  if (m_file == nullptr) return false;
  m_playing = AS_Play(m_player) != 0;
  return m_playing;
}

void SvgPlayer::Pause() {
  if (m_file != nullptr && AS_Pause(m_player) != 0) m_playing = false;
}

void SvgPlayer::Stop() {
  if (m_file == nullptr) return;
  AS_Stop(m_player, 0);
  m_playing = false;
}

bool SvgPlayer::Zoom(POINT point, int factorPercent) {
  return m_file != nullptr && AS_ZoomByPoint(m_player, point.x - m_area.left, point.y - m_area.top, factorPercent) == 0;
}

bool SvgPlayer::Pan(int dx, int dy) { return m_file != nullptr && AS_Pan(m_player, dx, dy) == 0; }

void SvgPlayer::OnFrame(void* user, const uint8_t* pixels, int32_t width, int32_t height, int32_t stride) {
  auto* player = static_cast<SvgPlayer*>(user);
  if (width < 1 || height < 1 || stride < width * 3) return;
  size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  player->m_frame.assign(rowBytes * static_cast<size_t>(height), 0);
  for (int32_t y = 0; y < height; ++y) {
    std::memcpy(player->m_frame.data() + rowBytes * static_cast<size_t>(height - 1 - y),
                pixels + static_cast<size_t>(stride) * static_cast<size_t>(y), static_cast<size_t>(width) * 3);
  }
  player->m_frameWidth = width;
  player->m_frameHeight = height;
  ++player->m_frames;
  if (player->m_window != nullptr) InvalidateRect(player->m_window, &player->m_area, FALSE);
}

void SvgPlayer::Paint(HDC dc) const {
  if (m_frame.empty()) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = m_frameWidth;
  info.bmiHeader.biHeight = m_frameHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  StretchDIBits(dc, m_area.left, m_area.top, m_frameWidth, m_frameHeight, 0, 0, m_frameWidth, m_frameHeight,
                m_frame.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}
