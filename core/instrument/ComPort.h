#pragma once
// A serial port opened and closed with optional time-outs and optional setting overrides; the
// measurement settings dialog uses it to find out which of COM1 to COM10 can be opened.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Time-outs in ms, kept with the port; reads and writes are not done through this class.
struct ComTimeouts {
    uint32_t readInterval = 0xFFFFFFFF;
    uint32_t readTotalMultiplier = 0;
    uint32_t readTotalConstant = 0;
    uint32_t writeTotalMultiplier = 0;
    uint32_t writeTotalConstant = 5000;
};

// The port's settings record, field by field in the order of the override mask. Fields that a
// termios line has no equivalent for are carried but change nothing on the line.
struct ComSettings {
    enum Parity : uint8_t { kNoParity = 0, kOdd = 1, kEven = 2, kMark = 3, kSpace = 4 };
    enum StopBits : uint8_t { kOneStop = 0, kOneHalfStop = 1, kTwoStop = 2 };
    enum LineControl : uint8_t { kDisable = 0, kEnable = 1, kHandshake = 2, kToggle = 3 };

    uint32_t length = 28;          // 0
    uint32_t baudRate = 9600;      // 1
    uint8_t binary = 1;            // 2
    uint8_t parityCheck = 0;       // 3  INPCK
    uint8_t ctsOutFlow = 0;        // 4  CRTSCTS
    uint8_t dsrOutFlow = 0;        // 5
    uint8_t dtrControl = kEnable;  // 6  DTR line
    uint8_t dsrSensitivity = 0;    // 7
    uint8_t txContinueOnXoff = 0;  // 8
    uint8_t outX = 0;              // 9  IXON
    uint8_t inX = 0;               // 10 IXOFF
    uint8_t errorCharReplace = 0;  // 11
    uint8_t discardNull = 0;       // 12
    uint8_t rtsControl = kEnable;  // 13 RTS line; handshake means CRTSCTS
    uint8_t abortOnError = 0;      // 14
    uint32_t otherFlags = 0;       // 15 (17 bits)
    uint16_t reserved = 0;         // 16
    uint16_t xonLimit = 2048;      // 17
    uint16_t xoffLimit = 512;      // 18
    uint8_t byteSize = 8;          // 19 CSIZE
    uint8_t parity = kNoParity;    // 20 PARENB/PARODD/CMSPAR
    uint8_t stopBits = kOneStop;   // 21 CSTOPB
    char xonChar = 0x11;           // 22 VSTART
    char xoffChar = 0x13;          // 23 VSTOP
    char errorChar = 0;            // 24
    char eofChar = 0;              // 25
    char evtChar = 0;              // 26
    uint16_t reserved2 = 0;        // 27
};

using ComOverrideMask = std::array<uint8_t, 28>;

class CComPort {
public:
    CComPort() = default;
    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;
    virtual ~CComPort();

    // name is "COM<n>" (resolved as the engine's link does) or a device path. Settings are read
    // from the line; where mask[i] is 1, field i of overrides replaces them; then they are written.
    bool Open(const std::string& name, const ComTimeouts* timeouts = nullptr, const ComSettings* overrides = nullptr,
              const ComOverrideMask* mask = nullptr);
    bool Close();
    void Purge();

    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    const ComTimeouts& GetTimeouts() const { return timeouts_; }
    const ComSettings& GetSettings() const { return settings_; }

    // Numbers n of COM1..COM10 that open now; a port another program holds is not listed.
    static std::vector<int> ProbePorts();

private:
    int fd_ = -1;
    ComTimeouts timeouts_;
    ComSettings settings_;
};
