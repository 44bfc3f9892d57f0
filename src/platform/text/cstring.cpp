#include "platform/text/cstring.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/resources/resource_string.h"
#include "platform/text/text_conversion.h"
#include "platform/text/wide_format.h"

namespace {

// The one empty buffer: a header with reference count 0 followed by a null character.
struct EmptyBuffer {
  std::atomic<long> references{0};
  std::size_t length = 0;
  std::size_t capacity = 0;
  WCHAR text[1] = {0};
};
EmptyBuffer g_empty;

}  // namespace

LPCWSTR SharedEmptyString() { return g_empty.text; }

WCHAR* CString::Allocate(std::size_t capacity) {
  void* block = ::operator new(sizeof(Buffer) + (capacity + 1) * sizeof(WCHAR));
  auto* header = new (block) Buffer{};
  header->references = 1;
  header->length = 0;
  header->capacity = capacity;
  auto* text = reinterpret_cast<WCHAR*>(header + 1);
  text[0] = 0;
  return text;
}

CString::CString() : m_text(g_empty.text) {}

CString::CString(LPCWSTR text) : m_text(g_empty.text) {
  // A pointer whose upper bits are clear is a string resource number, as on the device.
  if (reinterpret_cast<std::uintptr_t>(text) >= 1 && reinterpret_cast<std::uintptr_t>(text) < 0x10000) {
    Assign(platform::resources::LoadStringResource(static_cast<UINT>(reinterpret_cast<std::uintptr_t>(text))));
    return;
  }
  if (text != nullptr) Assign(text);
}

CString::CString(std::u16string_view text) : m_text(g_empty.text) { Assign(text); }

CString::CString(const CString& other) : m_text(other.m_text) {
  if (Header()->references.load() != 0) ++Header()->references;
}

CString::CString(CString&& other) noexcept : m_text(other.m_text) { other.m_text = g_empty.text; }

CString& CString::operator=(const CString& other) {
  if (this != &other) {
    if (other.Header()->references.load() != 0) ++other.Header()->references;
    Release();
    m_text = other.m_text;
  }
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (this != &other) {
    Release();
    m_text = other.m_text;
    other.m_text = g_empty.text;
  }
  return *this;
}

CString& CString::operator=(std::u16string_view text) {
  Assign(std::u16string(text));
  return *this;
}

CString::~CString() { Release(); }

void CString::Release() {
  Buffer* header = Header();
  if (header->references.load() != 0 && --header->references == 0) {
    header->~Buffer();
    ::operator delete(header);
  }
  m_text = g_empty.text;
}

void CString::Assign(std::u16string_view text) {
  if (text.empty()) {
    Release();
    return;
  }
  WCHAR* fresh = Allocate(text.size());
  std::memcpy(fresh, text.data(), text.size() * sizeof(WCHAR));
  fresh[text.size()] = 0;
  reinterpret_cast<Buffer*>(fresh)[-1].length = text.size();
  Release();
  m_text = fresh;
}

// Gives this string a buffer of its own with room for `capacity` characters, keeping the text.
void CString::MakeUnique(std::size_t capacity) {
  Buffer* header = Header();
  if (header->references.load() == 1 && header->capacity >= capacity) return;
  std::size_t length = header->length;
  WCHAR* fresh = Allocate(std::max(capacity, length));
  std::memcpy(fresh, m_text, (length + 1) * sizeof(WCHAR));
  reinterpret_cast<Buffer*>(fresh)[-1].length = length;
  Release();
  m_text = fresh;
}

void CString::Empty() { Release(); }

CString& CString::operator+=(std::u16string_view text) {
  if (text.empty()) return *this;
  std::u16string joined(View());
  joined += text;
  Assign(joined);
  return *this;
}

CString& CString::operator+=(WCHAR c) { return *this += std::u16string_view(&c, 1); }

CString operator+(const CString& a, std::u16string_view b) {
  CString result(a);
  result += b;
  return result;
}

