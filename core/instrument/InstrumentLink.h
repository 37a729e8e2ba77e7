#pragma once
// The measurement engine's link to the instrument: which port is open and the byte operations
// the command protocol runs on. OpenPort/ClosePort belong to the user-interface thread (before the
// worker starts, after it has ended); WriteCommand/ReadChunk to the worker, one exchange at a time.
#include <cstdint>
#include <memory>
#include <string>

#include "core/instrument/Transport.h"

class CMeasurementPrm;
#include "core/instrument/UsbBackend.h"

class CInstrumentLink {
public:
    enum PortType { kUsb = 0, kSerial = 1 };

    CInstrumentLink() = default;
    CInstrumentLink(const CInstrumentLink&) = delete;
    CInstrumentLink& operator=(const CInstrumentLink&) = delete;
    ~CInstrumentLink();

    // Port chosen by the MEASUREMENT keys: PORT_TYPE 0 = USB, any other value = RS-232C on
    // "COM<comNumber>". The override, when set, wins. USB always succeeds (a missing device
    // fails the first exchange); a serial port that cannot be opened gives false.
    bool OpenPort(int portType, int comNumber);
    bool OpenPort(const CMeasurementPrm& settings);  // PORT_TYPE and RS232C_PORT
    void ClosePort();

    // Port text given on the command line: "usb", "COM<n>" or a device path (a serial device or
    // a pseudo-terminal). Empty text removes the override.
    void SetPortOverride(const std::string& port) { override_ = port; }
    const std::string& GetPortOverride() const { return override_; }
    // USB services used by OpenPort; libusb unless replaced (tests).
    void SetUsbBackend(std::shared_ptr<CUsbBackend> backend) { usbBackend_ = std::move(backend); }
    // Uses an already open transport (tests, the in-process simulator).
    void Attach(std::unique_ptr<CTransport> transport);

    // Both pipes (USB) or the serial port are open.
    bool IsOpen() const { return transport_ && transport_->IsOpen(); }
    // Bytes per read: 64 after opening USB, 1 after opening a serial port, 0 before the first open.
    int GetChunkSize() const { return chunkSize_; }

    bool WriteCommand(const std::string& command);
    // Reads at most one chunk within timeoutMs and appends what it delivered to reply. Returns the
    // number of bytes appended; 0 means failure or time-out.
    int ReadChunk(int timeoutMs, bool binary, std::string& reply);
    // Discards both directions of a serial port.
    void Purge();
    // Drops stale received bytes before a command is sent.
    void DiscardInput();

    CTransport* GetTransport() const { return transport_.get(); }
    // What holds a serial port that OpenPort found busy; empty otherwise.
    const std::string& OpenFailure() const { return openFailure_; }

    // A serial port opened by OpenPort is first read until it has been quiet for kQuietMs (at most
    // kDrainMaxMs): a reply the instrument still sends to a command of an earlier run (one that
    // timed out, or a run that was killed) must not be taken as the answer to this run's first.
    static constexpr int kQuietMs = 150;
    static constexpr int kDrainMaxMs = 2000;
    // Bytes discarded so far by that drain (tests).
    std::size_t DrainedBytes() const { return drained_; }

private:
    bool OpenUsb();
    bool OpenSerial(const std::string& nameOrPath);
    void DrainUntilQuiet();

    std::unique_ptr<CTransport> transport_;
    std::shared_ptr<CUsbBackend> usbBackend_;
    std::string override_;
    int chunkSize_ = 0;
    std::string openFailure_;
    bool drainPending_ = false;
    std::size_t drained_ = 0;
};
