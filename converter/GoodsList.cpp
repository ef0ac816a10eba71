// The goods list: its text in code page 1251, split into rows and cells.
#include "GoodsList.h"

#include <stddef.h>

// The characters of bytes 0x80 to 0xBF in code page 1251 (0x98 has none);
// 0xC0 to 0xFF are U+0410 to U+044F in order.
static const unsigned short kUpperHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,   // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,   // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,   // 0x90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,   // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,   // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,   // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,   // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,   // 0xB8
};

int CodePage1251Byte(unsigned codePoint)
{
    if (codePoint < 0x80)
        return (int)codePoint;
    if (codePoint >= 0x0410 && codePoint <= 0x044F)
        return (int)(codePoint - 0x0410 + 0xC0);
    for (int i = 0; i < 64; ++i)
        if (kUpperHalf[i] == codePoint)
            return 0x80 + i;
    return -1;
}

// The length (1 to 4) of the valid UTF-8 sequence at p and its character;
// 0 for a byte that starts none (overlong forms, surrogates and characters
// past U+10FFFF are not valid).
static int DecodeUtf8(const unsigned char* p, const unsigned char* end, unsigned* codePoint)
{
    const unsigned c = p[0];
    if (c < 0x80) {
        *codePoint = c;
        return 1;
    }
    int n;
    unsigned v;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        v = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        v = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        v = c & 0x07;
    } else {
        return 0;
    }
    if (end - p < n)
        return 0;
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        v = (v << 6) | (p[i] & 0x3F);
    }
    if ((n == 3 && v < 0x800) || (n == 4 && (v < 0x10000 || v > 0x10FFFF)) || (v >= 0xD800 && v <= 0xDFFF))
        return 0;
    *codePoint = v;
    return n;
}

// Valid UTF-8 throughout, with at least one multi-byte sequence. Code page
// 1251 text is practically never that: its letters are bytes from 0xC0 on,
// and every one of them would have to be followed by the right number of
// bytes from 0x80 to 0xBF, which are rare signs there.
static bool IsUtf8Text(const unsigned char* p, const unsigned char* end)
{
    bool multiByte = false;
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        unsigned codePoint;
        const int n = DecodeUtf8(p, end, &codePoint);
        if (n == 0)
            return false;
        multiByte = true;
        p += n;
    }
    return multiByte;
}

int GoodsListTo1251(char* text, int length, int* unmapped)
{
    if (unmapped)
        *unmapped = 0;
    if (!text || length <= 0)
        return length;
    unsigned char* const begin = reinterpret_cast<unsigned char*>(text);
    const unsigned char* const end = begin + length;
    const bool mark = length >= 3 && begin[0] == 0xEF && begin[1] == 0xBB && begin[2] == 0xBF;
    if (!mark && !IsUtf8Text(begin, end))
        return length;
    // Each character takes at least as many bytes in UTF-8 as in code page
    // 1251: the converted text is written over the bytes already read.
    const unsigned char* in = begin + (mark ? 3 : 0);
    unsigned char* out = begin;
    int count = 0;
    while (in < end) {
        unsigned codePoint;
        const int n = DecodeUtf8(in, end, &codePoint);
        int byte = n ? CodePage1251Byte(codePoint) : -1;
        in += n ? n : 1;
        if (byte < 0) {
            byte = '?';
            ++count;
        }
        *out++ = (unsigned char)byte;
    }
    *out = 0;
    if (unmapped)
        *unmapped = count;
    return (int)(out - begin);
}

static bool EndsCell(char c)
{
    return c == ';' || c == '\r' || c == '\n';
}

// The first quote from `from` on that is not one of two in a row, or -1.
static int ClosingQuote(const char* text, int from, int length)
{
    for (int i = from; i < length; ++i) {
        if (text[i] != '"')
            continue;
        if (i + 1 < length && text[i + 1] == '"')
            ++i;
        else
            return i;
    }
    return -1;
}

bool ReadGoodsList(char* text, int length, ITableReceiver* receiver, IProgress* progress)
{
    if (progress)
        progress->SetRange(0, length, 0);
    if (!text || length <= 0 || !receiver) {
        if (progress)
            progress->SetPos(0);
        return false;
    }
    bool result = false;
    bool quotesAreText = false;   // an unclosed quote was met
    int row = 0, column = 0, stepped = 0;
    for (int off = 0; off <= length;) {
        const int start = off;
        int end = -1;   // one past the cell's text, once unquoted
        int stop;       // the ';', CR or LF that ends the cell, or length
        if (!quotesAreText && text[off] == '"') {
            const int close = ClosingQuote(text, off + 1, length);
            if (close < 0) {
                quotesAreText = true;
            } else {
                // Unquoted in place: the text never grows.
                int w = off;
                for (int i = off + 1; i < close; ++i) {
                    char c = text[i];
                    if (c == '"') {
                        ++i;   // the first of two quotes stands for one
                    } else if (c == '\r') {
                        c = ' ';
                        if (i + 1 < close && text[i + 1] == '\n')
                            ++i;
                    } else if (c == '\n') {
                        c = ' ';
                    }
                    text[w++] = c;
                }
                int i = close + 1;
                while (i < length && !EndsCell(text[i]))
                    text[w++] = text[i++];
                end = w;
                stop = i;
            }
        }
        if (end < 0) {
            stop = off;
            while (stop < length && !EndsCell(text[stop]))
                ++stop;
            end = stop;
        }
        const bool endOfRow = stop == length || text[stop] != ';';
        int trimmed = end;
        while (trimmed > start && text[trimmed - 1] == ' ')
            --trimmed;
        text[trimmed] = 0;
        if (progress && stop > stepped) {
            progress->StepBy(stop - stepped);
            stepped = stop;
        }
        result = receiver->OnTableCell(text + start, end - start, row, column, endOfRow);
        if (!result)
            return false;
        ++column;
        if (endOfRow) {
            // LF after CR, empty lines, control bytes at a line's start; the
            // terminator too, so a final line end opens no empty row.
            int next = stop + 1;
            while (next <= length && (unsigned char)text[next] < 0x20)
                ++next;
            off = next;
            ++row;
            column = 0;
        } else {
            off = stop + 1;
        }
    }
    if (progress)
        progress->SetPos(0);
    return result;
}
