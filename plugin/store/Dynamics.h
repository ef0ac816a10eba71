// CDynamics: the day-by-day dynamics of the goods one supplier delivers, as a
// value built from the store's tables. It owns all it is made of:
//
//   calendar   every date on which any move was recorded, once, ascending
//   rows       the supplier's goods in the order of their first delivery, in a
//              record array that the dynamics list is lent (RowArray)
//   series     one per row, in row order
//   day cells  series x dates; a series' cells are worked out from the moves
//              and balances the build counted when they are first read
//
// Built by Build or Rebuild (DynamicsBuild.cpp); read here (Dynamics.cpp). A
// build describes the tables as they were when it was made.
#ifndef ORVEX_DYNAMICS_H
#define ORVEX_DYNAMICS_H

#include <stdint.h>

#include <memory>

#include "RecordTable.h"
#include "StoreRecords.h"
#include "cwin/system/MessageBox.h"
#include "cwin/system/Progress.h"

class CGoodsStore;
class CStoreTables;

struct CalendarEntry
{
    PackedDate date;
};

// One goods item of the chosen supplier, a record of the rows' array (key and
// row mark first). The name pointer is what the row was built with; readers
// resolve the name through goodsIndex, because the goods table may grow (and
// move) after the build.
struct DynamicsRow
{
    RecordHead  head;
    int32_t     goodsIndex;
    int32_t     goodsId;
    const char* goodsName;
    uint8_t     zero[56 - 16 - sizeof(void*)];
};

struct DayCell
{
    const CalendarEntry* entry;
    double opening;      // written by the report
    double receipt;
    double expense;
    double adjustment;
};

struct DynamicsSeries
{
    DynamicsRow row;
    int32_t     dayCount;
    int32_t     index;
    bool        cellsWorkedOut;   // set by the first DayCells of the series
};

enum { DynamicsGrowthStep = 1000 };

class CDynamics
{
public:
    // No calendar, rows, series or cells: the dynamics before the first build.
    CDynamics();
    ~CDynamics();
    CDynamics(CDynamics&& other) noexcept;
    CDynamics& operator=(CDynamics&& other) noexcept;
    CDynamics(const CDynamics&) = delete;
    CDynamics& operator=(const CDynamics&) = delete;

    // The dynamics of the goods that supplier `supplierId` delivers. Its two
    // passes over the moves show their progress on what `progress` gives; a
    // move dated outside the calendar stops the count with a message box
    // through `boxes` (null: a box without owner). Either may be null.
    static CDynamics Build(const CGoodsStore& store, int32_t supplierId, IProgressSource* progress,
                           IMessageBoxes* boxes);
    // Replaced by the dynamics of supplier `selection` (its storage index, as
    // the supplier box lists them); a selection that names no supplier keeps
    // this one. True.
    bool Rebuild(const CGoodsStore& store, int selection, IProgressSource* progress, IMessageBoxes* boxes);

    int                  CalendarCount() const { return m_calendarCount; }
    const CalendarEntry* Calendar() const { return m_calendar; }
    int                  RowCount() const { return m_rows ? m_rows->Count() : 0; }
    const DynamicsRow*   Rows() const { return m_rows ? m_rows->Records() : 0; }
    // The rows' record array, lent to the dynamics list: its current record is
    // the list's current row. Null before the first build.
    CRecordArray*        RowArray() { return m_rows ? &m_rows->Array() : 0; }
    // The goods name of row `row`, resolved through its goods index; "" when none.
    const char*          RowGoodsName(int row) const;
    int                  SeriesCount() const { return m_seriesCount; }
    const DynamicsSeries* Series(int index) const
    {
        return index >= 0 && index < m_seriesCount ? &m_series[index] : 0;
    }
    // The day cells of series `series` (its dayCount of them), worked out on
    // the first call; null when the build has none for it.
    DayCell* DayCells(int series);

private:
    void     Release();
    // The calendar index of a date, or -1.
    int      DayIndex(PackedDate date) const;
    DayCell* FillSeries(int j);

    // The steps of a build, in this order.
    void BuildCalendar();
    void BuildRows(const CGoodsStore& store, int32_t supplierId, IProgressSource* progress);
    bool BuildSeriesAndCells();
    void CountMoves(IProgressSource* progress, IMessageBoxes* boxes);

    // The tables the build was made from, read when cells are worked out.
    const CStoreTables* m_tables;
    CalendarEntry*      m_calendar;
    int32_t             m_calendarCount;
    // On the heap: the array keeps its variables by their addresses, and a
    // value moves.
    std::unique_ptr<CRecordTable<DynamicsRow>> m_rows;
    DynamicsSeries*     m_series;
    int32_t             m_seriesCount;
    DayCell*            m_cells;   // the day-cell matrix, row j for series j
    // What the build counted: the moves the calendar was made from, the moves
    // before the count ended, the balances stored then.
    int32_t m_calendarMoves;
    int32_t m_countedMoves;
    int32_t m_builtBalances;
};

#endif
