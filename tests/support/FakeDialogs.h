#pragma once
// Answers boxes and the save dialog from a script, without blocking.

#include "Dialogs.h"

#include <QStringList>

namespace fake {

class FakeDialogs final : public platform::Dialogs {
public:
    struct Box {
        QString title;
        QString text;
        engine::MessageIcon icon;
        bool owned;
    };
    std::vector<Box> boxes;
    std::vector<engine::SaveDialogRequest> saveRequests;
    std::optional<QString> saveAnswer;
    // Runs when the save dialog is asked for, as the user's view of that moment.
    std::function<void()> onSaveDialog;

    void message(QWidget* owner, const QString& title, const QString& text,
                 engine::MessageIcon icon) override {
        boxes.push_back({title, text, icon, owner != nullptr});
    }
    std::optional<QString> saveFileName(QWidget*, const engine::SaveDialogRequest& r) override {
        saveRequests.push_back(r);
        if (onSaveDialog)
            onSaveDialog();
        return saveAnswer;
    }
};

} // namespace fake
