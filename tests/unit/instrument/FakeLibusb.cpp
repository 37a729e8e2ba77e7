#include "tests/unit/instrument/FakeLibusb.h"

#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <thread>

struct libusb_context {
    int unused = 0;
};
struct libusb_device {
    std::size_t index = 0;
};
struct libusb_device_handle {
    libusb_device* device = nullptr;
};

namespace fakeusb {

Device Instrument(int bus, int address) {
    Device d;
    d.bus = bus;
    d.address = address;
    d.endpoints = {{0x81, 3}, {0x02, 2}, {0x83, 2}, {0x03, 2}, {0x84, 2}};
    return d;
}

namespace {
State g_state;
std::vector<std::unique_ptr<libusb_device>> g_devices;  // stable pointers for the listed devices
libusb_transfer* g_pending = nullptr;
bool g_cancelled = false;

struct Config {
    libusb_config_descriptor cfg{};
    libusb_interface itf{};
    libusb_interface_descriptor alt{};
    std::vector<libusb_endpoint_descriptor> eps;
};
std::map<const libusb_config_descriptor*, std::unique_ptr<Config>> g_configs;

Device* Find(libusb_device* dev) {
    return dev && dev->index < g_state.devices.size() ? &g_state.devices[dev->index] : nullptr;
}

void Complete(libusb_transfer* t, libusb_transfer_status status, int actual) {
    t->status = status;
    t->actual_length = actual;
    g_pending = nullptr;
    g_cancelled = false;
    g_state.inFlight = false;
    t->callback(t);
}
}  // namespace

State& S() { return g_state; }

void Reset() {
    g_state = State{};
    g_devices.clear();
    g_pending = nullptr;
    g_cancelled = false;
}

}  // namespace fakeusb

using namespace fakeusb;

extern "C" {

int LIBUSB_CALL libusb_init(libusb_context** ctx) {
    *ctx = new libusb_context;
    ++g_state.contexts;
    return 0;
}

void LIBUSB_CALL libusb_exit(libusb_context* ctx) {
    delete ctx;
    --g_state.contexts;
}

ssize_t LIBUSB_CALL libusb_get_device_list(libusb_context*, libusb_device*** list) {
    const std::size_t n = g_state.devices.size();
    while (g_devices.size() < n) {
        g_devices.push_back(std::make_unique<libusb_device>());
        g_devices.back()->index = g_devices.size() - 1;
    }
    *list = new libusb_device*[n + 1];
    for (std::size_t i = 0; i < n; ++i) (*list)[i] = g_devices[i].get();
    (*list)[n] = nullptr;
    return static_cast<ssize_t>(n);
}

void LIBUSB_CALL libusb_free_device_list(libusb_device** list, int) { delete[] list; }

uint8_t LIBUSB_CALL libusb_get_bus_number(libusb_device* dev) { return static_cast<uint8_t>(Find(dev)->bus); }
uint8_t LIBUSB_CALL libusb_get_device_address(libusb_device* dev) { return static_cast<uint8_t>(Find(dev)->address); }

int LIBUSB_CALL libusb_get_device_descriptor(libusb_device* dev, libusb_device_descriptor* desc) {
    std::memset(desc, 0, sizeof *desc);
    desc->idVendor = Find(dev)->vid;
    desc->idProduct = Find(dev)->pid;
    return 0;
}

int LIBUSB_CALL libusb_get_active_config_descriptor(libusb_device* dev, libusb_config_descriptor** config) {
    auto c = std::make_unique<Config>();
    for (const Endpoint& e : Find(dev)->endpoints) {
        libusb_endpoint_descriptor d{};
        d.bEndpointAddress = e.address;
        d.bmAttributes = e.attributes;
        c->eps.push_back(d);
    }
    c->alt.bNumEndpoints = static_cast<uint8_t>(c->eps.size());
    c->alt.endpoint = c->eps.data();
    c->itf.altsetting = &c->alt;
    c->itf.num_altsetting = 1;
    c->cfg.bNumInterfaces = 1;
    c->cfg.interface = &c->itf;
    *config = &c->cfg;
    g_configs[&c->cfg] = std::move(c);
    return 0;
}

int LIBUSB_CALL libusb_get_config_descriptor(libusb_device* dev, uint8_t, libusb_config_descriptor** config) {
    return libusb_get_active_config_descriptor(dev, config);
}

void LIBUSB_CALL libusb_free_config_descriptor(libusb_config_descriptor* config) { g_configs.erase(config); }

int LIBUSB_CALL libusb_open(libusb_device* dev, libusb_device_handle** handle) {
    if (Find(dev)->openFails) return LIBUSB_ERROR_ACCESS;
    *handle = new libusb_device_handle{dev};
    ++g_state.openHandles;
    return 0;
}

void LIBUSB_CALL libusb_close(libusb_device_handle* handle) {
    delete handle;
    --g_state.openHandles;
}

libusb_device* LIBUSB_CALL libusb_get_device(libusb_device_handle* handle) { return handle->device; }
int LIBUSB_CALL libusb_set_auto_detach_kernel_driver(libusb_device_handle*, int) { return 0; }

int LIBUSB_CALL libusb_claim_interface(libusb_device_handle*, int) {
    ++g_state.claimed;
    return 0;
}

int LIBUSB_CALL libusb_release_interface(libusb_device_handle*, int) {
    --g_state.claimed;
    return 0;
}

int LIBUSB_CALL libusb_bulk_transfer(libusb_device_handle*, unsigned char endpoint, unsigned char* data, int length,
                                     int* transferred, unsigned int timeout) {
    *transferred = 0;
    if ((endpoint & LIBUSB_ENDPOINT_IN) != 0) return LIBUSB_ERROR_INVALID_PARAM;  // reads go asynchronously
    g_state.writeTimeouts.push_back(timeout);
    if (g_state.outFails) return LIBUSB_ERROR_IO;
    const int n = std::min(length, g_state.outLimit);
    g_state.written.append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(n));
    *transferred = n;
    return n < length ? LIBUSB_ERROR_TIMEOUT : 0;
}

