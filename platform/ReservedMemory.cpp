#include "ReservedMemory.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace platform {
namespace {

constexpr std::size_t kSmallest = std::size_t(16) << 20;
// Committing page by page would make a syscall per block; 1 MiB at a time
// is about six seconds of a take.
constexpr std::size_t kCommitStep = std::size_t(1) << 20;

// Address space only: a mapping without access costs no memory, and the
// system counts memory against it only as it is committed, so a commit can
// fail (and the take end cleanly) where the system keeps strict accounts.
std::uint8_t* reserve(std::size_t bytes) {
#ifdef _WIN32
    return static_cast<std::uint8_t*>(VirtualAlloc(nullptr, bytes, MEM_RESERVE, PAGE_NOACCESS));
#else
    void* p = ::mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(p);
#endif
}

} // namespace

ReservedMemory::ReservedMemory(std::size_t capacity) {
    // A 32-bit process may not have two free gigabytes in one piece.
    for (std::size_t want = capacity; want >= kSmallest && !base_; want /= 2) {
        base_ = reserve(want);
        if (base_)
            capacity_ = want;
    }
}

ReservedMemory::~ReservedMemory() {
    if (!base_)
        return;
#ifdef _WIN32
    VirtualFree(base_, 0, MEM_RELEASE);
#else
    ::munmap(base_, capacity_);
#endif
}

bool ReservedMemory::commit(std::size_t bytes) {
    if (bytes <= committed_)
        return true;
    if (!base_ || bytes > capacity_)
        return false;
    std::size_t upTo = (bytes + kCommitStep - 1) / kCommitStep * kCommitStep;
    if (upTo > capacity_)
        upTo = capacity_;
#ifdef _WIN32
    if (!VirtualAlloc(base_ + committed_, upTo - committed_, MEM_COMMIT, PAGE_READWRITE))
        return false;
#else
    if (::mprotect(base_ + committed_, upTo - committed_, PROT_READ | PROT_WRITE) != 0)
        return false;
#ifdef MADV_POPULATE_WRITE
    // The pages are made now, in one call, rather than one fault at a time
    // as the capture first writes each: on the virtual machine measured
    // that halves their cost (32 MiB: 82 -> 43 ms). Where the system cannot
    // (an older kernel), the pages come as they are written, as before.
    ::madvise(base_ + committed_, upTo - committed_, MADV_POPULATE_WRITE);
#endif
#endif
    committed_ = upTo;
    return true;
}

void ReservedMemory::decommit() {
    if (!base_ || committed_ == 0)
        return;
#ifdef _WIN32
    VirtualFree(base_, committed_, MEM_DECOMMIT);
#else
    // Fresh zero pages next time, and none of this take's memory kept.
    ::mmap(base_, committed_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
#endif
    committed_ = 0;
}

} // namespace platform
