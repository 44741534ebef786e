// The main window as it starts, its slot table and menu, and how the
// auction table shows the ledger's rows.

#include "FormFit.h"
#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "NameDelegate.h"
#include "Prompt.h"
#include "QRegister.h"
#include "TestSupport.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QtTest>

namespace {

const QColor red(255, 0, 0, 255);
const QColor blue(0, 0, 255, 255);

} // namespace

class MainWindowTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { releaseAll(); }

    void initialTexts_data();
    void initialTexts();
    void initialStates();
    void ratioFieldTakesNumbersAsWritten_data();
    void ratioFieldTakesNumbersAsWritten();
    void ratioFieldRefusesTyping();
    void menu();
    void menuActionsReachTheirSlots();
    void menuShortcuts();
    void slotTable();
    void formWidgets_data();
    void formWidgets();
    void windowAndStacking();
    void tableSetup();
    void onlyTheTableGrows();
    void rowContents();
    void undefinedProfitsWithoutRatio();
    void newestOnTop();
    void longNamesShownShortened();
    void idsNeverGivenTwice();
    void releaseDestroysStore();
    void oneWindowPerProcess();
    void batchedInsertionMatchesSingle_data();
    void batchedInsertionMatchesSingle();
};

void MainWindowTest::init()
{
    folder.reset(new PortableFolder);
    window = windowFromIdZero();
    QVERIFY(window);
}

void MainWindowTest::initialTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("label") << "label" << QString::fromUtf8("1억당 비율(단위 원)");
    QTest::newRow("label_2") << "label_2" << QString();
    QTest::newRow("label_3") << "label_3" << QString::fromUtf8("캐시 충전 할인율(%)");
    QTest::newRow("label_4") << "label_4" << QString::fromUtf8("수수료");
    QTest::newRow("pushButton") << "pushButton" << QString::fromUtf8("추가");
    QTest::newRow("pushButton_2") << "pushButton_2" << QString::fromUtf8("정렬");
    QTest::newRow("pushButton_3") << "pushButton_3" << QString::fromUtf8("세팅");
    QTest::newRow("pushButton_4") << "pushButton_4" << QStringLiteral("Reset");
    QTest::newRow("pushButton_5") << "pushButton_5" << QString::fromUtf8("삭제");
    QTest::newRow("radioButton") << "radioButton" << QStringLiteral("5%");
    QTest::newRow("radioButton_2") << "radioButton_2" << QStringLiteral("3%");
    QTest::newRow("lineEdit") << "lineEdit" << QString();
}

void MainWindowTest::initialTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    QWidget *widget = window->centralWidget()->findChild<QWidget *>(name);
    QVERIFY(widget);
    // A placeholder left from the form would read "TextLabel", "PushButton"
    // or "RadioButton".
    QString shown;
    if (auto *label = qobject_cast<QLabel *>(widget))
        shown = label->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        shown = button->text();
    else if (auto *field = qobject_cast<QLineEdit *>(widget))
        shown = field->text();
    else
        QFAIL("unexpected widget class");
    QCOMPARE(shown, text);
}

