#pragma once
// RS-232C link on a termios device (also a pseudo-terminal): exclusive, raw 38400 8N1 without
// XON/XOFF, DTR raised, one byte per read, time-outs with poll().
#include <string>
#include <vector>

#include "core/instrument/Transport.h"

class CSerialTransport : public CTransport {
public:
    static constexpr int kWriteTimeoutMs = 5000;

    CSerialTransport() = default;
    CSerialTransport(const CSerialTransport&) = delete;
    CSerialTransport& operator=(const CSerialTransport&) = delete;
    ~CSerialTransport() override;

    // "COM<n>" resolves through ResolvePortName; any other text is a device path.
    bool Open(const std::string& nameOrPath);

    bool IsOpen() const override { return fd_ >= 0; }
    int ChunkSize() const override { return 1; }
    bool Write(const uint8_t* data, std::size_t length) override;
    int Read(uint8_t* buffer, int timeoutMs, bool binary) override;
    void Purge() override;
    void DiscardInput() override;
    void Close() override;

    int Descriptor() const { return fd_; }

    // "COM<n>" (n >= 1, any number of digits) → $HELIARC_COM<n> when set, else /dev/ttyS<n-1>.
    // Other texts are returned unchanged.
    static std::string ResolvePortName(const std::string& name);
    // Opens path read/write, without becoming its controlling terminal, exclusively (TIOCEXCL and
    // an advisory lock, so a second program, even one running as root, is refused). -1 on failure.
    static int OpenExclusive(const std::string& path);
    // Why the last OpenExclusive of this thread failed, naming what holds the port when that can
    // be found out; empty after a success.
    static std::string LastOpenFailure();
    // Programs (name and process id) that have the device open, as far as this user can see.
    static std::vector<std::string> PortHolders(const std::string& path);

private:
    int fd_ = -1;
};
