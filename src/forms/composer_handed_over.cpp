// Files that reach the composer from elsewhere: the file another application handed over with the
// new message, and a contact card or a calendar entry made from the contact store.
#include <optional>
#include <string>

#include "forms/composer_frame.h"
#include "forms/content_check.h"
#include "forms/message_size.h"
#include "model/device_file.h"
#include "model/text_charset.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/temporary_files.h"
#include "platform/pim/calendar_chooser.h"
#include "platform/pim/contact_chooser.h"
#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"

namespace {

constexpr UINT kPersonalDataCopyFailedText = 40447;
constexpr WPARAM kContactCard = 2;
constexpr WPARAM kCalendarEntry = 3;
constexpr DWORD kMarkupTextFormat = 9;
constexpr DWORD kSvgFormat = 6;
constexpr DWORD kContactCardFormat = 1;
constexpr DWORD kCalendarEntryFormat = 2;
// A handed-over text larger than this contributes only its first kHandedOverTextBytes bytes.
constexpr std::size_t kLargestWholeText = 9999;
constexpr std::size_t kHandedOverTextBytes = 9998;
constexpr std::size_t kChooserTextLength = 128;

// Left over by the import of a handed-over file; of no use once the file is in the message or
// was refused.
constexpr const WCHAR* kImportLeftovers[] = {u"\\Temp\\vCalendar.vcs", u"\\Temp\\vCard.vcf"};

// The cut may fall inside a character: an unfinished UTF-8 sequence at the end is dropped.
std::string_view WithoutCutCharacter(std::string_view text) {
  std::size_t lead = text.size();
  for (int back = 0; back < 4 && lead > 0; ++back) {
    const auto byte = static_cast<unsigned char>(text[lead - 1]);
    if ((byte & 0xC0) != 0x80) break;
    --lead;
  }
  if (lead == 0) return text;
  const auto byte = static_cast<unsigned char>(text[lead - 1]);
  const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
  return text.size() - (lead - 1) < length ? text.substr(0, lead - 1) : text;
}

// UTF-16 after its mark; a high surrogate the cut left without its partner is dropped.
std::u16string Utf16Of(std::string_view bytes, bool littleEndian) {
  std::u16string text = DecodeUtf16(bytes, littleEndian);
  if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();
  return text;
}

// The text of the file's bytes: UTF-16 after its byte-order mark, or UTF-8 (with or without its
// mark). nullopt for bytes that are neither.
std::optional<std::u16string> DecodeHandedOverText(std::string_view bytes, bool cut) {
  auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (starts("\xFF\xFE")) return Utf16Of(bytes.substr(2), true);
  if (starts("\xFE\xFF")) return Utf16Of(bytes.substr(2), false);
  if (starts("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (cut) bytes = WithoutCutCharacter(bytes);
  if (!platform::IsValidUtf8(bytes)) return std::nullopt;
  return platform::Utf8ToUtf16(bytes);
}

}  // namespace

bool CComposerFrame::InsertHandedOverText(LPCWSTR path) {
  std::optional<std::string> bytes = ReadDeviceFileStart(path, kLargestWholeText + 1);
  if (!bytes) return false;
  const bool cut = bytes->size() > kLargestWholeText;
  if (cut) bytes->resize(kHandedOverTextBytes);
  const std::optional<std::u16string> text = DecodeHandedOverText(*bytes, cut);
  if (!text) return false;
  return text->empty() || InsertObject(text->c_str(), media_type::kInlineText);
}

LRESULT CComposerFrame::OnHandedOverFile(WPARAM, LPARAM) {
  ULC_Global* global = ULC_Global::GetGlobal();
  const CString path = global->importedFile;
  global->importedFile.Empty();
  if (!m_editor || path.IsEmpty()) return 0;
  m_handedOver = true;
  m_editor->SetChanged(true);
  FlushSlideEdits();
  const MediaType type = TypeOfFile(path.View(), true);
  const DWORD kind = media_type::KindOf(type);
  const DWORD format = media_type::FormatOf(type);
  m_busy = true;
  bool added = false;
  if (kind == media_type::kText && format != kMarkupTextFormat) {
    // A text that cannot be read as text still goes with the message, as a file.
    added = InsertHandedOverText(path) || InsertObject(path, media_type::kGenericText);
  } else if (kind == media_type::kImage && format != kSvgFormat) {
    added = InsertPicture(path, type);
    if (!added) {
      for (LPCWSTR leftover : kImportLeftovers) DeleteFileW(leftover);
    }
  } else {
    added = InsertObject(path, type);
  }
  m_busy = false;
  m_captureMarker = 0;
  RefreshSlide();
  return added ? 1 : 0;
}

LRESULT CComposerFrame::OnInsertPersonalData(WPARAM wParam, LPARAM) {
  if (!m_editor || (wParam != kContactCard && wParam != kCalendarEntry)) return 0;
  FlushSlideEdits();
  m_busy = true;
  const bool added = wParam == kContactCard ? InsertContactCard() : InsertCalendarEntry();
  m_busy = false;
  RefreshSlide();
  return added ? 1 : 0;
}

bool CComposerFrame::InsertContactCard() {
  std::u16string name(kChooserTextLength, u'\0');
  CONTACTCHOICE choice{};
  choice.cbSize = sizeof(choice);
  choice.hwndOwner = GetHandle();
  choice.lpszName = name.data();
  choice.cchName = static_cast<DWORD>(name.size());
  if (ChooseContact(&choice) != 1) return false;
  CMMSGlobal* global = GetMMSGlobal();
  return AttachPersonalData(global ? global->GetContactPoom() : nullptr, choice.lContactId, kContactCardFormat);
}

bool CComposerFrame::InsertCalendarEntry() {
  const std::optional<platform::pim::CalendarChoice> choice = platform::pim::ChooseCalendarItem(GetHandle());
  if (!choice) return false;
  CMMSGlobal* global = GetMMSGlobal();
  ULC_Poom* store = nullptr;
  if (global != nullptr) {
    store = choice->kind == platform::pim::PimKind::kTask ? global->GetTaskPoom() : global->GetAppointmentPoom();
  }
  return AttachPersonalData(store, static_cast<LONG>(choice->id), kCalendarEntryFormat);
}

bool CComposerFrame::AttachPersonalData(ULC_Poom* store, LONG id, DWORD format) {
  MessageModel& model = m_editor->Model();
  const std::u16string file = UniquePartName(format == kContactCardFormat ? u"vCard.vcf" : u"vCalendar.vcs");
  const std::u16string target = std::u16string(model.partFolder.View()) + file;
  // Written under a name of its own first, so that a failed export leaves no file the message
  // could take for its own.
  const std::u16string temporary = target + platform::Utf8ToUtf16(platform::TemporarySuffix());
  if (file.empty() || store == nullptr || !store->Export(id, temporary.c_str()) ||
      !MoveFileExW(temporary.c_str(), target.c_str(), 0)) {
    DeleteFileW(temporary.c_str());
    Tell(kPersonalDataCopyFailedText);
    return false;
  }
  const MediaType type = media_type::Make(media_type::kPersonalData, format);
  if (!CheckInsertion(target.c_str(), type, &model, &m_editor->CurrentSlide(), GetHandle(), false)) {
    DeleteFileW(target.c_str());
    return false;
  }
  AddPartOfType(model, file, type);
  CountAttachments(model);
  m_editor->SetChanged(true);
  ShowSizeMessage(GetHandle(), MessageSizeOf(model));
  return true;
}
