#pragma once
// The mini home page: three pages of the maker's site in an embedded web
// view, and the choice whether it opens at start-up.

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QWebEngineView;

namespace minihome {

// What the mini home page asks of the launcher.
class TipsHost {
public:
    virtual ~TipsHost() = default;
    virtual void showLauncherWindow() = 0;
    // The launcher's in-memory copy of the start-up choice.
    virtual void setTipsOnStart(bool show) = 0;
    // The stored start-up choice: read at each showing, written as the box
    // is ticked or cleared.
    virtual bool storedTipsOnStart() const = 0;
    virtual void storeTipsOnStart(bool show) = 0;
};

class frmTip final : public QDialog {
    Q_OBJECT
public:
    // `host` is the maker's host name that the page paths follow.
    frmTip(TipsHost& launcher, QString host, QWidget* parent = nullptr);
    ~frmTip() override;

    // Runs once per creation: first page, check box, launcher window, hooks.
    void Load();
    // True once the close box was used: the owner then destroys the window.
    bool destroyRequested() const { return destroyRequested_; }

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void cmdOK_Click();
    void Navigate(const QString& address);

    QGroupBox* fraMenu = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QGroupBox* frmShow = nullptr;
    QWebEngineView* WebBrowser1 = nullptr;
    QCheckBox* chkLoadTipsAtStartup = nullptr;
    QPushButton* cmdOK = nullptr;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape and the close box

private:
    void closeOperation();

    TipsHost& launcher_;
    QString host_;
    bool destroyRequested_ = false;
};

} // namespace minihome
