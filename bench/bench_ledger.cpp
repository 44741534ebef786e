// How long the window's commands take over large ledgers, driven through the
// program's own window, file commands and buttons on the offscreen platform.
//
//   pelarin_bench                      every measurement, then a table of
//                                      medians and ratios
//   pelarin_bench --make-ledger N PATH writes a ledger file of N items
//   pelarin_bench --load-file=PATH     opens PATH once and exits (for peak
//                                      memory under /usr/bin/time -v)
//   --repetitions=R                    repetitions per measurement (5)
//   --startup-processes=N              start-ups in fresh processes, N of each
//                                      kind (15; 0 leaves them out)
//   pelarin_bench --grid               every command after every state a
//                                      player reaches, at each size
//   pelarin_bench --scaling-check      the grid at 10,000 and 100,000 items;
//                                      fails when a command grows more than
//                                      30 times for ten times the items
//   --no-pause                         the grid without a player's pause
//                                      before each timed command
//   pelarin_bench --startup-once window|bare
//                                      one start-up in this process: prints
//                                      when the window was exposed and exits
//
// Google Benchmark's own options (--benchmark_filter=...) work as usual.

#include "BenchWindow.h"
#include "LedgerGenerator.h"
#include "ProcessStartup.h"

#include "AuctionRows.h"
#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "Prompt.h"
#include "RecoveryFile.h"
#include "RecoveryKeeper.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const int64_t ledgerSizes[] = {1000, 10000, 100000};
const int64_t literalSize = 1000;

// A portable folder of our own, named by PELARIN_HOME, so the program finds
// its catalogue and its ledgers there (and so do the start-up processes,
// which inherit the variable and start in its bin/).
class Workspace
{
public:
    bool prepare()
    {
        if (!m_dir.isValid())
            return false;
        QDir root(m_dir.path());
        root.mkpath(QStringLiteral("bin"));
        root.mkpath(QStringLiteral("Resource/CustomDatas"));
        if (!QFile::copy(QStringLiteral(PELARIN_CATALOGUE_FILE), root.filePath(QStringLiteral("Resource/CashItems.json"))))
            return false;
        qputenv("PELARIN_HOME", QFile::encodeName(root.path()));
        return true;
    }

    QString path(const QString &relative) const { return QDir(m_dir.path()).filePath(relative); }

    // The ledger file of n items, written on first use.
    QString ledger(int64_t n)
    {
        auto found = m_ledgers.find(n);
        if (found != m_ledgers.end())
            return found->second;
        const QString file = path(QStringLiteral("Resource/CustomDatas/ledger-%1.json").arg(n));
        if (!LedgerGenerator::write(file, n))
            return QString();
        m_ledgers.emplace(n, file);
        return file;
    }

private:
    QTemporaryDir m_dir;
    std::map<int64_t, QString> m_ledgers;
};

Workspace *workspace = nullptr;
int repetitions = 5;
int startupProcesses = 15;

// Lets the window finish what the command left queued: layout, the
// exposure of a new window and its first paint.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void closeWindow()
{
    MainWindow::releaseInstance();
    LedgerStore::destroyInstance();
}

MainWindow *shownWindow(bool batching)
{
    closeWindow();
    Prompt::setScripted(true);
    MainWindow *window = MainWindow::instance();
    if (!window->init())
        return nullptr;
    window->setRowBatchingEnabled(batching);
    window->show();
    settle();
    return window;
}

// The menu action that answers to Ctrl+key.
QAction *fileAction(MainWindow *window, int key)
{
    const QKeySequence wanted(Qt::CTRL + key);
    for (QAction *action : window->findChildren<QAction *>())
        if (action->shortcuts().contains(wanted))
            return action;
    return nullptr;
}

// The open command with the file dialog answered by path.
bool openLedger(MainWindow *window, const QString &path)
{
    QAction *open = fileAction(window, Qt::Key_O);
    if (!open)
        return false;
    Prompt::queueFileName(path);
    open->trigger();
    settle();
    const QStringList messages = Prompt::takeMessages();
    for (const QString &message : messages)
        std::fprintf(stderr, "open %s: %s\n", qPrintable(path), qPrintable(message));
    return messages.isEmpty();
}

