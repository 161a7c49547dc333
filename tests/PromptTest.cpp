// Voice prompts: the player's result rules, and the order of prompt and
// action for every event of the prompted edition.

#include "FakeAudioLibrary.h"
#include "FakeDialogs.h"
#include "FakeMediaControl.h"
#include "MCIplay.h"
#include "WindowTestHelpers.h"
#include "frmRecTest.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using recorder::Edition;
using recorder::frmRecTest;
using recorder::MCIplay;

TEST(MCIplay, MissingFileStillSendsPlayAndCloseAndCountsAsPlayed) {
    fake::FakeMediaControl media;
    media.allMissing = true;
    MCIplay player(media);
    player.FileName("/nowhere/wave/开始录音.wav");
    EXPECT_TRUE(player.PlaySound());
    EXPECT_EQ(media.log,
              (std::vector<std::string>{"open /nowhere/wave/开始录音.wav", "play 0", "close 0"}));
    EXPECT_EQ(player.MCIError(), "text for " + std::to_string(platform::MCIERR_INVALID_DEVICE_ID));
}

TEST(MCIplay, ACodeWithoutTextStopsTheChain) {
    fake::FakeMediaControl media;
    MCIplay player(media);
    EXPECT_TRUE(player.CheckError(platform::MCI_OK));
    EXPECT_EQ(player.MCIError(), "text for 0");
    EXPECT_FALSE(player.CheckError(9999));
    EXPECT_EQ(player.MCIError(), "");
}

TEST(SdlMediaControl, EveryCodeItReturnsHasAText) {
    platform::SdlMediaControl media;
    for (platform::MCIERROR code :
         {platform::MCI_OK, platform::MCIERR_INVALID_DEVICE_ID, platform::MCIERR_CANNOT_LOAD_DRIVER,
          platform::MCIERR_FILE_NOT_FOUND, platform::MCIERR_INVALID_FILE,
          platform::MCIERR_WAVE_OUTPUTSUNSUITABLE}) {
        std::string text;
        EXPECT_TRUE(media.errorString(code, text)) << code;
        EXPECT_FALSE(text.empty()) << code;
    }
    platform::MCIDEVICEID device = 0;
    EXPECT_EQ(media.open("/nonexistent/wave/Welcome.wav", device), platform::MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(media.playAndWait(0), platform::MCIERR_INVALID_DEVICE_ID);
}

namespace {

class PromptedWindowTest : public ::testing::Test {
protected:
    fake::FakeAudioLibrary lib;
    fake::FakeDialogs dialogs;
    fake::FakeMediaControl media;
    std::unique_ptr<frmRecTest> win;
    // What happened, prompts and engine calls interleaved.
    std::vector<std::string> events;

    void SetUp() override {
        win = std::make_unique<frmRecTest>(Edition::Prompted, lib, dialogs);
        win->setPromptMedia(&media);
        win->setProgramFolder(QStringLiteral("/opt/rec"));
        media.whilePlaying = [this](const std::string& file) {
            const auto& e = win->engine();
            events.push_back("prompt " + file.substr(file.rfind('/') + 1) +
                             (e.paused()      ? " (paused)"
                              : e.capturing() ? " (capturing)"
                                              : ""));
        };
        dialogs.onSaveDialog = [this] { events.push_back("save dialog"); };
        ASSERT_TRUE(win->Load({QStringLiteral("oldstart")}));
        ASSERT_TRUE(fake::showActive(*win));
    }
    // A key, and whatever prompt it starts said to its end.
    void key(Qt::Key k) {
        QTest::keyClick(win.get(), k);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !win->speaking(); }));
    }
};

} // namespace

TEST_F(PromptedWindowTest, PromptsFallInTheirPlaceAmongTheSteps) {
    EXPECT_EQ(media.log.front(), "open /opt/rec/wave/Welcome.wav");
    EXPECT_EQ(win->windowTitle(), QStringLiteral("语音提示录音机"));
    EXPECT_TRUE(win->Label1->text().startsWith(QStringLiteral("Tessel Soft：")));
    events.clear();

    key(Qt::Key_F1); // prompt first, then the capture
    EXPECT_EQ(events, (std::vector<std::string>{"prompt 开始录音.wav"}));
    EXPECT_TRUE(win->engine().capturing());
    key(Qt::Key_F2); // pause, then its prompt; on resume the prompt first,
                     // so that the take does not record it
    key(Qt::Key_F2);
    key(Qt::Key_F1); // stop first, then the prompt
    key(Qt::Key_F3);
    dialogs.saveAnswer.reset();
    key(Qt::Key_F4); // prompt, then the dialog
    EXPECT_EQ(events, (std::vector<std::string>{
                          "prompt 开始录音.wav", "prompt 暂停录音.wav (paused)",
                          "prompt 暂停录音.wav (paused)", "prompt 停止录音.wav",
                          "prompt 播放录音.wav", "prompt 保存录音.wav", "save dialog"}));
    // The play prompt sounds over the take, which was started first.
    EXPECT_TRUE(lib.stream(win->engine().playbackStream())->playing);
}

TEST_F(PromptedWindowTest, MissingPromptFilesAreSilentAndEveryActionRuns) {
    media.allMissing = true;
    key(Qt::Key_F1);
    lib.deliver({4000});
    key(Qt::Key_F1);
    EXPECT_TRUE(win->btnPlay->isEnabled());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(PromptedWindowTest, KeysPressedWhileAPromptSpeaksWaitTheirTurn) {
    events.clear();
    media.whilePlaying = [&](const std::string& file) {
        events.push_back(file.substr(file.rfind('/') + 1));
        // The window paints and takes keys meanwhile; what they ask for
        // happens after the prompt, in order.
        if (events.size() == 1) {
            QTest::keyClick(win.get(), Qt::Key_F2);
            QTest::keyClick(win.get(), Qt::Key_F1);
            EXPECT_FALSE(win->engine().capturing());
        }
    };
    key(Qt::Key_F1);
    EXPECT_EQ(events, (std::vector<std::string>{"开始录音.wav", "暂停录音.wav", "停止录音.wav"}));
    EXPECT_FALSE(win->engine().capturing());
}

TEST_F(PromptedWindowTest, AWindowClosedWhileAPromptPlaysClosesWhenTheActionIsDone) {
    media.whilePlaying = [this](const std::string&) { win->close(); };
    key(Qt::Key_F1); // the close comes during the start prompt
    EXPECT_TRUE(win->engine().capturing()) << "the take still started";
    EXPECT_TRUE(win->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !win->isVisible(); }));
    EXPECT_FALSE(win->engine().capturing());
}

TEST(StandardWindow, PlaysNoPrompt) {
    fake::FakeAudioLibrary lib;
    fake::FakeDialogs dialogs;
    fake::FakeMediaControl media;
    frmRecTest win(Edition::Standard, lib, dialogs);
    win.setPromptMedia(&media);
    ASSERT_TRUE(win.Load({QStringLiteral("oldstart")}));
    win.btnRecord_Click();
    win.btnPause_Click();
    win.btnRecord_Click();
    win.btnPlay_Click();
    EXPECT_TRUE(media.log.empty());
}
