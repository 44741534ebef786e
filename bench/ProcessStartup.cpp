#include "ProcessStartup.h"

#include "AuctionRows.h"
#include "DisplayCheck.h"
#include "Launcher.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "QtTranslation.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTableWidget>
#include <QTimer>
#include <QWindow>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern char **environ;

namespace ProcessStartup {

namespace {

int64_t monotonicNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Notes the first exposure of one top-level widget and quits. The time is
// taken after the exposure has been handled: a widget window paints and
// flushes its backing store while handling it, so by then the user sees it.
class ExposureClock : public QApplication
{
public:
    ExposureClock(int &argc, char **argv)
        : QApplication(argc, argv)
    {
    }

    void watch(QWidget *widget) { m_widget = widget; }
    int64_t exposedAt() const { return m_exposedAt; }

    bool notify(QObject *receiver, QEvent *event) override
    {
        const bool isExpose = event->type() == QEvent::Expose;
        const bool handled = QApplication::notify(receiver, event);
        if (isExpose && m_exposedAt == 0 && m_widget && m_widget->windowHandle()
            && receiver == m_widget->windowHandle() && m_widget->windowHandle()->isExposed()) {
            m_exposedAt = monotonicNanoseconds();
            quit();
        }
        return handled;
    }

private:
    QWidget *m_widget = nullptr;
    int64_t m_exposedAt = 0;
};

// A child that never sees its window exposed gives up instead of hanging
// the benchmark.
const int exposureTimeoutMilliseconds = 30000;

std::optional<Figures> spawnOnce(const QByteArray &program, Kind kind, const QByteArray &directory, QString *error)
{
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) {
        *error = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, directory.constData());
    posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
    QByteArray option("--startup-once");
    QByteArray name(kindName(kind));
    QByteArray programCopy(program);
    char *arguments[] = {programCopy.data(), option.data(), name.data(), nullptr};

