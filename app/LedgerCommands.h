#pragma once

#include "AuctionItem.h"

#include <QUndoCommand>

#include <cstdint>

class LedgerDocument;
class LedgerStore;

// The undoable item changes. A command makes its change through the store
// in redo() and takes it back in undo(); the document's listener only shows
// what the store did.
class ItemCommand : public QUndoCommand
{
public:
    ItemCommand(LedgerDocument &document, LedgerStore &store, int32_t id, const QString &text);

    void undo() final;
    void redo() final;

protected:
    virtual void revert() = 0;
    virtual void repeat() = 0;

    LedgerStore &m_store;
    const int32_t m_id;

private:
    LedgerDocument &m_document;
};

// An item registered. The registration dialog adds it to the store itself,
// so the first redo finds it done; undoing takes it out, redoing puts it
// back on top.
class AddItemCommand : public ItemCommand
{
public:
    AddItemCommand(LedgerDocument &document, LedgerStore &store, int32_t id, const AuctionItem &item);

private:
    void revert() override;
    void repeat() override;
    const AuctionItem m_item;
    bool m_done = true;
};

// A row deleted: undoing puts the item back under its id in its row.
class DeleteItemCommand : public ItemCommand
{
public:
    DeleteItemCommand(LedgerDocument &document, LedgerStore &store, int32_t id, const AuctionItem &item, int row);

private:
    void revert() override;
    void repeat() override;
    const AuctionItem m_item;
    const int m_row;
};

// A name or a price edited.
class EditItemCommand : public ItemCommand
{
public:
    EditItemCommand(LedgerDocument &document, LedgerStore &store, int32_t id, const AuctionItem &before,
                    const AuctionItem &after);

private:
    void revert() override;
    void repeat() override;
    void apply(const AuctionItem &values);
    const AuctionItem m_before;
    const AuctionItem m_after;
};
