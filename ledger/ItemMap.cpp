#include "ItemMap.h"

#include <algorithm>

std::pair<ItemMap::iterator, bool> ItemMap::emplace(int32_t id, AuctionItem item)
{
    if (id < 0)
        return {end(), false};
    const auto index = static_cast<size_t>(id);
    if (isFilled(index))
        return {iterator(this, index), false};
    const size_t block = index >> blockBits;
    if (m_blocks.size() <= block)
        m_blocks.resize(block + 1);
    if (!m_blocks[block])
        m_blocks[block] = std::make_unique<Slot[]>(blockSize);
    slotAt(index).emplace(id, std::move(item));
    m_first = m_count == 0 ? index : std::min(m_first, index);
    m_slotCount = std::max(m_slotCount, index + 1);
    ++m_count;
    return {iterator(this, index), true};
}

void ItemMap::erase(const_iterator position)
{
    const size_t index = position.m_index;
    if (!isFilled(index))
        return;
    slotAt(index).reset();
    --m_count;
    // A pass starts at the first item and stops after the last.
    if (m_count == 0) {
        m_slotCount = 0;
        m_first = 0;
        return;
    }
    if (index == m_first)
        m_first = filledFrom(index + 1);
    while (!isFilled(m_slotCount - 1))
        --m_slotCount;
}

size_t ItemMap::erase(int32_t id)
{
    const const_iterator found = static_cast<const ItemMap *>(this)->find(id);
    if (found == end())
        return 0;
    erase(found);
    return 1;
}

void ItemMap::clear()
{
    m_blocks.clear();
    m_slotCount = 0;
    m_first = 0;
    m_count = 0;
}

size_t ItemMap::filledFrom(size_t index) const
{
    while (index < m_slotCount && !isFilled(index))
        ++index;
    return index;
}
