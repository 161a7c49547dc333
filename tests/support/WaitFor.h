#pragma once
// Waits, polling, until `pred` holds or `ms` have passed: for what another
// thread (SDL's, a decoder's) does in its own time.

#include <chrono>
#include <thread>

namespace fake {

template <class Pred> bool waitFor(Pred pred, int ms = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace fake
