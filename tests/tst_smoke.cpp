#include "MainWindow.h"
#include "TestSupport.h"

#include <QtTest>

class SmokeTest : public QObject
{
    Q_OBJECT
private slots:
    void startsWithTitle()
    {
        PortableFolder folder;
        MainWindow *window = freshWindow();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QString::fromUtf8("Pelarin 유틸리티(ver1.53)"));
        releaseWindow();
    }
};

QTEST_MAIN(SmokeTest)
#include "tst_smoke.moc"
