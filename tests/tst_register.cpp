#include "AuctionRows.h"
#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "Prompt.h"
#include "QRegister.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {

const QByteArray catalogueText = QByteArray("[")
    + "{\"name\":\"Alpha\",\"price\":4900,\"isUseMileage\":true},"
    + "{\"name\":\"베타 상자\",\"price\":1234567,\"isUseMileage\":false},"
    + "{\"name\":\"Minus\",\"price\":-5000,\"isUseMileage\":true},"
    + "{\"name\":\"Zero\",\"price\":0,\"isUseMileage\":false}"
    + "]";

// The registration dialog and its widgets, found by object name.
struct Dialog
{
    QRegister *dialog = registerDialog();
    QLineEdit *name = dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    QLineEdit *cash = dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_2"));
    QLineEdit *meso = dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_3"));
    QPushButton *registerButton = dialog->findChild<QPushButton *>(QStringLiteral("pushButton"));
    QPushButton *foldButton = dialog->findChild<QPushButton *>(QStringLiteral("pushButton_2"));
    QListWidget *list = dialog->findChild<QListWidget *>(QStringLiteral("listWidget"));
    QCheckBox *mileage = dialog->findChild<QCheckBox *>(QStringLiteral("checkBox"));

    bool complete() const { return dialog && name && cash && meso && registerButton && foldButton && list && mileage; }
};

// Types text into a field key by key, so the field's validator sees every
// step. Key events carry Latin-1 only; other text goes in as one insertion,
// which the validator sees as well.
void type(QLineEdit *field, const QString &text)
{
    field->clear();
    bool latin1 = true;
    for (const QChar c : text)
        latin1 = latin1 && c.unicode() < 0x80;
    if (latin1)
        QTest::keyClicks(field, text);
    else
        field->insert(text);
}

void clickRow(QListWidget *list, int row)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// Presses "추가" on the main window, as the user opens the dialog.
void pressAdd(MainWindow *window)
{
    QTest::mouseClick(child<QPushButton>(window, "pushButton"), Qt::LeftButton);
}

} // namespace

class RegisterTest : public WindowTest
{
    Q_OBJECT

private:
    // A started program whose ratio is set and whose dialog is showing.
    bool openDialog(const QByteArray &catalogue = catalogueText)
    {
        folder.reset(new PortableFolder(catalogue));
        window = freshWindow();
        if (!window)
            return false;
        window->show();
        setRatio(window, 3000);
        pressAdd(window);
        Dialog d;
        return d.complete() && d.dialog->isVisible() && QTest::qWaitForWindowExposed(d.dialog);
    }

private slots:
    void cleanup() { releaseAll(); }

