// CFirstIndex: a hash from a 32-bit value (an identifier, a date) to the
// storage index of the first record holding it.
//
// The store's lookups are scans in storage order that take the
// first match; the index gives that same first match without the scan, so the
// work no longer grows with moves x goods or moves x dates.
#ifndef ORVEX_FIRSTINDEX_H
#define ORVEX_FIRSTINDEX_H

#include <stdint.h>

// True while the heap registry has a free entry for one more block.
bool RegistryHasRoom();

class CFirstIndex
{
public:
    CFirstIndex();
    ~CFirstIndex();

    // Empties the index and makes room for `expected` values; false when the
    // room cannot be had (the index then finds nothing). A full heap registry
    // is not asked: the caller scans instead, and no message is shown.
    bool Reset(int expected);
    // Records `index` for `value` unless the value is already there; false when
    // it had to be recorded and the index could not grow (it is then incomplete).
    bool AddFirst(uint32_t value, int32_t index);
    // The index recorded for `value`, or -1.
    int32_t Find(uint32_t value) const;
    int Count() const { return m_count; }

private:
    struct Slot
    {
        uint32_t value;
        int32_t  index;   // -1: empty
    };
    bool Grow();
    void Release();

    Slot*    m_slots;
    uint32_t m_mask;
    int      m_count;
};

#endif
