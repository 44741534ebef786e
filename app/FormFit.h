#pragma once

// The window and the registration dialog place their controls at fixed
// pixel positions chosen for one platform's fonts. Where the fonts of the
// running system draw a text wider or taller than its control, the control
// grows, by as much as the text needs and only into the free space beside
// it, so that it comes to overlap no control that it did not overlap before.
// Everything is measured from the fonts at run time; where a text fits, its
// control keeps its place and size.

#include <QHash>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QDoubleSpinBox;
class QFont;
class QTableWidget;
class QWidget;

namespace FormFit {

// The rectangle, in the widget's coordinates, that its style draws its text
// into, and whether the text is centred there horizontally (it is always
// centred vertically). An empty rectangle for widgets without a caption.
struct TextPlace
{
    QRect rect;
    bool centred = true;
};

TextPlace textPlace(QWidget *widget);

// The smallest text rectangle that shows text whole in font: as wide as the
// text's advance, and as tall as its glyphs reach above and below the middle
// of a line centred in the rectangle (the font's line height also counts the
// empty space above and below the glyphs, which may be cut off unseen).
QSize textRoom(const QFont &font, const QString &text);

// How much wider and taller the widget must be to show each of texts whole
// (a button whose caption changes is measured with all of its captions).
QSize shortfall(QWidget *widget, const QStringList &texts);

// The widest value of the spin box against the width its field gives text.
int spinBoxShortfall(QDoubleSpinBox *spinBox);

// Grows widget by `by` into the free space around it: the space up to the
// nearest sibling on each side that it does not overlap already, or up to
// its parent's edge. A centred text grows to both sides alike, a text
// aligned left grows to the right first. Vertically it grows to both sides.
void growIntoFreeSpace(QWidget *widget, QSize by, bool centred);

// Grows each captioned control of parent (labels, buttons, radio buttons,
// check boxes, spin boxes) that its text does not fit. alternatives gives a
// control further captions it shows at other times.
void fitTexts(QWidget *parent, const QHash<QWidget *, QStringList> &alternatives = {});

// Widens each visible column of table whose header text its width cuts,
// to the width the text needs; then, while the columns together are wider
// than `available`, takes the excess back, a pixel at a time, from the
// column with the most width to spare beyond its header text.
void fitHeaderTexts(QTableWidget *table, int available);

} // namespace FormFit
