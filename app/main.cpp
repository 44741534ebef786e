#include "DisplayCheck.h"
#include "Launcher.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (!displayAvailable())
        return 1;
    // The form's pixel geometry must grow with the fonts on scaled screens.
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
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
