// Saving a take: what lands on disk is read back with libsndfile, and every
// failure leaves the existing file and the folder as they were.

#include "AsNormalUser.h"
#include "AtomicFile.h"
#include "FakeAudioLibrary.h"
#include "FakeEngineWindow.h"
#include "FileNames.h"
#include "RecordEngine.h"
#include "TakeNames.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>

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
    // A name ready: when the take was made, in words.
    EXPECT_EQ(req.suggestedName, engine::takeFileName(eng.takeMadeAt(), std::time(nullptr), true));
    EXPECT_LE(std::abs(std::time(nullptr) - eng.takeMadeAt()), 5);
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
    ASSERT_EQ(win.messages.size(), 2u) << "a file with no sound is said to be one";
    EXPECT_EQ(win.messages[1].text, engine::text::kNoSound.simplified);
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

TEST_F(SaveTest, ADialogWritesOnlyTheTakeItWasOpenedFor) {
    eng.StartRecording();
    lib.deliver({1000});
    eng.StopRecording();
    win.holdAnswers = true;
    win.saveAnswer = (dir / "first.wav").string();
    std::optional<bool> saved;
    eng.SaveRecording([&](bool s) { saved = s; });
    eng.StartRecording(); // not through the window: it is held by the dialog
    lib.deliver({2000});
    eng.StopRecording();
    win.answerHeld();
    EXPECT_EQ(saved, false);
    ASSERT_EQ(win.messages.size(), 1u) << "a name given and nothing written is said";
    EXPECT_EQ(win.messages[0].text, engine::text::kTakeGoneBeforeSave.simplified);
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

    // The dialog opens where the last save that worked went, not in a
    // folder that just failed.
    EXPECT_EQ(win.saveRequests.back().startIn, "");
    win.saveAnswer = (dir / "ok.wav").string();
    eng.SaveRecording();
    win.saveAnswer = cantCreate[0].string();
    eng.SaveRecording();
    eng.SaveRecording();
    EXPECT_EQ(win.saveRequests.back().startIn, dir.string());
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

// A folder the user cannot write: as a normal user, even when the tests run
// as root (the write is then made by a child that has become "nobody").
TEST(AtomicFile, AFolderTheUserCannotWriteIsACreateFailureWithTheSystemsError) {
    const fs::path dir = fs::temp_directory_path() / ("ro-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    const auto attempt = [&dir] {
        int error = 0;
        const auto r = platform::writeFileAtomically((dir / "x.wav").string(), "abc", 3, &error);
        return r == platform::WriteResult::CantCreate && error == EACCES;
    };
    EXPECT_TRUE(fake::asNormalUser(
        attempt, [&dir] { fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec); },
        [&dir] { fs::permissions(dir, fs::perms::owner_all); }));
    EXPECT_TRUE(fs::is_empty(dir));
    fs::remove_all(dir);
}

TEST_F(SaveTest, ReplacingKeepsPermissionsAndWritesThroughLinks) {
    eng.StartRecording();
    lib.deliver({1000});
    eng.StopRecording();
    const auto save = [this](const fs::path& p) {
        win.saveAnswer = p.string();
        eng.SaveRecording();
    };
    // A private recording stays private; a read-only one stays read-only.
    for (const auto mode :
         {fs::perms::owner_read | fs::perms::owner_write, fs::perms::owner_read}) {
        const fs::path target = dir / "kept.wav";
        std::ofstream(target) << "old";
        fs::permissions(target, mode);
        save(target);
        EXPECT_EQ(fs::status(target).permissions(), mode);
        EXPECT_EQ(readAll(target), bufferBytes());
        fs::remove(target);
    }
    // A link, relative or dangling, stays a link; the file it names is written.
    fs::create_directories(dir / "real");
    std::ofstream(dir / "real" / "take.wav") << "old";
    fs::create_symlink("real/take.wav", dir / "link.wav");
    fs::create_symlink("real/new.wav", dir / "dangling.wav");
    save(dir / "link.wav");
    save(dir / "dangling.wav");
    EXPECT_TRUE(fs::is_symlink(dir / "link.wav"));
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.wav"));
    EXPECT_EQ(readAll(dir / "real" / "take.wav"), bufferBytes());
    EXPECT_EQ(readAll(dir / "real" / "new.wav"), bufferBytes());
    EXPECT_TRUE(win.messages.empty());
}

