// CGoodsStore: the plug-in's reference and movement store.
//
//   tables      goods, suppliers, movements, balances (record arrays bound to the
//               variables below), the add and find operations, the derived goods
//               figures and the identifier display            GoodsStore.cpp
//   list files  raw images of the four tables                 ListFiles.cpp
//   dynamics    calendar, one supplier's goods rows, series and day cells,
//               kept here and built by CDynamicsBuilder       DynamicsBuilder.cpp
//
// The record arrays belong to whoever shows the tables (the list views of the
// plug-in window, or CStoreTables without a window); the store owns the
// variables they keep up to date and only reads them.
#ifndef ORVEX_GOODSSTORE_H
#define ORVEX_GOODSSTORE_H

#include <stdint.h>

#include "FirstCodeIndex.h"
#include "FirstIndex.h"
#include "StoreRecords.h"
#include "cwin/system/MessageBox.h"
#include "cwin/system/Progress.h"

class CRecordArray;

// Where the tables' record arrays and their pending-record variables are.
struct StoreBinding
{
    CRecordArray*    goods;
    GoodsRecord**    goodsPending;
    CRecordArray*    suppliers;
    SupplierRecord** supplierPending;
    CRecordArray*    moves;
    MoveRecord**     movePending;
    CRecordArray*    balances;
    BalanceRecord**  balancePending;
    CRecordArray*    rows;          // dynamics rows
    DynamicsRow**    rowPending;
    DynamicsRow**    currentRow;
    const int32_t*   idMode;
    IProgressSource* progress;      // may be null, as may what it gives
    IMessageBoxes*   boxes;         // null: boxes without an owner window
};

class CGoodsStore
{
public:
    CGoodsStore();
    ~CGoodsStore();

    void SetBinding(const StoreBinding& binding);
    const StoreBinding& Binding() const { return m_binding; }

    // The add operations return true even when the record array refuses the
    // record; false only when the tables do not exist yet.
    bool AddGoods(int32_t id, const char* code, const char* name, double volume, int32_t assortment,
                  int32_t packQty, const char* note, double specialDelivery);
    bool AddSupplier(int32_t id, const char* code, const char* name, double deliveryCost,
                     double deliveryTimeAvg, double deliveryTimeMax);
    bool AddMove(PackedDate date, int32_t goodsId, int32_t supplierId, double suppliedQty,
                 double soldQty, double supplyValue, double saleValue);
    bool AddBalance(PackedDate date, int32_t goodsId, const char* goodsCode, double quantity);

    int32_t FindGoodsId(const char* code) const;
    int32_t FindSupplierId(const char* code) const;

    void RecomputeGoodsFigures();

    void FormatId(char* buffer, int bufferSize, int32_t id, const char* code, bool isGoods) const;

    // List files.
    enum ListTable { GoodsList = 0, SupplierList = 1, MoveList = 2, BalanceList = 3, ListCount = 4 };
    static const char* ListFileName(ListTable table);   // "GNList.dat" ...
    static const char* SavePathName(ListTable table);   // "c:\GNList.dat" ...
    bool SaveTable(ListTable table, const char* path);
    bool LoadTable(ListTable table, const char* path);
    bool SaveLists();   // to the root of drive c:; false when any file was not replaced
    void LoadLists();   // from the current directory

    // Dynamics of the goods that supplier `supplierSelection` (storage index)
    // delivers; a negative selection does nothing.
    bool BuildDynamics(int supplierSelection);
    void BuildCalendar();
    // The goods name of dynamics row r, resolved through its goods index.
    const char* RowGoodsName(int row) const;
    const DynamicsSeries* Series(int index) const
    {
        return index >= 0 && index < seriesCount ? &series[index] : 0;
    }

    // The first record of each id and of each code of the goods or the
    // supplier table, kept up to date as records are appended: a lookup first
    // takes in the records appended since the last one, and starts again when
    // the table was bound or loaded anew.
    struct TableLookup
    {
        TableLookup() : generation(0), indexed(-1) {}
        uint32_t        generation;   // of the record array when taken in
        int             indexed;      // records taken in; -1: none
        CFirstIndex     byId;
        CFirstCodeIndex byCode;
    };

    // Table variables, kept by the record arrays.
    GoodsRecord*    goods;
    int32_t         goodsCount;
    SupplierRecord* suppliers;
    int32_t         supplierCount;
    MoveRecord*     moves;
    int32_t         moveCount;
    BalanceRecord*  balances;
    int32_t         balanceCount;

    // Dynamics state.
    CalendarEntry*  calendar;
    int32_t         calendarCount;
    DynamicsRow*    rows;
    int32_t         rowCount;
    DynamicsSeries* series;
    int32_t         seriesCount;
    DayCell*        cells;   // the day-cell matrix; a series' row is filled when read

private:
    // The builder fills the dynamics state and uses the lookups and progress below.
    friend class CDynamicsBuilder;

    // Null when the lookup cannot be had: the callers scan then.
    const TableLookup* GoodsLookup() const;
    const TableLookup* SupplierLookup() const;

    CRecordArray* Table(ListTable table) const;
    // Storage index of the first goods record with this id, or -1.
    int FirstGoodsIndex(int32_t id) const;
    int FirstSupplierIndex(int32_t id) const;
    void StepProgress() const;
    void SetProgressRange(int maximum) const;
    int  ShowBox(const char* text, const char* caption) const;

    StoreBinding m_binding;
    // The progress of the operation under way, asked for once by SetProgressRange:
    // a step per move is a million steps a year.
    mutable IProgress* m_progress;
    mutable TableLookup m_goodsLookup;
    mutable TableLookup m_supplierLookup;
    // What the last build counted: the moves the calendar was made from, the
    // moves before the accumulation ended, the balances stored then.
    int32_t m_calendarMoves;
    int32_t m_countedMoves;
    int32_t m_builtBalances;
};

#endif
