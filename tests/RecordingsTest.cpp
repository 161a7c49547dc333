// "我的录音" on the offscreen platform: her recordings from two folders
// newest first, a file that is no recording, playing, the trash both ways
// (a recording put in it; a thrown-away take put back byte for byte) and
// the phone copy read back with libsndfile.

#include "FakeAudioLibrary.h"
#include "FakeDialogs.h"
#include "FakeShell.h"
#include "frmRecordings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <fstream>
#include <vector>

using recordings::frmRecordings;

namespace {

// A WAV of `seconds` of a tone, as a recorder writes it, last changed `age`
// seconds ago.
void writeTake(const QString& path, double seconds, qint64 age) {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    std::vector<short> frames(std::size_t(seconds * 44100) * 2);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = short(8000 * std::sin(double(i / 2) * 0.06));
    sf_writef_short(f, frames.data(), sf_count_t(frames.size() / 2));
    sf_close(f);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime);
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class RecordingsTest : public ::testing::Test {
protected:
    fake::FakeAudioLibrary lib;
    fake::FakeDialogs dialogs;
    fake::FakeShell shell;
    QString root = QDir::temp().absoluteFilePath(
        QStringLiteral("recordings-test-%1").arg(QCoreApplication::applicationPid()));
    QString mine = root + QStringLiteral("/录音");
    QString other = root + QStringLiteral("/U盘");
    QString trash = root + QStringLiteral("/Trash");
    QString recovery = root + QStringLiteral("/Brevon/recovery");

    void SetUp() override {
        QDir(root).removeRecursively();
        for (const QString& d : {mine, other, trash + QStringLiteral("/files"),
                                 trash + QStringLiteral("/info"), recovery})
            QDir().mkpath(d);
        lib.BASS_Init(-1, 44100, 0, nullptr, nullptr);
    }
    void TearDown() override { QDir(root).removeRecursively(); }

    std::unique_ptr<frmRecordings> open() {
        auto w = std::make_unique<frmRecordings>(
            lib, dialogs, &shell,
            frmRecordings::Places{mine, {other, mine}, trash, {recovery.toStdU16String()}}, true);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !w->shelf().scanning(); }, 5000));
        return w;
    }
    static QString row(frmRecordings& w, int r) {
        return w.shelf().data(w.shelf().index(r), Qt::DisplayRole).toString();
    }
};

} // namespace

TEST_F(RecordingsTest, ListsEveryFolderNewestFirstAndABrokenFileAsSuch) {
    writeTake(mine + QStringLiteral("/给孙子的话.wav"), 65.2, 3 * 86400);
    writeTake(other + QStringLiteral("/新的.wav"), 1.4, 60);
    std::ofstream(QFile::encodeName(mine + QStringLiteral("/坏的.wav")).constData()) << "not sound";
    QFile broken(mine + QStringLiteral("/坏的.wav"));
    ASSERT_TRUE(broken.open(QIODevice::ReadWrite));
    broken.setFileTime(QDateTime::currentDateTime().addSecs(-86400),
                       QFileDevice::FileModificationTime);
    broken.close();

    auto w = open();
    ASSERT_EQ(w->shelf().rowCount(), 3); // the folder named twice is read once
    EXPECT_TRUE(row(*w, 0).startsWith(QStringLiteral("新的\n今天 "))) << row(*w, 0).toStdString();
    EXPECT_TRUE(row(*w, 0).endsWith(QStringLiteral("　1秒")));
    EXPECT_TRUE(row(*w, 1).startsWith(QStringLiteral("坏的\n昨天 ")));
    EXPECT_TRUE(row(*w, 1).endsWith(QStringLiteral("不是能播放的录音文件")));
    EXPECT_TRUE(row(*w, 2).endsWith(QStringLiteral("　1分05秒")));
    // A reader hears each row in one line, by name.
    EXPECT_TRUE(w->shelf()
                    .data(w->shelf().index(2), Qt::AccessibleTextRole)
                    .toString()
                    .startsWith(QStringLiteral("给孙子的话，")));

    // 播放 and 停, on the row chosen; a broken file is said to be one.
    w->lstRecordings->setCurrentIndex(w->shelf().index(0));
    w->cmdPlay_Click();
    EXPECT_EQ(w->cmdPlay->text(), QStringLiteral("停"));
    EXPECT_TRUE(row(*w, 0).contains(QStringLiteral("▶ 0:00 / 0:01")));
    w->cmdPlay_Click();
    EXPECT_EQ(w->cmdPlay->text(), QStringLiteral("播放"));
    w->show();
    w->cmdPlay_Click();
    w->close(); // a closed window plays nothing
    EXPECT_EQ(w->cmdPlay->text(), QStringLiteral("播放"));
    w->lstRecordings->setCurrentIndex(w->shelf().index(1));
    w->cmdPlay_Click();
    EXPECT_EQ(w->cmdPlay->text(), QStringLiteral("播放"));
    EXPECT_EQ(w->lblLine->text(), QStringLiteral("这个文件不是能播放的录音。"));

    // 放进回收站 asks first; 否 keeps it.
    w->lstRecordings->setCurrentIndex(w->shelf().index(2));
    w->cmdTrash_Click();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_TRUE(QFile::exists(mine + QStringLiteral("/给孙子的话.wav")));
    dialogs.yesAnswer = true;
    w->cmdTrash_Click();
    EXPECT_FALSE(QFile::exists(mine + QStringLiteral("/给孙子的话.wav")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->shelf().rowCount() == 2; }, 5000));

    w->lstRecordings->setCurrentIndex(w->shelf().index(0));
    w->cmdFolder_Click();
    EXPECT_EQ(shell.shownInFileManager, QStringList{other + QStringLiteral("/新的.wav")});
}

