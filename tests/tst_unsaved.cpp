#include "LedgerDocument.h"
#include "LedgerStore.h"
#include "MainWindow.h"
#include "Prompt.h"
#include "TestSupport.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

const QString unsavedQuestion = QString::fromUtf8("저장하지 않은 변경 사항이 있습니다.\n"
                                                  "변경 사항을 저장하시겠습니까?");

// Answers the modal windows that come up while a command runs, one step
// each, in order, as a user would; records what each one was.
class ModalAnswers : public QObject
{
public:
    using Step = std::function<void(QWidget *)>;

    explicit ModalAnswers(QList<Step> steps)
        : m_steps(std::move(steps))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { answer(); });
        m_timer.start(10);
    }

    QStringList seen;
    bool allAnswered() const { return m_steps.isEmpty(); }

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal->property("answered").toBool())
            return;
        modal->setProperty("answered", true);
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            seen << QStringLiteral("box: ") + box->text();
        else if (qobject_cast<QFileDialog *>(modal))
            seen << QStringLiteral("file dialog");
        else
            seen << QString::fromLatin1(modal->metaObject()->className());
        if (m_steps.isEmpty()) {
            modal->close();
            return;
        }
        m_steps.takeFirst()(modal);
    }

    QList<Step> m_steps;
    QTimer m_timer;
};

ModalAnswers::Step clickBoxButton(const char *text)
{
    return [text](QWidget *modal) {
        for (QAbstractButton *button : modal->findChildren<QAbstractButton *>())
            if (button->text() == QString::fromUtf8(text)) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        modal->close();
    };
}

ModalAnswers::Step pressKey(Qt::Key key)
{
    return [key](QWidget *modal) { QTest::keyClick(modal, key); };
}

// Types a name into the file dialog's name field and presses Return.
ModalAnswers::Step typeFileName(const QString &name)
{
    return [name](QWidget *modal) {
        auto *field = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!field) {
            modal->close();
            return;
        }
        field->setText(name);
        QTest::keyClick(field, Qt::Key_Return);
    };
}

ModalAnswers::Step cancelDialog()
{
    return [](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); };
}

} // namespace

Q_DECLARE_METATYPE(QList<ModalAnswers::Step>)

// The question before unsaved work would be lost, through the real message
// box and file dialog.
class UnsavedTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void closing_data();
    void closing();
    void opening();
    void savingToTheOpenFile_data();
    void savingToTheOpenFile();
    void keepsWhatTheFileHeld_data();
    void keepsWhatTheFileHeld();
    void saveOffersTheCurrentFile();

private:
    QString dataDir() const { return folder->path(QStringLiteral("Resource/CustomDatas")); }
};

void UnsavedTest::init()
{
    folder.reset(new PortableFolder);
    window = exposed(windowFromIdZero());
    QVERIFY(window);
    // Real boxes and dialogs from here on.
    Prompt::setScripted(false);
    QCOMPARE(window->windowTitle(), QString::fromUtf8("Pelarin 유틸리티(ver1.53)"));
}

void UnsavedTest::cleanup()
{
    Prompt::setScripted(true);
    releaseAll();
}

void UnsavedTest::closing_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QList<ModalAnswers::Step>>("steps");
    QTest::addColumn<QStringList>("seen");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("savedAs"); // empty when nothing is written

    const QString box = QStringLiteral("box: ") + unsavedQuestion;
    const QString dialog = QStringLiteral("file dialog");
    QTest::newRow("nothing changed") << false << QList<ModalAnswers::Step>{} << QStringList{} << true << QString();
    QTest::newRow("cancel") << true << QList<ModalAnswers::Step>{clickBoxButton("취소")} << QStringList{box} << false
                            << QString();
    QTest::newRow("escape") << true << QList<ModalAnswers::Step>{pressKey(Qt::Key_Escape)} << QStringList{box}
                            << false << QString();
    QTest::newRow("don't save") << true << QList<ModalAnswers::Step>{clickBoxButton("저장 안 함")}
                                << QStringList{box} << true << QString();
    // Return is Save: the name typed without an extension gets ".json".
    QTest::newRow("return saves") << true
                                  << QList<ModalAnswers::Step>{pressKey(Qt::Key_Return),
                                                               typeFileName(QString::fromUtf8("12월 장부"))}
                                  << QStringList{box, dialog} << true << QString::fromUtf8("12월 장부.json");
    QTest::newRow("save, other extension kept")
        << true << QList<ModalAnswers::Step>{clickBoxButton("저장"), typeFileName(QStringLiteral("ledger.txt"))}
        << QStringList{box, dialog} << true << QStringLiteral("ledger.txt");
    QTest::newRow("save, dialog cancelled")
        << true << QList<ModalAnswers::Step>{clickBoxButton("저장"), cancelDialog()} << QStringList{box, dialog}
        << false << QString();
}

