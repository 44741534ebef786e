#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "AppFolders.h"
#include "AuctionRows.h"
#include "CellEdit.h"
#include "FindBar.h"
#include "FormFit.h"
#include "ItemRules.h"
#include "JsonFileIo.h"
#include "KeyStatePoller.h"
#include "LedgerDocument.h"
#include "RecoveryKeeper.h"
#include "LedgerCell.h"
#include "LedgerColumns.h"
#include "LedgerFile.h"
#include "LedgerStore.h"
#include "LedgerTable.h"
#include "LoadNote.h"
#include "ListPriceDelegate.h"
#include "MyTableWidget.h"
#include "NameDelegate.h"
#include "ProfitMath.h"
#include "Prompt.h"
#include "QRegister.h"
#include "TotalsBar.h"
#include "WindowCapture.h"

#include <QAbstractItemDelegate>
#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStatusBar>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <iterator>

using namespace AuctionRows;

namespace {

MainWindow *windowInstance = nullptr;

// Why the set command refuses a ratio; empty when it takes it. The ratio
// field is read as a price cell is: "2,750" and " 2750 " are 2,750.
QString ratioRefusal(const ItemRules::TypedNumber &ratio)
{
    using Kind = ItemRules::TypedNumber::Kind;
    const QString range = QLatin1Char(' ') + ItemRules::rangeText(ProfitMath::largestUsableRate);
    // Above the largest usable ratio a won buys no meso after the fee and no
    // profit can be shown.
    const QString tooLarge = QString::fromUtf8("1억당 비율은 50,000,000원 이하로 입력해주세요. "
                                               "그보다 크면 1원당 메소가 0이 됩니다.");
    switch (ratio.kind) {
    case Kind::Nothing:
        return QString::fromUtf8("1억당 비율을 먼저 입력해주세요.");
    case Kind::NotANumber:
        return QString::fromUtf8("1억당 비율은 숫자로 입력해주세요.") + range;
    case Kind::BelowRange:
        return QString::fromUtf8("1억당 비율은 0보다 커야 합니다.") + range;
    case Kind::AboveRange:
        return tooLarge;
    case Kind::Number:
        break;
    }
    if (ratio.value < 1)
        return QString::fromUtf8("1억당 비율은 0보다 커야 합니다.") + range;
    if (ratio.value > ProfitMath::largestUsableRate)
        return tooLarge;
    return QString();
}

// A file's ratio as the set command would read it: below 1, the file gives
// none (a ledger saved before any ratio was set holds 0).
ItemRules::TypedNumber fileRatio(int32_t rate)
{
    using Kind = ItemRules::TypedNumber::Kind;
    return rate >= 1 ? ItemRules::TypedNumber{Kind::Number, rate} : ItemRules::TypedNumber{Kind::Nothing, 0};
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
    // The document stops listening before the store and the table go.
    delete ledgerDocument;
    ledgerDocument = nullptr;
    LedgerStore::destroyInstance();
    rows.reset();
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
    fileMenu->addSeparator();
    auto *exportAction = fileMenu->addAction(QString::fromUtf8("CSV로 내보내기…"));
    exportAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_E));

    applyFormTexts();

    LedgerStore &store = LedgerStore::instance();
    if (!store.initialise([this] { return new QRegister(this); }))
        return false;
    if (!setupAuctionTable())
        return false;
    rows.reset(new LedgerTable(auctionTable, store));
    ledgerDocument = new LedgerDocument(this, store, *rows,
                                        [this](int32_t id, const AuctionItem &item) { insertAuctionRow(id, item); });
    QMenu *editMenu = ledgerDocument->addEditMenu(menuBar());
    // The find bar below the table, put away until Ctrl+F.
    findBar = new FindBar(*rows, *ledgerDocument, store, auctionTable, ui->centralwidget);
    tableLayout->addWidget(findBar);
    findBar->hide();
    editMenu->addSeparator();
    QAction *findAction = editMenu->addAction(QString::fromUtf8("찾기"));
    findAction->setShortcut(QKeySequence::Find);
    connect(findAction, &QAction::triggered, findBar, &FindBar::open);
    connect(exportAction, &QAction::triggered, ledgerDocument, [this] { ledgerDocument->exportCsv(); });
    auto *totalsBar = new TotalsBar;
    statusBar()->addPermanentWidget(totalsBar);
    ledgerDocument->setTotalsBar(totalsBar);
    keepFormWhole();
    // Tab follows the form as it reads: the ratio row, the fee, the buttons
    // and the discount below, then the table.
    QWidget *const tabOrder[] = {ui->lineEdit,    ui->pushButton_3, ui->pushButton_4, ui->radioButton,
                                 ui->radioButton_2, ui->pushButton, ui->pushButton_5, ui->pushButton_2,
                                 ui->doubleSpinBox, auctionTable};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    new RecoveryKeeper(this, *ledgerDocument, *rows, store);
    // Ctrl+C on the table copies the selected row, ready to paste into a
    // spreadsheet (a cell editor keeps its own copy).
    connect(auctionTable, &MyTableWidget::copyRequested, ledgerDocument, [this] { ledgerDocument->copySelectedRow(); });
    // Return in the ratio field sets the ratio, as the button does.
    connect(ui->lineEdit, &QLineEdit::returnPressed, this, &MainWindow::on_pushButton_3_clicked);

    KeyStatePoller::instance().addKey();

    timer.reset(new QTimer);
    timer->setObjectName(QStringLiteral("scrollLockSampling"));
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
    // Digits with commas anywhere, an optional sign and blanks around: what
    // a player may type or paste for a number. The set command reads it.
    ui->lineEdit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[ \\t]*[+-]?[0-9,]*[ \\t]*")), ui->lineEdit));
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

