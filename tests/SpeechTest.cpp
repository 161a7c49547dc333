// Page two of the launcher, the mode launch, the speech recorder window and
// its spoken commands, with a scripted recogniser.

#include "CommandSession.h"
#include "FakeAudioLibrary.h"
#include "FakeDialogs.h"
#include "FakeMediaControl.h"
#include "FakeRecogniser.h"
#include "FakeShell.h"
#include "ScriptCheck.h"
#include "SyntheticWords.h"
#include "VoiceProfile.h"
#include "frmOffer.h"
#include "frmSDK.h"
#include "frmTrain.h"
#include "frmXD.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <thread>

namespace {

class SpeechTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat};
    fake::FakeDialogs dialogs;
    fake::FakeShell shell;
    fake::FakeAudioLibrary lib;
    fake::FakeRecogniser recogniser;
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
    // Every other text of the speech window follows too; its two links'
    // tool tips are in Simplified only.
    const QStringList others =
        fake::textsInOtherScript(&sdk(), false, {sdk().Label8, sdk().Label9});
    EXPECT_TRUE(others.isEmpty()) << others.join(QLatin1Char('\n')).toStdString();
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
        win->setSystemName(QString::fromUtf8(r.system));
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

    // A recorder that cannot start: told in the chosen script, the launcher stays.
    shell.canStart = false;
    ended = 0;
    dialogs.boxes.clear();
    win->Command3_Click();
    EXPECT_EQ(ended, 0);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.contains(QStringLiteral("“Tamsel”启动不了")));

    // The sibling program for other systems is not installed with the suite:
    // where it is missing the user is told so, and nothing ends.
    win->optpt->setChecked(true);
    win->setSystemName(QStringLiteral("Windows XP"));
    dialogs.boxes.clear();
    win->Command3_Click();
    EXPECT_EQ(ended, 0);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.contains(QStringLiteral("“Kestrum”启动不了")));
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

TEST_F(SpeechTest, AMicrophoneThatGoesAwayStopsListeningAndATakeKeepsWhatItHas) {
    win->Command2_Click();
    sdk().StartRecognition();
    say("录音");
    ASSERT_TRUE(sdk().engine().capturing());
    lib.deliver({4000});
    recogniser.microphoneGone = true;
    lib.loseCaptureDevice();
    sdk().tmrRec_Timer();
    EXPECT_FALSE(sdk().RecognitionActive());
    EXPECT_TRUE(sdk().Command1->isEnabled());
    EXPECT_FALSE(sdk().engine().capturing());
    EXPECT_TRUE(sdk().btnSave->isEnabled());
    EXPECT_EQ(sdk().engine().recordLength(), 44 + 4000);
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QStringLiteral("麦克风断开了，录音已停止")));
    EXPECT_EQ(dialogs.boxes[1].text, QStringLiteral("麦克风断开了，语音识别已停止。"));
    // Heard again by itself once the microphone is back (tried once a second).
    recogniser.microphoneGone = false;
    sdk().tmrRec_Timer();
    EXPECT_FALSE(sdk().RecognitionActive());
    EXPECT_TRUE(QTest::qWaitFor([&] {
        sdk().tmrRec_Timer();
        return sdk().RecognitionActive();
    }));
    EXPECT_FALSE(sdk().Command1->isEnabled());
}

TEST_F(SpeechTest, ExactCommandWordsDriveTheTake) {
    win->Command2_Click();
    // Asked while the recogniser still loads: said, and heard once loaded.
    recogniser.stillLoading = true;
    sdk().StartRecognition();
    EXPECT_FALSE(sdk().RecognitionActive());
    EXPECT_EQ(sdk().findChild<QLabel*>(QStringLiteral("takeLine"))->text(),
              QStringLiteral("正在准备…"));
    recogniser.stillLoading = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return sdk().RecognitionActive(); }));
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
    EXPECT_EQ(sdk().takeMeter->line()->text(), QString()) << "no longer says it listens";
    recogniser.hear("录音"); // not listening: nothing arrives
    QTest::qWait(50);
    EXPECT_FALSE(sdk().engine().capturing());

    sdk().StartRecognition(); // the same context again
    EXPECT_EQ(sdk().takeMeter->line()->text(), QStringLiteral("正在听您的口令"));
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

