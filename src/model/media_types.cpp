#include "model/media_types.h"

#include <array>
#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "mm1/content_type_split.h"
#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"

using namespace media_type;

namespace {

// Group: the filter group that switches the row; group 0 rows are always enabled.
struct ExtensionRow {
  std::u16string_view extension;
  MediaType type;
  int group;
};

// Order matters: lookups take the first match, so ".3gp" and ".mp4" find video before audio.
constexpr ExtensionRow kExtensionRows[] = {
    {u".jpg", 0x10001, 1},   {u".jpeg", 0x10001, 1}, {u".gif", 0x10002, 2},   {u".png", 0x10003, 5},
    {u".bmp", 0x10004, 3},   {u".wbmp", 0x10005, 4}, {u".mid", 0x20001, 7},   {u".midi", 0x20001, 7},
    {u".wav", 0x20002, 9},   {u".amr", 0x20003, 8},  {u".mp3", 0x20004, 10},  {u".mp3d", 0x20004, 10},
    {u".wma", 0x20005, 10},  {u".vcf", 0x50001, 0},  {u".vcs", 0x50002, 0},   {u".qcp", 0x20006, 11},
    {u".rmi", 0x20001, 7},   {u".awb", 0x20008, 13}, {u".aac", 0x20009, 14},  {u".m4a", 0x2000A, 15},
    {u".txt", 0x30001, 0},   {u".html", 0x30009, 0}, {u".xml", 0x30009, 0},   {u".xhtml", 0x30009, 0},
    {u".htm", 0x30009, 0},   {u".svg", 0x10006, 12}, {u".svgz", 0x10006, 12}, {u".mp4", 0x40001, 6},
    {u".3gp", 0x40005, 6},   {u".3g2", 0x40006, 6},  {u".wmv", 0x40002, 10},  {u".mpg", 0x40004, 10},
    {u".mpeg", 0x40004, 10}, {u".asf", 0x40003, 10}, {u".3gp", 0x2000B, 6},   {u".mp4", 0x2000C, 6},
};
constexpr std::size_t kExtensionRowCount = std::size(kExtensionRows);
static_assert(kExtensionRowCount == 36);

struct ContentTypeRow {
  std::string_view contentType;
  MediaType type;
};

constexpr ContentTypeRow kContentTypeRows[] = {
    {"image/jpeg", 0x10001},
    {"image/jpg", 0x10001},
    {"image/gif", 0x10002},
    {"image/png", 0x10003},
    {"image/bmp", 0x10004},
    {"image/x-bmp", 0x10004},
    {"image/vnd.wap.wbmp", 0x10005},
    {"audio/mid", 0x20001},
    {"audio/midi", 0x20001},
    {"audio/x-mid", 0x20001},
    {"audio/x-midi", 0x20001},
    {"audio/sp-midi", 0x20001},
    {"audio/x-wav", 0x20002},
    {"audio/wav", 0x20002},
    {"audio/amr", 0x20003},
    {"audio/x-amr", 0x20003},
    {"audio/mpeg", 0x20004},
    {"audio/x-mp3", 0x20004},
    {"audio/mp3", 0x20004},
    {"audio/mpeg3", 0x20004},
    {"audio/x-ms-wma", 0x20005},
    {"audio/amr-wb", 0x20008},
    {"audio/3gpp", 0x2000B},
    {"audio/mp4", 0x2000C},
    {"audio/mpeg4", 0x2000D},
    {"audio/3g2", 0x2000E},
    {"text/plain;charset=iso-10646-ucs-2", 0x30001},
    {"text/plain;charset=us-ascii", 0x30001},
    {"text/plain;charset=utf_8", 0x30001},
    {"text/plain;charset=iso-8859-1", 0x30001},
    {"text/plain;charset=iso-8859-2", 0x30001},
    {"text/plain", 0x30001},
    {"text/html;charset=utf_8", 0x30009},
    {"application/xhtml+xml", 0x30009},
    {"application/vnd.wap.xhtml+xml", 0x30009},
    {"application/xhtml+xml;charset=utf_8", 0x30009},
    {"application/vnd.wap.xhtml+xml;charset=utf_8", 0x30009},
    {"text/x-vCard", 0x50001},
    {"text/x-vCalendar", 0x50002},
    {"audio/vnd.qcelp", 0x20006},
    {"audio/qcelp", 0x20006},
    {"audio/evrc", 0x20007},
    {"application/qcp", 0x20006},
    {"audio/aac", 0x20009},
    {"audio/m4a", 0x2000A},
    {"image/svg+xml", 0x10006},
    {"video/mp4", 0x40001},
    {"video/3gpp", 0x40005},
    {"video/3gp", 0x40005},
    {"video/3g2", 0x40006},
    {"video/3gpp2", 0x40006},
    {"video/x-mpeg4", 0x40001},
    {"video/x-ms-asf", 0x40003},
    {"video/x-ms-wmv", 0x40002},
    {"video/mpeg", 0x40004},
    {"text/x-imelody", 0x2FFFE},
};
static_assert(std::size(kContentTypeRows) == 56);

// Used only when nothing else matches.
constexpr ContentTypeRow kTopLevelRows[] = {
    {"image", 0x1FFFE},
    {"audio", 0x2FFFE},
    {"text", 0x3FFFE},
    {"video", 0x4FFFE},
};

constexpr std::string_view kOctetStream = "application/octet-stream";

// The extension rows' enabled flags: process-wide, changed only by EnableMediaTypes.
std::array<bool, kExtensionRowCount>& EnabledFlags() {
  static std::array<bool, kExtensionRowCount> flags = [] {
    std::array<bool, kExtensionRowCount> all{};
    all.fill(true);
    return all;
  }();
  return flags;
}

using platform::EqualsNoCase;

// The extension of the path's file name, from its last "." on; empty when the name has none.
std::u16string_view ExtensionOf(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(u"\\/");
  const std::size_t nameStart = separator == std::u16string_view::npos ? 0 : separator + 1;
  const std::size_t dot = path.rfind(u'.');
  if (dot == std::u16string_view::npos || dot < nameStart) return {};
  return path.substr(dot);
}

// The lower-cased extension followed by ";", as filter texts list it.
std::u16string FilterItem(std::u16string_view extension) {
  std::u16string item = platform::FoldCase(extension);
  item += u';';
  return item;
}

// A filter text lower-cased, ending with ";".
std::u16string NormalisedFilter(std::u16string_view text) {
  std::u16string filter = platform::FoldCase(text);
  if (filter.empty() || filter.back() != u';') filter += u';';
  return filter;
}

std::u16string FilterSetting(int number) { return NormalisedFilter(GetConfigString(number).View()); }

bool Contains(std::u16string_view text, std::u16string_view item) {
  return text.find(item) != std::u16string_view::npos;
}

// The first extension row of the type, or -1.
int FirstRowOfType(MediaType type) {
  for (std::size_t i = 0; i < kExtensionRowCount; ++i) {
    if (kExtensionRows[i].type == type) return static_cast<int>(i);
  }
  return -1;
}

MediaType FindContentType(std::string_view contentType) {
  for (const ContentTypeRow& row : kContentTypeRows) {
    if (EqualsNoCase(row.contentType, contentType)) return row.type;
  }
  return kNone;
}

MediaType TopLevelType(std::string_view contentType) {
  const std::size_t slash = contentType.find('/');
  if (slash == std::string_view::npos || slash == 0) return kNone;
  for (const ContentTypeRow& row : kTopLevelRows) {
    if (EqualsNoCase(row.contentType, contentType.substr(0, slash))) return row.type;
  }
  return kNone;
}

// Whether any ";"-separated item of the filter, taken as a file name, is an enabled video type.
bool FilterHasVideo(std::u16string_view filter) {
  while (!filter.empty()) {
    const std::size_t end = filter.find(u';');
    const std::u16string_view item = filter.substr(0, end);
    if (!item.empty() && KindOf(TypeOfFile(item, true)) == kVideo) return true;
    if (end == std::u16string_view::npos) break;
    filter.remove_prefix(end + 1);
  }
  return false;
}

}  // namespace

