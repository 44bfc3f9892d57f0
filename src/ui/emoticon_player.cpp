#include "ui/emoticon_player.h"

#include <algorithm>

#include "engines/image_decode.h"

namespace {
// Larger pictures than this are not worth decoding for a line of text.
constexpr int kMaxPictureSize = 256;
}  // namespace

bool EmoticonPlayer::LoadConfiguredSet() {
  m_pictures.clear();
  return m_set.Load(ConfiguredEmoticonFolder().View());
}

const DibImage* EmoticonPlayer::Picture(int index, int size) {
  if (index < 0 || index >= m_set.Count() || size < 1 || size > kMaxPictureSize) return nullptr;
  auto key = std::make_pair(index, size);
  auto found = m_pictures.find(key);
  if (found == m_pictures.end()) {
    SIZE box{size, size};
    DibImage* image = DecodeImage(m_set.Picture(index).path, &box, m_set.Picture(index).type, 0);
    found = m_pictures.emplace(key, std::unique_ptr<DibImage, DibImageDeleter>(image)).first;
  }
  return found->second.get();
}

std::vector<HyperTextPicture> EmoticonPlayer::MarkText(std::u16string_view text, int size) {
  std::vector<HyperTextPicture> marks;
  const int count = m_set.Count();
  if (count == 0) return marks;
  std::size_t at = 0;
  while (at < text.size()) {
    int best = -1;
    std::size_t bestLength = 0;
    for (int i = 0; i < count; ++i) {
      const std::u16string_view candidate = m_set.Text(i).View();
      if (candidate.size() > bestLength && text.substr(at, candidate.size()) == candidate &&
          Picture(i, size) != nullptr) {
        best = i;
        bestLength = candidate.size();
      }
    }
    if (best < 0) {
      ++at;
      continue;
    }
    marks.push_back(HyperTextPicture{static_cast<std::int32_t>(at), static_cast<std::int32_t>(bestLength), best});
    at += bestLength;
  }
  return marks;
}

bool EmoticonPlayer::Draw(HDC hdc, int index, const RECT& rect) {
  const int size = std::min(rect.right - rect.left, rect.bottom - rect.top);
  const DibImage* image = Picture(index, size);
  if (image == nullptr) return false;
  DrawCentred(hdc, image, rect);
  return true;
}

void DrawCentred(HDC hdc, const DibImage* image, const RECT& rect) {
  const int width = image->header.biWidth;
  const int height = std::abs(image->header.biHeight);
  const int left = rect.left + (rect.right - rect.left - width) / 2;
  const int top = rect.top + (rect.bottom - rect.top - height) / 2;
  StretchDIBits(hdc, left, top, width, height, 0, 0, width, height, DibPixels(image),
                reinterpret_cast<const BITMAPINFO*>(&image->header), DIB_RGB_COLORS, SRCCOPY);
}
