// The engine against the scriptable audio library: header, growth, state
// changes, errors, and the endings the capture thread can force.

#include "FakeAudioLibrary.h"
#include "FakeEngineWindow.h"
#include "RecordEngine.h"
#include "ReservedMemory.h"
#include "TakeNames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

using engine::LibrarySession;
using engine::RecordEngine;
using fake::FakeAudioLibrary;
using fake::FakeEngineWindow;

namespace {

const unsigned char kStartHeader[44] = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W',  'A', 'V',
                                        'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,    1,   0,
                                        2,   0,   0x44, 0xAC, 0,   0,   0x10, 0xB1, 0x02, 0,   4,
                                        0,   16,  0,    'd',  'a', 't', 'a',  0,    0,    0,   0};

std::uint32_t le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

class EngineTest : public ::testing::Test {
protected:
    FakeAudioLibrary lib;
    FakeEngineWindow win;
    RecordEngine eng{lib, win, "Brevon"};

    // The engine looks at the clock as a stop begins and at each refresh
    // while it waits: each look here is one 200 ms display refresh later.
    std::chrono::steady_clock::time_point now_{};
    void SetUp() override {
        eng.setSteadyClock([this] { return now_ += std::chrono::milliseconds(200); });
        ASSERT_TRUE(eng.LibraryStartup());
    }

    // Records a take of the given blocks and stops it.
    void recordTake(const std::vector<std::uint32_t>& blocks) {
        eng.StartRecording();
        lib.deliver(blocks);
        eng.StopRecording();
    }
    bool samplesFollowPattern(std::uint64_t from = 0) const {
        const auto* data = eng.recordBuffer() + 44;
        for (std::int32_t i = 0; i < eng.recordLength() - 44; ++i)
            if (data[i] != std::uint8_t(from + std::uint64_t(i)))
                return false;
        return true;
    }
};

} // namespace

TEST(EngineStartup, OpensRecordingThenOutputDevice) {
    FakeAudioLibrary lib;
    FakeEngineWindow win;
    RecordEngine eng(lib, win, "Brevon");
    ASSERT_TRUE(eng.LibraryStartup());
    EXPECT_EQ(lib.calls(), (std::vector<std::string>{"BASS_GetVersion", "BASS_RecordInit(-1)",
                                                     "BASS_Init(-1,44100,0)"}));
    EXPECT_EQ(eng.recordBuffer(), nullptr);
    EXPECT_EQ(eng.recordLength(), 0);
    EXPECT_EQ(eng.recordBufferStep(), 200000);
    EXPECT_TRUE(win.messages.empty());
}

TEST(EngineStartup, RefusesAnyVersionButTwoPointThree) {
    FakeAudioLibrary lib;
    FakeEngineWindow win;
    lib.version = 0x02040000;
    RecordEngine eng(lib, win, "Brevon");
    EXPECT_FALSE(eng.LibraryStartup());
    ASSERT_EQ(win.messages.size(), 1u);
    EXPECT_EQ(win.messages[0].title, "Brevon");
    EXPECT_EQ(win.messages[0].text, "An incorrect version of BASS.DLL was loaded");
    EXPECT_EQ(win.messages[0].icon, engine::MessageIcon::Critical);
    EXPECT_FALSE(lib.recordOpen());
    EXPECT_FALSE(lib.outputOpen());
}

TEST(EngineStartup, DeviceFailureAsksForBothDevicesThenReports) {
    FakeAudioLibrary lib;
    FakeEngineWindow win;
    lib.failRecordInit = true;
    lib.failInit = true;
    lib.errorCodeOnFailure = 23;
    RecordEngine eng(lib, win, "Brevon");
    EXPECT_FALSE(eng.LibraryStartup());
    EXPECT_EQ(lib.calls()[2], "BASS_Init(-1,44100,0)"); // asked for although the first failed
    ASSERT_EQ(win.messages.size(), 1u);
    EXPECT_EQ(win.messages[0].title, "Error");
    // The box's own lines, then what to do in the window's script.
    EXPECT_EQ(win.messages[0].text,
              std::string("Can't initialize device\r\n\r\nerror code: 23\r\n\r\n") +
                  engine::text::kCantInitializeWhy.simplified);
    EXPECT_EQ(win.messages[0].icon, engine::MessageIcon::Exclamation);
}

