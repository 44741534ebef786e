#include "RecoveryKeeper.h"

#include "AppFolders.h"
#include "LedgerDocument.h"
#include "LedgerFile.h"
#include "LedgerStore.h"
#include "LedgerTable.h"
#include "MainWindow.h"
#include "Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStatusBar>
#include "MyTableWidget.h"

#include <algorithm>
#include <unordered_map>

namespace {

constexpr int quietMs = 2000;
constexpr int burstMs = 30000;

QString lockPathOf(const QString &copy)
{
    return copy.left(copy.size() - int(qstrlen(".json"))) + QStringLiteral(".lock");
}

// Puts a copy that could not be read out of the way, under a name no run
// looks for.
void keepAside(const QString &copy)
{
    QString aside = copy + QStringLiteral(".damaged");
    for (int n = 1; QFile::exists(aside); ++n)
        aside = copy + QStringLiteral(".damaged%1").arg(n);
    if (!QFile::rename(copy, aside))
        QFile::remove(copy);
}

// Takes the lock of another run when that run is gone.
bool takeLockOfGoneRun(QLockFile &lock)
{
    lock.setStaleLockTime(0);
    // A lock in our own process id is not ours (ours is named after our
    // start): its run is gone and its id came round again, as it does
    // when Wine starts afresh after its server was ended.
    qint64 pid = 0;
    QString host, application;
    if (lock.getLockInfo(&pid, &host, &application) && pid == QCoreApplication::applicationPid())
        lock.removeStaleLockFile();
    // Held: its run is still there.
    return lock.tryLock(0);
}

// A run that ended without closing and with nothing unsaved left its lock
// and no copy: nothing to offer, so the lock goes.
void removeLocksOfGoneRuns(const QDir &directory, const QString &ours)
{
    for (const QFileInfo &info : directory.entryInfoList({QStringLiteral("run-*.lock")}, QDir::Files)) {
        const QString path = info.absoluteFilePath();
        if (path == ours || QFileInfo::exists(path.left(path.size() - int(qstrlen(".lock"))) + QStringLiteral(".json")))
            continue;
        QLockFile lock(path);
        if (takeLockOfGoneRun(lock))
            lock.unlock();
    }
}

} // namespace

RecoveryKeeper::RecoveryKeeper(MainWindow *window, LedgerDocument &document, LedgerTable &rows, LedgerStore &store)
    : QObject(window)
    , m_window(window)
    , m_document(document)
    , m_rows(rows)
    , m_store(store)
{
    setObjectName(QStringLiteral("recoveryKeeper"));
    const QString directory = AppFolders::recoveryDirectory();
    QDir().mkpath(directory);
    m_base = directory + QStringLiteral("/run-%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddhhmmsszzz")));
    m_lock.reset(new QLockFile(m_base + QStringLiteral(".lock")));
    // Only a lock whose process is gone is stale, never an old one.
    m_lock->setStaleLockTime(0);
    m_lock->tryLock(0);

    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    m_burst.setSingleShot(true);
    m_burst.setInterval(burstMs);
    connect(&m_quiet, &QTimer::timeout, this, &RecoveryKeeper::writeSoon);
    connect(&m_burst, &QTimer::timeout, this, &RecoveryKeeper::writeSoon);
    connect(&document, &LedgerDocument::changed, this, &RecoveryKeeper::documentChanged);
    m_thread = std::thread([this] { work(); });
}

RecoveryKeeper::~RecoveryKeeper()
{
    // A run that ends as it should leaves no copy.
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_pending = Job{true, {}};
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void RecoveryKeeper::setDelays(int quietMs, int burstMs)
{
    m_quiet.setInterval(quietMs);
    m_burst.setInterval(burstMs);
}

void RecoveryKeeper::documentChanged()
{
    if (m_document.isModified()) {
        m_quiet.start();
        if (!m_burst.isActive())
            m_burst.start();
        return;
    }
    m_quiet.stop();
    m_burst.stop();
    queue(Job{true, {}});
}

RecoveryKeeper::Capture RecoveryKeeper::capture() const
{
    Capture capture;
    capture.rate = m_store.rate;
    capture.fee = m_store.fee;
    capture.rateOfDiscount = m_store.rateOfDiscount;
    capture.filePath = m_document.filePath();
    capture.savedAt = QDateTime::currentDateTimeUtc();
    const auto &items = m_store.items();
    capture.ids.reserve(items.size());
    capture.items.reserve(items.size());
    for (const auto &entry : items) {
        capture.ids.push_back(entry.first);
        capture.items.push_back(entry.second);
    }
    const auto &cells = m_rows.keyCells();
    capture.keyCellsById.assign(cells.begin(), cells.end());
    const QTableWidget *table = m_window->table();
    const int rowCount = table->rowCount();
    capture.keyCellsByRow.reserve(static_cast<size_t>(rowCount));
    for (int row = 0; row < rowCount; ++row)
        capture.keyCellsByRow.push_back(table->item(row, 0));
    return capture;
}

RecoveryFile::Snapshot RecoveryKeeper::resolve(const Capture &capture)
{
    RecoveryFile::Snapshot snapshot;
    snapshot.rate = capture.rate;
    snapshot.fee = capture.fee;
    snapshot.rateOfDiscount = capture.rateOfDiscount;
    snapshot.filePath = capture.filePath;
    snapshot.savedAt = capture.savedAt;
    std::unordered_map<const void *, int32_t> idOfCell;
    idOfCell.reserve(capture.keyCellsById.size());
    for (size_t id = 0; id < capture.keyCellsById.size(); ++id)
        if (capture.keyCellsById[id])
            idOfCell.emplace(capture.keyCellsById[id], static_cast<int32_t>(id));
    snapshot.rows.reserve(capture.keyCellsByRow.size());
    for (const void *cell : capture.keyCellsByRow) {
        const auto found = idOfCell.find(cell);
        if (found == idOfCell.end())
            continue;
        const auto at = std::lower_bound(capture.ids.begin(), capture.ids.end(), found->second);
        if (at != capture.ids.end() && *at == found->second)
            snapshot.rows.push_back(capture.items[static_cast<size_t>(at - capture.ids.begin())]);
    }
    return snapshot;
}

void RecoveryKeeper::writeSoon()
{
    m_quiet.stop();
    m_burst.stop();
    if (m_document.isModified())
        queue(Job{false, capture()});
}

void RecoveryKeeper::queue(Job job)
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_pending = std::move(job);
    }
    m_wake.notify_one();
}

