#include "Launcher.h"

#include "MainWindow.h"
#include "RecoveryKeeper.h"

#include <QApplication>

Launcher::~Launcher()
{
    MainWindow::releaseInstance();
}

void Launcher::prepareApplication()
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#if QT_VERSION >= QT_VERSION_CHECK(5, 14, 0)
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
#endif
}

bool Launcher::init()
{
    if (!MainWindow::instance()->init())
        return false;
    // Work that a crash left behind is offered before anything else.
    RecoveryKeeper::offerLeftWork(MainWindow::instance());
    return true;
}

void Launcher::show()
{
    MainWindow::instance()->show();
}