TEST(EngineHelpers, HiWordAndErrorTextWithCodeZero) {
    EXPECT_EQ(LibrarySession::HiWord(0x02030000), 0x0203);
    EXPECT_EQ(LibrarySession::HiWord(0x0204FFFF), 0x0204);
    EXPECT_EQ(LibrarySession::HiWord(65535), 0);
    FakeAudioLibrary lib;
    FakeEngineWindow win;
    RecordEngine eng(lib, win, "Brevon");
    eng.ReportBassError("Couldn't start recording");
    ASSERT_EQ(win.messages.size(), 1u);
    EXPECT_EQ(win.messages[0].text, "Couldn't start recording\r\n\r\nerror code: 0");
}

TEST_F(EngineTest, HeaderAtStartAndSizeFieldsZeroWhileCapturing) {
    eng.StartRecording();
    EXPECT_EQ(eng.recordLength(), 44);
    EXPECT_EQ(eng.recordBufferCapacity(), 200000u);
    EXPECT_EQ(std::memcmp(eng.recordBuffer(), kStartHeader, 44), 0);
    EXPECT_EQ(win.recordCaption, "停 止");
    EXPECT_EQ(lib.calls().back(), "BASS_RecordStart(44100,2,0)");

    lib.deliver({4096, 4096, 1000});
    EXPECT_EQ(eng.recordLength(), 44 + 9192);
    EXPECT_EQ(le32(eng.recordBuffer() + 4), 0u);
    EXPECT_EQ(le32(eng.recordBuffer() + 40), 0u);
    EXPECT_TRUE(lib.callbackRanOnCaptureThread());

    eng.StopRecording();
    EXPECT_EQ(le32(eng.recordBuffer() + 4), std::uint32_t(44 + 9192 - 8));
    EXPECT_EQ(le32(eng.recordBuffer() + 40), 9192u);
    EXPECT_EQ(std::memcmp(eng.recordBuffer() + 8, kStartHeader + 8, 32), 0);
    EXPECT_TRUE(samplesFollowPattern());
}

TEST_F(EngineTest, EmptyTakeIsAValidFortyFourByteImage) {
    recordTake({});
    EXPECT_EQ(eng.recordLength(), 44);
    EXPECT_EQ(le32(eng.recordBuffer() + 4), 36u);
    EXPECT_EQ(le32(eng.recordBuffer() + 40), 0u);
    EXPECT_EQ(lib.calls().back(), "BASS_StreamCreateFile(1,0,44,0)");
    EXPECT_TRUE(win.playSaveEnabled);
    EXPECT_EQ(win.recordCaption, "录 音");
}

TEST_F(EngineTest, GrowthByTheRemainderRule) {
    // Remainder plus block reaching the step exactly grows the block.
    eng.StartRecording();
    lib.deliver({200000 - 44});
    EXPECT_EQ(eng.recordBufferCapacity(), 400000u);
    eng.StopRecording();

    // 199,000 bytes held plus a 2,000-byte block: the block ends one step
    // beyond the new data.
    eng.StartRecording();
    lib.deliver({199000 - 44});
    EXPECT_EQ(eng.recordBufferCapacity(), 200000u);
    lib.deliver({2000});
    EXPECT_EQ(eng.recordLength(), 201000);
    EXPECT_EQ(eng.recordBufferCapacity(), 401000u);
    eng.StopRecording();
}

