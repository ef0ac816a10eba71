// CStoreTables: the four tables of the store (goods, suppliers, movements,
// balances), each a record array with the variables it keeps, and the
// supplier template.
//
// It owns them, in the plug-in window as without one (tests, benchmarks):
// the list views are lent the arrays (Array) and only read them; the store
// fills the pending records and appends them; the list files save and load
// the arrays. A table exists once it is bound.
#ifndef ORVEX_STORETABLES_H
#define ORVEX_STORETABLES_H

#include "RecordTable.h"
#include "StoreRecords.h"

enum StoreTable
{
    GoodsTable = 0,
    SupplierTable = 1,
    MoveTable = 2,
    BalanceTable = 3,
    StoreTableCount = 4
};

// Growth steps of the tables' record arrays.
enum
{
    GoodsGrowthStep = 1000,
    SupplierGrowthStep = 1000,
    MoveGrowthStep = 10000,
    BalanceGrowthStep = 1000
};

class CStoreTables
{
public:
    CStoreTables();

    // Binds the four tables empty, or one of them; the supplier table takes
    // its template, the goods table keeps a current record. False when a
    // table could not be bound.
    bool Bind();
    bool Bind(StoreTable table);

    // The record array of a table, lent to the list view that shows it and
    // filed by the list files; null for a value that names no table.
    CRecordArray* Array(StoreTable table);

    CRecordTable<GoodsRecord>&          Goods() { return m_goods; }
    const CRecordTable<GoodsRecord>&    Goods() const { return m_goods; }
    CRecordTable<SupplierRecord>&       Suppliers() { return m_suppliers; }
    const CRecordTable<SupplierRecord>& Suppliers() const { return m_suppliers; }
    CRecordTable<MoveRecord>&           Moves() { return m_moves; }
    const CRecordTable<MoveRecord>&     Moves() const { return m_moves; }
    CRecordTable<BalanceRecord>&        Balances() { return m_balances; }
    const CRecordTable<BalanceRecord>&  Balances() const { return m_balances; }

private:
    // Copied into every new pending supplier record: all zero but the
    // delivery defaults, which AddSupplier overwrites.
    SupplierRecord               m_supplierTemplate;
    CRecordTable<GoodsRecord>    m_goods;
    CRecordTable<SupplierRecord> m_suppliers;
    CRecordTable<MoveRecord>     m_moves;
    CRecordTable<BalanceRecord>  m_balances;
};

#endif
