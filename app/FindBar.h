#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <vector>

class LedgerDocument;
class LedgerStore;
class LedgerTable;
class QLineEdit;

// The find bar below the table: what is typed into it leaves only the rows
// whose item names it finds (NameSearch), a moment after the typing stops.
// Only the view changes: nothing becomes unsaved or undoable. Escape, or a
// load, puts it away with every row shown again; an empty field shows them
// all too.
class FindBar : public QWidget
{
    Q_OBJECT
public:
    // `table` takes the keys back when the bar is put away.
    FindBar(LedgerTable &rows, LedgerDocument &document, const LedgerStore &store, QWidget *table,
            QWidget *parent = nullptr);

    // Shows the bar with its text selected, ready for typing, and reads the
    // ledger's names the search does not know yet.
    void open();
    // Empties and hides the bar; every row shows.
    void dismiss();
    // The search of what the field holds, without waiting for the typing to stop.
    void applyNow();
    QLineEdit *field() const { return m_field; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LedgerTable &m_rows;
    LedgerDocument &m_document;
    const LedgerStore &m_store;
    QWidget *m_table;
    QLineEdit *m_field;
    QTimer m_pause;
    // Brings the names below up to date with the ledger's.
    void readNames();

    // Each distinct name as the search reads it, and by id which of them
    // each item bears, so that a name is read once however many items carry
    // it and however many keys are typed.
    struct Names
    {
        QHash<QByteArray, int> indexOf;
        std::vector<QString> read;
        std::vector<QByteArray> byId;
        std::vector<int> indexById;
    };
    Names m_names;
};
