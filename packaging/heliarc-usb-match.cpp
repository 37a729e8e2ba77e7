// heliarc-usb-match SYSFS_DEVICE: exit status 0 when the USB device at that sysfs path is a ZQ118
// as the program recognises it, 1 when it is not, 2 when its descriptors cannot be read. Run by the
// udev rule, which then lets the logged-in user open the device.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/instrument/UsbDescriptors.h"

namespace {

bool ReadFile(const std::string& path, std::vector<uint8_t>& out) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    uint8_t buffer[4096];
    // A device's descriptors are a few hundred bytes; the limit only guards against a runaway file.
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0 && out.size() < (1u << 20);)
        out.insert(out.end(), buffer, buffer + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: heliarc-usb-match SYSFS_DEVICE_PATH\n");
        return 2;
    }
    const std::string device = argv[1];
    std::vector<uint8_t> descriptors, configuration;
    if (!ReadFile(device + "/descriptors", descriptors)) return 2;
    // Empty while the device is unconfigured.
    int active = 0;
    if (ReadFile(device + "/bConfigurationValue", configuration) && !configuration.empty())
        active = std::atoi(std::string(configuration.begin(), configuration.end()).c_str());
    return usbdesc::IsInstrument(descriptors.data(), descriptors.size(), active) ? 0 : 1;
}
