#pragma once
// Answers boxes and the save dialog from a script, without blocking.

#include "Dialogs.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace fake {

class FakeDialogs final : public platform::Dialogs {
public:
    struct Box {
        QString title;
        QString text;
        platform::MessageIcon icon;
        bool owned;
    };
    std::vector<Box> boxes;
    std::vector<platform::SaveDialogRequest> saveRequests;
    std::optional<QString> saveAnswer;
    std::vector<QString> questions;
    bool yesAnswer = false;
    // Runs when the save dialog is asked for, as the user's view of that moment.
    std::function<void()> onSaveDialog;
    // Runs while a window of ours is shown modally, as the user acting in it.
    std::function<int(QDialog&)> onModal;
    int modalShown = 0;

protected:
    void showMessage(QWidget* owner, const QString& title, const QString& text,
                     platform::MessageIcon icon) override {
        boxes.push_back({title, text, icon, owner != nullptr});
    }
    // Recorded as a box, and closed at once.
    void showNotice(QWidget* owner, const QString& title, const QString& text,
                    platform::MessageIcon icon, std::function<void()> closed) override {
        boxes.push_back({title, text, icon, owner != nullptr});
        if (closed)
            closed();
    }
    bool askQuestion(QWidget*, const QString&, const QString& text) override {
        questions.push_back(text);
        return yesAnswer;
    }
    std::optional<QString> askSaveFileName(QWidget*,
                                           const platform::SaveDialogRequest& r) override {
        saveRequests.push_back(r);
        if (onSaveDialog)
            onSaveDialog();
        return saveAnswer;
    }
    int showModal(QDialog& dialog) override {
        ++modalShown;
        return onModal ? onModal(dialog) : 0;
    }
};

} // namespace fake
