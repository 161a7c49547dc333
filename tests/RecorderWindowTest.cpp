// The recorder window on the offscreen platform, with the scriptable audio
// library and dialogs: start-up check, layout, function keys and the state
// of the controls through a take.

#include "FakeAudioLibrary.h"
#include "FakeDialogs.h"
#include "TakeMeterWidget.h"
#include "WindowTestHelpers.h"
#include "WindowUnits.h"
#include "frmRecTest.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>

using recorder::Edition;
using recorder::frmRecTest;
using recorder::Script;

namespace {

class RecorderWindowTest : public ::testing::Test {
protected:
    fake::FakeAudioLibrary lib;
    fake::FakeDialogs dialogs;
    std::unique_ptr<frmRecTest> win;

    void SetUp() override { win = std::make_unique<frmRecTest>(Edition::Standard, lib, dialogs); }
    void loadAndShow() {
        ASSERT_TRUE(win->Load({QStringLiteral("oldstart")}));
        ASSERT_TRUE(fake::showActive(*win));
    }
    void key(Qt::Key k) { QTest::keyClick(win.get(), k); }
};

} // namespace

TEST_F(RecorderWindowTest, RefusesAnyCommandLineButTheExactWord) {
    const std::vector<QStringList> refused = {{},
                                              {QStringLiteral("OLDSTART")},
                                              {QStringLiteral("oldstart"), QStringLiteral("x")},
                                              {QStringLiteral("oldstart ")}};
    for (const auto& args : refused) {
        frmRecTest w(Edition::Standard, lib, dialogs);
        dialogs.boxes.clear();
        EXPECT_FALSE(w.Load(args)) << args.join(QLatin1Char('|')).toStdString();
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("错误运行"));
        EXPECT_EQ(dialogs.boxes[0].text,
                  QStringLiteral("注意：此程序必须依赖Lumeno录音机一起启动!"));
        EXPECT_EQ(dialogs.boxes[0].icon, platform::MessageIcon::Critical);
    }
    EXPECT_TRUE(lib.calls().empty()); // no device was asked for
}

TEST_F(RecorderWindowTest, StartsWithTheControlsInPlace) {
    loadAndShow();
    EXPECT_EQ(win->windowTitle(), QStringLiteral("录音机标准版"));
    EXPECT_EQ(win->Label2->text(), QStringLiteral("录音机标准版"));
    EXPECT_TRUE(win->Label1->text().startsWith(QStringLiteral("Tessel软件：")));
    EXPECT_EQ(win->Command1->text(), QStringLiteral("设         置"));
    EXPECT_EQ(win->Frame1->title(), QStringLiteral("状态栏"));
    EXPECT_EQ(win->btnSave->toolTip(), QStringLiteral("F4"));
    EXPECT_TRUE(win->tmrRecTest->isActive());
    EXPECT_EQ(win->tmrRecTest->interval(), 200);
    EXPECT_EQ(win->Text1->text(), QStringLiteral("2"));
    EXPECT_EQ(win->Text2->text(), QStringLiteral("16"));
    EXPECT_EQ(win->Text3->text(), QStringLiteral("44100"));
    EXPECT_EQ(win->Text4->text(), QStringLiteral("oldstart"));
    EXPECT_TRUE(win->Option1->isChecked());
    EXPECT_FALSE(win->btnPlay->isEnabled());
    EXPECT_FALSE(win->btnSave->isEnabled());

    // 15 twips to the pixel at 96 dots per inch.
    if (win->logicalDpiX() == 96) {
        EXPECT_EQ(win->size(), QSize(338, 484));
        EXPECT_EQ(win->btnRecord->geometry(), QRect(8, 208, 73, 52));
        EXPECT_EQ(win->Command1->geometry(), QRect(8, 272, 321, 49));
        EXPECT_EQ(win->Picture1->geometry(), QRect(-48, 0, 425, 97));
        EXPECT_EQ(win->Command5->geometry(), QRect(350, 61, 33, 33));
        EXPECT_EQ(win->lblPos->geometry(), QRect(8, 32, 161, 27));
    }
    EXPECT_EQ(win->Label2->font().pointSizeF(), 18.0);
    EXPECT_TRUE(win->Label2->font().bold());
    EXPECT_EQ(win->btnRecord->font().pointSizeF(), 15.75);
    // The fields stay out of sight.
    for (QWidget* field : {static_cast<QWidget*>(win->Option1), static_cast<QWidget*>(win->Text4),
                           static_cast<QWidget*>(win->lblSystem)})
        EXPECT_FALSE(field->isVisible());
}