// The recogniser hears commands by stricter rules while a take runs; a
// spoken stop ends the take where the word began, not where it was
// understood, so that the word is not the end of the message.
TEST_F(SpeechTest, ASpokenStopEndsTheTakeWhereTheWordBegan) {
    win->Command2_Click();
    sdk().StartRecognition();
    say("录音");
    lib.deliver({2 * 176400}); // two seconds of sound
    lib.clock = 2 * 176400;
    recogniser.hear("停止", std::chrono::milliseconds(1000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sdk().engine().capturing(); }));
    lib.deliver({4096});
    ASSERT_TRUE(QTest::qWaitFor([&] { return sdk().engine().hasFinishedTake(); }));
    // A second back and the quiet before the word, give or take the
    // moments the phrase spent on its way.
    const double back = 1.0 + speech::CommandSession::kQuietBeforeWord.count() / 1000.0;
    EXPECT_NEAR(sdk().engine().recordLength(), 44 + 176400 * (2 - back), 176400 / 20);
    // The display's next refresh tells the recogniser the take is over.
    EXPECT_TRUE(QTest::qWaitFor([&] { return recogniser.duringTake.size() == 2; }));
    EXPECT_EQ(recogniser.duringTake, (std::vector<bool>{true, false}));
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

TEST_F(SpeechTest, ALinkThatCannotBeOpenedSaysSo) {
    win->Command2_Click();
    sdk().Label8_Click();
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_TRUE(shell.opened[0].toString().endsWith(
        QStringLiteral("/down_Show.asp?InfoId=192&ClassId=32&Topid=0")));
    EXPECT_TRUE(dialogs.boxes.empty());
    shell.canOpen = false; // no web browser
    sdk().Label9_Click();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text,
              QStringLiteral("无法打开网页：") + shell.opened.last().toString());
    EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("语音识别录音机"));
}

TEST_F(SpeechTest, DeviceFailureAtTheSpeechWindowsLoadEndsTheLauncher) {
    lib.failInit = true;
    win->Command2_Click();
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QStringLiteral("Can't initialize device")));
}

// Enrolment: each word said three times in the training window; the set is
// kept in the profile folder and the recogniser goes by it.
class TrainingTest : public SpeechTest {
protected:
    QString folder = dir.filePath(QStringLiteral("voice"));
    void SetUp() override {
        SpeechTest::SetUp();
        win->Command2_Click();
        sdk().setVoiceStore(std::make_unique<speech::FolderVoiceStore>(folder.toStdString()));
    }
    // Says the current word of the window once; true when it was taken.
    bool sayCurrent(speech::frmTrain& t, double seconds = 0.3) {
        const std::size_t word = t.currentWord();
        const auto& w = speech::commandWordList()[word];
        const int before = t.profile().takes(w);
        recogniser.hearSound(synthetic::say(synthetic::kWords[word], seconds));
        return QTest::qWaitFor(
            [&] { return t.currentWord() != word || t.profile().takes(w) != before; });
    }
    // A set of recordings as an earlier training would have left it.
    void storeProfile(std::initializer_list<double> lengths = {0.3}) {
        speech::VoiceProfile p;
        for (std::size_t w = 0; w < 8; ++w)
            for (double len : lengths)
                ASSERT_TRUE(p.addTake(speech::commandWordList()[w],
                                      synthetic::say(synthetic::kWords[w], len)));
        std::string error;
        ASSERT_TRUE(speech::FolderVoiceStore(folder.toStdString()).save(p, error)) << error;
    }
    std::size_t filesInFolder() {
        std::error_code ec;
        std::size_t n = 0;
        for (auto it = std::filesystem::directory_iterator(folder.toStdString(), ec);
             !ec && it != std::filesystem::directory_iterator(); ++it)
            ++n;
        return n;
    }
};

