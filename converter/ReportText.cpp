// The report's text: decoded from the OEM code page, and its table found.
#include "ReportText.h"
#include "cwin/system/HeapRegistry.h"

#include <stdint.h>
#include <string.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

static const char kTableStart[] = "\xA6.........";   // decoded vertical line + nine dots
static const char kTableEnd[] = "L--------+";        // decoded bottom-left corner, rule, tee

// The report comes in the OEM code page; the parser works on ANSI text, in place.
// Both are single-byte on the systems this runs on, so the length is kept, and
// the text is converted a slice at a time: a UTF-16 copy of the whole report
// would take twice the report's size again.
int DecodeOemText(char* text, int length)
{
    if (length <= 0)
        return length;
    CPINFO oem, ansi;
    const bool singleByte = GetCPInfo(CP_OEMCP, &oem) && GetCPInfo(CP_ACP, &ansi) && oem.MaxCharSize == 1 &&
                            ansi.MaxCharSize == 1;
    const int slice = singleByte && length > 65536 ? 65536 : length;
    wchar_t* wide = NULL;
    if (!g_heapRegistry.Alloc(&wide, (SIZE_T)slice * sizeof(wchar_t)))
        return 0;
    int decoded = 0;
    for (int off = 0; off < length; off += slice) {
        const int n = length - off < slice ? length - off : slice;
        int chars = MultiByteToWideChar(CP_OEMCP, 0, text + off, n, wide, n);
        int bytes = chars ? WideCharToMultiByte(CP_ACP, 0, wide, chars, text + off, n, NULL, NULL) : 0;
        if (bytes <= 0) {
            decoded = length;   // left as read
            break;
        }
        decoded = off + bytes;
    }
    g_heapRegistry.Free(&wide);
    text[decoded] = 0;
    return decoded;
}

// The first byte equal to `c` or zero, from `p` on. The end marker lies past the
// whole table, so the search runs a word at a time (aligned words never cross
// a page, so reading a whole word past the terminating zero is harmless).
static const char* ScanFor(const char* p, char c)
{
    while (((uintptr_t)p & 7) != 0) {
        if (*p == c || !*p)
            return p;
        ++p;
    }
    const uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    const uint64_t pattern = ones * (uint8_t)c;
    for (;; p += 8) {
        uint64_t w;
        memcpy(&w, p, sizeof(w));
        const uint64_t x = w ^ pattern;
        if (((w - ones) & ~w & highs) | ((x - ones) & ~x & highs))
            break;
    }
    while (*p != c && *p)
        ++p;
    return p;
}

// strstr: the first occurrence of the marker in the zero-terminated text.
static char* FindMarker(char* text, const char* marker)
{
    const size_t length = strlen(marker);
    for (const char* p = text;; ++p) {
        p = ScanFor(p, marker[0]);
        if (!*p)
            return NULL;
        if (strncmp(p, marker, length) == 0)
            return text + (p - text);
    }
}

// The CR bytes of text[0, length).
static size_t CountCR(const char* text, size_t length)
{
    // Eight bytes at a time: a byte of x is zero exactly where the text holds
    // CR, and the sum flags each such byte by a clear high bit.
    size_t count = 0, i = 0;
    const uint64_t lows = 0x7F7F7F7F7F7F7F7Full, highs = 0x8080808080808080ull;
    const uint64_t pattern = 0x0D0D0D0D0D0D0D0Dull;
    for (; i + 8 <= length; i += 8) {
        uint64_t w;
        memcpy(&w, text + i, sizeof(w));
        const uint64_t x = w ^ pattern;
        const uint64_t zeros = ~(((x & lows) + lows) | x) & highs;
        count += (size_t)(((zeros >> 7) * 0x0101010101010101ull) >> 56);
    }
    for (; i < length; ++i)
        count += text[i] == '\r';
    return count;
}

// FindMarker, and the CR bytes before the marker found in *crs: one pass over
// a report instead of two (the marker lies past the whole table).
static char* FindMarkerCountingCR(char* text, const char* marker, size_t* crs)
{
#ifdef __SSE2__
    // Sixteen bytes at a time, aligned: an aligned load never crosses a page,
    // so reading past the terminating zero is harmless. A window holding the
    // marker's first byte or a zero is looked at byte by byte.
    const size_t length = strlen(marker);
    const __m128i first = _mm_set1_epi8(marker[0]), zero = _mm_setzero_si128(), cr = _mm_set1_epi8('\r');
    size_t count = 0;
    char* p = text;
    for (;;) {
        char* const window = p;
        char* const next = reinterpret_cast<char*>(((uintptr_t)p + 16) & ~(uintptr_t)15);
        if (((uintptr_t)p & 15) == 0) {
            // Whole windows without a stop: CRs summed per byte lane, at most
            // 255 windows a lane, then added up.
            __m128i lanes = zero;
            int inLanes = 0;
            for (;;) {
                const __m128i w = _mm_load_si128(reinterpret_cast<const __m128i*>(p));
                if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(w, first), _mm_cmpeq_epi8(w, zero))))
                    break;
                lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(w, cr));
                p += 16;
                if (++inLanes == 255) {
                    const __m128i sums = _mm_sad_epu8(lanes, zero);
                    count += (size_t)_mm_cvtsi128_si32(sums) + (size_t)_mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
                    lanes = zero;
                    inLanes = 0;
                }
            }
            const __m128i sums = _mm_sad_epu8(lanes, zero);
            count += (size_t)_mm_cvtsi128_si32(sums) + (size_t)_mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
            if (p != window)
                continue;
        }
        // This window (or the unaligned start) a byte at a time.
        for (; p < next; ++p) {
            if (*p == marker[0] && strncmp(p, marker, length) == 0) {
                *crs = count;
                return p;
            }
            if (!*p)
                return NULL;
            count += *p == '\r';
        }
    }
#else
    char* found = FindMarker(text, marker);
    if (found)
        *crs = CountCR(text, (size_t)(found - text));
    return found;
#endif
}

ReportTableFound LocateReportTable(char* text, ReportTable* table)
{
    // The decoded text is a string: a stray zero byte ends it.
    char* start = FindMarker(text, kTableStart);
    if (!start)
        return NoTableStart;
    size_t crsBeforeEnd = 0;
    char* end = FindMarkerCountingCR(text, kTableEnd, &crsBeforeEnd);
    if (!end)
        return NoTableEnd;
    // An end marker before the start ends nothing of the table: it runs to
    // the end of the text.
    *end = 0;
    table->start = start;
    table->length = end > start ? (size_t)(end - start) : strlen(start);
    table->rows = 1 + (end > start ? crsBeforeEnd - CountCR(text, (size_t)(start - text))
                                   : CountCR(start, table->length));
    return TableLocated;
}
