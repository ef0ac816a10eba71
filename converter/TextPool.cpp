// CTextPool and CNumberSet: the converter's sets of texts and 32-bit values.
#include "TextPool.h"
#include "cwin/system/Hash.h"
#include "cwin/system/HeapRegistry.h"

#include <string.h>

CTextPool::CTextPool() : m_bytes(NULL), m_used(0), m_capacity(0), m_slots(NULL), m_slotCount(0), m_texts(0) {}

CTextPool::~CTextPool()
{
    Clear();
}

void CTextPool::Clear()
{
    g_heapRegistry.Free(&m_bytes);
    g_heapRegistry.Free(&m_slots);
    m_used = m_capacity = 0;
    m_slotCount = m_texts = 0;
}

bool CTextPool::Grow(size_t needed)
{
    if (m_used + needed <= m_capacity)
        return true;
    size_t capacity = m_capacity ? m_capacity : 64 * 1024;
    while (capacity < m_used + needed)
        capacity *= 2;
    if (capacity > 0xFFFFFFFFu)   // references are 32-bit
        return false;
    if (!g_heapRegistry.Alloc(&m_bytes, capacity))
        return false;
    m_capacity = capacity;
    if (m_used == 0)
        m_used = 1;   // offset 0: the empty text (the block is zero-filled)
    return true;
}

bool CTextPool::Rehash()
{
    uint32_t count = m_slotCount ? m_slotCount * 2 : 1024;
    Slot* slots = NULL;
    if (count < m_slotCount || !g_heapRegistry.Alloc(&slots, (SIZE_T)count * sizeof(Slot)))
        return false;
    for (uint32_t i = 0; i < m_slotCount; ++i) {
        if (!m_slots[i].ref)
            continue;
        uint32_t at = m_slots[i].hash & (count - 1);
        while (slots[at].ref)
            at = (at + 1) & (count - 1);
        slots[at] = m_slots[i];
    }
    g_heapRegistry.Free(&m_slots);
    m_slots = slots;
    m_slotCount = count;
    return true;
}

bool CTextPool::Add(const char* text, TextRef* ref)
{
    *ref = 0;
    size_t length = 0;
    while (length < 1023 && text[length])
        ++length;
    if (length == 0)
        return true;
    if ((m_texts + 1) * 2 > m_slotCount && !Rehash())
        return false;
    const uint32_t hash = HashBytes(text, length);
    uint32_t at = hash & (m_slotCount - 1);
    for (; m_slots[at].ref; at = (at + 1) & (m_slotCount - 1)) {
        const char* stored = m_bytes + m_slots[at].ref;
        if (m_slots[at].hash == hash && memcmp(stored, text, length) == 0 && stored[length] == 0) {
            *ref = m_slots[at].ref;
            return true;
        }
    }
    if (!Grow(length + 1))
        return false;
    memcpy(m_bytes + m_used, text, length);
    m_bytes[m_used + length] = 0;
    m_slots[at].ref = (TextRef)m_used;
    m_slots[at].hash = hash;
    m_used += length + 1;
    ++m_texts;
    *ref = m_slots[at].ref;
    return true;
}

CNumberSet::CNumberSet() : m_values(NULL), m_used(NULL), m_slotCount(0), m_count(0) {}

CNumberSet::~CNumberSet()
{
    Clear();
}

void CNumberSet::Clear()
{
    g_heapRegistry.Free(&m_values);
    g_heapRegistry.Free(&m_used);
    m_slotCount = m_count = 0;
}

bool CNumberSet::Rehash()
{
    uint32_t count = m_slotCount ? m_slotCount * 2 : 1024;
    uint32_t* values = NULL;
    uint8_t* used = NULL;
    if (count < m_slotCount || !g_heapRegistry.Alloc(&values, (SIZE_T)count * sizeof(uint32_t)) ||
        !g_heapRegistry.Alloc(&used, count)) {
        g_heapRegistry.Free(&values);
        return false;
    }
    for (uint32_t i = 0; i < m_slotCount; ++i) {
        if (!m_used[i])
            continue;
        uint32_t at = MixBits(m_values[i]) & (count - 1);
        while (used[at])
            at = (at + 1) & (count - 1);
        used[at] = 1;
        values[at] = m_values[i];
    }
    g_heapRegistry.Free(&m_values);
    g_heapRegistry.Free(&m_used);
    m_values = values;
    m_used = used;
    m_slotCount = count;
    return true;
}

bool CNumberSet::Contains(uint32_t value) const
{
    if (!m_slotCount)
        return false;
    for (uint32_t at = MixBits(value) & (m_slotCount - 1); m_used[at]; at = (at + 1) & (m_slotCount - 1))
        if (m_values[at] == value)
            return true;
    return false;
}

bool CNumberSet::Insert(uint32_t value)
{
    if ((m_count + 1) * 2 > m_slotCount && !Rehash())
        return false;
    uint32_t at = MixBits(value) & (m_slotCount - 1);
    for (; m_used[at]; at = (at + 1) & (m_slotCount - 1))
        if (m_values[at] == value)
            return false;
    m_used[at] = 1;
    m_values[at] = value;
    ++m_count;
    return true;
}
