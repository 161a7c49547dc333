#pragma once
// Makes the phone copy of one recording at a time on a thread of its own
// and tells the window thread when it is done. No widgets.

#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

namespace recordings {

class PhoneCopier final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~PhoneCopier() override;

    // False while another copy is being made.
    bool start(const QString& wav);
    bool busy() const { return busy_; }

signals:
    // `share` of the copy done, 0..1 (window thread).
    void progressed(double share);
    // `mp3` is the copy beside the recording; `bytes` its size.
    void finished(const QString& wav, const QString& mp3, bool ok, qint64 bytes,
                  const QString& error);

private:
    void join();

    bool busy_ = false;
    std::atomic<bool> cancel_{false};
    std::thread worker_;
};

} // namespace recordings
