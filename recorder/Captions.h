#pragma once
// The recorder's caption table: every text that the script buttons switch,
// in the order they are set. Rows whose target starts with "Form1" belong
// to the settings window.

namespace recorder {

enum class Script { Simplified, Traditional };

enum class CaptionKind {
    Text,         // the two columns as they stand
    EditionTitle, // the edition's own window caption
    MakerLine,    // the column followed by the maker's web address
};

struct CaptionRow {
    const char* target; // object name; "frmRecTest" and "Form1" are the windows' captions
    CaptionKind kind;
    const char* simplified;
    const char* traditional;
};

// The language state (Option1/Option2) is set before the first row.
inline constexpr CaptionRow kRecorderCaptions[] = {
    {"frmRecTest", CaptionKind::EditionTitle, nullptr, nullptr},
    {"lblZm", CaptionKind::Text, "Quorvel", "Quorvel"},
    {"Frame1", CaptionKind::Text, "状态栏", "狀態列"},
    {"Command2", CaptionKind::Text, "主音量控制", "主音量控制"},
    {"Command3", CaptionKind::Text, "录音控制", "錄音控制"},
    {"Command1", CaptionKind::Text, "设         置", "設         置"},
    {"Form1", CaptionKind::Text, "设置", "設置"},
    {"Form1.Label1", CaptionKind::Text, "声道", "聲道"},
    {"Form1.Label2", CaptionKind::Text, "位数", "位數"},
    {"Form1.Label3", CaptionKind::Text, "频率", "頻率"},
    {"Form1.Label4", CaptionKind::Text, "推荐音质:", "推薦音質:"},
    {"Form1.Command1", CaptionKind::Text, "应  用", "應  用"},
    // Set even while a take runs, when the button would read "停 止".
    {"btnRecord", CaptionKind::Text, "录 音", "錄 音"},
    {"btnPause", CaptionKind::Text, "暂 停", "暫 停"},
    {"btnPlay", CaptionKind::Text, "播 放", "播 放"},
    {"btnSave", CaptionKind::Text, "保 存", "保 存"},
    {"Label2", CaptionKind::EditionTitle, nullptr, nullptr},
    {"Label1", CaptionKind::MakerLine, "Tessel软件：", "Tessel軟件："},
};

} // namespace recorder
