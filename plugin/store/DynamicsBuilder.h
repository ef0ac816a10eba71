// CDynamicsBuilder: builds the store's dynamics state (calendar, one
// supplier's goods rows, series and day cells) from the store's tables.
#ifndef ORVEX_DYNAMICSBUILDER_H
#define ORVEX_DYNAMICSBUILDER_H

#include <stdint.h>

#include "StoreRecords.h"

class CGoodsStore;

// Holds nothing of its own: what it builds lives in the store, which frees it
// through Release when it goes.
class CDynamicsBuilder
{
public:
    explicit CDynamicsBuilder(CGoodsStore& store);

    // Dynamics of the goods that supplier `supplierSelection` (storage index)
    // delivers; a negative selection does nothing and keeps the last build.
    bool Build(int supplierSelection);
    // The distinct move dates, ascending.
    void BuildCalendar();
    // Frees the calendar, series and day cells; the rows belong to their record array.
    void Release();
    // The day cells of series j, worked out on the first call; null when none.
    DayCell* FillSeries(int j);

private:
    void BuildRows(int32_t supplierId);
    bool BuildSeriesAndCells();
    void CountMoves();
    int  DayIndex(PackedDate date) const;

    CGoodsStore& m_store;
};

#endif
