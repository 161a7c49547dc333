// Page two of the launcher, the mode launch, the speech recorder window and
// its spoken commands, with a scripted recogniser.

#include "FakeAudioLibrary.h"
#include "FakeDialogs.h"
#include "FakeShell.h"
#include "frmSDK.h"
#include "frmXD.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <thread>

namespace {

// A recogniser that hears what the test says, on a thread of its own.
struct FakeRecogniser {
    int created = 0;
    bool failLoad = false;
    std::vector<bool> states;
    speech::SpeechBackend::PhraseSink sink;

    speech::SpeechBackendFactory factory() {
        return [this](speech::SpeechBackend::PhraseSink s) {
            ++created;
            sink = std::move(s);
            struct Backend : speech::SpeechBackend {
                FakeRecogniser* owner;
                bool load(std::string& error) override {
                    if (owner->failLoad)
                        error = "找不到语音识别模型";
                    return !owner->failLoad;
                }
                bool setActive(bool active, std::string&) override {
                    owner->states.push_back(active);
                    return true;
                }
            };
            auto b = std::make_unique<Backend>();
            b->owner = this;
            return b;
        };
    }
    void hear(const std::string& phrase) {
        std::thread([this, phrase] { sink(phrase); }).join();
    }
};

class SpeechTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat};
    fake::FakeDialogs dialogs;
    fake::FakeShell shell;
    fake::FakeAudioLibrary lib;
    FakeRecogniser recogniser;
    std::unique_ptr<launcher::frmXD> win;
    int ended = 0;

    void SetUp() override {
        settings.setValue(QStringLiteral("Config/ShowTips"), QStringLiteral("0"));
        win =
            std::make_unique<launcher::frmXD>(settings, dialogs, shell, lib, recogniser.factory());
        win->setEndProgram([this] { ++ended; });
        win->Load();
    }
    speech::frmSDK& sdk() { return *win->speechWindow(); }
    // The phrase arrives through the window thread's event queue; this
    // returns once it has been shown (and obeyed).
    void say(const char* phrase) {
        const QString shown = QString::fromUtf8(phrase) + " ";
        const qsizetype before = sdk().Text1->toPlainText().size();
        recogniser.hear(phrase);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return sdk().Text1->toPlainText().size() >= before + shown.size();
        })) << phrase;
        EXPECT_TRUE(sdk().Text1->toPlainText().mid(before).startsWith(shown)) << phrase;
    }
};

} // namespace

TEST_F(SpeechTest, PageTwoAndTheSpeechWindowFollowTheScriptAtEachPass) {
    EXPECT_EQ(win->speechWindow(), nullptr); // nothing opened before page two
    win->Command2_Click();
    ASSERT_NE(win->speechWindow(), nullptr);
    EXPECT_TRUE(lib.recordOpen());
    EXPECT_FALSE(sdk().isVisible());
    EXPECT_EQ(win->Frame3->title(), QStringLiteral("选择录制方式"));
    EXPECT_EQ(sdk().windowTitle(), QStringLiteral("语音识别录音机"));
    win->Frame2_Command1_Click();
    win->optFt->click();
    win->Command2_Click();
    EXPECT_EQ(win->Frame3->title(), QStringLiteral("選擇錄製方式"));
    EXPECT_EQ(win->optyyts->text(), QStringLiteral("根據語音提示進行錄音"));
    EXPECT_EQ(win->optpt->text(), QStringLiteral("普通錄音模式"));
    EXPECT_EQ(sdk().windowTitle(), QStringLiteral("語音識別錄音機"));
    EXPECT_EQ(sdk().Command1->text(), QStringLiteral("開始識別"));
    EXPECT_EQ(sdk().Label7->text(), QStringLiteral("注意：暫停或繼續可用可不用"));
    EXPECT_EQ(sdk().btnRecord->text(), QStringLiteral("錄 音"));
    EXPECT_TRUE(win->optpt->isChecked()); // the mode choice survives the pages
}

