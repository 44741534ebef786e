#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "AuctionRows.h"
#include "FormFit.h"
#include "JsonFileIo.h"
#include "KeyStatePoller.h"
#include "LedgerFile.h"
#include "LedgerStore.h"
#include "MyTableWidget.h"
#include "NameDelegate.h"
#include "ProfitMath.h"
#include "Prompt.h"
#include "WindowCapture.h"

#include <QAbstractItemDelegate>
#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QIntValidator>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cassert>
#include <exception>
#include <limits>

using namespace AuctionRows;

namespace {

MainWindow *windowInstance = nullptr;

const char ledgerDirectory[] = "../Resource/CustomDatas";

QString ledgerCaption()
{
    return QString::fromUtf8("파일 선택");
}

QString ledgerFilter()
{
    return QStringLiteral("Files (*.json)");
}

// Holds back the table's own signals and repaints while the program writes
// cells, so that no write of ours ever reaches the cell-edit handler.
class TableWriteGuard
{
public:
    explicit TableWriteGuard(QTableWidget *table)
        : m_table(table)
        , m_blocker(table)
        , m_updatesWereEnabled(table->updatesEnabled())
    {
        if (m_updatesWereEnabled)
            m_table->setUpdatesEnabled(false);
    }
    ~TableWriteGuard()
    {
        if (m_updatesWereEnabled)
            m_table->setUpdatesEnabled(true);
    }

private:
    QTableWidget *m_table;
    QSignalBlocker m_blocker;
    bool m_updatesWereEnabled;
};

// A command that rewrites some columns of every row: the view hears of the
// whole block of cells once, when the rewrite ends, instead of once per cell.
class ColumnRewrite
{
public:
    ColumnRewrite(QTableWidget *table, int firstColumn, int lastColumn)
        : m_guard(table)
        , m_model(table->model())
        , m_modelBlocker(m_model)
        , m_firstColumn(firstColumn)
        , m_lastColumn(lastColumn)
    {
    }
    ~ColumnRewrite()
    {
        m_modelBlocker.unblock();
        const int rows = m_model->rowCount();
        if (rows > 0)
            emit m_model->dataChanged(m_model->index(0, m_firstColumn), m_model->index(rows - 1, m_lastColumn));
    }

private:
    TableWriteGuard m_guard;
    QAbstractItemModel *m_model;
    QSignalBlocker m_modelBlocker;
    int m_firstColumn;
    int m_lastColumn;
};

// The store's items by id for a pass over many rows in any order: one
// array step each instead of a walk down the map, which in a sorted order
// would touch scattered memory at every level.
class ItemLookup
{
public:
    explicit ItemLookup(LedgerStore &store)
        : m_store(store)
    {
        const LedgerStore::ItemMap &items = store.items();
        if (items.empty() || items.begin()->first < 0)
            return;
        const int64_t largestId = items.rbegin()->first;
        // Ids are handed out one after another; only a ledger thinned out by
        // many deletions is left to the map.
        if (largestId > 4 * static_cast<int64_t>(items.size()) + 1024)
            return;
        m_byId.assign(static_cast<size_t>(largestId) + 1, nullptr);
        for (const auto &entry : items)
            m_byId[static_cast<size_t>(entry.first)] = &entry.second;
    }

