// CFirstCodeIndex: the first record of each code, in an open-addressing table.
#include "FirstCodeIndex.h"
#include "FirstIndex.h"

#include <string.h>

#include "cwin/system/Hash.h"
#include "cwin/system/HeapRegistry.h"

CFirstCodeIndex::CFirstCodeIndex() : m_slots(0), m_mask(0), m_count(0), m_codeOf(0), m_fieldSize(0) {}

CFirstCodeIndex::~CFirstCodeIndex()
{
    Release();
}

void CFirstCodeIndex::Release()
{
    if (m_slots)
        g_heapRegistry.Free(&m_slots);
    m_slots = 0;
    m_mask = 0;
    m_count = 0;
}

bool CFirstCodeIndex::Reset(int expected, CodeOf codeOf, size_t fieldSize)
{
    Release();
    m_codeOf = codeOf;
    m_fieldSize = fieldSize;
    uint32_t size = 16;
    while (size < 0x40000000u && (int64_t)size < (int64_t)expected * 2)
        size *= 2;
    if (!codeOf || !RegistryHasRoom() || !g_heapRegistry.Alloc(&m_slots, (SIZE_T)size * sizeof(Slot)))
        return false;
    for (uint32_t i = 0; i < size; ++i)
        m_slots[i].index = -1;
    m_mask = size - 1;
    return true;
}

bool CFirstCodeIndex::Grow()
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
        uint32_t s = old[i].hash & mask;
        while (grown[s].index >= 0)
            s = (s + 1) & mask;
        grown[s] = old[i];
    }
    g_heapRegistry.Free(&old);
    m_slots = grown;
    m_mask = mask;
    return true;
}

bool CFirstCodeIndex::AddFirst(const void* records, int index)
{
    if (!m_slots || index < 0)
        return false;
    const char* code = m_codeOf(records, index);
    const char* end = static_cast<const char*>(memchr(code, 0, m_fieldSize));
    if (!end)
        return true;   // no end inside the field: no text can equal it
    size_t length = (size_t)(end - code);
    uint32_t hash = HashBytes(code, length);
    uint32_t s = hash & m_mask;
    while (m_slots[s].index >= 0) {
        if (m_slots[s].hash == hash) {
            const char* other = m_codeOf(records, m_slots[s].index);
            if (memcmp(other, code, length + 1) == 0)
                return true;   // an earlier record holds this code
        }
        s = (s + 1) & m_mask;
    }
    if ((uint32_t)(m_count + 1) * 2 > m_mask + 1) {
        if (!Grow())
            return false;
        s = hash & m_mask;
        while (m_slots[s].index >= 0)
            s = (s + 1) & m_mask;
    }
    m_slots[s].hash = hash;
    m_slots[s].index = index;
    ++m_count;
    return true;
}

int32_t CFirstCodeIndex::Find(const void* records, const char* code) const
{
    if (!m_slots || !code)
        return -1;
    size_t length = strlen(code);
    if (length >= m_fieldSize)
        return -1;
    uint32_t hash = HashBytes(code, length);
    uint32_t s = hash & m_mask;
    while (m_slots[s].index >= 0) {
        if (m_slots[s].hash == hash) {
            const char* field = m_codeOf(records, m_slots[s].index);
            if (memcmp(field, code, length + 1) == 0)
                return m_slots[s].index;
        }
        s = (s + 1) & m_mask;
    }
    return -1;
}
