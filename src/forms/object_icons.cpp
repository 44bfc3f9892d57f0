#include "forms/object_icons.h"

#include "platform/gdi/gdi_raii.h"
#include "transport/resource_module.h"
#include "ui/density.h"

namespace {

// The strip of icons, one 20 x 20 cell a kind, grey (192, 192, 192) as the transparent key.
constexpr UINT kObjectIconStrip = 132;
constexpr COLORREF kIconKey = RGB(192, 192, 192);

// The strip drawn at `side` pixels a cell; pixel for pixel, so that the key stays exact.
HBITMAP StripAtSide(HBITMAP strip, int side) {
  BITMAP size{};
  if (strip == nullptr || ::GetObjectW(strip, sizeof size, &size) == 0 || size.bmHeight <= 0) return nullptr;
  const int cells = size.bmWidth / size.bmHeight;
  HDC screen = ::GetDC(nullptr);
  HBITMAP scaled = ::CreateCompatibleBitmap(screen, side * cells, side);
  {
    platform::gdi::MemoryDc source(screen);
    platform::gdi::MemoryDc target(screen);
    platform::gdi::ScopedSelect sourceSelect(source.Get(), strip);
    platform::gdi::ScopedSelect targetSelect(target.Get(), scaled);
    ::SetStretchBltMode(target.Get(), COLORONCOLOR);
    ::StretchBlt(target.Get(), 0, 0, side * cells, side, source.Get(), 0, 0, size.bmHeight * cells, size.bmHeight,
                 SRCCOPY);
  }
  ::ReleaseDC(nullptr, screen);
  return scaled;
}

}  // namespace

int ObjectIconSide(int dotsPerInch) { return (object_icon::kSide * dotsPerInch + 48) / 96; }

HIMAGELIST CreateObjectIcons() {
  platform::gdi::UniqueBitmap strip(transport::LoadResourceBitmap(kObjectIconStrip));
  const int side = ObjectIconSide(ScreenDpiX());
  platform::gdi::UniqueBitmap scaled(StripAtSide(strip.Get(), side));
  if (scaled.Get() == nullptr) return nullptr;
  HIMAGELIST icons = ImageList_Create(side, side, ILC_MASK | ILC_COLOR24, object_icon::kCount, 0);
  if (icons == nullptr) return nullptr;
  if (ImageList_AddMasked(icons, scaled.Get(), kIconKey) < 0 || ImageList_GetImageCount(icons) < object_icon::kCount) {
    ImageList_Destroy(icons);
    return nullptr;
  }
  return icons;
}

int ObjectIconFor(MediaType type) {
  switch (media_type::KindOf(type)) {
    case media_type::kImage: return object_icon::kPicture;
    case media_type::kAudio: return object_icon::kSound;
    case media_type::kVideo: return object_icon::kVideo;
    case media_type::kText: return object_icon::kText;
    case media_type::kPersonalData:
      return media_type::FormatOf(type) == 2 ? object_icon::kCalendarEntry : object_icon::kContactCard;
    default: return object_icon::kOther;
  }
}
