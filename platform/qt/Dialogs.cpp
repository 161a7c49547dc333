#include "Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

int QtDialogs::runModal(QDialog& dialog) {
    return dialog.exec();
}

} // namespace platform
