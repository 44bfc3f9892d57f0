// The window the device's PIM choosers share: a caption bar with the title, a list of rows, and OK
// and Cancel buttons, filling the screen over its owner. With a front-end waiting for a person the
// window waits for a tap or a key; headless, the choice comes from the automation's answer queue as
// the row number, counted from 1 as the prompt lists the rows (0, or a number of no row, cancels).
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

namespace platform::pim {

struct ChooserRows {
  const WCHAR* windowClass;  // the chooser's own class, by which owners find and close it
  const WCHAR* promptKind;   // what the headless prompt is called
  HWND owner = nullptr;
  std::u16string title;
  std::vector<std::u16string> rows;
};

// The row picked, counted from 1; -1 when the person cancelled or there was no row to pick.
int ChooseRow(const ChooserRows& chooser);

}  // namespace platform::pim
