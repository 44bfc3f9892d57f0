#include "platform/dialog/dialog_template.h"

namespace platform::dialog {
namespace {

// Text fields longer than this are taken as a missing terminator.
constexpr std::size_t kMaxNameLength = 1024;

class TemplateCursor {
 public:
  explicit TemplateCursor(std::span<const BYTE> bytes) : m_bytes(bytes) {}

  bool Word(WORD* out) {
    if (m_bytes.size() - m_pos < 2) return Fail("template ends inside a word");
    *out = static_cast<WORD>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
    m_pos += 2;
    return true;
  }
  bool Dword(DWORD* out) {
    WORD low = 0, high = 0;
    if (!Word(&low) || !Word(&high)) return false;
    *out = low | (static_cast<DWORD>(high) << 16);
    return true;
  }
  bool Short(short* out) {
    WORD value = 0;
    if (!Word(&value)) return false;
    *out = static_cast<short>(value);
    return true;
  }
  bool Text(std::u16string* out) {
    for (WORD c = 0; Word(&c);) {
      if (c == 0) return true;
      if (out->size() >= kMaxNameLength) return Fail("text field without an end");
      out->push_back(static_cast<char16_t>(c));
    }
    return false;
  }
  // 0 (none), 0xFFFF and an ordinal, or a zero-terminated text.
  bool Name(NameField* out) {
    WORD first = 0;
    if (!Word(&first)) return false;
    if (first == 0) return true;
    if (first == 0xFFFF) {
      out->isOrdinal = true;
      return Word(&out->ordinal);
    }
    out->text.push_back(static_cast<char16_t>(first));
    return Text(&out->text);
  }
  bool Align4() {
    std::size_t aligned = (m_pos + 3) & ~std::size_t{3};
    // The last item may end without padding.
    m_pos = std::min(aligned, m_bytes.size());
    return true;
  }
  bool Bytes(std::size_t count, std::span<const BYTE>* out) {
    if (m_bytes.size() - m_pos < count) return Fail("creation data runs past the template");
    *out = m_bytes.subspan(m_pos, count);
    m_pos += count;
    return true;
  }
  bool Fail(const char* reason) {
    if (m_error.reason.empty()) m_error = TemplateError{m_pos, reason};
    return false;
  }
  const TemplateError& Error() const { return m_error; }

 private:
  std::span<const BYTE> m_bytes;
  std::size_t m_pos = 0;
  TemplateError m_error;
};

bool ReadItem(TemplateCursor& in, DialogItemTemplate* item) {
  in.Align4();
  WORD extra = 0;
  if (!in.Dword(&item->style) || !in.Dword(&item->exStyle) || !in.Short(&item->x) || !in.Short(&item->y) ||
      !in.Short(&item->cx) || !in.Short(&item->cy) || !in.Word(&item->id) || !in.Name(&item->windowClass) ||
      !in.Name(&item->title) || !in.Word(&extra)) {
    return false;
  }
  // The count includes its own word when data follows.
  return extra == 0 || in.Bytes(extra >= 2 ? extra - 2u : 0u, &item->creationData);
}

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const BYTE> bytes, TemplateError* error) {
  TemplateCursor in(bytes);
  DialogTemplate result;
  WORD count = 0;
  NameField title;
  bool ok = in.Dword(&result.style) && in.Dword(&result.exStyle) && in.Word(&count) && in.Short(&result.x) &&
            in.Short(&result.y) && in.Short(&result.cx) && in.Short(&result.cy) && in.Name(&result.menu) &&
            in.Name(&result.windowClass) && in.Name(&title);
  if (ok && count > kMaxDialogItems) ok = in.Fail("too many items");
  if (ok && (result.style & DS_SETFONT)) ok = in.Word(&result.pointSize) && in.Text(&result.face);
  for (WORD i = 0; ok && i < count; ++i) {
    DialogItemTemplate item;
    ok = ReadItem(in, &item);
    if (ok) result.items.push_back(std::move(item));
  }
  if (!ok) {
    if (error) *error = in.Error();
    return std::nullopt;
  }
  result.title = std::move(title.text);
  return result;
}

std::u16string_view ClassNameOfOrdinal(WORD ordinal) {
  switch (ordinal) {
    case kButtonOrdinal: return u"BUTTON";
    case kEditOrdinal: return u"EDIT";
    case kStaticOrdinal: return u"STATIC";
    case kListBoxOrdinal: return u"LISTBOX";
    case kScrollBarOrdinal: return u"SCROLLBAR";
    case kComboBoxOrdinal: return u"COMBOBOX";
    default: return {};
  }
}

}  // namespace platform::dialog
