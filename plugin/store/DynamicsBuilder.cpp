// CDynamicsBuilder: the calendar and the day-by-day dynamics of one supplier's goods.
//
// Every lookup is defined as the first match of a scan in storage order; the
// hash indexes below return exactly that match, so a year of a large business
// (a million moves, hundreds of dates, thousands of rows) takes linear time.
// A build lists the rows and counts the moves that reach them (the progress
// bar steps once per such move, and a move whose date is not in the calendar
// stops the count with its message); the day cells of a row are added up from
// those same moves when the row is first read (FillSeries), the balance first
// and then the moves in storage order, as a build that filled every row would.
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

// The calendar starts with room for this many dates (a year has 366) and
// doubles when it needs more, up to one per move.
const int kCalendarRoom = 512;

bool AllocScratch(void** variable, uint64_t bytes)
{
    if (bytes == 0 || bytes > kMaxScratchBytes)
        return false;
    return g_heapRegistry.Alloc(variable, (SIZE_T)bytes);
}

}  // namespace

DayCell* CDayCells::Row() const
{
    if (!m_store)
        return 0;
    if (m_filled)
        return m_store->cells ? m_store->cells + (size_t)m_series * (size_t)m_store->calendarCount : 0;
    m_filled = true;
    return CDynamicsBuilder(*m_store).FillSeries(m_series);
}

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
    s.m_calendarMoves = 0;
    s.m_countedMoves = 0;
    s.m_builtBalances = 0;
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
        // The balances that count are those stored now.
        s.m_builtBalances = s.balances ? s.balanceCount : 0;
        CountMoves();
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
    s.m_calendarMoves = 0;
    int most = s.moveCount + 1;   // one date per move at most
    int room = most < kCalendarRoom ? most : kCalendarRoom;
    if (!AllocScratch(reinterpret_cast<void**>(&s.calendar), (uint64_t)room * sizeof(CalendarEntry)))
        return;
    CFirstIndex seen;
    bool indexed = seen.Reset(kCalendarRoom);
    int i = 0;
    for (; s.moves && i < s.moveCount; ++i) {
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
        if (s.calendarCount == room) {
            room = room < most / 2 ? room * 2 : most;
            if (!AllocScratch(reinterpret_cast<void**>(&s.calendar), (uint64_t)room * sizeof(CalendarEntry))) {
                // As when the whole calendar could not be had: none.
                if (s.calendar)
                    g_heapRegistry.Free(&s.calendar);
                s.calendar = 0;
                s.calendarCount = 0;
                return;
            }
        }
        s.calendar[s.calendarCount].reserved = 0;
        s.calendar[s.calendarCount].date = date;
        if (indexed && !seen.AddFirst(date, s.calendarCount))
            indexed = false;   // the scan above still finds every date
        ++s.calendarCount;
    }
    s.m_calendarMoves = i;
    // The dates are distinct, so any ascending sort gives the insertion sort's order.
    std::sort(s.calendar, s.calendar + s.calendarCount,
              [](const CalendarEntry& a, const CalendarEntry& b) { return a.date < b.date; });
}

void CDynamicsBuilder::BuildRows(int32_t supplierId)
{
    CGoodsStore& s = m_store;
    const StoreBinding& binding = s.Binding();
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
            int g = hasRow ? -1 : s.FirstGoodsIndex(m.goodsId);
            if (g >= 0 && *binding.rowPending) {
                DynamicsRow* row = *binding.rowPending;
                row->goodsIndex = g;
                row->goodsId = s.goods[g].id;
                row->goodsName = s.goods[g].name;
                int before = s.rowCount;
                binding.rows->Append();
                if (s.rowCount > before && rowsIndexed && !rowByGoods.AddFirst((uint32_t)m.goodsId, before))
                    rowsIndexed = false;
                // A refused or failed append leaves no valid pending row.
                full = s.rowCount == before || !*binding.rowPending;
            }
        }
        s.StepProgress();
    }
}

