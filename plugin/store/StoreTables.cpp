// CStoreTables: record arrays and their variables for a store without a window.
#include "StoreTables.h"

#include <string.h>

void MakeSupplierTemplate(SupplierRecord* record)
{
    memset(record, 0, sizeof(*record));
    record->deliveryCost = 20000.0;
    record->deliveryTimeAvg = 1.0;
    record->deliveryTimeMax = 1.0;
}

CStoreTables::CStoreTables(CGoodsStore& store, IProgressSource* progress, IMessageBoxes* boxes)
    : goodsPending(0), goodsCurrent(0), supplierPending(0), movePending(0), balancePending(0),
      rowPending(0), rowCurrent(0), idMode(IdModeHex), m_store(store)
{
    MakeSupplierTemplate(&supplierTemplate);
    StoreBinding binding;
    binding.goods = &goods;
    binding.goodsPending = &goodsPending;
    binding.suppliers = &suppliers;
    binding.supplierPending = &supplierPending;
    binding.moves = &moves;
    binding.movePending = &movePending;
    binding.balances = &balances;
    binding.balancePending = &balancePending;
    binding.rows = &rows;
    binding.rowPending = &rowPending;
    binding.currentRow = &rowCurrent;
    binding.idMode = &idMode;
    binding.progress = progress;
    binding.boxes = boxes;
    m_store.SetBinding(binding);
}

bool CStoreTables::Bind()
{
    bool ok = goods.Bind(&m_store.goods, &goodsPending, &goodsCurrent, GoodsGrowthStep, &m_store.goodsCount);
    ok = suppliers.Bind(&m_store.suppliers, &supplierPending, SupplierGrowthStep, &m_store.supplierCount) && ok;
    suppliers.SetTemplate(&supplierTemplate);
    ok = moves.Bind(&m_store.moves, &movePending, MoveGrowthStep, &m_store.moveCount) && ok;
    ok = balances.Bind(&m_store.balances, &balancePending, BalanceGrowthStep, &m_store.balanceCount) && ok;
    return ok;
}
