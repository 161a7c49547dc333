#pragma once
// Which texts a window shows in the wrong script. After a switch to one
// script, a caption, title or tool tip that still holds a character only
// the other script uses is a row the switch missed (or the wrong column):
// the check finds it without restating the window's caption table.

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <QWidget>

#include <initializer_list>

namespace fake {

// Characters that differ between the scripts, in the same order: each
// Simplified one stands where the Traditional one below it would.
inline const QString kSimplifiedOnly = QStringLiteral(
    "选语体标关们问题击进开启页闻录软镜简择机设频数质声应钮辅识别检测转换载训练这说请听还时间对话"
    "个为从后会发现状态栏");
inline const QString kTraditionalOnly = QStringLiteral(
    "選語體標關們問題擊進開啟頁聞錄軟鏡簡擇機設頻數質聲應鈕輔識別檢測轉換載訓練這說請聽還時間對話"
    "個為從後會發現狀態欄");

// Every visible text of `root` and its visible children (captions, frame
// titles, window title, tool tips) that holds a character of the other
// script, as "objectName: text", and every frame or button left without a
// caption (a button with a picture needs none); `fixed` are left out (a
// script option names itself in its own script).
inline QStringList textsInOtherScript(QWidget* root, bool simplified,
                                      std::initializer_list<const QWidget*> fixed = {}) {
    const QString& other = simplified ? kTraditionalOnly : kSimplifiedOnly;
    QStringList found;
    const auto check = [&](const QWidget* w, const QString& text) {
        for (const QChar c : text)
            if (other.contains(c)) {
                found << w->objectName() + QStringLiteral(": ") + text;
                return;
            }
    };
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(root);
    for (const QWidget* w : all) {
        if (!w->isVisibleTo(root) && w != root)
            continue;
        if (std::find(fixed.begin(), fixed.end(), w) != fixed.end())
            continue;
        if (w->isWindow())
            check(w, w->windowTitle());
        const auto uncaptioned = [&] { found << w->objectName() + QStringLiteral(": no caption"); };
        if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
            check(w, b->text());
            if (b->text().isEmpty() && b->icon().isNull())
                uncaptioned();
        } else if (const auto* g = qobject_cast<const QGroupBox*>(w)) {
            check(w, g->title());
            if (g->title().isEmpty())
                uncaptioned();
        } else if (const auto* l = qobject_cast<const QLabel*>(w))
            check(w, l->text());
        check(w, w->toolTip());
    }
    return found;
}

} // namespace fake
