#pragma once
// The two recorder programs share one window; these are their differences.

#include "LauncherWord.h"

#include <QString>

namespace recorder {

enum class Edition {
    Prompted, // speaks a voice prompt for every action
    Standard, // plays nothing, never waits
};

struct EditionTexts {
    const char* programName;
    const char* windowCaption; // Simplified, as the program starts
    const char* windowCaptionTraditional;
    const char* makerLine; // before any switch; followed by the maker's web address
};

inline constexpr EditionTexts kPromptedTexts{"Tamsel", "语音提示录音机", "語音提示錄音機",
                                             "Tessel Soft："};
inline constexpr EditionTexts kStandardTexts{"Brevon", "录音机标准版", "錄音機標準版",
                                             "Tessel软件："};

inline const EditionTexts& textsFor(Edition e) {
    return e == Edition::Prompted ? kPromptedTexts : kStandardTexts;
}

using platform::kLauncherWord;
inline constexpr const char* kRefusalTitle = "错误运行";
inline constexpr const char* kRefusalText = "注意：此程序必须依赖Lumeno录音机一起启动!";

} // namespace recorder
