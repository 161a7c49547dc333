#include "Dialogs.h"

#include "FileNames.h"
#include "UserFolders.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace platform {
namespace {

// Boxes and the save dialog in print as large as the windows' captions:
// the people who read them see poorly.
void largePrint(QWidget& w) {
    QFont font = w.font();
    font.setPointSizeF(std::max(font.pointSizeF(), 15.75));
    w.setFont(font);
}

// Gives the keys back to the window a dialog belongs to once it has closed:
// with no window manager to do it (a kiosk, a bare X session), the F-keys of
// a window whose dialog has closed went nowhere until it was clicked.
void giveKeysBack(const QDialog& dialog) {
    if (QWidget* owner = dialog.parentWidget(); owner && owner->window()->isVisible()) {
        owner->window()->raise();
        owner->window()->activateWindow();
    }
}

int runGivingKeysBack(QDialog& dialog) {
    const int result = dialog.exec();
    giveKeysBack(dialog);
    return result;
}

// Line breaks arrive as CR LF; a label wants plain LF.
QString plainLines(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

void prepareBox(QMessageBox& box) {
    box.setTextFormat(Qt::PlainText);
    largePrint(box);
}

} // namespace

class Dialogs::Open {
public:
    explicit Open(Dialogs& dialogs) : dialogs_(dialogs), alive_(dialogs.alive_) {
        ++dialogs_.open_;
    }
    ~Open() {
        if (alive_.lock())
            --dialogs_.open_;
    }
    Open(const Open&) = delete;
    Open& operator=(const Open&) = delete;

private:
    Dialogs& dialogs_;
    std::weak_ptr<bool> alive_;
};

void Dialogs::message(QWidget* owner, const QString& title, const QString& text, MessageIcon icon) {
    const Open open(*this);
    showMessage(owner, title, text, icon);
}

void Dialogs::notice(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                     std::function<void()> closed) {
    // Open until the user closes it, which may be long after this returns.
    auto open = std::make_shared<Open>(*this);
    showNotice(owner, title, text, icon,
               [open = std::move(open), closed = std::move(closed)]() mutable {
                   open.reset();
                   if (closed)
                       closed();
               });
}

bool Dialogs::question(QWidget* owner, const QString& title, const QString& text) {
    const Open open(*this);
    return askQuestion(owner, title, text);
}

std::optional<QString> Dialogs::saveFileName(QWidget* owner, const SaveDialogRequest& request) {
    const Open open(*this);
    return askSaveFileName(owner, request);
}

int Dialogs::runModal(QDialog& dialog) {
    const Open open(*this);
    return showModal(dialog);
}

void QtDialogs::showMessage(QWidget* owner, const QString& title, const QString& text,
                            MessageIcon icon) {
    QMessageBox box(boxIcon(icon), title, plainLines(text), QMessageBox::Ok, owner);
    prepareBox(box);
    runGivingKeysBack(box);
}

void QtDialogs::showNotice(QWidget* owner, const QString& title, const QString& text,
                           MessageIcon icon, std::function<void()> closed) {
    auto* box = new QMessageBox(boxIcon(icon), title, plainLines(text), QMessageBox::Ok, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    prepareBox(*box);
    QObject::connect(box, &QDialog::finished, box, [box, closed = std::move(closed)] {
        giveKeysBack(*box);
        if (closed)
            closed();
    });
    box->open();
}

bool QtDialogs::askQuestion(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, plainLines(text), QMessageBox::NoButton, owner);
    prepareBox(box);
    QPushButton* yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    runGivingKeysBack(box);
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
            largePrint(box);
            box.exec();
            return;
        }
        QFileDialog::accept();
    }

private:
    bool simplified_;
};

} // namespace

std::optional<QString> QtDialogs::askSaveFileName(QWidget* owner,
                                                  const SaveDialogRequest& request) {
    SaveDialog dialog(owner, QString::fromStdString(request.title), request.simplified);
    largePrint(dialog);
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
    // The user's own recordings first, then where the last save that
    // worked went (not one that just failed); never the current folder,
    // which is the program's.
    const QString folder = request.startIn.empty() ? recordingsFolder(request.simplified)
                                                   : QString::fromStdString(request.startIn);
    dialog.setDirectory(folder);
    if (!request.suggestedName.empty()) {
        // Filled in and selected: Enter saves, and typing replaces it.
        dialog.selectFile(
            QString::fromStdString(freeFileName(folder.toStdU16String(), request.suggestedName)));
        QMetaObject::invokeMethod(
            &dialog,
            [&dialog] {
                if (auto* typed = dialog.findChild<QLineEdit*>()) {
                    typed->setFocus();
                    typed->selectAll();
                }
            },
            Qt::QueuedConnection);
    }
    if (runGivingKeysBack(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

int QtDialogs::showModal(QDialog& dialog) {
    return runGivingKeysBack(dialog);
}

} // namespace platform