void MainWindowTest::initialStates()
{
    QCOMPARE(window->windowTitle(), QString::fromUtf8("Pelarin 유틸리티(ver1.53)"));
    QCOMPARE(child<QLabel>(window, "label")->alignment(), Qt::AlignCenter);
    QCOMPARE(child<QLabel>(window, "label_4")->alignment(), Qt::AlignCenter);

    // Every control is enabled except Reset.
    const QList<QWidget *> controls = child<QWidget>(window, "widget")->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), 13);
    for (QWidget *control : controls)
        QCOMPARE(control->isEnabled(), control->objectName() != QLatin1String("pushButton_4"));

    auto *five = child<QRadioButton>(window, "radioButton");
    auto *three = child<QRadioButton>(window, "radioButton_2");
    QVERIFY(five->isChecked());
    QVERIFY(!three->isChecked());
    QCOMPARE(five->parentWidget(), three->parentWidget());
    QVERIFY(five->autoExclusive() && three->autoExclusive());

    // Scroll Lock is sampled every 16 ms from the start.
    const QTimer *sampling = window->samplingTimer();
    QVERIFY(sampling);
    QCOMPARE(sampling->objectName(), QStringLiteral("scrollLockSampling"));
    QCOMPARE(sampling->interval(), 16);
    QVERIFY(sampling->isActive() && !sampling->isSingleShot());

    auto *discount = child<QDoubleSpinBox>(window, "doubleSpinBox");
    QCOMPARE(discount->value(), 0.0);
    QCOMPARE(discount->minimum(), 0.0);
    QCOMPARE(discount->maximum(), 100.0);
    QCOMPARE(discount->decimals(), 2);
    QCOMPARE(discount->singleStep(), 1.0);
    QCOMPARE(discount->text(), QLocale().toString(0.0, 'f', 2));

    QVERIFY(!window->ratioIsSet());
    QVERIFY(!window->cellEditArmed());
    QCOMPARE(LedgerStore::instance().fee, 5);
    QCOMPARE(LedgerStore::instance().rate, 0);
    QCOMPARE(LedgerStore::instance().rateOfDiscount, 0.0);
    QVERIFY(LedgerStore::instance().items().empty());
    // Start-up ran no command: nothing was shown.
    QVERIFY(Prompt::takeMessages().isEmpty());
}

void MainWindowTest::ratioFieldTakesNumbersAsWritten_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("acceptable");

    // What may be typed or pasted for a number; the set command judges it.
    QTest::newRow("3000") << "3000" << true;
    QTest::newRow("with a comma") << "2,750" << true;
    QTest::newRow("blanks around") << " 2750 " << true;
    QTest::newRow("negative") << "-3000" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("letters") << "abc" << false;
    QTest::newRow("digits and a letter") << "30a0" << false;
    QTest::newRow("decimal point") << "30.5" << false;
    QTest::newRow("blank inside") << "27 50" << false;
    QTest::newRow("full-width digits") << QString::fromUtf8("２７５０") << false;
}

void MainWindowTest::ratioFieldTakesNumbersAsWritten()
{
    QFETCH(QString, input);
    QFETCH(bool, acceptable);

    const QValidator *validator = child<QLineEdit>(window, "lineEdit")->validator();
    QVERIFY(validator);
    int position = 0;
    QCOMPARE(validator->validate(input, position), acceptable ? QValidator::Acceptable : QValidator::Invalid);
}

void MainWindowTest::ratioFieldRefusesTyping()
{
    auto *field = child<QLineEdit>(window, "lineEdit");
    QTest::keyClicks(field, QStringLiteral("3a0b0x0"));
    QCOMPARE(field->text(), QStringLiteral("3000"));
    QVERIFY(field->hasAcceptableInput());

    // A decimal point never makes a whole number.
    field->clear();
    QTest::keyClicks(field, QStringLiteral("27.50"));
    QCOMPARE(field->text(), QStringLiteral("2750"));
}

