// CFirstCodeIndex: a hash from a record's code (a text field of fixed size) to
// the storage index of the first record holding that code.
//
// The store finds a code by the first match of a scan in storage order; the
// index gives that same first match without the scan. It keeps no texts of its
// own: it reads them from the records, through the field given to each call.
#ifndef ORVEX_FIRSTCODEINDEX_H
#define ORVEX_FIRSTCODEINDEX_H

#include <stddef.h>
#include <stdint.h>

class CFirstCodeIndex
{
public:
    // The code field of record `index`: `fieldSize` bytes, a text ended by a NUL
    // inside them (a field without one holds no code that can be found).
    typedef const char* (*CodeOf)(const void* records, int index);

    CFirstCodeIndex();
    ~CFirstCodeIndex();

    // Empties the index and makes room for `expected` codes; false when the
    // room cannot be had (the index then finds nothing; a full heap registry
    // is not asked).
    bool Reset(int expected, CodeOf codeOf, size_t fieldSize);
    // Records `index` for its code unless an earlier record holds the same code
    // or the field holds no text; false when it had to be recorded and the
    // index could not grow (it is then incomplete).
    bool AddFirst(const void* records, int index);
    // The index recorded for `code` (compared whole, byte by byte), or -1.
    int32_t Find(const void* records, const char* code) const;

private:
    struct Slot
    {
        uint32_t hash;
        int32_t  index;   // -1: empty
    };
    bool Grow();
    void Release();

    Slot*    m_slots;
    uint32_t m_mask;
    int      m_count;
    CodeOf   m_codeOf;
    size_t   m_fieldSize;
};

#endif
