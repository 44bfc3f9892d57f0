#include "ui/keep_awake_timer.h"

#include "platform/kernel/power.h"

KeepAwakeTimer::KeepAwakeTimer(UINT_PTR id, UINT periodMs)
    : m_id(id), m_periodMs(periodMs), m_idleReset(&SystemIdleTimerReset) {}

KeepAwakeTimer::~KeepAwakeTimer() { Stop(); }

void KeepAwakeTimer::Start(HWND window) {
  if (m_handle != 0 || window == nullptr) return;
  m_handle = ::SetTimer(window, m_id, m_periodMs, nullptr);
  if (m_handle != 0) m_window = window;
}

void KeepAwakeTimer::Stop() {
  if (m_handle != 0 && ::IsWindow(m_window)) ::KillTimer(m_window, m_id);
  m_handle = 0;
  m_window = nullptr;
}

bool KeepAwakeTimer::Tick(UINT_PTR id) {
  if (id != m_id || m_handle == 0) return false;
  if (m_idleReset) m_idleReset();
  return true;
}
