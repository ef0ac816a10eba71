// The four exported tables: Suppliers.txt, Buyers.txt, Positions.txt, Moves.txt.
#include "ReportConverter.h"
#include "CodeIndex.h"
#include "HeapRegistry.h"
#include "TableWriter.h"

#include <string.h>

static const int kMonthLength[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };

// Months outside 1..12 exist only in a malformed report; giving them 31 days
// keeps every step moving forward, so the walk over the days ends.
static int MonthLength(uint32_t month)
{
    return month >= 1 && month <= 12 ? kMonthLength[month - 1] : 31;
}

// Pieces are formatted as "%s|%s\r\n", "%d|%s\r\n", ... would format them,
// each cut at 1023 bytes (CTableWriter).
bool CReportConverter::ExportSuppliers()
{
    CTableWriter file("Suppliers.txt");
    file.Write("ID|Name\r\n");
    // Equal texts share one reference in the pool, so a supplier is taken when
    // its reference is new. Taken records in order of first appearance.
    int* taken = NULL;
    int takenCount = 0;
    g_heapRegistry.Alloc(&taken, sizeof(int) * (SIZE_T)(m_positionCount + 1));
    CNumberSet seen;
    for (int i = 0; i < m_positionCount && taken; ++i)
        if (seen.Insert(m_positionBlock[i].supplier))
            taken[takenCount++] = i;
    for (int k = 0; k < takenCount; ++k) {
        const char* supplier = SupplierOf(m_positionBlock[taken[k]]);
        file.BeginPiece();
        file.Text(supplier);
        file.Text("|", 1);
        file.Text(supplier);
        file.Text("\r\n", 2);
        file.EndPiece();
    }
    g_heapRegistry.Free(&taken);
    file.Close();
    return true;
}

bool CReportConverter::ExportBuyers()
{
    CTableWriter file("Buyers.txt");
    file.Write("ID|Name\r\n");
    int* taken = NULL;
    int takenCount = 0;
    g_heapRegistry.Alloc(&taken, sizeof(int) * (SIZE_T)(m_moveCount + 1));
    CNumberSet seen;
    for (int i = 0; i < m_moveCount && taken; ++i) {
        const Move& m = m_moveBlock[i];
        if (TypeAt(m.kindIndex).incoming)
            continue;
        if (seen.Insert((uint32_t)m.partnerCode))
            taken[takenCount++] = i;
    }
    for (int k = 0; k < takenCount; ++k) {
        const Move& m = m_moveBlock[taken[k]];
        file.BeginPiece();
        file.Int(m.partnerCode);
        file.Text("|", 1);
        file.Text(PartnerNameOf(m));
        file.Text("\r\n", 2);
        file.EndPiece();
    }
    g_heapRegistry.Free(&taken);
    file.Close();
    return true;
}

bool CReportConverter::ExportPositions()
{
    CTableWriter file("Positions.txt");
    file.Write("ID|Name\r\n");
    for (int i = 0; i < m_positionCount; ++i) {
        const Position& p = m_positionBlock[i];
        file.BeginPiece();
        file.Text(CodeOf(p));
        file.Text("|", 1);
        file.Text(NameOf(p));
        file.EndPiece();
        file.Text("|||||||", 7);
        file.Fixed5(p.unitCost);
        file.Text("|", 1);
        file.Fixed5(p.secondValue);
        file.EndPiece();
        file.Text("\r\n", 2);
        file.EndPiece();
    }
    file.Close();
    return true;
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

bool CReportConverter::ExportMoves()
{
    CTableWriter file("Moves.txt");
    file.Write("Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n");
    CNumberSet dates;
    // A move's position is the first one with its code (the header rows resolve
    // to the first of equal codes); a move without one has the empty code, which
    // a position may have too.
    const Position* emptyCodePosition = NULL;
    bool emptyCodeLooked = false;
    for (int i = 0; i < m_moveCount; ++i) {
        const Move& m = m_moveBlock[i];
        const MoveType& type = TypeAt(m.kindIndex);
        dates.Insert(m.date);
        WriteDate(file, DayOf(m.date), MonthOf(m.date), YearOf(m.date));
        const Position* goods = GoodsOf(m);
        file.Text(goods ? CodeOf(*goods) : "");
        file.Text("|", 1);
        file.EndPiece();
        const double q = type.negate ? -m.quantity : m.quantity;
        if (type.incoming) {
            const Position* p = goods;
            if (!p) {
                if (!emptyCodeLooked)
                    emptyCodePosition = FindPositionByCode("");
                emptyCodeLooked = true;
                p = emptyCodePosition;
            }
            file.Text(p ? SupplierOf(*p) : "[поставщик не найден]");
            file.Text("|", 1);
            file.EndPiece();
            file.Fixed5(q);
            file.Text("||", 2);
            file.EndPiece();
            if (type.withSum) {
                file.Fixed5(p ? p->unitCost * m.quantity : m.sum);
                file.Text("||", 2);
            } else {
                file.Text("||", 2);
            }
            file.EndPiece();
        } else {
            file.Int(m.partnerCode);
            file.Text("|", 1);
            file.EndPiece();
            file.Text("|", 1);
            file.Fixed5(q);
            file.Text("|", 1);
            file.EndPiece();
            if (type.withSum) {
                file.Text("|", 1);
                file.Fixed5(m.sum);
                file.Text("|", 1);
            } else {
                file.Text("||", 2);
            }
            file.EndPiece();
        }
        file.Text("\r\n", 2);
        file.EndPiece();
    }

    // Placeholder rows for the days of the period without any move.
    int fictive = 0;
    if (m_startDate != kUnsetDate) {
        uint32_t day = m_startDate & 0xFF;
        uint32_t month = (m_startDate >> 8) & 0xFF;
        uint64_t year = m_startDate >> 16;
        for (;;) {
            uint64_t d = day + 256u * month + 65536u * year;
            if (d > m_endDate)
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
    file.Close();
    ConsolePrint(" added %d fictive moves ", fictive);
    return true;
}
