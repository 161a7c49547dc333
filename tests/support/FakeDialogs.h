#pragma once
// Answers boxes and the save dialog from a script, at once.

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
    // Every box is answered at once, before the call that opened it returns.
    void showNotice(QWidget* owner, const QString& title, const QString& text,
                    platform::MessageIcon icon, std::function<void()> closed) override {
        boxes.push_back({title, text, icon, owner != nullptr});
        closed();
    }
    void askQuestion(QWidget*, const QString&, const QString& text,
                     std::function<void(bool)> answered) override {
        questions.push_back(text);
        answered(yesAnswer);
    }
    void showSaveDialog(QWidget*, const platform::SaveDialogRequest& r,
                        std::function<void(std::optional<QString>)> chosen) override {
        saveRequests.push_back(r);
        if (onSaveDialog)
            onSaveDialog();
        chosen(saveAnswer);
    }
    void showModal(QDialog& dialog, std::function<void(int)> finished) override {
        ++modalShown;
        finished(onModal ? onModal(dialog) : 0);
    }
};

} // namespace fake