    const AuctionItem *find(int32_t id) const
    {
        if (m_byId.empty())
            return m_store.findItem(id);
        return id >= 0 && static_cast<size_t>(id) < m_byId.size() ? m_byId[static_cast<size_t>(id)] : nullptr;
    }

private:
    LedgerStore &m_store;
    std::vector<const AuctionItem *> m_byId;
};

// Why the set command refuses a ratio; empty when it takes it.
QString ratioRefusal(int32_t value)
{
    if (value < 1)
        return QString::fromUtf8("1억당 비율을 먼저 입력해주세요.");
    // Above this a won buys no meso after the fee and no profit can be shown.
    if (value > ProfitMath::largestUsableRate)
        return QString::fromUtf8("1억당 비율은 50,000,000원 이하로 입력해주세요. "
                                 "그보다 크면 1원당 메소가 0이 됩니다.");
    return QString();
}

void setCellText(QTableWidget *table, int row, int column, const QString &text)
{
    if (QTableWidgetItem *cell = table->item(row, column))
        cell->setText(text);
}

// Both profit cells of a row, with their texts and sign colours: a profit
// cell never shows a new figure in the colour of an old one.
void rewriteProfitCells(QTableWidget *table, int row, const AuctionItem &item)
{
    const std::optional<int64_t> profits[] = {item.profitMeso(), item.profitWon()};
    const int columns[] = {AuctionRows::ProfitMesoColumn, AuctionRows::ProfitWonColumn};
    for (int i = 0; i < 2; ++i) {
        if (QTableWidgetItem *cell = table->item(row, columns[i])) {
            cell->setText(AuctionRows::figureText(profits[i]));
            AuctionRows::colourProfitCell(cell, profits[i]);
        }
    }
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , isRatioSet(false)
    , tableLayout(nullptr)
    , auctionTable(nullptr)
    , isCellEditArmed(false)
{
    ui->setupUi(this);
}

MainWindow::~MainWindow()
{
    if (timer) {
        timer->stop();
        timer.reset();
    }
    LedgerStore::destroyInstance();
    delete ui;
    ui = nullptr;
    if (windowInstance == this)
        windowInstance = nullptr;
}

MainWindow *MainWindow::instance()
{
    if (!windowInstance)
        windowInstance = new MainWindow;
    return windowInstance;
}

void MainWindow::releaseInstance()
{
    delete windowInstance;
    windowInstance = nullptr;
}

bool MainWindow::exists()
{
    return windowInstance != nullptr;
}

bool MainWindow::init()
{
    setWindowTitle(QString::fromUtf8("Pelarin 유틸리티(ver1.53)"));

    QMenu *fileMenu = menuBar()->addMenu(QString::fromUtf8("파일"));
    auto *saveAction = new QAction(QString::fromUtf8("저장"), this);
    saveAction->setShortcut(QKeySequence(tr("Ctrl+S")));
    fileMenu->addAction(saveAction);
    auto *openAction = new QAction(QString::fromUtf8("열기 Ctrl+O,"), this);
    openAction->setShortcuts({QKeySequence(Qt::CTRL + Qt::Key_X), QKeySequence(Qt::CTRL + Qt::Key_O)});
    fileMenu->addAction(openAction);
    connect(saveAction, &QAction::triggered, this, &MainWindow::saveData);
    connect(openAction, &QAction::triggered, this, &MainWindow::loadData);

    applyFormTexts();

    if (!LedgerStore::instance().initialise())
        return false;
    if (!setupAuctionTable())
        return false;

    KeyStatePoller::instance().addKey();

    timer.reset(new QTimer);
    timer->setInterval(16);
    timer->setSingleShot(false);
    connect(timer.get(), &QTimer::timeout, this, &MainWindow::runTimer);
    timer->start();
    return true;
}

void MainWindow::applyFormTexts()
{
    ui->label->setText(QString::fromUtf8("1억당 비율(단위 원)"));
    ui->label->setAlignment(Qt::AlignCenter);
    ui->lineEdit->setValidator(new QIntValidator(ui->lineEdit));
    ui->label_2->setText(QString());
    ui->pushButton->setText(QString::fromUtf8("추가"));
    ui->pushButton_5->setText(QString::fromUtf8("삭제"));
    ui->pushButton_2->setText(QString::fromUtf8("정렬"));
    ui->pushButton_3->setText(QString::fromUtf8("세팅"));
    ui->pushButton_4->setText(QStringLiteral("Reset"));
    ui->pushButton_4->setEnabled(false);
    ui->label_3->setText(QString::fromUtf8("캐시 충전 할인율(%)"));
    ui->doubleSpinBox->setValue(0);
    ui->doubleSpinBox->setMaximum(100);
    ui->doubleSpinBox->setMinimum(0);
    ui->label_4->setText(QString::fromUtf8("수수료"));
    ui->label_4->setAlignment(Qt::AlignCenter);
    ui->radioButton->setText(QStringLiteral("5%"));
    ui->radioButton_2->setText(QStringLiteral("3%"));
    ui->radioButton->setChecked(true);
    FormFit::fitTexts(ui->widget);
}

bool MainWindow::setupAuctionTable()
{
    tableLayout = new QVBoxLayout(ui->centralwidget);
    auctionTable = new MyTableWidget(ui->centralwidget);
    tableLayout->addWidget(auctionTable);
    tableLayout->setContentsMargins(0, 130, 0, 0);

    auctionTable->clear();
    auctionTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    auctionTable->setEditTriggers(QAbstractItemView::DoubleClicked);
    auctionTable->setSelectionMode(QAbstractItemView::SingleSelection);
    auctionTable->setSortingEnabled(false);
    auctionTable->verticalHeader()->hide();

    QFont headerFont;
    headerFont.setPointSize(9);
    headerFont.setWeight(75);
    auctionTable->horizontalHeader()->setFont(headerFont);

    const QStringList headers = headerTexts();
    auctionTable->setColumnCount(headers.size());
    auctionTable->setHorizontalHeaderLabels(headers);
    auctionTable->hideColumn(KeyColumn);

    const int widthChanges[columnCount] = {0, 0, -30, -15, -15, -30, -35, -37, 15};
    for (int column = 1; column < columnCount; ++column)
        auctionTable->setColumnWidth(column, auctionTable->columnWidth(column) + widthChanges[column]);
    // The empty table shows every header whole and needs no horizontal
    // scroll bar at the window's first size.
    FormFit::fitHeaderTexts(auctionTable, width() - 2 * auctionTable->frameWidth());

    connect(auctionTable, &QTableWidget::itemDoubleClicked, this, &MainWindow::auctionTableItemDoubleClick);
    connect(auctionTable, &QTableWidget::itemChanged, this, &MainWindow::auctionTableItemChange);
    // Tab in an editor opens the next cell's editor without a double click;
    // that edit is the user's as much as one opened by a double click.
    connect(auctionTable, &MyTableWidget::editorOpened, this, &MainWindow::auctionTableItemDoubleClick);
    // An editor that closes without a change (cancelled, or committed with
    // the same text) sends no change notification; the arming ends with it,
    // unless the close moved on to the next cell's editor.
    auto *nameDelegate = new NameDelegate(auctionTable);
    auctionTable->setItemDelegateForColumn(NameColumn, nameDelegate);
    for (QAbstractItemDelegate *delegate : {auctionTable->itemDelegate(), static_cast<QAbstractItemDelegate *>(nameDelegate)})
        connect(delegate, &QAbstractItemDelegate::closeEditor, this, [this] {
            if (!auctionTable->isEditing())
                disarmCellEdit();
        });
    return true;
}

void MainWindow::insertAuctionRow(int32_t id, const AuctionItem &item)
{
    if (rowBatchDepth > 0 && rowBatchingEnabled) {
        pendingRows.push_back(id);
        return;
    }
    TableWriteGuard guard(auctionTable);
    auctionTable->insertRow(0);
    for (int column = 0; column < columnCount; ++column)
        auctionTable->setItem(0, column, makeCell(column, id, item));
    auctionTable->resizeColumnsToContents();
}

void MainWindow::beginRowBatch()
{
    ++rowBatchDepth;
}

void MainWindow::endRowBatch()
{
    if (rowBatchDepth == 0)
        return;
    if (--rowBatchDepth > 0)
        return;
    std::vector<int32_t> ids;
    ids.swap(pendingRows);
    if (!ids.empty())
        insertRowsNow(ids);
}

void MainWindow::setRowBatchingEnabled(bool enabled)
{
    rowBatchingEnabled = enabled;
}

void MainWindow::insertRowsNow(const std::vector<int32_t> &idsInInsertionOrder)
{
    const ItemLookup items(LedgerStore::instance());
    const int count = static_cast<int>(idsInInsertionOrder.size());
    TableWriteGuard guard(auctionTable);
    QAbstractItemModel *model = auctionTable->model();
    model->insertRows(0, count);
    {
        // Each new cell would announce itself to the view; the view learns
        // of them all at once below.
        QSignalBlocker modelBlocker(model);
        CellFactory cells;
        QTableWidgetItem *rowCells[columnCount];
        for (int j = 0; j < count; ++j) {
            const int32_t id = idsInInsertionOrder[static_cast<size_t>(j)];
            const AuctionItem *item = items.find(id);
            if (!item)
                continue;
            // The last one inserted ends on top, as with one insertion at a time.
            const int row = count - 1 - j;
            cells.makeRow(id, *item, rowCells);
            for (int column = 0; column < columnCount; ++column)
                auctionTable->setItem(row, column, rowCells[column]);
        }
    }
    emit model->dataChanged(model->index(0, 0), model->index(count - 1, columnCount - 1));
    auctionTable->resizeColumnsToContents();
}

void MainWindow::rebuildTable(const std::vector<int32_t> &idsInInsertionOrder)
{
    disarmCellEdit();
    {
        TableWriteGuard guard(auctionTable);
        auctionTable->setRowCount(0);
    }
    beginRowBatch();
    const ItemLookup items(LedgerStore::instance());
    for (int32_t id : idsInInsertionOrder) {
        const AuctionItem *item = items.find(id);
        assert(item);
        insertAuctionRow(id, *item);
    }
    endRowBatch();
}

int32_t MainWindow::rowId(int row) const
{
    const QTableWidgetItem *cell = auctionTable->item(row, KeyColumn);
    return cell ? cell->text().toInt() : -1;
}

void MainWindow::disarmCellEdit()
{
    isCellEditArmed = false;
    armedCell = nullptr;
}

// --- commands ---------------------------------------------------------------

void MainWindow::runTimer()
{
    KeyStatePoller &poller = KeyStatePoller::instance();
    poller.poll();
    if (poller.takeRelease())
        WindowCapture::captureWindow(this, QDateTime::currentDateTime());
}

void MainWindow::on_pushButton_clicked()
{
    if (!isRatioSet) {
        Prompt::error(this, QString::fromUtf8("1억당 비율을 먼저 세팅해주세요."));
        return;
    }
    LedgerStore::instance().showRegisterDialog();
}

void MainWindow::on_pushButton_2_clicked()
{
    if (auctionTable->rowCount() == 0) {
        Prompt::error(this, QString::fromUtf8("경매장에 등록된 아이템이 없습니다."));
        return;
    }
    struct Entry {
        int32_t id;
        std::optional<int64_t> profit;
    };
    std::vector<Entry> entries;
    const LedgerStore::ItemMap &items = LedgerStore::instance().items();
    entries.reserve(items.size());
    for (const auto &pair : items)
        entries.push_back({pair.first, pair.second.profitMeso()});
    // An item without a defined profit sorts below every item with one.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        if (!a.profit || !b.profit)
            return !a.profit && b.profit;
        return *a.profit < *b.profit;
    });
    std::vector<int32_t> ids;
    ids.reserve(entries.size());
    for (const Entry &entry : entries)
        ids.push_back(entry.id);
    rebuildTable(ids);

