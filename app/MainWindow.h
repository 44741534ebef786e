#pragma once

#include <QMainWindow>
#include <QPersistentModelIndex>

#include <cstdint>
#include <memory>

namespace Ui {
class MainWindow;
}

class QTableWidgetItem;
class QTimer;
class QVBoxLayout;
class FindBar;
class LedgerDocument;
class LedgerTable;
class MyTableWidget;
struct AuctionItem;
namespace LedgerFile {
struct Contents;
}

// The program's only window: a switchboard between the controls, the
// ledger store and the auction table. One instance per process.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    static MainWindow *instance();
    static void releaseInstance();
    static bool exists();

    bool init();

    // Puts one ledger entry's row at the top of the table.
    void insertAuctionRow(int32_t id, const AuctionItem &item);

    // Opens and applies a ledger file, as the open command does once a file
    // has been chosen. False when the file was refused or the user said No.
    bool loadLedgerFrom(const QString &path);
    // Puts back work left by a run that ended without closing: the ledger
    // as contents holds it, unsaved, belonging to filePath (may be empty).
    void restoreLedger(const LedgerFile::Contents &contents, const QString &filePath);
    // Writes the ledger to path without ever leaving a partial file there.
    bool saveLedgerTo(const QString &path);

    // Row insertions between begin and end are laid into the table in one
    // pass that gives the same table as inserting them one at a time.
    void beginRowBatch();
    void endRowBatch();
    // Off makes every insertion take the one-row-at-a-time path (for
    // comparing the two).
    void setRowBatchingEnabled(bool enabled);

    MyTableWidget *table() const { return auctionTable; }
    LedgerDocument *document() const { return ledgerDocument; }
    bool ratioIsSet() const { return isRatioSet; }
    bool cellEditArmed() const { return isCellEditArmed; }
    // The timer that samples Scroll Lock; it has no Qt parent to be found by.
    const QTimer *samplingTimer() const { return timer.get(); }

private slots:
    void runTimer();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_5_clicked();
    void auctionTableItemDoubleClick(QTableWidgetItem *item);
    void auctionTableItemChange(QTableWidgetItem *item);
    void on_doubleSpinBox_valueChanged(double arg1);
    void on_radioButton_clicked();
    void on_radioButton_2_clicked();
    void loadData();
    void saveData();

private:
    bool setupAuctionTable();
    void applyFormTexts();
    // The smallest size that shows every control of the form whole.
    void keepFormWhole();
    void setRatioFromField();
    void changeFee(int32_t percent);
    void checkFeeButtonOfStore();
    void disarmCellEdit();
    // Empties the ledger and fills it with a file's settings and items.
    void replaceLedger(const LedgerFile::Contents &contents);

    Ui::MainWindow *ui;
    bool isRatioSet;
    QVBoxLayout *tableLayout;
    MyTableWidget *auctionTable;
    bool isCellEditArmed;
    std::unique_ptr<QTimer> timer;

    // The cell whose double click armed the edit; only its commit counts.
    QPersistentModelIndex armedCell;
    std::unique_ptr<LedgerTable> rows;
    LedgerDocument *ledgerDocument = nullptr;
    FindBar *findBar = nullptr;
};