void MainWindowTest::menu()
{
    const QList<QAction *> menus = window->menuBar()->actions();
    QCOMPARE(menus.size(), 2);
    QCOMPARE(menus[0]->text(), QString::fromUtf8("파일"));
    // Undo and redo, greyed out while there is nothing to undo or redo.
    QCOMPARE(menus[1]->text(), QString::fromUtf8("편집"));
    const QList<QAction *> editActions = menus[1]->menu()->actions();
    // Then the find bar's "찾기" (Ctrl+F), after a separator.
    QCOMPARE(editActions.size(), 4);
    QCOMPARE(editActions[3]->text(), QString::fromUtf8("찾기"));
    QCOMPARE(editActions[3]->shortcuts(), QKeySequence::keyBindings(QKeySequence::Find));
    QCOMPARE(editActions[0]->text(), QString::fromUtf8("실행 취소"));
    QCOMPARE(editActions[0]->shortcuts(), QKeySequence::keyBindings(QKeySequence::Undo));
    QVERIFY(!editActions[0]->isEnabled());
    QCOMPARE(editActions[1]->text(), QString::fromUtf8("다시 실행"));
    const QList<QKeySequence> redoKeys{QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))};
    QCOMPARE(editActions[1]->shortcuts(), redoKeys);
    QVERIFY(!editActions[1]->isEnabled());
    QMenu *fileMenu = menus[0]->menu();
    QVERIFY(fileMenu);

    const QList<QAction *> actions = fileMenu->actions();
    QCOMPARE(actions.size(), 4);
    // Below a separator, the export for a spreadsheet.
    QVERIFY(actions[2]->isSeparator());
    QCOMPARE(actions[3]->text(), QString::fromUtf8("CSV로 내보내기…"));
    QCOMPARE(actions[3]->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    QCOMPARE(actions[0]->text(), QString::fromUtf8("저장"));
    QCOMPARE(actions[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(actions[1]->text(), QString::fromUtf8("열기 Ctrl+O,"));
    QCOMPARE(actions[1]->text().size(), 10);
    const QList<QKeySequence> openKeys{QKeySequence(QStringLiteral("Ctrl+X")), QKeySequence(QStringLiteral("Ctrl+O"))};
    QCOMPARE(actions[1]->shortcuts(), openKeys);
    // The first one is the one the menu shows.
    QCOMPARE(actions[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
}

void MainWindowTest::menuActionsReachTheirSlots()
{
    const QList<QAction *> actions = window->menuBar()->actions()[0]->menu()->actions();
    LedgerStore::instance().addItem("item", 10000, 300000000, true);

    const QString saved = folder->path(QStringLiteral("saved.json"));
    Prompt::queueFileName(saved);
    actions[0]->trigger();
    QVERIFY(QFile::exists(saved));

    Prompt::queueFileName(folder->path(QStringLiteral("missing.json")));
    actions[1]->trigger();
    QCOMPARE(Prompt::takeMessages(), QStringList{QString::fromUtf8("파일 로드 실패!")});
}

void MainWindowTest::menuShortcuts()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    const QList<QAction *> actions = window->menuBar()->actions()[0]->menu()->actions();
    QSignalSpy saves(actions[0], &QAction::triggered);
    QSignalSpy opens(actions[1], &QAction::triggered);

    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(saves.count(), 1);
    QCOMPARE(opens.count(), 2);
}

void MainWindowTest::slotTable()
{
    const QMetaObject *meta = window->metaObject();
    const QStringList expected{QStringLiteral("runTimer()"),
                               QStringLiteral("on_pushButton_clicked()"),
                               QStringLiteral("on_pushButton_2_clicked()"),
                               QStringLiteral("on_pushButton_3_clicked()"),
                               QStringLiteral("on_pushButton_4_clicked()"),
                               QStringLiteral("on_pushButton_5_clicked()"),
                               QStringLiteral("auctionTableItemDoubleClick(QTableWidgetItem*)"),
                               QStringLiteral("auctionTableItemChange(QTableWidgetItem*)"),
                               QStringLiteral("on_doubleSpinBox_valueChanged(double)"),
                               QStringLiteral("on_radioButton_clicked()"),
                               QStringLiteral("on_radioButton_2_clicked()"),
                               QStringLiteral("loadData()"),
                               QStringLiteral("saveData()")};
    QStringList found;
    for (int index = meta->methodOffset(); index < meta->methodCount(); ++index) {
        const QMetaMethod method = meta->method(index);
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), QMetaMethod::Private);
        found << QString::fromLatin1(method.methodSignature());
    }
    QCOMPARE(found, expected);
    QCOMPARE(meta->propertyCount(), meta->propertyOffset());
    QCOMPARE(meta->enumeratorCount(), meta->enumeratorOffset());
    QCOMPARE(meta->classInfoCount(), meta->classInfoOffset());
    QCOMPARE(meta->constructorCount(), 0);
}

void MainWindowTest::formWidgets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<int>("weight");

    const int inherited = -1;
    QTest::newRow("widget") << "widget" << "QWidget" << "centralwidget" << QRect(10, 10, 521, 121) << inherited << 50;
    QTest::newRow("label_2") << "label_2" << "QLabel" << "widget" << QRect(10, 40, 441, 31) << 10 << 75;
    QTest::newRow("pushButton_4") << "pushButton_4" << "QPushButton" << "widget" << QRect(380, 0, 81, 31) << inherited << 50;
    QTest::newRow("pushButton_2") << "pushButton_2" << "QPushButton" << "widget" << QRect(170, 80, 71, 31) << inherited << 50;
    QTest::newRow("label") << "label" << "QLabel" << "widget" << QRect(10, 0, 111, 31) << 9 << 50;
    QTest::newRow("pushButton_3") << "pushButton_3" << "QPushButton" << "widget" << QRect(290, 0, 81, 31) << inherited << 50;
    QTest::newRow("lineEdit") << "lineEdit" << "QLineEdit" << "widget" << QRect(130, 0, 131, 31) << 11 << 50;
    QTest::newRow("pushButton") << "pushButton" << "QPushButton" << "widget" << QRect(10, 80, 71, 31) << inherited << 50;
    QTest::newRow("doubleSpinBox") << "doubleSpinBox" << "QDoubleSpinBox" << "widget" << QRect(420, 80, 65, 31) << 10 << 50;
    QTest::newRow("label_3") << "label_3" << "QLabel" << "widget" << QRect(300, 80, 111, 31) << 9 << 50;
    QTest::newRow("radioButton_2") << "radioButton_2" << "QRadioButton" << "widget" << QRect(400, 50, 90, 16) << inherited << 50;
    QTest::newRow("label_4") << "label_4" << "QLabel" << "widget" << QRect(290, 52, 56, 12) << inherited << 50;
    QTest::newRow("radioButton") << "radioButton" << "QRadioButton" << "widget" << QRect(350, 50, 90, 16) << inherited << 50;
    QTest::newRow("pushButton_5") << "pushButton_5" << "QPushButton" << "widget" << QRect(90, 80, 71, 31) << inherited << 50;
}

