// Engine figures as ratios measured in one run (the machine is shared, so
// absolute times mean little):
//  - appending captured blocks up to 1 GiB against copying the same bytes
//    into a preallocated block, for 4 KiB and 64 KiB blocks;
//  - the longest single callback while the take grows to 1 GiB;
//  - saving a 1 GiB take (temporary file, flush, rename) against a plain
//    write plus flush of the same bytes;
//  - peak memory of a 10-minute take against its byte size;
//  - the capture callback at real-time pace with and without the recovery
//    file being written beside it.

#include "AtomicFile.h"
#include "FakeAudioLibrary.h"
#include "FakeEngineWindow.h"
#include "RecordEngine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kGiB = std::size_t(1) << 30;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct AppendResult {
    double engineSeconds = 0;
    double longestCallback = 0;
};

// Feeds the engine's callback directly, as the capture thread would.
AppendResult appendThroughEngine(std::size_t block, std::size_t total) {
    fake::FakeAudioLibrary lib;
    fake::FakeEngineWindow win;
    engine::RecordEngine eng(lib, win, "bench");
    eng.LibraryStartup();
    eng.StartRecording();
    const std::vector<std::uint8_t> data(block, 0x5A);
    AppendResult r;
    const auto start = Clock::now();
    for (std::size_t done = 0; done < total; done += block) {
        const auto t = Clock::now();
        engine::RecordEngine::RecordCallback(eng.recordChannel(), data.data(), audio::DWORD(block),
                                             &eng);
        r.longestCallback = std::max(r.longestCallback, seconds(Clock::now() - t));
    }
    r.engineSeconds = seconds(Clock::now() - start);
    eng.StopRecording();
    return r;
}

// `touched`: the block's pages are faulted in before the timing starts;
// otherwise the copy pays the first touch of each page, as a growing take does.
double appendIntoPreallocated(std::size_t block, std::size_t total, bool touched) {
    auto* target = static_cast<std::uint8_t*>(std::malloc(total + block));
    if (touched)
        std::memset(target, 0, total + block);
    const std::vector<std::uint8_t> data(block, 0x5A);
    const auto start = Clock::now();
    for (std::size_t done = 0; done < total; done += block)
        std::memcpy(target + done, data.data(), block);
    const double s = seconds(Clock::now() - start);
    volatile std::uint8_t sink = target[total / 2];
    (void)sink;
    std::free(target);
    return s;
}

double plainWriteAndFlush(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const auto start = Clock::now();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::size_t off = 0;
    while (off < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.data() + off, std::min<std::size_t>(bytes.size() - off, 1u << 30));
        if (n <= 0)
            break;
        off += std::size_t(n);
    }
    ::fsync(fd);
    ::close(fd);
    return seconds(Clock::now() - start);
}

// Callbacks at the pace of a real capture (4 KiB every 23 ms) for `secs`,
// with or without the take also going to a recovery file whose writer
// flushes it to disk once a second. The longest and 99th-percentile
// callback, in ms.
std::pair<double, double> pacedCallbacks(bool recovery, int secs) {
    fake::FakeAudioLibrary lib;
    fake::FakeEngineWindow win;
    engine::RecordEngine eng(lib, win, "bench");
    const auto dir = std::filesystem::temp_directory_path() / "engine-bench-recovery";
    if (recovery)
        eng.setRecoveryFolder(dir);
    eng.LibraryStartup();
    eng.StartRecording();
    const std::vector<std::uint8_t> data(4096, 0x5A);
    std::vector<double> times;
    const auto period = std::chrono::microseconds(23220);
    auto next = Clock::now();
    for (int i = 0; i < secs * 43; ++i) {
        next += period;
        const auto t = Clock::now();
        engine::RecordEngine::RecordCallback(eng.recordChannel(), data.data(), 4096, &eng);
        times.push_back(seconds(Clock::now() - t) * 1e3);
        std::this_thread::sleep_until(next);
    }
    eng.StopRecording();
    eng.Shutdown();
    std::filesystem::remove_all(dir);
    std::sort(times.begin(), times.end());
    return {times.back(), times[times.size() * 99 / 100]};
}

long maxRssKiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

int main() {
    std::printf("== peak memory of a 10-minute take\n");
    {
        malloc_trim(0);
        const long before = maxRssKiB();
        fake::FakeAudioLibrary lib;
        fake::FakeEngineWindow win;
        engine::RecordEngine eng(lib, win, "bench");
        eng.LibraryStartup();
        eng.StartRecording();
        const std::size_t take = std::size_t(engine::kBytesPerSecond) * 600;
        const std::vector<std::uint8_t> data(4096, 0x11);
        for (std::size_t done = 0; done + 4096 <= take; done += 4096)
            engine::RecordEngine::RecordCallback(eng.recordChannel(), data.data(), 4096, &eng);
        eng.StopRecording();
        const long after = maxRssKiB();
        std::printf("take %d bytes, block %zu bytes (ratio %.4f); peak RSS grew by %ld KiB "
                    "(ratio %.3f of the take; %ld KiB before it)\n",
                    eng.recordLength(), eng.recordBufferCapacity(),
                    double(eng.recordBufferCapacity()) / eng.recordLength(), after - before,
                    double(after - before) * 1024.0 / eng.recordLength(), before);
    }
    std::printf("== appending captured blocks up to 1 GiB\n");
    for (std::size_t block : {std::size_t(4096), std::size_t(65536)}) {
        const auto engine = appendThroughEngine(block, kGiB);
        const double fresh = appendIntoPreallocated(block, kGiB, false);
        const double touched = appendIntoPreallocated(block, kGiB, true);
        std::printf("%6zu-byte blocks: engine %.3f s; preallocated block %.3f s (ratio %.2f), "
                    "pre-touched block %.3f s (ratio %.2f); longest callback %.3f ms\n",
                    block, engine.engineSeconds, fresh, engine.engineSeconds / fresh, touched,
                    engine.engineSeconds / touched, engine.longestCallback * 1e3);
    }

    std::printf(
        "== capture callbacks at real-time pace, 20 s, with and without the recovery file\n");
    {
        const auto [plainMax, plainP99] = pacedCallbacks(false, 20);
        const auto [copyMax, copyP99] = pacedCallbacks(true, 20);
        std::printf("without: longest %.3f ms, 99th percentile %.3f ms; with: longest %.3f ms, "
                    "99th percentile %.3f ms (ratio of longest %.2f)\n",
                    plainMax, plainP99, copyMax, copyP99, copyMax / plainMax);
    }

    std::printf("== saving a 1 GiB take\n");
    {
        const auto dir = std::filesystem::temp_directory_path() / "engine-bench";
        std::filesystem::create_directories(dir);
        std::vector<std::uint8_t> bytes(kGiB, 0x33);
        // Alternating rounds: the disk's own caching favours whichever runs later.
        std::vector<double> ratios;
        for (int round = 1; round <= 5; ++round) {
            const double plain = plainWriteAndFlush((dir / "plain.wav").string(), bytes);
            std::filesystem::remove(dir / "plain.wav");
            const auto start = Clock::now();
            platform::writeFileAtomically((dir / "take.wav").string(), bytes.data(), bytes.size());
            const double atomic = seconds(Clock::now() - start);
            std::filesystem::remove(dir / "take.wav");
            std::printf("round %d: atomic save %.3f s, plain write+flush %.3f s, ratio %.2f\n",
                        round, atomic, plain, atomic / plain);
            ratios.push_back(atomic / plain);
        }
        std::sort(ratios.begin(), ratios.end());
        std::printf("median ratio %.2f (the disk's write-back makes single rounds noisy)\n",
                    ratios[ratios.size() / 2]);
        std::filesystem::remove_all(dir);
    }

    return 0;
}
