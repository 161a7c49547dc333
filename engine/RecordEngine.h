#pragma once
// One take in memory as a finished WAV image, and the operations that drive
// it: start, stop, pause, play, display, save, error reporting, start-up and
// shut-down of the audio library. One engine serves one window.

#include "AudioLibrary.h"
#include "EngineWindow.h"
#include "RecoveryFile.h"
#include "ReservedMemory.h"
#include "TakeMeter.h"
#include "WaveHeader.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace engine {

// Texts the engine shows; exact, they are what the users and the tests see.
namespace text {
inline constexpr const char* kErrorTitle = "Error";
inline constexpr const char* kWrongVersion = "An incorrect version of BASS.DLL was loaded";
inline constexpr const char* kCantInitialize = "Can't initialize device";
inline constexpr const char* kCantStart = "Couldn't start recording";
inline constexpr const char* kOutOfMemory = "Out of memory!";
inline constexpr const char* kCantCreate = "Can't create the file";
inline constexpr const char* kCantWrite = "Can't write the file";
inline constexpr const char* kRecordSimplified = "录 音";
inline constexpr const char* kRecordTraditional = "錄 音";
inline constexpr const char* kStop = "停 止";
inline constexpr const char* kTakeFullSimplified =
    "录音已达到最大长度，已自动停止。录好的声音都保留着，可以播放和保存。";
inline constexpr const char* kTakeFullTraditional =
    "錄音已達到最大長度，已自動停止。錄好的聲音都保留著，可以播放和保存。";
inline constexpr const char* kSaveTitle = "保存....";
inline constexpr const char* kRecoverSimplified = "上次的录音没有保存。现在保存吗？";
inline constexpr const char* kRecoverTraditional = "上次的錄音沒有保存。現在保存嗎？";
inline constexpr const char* kRecoverFailedSimplified =
    "上次的录音打不开，没有删除。它保存在这个文件里，可以用别的程序打开：\r\n";
inline constexpr const char* kRecoverFailedTraditional =
    "上次的錄音打不開，沒有刪除。它保存在這個檔案裡，可以用別的程式打開：\r\n";
// Below the question: when, how long, and where 否 puts it.
inline constexpr const char* kRecoverDetailSimplified =
    "这段录音是%s录的，长%s。选“否”会把它放进回收站。";
inline constexpr const char* kRecoverDetailTraditional =
    "這段錄音是%s錄的，長%s。選「否」會把它放進回收站。";
inline constexpr const char* kRecoverCutSimplified = "录音时磁盘出了问题，这段录音不完整。";
inline constexpr const char* kRecoverCutTraditional = "錄音時磁碟出了問題，這段錄音不完整。";
inline constexpr const char* kRecoverTrashedSimplified =
    "上次留下的一个录音文件打不开，已经放进回收站。";
inline constexpr const char* kRecoverTrashedTraditional =
    "上次留下的一個錄音檔案打不開，已經放進回收站。";
inline constexpr const char* kUnprotectedSimplified =
    "这次录音无法同时存到磁盘上，停电或程序出错时会丢失。录音照常进行，录完请及时保存。";
inline constexpr const char* kUnprotectedTraditional =
    "這次錄音無法同時存到磁碟上，停電或程式出錯時會遺失。錄音照常進行，錄完請及時保存。";
inline constexpr const char* kSleptSimplified =
    "电脑进入了睡眠，录音在那时停止了。录好的声音都保留着，可以播放和保存。";
inline constexpr const char* kSleptTraditional =
    "電腦進入了睡眠，錄音在那時停止了。錄好的聲音都保留著，可以播放和保存。";
inline constexpr const char* kSaveBeforeCloseSimplified = "这段录音还没有保存，现在保存吗？";
inline constexpr const char* kSaveBeforeCloseTraditional = "這段錄音還沒有保存，現在保存嗎？";
inline constexpr const char* kMicrophoneLostSimplified =
    "麦克风断开了，录音已停止。录好的声音都保留着，可以播放和保存。";
inline constexpr const char* kMicrophoneLostTraditional =
    "麥克風斷開了，錄音已停止。錄好的聲音都保留著，可以播放和保存。";
inline constexpr const char* kNoMicrophoneSimplified =
    "现在没有可以录音的麦克风，可能是声音系统正在重新启动，或者麦克风没有接好。录好的声音都保留着。"
    "请稍等一下，再按“录音”。";
inline constexpr const char* kNoMicrophoneTraditional =
    "現在沒有可以錄音的麥克風，可能是聲音系統正在重新啟動，或者麥克風沒有接好。錄好的聲音都保留著。"
    "請稍等一下，再按「錄音」。";
inline constexpr const char* kNoSoundSimplified = "这次录音里没有声音：保存的文件是空的。";
inline constexpr const char* kNoSoundTraditional = "這次錄音裡沒有聲音：儲存的檔案是空的。";
// Below an error box's own lines: what happened, what became of the sound,
// what to do.
inline constexpr const char* kCantInitializeWhySimplified =
    "找不到可以使用的麦克风或扬声器：声音系统可能没有运行，或者设备没有接好。请检查电脑的声音设置，"
    "然后再打开这个程序。";
inline constexpr const char* kCantInitializeWhyTraditional =
    "找不到可以使用的麥克風或揚聲器：聲音系統可能沒有執行，或者裝置沒有接好。請檢查電腦的聲音設定，"
    "然後再打開這個程式。";
inline constexpr const char* kCantStartWhySimplified =
    "现在不能开始录音。请检查麦克风有没有接好，再按“录音”。";
inline constexpr const char* kCantStartWhyTraditional =
    "現在不能開始錄音。請檢查麥克風有沒有接好，再按「錄音」。";
inline constexpr const char* kNoRoomToStartWhySimplified =
    "电脑的内存不够，不能开始录音。请关掉一些别的程序，再按“录音”。";
inline constexpr const char* kNoRoomToStartWhyTraditional =
    "電腦的記憶體不夠，不能開始錄音。請關掉一些別的程式，再按「錄音」。";
inline constexpr const char* kNoRoomWhySimplified =
    "电脑的内存不够了，录音已停止。录好的声音都保留着，可以播放和保存。";
inline constexpr const char* kNoRoomWhyTraditional =
    "電腦的記憶體不夠了，錄音已停止。錄好的聲音都保留著，可以播放和保存。";
} // namespace text

