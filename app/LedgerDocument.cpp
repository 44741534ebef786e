#include "LedgerDocument.h"

#include "AppFolders.h"
#include "AuctionRows.h"
#include "CsvExport.h"
#include "JsonFileIo.h"
#include "LedgerCommands.h"
#include "LedgerFile.h"
#include "LedgerStore.h"
#include "LedgerTable.h"
#include "ProfitMath.h"
#include "Prompt.h"
#include "TotalsBar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include <algorithm>

namespace {

QString actionText(const char *verb, const QString &what)
{
    const QString text = QString::fromUtf8(verb);
    return what.isEmpty() ? text : text + QStringLiteral(": ") + what;
}

// What the names of the files a save leaves beside a ledger say: the
// original that was there, or this window's ledger saved beside a file that
// someone else changed.
const char *const originalLabel = "원본";
const char *const besideLabel = "사본";

bool sameFile(const QString &a, const QString &b)
{
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a) == QFileInfo(b);
}

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// A text field with the keyboard focus keeps its own undo and redo.
QLineEdit *focusedTextField()
{
    return qobject_cast<QLineEdit *>(QApplication::focusWidget());
}

} // namespace

LedgerDocument::LedgerDocument(QMainWindow *window, LedgerStore &store, LedgerTable &rows,
                               std::function<void(int32_t, const AuctionItem &)> insertTop)
    : QObject(window)
    , m_window(window)
    , m_store(store)
    , m_rows(rows)
    , m_insertTop(std::move(insertTop))
    , m_baseTitle(window->windowTitle())
    , m_savedSettings(currentSettings())
{
    m_store.setListener(this);
    window->installEventFilter(this);
    connect(&m_undoStack, &QUndoStack::indexChanged, this, [this] { updateTitle(); });
}

LedgerDocument::~LedgerDocument()
{
    // The history is emptied on the way out and would announce it.
    m_undoStack.blockSignals(true);
    if (LedgerStore::exists())
        LedgerStore::instance().setListener(nullptr);
}

QMenu *LedgerDocument::addEditMenu(QMenuBar *menuBar)
{
    QMenu *menu = menuBar->addMenu(QString::fromUtf8("편집"));
    auto *undo = menu->addAction(QString());
    undo->setShortcuts(QKeySequence::Undo);
    auto *redo = menu->addAction(QString());
    redo->setShortcuts({QKeySequence(Qt::CTRL + Qt::Key_Y), QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_Z)});
    const auto refresh = [this, undo, redo] {
        undo->setText(actionText("실행 취소", m_undoStack.canUndo() ? m_undoStack.undoText() : QString()));
        undo->setEnabled(m_undoStack.canUndo());
        redo->setText(actionText("다시 실행", m_undoStack.canRedo() ? m_undoStack.redoText() : QString()));
        redo->setEnabled(m_undoStack.canRedo());
    };
    refresh();
    connect(&m_undoStack, &QUndoStack::indexChanged, menu, refresh);
    connect(&m_undoStack, &QUndoStack::cleanChanged, menu, refresh);
    connect(undo, &QAction::triggered, this, [this] {
        if (QLineEdit *field = focusedTextField())
            field->undo();
        else {
            m_rows.closeEditor();
            m_undoStack.undo();
        }
    });
    connect(redo, &QAction::triggered, this, [this] {
        if (QLineEdit *field = focusedTextField())
            field->redo();
        else {
            m_rows.closeEditor();
            m_undoStack.redo();
        }
    });
    return menu;
}

void LedgerDocument::setTotalsBar(TotalsBar *bar)
{
    m_totalsBar = bar;
    m_totals.recount(m_store.items());
    showTotals();
}

void LedgerDocument::showTotals()
{
    if (!m_totalsBar)
        return;
    if (!m_rows.isFiltered()) {
        m_totalsBar->setTotals(m_totals);
        return;
    }
    LedgerTotals found = m_shownTotals;
    found.setFoundAmong(m_totals.itemCount());
    m_totalsBar->setTotals(found);
}

