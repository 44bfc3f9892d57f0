// What the dialog manager keeps per dialog window, beside the window itself.
#pragma once

#include <memory>

#include "platform/dialog/dialog_api.h"
#include "platform/gdi/gdi_raii.h"

namespace platform::dialog {

struct DialogState {
  DLGPROC procedure = nullptr;
  platform::gdi::UniqueFont font;
  // Base units of the font at 96 dpi (pixels per 4 horizontal and 8 vertical units) and the
  // screen's density they are scaled to, so that a denser screen gets the same dialog enlarged.
  int baseX = 0;
  int baseY = 0;
  int dpi = 96;
  bool modal = false;
  bool ended = false;
  INT_PTR result = IDCANCEL;
};

// A dialog rectangle in pixels: placed at 96 dpi, then scaled by the density.
RECT DialogUnitsToPixels(const DialogState& state, const RECT& units);

// The state of a live dialog, shared so that a modal loop outlives a dialog destroyed under it.
std::shared_ptr<DialogState> FindDialog(HWND hwnd);

// Registers the "Dialog" class (idempotent).
void EnsureDialogClass();

// Builds a dialog: window, font, controls, WM_INITDIALOG. Null on failure, with nothing shown.
HWND BuildDialog(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent, DLGPROC procedure,
                 LPARAM initParam, bool modal);

}  // namespace platform::dialog
