#pragma once
// "我的录音" without its widgets: every recording in the user's recordings
// folder and in each folder she has saved to, newest first, one row each
// in words (its name; when, "今天 下午2点06分"; how long, "1分05秒"). The
// folders are read on a thread of their own: the rows appear at once with
// their names and dates, their lengths follow in batches, and the window
// thread only ever takes a finished batch.

#include <QAbstractListModel>
#include <QString>
#include <QStringList>

#include <atomic>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

namespace recordings {

struct Recording {
    enum class State { Reading, Readable, Unreadable };
    QString path;
    QString name; // without ".wav"
    std::time_t modified = 0;
    qint64 bytes = 0;
    double seconds = 0;
    State state = State::Reading;
};

class RecordingShelf final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit RecordingShelf(bool simplified, QObject* parent = nullptr);
    ~RecordingShelf() override;

    // Reads `folders` afresh (a folder named twice, or missing, is fine).
    void scan(const QStringList& folders);
    bool scanning() const { return scanning_; }

    const Recording* at(int row) const;
    int rowOf(const QString& path) const;
    // The row that plays shows how far it is: "▶ 0:12 / 1:05".
    void setPlaying(const QString& path, double position, double length);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // One row as the list shows it, in two lines, and as a reader says it.
    QString rowText(const Recording& r, bool oneLine) const;

signals:
    // The first rows are there (names and dates; lengths follow).
    void listed();
    // Every length is known.
    void scanned();

private:
    struct Length {
        int row;
        double seconds;
        bool readable;
    };
    void takeList(unsigned generation, std::vector<Recording> list);
    void takeLengths(unsigned generation, const std::vector<Length>& lengths);
    void stopWorker();

    bool simplified_;
    std::vector<Recording> rows_;
    QString playing_;
    double position_ = 0, length_ = 0;
    bool scanning_ = false;
    unsigned generation_ = 0;         // window thread: the scan whose rows are shown
    std::atomic<bool> cancel_{false}; // the worker stops at its next file
    std::thread worker_;
};

// How long, in words: "1分05秒".
QString secondsInWords(double seconds);

} // namespace recordings