TEST_F(RecorderWindowTest, FunctionKeysDriveATakeThroughItsStates) {
    loadAndShow();
    key(Qt::Key_F1);
    EXPECT_EQ(win->btnRecord->text(), QStringLiteral("停 止"));
    EXPECT_EQ(win->btnRecord->accessibleName(), QStringLiteral("停 止")); // what a reader says
    EXPECT_FALSE(win->Command1->isEnabled());
    lib.deliver({4096, 4096});
    win->tmrRecTest_Timer();
    EXPECT_EQ(win->lblPos->text(), QStringLiteral("8192"));
    // Beside the count, large: recording, the level moving, the length.
    EXPECT_EQ(win->takeMeter->clock()->text(), QStringLiteral("● 录音中 0:00"));
    EXPECT_GT(win->takeMeter->level(), 0.5f);
    EXPECT_EQ(win->takeMeter->clock()->accessibleName(), QStringLiteral("● 录音中 0:00"));
    // A microphone that hears nothing for 3 s is said to, in the script.
    win->SwitchScript(Script::Traditional);
    lib.silentBlocks = true;
    lib.clock = 176400 * 4;
    lib.deliver({4096});
    win->tmrRecTest_Timer();
    EXPECT_EQ(win->takeMeter->line()->text(), QStringLiteral("沒有聽到聲音，請檢查麥克風。"));
    win->SwitchScript(Script::Simplified);
    lib.silentBlocks = false;
    lib.clock = -1;

    key(Qt::Key_F2); // pause: the count stands still
    lib.deliver({4096});
    win->tmrRecTest_Timer();
    EXPECT_EQ(win->lblPos->text(), QStringLiteral("12288"));
    EXPECT_TRUE(win->takeMeter->clock()->text().startsWith(QStringLiteral("已暂停")));
    key(Qt::Key_F1); // stops a paused take
    EXPECT_EQ(win->btnRecord->text(), QStringLiteral("录 音"));
    EXPECT_TRUE(win->btnPlay->isEnabled());
    EXPECT_TRUE(win->btnSave->isEnabled());
    EXPECT_TRUE(win->Command1->isEnabled());
    win->tmrRecTest_Timer();
    EXPECT_EQ(win->lblPos->text(), QStringLiteral("12288"));

    key(Qt::Key_F3);
    EXPECT_TRUE(lib.stream(win->engine().playbackStream())->playing);

    key(Qt::Key_F1); // a new take disables Play and Save until stopped
    EXPECT_FALSE(win->btnPlay->isEnabled());
    EXPECT_FALSE(win->btnSave->isEnabled());
    // The take it replaced was not saved: it went to the trash, and she is
    // told where to find it, until her next action.
    win->engine().recovery()->settle(); // (moved on a thread of its own)
    win->tmrRecTest_Timer();
    EXPECT_EQ(win->takeMeter->line()->accessibleName(),
              QStringLiteral("上一段没有保存的录音已放进回收站，可以在“我的录音”里找回。"));
    key(Qt::Key_F1);
    EXPECT_TRUE(win->btnPlay->isEnabled());
    EXPECT_EQ(win->takeMeter->line()->accessibleName(), QString());
}

TEST_F(RecorderWindowTest, SaveKeyWithoutTakeDoesNothingAndDuringTakeStopsFirst) {
    loadAndShow();
    key(Qt::Key_F4);
    EXPECT_TRUE(dialogs.saveRequests.empty());
    EXPECT_TRUE(dialogs.boxes.empty());

    const auto path = std::filesystem::temp_directory_path() /
                      ("window-save-" + std::to_string(::getpid()) + ".wav");
    dialogs.saveAnswer = QString::fromStdString(path.string());
    bool stoppedBeforeDialog = false;
    dialogs.onSaveDialog = [&] { stoppedBeforeDialog = !win->engine().capturing(); };
    key(Qt::Key_F1);
    lib.deliver({4000});
    key(Qt::Key_F4); // its button is disabled; the key still runs the handler
    EXPECT_TRUE(stoppedBeforeDialog);
    EXPECT_EQ(win->btnRecord->text(), QStringLiteral("录 音"));
    EXPECT_TRUE(win->Command1->isEnabled());

    // A name ready, and where it went said in words.
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_TRUE(dialogs.saveRequests[0].suggestedName.ends_with("分.wav"));
    win->tmrRecTest_Timer();
    const QString saved = win->takeMeter->line()->accessibleName();
    EXPECT_TRUE(saved.startsWith(QStringLiteral("已保存在 "))) << saved.toStdString();
    EXPECT_TRUE(saved.endsWith(QStringLiteral(" 里：") + path.stem().c_str()))
        << saved.toStdString();
    EXPECT_FALSE(saved.contains(QLatin1Char('/')));
    EXPECT_EQ(win->takeMeter->line()->toolTip(), QString::fromStdString(path.string()));

    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    sf_close(f);
    EXPECT_EQ(info.frames, 1000);
    EXPECT_EQ(info.samplerate, 44100);
    std::filesystem::remove(path);
}