    if (auctionTable->rowCount() > 0) {
        TableWriteGuard guard(auctionTable);
        for (int column = 1; column < auctionTable->columnCount(); ++column)
            if (QTableWidgetItem *cell = auctionTable->item(0, column))
                cell->setBackground(QBrush(QColor(255, 255, 0, 255)));
    }
}

void MainWindow::on_pushButton_3_clicked()
{
    // Only an allocation can fail here; what was done before it stays done.
    try {
        setRatioFromField();
    } catch (const std::exception &failure) {
        Prompt::error(this, QString::fromLocal8Bit(failure.what()));
    }
}

void MainWindow::setRatioFromField()
{
    const int32_t value = ui->lineEdit->text().toInt();
    const QString refusal = ratioRefusal(value);
    if (!refusal.isEmpty()) {
        Prompt::error(this, refusal);
        return;
    }
    if (isRatioSet)
        return;

    ui->lineEdit->setEnabled(false);
    isRatioSet = true;
    ui->pushButton_3->setEnabled(false);
    ui->pushButton_4->setEnabled(true);

    LedgerStore &store = LedgerStore::instance();
    store.rate = value;
    store.updateMesoPerWon();
    ui->label_2->setText(ProfitMath::rateSummaryText(store.rate, store.mesoPerWon));

    if (store.items().empty())
        return;
    store.applyRateToItems();
    const QString rateText = QString::fromLatin1(ProfitMath::formatThousands(store.rate));
    ColumnRewrite rewrite(auctionTable, ProfitMesoColumn, RateColumn);
    const int rows = auctionTable->rowCount();
    for (int row = 0; row < rows; ++row) {
        const AuctionItem *item = store.findItem(rowId(row));
        if (!item)
            continue;
        setCellText(auctionTable, row, RateColumn, rateText);
        rewriteProfitCells(auctionTable, row, *item);
    }
}

