#include "form_module.h"

namespace mmsform_tool {

FormModule::~FormModule() {
  if (m_uninit != nullptr) m_uninit();
  if (m_module != nullptr) FreeLibrary(m_module);
}

bool FormModule::Load() {
  if (m_module == nullptr) m_module = LoadLibraryW(u"MMSForm.dll");
  if (m_module == nullptr) return false;
  auto init = reinterpret_cast<MMSForm_InitFn>(GetProcAddressW(m_module, u"MMSForm_Init"));
  auto uninit = reinterpret_cast<MMSForm_UninitFn>(GetProcAddressW(m_module, u"MMSForm_Uninit"));
  m_createRead = reinterpret_cast<MMSForm_CreateReadFormFn>(GetProcAddressW(m_module, u"MMSForm_CreateReadForm"));
  m_createCompose =
      reinterpret_cast<MMSForm_CreateComposeFormFn>(GetProcAddressW(m_module, u"MMSForm_CreateComposeForm"));
  if (init == nullptr || uninit == nullptr || m_createRead == nullptr || m_createCompose == nullptr) return false;
  init();
  // Uninitialised only once initialised.
  m_uninit = uninit;
  return true;
}

}  // namespace mmsform_tool