void MainWindowTest::formWidgets()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parentName);
    QFETCH(QRect, geometry);
    QFETCH(int, pointSize);
    QFETCH(int, weight);

    const QList<QWidget *> matches = window->centralWidget()->findChildren<QWidget *>(name);
    QCOMPARE(matches.size(), 1);
    QWidget *widget = matches[0];
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QCOMPARE(widget->parentWidget()->objectName(), parentName);
    // Where this system's fonts cut a text at the designed geometry, the
    // control has grown around it (tst_textfit checks the text fits then).
    const QRect grown = widget->geometry();
    if (grown != geometry) {
        QVERIFY2(grown.contains(geometry), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(grown.x()).arg(grown.y())
                                                         .arg(grown.width()).arg(grown.height())));
        widget->setGeometry(geometry);
        const QSize cut = qobject_cast<QDoubleSpinBox *>(widget)
            ? QSize(FormFit::spinBoxShortfall(static_cast<QDoubleSpinBox *>(widget)), 0)
            : FormFit::shortfall(widget, {widget->property("text").toString()});
        widget->setGeometry(grown);
        QVERIFY2(cut.width() > 0 || cut.height() > 0, "grown although its text fits");
    }
    QCOMPARE(widget->font().weight(), weight);
    if (pointSize > 0)
        QCOMPARE(widget->font().pointSize(), pointSize);
    else
        QCOMPARE(widget->font().pointSize(), window->font().pointSize());
}

