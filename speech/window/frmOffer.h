#pragma once
// Shown when the speech window opens for a user whose voice it has not been
// trained on: what training gives, in large words, and two big buttons.
// Accepted: train now; rejected: use the commands and buttons as they are.

#include <QDialog>

class QLabel;
class QPushButton;

namespace speech {

class frmOffer final : public QDialog {
    Q_OBJECT
public:
    explicit frmOffer(bool simplified, QWidget* parent = nullptr);

    QLabel* lblText = nullptr;
    QPushButton* cmdTrainNow = nullptr;
    QPushButton* cmdNoThanks = nullptr;
};

} // namespace speech