MainWindow *loadedWindow(benchmark::State &state, int64_t n)
{
    const QString path = workspace->ledger(n);
    MainWindow *window = shownWindow(true);
    if (path.isEmpty() || !window || !openLedger(window, path) || window->table()->rowCount() != n) {
        state.SkipWithError("the ledger did not load");
        return nullptr;
    }
    return window;
}

// Form widgets are looked up in the central widget: the registration
// dialog, also a child of the window, reuses some of their names.
template <typename T>
T *child(MainWindow *window, const char *name)
{
    return window->centralWidget()->findChild<T *>(QString::fromLatin1(name));
}

// --- measurements ------------------------------------------------------------

void measureLoad(benchmark::State &state, bool batching)
{
    const int64_t n = state.range(0);
    const QString path = workspace->ledger(n);
    if (path.isEmpty()) {
        state.SkipWithError("cannot write the ledger file");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        MainWindow *window = shownWindow(batching);
        state.ResumeTiming();
        const bool loaded = window && openLedger(window, path);
        state.PauseTiming();
        if (!loaded || window->table()->rowCount() != n) {
            state.SkipWithError("the ledger did not load");
            break;
        }
        state.ResumeTiming();
    }
    closeWindow();
}

void measureSort(benchmark::State &state)
{
    MainWindow *window = loadedWindow(state, state.range(0));
    if (!window)
        return;
    QPushButton *sort = child<QPushButton>(window, "pushButton_2");
    for (auto _ : state) {
        sort->click();
        settle();
    }
    if (window->table()->rowCount() != state.range(0) || !window->table()->item(0, AuctionRows::NameColumn)
        || window->table()->item(0, AuctionRows::NameColumn)->background().color() != QColor(255, 255, 0))
        state.SkipWithError("the sorted table is not complete");
    closeWindow();
}

// A click on the item name's title: the rows in Korean order of their
// names, then the other way round at the next click. Names are the one
// column compared by collation, so the dearest title to click.
void measureHeaderSort(benchmark::State &state)
{
    MainWindow *window = loadedWindow(state, state.range(0));
    if (!window)
        return;
    QHeaderView *header = window->table()->horizontalHeader();
    const int column = AuctionRows::NameColumn;
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    for (auto _ : state) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, middle);
        settle();
    }
    if (window->table()->rowCount() != state.range(0) || header->sortIndicatorSection() != column)
        state.SkipWithError("the table was not sorted by its names");
    closeWindow();
}

void measureDiscount(benchmark::State &state)
{
    MainWindow *window = loadedWindow(state, state.range(0));
    if (!window)
        return;
    QDoubleSpinBox *discount = child<QDoubleSpinBox>(window, "doubleSpinBox");
    int64_t turn = 0;
    for (auto _ : state) {
        discount->setValue(turn++ % 2 == 0 ? 12.5 : 7.0);
        settle();
    }
    if (LedgerStore::instance().rateOfDiscount != discount->value())
        state.SkipWithError("the discount did not change");
    closeWindow();
}

void measureFee(benchmark::State &state)
{
    MainWindow *window = loadedWindow(state, state.range(0));
    if (!window)
        return;
    QRadioButton *five = child<QRadioButton>(window, "radioButton");
    QRadioButton *three = child<QRadioButton>(window, "radioButton_2");
    int64_t turn = 0;
    for (auto _ : state) {
        const bool toThree = turn++ % 2 == 0;
        (toThree ? three : five)->click();
        settle();
    }
    if (LedgerStore::instance().fee != ((turn % 2 == 1) ? 3 : 5))
        state.SkipWithError("the fee did not change");
    closeWindow();
}

// A double click on the meso price of the top row, a new price typed into
// the editor and committed with Enter.
void measureCellEdit(benchmark::State &state)
{
    MainWindow *window = loadedWindow(state, state.range(0));
    if (!window)
        return;
    QTableWidget *table = window->table();
    int64_t price = 123450000;
    for (auto _ : state) {
        QTableWidgetItem *cell = table->item(0, AuctionRows::MesoColumn);
        const QPoint centre = table->visualItemRect(cell).center();
        // A double click reaches an item view as a press and then a double
        // click on the same cell.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        if (!editor)
            editor = table->viewport()->findChild<QLineEdit *>();
        if (!editor) {
            state.SkipWithError("no editor opened");
            break;
        }
        price += 10000;
        editor->setText(QString::number(price));
        QTest::keyClick(editor, Qt::Key_Return);
        settle();
    }
    const int32_t id = table->item(0, AuctionRows::KeyColumn)->text().toInt();
    if (state.error_occurred() == false && LedgerStore::instance().item(id).mesoPrice != price)
        state.SkipWithError("the edit did not reach the ledger");
    closeWindow();
}

