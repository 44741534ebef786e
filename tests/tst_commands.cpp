// The ledger commands driven as a user drives them: typing into the ratio
// field, clicking the buttons and radio buttons, and editing table cells in
// editors opened by a real double click.

#include "AuctionRows.h"
#include "HeaderSort.h"
#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "Prompt.h"
#include "QRegister.h"
#include "TestSupport.h"

#include <QDoubleSpinBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QClipboard>
#include <QFontMetricsF>
#include <QStyle>
#include <QtTest>

#include <cmath>

namespace {

const QColor red(255, 0, 0, 255);
const QColor blue(0, 0, 255, 255);
const QColor yellow(255, 255, 0, 255);

QString noRatioMessage()
{
    return QString::fromUtf8("1억당 비율을 먼저 세팅해주세요.");
}

QString enterRatioMessage()
{
    return QString::fromUtf8("1억당 비율을 먼저 입력해주세요.");
}

// A ratio of 0 or below, and one that is not a number, are told the range.
QString ratioBelowOneMessage()
{
    return QString::fromUtf8("1억당 비율은 0보다 커야 합니다. 1부터 50,000,000까지 입력할 수 있습니다.");
}

QString ratioNotNumberMessage()
{
    return QString::fromUtf8("1억당 비율은 숫자로 입력해주세요. 1부터 50,000,000까지 입력할 수 있습니다.");
}

QString emptyTableMessage()
{
    return QString::fromUtf8("경매장에 등록된 아이템이 없습니다.");
}

QString noSelectionMessage()
{
    return QString::fromUtf8("선택된 아이템이 없습니다.");
}

// Every price refusal names the range the edited field takes.
QString priceRange(int column)
{
    return QString::fromUtf8(column == 2 ? " 1부터 2,147,483,647까지 입력할 수 있습니다."
                                         : " 1부터 9,223,372,036,854,775,807까지 입력할 수 있습니다.");
}

QString notNumberMessage(int column)
{
    return QString::fromUtf8("가격은 숫자로 입력해주세요.") + priceRange(column);
}

QString notAboveZeroMessage(int column)
{
    return QString::fromUtf8("가격은 0보다 커야 합니다.") + priceRange(column);
}

// The range named is the one a price may really take: from 1.
QString cashTooLargeMessage()
{
    return QString::fromUtf8("캐시 가격이 너무 큽니다. 1부터 2,147,483,647까지 입력할 수 있습니다.");
}

QString mesoTooLargeMessage()
{
    return QString::fromUtf8("메소 가격이 너무 큽니다. 1부터 9,223,372,036,854,775,807까지 입력할 수 있습니다.");
}

// The figures (columns 2 to 8) that their column is too narrow to show
// whole: a cell draws its text between two margins, and the grid line takes
// a pixel of the column.
QString cutFigures(MainWindow *window)
{
    QTableWidget *table = window->table();
    const QFontMetricsF metrics(table->font());
    const int margins = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
    const int grid = table->showGrid() ? 1 : 0;
    QStringList cut;
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 2; column <= 8; ++column) {
            const QString text = cellText(window, row, column);
            const int needed = int(std::ceil(metrics.horizontalAdvance(text))) + margins + grid;
            if (table->columnWidth(column) < needed)
                cut << QStringLiteral("row %1 column %2 '%3': width %4, needs %5")
                           .arg(row)
                           .arg(column)
                           .arg(text)
                           .arg(table->columnWidth(column))
                           .arg(needed);
        }
    }
    return cut.join(QStringLiteral("; "));
}

QString summary(const char *rate, const char *perWon)
{
    return QString::fromUtf8("비율 : %1원 -----▶ 1원당 %2 메소").arg(QLatin1String(rate), QLatin1String(perWon));
}

} // namespace

class CommandsTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { releaseAll(); }

    void setRatio_data();
    void setRatio();
    void resetAndSetAgain();
    void setWhileLockedAndResetWhileOpen();
    void add();
    void sort();
    void sortHighlightBelongsToItsRow();
    void keyboard();
    void tabOrder();
    void deleteRow();
    void cellEdits_data();
    void cellEdits();
    void nameEdits();
    void staleEditNeverReachesItem_data();
    void staleEditNeverReachesItem();
    void doubleClickOnReadOnlyColumnsArmsNothing();
    void feeWithoutRatio();
    void feeWithRatio();
    void currentFeeDoesNothing();
    void discountRecompute();
    void setWhileRowsExistRewritesColumns();
    void editedFiguresShownWhole();
    void headerSortPutsMissingFiguresLast();
    void figuresShownWholeAfterRatioAndLoad();

private:
    void click(const char *name) const;
    void typeRatioAndSet(const QString &text) const;
    QPoint cellCentre(int row, int column) const;
    bool doubleClickCell(int row, int column, Qt::MouseButton button = Qt::LeftButton) const;
    QLineEdit *editorOf(int row, int column) const;
    bool typeIntoCell(int row, int column, const QString &text) const;
    bool editorClosed(int row, int column) const;
    int rowOfId(int32_t id) const;
    QColor foreground(int row, int column) const;

};

void CommandsTest::init()
{
    folder.reset(new PortableFolder);
    // Ids from 0 in every test.
    window = exposed(windowFromIdZero());
    QVERIFY(window);
    QVERIFY(Prompt::takeMessages().isEmpty());
}

void CommandsTest::click(const char *name) const
{
    clickButton(child<QAbstractButton>(window, name));
}

void CommandsTest::typeRatioAndSet(const QString &text) const
{
    auto *field = child<QLineEdit>(window, "lineEdit");
    field->clear();
    QTest::keyClicks(field, text);
    click("pushButton_3");
}

QPoint CommandsTest::cellCentre(int row, int column) const
{
    return window->table()->visualItemRect(window->table()->item(row, column)).center();
}

