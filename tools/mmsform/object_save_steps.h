// Saving the objects of an open save-objects window as a person would: each one chosen in the
// list and saved with the window's own Save command, the type's extension accepted.
#pragma once

#include <string>
#include <vector>

#include "forms/save_objects_window.h"

namespace mmsform_tool {

struct SaveReport {
  std::string name;
  bool saved = false;
  // What the window said: where the file went, or why it was not saved.
  std::string message;
};

// Saves the object named `only`, or every object when it is empty; one report for each.
std::vector<SaveReport> SaveEach(CSaveObjectsWindow& window, const std::string& only);

}  // namespace mmsform_tool