void LedgerDocument::shownRowsChanged(const LedgerTotals &found)
{
    m_shownTotals = m_rows.isFiltered() ? found : LedgerTotals();
    showTotals();
}

bool LedgerDocument::exportCsv()
{
    const QString ledgerDirectory = AppFolders::ledgerDirectory();
    QDir().mkdir(ledgerDirectory);
    const QString path = Prompt::saveFileName(m_window, QString::fromUtf8("CSV로 내보내기"),
                                              ledgerDirectory, QString::fromUtf8("CSV 파일 (*.csv)"),
                                              QStringLiteral("csv"));
    if (path.isEmpty())
        return false;
    const std::vector<CsvExport::Row> rows = m_rows.itemsInRowOrder();
    if (!CsvExport::writeFile(path, rows)) {
        Prompt::error(m_window, QString::fromUtf8("CSV 파일 저장 실패!"));
        return false;
    }
    // The rows shown, which a search may have made fewer than the ledger's.
    tell(QString::fromUtf8("CSV로 아이템 %1개를 내보냈습니다: %2")
             .arg(QString::fromLatin1(ProfitMath::formatThousands(static_cast<int64_t>(rows.size()))),
                  QFileInfo(path).fileName()));
    return true;
}

void LedgerDocument::copySelectedRow()
{
    const int32_t id = m_rows.currentId();
    if (const AuctionItem *item = m_store.findItem(id))
        QGuiApplication::clipboard()->setText(CsvExport::tabSeparatedRow(id, *item));
}

LedgerDocument::Settings LedgerDocument::currentSettings() const
{
    return {m_store.rate, m_store.fee, m_store.rateOfDiscount};
}

bool LedgerDocument::isModified() const
{
    return m_settingsReplaced || !m_undoStack.isClean() || !(currentSettings() == m_savedSettings);
}

void LedgerDocument::updateTitle()
{
    const bool modified = isModified();
    QString title = m_baseTitle;
    if (!m_filePath.isEmpty())
        title = QFileInfo(m_filePath).fileName() + QStringLiteral(" - ") + title;
    // Before the first change and file the title is the program's alone.
    if (modified || !m_filePath.isEmpty())
        title += QStringLiteral("[*]");
    m_window->setWindowTitle(title);
    m_window->setWindowModified(modified);
    emit changed();
}

void LedgerDocument::markClean(const QString &path, const Settings &saved, const FileStamp &stamp)
{
    m_filePath = path;
    m_fileStamp = stamp;
    m_keepOriginal = false;
    m_settingsReplaced = false;
    m_savedSettings = saved;
    m_undoStack.setClean();
    updateTitle();
}

bool LedgerDocument::maybeSave()
{
    if (!isModified())
        return true;
    QString question = QString::fromUtf8("저장하지 않은 변경 사항이 있습니다.\n"
                                         "변경 사항을 저장하시겠습니까?");
    const QString original = originalToKeep(m_filePath);
    if (!original.isEmpty())
        question += QString::fromUtf8("\n\n파일에 이 창이 불러오지 못한 것이 있어, 저장하기 전에 원래 파일을 "
                                      "같은 폴더에 %1(으)로 남겨 둡니다.")
                        .arg(QFileInfo(original).fileName());
    switch (Prompt::askToSave(m_window, question)) {
    case Prompt::SaveAnswer::Save:
        // A ledger that has a file goes back into it; only a new one asks
        // for a name. A failed write has said so, and nothing goes on.
        return m_filePath.isEmpty() ? save() : write(m_filePath, original);
    case Prompt::SaveAnswer::Discard:
        return true;
    case Prompt::SaveAnswer::Cancel:
        break;
    }
    return false;
}