void MainWindowTest::windowAndStacking()
{
    QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(window->size(), QSize(675, 431));
    QCOMPARE(window->font().weight(), int(QFont::Bold));
    QVERIFY(window->autoFillBackground());
    QCOMPARE(window->centralWidget()->objectName(), QStringLiteral("centralwidget"));
    QCOMPARE(window->menuBar()->objectName(), QStringLiteral("menubar"));
    QCOMPARE(window->statusBar()->objectName(), QStringLiteral("statusbar"));
    QVERIFY(window->statusBar()->currentMessage().isEmpty());
    // The container and the buttons share one font; so do the two captions.
    QCOMPARE(child<QPushButton>(window, "pushButton")->font(), child<QWidget>(window, "widget")->font());
    QCOMPARE(child<QLabel>(window, "label")->font(), child<QLabel>(window, "label_3")->font());

    // Raising moves a widget to the end of its parent's children, so their
    // order is the stacking order, lowest first.
    QStringList stacking;
    for (QObject *object : child<QWidget>(window, "widget")->children())
        if (object->isWidgetType())
            stacking << object->objectName();
    const QStringList expected{"label_2", "pushButton_4", "pushButton_2", "label", "pushButton_3",
                               "lineEdit", "pushButton", "doubleSpinBox", "label_3", "label_4",
                               "radioButton", "radioButton_2", "pushButton_5"};
    QCOMPARE(stacking, expected);
}

void MainWindowTest::tableSetup()
{
    MyTableWidget *table = window->table();
    QVERIFY(table);
    QCOMPARE(table->parentWidget(), window->centralWidget());
    auto *layout = qobject_cast<QVBoxLayout *>(window->centralWidget()->layout());
    QVERIFY(layout);
    // The table, and below it the find bar, hidden at start.
    QCOMPARE(layout->count(), 2);
    QCOMPARE(layout->itemAt(0)->widget(), static_cast<QWidget *>(table));
    QVERIFY(layout->itemAt(1)->widget()->isHidden());
    QCOMPARE(layout->contentsMargins(), QMargins(0, 130, 0, 0));

    const QStringList headers{QStringLiteral("Key"),
                              QString::fromUtf8("아이템"),
                              QString::fromUtf8("캐시 가격"),
                              QString::fromUtf8("메소 가격"),
                              QString::fromUtf8("손익(메소)"),
                              QString::fromUtf8("손익(원)"),
                              QString::fromUtf8("1억당 비율"),
                              QString::fromUtf8("수수료(%)"),
                              QString::fromUtf8("마일리지 할인 여부")};
    QCOMPARE(table->columnCount(), 9);
    QCOMPARE(table->rowCount(), 0);
    for (int column = 0; column < 9; ++column) {
        QCOMPARE(table->horizontalHeaderItem(column)->text(), headers[column]);
        QCOMPARE(table->isColumnHidden(column), column == 0);
    }
    QVERIFY(table->verticalHeader()->isHidden());
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(table->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(table->editTriggers(), QAbstractItemView::EditTriggers(QAbstractItemView::DoubleClicked));
    QVERIFY(!table->isSortingEnabled());
    QVERIFY(table->hasMouseTracking());
    QCOMPARE(table->horizontalHeader()->font().pointSize(), 9);
    QCOMPARE(table->horizontalHeader()->font().weight(), 75);

    // Widths relative to the default, while the table is empty, but never
    // narrower than the header text (with the style's margins) needs.
    QHeaderView *header = table->horizontalHeader();
    const int base = header->defaultSectionSize();
    const int changes[9] = {0, 0, -30, -15, -15, -30, -35, -37, 15};
    const int margin = table->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    int needed[9] = {};
    int expected[9] = {};
    int total = 0;
    for (int column = 1; column < 9; ++column) {
        needed[column] = int(std::ceil(QFontMetricsF(header->font()).horizontalAdvance(headers[column]))) + 2 * margin;
        expected[column] = std::max(base + changes[column], needed[column]);
        total += expected[column];
    }
    for (int column = 1; column < 9; ++column) {
        if (total <= window->width() - 2 * table->frameWidth())
            QCOMPARE(table->columnWidth(column), expected[column]);
        else
            QVERIFY(table->columnWidth(column) >= needed[column]);
    }
}

void MainWindowTest::onlyTheTableGrows()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QWidget *controls = child<QWidget>(window, "widget");
    const QRect controlsBefore = controls->geometry();
    const QRect buttonBefore = child<QWidget>(window, "pushButton_5")->geometry();
    const QSize tableBefore = window->table()->size();

    window->resize(900, 700);
    QTRY_VERIFY(window->table()->width() > tableBefore.width() && window->table()->height() > tableBefore.height());
    QCOMPARE(window->table()->width() - tableBefore.width(), 900 - 675);
    QCOMPARE(window->table()->height() - tableBefore.height(), 700 - 431);
    QCOMPARE(controls->geometry(), controlsBefore);
    QCOMPARE(child<QWidget>(window, "pushButton_5")->geometry(), buttonBefore);
}

