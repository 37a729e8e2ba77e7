#include "cli/BlockWriter.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace cli {

namespace {

constexpr std::size_t kSlots = 6;

enum class State { Free, Formatting, Full };

struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t taken = 0;    // blocks handed to a thread
    std::size_t written = 0;  // blocks written, in order
    State state[kSlots] = {};
    std::string text[kSlots];
    bool stop = false;
    std::exception_ptr error;
};

}  // namespace

bool BlockWriter::Run(std::size_t blocks, const Format& format, const Write& write) {
    Shared s;
    // With the lock held: the next block may be taken when its slot has been written out.
    auto canTake = [&] { return s.taken < blocks && s.state[s.taken % kSlots] == State::Free; };
    auto formatOne = [&](std::unique_lock<std::mutex>& lock, int worker) {
        const std::size_t b = s.taken++;
        s.state[b % kSlots] = State::Formatting;
        lock.unlock();
        std::string& out = s.text[b % kSlots];
        out.clear();
        format(b, worker, out);
        lock.lock();
        s.state[b % kSlots] = State::Full;
        s.changed.notify_all();
    };
    std::thread helper;
    try {
        helper = std::thread([&] {
            std::unique_lock<std::mutex> lock(s.mutex);
            try {
                for (;;) {
                    s.changed.wait(lock, [&] { return s.stop || s.taken == blocks || canTake(); });
                    if (s.stop || s.taken == blocks) return;
                    formatOne(lock, 1);
                }
            } catch (...) {
                if (!lock.owns_lock()) lock.lock();
                s.error = std::current_exception();
                s.stop = true;
                s.changed.notify_all();
            }
        });
    } catch (const std::system_error&) {
        // No second thread to be had: this one formats every block.
    }
    bool ok = true;
    std::exception_ptr error;
    {
        std::unique_lock<std::mutex> lock(s.mutex);
        try {
            while (s.written < blocks && !s.error && ok) {
                const std::size_t slot = s.written % kSlots;
                if (s.state[slot] == State::Full) {
                    lock.unlock();
                    ok = write(s.text[slot]);
                    lock.lock();
                    s.state[slot] = State::Free;
                    ++s.written;
                    s.changed.notify_all();
                } else if (canTake()) {
                    formatOne(lock, 0);
                } else {
                    s.changed.wait(lock, [&] { return s.state[slot] == State::Full || canTake() || s.error; });
                }
            }
        } catch (...) {
            if (!lock.owns_lock()) lock.lock();
            error = std::current_exception();
        }
        s.stop = true;
        s.changed.notify_all();
    }
    if (helper.joinable()) helper.join();
    if (!error) error = s.error;
    if (error) std::rethrow_exception(error);
    return ok;
}

}  // namespace cli