void UnsavedTest::closing()
{
    QFETCH(bool, changed);
    QFETCH(QList<ModalAnswers::Step>, steps);
    QFETCH(QStringList, seen);
    QFETCH(bool, closes);
    QFETCH(QString, savedAs);

    if (changed) {
        setRatio(window, 3000);
        LedgerStore::instance().addItem("item", 10000, 300000000, true);
        QVERIFY(window->isWindowModified());
    }
    ModalAnswers answers(steps);
    window->close();
    QCOMPARE(answers.seen, seen);
    QVERIFY(answers.allAnswered());
    QCOMPARE(window->isVisible(), !closes);
    const QStringList written = QDir(dataDir()).entryList(QDir::Files);
    QCOMPARE(written, savedAs.isEmpty() ? QStringList() : QStringList{savedAs});
    if (!savedAs.isEmpty()) {
        QCOMPARE(folder->readFile(QStringLiteral("Resource/CustomDatas/") + savedAs),
                 QByteArray("{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[{\"name\":\"item\","
                            "\"cashPrice\":10000,\"mesoPrice\":300000000,\"isUseMileage\":true}]}"));
        QVERIFY(!window->isWindowModified());
    }
}

// Opening another ledger over unsaved work asks first; only then comes the
// file dialog.
void UnsavedTest::opening()
{
    setRatio(window, 3000);
    QAction *open = window->menuBar()->actions().at(0)->menu()->actions().at(1);
    {
        ModalAnswers answers({clickBoxButton("취소")});
        open->trigger();
        QCOMPARE(answers.seen, QStringList{QStringLiteral("box: ") + unsavedQuestion});
    }
    {
        ModalAnswers answers({clickBoxButton("저장 안 함"), cancelDialog()});
        open->trigger();
        QCOMPARE(answers.seen, (QStringList{QStringLiteral("box: ") + unsavedQuestion, QStringLiteral("file dialog")}));
    }
    QVERIFY(window->isWindowModified());
    QCOMPARE(window->ratioIsSet(), true);
}

// A ledger that has a file (opened here) is saved straight to it from the
// question: no dialog. A write that fails says so, and the window stays open
// with the work still unsaved.
void UnsavedTest::savingToTheOpenFile_data()
{
    QTest::addColumn<bool>("writable");
    QTest::newRow("written in place") << true;
    QTest::newRow("write fails") << false;
}

void UnsavedTest::savingToTheOpenFile()
{
    QFETCH(bool, writable);

    QVERIFY(QDir().mkpath(dataDir()));
    const QString path = dataDir() + QStringLiteral("/ledger.json");
    const QByteArray opened = "{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[]}";
    folder->writeFile(QStringLiteral("Resource/CustomDatas/ledger.json"), opened);
    QVERIFY(window->loadLedgerFrom(path));
    QVERIFY(!window->isWindowModified());
    LedgerStore::instance().addItem("item", 10000, 300000000, true);
    QVERIFY(window->isWindowModified());
    if (!writable) {
        // A folder where the file was: nothing can be written in its place.
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
    }

    ModalAnswers answers({clickBoxButton("저장")});
    window->close();
    QStringList seen{QStringLiteral("box: ") + unsavedQuestion};
    if (!writable)
        seen << QStringLiteral("box: ") + QString::fromUtf8("파일 저장 실패!");
    QCOMPARE(answers.seen, seen);
    QCOMPARE(window->isVisible(), !writable);
    QCOMPARE(window->isWindowModified(), !writable);
    if (writable)
        QCOMPARE(folder->readFile(QStringLiteral("Resource/CustomDatas/ledger.json")),
                 QByteArray("{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[{\"name\":\"item\","
                            "\"cashPrice\":10000,\"mesoPrice\":300000000,\"isUseMileage\":true}]}"));
    else
        QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(QDir(dataDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("ledger.json")});
}

