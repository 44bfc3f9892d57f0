#include "platform/phone/sim_card.h"

#include <memory>
#include <string>

#include "platform/registry/registry.h"

struct SimSession {
  HKEY key = nullptr;
};

namespace {

constexpr HRESULT kBufferTooSmall = static_cast<HRESULT>(0x8007007A);
constexpr const WCHAR* kSimKey = u"\\Platform\\SIM";

bool CardPresent(HKEY key) {
  DWORD present = 1;
  DWORD size = sizeof present;
  DWORD type = REG_NONE;
  if (RegQueryValueExW(key, u"Present", nullptr, &type, reinterpret_cast<BYTE*>(&present), &size) != ERROR_SUCCESS) {
    return true;
  }
  return type != REG_DWORD || present != 0;
}

}  // namespace

HRESULT SimInitialize(DWORD, void*, DWORD, HSIM* sim) {
  if (sim == nullptr) return E_INVALIDARG;
  *sim = nullptr;
  auto session = std::make_unique<SimSession>();
  // A device that never had its card described has a card without a number.
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSimKey, 0, KEY_READ, &session->key) != ERROR_SUCCESS) {
    session->key = nullptr;
  } else if (!CardPresent(session->key)) {
    RegCloseKey(session->key);
    return SIM_E_NOSIM;
  }
  *sim = session.release();
  return S_OK;
}

HRESULT SimDeinitialize(HSIM sim) {
  if (sim == nullptr) return E_INVALIDARG;
  if (sim->key != nullptr) RegCloseKey(sim->key);
  delete sim;
  return S_OK;
}

HRESULT SimGetSubscriberNumber(HSIM sim, WCHAR* number, DWORD count) {
  if (sim == nullptr || number == nullptr || count == 0) return E_INVALIDARG;
  number[0] = 0;
  if (sim->key == nullptr) return SIM_E_NOTFOUND;
  WCHAR stored[kMaxSubscriberNumberChars + 1] = {};
  DWORD size = sizeof stored - sizeof(WCHAR);
  DWORD type = REG_NONE;
  if (RegQueryValueExW(sim->key, u"SubscriberNumber", nullptr, &type, reinterpret_cast<BYTE*>(stored), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ || stored[0] == 0) {
    return SIM_E_NOTFOUND;
  }
  const std::u16string text(stored);
  if (text.size() + 1 > count) return kBufferTooSmall;
  text.copy(number, text.size());
  number[text.size()] = 0;
  return S_OK;
}
