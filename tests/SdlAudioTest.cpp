// The real audio layer on SDL's dummy driver (no sound card, no server):
// capture delivers on SDL's own thread and stops delivering once stopped,
// pause holds the count, a stream plays to its end and reads as stopped.
// Also run under ThreadSanitizer with the engine's tests.

#include "SdlAudioLibrary.h"
#include "TakeBudget.h"

#include "WaitFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

using namespace audio;

namespace {

using fake::waitFor;

struct Counter {
    std::atomic<int> calls{0};
    std::atomic<std::uint64_t> bytes{0};
};

BOOL count(HRECORD, const void*, DWORD length, void* user) {
    auto* c = static_cast<Counter*>(user);
    c->calls.fetch_add(1);
    c->bytes.fetch_add(length);
    return 1;
}

// A 0.1 s image of 44.1 kHz stereo 16-bit sound.
std::vector<std::uint8_t> waveImage() {
    const std::uint32_t data = 4410 * 4;
    std::vector<std::uint8_t> img(44 + data, 0);
    auto put32 = [&](int at, std::uint32_t v) { std::memcpy(img.data() + at, &v, 4); };
    auto put16 = [&](int at, std::uint16_t v) { std::memcpy(img.data() + at, &v, 2); };
    std::memcpy(img.data(), "RIFF", 4);
    put32(4, 36 + data);
    std::memcpy(img.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 2);
    put32(24, 44100);
    put32(28, 176400);
    put16(32, 4);
    put16(34, 16);
    std::memcpy(img.data() + 36, "data", 4);
    put32(40, data);
    return img;
}

class SdlAudioTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    SdlAudioLibrary lib;
};

} // namespace

TEST_F(SdlAudioTest, CaptureDeliversPausesAndStopsOnItsOwnThread) {
    ASSERT_TRUE(lib.BASS_RecordInit(-1));
    ASSERT_TRUE(lib.BASS_Init(-1, 44100, 0, nullptr, nullptr));
    Counter c;
    const HRECORD h = lib.BASS_RecordStart(44100, 2, 0, &count, &c);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(waitFor([&] { return c.calls.load() >= 3; })) << "no blocks from the driver";
    EXPECT_EQ(lib.BASS_ChannelIsActive(h), DWORD(BASS_ACTIVE_PLAYING));
    EXPECT_EQ(c.bytes.load() % 4, 0u) << "whole frames";

    // The sound clock runs with time (4 bytes a frame), and stands still
    // while paused.
    const QWORD before = lib.captureClock(h);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GE(lib.captureClock(h), before + QWORD(0.09 * 44100) * 4);
    EXPECT_EQ(lib.captureClock(0), QWORD(-1));

    ASSERT_TRUE(lib.BASS_ChannelPause(h));
    EXPECT_EQ(lib.BASS_ChannelIsActive(h), DWORD(BASS_ACTIVE_PAUSED));
    const auto held = lib.BASS_ChannelGetPosition(h);
    const QWORD pausedAt = lib.captureClock(h);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(lib.BASS_ChannelGetPosition(h), held) << "paused: nothing is delivered";
    EXPECT_EQ(lib.captureClock(h), pausedAt);
    ASSERT_TRUE(lib.BASS_ChannelPlay(h, 0));
    ASSERT_TRUE(waitFor([&] { return lib.BASS_ChannelGetPosition(h) > held; }));

    ASSERT_TRUE(lib.BASS_ChannelStop(h));
    const int after = c.calls.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(c.calls.load(), after) << "no callback once the stop has returned";
    EXPECT_TRUE(lib.BASS_RecordFree());
    EXPECT_TRUE(lib.BASS_Free());
}

