#pragma once
// A ring of bytes between one thread that puts in and one that takes out,
// neither ever waiting for the other: the capture thread hands its blocks
// to the recovery writer through it.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace engine {

class ByteRing {
public:
    // Neither thread running: room for `bytes`, empty. False when the
    // memory is refused.
    bool reset(std::size_t bytes) {
        if (!data_ || size_ != bytes) {
            data_.reset(new (std::nothrow) std::uint8_t[bytes]);
            size_ = data_ ? bytes : 0;
        }
        put_ = 0;
        taken_ = 0;
        return data_ != nullptr;
    }

    // The putting thread: false (and nothing put) when it does not fit.
    bool put(const void* bytes, std::size_t count) {
        const std::uint64_t w = put_.load(std::memory_order_relaxed);
        const std::uint64_t r = taken_.load(std::memory_order_acquire);
        if (w - r + count > size_)
            return false;
        const std::size_t at = std::size_t(w % size_);
        const std::size_t first = std::min(count, size_ - at);
        std::memcpy(data_.get() + at, bytes, first);
        std::memcpy(data_.get(), static_cast<const std::uint8_t*>(bytes) + first, count - first);
        put_.store(w + count, std::memory_order_release);
        return true;
    }

    // The taking thread: hands everything put so far to `write(data,
    // count)` in at most two pieces; stops, leaving the rest, when a write
    // fails.
    template <class Write> bool takeAll(Write&& write) {
        const std::uint64_t w = put_.load(std::memory_order_acquire);
        std::uint64_t r = taken_.load(std::memory_order_relaxed);
        while (r < w) {
            const std::size_t at = std::size_t(r % size_);
            const std::size_t n = std::size_t(std::min<std::uint64_t>(w - r, size_ - at));
            if (!write(data_.get() + at, n))
                return false;
            r += n;
            taken_.store(r, std::memory_order_release);
        }
        return true;
    }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t size_ = 0;
    std::atomic<std::uint64_t> put_{0};   // bytes put in (putting thread)
    std::atomic<std::uint64_t> taken_{0}; // bytes taken out (taking thread)
};

} // namespace engine
