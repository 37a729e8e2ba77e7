#include "instrument/InstrumentLink.h"

#include <vector>

#include "config/MeasurementPrm.h"
#include "instrument/LibusbBackend.h"
#include "instrument/SerialTransport.h"
#include "instrument/UsbTransport.h"

CInstrumentLink::~CInstrumentLink() { ClosePort(); }

bool CInstrumentLink::OpenPort(int portType, int comNumber) {
    ClosePort();
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
    if (!serial->Open(nameOrPath)) return false;
    transport_ = std::move(serial);
    chunkSize_ = 1;
    return true;
}

void CInstrumentLink::Attach(std::unique_ptr<CTransport> transport) {
    ClosePort();
    transport_ = std::move(transport);
    if (transport_) chunkSize_ = transport_->ChunkSize();
}

void CInstrumentLink::ClosePort() {
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

void CInstrumentLink::Purge() {
    if (transport_) transport_->Purge();
}

void CInstrumentLink::DiscardInput() {
    if (transport_) transport_->DiscardInput();
}