TEST_F(TrainingTest, EveryWordThreeTimesMakesTheUsersProfile) {
    sdk().StartRecognition();
    EXPECT_EQ(sdk().cmdTrain->text(), QStringLiteral("口令训练"));
    dialogs.onModal = [&](QDialog& d) {
        auto& t = static_cast<speech::frmTrain&>(d);
        EXPECT_EQ(t.lblWord->text(), QStringLiteral("录音"));
        EXPECT_EQ(t.lblCount->text(), QStringLiteral("第 1 个口令（共 8 个），第 1 遍（共 3 遍）"));
        EXPECT_FALSE(t.cmdClear->isEnabled()); // nothing to clear yet
        // A cough or a click is not a word: said again, nothing counted.
        std::vector<std::int16_t> click(8000, 0);
        click[4000] = 30000;
        recogniser.hearSound(click);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return t.lblStatus->text().startsWith(QStringLiteral("没有听清楚")); }));
        EXPECT_EQ(t.profile().takes("录音"), 0);
        // Twice, then start this word again.
        EXPECT_TRUE(sayCurrent(t));
        EXPECT_TRUE(sayCurrent(t));
        t.cmdRedo->click();
        EXPECT_EQ(t.profile().takes("录音"), 0);
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(sayCurrent(t, 0.25 + 0.05 * i)) << i;
        // Asked for 暂停, the user says 录音 again.
        EXPECT_EQ(t.lblWord->text(), QStringLiteral("暂停"));
        recogniser.hearSound(synthetic::say(synthetic::kWords[0], 0.3));
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return t.lblStatus->text() ==
                   QStringLiteral("这一遍听起来像另一个口令。请看清上面的字，说“暂停”。");
        }));
        EXPECT_EQ(t.profile().takes("暂停"), 0);
        for (int i = 3; i < 3 * 8; ++i)
            EXPECT_TRUE(sayCurrent(t, 0.25 + 0.05 * (i % 3))) << i;
        EXPECT_TRUE(t.profile().complete());
        EXPECT_TRUE(t.cmdDone->isEnabled());
        EXPECT_TRUE(t.lblStatus->text().startsWith(QStringLiteral("训练完成")));
        t.cmdDone->click();
        return t.result();
    };
    sdk().cmdTrain_Click();
    EXPECT_EQ(dialogs.modalShown, 1);
    EXPECT_EQ(recogniser.enrolling, (std::vector<bool>{true, false}));
    EXPECT_EQ(filesInFolder(), 24u);
    ASSERT_FALSE(recogniser.profiles.empty());
    ASSERT_TRUE(recogniser.profiles.back());
    EXPECT_TRUE(recogniser.profiles.back()->complete());
    // Listening for commands was paused for the training and goes on after it.
    EXPECT_EQ(recogniser.states, (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(sdk().RecognitionActive());

    // The next start of the launcher finds the recordings.
    win.reset();
    SetUp();
    sdk().StartRecognition();
    ASSERT_EQ(recogniser.profiles.size(), 2u);
    EXPECT_TRUE(recogniser.profiles.back()->complete());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(TrainingTest, CancelKeepsWhatWasThereAndClearRemovesIt) {
    // Cancelled half way: nothing written, no profile.
    dialogs.onModal = [&](QDialog& d) {
        auto& t = static_cast<speech::frmTrain&>(d);
        EXPECT_TRUE(sayCurrent(t));
        t.cmdCancel->click();
        return t.result();
    };
    sdk().cmdTrain_Click();
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_TRUE(recogniser.profiles.empty());

    // A set recorded earlier: clearing it goes back to the general recogniser.
    storeProfile();
    dialogs.onModal = [&](QDialog& d) {
        auto& t = static_cast<speech::frmTrain&>(d);
        EXPECT_TRUE(t.cmdClear->isEnabled());
        t.cmdClear->click();
        return t.result();
    };
    sdk().cmdTrain_Click();
    EXPECT_FALSE(QFileInfo::exists(folder));
    ASSERT_FALSE(recogniser.profiles.empty());
    EXPECT_EQ(recogniser.profiles.back(), nullptr);
}

// A store whose clear fails, as a folder the user may not change would.
class StuckVoiceStore final : public speech::VoiceStore {
public:
    explicit StuckVoiceStore(const QString& folder) : real_(folder.toStdString()) {}
    bool load(speech::VoiceProfile& into, std::string& error) override {
        return real_.load(into, error);
    }
    bool save(const speech::VoiceProfile& p, std::string& error) override {
        return real_.save(p, error);
    }
    bool clear(std::string& error) override {
        error = "Permission denied";
        return false;
    }
    bool hasRecordings() override { return real_.hasRecordings(); }
    std::string where() const override { return real_.where(); }

private:
    speech::FolderVoiceStore real_;
};

TEST_F(TrainingTest, ARecordingSetThatCannotBeRemovedIsSaidAndStaysInUse) {
    storeProfile();
    sdk().setVoiceStore(std::make_unique<StuckVoiceStore>(folder));
    sdk().StartRecognition();
    ASSERT_FALSE(recogniser.profiles.empty());
    ASSERT_NE(recogniser.profiles.back(), nullptr);
    dialogs.onModal = [&](QDialog& d) {
        auto& t = static_cast<speech::frmTrain&>(d);
        t.cmdClear->click();
        return t.result();
    };
    sdk().cmdTrain_Click();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QStringLiteral("口令训练的录音没能删除")));
    EXPECT_TRUE(dialogs.boxes[0].text.contains(QStringLiteral("Permission denied")));
    EXPECT_NE(recogniser.profiles.back(), nullptr) << "what is on disk decides";
}

