// The launcher window, the mini home page with its input hooks, and the
// magnifier, on the offscreen platform.

#include "AboutBox.h"
#include "FakeAudioLibrary.h"
#include "FakeDialogs.h"
#include "FakeShell.h"
#include "ScriptCheck.h"
#include "TipsSetting.h"
#include "WindowTestHelpers.h"
#include "frmFDJ.h"
#include "frmTip.h"
#include "frmXD.h"
#include "modIE.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <map>
#include <optional>

using launcher::frmXD;

namespace {

class LauncherTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<QSettings> settings;
    fake::FakeDialogs dialogs;
    fake::FakeShell shell;
    fake::FakeAudioLibrary lib;
    std::unique_ptr<frmXD> win;
    int tipsShown = 0;
    bool tipCheckedWhenShown = false;

    void SetUp() override {
        settings = std::make_unique<QSettings>(dir.filePath(QStringLiteral("s.ini")),
                                               QSettings::IniFormat);
        // The mini home page as the user meets it: shown, activated, then OK.
        dialogs.onModal = [this](QDialog& d) {
            ++tipsShown;
            EXPECT_TRUE(fake::showActive(d));
            auto& tip = static_cast<minihome::frmTip&>(d);
            tipCheckedWhenShown = tip.chkLoadTipsAtStartup->isChecked();
            tip.cmdOK->click();
            return 1;
        };
        win = std::make_unique<frmXD>(*settings, dialogs, shell, lib);
    }
    void TearDown() override { minihome::modIE::RemoveHooks(); }
    QString stored() { return settings->value(QStringLiteral("Config/ShowTips")).toString(); }
};

} // namespace

TEST_F(LauncherTest, LoadShowsTheMiniHomePageUnlessTheSettingIsZero) {
    struct Row {
        const char* stored; // nullptr: absent
        bool shown;
    };
    for (const Row r :
         {Row{nullptr, true}, Row{"1", true}, Row{"0", false}, Row{"garbage", true}}) {
        settings->clear();
        if (r.stored)
            settings->setValue(QStringLiteral("Config/ShowTips"), QString::fromLatin1(r.stored));
        tipsShown = 0;
        frmXD w(*settings, dialogs, shell, lib);
        w.Load();
        EXPECT_EQ(tipsShown, r.shown ? 1 : 0) << (r.stored ? r.stored : "absent");
        EXPECT_FALSE(w.Frame1->isHidden());
        EXPECT_TRUE(w.Frame2->isHidden());
        EXPECT_EQ(w.lblver->text(), QStringLiteral("未知"));
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Lumeno录音机"));
        // The check mark follows the box at OK; it starts off whatever is stored.
        EXPECT_EQ(w.mnuTipsOnStart->isChecked(), r.shown);
    }
    // A text that is not a number stays until the next write replaces it.
    EXPECT_EQ(stored(), QStringLiteral("garbage"));
    win->mnuTipsOnStart_Click();
    EXPECT_EQ(stored(), QStringLiteral("1"));
}

TEST_F(LauncherTest, MiniHomeLinkFlipsTheStoredChoiceEachTime) {
    launcher::storeShowTips(*settings, false);
    win->Load();
    EXPECT_EQ(tipsShown, 0);
    EXPECT_FALSE(win->mnuTipsOnStart->isChecked());
    win->lblMini_Click();
    EXPECT_EQ(stored(), QStringLiteral("1"));
    EXPECT_TRUE(tipCheckedWhenShown);
    EXPECT_TRUE(win->mnuTipsOnStart->isChecked());
    win->lblMini_Click();
    EXPECT_EQ(stored(), QStringLiteral("0"));
    EXPECT_FALSE(tipCheckedWhenShown);
    EXPECT_FALSE(win->mnuTipsOnStart->isChecked());
}

