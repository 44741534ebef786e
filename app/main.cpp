#include "DisplayCheck.h"
#include "Launcher.h"
#include "QtTranslation.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (!displayAvailable())
        return 1;
    Launcher::prepareApplication();
    QApplication application(argc, argv);
    // Without the file Qt's buttons and dialogs stay English; nothing else changes.
    installQtTranslation();
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
