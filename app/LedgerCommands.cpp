#include "LedgerCommands.h"

#include "LedgerDocument.h"
#include "LedgerStore.h"

namespace {

// What an undo entry says: the change and, shortened, whose it was.
QString describe(const char *change, const QByteArray &name)
{
    constexpr int shownCharacters = 20;
    QString shown = QString::fromUtf8(name);
    if (shown.size() > shownCharacters)
        shown = shown.left(shownCharacters) + QString::fromUtf8("…");
    return QString::fromUtf8(change) + QStringLiteral(" '") + shown + QLatin1Char('\'');
}

const char *editDescription(const AuctionItem &before, const AuctionItem &after)
{
    if (before.name != after.name)
        return "이름 변경";
    if (before.cashPrice != after.cashPrice)
        return "캐시 가격 변경";
    return "메소 가격 변경";
}

} // namespace

ItemCommand::ItemCommand(LedgerDocument &document, LedgerStore &store, int32_t id, const QString &text)
    : QUndoCommand(text)
    , m_store(store)
    , m_id(id)
    , m_document(document)
{
}

void ItemCommand::undo()
{
    const LedgerDocument::CommandScope running(m_document);
    revert();
}

void ItemCommand::redo()
{
    const LedgerDocument::CommandScope running(m_document);
    repeat();
}

AddItemCommand::AddItemCommand(LedgerDocument &document, LedgerStore &store, int32_t id, const AuctionItem &item)
    : ItemCommand(document, store, id, describe("아이템 등록", item.name))
    , m_item(item)
{
}

void AddItemCommand::revert()
{
    m_store.removeItem(m_id);
}

void AddItemCommand::repeat()
{
    if (m_done) {
        m_done = false;
        return;
    }
    m_store.restoreItem(m_id, m_item, 0);
}

DeleteItemCommand::DeleteItemCommand(LedgerDocument &document, LedgerStore &store, int32_t id,
                                     const AuctionItem &item, int row)
    : ItemCommand(document, store, id, describe("아이템 삭제", item.name))
    , m_item(item)
    , m_row(row)
{
}

void DeleteItemCommand::revert()
{
    m_store.restoreItem(m_id, m_item, m_row);
}

void DeleteItemCommand::repeat()
{
    m_store.removeItem(m_id);
}

EditItemCommand::EditItemCommand(LedgerDocument &document, LedgerStore &store, int32_t id,
                                 const AuctionItem &before, const AuctionItem &after)
    : ItemCommand(document, store, id, describe(editDescription(before, after), before.name))
    , m_before(before)
    , m_after(after)
{
}

void EditItemCommand::revert()
{
    apply(m_before);
}

void EditItemCommand::repeat()
{
    apply(m_after);
}

void EditItemCommand::apply(const AuctionItem &values)
{
    // Only the edited fields: the settings may have changed since.
    m_store.setName(m_id, values.name);
    m_store.setCashPrice(m_id, values.cashPrice);
    m_store.setMesoPrice(m_id, values.mesoPrice);
}
