// Owners for drawing handles: every object, memory context, selection and saved state is given
// back when its owner goes out of scope.
#pragma once

#include <utility>

#include "platform/gdi/gdi_api.h"

namespace platform::gdi {

// An owned GDI object (brush, pen, font, bitmap), deleted with DeleteObject.
template <typename Handle>
class UniqueObject {
 public:
  UniqueObject() = default;
  explicit UniqueObject(Handle handle) : m_handle(handle) {}
  ~UniqueObject() { Reset(); }
  UniqueObject(UniqueObject&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
  UniqueObject& operator=(UniqueObject&& other) noexcept {
    if (this != &other) {
      Reset(std::exchange(other.m_handle, nullptr));
    }
    return *this;
  }
  UniqueObject(const UniqueObject&) = delete;
  UniqueObject& operator=(const UniqueObject&) = delete;

  Handle Get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }
  Handle Release() { return std::exchange(m_handle, nullptr); }
  void Reset(Handle handle = nullptr) {
    if (m_handle) {
      DeleteObject(m_handle);
    }
    m_handle = handle;
  }

 private:
  Handle m_handle = nullptr;
};

using UniqueBrush = UniqueObject<HBRUSH>;
using UniquePen = UniqueObject<HPEN>;
using UniqueFont = UniqueObject<HFONT>;
using UniqueBitmap = UniqueObject<HBITMAP>;

// A memory device context, deleted with DeleteDC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatibleWith) : m_hdc(CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDc() {
    if (m_hdc) {
      DeleteDC(m_hdc);
    }
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;

  HDC Get() const { return m_hdc; }
  explicit operator bool() const { return m_hdc != nullptr; }

 private:
  HDC m_hdc;
};

// Selects an object for the lifetime of the scope and then puts the previous one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC hdc, HGDIOBJ object) : m_hdc(hdc), m_previous(SelectObject(hdc, object)) {}
  ~ScopedSelect() {
    if (m_previous) {
      SelectObject(m_hdc, m_previous);
    }
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

  bool Succeeded() const { return m_previous != nullptr; }

 private:
  HDC m_hdc;
  HGDIOBJ m_previous;
};

// Saves the whole drawing state (objects, colours, modes, clip, origin) and restores it at the end.
class DcStateSaver {
 public:
  explicit DcStateSaver(HDC hdc) : m_hdc(hdc), m_level(SaveDC(hdc)) {}
  ~DcStateSaver() {
    if (m_level > 0) {
      RestoreDC(m_hdc, m_level);
    }
  }
  DcStateSaver(const DcStateSaver&) = delete;
  DcStateSaver& operator=(const DcStateSaver&) = delete;

 private:
  HDC m_hdc;
  int m_level;
};

}  // namespace platform::gdi