void MainWindow::keepFormWhole()
{
    // The controls sit at fixed places, grown where the fonts needed it: the
    // window never gets narrower than they reach, with the form's left margin
    // on the right as well, nor lower than the band above the table and the
    // table's header and one row (with the scroll bar a narrow window gives
    // it). The menu and status bars add their own height.
    const QRect controls = ui->widget->childrenRect().translated(ui->widget->pos());
    const int frame = 2 * auctionTable->frameWidth();
    const int tableHeight = frame + auctionTable->horizontalHeader()->sizeHint().height()
        + auctionTable->verticalHeader()->defaultSectionSize()
        + auctionTable->horizontalScrollBar()->sizeHint().height();
    ui->centralwidget->setMinimumSize(controls.right() + 1 + controls.left(),
                                      std::max(controls.bottom() + 1, tableLayout->contentsMargins().top())
                                          + tableHeight);
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

    const QStringList headers = LedgerColumns::tableTitles();
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
    auto *priceDelegate = new ListPriceDelegate(
        [this](int row) -> std::optional<int32_t> {
            // An editor still open while the window goes has nothing to show.
            if (!rows || !LedgerStore::exists())
                return std::nullopt;
            const AuctionItem *item = LedgerStore::instance().findItem(rows->idAt(row));
            return item ? std::optional<int32_t>(item->cashPrice) : std::nullopt;
        },
        auctionTable);
    auctionTable->setItemDelegateForColumn(CashColumn, priceDelegate);
    const QAbstractItemDelegate *delegates[] = {auctionTable->itemDelegate(), nameDelegate, priceDelegate};
    for (const QAbstractItemDelegate *delegate : delegates)
        connect(delegate, &QAbstractItemDelegate::closeEditor, this, [this] {
            if (!auctionTable->isEditing())
                disarmCellEdit();
        });

    // A click on a column's title orders the rows by it, the next click on
    // the same title the other way round; the title shows the arrow, which
    // the header has already turned by the time it tells of the click. Only
    // the view changes: the ledger, its history and what is unsaved stay.
    QHeaderView *header = auctionTable->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    connect(header, &QHeaderView::sectionClicked, this, [this, header](int column) {
        // An editor open in a row that is about to move closes without its
        // text, as before an undo.
        rows->closeEditor();
        disarmCellEdit();
        rows->sortByColumn(column, header->sortIndicatorOrder());
    });
    return true;
}

void MainWindow::insertAuctionRow(int32_t id, const AuctionItem &item)
{
    Q_UNUSED(item)
    rows->insertRow(id);
}

void MainWindow::beginRowBatch()
{
    rows->beginBatch();
}

void MainWindow::endRowBatch()
{
    rows->endBatch();
}

void MainWindow::setRowBatchingEnabled(bool enabled)
{
    rows->setBatchingEnabled(enabled);
}

void MainWindow::disarmCellEdit()
{
    isCellEditArmed = false;
    armedCell = QPersistentModelIndex();
}

// --- commands ---------------------------------------------------------------

void MainWindow::runTimer()
{
    KeyStatePoller &poller = KeyStatePoller::instance();
    poller.poll();
    if (!poller.takeRelease())
        return;
    // The picture is taken before the message is shown.
    const QString saved
        = WindowCapture::captureWindow(this, QDateTime::currentDateTime(), AppFolders::screenshotDirectory());
    statusBar()->showMessage(saved.isEmpty() ? QString::fromUtf8("스크린샷을 저장하지 못했습니다.")
                                             : QString::fromUtf8("스크린샷 저장: ") + QFileInfo(saved).fileName(),
                             5000);
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
    disarmCellEdit();
    rows->rebuild(ids);
    rows->highlightTopRow();
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
    const ItemRules::TypedNumber typed = ItemRules::readTypedNumber(ui->lineEdit->text());
    const QString refusal = ratioRefusal(typed);
    if (!refusal.isEmpty()) {
        Prompt::error(this, refusal);
        return;
    }
    if (isRatioSet)
        return;
    // Taken, so within 1 to the largest usable ratio.
    const int32_t value = static_cast<int32_t>(typed.value);

    ui->lineEdit->setEnabled(false);
    isRatioSet = true;
    ui->pushButton_3->setEnabled(false);
    ui->pushButton_4->setEnabled(true);

    LedgerStore &store = LedgerStore::instance();
    store.setRate(value);
    ui->label_2->setText(ProfitMath::rateSummaryText(store.rate, store.mesoPerWon));
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
    ledgerDocument->deleteItem(rows->idAt(row));
}

