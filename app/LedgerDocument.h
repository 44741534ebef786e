#pragma once

#include "FileStamp.h"
#include "LedgerListener.h"
#include "LedgerTotals.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <cstdint>
#include <functional>

class LedgerStore;
class LedgerTable;
class QMainWindow;
class QMenu;
class QMenuBar;
class TotalsBar;
struct AuctionItem;

// The ledger as a document: it hears every change of the store, has the
// table show it, keeps the undo history of item changes, knows whether
// there is anything a save would write differently, and asks before such
// work would be lost (closing the window, opening another ledger, the end
// of the system's session).
class LedgerDocument : public QObject, public LedgerListener
{
    Q_OBJECT

public:
    // `insertTop` is how a new item's row comes in at the top of the table.
    LedgerDocument(QMainWindow *window, LedgerStore &store, LedgerTable &rows,
                   std::function<void(int32_t, const AuctionItem &)> insertTop);
    ~LedgerDocument() override;

    // Adds "편집" with undo and redo to the menu bar.
    QMenu *addEditMenu(QMenuBar *menuBar);
    QUndoStack &undoStack() { return m_undoStack; }
    // Where the totals are shown; they are kept up to date item by item.
    void setTotalsBar(TotalsBar *bar);
    const LedgerTotals &totals() const { return m_totals; }
    // The table shows other rows (a search): the totals become theirs,
    // `found` (those of every item while the table shows every row).
    void shownRowsChanged(const LedgerTotals &found);

    // The export command: the table as shown, in its row order, as a CSV
    // file for a spreadsheet. True when it was written.
    bool exportCsv();
    // The selected row as tab-separated cells on the clipboard.
    void copySelectedRow();

    bool isModified() const;
    // The file last saved to or loaded from; empty before either.
    QString filePath() const { return m_filePath; }

    // When there are unsaved changes, asks whether to save them first: into
    // the ledger's file when it has one, else through the save command. True
    // when the caller may go on (saved, or the user let them go). The
    // question says where the file's original will be kept, when it will.
    bool maybeSave();
    // The save command: asks for a file name (".json" added to a name typed
    // without an extension) and writes. True only when the ledger was written.
    bool save();
    // Writes the ledger to path without ever leaving a partial file there.
    // Over the ledger's own file it first keeps the original beside it when
    // the load could not take the file whole, and asks when someone else
    // has written the file since; the status bar says where anything went.
    bool saveTo(const QString &path);

    // Where the store's changes come from: the player (a registration, the
    // one change the store makes before the document hears of it), an undo
    // command doing or undoing its change, or a load.
    enum class Source { Player, Command, Load };
    // Sets where the store's changes come from while it lives and puts back
    // what was before when it goes, also when an exception leaves early.
    class SourceScope
    {
    public:
        SourceScope(LedgerDocument &document, Source source)
            : m_document(document)
            , m_previous(document.m_source)
        {
            document.m_source = source;
        }
        ~SourceScope() { m_document.m_source = m_previous; }
        SourceScope(const SourceScope &) = delete;
        SourceScope &operator=(const SourceScope &) = delete;

    private:
        LedgerDocument &m_document;
        const Source m_previous;
    };
    struct CommandScope : SourceScope
    {
        explicit CommandScope(LedgerDocument &document) : SourceScope(document, Source::Command) {}
    };
    // A load replaces the ledger: nothing it does is undoable, and once it
    // is done (endLoad) the ledger is the file's.
    struct LoadScope : SourceScope
    {
        explicit LoadScope(LedgerDocument &document) : SourceScope(document, Source::Load) {}
    };
    // `file*` are what the file holds, so that a ratio the load could not
    // take stays unsaved; `stamp` is the file as it was read. `tookWhole` is
    // false when the load skipped items or replaced settings: the file is
    // then kept beside itself before it is written over. Replaced settings
    // leave the ledger unsaved.
    void endLoad(const QString &path, const FileStamp &stamp, int32_t fileRate, int32_t fileFee,
                 double fileDiscount, bool tookWhole, bool settingsReplaced);
    // Work brought back from a run that ended without closing is unsaved
    // work on path (empty when it had no file yet); it takes a load's place.
    void endRecovery(const QString &path);

    // The player's deletes and cell edits, as undoable commands. An edit is
    // false when it changes no field of the item.
    void deleteItem(int32_t id);
    bool editItem(int32_t id, const AuctionItem &after);

    void itemAdded(int32_t id, const AuctionItem &item) override;
    void itemRestored(int32_t id, const AuctionItem &item, int position) override;
    void itemRemoved(int32_t id, const AuctionItem &item) override;
    void itemChanged(int32_t id, const AuctionItem &before, const AuctionItem &after) override;
    void itemsCleared() override;
    void settingChanged(LedgerSetting setting) override;

signals:
    // The ledger or its saved state may have changed: isModified() tells.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Settings
    {
        int32_t rate = 0;
        int32_t fee = 5;
        double rateOfDiscount = 0.0;
        bool operator==(const Settings &other) const
        {
            return rate == other.rate && fee == other.fee && rateOfDiscount == other.rateOfDiscount;
        }
    };
    Settings currentSettings() const;
    void showAddedRow(int32_t id);
    void updateTitle();
    void showTotals();
    void markClean(const QString &path, const Settings &saved, const FileStamp &stamp);
    // Where a save to path keeps the file's original first; empty when the
    // file needs no keeping.
    QString originalToKeep(const QString &path) const;
    bool write(QString path, QString original);
    void tell(const QString &text);

    QMainWindow *m_window;
    LedgerStore &m_store;
    LedgerTable &m_rows;
    std::function<void(int32_t, const AuctionItem &)> m_insertTop;
    QUndoStack m_undoStack;
    LedgerTotals m_totals;
    // Of the rows shown, while a search hides some.
    LedgerTotals m_shownTotals;
    TotalsBar *m_totalsBar = nullptr;
    const QString m_baseTitle;
    QString m_filePath;
    // What a save wrote or a load read; the settings live outside the undo
    // history, so they are compared with these.
    Settings m_savedSettings;
    // The ledger's file as this program last read or wrote it (null when
    // not known, as for work brought back after a crash).
    FileStamp m_fileStamp;
    // The file holds what the ledger does not: items or settings the load
    // could not take, or, after a crash, whatever it held by then.
    bool m_keepOriginal = false;
    // The load replaced a setting of the file: unsaved until saved.
    bool m_settingsReplaced = false;
    Source m_source = Source::Player;
};
