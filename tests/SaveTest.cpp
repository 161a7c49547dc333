// Saving a take: what lands on disk is read back with libsndfile, and every
// failure leaves the existing file and the folder as they were.

#include "AtomicFile.h"
#include "FakeAudioLibrary.h"
#include "FakeEngineWindow.h"
#include "RecordEngine.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

namespace fs = std::filesystem;
using engine::RecordEngine;

namespace {

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class SaveTest : public ::testing::Test {
protected:
    fake::FakeAudioLibrary lib;
    fake::FakeEngineWindow win;
    RecordEngine eng{lib, win, "Brevon"};
    fs::path dir;

    void SetUp() override {
        ASSERT_TRUE(eng.LibraryStartup());
        dir = fs::temp_directory_path() /
              ("savetest-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<fs::path> folderContents() const {
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(dir))
            out.push_back(e.path().filename());
        return out;
    }
    std::string bufferBytes() const {
        return {reinterpret_cast<const char*>(eng.recordBuffer()), std::size_t(eng.recordLength())};
    }
};

struct SndInfo {
    SF_INFO info{};
    bool opened = false;
};

SndInfo openWithLibsndfile(const fs::path& p) {
    SndInfo r;
    SNDFILE* f = sf_open(p.c_str(), SFM_READ, &r.info);
    r.opened = f != nullptr;
    if (f)
        sf_close(f);
    return r;
}

} // namespace

TEST_F(SaveTest, WritesTheExactImageAsAStandardWavFile) {
    eng.StartRecording();
    lib.deliver({176400, 4096});
    eng.StopRecording();
    // A long path with Chinese characters: no length limit of the old file call.
    const fs::path sub = dir / std::string(150, 'd');
    fs::create_directories(sub);
    const fs::path target = sub / "录音一.wav";
    win.saveAnswer = target.string();
    eng.SaveRecording();
    ASSERT_TRUE(win.messages.empty());

    ASSERT_EQ(win.saveRequests.size(), 1u);
    const auto& req = win.saveRequests[0];
    EXPECT_EQ(req.title, "保存....");
    EXPECT_EQ(req.defaultExtension, "wav");
    ASSERT_EQ(req.filters.size(), 2u);
    EXPECT_EQ(req.filters[0].first, "WAV 文件");
    EXPECT_EQ(req.filters[1].first, "所有文件");

    EXPECT_EQ(readAll(target), bufferBytes());
    const auto snd = openWithLibsndfile(target);
    ASSERT_TRUE(snd.opened);
    EXPECT_EQ(snd.info.samplerate, 44100);
    EXPECT_EQ(snd.info.channels, 2);
    EXPECT_EQ(snd.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(snd.info.frames, (176400 + 4096) / 4);
}

TEST_F(SaveTest, EmptyTakeSavesAsAValidEmptyFileAndSavingTwiceWritesItTwice) {
    eng.StartRecording();
    eng.StopRecording();
    win.saveAnswer = (dir / "a.wav").string();
    eng.SaveRecording();
    win.saveAnswer = (dir / "b.wav").string();
    eng.SaveRecording();
    for (const char* name : {"a.wav", "b.wav"}) {
        EXPECT_EQ(fs::file_size(dir / name), 44u);
        const auto snd = openWithLibsndfile(dir / name);
        ASSERT_TRUE(snd.opened) << name;
        EXPECT_EQ(snd.info.frames, 0);
    }
}

TEST_F(SaveTest, OverwritingReplacesTheWholeFile) {
    const fs::path target = dir / "old.wav";
    std::ofstream(target) << std::string(100000, 'x');
    eng.StartRecording();
    lib.deliver({1000});
    eng.StopRecording();
    win.saveAnswer = target.string();
    eng.SaveRecording();
    EXPECT_EQ(fs::file_size(target), 1044u);
    EXPECT_EQ(readAll(target), bufferBytes());
    EXPECT_EQ(folderContents(), std::vector<fs::path>{"old.wav"});
}

TEST_F(SaveTest, CancelWritesNothingAndShowsNothing) {
    eng.StartRecording();
    eng.StopRecording();
    win.saveAnswer.reset();
    eng.SaveRecording();
    EXPECT_EQ(win.saveRequests.size(), 1u);
    EXPECT_TRUE(win.messages.empty());
    EXPECT_TRUE(folderContents().empty());
}

TEST_F(SaveTest, NoTakeMeansNoDialogAndNoFile) {
    eng.SaveRecording();
    EXPECT_TRUE(win.saveRequests.empty());
    EXPECT_TRUE(win.messages.empty());
}

TEST_F(SaveTest, SaveDuringACaptureStopsTheTakeFirst) {
    eng.StartRecording();
    lib.deliver({4000});
    win.saveAnswer = (dir / "live.wav").string();
    eng.SaveRecording();
    EXPECT_EQ(eng.recordChannel(), 0u);
    EXPECT_EQ(win.recordCaption, "录 音");
    // The stop came before the dialog was asked for.
    const auto& calls = lib.calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "BASS_ChannelStop"), calls.end());
    lib.deliver({4000});
    const std::string saved = readAll(dir / "live.wav");
    ASSERT_EQ(saved.size(), 4044u);
    EXPECT_EQ(saved.substr(40, 4), std::string("\xA0\x0F\0\0", 4)); // data size 4000
    const auto snd = openWithLibsndfile(dir / "live.wav");
    ASSERT_TRUE(snd.opened);
    EXPECT_EQ(snd.info.frames, 1000);
}

TEST_F(SaveTest, CreateFailuresAreReportedAndLeaveNothingBehind) {
    eng.StartRecording();
    lib.deliver({1000});
    eng.StopRecording();
    std::ofstream(dir / "plain") << "x";
    const std::vector<fs::path> cantCreate = {
        dir / "missing" / "a.wav", // folder does not exist
        dir / "plain" / "a.wav",   // a file where a folder should be
        dir,                       // a folder chosen as the file
    };
    for (const auto& p : cantCreate) {
        win.messages.clear();
        win.saveAnswer = p.string();
        eng.SaveRecording();
        ASSERT_EQ(win.messages.size(), 1u) << p;
        EXPECT_EQ(win.messages[0].text.rfind("Can't create the file\r\n\r\nerror code: ", 0), 0u);
    }
    EXPECT_EQ(folderContents(), std::vector<fs::path>{"plain"});
}

TEST_F(SaveTest, FailedWriteKeepsTheOldFileAndNoTemporary) {
    const fs::path target = dir / "keep.wav";
    std::ofstream(target) << "precious";
    eng.StartRecording();
    lib.deliver({200000});
    eng.StopRecording();

    // A file size limit makes the write itself fail, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 65536;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    win.saveAnswer = target.string();
    eng.SaveRecording();
    setrlimit(RLIMIT_FSIZE, &old);

    ASSERT_EQ(win.messages.size(), 1u);
    EXPECT_EQ(win.messages[0].text.rfind("Can't write the file\r\n\r\nerror code: ", 0), 0u);
    EXPECT_EQ(readAll(target), "precious");
    EXPECT_EQ(folderContents(), std::vector<fs::path>{"keep.wav"});
}

TEST(AtomicFile, ReadOnlyFolderIsACreateFailure) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const fs::path dir = fs::temp_directory_path() / ("ro-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(platform::writeFileAtomically((dir / "x.wav").string(), "abc", 3),
              platform::WriteResult::CantCreate);
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
}
