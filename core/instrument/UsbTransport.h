#pragma once
// The instrument's USB pipes: write pipe PIPE03 (synchronous), read pipe PIPE04 (asynchronous
// 64-byte reads bounded by the exchange's time-out).
#include <cstddef>
#include <memory>
#include <string>

#include "core/instrument/Transport.h"
#include "core/instrument/UsbBackend.h"

class CUsbTransport : public CTransport {
public:
    static constexpr int kChunk = 64;
    static constexpr std::size_t kPathBuffer = 256;  // path characters + terminator
    static constexpr int kWriteTimeoutMs = 5000;

    explicit CUsbTransport(std::shared_ptr<CUsbBackend> backend);
    CUsbTransport(const CUsbTransport&) = delete;
    CUsbTransport& operator=(const CUsbTransport&) = delete;
    ~CUsbTransport() override;

    // Opens both pipes. Always true: a missing device or pipe shows at the first exchange.
    bool Open();

    bool IsOpen() const override { return writePipe_ >= 0 && readPipe_ >= 0; }
    int ChunkSize() const override { return kChunk; }
    bool Write(const uint8_t* data, std::size_t length) override;
    int Read(uint8_t* buffer, int timeoutMs, bool binary) override;
    void Close() override;

    bool HasWritePipe() const { return writePipe_ >= 0; }
    bool HasReadPipe() const { return readPipe_ >= 0; }

    // Finds the instrument: the first listed device that opens. Writes "Attempting to open %s\n"
    // and, on failure, "FAILED to open %s\n" to standard output. The kept path is cut to 255
    // characters. Empty when none was found.
    std::string Discover();

private:
    int OpenPipe(const char* pipeName);

    std::shared_ptr<CUsbBackend> backend_;
    int writePipe_ = -1;
    int readPipe_ = -1;
};
