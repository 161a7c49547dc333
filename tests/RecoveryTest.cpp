// The take on disk while it is recorded: a playable file at every flush,
// gone once saved, replaced by the next take, offered again after a session
// that ended without saving; a copy that cannot be kept never harms the take
// in memory. And a capture device that goes away mid-take.

#include "FakeAudioLibrary.h"
#include "FakeEngineWindow.h"
#include "RecordEngine.h"
#include "RecoveryFile.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

namespace fs = std::filesystem;
using engine::RecordEngine;
using engine::RecoveryFile;
using fake::FakeAudioLibrary;
using fake::FakeEngineWindow;

namespace {

fs::path freshFolder(const char* name) {
    std::random_device rd;
    const fs::path folder =
        fs::temp_directory_path() / (std::string(name) + "-" + std::to_string(rd()));
    fs::remove_all(folder);
    return folder;
}

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        files.push_back(entry.path());
    return files;
}

std::vector<std::uint8_t> fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Frames a WAV reader finds in the file, trusting its header.
sf_count_t framesByHeader(const fs::path& file) {
    SF_INFO info{};
    SNDFILE* f = sf_open(file.c_str(), SFM_READ, &info);
    if (!f)
        return -1;
    sf_close(f);
    return info.channels == 2 && info.samplerate == 44100 ? info.frames : -2;
}

std::vector<std::uint8_t> block(std::size_t bytes, std::uint8_t seed) {
    std::vector<std::uint8_t> b(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        b[i] = std::uint8_t(seed + i);
    return b;
}

} // namespace

TEST(RecoveryFileTest, PlayableAfterEveryFlushAndCompleteAfterTheEnd) {
    const fs::path folder = freshFolder("recovery-flush");
    RecoveryFile file(folder, std::chrono::milliseconds(0)); // a flush at every wake-up
    ASSERT_TRUE(file.begin());
    ASSERT_EQ(filesIn(folder).size(), 1u);
    const auto one = block(4000, 1);
    file.append(one.data(), one.size());
    // Left running past a flush, as a power cut would find it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (framesByHeader(file.path()) != 1000 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(framesByHeader(file.path()), 1000);
    const auto two = block(4002, 7); // half a frame at the end is not counted
    file.append(two.data(), two.size());
    file.end();
    EXPECT_EQ(framesByHeader(file.path()), 2000);
    const auto bytes = fileBytes(file.path());
    ASSERT_EQ(bytes.size(), 44u + 8002u);
    EXPECT_EQ(0, std::memcmp(bytes.data() + 44, one.data(), one.size()));
    EXPECT_EQ(0, std::memcmp(bytes.data() + 44 + 4000, two.data(), two.size()));

    // Read back with the sizes rebuilt from what is on disk, even when the
    // header was never updated.
    std::fstream(file.path(), std::ios::in | std::ios::out | std::ios::binary)
        .seekp(40)
        .write("\0\0\0\0", 4);
    const auto image = RecoveryFile::readTake(file.path());
    ASSERT_TRUE(image);
    ASSERT_EQ(image->size(), 44u + 8000u);
    EXPECT_EQ(image->at(40) | image->at(41) << 8, 8000);
    file.discard();
    EXPECT_TRUE(filesIn(folder).empty());
    fs::remove_all(folder);
}

