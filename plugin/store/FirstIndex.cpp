// CFirstIndex: the first record of each value, in an open-addressing table.
#include "FirstIndex.h"

#include "cwin/system/Hash.h"
#include "cwin/system/HeapRegistry.h"

// Asking a full registry would show its message; an index does without.
bool RegistryHasRoom()
{
    return g_heapRegistry.LiveBlocks() < g_heapRegistry.Capacity();
}

CFirstIndex::CFirstIndex() : m_slots(0), m_mask(0), m_count(0) {}

CFirstIndex::~CFirstIndex()
{
    Release();
}

void CFirstIndex::Release()
{
    if (m_slots)
        g_heapRegistry.Free(&m_slots);
    m_slots = 0;
    m_mask = 0;
    m_count = 0;
}

bool CFirstIndex::Reset(int expected)
{
    Release();
    uint32_t size = 16;
    while (size < 0x40000000u && (int64_t)size < (int64_t)expected * 2)
        size *= 2;
    if (!RegistryHasRoom() || !g_heapRegistry.Alloc(&m_slots, (SIZE_T)size * sizeof(Slot)))
        return false;
    for (uint32_t i = 0; i < size; ++i)
        m_slots[i].index = -1;
    m_mask = size - 1;
    return true;
}

bool CFirstIndex::Grow()
{
    Slot* old = m_slots;
    uint32_t oldSize = m_mask + 1;
    if (oldSize >= 0x40000000u)
        return false;
    Slot* grown = 0;
    if (!RegistryHasRoom() || !g_heapRegistry.Alloc(&grown, (SIZE_T)oldSize * 2 * sizeof(Slot)))
        return false;
    uint32_t mask = oldSize * 2 - 1;
    for (uint32_t i = 0; i <= mask; ++i)
        grown[i].index = -1;
    for (uint32_t i = 0; i < oldSize; ++i) {
        if (old[i].index < 0)
            continue;
        uint32_t s = MixBits(old[i].value) & mask;
        while (grown[s].index >= 0)
            s = (s + 1) & mask;
        grown[s] = old[i];
    }
    g_heapRegistry.Free(&old);
    m_slots = grown;
    m_mask = mask;
    return true;
}

bool CFirstIndex::AddFirst(uint32_t value, int32_t index)
{
    if (!m_slots || index < 0)
        return false;
    uint32_t s = MixBits(value) & m_mask;
    while (m_slots[s].index >= 0) {
        if (m_slots[s].value == value)
            return true;
        s = (s + 1) & m_mask;
    }
    if ((uint32_t)(m_count + 1) * 2 > m_mask + 1) {
        if (!Grow())
            return false;
        s = MixBits(value) & m_mask;
        while (m_slots[s].index >= 0)
            s = (s + 1) & m_mask;
    }
    m_slots[s].value = value;
    m_slots[s].index = index;
    ++m_count;
    return true;
}

int32_t CFirstIndex::Find(uint32_t value) const
{
    if (!m_slots)
        return -1;
    uint32_t s = MixBits(value) & m_mask;
    while (m_slots[s].index >= 0) {
        if (m_slots[s].value == value)
            return m_slots[s].index;
        s = (s + 1) & m_mask;
    }
    return -1;
}
