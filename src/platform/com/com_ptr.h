// ComPtr: owns one reference to a component-model object and releases it when it goes.
#pragma once

#include <utility>

#include "platform/com/unknown.h"

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller owns (as an out-parameter hands one over).
  explicit ComPtr(T* owned) : m_object(owned) {}
  ComPtr(const ComPtr& other) : m_object(other.m_object) {
    if (m_object) m_object->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(m_object, other.m_object);
    return *this;
  }
  ~ComPtr() { Reset(); }

  T* Get() const { return m_object; }
  T* operator->() const { return m_object; }
  explicit operator bool() const { return m_object != nullptr; }
  void Reset() {
    if (T* object = std::exchange(m_object, nullptr)) object->Release();
  }
  // For out-parameters: releases what is held and hands out the slot.
  T** Receive() {
    Reset();
    return &m_object;
  }
  template <typename U>
  U** ReceiveAs() {
    Reset();
    return reinterpret_cast<U**>(&m_object);
  }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(m_object, nullptr); }

 private:
  T* m_object = nullptr;
};
