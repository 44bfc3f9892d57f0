// The soft keys of the read view's dialogs. Each dialog has a bar of its own over the view's, so
// that the view's keys (reply, its menu) cannot act behind a dialog while it is open.
#pragma once

#include "platform/window/window_api.h"

// Done alone, for the dialogs that only show something.
constexpr UINT kDoneSoftKeys = 256;
// OK and Cancel, for the dialogs that ask.
constexpr UINT kOkCancelSoftKeys = 257;

// Makes the bar of `menu` for the dialog (destroyed with it); null when it cannot be made.
HWND CreateDialogSoftKeys(HWND dialog, UINT menu);

// The dialog's client area above its soft-key bar `keys` (the whole area without one), so that
// what fills it is not hidden behind the keys.
RECT ClientAboveSoftKeys(HWND dialog, HWND keys);
