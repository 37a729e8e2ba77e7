// The udev helper must pick out exactly the devices the libusb transport would open: the endpoint
// layout of interface 0 of the active configuration, read from the kernel's raw descriptors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/instrument/UsbDescriptors.h"
#include "tests/support/TestSupport.h"

namespace {

using Blob = std::vector<uint8_t>;

struct Ep {
    uint8_t address, attributes;
};
constexpr uint8_t kBulk = 2, kInterrupt = 3;

void Append(Blob& b, std::initializer_list<uint8_t> bytes) { b.insert(b.end(), bytes); }

// One configuration: a config descriptor, then for each interface its descriptor and endpoints.
// extraAfterEndpoint inserts a class-specific descriptor after every endpoint.
Blob Config(uint8_t value, const std::vector<std::vector<Ep>>& interfaces, bool extraAfterEndpoint = false,
            int declaredEndpoints = -1) {
    Blob c;
    Append(c, {9, 2, 0, 0, static_cast<uint8_t>(interfaces.size()), value, 0, 0x80, 50});
    for (std::size_t i = 0; i < interfaces.size(); ++i) {
        const uint8_t n = declaredEndpoints >= 0 ? static_cast<uint8_t>(declaredEndpoints)
                                                 : static_cast<uint8_t>(interfaces[i].size());
        Append(c, {9, 4, static_cast<uint8_t>(i), 0, n, 0xFF, 0, 0, 0});
        for (const Ep& e : interfaces[i]) {
            Append(c, {7, 5, e.address, e.attributes, 64, 0, 0});
            if (extraAfterEndpoint) Append(c, {4, 0x25, 1, 0});
        }
    }
    c[2] = static_cast<uint8_t>(c.size() & 0xFF);
    c[3] = static_cast<uint8_t>(c.size() >> 8);
    return c;
}

Blob Device(const std::vector<Blob>& configs) {
    Blob b;
    Append(b, {18, 1, 0x00, 0x02, 0, 0, 0, 64, 0x34, 0x12, 0x78, 0x56, 0, 1, 1, 2, 3,
               static_cast<uint8_t>(configs.size())});
    for (const Blob& c : configs) b.insert(b.end(), c.begin(), c.end());
    return b;
}

// The instrument's interface: the write pipe at index 3, the read pipe at index 4.
const std::vector<Ep> kInstrument = {{0x81, kInterrupt}, {0x02, kBulk}, {0x83, kBulk}, {0x04, kBulk}, {0x85, kBulk}};

bool Matches(const Blob& b, int active = 1) { return usbdesc::IsInstrument(b.data(), b.size(), active); }

}  // namespace

TEST(UsbDescriptors, EndpointLayoutOfInterfaceZeroDecides) {
    EXPECT_TRUE(Matches(Device({Config(1, {kInstrument})})));
    EXPECT_TRUE(Matches(Device({Config(1, {kInstrument}, true)}))) << "class-specific descriptors in between";

    auto swapped = kInstrument;
    std::swap(swapped[3], swapped[4]);
    EXPECT_FALSE(Matches(Device({Config(1, {swapped})})));
    auto interrupt = kInstrument;
    interrupt[3].attributes = kInterrupt;
    EXPECT_FALSE(Matches(Device({Config(1, {interrupt})})));
    auto four = kInstrument;
    four.pop_back();
    EXPECT_FALSE(Matches(Device({Config(1, {four})})));
    // A mass storage device: one bulk pair only.
    EXPECT_FALSE(Matches(Device({Config(1, {{{0x81, kBulk}, {0x02, kBulk}}})})));
    // The layout on a later interface is not the instrument's: the transport only looks at interface 0.
    EXPECT_FALSE(Matches(Device({Config(1, {{{0x81, kBulk}, {0x02, kBulk}}, kInstrument})})));
    // Endpoints beyond the declared count are not the interface's.
    EXPECT_FALSE(Matches(Device({Config(1, {kInstrument}, false, 4)})));
}

TEST(UsbDescriptors, ActiveConfigurationIsTheOneLookedAt) {
    const Blob two = Device({Config(1, {{{0x81, kBulk}, {0x02, kBulk}}}), Config(2, {kInstrument})});
    EXPECT_FALSE(Matches(two, 1));
    EXPECT_TRUE(Matches(two, 2));
    EXPECT_FALSE(Matches(two, 3)) << "no such configuration";
    // Unconfigured: the first configuration, as the transport falls back to index 0.
    EXPECT_FALSE(Matches(two, 0));
    EXPECT_TRUE(Matches(Device({Config(5, {kInstrument})}), 0));
}

TEST(UsbDescriptors, MalformedOrTruncatedInputNeverMatches) {
    const Blob good = Device({Config(1, {kInstrument})});
    // 18 device bytes, 9 config, 9 interface, then the fifth endpoint ends 5 * 7 bytes later.
    const std::size_t needed = 18 + 9 + 9 + 5 * 7;
    for (std::size_t n = 0; n < needed; ++n) EXPECT_FALSE(Matches(Blob(good.begin(), good.begin() + n))) << n;

    Blob zeroLength = good;
    zeroLength[18 + 9 + 9] = 0;  // first endpoint claims length 0: must not loop or match
    EXPECT_FALSE(Matches(zeroLength));
    Blob overlong = good;
    overlong[18 + 9 + 9] = 200;  // runs past the configuration
    EXPECT_FALSE(Matches(overlong));
    Blob notDevice = good;
    notDevice[1] = 2;
    EXPECT_FALSE(Matches(notDevice));
    Blob badTotal = good;
    badTotal[18 + 2] = 3;
    badTotal[18 + 3] = 0;
    EXPECT_FALSE(Matches(badTotal));
    EXPECT_FALSE(usbdesc::IsInstrument(nullptr, 100, 1));
}

TEST(UsbDescriptors, HelperReadsTheSysfsFolder) {
    testsupport::TempWorkDir dir;
    const std::string helper = std::string(HELIARC_BINARY_DIR) + "/packaging/heliarc-usb-match";
    auto write = [&](const std::string& name, const Blob& bytes) {
        std::ofstream(dir.Path() + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
    auto run = [&] { return WEXITSTATUS(std::system((helper + " " + dir.Path()).c_str())); };

    EXPECT_EQ(run(), 2) << "no descriptors file";
    write("descriptors", Device({Config(1, {{{0x81, kBulk}, {0x02, kBulk}}}), Config(2, {kInstrument})}));
    write("bConfigurationValue", {'2', '\n'});
    EXPECT_EQ(run(), 0);
    write("bConfigurationValue", {'1', '\n'});
    EXPECT_EQ(run(), 1);
    write("bConfigurationValue", {});  // unconfigured: the first configuration
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(WEXITSTATUS(std::system((helper + " 2>/dev/null").c_str())), 2) << "usage";
}
