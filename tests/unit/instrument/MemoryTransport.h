#pragma once
// An in-memory instrument link for the protocol tests: every written command is handed to a
// responder whose reply is queued; reads deliver the queue in pieces of the chunk size, or of
// a split pattern, and report a time-out (0) when it is empty.
#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/instrument/Transport.h"

class CMemoryTransport : public CTransport {
public:
    using Responder = std::function<std::string(const std::string& command)>;

    explicit CMemoryTransport(int chunk = 1, Responder responder = nullptr)
        : discardStale(responder != nullptr), chunk_(chunk), responder_(std::move(responder)) {}

    bool IsOpen() const override { return open_; }
    int ChunkSize() const override { return chunk_; }
    bool Write(const uint8_t* data, std::size_t length) override {
        if (!open_ || failWrites_) return false;
        std::string command(reinterpret_cast<const char*>(data), length);
        written.push_back(command);
        if (responder_) {
            std::string c = command;
            if (!c.empty() && c.back() == '\r') c.pop_back();
            Queue(responder_(c));
        }
        return true;
    }
    int Read(uint8_t* buffer, int /*timeoutMs*/, bool /*binary*/) override {
        ++reads;
        if (!open_ || (vanishAfterReads_ >= 0 && reads > vanishAfterReads_)) {
            open_ = false;
            return 0;
        }
        if (endless_) {
            std::memset(buffer, 'A', static_cast<std::size_t>(chunk_));
            return chunk_;
        }
        if (pending_.empty()) return 0;  // nothing arrives: time-out
        std::size_t n = static_cast<std::size_t>(chunk_);
        if (!splits_.empty()) {
            n = std::min<std::size_t>(n, splits_[splitIndex_++ % splits_.size()]);
        }
        n = std::min(n, pending_.size());
        std::copy_n(pending_.begin(), n, buffer);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
        return static_cast<int>(n);
    }
    void DiscardInput() override {
        if (discardStale) pending_.clear();
    }
    void Close() override { open_ = false; }

    void Queue(const std::string& bytes) { pending_.insert(pending_.end(), bytes.begin(), bytes.end()); }
    std::size_t Pending() const { return pending_.size(); }
    // Delivers at most these many bytes per read, in turn.
    void SetSplits(std::vector<std::size_t> splits) {
        splits_ = std::move(splits);
        splitIndex_ = 0;
    }
    void SetEndless(bool on) { endless_ = on; }
    void SetFailWrites(bool on) { failWrites_ = on; }
    void SetOpen(bool on) { open_ = on; }
    void VanishAfterReads(int n) { vanishAfterReads_ = n; }

    std::vector<std::string> written;
    int reads = 0;
    // Tests that queue a reply before the exchange keep it; responders answer after the discard.
    bool discardStale;

private:
    int chunk_;
    Responder responder_;
    std::deque<uint8_t> pending_;
    std::vector<std::size_t> splits_;
    std::size_t splitIndex_ = 0;
    bool endless_ = false;
    bool failWrites_ = false;
    bool open_ = true;
    int vanishAfterReads_ = -1;
};