TEST_F(SdlAudioTest, AStreamPlaysToItsEndAndItsDeviceIsOpenOnlyMeanwhile) {
    ASSERT_TRUE(lib.BASS_Init(-1, 44100, 0, nullptr, nullptr));
    const auto image = waveImage();
    const HSTREAM s = lib.BASS_StreamCreateFile(1, image.data(), 0, image.size(), 0);
    ASSERT_NE(s, 0u);
    EXPECT_EQ(lib.BASS_ChannelGetLength(s), QWORD(4410 * 4));
    EXPECT_EQ(lib.BASS_ChannelIsActive(s), DWORD(BASS_ACTIVE_STOPPED));
    ASSERT_TRUE(lib.BASS_ChannelPlay(s, 0));
    ASSERT_TRUE(waitFor([&] { return lib.BASS_ChannelIsActive(s) == BASS_ACTIVE_STOPPED; }))
        << "the stream never ended";
    EXPECT_EQ(lib.BASS_ChannelGetPosition(s), QWORD(4410 * 4));
    // Played again from the top after its end.
    ASSERT_TRUE(lib.BASS_ChannelPlay(s, 0));
    EXPECT_EQ(lib.BASS_ChannelIsActive(s), DWORD(BASS_ACTIVE_PLAYING));
    ASSERT_TRUE(lib.BASS_ChannelStop(s));
    EXPECT_EQ(lib.BASS_ChannelGetPosition(s), 0u);
    EXPECT_TRUE(lib.BASS_StreamFree(s));
    EXPECT_FALSE(lib.BASS_StreamFree(s));
    EXPECT_EQ(lib.BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_TRUE(lib.BASS_Free());
}

// The first-take guard on its own, with a source that bursts: blocks are
// handed over at made-up times, so nothing here depends on the machine.
TEST(TakeBudgetTest, ABurstFromBeforeTheTakeIsCutToTheTimeThatHasPassed) {
    using platform::TakeBudget;
    constexpr int kFrame = 4;
    constexpr double kRate = 44100.0 * kFrame;
    constexpr int kBlock = 1024 * kFrame;
    const auto t0 = TakeBudget::Clock::time_point{} + std::chrono::hours(1);
    const auto at = [&](double s) {
        return t0 + std::chrono::duration_cast<TakeBudget::Clock::duration>(
                        std::chrono::duration<double>(s));
    };
    TakeBudget budget(kRate, kFrame, 3.0 * kBlock);
    budget.start(t0);
    std::uint64_t held = 0;
    const auto arrive = [&](int len, double s) {
        const int drop = budget.overrun(held, len, at(s));
        EXPECT_EQ(drop % kFrame, 0) << "whole frames only";
        held += std::uint64_t(len - drop);
        return drop;
    };
    // 2 s held by the source, handed over 10 ms into the take: all but the
    // slack and the 10 ms is the past, and goes.
    const int burst = int(2.0 * kRate);
    const int dropped = arrive(burst, 0.010);
    EXPECT_NEAR(double(held), 0.010 * kRate + 3.0 * kBlock, kFrame);
    EXPECT_EQ(dropped, burst - int(held));

    // Then blocks at the pace of real time: none is cut.
    double t = 0.010;
    for (int i = 0; i < 200; ++i) {
        t += double(kBlock) / kRate;
        EXPECT_EQ(arrive(kBlock, t), 0) << "block " << i;
    }

    // A pause is no sound: after 5 s paused, a block late by 5 s would be
    // cut only if the pause were counted as time the take could hold.
    budget.resume(at(t + 5.0));
    t += 5.0;
    const std::uint64_t before = held;
    EXPECT_EQ(arrive(kBlock, t + double(kBlock) / kRate), 0);
    // But one that brings 5 s of sound at once after the pause is cut.
    EXPECT_GT(arrive(int(5.0 * kRate), t + 2.0 * kBlock / kRate), int(4.9 * kRate));
    EXPECT_LE(double(held - before), 2.0 * kBlock + 3.0 * kBlock + kFrame);
}

// What the server held from before a start, read late in a burst, is
// dated and dropped; a stream that lost sound in a long stall is not
// taken for one that is late.
TEST(CaptureTimelineTest, ABacklogReadLateIsDatedBeforeTheStartAndALossIsNoBacklog) {
    using platform::CaptureTimeline;
    constexpr int kFrame = 4;
    constexpr double kRate = 44100.0 * kFrame;
    constexpr int kBlock = 1024 * kFrame;
    constexpr double kPeriod = kBlock / kRate;
    const auto t0 = CaptureTimeline::Clock::time_point{} + std::chrono::hours(1);
    const auto at = [&](double s) {
        return t0 + std::chrono::duration_cast<CaptureTimeline::Clock::duration>(
                        std::chrono::duration<double>(s));
    };
    CaptureTimeline heard(kRate, kFrame);
    double t = 0;
    for (int i = 0; i < 100; ++i) // on time: each block arrives as it ends
        heard.arrived(kBlock, at(t += kPeriod));
    // The process stalls 0.3 s; the take starts 0.1 s into the stall. The
    // backlog then comes in a burst: its first 0.1 s is from before.
    const double start = t + 0.1;
    std::uint64_t old = 0;
    for (int i = 0; i < int(0.3 / kPeriod); ++i) {
        heard.arrived(kBlock, at(t + 0.3));
        old += heard.heardBefore(at(start), kBlock);
    }
    EXPECT_NEAR(double(old), 0.1 * kRate, kBlock);
    EXPECT_EQ(old % kFrame, 0u);
    t += 0.3;
    heard.arrived(kBlock, at(t += kPeriod));
    EXPECT_EQ(heard.heardBefore(at(start), kBlock), 0u) << "what came after the start stays";

    // A stall of 8 s in which the server dropped 7: blocks stay late, and
    // after a second a start drops nothing heard after it.
    t += 8.0;
    heard.arrived(std::uint64_t(1.0 * kRate), at(t));
    for (int i = 0; i < int(1.5 / kPeriod); ++i)
        heard.arrived(kBlock, at(t += kPeriod));
    heard.arrived(kBlock, at(t += kPeriod));
    EXPECT_EQ(heard.heardBefore(at(t - kPeriod), kBlock), 0u);
    EXPECT_EQ(heard.heardBefore(at(t - kPeriod / 2), kBlock), std::uint64_t(kBlock / 2));
}
