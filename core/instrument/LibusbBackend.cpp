#include "core/instrument/LibusbBackend.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

#include <libusb.h>

namespace {

struct Filter {
    bool active = false;
    uint16_t vid = 0, pid = 0;
};

Filter ReadFilter() {
    Filter f;
    if (const char* v = std::getenv("HELIARC_USB"); v != nullptr && *v != '\0') {
        f.active = CLibusbBackend::ParseVidPid(v, f.vid, f.pid);
    }
    return f;
}

// Endpoint address at index idx of interface 0, alternate setting 0, when it is a bulk endpoint
// of the wanted direction; 0 otherwise.
unsigned char EndpointAt(libusb_device* dev, int idx, bool in) {
    libusb_config_descriptor* cfg = nullptr;
    if (libusb_get_active_config_descriptor(dev, &cfg) != 0 &&
        libusb_get_config_descriptor(dev, 0, &cfg) != 0) {
        return 0;
    }
    unsigned char address = 0;
    if (cfg->bNumInterfaces > 0 && cfg->interface[0].num_altsetting > 0) {
        const libusb_interface_descriptor& alt = cfg->interface[0].altsetting[0];
        if (idx < alt.bNumEndpoints) {
            const libusb_endpoint_descriptor& ep = alt.endpoint[idx];
            bool isIn = (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) != 0;
            if ((ep.bmAttributes & 0x03) == LIBUSB_TRANSFER_TYPE_BULK && isIn == in) address = ep.bEndpointAddress;
        }
    }
    libusb_free_config_descriptor(cfg);
    return address;
}

bool IsInstrument(libusb_device* dev, const Filter& filter) {
    if (filter.active) {
        libusb_device_descriptor d{};
        if (libusb_get_device_descriptor(dev, &d) != 0 || d.idVendor != filter.vid || d.idProduct != filter.pid) {
            return false;
        }
    }
    return EndpointAt(dev, 3, false) != 0 && EndpointAt(dev, 4, true) != 0;
}

void LIBUSB_CALL OnTransferDone(libusb_transfer* transfer) {
    *static_cast<int*>(transfer->user_data) = 1;
}

int Key(int bus, int address) { return bus * 256 + address; }

bool ParseUint(const char*& p, long max, long& out) {
    if (*p < '0' || *p > '9') return false;
    out = 0;
    while (*p >= '0' && *p <= '9') {
        out = out * 10 + (*p - '0');
        if (out > max) return false;
        ++p;
    }
    return true;
}

}  // namespace

CLibusbBackend::CLibusbBackend() {
    if (libusb_init(&ctx_) != 0) ctx_ = nullptr;
}

CLibusbBackend::~CLibusbBackend() {
    while (!pipes_.empty()) ClosePipe(pipes_.begin()->first);
    for (auto& [key, dev] : devices_) {
        if (dev.handle != nullptr) libusb_close(dev.handle);
    }
    if (ctx_ != nullptr) libusb_exit(ctx_);
}

bool CLibusbBackend::ParseVidPid(const std::string& text, uint16_t& vid, uint16_t& pid) {
    char* end = nullptr;
    unsigned long v = std::strtoul(text.c_str(), &end, 16);
    if (end == text.c_str() || *end != ':' || v > 0xFFFF) return false;
    const char* rest = end + 1;
    unsigned long p = std::strtoul(rest, &end, 16);
    if (end == rest || *end != '\0' || p > 0xFFFF) return false;
    vid = static_cast<uint16_t>(v);
    pid = static_cast<uint16_t>(p);
    return true;
}

bool CLibusbBackend::ParseDevicePath(const std::string& text, int& bus, int& address) {
    if (text.compare(0, 4, "usb:") != 0) return false;
    const char* p = text.c_str() + 4;
    long b = 0, a = 0;
    if (!ParseUint(p, 255, b) || *p != ':') return false;
    ++p;
    if (!ParseUint(p, 255, a) || *p != '\0') return false;
    bus = static_cast<int>(b);
    address = static_cast<int>(a);
    return true;
}

bool CLibusbBackend::ListDevices(std::vector<std::string>& paths) {
    paths.clear();
    if (ctx_ == nullptr) return false;
    libusb_device** list = nullptr;
    ssize_t n = libusb_get_device_list(ctx_, &list);
    if (n < 0) return false;
    Filter filter = ReadFilter();
    for (ssize_t i = 0; i < n; ++i) {
        if (IsInstrument(list[i], filter)) {
            paths.push_back("usb:" + std::to_string(libusb_get_bus_number(list[i])) + ":" +
                            std::to_string(libusb_get_device_address(list[i])));
        }
    }
    libusb_free_device_list(list, 1);
    return true;
}

libusb_device_handle* CLibusbBackend::OpenDevice(int bus, int address) {
    if (ctx_ == nullptr) return nullptr;
    libusb_device** list = nullptr;
    ssize_t n = libusb_get_device_list(ctx_, &list);
    if (n < 0) return nullptr;
    libusb_device_handle* handle = nullptr;
    for (ssize_t i = 0; i < n; ++i) {
        if (libusb_get_bus_number(list[i]) == bus && libusb_get_device_address(list[i]) == address) {
            if (libusb_open(list[i], &handle) != 0) handle = nullptr;
            break;
        }
    }
    libusb_free_device_list(list, 1);
    return handle;
}