TEST(RecoveryFileTest, LeftoversAreOnlyFilesNoLiveSessionHolds) {
    const fs::path folder = freshFolder("recovery-leftovers");
    const auto sound = block(400, 3);
    {
        RecoveryFile earlier(folder); // a session that ends without saving
        ASSERT_TRUE(earlier.begin());
        earlier.append(sound.data(), sound.size());
        RecoveryFile running(folder); // another copy, still recording
        ASSERT_TRUE(running.begin());
        running.append(sound.data(), sound.size());
        RecoveryFile silent(folder); // ended before any sound
        ASSERT_TRUE(silent.begin());
        silent.release();
        RecoveryFile next(folder);
        EXPECT_TRUE(next.leftovers().empty()) << "only the silent one is free, and it is empty";
        EXPECT_EQ(filesIn(folder).size(), 2u) << "the empty leftover is removed";
        earlier.end();
        // `earlier` and `running` end here.
    }
    RecoveryFile later(folder);
    const auto found = later.leftovers();
    ASSERT_EQ(found.size(), 2u);
    ASSERT_TRUE(later.adopt(found[0]));
    RecoveryFile other(folder);
    EXPECT_EQ(other.leftovers().size(), 1u) << "an adopted file belongs to its session";
    ASSERT_TRUE(later.begin()); // a new take replaces the adopted one
    later.settle();
    EXPECT_FALSE(fs::exists(found[0]));
    EXPECT_TRUE(fs::exists(found[1]));
    fs::remove_all(folder);
}

namespace {

class EngineRecoveryTest : public ::testing::Test {
protected:
    fs::path folder = freshFolder("recovery-engine");
    fs::path trash = freshFolder("recovery-trash");
    bool trashTakes = true; // false: a desktop with no trash
    FakeAudioLibrary lib;
    FakeEngineWindow win;
    RecordEngine eng{lib, win, "Brevon"};

    RecoveryFile::Trash toTrash() {
        return [this](const fs::path& file) {
            std::error_code ec;
            fs::create_directories(trash, ec);
            if (trashTakes)
                fs::rename(file, trash / file.filename(), ec);
            return trashTakes && !ec;
        };
    }
    void SetUp() override {
        eng.setRecoveryFolder(folder, toTrash());
        ASSERT_TRUE(eng.LibraryStartup());
    }
    void TearDown() override {
        fs::remove_all(folder);
        fs::remove_all(trash);
    }
    std::vector<std::uint8_t> take() const {
        return {eng.recordBuffer(), eng.recordBuffer() + eng.recordLength()};
    }
};

} // namespace

TEST_F(EngineRecoveryTest, TheFileFollowsTheTakeGoesWhenSavedAndIsReplacedByTheNext) {
    eng.StartRecording();
    lib.deliver({4096, 4096, 1024});
    eng.StopRecording();
    ASSERT_EQ(filesIn(folder).size(), 1u);
    const fs::path first = filesIn(folder)[0];
    EXPECT_EQ(fileBytes(first), take());

    const auto firstTake = take();
    fs::permissions(first, fs::perms::none); // left unreadable: its owner can open it again
    eng.StartRecording();                    // an unsaved take is replaced, and goes to the trash
    eng.recovery()->settle();                // (on a thread of its own)
    eng.RefreshDisplay();
    EXPECT_TRUE(win.takes.back().replacedToTrash);
    lib.deliver({2048});
    eng.StopRecording();
    ASSERT_EQ(filesIn(folder).size(), 1u);
    EXPECT_NE(filesIn(folder)[0], first);
    EXPECT_EQ(fileBytes(filesIn(folder)[0]), take());
    ASSERT_EQ(filesIn(trash).size(), 1u);
    EXPECT_EQ(fileBytes(filesIn(trash)[0]), firstTake);
    const std::u8string name = filesIn(trash)[0].filename().u8string();
    EXPECT_TRUE(name.ends_with(u8" 1秒.wav")) << filesIn(trash)[0]; // 9216 bytes of sound
    EXPECT_NE(fs::status(filesIn(trash)[0]).permissions() & fs::perms::owner_read, fs::perms::none);

    // The trash refusing it, it stays for the next start, and she is told.
    trashTakes = false;
    const fs::path second = filesIn(folder)[0];
    eng.StartRecording();
    eng.recovery()->settle();
    eng.RefreshDisplay();
    EXPECT_TRUE(fs::exists(second));
    EXPECT_TRUE(win.takes.back().replacedKept);
    EXPECT_FALSE(win.takes.back().replacedToTrash);
    lib.deliver({2048});
    eng.StopRecording();
    trashTakes = true;
    fs::remove(second);

    const fs::path saved = freshFolder("recovery-saved");
    fs::create_directories(saved);
    win.saveAnswer = (saved / "a.wav").string();
    eng.SaveRecording();
    EXPECT_TRUE(filesIn(folder).empty());
    EXPECT_EQ(fileBytes(saved / "a.wav"), take());
    EXPECT_TRUE(win.messages.empty());
    fs::remove_all(saved);
}

