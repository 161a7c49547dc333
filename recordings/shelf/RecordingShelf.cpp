#include "RecordingShelf.h"

#include "TakeNames.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace recordings {
namespace {

constexpr int kBatch = 64;

// How long a file plays, or nothing when libsndfile cannot read it as sound.
bool soundLength(const QString& path, double& seconds) {
    SF_INFO info{};
#ifdef _WIN32
    SNDFILE* f = sf_wchar_open(reinterpret_cast<const wchar_t*>(path.utf16()), SFM_READ, &info);
#else
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
#endif
    if (!f)
        return false;
    sf_close(f);
    if (info.samplerate <= 0)
        return false;
    seconds = double(info.frames) / info.samplerate;
    return true;
}

QString clockText(double seconds) {
    const int s = int(seconds);
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QString secondsInWords(double seconds) {
    return QString::fromStdString(
        engine::lengthInWords(std::uint64_t(std::llround(seconds * 1000)), 1000));
}

RecordingShelf::RecordingShelf(bool simplified, QObject* parent)
    : QAbstractListModel(parent), simplified_(simplified) {}

RecordingShelf::~RecordingShelf() {
    stopWorker();
}

void RecordingShelf::stopWorker() {
    cancel_ = true;
    if (worker_.joinable())
        worker_.join();
    cancel_ = false;
}

void RecordingShelf::scan(const QStringList& folders) {
    stopWorker();
    const unsigned generation = ++generation_;
    scanning_ = true;
    // The thread posts its results to this object; the destructor joins it
    // first, so nothing is posted to an object that is gone.
    worker_ = std::thread([this, folders, generation] {
        std::vector<Recording> list;
        QSet<QString> seen;
        for (const QString& folder : folders) {
            const QDir dir(folder);
            for (const QFileInfo& file :
                 dir.entryInfoList({QStringLiteral("*.wav")}, QDir::Files, QDir::Time)) {
                const QString path = file.canonicalFilePath();
                if (path.isEmpty() || seen.contains(path))
                    continue;
                seen.insert(path);
                Recording r;
                r.path = file.absoluteFilePath();
                r.name = file.completeBaseName();
                r.modified = std::time_t(file.lastModified().toSecsSinceEpoch());
                r.bytes = file.size();
                list.push_back(std::move(r));
            }
            if (cancel_)
                return;
        }
        std::stable_sort(list.begin(), list.end(), [](const Recording& a, const Recording& b) {
            return a.modified > b.modified;
        });
        std::vector<QString> paths;
        paths.reserve(list.size());
        for (const Recording& r : list)
            paths.push_back(r.path);
        QMetaObject::invokeMethod(
            this,
            [this, generation, list = std::move(list)]() mutable {
                takeList(generation, std::move(list));
            },
            Qt::QueuedConnection);
        std::vector<Length> batch;
        for (int row = 0; row < int(paths.size()) && !cancel_; ++row) {
            double seconds = 0;
            const bool readable = soundLength(paths[std::size_t(row)], seconds);
            batch.push_back({row, seconds, readable});
            if (int(batch.size()) == kBatch || row + 1 == int(paths.size())) {
                QMetaObject::invokeMethod(
                    this, [this, generation, batch] { takeLengths(generation, batch); },
                    Qt::QueuedConnection);
                batch.clear();
            }
        }
        if (paths.empty())
            QMetaObject::invokeMethod(
                this, [this, generation] { takeLengths(generation, {}); }, Qt::QueuedConnection);
    });
}

void RecordingShelf::takeList(unsigned generation, std::vector<Recording> list) {
    if (generation != generation_)
        return;
    beginResetModel();
    rows_ = std::move(list);
    endResetModel();
    emit listed();
}

void RecordingShelf::takeLengths(unsigned generation, const std::vector<Length>& lengths) {
    if (generation != generation_)
        return;
    for (const Length& l : lengths) {
        Recording& r = rows_[std::size_t(l.row)];
        r.seconds = l.seconds;
        r.state = l.readable ? Recording::State::Readable : Recording::State::Unreadable;
    }
    if (!lengths.empty())
        emit dataChanged(index(lengths.front().row), index(lengths.back().row));
    if (lengths.empty() || lengths.back().row + 1 == int(rows_.size())) {
        scanning_ = false;
        emit scanned();
    }
}

const Recording* RecordingShelf::at(int row) const {
    return row >= 0 && row < int(rows_.size()) ? &rows_[std::size_t(row)] : nullptr;
}

int RecordingShelf::rowOf(const QString& path) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].path == path)
            return int(i);
    return -1;
}

void RecordingShelf::setPlaying(const QString& path, double position, double length) {
    const QString before = playing_;
    playing_ = path;
    position_ = position;
    length_ = length;
    for (const QString& p : {before, path}) {
        const int row = rowOf(p);
        if (row >= 0)
            emit dataChanged(index(row), index(row));
    }
}

int RecordingShelf::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

QString RecordingShelf::rowText(const Recording& r, bool oneLine) const {
    const bool s = simplified_;
    QString about =
        QString::fromStdString(engine::momentFromToday(r.modified, std::time(nullptr), s));
    switch (r.state) {
    case Recording::State::Reading:
        break;
    case Recording::State::Readable:
        about += QStringLiteral("　") + secondsInWords(r.seconds);
        break;
    case Recording::State::Unreadable:
        about +=
            s ? QStringLiteral("　不是能播放的录音文件") : QStringLiteral("　不是能播放的錄音檔案");
        break;
    }
    if (!playing_.isEmpty() && r.path == playing_)
        about += QStringLiteral("　▶ %1 / %2").arg(clockText(position_), clockText(length_));
    return r.name + (oneLine ? QStringLiteral("，") : QStringLiteral("\n")) + about;
}

QVariant RecordingShelf::data(const QModelIndex& index, int role) const {
    const Recording* r = at(index.row());
    if (!r)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return rowText(*r, false);
    case Qt::AccessibleTextRole:
        return rowText(*r, true);
    case Qt::ToolTipRole:
        return QDir::toNativeSeparators(r->path);
    default:
        return {};
    }
}

} // namespace recordings
