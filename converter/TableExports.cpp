// The four exported tables: Suppliers.txt, Buyers.txt, Positions.txt, Moves.txt.
#include "ReportConverter.h"
#include "CodeIndex.h"
#include "HeapRegistry.h"
#include "TableWriter.h"

#include <string.h>
#include <string_view>
#include <unordered_set>

static const int kMonthLength[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };

// Months outside 1..12 exist only in a malformed report; giving them 31 days
// keeps every step moving forward, so the walk over the days ends.
static int MonthLength(uint32_t month)
{
    return month >= 1 && month <= 12 ? kMonthLength[month - 1] : 31;
}

bool CReportConverter::ExportSuppliers()
{
    CTableWriter file("Suppliers.txt");
    file.Write("ID|Name\r\n");
    // Taken records in order of first appearance; the set only answers "taken?".
    int* taken = NULL;
    int takenCount = 0;
    g_heapRegistry.Alloc(&taken, sizeof(int) * (SIZE_T)(m_positionCount + 1));
    std::unordered_set<std::string_view> seen;
    for (int i = 0; i < m_positionCount && taken; ++i) {
        std::string_view supplier(m_positionBlock[i].supplier);
        if (seen.insert(supplier).second)
            taken[takenCount++] = i;
    }
    for (int k = 0; k < takenCount; ++k) {
        const char* supplier = m_positionBlock[taken[k]].supplier;
        file.Write("%s|%s\r\n", supplier, supplier);
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
    std::unordered_set<int32_t> seen;
    for (int i = 0; i < m_moveCount && taken; ++i) {
        const Move& m = m_moveBlock[i];
        if (TypeAt(m.kindIndex).incoming)
            continue;
        if (seen.insert(m.partnerCode).second)
            taken[takenCount++] = i;
    }
    for (int k = 0; k < takenCount; ++k) {
        const Move& m = m_moveBlock[taken[k]];
        file.Write("%d|%s\r\n", m.partnerCode, m.partnerName);
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
        file.Write("%s|%s", p.code, p.name);
        file.Write("|||||||%.5f|%.5f", p.unitCost, p.secondValue);
        file.Write("\r\n");
    }
    file.Close();
    return true;
}

bool CReportConverter::ExportMoves()
{
    CTableWriter file("Moves.txt");
    file.Write("Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n");
    std::unordered_set<PackedDate> dates;
    for (int i = 0; i < m_moveCount; ++i) {
        const Move& m = m_moveBlock[i];
        const MoveType& type = TypeAt(m.kindIndex);
        dates.insert(m.date);
        file.Write("%.2d.%.2d.%.2d|", DayOf(m.date), MonthOf(m.date), YearOf(m.date));
        file.Write("%s|", m.goodsCode);
        const double q = type.negate ? -m.quantity : m.quantity;
        if (type.incoming) {
            const Position* p = FindPositionByCode(m.goodsCode);
            if (p)
                file.Write("%s|", p->supplier);
            else
                file.Write("[поставщик не найден]|");
            file.Write("%.5f||", q);
            if (type.withSum)
                file.Write("%.5f||", p ? p->unitCost * m.quantity : m.sum);
            else
                file.Write("||");
        } else {
            file.Write("%d|", m.partnerCode);
            file.Write("|%.5f|", q);
            if (type.withSum)
                file.Write("|%.5f|", m.sum);
            else
                file.Write("||");
        }
        file.Write("\r\n");
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
            if (!dates.count((PackedDate)d)) {
                file.Write("%.2d.%.2d.%.2d|", (int)day, (int)month, (int)year);
                file.Write("фикти|");
                file.Write("Фикц|");
                file.Write("\r\n");
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