class RecordEngine {
public:
    static constexpr std::int32_t kDefaultStep = 200000;
    // RecordLength is a signed 32-bit count.
    static constexpr std::int64_t kMaxTakeBytes = 2147483647;

    // Asked before the take's block grows to `bytes`; false refuses, as a
    // system out of memory would. Replaceable so tests can fail growth.
    using GrowthCheck = std::function<bool(std::size_t bytes)>;

    RecordEngine(audio::AudioLibrary& library, EngineWindow& window, std::string programTitle);
    ~RecordEngine();
    RecordEngine(const RecordEngine&) = delete;
    RecordEngine& operator=(const RecordEngine&) = delete;

    // Window thread. Shows its own message on failure; the caller then ends
    // the program.
    bool LibraryStartup();
    // Opens the microphone ahead of a take, where the source is held only
    // while one runs: a source sends its first sound a while after it is
    // opened, so a prompt said before the take goes to it, and the take
    // begins with the microphone already running.
    void ReadyMicrophone() { library_.captureAvailable(); }
    void StartRecording();
    // Ends the take at the moment of the call when the library keeps a
    // capture clock: the blocks still on their way up to that moment are
    // waited for on the capture thread, not here, and the take is finished
    // when the one holding the moment arrives (or, without it, at the first
    // display refresh after a deadline kept on the steady clock: 0.4 s
    // plus the longest wait between blocks in the take, 3 s at most). Meanwhile capturing() is
    // false; a play or a save waits for the end. With `earlier`, the take ends that long before the
    // call (a spoken stop ends where the word began, not where it was
    // understood); a paused take ends where it was paused.
    void StopRecording(std::chrono::nanoseconds earlier = {});
    // Pauses or resumes the take. With `earlier`, a pause also takes back
    // out of the take the sound of that long before the call (the spoken
    // word that asked for it).
    void PauseRecording(std::chrono::nanoseconds earlier = {});
    void Play();
    void RefreshDisplay();
    // The steady clock a stop's deadline is kept on (tests set their own).
    using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;
    void setSteadyClock(SteadyClock now) { steadyNow_ = std::move(now); }
    void SaveRecording();
    void ReportBassError(const std::string& message);
    // The same, with a line in the window's script under it.
    void ReportBassError(const std::string& message, const char* simplified,
                         const char* traditional);
    void Shutdown();
    // Takes that sessions before this one recorded but never saved: for each,
    // asks whether to save it now, saying when it was recorded and how long
    // it is; yes opens the save dialog (a cancelled dialog keeps it as this
    // session's unsaved take), no puts it in the trash. One that cannot be
    // read is not offered: it goes to the trash, and the user is told.
    void OfferRecovery();

    static int HiWord(std::int32_t value);
    // Handed to the library; runs on its capture thread. `user` is the engine.
    static audio::BOOL RecordCallback(audio::HRECORD handle, const void* buffer,
                                      audio::DWORD length, void* user);

    // State, for the window and the tests (window thread, outside a capture).
    const std::uint8_t* recordBuffer() const { return haveBlock_ ? RecordBuffer.data() : nullptr; }
    std::int32_t recordLength() const { return RecordLength; }
    std::int32_t recordBufferStep() const { return RecordBufferStep; }
    std::size_t recordBufferCapacity() const { return capacity_; }
    audio::HRECORD recordChannel() const { return RecordChannel; }
    audio::HSTREAM playbackStream() const { return PlaybackStream; }
    bool capturing() const { return RecordChannel != 0 && !stopping_; }
    // A stop waits for the sound up to its moment.
    bool stopping() const { return stopping_; }
    bool hasFinishedTake() const { return haveBlock_ && takeFinished_; }
    // Window thread, as the window is asked to close: false keeps it open.
    // A take with no whole copy on disk (the disk filled, or the copy
    // could not be made) would be lost with the window: she is asked to
    // save it; 否 puts what is on disk in the trash.
    bool QueryClose();
    // The machine is about to sleep anyway (a closed lid): a take running
    // ends there and is kept, and she is told (read after the wake).
    void MachineSleeps();
    // When the take held was begun (a recovered one: when it was recorded).
    std::time_t takeMadeAt() const { return takeMadeAt_; }
    // A take is paused: PauseRecording() would resume it.
    bool paused() const;

