// The dialler, started with a number to show or with nothing: on this device it only says that it
// was started, in the device's activity log ($MMSFORM_DEVICE is the device of the process that
// started it).
#include <string>

#include "platform/kernel/activity_log.h"
#include "platform/kernel/device.h"

int main(int argc, char** argv) {
  if (!platform::OpenDevice(platform::DefaultDeviceRoot(), platform::RegistrySeed::kFactory)) return 1;
  const std::string number = argc > 1 ? argv[1] : "";
  const bool recorded = platform::RecordActivity("dialler", number.empty() ? "started" : "started with " + number);
  platform::CloseDevice();
  return recorded ? 0 : 1;
}
