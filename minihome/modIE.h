#pragma once
// The input hooks of the mini home page: while installed they swallow the
// right mouse button and the context-menu key in every window of the
// program, the embedded web view included.

#include <QObject>

#include <memory>

namespace minihome {

// Eats right-button presses, releases and double clicks. Release and double
// click go too: the web view opens its own menu on either.
class MouseHook final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Eats the context-menu key, press and release.
class KeyboardHook final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// One set per program, used only on the window thread.
struct modIE {
    static std::unique_ptr<MouseHook> MouseHookHandle;
    static std::unique_ptr<KeyboardHook> KeyboardHookHandle;

    static void InstallHooks();
    // Removes whichever hook is installed.
    static void RemoveHooks();
    static bool hooksInstalled() { return MouseHookHandle || KeyboardHookHandle; }
};

} // namespace minihome
