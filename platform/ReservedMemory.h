#pragma once
// A block of address space reserved once and backed by memory only as far
// as it is used: growing it never moves what it holds, so a take that
// grows to gigabytes never pays for a copy on the capture thread, and a
// stream reading it in place never sees it move.

#include <cstddef>
#include <cstdint>

namespace platform {

class ReservedMemory {
public:
    // Reserves up to `capacity` bytes of address space (less where the
    // address space is small; capacity() says how much).
    explicit ReservedMemory(std::size_t capacity);
    ~ReservedMemory();
    ReservedMemory(const ReservedMemory&) = delete;
    ReservedMemory& operator=(const ReservedMemory&) = delete;

    std::uint8_t* data() const { return base_; }
    std::size_t capacity() const { return capacity_; }
    // Bytes backed by memory from the start.
    std::size_t committed() const { return committed_; }
    // Backs the first `bytes` with memory; false when the system has none
    // to give or `bytes` passes the reservation (nothing changes then).
    bool commit(std::size_t bytes);
    // Gives all memory back; the reservation stays.
    void decommit();

private:
    std::uint8_t* base_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t committed_ = 0;
};

} // namespace platform
