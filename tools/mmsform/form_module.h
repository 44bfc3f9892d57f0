// The form module as the messaging application holds it: loaded by name, initialised once, and
// uninitialised and freed when the object goes.
#pragma once

#include "forms/form_provider.h"
#include "platform/kernel/module_api.h"

namespace mmsform_tool {

class FormModule {
 public:
  FormModule() = default;
  ~FormModule();
  FormModule(const FormModule&) = delete;
  FormModule& operator=(const FormModule&) = delete;

  // Loads "MMSForm.dll", resolves its exports and calls MMSForm_Init; false when the library or
  // an export is missing.
  bool Load();
  MMSForm_CreateReadFormFn CreateReadForm() const { return m_createRead; }
  MMSForm_CreateComposeFormFn CreateComposeForm() const { return m_createCompose; }

 private:
  HMODULE m_module = nullptr;
  MMSForm_UninitFn m_uninit = nullptr;
  MMSForm_CreateReadFormFn m_createRead = nullptr;
  MMSForm_CreateComposeFormFn m_createCompose = nullptr;
};

}  // namespace mmsform_tool
