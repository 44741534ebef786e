// Each command of the window after each state a player reaches, over
// ledgers of several sizes: a command must not grow slower because of what
// came before it.

#include "BenchWindow.h"

#include "AuctionRows.h"
#include "FindBar.h"
#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "Prompt.h"
#include "QRegister.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <unistd.h>

using namespace BenchWindow;

namespace BenchGrid {

namespace {

using Step = bool (*)(MainWindow *window);

// --- what a player does -------------------------------------------------------

int registrations = 0;
int ratioTurns = 0;
// The size of the ledger being measured.
int64_t ledgerSize = 0;

bool registerItem(MainWindow *window)
{
    child<QPushButton>(window, "pushButton")->click();
    auto *dialog = window->findChild<QRegister *>();
    if (!dialog)
        return false;
    const int before = window->table()->rowCount();
    ++registrations;
    // The player picks a cash item from the list, which fills in its name,
    // price and mileage, and types what it sold for.
    auto *list = dialog->findChild<QListWidget *>(QStringLiteral("listWidget"));
    if (!list || list->count() == 0)
        return false;
    list->setCurrentRow(registrations % list->count());
    dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_3"))->setText(QString::number(250000000 + registrations));
    dialog->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
    // The player goes back to the table; the dialog's fields would take
    // the undo keys for themselves.
    dialog->close();
    window->activateWindow();
    window->table()->setFocus();
    settle();

    return window->table()->rowCount() == before + 1;
}

bool deleteRowAt(MainWindow *window, int row)
{
    QTableWidget *table = window->table();
    const int before = table->rowCount();
    table->setCurrentCell(row, AuctionRows::NameColumn);
    child<QPushButton>(window, "pushButton_5")->click();
    settle();
    return table->rowCount() == before - 1;
}

bool deleteTop(MainWindow *window) { return deleteRowAt(window, 0); }
bool deleteMiddle(MainWindow *window) { return deleteRowAt(window, window->table()->rowCount() / 2); }
bool deleteBottom(MainWindow *window) { return deleteRowAt(window, window->table()->rowCount() - 1); }

bool triggerKey(MainWindow *window, int key)
{
    QAction *action = fileAction(window, key);
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    settle();
    return true;
}

bool undo(MainWindow *window) { return triggerKey(window, Qt::Key_Z); }
bool redo(MainWindow *window) { return triggerKey(window, Qt::Key_Y); }

bool headerSort(MainWindow *window)
{
    QHeaderView *header = window->table()->horizontalHeader();
    const int column = AuctionRows::NameColumn;
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, middle);
    settle();
    return header->sortIndicatorSection() == column;
}

bool sortByProfit(MainWindow *window)
{
    child<QPushButton>(window, "pushButton_2")->click();
    settle();
    return window->table()->rowCount() > 0;
}

// Opens the editor of the middle row's meso price and types a new price;
// commitEdit then commits it.
int64_t editedPrice = 123450000;

bool openEdit(MainWindow *window)
{
    QTableWidget *table = window->table();
    const int row = table->rowCount() / 2;
    table->scrollToItem(table->item(row, AuctionRows::MesoColumn));
    settle();
    const QPoint centre = table->visualItemRect(table->item(row, AuctionRows::MesoColumn)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    auto *editor = table->viewport()->findChild<QLineEdit *>();
    if (!editor || !editor->isVisible())
        return false;
    editedPrice += 10000;
    editor->setText(QString::number(editedPrice));
    return true;
}

bool commitEdit(MainWindow *window)
{
    auto *editor = window->table()->viewport()->findChild<QLineEdit *>();
    if (!editor)
        return false;
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    return true;
}

bool cellEdit(MainWindow *window) { return openEdit(window) && commitEdit(window); }

// --- states -------------------------------------------------------------------

struct State
{
    const char *name;
    std::vector<Step> steps;
};

bool registerTen(MainWindow *window)
{
    for (int k = 0; k < 10; ++k)
        if (!registerItem(window))
            return false;
    return true;
}

const std::vector<State> &states()
{
    static const std::vector<State> all = {
        {"fresh", {}},
        {"registered", {registerItem}},
        {"registered10", {registerTen}},
        {"deleted_top", {deleteTop}},
        {"deleted_middle", {deleteMiddle}},
        {"deleted_bottom", {deleteBottom}},
        {"undone_registration", {registerItem, undo}},
        {"undone_delete_top", {deleteTop, undo}},
        {"undone_delete_middle", {deleteMiddle, undo}},
        {"undone_delete_bottom", {deleteBottom, undo}},
        {"redone_registration", {registerItem, undo, redo}},
        {"redone_delete_top", {deleteTop, undo, redo}},
        {"redone_delete_middle", {deleteMiddle, undo, redo}},
        {"redone_delete_bottom", {deleteBottom, undo, redo}},
        {"header_sorted", {headerSort}},
        {"sorted", {sortByProfit}},
        {"edited", {cellEdit}},
    };
    return all;
}

// --- the player's pause -----------------------------------------------------------

// Between two commands a player reads the table and types, and the game and
// the desktop run meanwhile: the next command finds the caches holding other
// programs' memory. Writing twice the last-level cache's worth of memory
// before each timed command starts every state from there; without it, a
// state of quick commands in a row (ten registrations) leaves the table's
// memory warm for the next one, which no player's pace does.
size_t pauseBytes = 0;

size_t cacheSize()
{
    long size = 0;
#ifdef _SC_LEVEL3_CACHE_SIZE
    size = sysconf(_SC_LEVEL3_CACHE_SIZE);
    if (size <= 0)
        size = sysconf(_SC_LEVEL2_CACHE_SIZE);
#endif
    return size > 0 ? static_cast<size_t>(size) : size_t(32) << 20;
}

void pause()
{
    static std::vector<char> otherMemory(pauseBytes);
    static char value = 0;
    if (otherMemory.empty())
        return;
    std::memset(otherMemory.data(), ++value, otherMemory.size());
    benchmark::DoNotOptimize(otherMemory.data());
    benchmark::ClobberMemory();
}

// --- commands: what is done first, untimed, then what is timed -----------------

bool nothing(MainWindow *) { return true; }

bool releaseRatio(MainWindow *window)
{
    child<QPushButton>(window, "pushButton_4")->click();
    child<QLineEdit>(window, "lineEdit")->setText(QString::number(2700 + ratioTurns++ % 2 * 100));
    return true;
}

bool setRatio(MainWindow *window)
{
    child<QPushButton>(window, "pushButton_3")->click();
    settle();
    return !child<QPushButton>(window, "pushButton_3")->isEnabled();
}

bool resetRatio(MainWindow *window)
{
    child<QPushButton>(window, "pushButton_4")->click();
    settle();
    return child<QPushButton>(window, "pushButton_3")->isEnabled();
}

bool otherFee(MainWindow *window)
{
    const bool toThree = LedgerStore::instance().fee == 5;
    child<QRadioButton>(window, toThree ? "radioButton_2" : "radioButton")->click();
    settle();
    return LedgerStore::instance().fee == (toThree ? 3 : 5);
}

bool otherDiscount(MainWindow *window)
{
    auto *discount = child<QDoubleSpinBox>(window, "doubleSpinBox");
    discount->setValue(discount->value() == 12.5 ? 7.0 : 12.5);
    settle();
    return LedgerStore::instance().rateOfDiscount == discount->value();
}

bool selectMiddle(MainWindow *window)
{
    window->table()->setCurrentCell(window->table()->rowCount() / 2, AuctionRows::NameColumn);
    return true;
}

bool deleteCurrent(MainWindow *window)
{
    QTableWidget *table = window->table();
    const int before = table->rowCount();
    child<QPushButton>(window, "pushButton_5")->click();
    settle();
    return table->rowCount() == before - 1;
}

bool deleteAndUndo(MainWindow *window) { return deleteMiddle(window) && undo(window); }

bool queueOpen(MainWindow *window)
{
    if (window->isWindowModified())
        Prompt::queueSaveAnswer(Prompt::SaveAnswer::Discard);
    Prompt::queueAnswer(true);
    Prompt::queueFileName(ledgerPath(ledgerSize));
    return true;
}

bool open(MainWindow *window) { return triggerKey(window, Qt::Key_O) && Prompt::takeMessages().isEmpty(); }

bool queueSave(MainWindow *)
{
    Prompt::queueFileName(workspacePath(QStringLiteral("Resource/CustomDatas/grid-saved.json")));
    return true;
}

bool save(MainWindow *window) { return triggerKey(window, Qt::Key_S) && Prompt::takeMessages().isEmpty(); }

bool queueExport(MainWindow *)
{
    Prompt::queueFileName(workspacePath(QStringLiteral("Resource/CustomDatas/grid-export.csv")));
    return true;
}

bool exportCsv(MainWindow *window) { return triggerKey(window, Qt::Key_E) && Prompt::takeMessages().isEmpty(); }

// Ctrl+F and the initials of "망토" typed: the search waits for the typing
// to stop; what it does then is timed.
bool typeSearch(MainWindow *window)
{
    auto *bar = window->findChild<FindBar *>();
    if (!bar)
        return false;
    bar->open();
    bar->field()->setText(QString::fromUtf8("ㅁㅌ"));
    return true;
}

bool search(MainWindow *window)
{
    window->findChild<FindBar *>()->applyNow();
    settle();
    QTableWidget *table = window->table();
    return table->rowCount() > 0 && (table->isRowHidden(0) || table->isRowHidden(table->rowCount() - 1));
}

struct Command
{
    const char *name;
    Step prepare;
    Step timed;
};

const std::vector<Command> &commands()
{
    static const std::vector<Command> all = {
        {"ratio_set", releaseRatio, setRatio},
        {"ratio_reset", nothing, resetRatio},
        {"fee", nothing, otherFee},
        {"discount", nothing, otherDiscount},
        {"sort", nothing, sortByProfit},
        {"header_sort", nothing, headerSort},
        {"registration", nothing, registerItem},
        {"delete", selectMiddle, deleteCurrent},
        {"cell_edit", openEdit, commitEdit},
        {"undo", deleteMiddle, undo},
        {"redo", deleteAndUndo, redo},
        {"load", queueOpen, open},
        {"save", queueSave, save},
        {"export", queueExport, exportCsv},
        {"find", typeSearch, search},
    };
    return all;
}

std::string key(const Command &command, const State &state, int64_t n)
{
    return std::string("grid/") + command.name + "/" + state.name + "/" + std::to_string(n);
}

void measure(benchmark::State &benchmarkState, size_t commandIndex, size_t stateIndex)
{
    const Command &command = commands()[commandIndex];
    const State &state = states()[stateIndex];
    ledgerSize = benchmarkState.range(0);
    for (auto _ : benchmarkState) {
        MainWindow *window = loadedWindow(benchmarkState, ledgerSize);
        if (!window)
            return;
        for (Step step : state.steps)
            if (!step(window)) {
                benchmarkState.SkipWithError("the state was not reached");
                closeWindow();
                return;
            }
        if (!command.prepare(window)) {
            benchmarkState.SkipWithError("the command could not be prepared");
            closeWindow();
            return;
        }
        pause();
        QElapsedTimer timer;
        timer.start();
        const bool done = command.timed(window);
        benchmarkState.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        closeWindow();
        if (!done) {
            benchmarkState.SkipWithError("the command did not do its work");
            return;
        }
    }
}


} // namespace

void registerAll(const std::vector<int64_t> &sizes, int repetitions, bool playerPauses)
{
    // At least 64 MB, at most 1 GB and a quarter of the machine's memory.
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    const size_t ceiling = pages > 0 && pageSize > 0 ? std::min(size_t(1) << 30, size_t(pages) * size_t(pageSize) / 4)
                                                      : size_t(1) << 30;
    pauseBytes = playerPauses ? std::clamp(2 * cacheSize(), std::min(size_t(64) << 20, ceiling), ceiling) : 0;
    for (int64_t n : sizes)
        for (size_t s = 0; s < states().size(); ++s)
            for (size_t c = 0; c < commands().size(); ++c) {
                const std::string name = "grid/" + std::string(commands()[c].name) + "/" + states()[s].name;
                benchmark::RegisterBenchmark(name.c_str(), measure, c, s)
                    ->Arg(n)
                    ->Iterations(1)
                    ->Repetitions(repetitions)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
            }
}

int report(const std::function<double(const std::string &)> &medianOf, const std::vector<int64_t> &sizes,
           bool check, double limit, double exempt)
{
    int failures = 0;
    std::printf("\nBefore each timed command: %s\n",
                pauseBytes > 0 ? (std::to_string(pauseBytes >> 20) + " MB of other memory written (a player's pause)").c_str()
                               : "nothing (commands straight after their state)");
    for (int64_t n : sizes) {
        std::printf("\nMedians at %lld items (rows: the state; columns: the command)\n%-22s",
                    static_cast<long long>(n), "");
        for (const Command &command : commands())
            std::printf("%12s", command.name);
        std::printf("\n");
        for (const State &state : states()) {
            std::printf("%-22s", state.name);
            for (const Command &command : commands())
                std::printf("%12s", duration(medianOf(key(command, state, n))).c_str());
            std::printf("\n");
        }
    }
    // How far apart the states leave each command at the largest size.
    std::printf("\nThe slowest state over the fastest at %lld items:\n", static_cast<long long>(sizes.back()));
    for (const Command &command : commands()) {
        const State *fastest = nullptr;
        const State *slowest = nullptr;
        double low = 0.0;
        double high = 0.0;
        for (const State &state : states()) {
            const double median = medianOf(key(command, state, sizes.back()));
            if (median <= 0)
                continue;
            if (!fastest || median < low) {
                fastest = &state;
                low = median;
            }
            if (!slowest || median > high) {
                slowest = &state;
                high = median;
            }
        }
        if (fastest)
            std::printf("  %-14s %5.2f (%s after %s, %s after %s)\n", command.name, high / low, duration(high).c_str(),
                        slowest->name, duration(low).c_str(), fastest->name);
    }
    // Worst ratio of each command over the states, and each growth above the limit.
    std::printf("\nGrowth from %lld to %lld items, the worst state of each command:\n",
                static_cast<long long>(sizes.size() > 1 ? sizes[sizes.size() - 2] : 0),
                static_cast<long long>(sizes.back()));
    if (sizes.size() < 2)
        return 0;
    const int64_t small = sizes[sizes.size() - 2];
    const int64_t large = sizes.back();
    for (const Command &command : commands()) {
        double worst = 0.0;
        const char *worstState = "-";
        double worstLarge = -1.0;
        for (const State &state : states()) {
            const double before = medianOf(key(command, state, small));
            const double after = medianOf(key(command, state, large));
            if (before <= 0 || after < 0) {
                if (check) {
                    std::printf("  %s after %s: not measured\n", command.name, state.name);
                    ++failures;
                }
                continue;
            }
            const double ratio = after / before;
            if (ratio > worst) {
                worst = ratio;
                worstState = state.name;
                worstLarge = after;
            }
            if (check && after >= exempt && ratio > limit) {
                std::printf("  %s after %s: %s at %lld items, %s at %lld: %.1f times (limit %.0f)\n",
                            command.name, state.name, duration(before).c_str(), static_cast<long long>(small),
                            duration(after).c_str(), static_cast<long long>(large), ratio, limit);
                ++failures;
            }
        }
        std::printf("  %-14s %6.1f x (after %s, %s)\n", command.name, worst, worstState,
                    duration(worstLarge).c_str());
    }
    if (check)
        std::printf("scaling check: %s\n", failures == 0 ? "passed" : "FAILED");
    return failures;
}

} // namespace BenchGrid
