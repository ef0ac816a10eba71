// CDelimitedTextReader: splits a text or a named file in place into rows and cells.
#include "cwin/system/DelimitedText.h"
#include "cwin/system/HeapRegistry.h"

#include <stdint.h>
#include <string.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

// The first offset in [from, length) whose byte is `a` or `b`, else `length`.
// Every byte below `length` is compared, zero bytes included: only the offset
// `length` itself ends the text. A report of a million rows has over a hundred
// million bytes, so runs of ordinary bytes are passed eight at a time; loads
// stay inside the text. The 32-bit build (no SSE2) uses only this; its
// converter tests run it end to end.
static int FindSeparator(const char* text, int from, int length, unsigned char a, unsigned char b)
{
    const char* p = text + from;
    const char* end = text + length;
    // Eight bytes at a time: a byte of w ^ pattern is zero where w holds the
    // separator. The lowest flagged byte is always a true match (borrows only
    // run upwards), and the bytes are in memory order on x86.
    const uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    const uint64_t pa = ones * a, pb = ones * b;
    for (; end - p >= 8; p += 8) {
        uint64_t w;
        memcpy(&w, p, sizeof(w));
        const uint64_t xa = w ^ pa, xb = w ^ pb;
        const uint64_t hits = ((xa - ones) & ~xa & highs) | ((xb - ones) & ~xb & highs);
        if (hits)
            return (int)(p - text) + __builtin_ctzll(hits) / 8;
    }
    for (; p < end; ++p)
        if ((unsigned char)*p == a || (unsigned char)*p == b)
            break;
    return (int)(p - text);
}

// The separators ahead, found sixteen bytes at a time where the build has SSE2
// (the x86_64 build): one compare gives every separator of the window, and the
// next cells of a row come from its bit mask without reading their bytes
// again. Elsewhere, and in the last bytes, FindSeparator. Loads stay inside
// the text; the reader writes only at or before the offset it has reached, so
// a window's mask stays true for the bytes after it.
class CSeparators
{
public:
    CSeparators(const char* text, int length, unsigned char a, unsigned char b)
        : m_text(text), m_length(length), m_a(a), m_b(b)
#ifdef __SSE2__
          , m_pa(_mm_set1_epi8((char)a)), m_pb(_mm_set1_epi8((char)b))
#endif
    {
    }
    // The first separator at or after `from`, else `length`.
    int Next(int from)
    {
#ifdef __SSE2__
        for (;;) {
            if (from - m_base < 16) {
                const unsigned ahead = m_mask & (~0u << (from - m_base));
                if (ahead)
                    return m_base + __builtin_ctz(ahead);
                from = m_base + 16;
            }
            if (m_length - from < 16)
                break;
            const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_text + from));
            m_mask = (unsigned)_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(w, m_pa), _mm_cmpeq_epi8(w, m_pb)));
            m_base = from;
        }
#endif
        return FindSeparator(m_text, from, m_length, m_a, m_b);
    }

private:
    const char*   m_text;
    int           m_length;
    unsigned char m_a, m_b;
#ifdef __SSE2__
    __m128i  m_pa, m_pb;
    int      m_base = -16;   // the window [m_base, m_base + 16) and its separators
    unsigned m_mask = 0;
#endif
};

bool CDelimitedTextReader::ReadDelimitedText(char* text, int length, char fieldSeparator, char lineSeparator,
                                             ITableReceiver* receiver)
{
    char* obtained = NULL;
    if (length == 0) {
        length = text ? m_files.ReadWholeFile(text, &obtained, -1) : -1;
        text = obtained;
        // Nothing obtained (unreadable or empty file): nothing to split.
        if (!text || length == 0)
            length = -1;
    }
    IProgress* progress = m_progress;
    if (progress)
        progress->SetRange(0, length, 0);

    const unsigned char field = (unsigned char)fieldSeparator;
    const unsigned char line = lineSeparator ? (unsigned char)lineSeparator : 13;
    bool result = false;
    int cellStart = 0, row = 0, column = 0;
    // Every examined offset is one step; the steps are owed and given to the bar
    // in one StepBy before each cell, so the bar is where single steps would
    // have put it whenever the receiver runs.
    int owed = 0;
    const unsigned columns = receiver ? receiver->CellColumns() : ~0u;
    CSeparators separators(text, length, field, line);
    for (int off = 0; receiver && off <= length;) {
        const int stop = separators.Next(off);
        owed += stop - off;
        off = stop;
        const bool endOfRow = off == length || (unsigned char)text[off] == line;
        if (!endOfRow && !((columns >> (column < 31 ? column : 31)) & 1)) {
            // A column the receiver does not read: on to the next cell.
            ++column;
            ++owed;
            cellStart = ++off;
            continue;
        }
        int end = off;
        // Report cells are padded with many spaces: eight at a time first.
        for (uint64_t w; end - cellStart >= 8; end -= 8) {
            memcpy(&w, text + end - 8, sizeof(w));
            if (w != 0x2020202020202020ull)
                break;
        }
        while (end > cellStart && text[end - 1] == ' ')
            --end;
        text[end] = 0;
        if (progress && owed) {
            progress->StepBy(owed);
            owed = 0;
        }
        result = receiver->OnTableCell(text + cellStart, off - cellStart, row, column, endOfRow);
        if (!result) {
            g_heapRegistry.Free(&obtained);
            return false;
        }
        ++column;
        ++owed;   // the offset that ended the cell
        if (endOfRow) {
            // LF after CR, empty lines and leading control bytes (not stepped);
            // the terminator too, so a final line end opens no empty row.
            int next = off + 1;
            while (next <= length && (unsigned char)text[next] < 0x20)
                ++next;
            cellStart = next;
            ++row;
            column = 0;
            off = next;
        } else {
            cellStart = ++off;
        }
    }
    if (progress) {
        if (owed)
            progress->StepBy(owed);
        progress->SetPos(0);
    }
    g_heapRegistry.Free(&obtained);
    return result;
}
