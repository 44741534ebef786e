#include "CsvExport.h"

#include "LedgerColumns.h"
#include "Prefetch.h"

#include <QByteArray>
#include <QIODevice>
#include <QSaveFile>

namespace CsvExport {

namespace {

constexpr int blockSize = 64 * 1024;

enum class Layout { Csv, Tabs };

// A name is typed by the user or comes from someone else's ledger file. A
// cell that starts like a formula would be evaluated by the spreadsheet (and
// could reach outside it), so such a name is led by an apostrophe, which
// spreadsheets take as "this is text".
bool looksLikeFormula(const QByteArray &name)
{
    if (name.isEmpty())
        return false;
    switch (name.at(0)) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
        return true;
    default:
        return false;
    }
}

bool needsQuotes(const QByteArray &field)
{
    for (const char c : field)
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    return false;
}

void appendName(QByteArray &out, const QByteArray &storedName, Layout layout)
{
    // Through QString, as the table shows it: a stored name that is not
    // valid UTF-8 gets replacement characters instead of spoiling the file.
    QByteArray name = QString::fromUtf8(storedName).toUtf8();
    if (layout == Layout::Tabs) {
        for (char &c : name)
            if (c == '\t' || c == '\r' || c == '\n')
                c = ' ';
    }
    if (looksLikeFormula(name))
        name.prepend('\'');
    if (layout == Layout::Csv && needsQuotes(name)) {
        out.append('"');
        out.append(name.replace('"', QByteArrayLiteral("\"\"")));
        out.append('"');
    } else {
        out.append(name);
    }
}

void appendNumber(QByteArray &out, char separator, int64_t value)
{
    out.append(separator);
    out.append(QByteArray::number(static_cast<qlonglong>(value)));
}

void appendFigure(QByteArray &out, char separator, const std::optional<int64_t> &value)
{
    out.append(separator);
    if (value)
        out.append(QByteArray::number(static_cast<qlonglong>(*value)));
}

void appendRecord(QByteArray &out, const AuctionItem &item, Layout layout)
{
    const char separator = layout == Layout::Csv ? ',' : '\t';
    appendName(out, item.name, layout);
    appendNumber(out, separator, item.cashPrice);
    const AuctionItem::Figures figures = item.figures();
    appendNumber(out, separator, figures.wonCost);
    appendNumber(out, separator, item.mesoPrice);
    appendFigure(out, separator, figures.profitMeso);
    appendFigure(out, separator, figures.profitWon);
    appendNumber(out, separator, item.rate);
    appendNumber(out, separator, item.fee);
    out.append(separator);
    out.append(item.isUseMileage ? 'O' : 'X');
}

// Hands the buffer to the device and empties it.
bool flush(QIODevice &device, QByteArray &buffer)
{
    const qint64 size = buffer.size();
    const bool written = device.write(buffer.constData(), size) == size;
    buffer.clear();
    return written;
}

} // namespace

bool write(QIODevice &device, const std::vector<Row> &rowsInTableOrder)
{
    QByteArray buffer;
    buffer.reserve(blockSize + 4096);
    buffer.append("\xEF\xBB\xBF");
    // No header text needs quotes.
    buffer.append(LedgerColumns::sheetTitles().join(QLatin1Char(',')).toUtf8());
    buffer.append("\r\n");
    const size_t count = rowsInTableOrder.size();
    for (size_t k = 0; k < count; ++k) {
        // The items of a sorted table's rows lie all over memory: each is
        // asked for well before its turn, and its name once the item is in.
        if (k + 32 < count)
            prefetchBytes(rowsInTableOrder[k + 32].second, sizeof(AuctionItem));
        if (k + 16 < count) {
            // The name's header and first characters, found without reading
            // the header itself.
            QByteArray &name = const_cast<QByteArray &>(rowsInTableOrder[k + 16].second->name);
            prefetchBytes(name.data_ptr(), 88);
        }
        const Row &row = rowsInTableOrder[k];
        Q_ASSERT(row.second);
        appendRecord(buffer, *row.second, Layout::Csv);
        buffer.append("\r\n");
        if (buffer.size() >= blockSize && !flush(device, buffer))
            return false;
    }
    return flush(device, buffer);
}

bool writeFile(const QString &path, const std::vector<Row> &rowsInTableOrder)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!write(file, rowsInTableOrder)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString tabSeparatedRow(int32_t, const AuctionItem &item)
{
    QByteArray row;
    appendRecord(row, item, Layout::Tabs);
    return QString::fromUtf8(row);
}

} // namespace CsvExport
