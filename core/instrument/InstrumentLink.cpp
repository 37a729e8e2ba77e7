#include "core/instrument/InstrumentLink.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "core/config/MeasurementPrm.h"
#include "core/instrument/LibusbBackend.h"
#include "core/instrument/SerialTransport.h"
#include "core/instrument/UsbTransport.h"

CInstrumentLink::~CInstrumentLink() { ClosePort(); }

bool CInstrumentLink::OpenPort(int portType, int comNumber) {
    ClosePort();
    drained_ = 0;
    openFailure_.clear();
    if (!override_.empty()) {
        if (override_ == "usb" || override_ == "USB") return OpenUsb();
        return OpenSerial(override_);
    }
    if (portType == kUsb) return OpenUsb();
    return OpenSerial("COM" + std::to_string(comNumber));
}

bool CInstrumentLink::OpenPort(const CMeasurementPrm& settings) {
    return OpenPort(settings.m_PORT_TYPE.Get(), settings.m_RS232C_PORT.Get());
}

bool CInstrumentLink::OpenUsb() {
    if (!usbBackend_) usbBackend_ = std::make_shared<CLibusbBackend>();
    auto usb = std::make_unique<CUsbTransport>(usbBackend_);
    usb->Open();
    transport_ = std::move(usb);
    chunkSize_ = CUsbTransport::kChunk;
    return true;
}

bool CInstrumentLink::OpenSerial(const std::string& nameOrPath) {
    auto serial = std::make_unique<CSerialTransport>();
    if (!serial->Open(nameOrPath)) {
        openFailure_ = CSerialTransport::LastOpenFailure();
        return false;
    }
    transport_ = std::move(serial);
    chunkSize_ = 1;
    // The line itself keeps what the instrument still sends after a run ended; USB pipes are
    // opened anew.
    drainPending_ = true;
    return true;
}

void CInstrumentLink::Attach(std::unique_ptr<CTransport> transport) {
    ClosePort();
    transport_ = std::move(transport);
    if (transport_) chunkSize_ = transport_->ChunkSize();
}

void CInstrumentLink::ClosePort() {
    drainPending_ = false;
    if (transport_) {
        transport_->Close();
        transport_.reset();
    }
}

bool CInstrumentLink::WriteCommand(const std::string& command) {
    if (!transport_) return false;
    // The command ends at its first NUL, as a C string would.
    std::size_t length = command.find('\0');
    if (length == std::string::npos) length = command.size();
    if (length == 0) return false;
    if (drainPending_) DrainUntilQuiet();
    return transport_->Write(reinterpret_cast<const uint8_t*>(command.data()), length);
}

int CInstrumentLink::ReadChunk(int timeoutMs, bool binary, std::string& reply) {
    if (!transport_ || chunkSize_ <= 0) return 0;
    std::vector<uint8_t> chunk(static_cast<std::size_t>(chunkSize_), 0);
    int n = transport_->Read(chunk.data(), timeoutMs, binary);
    if (n <= 0) return 0;
    if (n > chunkSize_) n = chunkSize_;
    reply.append(reinterpret_cast<const char*>(chunk.data()), static_cast<std::size_t>(n));
    return n;
}

void CInstrumentLink::DrainUntilQuiet() {
    drainPending_ = false;
    if (!transport_ || chunkSize_ <= 0) return;
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(kDrainMaxMs);
    std::vector<uint8_t> chunk(static_cast<std::size_t>(chunkSize_), 0);
    for (;;) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0) return;
        std::fill(chunk.begin(), chunk.end(), uint8_t{0});
        const int n = transport_->Read(chunk.data(), static_cast<int>(std::min<long long>(left, kQuietMs)), true);
        if (n <= 0) return;  // quiet (or gone: the command's own exchange reports that)
        drained_ += static_cast<std::size_t>(n);
    }
}

void CInstrumentLink::Purge() {
    if (transport_) transport_->Purge();
}

void CInstrumentLink::DiscardInput() {
    if (transport_) transport_->DiscardInput();
}
