#include "Launcher.h"

#include "MainWindow.h"

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
    return MainWindow::instance()->init();
}

void Launcher::show()
{
    MainWindow::instance()->show();
}
