#include "core/instrument/UsbTransport.h"

#include <cstdio>
#include <utility>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"

namespace {

// One diagnostic line of the device search on standard output.
void Diagnostic(int id, const std::string& path) {
    std::string text = platform::LoadString(id);
    std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, path);
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace

CUsbTransport::CUsbTransport(std::shared_ptr<CUsbBackend> backend) : backend_(std::move(backend)) {}

CUsbTransport::~CUsbTransport() { Close(); }

std::string CUsbTransport::Discover() {
    std::vector<std::string> paths;
    if (!backend_ || !backend_->ListDevices(paths)) return {};
    for (const std::string& full : paths) {
        std::string kept = full.substr(0, kPathBuffer - 1);
        Diagnostic(ids::kAttemptingToOpen, kept);
        if (backend_->ProbeOpen(full)) return kept;
        Diagnostic(ids::kFailedToOpen, kept);
    }
    return {};
}

int CUsbTransport::OpenPipe(const char* pipeName) {
    std::string device = Discover();
    if (device.empty()) return -1;
    std::string pipePath = device + "\\" + pipeName;
    if (pipePath.size() > kPathBuffer - 1) return -1;  // does not fit the path buffer
    return backend_->OpenPipe(pipePath);
}

bool CUsbTransport::Open() {
    Close();
    writePipe_ = OpenPipe("PIPE03");
    readPipe_ = OpenPipe("PIPE04");
    return true;
}

bool CUsbTransport::Write(const uint8_t* data, std::size_t length) {
    if (writePipe_ < 0) return false;
    std::size_t done = 0;
    while (done < length) {
        int n = backend_->Write(writePipe_, data + done, static_cast<int>(length - done), kWriteTimeoutMs);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

int CUsbTransport::Read(uint8_t* buffer, int timeoutMs, bool binary) {
    if (readPipe_ < 0) return 0;
    if (!backend_->StartRead(readPipe_, buffer, kChunk)) return 0;
    int transferred = 0;
    switch (backend_->WaitRead(readPipe_, timeoutMs > 0 ? timeoutMs : 0, transferred)) {
    case CUsbBackend::WaitResult::TimedOut:
        // The buffer belongs to the caller's exchange and is released when it returns.
        backend_->CancelRead(readPipe_);
        return 0;
    case CUsbBackend::WaitResult::Failed:
        return 0;
    case CUsbBackend::WaitResult::Completed:
        break;
    }
    if (transferred < 0) transferred = 0;
    if (transferred > kChunk) transferred = kChunk;
    if (binary) return transferred;
    // Text replies never hold a zero byte at their end: the zero-filled tail is no data.
    int count = 0;
    for (int i = 0; i < kChunk; ++i) {
        if (buffer[i] != 0) count = i + 1;
    }
    return count;
}

void CUsbTransport::Close() {
    if (writePipe_ >= 0) backend_->ClosePipe(writePipe_);
    if (readPipe_ >= 0) backend_->ClosePipe(readPipe_);
    writePipe_ = readPipe_ = -1;
}
