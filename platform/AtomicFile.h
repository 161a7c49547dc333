#pragma once
// Writing a whole file so that the target either keeps its old content or
// gets the complete new one: a temporary file in the target's folder is
// written, flushed to disk and then renamed over the target. A target that
// is a symbolic link has the file it points to replaced; a file replaced
// keeps its permission bits (and its owner, where the system allows).

#include <cstddef>
#include <string>

namespace platform {

enum class WriteResult {
    Ok,
    CantCreate, // the temporary file could not be made (missing folder, no permission, bad name)
    CantWrite,  // writing, flushing or renaming failed (disk full, file size limit, ...)
};

// `path` is UTF-8. Leaves no temporary file behind on any failure, and
// removes those that saves killed earlier left in the same folder.
// `systemError`, when given, receives the system's error number of a
// failure (0 when there was none to report).
WriteResult writeFileAtomically(const std::string& path, const void* data, std::size_t size,
                                int* systemError = nullptr);

} // namespace platform