TEST_F(TrainingTest, NoMicrophoneIsExplainedAndNothingIsShown) {
    recogniser.failEnrol = true;
    sdk().StartRecognition();
    sdk().cmdTrain_Click();
    EXPECT_EQ(dialogs.modalShown, 0);
    EXPECT_TRUE(sdk().RecognitionActive()); // listening goes on as before
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("找不到可以使用的麦克风"));
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(TrainingTest, ADamagedSetIsReportedAndTheGeneralRecogniserUsed) {
    QDir().mkpath(folder);
    QFile f(folder + QStringLiteral("/word1_take1.wav"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a sound");
    f.close();
    sdk().StartRecognition();
    EXPECT_TRUE(sdk().RecognitionActive());
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QStringLiteral("以前的口令训练录音不能使用")));
    EXPECT_TRUE(dialogs.boxes[0].text.contains(QStringLiteral("无法读取语音样本")));
    EXPECT_TRUE(recogniser.profiles.empty());
}

TEST_F(TrainingTest, AnIncompleteSetIsReportedAndNotUsed) {
    speech::VoiceProfile p;
    ASSERT_TRUE(p.addTake("录音", synthetic::say(synthetic::kWords[0], 0.3)));
    std::string error;
    ASSERT_TRUE(speech::FolderVoiceStore(folder.toStdString()).save(p, error));
    sdk().StartRecognition();
    EXPECT_TRUE(sdk().RecognitionActive());
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.contains(QStringLiteral("语音样本不全")));
    EXPECT_TRUE(recogniser.profiles.empty());
}