bool CommandsTest::doubleClickCell(int row, int column, Qt::MouseButton button) const
{
    QTableWidget *table = window->table();
    table->scrollToItem(table->item(row, column));
    QWidget *viewport = table->viewport();
    const QPoint position = cellCentre(row, column);
    // A click beside the cell would prove nothing.
    if (!viewport->rect().contains(position) || table->itemAt(position) != table->item(row, column))
        return false;
    // What the system delivers for a double click: press, release, double
    // click, release.
    QTest::mousePress(viewport, button, Qt::NoModifier, position);
    QTest::mouseRelease(viewport, button, Qt::NoModifier, position);
    QTest::mouseDClick(viewport, button, Qt::NoModifier, position);
    QTest::mouseRelease(viewport, button, Qt::NoModifier, position);
    return true;
}

QLineEdit *CommandsTest::editorOf(int row, int column) const
{
    QTableWidget *table = window->table();
    return qobject_cast<QLineEdit *>(table->indexWidget(table->model()->index(row, column)));
}

bool CommandsTest::typeIntoCell(int row, int column, const QString &text) const
{
    QLineEdit *editor = doubleClickCell(row, column) ? editorOf(row, column) : nullptr;
    if (!editor)
        return false;
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(editor, Qt::Key_Delete);
    else {
        // Hangul comes from an input method, not from single key presses.
        for (const QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(editor, c.toLatin1());
            else
                editor->insert(QString(c));
        }
    }
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits a Return from the event loop.
    return editorClosed(row, column);
}

bool CommandsTest::editorClosed(int row, int column) const
{
    return QTest::qWaitFor([&] { return !editorOf(row, column); });
}

int CommandsTest::rowOfId(int32_t id) const
{
    for (int row = 0; row < window->table()->rowCount(); ++row)
        if (cellText(window, row, 0) == QString::number(id))
            return row;
    return -1;
}

QColor CommandsTest::foreground(int row, int column) const
{
    return window->table()->item(row, column)->data(Qt::ForegroundRole).value<QBrush>().color();
}

// --- set and reset ----------------------------------------------------------

void CommandsTest::setRatio_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("locks");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shownSummary");

    const QString anyMessage = QStringLiteral("*");
    QTest::newRow("empty") << "" << false << enterRatioMessage() << QString();
    QTest::newRow("blanks") << "  " << false << enterRatioMessage() << QString();
    QTest::newRow("zero") << "0" << false << ratioBelowOneMessage() << QString();
    QTest::newRow("negative") << "-5" << false << ratioBelowOneMessage() << QString();
    QTest::newRow("a sign alone") << "-" << false << ratioNotNumberMessage() << QString();
    QTest::newRow("a comma alone") << "," << false << ratioNotNumberMessage() << QString();
    QTest::newRow("beyond 64 bits") << "99999999999999999999" << false << anyMessage << QString();
    QTest::newRow("just above 50,000,000") << "50000001" << false << anyMessage << QString();
    QTest::newRow("int32 max") << "2147483647" << false << anyMessage << QString();
    QTest::newRow("3000") << "3000" << true << QString() << summary("3,000", "31,666");
    QTest::newRow("1") << "1" << true << QString() << summary("1", "95,000,000");
    QTest::newRow("50,000,000") << "50000000" << true << QString() << summary("50,000,000", "1");
    // Written as a player writes it: with a comma, or with blanks around.
    QTest::newRow("2,750") << "2,750" << true << QString() << summary("2,750", "34,544");
    QTest::newRow("blanks around") << " 2750 " << true << QString() << summary("2,750", "34,544");
}

void CommandsTest::setRatio()
{
    QFETCH(QString, typed);
    QFETCH(bool, locks);
    QFETCH(QString, message);
    QFETCH(QString, shownSummary);

    typeRatioAndSet(typed);
    QCOMPARE(child<QLineEdit>(window, "lineEdit")->text(), typed);

    const QStringList messages = Prompt::takeMessages();
    if (message.isEmpty()) {
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join('|')));
    } else {
        QCOMPARE(messages.size(), 1);
        if (message != QLatin1String("*"))
            QCOMPARE(messages[0], message);
        QVERIFY(!messages[0].isEmpty());
    }

    QCOMPARE(window->ratioIsSet(), locks);
    QCOMPARE(child<QLineEdit>(window, "lineEdit")->isEnabled(), !locks);
    QCOMPARE(child<QPushButton>(window, "pushButton_3")->isEnabled(), !locks);
    QCOMPARE(child<QPushButton>(window, "pushButton_4")->isEnabled(), locks);
    QCOMPARE(child<QLabel>(window, "label_2")->text(), shownSummary);
    QCOMPARE(LedgerStore::instance().rate, locks ? QString(typed).remove(QLatin1Char(',')).trimmed().toInt() : 0);
}

void CommandsTest::resetAndSetAgain()
{
    typeRatioAndSet(QStringLiteral("3000"));
    QVERIFY(window->ratioIsSet());
    const double perWon = LedgerStore::instance().mesoPerWon;

    click("pushButton_4");
    QVERIFY(!window->ratioIsSet());
    QVERIFY(child<QLineEdit>(window, "lineEdit")->isEnabled());
    QVERIFY(child<QLineEdit>(window, "lineEdit")->text().isEmpty());
    QVERIFY(child<QPushButton>(window, "pushButton_3")->isEnabled());
    QVERIFY(!child<QPushButton>(window, "pushButton_4")->isEnabled());
    QVERIFY(child<QLabel>(window, "label_2")->text().isEmpty());
    // The store keeps the old ratio until a new one is set.
    QCOMPARE(LedgerStore::instance().rate, 3000);
    QCOMPARE(LedgerStore::instance().mesoPerWon, perWon);

    click("pushButton");
    QCOMPARE(Prompt::takeMessages(), QStringList{noRatioMessage()});

    typeRatioAndSet(QStringLiteral("2700"));
    QVERIFY(window->ratioIsSet());
    QCOMPARE(LedgerStore::instance().rate, 2700);
    QCOMPARE(child<QLabel>(window, "label_2")->text(), summary("2,700", "35,185"));
    LedgerStore::instance().addItem("new", 10000, 300000000, true);
    QCOMPARE(cellText(window, 0, 6), QStringLiteral("2,700"));
    QVERIFY(Prompt::takeMessages().isEmpty());
}

