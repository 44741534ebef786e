// Every text of the main window and the registration dialog is drawn whole,
// with the fonts the program really gets and at the scale the screen really
// has. Run headless this is the 100 % case; tests/x11/hidpi.sh runs it again
// under X servers at 96, 144 and 192 DPI, with PELARIN_EXPECT_SCALE telling
// it the scale that the screen must have given the program.
//
// A text fits when, placed as its widget's style draws it, its advance lies
// inside the rectangle that the style gives the text, and its glyphs from
// top to bottom do too (the empty space that a font's line height adds
// above and below them may be cut unseen); and when no sibling control
// stacked above the widget covers it.

#include "Launcher.h"
#include "LedgerStore.h"
#include "MainWindow.h"
#include "MyTableWidget.h"
#include "Prompt.h"
#include "QRegister.h"
#include "TestSupport.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOption>
#include <QtTest>

namespace {

QByteArray shippedCatalogue()
{
    QFile file(QStringLiteral(PELARIN_SOURCE_DIR "/resources/CashItems.json"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The rectangle, in the widget's own coordinates, that its style draws the
// text into, and how the text is aligned in it.
struct TextPlace
{
    QRect rect;
    Qt::Alignment alignment;
};

TextPlace textPlace(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        const int margin = label->margin();
        return {label->contentsRect().adjusted(margin, margin, -margin, -margin), label->alignment()};
    }
    if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        if (button->isDefault() || button->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        return {button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button), Qt::AlignCenter};
    }
    if (auto *radio = qobject_cast<QRadioButton *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        option.text = radio->text();
        return {radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio),
                Qt::AlignLeft | Qt::AlignVCenter};
    }
    if (auto *check = qobject_cast<QCheckBox *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(check);
        option.text = check->text();
        return {check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check),
                Qt::AlignLeft | Qt::AlignVCenter};
    }
    return {};
}

// Where the text is drawn: its advance across, its glyphs from top to
// bottom, with its line aligned in place.rect.
QRectF drawnText(const QFont &font, const QString &text, const TextPlace &place)
{
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(text);
    qreal left = place.rect.left();
    if (place.alignment & Qt::AlignHCenter)
        left += (place.rect.width() - advance) / 2;
    else if (place.alignment & Qt::AlignRight)
        left += place.rect.width() - advance;
    const qreal lineTop = place.rect.top() + (place.rect.height() - metrics.height()) / 2;
    const qreal baseline = lineTop + metrics.ascent();
    const QRectF ink = metrics.tightBoundingRect(text);
    return QRectF(QPointF(left, baseline + ink.top()), QPointF(left + advance, baseline + ink.bottom()));
}

QString describe(const QRectF &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x(), 0, 'f', 1).arg(r.y(), 0, 'f', 1).arg(r.width(), 0, 'f', 1).arg(r.height(), 0, 'f', 1);
}

// Empty when the text of the widget is drawn whole, otherwise why not.
QString cutText(QWidget *widget, const QString &text)
{
    if (text.isEmpty())
        return QString();
    const TextPlace place = textPlace(widget);
    const QRectF drawn = drawnText(widget->font(), text, place);
    const QString who = QStringLiteral("%1 \"%2\": text %3 in %4").arg(widget->objectName(), text, describe(drawn),
                                                                      describe(QRectF(place.rect)));
    // Half a hundredth of a pixel for rounding.
    if (!QRectF(place.rect).adjusted(-0.005, -0.005, 0.005, 0.005).contains(drawn))
        return who + QStringLiteral(" does not fit");
    // Siblings created or raised later are drawn over the widget.
    const QRectF drawnInParent = drawn.translated(widget->pos());
    const QObjectList siblings = widget->parentWidget()->children();
    for (int i = siblings.indexOf(widget) + 1; i < siblings.size(); ++i) {
        auto *above = qobject_cast<QWidget *>(siblings[i]);
        if (above && !above->isWindow() && QRectF(above->geometry()).intersects(drawnInParent))
            return who + QStringLiteral(" runs under %1 at %2").arg(above->objectName(), describe(QRectF(above->geometry())));
    }
    return QString();
}

