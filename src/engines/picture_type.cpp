#include "engines/picture_type.h"

MediaType ResolvePictureType(LPCWSTR path, MediaType typeCode) {
  bool unknown = media_type::KindOf(typeCode) == media_type::kNoKind ||
                 media_type::FormatOf(typeCode) == media_type::kOtherFormat;
  if (!unknown) return typeCode;
  if (path == nullptr) return media_type::kNone;
  return TypeOfFile(path, false);
}
