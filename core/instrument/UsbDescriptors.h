#pragma once
// Recognises the instrument from a device's raw USB descriptors (the "descriptors" file the kernel
// shows under /sys/bus/usb/devices), by the same rule the libusb transport applies: in interface 0,
// alternate setting 0, of the active configuration (the first one while unconfigured), the
// endpoint at index 3 is bulk OUT and the one at index 4 is bulk IN. The udev helper uses it, so
// that exactly the devices the program would open become accessible to the logged-in user.
#include <cstddef>
#include <cstdint>

namespace usbdesc {

// blob: the device descriptor followed by the full descriptor sets of every configuration, as
// the kernel gives them. activeConfiguration: bConfigurationValue of the active configuration, 0
// when the device is unconfigured. Malformed or truncated input never matches.
bool IsInstrument(const uint8_t* blob, std::size_t size, int activeConfiguration);

}  // namespace usbdesc
