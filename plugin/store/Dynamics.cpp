// The calendar and the day-by-day dynamics of one supplier's goods.
//
// Every lookup is defined as the first match of a scan in storage order; the
// hash indexes below return exactly that match, so a year of a large business
// (a million moves, hundreds of dates, thousands of rows) takes linear time.
#include "GoodsStore.h"

#include <string.h>

#include <algorithm>

#include "FirstIndex.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/system/MessageBox.h"
#include "cwin/system/RecordArray.h"

namespace {

// Scratch blocks above this size are refused before they are asked for: the
// day-cell matrix is series x dates, which garbage can make absurd.
const uint64_t kMaxScratchBytes = 0x60000000u;

bool AllocScratch(void** variable, uint64_t bytes)
{
    if (bytes == 0 || bytes > kMaxScratchBytes)
        return false;
    return g_heapRegistry.Alloc(variable, (SIZE_T)bytes);
}

}  // namespace

void CGoodsStore::ReleaseDynamics()
{
    if (calendar)
        g_heapRegistry.Free(&calendar);
    if (series)
        g_heapRegistry.Free(&series);
    if (cells)
        g_heapRegistry.Free(&cells);
    calendar = 0;
    calendarCount = 0;
    series = 0;
    seriesCount = 0;
    cells = 0;
}

const char* CGoodsStore::RowGoodsName(int row) const
{
    if (!rows || row < 0 || row >= rowCount)
        return "";
    int g = rows[row].goodsIndex;
    if (!goods || g < 0 || g >= goodsCount)
        return "";
    return goods[g].name;
}

bool CGoodsStore::BuildDynamics(int supplierSelection)
{
    if (supplierSelection < 0 || !suppliers || supplierSelection >= supplierCount)
        return true;
    int32_t supplierId = suppliers[supplierSelection].id;
    if (!m_binding.rows || !m_binding.rowPending)
        return true;
    m_binding.rows->Bind(&rows, m_binding.rowPending, m_binding.currentRow, DynamicsGrowthStep, &rowCount);
    ReleaseDynamics();
    BuildCalendar();
    BuildRows(supplierId);
    if (BuildSeriesAndCells()) {
        ApplyBalances();
        AccumulateMoves();
    }
    return true;
}

void CGoodsStore::BuildCalendar()
{
    if (calendar)
        g_heapRegistry.Free(&calendar);
    calendar = 0;
    calendarCount = 0;
    if (!AllocScratch(reinterpret_cast<void**>(&calendar), ((uint64_t)moveCount + 1) * sizeof(CalendarEntry)))
        return;
    CFirstIndex seen;
    bool indexed = seen.Reset(512);
    for (int i = 0; moves && i < moveCount; ++i) {
        PackedDate date = moves[i].date;
        bool present;
        if (indexed) {
            present = seen.Find(date) >= 0;
        } else {
            present = false;
            for (int k = 0; k < calendarCount && !present; ++k)
                present = calendar[k].date == date;
        }
        if (present)
            continue;
        calendar[calendarCount].reserved = 0;
        calendar[calendarCount].date = date;
        if (indexed)
            seen.AddFirst(date, calendarCount);
        ++calendarCount;
    }
    // The dates are distinct, so any ascending sort gives the insertion sort's order.
    std::sort(calendar, calendar + calendarCount,
              [](const CalendarEntry& a, const CalendarEntry& b) { return a.date < b.date; });
}

void CGoodsStore::BuildRows(int32_t supplierId)
{
    CFirstIndex goodsById;
    const CFirstIndex* goodsIndex = IndexGoods(goodsById) ? &goodsById : 0;
    CFirstIndex rowByGoods;
    bool rowsIndexed = rowByGoods.Reset(64);

    SetProgressRange(moveCount);
    bool full = false;
    for (int i = 0; moves && i < moveCount; ++i) {
        const MoveRecord& m = moves[i];
        if (!full && m.supplierId == supplierId && m.suppliedQty != 0) {
            bool hasRow;
            if (rowsIndexed) {
                hasRow = rowByGoods.Find((uint32_t)m.goodsId) >= 0;
            } else {
                hasRow = false;
                for (int r = 0; r < rowCount && !hasRow; ++r)
                    hasRow = rows[r].goodsId == m.goodsId;
            }
            int g = hasRow ? -1 : FirstGoodsIndex(m.goodsId, goodsIndex);
            if (g >= 0 && *m_binding.rowPending) {
                DynamicsRow* row = *m_binding.rowPending;
                row->goodsIndex = g;
                row->goodsId = goods[g].id;
                row->goodsName = goods[g].name;
                int before = rowCount;
                m_binding.rows->Append();
                if (rowCount > before && rowsIndexed)
                    rowByGoods.AddFirst((uint32_t)m.goodsId, before);
                // A refused or failed append leaves no valid pending row.
                full = rowCount == before || !*m_binding.rowPending;
            }
        }
        StepProgress();
    }
}

