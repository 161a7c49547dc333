#pragma once
// Writing through a plain file descriptor, whole or not at all, on every
// platform the programs build for.

#include <cstddef>
#include <cstdint>

namespace platform {

// Writes all `bytes`, retrying short writes; at `offset`, or at the file's
// current position when it is negative.
bool writeAt(int fd, std::int64_t offset, const void* data, std::size_t bytes);
// Flushes the file's data to the disk (and its size; not its times).
bool flushToDisk(int fd);
// This process's id, for naming files that belong to it.
long processId();

} // namespace platform