void CommandsTest::setWhileLockedAndResetWhileOpen()
{
    // The ledger load calls the set handler directly, whatever the lock.
    typeRatioAndSet(QStringLiteral("3000"));
    child<QLineEdit>(window, "lineEdit")->setText(QStringLiteral("2700"));
    QVERIFY(QMetaObject::invokeMethod(window, "on_pushButton_3_clicked"));
    QCOMPARE(LedgerStore::instance().rate, 3000);
    QCOMPARE(child<QLabel>(window, "label_2")->text(), summary("3,000", "31,666"));
    QVERIFY(window->ratioIsSet());

    click("pushButton_4");
    child<QLineEdit>(window, "lineEdit")->setText(QStringLiteral("123"));
    QVERIFY(QMetaObject::invokeMethod(window, "on_pushButton_4_clicked"));
    QCOMPARE(child<QLineEdit>(window, "lineEdit")->text(), QStringLiteral("123"));
    QVERIFY(!window->ratioIsSet());
    QVERIFY(Prompt::takeMessages().isEmpty());
}

// --- add, sort, delete ------------------------------------------------------

void CommandsTest::add()
{
    QRegister *dialog = registerDialog();
    QVERIFY(dialog);

    click("pushButton");
    QCOMPARE(Prompt::takeMessages(), QStringList{noRatioMessage()});
    QVERIFY(!dialog->isVisible());

    typeRatioAndSet(QStringLiteral("3000"));
    click("pushButton");
    QVERIFY(Prompt::takeMessages().isEmpty());
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    // Pressing add again brings the same dialog forward; nothing new is made.
    click("pushButton");
    QVERIFY(dialog->isVisible());
    QCOMPARE(window->findChildren<QRegister *>().size(), 1);
    QCOMPARE(registerDialog(), dialog);
    dialog->hide();

    click("pushButton_4");
    click("pushButton");
    QCOMPARE(Prompt::takeMessages(), QStringList{noRatioMessage()});
    QVERIFY(!dialog->isVisible());
}

void CommandsTest::sort()
{
    click("pushButton_2");
    QCOMPARE(Prompt::takeMessages(), QStringList{emptyTableMessage()});

    typeRatioAndSet(QStringLiteral("3000"));
    LedgerStore &store = LedgerStore::instance();
    // One won bought, net 31,666 meso per won: profits 500, -20 and 500.
    store.addItem("first", 1, 33859, false);
    store.addItem("second", 1, 33312, false);
    store.addItem("third", 1, 33859, false);
    QCOMPARE(store.item(0).profitMeso(), std::optional<int64_t>(500));
    QCOMPARE(store.item(1).profitMeso(), std::optional<int64_t>(-20));
    QCOMPARE(store.item(2).profitMeso(), std::optional<int64_t>(500));
    // Rows before the sort: newest on top.
    QCOMPARE(cellText(window, 0, 0), QStringLiteral("2"));
    QCOMPARE(cellText(window, 2, 0), QStringLiteral("0"));

    click("pushButton_2");
    QVERIFY(Prompt::takeMessages().isEmpty());
    QTableWidget *table = window->table();
    QCOMPARE(table->rowCount(), 3);
    // Equal profits keep their store order, and the later one ends higher.
    const QStringList ids{"2", "0", "1"};
    const QStringList profits{"500", "500", "-20"};
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(cellText(window, row, 0), ids[row]);
        QCOMPARE(cellText(window, row, 4), profits[row]);
        for (int column = 0; column < 9; ++column) {
            const QVariant background = table->item(row, column)->data(Qt::BackgroundRole);
            if (row == 0 && column >= 1)
                QCOMPARE(background.value<QBrush>().color(), yellow);
            else
                QVERIFY2(!background.isValid(), qPrintable(QStringLiteral("row %1 column %2").arg(row).arg(column)));
        }
    }
    // The rows are rebuilt from the store, in their inserted form.
    QCOMPARE(cellText(window, 2, 1), QStringLiteral("second"));
    QCOMPARE(foreground(2, 4), blue);
    QCOMPARE(foreground(0, 4), red);
    QCOMPARE(store.items().size(), size_t(3));
    QCOMPARE(store.item(2).name, QByteArray("third"));

    // More ties than a short insertion sort would keep in order by chance:
    // 19 items of profit 500, the later in the store's order the higher.
    for (int k = 0; k < 17; ++k)
        store.addItem("tie", 1, 33859, false);
    click("pushButton_2");
    QStringList tieOrder;
    for (const auto &pair : store.items())
        if (pair.second.profitMeso() == std::optional<int64_t>(500))
            tieOrder.prepend(QString::number(pair.first));
    QCOMPARE(tieOrder.size(), 19);
    QStringList shown;
    for (int row = 0; row < table->rowCount(); ++row)
        shown << cellText(window, row, 0);
    QCOMPARE(shown, tieOrder + QStringList{"1"});
}

void CommandsTest::sortHighlightBelongsToItsRow()
{
    typeRatioAndSet(QStringLiteral("3000"));
    LedgerStore &store = LedgerStore::instance();
    store.addItem("best", 1, 40000, false);
    store.addItem("worst", 1, 30000, false);
    click("pushButton_2");
    QCOMPARE(cellText(window, 0, 1), QStringLiteral("best"));

    // A later add pushes the highlighted row down with its colour.
    store.addItem("newest", 1, 35000, false);
    QCOMPARE(cellText(window, 1, 1), QStringLiteral("best"));
    QCOMPARE(window->table()->item(1, 1)->data(Qt::BackgroundRole).value<QBrush>().color(), yellow);
    QVERIFY(!window->table()->item(0, 1)->data(Qt::BackgroundRole).isValid());

    // The next sort starts from fresh rows: one highlighted row only.
    click("pushButton_2");
    QCOMPARE(cellText(window, 0, 1), QStringLiteral("best"));
    int highlighted = 0;
    for (int row = 0; row < 3; ++row)
        if (window->table()->item(row, 1)->data(Qt::BackgroundRole).isValid())
            ++highlighted;
    QCOMPARE(highlighted, 1);
}

