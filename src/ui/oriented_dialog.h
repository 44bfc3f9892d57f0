// COrientedDialog: a dialog with a portrait and a landscape template, laid out again from the
// other one when the screen rotates.
#pragma once

#include "ui/dialog_base.h"

// wParam of WM_SETTINGCHANGE after a rotation.
constexpr WPARAM SETTINGCHANGE_RESET = 0x3002;

class COrientedDialog : public CDialogBase {
 public:
  ~COrientedDialog() override;
  LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam) override;
  const MessageMap* GetMessageMap() const override;

  using CDialogBase::DoModal;
  // Runs the template of the current orientation.
  INT_PTR DoModal(HINSTANCE instance, DWORD portraitTemplateId, DWORD landscapeTemplateId, HWND parent);

 protected:
  LRESULT SettingChangeEntry(WPARAM wParam, LPARAM lParam);

 private:
  HINSTANCE m_instance = nullptr;
  DWORD m_portraitTemplate = 0;
  DWORD m_landscapeTemplate = 0;
};
