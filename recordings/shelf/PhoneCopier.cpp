#include "PhoneCopier.h"

#include "PhoneCopy.h"

#include <QFileInfo>

#include <chrono>

namespace recordings {

PhoneCopier::~PhoneCopier() {
    cancel_ = true;
    join();
}

void PhoneCopier::join() {
    if (worker_.joinable())
        worker_.join();
}

bool PhoneCopier::start(const QString& wav) {
    if (busy_)
        return false;
    join();
    busy_ = true;
    cancel_ = false;
    // The thread posts to this object; the destructor joins it first.
    worker_ = std::thread([this, wav] {
        const std::filesystem::path in(wav.toStdU16String());
        const std::filesystem::path out = phoneCopyPath(in);
        auto last = std::chrono::steady_clock::now();
        const auto result = writePhoneCopy(
            in, out,
            [this, &last](double share) {
                const auto now = std::chrono::steady_clock::now();
                if (now - last < std::chrono::milliseconds(200))
                    return;
                last = now;
                QMetaObject::invokeMethod(
                    this, [this, share] { emit progressed(share); }, Qt::QueuedConnection);
            },
            &cancel_);
        const QString mp3 = QString::fromStdU16String(out.u16string());
        const qint64 bytes = result.ok ? QFileInfo(mp3).size() : 0;
        const QString error = QString::fromStdString(result.error);
        QMetaObject::invokeMethod(
            this,
            [this, wav, mp3, ok = result.ok, bytes, error] {
                busy_ = false;
                emit finished(wav, mp3, ok, bytes, error);
            },
            Qt::QueuedConnection);
    });
    return true;
}

} // namespace recordings