void measureDeleteRow(benchmark::State &state)
{
    MainWindow *window = loadedWindow(state, state.range(0));
    if (!window)
        return;
    QTableWidget *table = window->table();
    QPushButton *remove = child<QPushButton>(window, "pushButton_5");
    for (auto _ : state) {
        state.PauseTiming();
        table->setCurrentCell(table->rowCount() / 2, AuctionRows::NameColumn);
        state.ResumeTiming();
        remove->click();
        settle();
    }
    if (static_cast<int64_t>(LedgerStore::instance().items().size()) != table->rowCount()
        || table->rowCount() != state.range(0) - static_cast<int64_t>(state.iterations()))
        state.SkipWithError("rows and ledger differ after deleting");
    closeWindow();
}

// Undo of a delete (the row comes back in its place), and redo of it.
void measureUndoDelete(benchmark::State &state, bool redo)
{
    MainWindow *window = loadedWindow(state, state.range(0));
    if (!window)
        return;
    QTableWidget *table = window->table();
    QPushButton *remove = child<QPushButton>(window, "pushButton_5");
    QAction *undoAction = fileAction(window, Qt::Key_Z);
    QAction *redoAction = fileAction(window, Qt::Key_Y);
    if (!undoAction || !redoAction) {
        state.SkipWithError("no undo and redo actions");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        table->setCurrentCell(table->rowCount() / 2, AuctionRows::NameColumn);
        remove->click();
        settle();
        if (redo) {
            undoAction->trigger();
            settle();
        }
        state.ResumeTiming();
        (redo ? redoAction : undoAction)->trigger();
        settle();
    }
    const int64_t expected = redo ? state.range(0) - static_cast<int64_t>(state.iterations()) : state.range(0);
    if (static_cast<int64_t>(LedgerStore::instance().items().size()) != table->rowCount()
        || table->rowCount() != expected)
        state.SkipWithError("rows and ledger differ after undo or redo");
    closeWindow();
}

void measureSave(benchmark::State &state)
{
    MainWindow *window = loadedWindow(state, state.range(0));
    if (!window)
        return;
    QAction *save = fileAction(window, Qt::Key_S);
    const QString path = workspace->path(QStringLiteral("Resource/CustomDatas/saved.json"));
    for (auto _ : state) {
        Prompt::queueFileName(path);
        save->trigger();
        settle();
    }
    if (!Prompt::takeMessages().isEmpty() || QFile(path).size() < state.range(0))
        state.SkipWithError("the ledger was not saved");
    closeWindow();
}

// The recovery copy's part on the window's thread: the capture of the
// ledger. It must fit in a frame (16 ms).
void measureRecoverySnapshot(benchmark::State &state)
{
    MainWindow *window = loadedWindow(state, state.range(0));
    if (!window)
        return;
    auto *keeper = window->findChild<RecoveryKeeper *>();
    size_t rows = 0;
    for (auto _ : state) {
        const RecoveryKeeper::Capture capture = keeper->capture();
        rows = capture.keyCellsByRow.size();
        benchmark::DoNotOptimize(rows);
    }
    if (static_cast<int64_t>(rows) != state.range(0)
        || static_cast<int64_t>(RecoveryKeeper::resolve(keeper->capture()).rows.size()) != state.range(0))
        state.SkipWithError("the snapshot does not hold every item");
    closeWindow();
}

