#include "frmRecordings.h"

#include "FileNames.h"
#include "TakeNames.h"
#include "UserFolders.h"
#include "WindowUnits.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace recordings {
namespace {

QFont largePrint(double points, bool bold = true) {
    QFont f(QStringLiteral("宋体"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// "0.5 MB": sizes as phones and messaging apps show them.
QString sizeInWords(qint64 bytes) {
    return QStringLiteral("%1 MB").arg(std::max(0.1, double(bytes) / 1e6), 0, 'f', 1);
}

} // namespace

frmRecordings::Places frmRecordings::usersPlaces(bool simplified) {
    return {platform::recordingsFolder(simplified), platform::savedFolders(), homeTrash(),
            platform::suiteRecoveryFolders()};
}

frmRecordings::frmRecordings(audio::AudioLibrary& library, platform::Dialogs& dialogs,
                             platform::Shell* shell, Places places, bool simplified,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), shell_(shell), places_(std::move(places)),
      simplified_(simplified), shelf_(simplified), player_(library) {
    setObjectName(QStringLiteral("frmRecordings"));
    createControls();
    applyCaptions();
    connect(&shelf_, &RecordingShelf::listed, this, [this] {
        if (shelf_.rowCount() > 0 && !lstRecordings->currentIndex().isValid())
            lstRecordings->setCurrentIndex(shelf_.index(0));
        // What was just done (找回, the trash) stays said; only the word
        // that the folders are being read gives way.
        if (readingSaid_)
            say(shelf_.rowCount() == 0 ? text("这里还没有录音。", "這裡還沒有錄音。") : QString());
    });
    connect(&copier_, &PhoneCopier::progressed, this, [this](double share) {
        say(text("正在做发给家人的小文件……", "正在做發給家人的小檔案……") +
            QString::number(int(share * 100)) + QLatin1Char('%'));
    });
    connect(&copier_, &PhoneCopier::finished, this, &frmRecordings::copied);
    refresh();
}

frmRecordings::~frmRecordings() = default;

void frmRecordings::openFor(std::unique_ptr<frmRecordings>& slot, audio::AudioLibrary& library,
                            platform::Dialogs& dialogs, platform::Shell* shell, bool simplified,
                            QWidget* owner) {
    slot = std::make_unique<frmRecordings>(library, dialogs, shell, usersPlaces(simplified),
                                           simplified, owner);
    slot->show();
    slot->raise();
    slot->activateWindow();
}

QString frmRecordings::text(const char* simplified, const char* traditional) const {
    return QString::fromUtf8(simplified_ ? simplified : traditional);
}

QString frmRecordings::readingText() const {
    return text("正在读取录音……", "正在讀取錄音……");
}

void frmRecordings::createControls() {
    lblTitle = platform::named<QLabel>("lblTitle", this);
    lblTitle->setFont(largePrint(20));
    lstRecordings = platform::named<QListView>("lstRecordings", this);
    lstRecordings->setModel(&shelf_);
    lstRecordings->setFont(largePrint(16, false));
    lstRecordings->setUniformItemSizes(true); // a thousand rows lay out at once
    lstRecordings->setWordWrap(true);
    lstRecordings->setSpacing(4);
    lstRecordings->setAlternatingRowColors(true);
    lstRecordings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    cmdPlay = platform::named<QPushButton>("cmdPlay", this);
    cmdTrash = platform::named<QPushButton>("cmdTrash", this);
    cmdFolder = platform::named<QPushButton>("cmdFolder", this);
    cmdSend = platform::named<QPushButton>("cmdSend", this);
    lblLine = platform::named<QLabel>("lblLine", this);
    lblLine->setFont(largePrint(14));
    lblLine->setWordWrap(true);
    lblLine->setStyleSheet(QStringLiteral("color: rgb(0, 0, 160);"));
    lblTrashed = platform::named<QLabel>("lblTrashed", this);
    lblTrashed->setFont(largePrint(15));
    lstTrashed = platform::named<QListWidget>("lstTrashed", this);
    lstTrashed->setFont(largePrint(14, false));
    cmdRestore = platform::named<QPushButton>("cmdRestore", this);
    cmdClose = platform::named<QPushButton>("cmdClose", this);
    for (QPushButton* b : {cmdPlay, cmdTrash, cmdFolder, cmdSend, cmdRestore, cmdClose}) {
        b->setFont(largePrint(15.75));
        b->setMinimumHeight(48);
    }

    auto* actions = new QHBoxLayout;
    for (QPushButton* b : {cmdPlay, cmdTrash, cmdFolder, cmdSend})
        actions->addWidget(b);
    auto* trashRow = new QHBoxLayout;
    trashRow->addWidget(lstTrashed, 1);
    trashRow->addWidget(cmdRestore, 0, Qt::AlignTop);
    auto* all = new QVBoxLayout(this);
    all->addWidget(lblTitle);
    all->addWidget(lstRecordings, 3);
    all->addLayout(actions);
    all->addWidget(lblLine);
    all->addWidget(lblTrashed);
    all->addLayout(trashRow, 1);
    all->addWidget(cmdClose, 0, Qt::AlignRight);

    tmrPlay = new QTimer(this);
    tmrPlay->setInterval(200);
    connect(tmrPlay, &QTimer::timeout, this, &frmRecordings::showPlaying);
    connect(cmdPlay, &QPushButton::clicked, this, &frmRecordings::cmdPlay_Click);
    connect(cmdTrash, &QPushButton::clicked, this, &frmRecordings::cmdTrash_Click);
    connect(cmdFolder, &QPushButton::clicked, this, &frmRecordings::cmdFolder_Click);
    connect(cmdSend, &QPushButton::clicked, this, &frmRecordings::cmdSend_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &frmRecordings::cmdRestore_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(lstRecordings, &QListView::activated, this, &frmRecordings::cmdPlay_Click);

    // Large, but never larger than the screen it opens on.
    QSize wanted(760, 720);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() - QSize(40, 80));
    resize(wanted);
}

void frmRecordings::applyCaptions() {
    setWindowTitle(text("我的录音", "我的錄音"));
    lblTitle->setText(windowTitle());
    lstRecordings->setAccessibleName(windowTitle());
    cmdPlay->setText(text("播放", "播放"));
    cmdTrash->setText(text("放进回收站", "放進回收站"));
    cmdFolder->setText(text("打开所在文件夹", "打開所在資料夾"));
    cmdSend->setText(text("发给家人", "發給家人"));
    lblTrashed->setText(text("最近放进回收站的录音", "最近放進回收站的錄音"));
    lstTrashed->setAccessibleName(lblTrashed->text());
    cmdRestore->setText(text("找回", "找回"));
    cmdClose->setText(text("关闭", "關閉"));
    for (QPushButton* b : {cmdPlay, cmdTrash, cmdFolder, cmdSend, cmdRestore, cmdClose})
        b->setAccessibleName(b->text());
}

void frmRecordings::refresh() {
    QStringList folders{places_.recordings};
    folders << places_.savedTo;
    say(readingText());
    readingSaid_ = true;
    shelf_.scan(folders);
    listTrashed();
}

void frmRecordings::listTrashed() {
    trashed_ = trashedTakes(places_.trash, places_.thrownFrom);
    lstTrashed->clear();
    const std::time_t now = std::time(nullptr);
    for (const TrashedTake& t : trashed_) {
        const QString when =
            QString::fromStdString(engine::momentFromToday(t.recorded, now, simplified_));
        const QString length = secondsInWords(double(std::max<qint64>(0, t.bytes - 44)) / 176400);
        lstTrashed->addItem(when + QStringLiteral("　") + length);
    }
    if (!trashed_.empty())
        lstTrashed->setCurrentRow(0);
    cmdRestore->setEnabled(!trashed_.empty());
}

const Recording* frmRecordings::current() const {
    return shelf_.at(lstRecordings->currentIndex().row());
}

void frmRecordings::say(const QString& line) {
    readingSaid_ = false;
    lblLine->setText(line);
    lblLine->setAccessibleName(line);
}

void frmRecordings::cmdPlay_Click() {
    const Recording* r = current();
    const bool same = r && !player_.playing().empty() &&
                      QString::fromStdU16String(player_.playing().u16string()) == r->path;
    player_.stop();
    if (!r || same) { // 停
        showPlaying();
        return;
    }
    if (!player_.play(std::filesystem::path(r->path.toStdU16String())))
        say(text("这个文件不是能播放的录音。", "這個檔案不是能播放的錄音。"));
    showPlaying();
}

void frmRecordings::showPlaying() {
    const std::filesystem::path playing = player_.playing();
    const QString path = QString::fromStdU16String(playing.u16string());
    shelf_.setPlaying(path, player_.position(), player_.length());
    cmdPlay->setText(path.isEmpty() ? text("播放", "播放") : text("停", "停"));
    cmdPlay->setAccessibleName(cmdPlay->text());
    if (path.isEmpty())
        tmrPlay->stop();
    else if (!tmrPlay->isActive())
        tmrPlay->start();
}

void frmRecordings::hideEvent(QHideEvent* event) {
    player_.stop();
    showPlaying();
    QWidget::hideEvent(event);
}

void frmRecordings::cmdTrash_Click() {
    const Recording* r = current();
    if (!r)
        return;
    const QString path = r->path;
    const QString question =
        (simplified_
             ? QStringLiteral("把“%1”放进回收站吗？\n放进回收站以后，还可以从回收站里拿回来。")
             : QStringLiteral("把「%1」放進回收站嗎？\n放進回收站以後，還可以從回收站裡拿回來。"))
            .arg(r->name);
    dialogs_.ask(this, windowTitle(), question, [self = QPointer(this), path](bool yes) {
        if (yes && self)
            self->throwAway(path);
    });
}

void frmRecordings::throwAway(const QString& path) {
    if (QString::fromStdU16String(player_.playing().u16string()) == path) {
        player_.stop();
        showPlaying();
    }
    if (!platform::moveToTrash(path.toStdU16String())) {
        say(text("这段录音没能放进回收站。", "這段錄音沒能放進回收站。"));
        return;
    }
    refresh();
    say(text("已放进回收站。", "已放進回收站。"));
}

void frmRecordings::cmdFolder_Click() {
    if (const Recording* r = current(); r && shell_)
        shell_->showInFileManager(r->path);
}

void frmRecordings::cmdSend_Click() {
    const Recording* r = current();
    if (!r || r->state == Recording::State::Unreadable) {
        say(text("这个文件不是能播放的录音。", "這個檔案不是能播放的錄音。"));
        return;
    }
    if (!copier_.start(r->path))
        return; // one copy at a time; its progress is on the line
    say(text("正在做发给家人的小文件……", "正在做發給家人的小檔案……"));
}

void frmRecordings::copied(const QString&, const QString& mp3, bool ok, qint64 bytes,
                           const QString& error) {
    if (!ok) {
        say(text("没能做好发给家人的小文件：", "沒能做好發給家人的小檔案：") + error);
        return;
    }
    say((simplified_
             ? QStringLiteral("已做好发给家人的小文件“%1”（%2），在打开的文件夹里已经选好。")
             : QStringLiteral("已做好發給家人的小檔案「%1」（%2），在打開的資料夾裡已經選好。"))
            .arg(QFileInfo(mp3).fileName(), sizeInWords(bytes)));
    if (shell_)
        shell_->showInFileManager(mp3);
}

void frmRecordings::cmdRestore_Click() {
    const int row = lstTrashed->currentRow();
    if (row < 0 || row >= int(trashed_.size()))
        return;
    QString error;
    const QString back =
        restoreTake(trashed_[std::size_t(row)], places_.recordings, simplified_, &error);
    if (back.isEmpty()) {
        say(text("没能找回这段录音：", "沒能找回這段錄音：") + error);
        return;
    }
    refresh();
    say((simplified_ ? QStringLiteral("已找回：%1") : QStringLiteral("已找回：%1"))
            .arg(QFileInfo(back).completeBaseName()));
}

} // namespace recordings
