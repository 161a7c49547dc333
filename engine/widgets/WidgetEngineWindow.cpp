#include "WidgetEngineWindow.h"

#include "TakeMeterWidget.h"
#include "UserFolders.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <QLabel>
#include <QPushButton>

namespace engine {

WidgetEngineWindow::WidgetEngineWindow(Controls controls, platform::Dialogs& dialogs,
                                       std::function<bool()> simplified)
    : c_(controls), dialogs_(dialogs), simplified_(std::move(simplified)),
      awake_(QCoreApplication::applicationName()) {
    QObject::connect(&awake_, &platform::SleepInhibitor::goingToSleep, [this] {
        if (machineSleeps_)
            machineSleeps_();
    });
}

void WidgetEngineWindow::setRecordCaption(const std::string& caption) {
    // A screen reader says what the button now reads: "停 止" while a take
    // runs.
    c_.record->setText(QString::fromStdString(caption));
    c_.record->setAccessibleName(c_.record->text());
}

void WidgetEngineWindow::setPlaySaveEnabled(bool enabled) {
    c_.play->setEnabled(enabled);
    c_.save->setEnabled(enabled);
}

void WidgetEngineWindow::setPositionText(const std::string& text) {
    c_.position->setText(QString::fromStdString(text));
}

void WidgetEngineWindow::showNotice(const std::string& title, const std::string& text,
                                    platform::MessageIcon icon, std::function<void()> closed) {
    dialogs_.notice(c_.window, QString::fromStdString(title), QString::fromStdString(text), icon,
                    std::move(closed));
}

void WidgetEngineWindow::askYesNo(const std::string& title, const std::string& text,
                                  std::function<void(bool)> answered) {
    dialogs_.ask(c_.window, QString::fromStdString(title), QString::fromStdString(text),
                 std::move(answered));
}

void WidgetEngineWindow::askSaveFileName(const platform::SaveDialogRequest& request,
                                         std::function<void(std::optional<std::string>)> chosen) {
    dialogs_.askSaveFileName(c_.window, request,
                             [chosen = std::move(chosen)](std::optional<QString> name) {
                                 chosen(name ? std::optional(name->toStdString()) : std::nullopt);
                             });
}

void* WidgetEngineWindow::nativeHandle() {
    return reinterpret_cast<void*>(c_.window->winId());
}

void WidgetEngineWindow::captureEndedByEngine() {
    if (endedByEngine_)
        endedByEngine_();
}

void WidgetEngineWindow::showTake(const engine::TakeView& view) {
    awake_.hold(view.recording);
    // "我的录音" lists every folder she has saved to.
    if (!view.savedTo.empty())
        platform::rememberSavedFolder(
            QFileInfo(QString::fromStdString(view.savedTo)).absolutePath());
    if (c_.meter)
        c_.meter->show(view, simplified_());
}

void WidgetEngineWindow::postToWindowThread(std::function<void()> task) {
    // Queued to the window: dropped if the window is gone by then.
    QMetaObject::invokeMethod(c_.window, std::move(task), Qt::QueuedConnection);
}

} // namespace engine
