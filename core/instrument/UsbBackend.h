#pragma once
// The few USB services the instrument's pipes need. CLibusbBackend provides them with libusb-1.0;
// tests substitute a fake so the transport's chunk rules can be checked without a device.
#include <cstdint>
#include <string>
#include <vector>

class CUsbBackend {
public:
    enum class WaitResult { Completed, TimedOut, Failed };

    virtual ~CUsbBackend() = default;

    // Device path texts of the present instruments, in enumeration order. False when the device
    // set cannot be obtained.
    virtual bool ListDevices(std::vector<std::string>& paths) = 0;
    // Opens the device and closes it again at once: is it usable?
    virtual bool ProbeOpen(const std::string& devicePath) = 0;
    // Opens "<device path>\PIPE<nn>"; a handle >= 0, or -1.
    virtual int OpenPipe(const std::string& pipePath) = 0;
    virtual void ClosePipe(int pipe) = 0;
    // Synchronous write; bytes written, or -1.
    virtual int Write(int pipe, const uint8_t* data, int length, int timeoutMs) = 0;
    // Starts an asynchronous read of up to length bytes into buffer. The buffer must stay valid
    // until WaitRead has returned Completed or Failed, or CancelRead has returned.
    virtual bool StartRead(int pipe, uint8_t* buffer, int length) = 0;
    virtual WaitResult WaitRead(int pipe, int timeoutMs, int& transferred) = 0;
    // Cancels a pending read and returns only when it can no longer write into its buffer.
    virtual void CancelRead(int pipe) = 0;
};