void CommandsTest::keyboard()
{
    // Return in the ratio field sets the ratio, as "세팅" does.
    auto *field = child<QLineEdit>(window, "lineEdit");
    QTest::keyClicks(field, QStringLiteral("3000"));
    QTest::keyClick(field, Qt::Key_Return);
    QVERIFY(window->ratioIsSet());
    QCOMPARE(LedgerStore::instance().rate, 3000);

    // Ctrl+C on the table: the selected row as cells for a spreadsheet.
    LedgerStore::instance().addItem("item", 10000, 300000000, true);
    LedgerStore::instance().addItem("newer", 500, 1000, false);
    QTableWidget *table = window->table();
    table->setCurrentCell(1, 1);
    table->setFocus();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("item\t10000\t7000\t300000000\t63338000\t2000\t3000\t5\tO"));

    // A new item's row is scrolled into view, wherever the player had scrolled.
    for (int i = 0; i < 60; ++i)
        LedgerStore::instance().addItem("filler", 500, 1000, false);
    table->scrollToBottom();
    QVERIFY(!table->viewport()->rect().intersects(table->visualItemRect(table->item(0, 1))));
    LedgerStore::instance().addItem("newest", 500, 1000, false);
    QCOMPARE(cellText(window, 0, 1), QStringLiteral("newest"));
    QVERIFY(table->viewport()->rect().contains(table->visualItemRect(table->item(0, 1))));
}

// Tab goes through the controls as the form reads: the ratio field, "세팅",
// "Reset", the fee, "추가", "삭제", "정렬", the discount, then the table;
// controls that are disabled are passed over.
void CommandsTest::tabOrder()
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    const auto tabRound = [this](QWidget *first) {
        first->setFocus(Qt::TabFocusReason);
        QStringList seen;
        QWidget *now = QApplication::focusWidget();
        // Up to the table, where Tab moves between cells.
        for (int step = 0; step < 20 && now && now != window->table(); ++step) {
            seen << now->objectName();
            QTest::keyClick(now, Qt::Key_Tab);
            now = QApplication::focusWidget();
        }
        if (now == window->table())
            seen << QStringLiteral("table");
        return seen;
    };
    const QStringList fee{QStringLiteral("radioButton")};
    const QStringList after{"pushButton", "pushButton_5", "pushButton_2", "doubleSpinBox", "table"};
    QCOMPARE(tabRound(child<QLineEdit>(window, "lineEdit")),
             QStringList({"lineEdit", "pushButton_3"}) + fee + after);

    typeRatioAndSet(QStringLiteral("3000"));
    LedgerStore::instance().addItem("item", 10000, 300000000, true);
    QCOMPARE(tabRound(child<QPushButton>(window, "pushButton_4")), QStringList{"pushButton_4"} + fee + after);

    // The order with every control enabled: "세팅" and "Reset" are never
    // enabled together, yet "세팅" comes first.
    QWidget *const form = child<QWidget>(window, "widget");
    QWidget *const start = child<QLineEdit>(window, "lineEdit");
    QStringList chain;
    QWidget *widget = start;
    do {
        if (widget->parentWidget() == form && widget->focusPolicy() != Qt::NoFocus)
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != start);
    QCOMPARE(chain, QStringList({"lineEdit", "pushButton_3", "pushButton_4", "radioButton", "radioButton_2"}) + after.mid(0, 4));
}

void CommandsTest::deleteRow()
{
    click("pushButton_5");
    QCOMPARE(Prompt::takeMessages(), QStringList{emptyTableMessage()});

    typeRatioAndSet(QStringLiteral("3000"));
    LedgerStore &store = LedgerStore::instance();
    store.addItem("first", 100, 1000, false);
    store.addItem("second", 200, 2000, false);
    store.addItem("third", 300, 3000, false);
    QTableWidget *table = window->table();
    QCOMPARE(table->currentRow(), -1);

    click("pushButton_5");
    QCOMPARE(Prompt::takeMessages(), QStringList{noSelectionMessage()});
    QCOMPARE(table->rowCount(), 3);

    // Pick the middle row ("second", id 1) with the mouse.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(1, 1));
    QCOMPARE(table->currentRow(), 1);
    click("pushButton_5");
    QVERIFY(Prompt::takeMessages().isEmpty());
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(cellText(window, 0, 1), QStringLiteral("third"));
    QCOMPARE(cellText(window, 1, 1), QStringLiteral("first"));
    QVERIFY(!store.findItem(1));
    QCOMPARE(store.items().size(), size_t(2));
    QCOMPARE(store.item(2).name, QByteArray("third"));
    QCOMPARE(store.item(0).name, QByteArray("first"));
    // The id is gone: removing it again finds nothing and changes nothing.
    QVERIFY(!store.removeItem(1));
    QCOMPARE(store.items().size(), size_t(2));
}

// --- cell edits ---------------------------------------------------------------

