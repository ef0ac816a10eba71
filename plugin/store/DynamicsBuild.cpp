// CDynamics::Build: the calendar and the day-by-day dynamics of one supplier's
// goods, from the store's tables.
//
// Every lookup is defined as the first match of a scan in storage order; the
// hash indexes below return exactly that match, so a year of a large business
// (a million moves, hundreds of dates, thousands of rows) takes linear time.
// A build lists the rows and counts the moves that reach them (the progress
// bar steps once per such move, and a move whose date is not in the calendar
// stops the count with its message); the day cells of a row are added up from
// those same moves when the row is first read (Dynamics.cpp), the balance
// first and then the moves in storage order, as a build that filled every row
// would.
#include "Dynamics.h"

#include <string.h>

#include <algorithm>
#include <new>

#include "FirstIndex.h"
#include "GoodsStore.h"
#include "ProgressSteps.h"
#include "cwin/system/HeapRegistry.h"

namespace {

// Scratch blocks above this size are refused before they are asked for: the
// day-cell matrix is series x dates, which garbage can make absurd.
const uint64_t kMaxScratchBytes = 0x60000000u;

// The calendar starts with room for this many dates (a year has 366) and
// doubles when it needs more, up to one per move.
const int kCalendarRoom = 512;

template <class T> bool AllocScratch(T** variable, uint64_t bytes)
{
    if (bytes == 0 || bytes > kMaxScratchBytes)
        return false;
    return g_heapRegistry.Alloc(variable, (SIZE_T)bytes);
}

int ShowBox(IMessageBoxes* boxes, const char* text, const char* caption)
{
    return boxes ? boxes->ShowBox(text, caption, MB_OK) : ShowMessageBox(NULL, text, caption, MB_OK);
}

}  // namespace

CDynamics CDynamics::Build(const CGoodsStore& store, int32_t supplierId, IProgressSource* progress,
                           IMessageBoxes* boxes)
{
    CDynamics built;
    built.m_tables = &store.Tables();
    built.m_rows.reset(new (std::nothrow) CRecordTable<DynamicsRow>);
    if (!built.m_rows)
        return built;
    built.m_rows->Bind(DynamicsGrowthStep, true);
    built.BuildCalendar();
    built.BuildRows(store, supplierId, progress);
    if (built.BuildSeriesAndCells()) {
        // The balances that count are those stored now.
        const CRecordTable<BalanceRecord>& balances = store.Tables().Balances();
        built.m_builtBalances = balances.Records() ? balances.Count() : 0;
        built.CountMoves(progress, boxes);
    }
    return built;
}

bool CDynamics::Rebuild(const CGoodsStore& store, int selection, IProgressSource* progress, IMessageBoxes* boxes)
{
    const CRecordTable<SupplierRecord>& suppliers = store.Tables().Suppliers();
    if (selection < 0 || !suppliers.Records() || selection >= suppliers.Count())
        return true;
    *this = Build(store, suppliers[selection].id, progress, boxes);
    return true;
}

// The distinct move dates, ascending.
void CDynamics::BuildCalendar()
{
    const CRecordTable<MoveRecord>& moveTable = m_tables->Moves();
    const MoveRecord* moves = moveTable.Records();
    const int moveCount = moveTable.Count();
    m_calendar = 0;
    m_calendarCount = 0;
    m_calendarMoves = 0;
    int most = moveCount + 1;   // one date per move at most
    int room = most < kCalendarRoom ? most : kCalendarRoom;
    if (!AllocScratch(&m_calendar, (uint64_t)room * sizeof(CalendarEntry)))
        return;
    CFirstIndex seen;
    bool indexed = seen.Reset(kCalendarRoom);
    int i = 0;
    for (; moves && i < moveCount; ++i) {
        PackedDate date = moves[i].date;
        bool present;
        if (indexed) {
            present = seen.Find(date) >= 0;
        } else {
            present = false;
            for (int k = 0; k < m_calendarCount && !present; ++k)
                present = m_calendar[k].date == date;
        }
        if (present)
            continue;
        if (m_calendarCount == room) {
            room = room < most / 2 ? room * 2 : most;
            if (!AllocScratch(&m_calendar, (uint64_t)room * sizeof(CalendarEntry))) {
                // As when the whole calendar could not be had: none.
                if (m_calendar)
                    g_heapRegistry.Free(&m_calendar);
                m_calendar = 0;
                m_calendarCount = 0;
                return;
            }
        }
        m_calendar[m_calendarCount].date = date;
        if (indexed && !seen.AddFirst(date, m_calendarCount))
            indexed = false;   // the scan above still finds every date
        ++m_calendarCount;
    }
    m_calendarMoves = i;
    // The dates are distinct, so any ascending sort gives the insertion sort's order.
    std::sort(m_calendar, m_calendar + m_calendarCount,
              [](const CalendarEntry& a, const CalendarEntry& b) { return a.date < b.date; });
}