    void afterStartUp()
    {
        folder.reset(new PortableFolder(catalogueText));
        window = freshWindow();
        QVERIFY(window);
        Dialog d;
        QVERIFY(d.complete());
        QVERIFY(!d.dialog->isVisible());
        QCOMPARE(d.dialog->parentWidget(), window);

        QCOMPARE(d.dialog->windowTitle(), QString::fromUtf8("아이템 등록"));
        QVERIFY(!(d.dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
        QCOMPARE(d.dialog->size(), QSize(400, 590));
        QCOMPARE(d.dialog->minimumWidth(), 400);
        QCOMPARE(d.dialog->maximumWidth(), 400);
        QVERIFY(d.dialog->minimumHeight() < d.dialog->maximumHeight());

        const QList<QPair<const char *, const char *>> labels = {
            {"label", "이름"}, {"label_2", "캐시 가격"}, {"label_3", "메소 가격"}};
        for (const auto &label : labels) {
            auto *widget = d.dialog->findChild<QLabel *>(QLatin1String(label.first));
            QVERIFY2(widget, label.first);
            QCOMPARE(widget->text(), QString::fromUtf8(label.second));
            QVERIFY(widget->alignment() == Qt::AlignCenter);
        }
        QCOMPARE(d.registerButton->text(), QString::fromUtf8("등록"));
        QCOMPARE(d.foldButton->text(), QString::fromUtf8("접기▲"));
        QCOMPARE(d.mileage->text(), QString::fromUtf8("마일리지 할인(30%)"));
        QVERIFY(!d.mileage->isChecked());
        QVERIFY(d.name->text().isEmpty() && d.cash->text().isEmpty() && d.meso->text().isEmpty());

        QVERIFY(!d.name->validator());
        QVERIFY(qobject_cast<const QIntValidator *>(d.cash->validator()));
        QVERIFY(d.meso->validator());
        QCOMPARE(d.meso->validator()->metaObject()->className(), "QLongLongValidator");
    }

    void addButtonNeedsRatio()
    {
        folder.reset(new PortableFolder(catalogueText));
        window = freshWindow();
        QVERIFY(window);
        window->show();
        Dialog d;

        pressAdd(window);
        QVERIFY(!d.dialog->isVisible());
        QCOMPARE(Prompt::takeMessages(), QStringList{QString::fromUtf8("1억당 비율을 먼저 세팅해주세요.")});

        setRatio(window, 3000);
        pressAdd(window);
        QVERIFY(d.dialog->isVisible());
        QCOMPARE(Prompt::takeMessages(), QStringList());

        // A second press while it is open keeps the one dialog.
        pressAdd(window);
        QVERIFY(d.dialog->isVisible());
        QCOMPARE(window->findChildren<QRegister *>().size(), 1);
    }

    void foldAndUnfold()
    {
        QVERIFY(openDialog());
        Dialog d;
        QCOMPARE(d.dialog->size(), QSize(400, 590));
        QCOMPARE(d.foldButton->text(), QString::fromUtf8("접기▲"));
        QVERIFY(d.dialog->rect().contains(d.list->geometry()));

        QTest::mouseClick(d.foldButton, Qt::LeftButton);
        QCOMPARE(d.dialog->size(), QSize(400, 230));
        QCOMPARE(d.foldButton->text(), QString::fromUtf8("추천▼"));
        // Only the list falls outside the folded dialog.
        QVERIFY(d.list->geometry().top() >= d.dialog->height());
        for (QWidget *field : {static_cast<QWidget *>(d.name), static_cast<QWidget *>(d.cash),
                               static_cast<QWidget *>(d.meso), static_cast<QWidget *>(d.registerButton),
                               static_cast<QWidget *>(d.foldButton), static_cast<QWidget *>(d.mileage)})
            QVERIFY2(d.dialog->rect().contains(field->geometry()), qPrintable(field->objectName()));

        // The fold state outlives closing and opening again.
        d.dialog->close();
        pressAdd(window);
        QVERIFY(d.dialog->isVisible());
        QCOMPARE(d.dialog->size(), QSize(400, 230));
        QCOMPARE(d.foldButton->text(), QString::fromUtf8("추천▼"));

        QTest::mouseClick(d.foldButton, Qt::LeftButton);
        QCOMPARE(d.dialog->size(), QSize(400, 590));
        QCOMPARE(d.foldButton->text(), QString::fromUtf8("접기▲"));
    }

    void pickListTexts()
    {
        QVERIFY(openDialog());
        Dialog d;
        QStringList texts;
        for (int row = 0; row < d.list->count(); ++row)
            texts << d.list->item(row)->text();
        QCOMPARE(texts, QStringList({QString::fromUtf8("1. Alpha : 4,900원"), QString::fromUtf8("2. 베타 상자 : 1,234,567원"),
                                     QString::fromUtf8("3. Minus : -5,000원"), QString::fromUtf8("4. Zero : 0원")}));
    }

    void choosingRowFillsFields()
    {
        QVERIFY(openDialog());
        Dialog d;
        type(d.meso, QStringLiteral("300000000"));

        clickRow(d.list, 1);
        QCOMPARE(d.name->text(), QString::fromUtf8("베타 상자"));
        QCOMPARE(d.cash->text(), QStringLiteral("1234567"));
        QVERIFY(!d.mileage->isChecked());
        QCOMPARE(d.meso->text(), QStringLiteral("300000000"));

        clickRow(d.list, 0);
        QCOMPARE(d.name->text(), QStringLiteral("Alpha"));
        QCOMPARE(d.cash->text(), QStringLiteral("4900"));
        QVERIFY(d.mileage->isChecked());

        // The keyboard moves the selection too.
        QTest::keyClick(d.list, Qt::Key_Down);
        QCOMPARE(d.name->text(), QString::fromUtf8("베타 상자"));
        QVERIFY(!d.mileage->isChecked());
        QTest::keyClick(d.list, Qt::Key_Down);
        QCOMPARE(d.name->text(), QStringLiteral("Minus"));
        QCOMPARE(d.cash->text(), QStringLiteral("-5000"));
        QVERIFY(d.mileage->isChecked());
        QCOMPARE(d.meso->text(), QStringLiteral("300000000"));
        QVERIFY(LedgerStore::instance().items().empty());
    }

    void registerAndRegisterAgain()
    {
        QVERIFY(openDialog());
        Dialog d;
        clickRow(d.list, 0);
        type(d.meso, QStringLiteral("300000000"));
        QTest::mouseClick(d.registerButton, Qt::LeftButton);

        QVERIFY(!d.dialog->isVisible());
        const LedgerStore &store = LedgerStore::instance();
        QCOMPARE(store.items().size(), size_t(1));
        QCOMPARE(window->table()->rowCount(), 1);
        const AuctionItem first = store.items().begin()->second;
        QCOMPARE(first.name, QByteArray("Alpha"));
        QCOMPARE(first.cashPrice, 4900);
        QCOMPARE(first.mesoPrice, qint64(300000000));
        QVERIFY(first.isUseMileage);
        QCOMPARE(first.rate, 3000);
        QCOMPARE(cellText(window, 0, AuctionRows::NameColumn), QStringLiteral("Alpha"));

        // Nothing is reset on showing: the same values register the same item.
        pressAdd(window);
        QVERIFY(d.dialog->isVisible());
        QCOMPARE(d.name->text(), QStringLiteral("Alpha"));
        QCOMPARE(d.cash->text(), QStringLiteral("4900"));
        QCOMPARE(d.meso->text(), QStringLiteral("300000000"));
        QVERIFY(d.mileage->isChecked());
        QCOMPARE(d.list->currentRow(), 0);
        QTest::mouseClick(d.registerButton, Qt::LeftButton);

        QCOMPARE(store.items().size(), size_t(2));
        QCOMPARE(window->table()->rowCount(), 2);
        const AuctionItem second = store.items().rbegin()->second;
        QVERIFY(store.items().begin()->first != store.items().rbegin()->first);
        QCOMPARE(second.name, first.name);
        QCOMPARE(second.cashPrice, first.cashPrice);
        QCOMPARE(second.mesoPrice, first.mesoPrice);
        QCOMPARE(second.isUseMileage, first.isUseMileage);
        for (int column = AuctionRows::NameColumn; column < AuctionRows::columnCount; ++column)
            QCOMPARE(cellText(window, 0, column), cellText(window, 1, column));
    }

    // Whatever the fields hold, the register button closes the dialog; it
    // adds an item only for a name and two prices above 0.
    void registerButton_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cash");
        QTest::addColumn<QString>("meso");
        QTest::addColumn<bool>("mileage");
        QTest::addColumn<bool>("added");

        QTest::newRow("all filled") << QStringLiteral("Box") << QStringLiteral("5900") << QStringLiteral("40000000")
                                    << false << true;
        QTest::newRow("Korean name, mileage") << QString::fromUtf8("고급 상자") << QStringLiteral("4900")
                                              << QStringLiteral("1") << true << true;
        QTest::newRow("name of blanks") << QStringLiteral("   ") << QStringLiteral("100") << QStringLiteral("100")
                                        << false << true;
        QTest::newRow("meso beyond 32 bits") << QStringLiteral("Big") << QStringLiteral("2147483647")
                                             << QStringLiteral("9223372036854775807") << false << true;
        QTest::newRow("empty meso") << QStringLiteral("Box") << QStringLiteral("5900") << QString() << false << false;
        QTest::newRow("meso 0") << QStringLiteral("Box") << QStringLiteral("5900") << QStringLiteral("0") << false
                                << false;
        QTest::newRow("meso -5") << QStringLiteral("Box") << QStringLiteral("5900") << QStringLiteral("-5") << false
                                 << false;
        QTest::newRow("meso lone minus") << QStringLiteral("Box") << QStringLiteral("5900") << QStringLiteral("-")
                                         << false << false;
        QTest::newRow("cash 0") << QStringLiteral("Box") << QStringLiteral("0") << QStringLiteral("40000000") << false
                                << false;
        QTest::newRow("cash -3") << QStringLiteral("Box") << QStringLiteral("-3") << QStringLiteral("40000000")
                                 << false << false;
        QTest::newRow("empty cash") << QStringLiteral("Box") << QString() << QStringLiteral("40000000") << false
                                    << false;
        QTest::newRow("empty name") << QString() << QStringLiteral("5900") << QStringLiteral("40000000") << false
                                    << false;
    }

    void registerButton()
    {
        QFETCH(QString, name);
        QFETCH(QString, cash);
        QFETCH(QString, meso);
        QFETCH(bool, mileage);
        QFETCH(bool, added);

        QVERIFY(openDialog());
        Dialog d;
        type(d.name, name);
        type(d.cash, cash);
        type(d.meso, meso);
        d.mileage->setChecked(mileage);
        // Every value here is one the fields' validators let through.
        QCOMPARE(d.name->text(), name);
        QCOMPARE(d.cash->text(), cash);
        QCOMPARE(d.meso->text(), meso);

        QTest::mouseClick(d.registerButton, Qt::LeftButton);
        QVERIFY(!d.dialog->isVisible());
        QCOMPARE(Prompt::takeMessages(), QStringList());
        // A refusal drops nothing the user typed.
        QCOMPARE(d.name->text(), name);
        QCOMPARE(d.cash->text(), cash);
        QCOMPARE(d.meso->text(), meso);

        const LedgerStore &store = LedgerStore::instance();
        QCOMPARE(store.items().size(), size_t(added ? 1 : 0));
        QCOMPARE(window->table()->rowCount(), added ? 1 : 0);
        if (!added)
            return;
        const AuctionItem &item = store.items().begin()->second;
        QCOMPARE(item.name, name.toUtf8());
        QCOMPARE(qint64(item.cashPrice), cash.toLongLong());
        QCOMPARE(qint64(item.mesoPrice), meso.toLongLong());
        QCOMPARE(item.isUseMileage, mileage);
    }

    void emptyCatalogue()
    {
        QVERIFY(openDialog("[]"));
        Dialog d;
        QCOMPARE(d.list->count(), 0);

        QTest::mouseClick(d.foldButton, Qt::LeftButton);
        QCOMPARE(d.dialog->size(), QSize(400, 230));
        QTest::mouseClick(d.foldButton, Qt::LeftButton);
        QCOMPARE(d.dialog->size(), QSize(400, 590));

        type(d.name, QStringLiteral("Typed"));
        type(d.cash, QStringLiteral("1000"));
        type(d.meso, QStringLiteral("2000"));
        QTest::mouseClick(d.registerButton, Qt::LeftButton);
        QVERIFY(!d.dialog->isVisible());
        QCOMPARE(LedgerStore::instance().items().size(), size_t(1));
        QCOMPARE(LedgerStore::instance().items().begin()->second.name, QByteArray("Typed"));
    }
};

QTEST_MAIN(RegisterTest)
#include "tst_register.moc"