TEST_F(LauncherTest, ClearingTheBoxStoresZeroAtOnce) {
    dialogs.onModal = [](QDialog& d) {
        EXPECT_TRUE(fake::showActive(d));
        auto& tip = static_cast<minihome::frmTip&>(d);
        tip.chkLoadTipsAtStartup->click();
        tip.cmdOK->click();
        return 1;
    };
    win->Load();
    EXPECT_EQ(stored(), QStringLiteral("0"));
    EXPECT_FALSE(win->mnuTipsOnStart->isChecked());
    // The first page was asked for as host name plus path, read as a web address.
    EXPECT_EQ(win->miniHomePage()->WebBrowser1->url().toString(),
              QStringLiteral("http://www.quorvel.example/ad/old/old1.html"));
}

TEST_F(LauncherTest, EveryTextFollowsTheScriptOptionOnBothPages) {
    win->Frame2->hide(); // page one, as Load shows it
    // Each script option names itself in its own script, whatever is chosen;
    // page two's back button has its tool tip in Simplified only.
    const auto others = [&](bool simplified) {
        return fake::textsInOtherScript(win.get(), simplified,
                                        {win->Option1, win->optFt, win->Command1});
    };
    EXPECT_TRUE(others(true).isEmpty()) << others(true).join(QLatin1Char('\n')).toStdString();
    win->optFt->click();
    EXPECT_TRUE(others(false).isEmpty()) << others(false).join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(win->windowTitle(), QStringLiteral("Lumeno錄音機"));
    EXPECT_EQ(win->lblZm->toolTip(), QStringLiteral("有錄音問題就上Quorvel"));
    // Page two takes the script as it is shown.
    EXPECT_EQ(win->Frame3->title(), QStringLiteral("选择录制方式"));
    win->Command2_Click();
    EXPECT_TRUE(others(false).isEmpty()) << others(false).join(QLatin1Char('\n')).toStdString();

    win->Frame2_Command1_Click();
    win->Option1->click();
    EXPECT_TRUE(others(true).isEmpty()) << others(true).join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(win->optxiao->isEnabled());
    EXPECT_TRUE(win->optzhong->isChecked());
}

TEST_F(LauncherTest, AboutBoxHasSixLinesWithBlankLinesBetween) {
    const QString text = launcher::aboutText(true);
    EXPECT_FALSE(text.endsWith(QLatin1Char('\n')));
    const QStringList lines = text.split(QStringLiteral("\r\n\r\n"));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("Lumeno录音机:"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("官方站点:")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("邮箱[Chinese Simplified]:")));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("     - Tessel软件之")));
    EXPECT_TRUE(lines[4].endsWith(QStringLiteral(" -    ")));
    EXPECT_EQ(lines[5], QStringLiteral("   Tessel软件原为Brindle工作室  "));
    for (const QString& l : lines)
        EXPECT_FALSE(l.contains(QLatin1Char('\n')));

    win->optFt->click();
    win->cmdabout_Click();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, QStringLiteral("關於我們 - 感謝使用"));
    EXPECT_EQ(dialogs.boxes[0].text, launcher::aboutText(false));
    EXPECT_EQ(dialogs.boxes[0].icon, platform::MessageIcon::Information);
    EXPECT_TRUE(launcher::aboutText(false).contains(QStringLiteral("Tessel軟件原為Brindle工作室")));
}

TEST_F(LauncherTest, PagesAndSiteLink) {
    win->Load();
    win->Command2_Click();
    EXPECT_TRUE(win->Frame1->isHidden());
    EXPECT_FALSE(win->Frame2->isHidden());
    win->Frame2_Command1_Click();
    EXPECT_FALSE(win->Frame1->isHidden());
    win->lblZm_Click();
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened[0].path(), QString());
}