void MainWindowTest::rowContents()
{
    setRatio(window, 3000);
    QVERIFY(window->ratioIsSet());
    LedgerStore &store = LedgerStore::instance();
    store.addItem(QByteArray("가방"), 10000, 300000000, true);
    // The first insertion fits every visible column to its contents.
    QTableWidget *table = window->table();
    for (int column = 1; column < 9; ++column) {
        const int content = static_cast<QAbstractItemView *>(table)->sizeHintForColumn(column);
        const int header = table->horizontalHeader()->sectionSizeHint(column);
        QCOMPARE(table->columnWidth(column), qMax(content, header));
    }
    store.addItem(QByteArray("나비"), 10000, 40000000, true);
    store.addItem(QByteArray("Small gain"), 1, 33859, false);
    store.addItem(QByteArray("Even"), 1, 33333, false);

    struct Row {
        QStringList texts;
        QColor meso;
        QColor won;
    };
    // Newest on top.
    const Row rows[] = {
        {{"3", "Even", "1", "33,333", "0", "0", "3,000", "5", "X"}, blue, blue},
        // A meso profit too small to make one won.
        {{"2", "Small gain", "1", "33,859", "500", "0", "3,000", "5", "X"}, red, blue},
        {{"1", QString::fromUtf8("나비"), "7,000", "40,000,000", "-183,662,000", "-5,799", "3,000", "5", "O"}, blue, blue},
        {{"0", QString::fromUtf8("가방"), "7,000", "300,000,000", "63,338,000", "2,000", "3,000", "5", "O"}, red, red},
    };
    QCOMPARE(table->rowCount(), 4);
    const Qt::ItemFlags editable = QTableWidgetItem().flags();
    QVERIFY(editable & Qt::ItemIsEditable);
    const Qt::ItemFlags readOnly = (editable & ~Qt::ItemIsEditable) | Qt::ItemIsSelectable;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 9; ++column) {
            const QTableWidgetItem *cell = table->item(row, column);
            QVERIFY(cell);
            QCOMPARE(cell->text(), rows[row].texts[column]);
            QCOMPARE(cell->textAlignment(), int(Qt::AlignCenter));
            QCOMPARE(cell->flags(), column <= 3 ? editable : readOnly);
            QVERIFY(!cell->data(Qt::BackgroundRole).isValid());
            if (column == 4 || column == 5) {
                const QColor expected = column == 4 ? rows[row].meso : rows[row].won;
                QCOMPARE(cell->data(Qt::ForegroundRole).value<QBrush>().color(), expected);
            } else {
                QVERIFY(!cell->data(Qt::ForegroundRole).isValid());
            }
        }
    }
}