int CString::Compare(std::u16string_view other) const {
  int order = View().compare(other);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int CString::CompareNoCase(std::u16string_view other) const {
  std::u16string a = platform::FoldCase(View());
  std::u16string b = platform::FoldCase(other);
  int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int CString::Find(WCHAR c, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  auto at = View().find(c, static_cast<std::size_t>(start));
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

int CString::Find(std::u16string_view text, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  auto at = View().find(text, static_cast<std::size_t>(start));
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(WCHAR c) const {
  auto at = View().rfind(c);
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

CString CString::Left(int count) const {
  if (count <= 0) return CString();
  return CString(View().substr(0, static_cast<std::size_t>(count)));
}

CString CString::Mid(int first, int count) const {
  if (first < 0) first = 0;
  if (first >= GetLength()) return CString();
  std::size_t length = count < 0 ? std::u16string_view::npos : static_cast<std::size_t>(count);
  return CString(View().substr(static_cast<std::size_t>(first), length));
}

CString CString::Right(int count) const {
  if (count <= 0) return CString();
  if (count >= GetLength()) return *this;
  return CString(View().substr(static_cast<std::size_t>(GetLength() - count)));
}

CString& CString::MakeLower() {
  if (IsEmpty()) return *this;
  MakeUnique(Header()->length);
  for (std::size_t i = 0; i < Header()->length; ++i) m_text[i] = platform::FoldCase(m_text[i]);
  return *this;
}

CString& CString::MakeUpper() {
  if (IsEmpty()) return *this;
  MakeUnique(Header()->length);
  for (std::size_t i = 0; i < Header()->length; ++i) {
    WCHAR c = m_text[i];
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) m_text[i] = static_cast<WCHAR>(c - 32);
  }
  return *this;
}

CString& CString::Trim() {
  std::u16string_view view = View();
  auto blank = [](WCHAR c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  while (!view.empty() && blank(view.front())) view.remove_prefix(1);
  while (!view.empty() && blank(view.back())) view.remove_suffix(1);
  if (view.size() != View().size()) Assign(std::u16string(view));
  return *this;
}

int CString::Replace(std::u16string_view from, std::u16string_view to) {
  if (from.empty()) return 0;
  std::u16string text(View());
  int count = 0;
  for (std::size_t at = text.find(from); at != std::u16string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
    ++count;
  }
  if (count > 0) Assign(text);
  return count;
}

int CString::Delete(int index, int count) {
  if (index < 0 || count <= 0 || index >= GetLength()) return GetLength();
  std::u16string text(View());
  text.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
  Assign(text);
  return GetLength();
}

int CString::Insert(int index, std::u16string_view text) {
  if (index < 0) index = 0;
  if (index > GetLength()) index = GetLength();
  std::u16string joined(View());
  joined.insert(static_cast<std::size_t>(index), text);
  Assign(joined);
  return GetLength();
}

void CString::Format(LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  std::u16string text = platform::FormatWideV(format, args);
  va_end(args);
  Assign(text);
}

void CString::AppendFormat(LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  std::u16string text = platform::FormatWideV(format, args);
  va_end(args);
  *this += text;
}

LPWSTR CString::GetBuffer(int minLength) {
  std::size_t capacity = minLength > 0 ? static_cast<std::size_t>(minLength) : 0;
  if (capacity == 0 && IsEmpty()) capacity = 1;
  if (Header()->references.load() == 0) {
    WCHAR* fresh = Allocate(capacity);
    m_text = fresh;
  } else {
    MakeUnique(capacity);
  }
  return m_text;
}

void CString::ReleaseBuffer(int newLength) {
  if (Header()->references.load() == 0) return;
  std::size_t capacity = Header()->capacity;
  std::size_t length = newLength < 0 ? std::char_traits<WCHAR>::length(m_text) : static_cast<std::size_t>(newLength);
  if (length > capacity) length = capacity;
  m_text[length] = 0;
  Header()->length = length;
  if (length == 0) Release();
}

std::string CString::ToUtf8() const { return platform::Utf16ToUtf8(View()); }

CString CString::FromUtf8(std::string_view text) { return CString(platform::Utf8ToUtf16(text)); }

long CString::ShareCount() const { return Header()->references.load(); }
