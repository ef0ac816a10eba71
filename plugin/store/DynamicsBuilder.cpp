// CDynamicsBuilder: the calendar and the day-by-day dynamics of one supplier's goods.
//
// Every lookup is defined as the first match of a scan in storage order; the
// hash indexes below return exactly that match, so a year of a large business
// (a million moves, hundreds of dates, thousands of rows) takes linear time.
#include "DynamicsBuilder.h"

#include <string.h>

#include <algorithm>

#include "FirstIndex.h"
#include "GoodsStore.h"
#include "cwin/system/HeapRegistry.h"
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

CDynamicsBuilder::CDynamicsBuilder(CGoodsStore& store) : m_store(store) {}

void CDynamicsBuilder::Release()
{
    CGoodsStore& s = m_store;
    if (s.calendar)
        g_heapRegistry.Free(&s.calendar);
    if (s.series)
        g_heapRegistry.Free(&s.series);
    if (s.cells)
        g_heapRegistry.Free(&s.cells);
    s.calendar = 0;
    s.calendarCount = 0;
    s.series = 0;
    s.seriesCount = 0;
    s.cells = 0;
}

bool CDynamicsBuilder::Build(int supplierSelection)
{
    CGoodsStore& s = m_store;
    if (supplierSelection < 0 || !s.suppliers || supplierSelection >= s.supplierCount)
        return true;
    int32_t supplierId = s.suppliers[supplierSelection].id;
    const StoreBinding& binding = s.Binding();
    if (!binding.rows || !binding.rowPending)
        return true;
    binding.rows->Bind(&s.rows, binding.rowPending, binding.currentRow, DynamicsGrowthStep, &s.rowCount);
    Release();
    BuildCalendar();
    BuildRows(supplierId);
    if (BuildSeriesAndCells()) {
        ApplyBalances();
        AccumulateMoves();
    }
    return true;
}

void CDynamicsBuilder::BuildCalendar()
{
    CGoodsStore& s = m_store;
    if (s.calendar)
        g_heapRegistry.Free(&s.calendar);
    s.calendar = 0;
    s.calendarCount = 0;
    if (!AllocScratch(reinterpret_cast<void**>(&s.calendar), ((uint64_t)s.moveCount + 1) * sizeof(CalendarEntry)))
        return;
    CFirstIndex seen;
    bool indexed = seen.Reset(512);
    for (int i = 0; s.moves && i < s.moveCount; ++i) {
        PackedDate date = s.moves[i].date;
        bool present;
        if (indexed) {
            present = seen.Find(date) >= 0;
        } else {
            present = false;
            for (int k = 0; k < s.calendarCount && !present; ++k)
                present = s.calendar[k].date == date;
        }
        if (present)
            continue;
        s.calendar[s.calendarCount].reserved = 0;
        s.calendar[s.calendarCount].date = date;
        if (indexed)
            seen.AddFirst(date, s.calendarCount);
        ++s.calendarCount;
    }
    // The dates are distinct, so any ascending sort gives the insertion sort's order.
    std::sort(s.calendar, s.calendar + s.calendarCount,
              [](const CalendarEntry& a, const CalendarEntry& b) { return a.date < b.date; });
}

void CDynamicsBuilder::BuildRows(int32_t supplierId)
{
    CGoodsStore& s = m_store;
    const StoreBinding& binding = s.Binding();
    CFirstIndex goodsById;
    const CFirstIndex* goodsIndex = s.IndexGoods(goodsById) ? &goodsById : 0;
    CFirstIndex rowByGoods;
    bool rowsIndexed = rowByGoods.Reset(64);

    s.SetProgressRange(s.moveCount);
    bool full = false;
    for (int i = 0; s.moves && i < s.moveCount; ++i) {
        const MoveRecord& m = s.moves[i];
        if (!full && m.supplierId == supplierId && m.suppliedQty != 0) {
            bool hasRow;
            if (rowsIndexed) {
                hasRow = rowByGoods.Find((uint32_t)m.goodsId) >= 0;
            } else {
                hasRow = false;
                for (int r = 0; r < s.rowCount && !hasRow; ++r)
                    hasRow = s.rows[r].goodsId == m.goodsId;
            }
            int g = hasRow ? -1 : s.FirstGoodsIndex(m.goodsId, goodsIndex);
            if (g >= 0 && *binding.rowPending) {
                DynamicsRow* row = *binding.rowPending;
                row->goodsIndex = g;
                row->goodsId = s.goods[g].id;
                row->goodsName = s.goods[g].name;
                int before = s.rowCount;
                binding.rows->Append();
                if (s.rowCount > before && rowsIndexed)
                    rowByGoods.AddFirst((uint32_t)m.goodsId, before);
                // A refused or failed append leaves no valid pending row.
                full = s.rowCount == before || !*binding.rowPending;
            }
        }
        s.StepProgress();
    }
}