void EnableMediaTypes() {
  // Each part keeps its own items apart even when its text lacks the final ";".
  std::u16string joined;
  for (int number : {string_setting::kMediaPlayerSupportFilter, string_setting::kPIMFilter,
                     string_setting::kVideoFilter, string_setting::kAudioFilter, string_setting::kImageFilter}) {
    const CString part = GetConfigString(number);
    if (part.IsEmpty()) continue;
    joined += part.View();
    if (joined.back() != u';') joined += u';';
  }
  const std::u16string filter = NormalisedFilter(joined);
  std::array<bool, kExtensionRowCount>& enabled = EnabledFlags();
  for (std::size_t i = 0; i < kExtensionRowCount; ++i) {
    if (kExtensionRows[i].group != 0) enabled[i] = Contains(filter, FilterItem(kExtensionRows[i].extension));
  }
  ULC_Global* global = ULC_Global::GetGlobal();
  if (global->flixFlag != 0) global->flixFlag = FilterHasVideo(filter) ? 1 : 0;
}

MediaType TypeOfFile(std::u16string_view path, bool enabledOnly) {
  const std::u16string_view extension = ExtensionOf(path);
  if (extension.empty()) return kNone;
  for (std::size_t i = 0; i < kExtensionRowCount; ++i) {
    if ((!enabledOnly || EnabledFlags()[i]) && platform::EqualsNoCase(kExtensionRows[i].extension, extension)) {
      return kExtensionRows[i].type;
    }
  }
  const std::u16string item = FilterItem(extension);
  const std::u16string generic = platform::FoldCase(ULC_Global::GetGlobal()->genericFilter.View());
  if (Contains(generic, item)) return kGenericByExtension;
  if (generic != u"*") return kNone;
  if (Contains(FilterSetting(string_setting::kFilterForGenericObjPickerHide), item)) return kNone;
  return kGenericByExtension;
}