TEST_F(LauncherTest, HooksSwallowTheRightButtonInTheWebViewUntilOk) {
    minihome::frmTip* tip = nullptr;
    bool blockedWhileHooked = false;
    bool popupAfterOk = false;
    dialogs.onModal = [&](QDialog& d) {
        tip = &static_cast<minihome::frmTip&>(d);
        EXPECT_TRUE(fake::showActive(d));
        QSignalSpy loaded(tip->WebBrowser1, &QWebEngineView::loadFinished);
        tip->WebBrowser1->setHtml(QStringLiteral("<p>页面</p>"));
        EXPECT_TRUE(loaded.wait(20000));
        QWidget* target = tip->WebBrowser1->focusProxy();
        EXPECT_NE(target, nullptr);
        auto rightClick = [target] {
            const QPoint at(40, 40);
            QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at),
                              Qt::RightButton, Qt::RightButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at),
                                Qt::RightButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        };
        EXPECT_TRUE(minihome::modIE::hooksInstalled());
        rightClick();
        QTest::qWait(1000);
        blockedWhileHooked = QApplication::activePopupWidget() == nullptr;
        tip->cmdOK->click();
        EXPECT_FALSE(minihome::modIE::hooksInstalled());
        // Shown again from the link: the same page, no hooks.
        EXPECT_TRUE(fake::showActive(d));
        rightClick();
        popupAfterOk = QTest::qWaitFor([] { return QApplication::activePopupWidget(); }, 10000);
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        tip->cmdOK->click();
        return 1;
    };
    win->Load();
    EXPECT_TRUE(blockedWhileHooked);
    EXPECT_TRUE(popupAfterOk);
}

TEST_F(LauncherTest, CloseBoxDestroysAndTheNextShowingLoadsAgain) {
    dialogs.onModal = [](QDialog& d) {
        EXPECT_TRUE(fake::showActive(d));
        d.close();
        return 0;
    };
    win->Load();
    EXPECT_EQ(win->miniHomePage(), nullptr);
    EXPECT_FALSE(minihome::modIE::hooksInstalled());
    bool hookedAgain = false;
    dialogs.onModal = [&](QDialog& d) {
        hookedAgain = minihome::modIE::hooksInstalled();
        static_cast<minihome::frmTip&>(d).cmdOK->click();
        return 1;
    };
    win->lblMini_Click();
    EXPECT_TRUE(hookedAgain);
    ASSERT_NE(win->miniHomePage(), nullptr); // OK only hides it
}

TEST(Magnifier, SourceSizesRoundHalvesToEven) {
    EXPECT_EQ(magnifier::sourceSize({807, 151}, 2), QSize(404, 76));
    EXPECT_EQ(magnifier::sourceSize({809, 153}, 2), QSize(404, 76)); // 404.5, 76.5
    EXPECT_EQ(magnifier::sourceSize({807, 151}, 1), QSize(807, 151));
    EXPECT_EQ(magnifier::sourceSize({807, 151}, 9), QSize(90, 17));
}