TEST_F(SpeechTest, StandardModeStartsByTheSystemName) {
    struct Row {
        const char* system;
        const char* program;
    };
    for (const Row r : {Row{"Windows 7", "Brevon"}, Row{"Windows Vista", "Brevon"},
                        Row{"未知", "Brevon"}, Row{"Windows XP", "Kestrum"}, Row{"", "Kestrum"}}) {
        shell.detached.clear();
        ended = 0;
        win->Command2_Click();
        win->lblver->setText(QString::fromUtf8(r.system));
        win->Command3_Click();
        ASSERT_EQ(shell.detached.size(), 1) << r.system;
        EXPECT_EQ(shell.detached[0].program,
                  QCoreApplication::applicationDirPath() + "/" + QString::fromLatin1(r.program));
        EXPECT_EQ(shell.detached[0].arguments, QStringList{QStringLiteral("oldstart")});
        EXPECT_EQ(ended, 1);
    }
    win->optyyts->setChecked(true);
    win->Command3_Click();
    EXPECT_TRUE(shell.detached.back().program.endsWith(QStringLiteral("/Tamsel")));
}

TEST_F(SpeechTest, SpeechModeHidesTheLauncherAndShowsTheSpeechWindow) {
    win->show();
    win->Command2_Click();
    win->optyysb->setChecked(true);
    win->Command3_Click();
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(win->isVisible());
    EXPECT_TRUE(sdk().isVisible());
    sdk().hide();
}

TEST_F(SpeechTest, ExactCommandWordsDriveTheTake) {
    win->Command2_Click();
    sdk().StartRecognition();
    EXPECT_TRUE(sdk().RecognitionActive());
    EXPECT_FALSE(sdk().Command1->isEnabled());
    for (const char* near : {"录音。", " 录音", "錄音", "录音 继续"})
        say(near);
    EXPECT_FALSE(sdk().engine().capturing());
    say("停止"); // the record toggle starts a take when none runs
    EXPECT_TRUE(sdk().engine().capturing());
    EXPECT_EQ(sdk().btnRecord->text(), QStringLiteral("停 止"));
    lib.deliver({4000});
    say("继续"); // pauses a running take
    EXPECT_EQ(lib.BASS_ChannelIsActive(sdk().engine().recordChannel()), audio::BASS_ACTIVE_PAUSED);
    say("暂停"); // and resumes it
    say("录音");
    EXPECT_FALSE(sdk().engine().capturing());
    EXPECT_TRUE(sdk().btnPlay->isEnabled());
    say("试听");
    EXPECT_TRUE(lib.stream(sdk().engine().playbackStream())->playing);

    recogniser.hear("停止识别");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sdk().RecognitionActive(); }));
    EXPECT_EQ(sdk().Text1->toPlainText(), QString()); // cleared, its own phrase included
    EXPECT_TRUE(sdk().Command1->isEnabled());
    recogniser.hear("录音"); // not listening: nothing arrives
    QTest::qWait(50);
    EXPECT_FALSE(sdk().engine().capturing());

    sdk().StartRecognition(); // the same context again
    EXPECT_EQ(recogniser.created, 1);
    EXPECT_EQ(sdk().contextsCreated(), 1);
    EXPECT_EQ(recogniser.states, (std::vector<bool>{true, false, true}));
}

TEST_F(SpeechTest, CommandsDuringTheSaveDialogDoNotChangeTheTake) {
    win->Command2_Click();
    sdk().StartRecognition();
    say("录音");
    lib.deliver({4000});
    dialogs.saveAnswer.reset();
    bool stillNoCapture = false;
    dialogs.onSaveDialog = [&] {
        sdk().RecoContext_Recognition(QStringLiteral("录音"));
        stillNoCapture = !sdk().engine().capturing();
    };
    say("保存"); // stops the running take first, then asks for the name
    EXPECT_TRUE(stillNoCapture);
    EXPECT_FALSE(sdk().engine().capturing());
    EXPECT_EQ(sdk().engine().recordLength(), 4044);
}

TEST_F(SpeechTest, AMissingRecogniserIsExplainedAndTheWindowStays) {
    recogniser.failLoad = true;
    win->Command2_Click();
    sdk().StartRecognition();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("找不到语音识别模型"));
    EXPECT_FALSE(sdk().RecognitionActive());
    EXPECT_TRUE(sdk().Command1->isEnabled());
    sdk().btnRecord_Click(); // the buttons still record
    EXPECT_TRUE(sdk().engine().capturing());
}

TEST_F(SpeechTest, DeviceFailureAtTheSpeechWindowsLoadEndsTheLauncher) {
    lib.failInit = true;
    win->Command2_Click();
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QStringLiteral("Can't initialize device")));
}

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