TEST_F(TrainingTest, TheTrainingWindowSpeaksTheChosenScript) {
    win->Frame2_Command1_Click();
    win->optFt->click();
    win->Command2_Click();
    dialogs.onModal = [&](QDialog& d) {
        auto& t = static_cast<speech::frmTrain&>(d);
        EXPECT_EQ(t.windowTitle(), QStringLiteral("口令訓練"));
        EXPECT_EQ(t.lblWord->text(), QStringLiteral("錄音"));
        EXPECT_EQ(t.cmdRedo->text(), QStringLiteral("重說這個口令"));
        return int(QDialog::Rejected);
    };
    sdk().cmdTrain_Click();
    EXPECT_EQ(sdk().cmdTrain->text(), QStringLiteral("口令訓練"));
    EXPECT_EQ(dialogs.modalShown, 1);
}

TEST_F(TrainingTest, AConfidentCommandNotUndoneBecomesTheNewestRecording) {
    storeProfile({0.25, 0.3, 0.35});
    sdk().StartRecognition();
    sdk().session().learnTimer().setInterval(100);
    const auto profilesBefore = recogniser.profiles.size();
    auto newestLength = [&](int word) {
        SF_INFO info{};
        const QString path = folder + QStringLiteral("/word%1_take3.wav").arg(word);
        SNDFILE* f = sf_open(path.toUtf8().constData(), SFM_READ, &info);
        if (f)
            sf_close(f);
        return std::size_t(info.frames);
    };
    auto heard = [&](const char* phrase, int word, double len) {
        const QString shown = QString::fromUtf8(phrase) + " ";
        const qsizetype before = sdk().Text1->toPlainText().size();
        recogniser.hearConfident(phrase, synthetic::say(synthetic::kWords[word], len));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return sdk().Text1->toPlainText().size() >= before + shown.size(); }));
    };

    // 播放 (nothing to play yet), then the play button at once: undone.
    heard("播放", 4, 0.32);
    sdk().btnRecord->click();
    QTest::qWait(300);
    EXPECT_EQ(recogniser.profiles.size(), profilesBefore);
    // Said while a take is recorded: never kept.
    ASSERT_TRUE(sdk().engine().capturing());
    heard("停止", 3, 0.32);
    EXPECT_FALSE(sdk().engine().capturing());
    QTest::qWait(300);
    EXPECT_EQ(recogniser.profiles.size(), profilesBefore);
    EXPECT_EQ(newestLength(4), synthetic::say(synthetic::kWords[3], 0.35).size());
    // 暂停 with no take: obeyed (nothing to pause), not undone, kept.
    heard("暂停", 1, 0.32);
    EXPECT_TRUE(QTest::qWaitFor([&] { return recogniser.profiles.size() > profilesBefore; }));
    EXPECT_EQ(newestLength(2), synthetic::say(synthetic::kWords[1], 0.32).size());
    EXPECT_EQ(recogniser.profiles.back()->takes("暂停"), 3);
}

// The first opening of the speech window for a user with no training: the
// offer, in large words and spoken; "no" is remembered.
class FirstUseTest : public TrainingTest {
protected:
    fake::FakeMediaControl media;
    bool spoke(const QString& file) {
        return QTest::qWaitFor([&] {
            const std::string want = "open prompts/" + file.toStdString();
            return std::find(media.log.begin(), media.log.end(), want) != media.log.end();
        });
    }
    void SetUp() override {
        TrainingTest::SetUp();
        sdk().setPromptMedia(media, QStringLiteral("prompts"));
    }
};