// The real settings path: the gsettings tool on GLib's keyfile backend in a
// private folder (what a GNOME session keeps in dconf).
TEST(Magnifier, GnomesZoomIsSwitchedOnAndPutBackThroughGsettings) {
    QTemporaryDir dir;
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    const auto get = [](const char* schema, const char* key) {
        QProcess p;
        p.start(QStringLiteral("gsettings"),
                {QStringLiteral("get"), QLatin1String(schema), QLatin1String(key)});
        return p.waitForFinished() && p.exitCode() == 0
                   ? QString::fromUtf8(p.readAllStandardOutput()).trimmed()
                   : QString();
    };
    const auto enabled = [&] {
        return get("org.gnome.desktop.a11y.applications", "screen-magnifier-enabled");
    };
    const auto factor = [&] { return get("org.gnome.desktop.a11y.magnifier", "mag-factor"); };
    if (enabled().isEmpty())
        GTEST_SKIP() << "no gsettings tool or GNOME's schemas";
    const QString before = factor();
    {
        magnifier::frmFDJ zoomed(true, false);
        const auto says = [&](const QString& text) {
            return QTest::qWaitFor([&] { return zoomed.Picture1->text().contains(text); }, 10000);
        };
        ASSERT_TRUE(says(QStringLiteral("放大 2 倍")));
        EXPECT_EQ(enabled(), QStringLiteral("true"));
        EXPECT_EQ(factor(), QStringLiteral("2.0"));
        zoomed.HScroll1->setValue(5);
        ASSERT_TRUE(says(QStringLiteral("放大 5 倍")));
        EXPECT_EQ(factor(), QStringLiteral("5.0"));
    }
    magnifier::ZoomLine::finishAll();
    EXPECT_EQ(enabled(), QStringLiteral("false"));
    EXPECT_EQ(factor(), before);
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("GSETTINGS_BACKEND");
    if (config.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", config);
}

TEST(Magnifier, FactorCaptionAndSingleInstance) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    fake::FakeDialogs dialogs;
    fake::FakeShell shell;
    fake::FakeAudioLibrary lib;
    frmXD win(settings, dialogs, shell, lib);
    win.cmdFDJ_Click();
    QPointer<magnifier::frmFDJ> fdj = win.magnifierWindow();
    ASSERT_NE(fdj, nullptr);
    EXPECT_EQ(fdj->windowTitle(), QStringLiteral("放大倍数为2倍"));
    EXPECT_EQ(fdj->Label1->text(), QStringLiteral("2"));
    EXPECT_TRUE(fdj->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(fdj->Timer1->interval(), 50);
    fdj->HScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(fdj->windowTitle(), QStringLiteral("放大倍数为3倍"));
    fdj->HScroll1->setValue(20);
    EXPECT_EQ(fdj->factor(), 9);
    fdj->HScroll1->setValue(0);
    EXPECT_EQ(fdj->factor(), 1);
    EXPECT_TRUE(fdj->Timer1_Timer());
    // Where the desktop lets no program read the screen, the box says so in
    // the script and names the desktop's own magnifier; the factor stays.
    for (const bool simplified : {true, false}) {
        magnifier::frmFDJ blind(simplified, false, nullptr);
        EXPECT_FALSE(blind.Timer1->isActive());
        EXPECT_TRUE(blind.Picture1->text().startsWith(
            simplified ? QStringLiteral("这个桌面不让程序读取屏幕")
                       : QStringLiteral("這個桌面不讓程式讀取螢幕")));
        EXPECT_TRUE(blind.Picture1->text().contains(QStringLiteral("KDE")));
        EXPECT_EQ(blind.factor(), 2);
    }
    // GNOME's own zoom is used there instead, at the window's factor, and
    // the user's settings come back when the window closes. A store that
    // cannot be read or written is left as it was, and the box explains.
    struct Store final : magnifier::DesktopSettings {
        std::map<QString, QString>* values;
        bool writable = true;
        std::optional<QString> get(const QString& schema, const QString& key) override {
            const auto it = values->find(schema + QLatin1Char(' ') + key);
            return it == values->end() ? std::nullopt : std::optional(it->second);
        }
        bool set(const QString& schema, const QString& key, const QString& value) override {
            if (writable)
                (*values)[schema + QLatin1Char(' ') + key] = value;
            return writable;
        }
    };
    const std::map<QString, QString> users = {
        {QStringLiteral("org.gnome.desktop.a11y.magnifier mag-factor"), QStringLiteral("1.5")},
        {QStringLiteral("org.gnome.desktop.a11y.magnifier lens-mode"), QStringLiteral("false")},
        {QStringLiteral("org.gnome.desktop.a11y.applications screen-magnifier-enabled"),
         QStringLiteral("false")}};
    for (const bool writable : {true, false}) {
        std::map<QString, QString> values = users;
        auto store = std::make_unique<Store>();
        store->values = &values;
        store->writable = writable;
        Store* const kept = store.get();
        {
            // The desktop is asked off the window thread; the box says what
            // it answered.
            magnifier::frmFDJ zoomed(false, false, magnifier::gnomeZoom(std::move(store)));
            const auto says = [&](const QString& text) {
                return QTest::qWaitFor([&] { return zoomed.Picture1->text().contains(text); });
            };
            if (writable) {
                ASSERT_TRUE(says(QStringLiteral("放大 2 倍")));
                EXPECT_EQ(values[QStringLiteral(
                              "org.gnome.desktop.a11y.applications screen-magnifier-enabled")],
                          QStringLiteral("true"));
                zoomed.HScroll1->setValue(4);
                ASSERT_TRUE(says(QStringLiteral("放大 4 倍")));
                EXPECT_EQ(values[QStringLiteral("org.gnome.desktop.a11y.magnifier mag-factor")],
                          QStringLiteral("4.0"));
                kept->writable = false; // a desktop that stops answering is not said to zoom
                zoomed.HScroll1->setValue(6);
                EXPECT_TRUE(says(QStringLiteral("沒能改成放大 6 倍")));
                kept->writable = true;
            } else {
                EXPECT_TRUE(says(QStringLiteral("KDE")));
            }
        }
        magnifier::ZoomLine::finishAll(); // the window's close switched it off
        EXPECT_EQ(values, users);
    }
    // KWin's zoom goes by steps of 1.2 on its shortcuts: the window's
    // factor is reached from no zoom, a new one from the last; the zoom is
    // off again, and the effect unloaded if the window loaded it, when the
    // window closes.
    struct Bus final : magnifier::DesktopBus {
        QStringList* log;
        bool loaded = false;
        bool call(const QString&, const QString&, const QString&, const QString& method,
                  const QStringList& arguments, bool* answer) override {
            log->append(method + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
            if (answer)
                *answer = method == QLatin1String("isEffectLoaded") ? loaded : true;
            return true;
        }
    };
    for (const bool loaded : {false, true}) {
        QStringList log;
        auto bus = std::make_unique<Bus>();
        bus->log = &log;
        bus->loaded = loaded;
        {
            magnifier::frmFDJ zoomed(true, false, magnifier::kwinZoom(std::move(bus)));
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return zoomed.Picture1->text().contains(QStringLiteral("放大 2 倍")); }));
            zoomed.HScroll1->setValue(3);
        }
        magnifier::ZoomLine::finishAll();
        const QString in = QStringLiteral("invokeShortcut view_zoom_in");
        const QString none = QStringLiteral("invokeShortcut view_actual_size");
        QStringList expected = {QStringLiteral("isEffectLoaded zoom")};
        if (!loaded)
            expected << QStringLiteral("loadEffect zoom");
        expected << none << in << in << in << in; // 1.2^4 = 2.07
        expected << in << in;                     // on to 1.2^6 = 2.99
        expected << none;
        if (!loaded)
            expected << QStringLiteral("unloadEffect zoom");
        EXPECT_EQ(log, expected);
    }

    win.cmdFDJ_Click(); // a second click shows the same window
    EXPECT_EQ(win.magnifierWindow(), fdj);
    EXPECT_TRUE(win.findChildren<magnifier::frmFDJ*>().isEmpty()); // no owner
    fdj->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fdj.isNull(); }));
    win.cmdFDJ_Click();
    ASSERT_NE(win.magnifierWindow(), nullptr);
    EXPECT_EQ(win.magnifierWindow()->windowTitle(), QStringLiteral("放大倍数为2倍"));
    // It ends with the launcher (and a desktop zoom it switched on with it).
    QPointer<magnifier::frmFDJ> open;
    {
        frmXD other(settings, dialogs, shell, lib);
        other.cmdFDJ_Click();
        open = other.magnifierWindow();
        ASSERT_NE(open, nullptr);
    }
    EXPECT_TRUE(open.isNull());
    win.magnifierWindow()->close();
}
