#pragma once
// The prompted recorder's voice: every prompt file, joined to the program
// folder as the paths stand, said by MCIplay one after another without
// holding up the window; actions wait while a prompt speaks. The standard
// edition's voice says nothing and runs every action at once.

#include "MediaControl.h"
#include "PromptPlayer.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace recorder {

class RecorderPrompts final : public QObject {
    Q_OBJECT
public:
    RecorderPrompts();
    ~RecorderPrompts() override;

    // Prompts are said through `media` when `prompted`; otherwise none.
    void setMedia(platform::MediaControl* media, bool prompted);
    // Where prompts are looked for; the program's own folder unless set.
    void setProgramFolder(QString folder) { folder_ = std::move(folder); }

    // Says `file` (a path below the program folder, as the prompt table
    // writes it), then runs `then`.
    void say(const char* file, std::function<void()> then = {});
    // Runs a user's action once no prompt is being said.
    void act(std::function<void()> action) { player_->whenQuiet(std::move(action)); }
    bool busy() const { return player_->busy(); }
    // A close asked for while a prompt plays: true, and `close` runs once
    // the action the prompt belongs to is done.
    bool deferClose(std::function<void()> close);

private:
    std::unique_ptr<platform::PromptPlayer> player_;
    QString folder_;
    std::function<void()> pendingClose_;
};

} // namespace recorder
