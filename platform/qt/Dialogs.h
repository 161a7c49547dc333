#pragma once
// Modal boxes and the save dialog behind one seam, so that window tests can
// answer them without blocking.

#include "DialogTypes.h"

#include <QString>

#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace platform {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Returns when the user has closed the box.
    virtual void message(QWidget* owner, const QString& title, const QString& text,
                         MessageIcon icon) = 0;
    // The same box, shown without waiting for it: `closed` runs once the
    // user has closed it.
    virtual void notice(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                        std::function<void()> closed) = 0;
    // A question with 是 and 否; true for 是.
    virtual bool question(QWidget* owner, const QString& title, const QString& text) = 0;
    virtual std::optional<QString> saveFileName(QWidget* owner,
                                                const SaveDialogRequest& request) = 0;
    // Shows a window of ours modally; returns its result when it is closed.
    virtual int runModal(QDialog& dialog) = 0;
};

class QtDialogs final : public Dialogs {
public:
    void message(QWidget* owner, const QString& title, const QString& text,
                 MessageIcon icon) override;
    void notice(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                std::function<void()> closed) override;
    bool question(QWidget* owner, const QString& title, const QString& text) override;
    std::optional<QString> saveFileName(QWidget* owner, const SaveDialogRequest& request) override;
    int runModal(QDialog& dialog) override;

private:
};

} // namespace platform