// Return at every question saves the work and loses nothing of the file: a
// file the load could not take whole is kept beside it first, and a file
// someone else wrote since stays as they wrote it, the work going beside.
void UnsavedTest::keepsWhatTheFileHeld_data()
{
    QTest::addColumn<QByteArray>("opened");
    QTest::addColumn<QByteArray>("theirs"); // written by another program after the load; empty for none
    QTest::addColumn<bool>("sameSizeAndTime");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("besideLabel");

    const QByteArray item = "{\"name\":\"item\",\"cashPrice\":10000,\"mesoPrice\":300000000,\"isUseMileage\":true}";
    QTest::newRow("items the load skipped")
        << QByteArray("{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[{\"name\":\"a\","
                      "\"cashPrice\":\"4900\",\"mesoPrice\":1},{\"name\":\"b\",\"cashPrice\":1,\"mesoPrice\":-5}]}")
        << QByteArray() << false << 1 << QString::fromUtf8("원본");
    const QByteArray clean = "{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[]}";
    QTest::newRow("written elsewhere since")
        << clean << "{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[" + item + "," + item + "]}"
        << false << 2 << QString::fromUtf8("사본");
    QTest::newRow("same size and time, other bytes")
        << clean << QByteArray("{\"rate\":3001,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[]}") << true << 2
        << QString::fromUtf8("사본");
}

void UnsavedTest::keepsWhatTheFileHeld()
{
    QFETCH(QByteArray, opened);
    QFETCH(QByteArray, theirs);
    QFETCH(bool, sameSizeAndTime);
    QFETCH(int, questions);
    QFETCH(QString, besideLabel);

    QVERIFY(QDir().mkpath(dataDir()));
    const QString path = dataDir() + QStringLiteral("/ledger.json");
    folder->writeFile(QStringLiteral("Resource/CustomDatas/ledger.json"), opened);
    {
        ModalAnswers noteAnswered({pressKey(Qt::Key_Return)});
        QVERIFY(window->loadLedgerFrom(path));
    }
    LedgerStore::instance().addItem("item", 10000, 300000000, true);
    const QByteArray ours = "{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[{\"name\":\"item\","
                            "\"cashPrice\":10000,\"mesoPrice\":300000000,\"isUseMileage\":true}]}";
    if (!theirs.isEmpty()) {
        const QDateTime loadedAt = QFileInfo(path).lastModified();
        folder->writeFile(QStringLiteral("Resource/CustomDatas/ledger.json"), theirs);
        if (sameSizeAndTime) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(loadedAt, QFileDevice::FileModificationTime));
        }
    }

    QList<ModalAnswers::Step> returns;
    while (returns.size() < questions)
        returns << pressKey(Qt::Key_Return);
    ModalAnswers answers(returns);
    window->close();
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.size(), questions);
    QVERIFY(!window->isVisible());
    const QStringList files = QDir(dataDir()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files.size(), 2);
    const QString beside = files.at(files.at(0) == QStringLiteral("ledger.json") ? 1 : 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^ledger \\(") + besideLabel
                                + QStringLiteral(" \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d\\)\\.json$"))
                 .match(beside)
                 .hasMatch(),
             qPrintable(beside));
    // The player was told where, while being asked.
    QVERIFY2(answers.seen.join(QLatin1Char('\n')).contains(beside), qPrintable(answers.seen.join(QLatin1Char('\n'))));
    const QByteArray besideBytes = folder->readFile(QStringLiteral("Resource/CustomDatas/") + beside);
    const QByteArray inPlace = folder->readFile(QStringLiteral("Resource/CustomDatas/ledger.json"));
    QCOMPARE(inPlace, theirs.isEmpty() ? ours : theirs);
    QCOMPARE(besideBytes, theirs.isEmpty() ? opened : ours);
}

// Once saved, the save dialog starts in that file's folder, and the title
// names the file.
void UnsavedTest::saveOffersTheCurrentFile()
{
    setRatio(window, 3000);
    const QString elsewhere = folder->path(QStringLiteral("elsewhere"));
    QVERIFY(QDir().mkpath(elsewhere));
    QAction *save = window->menuBar()->actions().at(0)->menu()->actions().at(0);
    {
        ModalAnswers answers({typeFileName(elsewhere + QStringLiteral("/first"))});
        save->trigger();
        QCOMPARE(answers.seen, QStringList{QStringLiteral("file dialog")});
    }
    QVERIFY(QFileInfo::exists(elsewhere + QStringLiteral("/first.json")));
    QCOMPARE(window->windowTitle(), QString::fromUtf8("first.json - Pelarin 유틸리티(ver1.53)[*]"));
    QVERIFY(!window->isWindowModified());

    QString offered;
    ModalAnswers answers({[&offered](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        offered = dialog ? dialog->directory().absolutePath() : QString();
        modal->close();
    }});
    save->trigger();
    QCOMPARE(offered, QFileInfo(elsewhere).absoluteFilePath());
}

QTEST_MAIN(UnsavedTest)
#include "tst_unsaved.moc"
