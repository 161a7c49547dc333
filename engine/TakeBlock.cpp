#include "TakeBlock.h"

#include <cstring>

namespace engine {

bool TakeBlock::begin(std::size_t firstBytes) {
    release();
    if (!growTo(firstBytes))
        return false;
    const WaveHeader header = WaveHeader::forNewTake();
    std::memcpy(memory_.data(), header.bytes.data(), kHeaderBytes);
    length_.store(kHeaderBytes, std::memory_order_release);
    return true;
}

bool TakeBlock::adopt(const std::vector<std::uint8_t>& image) {
    release();
    if (image.size() < std::size_t(kHeaderBytes) || !growTo(image.size()))
        return false;
    std::memcpy(memory_.data(), image.data(), image.size());
    length_.store(std::int32_t(image.size()), std::memory_order_release);
    finished_ = true;
    return true;
}

void TakeBlock::finish() {
    WaveHeader::mendSizes(memory_.data(), length());
    finished_ = true;
}

void TakeBlock::release() {
    memory_.decommit();
    capacity_.store(0, std::memory_order_relaxed);
    finished_ = false;
}

bool TakeBlock::growTo(std::size_t bytes) {
    if ((mayGrow_ && !mayGrow_(bytes)) || !memory_.commit(bytes))
        return false;
    capacity_.store(bytes, std::memory_order_relaxed);
    return true;
}

void TakeBlock::append(const void* sound, std::size_t bytes) {
    const std::int32_t at = length_.load(std::memory_order_relaxed);
    std::memcpy(memory_.data() + at, sound, bytes);
    length_.store(at + std::int32_t(bytes), std::memory_order_release);
}

void TakeBlock::cutTo(std::int64_t length) {
    if (length > 0 && this->length() > length)
        length_.store(std::int32_t(length), std::memory_order_release);
}

} // namespace engine
