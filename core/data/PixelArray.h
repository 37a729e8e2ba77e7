#pragma once
// A record's per-pixel values: read-only once set, shared by copies of the record.
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