TEST_F(EngineTest, TheBlockNeverMovesAsTheTakeGrows) {
    eng.StartRecording();
    lib.deliver({4096});
    const std::uint8_t* first = eng.recordBuffer();
    lib.deliver(std::vector<std::uint32_t>(40, 65536)); // 2.6 MB: many growths
    EXPECT_EQ(eng.recordBuffer(), first);
    eng.StopRecording();
    EXPECT_TRUE(samplesFollowPattern());
    // Nothing of a replaced take shows through in the next one.
    eng.StartRecording();
    EXPECT_EQ(eng.recordBuffer(), first);
    EXPECT_EQ(eng.recordBuffer()[100], 0);
    eng.StopRecording();
}

TEST(ReservedMemoryTest, CommitsWithinTheReservationAndGivesMemoryBack) {
    platform::ReservedMemory m(std::size_t(64) << 20);
    ASSERT_NE(m.data(), nullptr);
    EXPECT_EQ(m.capacity(), std::size_t(64) << 20);
    EXPECT_TRUE(m.commit(10));
    m.data()[9] = 7;
    EXPECT_TRUE(m.commit(3 << 20));
    m.data()[(3 << 20) - 1] = 8;
    EXPECT_EQ(m.data()[9], 7);
    EXPECT_FALSE(m.commit((std::size_t(64) << 20) + 1));
    EXPECT_GE(m.committed(), std::size_t(3) << 20);
    m.decommit();
    EXPECT_EQ(m.committed(), 0u);
    EXPECT_TRUE(m.commit(10));
    EXPECT_EQ(m.data()[9], 0);
}

TEST_F(EngineTest, RandomBlockSizesNeverOverrunTheBlock) {
    // A small step makes many growths; the address sanitizer build catches
    // a copy past the block, this test that the capacity always holds it.
    eng.setRecordBufferStep(1000);
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::uint32_t> size(1, 3000);
    eng.StartRecording();
    std::uint64_t total = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::uint32_t n = size(rng);
        lib.deliver({n});
        total += n;
        ASSERT_EQ(std::uint64_t(eng.recordLength()), 44 + total);
        ASSERT_GE(eng.recordBufferCapacity(), std::size_t(eng.recordLength()));
    }
    eng.StopRecording();
    EXPECT_TRUE(samplesFollowPattern());
}

TEST_F(EngineTest, PauseDropsAudioAndTheCountStandsStill) {
    eng.StartRecording();
    lib.deliver({4000});
    eng.PauseRecording();
    EXPECT_EQ(lib.BASS_ChannelIsActive(eng.recordChannel()), audio::BASS_ACTIVE_PAUSED);
    eng.RefreshDisplay();
    EXPECT_EQ(win.positionText, "4000");
    lib.deliver({4000, 4000}); // the microphone goes on; none of it is kept
    eng.RefreshDisplay();
    EXPECT_EQ(win.positionText, "4000");
    eng.PauseRecording(); // resumes
    lib.deliver({100});
    eng.RefreshDisplay();
    EXPECT_EQ(win.positionText, "4100");
    eng.StopRecording();
    EXPECT_EQ(eng.recordLength(), 44 + 4100);
    // The kept audio is the first 4000 bytes and then what came after the pause.
    EXPECT_EQ(eng.recordBuffer()[44 + 4000], std::uint8_t(12000));
}

TEST_F(EngineTest, PauseWithoutCaptureTouchesNothingAndNeverPausesPlayback) {
    recordTake({4000});
    eng.Play();
    eng.PauseRecording();
    EXPECT_TRUE(lib.stream(eng.playbackStream())->playing);
    const auto& calls = lib.calls();
    EXPECT_EQ(calls[calls.size() - 2], "BASS_ChannelIsActive(0)");
    EXPECT_EQ(calls.back(), "BASS_ChannelPause(0)");
}