// The recovery copy's part on the keeper's own thread: put the rows in
// order, build the JSON and write it through QSaveFile.
void measureRecoveryWrite(benchmark::State &state)
{
    MainWindow *window = loadedWindow(state, state.range(0));
    if (!window)
        return;
    const RecoveryKeeper::Capture capture = window->findChild<RecoveryKeeper *>()->capture();
    const QString path = workspace->path(QStringLiteral("Resource/Recovery/bench.json"));
    QDir().mkpath(QFileInfo(path).absolutePath());
    bool written = true;
    for (auto _ : state)
        written = RecoveryFile::write(RecoveryKeeper::resolve(capture), path) && written;
    RecoveryFile::Snapshot back;
    if (!written || RecoveryFile::read(path, back) != RecoveryFile::ReadResult::Read
        || static_cast<int64_t>(back.rows.size()) != state.range(0))
        state.SkipWithError("the recovery copy was not written whole");
    closeWindow();
}

// From nothing to the main window shown, as main() does it.
void measureStartup(benchmark::State &state)
{
    Prompt::setScripted(true);
    for (auto _ : state) {
        state.PauseTiming();
        closeWindow();
        state.ResumeTiming();
        MainWindow *window = MainWindow::instance();
        if (!window->init()) {
            state.SkipWithError("the window did not start");
            break;
        }
        window->show();
        settle();
    }
    const bool exposed = MainWindow::exists() && MainWindow::instance()->windowHandle()
        && MainWindow::instance()->windowHandle()->isExposed();
    closeWindow();
    if (!exposed && !state.error_occurred())
        state.SkipWithError("the window was not shown");
}

// The least a window with the same table can cost: a bare main window
// holding an empty nine-column table.
void measureBareStartup(benchmark::State &state)
{
    std::unique_ptr<QMainWindow> window;
    for (auto _ : state) {
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
        window.reset(new QMainWindow);
        window->setCentralWidget(new QTableWidget(0, AuctionRows::columnCount, window.get()));
        window->show();
        settle();
    }
    window.reset();
}

void measureLoadOnce(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        state.PauseTiming();
        MainWindow *window = shownWindow(true);
        state.ResumeTiming();
        if (!window || !openLedger(window, path)) {
            state.SkipWithError("the ledger did not load");
            break;
        }
        state.counters["rows"] = window->table()->rowCount();
    }
    closeWindow();
}

// --- the table of figures ----------------------------------------------------

// Keeps the median real time of every measurement for the summary.
class FigureReporter : public benchmark::ConsoleReporter
{
public:
    FigureReporter()
        : ConsoleReporter(isatty(fileno(stdout)) ? OO_Color : OO_None)
    {
    }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const std::string key = run.run_name.function_name
                + (run.run_name.args.empty() ? std::string() : "/" + run.run_name.args);
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    m_medians[key] = seconds;
            } else {
                m_samples[key].push_back(seconds);
            }
        }
    }

    // Median seconds, or a negative value when the measurement did not run.
    double median(const std::string &key) const
    {
        const auto found = m_medians.find(key);
        if (found != m_medians.end())
            return found->second;
        const auto samples = m_samples.find(key);
        if (samples == m_samples.end() || samples->second.empty())
            return -1.0;
        std::vector<double> sorted = samples->second;
        std::sort(sorted.begin(), sorted.end());
        const size_t middle = sorted.size() / 2;
        return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2.0;
    }

private:
    std::map<std::string, double> m_medians;
    std::map<std::string, std::vector<double>> m_samples;
};

std::string duration(double seconds)
{
    char text[32];
    if (seconds < 0)
        return "-";
    if (seconds >= 1.0)
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    else if (seconds >= 0.001)
        std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
    return text;
}

const char *verdict(bool met)
{
    return met ? "met" : "NOT met";
}