void CommandsTest::cellEdits_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal"); // the message shown, empty when the edit is taken
    QTest::addColumn<int>("cashPrice");
    QTest::addColumn<qint64>("mesoPrice");
    QTest::addColumn<QStringList>("cells"); // columns 2 to 5

    // Item: 10,000 won with mileage, 300,000,000 meso, ratio 3000, fee 5.
    const QStringList unchanged{"7,000", "300,000,000", "63,338,000", "2,000"};
    const qint64 meso = 300000000;
    const QString accepted;
    QTest::newRow("cash with commas") << 2 << "12,000" << accepted << 12000 << meso
                                      << QStringList{"8,400", "300,000,000", "19,005,600", "600"};
    QTest::newRow("cash with blanks around") << 2 << " 12,000 " << accepted << 12000 << meso
                                             << QStringList{"8,400", "300,000,000", "19,005,600", "600"};
    // Only a whole number is a price: "7억" is not 7, "1.5" is not 1.
    QTest::newRow("cash, trailing letters") << 2 << " 12abc" << notNumberMessage(2) << 10000 << meso << unchanged;
    QTest::newRow("meso in 억") << 3 << "7억" << notNumberMessage(3) << 10000 << meso << unchanged;
    QTest::newRow("meso fraction") << 3 << "1.5" << notNumberMessage(3) << 10000 << meso << unchanged;
    // The items the next load would skip.
    QTest::newRow("negative cash") << 2 << "-500" << notAboveZeroMessage(2) << 10000 << meso << unchanged;
    QTest::newRow("cash 0") << 2 << "0" << notAboveZeroMessage(2) << 10000 << meso << unchanged;
    QTest::newRow("negative meso") << 3 << "-1,000" << notAboveZeroMessage(3) << 10000 << meso << unchanged;
    QTest::newRow("meso") << 3 << "1500000" << accepted << 10000 << qint64(1500000)
                          << QStringList{"7,000", "1,500,000", "-220,237,000", "-6,954"};
    QTest::newRow("meso with commas") << 3 << "1,500,000" << accepted << 10000 << qint64(1500000)
                                      << QStringList{"7,000", "1,500,000", "-220,237,000", "-6,954"};
    QTest::newRow("cash letters") << 2 << "abc" << notNumberMessage(2) << 10000 << meso << unchanged;
    QTest::newRow("cash empty") << 2 << "" << notNumberMessage(2) << 10000 << meso << unchanged;
    QTest::newRow("cash 33 bits") << 2 << "4294967296" << cashTooLargeMessage() << 10000 << meso << unchanged;
    QTest::newRow("cash int32 max") << 2 << "2,147,483,647" << accepted << 2147483647 << meso
                                    << QStringList{"1,503,238,528", "300,000,000", "-47,601,266,227,648",
                                                   "-1,503,229,527"};
    QTest::newRow("cash one past int32") << 2 << "2,147,483,648" << cashTooLargeMessage() << 10000 << meso
                                         << unchanged;
    QTest::newRow("meso letters") << 3 << "many" << notNumberMessage(3) << 10000 << meso << unchanged;
    QTest::newRow("meso empty") << 3 << "" << notNumberMessage(3) << 10000 << meso << unchanged;
    QTest::newRow("meso beyond 64 bits") << 3 << "9223372036854775808" << mesoTooLargeMessage() << 10000 << meso
                                         << unchanged;
    // A price below what its field holds is not too large: it is below 0.
    QTest::newRow("cash below 32 bits") << 2 << "-3,000,000,000" << notAboveZeroMessage(2) << 10000 << meso
                                        << unchanged;
    QTest::newRow("meso below 64 bits") << 3 << "-9223372036854775809" << notAboveZeroMessage(3) << 10000 << meso
                                        << unchanged;
}

void CommandsTest::cellEdits()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    QFETCH(int, cashPrice);
    QFETCH(qint64, mesoPrice);
    QFETCH(QStringList, cells);

    typeRatioAndSet(QStringLiteral("3000"));
    LedgerStore &store = LedgerStore::instance();
    store.addItem("other", 500, 1000, false);
    store.addItem("item", 10000, 300000000, true);
    const QStringList otherRow{cellText(window, 1, 2), cellText(window, 1, 3), cellText(window, 1, 4), cellText(window, 1, 5)};

    QVERIFY(typeIntoCell(0, column, typed));
    QCOMPARE(Prompt::takeMessages(), refusal.isEmpty() ? QStringList() : QStringList{refusal});

    const AuctionItem &item = store.item(1);
    QCOMPARE(item.cashPrice, cashPrice);
    QCOMPARE(item.mesoPrice, mesoPrice);
    QCOMPARE(item.name, QByteArray("item"));
    QCOMPARE(cellText(window, 0, 0), QStringLiteral("1"));
    for (int c = 2; c <= 5; ++c)
        QCOMPARE(cellText(window, 0, c), cells[c - 2]);
    // The profits take the colour of their sign, whatever they had before.
    for (int c = 4; c <= 5; ++c)
        QCOMPARE(foreground(0, c), cells[c - 2].startsWith('-') || cells[c - 2] == QLatin1String("0") ? blue : red);
    // The other row and item are untouched.
    for (int c = 2; c <= 5; ++c)
        QCOMPARE(cellText(window, 1, c), otherRow[c - 2]);
    QCOMPARE(store.item(0).cashPrice, 500);
    QCOMPARE(store.item(0).mesoPrice, qint64(1000));

    // The edit is over: the program's own writes are not taken for edits.
    QVERIFY(!window->cellEditArmed());
}

void CommandsTest::nameEdits()
{
    typeRatioAndSet(QStringLiteral("3000"));
    LedgerStore &store = LedgerStore::instance();
    store.addItem(QByteArray("가방"), 10000, 300000000, true);

    QVERIFY(typeIntoCell(0, 1, QStringLiteral("Renamed bag")));
    QCOMPARE(store.item(0).name, QByteArray("Renamed bag"));
    QCOMPARE(cellText(window, 0, 1), QStringLiteral("Renamed bag"));

    // Korean arrives through the input method as committed text.
    QVERIFY(doubleClickCell(0, 1));
    QLineEdit *editor = editorOf(0, 1);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("새 가방"));
    QApplication::sendEvent(editor, &commit);
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(editorClosed(0, 1));
    QCOMPARE(store.item(0).name, QString::fromUtf8("새 가방").toUtf8());
    QCOMPARE(cellText(window, 0, 1), QString::fromUtf8("새 가방"));
    // A name edit leaves the figures alone.
    QCOMPARE(store.item(0).cashPrice, 10000);
    QCOMPARE(cellText(window, 0, 4), QStringLiteral("63,338,000"));
    QVERIFY(Prompt::takeMessages().isEmpty());

    // An item without a name is one the next load would skip.
    QVERIFY(typeIntoCell(0, 1, QString()));
    QCOMPARE(Prompt::takeMessages(), QStringList{QString::fromUtf8("이름을 입력해주세요.")});
    QCOMPARE(store.item(0).name, QString::fromUtf8("새 가방").toUtf8());
    QCOMPARE(cellText(window, 0, 1), QString::fromUtf8("새 가방"));
}

void CommandsTest::staleEditNeverReachesItem_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancelled with Escape") << "escape";
    QTest::newRow("right-button double click") << "right";
    QTest::newRow("committed unchanged") << "unchanged";
}

