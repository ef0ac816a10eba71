// Builders of ZORB report rows, shared by the sample generator and the tests.
//
// A table row is a vertical line, then each of the 17 table columns followed by
// a vertical line, then CR LF. The generator draws the line in UTF-16 (U+2502,
// written out in code page 866); tests that feed the converter's reader directly
// use the decoded byte 0xA6. Cells go in as given: padding is the caller's.
#ifndef TOOLS_ZORBROWS_H
#define TOOLS_ZORBROWS_H

#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <string>

namespace zorb {

const int kColumns = 17;

// The table columns the converter reads (0-based among the 17; the reader
// counts the empty text before the first line as its column 0, so add one).
enum Column { DateColumn = 0, KindColumn = 1, PartnerColumn = 3, PartnerNameColumn = 4,
              QuantityColumn = 11, SumColumn = 15 };

// The cells between vertical lines, then CR LF.
template <class S>
S LinedRow(const S* cells, int count, typename S::value_type line)
{
    S row(1, line);
    for (int i = 0; i < count; ++i) {
        row += cells[i];
        row += line;
    }
    row += typename S::value_type('\r');
    row += typename S::value_type('\n');
    return row;
}

template <class S>
S TableRow(const S (&cells)[kColumns], typename S::value_type line)
{
    return LinedRow(cells, kColumns, line);
}

// A position header row: one cell (".......... <number> <goods text>").
template <class S>
S HeaderRow(const S& text, typename S::value_type line)
{
    return LinedRow(&text, 1, line);
}

// Puts the six cells of a move into their columns; the others keep what the
// caller filled in.
template <class S>
void PlaceMove(S (&cells)[kColumns], const S& date, const S& kind, const S& partner, const S& partnerName,
               const S& quantity, const S& sum)
{
    cells[DateColumn] = date;
    cells[KindColumn] = kind;
    cells[PartnerColumn] = partner;
    cells[PartnerNameColumn] = partnerName;
    cells[QuantityColumn] = quantity;
    cells[SumColumn] = sum;
}

// A decoded move row (line byte 0xA6) with every other column empty.
inline std::string DecodedMoveRow(const std::string& date, const std::string& kind, const std::string& partner,
                                  const std::string& partnerName, const std::string& quantity,
                                  const std::string& sum)
{
    std::string cells[kColumns];
    PlaceMove(cells, date, kind, partner, partnerName, quantity, sum);
    return TableRow(cells, '\xA6');
}

inline std::string DecodedHeaderRow(const std::string& text)
{
    return HeaderRow(text, '\xA6');
}

// Text in a code page (866 for the report, 1251 for the goods list).
inline std::string Encode(const std::wstring& text, UINT codePage)
{
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(codePage, 0, text.data(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string bytes(n, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), (int)text.size(), &bytes[0], n, NULL, NULL);
    return bytes;
}

// The generators' random numbers (SplitMix64): the same seed, the same report.
struct Random
{
    uint64_t state;
    uint64_t Next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return (int)(Next() % (uint64_t)n); }
};

// The day `dayIndex` days after the first of `month` of 2005, as DD.MM.YY
// (February has 28 days in the years a sample spans).
inline std::wstring DateText(int dayIndex, int month = 1)
{
    static const int lengths[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    int year = 5;
    --month;
    while (dayIndex >= lengths[month]) {
        dayIndex -= lengths[month];
        if (++month == 12) {
            month = 0;
            ++year;
        }
    }
    wchar_t text[32];
    _snwprintf(text, 31, L"%02d.%02d.%02d", dayIndex + 1, month + 1, year);
    text[31] = 0;
    return text;
}

}  // namespace zorb

#endif