void MainWindowTest::undefinedProfitsWithoutRatio()
{
    // No ratio has been set: the item carries ratio 0 and has no profit.
    LedgerStore::instance().addItem(QByteArray("item"), 10000, 300000000, true);
    QTableWidget *table = window->table();
    QCOMPARE(table->rowCount(), 1);
    const QStringList texts{"0", "item", "7,000", "300,000,000", "", "", "0", "5", "O"};
    for (int column = 0; column < 9; ++column)
        QCOMPARE(cellText(window, 0, column), texts[column]);
    QVERIFY(!table->item(0, 4)->data(Qt::ForegroundRole).isValid());
    QVERIFY(!table->item(0, 5)->data(Qt::ForegroundRole).isValid());
}

void MainWindowTest::newestOnTop()
{
    setRatio(window, 3000);
    LedgerStore &store = LedgerStore::instance();
    store.addItem("first", 100, 1000, false);
    store.addItem("second", 200, 2000, false);
    store.addItem("third", 300, 3000, false);
    QCOMPARE(window->table()->rowCount(), 3);
    const QStringList names{"third", "second", "first"};
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(cellText(window, row, 0), QString::number(2 - row));
        QCOMPARE(cellText(window, row, 1), names[row]);
    }
}

void MainWindowTest::longNamesShownShortened()
{
    // Past 1,000 characters a name is drawn and measured by its beginning,
    // but the cell and its editor keep the whole name.
    setRatio(window, 3000);
    LedgerStore &store = LedgerStore::instance();
    const QByteArray longName(5000, 'a');
    const QByteArray shownPart = QByteArray(1000, 'a') + "\xe2\x80\xa6";
    store.addItem(shownPart, 100, 1000, false);
    store.addItem(longName, 100, 1000, false);
    QTableWidget *table = window->table();
    QCOMPARE(cellText(window, 0, 1).size(), 5000);

    QAbstractItemDelegate *delegate = table->itemDelegateForColumn(1);
    QVERIFY(delegate);
    QStyleOptionViewItem option;
    option.initFrom(table);
    const QSize longHint = delegate->sizeHint(option, table->model()->index(0, 1));
    const QSize shownHint = delegate->sizeHint(option, table->model()->index(1, 1));
    QCOMPARE(longHint, shownHint);

    table->editItem(table->item(0, 1));
    auto *editor = table->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    QCOMPARE(editor->text().size(), 5000);
    table->closePersistentEditor(table->item(0, 1));

    // Up to 1,000 characters a name is drawn whole.
    struct ShownText : NameDelegate
    {
        using NameDelegate::NameDelegate;
        QString of(const QModelIndex &index) const
        {
            QStyleOptionViewItem option;
            initStyleOption(&option, index);
            return option.text;
        }
    };
    QVERIFY(qobject_cast<NameDelegate *>(delegate));
    const ShownText shown;
    for (int length : {999, 1000, 1001}) {
        store.addItem(QByteArray(length, 'b'), 100, 1000, false);
        const QString expected = length <= 1000 ? QString(length, QLatin1Char('b'))
                                                : QString(1000, QLatin1Char('b')) + QChar(0x2026);
        QCOMPARE(shown.of(table->model()->index(0, 1)), expected);
    }
}

void MainWindowTest::idsNeverGivenTwice()
{
    setRatio(window, 3000);
    LedgerStore &store = LedgerStore::instance();
    store.addItem("first", 100, 1000, false);
    store.addItem("second", 200, 2000, false);
    QCOMPARE(cellText(window, 0, 0), QStringLiteral("1"));

    window->table()->setCurrentCell(0, 1);
    QTest::mouseClick(child<QPushButton>(window, "pushButton_5"), Qt::LeftButton);
    QCOMPARE(window->table()->rowCount(), 1);
    QVERIFY(!store.findItem(1));

    store.addItem("third", 300, 3000, false);
    QCOMPARE(cellText(window, 0, 0), QStringLiteral("2"));
    QCOMPARE(cellText(window, 0, 1), QStringLiteral("third"));
    QCOMPARE(cellText(window, 1, 0), QStringLiteral("0"));
    QCOMPARE(store.items().size(), size_t(2));
    QVERIFY(store.findItem(0) && store.findItem(2));
    QCOMPARE(store.item(2).name, QByteArray("third"));
    QCOMPARE(LedgerStore::nextItemId(), 3);
}