// The series and the day-cell matrix. The matrix is only made here: a row is
// written when it is first read, so a build never touches the cells of the
// rows nobody looks at.
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
        s.series[j].cells.m_store = &s;
        s.series[j].cells.m_series = j;
        s.series[j].cells.m_filled = false;
        s.series[j].dayCount = s.calendarCount;
        s.series[j].index = j;
    }
    return true;
}

// The moves of every supplier that reach a row, in storage order: a step each.
// Every date of the moves the calendar was made from is in it; a move stored
// since may carry one that is not, which stops the count with its message.
void CDynamicsBuilder::CountMoves()
{
    CGoodsStore& s = m_store;
    s.SetProgressRange(s.moveCount);
    s.m_countedMoves = 0;
    if (s.seriesCount <= 0)
        return;
    CFirstIndex seriesByGoods;
    bool seriesIndexed = seriesByGoods.Reset(s.seriesCount);
    for (int j = 0; seriesIndexed && j < s.seriesCount; ++j)
        seriesIndexed = seriesByGoods.AddFirst((uint32_t)s.series[j].row.goodsId, j);

    int i = 0;
    for (; s.moves && i < s.moveCount; ++i) {
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
        bool dated = i < s.m_calendarMoves || DayIndex(m.date) >= 0;
        if (!dated || !s.cells) {
            s.m_countedMoves = i;
            s.ShowBox("date is absent in calendar !!!", "Error in Dates");
            return;
        }
        s.StepProgress();
    }
    s.m_countedMoves = i;
}

// The calendar index of a date, or -1.
int CDynamicsBuilder::DayIndex(PackedDate date) const
{
    const CGoodsStore& s = m_store;
    if (!s.calendar || s.calendarCount <= 0)
        return -1;
    const CalendarEntry* begin = s.calendar;
    const CalendarEntry* end = begin + s.calendarCount;
    const CalendarEntry* at = std::lower_bound(begin, end, date,
                                               [](const CalendarEntry& e, PackedDate d) { return e.date < d; });
    return at != end && at->date == date ? (int)(at - begin) : -1;
}

// Series j's row: each cell refers to its date; the goods' first balance (of
// those stored at the build) is set on the first date on or after its own, or
// the last date; then the counted moves of the goods are added in storage order.
DayCell* CDynamicsBuilder::FillSeries(int j)
{
    CGoodsStore& s = m_store;
    if (j < 0 || j >= s.seriesCount || !s.cells || s.calendarCount <= 0)
        return 0;
    DayCell* row = s.cells + (size_t)j * (size_t)s.calendarCount;
    for (int k = 0; k < s.calendarCount; ++k)
        row[k].entry = &s.calendar[k];
    int32_t goodsId = s.series[j].row.goodsId;

    int balances = s.balances ? std::min(s.m_builtBalances, s.balanceCount) : 0;
    for (int b = 0; b < balances; ++b) {
        if (s.balances[b].goodsId != goodsId)
            continue;
        PackedDate date = s.balances[b].date;
        const CalendarEntry* at = std::lower_bound(
            s.calendar, s.calendar + s.calendarCount, date,
            [](const CalendarEntry& e, PackedDate d) { return e.date < d; });
        int a = (int)(at - s.calendar);
        if (a >= s.calendarCount)
            a = s.calendarCount - 1;
        row[a].adjustment = s.balances[b].quantity;
        break;   // later balances of the goods are ignored
    }

    int moves = s.moves ? std::min(s.m_countedMoves, s.moveCount) : 0;
    for (int i = 0; i < moves; ++i) {
        const MoveRecord& m = s.moves[i];
        if (m.goodsId != goodsId)
            continue;
        int c = DayIndex(m.date);
        if (c < 0)
            continue;   // counted moves all have their dates
        DayCell& cell = row[c];
        if (m.supplyValue == 0)
            cell.adjustment += m.suppliedQty;
        else
            cell.receipt += m.suppliedQty;
        if (m.saleValue == 0)
            cell.adjustment -= m.soldQty;
        else
            cell.expense += m.soldQty;
    }
    return row;
}