bool IsGenericAllowed(std::u16string_view path) {
  const std::u16string_view extension = ExtensionOf(path);
  const std::u16string generic = platform::FoldCase(ULC_Global::GetGlobal()->genericFilter.View());
  if (generic == u"*") {
    return extension.empty() ||
           !Contains(FilterSetting(string_setting::kFilterForGenericObjPickerHide), FilterItem(extension));
  }
  return !extension.empty() && Contains(generic, FilterItem(extension));
}

MediaType TypeOfContentType(std::string_view contentType, std::u16string_view fileName) {
  if (const MediaType type = FindContentType(contentType); type != kNone) return type;
  const std::string bare = mm1::ContentTypeWithoutParameters(contentType);
  if (const MediaType type = FindContentType(bare); type != kNone) return type;
  if (!fileName.empty()) {
    MediaType type = TypeOfFile(fileName, true);
    if (KindOf(type) == kText && EqualsNoCase(bare, kOctetStream)) type = kGenericText;
    if (KindOf(type) != kNoKind && FormatOf(type) != kOtherFormat) return type;
  }
  return TopLevelType(bare);
}

MediaType TypeOfContentTypeRow(std::string_view contentType) { return FindContentType(contentType); }

std::string ContentTypeOfType(MediaType type) {
  for (const ContentTypeRow& row : kContentTypeRows) {
    if (row.type == type) return std::string(row.contentType);
  }
  return {};
}

CString ExtensionOfType(MediaType type, bool enabledOnly) {
  if (KindOf(type) == kNoKind || FormatOf(type) == kOtherFormat) return CString();
  const int row = FirstRowOfType(type);
  if (row < 0 || (enabledOnly && !EnabledFlags()[row])) return CString();
  return CString(kExtensionRows[row].extension);
}

bool HasExtensionOfType(std::u16string_view path, MediaType type) {
  const std::u16string_view extension = ExtensionOf(path);
  if (extension.empty()) return false;
  for (const ExtensionRow& row : kExtensionRows) {
    if (row.type == type && platform::EqualsNoCase(row.extension, extension)) return true;
  }
  return false;
}

bool FixExtension(CString& path, MediaType type) {
  if (path.IsEmpty() || KindOf(type) == kNoKind || KindOf(type) == kGeneric || FormatOf(type) == kOtherFormat ||
      FormatOf(type) == kRefusedFormat) {
    return false;
  }
  const std::u16string_view extension = ExtensionOf(path.View());
  const ExtensionRow* replacement = nullptr;
  for (std::size_t i = 0; i < kExtensionRowCount; ++i) {
    if (kExtensionRows[i].type != type) continue;
    if (platform::EqualsNoCase(kExtensionRows[i].extension, extension)) return false;
    if (replacement == nullptr && EnabledFlags()[i]) replacement = &kExtensionRows[i];
  }
  if (replacement == nullptr) return false;
  std::u16string fixed(path.View().substr(0, path.View().size() - extension.size()));
  fixed += replacement->extension;
  path = fixed;
  return true;
}

bool IsMediaPlayerType(MediaType type) {
  if (KindOf(type) == kNoKind) return false;
  const int row = FirstRowOfType(type);
  if (row < 0 || !EnabledFlags()[row]) return false;
  return Contains(FilterSetting(string_setting::kMediaPlayerSupportFilter), FilterItem(kExtensionRows[row].extension));
}