bool LedgerDocument::save()
{
    const QString ledgerDirectory = AppFolders::ledgerDirectory();
    QDir().mkdir(ledgerDirectory);
    // The folder of the ledger last saved or opened. Not its name: offered
    // a name, the Windows dialog under Wine wrote the next save over that
    // file whatever name was typed, and an overwritten ledger is lost work.
    const QString start = m_filePath.isEmpty() ? ledgerDirectory : QFileInfo(m_filePath).absolutePath();
    // A name typed without an extension gets ".json": what is saved is what
    // the open dialog lists.
    const QString path = Prompt::saveFileName(m_window, QString::fromUtf8("파일 선택"), start,
                                              QStringLiteral("Files (*.json)"), QStringLiteral("json"));
    if (path.isEmpty())
        return false;
    return saveTo(path);
}

bool LedgerDocument::saveTo(const QString &path)
{
    return write(path, originalToKeep(path));
}

QString LedgerDocument::originalToKeep(const QString &path) const
{
    if (!m_keepOriginal || !sameFile(path, m_filePath) || !QFileInfo(path).isFile())
        return QString();
    return freeNameBeside(path, QString::fromUtf8(originalLabel), QDateTime::currentDateTime());
}

bool LedgerDocument::write(QString path, QString original)
{
    const QString saveFailed = QString::fromUtf8("파일 저장 실패!");
    // Someone else (another window, another program) wrote the ledger's
    // file since this window read or wrote it: their work is not written
    // over unless the player says so.
    QString savedBeside;
    if (sameFile(path, m_filePath) && !m_fileStamp.isNull() && QFileInfo(path).isFile()
        && !m_fileStamp.matches(path)) {
        const QString beside = freeNameBeside(path, QString::fromUtf8(besideLabel), QDateTime::currentDateTime());
        const QString question
            = QString::fromUtf8("%1 파일이 이 창에서 열거나 저장한 뒤에 바뀌었습니다. 다른 창이나 프로그램이 "
                                "저장했을 수 있습니다.\n\n"
                                "새 이름으로 저장: 바뀐 파일은 그대로 두고, 이 장부를 같은 폴더에 %2(으)로 "
                                "저장합니다.\n"
                                "덮어쓰기: 바뀐 파일 대신 이 장부를 저장합니다.")
                  .arg(QFileInfo(path).fileName(), QFileInfo(beside).fileName());
        switch (Prompt::askAboutChangedFile(m_window, question)) {
        case Prompt::ChangedFileAnswer::SaveBeside:
            path = savedBeside = beside;
            original.clear();
            break;
        case Prompt::ChangedFileAnswer::Overwrite:
            break;
        case Prompt::ChangedFileAnswer::Cancel:
            return false;
        }
    }
    // The original first: without it nothing is written over.
    if (!original.isEmpty()) {
        if (QFileInfo::exists(original))
            original = freeNameBeside(path, QString::fromUtf8(originalLabel), QDateTime::currentDateTime());
        if (!QFile::copy(path, original)) {
            Prompt::error(m_window, saveFailed);
            return false;
        }
    }
    const auto produce = [this](JsonFileIo::Writer &out) {
        return LedgerFile::write(out, m_store.rate, m_store.fee, m_store.rateOfDiscount, m_store.items());
    };
    FileStamp stamp;
    if (!JsonFileIo::instance().writeLedgerFile(produce, path, &stamp)) {
        Prompt::error(m_window, saveFailed);
        return false;
    }
    markClean(path, currentSettings(), stamp);
    if (!original.isEmpty())
        tell(QString::fromUtf8("원래 파일을 %1에 남겨 두었습니다.").arg(shownPath(original)));
    if (!savedBeside.isEmpty())
        tell(QString::fromUtf8("바뀐 파일은 그대로 두고 %1에 저장했습니다.").arg(shownPath(savedBeside)));
    return true;
}

void LedgerDocument::tell(const QString &text)
{
    m_window->statusBar()->showMessage(text, 15000);
}

void LedgerDocument::endLoad(const QString &path, const FileStamp &stamp, int32_t fileRate, int32_t fileFee,
                             double fileDiscount, bool tookWhole, bool settingsReplaced)
{
    // The ids start again; no undo may reach back into the ledger before.
    m_undoStack.clear();
    showTotals();
    markClean(path, {fileRate, fileFee == 3 ? 3 : 5, std::max(0.0, fileDiscount)}, stamp);
    m_keepOriginal = !tookWhole;
    m_settingsReplaced = settingsReplaced;
    updateTitle();
}

