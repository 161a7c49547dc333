#include "TakeSaver.h"

#include "AtomicFile.h"
#include "EngineTexts.h"
#include "FileNames.h"
#include "TakeNames.h"

#include <cerrno>
#include <filesystem>

namespace engine {

SaveDialogRequest saveRequest(std::time_t takeMadeAt, const std::string& startIn, bool simplified) {
    SaveDialogRequest request;
    request.title = text::kSaveTitle;
    request.filters = {{"WAV 文件", "*.wav"}, {"所有文件", "*.*"}};
    request.defaultExtension = "wav";
    request.simplified = simplified;
    request.startIn = startIn;
    request.suggestedName =
        platform::safeFileName(takeFileName(takeMadeAt, std::time(nullptr), simplified));
    return request;
}

std::string saveErrorText(const char* message, int error, bool simplified) {
    const text::ScriptText* why = &text::kSaveOther;
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        why = &text::kSaveNoPermission;
        break;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        why = &text::kSaveDiskFull;
        break;
    case ENAMETOOLONG:
        why = &text::kSaveNameTooLong;
        break;
    case ENOENT:
    case ENOTDIR:
        why = &text::kSaveNoFolder;
        break;
    case EISDIR:
        why = &text::kSaveIsFolder;
        break;
    default:
        break;
    }
    return std::string(message) + "\r\n\r\nerror code: " + std::to_string(error) + "\r\n\r\n" +
           why->in(simplified) + text::kSaveNothingLost.in(simplified);
}

SaveOutcome writeTake(const std::string& fileName, const std::uint8_t* image, std::size_t bytes,
                      bool simplified) {
    int error = 0;
    switch (platform::writeFileAtomically(fileName, image, bytes, &error)) {
    case platform::WriteResult::Ok:
        return {true, {}};
    case platform::WriteResult::CantCreate:
        return {false, saveErrorText(text::kCantCreate, error, simplified)};
    case platform::WriteResult::CantWrite:
        break;
    }
    return {false, saveErrorText(text::kCantWrite, error, simplified)};
}

std::string parentFolder(const std::string& file) {
    const std::u8string folder =
        std::filesystem::path(std::u8string(file.begin(), file.end())).parent_path().u8string();
    return {folder.begin(), folder.end()};
}

} // namespace engine
