#include "FindBar.h"

#include "LedgerDocument.h"
#include "LedgerStore.h"
#include "LedgerTable.h"
#include "LedgerTotals.h"
#include "NameSearch.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <vector>

FindBar::FindBar(LedgerTable &rows, LedgerDocument &document, const LedgerStore &store, QWidget *table,
                 QWidget *parent)
    : QWidget(parent)
    , m_rows(rows)
    , m_document(document)
    , m_store(store)
    , m_table(table)
    , m_field(new QLineEdit(this))
{
    setObjectName(QStringLiteral("findBar"));
    m_field->setObjectName(QStringLiteral("findField"));
    m_field->setPlaceholderText(QString::fromUtf8("아이템 이름 또는 초성 (예: ㅍㄹ)"));
    m_field->setClearButtonEnabled(true);
    m_field->installEventFilter(this);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    auto *caption = new QLabel(QString::fromUtf8("찾기"), this);
    caption->setBuddy(m_field);
    layout->addWidget(caption);
    layout->addWidget(m_field, 1);

    // Each key would search 100,000 names; the search waits for a pause.
    m_pause.setSingleShot(true);
    m_pause.setInterval(150);
    connect(&m_pause, &QTimer::timeout, this, &FindBar::applyNow);
    connect(m_field, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            applyNow();
        else
            m_pause.start();
    });
}

void FindBar::open()
{
    show();
    // The names are read now, so that the keys typed next only match them.
    readNames();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void FindBar::dismiss()
{
    m_pause.stop();
    {
        const QSignalBlocker blocker(m_field);
        m_field->clear();
    }
    hide();
    applyNow();
}

void FindBar::readNames()
{
    const LedgerStore::ItemMap &items = m_store.items();
    // A ledger that named many items anew keeps no names it no longer has.
    if (m_names.read.size() > 4 * items.size() + 1024)
        m_names = Names();
    for (const auto &entry : items) {
        if (entry.first < 0)
            continue;
        const auto id = static_cast<size_t>(entry.first);
        if (id >= m_names.byId.size()) {
            m_names.byId.resize(id + 1);
            m_names.indexById.resize(id + 1, -1);
        }
        // The name held here shares its bytes with the item's until the
        // item's name changes: the same bytes are the same name.
        QByteArray &held = m_names.byId[id];
        const QByteArray &name = entry.second.name;
        if (m_names.indexById[id] >= 0 && held.constData() == name.constData())
            continue;
        auto index = m_names.indexOf.constFind(name);
        if (index == m_names.indexOf.constEnd()) {
            index = m_names.indexOf.insert(name, static_cast<int>(m_names.read.size()));
            m_names.read.push_back(NameSearch::normalized(QString::fromUtf8(name)));
        }
        held = name;
        m_names.indexById[id] = *index;
    }
}

void FindBar::applyNow()
{
    m_pause.stop();
    const NameSearch search(m_field->text());
    if (search.isEmpty()) {
        if (m_rows.isFiltered()) {
            m_rows.showOnly(nullptr);
            m_document.shownRowsChanged(LedgerTotals());
        }
        return;
    }
    readNames();
    const LedgerStore::ItemMap &items = m_store.items();
    std::vector<bool> shown(m_names.byId.size(), false);
    // Each distinct name is matched once: -1 not yet, else 0 or 1.
    std::vector<signed char> verdicts(m_names.read.size(), -1);
    // The totals of what is found, in the same pass.
    LedgerTotals found;
    for (const auto &entry : items) {
        if (entry.first < 0)
            continue;
        const auto id = static_cast<size_t>(entry.first);
        const auto index = static_cast<size_t>(m_names.indexById[id]);
        if (verdicts[index] < 0)
            verdicts[index] = search.matchesNormalized(m_names.read[index]) ? 1 : 0;
        if (verdicts[index] == 0)
            continue;
        shown[id] = true;
        found.add(entry.second);
    }
    m_rows.showOnly(&shown);
    m_document.shownRowsChanged(found);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_field || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Escape:
        dismiss();
        m_table->setFocus();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Searched at once; the keys go to the rows found.
        applyNow();
        m_table->setFocus();
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