void MainWindow::on_pushButton_4_clicked()
{
    if (!ui->pushButton_4->isEnabled())
        return;
    ui->lineEdit->setEnabled(true);
    isRatioSet = false;
    ui->pushButton_3->setEnabled(true);
    ui->pushButton_4->setEnabled(false);
    ui->lineEdit->setText(QString());
    ui->label_2->setText(QString());
}

void MainWindow::on_pushButton_5_clicked()
{
    if (auctionTable->rowCount() == 0) {
        Prompt::error(this, QString::fromUtf8("경매장에 등록된 아이템이 없습니다."));
        return;
    }
    const int row = auctionTable->currentRow();
    if (row < 0) {
        Prompt::error(this, QString::fromUtf8("선택된 아이템이 없습니다."));
        return;
    }
    if (LedgerStore::instance().removeItem(rowId(row))) {
        disarmCellEdit();
        TableWriteGuard guard(auctionTable);
        auctionTable->removeRow(row);
    }
}

void MainWindow::auctionTableItemDoubleClick(QTableWidgetItem *item)
{
    if (!item || !item->tableWidget())
        return;
    const int column = item->column();
    if (column >= NameColumn && column <= MesoColumn) {
        isCellEditArmed = true;
        armedCell = item;
    }
}

void MainWindow::auctionTableItemChange(QTableWidgetItem *item)
{
    if (!isCellEditArmed)
        return;
    QTableWidgetItem *expected = armedCell;
    disarmCellEdit();
    if (!item || item != expected || item->tableWidget() != auctionTable)
        return;

    const int row = item->row();
    const int column = item->column();
    const int32_t id = rowId(row);
    AuctionItem *entry = LedgerStore::instance().findItem(id);
    if (!entry)
        return;

    if (column == NameColumn) {
        try {
            entry->name = item->text().toUtf8();
            TableWriteGuard guard(auctionTable);
            setCellText(auctionTable, row, NameColumn, item->text());
        } catch (const std::exception &failure) {
            Prompt::error(this, QString::fromLocal8Bit(failure.what()));
        }
        return;
    }
    if (column == CashColumn || column == MesoColumn)
        editPrice(item, id, column);
}