void printProcessStartup(const ProcessStartup::Result &result)
{
    if (result.runs <= 0 && result.error.isEmpty())
        return;
    if (!result.error.isEmpty()) {
        std::printf("start-up in a fresh process: not measured (%s)\n", qPrintable(result.error));
        return;
    }
    const ProcessStartup::Figures &window = result.window;
    const ProcessStartup::Figures &bare = result.bare;
    const double ratio = window.toExposed / bare.toExposed;
    std::printf("start-up, fresh process from spawn to the window exposed and painted (median of %d, %s):\n"
                "  program's window %s (%s to %s), bare window with an empty table %s (%s to %s),\n"
                "  ratio %.2f (goal <= 1.5: %s)\n",
                result.runs, qPrintable(QGuiApplication::platformName()), duration(window.toExposed).c_str(),
                duration(result.windowFastest).c_str(), duration(result.windowSlowest).c_str(),
                duration(bare.toExposed).c_str(), duration(result.bareFastest).c_str(),
                duration(result.bareSlowest).c_str(), ratio, verdict(ratio <= 1.5));
    std::printf("  %-30s %12s %17s %13s %13s %10s\n", "medians from the spawn until", "main() ran",
                "application made", "window built", "exposed", "exited");
    for (const auto &kind : {std::make_pair("program's window", &window), std::make_pair("bare window", &bare)})
        std::printf("  %-30s %12s %17s %13s %13s %10s\n", kind.first, duration(kind.second->toMain).c_str(),
                    duration(kind.second->toApplication).c_str(), duration(kind.second->toBuilt).c_str(),
                    duration(kind.second->toExposed).c_str(), duration(kind.second->toExit).c_str());
}

void printSummary(const FigureReporter &figures, const ProcessStartup::Result &processStartup)
{
    struct Row {
        const char *label;
        const char *key;
    };
    const Row rows[] = {
        {"load (open command until the table is filled)", "load/batched"},
        {"sort", "sort"},
        {"sort by a click on the name's title", "header_sort"},
        {"discount change", "discount"},
        {"fee change", "fee"},
        {"one cell edit (meso price)", "cell_edit"},
        {"delete one row", "delete_row"},
        {"undo a delete", "undo_delete"},
        {"redo a delete", "redo_delete"},
        {"save", "save"},
    };
    std::printf("\nMedians of real time\n%-48s", "");
    for (int64_t n : ledgerSizes)
        std::printf("%14s", ("n = " + std::to_string(n)).c_str());
    std::printf("\n");
    for (const Row &row : rows) {
        std::vector<double> medians;
        for (int64_t n : ledgerSizes)
            medians.push_back(figures.median(std::string(row.key) + "/" + std::to_string(n)));
        // A run filtered down to other measurements leaves whole rows empty.
        if (std::all_of(medians.begin(), medians.end(), [](double seconds) { return seconds < 0; }))
            continue;
        std::printf("%-48s", row.label);
        for (double seconds : medians)
            std::printf("%14s", duration(seconds).c_str());
        std::printf("\n");
    }

    const std::string large = "/" + std::to_string(ledgerSizes[2]);
    const double literal = figures.median("load/literal/" + std::to_string(literalSize));
    const double batched = figures.median("load/batched/" + std::to_string(literalSize));
    const double startup = figures.median("startup/window");
    const double bare = figures.median("startup/bare_window");
    std::printf("(each load runs in a fresh window of a process that has held ledgers before; the\n"
                " first load of a process, which must also take its memory from the system, is\n"
                " measured on its own by scripts/bench.sh)\n");
    std::printf("\nBaselines and ratios\n");
    if (literal > 0 && batched > 0)
        std::printf("load of %lld items: one row at a time %s, batched %s, %.0f times faster (goal >= 300: %s)\n",
                    static_cast<long long>(literalSize), duration(literal).c_str(), duration(batched).c_str(),
                    literal / batched, verdict(literal / batched >= 300));
    if (startup > 0 && bare > 0)
        std::printf("start-up, warm in-process (construct, init, show, settle in a running application):\n"
                    "  program's window %s, bare window with an empty table %s, ratio %.2f (goal <= 1.5: %s)\n",
                    duration(startup).c_str(), duration(bare).c_str(), startup / bare, verdict(startup / bare <= 1.5));
    printProcessStartup(processStartup);
    const Row goals[] = {{"load", "load/batched"}, {"sort", "sort"}, {"discount change", "discount"}, {"fee change", "fee"}};
    for (const Row &goal : goals) {
        const double seconds = figures.median(goal.key + large);
        if (seconds < 0)
            continue;
        const double limit = std::strcmp(goal.key, "load/batched") == 0 ? 1.5 : 1.0;
        std::printf("%s of %lld items %s (goal <= %.1f s: %s)\n", goal.label,
                    static_cast<long long>(ledgerSizes[2]), duration(seconds).c_str(), limit,
                    verdict(seconds <= limit));
    }
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory of this whole run: %.0f MB\n", usage.ru_maxrss / 1024.0);
}

