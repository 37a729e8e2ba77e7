#pragma once
// An in-process stand-in for the libusb-1.0 library: the test executable defines the libusb calls
// the USB backend makes, and these definitions take the place of the shared library's. A test
// describes the devices present and the IN transfers the device will complete, in order; the fake
// records every OUT byte and what the backend asked for.
#include <cstdint>
#include <string>
#include <vector>

namespace fakeusb {

struct Endpoint {
    uint8_t address;     // bit 7 set: IN
    uint8_t attributes;  // 2: bulk
};

struct Device {
    int bus = 1;
    int address = 5;
    uint16_t vid = 0x1234;
    uint16_t pid = 0x0118;
    std::vector<Endpoint> endpoints;  // of interface 0, in order
    bool openFails = false;
};

// Endpoints of the instrument: bulk OUT 0x03 at index 3, bulk IN 0x84 at index 4.
Device Instrument(int bus = 1, int address = 5);

// One IN transfer as the device completes it; Interrupted is no transfer but a signal that ends
// one wait for events early.
struct InTransfer {
    enum Kind { Data, Never, Error, Interrupted } kind = Data;
    std::string bytes;  // copied into the transfer's buffer (at most the length asked for)
};

struct State {
    std::vector<Device> devices;
    std::vector<InTransfer> in;  // consumed in order; none left: the read never completes
    int outLimit = 1 << 20;      // bytes the device takes per OUT transfer
    bool outFails = false;
    bool submitFails = false;

    // What the backend did.
    std::string written;                 // every OUT byte, in order
    std::vector<unsigned> writeTimeouts;
    std::vector<int> submittedLengths;   // length of every IN transfer submitted
    bool dirtyBuffer = false;            // an IN transfer was submitted over a buffer not zero-filled
    int cancels = 0;
    int openHandles = 0;
    int claimed = 0;
    bool inFlight = false;               // an IN transfer is submitted and its callback has not run
    int contexts = 0;
};

State& S();
void Reset();

}  // namespace fakeusb
