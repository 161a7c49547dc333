#pragma once
// Every text the engine shows, in one table; exact, they are what the users
// and the tests see.

#include "ScriptText.h"

namespace engine::text {

using platform::ScriptText;

// Kept as they stand in both scripts: an error box's own line and the
// library's words, read by whoever helps.
inline constexpr const char* kErrorTitle = "Error";
inline constexpr const char* kWrongVersion = "An incorrect version of BASS.DLL was loaded";
inline constexpr const char* kCantInitialize = "Can't initialize device";
inline constexpr const char* kCantStart = "Couldn't start recording";
inline constexpr const char* kOutOfMemory = "Out of memory!";
inline constexpr const char* kCantCreate = "Can't create the file";
inline constexpr const char* kCantWrite = "Can't write the file";
inline constexpr const char* kStop = "停 止";
inline constexpr const char* kSaveTitle = "保存....";

inline constexpr ScriptText kRecord{"录 音", "錄 音"};
inline constexpr ScriptText kTakeFull{
    "录音已达到最大长度，已自动停止。录好的声音都保留着，可以播放和保存。",
    "錄音已達到最大長度，已自動停止。錄好的聲音都保留著，可以播放和保存。"};
inline constexpr ScriptText kRecover{"上次的录音没有保存。现在保存吗？",
                                     "上次的錄音沒有保存。現在保存嗎？"};
inline constexpr ScriptText kRecoverFailed{
    "上次的录音打不开，没有删除。它保存在这个文件里，可以用别的程序打开：\r\n",
    "上次的錄音打不開，沒有刪除。它保存在這個檔案裡，可以用別的程式打開：\r\n"};
// Below the question: when, how long, and where 否 puts it.
inline constexpr ScriptText kRecoverDetail{"这段录音是%s录的，长%s。选“否”会把它放进回收站。",
                                           "這段錄音是%s錄的，長%s。選「否」會把它放進回收站。"};
inline constexpr ScriptText kRecoverCut{"录音时磁盘出了问题，这段录音不完整。",
                                        "錄音時磁碟出了問題，這段錄音不完整。"};
inline constexpr ScriptText kRecoverTrashed{"上次留下的一个录音文件打不开，已经放进回收站。",
                                            "上次留下的一個錄音檔案打不開，已經放進回收站。"};
inline constexpr ScriptText kUnprotected{
    "这次录音无法同时存到磁盘上，停电或程序出错时会丢失。录音照常进行，录完请及时保存。",
    "這次錄音無法同時存到磁碟上，停電或程式出錯時會遺失。錄音照常進行，錄完請及時保存。"};
inline constexpr ScriptText kSlept{
    "电脑进入了睡眠，录音在那时停止了。录好的声音都保留着，可以播放和保存。",
    "電腦進入了睡眠，錄音在那時停止了。錄好的聲音都保留著，可以播放和保存。"};
inline constexpr ScriptText kSaveBeforeClose{"这段录音还没有保存，现在保存吗？",
                                             "這段錄音還沒有保存，現在保存嗎？"};
inline constexpr ScriptText kMicrophoneLost{
    "麦克风断开了，录音已停止。录好的声音都保留着，可以播放和保存。",
    "麥克風斷開了，錄音已停止。錄好的聲音都保留著，可以播放和保存。"};
inline constexpr ScriptText kNoMicrophone{
    "现在没有可以录音的麦克风，可能是声音系统正在重新启动，或者麦克风没有接好。录好的声音都保留着。"
    "请稍等一下，再按“录音”。",
    "現在沒有可以錄音的麥克風，可能是聲音系統正在重新啟動，或者麥克風沒有接好。錄好的聲音都保留著。"
    "請稍等一下，再按「錄音」。"};
inline constexpr ScriptText kTakeGoneBeforeSave{
    "没有保存：保存的窗口打开时，又开始了一次新的录音。",
    "沒有儲存：儲存的視窗打開時，又開始了一次新的錄音。"};
inline constexpr ScriptText kNoSound{"这次录音里没有声音：保存的文件是空的。",
                                     "這次錄音裡沒有聲音：儲存的檔案是空的。"};

// Below an error box's own lines: what happened, what became of the sound,
// what to do.
inline constexpr ScriptText kCantInitializeWhy{
    "找不到可以使用的麦克风或扬声器：声音系统可能没有运行，或者设备没有接好。请检查电脑的声音设置，"
    "然后再打开这个程序。",
    "找不到可以使用的麥克風或揚聲器：聲音系統可能沒有執行，或者裝置沒有接好。請檢查電腦的聲音設定，"
    "然後再打開這個程式。"};
inline constexpr ScriptText kCantStartWhy{
    "现在不能开始录音。请检查麦克风有没有接好，再按“录音”。",
    "現在不能開始錄音。請檢查麥克風有沒有接好，再按「錄音」。"};
inline constexpr ScriptText kNoRoomToStartWhy{
    "电脑的内存不够，不能开始录音。请关掉一些别的程序，再按“录音”。",
    "電腦的記憶體不夠，不能開始錄音。請關掉一些別的程式，再按「錄音」。"};
inline constexpr ScriptText kNoRoomWhy{
    "电脑的内存不够了，录音已停止。录好的声音都保留着，可以播放和保存。",
    "電腦的記憶體不夠了，錄音已停止。錄好的聲音都保留著，可以播放和保存。"};

// A save that failed: why, by the system's error number, and that nothing
// is lost.
inline constexpr ScriptText kSaveNoPermission{"没有权限在这个文件夹里保存。",
                                              "沒有權限在這個資料夾裡保存。"};
inline constexpr ScriptText kSaveDiskFull{"磁盘已满，放不下这个文件。",
                                          "磁碟已滿，放不下這個檔案。"};
inline constexpr ScriptText kSaveNameTooLong{"文件名太长了。", "檔案名稱太長了。"};
inline constexpr ScriptText kSaveNoFolder{"这个文件夹不存在。", "這個資料夾不存在。"};
inline constexpr ScriptText kSaveIsFolder{"这个名字是一个文件夹。", "這個名字是一個資料夾。"};
inline constexpr ScriptText kSaveOther{"文件没能保存。", "檔案沒能保存。"};
inline constexpr ScriptText kSaveNothingLost{"录好的声音还在，请换一个文件夹或名字再保存。",
                                             "錄好的聲音還在，請換一個資料夾或名字再保存。"};

} // namespace engine::text