bool CGoodsStore::BuildSeriesAndCells()
{
    int count = rows ? rowCount : 0;
    if (count <= 0)
        return true;
    if (!AllocScratch(reinterpret_cast<void**>(&series), (uint64_t)count * sizeof(DynamicsSeries)))
        return false;
    uint64_t cellCount = (uint64_t)count * (uint64_t)calendarCount;
    if (cellCount > 0 && !AllocScratch(reinterpret_cast<void**>(&cells), cellCount * sizeof(DayCell))) {
        g_heapRegistry.Free(&series);
        series = 0;
        return false;
    }
    seriesCount = count;
    for (int j = 0; j < count; ++j) {
        series[j].row = rows[j];
        series[j].cells = cells ? cells + (size_t)j * (size_t)calendarCount : 0;
        series[j].dayCount = calendarCount;
        series[j].index = j;
    }
    return true;
}

void CGoodsStore::ApplyBalances()
{
    if (calendarCount <= 0 || !cells)
        return;
    for (int j = 0; j < seriesCount; ++j)
        for (int k = 0; k < calendarCount; ++k)
            series[j].cells[k].entry = &calendar[k];

    CFirstIndex firstBalance;
    bool indexed = firstBalance.Reset(balanceCount);
    for (int b = 0; indexed && balances && b < balanceCount; ++b)
        firstBalance.AddFirst((uint32_t)balances[b].goodsId, b);

    for (int j = 0; j < seriesCount; ++j) {
        int32_t goodsId = series[j].row.goodsId;
        int b = -1;
        if (indexed) {
            b = firstBalance.Find((uint32_t)goodsId);
        } else {
            for (int k = 0; balances && k < balanceCount && b < 0; ++k)
                if (balances[k].goodsId == goodsId)
                    b = k;
        }
        if (b < 0)
            continue;
        // First calendar date on or after the balance's date; the last one when all are earlier.
        PackedDate date = balances[b].date;
        const CalendarEntry* at = std::lower_bound(
            calendar, calendar + calendarCount, date,
            [](const CalendarEntry& e, PackedDate d) { return e.date < d; });
        int a = (int)(at - calendar);
        if (a >= calendarCount)
            a = calendarCount - 1;
        series[j].cells[a].adjustment = balances[b].quantity;
    }
}

void CGoodsStore::AccumulateMoves()
{
    SetProgressRange(moveCount);
    if (seriesCount <= 0)
        return;
    CFirstIndex seriesByGoods;
    bool seriesIndexed = seriesByGoods.Reset(seriesCount);
    for (int j = 0; seriesIndexed && j < seriesCount; ++j)
        seriesByGoods.AddFirst((uint32_t)series[j].row.goodsId, j);
    CFirstIndex dayByDate;
    bool datesIndexed = dayByDate.Reset(calendarCount);
    for (int k = 0; datesIndexed && k < calendarCount; ++k)
        dayByDate.AddFirst(calendar[k].date, k);

    for (int i = 0; moves && i < moveCount; ++i) {
        const MoveRecord& m = moves[i];
        int j = -1;
        if (seriesIndexed) {
            j = seriesByGoods.Find((uint32_t)m.goodsId);
        } else {
            for (int s = 0; s < seriesCount && j < 0; ++s)
                if (series[s].row.goodsId == m.goodsId)
                    j = s;
        }
        if (j < 0)
            continue;
        int c = -1;
        if (datesIndexed) {
            c = dayByDate.Find(m.date);
        } else {
            for (int k = 0; k < calendarCount && c < 0; ++k)
                if (calendar[k].date == m.date)
                    c = k;
        }
        if (c < 0 || !cells) {
            ShowBox("date is absent in calendar !!!", "Error in Dates");
            return;
        }
        DayCell& cell = series[j].cells[c];
        if (m.supplyValue == 0)
            cell.adjustment += m.suppliedQty;
        else
            cell.receipt += m.suppliedQty;
        if (m.saleValue == 0)
            cell.adjustment -= m.soldQty;
        else
            cell.expense += m.soldQty;
        StepProgress();
    }
}
