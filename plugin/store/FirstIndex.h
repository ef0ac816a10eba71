// CFirstIndex: a hash from a 32-bit value (an identifier, a date) to the
// storage index of the first record holding it.
//
// The store's lookups are scans in storage order that take the
// first match; the index gives that same first match without the scan, so the
// work no longer grows with moves x goods or moves x dates.
#ifndef ORVEX_FIRSTINDEX_H
#define ORVEX_FIRSTINDEX_H

#include <stdint.h>

class CFirstIndex
{
public:
    CFirstIndex();
    ~CFirstIndex();

    // Empties the index and makes room for `expected` values; false when the
    // room cannot be allocated (the index then finds nothing).
    bool Reset(int expected);
    // Records `index` for `value` unless the value is already there.
    void AddFirst(uint32_t value, int32_t index);
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
