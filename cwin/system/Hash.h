// The hashes of the open-addressing tables: one for texts, one for 32-bit
// values. Only the slots a table picks depend on them, never what it stores.
#ifndef CWIN_HASH_H
#define CWIN_HASH_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

// Eight bytes a step (a byte at a time was a tenth of reading a report's cells).
inline uint32_t HashBytes(const char* text, size_t length)
{
    uint64_t h = 0x9E3779B97F4A7C15ull ^ length;
    for (; length >= 8; length -= 8, text += 8) {
        uint64_t w;
        memcpy(&w, text, 8);
        h = (h ^ w) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    uint64_t tail = 0;
    for (size_t i = 0; i < length; ++i)
        tail |= (uint64_t)(uint8_t)text[i] << (8 * i);
    h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
    return (uint32_t)(h ^ (h >> 29) ^ (h >> 47));
}

// Spreads the bits of identifiers and dates, which cluster in their low bits.
inline uint32_t MixBits(uint32_t v)
{
    v ^= v >> 16;
    v *= 0x7FEB352Du;
    v ^= v >> 15;
    v *= 0x846CA68Bu;
    v ^= v >> 16;
    return v;
}

#endif
