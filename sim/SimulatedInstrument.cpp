#include "sim/SimulatedInstrument.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

int64_t NowNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

constexpr int64_t kNsPerByte = 1000000000LL / CSimulatedInstrument::kBytesPerSecond;
constexpr std::size_t kFifoBytes = 16;

bool Matches(const SimFault& f, const std::string& command) {
    return f.command == command || f.command == command.substr(0, command.find(','));
}

}  // namespace

CSimulatedInstrument::CSimulatedInstrument(const SimOptions& options)
    : options_(options), model_(options.seed, options.storedRecords), splitRng_(options.seed ^ 0x5EEDull) {
    model_.SetFovCode(options.fovCode);
}

CSimulatedInstrument::~CSimulatedInstrument() { Stop(); }

bool CSimulatedInstrument::Start() {
    if (IsRunning()) return true;
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) return false;
    char name[128];
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0) {
        Stop();
        return false;
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0 || ::pipe2(wake_, O_CLOEXEC) != 0) {
        Stop();
        return false;
    }
    // Raw from the start: an echoing line discipline would hand our replies back to us.
    termios t{};
    if (::tcgetattr(slave_, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(slave_, TCSANOW, &t);
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stop_ = false;
    }
    thread_ = std::thread(&CSimulatedInstrument::Run, this);
    return true;
}

void CSimulatedInstrument::Stop() {
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stop_ = true;
    }
    stopCv_.notify_all();
    if (wake_[1] >= 0) {
        char c = 1;
        (void)!::write(wake_[1], &c, 1);
    }
    if (thread_.joinable()) thread_.join();
    for (int* fd : {&master_, &slave_, &wake_[0], &wake_[1]}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

bool CSimulatedInstrument::Stopping() {
    std::lock_guard<std::mutex> lock(stopMutex_);
    return stop_;
}

bool CSimulatedInstrument::SleepUntilNs(int64_t ns) {
    std::unique_lock<std::mutex> lock(stopMutex_);
    auto until = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ns));
    stopCv_.wait_until(lock, until, [this] { return stop_; });
    return !stop_;
}

bool CSimulatedInstrument::SleepMs(int ms) {
    if (ms <= 0) return !Stopping();
    return SleepUntilNs(NowNs() + static_cast<int64_t>(ms) * 1000000);
}

void CSimulatedInstrument::Edit(const std::function<void(CSimModel&)>& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    f(model_);
}

void CSimulatedInstrument::SetFaults(const std::vector<SimFault>& faults) {
    std::lock_guard<std::mutex> lock(mutex_);
    options_.faults = faults;
}

void CSimulatedInstrument::SetSilentAfter(int commands) {
    std::lock_guard<std::mutex> lock(mutex_);
    options_.silentAfter = commands;
}

void CSimulatedInstrument::Run() {
    std::string pending;
    int64_t firstByteNs = 0;
    char buf[512];
    while (!Stopping()) {
        pollfd p[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        int r = ::poll(p, 2, -1);
        if (r < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (p[1].revents != 0) return;
        if (!(p[0].revents & POLLIN)) {
            SleepMs(5);  // hang-up without data: nothing to read until a client writes
            continue;
        }
        ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            SleepMs(5);
            continue;
        }
        bytesIn_ += n;
        if (pending.empty()) firstByteNs = NowNs();
        pending.append(buf, static_cast<std::size_t>(n));
        std::size_t cr;
        while ((cr = pending.find('\r')) != std::string::npos) {
            std::string command = pending.substr(0, cr);
            pending.erase(0, cr + 1);
            Serve(command, firstByteNs);
            if (Stopping()) return;
            firstByteNs = NowNs();
        }
        if (pending.size() > 4096) pending.clear();  // no command is that long
    }
}

void CSimulatedInstrument::Serve(const std::string& command, int64_t firstByteNs) {
    int count = ++commandCount_;
    CSimModel::Answer answer;
    bool drop = false;
    int delayMs = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (options_.silentAfter >= 0 && count > options_.silentAfter) return;
        bool err = false;
        for (const SimFault& f : options_.faults) {
            if (!Matches(f, command)) continue;
            if (f.kind == SimFault::kErr) err = true;
            if (f.kind == SimFault::kDrop) drop = true;
            if (f.kind == SimFault::kDelay) delayMs += f.delayMs;
        }
        if (err) answer.reply = "ERR\r";
        else answer = model_.Handle(command);
    }
    // The reply is due when the command has crossed the wire (paced), the exposure is over and
    // any delay has passed. Pacing counts from that moment, not from when this thread woke up.
    int64_t dueNs = options_.paced ? firstByteNs + static_cast<int64_t>(command.size() + 1) * kNsPerByte : NowNs();
    if (options_.realExposures) dueNs += static_cast<int64_t>(answer.busyMs) * 1000000;
    dueNs += static_cast<int64_t>(delayMs) * 1000000;
    if (!SleepUntilNs(dueNs)) return;
    if (drop) return;
    SendReply(answer.reply, dueNs);
}

bool CSimulatedInstrument::SendReply(const std::string& reply, int64_t startNs) {
    if (options_.paced) {
        std::size_t sent = 0;
        while (sent < reply.size()) {
            int64_t now = NowNs();
            // A byte is there once its last bit has crossed the line.
            std::size_t due = now < startNs ? 0 : static_cast<std::size_t>((now - startNs) / kNsPerByte);
            if (due > reply.size()) due = reply.size();
            if (due > sent) {
                if (!WriteAll(reply.data() + sent, due - sent)) return false;
                sent = due;
            }
            // Wake for the next 16 bytes at once, as a UART's FIFO would: the last byte of the
            // reply still arrives on time, with far fewer wake-ups.
            std::size_t next = std::min(reply.size(), sent + kFifoBytes);
            if (sent < reply.size() && !SleepUntilNs(startNs + static_cast<int64_t>(next) * kNsPerByte)) return false;
        }
        return true;
    }
    if (options_.splitReplies) {
        std::size_t sent = 0;
        while (sent < reply.size()) {
            std::size_t piece = static_cast<std::size_t>(2 * splitRng_.Between(0, 3) + 1);  // 1, 3, 5 or 7
            if (piece > reply.size() - sent) piece = reply.size() - sent;
            if (!WriteAll(reply.data() + sent, piece)) return false;
            sent += piece;
            if (sent < reply.size() && !SleepUntilNs(NowNs() + 300000)) return false;  // 0.3 ms gap
        }
        return true;
    }
    return WriteAll(reply.data(), reply.size());
}

bool CSimulatedInstrument::WriteAll(const char* data, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::write(master_, data + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            bytesOut_ += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            // The client is not reading; wait, but stay stoppable.
            pollfd p[2] = {{master_, POLLOUT, 0}, {wake_[0], POLLIN, 0}};
            if (::poll(p, 2, 100) < 0 && errno != EINTR) return false;
            if (p[1].revents != 0) return false;
            continue;
        }
        return false;
    }
    return true;
}