    // Seams for tests and benchmarks; set before a take starts.
    void setGrowthCheck(GrowthCheck check) { mayGrow_ = std::move(check); }
    void setMaxTakeBytes(std::int64_t bytes) { maxTakeBytes_ = bytes; }
    void setRecordBufferStep(std::int32_t step) { RecordBufferStep = step; }
    // Where the take in progress is also kept on disk; unset, it is not.
    // Takes thrown away go to `trash` (unset: removed).
    void setRecoveryFolder(const std::filesystem::path& folder, RecoveryFile::Trash trash = {});
    RecoveryFile* recovery() { return recovery_.get(); }

private:
    enum class EndReason { None, OutOfMemory, TakeFull, DeviceLost };

    audio::BOOL onCapturedBlock(audio::HRECORD handle, const void* buffer, audio::DWORD length);
    void endedByEngine(audio::HRECORD handle, EndReason reason);
    // Ends the capture now and finishes the take, cut at the stop's moment
    // if more than that came.
    void stopNow();
    std::int64_t takeMark(audio::QWORD clock, std::chrono::nanoseconds earlier) const;
    void reachedStopMark(audio::HRECORD handle);
    void PrepareBlock();
    void FinishTake();
    void releaseBlock();
    bool growBlock(std::size_t bytes);
    std::string recordCaption() const;
    std::string scripted(const char* simplified, const char* traditional) const;
    void warnUnprotected();
    void reportSaveError(const char* message, int error);
    bool adoptTake(std::vector<std::uint8_t> image, std::time_t madeAt);
    void showTake(std::string savedTo = {});
    std::string recoveryQuestion(const std::filesystem::path& file, std::size_t imageBytes) const;

    audio::AudioLibrary& library_;
    EngineWindow& window_;
    std::string programTitle_;
    GrowthCheck mayGrow_;
    std::int64_t maxTakeBytes_ = kMaxTakeBytes;

    // While a capture runs, RecordBuffer's memory, capacity_ and
    // RecordLength are written only by the capture thread; the window thread
    // touches them before BASS_RecordStart, after BASS_ChannelStop and while
    // paused (a pause cuts a spoken word back out), all of which synchronise
    // with the capture thread. The block's address
    // space is reserved once for the largest take: it never moves.
    platform::ReservedMemory RecordBuffer{std::size_t(kMaxTakeBytes) + 65536};
    bool haveBlock_ = false;
    std::size_t capacity_ = 0;
    std::int32_t RecordLength = 0;
    std::int32_t RecordBufferStep = kDefaultStep;
    audio::HRECORD RecordChannel = 0;
    audio::HSTREAM PlaybackStream = 0;
    engine::WaveHeader WaveHeader;
    bool takeFinished_ = false;
    bool libraryOpen_ = false;
    std::unique_ptr<RecoveryFile> recovery_;
    bool warnedUnprotected_ = false;
    // Set by the capture thread when it ended the capture on its own.
    std::atomic<bool> endedByCallback_{false};
    // Where a stop ends the take (a RecordLength; 0: no stop under way). Set
    // by the window thread; the capture thread cuts the take there.
    std::atomic<std::int64_t> stopAt_{0};
    bool stopping_ = false;
    std::chrono::steady_clock::time_point stopBegan_{};
    SteadyClock steadyNow_ = [] { return std::chrono::steady_clock::now(); };
    // When the last block came and the longest wait between blocks in this
    // take (steady-clock nanoseconds; written by the capture thread): a
    // stop waits about that long for the sound up to its moment. Some
    // sources hand over seconds at a time.
    std::atomic<std::int64_t> lastBlockAt_{0};
    std::atomic<std::int64_t> longestGap_{0};
    bool playWhenStopped_ = false;
    // Sound taken back out of the take at pauses: the capture clock still
    // counts it.
    std::int64_t soundCut_ = 0;
    bool saveWhenStopped_ = false;
    // The loudest sample since the window last showed the level (raised by
    // the capture thread, taken by the window thread).
    std::atomic<float> peak_{0};
    SilenceWatch silence_;
    // Where the last save that worked went: the next save dialog opens there.
    std::string lastSavedFolder_;
    std::time_t takeMadeAt_ = 0;
    // Where the unsaved take this one replaced went (the trash, or kept
    // for the next start) is said until the user's next action.
    bool showReplaced_ = false;
    bool takeSaved_ = false; // the take in the block has been saved
    // Whole seconds of sound the take lost to a stall of the machine.
    int interruptedSeconds_ = 0;
};

} // namespace engine
