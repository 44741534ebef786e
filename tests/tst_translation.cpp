#include "QtTranslation.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

// Qt's own buttons, as the program's message boxes and its close question
// show them, after the translation that main() installs.
class TranslationTest : public QObject
{
    Q_OBJECT

    static QString buttonText(QMessageBox::StandardButton which)
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("notify"), QStringLiteral("?"),
                        QMessageBox::Save | QMessageBox::Cancel | QMessageBox::Yes);
        return box.button(which)->text();
    }

private slots:
    // Every test starts from Qt's English: what an earlier one installed goes.
    void init()
    {
        for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

    // The same call as main(), from this platform's folder: Qt's
    // translations folder on Linux, translations\ beside the test program on
    // Windows (the build copies the file there as it does for pelarin.exe).
    void standardButtonsAreKorean()
    {
        QVERIFY2(installQtTranslation(),
                 qPrintable(QStringLiteral("no qtbase_ko.qm in ") + qtTranslationFolder()));
        // The texts qtbase_ko.qm gives Qt's standard buttons.
        QCOMPARE(buttonText(QMessageBox::Save), QString::fromUtf8("저장"));
        QCOMPARE(buttonText(QMessageBox::Cancel), QString::fromUtf8("취소"));
        QCOMPARE(buttonText(QMessageBox::Yes), QString::fromUtf8("예(&Y)"));
    }

    // A folder without qtbase_ko.qm: false, nothing installed, the buttons
    // as before. The folder does hold a Korean translation under another
    // name, which must not be taken for it.
    void missingFileIsReported()
    {
        const QString english = buttonText(QMessageBox::Save);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString korean = QDir(qtTranslationFolder()).filePath(QStringLiteral("qtbase_ko.qm"));
        if (QFile::exists(korean))
            QVERIFY(QFile::copy(korean, folder.filePath(QStringLiteral("qtbase.qm"))));

        QVERIFY(!installQtTranslation(folder.path()));
        QVERIFY(qApp->findChildren<QTranslator *>().isEmpty());
        QCOMPARE(buttonText(QMessageBox::Save), english);
    }
};

QTEST_MAIN(TranslationTest)
#include "tst_translation.moc"
