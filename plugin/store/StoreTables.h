// CStoreTables: the store's tables without a window.
//
// In the plug-in window the list views own the record arrays; where there is
// no window (tests, benchmarks) this object owns them instead, with the
// pending-record variables, the supplier template and the identifier mode,
// and binds them to a store with the record sizes and growth steps the list
// views use.
#ifndef ORVEX_STORETABLES_H
#define ORVEX_STORETABLES_H

#include "GoodsStore.h"
#include "cwin/system/RecordArray.h"

class CStoreTables
{
public:
    // progress and boxes: the store's progress and its message boxes (the frame
    // gives both); null: none shown, boxes without an owner window.
    explicit CStoreTables(CGoodsStore& store, IProgressSource* progress = 0, IMessageBoxes* boxes = 0);

    // Binds the four tables (empty) and the supplier template.
    bool Bind();

    CRecordArray goods;
    CRecordArray suppliers;
    CRecordArray moves;
    CRecordArray balances;
    CRecordArray rows;

    GoodsRecord*    goodsPending;
    GoodsRecord*    goodsCurrent;
    SupplierRecord* supplierPending;
    SupplierRecord  supplierTemplate;
    MoveRecord*     movePending;
    BalanceRecord*  balancePending;
    DynamicsRow*    rowPending;
    DynamicsRow*    rowCurrent;
    int32_t         idMode;

private:
    CGoodsStore& m_store;
};

// The supplier template: all zero except the delivery defaults.
void MakeSupplierTemplate(SupplierRecord* record);

#endif
