#pragma once
// Boxes, questions, the save dialog and our modal windows behind one seam,
// so that window tests can answer them without a display.

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
    // Every box, question and dialog is shown without waiting for it: no
    // event loop runs inside another, so nothing the window's timers or the
    // capture thread do can land in the middle of a caller. What follows
    // the user's answer goes in the callback, which runs once (and not at
    // all if the user never answers before the program ends).

    // A box with an OK button; `closed` runs once the user has closed it.
    void notice(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                std::function<void()> closed = {});
    // A question with 是 and 否; `answered` gets true for 是.
    void ask(QWidget* owner, const QString& title, const QString& text,
             std::function<void(bool yes)> answered);
    // The save dialog; `chosen` gets the name, or nothing when she cancelled.
    void askSaveFileName(QWidget* owner, const SaveDialogRequest& request,
                         std::function<void(std::optional<QString>)> chosen);
    // Shows a window of ours modally; `finished` gets its result when it
    // closes. The window must outlive that.
    void openModal(QDialog& dialog, std::function<void(int result)> finished = {});

    // How many boxes, dialogs and modal windows are open now. Every one goes
    // through here, so that what acts on the window from outside its keys
    // (a spoken command) can hold back while the user answers one.
    int openNow() const { return open_; }

protected:
    virtual void showNotice(QWidget* owner, const QString& title, const QString& text,
                            MessageIcon icon, std::function<void()> closed) = 0;
    virtual void askQuestion(QWidget* owner, const QString& title, const QString& text,
                             std::function<void(bool)> answered) = 0;
    virtual void showSaveDialog(QWidget* owner, const SaveDialogRequest& request,
                                std::function<void(std::optional<QString>)> chosen) = 0;
    virtual void showModal(QDialog& dialog, std::function<void(int)> finished) = 0;

private:
    // Counts one box open for as long as it lives.
    class Open;
    // Wraps `then` so that the box counts as open until it runs.
    template <typename... Args>
    std::function<void(Args...)> whileOpen(std::function<void(Args...)> then);
    int open_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class QtDialogs final : public Dialogs {
protected:
    void showNotice(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                    std::function<void()> closed) override;
    void askQuestion(QWidget* owner, const QString& title, const QString& text,
                     std::function<void(bool)> answered) override;
    void showSaveDialog(QWidget* owner, const SaveDialogRequest& request,
                        std::function<void(std::optional<QString>)> chosen) override;
    void showModal(QDialog& dialog, std::function<void(int)> finished) override;
};

} // namespace platform
