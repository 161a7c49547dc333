#include "Dialogs.h"

#include "UserFolders.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

void QtDialogs::message(QWidget* owner, const QString& title, const QString& text,
                        engine::MessageIcon icon) {
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    switch (icon) {
    case engine::MessageIcon::Critical:
        boxIcon = QMessageBox::Critical;
        break;
    case engine::MessageIcon::Exclamation:
        boxIcon = QMessageBox::Warning;
        break;
    case engine::MessageIcon::Information:
        boxIcon = QMessageBox::Information;
        break;
    }
    // Line breaks arrive as CR LF; a label wants plain LF.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(boxIcon, title, shown, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtDialogs::question(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<QString> QtDialogs::saveFileName(QWidget* owner,
                                               const engine::SaveDialogRequest& request) {
    QFileDialog dialog(owner, QString::fromStdString(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const auto& [label, pattern] : request.filters) {
        // "*.*" means every file; Qt's pattern for that is "*".
        const QString qtPattern =
            pattern == "*.*" ? QStringLiteral("*") : QString::fromStdString(pattern);
        filters << QStringLiteral("%1 (%2)").arg(QString::fromStdString(label), qtPattern);
    }
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    // The user's own folder first, then where the last save went; never the
    // current folder, which is the program's.
    dialog.setDirectory(lastFolder_.isEmpty() ? recordingsFolder() : lastFolder_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    lastFolder_ = QFileInfo(chosen).absolutePath();
    return chosen;
}

int QtDialogs::runModal(QDialog& dialog) {
    return dialog.exec();
}

} // namespace platform
