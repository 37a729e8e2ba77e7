#pragma once
// A record's per-pixel values: read-only once set, shared by copies of the record. The values live
// either in a vector of their own or in a block shared by the records of one search, so a year of
// records costs a few large allocations instead of two small ones per record.
#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <vector>

class PixelArray {
public:
    using value_type = float;
    using const_iterator = const float*;
    using iterator = const float*;
    using size_type = std::size_t;

    PixelArray() = default;
    PixelArray(std::vector<float> values) {  // NOLINT: a vector is a natural value for it
        if (values.empty()) return;
        auto owned = std::make_shared<std::vector<float>>(std::move(values));
        data_ = owned->data();
        size_ = owned->size();
        owner_ = std::move(owned);
    }
    PixelArray(std::initializer_list<float> values) : PixelArray(std::vector<float>(values)) {}
    PixelArray(const float* values, std::size_t n) : PixelArray(std::vector<float>(values, values + n)) {}
    // Values that live in memory kept alive by owner (a shared block).
    PixelArray(std::shared_ptr<const void> owner, const float* values, std::size_t n)
        : owner_(n ? std::move(owner) : nullptr), data_(n ? values : nullptr), size_(n) {}

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const float* data() const { return data_; }
    const float& operator[](std::size_t i) const { return data_[i]; }
    const float* begin() const { return data_; }
    const float* end() const { return data_ + size_; }
    std::vector<float> ToVector() const { return std::vector<float>(begin(), end()); }
    operator std::vector<float>() const { return ToVector(); }  // NOLINT: code that wants a copy
    void clear() { *this = PixelArray(); }

    friend bool operator==(const PixelArray& a, const PixelArray& b) {
        return a.size_ == b.size_ && std::equal(a.begin(), a.end(), b.begin());
    }
    friend bool operator==(const PixelArray& a, const std::vector<float>& b) {
        return a.size_ == b.size() && std::equal(a.begin(), a.end(), b.begin());
    }
    friend bool operator==(const std::vector<float>& a, const PixelArray& b) { return b == a; }
    friend bool operator!=(const PixelArray& a, const PixelArray& b) { return !(a == b); }
    friend bool operator!=(const PixelArray& a, const std::vector<float>& b) { return !(a == b); }
    friend bool operator!=(const std::vector<float>& a, const PixelArray& b) { return !(b == a); }

private:
    std::shared_ptr<const void> owner_;
    const float* data_ = nullptr;
    std::size_t size_ = 0;
};

// Hands out space for pixel values in large blocks (backed by huge pages where the system offers
// them); each array keeps its block alive, so records may outlive the arena that filled them.
class PixelArena {
public:
    PixelArena() = default;
    PixelArena(const PixelArena&) = delete;
    PixelArena& operator=(const PixelArena&) = delete;

    // Copies n values into the current block (a new one when they do not fit).
    PixelArray Store(const float* values, std::size_t n);
    // As Store, but values equal to those of the previous call for the same slot share that call's
    // array: the calibration and coefficients of one instrument's records rarely change from one
    // record to the next.
    static constexpr int kRepeatSlots = 2;
    PixelArray StoreRepeated(const float* values, std::size_t n, int slot = 0);
    // Bytes reserved in blocks so far (for the memory figures of the benchmarks).
    std::size_t ReservedBytes() const { return reserved_; }

    static constexpr std::size_t kBlockBytes = std::size_t(8) << 20;

private:
    std::shared_ptr<float> block_;
    std::size_t capacity_ = 0;  // floats
    std::size_t used_ = 0;
    std::size_t reserved_ = 0;
    PixelArray repeated_[kRepeatSlots];
};
