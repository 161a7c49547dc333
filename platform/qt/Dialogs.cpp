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

// Shown as a modal window over the whole program, as a box that waited
// for its answer was, but without a loop of its own: `finished` runs when
// it closes, after the keys have gone back to its window.
void showModally(QDialog& dialog, std::function<void(int)> finished) {
    QObject::connect(
        &dialog, &QDialog::finished, &dialog,
        [&dialog, finished = std::move(finished)](int result) {
            giveKeysBack(dialog);
            if (finished)
                finished(result);
        },
        Qt::SingleShotConnection);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
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

template <typename... Args>
std::function<void(Args...)> Dialogs::whileOpen(std::function<void(Args...)> then) {
    // Open until the user answers, which may be long after the caller
    // has returned.
    auto open = std::make_shared<Open>(*this);
    return [open = std::move(open), then = std::move(then)](Args... args) mutable {
        open.reset();
        if (then)
            then(std::forward<Args>(args)...);
    };
}

void Dialogs::notice(QWidget* owner, const QString& title, const QString& text, MessageIcon icon,
                     std::function<void()> closed) {
    showNotice(owner, title, text, icon, whileOpen(std::move(closed)));
}

void Dialogs::ask(QWidget* owner, const QString& title, const QString& text,
                  std::function<void(bool)> answered) {
    askQuestion(owner, title, text, whileOpen(std::move(answered)));
}

void Dialogs::askSaveFileName(QWidget* owner, const SaveDialogRequest& request,
                              std::function<void(std::optional<QString>)> chosen) {
    showSaveDialog(owner, request, whileOpen(std::move(chosen)));
}

void Dialogs::openModal(QDialog& dialog, std::function<void(int)> finished) {
    showModal(dialog, whileOpen(std::move(finished)));
}

void QtDialogs::showNotice(QWidget* owner, const QString& title, const QString& text,
                           MessageIcon icon, std::function<void()> closed) {
    auto* box = new QMessageBox(boxIcon(icon), title, plainLines(text), QMessageBox::Ok, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    prepareBox(*box);
    showModally(*box, [closed = std::move(closed)](int) {
        if (closed)
            closed();
    });
}

void QtDialogs::askQuestion(QWidget* owner, const QString& title, const QString& text,
                            std::function<void(bool)> answered) {
    auto* box = new QMessageBox(QMessageBox::Question, title, plainLines(text),
                                QMessageBox::NoButton, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    prepareBox(*box);
    QPushButton* yes = box->addButton(QStringLiteral("是"), QMessageBox::YesRole);
    box->addButton(QStringLiteral("否"), QMessageBox::NoRole);
    box->setDefaultButton(yes);
    showModally(*box, [box, yes, answered = std::move(answered)](int) {
        answered(box->clickedButton() == yes);
    });
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
            auto* box = new QMessageBox(
                QMessageBox::Information, windowTitle(),
                simplified_ ? QStringLiteral("文件名里不能有双引号（\"）。请换一个名字。")
                            : QStringLiteral("檔案名稱裡不能有雙引號（\"）。請換一個名字。"),
                QMessageBox::Ok, this);
            box->setAttribute(Qt::WA_DeleteOnClose);
            largePrint(*box);
            box->open();
            return;
        }
        QFileDialog::accept();
    }

private:
    bool simplified_;
};

} // namespace

void QtDialogs::showSaveDialog(QWidget* owner, const SaveDialogRequest& request,
                               std::function<void(std::optional<QString>)> chosen) {
    auto* dialog = new SaveDialog(owner, QString::fromStdString(request.title), request.simplified);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    largePrint(*dialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const auto& [label, pattern] : request.filters) {
        // "*.*" means every file; Qt's pattern for that is "*".
        const QString qtPattern =
            pattern == "*.*" ? QStringLiteral("*") : QString::fromStdString(pattern);
        filters << QStringLiteral("%1 (%2)").arg(QString::fromStdString(label), qtPattern);
    }
    dialog->setNameFilters(filters);
    dialog->setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    // The user's own recordings first, then where the last save that
    // worked went (not one that just failed); never the current folder,
    // which is the program's.
    const QString folder = request.startIn.empty() ? recordingsFolder(request.simplified)
                                                   : QString::fromStdString(request.startIn);
    dialog->setDirectory(folder);
    if (!request.suggestedName.empty()) {
        // Filled in and selected: Enter saves, and typing replaces it.
        dialog->selectFile(
            QString::fromStdString(freeFileName(folder.toStdU16String(), request.suggestedName)));
        QMetaObject::invokeMethod(
            dialog,
            [dialog] {
                if (auto* typed = dialog->findChild<QLineEdit*>()) {
                    typed->setFocus();
                    typed->selectAll();
                }
            },
            Qt::QueuedConnection);
    }
    showModally(*dialog, [dialog, chosen = std::move(chosen)](int result) {
        if (result != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            chosen(std::nullopt);
        else
            chosen(dialog->selectedFiles().constFirst());
    });
}

void QtDialogs::showModal(QDialog& dialog, std::function<void(int)> finished) {
    showModally(dialog, std::move(finished));
}

} // namespace platform