void registerAll()
{
    const auto sized = [](benchmark::internal::Benchmark *benchmark, int64_t n) {
        // Big ledgers take a second or more per run; small ones repeat to
        // rise above the timer's noise.
        const int64_t iterations = n >= 100000 ? 1 : n >= 10000 ? 3 : 10;
        benchmark->Arg(n)->Iterations(iterations)->Repetitions(repetitions)->UseRealTime()->Unit(benchmark::kMillisecond);
    };
    // A command on one item takes a millisecond or two at any size: many of
    // them per loaded ledger, so that a difference of a few percent shows.
    const auto single = [](benchmark::internal::Benchmark *benchmark, int64_t n) {
        benchmark->Arg(n)->Iterations(40)->Repetitions(repetitions)->UseRealTime()->Unit(benchmark::kMillisecond);
    };
    for (int64_t n : ledgerSizes) {
        sized(benchmark::RegisterBenchmark("load/batched", measureLoad, true), n);
        sized(benchmark::RegisterBenchmark("sort", measureSort), n);
        sized(benchmark::RegisterBenchmark("header_sort", measureHeaderSort), n);
        sized(benchmark::RegisterBenchmark("discount", measureDiscount), n);
        sized(benchmark::RegisterBenchmark("fee", measureFee), n);
        single(benchmark::RegisterBenchmark("cell_edit", measureCellEdit), n);
        single(benchmark::RegisterBenchmark("delete_row", measureDeleteRow), n);
        single(benchmark::RegisterBenchmark("undo_delete", measureUndoDelete, false), n);
        single(benchmark::RegisterBenchmark("redo_delete", measureUndoDelete, true), n);
        sized(benchmark::RegisterBenchmark("save", measureSave), n);
        sized(benchmark::RegisterBenchmark("recovery/snapshot", measureRecoverySnapshot), n);
        sized(benchmark::RegisterBenchmark("recovery/write", measureRecoveryWrite), n);
    }
    // The literal path takes seconds for a thousand rows: three runs.
    benchmark::RegisterBenchmark("load/literal", measureLoad, false)
        ->Arg(literalSize)
        ->Iterations(1)
        ->Repetitions(std::min(repetitions, 3))
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    for (auto *benchmark : {benchmark::RegisterBenchmark("startup/window", measureStartup),
                            benchmark::RegisterBenchmark("startup/bare_window", measureBareStartup)})
        benchmark->Iterations(20)->Repetitions(repetitions)->UseRealTime()->Unit(benchmark::kMillisecond);
}

// Takes our own options out of argv; Google Benchmark gets the rest.
struct Options
{
    int64_t makeCount = -1;
    QString makePath;
    QString loadFile;
    std::optional<ProcessStartup::Kind> startupOnce;
    // Every command after every state; with the check, over 10,000 and
    // 100,000 items only, failing on a cost that grows faster than the ledger.
    bool grid = false;
    bool scalingCheck = false;
    bool playerPauses = true;
    bool valid = true;
};


Options takeOptions(int &argc, char **argv)
{
    Options options;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--make-ledger")) {
            if (i + 2 >= argc) {
                options.valid = false;
                break;
            }
            bool isNumber = false;
            options.makeCount = QString::fromLocal8Bit(argv[i + 1]).toLongLong(&isNumber);
            options.makePath = QString::fromLocal8Bit(argv[i + 2]);
            options.valid = options.valid && isNumber && options.makeCount >= 0;
            i += 2;
        } else if (argument.startsWith(QLatin1String("--load-file="))) {
            options.loadFile = QFileInfo(argument.mid(12)).absoluteFilePath();
        } else if (argument == QLatin1String("--startup-once")) {
            options.startupOnce = i + 1 < argc ? ProcessStartup::kindFromName(QString::fromLocal8Bit(argv[i + 1]))
                                               : std::nullopt;
            options.valid = options.valid && options.startupOnce.has_value();
            ++i;
        } else if (argument.startsWith(QLatin1String("--startup-processes="))) {
            bool isNumber = false;
            startupProcesses = argument.mid(20).toInt(&isNumber);
            options.valid = options.valid && isNumber && startupProcesses >= 0;
        } else if (argument == QLatin1String("--grid")) {
            options.grid = true;
        } else if (argument == QLatin1String("--scaling-check")) {
            options.grid = true;
            options.scalingCheck = true;
        } else if (argument == QLatin1String("--no-pause")) {
            options.playerPauses = false;
        } else if (argument.startsWith(QLatin1String("--repetitions="))) {
            bool isNumber = false;
            repetitions = argument.mid(14).toInt(&isNumber);
            options.valid = options.valid && isNumber && repetitions >= 1;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return options;
}