// The texts of every label, button, radio button and check box under parent.
QStringList cutTexts(QWidget *parent)
{
    QStringList problems;
    for (QWidget *widget : parent->findChildren<QWidget *>()) {
        if (widget->isWindow() || widget->window() != parent->window())
            continue;
        QString text;
        if (auto *label = qobject_cast<QLabel *>(widget))
            text = label->text();
        else if (qobject_cast<QPushButton *>(widget) || qobject_cast<QRadioButton *>(widget)
                 || qobject_cast<QCheckBox *>(widget))
            text = static_cast<QAbstractButton *>(widget)->text();
        else
            continue;
        const QString problem = cutText(widget, text);
        if (!problem.isEmpty())
            problems << problem;
    }
    return problems;
}

// The widest value the spin box can show fits its field.
QString cutSpinBoxValue(QDoubleSpinBox *spinBox)
{
    QLineEdit *field = spinBox->findChild<QLineEdit *>();
    if (!field)
        return QStringLiteral("%1 has no field").arg(spinBox->objectName());
    const QString widest = spinBox->textFromValue(spinBox->maximum());
    // QLineEdit keeps two pixels free on each side of its text.
    const int room = field->contentsRect().width() - field->textMargins().left() - field->textMargins().right() - 4;
    const int needed = field->fontMetrics().horizontalAdvance(widest);
    if (needed > room)
        return QStringLiteral("%1 \"%2\" needs %3 pixels, its field has %4")
            .arg(spinBox->objectName(), widest)
            .arg(needed)
            .arg(room);
    return QString();
}

// Pairs of controls under parent whose rectangles overlap.
QStringList overlappingPairs(QWidget *parent)
{
    QStringList pairs;
    QList<QWidget *> controls;
    for (QObject *object : parent->children())
        if (auto *widget = qobject_cast<QWidget *>(object))
            if (!widget->isWindow())
                controls << widget;
    for (int i = 0; i < controls.size(); ++i)
        for (int j = i + 1; j < controls.size(); ++j)
            if (controls[i]->geometry().intersects(controls[j]->geometry())) {
                QStringList names{controls[i]->objectName(), controls[j]->objectName()};
                names.sort();
                pairs << names.join(QLatin1Char('/'));
            }
    pairs.sort();
    return pairs;
}

} // namespace

class TextFitTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { releaseAll(); }

    void screenScale();
    void mainWindowTexts();
    void emptyTable();
    void smallestWindow();
    void registerDialogTexts();
};

void TextFitTest::init()
{
    folder.reset(new PortableFolder(shippedCatalogue()));
    window = exposed(freshWindow());
    QVERIFY(window);
}

void TextFitTest::screenScale()
{
    qInfo("scale %.2f, window %dx%d", window->devicePixelRatioF(), window->width(), window->height());
    // Where the controls ended up, for the log.
    for (QWidget *parent : {child<QWidget>(window, "widget"), static_cast<QWidget *>(registerDialog())})
        for (QObject *object : parent->children())
            if (auto *control = qobject_cast<QWidget *>(object))
                qInfo("%s %d,%d %dx%d", qPrintable(control->objectName()), control->x(), control->y(), control->width(),
                      control->height());
    const QByteArray expected = qgetenv("PELARIN_EXPECT_SCALE");
    if (expected.isEmpty())
        QSKIP("no scale expected (PELARIN_EXPECT_SCALE)");
    QVERIFY2(qAbs(window->devicePixelRatioF() - expected.toDouble()) < 0.005,
             qPrintable(QStringLiteral("expected %1").arg(QString::fromLatin1(expected))));
}

