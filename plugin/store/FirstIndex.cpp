// CFirstIndex: the first-match hash the store's lookups go through.
#include "FirstIndex.h"

#include "cwin/system/HeapRegistry.h"

namespace {

inline uint32_t Mix(uint32_t v)
{
    v ^= v >> 16;
    v *= 0x7FEB352Du;
    v ^= v >> 15;
    v *= 0x846CA68Bu;
    v ^= v >> 16;
    return v;
}

}  // namespace

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
    if (!g_heapRegistry.Alloc(&m_slots, (SIZE_T)size * sizeof(Slot)))
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
    if (!g_heapRegistry.Alloc(&grown, (SIZE_T)oldSize * 2 * sizeof(Slot)))
        return false;
    uint32_t mask = oldSize * 2 - 1;
    for (uint32_t i = 0; i <= mask; ++i)
        grown[i].index = -1;
    for (uint32_t i = 0; i < oldSize; ++i) {
        if (old[i].index < 0)
            continue;
        uint32_t s = Mix(old[i].value) & mask;
        while (grown[s].index >= 0)
            s = (s + 1) & mask;
        grown[s] = old[i];
    }
    g_heapRegistry.Free(&old);
    m_slots = grown;
    m_mask = mask;
    return true;
}

void CFirstIndex::AddFirst(uint32_t value, int32_t index)
{
    if (!m_slots || index < 0)
        return;
    if ((uint32_t)(m_count + 1) * 2 > m_mask + 1 && !Grow())
        return;
    uint32_t s = Mix(value) & m_mask;
    while (m_slots[s].index >= 0) {
        if (m_slots[s].value == value)
            return;
        s = (s + 1) & m_mask;
    }
    m_slots[s].value = value;
    m_slots[s].index = index;
    ++m_count;
}

int32_t CFirstIndex::Find(uint32_t value) const
{
    if (!m_slots)
        return -1;
    uint32_t s = Mix(value) & m_mask;
    while (m_slots[s].index >= 0) {
        if (m_slots[s].value == value)
            return m_slots[s].index;
        s = (s + 1) & m_mask;
    }
    return -1;
}