TEST_F(EngineTest, StateTableThroughTwoTakes) {
    recordTake({4000});
    const auto firstStream = eng.playbackStream();
    ASSERT_NE(firstStream, 0u);
    EXPECT_TRUE(win.playSaveEnabled);

    eng.Play();
    eng.Play();
    lib.finishStream(firstStream);
    eng.Play();
    EXPECT_EQ(lib.stream(firstStream)->restartFlags, (std::vector<int>{0, 0, 0}));

    eng.StartRecording(); // a new take drops the held one and its stream
    EXPECT_EQ(lib.stream(firstStream), nullptr);
    EXPECT_FALSE(win.playSaveEnabled);
    EXPECT_EQ(win.recordCaption, "停 止");
    win.simplified = false;
    eng.StopRecording();
    EXPECT_EQ(win.recordCaption, "錄 音");
    EXPECT_TRUE(win.playSaveEnabled);
}

TEST_F(EngineTest, FailedStartAfterATakeLeavesNoTake) {
    recordTake({4000});
    win.recordCaption = "录 音";
    lib.failRecordStart = true;
    lib.errorCodeOnFailure = 9;
    eng.StartRecording();
    EXPECT_FALSE(win.playSaveEnabled);
    EXPECT_EQ(eng.recordBuffer(), nullptr);
    EXPECT_EQ(eng.playbackStream(), 0u);
    EXPECT_EQ(win.recordCaption, "录 音");
    ASSERT_EQ(win.messages.size(), 1u);
    EXPECT_EQ(
        win.messages[0].text.rfind("Couldn't start recording\r\n\r\nerror code: 9\r\n\r\n", 0), 0u);
    win.saveAnswer = "/nonexistent/never.wav";
    eng.SaveRecording();
    EXPECT_TRUE(win.saveRequests.empty());
}

TEST_F(EngineTest, StreamThatCannotBeMadeIsSilentAndKeepsTheTake) {
    lib.failStreamCreate = true;
    recordTake({4000});
    EXPECT_TRUE(win.messages.empty());
    EXPECT_FALSE(win.playSaveEnabled);
    EXPECT_TRUE(eng.hasFinishedTake());
    EXPECT_EQ(eng.recordLength(), 4044);
}

TEST_F(EngineTest, DisplayShowsCountPositionAndLength) {
    eng.RefreshDisplay();
    EXPECT_EQ(win.positionText, ""); // no take: unchanged
    eng.StartRecording();
    lib.deliver({4096});
    eng.RefreshDisplay();
    EXPECT_EQ(win.positionText, "4096");
    lib.deliver({176400 * 2});
    eng.StopRecording();
    eng.RefreshDisplay();
    EXPECT_EQ(win.positionText, "356896"); // held: the length
    eng.Play();
    lib.setStreamPosition(eng.playbackStream(), 176400 * 2);
    eng.RefreshDisplay();
    EXPECT_EQ(win.positionText, "352800 0:2 / 356896");
    lib.finishStream(eng.playbackStream());
    eng.RefreshDisplay();
    EXPECT_EQ(win.positionText, "356896");
}

