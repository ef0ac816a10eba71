// CStoreTables: binding the four tables.
#include "StoreTables.h"

#include <string.h>

CStoreTables::CStoreTables()
{
    memset(&m_supplierTemplate, 0, sizeof(m_supplierTemplate));
    m_supplierTemplate.deliveryCost = 20000.0;
    m_supplierTemplate.deliveryTimeAvg = 1.0;
    m_supplierTemplate.deliveryTimeMax = 1.0;
}

bool CStoreTables::Bind()
{
    bool ok = true;
    for (int t = 0; t < StoreTableCount; ++t)
        ok = Bind((StoreTable)t) && ok;
    return ok;
}

bool CStoreTables::Bind(StoreTable table)
{
    switch (table) {
    case GoodsTable:
        // Every goods record gets its figures recomputed soon after a load.
        m_goods.Array().SetLoadsViews(false);
        return m_goods.Bind(GoodsGrowthStep, true);
    case SupplierTable: {
        bool ok = m_suppliers.Bind(SupplierGrowthStep);
        m_suppliers.Array().SetTemplate(&m_supplierTemplate);
        return ok;
    }
    case MoveTable:
        return m_moves.Bind(MoveGrowthStep);
    case BalanceTable:
        return m_balances.Bind(BalanceGrowthStep);
    default:
        return false;
    }
}

CRecordArray* CStoreTables::Array(StoreTable table)
{
    switch (table) {
    case GoodsTable:    return &m_goods.Array();
    case SupplierTable: return &m_suppliers.Array();
    case MoveTable:     return &m_moves.Array();
    case BalanceTable:  return &m_balances.Array();
    default:            return 0;
    }
}