void MainWindow::editPrice(QTableWidgetItem *cell, int32_t id, int column)
{
    AuctionItem &entry = LedgerStore::instance().item(id);
    const int row = cell->row();
    // What the user typed; the refusal below writes the old price back into
    // the cell, so the reason must come from this copy.
    const QByteArray typed = ProfitMath::stripCommas(cell->text().toUtf8());
    const std::optional<int64_t> parsed = ProfitMath::parseLeadingInteger(typed);
    const bool isCash = column == CashColumn;
    const bool fits = parsed
        && (!isCash || (*parsed >= std::numeric_limits<int32_t>::min() && *parsed <= std::numeric_limits<int32_t>::max()));

    if (!fits) {
        // The item keeps its price and the cell shows it again.
        {
            TableWriteGuard guard(auctionTable);
            setCellText(auctionTable, row, column, cellText(column, id, entry));
        }
        QString message;
        if (!ProfitMath::startsWithInteger(typed))
            message = QString::fromUtf8("가격은 숫자로 입력해주세요.");
        else if (isCash)
            message = QString::fromUtf8("캐시 가격이 너무 큽니다. "
                                        "-2,147,483,648부터 2,147,483,647까지 입력할 수 있습니다.");
        else
            message = QString::fromUtf8("메소 가격이 너무 큽니다. -9,223,372,036,854,775,808부터 "
                                        "9,223,372,036,854,775,807까지 입력할 수 있습니다.");
        Prompt::error(this, message);
        return;
    }

    TableWriteGuard guard(auctionTable);
    if (isCash) {
        entry.cashPrice = static_cast<int32_t>(*parsed);
        setCellText(auctionTable, row, CashColumn, QString::fromLatin1(ProfitMath::formatThousands(entry.wonCost())));
    } else {
        entry.mesoPrice = *parsed;
        setCellText(auctionTable, row, MesoColumn, QString::fromLatin1(ProfitMath::formatThousands(entry.mesoPrice)));
    }
    rewriteProfitCells(auctionTable, row, entry);
}

void MainWindow::on_doubleSpinBox_valueChanged(double arg1)
{
    LedgerStore &store = LedgerStore::instance();
    store.rateOfDiscount = arg1;
    store.applyDiscountToItems();

    ColumnRewrite rewrite(auctionTable, CashColumn, ProfitWonColumn);
    const int rows = auctionTable->rowCount();
    for (int row = 0; row < rows; ++row) {
        const AuctionItem *item = store.findItem(rowId(row));
        if (!item)
            continue;
        // Plain digits here, as this command has always shown them, until the
        // row is rebuilt by a sort or an edit.
        setCellText(auctionTable, row, CashColumn, QString::number(item->wonCost()));
        rewriteProfitCells(auctionTable, row, *item);
    }
}

void MainWindow::on_radioButton_clicked()
{
    changeFee(5);
}

void MainWindow::on_radioButton_2_clicked()
{
    changeFee(3);
}

