// The settings window, the script switch, the system name and the volume
// tools of the recorder window.

#include "FakeAudioLibrary.h"
#include "FakeDialogs.h"
#include "FakeMediaControl.h"
#include "FakeShell.h"
#include "ScriptCheck.h"
#include "SystemVer.h"
#include "WindowTestHelpers.h"
#include "frmRecTest.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using recorder::Edition;
using recorder::Form1;
using recorder::frmRecTest;

TEST(SystemVer, EveryRowOfTheVersionTable) {
    struct Row {
        int platform, major, minor;
        const char* name;
    };
    const Row rows[] = {
        {0, 9, 9, "Windows 32s"},
        {1, 4, 0, "Windows 95"},
        {1, 4, 10, "Windows 98"},
        {1, 4, 90, "Windows Mellinnium"},
        {1, 4, 3, ""},
        {2, 3, 0, "WindowsNT 3.51"},
        {2, 3, 51, "WindowsNT 3.51"},
        {2, 4, 0, "WindowsNT 4.0"},
        {2, 5, 0, "Windows 2000"},
        {2, 5, 1, "Windows XP"},
        {2, 5, 2, "Windows 2003"},
        {2, 5, 3, ""},
        {2, 6, 0, "Windows Vista"},
        {2, 6, 1, "Windows 7"},
        {2, 6, 2, ""},
        {2, 10, 0, ""},
        {3, 6, 1, "未知"},
        {99, 0, 0, "未知"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(platform::SystemVer(r.platform, r.major, r.minor), QString::fromUtf8(r.name))
            << r.platform << " " << r.major << "." << r.minor;
#ifndef _WIN32
    EXPECT_EQ(platform::SystemVer(), QStringLiteral("未知"));
#endif
}

namespace {

class SettingsTest : public ::testing::Test {
protected:
    fake::FakeAudioLibrary lib;
    fake::FakeDialogs dialogs;
    fake::FakeShell shell;
    std::unique_ptr<frmRecTest> win;

    void SetUp() override { make(Edition::Standard); }
    void make(Edition edition) {
        win = std::make_unique<frmRecTest>(edition, lib, dialogs);
        win->setShell(&shell);
        ASSERT_TRUE(win->Load({QStringLiteral("oldstart")}));
    }
    QStringList format() const {
        return {win->Text1->text(), win->Text2->text(), win->Text3->text()};
    }
    // Opens the settings window with F5's handler and acts in it.
    void openSettings(const std::function<void(Form1&)>& act) {
        dialogs.onModal = [act](QDialog& d) {
            act(static_cast<Form1&>(d));
            return d.result();
        };
        win->Command1_Click();
    }
};

QStringList entries(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

TEST_F(SettingsTest, LoadStartsFromTheFirstEntriesAndApplyStoresThem) {
    EXPECT_EQ(format(), (QStringList{"2", "16", "44100"}));
    openSettings([](Form1& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("设置"));
        EXPECT_EQ(entries(f.Combo1), (QStringList{"Mono", "Stereo"}));
        EXPECT_EQ(entries(f.Combo3).size(), 9);
        EXPECT_EQ(entries(f.Combo4), (QStringList{"无需推荐", "CD音质", "收音质量", "电话质量"}));
        EXPECT_EQ(f.Combo3->currentText(), QStringLiteral("8 khz"));
        EXPECT_EQ(f.Combo4->currentIndex(), 0);
        f.Command1->click();
    });
    EXPECT_EQ(format(), (QStringList{"1", "8", "8000"}));
    EXPECT_EQ(win->loadedForm1(), nullptr); // unloaded by apply
}

TEST_F(SettingsTest, PresetsThenAHandChangeAndTheWaysOutWithoutSaving) {
    openSettings([](Form1& f) {
        f.Combo4->setCurrentIndex(1); // CD quality
        EXPECT_EQ(f.Combo1->currentText(), QStringLiteral("Stereo"));
        f.Combo4->setCurrentIndex(3); // telephone
        f.Combo3->setCurrentText(QStringLiteral("48 khz"));
        EXPECT_EQ(f.Combo4->currentIndex(), 3);
        f.Command1->click();
    });
    EXPECT_EQ(format(), (QStringList{"1", "16", "48000"}));

    openSettings([](Form1& f) {
        f.Combo4->setCurrentIndex(2);
        f.Command2->click(); // cancel
    });
    EXPECT_EQ(format(), (QStringList{"1", "16", "48000"}));
    openSettings([](Form1& f) {
        f.Combo4->setCurrentIndex(1);
        f.close(); // the close box
    });
    EXPECT_EQ(format(), (QStringList{"1", "16", "48000"}));
    openSettings([](Form1& f) {
        f.Combo4->setCurrentIndex(1);
        f.Command1->click();
    });
    EXPECT_EQ(format(), (QStringList{"2", "16", "44100"}));
}

TEST_F(SettingsTest, TheF5KeyOpensSettingsDuringATake) {
    ASSERT_TRUE(fake::showActive(*win));
    QTest::keyClick(win.get(), Qt::Key_F1);
    EXPECT_FALSE(win->Command1->isEnabled());
    QTest::keyClick(win.get(), Qt::Key_F5);
    EXPECT_EQ(dialogs.modalShown, 1);
}

TEST_F(SettingsTest, TraditionalSwitchSetsEveryCaptionAndLoadsTheSettingsWindow) {
    win->Command5_Click();
    EXPECT_TRUE(win->Option2->isChecked());
    EXPECT_EQ(win->windowTitle(), QStringLiteral("錄音機標準版"));
    EXPECT_EQ(win->Label2->text(), QStringLiteral("錄音機標準版"));
    EXPECT_EQ(win->Frame1->title(), QStringLiteral("狀態列"));
    EXPECT_EQ(win->Command3->text(), QStringLiteral("錄音控制"));
    EXPECT_EQ(win->Command1->text(), QStringLiteral("設         置"));
    EXPECT_EQ(win->btnPause->text(), QStringLiteral("暫 停"));
    EXPECT_TRUE(win->Label1->text().startsWith(QStringLiteral("Tessel軟件：")));
    // Nothing else is left in Simplified ("简" names its own script).
    const QStringList others = fake::textsInOtherScript(win.get(), false, {win->Command4});
    EXPECT_TRUE(others.isEmpty()) << others.join(QLatin1Char('\n')).toStdString();
    Form1* f = win->loadedForm1();
    ASSERT_NE(f, nullptr);
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(f->windowTitle(), QStringLiteral("設置"));
    EXPECT_EQ(f->Label4->text(), QStringLiteral("推薦音質:"));
    EXPECT_EQ(f->Command1->text(), QStringLiteral("應  用"));
    EXPECT_EQ(f->Command2->text(), QStringLiteral("取  消"));
    EXPECT_EQ(entries(f->Combo4).first(), QStringLiteral("無需推薦"));

    // Back to Simplified before ever opening it: the captions follow, the
    // preset entries keep the script they were loaded with until it closes.
    win->Command4_Click();
    win->Command4_Click(); // twice is the same as once
    EXPECT_EQ(win->windowTitle(), QStringLiteral("录音机标准版"));
    EXPECT_EQ(f, win->loadedForm1());
    EXPECT_EQ(f->Label1->text(), QStringLiteral("声道"));
    EXPECT_EQ(entries(f->Combo4).first(), QStringLiteral("無需推薦"));
    openSettings([](Form1& shown) {
        EXPECT_EQ(shown.Label4->text(), QStringLiteral("推荐音质:"));
        EXPECT_EQ(entries(shown.Combo4).first(), QStringLiteral("無需推薦"));
        shown.Command2->click();
    });
    openSettings([](Form1& shown) {
        EXPECT_EQ(entries(shown.Combo4).first(), QStringLiteral("无需推荐"));
        shown.Command2->click();
    });
}

TEST_F(SettingsTest, SwitchDuringATakeRelabelsRecordButStopStillWorks) {
    win->btnRecord_Click();
    EXPECT_EQ(win->btnRecord->text(), QStringLiteral("停 止"));
    win->Command5_Click();
    EXPECT_EQ(win->btnRecord->text(), QStringLiteral("錄 音"));
    EXPECT_TRUE(win->engine().capturing());
    win->btnRecord_Click();
    EXPECT_FALSE(win->engine().capturing());
    EXPECT_EQ(win->btnRecord->text(), QStringLiteral("錄 音"));
}

TEST_F(SettingsTest, VolumeToolsFollowTheSystemName) {
    struct Row {
        const char* system;
        const char* master;
        const char* recording;
    };
    const Row rows[] = {{"Windows XP", "sndvol32.exe", "sndvol32.exe -r"},
                        {"", "sndvol32.exe", "sndvol32.exe -r"},
                        {"Windows 7", "SndVol.exe", "SndVol.exe"},
                        {"Windows Vista", "SndVol.exe", "SndVol.exe"},
                        {"未知", "SndVol.exe", "SndVol.exe"}};
    for (const Row& r : rows) {
        shell.started.clear();
        win->setSystemName(QString::fromUtf8(r.system));
        win->Command2_Click();
        win->Command3_Click();
        EXPECT_EQ(shell.started, (QStringList{r.master, r.recording})) << r.system;
    }
    EXPECT_TRUE(dialogs.boxes.empty());
    win->lblZm_Click();
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened[0].scheme(), QStringLiteral("http"));
    EXPECT_EQ(win->lblZm->cursor().hotSpot(), QPoint(5, 0));
}

TEST_F(SettingsTest, AVolumeToolThatCannotStartIsExplainedInTheWindowsScript) {
    shell.canStart = false;
    win->Command2_Click();
    win->Command5_Click();
    win->Command3_Click();
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("无法打开音量控制程序。"));
    EXPECT_EQ(dialogs.boxes[1].text, QStringLiteral("無法開啟音量控制程式。"));
    EXPECT_EQ(dialogs.boxes[1].title, QStringLiteral("錄音機標準版"));
}

TEST_F(SettingsTest, PromptedToolsSpeakBeforeOrAfterAsEachNeeds) {
    make(Edition::Prompted);
    fake::FakeMediaControl media;
    win->setPromptMedia(&media);
    win->setProgramFolder(QStringLiteral("/p"));
    std::vector<std::string> events;
    media.whilePlaying = [&](const std::string& f) { events.push_back(f.substr(3)); };
    shell.onStart = [&] { events.push_back("start"); };
    win->Command2_Click();
    win->Command3_Click();
    win->lblZm_Click();
    dialogs.onModal = [&](QDialog&) {
        events.push_back("settings");
        return 0;
    };
    win->Command1_Click();
    win->Command5_Click(); // the script buttons are silent
    ASSERT_TRUE(QTest::qWaitFor([&] { return !win->speaking(); }));
    // The master mixer opens while its prompt is spoken; the recording
    // control only after its prompt; the site opens before its prompt.
    EXPECT_EQ(events, (std::vector<std::string>{"start", "wave/主音量控制.wav", "wave/录音控制.wav",
                                                "start", "start", "wave/Brindle网.wav",
                                                "wave/设置.wav", "settings"}));
}
