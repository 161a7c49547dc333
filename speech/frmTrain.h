#pragma once
// The enrolment window: the user says each command word three times, and
// the recogniser then goes by that user's own voice. One big word at a time,
// what to do in plain words, and what was heard after every try.

#include "VoiceProfile.h"

#include <QDialog>

#include <cstdint>
#include <vector>

class QLabel;
class QPushButton;

namespace speech {

class frmTrain final : public QDialog {
    Q_OBJECT
public:
    // Finished with Accepted (a full new set of recordings in profile()),
    // Rejected (nothing changes) or kCleared (the user's recordings are to
    // be removed).
    static constexpr int kCleared = 2;

    frmTrain(bool simplified, bool haveProfile, QWidget* parent = nullptr);

    // One utterance heard by the microphone.
    void Utterance_Heard(const std::vector<std::int16_t>& samples);
    void cmdRedo_Click();
    void cmdClear_Click();

    const VoiceProfile& profile() const { return profile_; }
    std::size_t currentWord() const { return word_; }

    QLabel* lblHint = nullptr;
    QLabel* lblWord = nullptr;
    QLabel* lblCount = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdRedo = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdDone = nullptr;

private:
    QString text(int row) const;
    void showStep();

    bool simplified_;
    VoiceProfile profile_;
    std::size_t word_ = 0;
};

} // namespace speech
