#pragma once

#include "RecoveryFile.h"

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class LedgerDocument;
class LedgerStore;
class LedgerTable;
class MainWindow;

// Keeps a copy of unsaved work in Resource/Recovery so that a crash does not
// lose it. Each run has its own copy, <name>.json, and holds <name>.lock for
// as long as it runs, so that no other run offers it. The copy is written
// about 2 s after the last change, and at least every 30 s while changes go
// on; the window's thread only takes a snapshot of the ledger, a thread of
// the keeper's own writes it. Once nothing is unsaved (saved, another ledger
// opened, undone back) the copy goes, and a run that ends normally leaves
// none.
class RecoveryKeeper : public QObject
{
    Q_OBJECT

public:
    RecoveryKeeper(MainWindow *window, LedgerDocument &document, LedgerTable &rows, LedgerStore &store);
    ~RecoveryKeeper() override;

    // This run's copy.
    QString copyPath() const { return m_base + QStringLiteral(".json"); }
    // What the window's thread takes of the ledger as it stands, cheaply
    // (about 5 ms at 100,000 items): the items copied in id order, and the
    // table's order as the addresses of the id cells, which are only
    // compared, never followed, once off the window's thread.
    struct Capture
    {
        int32_t rate = 0;
        int32_t fee = 5;
        double rateOfDiscount = 0.0;
        QString filePath;
        QDateTime savedAt;
        std::vector<int32_t> ids;
        std::vector<AuctionItem> items;            // in the order of ids
        std::vector<const void *> keyCellsById;    // index: id
        std::vector<const void *> keyCellsByRow;   // top row first
    };
    Capture capture() const;
    // The copy's contents, rows in the table's order; on any thread.
    static RecoveryFile::Snapshot resolve(const Capture &capture);

    // The wait after the last change and the longest wait while changes go
    // on (2 s and 30 s unless set).
    void setDelays(int quietMs, int burstMs);

    // At start: offers the newest copy whose run is no longer there (its
    // lock is free or stale), before anything else. A copy that cannot be
    // read is said so and kept aside as <copy>.damaged.
    static void offerLeftWork(MainWindow *window);

private:
    struct Job
    {
        bool remove = false;
        Capture capture;
    };
    void documentChanged();
    void writeSoon();
    void queue(Job job);
    void work();
    void written(bool ok);

    MainWindow *m_window;
    LedgerDocument &m_document;
    LedgerTable &m_rows;
    LedgerStore &m_store;
    QString m_base;
    std::unique_ptr<QLockFile> m_lock;
    QTimer m_quiet; // restarted at each change
    QTimer m_burst; // not restarted: a long run of changes still gets written
    bool m_failureShown = false;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Job> m_pending; // only the latest counts
    bool m_stop = false;
    std::thread m_thread;
};
