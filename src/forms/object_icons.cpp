#include "forms/object_icons.h"

#include "platform/gdi/gdi_raii.h"
#include "transport/resource_module.h"
#include "ui/density.h"
#include "ui/transparent_bitmap.h"

namespace {

// The strip of icons, one 20 x 20 cell a kind, grey (192, 192, 192) as the transparent key.
constexpr UINT kObjectIconStrip = 132;
constexpr COLORREF kIconKey = RGB(192, 192, 192);

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
