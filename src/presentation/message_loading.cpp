#include "presentation/message_loading.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/storage_check.h"
#include "mm1/content_type_split.h"
#include "mm1/mm1_library.h"
#include "model/device_file.h"
#include "model/drm_handling.h"
#include "model/media_types.h"
#include "model/message_saving.h"
#include "model/text_charset.h"
#include "platform/kernel/device.h"
#include "platform/kernel/file_api.h"
#include "platform/text/text_conversion.h"

namespace {

constexpr MediaType kMp3 = 0x20004;

// A name for stem + extension that no file of the folder has: the counter goes between them.
std::u16string FreeName(const std::u16string& folder, std::u16string_view stem, std::u16string_view extension) {
  std::u16string name = std::u16string(stem) + std::u16string(extension);
  for (int n = 1; DevicePathExists(folder + name); ++n) {
    name = std::u16string(stem) + platform::Utf8ToUtf16(std::to_string(n)) + std::u16string(extension);
  }
  return name;
}

// Moves the part's file to a free name with the extension; the name stays when the move fails.
void Rename(const std::u16string& folder, std::u16string& name, std::u16string_view stem, std::u16string_view extension) {
  std::u16string target = FreeName(folder, stem, extension);
  if (target != name && MoveFileW((folder + name).c_str(), (folder + target).c_str())) name = target;
}

std::u16string ExtensionFor(MediaType type, bool protectedFile) {
  if (type == kMp3) return protectedFile ? u".mp3d" : u".mp3";
  return std::u16string(ExtensionOfType(type, false).View());
}

// A name without any "." gets the extension of its content type, when the table knows one. The
// parameters are stripped first: senders add name= and charset= freely.
void RepairNameWithoutExtension(const std::u16string& folder, std::u16string& name, const std::string& contentType,
                                bool protectedFile) {
  if (name.find(u'.') != std::u16string::npos) return;
  MediaType type = TypeOfContentTypeRow(contentType);
  if (type == media_type::kNone) type = TypeOfContentTypeRow(mm1::ContentTypeWithoutParameters(contentType));
  if (type == media_type::kNone) return;
  std::u16string extension = ExtensionFor(type, protectedFile);
  if (!extension.empty()) Rename(folder, name, name, extension);
}

// Files that arrive named only ".amr" or ".com" take the extension their audio or video type asks for.
void RepairBareExtension(const std::u16string& folder, std::u16string& name, const std::string& contentType) {
  if (!platform::EqualsNoCase(name, u".amr") && !platform::EqualsNoCase(name, u".com")) return;
  MediaType type = TypeOfContentType(contentType, name);
  DWORD kind = media_type::KindOf(type);
  if (kind != media_type::kAudio && kind != media_type::kVideo) return;
  CString fixed(name);
  if (FixExtension(fixed, type)) Rename(folder, name, u"", fixed.View());
}

// Unwraps a protected part; its content type becomes the inner one and its name takes that type's
// extension.
bool UnwrapPart(const std::u16string& folder, std::u16string& name, std::string& contentType) {
  std::string inner;
  if (!UnwrapDrm(folder.c_str(), name.c_str(), inner, contentType, nullptr)) return false;
  contentType = inner;
  MediaType type = TypeOfContentType(inner, name);
  std::size_t dot = name.rfind(u'.');
  std::u16string stem = dot == std::u16string::npos ? name : name.substr(0, dot);
  if (type == kMp3) {
    Rename(folder, name, stem, u".mp3d");
  } else {
    CString fixed(name);
    if (FixExtension(fixed, type)) Rename(folder, name, stem, fixed.View().substr(stem.size()));
  }
  return true;
}

struct LoadState {
  std::u16string folder;
  std::filesystem::path hostFolder;  // the folder on the host, looked up once
  bool drmSupported = false;
  bool forwardLockKept = false;
  bool unwrapped = false;
};

bool LoadPart(MessageModel& model, mm1::MessageReader& reader, std::size_t index, LoadState& state) {
  // Text is converted before its file is first written.
  auto convertText = [&](const mm1::PartRecord& described, std::span<const std::uint8_t> data) {
    std::optional<std::string> converted;
    if (!IsConvertedText(TypeOfContentType(described.contentType, platform::Utf8ToUtf16(described.fileName)))) {
      return converted;
    }
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    std::string contentType = described.contentType;
    converted = ConvertText(text, CharsetCodeOfText(contentType, text.substr(0, 3)));
    return converted;
  };
  auto record = reader.Part(index, state.hostFolder, convertText);
  if (!record) return false;
  std::u16string name = platform::Utf8ToUtf16(record.Value().fileName);
  std::string contentType = record.Value().contentType;
  RepairNameWithoutExtension(state.folder, name, contentType, record.Value().forwardLocked);
  RepairBareExtension(state.folder, name, contentType);
  if (state.drmSupported && IsDrmContentType(contentType) && UnwrapPart(state.folder, name, contentType)) {
    state.unwrapped = true;
  }
  MediaPart part;
  part.type = TypeOfContentType(contentType, name);
  part.forwardLock = record.Value().forwardLocked && state.forwardLockKept;
  part.contentId = CString::FromUtf8(record.Value().contentId);
  part.contentLocation = CString::FromUtf8(record.Value().contentLocation);
  part.fileName = CString(name);
  if (IsConvertedText(part.type)) part.receivedSize = static_cast<DWORD>(record.Value().size);
  model.parts.push_back(std::move(part));
  return true;
}

}  // namespace

