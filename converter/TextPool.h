// The converter's working sets, kept in heap-registry blocks:
//   CTextPool   texts stored once each, referred to by offset (TextRef);
//   CNumberSet  a set of 32-bit values (partner codes, dates, text references).
//
// A year of a large business has a million move rows whose partner names repeat
// a few thousand texts: records hold a 4-byte reference instead of the text.
#ifndef CONVERTER_TEXTPOOL_H
#define CONVERTER_TEXTPOOL_H

#include <stddef.h>
#include <stdint.h>

// Offset of a text in its pool; 0 is the empty text, so a zero record holds
// empty texts.
typedef uint32_t TextRef;

class CTextPool
{
public:
    CTextPool();
    ~CTextPool();

    // Stores the text, cut at 1023 bytes, unless an equal text is stored
    // already; false when memory runs out (then *ref is the empty text).
    bool Add(const char* text, TextRef* ref);
    const char* At(TextRef ref) const { return m_bytes ? m_bytes + ref : ""; }
    void Clear();
    size_t Bytes() const { return m_capacity + (size_t)m_slotCount * sizeof(Slot); }

private:
    struct Slot
    {
        TextRef  ref;    // 0: free
        uint32_t hash;
    };
    bool Grow(size_t needed);
    bool Rehash();

    char*    m_bytes;
    size_t   m_used;
    size_t   m_capacity;
    Slot*    m_slots;
    uint32_t m_slotCount;   // a power of two
    uint32_t m_texts;
};

class CNumberSet
{
public:
    CNumberSet();
    ~CNumberSet();

    // True when the value was not in the set (and is now); false when it was,
    // or when memory ran out.
    bool Insert(uint32_t value);
    bool Contains(uint32_t value) const;
    void Clear();

private:
    bool Rehash();

    uint32_t* m_values;
    uint8_t*  m_used;
    uint32_t  m_slotCount;
    uint32_t  m_count;
};

#endif
