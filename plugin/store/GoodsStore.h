// CGoodsStore: the plug-in's reference and movement store.
//
//   CGoodsStore   owns the four tables (CStoreTables); the add and find
//                 operations, the first record of an identifier, the derived
//                 goods figures                               GoodsStore.cpp
//   CStoreTables  the tables' record arrays and their variables
//                                                             StoreTables.cpp
//   CListFiles    the tables' list files                      ListFiles.cpp
//   CDynamics     one supplier's goods day by day, built from the tables
//                                                             Dynamics*.cpp
#ifndef ORVEX_GOODSSTORE_H
#define ORVEX_GOODSSTORE_H

#include <stdint.h>

#include "StoreTables.h"
#include "TableLookup.h"
#include "cwin/system/Progress.h"

class CGoodsStore
{
public:
    CGoodsStore();

    // The tables: they exist once bound (all at once, or each as its list is made).
    CStoreTables&       Tables() { return m_tables; }
    const CStoreTables& Tables() const { return m_tables; }

    // What shows the progress of RecomputeGoodsFigures (the frame gives it);
    // null: none shown.
    void SetProgressSource(IProgressSource* progress) { m_progressSource = progress; }

    // The add operations return true even when the record array refuses the
    // record; false only when the table does not exist yet.
    bool AddGoods(int32_t id, const char* code, const char* name, double volume, int32_t assortment,
                  int32_t packQty, const char* note, double specialDelivery);
    bool AddSupplier(int32_t id, const char* code, const char* name, double deliveryCost,
                     double deliveryTimeAvg, double deliveryTimeMax);
    bool AddMove(PackedDate date, int32_t goodsId, int32_t supplierId, double suppliedQty,
                 double soldQty, double supplyValue, double saleValue);
    bool AddBalance(PackedDate date, int32_t goodsId, const char* goodsCode, double quantity);

    // Identifier of the first record in storage order whose code is this
    // text; 0 when none is.
    int32_t FindGoodsId(const char* code) const;
    int32_t FindSupplierId(const char* code) const;
    // Storage index of the first goods or supplier record with this
    // identifier, or -1.
    int FirstGoodsIndex(int32_t id) const;
    int FirstSupplierIndex(int32_t id) const;

    void RecomputeGoodsFigures();

private:
    CGoodsStore(const CGoodsStore&) = delete;
    CGoodsStore& operator=(const CGoodsStore&) = delete;

    // Null when the lookup cannot be had: the callers scan then.
    const CTableLookup* GoodsLookup() const;
    const CTableLookup* SupplierLookup() const;

    CStoreTables        m_tables;
    IProgressSource*    m_progressSource;
    mutable CTableLookup m_goodsLookup;
    mutable CTableLookup m_supplierLookup;
};

#endif
