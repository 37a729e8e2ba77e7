#pragma once
// The byte link under the command protocol: whole-command writes and chunked reads with a
// time-out. The serial port, the USB pipes and the tests' in-memory link implement it.
#include <cstddef>
#include <cstdint>
#include <string>

class CTransport {
public:
    virtual ~CTransport() = default;

    // False once the port is gone or was never opened; exchanges then fail before sending.
    virtual bool IsOpen() const = 0;
    // Bytes asked for by one read: 1 on a serial port, 64 on USB.
    virtual int ChunkSize() const = 0;
    // Writes every byte or fails; nothing is retried.
    virtual bool Write(const uint8_t* data, std::size_t length) = 0;
    // Reads at most one chunk into buffer (ChunkSize() bytes, zero-filled by the caller) within
    // timeoutMs. Returns the byte count to keep (it may exceed what the caller still needs); 0 on
    // time-out, error or a vanished port.
    virtual int Read(uint8_t* buffer, int timeoutMs, bool binary) = 0;
    // Discards both queues.
    virtual void Purge() {}
    // Discards received bytes nobody asked for (left over from an earlier reply) before a command.
    virtual void DiscardInput() {}
    virtual void Close() = 0;
};
