// Spoken commands and the training's order without a window: what each word
// does to the take, when words are shown but not obeyed, and redoing a word.

#include "CommandSession.h"
#include "CommandLexicon.h"
#include "FakeAudioLibrary.h"
#include "FakeEngineWindow.h"
#include "FakeRecogniser.h"
#include "SyntheticWords.h"
#include "TrainingSequence.h"

#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct View final : speech::CommandSession::View {
    std::vector<std::string> shown;
    std::vector<std::string> warnings;
    bool listening = false;
    bool modal = false;
    bool simplified() const override { return true; }
    void showListening(bool active) override { listening = active; }
    void showHeard(const QString& phrase) override { shown.push_back(phrase.toStdString()); }
    void clearHeard() override { shown.clear(); }
    void warn(const QString& text) override { warnings.push_back(text.toStdString()); }
    bool inModalDialog() const override { return modal; }
};

struct NoRecordings final : speech::VoiceStore {
    bool load(speech::VoiceProfile&, std::string&) override { return true; }
    bool save(const speech::VoiceProfile&, std::string&) override { return true; }
    bool clear(std::string&) override { return true; }
    bool hasRecordings() override { return false; }
    std::string where() const override { return "nowhere"; }
};

TEST(CommandSessionTest, EachWordDrivesTheTakeUnlessABoxIsOpen) {
    fake::FakeAudioLibrary lib;
    fake::FakeEngineWindow window;
    fake::FakeRecogniser recogniser;
    View view;
    const auto folder = std::filesystem::temp_directory_path() / "session-test";
    engine::RecorderController controller(lib, window, "Oakhalt", folder, {});
    ASSERT_TRUE(controller.start());
    speech::CommandSession session(controller, view, recogniser.factory(),
                                   std::make_unique<NoRecordings>());
    auto say = [&](const char* phrase) {
        const auto before = view.shown.size();
        recogniser.hear(phrase);
        return QTest::qWaitFor([&] { return view.shown.size() > before; });
    };
    session.start();
    EXPECT_TRUE(view.listening);
    ASSERT_TRUE(say("录音"));
    EXPECT_TRUE(controller.engine().capturing());
    ASSERT_TRUE(say("暂停"));
    EXPECT_TRUE(controller.engine().paused());
    ASSERT_TRUE(say("继续"));
    EXPECT_FALSE(controller.engine().paused());
    // Over an open box a word is shown and nothing more.
    view.modal = true;
    ASSERT_TRUE(say("停止"));
    EXPECT_TRUE(controller.engine().capturing());
    view.modal = false;
    ASSERT_TRUE(say("停止"));
    EXPECT_FALSE(controller.engine().capturing());
    EXPECT_EQ(recogniser.duringTake, (std::vector<bool>{true, false}));
    recogniser.hear("停止识别");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session.active(); }));
    EXPECT_FALSE(view.listening);
    EXPECT_TRUE(view.shown.empty());
    EXPECT_EQ(recogniser.states, (std::vector<bool>{true, false}));
    EXPECT_TRUE(view.warnings.empty());
    std::filesystem::remove_all(folder);
}

TEST(TrainingSequenceTest, RedoBeforeAWordsFirstTryStartsTheLastWordAgain) {
    using Status = speech::TrainingSequence::Status;
    speech::TrainingSequence t;
    EXPECT_TRUE(t.wantsSaying());
    t.sayingToUser();
    // What the microphone hears while the word is said to the user is the
    // prompt, not the user.
    EXPECT_EQ(t.hear(synthetic::say(synthetic::kWords[0], 0.3)), Status::Ignored);
    t.saidToUser();
    for (int take = 0; take < 3; ++take)
        EXPECT_EQ(t.hear(synthetic::say(synthetic::kWords[0], 0.25 + 0.05 * take)), Status::Heard);
    EXPECT_EQ(t.word(), 1u);
    EXPECT_EQ(t.nextTake(), 1);
    t.redo();
    EXPECT_EQ(t.word(), 0u);
    EXPECT_EQ(t.nextTake(), 1);
    EXPECT_EQ(t.profile().takes(speech::commandWordList()[0]), 0);
}

} // namespace