int LoadMessage(MessageModel& model, std::u16string_view messageFile, std::u16string_view partFolder,
                bool checkStorage, const MediaLengthSource& lengths, MessageLoadReport* report) {
  MessageLoadReport ignored;
  MessageLoadReport& outcome = report ? *report : ignored;
  outcome = MessageLoadReport{};
  if (messageFile.empty() || partFolder.empty()) return -1;
  LoadState state;
  state.folder = WithTrailingSeparator(partFolder);
  state.drmSupported = GetConfigValue(numeric_setting::kIsSupportDrm) != 0;
  state.forwardLockKept = GetConfigValue(numeric_setting::kEnabledrmfl) != 0;
  auto hostMessage = platform::HostPath(messageFile);
  auto hostFolder = platform::HostPath(state.folder);
  if (!hostMessage || !hostFolder) return -1;
  state.hostFolder = *hostFolder;
  CreateDirectoryW(state.folder.c_str(), nullptr);
  auto opened = mm1::OpenMessage(*hostMessage);
  if (!opened) return -1;
  mm1::ReadHandle reader = std::move(opened.Value());

  std::u16string smil = state.folder + std::u16string(kPresentationFileName);
  outcome.hadPresentation =
      static_cast<bool>(reader->Presentation(*hostFolder, platform::Utf16ToUtf8(kPresentationFileName)));
  std::optional<std::size_t> presentationIndex = reader->PresentationIndex();
  ResetModel(model, true);
  for (std::size_t index = 0; index < reader->PartCount(); ++index) {
    if (index == presentationIndex) continue;
    if (!LoadPart(model, *reader, index, state)) return -1;
  }
  mm1::CloseMessage(reader);

  bool needDefault = !outcome.hadPresentation;
  if (outcome.hadPresentation) {
    outcome.presentationStatus = BuildSlides(smil, model.layout, model.slides, model.parts, state.folder, lengths);
    if (outcome.presentationStatus != SlideBuildStatus::kOk) {
      ResetModel(model, false);
      needDefault = true;
    }
  }
  if (needDefault) {
    outcome.defaultSlides = BuildDefaultSlides(state.folder, model.layout, model.slides, model.parts, lengths);
    if (!outcome.defaultSlides) ResetModel(model, true);
  }
  CountAttachments(model);
  model.partFolder = CString(state.folder);
  if (state.drmSupported && state.unwrapped) {
    outcome.unwrappedDrm = true;
    if (!SaveMessage(model, state.folder, messageFile)) return -1;
  }
  if (checkStorage) CheckStorage();
  return static_cast<int>(model.parts.size());
}
