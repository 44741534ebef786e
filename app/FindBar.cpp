#include "FindBar.h"

#include "LedgerDocument.h"
#include "LedgerStore.h"
#include "LedgerTable.h"
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
    m_readNames.clear();
    hide();
    applyNow();
}

void FindBar::applyNow()
{
    m_pause.stop();
    const NameSearch search(m_field->text());
    if (search.isEmpty()) {
        if (m_rows.isFiltered()) {
            m_rows.showOnly(nullptr);
            m_document.shownRowsChanged();
        }
        return;
    }
    const LedgerStore::ItemMap &items = m_store.items();
    // Names read before by other items or other keys are not read again;
    // a ledger that named many items anew does not keep them all.
    if (static_cast<size_t>(m_readNames.size()) > 4 * items.size() + 1024)
        m_readNames.clear();
    std::vector<bool> shown(items.empty() ? 0 : static_cast<size_t>(std::max(0, items.rbegin()->first)) + 1, false);
    QHash<QByteArray, bool> found;
    for (const auto &entry : items) {
        auto verdict = found.constFind(entry.second.name);
        if (verdict == found.constEnd()) {
            QString &read = m_readNames[entry.second.name];
            if (read.isNull())
                read = NameSearch::normalized(QString::fromUtf8(entry.second.name));
            verdict = found.insert(entry.second.name, search.matchesNormalized(read));
        }
        if (entry.first >= 0)
            shown[static_cast<size_t>(entry.first)] = *verdict;
    }
    m_rows.showOnly(&shown);
    m_document.shownRowsChanged();
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