void LedgerDocument::endRecovery(const QString &path)
{
    m_undoStack.clear();
    showTotals();
    m_filePath = path;
    m_savedSettings = currentSettings();
    // What the file holds now is not known: it is kept before it is
    // written over, and there is nothing to compare it with.
    m_fileStamp = FileStamp();
    m_keepOriginal = !path.isEmpty();
    m_settingsReplaced = false;
    // No state of the history is the file's: unsaved until saved.
    m_undoStack.resetClean();
    updateTitle();
}

void LedgerDocument::deleteItem(int32_t id)
{
    if (const AuctionItem *item = m_store.findItem(id))
        m_undoStack.push(new DeleteItemCommand(*this, m_store, id, *item, m_rows.rowOf(id)));
}

bool LedgerDocument::editItem(int32_t id, const AuctionItem &after)
{
    const AuctionItem *before = m_store.findItem(id);
    if (!before || (before->name == after.name && before->cashPrice == after.cashPrice
                    && before->mesoPrice == after.mesoPrice))
        return false;
    m_undoStack.push(new EditItemCommand(*this, m_store, id, *before, after));
    return true;
}

void LedgerDocument::itemAdded(int32_t id, const AuctionItem &item)
{
    m_insertTop(id, item);
    m_totals.add(item);
    // A new row shows whatever is searched for.
    if (m_rows.isFiltered())
        m_shownTotals.add(item);
    // A load shows its rows and totals once, at its end.
    if (m_source == Source::Load)
        return;
    showAddedRow(id);
    // The registration dialog adds to the store itself; the history learns
    // of it here, the only change it does not hear of from a command.
    if (m_source == Source::Player)
        m_undoStack.push(new AddItemCommand(*this, m_store, id, item));
}

void LedgerDocument::itemRestored(int32_t id, const AuctionItem &item, int position)
{
    m_rows.insertRowAt(position, id);
    m_totals.add(item);
    if (m_rows.isFiltered())
        m_shownTotals.add(item);
    showAddedRow(id);
}

void LedgerDocument::showAddedRow(int32_t id)
{
    m_rows.scrollTo(id);
    showTotals();
}

void LedgerDocument::itemRemoved(int32_t id, const AuctionItem &item)
{
    if (m_rows.isFiltered() && m_rows.isShown(id))
        m_shownTotals.remove(item);
    m_rows.removeRowOf(id);
    m_totals.remove(item);
    showTotals();
}

void LedgerDocument::itemChanged(int32_t id, const AuctionItem &before, const AuctionItem &after)
{
    m_rows.rewriteItem(id, before, after);
    m_totals.remove(before);
    m_totals.add(after);
    if (m_rows.isFiltered() && m_rows.isShown(id)) {
        m_shownTotals.remove(before);
        m_shownTotals.add(after);
    }
    showTotals();
}

void LedgerDocument::itemsCleared()
{
    m_rows.clear();
    m_totals.clear();
    m_shownTotals.clear();
    m_undoStack.clear();
    showTotals();
}

void LedgerDocument::settingChanged(LedgerSetting setting)
{
    // Every item's figures moved with the setting: counted again in the
    // table's own pass over the ledger.
    m_totals.clear();
    m_shownTotals.clear();
    m_rows.rewriteSetting(setting, [this](int32_t id, const AuctionItem &, const AuctionItem::Figures &figures) {
        m_totals.add(figures.wonCost, figures.profitMeso, figures.profitWon);
        if (m_rows.isFiltered() && m_rows.isShown(id))
            m_shownTotals.add(figures.wonCost, figures.profitMeso, figures.profitWon);
    });
    showTotals();
    if (m_source != Source::Load)
        updateTitle();
}

bool LedgerDocument::eventFilter(QObject *watched, QEvent *event)
{
    // Closing the window, also on the system's way out (Qt closes the
    // windows when the session ends), first asks about unsaved work.
    if (watched == m_window && event->type() == QEvent::Close && !maybeSave()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
