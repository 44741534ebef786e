#include "DisplayCheck.h"
#include "Launcher.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (!displayAvailable())
        return 1;
    Launcher::prepareApplication();
    QApplication application(argc, argv);
    int result = -1;
    {
        Launcher launcher;
        if (launcher.init()) {
            launcher.show();
            result = application.exec();
        }
    }
    return result;
}
