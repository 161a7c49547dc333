#pragma once
// Samples on their way from the capture thread to the decoding thread, in
// a buffer of fixed size: the capture side never allocates. When the reader
// falls a whole buffer behind, the oldest samples give way (a microphone
// runs in real time; stale sound is worth less than new). Not locked: the
// owner holds its lock around every call.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace speech {

class SampleRing {
public:
    explicit SampleRing(std::size_t capacity) : data_(capacity) {}

    void push(const std::int16_t* samples, std::size_t count) {
        if (count >= data_.size()) { // only the newest fit
            samples += count - data_.size();
            count = data_.size();
        }
        const std::size_t overflow =
            size_ + count > data_.size() ? size_ + count - data_.size() : 0;
        start_ = (start_ + overflow) % data_.size();
        size_ -= overflow;
        std::size_t at = (start_ + size_) % data_.size();
        for (std::size_t i = 0; i < count; ++i) {
            data_[at] = samples[i];
            at = at + 1 == data_.size() ? 0 : at + 1;
        }
        size_ += count;
    }

    // Moves up to out.size() of the oldest samples into `out`; returns how many.
    std::size_t take(std::vector<std::int16_t>& out) {
        const std::size_t n = std::min(out.size(), size_);
        for (std::size_t i = 0; i < n; ++i)
            out[i] = data_[(start_ + i) % data_.size()];
        start_ = (start_ + n) % data_.size();
        size_ -= n;
        return n;
    }

    void clear() { start_ = size_ = 0; }
    std::size_t size() const { return size_; }

private:
    std::vector<std::int16_t> data_;
    std::size_t start_ = 0;
    std::size_t size_ = 0;
};

} // namespace speech