TEST_F(SaveTest, LongNamesSaveAndKilledSavesLeaveNothingForLong) {
    eng.StartRecording();
    lib.deliver({1000});
    eng.StopRecording();
    // 83 Chinese characters, two letters and ".wav": 255 bytes, the longest
    // name the file system allows.
    std::string name;
    for (int i = 0; i < 83; ++i)
        name += "录";
    name += "ab.wav";
    ASSERT_EQ(name.size(), 255u);
    // A temporary of a save that was killed (its process is gone), and one
    // of a save still going on in another process (pid 1 always runs).
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string stale = ".save-" + std::to_string(gone) + "-3.part";
    std::ofstream(dir / stale) << "half";
    std::ofstream(dir / ".save-1-0.part") << "busy";

    win.saveAnswer = (dir / name).string();
    eng.SaveRecording();
    EXPECT_TRUE(win.messages.empty());
    EXPECT_EQ(readAll(dir / name), bufferBytes());
    EXPECT_FALSE(fs::exists(dir / stale));
    EXPECT_TRUE(fs::exists(dir / ".save-1-0.part"));
}

TEST_F(SaveTest, ErrorsSayWhatHappenedInTheWindowsScriptWithTheSystemsNumber) {
    eng.StartRecording();
    lib.deliver({1000});
    eng.StopRecording();
    win.saveAnswer = (dir / "missing" / "a.wav").string();
    eng.SaveRecording();
    win.simplified = false;
    eng.SaveRecording();
    ASSERT_EQ(win.messages.size(), 2u);
    EXPECT_EQ(win.messages[0].text,
              "Can't create the file\r\n\r\nerror code: 2\r\n\r\n"
              "这个文件夹不存在。录好的声音还在，请换一个文件夹或名字再保存。");
    EXPECT_EQ(win.messages[1].text.rfind("Can't create the file\r\n\r\nerror code: 2\r\n\r\n"
                                         "這個資料夾不存在。",
                                         0),
              0u);
}

namespace {
std::time_t localMoment(int year, int month, int day, int hour, int minute) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return std::mktime(&t);
}
} // namespace

TEST(TakeNames, SayWhenInWordsInEitherScriptAndAreSafeOnEveryDisk) {
    const std::time_t now = localMoment(2026, 12, 9, 15, 0);
    struct Row {
        std::time_t at;
        bool simplified;
        const char* name;      // offered in the save dialog
        const char* fromToday; // as a list says it
    };
    const Row rows[] = {
        {localMoment(2026, 12, 9, 14, 6), true, "12月9日 下午2点06分.wav", "今天 下午2点06分"},
        {localMoment(2026, 12, 9, 14, 6), false, "12月9日 下午2點06分.wav", "今天 下午2點06分"},
        {localMoment(2026, 12, 8, 9, 10), true, "12月8日 上午9点10分.wav", "昨天 上午9点10分"},
        {localMoment(2026, 12, 1, 12, 30), true, "12月1日 中午12点30分.wav",
         "12月1日 中午12点30分"},
        {localMoment(2026, 11, 30, 0, 5), true, "11月30日 凌晨0点05分.wav", "11月30日 凌晨0点05分"},
        {localMoment(2026, 3, 2, 19, 45), true, "3月2日 晚上7点45分.wav", "3月2日 晚上7点45分"},
        // Not this year: the year is said.
        {localMoment(2025, 12, 31, 23, 59), true, "2025年12月31日 晚上11点59分.wav",
         "2025年12月31日 晚上11点59分"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(engine::takeFileName(row.at, now, row.simplified), row.name);
        EXPECT_EQ(engine::momentFromToday(row.at, now, row.simplified), row.fromToday);
        EXPECT_EQ(platform::safeFileName(row.name), row.name) << "our own names need no mending";
    }

    // What a FAT or exFAT stick or Windows refuses never reaches a name.
    const std::pair<const char*, const char*> mended[] = {
        {"a:b*c?\"d<e>f|g\\h/i.wav", "a b c  d e f g h i.wav"},
        {"tab\there", "tab here"},
        {"ends with dots...", "ends with dots"},
        {"ends with blank.wav ", "ends with blank.wav"},
        {"CON.wav", "CON_.wav"},
        {"com1", "com1_"},
        {"COM10.wav", "COM10.wav"},
        {"", "_"},
        {"???", "_"},
    };
    for (const auto& [in, out] : mended)
        EXPECT_EQ(platform::safeFileName(in), out) << in;
}

TEST_F(SaveTest, AFreeNameIsFoundBesideTakenOnes) {
    EXPECT_EQ(platform::freeFileName(dir, "12月9日 下午2点06分.wav"), "12月9日 下午2点06分.wav");
    std::ofstream(dir / platform::pathOf("12月9日 下午2点06分.wav")) << "x";
    EXPECT_EQ(platform::freeFileName(dir, "12月9日 下午2点06分.wav"),
              "12月9日 下午2点06分 (2).wav");
    std::ofstream(dir / platform::pathOf("12月9日 下午2点06分 (2).wav")) << "x";
    EXPECT_EQ(platform::freeFileName(dir, "12月9日 下午2点06分.wav"),
              "12月9日 下午2点06分 (3).wav");
    std::ofstream(dir / "noext") << "x";
    EXPECT_EQ(platform::freeFileName(dir, "noext"), "noext (2)");
}
