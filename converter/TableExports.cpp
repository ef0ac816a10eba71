// CTableExports: the four exported tables, Suppliers.txt, Buyers.txt, Positions.txt, Moves.txt.
#include "TableExports.h"
#include "Console.h"
#include "ConverterTables.h"
#include "cwin/system/HeapRegistry.h"
#include "Numbers.h"
#include "TableWriter.h"

#include <string.h>

const char* const CTableExports::kTableFiles[4] = { "Suppliers.txt", "Buyers.txt", "Positions.txt", "Moves.txt" };

CTableExports::CTableExports(const CConverterTables& tables) : m_tables(tables), m_writeBuffer(NULL), m_set(NULL)
{
}

CTableExports::~CTableExports()
{
    g_heapRegistry.Free(&m_writeBuffer);
}

static const int kMonthLength[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };

// Months outside 1..12 exist only in a malformed report; giving them 31 days
// keeps every step moving forward, so the walk over the days ends.
static int MonthLength(uint32_t month)
{
    return month >= 1 && month <= 12 ? kMonthLength[month - 1] : 31;
}

// Pieces are formatted as "%s|%s\r\n", "%d|%s\r\n", ... would format them,
// each cut at 1023 bytes (CTableWriter).
bool CTableExports::ExportSuppliers()
{
    const Position* const positions = m_tables.PositionBlock();
    const int positionCount = m_tables.PositionCount();
    CTableWriter file("Suppliers.txt", &m_writeBuffer, m_set);
    file.Write("ID|Name\r\n");
    // Equal texts share one reference in the pool, so a supplier is taken when
    // its reference is new. Taken records in order of first appearance.
    int* taken = NULL;
    int takenCount = 0;
    g_heapRegistry.Alloc(&taken, sizeof(int) * (SIZE_T)(positionCount + 1));
    CNumberSet seen;
    for (int i = 0; i < positionCount && taken; ++i)
        if (seen.Insert(positions[i].supplier))
            taken[takenCount++] = i;
    for (int k = 0; k < takenCount; ++k) {
        const char* supplier = m_tables.SupplierOf(positions[taken[k]]);
        file.BeginPiece();
        file.Text(supplier);
        file.Text("|", 1);
        file.Text(supplier);
        file.Text("\r\n", 2);
        file.EndPiece();
    }
    g_heapRegistry.Free(&taken);
    return file.Close();
}

bool CTableExports::ExportBuyers()
{
    const Move* const moves = m_tables.MoveBlock();
    const int moveCount = m_tables.MoveCount();
    CTableWriter file("Buyers.txt", &m_writeBuffer, m_set);
    file.Write("ID|Name\r\n");
    int* taken = NULL;
    int takenCount = 0;
    g_heapRegistry.Alloc(&taken, sizeof(int) * (SIZE_T)(moveCount + 1));
    CNumberSet seen;
    bool any = false;
    int32_t last = 0;   // a code just seen is in the set: no look-up for it
    for (int i = 0; i < moveCount && taken; ++i) {
        const Move& m = moves[i];
        if (m_tables.TypeAt(m.kindIndex).incoming || (any && m.partnerCode == last))
            continue;
        any = true;
        last = m.partnerCode;
        if (seen.Insert((uint32_t)m.partnerCode))
            taken[takenCount++] = i;
    }
    for (int k = 0; k < takenCount; ++k) {
        const Move& m = moves[taken[k]];
        file.BeginPiece();
        file.Int(m.partnerCode);
        file.Text("|", 1);
        file.Text(m_tables.PartnerNameOf(m));
        file.Text("\r\n", 2);
        file.EndPiece();
    }
    g_heapRegistry.Free(&taken);
    return file.Close();
}

bool CTableExports::ExportPositions()
{
    const Position* const positions = m_tables.PositionBlock();
    const int positionCount = m_tables.PositionCount();
    CTableWriter file("Positions.txt", &m_writeBuffer, m_set);
    file.Write("ID|Name\r\n");
    for (int i = 0; i < positionCount; ++i) {
        const Position& p = positions[i];
        file.BeginPiece();
        file.Text(m_tables.CodeOf(p));
        file.Text("|", 1);
        file.Text(m_tables.NameOf(p));
        file.EndPiece();
        file.Text("|||||||", 7);
        file.Fixed5(p.unitCost);
        file.Text("|", 1);
        file.Fixed5(p.secondValue);
        file.EndPiece();
        file.Text("\r\n", 2);
        file.EndPiece();
    }
    return file.Close();
}

static void WriteDate(CTableWriter& file, int day, int month, int year)
{
    file.TwoDigits(day);
    file.Text(".", 1);
    file.TwoDigits(month);
    file.Text(".", 1);
    file.TwoDigits(year);
    file.Text("|", 1);
    file.EndPiece();
}

// A move line is put straight into the writer's buffer: a million lines of
// eight pieces each, written piece by piece, took longer than reading the report.
// Only the text pieces ("%s|") can reach 1023 bytes; numbers and dates are short.
static const size_t kMoveLineRoom = 4096;   // date 12, two text pieces 1024 each, two numbers 513 each, line end
static const char kSupplierNotFound[] = "[поставщик не найден]";

// The texts are short: copied here rather than by a library call each.
static inline char* Put(char* out, const char* text, size_t length)
{
    for (; length >= 8; length -= 8, out += 8, text += 8)
        memcpy(out, text, 8);
    while (length--)
        *out++ = *text++;
    return out;
}

