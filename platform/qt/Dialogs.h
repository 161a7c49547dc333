#pragma once
// Modal boxes and the save dialog behind one seam, so that window tests can
// answer them without blocking.

#include "DialogTypes.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

namespace platform {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Returns when the user has closed the box.
    void message(QWidget* owner, const QString& title, const QString& text, MessageIcon icon);
    // The same box, shown without waiting for it: `closed` runs once the
    // user has closed it.
    void notice(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                std::function<void()> closed);
    // A question with 是 and 否; true for 是.
    bool question(QWidget* owner, const QString& title, const QString& text);
    std::optional<QString> saveFileName(QWidget* owner, const SaveDialogRequest& request);
    // Shows a window of ours modally; returns its result when it is closed.
    int runModal(QDialog& dialog);

    // How many boxes, dialogs and modal windows are open now. Every one goes
    // through here, so that what acts on the window from outside its keys
    // (a spoken command) can hold back while the user answers one.
    int openNow() const { return open_; }

protected:
    virtual void showMessage(QWidget* owner, const QString& title, const QString& text,
                             MessageIcon icon) = 0;
    virtual void showNotice(QWidget* owner, const QString& title, const QString& text,
                            MessageIcon icon, std::function<void()> closed) = 0;
    virtual bool askQuestion(QWidget* owner, const QString& title, const QString& text) = 0;
    virtual std::optional<QString> askSaveFileName(QWidget* owner,
                                                   const SaveDialogRequest& request) = 0;
    virtual int showModal(QDialog& dialog) = 0;

private:
    // Counts one box open for as long as it lives.
    class Open;
    int open_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class QtDialogs final : public Dialogs {
protected:
    void showMessage(QWidget* owner, const QString& title, const QString& text,
                     MessageIcon icon) override;
    void showNotice(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                    std::function<void()> closed) override;
    bool askQuestion(QWidget* owner, const QString& title, const QString& text) override;
    std::optional<QString> askSaveFileName(QWidget* owner,
                                           const SaveDialogRequest& request) override;
    int showModal(QDialog& dialog) override;
};

} // namespace platform