void CommandsTest::staleEditNeverReachesItem()
{
    QFETCH(QString, how);

    typeRatioAndSet(QStringLiteral("3000"));
    LedgerStore &store = LedgerStore::instance();
    store.addItem("first", 20000, 500000000, false);
    store.addItem("item", 10000, 300000000, true);

    if (how == QLatin1String("right")) {
        QVERIFY(doubleClickCell(0, 2, Qt::RightButton));
        QVERIFY(!editorOf(0, 2));
    } else {
        QVERIFY(doubleClickCell(0, 2));
        QLineEdit *editor = editorOf(0, 2);
        QVERIFY(editor);
        // The cell shows the won paid; what is typed there is the list price.
        QCOMPARE(cellText(window, 0, 2), QStringLiteral("7,000"));
        QCOMPARE(editor->text(), QStringLiteral("10000"));
        QTest::keyClick(editor, how == QLatin1String("escape") ? Qt::Key_Escape : Qt::Key_Return);
        QVERIFY(editorClosed(0, 2));
    }
    QCOMPARE(store.item(1).cashPrice, 10000);

    // The discount command now rewrites column 2 of every row with plain
    // digits; none of those writes may be taken for a typed price.
    auto *discount = child<QDoubleSpinBox>(window, "doubleSpinBox");
    QTest::keyClick(discount, Qt::Key_Up);
    QCOMPARE(discount->value(), 1.0);
    QCOMPARE(store.item(1).cashPrice, 10000);
    QCOMPARE(store.item(0).cashPrice, 20000);
    QCOMPARE(cellText(window, 0, 2), QStringLiteral("6930"));
    QCOMPARE(cellText(window, 0, 4), QStringLiteral("65,554,620"));
    QCOMPARE(cellText(window, 0, 5), QStringLiteral("2,070"));
    QCOMPARE(cellText(window, 1, 2), QStringLiteral("19800"));
    QVERIFY(Prompt::takeMessages().isEmpty());

    // A real edit afterwards still works.
    QVERIFY(typeIntoCell(0, 3, QStringLiteral("1500000")));
    QCOMPARE(store.item(1).mesoPrice, qint64(1500000));
    QCOMPARE(store.item(1).cashPrice, 10000);
    QCOMPARE(cellText(window, 0, 3), QStringLiteral("1,500,000"));
}

void CommandsTest::doubleClickOnReadOnlyColumnsArmsNothing()
{
    typeRatioAndSet(QStringLiteral("3000"));
    LedgerStore::instance().addItem("item", 10000, 300000000, true);
    for (int column = 4; column <= 8; ++column) {
        QVERIFY(doubleClickCell(0, column));
        QVERIFY(!editorOf(0, column));
        QVERIFY2(!window->cellEditArmed(), qPrintable(QString::number(column)));
    }
    child<QDoubleSpinBox>(window, "doubleSpinBox")->setValue(10.0);
    QCOMPARE(LedgerStore::instance().item(0).cashPrice, 10000);
    QCOMPARE(cellText(window, 0, 2), QStringLiteral("6300"));
}

// --- fee and discount -----------------------------------------------------------

void CommandsTest::feeWithoutRatio()
{
    LedgerStore &store = LedgerStore::instance();
    store.addItem("item", 10000, 300000000, true);

    click("radioButton_2");
    QCOMPARE(store.fee, 5);
    QCOMPARE(store.item(0).fee, 5);
    QCOMPARE(cellText(window, 0, 7), QStringLiteral("5"));
    // The refused choice does not stay checked.
    QVERIFY(child<QRadioButton>(window, "radioButton")->isChecked());
    QVERIFY(!child<QRadioButton>(window, "radioButton_2")->isChecked());
    QVERIFY(child<QLabel>(window, "label_2")->text().isEmpty());

    // After a Reset the fee is locked again.
    typeRatioAndSet(QStringLiteral("3000"));
    click("pushButton_4");
    click("radioButton_2");
    QCOMPARE(store.fee, 5);
    QVERIFY(child<QRadioButton>(window, "radioButton")->isChecked());
    QVERIFY(Prompt::takeMessages().isEmpty());
}

void CommandsTest::feeWithRatio()
{
    typeRatioAndSet(QStringLiteral("3000"));
    LedgerStore &store = LedgerStore::instance();
    store.addItem("loss", 1, 33312, false);
    store.addItem("gain", 10000, 300000000, true);
    QCOMPARE(cellText(window, 1, 4), QStringLiteral("-20"));

    click("radioButton_2");
    QCOMPARE(store.fee, 3);
    QVERIFY(child<QRadioButton>(window, "radioButton_2")->isChecked());
    QVERIFY(!child<QRadioButton>(window, "radioButton")->isChecked());
    QCOMPARE(child<QLabel>(window, "label_2")->text(), summary("3,000", "32,333"));
    for (int row = 0; row < 2; ++row) {
        QCOMPARE(cellText(window, row, 7), QStringLiteral("3"));
        QCOMPARE(store.item(row).fee, 3);
    }
    QCOMPARE(cellText(window, 0, 4), QStringLiteral("64,669,000"));
    QCOMPARE(cellText(window, 0, 5), QStringLiteral("2,000"));
    QCOMPARE(cellText(window, 1, 4), QStringLiteral("-21"));
    QCOMPARE(cellText(window, 1, 5), QStringLiteral("0"));
    QCOMPARE(foreground(0, 4), red);
    QCOMPARE(foreground(0, 5), red);
    QCOMPARE(foreground(1, 4), blue);
    QCOMPARE(foreground(1, 5), blue);

    // Back to 5 %.
    click("radioButton");
    QCOMPARE(store.fee, 5);
    QCOMPARE(child<QLabel>(window, "label_2")->text(), summary("3,000", "31,666"));
    QCOMPARE(cellText(window, 0, 4), QStringLiteral("63,338,000"));
    QCOMPARE(cellText(window, 1, 7), QStringLiteral("5"));

    // An item added now carries the fee in force.
    click("radioButton_2");
    store.addItem("later", 10000, 300000000, true);
    QCOMPARE(cellText(window, 0, 7), QStringLiteral("3"));
    QCOMPARE(cellText(window, 0, 4), QStringLiteral("64,669,000"));
    QVERIFY(Prompt::takeMessages().isEmpty());
}

