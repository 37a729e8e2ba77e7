#include "core/instrument/UsbDescriptors.h"

#include <algorithm>

namespace usbdesc {

namespace {

constexpr uint8_t kDevice = 1, kConfiguration = 2, kInterface = 4, kEndpoint = 5;

struct Endpoint {
    uint8_t address = 0, attributes = 0;
};

bool IsBulk(const Endpoint& e, bool in) { return (e.attributes & 0x03) == 2 && ((e.address & 0x80) != 0) == in; }

}  // namespace

bool IsInstrument(const uint8_t* blob, std::size_t size, int activeConfiguration) {
    if (blob == nullptr || size < 18 || blob[0] < 18 || blob[1] != kDevice) return false;

    // The configuration whose descriptors the transport would look at.
    const uint8_t* config = nullptr;
    std::size_t configSize = 0;
    for (std::size_t off = blob[0]; off + 9 <= size;) {
        const uint8_t* c = blob + off;
        const std::size_t total = static_cast<std::size_t>(c[2]) | static_cast<std::size_t>(c[3]) << 8;
        if (c[0] < 9 || c[1] != kConfiguration || total < 9) return false;
        const std::size_t length = std::min(total, size - off);
        if (activeConfiguration > 0 ? c[5] == activeConfiguration : off == blob[0]) {
            config = c;
            configSize = length;
            break;
        }
        off += length;
    }
    if (config == nullptr || config[4] == 0) return false;

    // The first interface descriptor is interface 0, alternate setting 0, as libusb lists them;
    // its endpoints follow it, with class-specific descriptors allowed in between.
    Endpoint endpoints[5];
    int count = 0, wanted = -1;
    for (std::size_t off = config[0]; off + 2 <= configSize;) {
        const uint8_t* d = config + off;
        const uint8_t length = d[0], type = d[1];
        if (length < 2 || off + length > configSize) return false;
        if (wanted < 0) {
            if (type == kInterface) {
                if (length < 9) return false;
                wanted = d[4];
            }
        } else if (type == kInterface || type == kConfiguration || type == kDevice) {
            break;
        } else if (type == kEndpoint) {
            if (length < 7) return false;
            if (count < 5) endpoints[count] = {d[2], d[3]};
            if (++count >= wanted) break;
        }
        off += length;
    }
    const int present = std::min(count, wanted);
    return present >= 5 && IsBulk(endpoints[3], false) && IsBulk(endpoints[4], true);
}

}  // namespace usbdesc
