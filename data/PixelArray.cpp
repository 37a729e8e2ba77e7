#include "data/PixelArray.h"

#include <sys/mman.h>

#include <cstring>

PixelArray PixelArena::Store(const float* values, std::size_t n) {
    if (n == 0) return PixelArray();
    if (!block_ || capacity_ - used_ < n) {
        std::size_t bytes = std::max(kBlockBytes, n * sizeof(float));
        void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) return PixelArray(values, n);  // no block: the values get a vector of their own
#ifdef MADV_HUGEPAGE
        ::madvise(p, bytes, MADV_HUGEPAGE);  // a hint; small pages work too
#endif
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

PixelArray PixelArena::StoreRepeated(const float* values, std::size_t n) {
    if (n == 0 || repeated_.size() != n || std::memcmp(repeated_.data(), values, n * sizeof(float)) != 0)
        repeated_ = Store(values, n);
    return repeated_;
}