TEST_F(FirstUseTest, TheOfferComesOnceAndNoIsRemembered) {
    dialogs.onModal = [&](QDialog& d) {
        auto* offer = qobject_cast<speech::frmOffer*>(&d);
        EXPECT_NE(offer, nullptr);
        if (!offer)
            return 0;
        EXPECT_TRUE(offer->lblText->text().startsWith(QStringLiteral("您还没有做过口令训练")));
        EXPECT_GE(offer->lblText->font().pointSizeF(), 18.0);
        offer->cmdNoThanks->click();
        return offer->result();
    };
    // Chosen on page two: the window opens and the offer follows it.
    win->optyysb->click();
    win->Command3_Click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.modalShown == 1; }));
    EXPECT_TRUE(spoke(QStringLiteral("口令训练.wav")));
    EXPECT_EQ(settings.value(QStringLiteral("Speech/TrainingOfferDeclined")).toString(),
              QStringLiteral("1"));
    // The untrained recogniser and the buttons work at once; listening
    // begins when the prompt has been said (the microphone would hear it).
    sdk().StartRecognition();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !recogniser.states.empty(); }));
    say("录音");
    EXPECT_TRUE(sdk().engine().capturing());
    sdk().offerTraining();
    EXPECT_EQ(dialogs.modalShown, 1) << "asked again after no";
}

// Every window of ours that holds the user's attention holds spoken
// commands too, not only the recorder's own boxes.
TEST_F(TrainingTest, AWordSaidWhileTheOfferIsOpenIsShownNotObeyed) {
    sdk().StartRecognition();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !recogniser.states.empty(); }));
    dialogs.onModal = [&](QDialog& d) {
        say("录音"); // without prompts, obeyed at once if at all
        EXPECT_FALSE(sdk().engine().capturing());
        return d.result();
    };
    sdk().offerTraining();
    EXPECT_EQ(dialogs.modalShown, 1);
    EXPECT_FALSE(sdk().engine().capturing());
}

TEST_F(FirstUseTest, AMicrophoneLostWhileAWordIsSaidIsExplained) {
    dialogs.onModal = [&](QDialog& d) {
        auto& t = static_cast<speech::frmTrain&>(d);
        recogniser.failEnrol = true; // gone while 录音 is said to the user
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialogs.boxes.empty(); }));
        t.cmdCancel->click();
        return t.result();
    };
    sdk().cmdTrain_Click();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("找不到可以使用的麦克风"));
}

TEST_F(FirstUseTest, NoOfferOnceTheUserHasTrained) {
    storeProfile();
    sdk().offerTraining();
    EXPECT_EQ(dialogs.modalShown, 0);
}

TEST_F(FirstUseTest, YesTrainsWithEachWordSpokenFirstAndALevelBar) {
    int modal = 0;
    dialogs.onModal = [&](QDialog& d) {
        if (auto* offer = qobject_cast<speech::frmOffer*>(&d)) {
            ++modal;
            offer->cmdTrainNow->click();
            return offer->result();
        }
        auto& t = static_cast<speech::frmTrain&>(d);
        ++modal;
        // The word is said to the user first; what the microphone hears
        // meanwhile is the prompt, not the user, and is not recorded.
        EXPECT_EQ(t.lblStatus->text(), QStringLiteral("请先听，听完再跟着说。"));
        EXPECT_TRUE(spoke(QStringLiteral("跟我说录音.wav")));
        EXPECT_TRUE(QTest::qWaitFor([&] { return t.lblStatus->text() == "请说……"; }));
        EXPECT_EQ(recogniser.enrolling, (std::vector<bool>{true, false, true}));
        recogniser.hearLevel(0.25f);
        EXPECT_TRUE(QTest::qWaitFor([&] { return t.barLevel->value() == 50; }));
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(sayCurrent(t, 0.25 + 0.05 * i)) << i;
        EXPECT_EQ(t.lblWord->text(), QStringLiteral("暂停"));
        EXPECT_TRUE(spoke(QStringLiteral("跟我说暂停.wav")));
        t.cmdCancel->click();
        return t.result();
    };
    sdk().offerTraining();
    EXPECT_EQ(modal, 2);
    EXPECT_FALSE(settings.contains(QStringLiteral("Speech/TrainingOfferDeclined")));
    // Whatever the prompt's end does later, enrolment stays off.
    QTest::qWait(50);
    EXPECT_FALSE(recogniser.enrolling.back());
}