TEST_F(RecorderWindowTest, MemoryFailureOnTheCaptureThreadReachesTheWindowThread) {
    loadAndShow();
    int growths = 0;
    win->engine().setGrowthCheck([&growths](std::size_t) { return ++growths <= 1; });
    win->SwitchScript(Script::Traditional);
    key(Qt::Key_F1);
    lib.deliver({150000, 60000});
    EXPECT_TRUE(dialogs.boxes.empty()); // not shown from the capture thread
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.boxes.empty(); }));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("Error"));
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QStringLiteral("Out of memory!")));
    EXPECT_TRUE(dialogs.boxes[0].owned);
    EXPECT_EQ(win->btnRecord->text(), QStringLiteral("錄 音"));
    EXPECT_TRUE(win->btnPlay->isEnabled());
    EXPECT_TRUE(win->Command1->isEnabled());
    EXPECT_EQ(win->engine().recordLength(), 44 + 150000);
}

// What the engine says from a refresh or after the capture thread's word
// opens no event loop of its own: the caller goes on at once, timers and
// all, and hears when the box is closed.
TEST(Dialogs, ANoticeReturnsAtOnceAndSaysWhenItIsClosed) {
    QWidget owner;
    ASSERT_TRUE(fake::showActive(owner));
    platform::QtDialogs dialogs;
    bool closed = false;
    dialogs.notice(&owner, QStringLiteral("Brevon"), QStringLiteral("一\r\n二"),
                   platform::MessageIcon::Exclamation, [&closed] { closed = true; });
    QPointer<QMessageBox> box = owner.findChild<QMessageBox*>();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), QStringLiteral("一\n二"));
    EXPECT_FALSE(closed);
    box->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(QTest::qWaitFor([&box] { return box.isNull(); })); // not kept
}

TEST_F(RecorderWindowTest, ClosingFreesTheDevices) {
    loadAndShow();
    key(Qt::Key_F1);
    lib.deliver({4000});
    win->close();
    EXPECT_FALSE(lib.recordOpen());
    EXPECT_FALSE(lib.outputOpen());
}

TEST(WindowUnits, EveryWindowFitsALargerDesktopScaleLessItsPanel) {
    struct Screen {
        int width, height; // device pixels
        double scale;
    };
    const Screen screens[] = {{1366, 768, 1.5}, {1920, 1080, 2}, {1366, 768, 1}, {1024, 600, 1}};
    struct Window {
        const char* name;
        int width, height; // twips
    };
    const Window windows[] = {
        {"recorder", 5070, 7260}, {"speech", 5730, 9780},   {"launcher", 8385, 7605},
        {"offer", 7440, 3960},    {"training", 7440, 4740},
    };
    for (const Screen& s : screens) {
        const QSize available(int(s.width / s.scale), int(s.height / s.scale));
        const QSize area = platform::usableArea(available, false, s.scale);
        for (const Window& w : windows) {
            const double dpi = platform::fittedDpi(96, w.width, w.height, area);
            const int height = platform::twipsToPixels(w.height, dpi);
            // With a title bar of 32 and a panel of 40 device pixels.
            EXPECT_LE((height + 32) * s.scale, s.height - 40 + s.scale)
                << w.name << " at " << s.scale << " on " << s.height;
            EXPECT_LE(platform::twipsToPixels(w.width, dpi) * s.scale, s.width) << w.name;
            // A window that fits keeps its size: it is never made smaller.
            if (platform::twipsToPixels(w.height, 96) <= area.height() &&
                platform::twipsToPixels(w.width, 96) <= area.width()) {
                EXPECT_EQ(dpi, 96) << w.name;
            }
        }
    }
}
