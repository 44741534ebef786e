#include "Launcher.h"

#include "MainWindow.h"

Launcher::~Launcher()
{
    MainWindow::releaseInstance();
}

bool Launcher::init()
{
    return MainWindow::instance()->init();
}

void Launcher::show()
{
    MainWindow::instance()->show();
}
