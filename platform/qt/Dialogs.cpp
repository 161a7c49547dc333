#include "Dialogs.h"

#include "UserFolders.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

void QtDialogs::message(QWidget* owner, const QString& title, const QString& text,
                        MessageIcon icon) {
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    switch (icon) {
    case MessageIcon::Critical:
        boxIcon = QMessageBox::Critical;
        break;
    case MessageIcon::Exclamation:
        boxIcon = QMessageBox::Warning;
        break;
    case MessageIcon::Information:
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

namespace {

// Qt's own save dialog reads a typed name with double quotes in it as a
// list of quoted names and keeps only what is inside them ("dq" becomes
// dq, a"b"c becomes b): such a name is refused with a word instead of
// being saved somewhere else.
class SaveDialog final : public QFileDialog {
public:
    SaveDialog(QWidget* owner, const QString& title, bool simplified)
        : QFileDialog(owner, title), simplified_(simplified) {}

    void accept() override {
        if (const auto* typed = findChild<QLineEdit*>();
            typed && typed->isVisible() && typed->text().contains(QLatin1Char('"'))) {
            QMessageBox box(QMessageBox::Information, windowTitle(),
                            simplified_
                                ? QStringLiteral("文件名里不能有双引号（\"）。请换一个名字。")
                                : QStringLiteral("檔案名稱裡不能有雙引號（\"）。請換一個名字。"),
                            QMessageBox::Ok, this);
            box.exec();
            return;
        }
        QFileDialog::accept();
    }

private:
    bool simplified_;
};

} // namespace

std::optional<QString> QtDialogs::saveFileName(QWidget* owner, const SaveDialogRequest& request) {
    SaveDialog dialog(owner, QString::fromStdString(request.title), request.simplified);
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
