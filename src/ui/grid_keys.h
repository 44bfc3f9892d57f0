// The arrow keys in a grid of cells laid out row by row: where each moves the selection.
#pragma once

#include <optional>

#include "platform/win_types.h"

// The cell an arrow key moves the selection to from `selection` in a grid of `columns` columns
// (the caller keeps it within the cells); nothing for any other key.
std::optional<int> GridKeyTarget(UINT key, int selection, int columns);
