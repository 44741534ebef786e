#pragma once

#include <QString>

#include <optional>

// Start-up as the user waits for it: a whole new process, from the moment it
// is spawned until its main window is exposed and painted. The benchmark
// spawns itself with --startup-once window|bare; the child starts either the
// program's own window the way main() does or a bare main window holding an
// empty table, prints the monotonic time at which it saw the exposure, and
// exits.
namespace ProcessStartup {

enum class Kind { Window, Bare };

// The value of --startup-once for kind, and back; nullopt for anything else.
const char *kindName(Kind kind);
std::optional<Kind> kindFromName(const QString &name);

// The child's whole life: creates the application, shows the window, waits
// for its exposure and writes "main <ns> application <ns> built <ns>
// exposed <ns>" (CLOCK_MONOTONIC) to stdout. Returns main's exit code. Must run before any QApplication exists.
int runOnce(int &argc, char **argv, Kind kind);

// Seconds from the spawn of one child.
struct Figures
{
    double toMain = 0;        // exec, dynamic linking and static initialisers
    double toApplication = 0; // the QApplication made: platform, fonts, style
    double toBuilt = 0;       // the window constructed (and init) but not shown
    double toExposed = 0;     // what the user waits for
    double toExit = 0;        // everything, teardown included
};

struct Result
{
    Figures window; // medians
    Figures bare;   // medians
    double windowFastest = 0, windowSlowest = 0;
    double bareFastest = 0, bareSlowest = 0;
    int runs = 0;
    QString error; // empty when every child reported its exposure
};

// Spawns program runs times for each kind, interleaved so that both share
// the machine's noise, with directory as the working directory. One pair
// before the measured ones warms the page cache and is not counted.
Result measure(const QString &program, const QString &directory, int runs);

} // namespace ProcessStartup