void MainWindow::checkFeeButtonOfStore()
{
    if (LedgerStore::instance().fee == 3)
        ui->radioButton_2->setChecked(true);
    else
        ui->radioButton->setChecked(true);
}

void MainWindow::changeFee(int32_t percent)
{
    LedgerStore &store = LedgerStore::instance();
    if (store.fee == percent || !isRatioSet) {
        // A refused click must not leave the other fee looking chosen.
        checkFeeButtonOfStore();
        return;
    }
    store.setFee(percent);
    store.updateMesoPerWon();
    ui->label_2->setText(ProfitMath::rateSummaryText(store.rate, store.mesoPerWon));

    const QString feeText = QString::number(percent);
    ColumnRewrite rewrite(auctionTable, ProfitMesoColumn, FeeColumn);
    const int rows = auctionTable->rowCount();
    for (int row = 0; row < rows; ++row) {
        const AuctionItem *item = store.findItem(rowId(row));
        if (!item)
            continue;
        rewriteProfitCells(auctionTable, row, *item);
        setCellText(auctionTable, row, FeeColumn, feeText);
    }
}

void MainWindow::loadData()
{
    QDir().mkdir(QString::fromLatin1(ledgerDirectory));
    const QString path = Prompt::openFileName(this, ledgerCaption(), QString::fromLatin1(ledgerDirectory), ledgerFilter());
    if (path.isEmpty())
        return;
    loadLedgerFrom(path);
}

void MainWindow::saveData()
{
    QDir().mkdir(QString::fromLatin1(ledgerDirectory));
    const QString path = Prompt::saveFileName(this, ledgerCaption(), QString::fromLatin1(ledgerDirectory), ledgerFilter());
    if (path.isEmpty())
        return;
    saveLedgerTo(path);
}

bool MainWindow::loadLedgerFrom(const QString &path)
{
    LedgerFile::Contents contents;
    {
        // The document lives only as long as it takes to read it.
        rapidjson::Document document;
        const bool opened = JsonFileIo::instance().readLedgerFile(document, path);
        // Anything that is not a ledger is refused before the ledger is touched.
        if (!opened || document.HasParseError() || !LedgerFile::read(document, contents)) {
            Prompt::error(this, QString::fromUtf8("파일 로드 실패!"));
            return false;
        }
    }

    if (auctionTable->rowCount() > 0) {
        const QString question = QString::fromUtf8("이미 경매장에 등록된 아이템이 있습니다.\n"
                                                   "기존 아이템이 모두 삭제됩니다.\n"
                                                   "파일을 로드 하시겠습니까?");
        if (!Prompt::question(this, QStringLiteral("notify"), question))
            return false;
        LedgerStore::instance().clearItems();
        disarmCellEdit();
        TableWriteGuard guard(auctionTable);
        auctionTable->setRowCount(0);
    }

    // The file's ratio comes into force even when a ratio was set before,
    // but only if the set command takes it: a refused one must not leave
    // the ledger without a ratio while its items still carry the old one.
    // The ratio in force then stays, its field still shows it, and the
    // file's fee and discount below apply to it.
    const QString fileRatioRefusal = ratioRefusal(contents.rate);
    if (isRatioSet && fileRatioRefusal.isEmpty())
        on_pushButton_4_clicked();
    if (isRatioSet) {
        Prompt::error(this, fileRatioRefusal);
    } else {
        ui->lineEdit->setText(contents.rate >= 1 ? QString::number(contents.rate) : QStringLiteral("0"));
        on_pushButton_3_clicked();
    }
    if (contents.fee == 3)
        ui->radioButton_2->click();
    else
        ui->radioButton->click();
    ui->doubleSpinBox->setValue(std::max(0.0, contents.rateOfDiscount));

    LedgerStore &store = LedgerStore::instance();
    beginRowBatch();
    for (const LedgerFile::Item &item : contents.items)
        store.addItem(item.name, item.cashPrice, item.mesoPrice, item.isUseMileage);
    endRowBatch();
    return true;
}

bool MainWindow::saveLedgerTo(const QString &path)
{
    const LedgerStore &store = LedgerStore::instance();
    rapidjson::Document document;
    LedgerFile::build(document, store.rate, store.fee, store.rateOfDiscount, store.items());
    if (!JsonFileIo::instance().writeLedgerFile(document, path)) {
        Prompt::error(this, QString::fromUtf8("파일 저장 실패!"));
        return false;
    }
    return true;
}