// Beside the count: the level, the take's length by the capture's clock,
// pause, a microphone that hears nothing, and where a save went.
TEST_F(EngineTest, TheWindowSeesTheLevelTheLengthAndAMicrophoneHearingNothing) {
    const auto shown = [this] { return win.takes.back(); };
    eng.StartRecording();
    lib.clock = 0;
    lib.deliver({4096}); // the counting pattern reaches nearly full scale
    lib.clock = 176400;
    eng.RefreshDisplay();
    EXPECT_TRUE(shown().recording);
    EXPECT_GT(shown().level, 0.9f);
    EXPECT_DOUBLE_EQ(shown().seconds, 1.0);
    eng.RefreshDisplay();
    EXPECT_EQ(shown().level, 0.0f) << "each display shows the sound since the last";
    // A stall that cost sound is said in whole seconds; the source's own
    // rhythm is not a stall.
    lib.lost = 176400 / 2;
    eng.RefreshDisplay();
    EXPECT_EQ(shown().interruptedSeconds, 0);
    lib.lost = 176400 * 9 + 1000;
    eng.RefreshDisplay();
    EXPECT_EQ(shown().interruptedSeconds, 9);
    eng.PauseRecording();
    lib.clock = 176400 * 5; // a long pause is not silence
    eng.RefreshDisplay();
    EXPECT_TRUE(shown().paused);
    EXPECT_FALSE(shown().silent);
    eng.PauseRecording();
    lib.silentBlocks = true;
    lib.deliver({4096});
    lib.clock = 176400 * 3; // digital silence, 2 s after the last sound
    eng.RefreshDisplay();
    EXPECT_FALSE(shown().silent);
    lib.clock = 176400 * 4;
    eng.RefreshDisplay();
    EXPECT_TRUE(shown().silent);
    lib.silentBlocks = false;
    lib.deliver({4096});
    eng.RefreshDisplay();
    EXPECT_FALSE(shown().silent) << "until sound comes";
    lib.clock = -1;
    eng.StopRecording();
    EXPECT_FALSE(shown().recording);
    EXPECT_DOUBLE_EQ(shown().seconds, 3 * 4096 / 176400.0);
    EXPECT_EQ(shown().interruptedSeconds, 9) << "said after the take too";
    win.saveAnswer = (std::filesystem::temp_directory_path() / "engine-view.wav").string();
    eng.SaveRecording();
    EXPECT_EQ(shown().savedTo, *win.saveAnswer);
    EXPECT_EQ(shown().interruptedSeconds, 0) << "where it went is said instead";
    EXPECT_EQ(engine::lengthInWords(65 * 176400, 176400), "1分05秒"); // as the trash names it
    std::filesystem::remove(*win.saveAnswer);

    // The microphone's own floor: a steady noise is nothing; a voice 12 dB
    // over it is something.
    struct Row {
        float floor, voice;
        bool silentAfter4s;
    } rows[] = {
        {0, 0, true}, {0.003f, 0.003f, true}, {0.003f, 0.02f, false}, {0.0002f, 0.0005f, true}};
    for (const Row& row : rows) {
        engine::SilenceWatch watch;
        bool silent = false;
        for (int tick = 0; tick <= 20; ++tick)
            silent = watch.add(tick % 5 == 4 ? row.voice : row.floor, tick * 0.2);
        EXPECT_EQ(silent, row.silentAfter4s) << row.floor << " " << row.voice;
    }
}

TEST_F(EngineTest, FailedGrowthKeepsWhatWasCapturedAndFinishesTheTake) {
    int growths = 0;
    eng.setGrowthCheck([&growths](std::size_t) { return ++growths <= 2; });
    eng.StartRecording();         // first block: growth 1
    lib.deliver({150000, 60000}); // second growth succeeds
    lib.deliver({150000, 60000}); // the 60000 block cannot grow the block
    EXPECT_EQ(lib.callbacksRun(), 4);
    lib.deliver({4096}); // the capture has ended: not delivered
    EXPECT_EQ(lib.callbacksRun(), 4);
    EXPECT_TRUE(win.messages.empty()); // nothing shown from the capture thread

    ASSERT_EQ(win.runPosted(), 1);
    EXPECT_EQ(eng.recordChannel(), 0u);
    EXPECT_EQ(eng.recordLength(), 44 + 150000 + 60000 + 150000);
    EXPECT_EQ(le32(eng.recordBuffer() + 40), 360000u);
    EXPECT_TRUE(samplesFollowPattern());
    EXPECT_TRUE(win.playSaveEnabled);
    EXPECT_EQ(win.recordCaption, "录 音");
    EXPECT_EQ(win.endedByEngine, 1);
    ASSERT_EQ(win.messages.size(), 1u);
    EXPECT_EQ(win.messages[0].title, "Error");
    EXPECT_EQ(win.messages[0].text.rfind("Out of memory!\r\n\r\nerror code: ", 0), 0u);
}

