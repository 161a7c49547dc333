#pragma once
// The audio library held open for one engine: both devices are always asked
// for, recording first. Closing (at the latest when the session goes) frees
// the recording device first, so that no capture callback writes into a
// take's block released after it; freeing the library frees its streams.

#include "AudioLibrary.h"

#include <cstdint>

namespace engine {

class LibrarySession {
public:
    enum class Opened { Yes, WrongVersion, NoDevice };

    explicit LibrarySession(audio::AudioLibrary& library) : library_(library) {}
    ~LibrarySession() { close(); }
    LibrarySession(const LibrarySession&) = delete;
    LibrarySession& operator=(const LibrarySession&) = delete;

    // `window`: the native handle the output device is tied to. A library
    // whose devices failed is still closed.
    Opened open(void* window);
    void close();

    static int HiWord(std::int32_t value) { return (value / 65536) & 0xFFFF; }

private:
    audio::AudioLibrary& library_;
    bool open_ = false;
};

} // namespace engine