TEST_F(RecordingsTest, ATakeThrownAwayIsFoundInTheTrashAndPutBackByteForByte) {
    // What the trash holds: one take a recorder threw away, one file of
    // someone else's.
    const QString name = QStringLiteral("2026-12-08 06.45.12 3秒.wav");
    writeTake(trash + QStringLiteral("/files/") + name, 3, 0);
    writeTake(trash + QStringLiteral("/files/other.wav"), 1, 0);
    const QByteArray take = bytesOf(trash + QStringLiteral("/files/") + name);
    auto info = [&](const QString& file, const QString& from) {
        QFile f(trash + QStringLiteral("/info/") + file + QStringLiteral(".trashinfo"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(
            "[Trash Info]\nPath=" + QUrl::toPercentEncoding(from + QLatin1Char('/') + file, "/") +
            "\nDeletionDate=2026-12-08T06:47:00\n");
    };
    info(name, recovery);
    info(QStringLiteral("other.wav"), root);

    auto w = open();
    ASSERT_EQ(w->trashed().size(), 1u);
    ASSERT_EQ(w->lstTrashed->count(), 1);
    EXPECT_EQ(w->lstTrashed->item(0)->text().right(2), QStringLiteral("3秒"));
    w->cmdRestore_Click();
    const QString back = mine + QStringLiteral("/12月8日 上午6点45分.wav");
    ASSERT_TRUE(QFile::exists(back)) << w->lblLine->text().toStdString();
    EXPECT_EQ(bytesOf(back), take);
    EXPECT_FALSE(QFile::exists(trash + QStringLiteral("/files/") + name));
    EXPECT_FALSE(
        QFile::exists(trash + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo")));
    EXPECT_EQ(w->lstTrashed->count(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->shelf().rowCount() == 1; }, 5000));
    EXPECT_EQ(w->lblLine->text(), QStringLiteral("已找回：12月8日 上午6点45分")); // still said
}

TEST_F(RecordingsTest, ThePhoneCopyIsASmallMp3OfTheWholeTake) {
    writeTake(mine + QStringLiteral("/给女儿.wav"), 12.5, 0);
    auto w = open();
    w->lstRecordings->setCurrentIndex(w->shelf().index(0));
    w->cmdSend_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->copier().busy(); }, 20000));
    const QString mp3 = mine + QStringLiteral("/给女儿.mp3");
    ASSERT_EQ(shell.shownInFileManager, QStringList{mp3}) << w->lblLine->text().toStdString();
    EXPECT_TRUE(w->lblLine->text().contains(QStringLiteral(" MB）")));
    SF_INFO info{};
    SNDFILE* f = sf_open(QFile::encodeName(mp3).constData(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    sf_close(f);
    EXPECT_EQ(info.channels, 1);
    EXPECT_NEAR(double(info.frames) / info.samplerate, 12.5, 0.1);
    // About 64 kbit/s: 8 kB a second.
    const double perSecond = double(QFileInfo(mp3).size()) / 12.5;
    EXPECT_GT(perSecond, 6000);
    EXPECT_LT(perSecond, 10000);
}
