// CDynamics: the value's lifetime, its readers, and the day cells of a
// series, worked out when they are first read.
#include "Dynamics.h"

#include <algorithm>

#include "StoreTables.h"
#include "cwin/system/HeapRegistry.h"

CDynamics::CDynamics()
    : m_tables(0), m_calendar(0), m_calendarCount(0), m_series(0), m_seriesCount(0), m_cells(0),
      m_calendarMoves(0), m_countedMoves(0), m_builtBalances(0)
{
}

CDynamics::~CDynamics()
{
    Release();
}

CDynamics::CDynamics(CDynamics&& other) noexcept : CDynamics()
{
    *this = std::move(other);
}

CDynamics& CDynamics::operator=(CDynamics&& other) noexcept
{
    if (this == &other)
        return *this;
    Release();
    m_tables = other.m_tables;
    m_calendar = other.m_calendar;
    m_calendarCount = other.m_calendarCount;
    m_rows = std::move(other.m_rows);
    m_series = other.m_series;
    m_seriesCount = other.m_seriesCount;
    m_cells = other.m_cells;
    m_calendarMoves = other.m_calendarMoves;
    m_countedMoves = other.m_countedMoves;
    m_builtBalances = other.m_builtBalances;
    other.m_calendar = 0;
    other.m_series = 0;
    other.m_cells = 0;
    other.Release();
    return *this;
}

// The blocks go back to the registry; the rows' array frees its own.
void CDynamics::Release()
{
    if (m_calendar)
        g_heapRegistry.Free(&m_calendar);
    if (m_series)
        g_heapRegistry.Free(&m_series);
    if (m_cells)
        g_heapRegistry.Free(&m_cells);
    m_rows.reset();
    m_tables = 0;
    m_calendar = 0;
    m_calendarCount = 0;
    m_series = 0;
    m_seriesCount = 0;
    m_cells = 0;
    m_calendarMoves = 0;
    m_countedMoves = 0;
    m_builtBalances = 0;
}

const char* CDynamics::RowGoodsName(int row) const
{
    const DynamicsRow* rows = Rows();
    if (!rows || !m_tables || row < 0 || row >= RowCount())
        return "";
    const CRecordTable<GoodsRecord>& goods = m_tables->Goods();
    int g = rows[row].goodsIndex;
    if (!goods.Records() || g < 0 || g >= goods.Count())
        return "";
    return goods[g].name;
}

DayCell* CDynamics::DayCells(int series)
{
    if (series < 0 || series >= m_seriesCount)
        return 0;
    if (m_series[series].cellsWorkedOut)
        return m_cells ? m_cells + (size_t)series * (size_t)m_calendarCount : 0;
    m_series[series].cellsWorkedOut = true;
    return FillSeries(series);
}

int CDynamics::DayIndex(PackedDate date) const
{
    if (!m_calendar || m_calendarCount <= 0)
        return -1;
    const CalendarEntry* begin = m_calendar;
    const CalendarEntry* end = begin + m_calendarCount;
    const CalendarEntry* at = std::lower_bound(begin, end, date,
                                               [](const CalendarEntry& e, PackedDate d) { return e.date < d; });
    return at != end && at->date == date ? (int)(at - begin) : -1;
}

// Series j's row: each cell refers to its date; the goods' first balance (of
// those stored at the build) is set on the first date on or after its own, or
// the last date; then the counted moves of the goods are added in storage order.
DayCell* CDynamics::FillSeries(int j)
{
    if (j < 0 || j >= m_seriesCount || !m_cells || m_calendarCount <= 0 || !m_tables)
        return 0;
    DayCell* row = m_cells + (size_t)j * (size_t)m_calendarCount;
    for (int k = 0; k < m_calendarCount; ++k)
        row[k].entry = &m_calendar[k];
    int32_t goodsId = m_series[j].row.goodsId;

    const CRecordTable<BalanceRecord>& balanceTable = m_tables->Balances();
    const BalanceRecord* balances = balanceTable.Records();
    int balanceCount = balances ? std::min(m_builtBalances, (int32_t)balanceTable.Count()) : 0;
    for (int b = 0; b < balanceCount; ++b) {
        if (balances[b].goodsId != goodsId)
            continue;
        PackedDate date = balances[b].date;
        const CalendarEntry* at = std::lower_bound(
            m_calendar, m_calendar + m_calendarCount, date,
            [](const CalendarEntry& e, PackedDate d) { return e.date < d; });
        int a = (int)(at - m_calendar);
        if (a >= m_calendarCount)
            a = m_calendarCount - 1;
        row[a].adjustment = balances[b].quantity;
        break;   // later balances of the goods are ignored
    }

    const CRecordTable<MoveRecord>& moveTable = m_tables->Moves();
    const MoveRecord* moves = moveTable.Records();
    int moveCount = moves ? std::min(m_countedMoves, (int32_t)moveTable.Count()) : 0;
    for (int i = 0; i < moveCount; ++i) {
        const MoveRecord& m = moves[i];
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