    pid_t child = 0;
    const int64_t spawnedAt = monotonicNanoseconds();
    const int failed = posix_spawn(&child, program.constData(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(channel[1]);
    if (failed != 0) {
        close(channel[0]);
        *error = QStringLiteral("cannot start %1: %2").arg(QString::fromLocal8Bit(program),
                                                           QString::fromLocal8Bit(std::strerror(failed)));
        return std::nullopt;
    }

    // The pipe reaches its end when the child exits.
    std::string output;
    char buffer[256];
    for (;;) {
        const ssize_t got = read(channel[0], buffer, sizeof buffer);
        if (got > 0)
            output.append(buffer, static_cast<size_t>(got));
        else if (got == 0 || errno != EINTR)
            break;
    }
    close(channel[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const int64_t exitedAt = monotonicNanoseconds();

    long long mainAt = 0;
    long long applicationAt = 0;
    long long builtAt = 0;
    long long exposedAt = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0
        || std::sscanf(output.c_str(), "main %lld application %lld built %lld exposed %lld", &mainAt,
                       &applicationAt, &builtAt, &exposedAt) != 4
        || mainAt < spawnedAt || applicationAt < mainAt || builtAt < applicationAt || exposedAt < builtAt) {
        *error = QStringLiteral("the %1 start-up failed (status %2, output \"%3\")")
                     .arg(QString::fromLatin1(kindName(kind)))
                     .arg(status)
                     .arg(QString::fromLocal8Bit(output.c_str()).trimmed());
        return std::nullopt;
    }
    Figures figures;
    figures.toMain = (mainAt - spawnedAt) / 1e9;
    figures.toApplication = (applicationAt - spawnedAt) / 1e9;
    figures.toBuilt = (builtAt - spawnedAt) / 1e9;
    figures.toExposed = (exposedAt - spawnedAt) / 1e9;
    figures.toExit = (exitedAt - spawnedAt) / 1e9;
    return figures;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

Figures medians(const std::vector<Figures> &runs)
{
    std::vector<double> toMain, toApplication, toBuilt, toExposed, toExit;
    for (const Figures &run : runs) {
        toMain.push_back(run.toMain);
        toApplication.push_back(run.toApplication);
        toBuilt.push_back(run.toBuilt);
        toExposed.push_back(run.toExposed);
        toExit.push_back(run.toExit);
    }
    Figures figures;
    figures.toMain = median(toMain);
    figures.toApplication = median(toApplication);
    figures.toBuilt = median(toBuilt);
    figures.toExposed = median(toExposed);
    figures.toExit = median(toExit);
    return figures;
}

} // namespace

const char *kindName(Kind kind)
{
    return kind == Kind::Window ? "window" : "bare";
}

std::optional<Kind> kindFromName(const QString &name)
{
    if (name == QLatin1String("window"))
        return Kind::Window;
    if (name == QLatin1String("bare"))
        return Kind::Bare;
    return std::nullopt;
}

int runOnce(int &argc, char **argv, Kind kind)
{
    const int64_t enteredAt = monotonicNanoseconds();
    if (kind == Kind::Window && !displayAvailable())
        return 1;
    // main()'s settings for both, so that the two differ only in what
    // the window itself costs.
    Launcher::prepareApplication();
    ExposureClock application(argc, argv);
    QTimer::singleShot(exposureTimeoutMilliseconds, &application, &QCoreApplication::quit);
    const int64_t applicationAt = monotonicNanoseconds();
    // Qt's Korean texts, as main() loads them, for both kinds.
    installQtTranslation();

    std::unique_ptr<Launcher> launcher;
    std::unique_ptr<QMainWindow> bare;
    int64_t builtAt = 0;
    if (kind == Kind::Window) {
        // Nothing is shown on success; a failure is printed instead of
        // waiting in a message box.
        Prompt::setScripted(true);
        launcher = std::make_unique<Launcher>();
        if (!launcher->init()) {
            for (const QString &message : Prompt::takeMessages())
                std::fprintf(stderr, "start-up: %s\n", qPrintable(message));
            return 1;
        }
        application.watch(MainWindow::instance());
        builtAt = monotonicNanoseconds();
        launcher->show();
    } else {
        bare = std::make_unique<QMainWindow>();
        bare->setCentralWidget(new QTableWidget(0, AuctionRows::columnCount, bare.get()));
        application.watch(bare.get());
        builtAt = monotonicNanoseconds();
        bare->show();
    }
    // A platform may expose the window while show() runs, before any loop.
    if (application.exposedAt() == 0)
        application.exec();
    if (application.exposedAt() == 0) {
        std::fprintf(stderr, "start-up: the %s was not exposed within %d ms\n", kindName(kind),
                     exposureTimeoutMilliseconds);
        return 1;
    }
    std::printf("main %lld application %lld built %lld exposed %lld\n", static_cast<long long>(enteredAt),
                static_cast<long long>(applicationAt), static_cast<long long>(builtAt),
                static_cast<long long>(application.exposedAt()));
    std::fflush(stdout);
    return 0;
}

Result measure(const QString &program, const QString &directory, int runs)
{
    Result result;
    if (runs <= 0)
        return result;
    const QByteArray programPath = program.toLocal8Bit();
    const QByteArray directoryPath = directory.toLocal8Bit();
    std::vector<Figures> window, bare;
    for (int turn = -1; turn < runs; ++turn) {
        // Alternate which kind goes first: neither always follows the other.
        const Kind order[2] = {turn % 2 == 0 ? Kind::Window : Kind::Bare,
                               turn % 2 == 0 ? Kind::Bare : Kind::Window};
        for (Kind kind : order) {
            const std::optional<Figures> figures = spawnOnce(programPath, kind, directoryPath, &result.error);
            if (!figures)
                return result;
            if (turn >= 0)
                (kind == Kind::Window ? window : bare).push_back(*figures);
        }
    }
    result.runs = runs;
    result.window = medians(window);
    result.bare = medians(bare);
    const auto exposed = [](const Figures &a, const Figures &b) { return a.toExposed < b.toExposed; };
    result.windowFastest = std::min_element(window.begin(), window.end(), exposed)->toExposed;
    result.windowSlowest = std::max_element(window.begin(), window.end(), exposed)->toExposed;
    result.bareFastest = std::min_element(bare.begin(), bare.end(), exposed)->toExposed;
    result.bareSlowest = std::max_element(bare.begin(), bare.end(), exposed)->toExposed;
    return result;
}

} // namespace ProcessStartup