TEST_F(EngineRecoveryTest, ACopyThatCannotBeKeptLeavesTheTakeWholeAndIsToldOnce) {
    // The folder cannot be made: a file stands in its place.
    std::ofstream(folder) << "x";
    eng.StartRecording();
    lib.deliver({4096, 4096});
    eng.RefreshDisplay();
    eng.StopRecording();
    EXPECT_EQ(eng.recordLength(), 44 + 8192);
    ASSERT_EQ(win.messages.size(), 1u);
    EXPECT_EQ(win.messages[0].text, engine::text::kUnprotected.simplified);
    // Closing would lose it: asked; a save cancelled keeps the window open.
    int closed = 0;
    const auto close = [&] { ++closed; };
    win.yesAnswer = true;
    EXPECT_FALSE(eng.QueryClose(close));
    ASSERT_EQ(win.questions.size(), 1u);
    EXPECT_EQ(win.questions[0], engine::text::kSaveBeforeClose.simplified);
    EXPECT_EQ(closed, 0);
    win.yesAnswer = false;
    EXPECT_FALSE(eng.QueryClose(close));
    EXPECT_EQ(closed, 1) << "否 closes once answered";
    EXPECT_TRUE(eng.QueryClose(close)) << "and is not asked again";
    fs::remove(folder);

    // A disk too slow for the capture: the copy stops, the take does not.
    win.messages.clear();
    eng.recovery()->setRingBytes(4096);
    eng.StartRecording();
    lib.deliver({4096, 4096, 4096});
    eng.RefreshDisplay();
    EXPECT_TRUE(RecoveryFile::cutShort(eng.recovery()->path()))
        << "named incomplete at once, so that a kill now is offered as such";
    eng.RefreshDisplay();
    eng.StopRecording();
    EXPECT_EQ(eng.recordLength(), 44 + 3 * 4096);
    ASSERT_EQ(win.messages.size(), 1u);
    EXPECT_EQ(win.messages[0].text, engine::text::kUnprotected.simplified);
    const auto kept = RecoveryFile::readTake(eng.recovery()->path());
    ASSERT_TRUE(kept) << "what was copied still plays";
    EXPECT_EQ(0, std::memcmp(kept->data() + 44, eng.recordBuffer() + 44, kept->size() - 44));
    // Offered at the next start, it is said to be incomplete.
    EXPECT_TRUE(RecoveryFile::cutShort(eng.recovery()->path()));
    eng.Shutdown();
    FakeEngineWindow next;
    RecordEngine later(lib, next, "Brevon");
    later.setRecoveryFolder(folder);
    later.OfferRecovery();
    ASSERT_EQ(next.questions.size(), 1u);
    EXPECT_NE(next.questions[0].find(engine::text::kRecoverCut.simplified), std::string::npos);

    // Closed over such a take, 否 puts the copy in the trash.
    RecordEngine third(lib, win, "Brevon");
    third.setRecoveryFolder(folder, toTrash());
    ASSERT_TRUE(third.LibraryStartup());
    third.recovery()->setRingBytes(4096);
    third.StartRecording();
    lib.deliver({4096, 4096, 4096});
    third.RefreshDisplay();
    third.StopRecording();
    EXPECT_FALSE(third.QueryClose(close));
    EXPECT_EQ(closed, 2);
    EXPECT_EQ(filesIn(trash).size(), 1u);
}

