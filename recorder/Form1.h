#pragma once
// The recording-format settings window: channel mode, sample size and rate,
// one by one or through a quality preset. Apply takes the choice and
// closes; the recorder window reads it from format().

#include "RecorderState.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

namespace recorder {

class Form1 final : public QDialog {
    Q_OBJECT
public:
    // Loading fills the lists; the preset entries take the script that is
    // current now and keep it until the window is closed.
    Form1(RecordFormat current, bool simplified, QWidget* parent = nullptr);

    // The format as the window was opened with it, or as applied.
    RecordFormat format() const { return format_; }

    // The texts the recorder window's script buttons switch.
    void applyCaptions(bool simplified);

    void Combo4_Click();
    void Command1_Click();
    void Command2_Click();

    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QComboBox* Combo3 = nullptr;
    QComboBox* Combo4 = nullptr;
    QFrame* Line1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

private:
    RecordFormat format_;
};

} // namespace recorder
