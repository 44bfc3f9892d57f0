// Reset hooks of the automation's parts, joined by Reset().
#pragma once

namespace platform::automation {

void ResetPrompts();
void ResetHooks();

}  // namespace platform::automation