// A row for each goods item of the table that the supplier delivered a
// non-zero quantity of, in the order of the first such move: a step per move.
void CDynamics::BuildRows(const CGoodsStore& store, int32_t supplierId, IProgressSource* progress)
{
    // The tables are read afresh at every move: whatever the steps of the
    // progress bar let run may add to them.
    const CRecordTable<MoveRecord>& moves = m_tables->Moves();
    const CRecordTable<GoodsRecord>& goods = m_tables->Goods();
    CRecordTable<DynamicsRow>& rows = *m_rows;
    CFirstIndex rowByGoods;
    bool rowsIndexed = rowByGoods.Reset(64);

    CProgressSteps steps(progress, moves.Count());
    bool full = false;
    for (int i = 0; moves.Records() && i < moves.Count(); ++i) {
        const MoveRecord& m = moves[i];
        if (!full && m.supplierId == supplierId && m.suppliedQty != 0) {
            bool hasRow;
            if (rowsIndexed) {
                hasRow = rowByGoods.Find((uint32_t)m.goodsId) >= 0;
            } else {
                hasRow = false;
                for (int r = 0; r < rows.Count() && !hasRow; ++r)
                    hasRow = rows[r].goodsId == m.goodsId;
            }
            int g = hasRow ? -1 : store.FirstGoodsIndex(m.goodsId);
            if (g >= 0 && rows.Pending()) {
                DynamicsRow* row = rows.Pending();
                row->goodsIndex = g;
                row->goodsId = goods[g].id;
                row->goodsName = goods[g].name;
                int before = rows.Count();
                rows.Array().Append();
                if (rows.Count() > before && rowsIndexed && !rowByGoods.AddFirst((uint32_t)m.goodsId, before))
                    rowsIndexed = false;
                // A refused or failed append leaves no valid pending row.
                full = rows.Count() == before || !rows.Pending();
            }
        }
        steps.Step();
    }
}

// The series and the day-cell matrix. The matrix is only made here: a row is
// written when it is first read, so a build never touches the cells of the
// rows nobody looks at.
bool CDynamics::BuildSeriesAndCells()
{
    const CRecordTable<DynamicsRow>& rows = *m_rows;
    int count = rows.Records() ? rows.Count() : 0;
    if (count <= 0)
        return true;
    if (!AllocScratch(&m_series, (uint64_t)count * sizeof(DynamicsSeries)))
        return false;
    uint64_t cellCount = (uint64_t)count * (uint64_t)m_calendarCount;
    if (cellCount > 0 && !AllocScratch(&m_cells, cellCount * sizeof(DayCell))) {
        g_heapRegistry.Free(&m_series);
        m_series = 0;
        return false;
    }
    m_seriesCount = count;
    for (int j = 0; j < count; ++j) {
        m_series[j].row = rows[j];
        m_series[j].dayCount = m_calendarCount;
        m_series[j].index = j;
        m_series[j].cellsWorkedOut = false;
    }
    return true;
}

// The moves of every supplier that reach a row, in storage order: a step each.
// Every date of the moves the calendar was made from is in it; a move stored
// since may carry one that is not, which stops the count with its message.
void CDynamics::CountMoves(IProgressSource* progress, IMessageBoxes* boxes)
{
    const CRecordTable<MoveRecord>& moves = m_tables->Moves();
    CProgressSteps steps(progress, moves.Count());
    m_countedMoves = 0;
    if (m_seriesCount <= 0)
        return;
    CFirstIndex seriesByGoods;
    bool seriesIndexed = seriesByGoods.Reset(m_seriesCount);
    for (int j = 0; seriesIndexed && j < m_seriesCount; ++j)
        seriesIndexed = seriesByGoods.AddFirst((uint32_t)m_series[j].row.goodsId, j);

    int i = 0;
    for (; moves.Records() && i < moves.Count(); ++i) {
        const MoveRecord& m = moves[i];
        int j = -1;
        if (seriesIndexed) {
            j = seriesByGoods.Find((uint32_t)m.goodsId);
        } else {
            for (int r = 0; r < m_seriesCount && j < 0; ++r)
                if (m_series[r].row.goodsId == m.goodsId)
                    j = r;
        }
        if (j < 0)
            continue;
        bool dated = i < m_calendarMoves || DayIndex(m.date) >= 0;
        if (!dated || !m_cells) {
            m_countedMoves = i;
            ShowBox(boxes, "date is absent in calendar !!!", "Error in Dates");
            return;
        }
        steps.Step();
    }
    m_countedMoves = i;
}
