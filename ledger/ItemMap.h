#pragma once

#include "AuctionItem.h"

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

// The ledger's items by id, in ascending id order. Ids are handed out one
// after another from 0, so each id has a slot of its own: finding an item
// is one step, and a pass over the ledger reads the items where they lie
// side by side, in blocks of a thousand, however long the program has run.
// A block is made when an id in it first comes in, so ids that start far
// from 0 (the count goes on across ledgers) take no room below them. A
// removed item leaves its slot empty for an undo to fill again; the blocks
// go only with clear(). An item never moves while it is held: a reference
// to one stays good until it is erased.
class ItemMap
{
public:
    using key_type = int32_t;
    using mapped_type = AuctionItem;
    using value_type = std::pair<const int32_t, AuctionItem>;

    template <bool Const>
    class Iterator
    {
        using Map = std::conditional_t<Const, const ItemMap, ItemMap>;

    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = ItemMap::value_type;
        using difference_type = std::ptrdiff_t;
        using pointer = std::conditional_t<Const, const value_type, value_type> *;
        using reference = std::conditional_t<Const, const value_type, value_type> &;

        Iterator() = default;
        // A mutable iterator is a read-only one too.
        operator Iterator<true>() const { return ItemMap::readOnly(m_map, m_index); }

        reference operator*() const { return *m_map->slotAt(m_index); }
        pointer operator->() const { return &*m_map->slotAt(m_index); }
        Iterator &operator++()
        {
            m_index = m_map->filledFrom(m_index + 1);
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++*this;
            return before;
        }
        Iterator &operator--()
        {
            do
                --m_index;
            while (!m_map->isFilled(m_index));
            return *this;
        }
        Iterator operator--(int)
        {
            Iterator before = *this;
            --*this;
            return before;
        }
        friend bool operator==(const Iterator &a, const Iterator &b) { return a.m_index == b.m_index; }
        friend bool operator!=(const Iterator &a, const Iterator &b) { return a.m_index != b.m_index; }

    private:
        friend class ItemMap;
        Iterator(Map *map, size_t index)
            : m_map(map)
            , m_index(index)
        {
        }
        Map *m_map = nullptr;
        size_t m_index = 0;
    };
    using iterator = Iterator<false>;
    using const_iterator = Iterator<true>;
    using reverse_iterator = std::reverse_iterator<iterator>;
    using const_reverse_iterator = std::reverse_iterator<const_iterator>;

    ItemMap() = default;
    // What is moved from is left empty.
    ItemMap(ItemMap &&other) noexcept { *this = std::move(other); }
    ItemMap &operator=(ItemMap &&other) noexcept
    {
        if (this == &other)
            return *this;
        m_blocks = std::move(other.m_blocks);
        other.m_blocks.clear();
        m_slotCount = std::exchange(other.m_slotCount, 0);
        m_first = std::exchange(other.m_first, 0);
        m_count = std::exchange(other.m_count, 0);
        return *this;
    }
    ItemMap(const ItemMap &) = delete;
    ItemMap &operator=(const ItemMap &) = delete;

    iterator begin() { return iterator(this, m_first); }
    iterator end() { return iterator(this, m_slotCount); }
    const_iterator begin() const { return const_iterator(this, m_first); }
    const_iterator end() const { return const_iterator(this, m_slotCount); }
    reverse_iterator rbegin() { return reverse_iterator(end()); }
    reverse_iterator rend() { return reverse_iterator(begin()); }
    const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }

    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }

    iterator find(int32_t id) { return holds(id) ? iterator(this, static_cast<size_t>(id)) : end(); }
    const_iterator find(int32_t id) const
    {
        return holds(id) ? const_iterator(this, static_cast<size_t>(id)) : end();
    }
    // The item of an id that is held.
    const AuctionItem &at(int32_t id) const
    {
        assert(holds(id));
        return slotAt(static_cast<size_t>(id))->second;
    }

    // Puts item under id unless id is taken (or below 0, which no item has).
    std::pair<iterator, bool> emplace(int32_t id, AuctionItem item);
    void erase(const_iterator position);
    // 1 when id was held, else 0.
    size_t erase(int32_t id);
    void clear();

private:
    using Slot = std::optional<value_type>;
    static constexpr int blockBits = 10;
    static constexpr size_t blockSize = size_t(1) << blockBits;

    bool holds(int32_t id) const { return id >= 0 && isFilled(static_cast<size_t>(id)); }
    bool isFilled(size_t index) const
    {
        return index < m_slotCount && m_blocks[index >> blockBits] && slotAt(index).has_value();
    }
    Slot &slotAt(size_t index) { return m_blocks[index >> blockBits][index & (blockSize - 1)]; }
    const Slot &slotAt(size_t index) const { return m_blocks[index >> blockBits][index & (blockSize - 1)]; }
    // The first slot from index on that holds an item, or m_slotCount.
    size_t filledFrom(size_t index) const;
    static const_iterator readOnly(const ItemMap *map, size_t index) { return const_iterator(map, index); }

    std::vector<std::unique_ptr<Slot[]>> m_blocks;
    // One past the largest id held, and the smallest (m_slotCount when empty).
    size_t m_slotCount = 0;
    size_t m_first = 0;
    size_t m_count = 0;
};