void RecoveryKeeper::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_pending; });
        if (!m_pending)
            return;
        Job job = std::move(*m_pending);
        m_pending.reset();
        lock.unlock();
        if (job.remove) {
            QFile::remove(copyPath());
        } else {
            const bool ok = RecoveryFile::write(resolve(job.capture), copyPath());
            QMetaObject::invokeMethod(this, [this, ok] { written(ok); }, Qt::QueuedConnection);
        }
        lock.lock();
    }
}

void RecoveryKeeper::written(bool ok)
{
    if (ok) {
        m_failureShown = false;
        return;
    }
    // Once, until a copy is written again; the program goes on.
    if (m_failureShown)
        return;
    m_failureShown = true;
    m_window->statusBar()->showMessage(
        QString::fromUtf8("복구용 사본을 저장하지 못했습니다: %1").arg(QDir::toNativeSeparators(AppFolders::recoveryDirectory())),
        10000);
}

void RecoveryKeeper::offerLeftWork(MainWindow *window)
{
    const QDir directory(AppFolders::recoveryDirectory());
    const RecoveryKeeper *ours = window->findChild<RecoveryKeeper *>();
    removeLocksOfGoneRuns(directory, ours ? QFileInfo(ours->m_base + QStringLiteral(".lock")).absoluteFilePath()
                                          : QString());
    const QFileInfoList copies =
        directory.entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Time);
    for (const QFileInfo &info : copies) {
        const QString copy = info.absoluteFilePath();
        QLockFile lock(lockPathOf(copy));
        if (!takeLockOfGoneRun(lock))
            continue;
        RecoveryFile::Snapshot left;
        const RecoveryFile::ReadResult result = RecoveryFile::read(copy, left);
        if (result == RecoveryFile::ReadResult::Missing)
            continue;
        if (result == RecoveryFile::ReadResult::Damaged) {
            keepAside(copy);
            Prompt::error(window, QString::fromUtf8("지난 실행에서 저장하지 않은 작업을 복구하지 못했습니다.\n"
                                                    "복구 파일이 손상되어 %1(으)로 옮겨 두었습니다.")
                                      .arg(QDir::toNativeSeparators(QFileInfo(copy).fileName()
                                                                    + QStringLiteral(".damaged"))));
            continue;
        }
        const QString when = left.savedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QString file = left.filePath.isEmpty() ? QString::fromUtf8("(저장한 적 없는 새 장부)")
                                                     : QDir::toNativeSeparators(left.filePath);
        const QString question = QString::fromUtf8("지난 실행에서 저장하지 않은 작업이 발견되었습니다.\n"
                                                   "기록 시각: %1\n파일: %2\n복구하시겠습니까?")
                                     .arg(when, file);
        if (Prompt::askToRecover(window, question)) {
            LedgerFile::Contents contents;
            contents.rate = left.rate;
            contents.fee = left.fee;
            contents.rateOfDiscount = left.rateOfDiscount;
            for (auto it = left.rows.rbegin(); it != left.rows.rend(); ++it)
                contents.items.push_back({it->name, it->cashPrice, it->mesoPrice, it->isUseMileage});
            window->restoreLedger(contents, left.filePath);
            // This run's copy takes the place of the old one at once.
            if (auto *keeper = window->findChild<RecoveryKeeper *>())
                keeper->writeSoon();
            QFile::remove(copy);
            return;
        }
        QFile::remove(copy);
    }
}