TEST_F(EngineRecoveryTest, AnUnsavedTakeIsOfferedAtTheNextStart) {
    std::vector<std::uint8_t> lost;
    {
        FakeAudioLibrary lib2;
        FakeEngineWindow win2;
        RecordEngine before(lib2, win2, "Brevon");
        before.setRecoveryFolder(folder);
        ASSERT_TRUE(before.LibraryStartup());
        before.StartRecording();
        lib2.deliver({4096, 4096});
        before.StopRecording();
        lost = {before.recordBuffer(), before.recordBuffer() + before.recordLength()};
    } // closed without saving

    // Yes, then the save dialog is cancelled: the take is this session's
    // unsaved take, still on disk.
    win.yesAnswer = true;
    eng.OfferRecovery();
    ASSERT_EQ(win.questions.size(), 1u);
    // The question, then when the take was made, how long it is, and
    // where 否 puts it.
    EXPECT_EQ(win.questions[0].rfind(engine::text::kRecover.simplified, 0), 0u);
    EXPECT_NE(win.questions[0].find("长1秒。选“否”会把它放进回收站。"), std::string::npos)
        << win.questions[0];
    EXPECT_EQ(win.saveRequests.size(), 1u);
    EXPECT_EQ(take(), lost);
    EXPECT_TRUE(win.playSaveEnabled);
    EXPECT_EQ(filesIn(folder).size(), 1u);

    // Saved later, the file goes.
    const fs::path saved = freshFolder("recovery-offer");
    fs::create_directories(saved);
    win.saveAnswer = (saved / "b.wav").string();
    eng.SaveRecording();
    EXPECT_EQ(fileBytes(saved / "b.wav"), lost);
    EXPECT_TRUE(filesIn(folder).empty());
    eng.OfferRecovery();
    EXPECT_EQ(win.questions.size(), 1u) << "nothing left to offer";
    fs::remove_all(saved);

    // No: to the trash, whole; while the trash will not take it, it stays
    // to be offered again.
    eng.StartRecording();
    lib.deliver({4096});
    eng.StopRecording();
    const auto unwanted = take();
    eng.Shutdown();
    FakeEngineWindow win3;
    win3.simplified = false;
    RecordEngine after(lib, win3, "Brevon");
    after.setRecoveryFolder(folder, toTrash());
    trashTakes = false;
    after.OfferRecovery();
    EXPECT_EQ(filesIn(folder).size(), 1u);
    trashTakes = true;
    after.OfferRecovery();
    ASSERT_EQ(win3.questions.size(), 2u);
    EXPECT_NE(win3.questions[1].find("選「否」會把它放進回收站。"), std::string::npos);
    EXPECT_TRUE(win3.saveRequests.empty());
    EXPECT_TRUE(filesIn(folder).empty());
    ASSERT_EQ(filesIn(trash).size(), 1u);
    EXPECT_EQ(fileBytes(filesIn(trash)[0]), unwanted);
}

TEST_F(EngineRecoveryTest, LeftoversAreOfferedInTurnNothingWaitingForAnAnswer) {
    for (int i = 0; i < 2; ++i) {
        FakeEngineWindow w;
        RecordEngine before(lib, w, "Brevon");
        before.setRecoveryFolder(folder);
        ASSERT_TRUE(before.LibraryStartup());
        before.StartRecording();
        lib.deliver({4096});
        before.StopRecording();
    } // both closed without saving
    ASSERT_EQ(filesIn(folder).size(), 2u);
    win.holdAnswers = true;
    win.yesAnswer = true;
    eng.OfferRecovery();
    eng.OfferRecovery(); // one offer at a time
    eng.RefreshDisplay();
    ASSERT_EQ(win.questions.size(), 1u);
    win.answerHeld(); // 是: the save dialog opens, the next question waits for it
    EXPECT_EQ(win.saveRequests.size(), 1u);
    eng.SaveRecording();
    EXPECT_EQ(win.held(), 1u) << "one save dialog at a time";
    EXPECT_EQ(win.questions.size(), 1u);
    const fs::path saved = freshFolder("recovery-in-turn");
    fs::create_directories(saved);
    win.saveAnswer = (saved / "a.wav").string();
    win.answerHeld();
    EXPECT_EQ(fs::file_size(saved / "a.wav"), 44u + 4096);
    ASSERT_EQ(win.questions.size(), 2u);
    win.yesAnswer = false;
    win.answerHeld();
    EXPECT_TRUE(filesIn(folder).empty());
    EXPECT_EQ(win.held(), 0u);
    fs::remove_all(saved);
}