libusb_transfer* LIBUSB_CALL libusb_alloc_transfer(int) {
    return static_cast<libusb_transfer*>(std::calloc(1, sizeof(libusb_transfer)));
}

void LIBUSB_CALL libusb_free_transfer(libusb_transfer* transfer) { std::free(transfer); }

int LIBUSB_CALL libusb_submit_transfer(libusb_transfer* transfer) {
    if (g_state.submitFails) return LIBUSB_ERROR_NO_DEVICE;
    if (g_pending != nullptr) return LIBUSB_ERROR_BUSY;
    g_state.submittedLengths.push_back(transfer->length);
    for (int i = 0; i < transfer->length; ++i)
        if (transfer->buffer[i] != 0) g_state.dirtyBuffer = true;
    g_pending = transfer;
    g_state.inFlight = true;
    return 0;
}

int LIBUSB_CALL libusb_cancel_transfer(libusb_transfer* transfer) {
    if (transfer != g_pending) return LIBUSB_ERROR_NOT_FOUND;
    ++g_state.cancels;
    g_cancelled = true;
    return 0;
}

// Completes the pending transfer as the script says, running its callback here as libusb does;
// otherwise waits out the time given, as a device that sends nothing.
int LIBUSB_CALL libusb_handle_events_timeout_completed(libusb_context*, struct timeval* tv, int*) {
    libusb_transfer* t = g_pending;
    if (t != nullptr && g_cancelled) {
        if (!g_state.in.empty() && g_state.in.front().kind == InTransfer::Never) g_state.in.erase(g_state.in.begin());
        Complete(t, LIBUSB_TRANSFER_CANCELLED, 0);
        return 0;
    }
    if (t != nullptr && !g_state.in.empty() && g_state.in.front().kind != InTransfer::Never) {
        InTransfer step = g_state.in.front();
        g_state.in.erase(g_state.in.begin());
        if (step.kind == InTransfer::Interrupted) return LIBUSB_ERROR_INTERRUPTED;
        if (step.kind == InTransfer::Error) {
            Complete(t, LIBUSB_TRANSFER_ERROR, 0);
            return 0;
        }
        const int n = std::min(static_cast<int>(step.bytes.size()), t->length);
        std::memcpy(t->buffer, step.bytes.data(), static_cast<std::size_t>(n));
        Complete(t, LIBUSB_TRANSFER_COMPLETED, n);
        return 0;
    }
    const auto wait = std::chrono::seconds(tv->tv_sec) + std::chrono::microseconds(tv->tv_usec);
    std::this_thread::sleep_for(std::min<std::chrono::microseconds>(wait, std::chrono::milliseconds(20)));
    return 0;
}

}  // extern "C"