std::vector<int64_t> gridSizes(const Options &options)
{
    if (options.scalingCheck)
        return {10000, 100000};
    return std::vector<int64_t>(std::begin(ledgerSizes), std::end(ledgerSizes));
}

// The offscreen platform warns about every window it shows or raises, and every
// process started without a login session about XDG_RUNTIME_DIR.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")) || message.contains(QLatin1String("does not support raise()"))
        || message.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

namespace BenchWindow {

void settle()
{
    ::settle();
}

void closeWindow()
{
    ::closeWindow();
}

MainWindow *loadedWindow(benchmark::State &state, int64_t n)
{
    return ::loadedWindow(state, n);
}

QString ledgerPath(int64_t n)
{
    return workspace->ledger(n);
}

QString workspacePath(const QString &relative)
{
    return workspace->path(relative);
}

QAction *fileAction(MainWindow *window, int key)
{
    return ::fileAction(window, key);
}

QWidget *formChild(MainWindow *window, const char *name)
{
    return ::child<QWidget>(window, name);
}

std::string duration(double seconds)
{
    return ::duration(seconds);
}

} // namespace BenchWindow

int main(int argc, char **argv)
{
    const Options options = takeOptions(argc, argv);
    if (!options.valid) {
        std::fprintf(stderr, "usage: %s [--repetitions=R] [--startup-processes=N] [--load-file=PATH] "
                             "[--make-ledger N PATH] [--startup-once window|bare] [benchmark options]\n", argv[0]);
        return 2;
    }
    if (options.makeCount >= 0)
        return LedgerGenerator::write(options.makePath, options.makeCount) ? 0 : 1;

    // Measured without a display, the way the tests run.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    if (options.startupOnce)
        return ProcessStartup::runOnce(argc, argv, *options.startupOnce);
    QApplication application(argc, argv);

    Workspace ownWorkspace;
    if (!ownWorkspace.prepare()) {
        std::fprintf(stderr, "cannot prepare a portable folder\n");
        return 1;
    }
    workspace = &ownWorkspace;

    if (!options.loadFile.isEmpty()) {
        benchmark::RegisterBenchmark("load/file", measureLoadOnce, options.loadFile)
            ->Iterations(1)
            ->Repetitions(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    } else if (options.grid) {
        startupProcesses = 0;
        BenchGrid::registerAll(gridSizes(options), repetitions, options.playerPauses);
    } else {
        registerAll();
    }

    // The grid's measurements take turns in a random order, each repetition
    // on its own: a state is not measured only while the machine is busy,
    // nor only right after the same command warmed the caches for it.
    std::vector<char *> arguments(argv, argv + argc + 1);
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    if (options.grid) {
        arguments.insert(arguments.begin() + 1, interleave);
        ++argc;
    }
    benchmark::Initialize(&argc, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(argc, arguments.data()))
        return 2;

    // First, while this process is still small and the machine quiet.
    ProcessStartup::Result processStartup;
    if (options.loadFile.isEmpty() && startupProcesses > 0) {
        std::printf("start-up in fresh processes: %d of each kind...\n", startupProcesses);
        std::fflush(stdout);
        processStartup = ProcessStartup::measure(QCoreApplication::applicationFilePath(),
                                                 ownWorkspace.path(QStringLiteral("bin")), startupProcesses);
    }
    FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (options.grid) {
        const int failures = BenchGrid::report([&](const std::string &key) { return reporter.median(key); },
                                               gridSizes(options), options.scalingCheck);
        benchmark::Shutdown();
        return failures == 0 ? 0 : 1;
    }
    if (options.loadFile.isEmpty())
        printSummary(reporter, processStartup);
    benchmark::Shutdown();
    return 0;
}