void MainWindowTest::releaseDestroysStore()
{
    LedgerStore::instance().addItem("item", 100, 1000, false);
    QPointer<QRegister> dialog = registerDialog();
    QPointer<QTableWidget> table = window->table();
    QVERIFY(dialog);
    QVERIFY(table);
    const int32_t nextId = LedgerStore::nextItemId();

    MainWindow::releaseInstance();
    window = nullptr;
    QVERIFY(!MainWindow::exists());
    QVERIFY(!LedgerStore::exists());
    QVERIFY(dialog.isNull());
    QVERIFY(table.isNull());
    // The id counter is not part of the store.
    QCOMPARE(LedgerStore::nextItemId(), nextId);
}

void MainWindowTest::oneWindowPerProcess()
{
    QCOMPARE(MainWindow::instance(), window);
    QCOMPARE(MainWindow::instance(), MainWindow::instance());
    QCOMPARE(registerDialog()->parentWidget(), static_cast<QWidget *>(window));
}

void MainWindowTest::batchedInsertionMatchesSingle_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<double>("discount");

    QTest::newRow("no ratio") << 0 << 0.0;
    QTest::newRow("ratio 3000") << 3000 << 0.0;
    QTest::newRow("ratio 2700, discount 4.5") << 2700 << 4.5;
}

void MainWindowTest::batchedInsertionMatchesSingle()
{
    QFETCH(int, rate);
    QFETCH(double, discount);

    struct Entry {
        QByteArray name;
        int32_t cashPrice;
        int64_t mesoPrice;
        bool isUseMileage;
    };
    const Entry before{"already there", 5000, 9000000, true};
    const Entry batch[] = {
        {"가방", 10000, 300000000, true},
        {"lossy", 10000, 40000000, true},
        {"small gain", 1, 33859, false},
        {"even", 1, 33333, false},
        {"negative", -500, -1000, false},
        {"a rather long name that widens its column", 2147483647, 9223372036854775807LL, true},
        {"가나다라마바사", 12345, 123456789, true},
    };
    const Entry after{"after", 3000, 1, false};

    QStringList snapshots[2];
    for (int batched = 0; batched < 2; ++batched) {
        window = windowFromIdZero();
        QVERIFY(window);
        if (rate > 0)
            setRatio(window, rate);
        child<QDoubleSpinBox>(window, "doubleSpinBox")->setValue(discount);
        window->setRowBatchingEnabled(batched == 1);
        LedgerStore &store = LedgerStore::instance();
        store.addItem(before.name, before.cashPrice, before.mesoPrice, before.isUseMileage);

        window->beginRowBatch();
        int count = 0;
        for (const Entry &entry : batch) {
            // Nested batches end with the outer one.
            if (count == 3)
                window->beginRowBatch();
            store.addItem(entry.name, entry.cashPrice, entry.mesoPrice, entry.isUseMileage);
            ++count;
        }
        window->endRowBatch();
        // Make sure the two paths really differ: a batch holds its rows back.
        QCOMPARE(window->table()->rowCount(), batched ? 1 : 1 + count);
        window->endRowBatch();
        QCOMPARE(window->table()->rowCount(), 1 + count);
        store.addItem(after.name, after.cashPrice, after.mesoPrice, after.isUseMileage);

        snapshots[batched] = tableSnapshot(window);
        QCOMPARE(snapshots[batched].size(), 1 + (count + 2) * 9 + 9);
    }
    QCOMPARE(snapshots[1], snapshots[0]);
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