void CommandsTest::currentFeeDoesNothing()
{
    typeRatioAndSet(QStringLiteral("3000"));
    LedgerStore::instance().addItem("item", 10000, 300000000, true);
    // A recompute would tell the view of the cells it changed.
    QSignalSpy recomputes(window->table()->model(), &QAbstractItemModel::dataChanged);
    const QString shown = child<QLabel>(window, "label_2")->text();

    click("radioButton");
    QCOMPARE(recomputes.count(), 0);
    QCOMPARE(child<QLabel>(window, "label_2")->text(), shown);
    QVERIFY(child<QRadioButton>(window, "radioButton")->isChecked());

    click("radioButton_2");
    QCOMPARE(cellText(window, 0, 4), QStringLiteral("64,669,000"));
    QVERIFY(recomputes.count() > 0);
    recomputes.clear();
    click("radioButton_2");
    QCOMPARE(recomputes.count(), 0);
    QCOMPARE(LedgerStore::instance().fee, 3);
}

void CommandsTest::discountRecompute()
{
    // No ratio is needed: with an empty ledger only the store changes.
    auto *discount = child<QDoubleSpinBox>(window, "doubleSpinBox");
    discount->setValue(2.5);
    QCOMPARE(LedgerStore::instance().rateOfDiscount, 2.5);
    discount->setValue(0.0);

    typeRatioAndSet(QStringLiteral("3000"));
    LedgerStore &store = LedgerStore::instance();
    store.addItem("flips", 10000, 233328400, true);
    store.addItem("big", 33000, 1500000000, false);
    store.addItem("negative", -500, 1000, false);
    // Rows: negative (id 2), big (id 1), flips (id 0).
    QCOMPARE(cellText(window, 2, 4), QStringLiteral("-20"));
    QCOMPARE(foreground(2, 4), blue);
    QCOMPARE(foreground(2, 5), blue);

    // Typed as a user types it.
    discount->selectAll();
    QTest::keyClicks(discount, QStringLiteral("10"));
    QTest::keyClick(discount, Qt::Key_Return);
    QCOMPARE(discount->value(), 10.0);
    QCOMPARE(store.rateOfDiscount, 10.0);
    for (const auto &entry : store.items())
        QCOMPARE(entry.second.rateOfDiscount, 10.0);

    // Plain digits in column 2, profits rewritten and recoloured.
    QCOMPARE(cellText(window, 2, 2), QStringLiteral("6300"));
    QCOMPARE(cellText(window, 2, 4), QStringLiteral("22,166,180"));
    QCOMPARE(cellText(window, 2, 5), QStringLiteral("699"));
    QCOMPARE(foreground(2, 4), red);
    QCOMPARE(foreground(2, 5), red);
    QCOMPARE(cellText(window, 1, 2), QStringLiteral("29700"));
    QCOMPARE(cellText(window, 1, 4), QStringLiteral("484,519,800"));
    QCOMPARE(cellText(window, 1, 5), QStringLiteral("15,300"));
    QCOMPARE(cellText(window, 0, 2), QStringLiteral("-450"));

    discount->setValue(100.0);
    QCOMPARE(cellText(window, 2, 2), QStringLiteral("0"));
    QCOMPARE(cellText(window, 2, 4), QStringLiteral("221,661,980"));
    QCOMPARE(cellText(window, 1, 4), QStringLiteral("1,425,000,000"));
    QCOMPARE(cellText(window, 0, 2), QStringLiteral("0"));
    QCOMPARE(cellText(window, 0, 4), QStringLiteral("950"));
    QCOMPARE(cellText(window, 0, 5), QStringLiteral("0"));
    QCOMPARE(foreground(0, 5), blue);

    // A sort rebuilds the rows with separators again.
    discount->setValue(10.0);
    click("pushButton_2");
    QCOMPARE(cellText(window, 0, 1), QStringLiteral("big"));
    QCOMPARE(cellText(window, 0, 2), QStringLiteral("29,700"));
    QVERIFY(Prompt::takeMessages().isEmpty());
}

void CommandsTest::setWhileRowsExistRewritesColumns()
{
    LedgerStore &store = LedgerStore::instance();
    store.addItem("item", 10000, 300000000, true);
    QCOMPARE(cellText(window, 0, 6), QStringLiteral("0"));
    QCOMPARE(cellText(window, 0, 4), QString());
    QCOMPARE(cellText(window, 0, 5), QString());

    typeRatioAndSet(QStringLiteral("3000"));
    QCOMPARE(store.item(0).rate, 3000);
    QCOMPARE(cellText(window, 0, 6), QStringLiteral("3,000"));
    QCOMPARE(cellText(window, 0, 4), QStringLiteral("63,338,000"));
    QCOMPARE(cellText(window, 0, 5), QStringLiteral("2,000"));
    // Uncoloured while they had no figure, coloured by their sign now.
    QCOMPARE(foreground(0, 4), red);
    QCOMPARE(foreground(0, 5), red);
    QCOMPARE(cellText(window, 0, 2), QStringLiteral("7,000"));

    click("pushButton_4");
    QCOMPARE(cellText(window, 0, 6), QStringLiteral("3,000"));
    typeRatioAndSet(QStringLiteral("2700"));
    QCOMPARE(store.item(0).rate, 2700);
    QCOMPARE(cellText(window, 0, 6), QStringLiteral("2,700"));
    QCOMPARE(cellText(window, 0, 4), QStringLiteral("38,705,000"));
    QCOMPARE(cellText(window, 0, 5), QStringLiteral("1,100"));
    // A ratio of more digits widens its column.
    click("pushButton_4");
    typeRatioAndSet(QStringLiteral("50000000"));
    QCOMPARE(cellText(window, 0, 6), QStringLiteral("50,000,000"));
    QCOMPARE(cutFigures(window), QString());
    QVERIFY(Prompt::takeMessages().isEmpty());
}

