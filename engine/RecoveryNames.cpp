#include "RecoveryNames.h"

#include "FileIo.h"
#include "RecoveryFile.h"
#include "TakeNames.h"
#include "WaveHeader.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace fs = std::filesystem;

namespace engine {
namespace recovery {

bool isOurHeader(const std::uint8_t* bytes) {
    const WaveHeader header = WaveHeader::forNewTake();
    return std::memcmp(bytes, header.bytes.data(), 4) == 0 &&
           std::memcmp(bytes + 8, header.bytes.data() + 8, 32) == 0;
}

bool hasOurHeader(const fs::path& file) {
    std::uint8_t head[kHeaderBytes];
    std::ifstream in(file, std::ios::binary);
    return in.read(reinterpret_cast<char*>(head), sizeof head) && isOurHeader(head);
}

bool writeSizes(int fd, std::uint64_t soundBytes) {
    WaveHeader header = WaveHeader::forNewTake();
    const std::uint64_t whole = soundBytes - soundBytes % kFrameBytes;
    header.setSizes(std::int32_t(std::min<std::uint64_t>(kHeaderBytes + whole, 0x7fffffff)));
    return platform::writeAt(fd, 4, header.bytes.data() + 4, 4) &&
           platform::writeAt(fd, 40, header.bytes.data() + 40, 4);
}

bool isOurName(const fs::path& file) {
    const std::string name = file.filename().string();
    return name.rfind(kPrefix, 0) == 0 && file.extension() == ".wav";
}

} // namespace recovery

using namespace recovery;

bool RecoveryFile::cutShort(const fs::path& file) {
    const std::string stem = file.stem().string();
    return stem.size() > std::strlen(kCutMark) &&
           stem.compare(stem.size() - std::strlen(kCutMark), std::string::npos, kCutMark) == 0;
}

std::time_t RecoveryFile::recordedAt(const fs::path& file) {
    // "take-<process>-<milliseconds since 1970>-<n>.wav"
    const std::string name = file.stem().string();
    const auto second = name.find('-', std::char_traits<char>::length(kPrefix));
    if (isOurName(file) && second != std::string::npos) {
        const long long ms = std::atoll(name.c_str() + second + 1);
        if (ms > 0)
            return std::time_t(ms / 1000);
    }
    std::error_code ec;
    const auto written = fs::last_write_time(file, ec);
    if (ec)
        return std::time(nullptr);
    return std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(
            std::chrono::file_clock::to_sys(written)));
}

std::string RecoveryFile::trashName(std::time_t recorded, std::uint64_t soundBytes) {
    const std::tm local = localTime(recorded);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H.%M.%S", &local);
    return std::string(when) + " " + lengthInWords(soundBytes, kBytesPerSecond) + ".wav";
}

std::optional<std::vector<std::uint8_t>> RecoveryFile::readTake(const fs::path& file) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec || size <= std::uintmax_t(kHeaderBytes) || size > 0x7fffffffu)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> image(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(image.data()), std::streamsize(size)))
        return std::nullopt;
    if (!isOurHeader(image.data()))
        return std::nullopt;
    WaveHeader header = WaveHeader::forNewTake();
    const std::uint64_t data = (size - kHeaderBytes) - (size - kHeaderBytes) % kFrameBytes;
    if (data == 0)
        return std::nullopt;
    image.resize(std::size_t(kHeaderBytes + data));
    header.setSizes(std::int32_t(image.size()));
    std::memcpy(image.data(), header.bytes.data(), kHeaderBytes);
    return image;
}

} // namespace engine