TEST_F(EngineTest, TakeEndsOnAWholeFrameAtItsLimit) {
    eng.setMaxTakeBytes(44 + 1000 + 2); // the last whole frame ends at 1044
    eng.StartRecording();
    lib.deliver({600, 600, 600});
    EXPECT_EQ(lib.callbacksRun(), 2);
    win.simplified = false;
    ASSERT_EQ(win.runPosted(), 1);
    EXPECT_EQ(eng.recordLength(), 1044);
    EXPECT_EQ(le32(eng.recordBuffer() + 40), 1000u);
    EXPECT_TRUE(samplesFollowPattern());
    EXPECT_TRUE(win.playSaveEnabled);
    EXPECT_EQ(win.recordCaption, "錄 音");
    ASSERT_EQ(win.messages.size(), 1u);
    EXPECT_EQ(win.messages[0].text, engine::text::kTakeFull.traditional);
    EXPECT_EQ(win.messages[0].icon, engine::MessageIcon::Information);
}

TEST_F(EngineTest, UserStopBeforeTheEngineEndingArrivesIsNotStoppedTwice) {
    eng.setMaxTakeBytes(44 + 800);
    eng.StartRecording();
    lib.deliver({600, 600});
    eng.StopRecording(); // the user was quicker than the posted ending
    const auto stream = eng.playbackStream();
    ASSERT_EQ(win.runPosted(), 1);
    EXPECT_EQ(eng.playbackStream(), stream);
    EXPECT_EQ(eng.recordLength(), 844);
    EXPECT_EQ(win.endedByEngine, 0);
    EXPECT_EQ(win.messages.size(), 1u);
}

TEST_F(EngineTest, ShutdownFreesRecordingBeforeOutputAndReleasesTheTake) {
    eng.StartRecording();
    lib.deliver({4000});
    eng.Shutdown();
    const auto& calls = lib.calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "BASS_RecordFree");
    EXPECT_EQ(calls.back(), "BASS_Free");
    EXPECT_EQ(eng.recordBuffer(), nullptr);
    lib.deliver({4000}); // no callback into a released block
    EXPECT_EQ(lib.callbacksRun(), 1);
}

// A stop ends the take at the sound time of its moment, whatever the block
// size: the blocks still on their way are waited for without holding the
// window thread, and a take already past the moment is cut back to it.
TEST_F(EngineTest, AStopEndsTheTakeAtItsMomentWhateverTheBlocks) {
    // Short of the moment: the take waits for the sound still on its way.
    eng.StartRecording();
    lib.deliver({4096, 4096});
    lib.clock = 10000; // the key, 2.5 blocks into the take's sound time
    eng.StopRecording();
    EXPECT_FALSE(eng.capturing());
    EXPECT_TRUE(eng.stopping());
    EXPECT_EQ(win.recordCaption, "录 音") << "the button is free at once";
    EXPECT_FALSE(win.playSaveEnabled) << "the take is not finished yet";
    eng.Play();                // pressed at once: plays once the take is finished
    lib.deliver({4096, 4096}); // the first holds the moment; the second is after it
    EXPECT_EQ(lib.callbacksRun(), 3) << "the capture ended with the block holding the moment";
    ASSERT_EQ(win.runPosted(), 1);
    EXPECT_FALSE(eng.stopping());
    EXPECT_EQ(eng.recordLength(), 44 + 10000);
    EXPECT_TRUE(samplesFollowPattern());
    EXPECT_TRUE(win.playSaveEnabled);
    ASSERT_NE(lib.stream(eng.playbackStream()), nullptr);
    EXPECT_TRUE(lib.stream(eng.playbackStream())->playing) << "the early play was kept";

    // Past the moment (the device hands over big blocks): cut back to it.
    lib.clock = -1;
    eng.StartRecording();
    lib.deliver({16384});
    lib.clock = 6000;
    eng.StopRecording();
    lib.deliver({16384}); // the next block ends it with nothing taken
    win.runPosted();
    EXPECT_EQ(eng.recordLength(), 44 + 6000);

    // A spoken stop ends the take where the word began: here a second
    // (44100 frames) before its moment, and never before the take's start.
    for (const auto& [earlier, kept] : {std::pair{std::chrono::milliseconds(1000), 4000},
                                        std::pair{std::chrono::milliseconds(9000), 0}}) {
        lib.clock = -1;
        eng.StartRecording();
        lib.deliver({4 * 44100 + 4000});
        lib.clock = 4 * 44100 + 4000;
        eng.StopRecording(earlier);
        lib.deliver({4096});
        win.runPosted();
        EXPECT_EQ(eng.recordLength(), 44 + kept) << earlier.count();
    }

    // A spoken pause takes its word back out; a later stop's moment still
    // falls where it should in what is left.
    lib.clock = -1;
    eng.StartRecording();
    lib.deliver({2 * 176400});
    lib.clock = 2 * 176400;
    eng.PauseRecording(std::chrono::milliseconds(500));
    EXPECT_EQ(eng.recordLength(), 44 + 3 * 44100 * 2);
    eng.PauseRecording(); // resumed
    lib.deliver({44100 * 4});
    lib.clock = 3 * 176400; // a second of sound since the take resumed
    eng.StopRecording();
    lib.deliver({4096});
    win.runPosted();
    EXPECT_EQ(eng.recordLength(), 44 + 5 * 44100 * 2) << "1.5 s before the pause, 1 s after";

    // Paused at the stop: nothing more will come; it ends at once, where it
    // was paused (what was said since was never in the take).
    lib.clock = -1;
    eng.StartRecording();
    lib.deliver({8000});
    eng.PauseRecording();
    lib.clock = 4000;
    eng.StopRecording(std::chrono::seconds(2));
    EXPECT_FALSE(eng.stopping());
    EXPECT_EQ(eng.recordLength(), 44 + 4000);
}