// "%s|" cut at 1023 bytes: a text of 1023 bytes (the longest stored) loses its "|".
static inline char* PutTextPiece(char* out, const char* text, size_t length)
{
    if (length > 1023)
        length = 1023;
    out = Put(out, text, length);
    if (length < 1023)
        *out++ = '|';
    return out;
}

static inline char* PutTwoDigits(char* out, int value)
{
    if ((unsigned)value < 100) {
        memcpy(out, kDigitPairs + 2 * value, 2);
        return out + 2;
    }
    return out + FormatTwoDigits(value, out);
}

// "%.2d.%.2d.%.2d|" with day, month, year.
static inline char* PutDate(char* out, PackedDate date)
{
    out = PutTwoDigits(out, DayOf(date));
    *out++ = '.';
    out = PutTwoDigits(out, MonthOf(date));
    *out++ = '.';
    out = PutTwoDigits(out, YearOf(date));
    *out++ = '|';
    return out;
}

bool CTableExports::ExportMoves()
{
    const Position* const positions = m_tables.PositionBlock();
    const int positionCount = m_tables.PositionCount();
    const Move* const moves = m_tables.MoveBlock();
    const int moveCount = m_tables.MoveCount();
    CTableWriter file("Moves.txt", &m_writeBuffer, m_set);
    file.Write("Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n");
    CNumberSet dates;
    // A move's position is the first one with its code (the header rows resolve
    // to the first of equal codes); a move without one has the empty code, which
    // a position may have too.
    const Position* emptyCodePosition = NULL;
    bool emptyCodeLooked = false;
    // Each position's code and supplier length, measured once rather than per move.
    uint32_t* lengths = NULL;
    if (g_heapRegistry.Alloc(&lengths, sizeof(uint32_t) * 2 * (SIZE_T)(positionCount + 1))) {
        for (int i = 0; i < positionCount; ++i) {
            lengths[2 * i] = (uint32_t)strlen(m_tables.CodeOf(positions[i]));
            lengths[2 * i + 1] = (uint32_t)strlen(m_tables.SupplierOf(positions[i]));
        }
    }
    PackedDate lastDate = kUnsetDate;
    for (int i = 0; i < moveCount; ++i) {
        const Move& m = moves[i];
        const MoveType& type = m_tables.TypeAt(m.kindIndex);
        if (i == 0 || m.date != lastDate)
            dates.Insert(m.date);
        lastDate = m.date;
        char* out = file.Reserve(kMoveLineRoom);
        if (!out)
            continue;   // no file: only the dates count
        out = PutDate(out, m.date);
        const Position* goods = m_tables.GoodsOf(m);
        if (goods) {
            const size_t at = (size_t)(goods - positions);
            out = PutTextPiece(out, m_tables.CodeOf(*goods), lengths ? lengths[2 * at] : strlen(m_tables.CodeOf(*goods)));
        } else {
            out = PutTextPiece(out, "", 0);
        }
        const double q = type.negate ? -m.quantity : m.quantity;
        if (type.incoming) {
            const Position* p = goods;
            if (!p) {
                if (!emptyCodeLooked)
                    emptyCodePosition = m_tables.FindPositionByCode("");
                emptyCodeLooked = true;
                p = emptyCodePosition;
            }
            if (p) {
                const size_t at = (size_t)(p - positions);
                out = PutTextPiece(out, m_tables.SupplierOf(*p), lengths ? lengths[2 * at + 1] : strlen(m_tables.SupplierOf(*p)));
            } else {
                out = PutTextPiece(out, kSupplierNotFound, sizeof(kSupplierNotFound) - 1);
            }
            out += FormatFixed5(q, out);
            *out++ = '|';
            *out++ = '|';
            if (type.withSum)
                out += FormatFixed5(p ? p->unitCost * m.quantity : m.sum, out);
            *out++ = '|';
            *out++ = '|';
        } else {
            out += FormatInt(m.partnerCode, out);
            *out++ = '|';
            *out++ = '|';
            out += FormatFixed5(q, out);
            *out++ = '|';
            *out++ = '|';
            if (type.withSum) {
                out += FormatFixed5(m.sum, out);
                *out++ = '|';
            } else {
                *out++ = '|';
            }
        }
        *out++ = '\r';
        *out++ = '\n';
        file.Advance(out);
    }
    g_heapRegistry.Free(&lengths);

    // Placeholder rows for the days of the period without any move.
    int fictive = 0;
    const PackedDate startDate = m_tables.StartDate(), endDate = m_tables.EndDate();
    if (startDate != kUnsetDate) {
        uint32_t day = startDate & 0xFF;
        uint32_t month = (startDate >> 8) & 0xFF;
        uint64_t year = startDate >> 16;
        for (;;) {
            uint64_t d = day + 256u * month + 65536u * year;
            // A garbled date cell can set the end date's top byte, which no
            // year of a packed date reaches: the walk stops after year 255.
            if (d > endDate || year > 255)
                break;
            if (!dates.Contains((PackedDate)d)) {
                WriteDate(file, (int)day, (int)month, (int)year);
                file.Text("фикти|");
                file.EndPiece();
                file.Text("Фикц|");
                file.EndPiece();
                file.Text("\r\n", 2);
                file.EndPiece();
                ++fictive;
            }
            const uint32_t length = (uint32_t)MonthLength(month);
            if (day + 1 <= length) {
                ++day;
            } else {
                day = day + 1 - length;
                if (++month > 12) {
                    month = 1;
                    ++year;
                }
            }
        }
    }
    if (!file.Close())
        return false;
    ConsolePrint(" added %d fictive moves ", fictive);
    return true;
}
