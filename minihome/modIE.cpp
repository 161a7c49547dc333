#include "modIE.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace minihome {

std::unique_ptr<MouseHook> modIE::MouseHookHandle;
std::unique_ptr<KeyboardHook> modIE::KeyboardHookHandle;

bool MouseHook::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    case QEvent::ContextMenu:
        return static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse;
    default:
        return false;
    }
}

bool KeyboardHook::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Menu;
    case QEvent::ContextMenu:
        return static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard;
    default:
        return false;
    }
}

void modIE::InstallHooks() {
    if (!MouseHookHandle) {
        MouseHookHandle = std::make_unique<MouseHook>();
        QCoreApplication::instance()->installEventFilter(MouseHookHandle.get());
    }
    if (!KeyboardHookHandle) {
        KeyboardHookHandle = std::make_unique<KeyboardHook>();
        QCoreApplication::instance()->installEventFilter(KeyboardHookHandle.get());
    }
}

void modIE::RemoveHooks() {
    // Destroying a filter also removes it from the application.
    MouseHookHandle.reset();
    KeyboardHookHandle.reset();
}

} // namespace minihome
