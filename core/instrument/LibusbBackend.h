#pragma once
// USB services on libusb-1.0. A pipe number is the index of an endpoint in interface 0; the
// instrument is a device whose interface 0 has a bulk OUT endpoint at index 3 and a bulk IN
// endpoint at index 4. HELIARC_USB=VID:PID (hexadecimal) narrows the match. Device paths read
// "usb:<bus>:<address>".
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/instrument/UsbBackend.h"

struct libusb_context;
struct libusb_device_handle;
struct libusb_transfer;

class CLibusbBackend : public CUsbBackend {
public:
    CLibusbBackend();
    CLibusbBackend(const CLibusbBackend&) = delete;
    CLibusbBackend& operator=(const CLibusbBackend&) = delete;
    ~CLibusbBackend() override;

    bool ListDevices(std::vector<std::string>& paths) override;
    bool ProbeOpen(const std::string& devicePath) override;
    int OpenPipe(const std::string& pipePath) override;
    void ClosePipe(int pipe) override;
    int Write(int pipe, const uint8_t* data, int length, int timeoutMs) override;
    bool StartRead(int pipe, uint8_t* buffer, int length) override;
    WaitResult WaitRead(int pipe, int timeoutMs, int& transferred) override;
    void CancelRead(int pipe) override;

    // "VID:PID" in hexadecimal; false for any other text.
    static bool ParseVidPid(const std::string& text, uint16_t& vid, uint16_t& pid);
    // "usb:<bus>:<address>"; false for any other text.
    static bool ParseDevicePath(const std::string& text, int& bus, int& address);

private:
    struct Device {
        libusb_device_handle* handle = nullptr;
        int users = 0;
    };
    struct Pipe {
        int deviceKey = 0;
        unsigned char endpoint = 0;
        libusb_transfer* transfer = nullptr;
        int done = 1;  // set by the completion callback
    };

    libusb_device_handle* OpenDevice(int bus, int address);
    void ReleaseDevice(int key);

    libusb_context* ctx_ = nullptr;
    std::map<int, Device> devices_;  // key bus * 256 + address
    std::map<int, Pipe> pipes_;
    int nextPipe_ = 1;
};