void TextFitTest::mainWindowTexts()
{
    auto *controls = child<QWidget>(window, "widget");
    QVERIFY(controls);
    QStringList problems = cutTexts(controls);
    if (const QString spin = cutSpinBoxValue(child<QDoubleSpinBox>(window, "doubleSpinBox")); !spin.isEmpty())
        problems << spin;
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    // The summary line once a ratio is set.
    setRatio(window, 3000);
    QVERIFY(!child<QLabel>(window, "label_2")->text().isEmpty());
    problems = cutTexts(controls);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));

    // Where a control had to grow for its text it took free space only.
    const QStringList overlaps{"label_2/label_4", "label_2/radioButton", "label_2/radioButton_2",
                               "radioButton/radioButton_2"};
    QCOMPARE(overlappingPairs(controls), overlaps);
}

void TextFitTest::emptyTable()
{
    MyTableWidget *table = window->table();
    QHeaderView *header = table->horizontalHeader();
    QCOMPARE(window->size(), QSize(675, 431));
    QCOMPARE(table->rowCount(), 0);
    QStringList problems;
    const int margin = table->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int column = 0; column < table->columnCount(); ++column) {
        if (table->isColumnHidden(column))
            continue;
        const QString text = table->horizontalHeaderItem(column)->text();
        const int needed = header->fontMetrics().horizontalAdvance(text) + 2 * margin;
        if (needed > header->sectionSize(column))
            problems << QStringLiteral("header \"%1\" needs %2 pixels, has %3")
                            .arg(text)
                            .arg(needed)
                            .arg(header->sectionSize(column));
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    QVERIFY2(header->length() <= table->viewport()->width(),
             qPrintable(QStringLiteral("columns %1, view %2").arg(header->length()).arg(table->viewport()->width())));
    QVERIFY(!table->horizontalScrollBar()->isVisible());
}

// Made as small as it lets itself be made, the window still shows every
// control of the form whole, and the table its header and one row.
void TextFitTest::smallestWindow()
{
    window->resize(1, 1);
    QVERIFY(QTest::qWaitFor([this] { return window->size() == window->minimumSize(); }));
    QApplication::processEvents();
    qInfo("smallest window %dx%d", window->width(), window->height());

    QWidget *central = window->centralWidget();
    QStringList problems;
    QRect reach;
    for (QObject *object : child<QWidget>(window, "widget")->children()) {
        auto *control = qobject_cast<QWidget *>(object);
        if (!control || control->isWindow())
            continue;
        const QRect place(control->mapTo(central, QPoint(0, 0)), control->size());
        reach |= place;
        if (!central->rect().contains(place))
            problems << QStringLiteral("%1 at %2,%3 %4x%5 is cut by the window's %6x%7")
                            .arg(control->objectName())
                            .arg(place.x())
                            .arg(place.y())
                            .arg(place.width())
                            .arg(place.height())
                            .arg(central->width())
                            .arg(central->height());
    }
    // The form's left margin is kept on the right as well.
    if (central->width() - 1 - reach.right() < reach.left())
        problems << QStringLiteral("controls reach %1 of %2 with a left margin of %3")
                        .arg(reach.right()).arg(central->width()).arg(reach.left());
    MyTableWidget *table = window->table();
    const int oneRow = table->verticalHeader()->defaultSectionSize();
    if (table->viewport()->height() < oneRow)
        problems << QStringLiteral("the table shows %1 pixels of rows, less than one row of %2")
                        .arg(table->viewport()->height())
                        .arg(oneRow);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void TextFitTest::registerDialogTexts()
{
    setRatio(window, 3000);
    QTest::mouseClick(child<QPushButton>(window, "pushButton"), Qt::LeftButton);
    QRegister *dialog = registerDialog();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(dialog));

    // Unfolded ("접기▲") and folded ("추천▼").
    for (int state = 0; state < 2; ++state) {
        const QStringList problems = cutTexts(dialog);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton_2")), Qt::LeftButton);
    }
    // No control of the dialog overlaps another.
    QCOMPARE(overlappingPairs(dialog), QStringList());
}

int main(int argc, char *argv[])
{
    // The program's own settings, so that a scaled screen scales this test
    // exactly as it scales the program.
    Launcher::prepareApplication();
    QApplication application(argc, argv);
    TextFitTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_textfit.moc"
