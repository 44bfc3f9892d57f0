// The protected content file (DCF, "application/vnd.oma.drm.content") of OMA DRM 1.0:
//
//   Version        uint8 (1)
//   ContentTypeLen uint8,  ContentURILen uint8
//   ContentType    ContentTypeLen bytes
//   ContentURI     ContentURILen bytes
//   HeadersLen     uintvar, DataLen uintvar
//   Headers        HeadersLen bytes of "Name: value\r\n" lines
//   Data           DataLen bytes (IV and AES-128-CBC cipher text)
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::drm {

struct DcfFile {
  std::string contentType;
  std::string contentUri;
  std::string headers;
  std::string data;
};

std::string EncodeDcf(const DcfFile& file);
// Nothing, with *error saying what and where, for anything that is not a whole DCF of version 1.
std::optional<DcfFile> ParseDcf(std::string_view bytes, std::string* error);
// The value of one header line, compared without regard to case.
std::optional<std::string> DcfHeader(const DcfFile& file, std::string_view name);

}  // namespace platform::drm