TEST_F(EngineTest, AStopWhoseSoundNeverComesEndsAfterItsDeadlineAndASaveWaitsForIt) {
    win.saveAnswer = (std::filesystem::temp_directory_path() / "stop-wait-test.wav").string();
    eng.StartRecording();
    lib.deliver({4096});
    lib.clock = 100000;
    std::optional<bool> saved;
    eng.SaveRecording([&](bool s) { saved = s; }); // a save during a take stops it first
    EXPECT_TRUE(eng.stopping());
    EXPECT_TRUE(win.saveRequests.empty()) << "no dialog before the take is finished";
    eng.PauseRecording(); // ignored while stopping
    eng.RefreshDisplay();
    EXPECT_TRUE(eng.stopping());
    eng.RefreshDisplay(); // the source went quiet: what came is the take
    EXPECT_FALSE(eng.stopping());
    EXPECT_EQ(eng.recordLength(), 44 + 4096);
    EXPECT_EQ(win.saveRequests.size(), 1u);
    EXPECT_EQ(saved, true) << "whoever asked for the save hears how it went";
    std::filesystem::remove(*win.saveAnswer);

    // A source that hands over its sound in bursts is waited for as long as
    // its longest wait between blocks (here 0.4 + 0.45 s: five refreshes;
    // the second block's own look at the clock is 0.2 s of the wait).
    eng.StartRecording();
    lib.deliver({4096});
    now_ += std::chrono::milliseconds(250);
    lib.deliver({4096});
    lib.clock = 100000;
    eng.StopRecording();
    for (int i = 0; i < 4; ++i)
        eng.RefreshDisplay();
    EXPECT_TRUE(eng.stopping());
    eng.RefreshDisplay();
    EXPECT_FALSE(eng.stopping());

    // A new take while a stop waits ends the old one with what it has.
    eng.StartRecording();
    lib.deliver({4096});
    lib.clock = 100000;
    eng.StopRecording();
    lib.clock = -1;
    eng.StartRecording();
    EXPECT_FALSE(eng.stopping());
    EXPECT_TRUE(eng.capturing());
    lib.deliver({100});
    EXPECT_EQ(win.runPosted(), 0) << "the old stop's ending does not touch the new take";
    eng.StopRecording();
    EXPECT_EQ(eng.recordLength(), 44 + 100);
}