void MainWindow::auctionTableItemDoubleClick(QTableWidgetItem *item)
{
    if (!item || !item->tableWidget())
        return;
    const QModelIndex index = LedgerCell::indexIn(auctionTable, item);
    if (index.column() >= NameColumn && index.column() <= MesoColumn) {
        isCellEditArmed = true;
        armedCell = QPersistentModelIndex(index);
    }
}

void MainWindow::auctionTableItemChange(QTableWidgetItem *item)
{
    if (!isCellEditArmed)
        return;
    const QPersistentModelIndex expected = armedCell;
    disarmCellEdit();
    // An editor committed while the window goes reaches no ledger.
    if (!rows || !LedgerStore::exists())
        return;
    if (!item || !expected.isValid() || auctionTable->item(expected.row(), expected.column()) != item)
        return;

    const int row = expected.row();
    const int column = expected.column();
    const int32_t id = rows->idAt(row);
    const AuctionItem *before = LedgerStore::instance().findItem(id);
    if (!before)
        return;
    const CellEdit::Result edit = CellEdit::read(*before, column, item->text());
    // A change is shown as the store makes it. A refused edit, or one that
    // changes nothing, leaves the editor's text in the cell, which then
    // shows the item's value again.
    if (!edit.after || !ledgerDocument->editItem(id, *edit.after))
        rows->rewriteCell(row, column);
    if (!edit.refusal.isEmpty())
        Prompt::error(this, edit.refusal);
}

void MainWindow::on_doubleSpinBox_valueChanged(double arg1)
{
    LedgerStore::instance().setRateOfDiscount(arg1);
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
    ui->label_2->setText(ProfitMath::rateSummaryText(store.rate, store.mesoPerWon));
}

void MainWindow::loadData()
{
    // Unsaved work first, before any file is chosen.
    if (!ledgerDocument->maybeSave())
        return;
    const QString ledgerDirectory = AppFolders::ledgerDirectory();
    QDir().mkdir(ledgerDirectory);
    const QString path = Prompt::openFileName(this, QString::fromUtf8("파일 선택"), ledgerDirectory,
                                              QStringLiteral("Files (*.json)"));
    if (path.isEmpty())
        return;
    loadLedgerFrom(path);
}

void MainWindow::saveData()
{
    ledgerDocument->save();
}

bool MainWindow::loadLedgerFrom(const QString &path)
{
    LedgerFile::Contents contents;
    FileStamp stamp;
    {
        // The document lives only as long as it takes to read it.
        rapidjson::Document document;
        const bool opened = JsonFileIo::instance().readLedgerFile(document, path, &stamp);
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
    }
    replaceLedger(contents);
    // What the load left out or replaced, in one message; the file stays as
    // it is, kept beside itself before a save writes over it, and a
    // replaced setting stays unsaved.
    const LedgerStore &store = LedgerStore::instance();
    const LoadNote::InForce inForce{isRatioSet, store.rate, store.fee, store.rateOfDiscount};
    const QString refusal = ratioRefusal(fileRatio(contents.rate));
    const QString note = LoadNote::text(contents, inForce, refusal);
    ledgerDocument->endLoad(path, stamp, contents.rate, contents.fee, contents.rateOfDiscount, note.isEmpty(),
                            LoadNote::replacesSettings(contents, inForce, refusal));
    if (!note.isEmpty())
        Prompt::error(this, note);
    return true;
}

void MainWindow::replaceLedger(const LedgerFile::Contents &contents)
{
    // Another ledger: nothing is searched in it yet.
    findBar->dismiss();
    const LedgerDocument::LoadScope loading(*ledgerDocument);
    if (auctionTable->rowCount() > 0) {
        disarmCellEdit();
        LedgerStore::instance().clearItems();
    }

    // The file's ratio comes into force even when a ratio was set before,
    // but only if the set command takes it: a refused one must not leave
    // the ledger without a ratio while its items still carry the old one.
    // The ratio in force then stays, its field still shows it, and the
    // file's fee and discount below apply to it. Why it was refused is told
    // with the rest of what the load could not take, once it is done.
    const bool fileRatioTaken = ratioRefusal(fileRatio(contents.rate)).isEmpty();
    if (isRatioSet && fileRatioTaken)
        on_pushButton_4_clicked();
    if (!isRatioSet)
        ui->lineEdit->setText(contents.rate >= 1 ? QString::number(contents.rate) : QStringLiteral("0"));
    if (fileRatioTaken)
        on_pushButton_3_clicked();
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
}

void MainWindow::restoreLedger(const LedgerFile::Contents &contents, const QString &filePath)
{
    if (contents.rate >= 1) {
        replaceLedger(contents);
    } else {
        // That run had no ratio: there is none to set, and nothing to say.
        findBar->dismiss();
        const LedgerDocument::LoadScope loading(*ledgerDocument);
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
    }
    ledgerDocument->endRecovery(filePath);
}

bool MainWindow::saveLedgerTo(const QString &path)
{
    return ledgerDocument->saveTo(path);
}