bool CDynamicsBuilder::BuildSeriesAndCells()
{
    CGoodsStore& s = m_store;
    int count = s.rows ? s.rowCount : 0;
    if (count <= 0)
        return true;
    if (!AllocScratch(reinterpret_cast<void**>(&s.series), (uint64_t)count * sizeof(DynamicsSeries)))
        return false;
    uint64_t cellCount = (uint64_t)count * (uint64_t)s.calendarCount;
    if (cellCount > 0 && !AllocScratch(reinterpret_cast<void**>(&s.cells), cellCount * sizeof(DayCell))) {
        g_heapRegistry.Free(&s.series);
        s.series = 0;
        return false;
    }
    s.seriesCount = count;
    for (int j = 0; j < count; ++j) {
        s.series[j].row = s.rows[j];
        s.series[j].cells = s.cells ? s.cells + (size_t)j * (size_t)s.calendarCount : 0;
        s.series[j].dayCount = s.calendarCount;
        s.series[j].index = j;
    }
    return true;
}

void CDynamicsBuilder::ApplyBalances()
{
    CGoodsStore& s = m_store;
    if (s.calendarCount <= 0 || !s.cells)
        return;
    for (int j = 0; j < s.seriesCount; ++j)
        for (int k = 0; k < s.calendarCount; ++k)
            s.series[j].cells[k].entry = &s.calendar[k];

    CFirstIndex firstBalance;
    bool indexed = firstBalance.Reset(s.balanceCount);
    for (int b = 0; indexed && s.balances && b < s.balanceCount; ++b)
        firstBalance.AddFirst((uint32_t)s.balances[b].goodsId, b);

    for (int j = 0; j < s.seriesCount; ++j) {
        int32_t goodsId = s.series[j].row.goodsId;
        int b = -1;
        if (indexed) {
            b = firstBalance.Find((uint32_t)goodsId);
        } else {
            for (int k = 0; s.balances && k < s.balanceCount && b < 0; ++k)
                if (s.balances[k].goodsId == goodsId)
                    b = k;
        }
        if (b < 0)
            continue;
        // First calendar date on or after the balance's date; the last one when all are earlier.
        PackedDate date = s.balances[b].date;
        const CalendarEntry* at = std::lower_bound(
            s.calendar, s.calendar + s.calendarCount, date,
            [](const CalendarEntry& e, PackedDate d) { return e.date < d; });
        int a = (int)(at - s.calendar);
        if (a >= s.calendarCount)
            a = s.calendarCount - 1;
        s.series[j].cells[a].adjustment = s.balances[b].quantity;
    }
}

void CDynamicsBuilder::AccumulateMoves()
{
    CGoodsStore& s = m_store;
    s.SetProgressRange(s.moveCount);
    if (s.seriesCount <= 0)
        return;
    CFirstIndex seriesByGoods;
    bool seriesIndexed = seriesByGoods.Reset(s.seriesCount);
    for (int j = 0; seriesIndexed && j < s.seriesCount; ++j)
        seriesByGoods.AddFirst((uint32_t)s.series[j].row.goodsId, j);
    CFirstIndex dayByDate;
    bool datesIndexed = dayByDate.Reset(s.calendarCount);
    for (int k = 0; datesIndexed && k < s.calendarCount; ++k)
        dayByDate.AddFirst(s.calendar[k].date, k);

    for (int i = 0; s.moves && i < s.moveCount; ++i) {
        const MoveRecord& m = s.moves[i];
        int j = -1;
        if (seriesIndexed) {
            j = seriesByGoods.Find((uint32_t)m.goodsId);
        } else {
            for (int r = 0; r < s.seriesCount && j < 0; ++r)
                if (s.series[r].row.goodsId == m.goodsId)
                    j = r;
        }
        if (j < 0)
            continue;
        int c = -1;
        if (datesIndexed) {
            c = dayByDate.Find(m.date);
        } else {
            for (int k = 0; k < s.calendarCount && c < 0; ++k)
                if (s.calendar[k].date == m.date)
                    c = k;
        }
        if (c < 0 || !s.cells) {
            s.ShowBox("date is absent in calendar !!!", "Error in Dates");
            return;
        }
        DayCell& cell = s.series[j].cells[c];
        if (m.supplyValue == 0)
            cell.adjustment += m.suppliedQty;
        else
            cell.receipt += m.suppliedQty;
        if (m.saleValue == 0)
            cell.adjustment -= m.soldQty;
        else
            cell.expense += m.soldQty;
        s.StepProgress();
    }
}
