#pragma once
// The recorder window's face: where each control sits, in which font, what
// it says in either script, and the hidden menu that carries the function
// keys. Only data: frmRecTest lays out, captions and wires by it.
#include "WindowUnits.h"
#include "frmRecTest.h"
#include <QAction>
#include <QPushButton>

namespace recorder::rectestface {

using W = frmRecTest;
using platform::control;

inline constexpr platform::Font kSong1575{15.75};

// Place (in twips, relative to the parent) and font of every control.
inline constexpr platform::LayoutRow<W> kLayout[] = {
    {control<&W::Picture1>, -720, 0, 6375, 1455},
    {control<&W::Label2>, 840, 240, 2895, 615, {18, true}},
    {control<&W::lblZm>, 4440, 120, 1815, 375},
    {control<&W::Command4>, 4620, 920, 495, 495, {15, true}},
    {control<&W::Command5>, 5250, 920, 495, 495, {15, true}},
    {control<&W::Frame1>, 120, 1560, 2655, 1215, kSong1575},
    {control<&W::lblPos>, 120, 480, 2415, 405, {12}},
    {control<&W::Command2>, 2880, 1680, 2055, 495, kSong1575},
    {control<&W::Command3>, 2880, 2280, 2055, 495, kSong1575},
    {control<&W::btnRecord>, 120, 3120, 1095, 780, kSong1575},
    {control<&W::btnPause>, 1320, 3120, 1095, 765, kSong1575},
    {control<&W::btnPlay>, 2520, 3120, 1095, 780, kSong1575},
    {control<&W::btnSave>, 3720, 3120, 1215, 780, kSong1575},
    {control<&W::Command1>, 120, 4080, 4815, 735, {15.75, true}},
    {control<&W::Label1>, 0, 5040, 5055, 350, {9.75, true, "Verdana"}},
    // Below the controls of old: what the take is doing now.
    {control<&W::takeMeter>, 120, 5400, 4815, 1080},
    // Her recordings, kept and found again.
    {control<&W::cmdRecordings>, 120, 6540, 4815, 615, {15.75, true}},
    // Out of sight, below the client area: fields, not controls for the user.
    {control<&W::Option1>, 0, 7400, 1215, 255},
    {control<&W::Option2>, 1320, 7400, 1215, 255},
    {control<&W::Text1>, 0, 7800, 615, 285},
    {control<&W::Text2>, 720, 7800, 615, 285},
    {control<&W::Text3>, 1440, 7800, 615, 285},
    {control<&W::Text4>, 2160, 7800, 1215, 285},
    {control<&W::lblSystem>, 3480, 7800, 1215, 285},
};

// What the script buttons switch; the edition's title and the maker's line
// are set after the table, and the settings window has its own.
inline constexpr platform::CaptionRow<W> kCaptions[] = {
    {control<&W::lblZm>, "Quorvel", "Quorvel"},
    {control<&W::Frame1>, "状态栏", "狀態列"},
    {control<&W::Command2>, "主音量控制", "主音量控制"},
    {control<&W::Command3>, "录音控制", "錄音控制"},
    {control<&W::Command1>, "设         置", "設         置"},
    // Set even while a take runs, when the button would read "停 止".
    {control<&W::btnRecord>, "录 音", "錄 音"},
    {control<&W::btnPause>, "暂 停", "暫 停"},
    {control<&W::btnPlay>, "播 放", "播 放"},
    {control<&W::btnSave>, "保 存", "保 存"},
    {control<&W::cmdRecordings>, "我的录音", "我的錄音"},
};

inline constexpr int kClientWidthTwips = 5070;
inline constexpr int kClientHeightTwips = 7260;

// The menu is never shown; its items carry the function keys, which the
// buttons name in their tool tips.
struct MenuRow {
    QAction* W::*item;
    const char* name;
    const char* caption;
    Qt::Key key;
    void (W::*handler)();
    QPushButton* W::*button;
};

inline constexpr MenuRow kMenu[] = {
    {&W::record1, "record1", "record", Qt::Key_F1, &W::btnRecord_Click, &W::btnRecord},
    {&W::pause1, "pause1", "pause", Qt::Key_F2, &W::btnPause_Click, &W::btnPause},
    {&W::play1, "play1", "play", Qt::Key_F3, &W::btnPlay_Click, &W::btnPlay},
    {&W::save1, "save1", "save", Qt::Key_F4, &W::btnSave_Click, &W::btnSave},
    {&W::set1, "set1", "set", Qt::Key_F5, &W::Command1_Click, &W::Command1},
    {&W::list1, "list1", "list", Qt::Key_F6, &W::cmdRecordings_Click, &W::cmdRecordings},
};

} // namespace recorder::rectestface