bool CLibusbBackend::ProbeOpen(const std::string& devicePath) {
    int bus = 0, address = 0;
    if (!ParseDevicePath(devicePath, bus, address)) return false;
    libusb_device_handle* h = OpenDevice(bus, address);
    if (h == nullptr) return false;
    libusb_close(h);
    return true;
}

int CLibusbBackend::OpenPipe(const std::string& pipePath) {
    std::size_t slash = pipePath.rfind('\\');
    if (slash == std::string::npos) return -1;
    std::string device = pipePath.substr(0, slash);
    std::string pipeName = pipePath.substr(slash + 1);
    int index = -1;
    if (pipeName == "PIPE03") index = 3;
    else if (pipeName == "PIPE04") index = 4;
    int bus = 0, address = 0;
    if (index < 0 || !ParseDevicePath(device, bus, address)) return -1;

    int key = Key(bus, address);
    Device& dev = devices_[key];
    if (dev.handle == nullptr) {
        dev.handle = OpenDevice(bus, address);
        if (dev.handle == nullptr) {
            devices_.erase(key);
            return -1;
        }
        libusb_set_auto_detach_kernel_driver(dev.handle, 1);
        if (libusb_claim_interface(dev.handle, 0) != 0) {
            libusb_close(dev.handle);
            devices_.erase(key);
            return -1;
        }
    }
    unsigned char ep = EndpointAt(libusb_get_device(dev.handle), index, index == 4);
    if (ep == 0) {
        if (dev.users == 0) ReleaseDevice(key);
        return -1;
    }
    ++dev.users;
    int id = nextPipe_++;
    Pipe& pipe = pipes_[id];
    pipe.deviceKey = key;
    pipe.endpoint = ep;
    return id;
}

void CLibusbBackend::ReleaseDevice(int key) {
    auto it = devices_.find(key);
    if (it == devices_.end()) return;
    if (it->second.handle != nullptr) {
        libusb_release_interface(it->second.handle, 0);
        libusb_close(it->second.handle);
    }
    devices_.erase(it);
}

void CLibusbBackend::ClosePipe(int pipe) {
    auto it = pipes_.find(pipe);
    if (it == pipes_.end()) return;
    if (it->second.transfer != nullptr) {
        CancelRead(pipe);
        libusb_free_transfer(it->second.transfer);
    }
    int key = it->second.deviceKey;
    pipes_.erase(it);
    auto dev = devices_.find(key);
    if (dev != devices_.end() && --dev->second.users <= 0) ReleaseDevice(key);
}

int CLibusbBackend::Write(int pipe, const uint8_t* data, int length, int timeoutMs) {
    auto it = pipes_.find(pipe);
    if (it == pipes_.end()) return -1;
    libusb_device_handle* h = devices_[it->second.deviceKey].handle;
    int done = 0;
    int rc = libusb_bulk_transfer(h, it->second.endpoint, const_cast<unsigned char*>(data), length, &done,
                                  static_cast<unsigned>(timeoutMs));
    if (rc != 0 && done == 0) return -1;
    return done;
}

bool CLibusbBackend::StartRead(int pipe, uint8_t* buffer, int length) {
    auto it = pipes_.find(pipe);
    if (it == pipes_.end()) return false;
    Pipe& p = it->second;
    if (!p.done) return false;  // one read at a time
    if (p.transfer == nullptr) p.transfer = libusb_alloc_transfer(0);
    if (p.transfer == nullptr) return false;
    p.done = 0;
    // No libusb time-out: the wait bounds the read, and a late read is cancelled.
    libusb_fill_bulk_transfer(p.transfer, devices_[p.deviceKey].handle, p.endpoint, buffer, length,
                              OnTransferDone, &p.done, 0);
    if (libusb_submit_transfer(p.transfer) != 0) {
        p.done = 1;
        return false;
    }
    return true;
}

CUsbBackend::WaitResult CLibusbBackend::WaitRead(int pipe, int timeoutMs, int& transferred) {
    transferred = 0;
    auto it = pipes_.find(pipe);
    if (it == pipes_.end() || it->second.transfer == nullptr) return WaitResult::Failed;
    Pipe& p = it->second;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!p.done) {
        auto left = std::chrono::ceil<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return WaitResult::TimedOut;
        timeval tv{static_cast<time_t>(left.count() / 1000000), static_cast<suseconds_t>(left.count() % 1000000)};
        const int rc = libusb_handle_events_timeout_completed(ctx_, &tv, &p.done);
        // A signal only cuts the wait short; the time-out still stands.
        if (rc == LIBUSB_ERROR_INTERRUPTED) continue;
        if (rc != 0) {
            // Leave the transfer to CancelRead: it may still be in flight.
            return WaitResult::TimedOut;
        }
    }
    if (p.transfer->status != LIBUSB_TRANSFER_COMPLETED) return WaitResult::Failed;
    transferred = p.transfer->actual_length;
    return WaitResult::Completed;
}

void CLibusbBackend::CancelRead(int pipe) {
    auto it = pipes_.find(pipe);
    if (it == pipes_.end() || it->second.transfer == nullptr) return;
    Pipe& p = it->second;
    if (p.done) return;
    if (libusb_cancel_transfer(p.transfer) != 0 && p.done) return;
    // The callback runs only from event handling; wait for it so the buffer is free again.
    // Returning earlier would leave the buffer in use, so keep handling events until it has run.
    while (!p.done) {
        timeval tv{1, 0};
        libusb_handle_events_timeout_completed(ctx_, &tv, &p.done);
    }
}
