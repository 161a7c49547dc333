#pragma once
// The recording-format settings window: channel mode, sample size and rate,
// one by one or through a quality preset. Apply writes the choice into the
// recorder window's format fields and closes.

#include <QDialog>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace recorder {

// Where the recorder window keeps the format, as decimal texts.
struct RecordFormatFields {
    QLineEdit* channels = nullptr;
    QLineEdit* bits = nullptr;
    QLineEdit* rate = nullptr;
};

class Form1 final : public QDialog {
    Q_OBJECT
public:
    // Loading fills the lists; the preset entries take the script that is
    // current now and keep it until the window is closed.
    Form1(RecordFormatFields fields, bool simplified, QWidget* parent = nullptr);

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
    RecordFormatFields fields_;
};

} // namespace recorder