void CommandsTest::editedFiguresShownWhole()
{
    typeRatioAndSet(QStringLiteral("3000"));
    LedgerStore &store = LedgerStore::instance();
    store.addItem("other", 1000, 1500000, false);
    store.addItem("item", 1000, 2000000, false);
    QCOMPARE(cutFigures(window), QString());

    // A meso price of 12 digits and the profits that grow with it.
    QVERIFY(typeIntoCell(0, 3, QStringLiteral("123456789012")));
    QCOMPARE(cellText(window, 0, 3), QStringLiteral("123,456,789,012"));
    QCOMPARE(cellText(window, 0, 4), QStringLiteral("117,252,283,561"));
    QCOMPARE(cutFigures(window), QString());
    // A cash price that turns the other row's profits into long losses.
    QVERIFY(typeIntoCell(1, 2, QStringLiteral("2000000000")));
    QCOMPARE(cellText(window, 1, 4), QStringLiteral("-63,331,998,575,000"));
    QCOMPARE(cutFigures(window), QString());

    // Undone and done again, each figure still whole.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    window->table()->setFocus();
    for (const auto &keys : {std::make_pair(Qt::Key_Z, 2), std::make_pair(Qt::Key_Y, 2)}) {
        for (int k = 0; k < keys.second; ++k) {
            QTest::keyClick(window->table(), keys.first, Qt::ControlModifier);
            QCOMPARE(cutFigures(window), QString());
        }
    }
    QCOMPARE(store.item(1).mesoPrice, qint64(123456789012));
    QCOMPARE(store.item(0).cashPrice, 2000000000);
    QVERIFY(Prompt::takeMessages().isEmpty());
}

// The items of one ledger share its ratio, so the table never holds rows
// with a profit beside rows without one; the order itself is checked.
void CommandsTest::headerSortPutsMissingFiguresLast()
{
    LedgerStore::ItemMap items;
    const auto add = [&](int32_t id, int32_t rate, int64_t mesoPrice) {
        AuctionItem item;
        item.name = "item " + QByteArray::number(id);
        item.cashPrice = 1000;
        item.mesoPrice = mesoPrice;
        item.rate = rate;
        item.fee = 5;
        items.emplace(id, item);
    };
    add(0, 3000, 50000000);
    add(1, 0, 90000000);
    add(2, 3000, 10000000);
    add(3, 0, 20000000);
    add(4, 3000, 30000000);
    QVERIFY(!items.at(1).profitMeso() && !items.at(1).profitWon());

    using Ids = std::vector<int32_t>;
    for (const int column : {AuctionRows::ProfitMesoColumn, AuctionRows::ProfitWonColumn}) {
        QCOMPARE(HeaderSort::idsInOrder(items, column, Qt::AscendingOrder), (Ids{2, 4, 0, 3, 1}));
        QCOMPARE(HeaderSort::idsInOrder(items, column, Qt::DescendingOrder), (Ids{0, 4, 2, 3, 1}));
    }
    // Where every item has its figure, the same figure keeps the newest on top.
    QCOMPARE(HeaderSort::idsInOrder(items, AuctionRows::MesoColumn, Qt::DescendingOrder), (Ids{1, 0, 4, 3, 2}));
    QCOMPARE(HeaderSort::idsInOrder(items, AuctionRows::FeeColumn, Qt::AscendingOrder), (Ids{4, 3, 2, 1, 0}));
    QCOMPARE(HeaderSort::idsInOrder(items, AuctionRows::FeeColumn, Qt::DescendingOrder), (Ids{4, 3, 2, 1, 0}));
}

void CommandsTest::figuresShownWholeAfterRatioAndLoad()
{
    // A ledger saved before any ratio was set: no profits, so the profit
    // columns are as narrow as their titles.
    const auto item = [](const QByteArray &name, qint64 cash, qint64 meso) {
        return "{\"name\":\"" + name + "\",\"cashPrice\":" + QByteArray::number(cash)
            + ",\"mesoPrice\":" + QByteArray::number(meso) + ",\"isUseMileage\":false}";
    };
    folder->writeFile(QStringLiteral("no-ratio.json"),
                      "{\"rate\":0,\"fee\":5,\"rateOfDiscount\":0,\"auctionItems\":["
                          + item("big", 1000, 987654321098) + "," + item("loss", 2000000000, 1000) + "]}");
    QVERIFY(window->loadLedgerFrom(folder->path(QStringLiteral("no-ratio.json"))));
    // One message: the load says the file's ratio was not taken.
    QCOMPARE(Prompt::takeMessages().size(), 1);
    QCOMPARE(cellText(window, 0, 4), QString());
    typeRatioAndSet(QStringLiteral("2500"));
    QCOMPARE(cellText(window, 1, 4), QStringLiteral("938,233,605,043"));
    QCOMPARE(cellText(window, 0, 5), QStringLiteral("-1,999,999,999"));
    QCOMPARE(cutFigures(window), QString());

    // More rows than the table measures when it fits its columns to their
    // contents, with the longest figures in the bottom row.
    QByteArray items = item("widest", 2147483647, 9223372036854775807LL);
    for (int k = 0; k < 1500; ++k)
        items += "," + item("row " + QByteArray::number(k), 1000, 1000000);
    folder->writeFile(QStringLiteral("long.json"),
                      "{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0,\"auctionItems\":[" + items + "]}");
    Prompt::queueAnswer(true);
    QVERIFY(window->loadLedgerFrom(folder->path(QStringLiteral("long.json"))));
    QCOMPARE(window->table()->rowCount(), 1501);
    QCOMPARE(cellText(window, 1500, 1), QStringLiteral("widest"));
    QCOMPARE(cutFigures(window), QString());

    // The same ledger with its widest row made short gets narrower columns;
    // a new row of the longest figures, far above the rows in view, is then
    // shown whole at once, and the long name out of view stays whole.
    MyTableWidget *table = window->table();
    const int wideMeso = table->columnWidth(AuctionRows::MesoColumn);
    items.replace(0, items.indexOf("},") + 1, item("short", 1000, 1000000));
    items.replace("\"row 799\"", "\"a name far longer than the names about it\"");
    folder->writeFile(QStringLiteral("short.json"),
                      "{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0,\"auctionItems\":[" + items + "]}");
    Prompt::queueAnswer(true);
    QVERIFY(window->loadLedgerFrom(folder->path(QStringLiteral("short.json"))));
    QCOMPARE(cellText(window, 1500, 1), QStringLiteral("short"));
    QVERIFY2(table->columnWidth(AuctionRows::MesoColumn) < wideMeso, qPrintable(QString::number(wideMeso)));
    table->scrollToBottom();
    const int longName = table->columnWidth(AuctionRows::NameColumn);
    LedgerStore::instance().addItem("widest", 2147483647, 9223372036854775807LL, false);
    QCOMPARE(cutFigures(window), QString());
    QVERIFY(table->columnWidth(AuctionRows::NameColumn) >= longName);
}

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
