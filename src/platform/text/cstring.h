// CString: the reference-counted UTF-16 string of the platform libraries. Copies share one buffer
// until one of them changes; every empty string shares the one empty buffer (SharedEmptyString).
#pragma once

#include <atomic>
#include <compare>
#include <string>
#include <string_view>

#include "platform/win_types.h"

class CString {
 public:
  CString();
  CString(LPCWSTR text);  // NOLINT: converts like the platform's string class
  CString(std::u16string_view text);
  CString(const CString& other);
  CString(CString&& other) noexcept;
  CString& operator=(const CString& other);
  CString& operator=(CString&& other) noexcept;
  CString& operator=(std::u16string_view text);
  ~CString();

  int GetLength() const { return static_cast<int>(Header()->length); }
  bool IsEmpty() const { return GetLength() == 0; }
  void Empty();
  LPCWSTR GetString() const { return m_text; }
  operator LPCWSTR() const { return m_text; }  // NOLINT
  std::u16string_view View() const { return {m_text, Header()->length}; }
  WCHAR GetAt(int index) const { return m_text[index]; }
  WCHAR operator[](int index) const { return m_text[index]; }

  CString& operator+=(std::u16string_view text);
  CString& operator+=(WCHAR c);
  friend CString operator+(const CString& a, std::u16string_view b);
  friend bool operator==(const CString& a, const CString& b) { return a.View() == b.View(); }
  friend bool operator==(const CString& a, std::u16string_view b) { return a.View() == b; }
  friend bool operator==(const CString& a, LPCWSTR b) { return a.View() == std::u16string_view(b ? b : u""); }

  int Compare(std::u16string_view other) const;
  int CompareNoCase(std::u16string_view other) const;
  int Find(WCHAR c, int start = 0) const;
  int Find(std::u16string_view text, int start = 0) const;
  int ReverseFind(WCHAR c) const;
  CString Left(int count) const;
  CString Mid(int first, int count = -1) const;
  CString Right(int count) const;
  CString& MakeLower();
  CString& MakeUpper();
  CString& Trim();
  int Replace(std::u16string_view from, std::u16string_view to);
  int Delete(int index, int count = 1);
  int Insert(int index, std::u16string_view text);

  // printf-style formatting: %s and %ls wide text, %hs 8-bit text, %d %i %u %x %X %c %%, with flags,
  // width and precision as in printf.
  void Format(LPCWSTR format, ...);
  void AppendFormat(LPCWSTR format, ...);

  // A writable buffer of at least minLength characters; ReleaseBuffer takes the length (-1: up to
  // the first null).
  LPWSTR GetBuffer(int minLength);
  void ReleaseBuffer(int newLength = -1);

  std::string ToUtf8() const;
  static CString FromUtf8(std::string_view text);

  // How many strings share this one's buffer (the empty buffer reports 0: it is never freed).
  long ShareCount() const;

 private:
  struct Buffer {
    std::atomic<long> references;  // 0 marks the shared empty buffer
    std::size_t length;
    std::size_t capacity;
  };
  Buffer* Header() const { return reinterpret_cast<Buffer*>(const_cast<WCHAR*>(m_text)) - 1; }
  static WCHAR* Allocate(std::size_t capacity);
  void Release();
  void Assign(std::u16string_view text);
  void MakeUnique(std::size_t capacity);

  WCHAR* m_text;
};

// The shared empty string's characters: every empty CString points here.
LPCWSTR SharedEmptyString();
