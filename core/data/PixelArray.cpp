#include "core/data/PixelArray.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// Blocks whose arrays are all gone wait here for the next search, so a search does not pay for the
// kernel clearing fresh pages (and for unmapping them) every time. They stay as they are: marking
// them free (MADV_FREE) made rewriting them as slow as faulting fresh pages on a virtual machine
// (10 ms for 8 MB against 0.3 ms), and the pool is bounded. A block's old contents are never read:
// every array is copied in before use.
class BlockPool {
public:
    static constexpr std::size_t kBytes = PixelArena::kBlockBytes;
    static constexpr std::size_t kMaxIdle = 8;  // 64 MB: a year of keep-all searches' signals

    static BlockPool& Instance() {
        static BlockPool* pool = new BlockPool;  // never destroyed: records may be freed during exit
        return *pool;
    }

    void* Take() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!idle_.empty()) {
                void* p = idle_.back();
                idle_.pop_back();
                return p;
            }
        }
        return Map(kBytes);
    }

    void Give(void* p) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (idle_.size() < kMaxIdle) {
                idle_.push_back(p);
                return;
            }
        }
        ::munmap(p, kBytes);
    }

    // A block on huge-page boundaries, marked for huge pages where the system gives them on
    // request: faulting in a fresh block then costs a few faults instead of one per 4 KiB page
    // (on a virtual machine, 23 ms against 0.3 ms for 8 MB).
    static void* Map(std::size_t bytes) {
        constexpr std::size_t kHuge = std::size_t(2) << 20;
        const std::size_t span = bytes + kHuge;
        void* p = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) return nullptr;
        auto* begin = static_cast<char*>(p);
        auto* at = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(begin) + kHuge - 1) & ~(kHuge - 1));
        if (at > begin) ::munmap(begin, static_cast<std::size_t>(at - begin));
        char* end = begin + span;
        if (at + bytes < end) ::munmap(at + bytes, static_cast<std::size_t>(end - (at + bytes)));
#ifdef MADV_HUGEPAGE
        ::madvise(at, bytes, MADV_HUGEPAGE);  // a hint: refused, the block still works
#endif
        return at;
    }

private:
    std::mutex mutex_;
    std::vector<void*> idle_;
};

}  // namespace

PixelArray PixelArena::Store(const float* values, std::size_t n) {
    if (n == 0) return PixelArray();
    if (!block_ || capacity_ - used_ < n) {
        const std::size_t bytes = std::max(kBlockBytes, n * sizeof(float));
        const bool pooled = bytes == kBlockBytes;
        void* p = pooled ? BlockPool::Instance().Take() : BlockPool::Map(bytes);
        if (!p) return PixelArray(values, n);  // no block: the values get a vector of their own
        if (pooled)
            block_ = std::shared_ptr<float>(static_cast<float*>(p), [](float* q) { BlockPool::Instance().Give(q); });
        else
            block_ = std::shared_ptr<float>(static_cast<float*>(p), [bytes](float* q) { ::munmap(q, bytes); });
        capacity_ = bytes / sizeof(float);
        used_ = 0;
        reserved_ += bytes;
    }
    float* at = block_.get() + used_;
    std::memcpy(at, values, n * sizeof(float));
    used_ += n;
    return PixelArray(block_, at, n);
}

PixelArray PixelArena::StoreRepeated(const float* values, std::size_t n, int slot) {
    PixelArray& last = repeated_[slot];
    if (n == 0 || last.size() != n || std::memcmp(last.data(), values, n * sizeof(float)) != 0) last = Store(values, n);
    return last;
}
