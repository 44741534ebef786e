#pragma once

#include <benchmark/benchmark.h>

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class MainWindow;
class QAction;

// The program's window as the measurements drive it (bench_ledger.cpp).
namespace BenchWindow {

// Lets the window finish what a command left queued.
void settle();
void closeWindow();
// A shown window that has opened the generated ledger of n items; null, and
// the benchmark skipped, when it did not load.
MainWindow *loadedWindow(benchmark::State &state, int64_t n);
QString ledgerPath(int64_t n);
// A path in the benchmark's portable folder.
QString workspacePath(const QString &relative);
// The menu action that answers to Ctrl+key.
QAction *fileAction(MainWindow *window, int key);
QWidget *formChild(MainWindow *window, const char *name);
// "12.34 ms" and the like; "-" for a measurement that did not run.
std::string duration(double seconds);

template <typename T>
T *child(MainWindow *window, const char *name)
{
    return qobject_cast<T *>(formChild(window, name));
}

} // namespace BenchWindow

// Every command after every state a player reaches: a fresh load, one or
// ten registrations, a delete at the top, in the middle or at the bottom,
// an undo or a redo of each, a sort by a title, "정렬", a cell edit.
namespace BenchGrid {

// With `playerPauses`, other memory is written before each timed command,
// as other programs do while a player reads and types.
void registerAll(const std::vector<int64_t> &sizes, int repetitions, bool playerPauses = true);
// The table of medians; with check, also whether each command's time grows
// with the ledger at most as `limit` times for ten times the items (commands
// under `exempt` seconds at the largest size aside). The count of commands
// that grew faster.
int report(const std::function<double(const std::string &)> &medianOf, const std::vector<int64_t> &sizes,
           bool check, double limit = 30.0, double exempt = 0.002);

} // namespace BenchGrid