TEST_F(EngineRecoveryTest, ALeftoverThatIsNoTakeIsNotOfferedAndALinkIsNotFollowed) {
    fs::create_directories(folder);
    const fs::path odd = folder / "take-1-2-3.wav";
    const fs::path elsewhere = trash.string() + "-target";
    std::ofstream(elsewhere) << std::string(1000, 'y');
    fs::create_symlink(elsewhere, folder / "take-1-2-4.wav");
    win.yesAnswer = true;
    for (const bool trashWorks : {false, true}) {
        std::ofstream(odd) << std::string(1000, 'x'); // sound, but not a header of ours
        trashTakes = trashWorks;
        win.messages.clear();
        eng.OfferRecovery();
        EXPECT_TRUE(win.questions.empty());
        EXPECT_TRUE(win.saveRequests.empty());
        ASSERT_EQ(win.messages.size(), 1u);
        if (trashWorks) {
            EXPECT_EQ(win.messages[0].text, engine::text::kRecoverTrashed.simplified);
            EXPECT_FALSE(fs::exists(odd));
            EXPECT_EQ(filesIn(trash).size(), 1u);
        } else { // kept, and where it is told
            EXPECT_EQ(win.messages[0].text.rfind(engine::text::kRecoverFailed.simplified, 0), 0u);
            EXPECT_NE(win.messages[0].text.find("take-1-2-3.wav"), std::string::npos);
            EXPECT_TRUE(fs::exists(odd)) << "never removed unread";
        }
    }
    EXPECT_EQ(fileBytes(elsewhere), std::vector<std::uint8_t>(1000, 'y'));
    EXPECT_TRUE(fs::is_symlink(folder / "take-1-2-4.wav"));
    fs::remove(elsewhere);
}

TEST_F(EngineRecoveryTest, ALostMicrophoneEndsTheTakeAndKeepsIt) {
    eng.StartRecording();
    lib.deliver({4096, 4096});
    eng.RefreshDisplay();
    EXPECT_TRUE(eng.capturing());
    lib.loseCaptureDevice();
    eng.RefreshDisplay();
    EXPECT_FALSE(eng.capturing());
    EXPECT_TRUE(eng.hasFinishedTake());
    EXPECT_EQ(eng.recordLength(), 44 + 8192);
    EXPECT_EQ(win.recordCaption, "录 音");
    EXPECT_TRUE(win.playSaveEnabled);
    EXPECT_EQ(win.endedByEngine, 1);
    ASSERT_EQ(win.messages.size(), 1u);
    EXPECT_EQ(win.messages[0].text, engine::text::kMicrophoneLost.simplified);
    EXPECT_EQ(fileBytes(filesIn(folder).at(0)), take());

    // The sound server is not back yet: F1 says so and the take stays.
    const auto kept = take();
    lib.microphonePresent = false;
    eng.StartRecording();
    EXPECT_FALSE(eng.capturing());
    EXPECT_EQ(take(), kept);
    ASSERT_EQ(win.messages.size(), 2u);
    EXPECT_EQ(win.messages[1].text, engine::text::kNoMicrophone.simplified);
    EXPECT_EQ(fileBytes(filesIn(folder).at(0)), kept);
    // Back: the next take records, the kept one goes to the trash. Its
    // microphone goes before any sound: saving it says it holds none.
    lib.microphonePresent = true;
    eng.StartRecording();
    EXPECT_TRUE(eng.capturing());
    eng.recovery()->settle();
    EXPECT_EQ(fileBytes(filesIn(trash).at(0)), kept);
    lib.loseCaptureDevice();
    eng.RefreshDisplay();
    win.saveAnswer = (trash / "empty.wav").string();
    eng.SaveRecording();
    EXPECT_EQ(win.messages.back().text, engine::text::kNoSound.simplified);
}
