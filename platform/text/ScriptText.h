#pragma once
// A text of the suite in both scripts: the user's choice picks one. Free of
// any toolkit, so that the engine's texts are held the same way as the
// windows' ones.

namespace platform {

struct ScriptText {
    const char* simplified;
    const char* traditional;
    const char* in(bool simplifiedScript) const {
        return simplifiedScript ? simplified : traditional;
    }
};

} // namespace platform
