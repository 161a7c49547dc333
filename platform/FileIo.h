#pragma once
// Writing through a plain file descriptor, whole or not at all, on every
// platform the programs build for.

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace platform {

enum class OpenAs {
    // A file that must not exist yet, for reading and writing, that only
    // the user may read (a take kept on disk while it is recorded).
    NewPrivate,
    // A file that must not exist yet, for writing, with the usual
    // permissions (a save's temporary; others are kept out meanwhile).
    NewForReplacing,
    // A file of our own that exists, for reading and writing; never
    // through a link.
    Existing,
};
// A descriptor, or -1 with errno set.
int openFile(const std::filesystem::path& path, OpenAs how);
bool closeFile(int fd);

// Writes all `bytes`, retrying short writes; at `offset`, or at the file's
// current position when it is negative.
bool writeAt(int fd, std::int64_t offset, const void* data, std::size_t bytes);
// Flushes the file's data to the disk (and its size; not its times).
bool flushToDisk(int fd);
// This process's id, for naming files that belong to it.
long processId();

} // namespace platform
