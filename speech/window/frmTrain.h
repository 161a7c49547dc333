#pragma once
// The enrolment window: the user says each command word three times, and
// the recogniser then goes by that user's own voice. One big word at a time,
// what to do in plain words, and what was heard after every try.

#include "TrainingSequence.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <vector>

class QLabel;
class QProgressBar;
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

    // Says command word `word` (its place in commandWordList()) to the user,
    // who then repeats it; `done` runs once it has been said.
    using WordSpeaker = std::function<void(std::size_t word, std::function<void()> done)>;
    void setWordSpeaker(WordSpeaker speaker);

    // One utterance heard by the microphone.
    void Utterance_Heard(const std::vector<std::int16_t>& samples);
    // How loud the microphone is now (0..1).
    void Level_Changed(float peak);
    void cmdRedo_Click();
    void cmdClear_Click();

    const VoiceProfile& profile() const { return sequence_.profile(); }
    std::size_t currentWord() const { return sequence_.word(); }

    QLabel* lblHint = nullptr;
    QLabel* lblWord = nullptr;
    QLabel* lblCount = nullptr;
    QLabel* lblStatus = nullptr;
    QProgressBar* barLevel = nullptr;
    QPushButton* cmdRedo = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdDone = nullptr;

private:
    QString text(int row) const;
    QString wordText() const; // the word the sequence asks for now
    void showStep();
    // A new word is said to the user first, when there is a voice.
    void speakWord();

    bool simplified_;
    TrainingSequence sequence_;
    WordSpeaker speaker_;
};

} // namespace speech
