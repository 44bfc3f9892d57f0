#include "object_save_steps.h"

#include "forms/object_saving.h"
#include "platform/automation/automation.h"
#include "platform/text/text_conversion.h"

namespace mmsform_tool {

std::vector<SaveReport> SaveEach(CSaveObjectsWindow& window, const std::string& only) {
  std::vector<SaveReport> reports;
  const std::vector<SaveableObject> objects = window.Objects();
  for (std::size_t row = 0; row < objects.size(); ++row) {
    const SaveableObject& object = objects[row];
    if (!only.empty() && platform::Utf16ToUtf8(object.name.View()) != only) continue;
    window.Select(static_cast<int>(row));
    if (NeedsTypeExtension(object.name.View(), object.type)) platform::automation::QueueAnswer(IDOK);
    const std::size_t prompts = platform::automation::PromptLog().size();
    SendMessageW(window.GetHandle(), WM_COMMAND, save_objects::kSave, 0);
    platform::automation::PumpUntilIdle();
    SaveReport report{platform::Utf16ToUtf8(object.name.View()), window.LastSaveSucceeded(), {}};
    const auto& log = platform::automation::PromptLog();
    if (log.size() > prompts) report.message = platform::Utf16ToUtf8(log.back().text);
    if (media_type::KindOf(object.type) == media_type::kPersonalData && report.saved) {
      report.message = "opened through the shell, which imports it";
    } else if (report.message.empty()) {
      report.message = "cancelled";
    }
    reports.push_back(report);
  }
  return reports;
}

}  // namespace mmsform_tool
