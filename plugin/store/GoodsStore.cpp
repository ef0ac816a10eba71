// CGoodsStore: the add and find operations and the derived goods figures.
#include "GoodsStore.h"

#include <string.h>

#include "ProgressSteps.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/system/Text.h"

namespace {

// Compares a fixed-size field with a text without reading past the field.
bool FieldEquals(const char* field, size_t size, const char* text)
{
    size_t n = strlen(text);
    if (n >= size)
        return false;
    return memcmp(field, text, n) == 0 && field[n] == 0;
}

}  // namespace

CGoodsStore::CGoodsStore() : m_progressSource(0) {}

bool CGoodsStore::AddGoods(int32_t id, const char* code, const char* name, double volume,
                           int32_t assortment, int32_t packQty, const char* note,
                           double specialDelivery)
{
    CRecordTable<GoodsRecord>& goods = m_tables.Goods();
    GoodsRecord* record = goods.Pending();
    if (!record)
        return false;
    if (code) {
        CopyText(record->code, sizeof(record->code), code);
        // The key the append gives is the identifier: nothing is handed out in between.
        id = (int32_t)goods.Array().NextId(false);
    }
    record->id = id;
    CopyText(record->name, sizeof(record->name), name);
    record->volume = volume;
    record->assortment = assortment;
    record->packQty = packQty;
    CopyText(record->note, sizeof(record->note), note);
    record->specialDelivery = specialDelivery;
    goods.Array().Append();
    return true;
}

bool CGoodsStore::AddSupplier(int32_t id, const char* code, const char* name, double deliveryCost,
                              double deliveryTimeAvg, double deliveryTimeMax)
{
    CRecordTable<SupplierRecord>& suppliers = m_tables.Suppliers();
    SupplierRecord* record = suppliers.Pending();
    if (!record)
        return false;
    if (code) {
        CopyText(record->code, sizeof(record->code), code);
        id = (int32_t)suppliers.Array().NextId(false);
    }
    record->id = id;
    CopyText(record->name, sizeof(record->name), name);
    record->deliveryCost = deliveryCost;
    record->deliveryTimeAvg = deliveryTimeAvg;
    record->deliveryTimeMax = deliveryTimeMax;
    suppliers.Array().Append();
    return true;
}

bool CGoodsStore::AddMove(PackedDate date, int32_t goodsId, int32_t supplierId, double suppliedQty,
                          double soldQty, double supplyValue, double saleValue)
{
    MoveRecord* record = m_tables.Moves().Pending();
    if (!record)
        return false;
    record->date = date;
    record->goodsId = goodsId;
    record->supplierId = supplierId;
    record->suppliedQty = suppliedQty;
    record->soldQty = soldQty;
    record->supplyValue = supplyValue;
    record->saleValue = saleValue;
    m_tables.Moves().Array().Append();
    return true;
}

bool CGoodsStore::AddBalance(PackedDate date, int32_t goodsId, const char* goodsCode, double quantity)
{
    BalanceRecord* record = m_tables.Balances().Pending();
    if (!record)
        return false;
    if (goodsCode)
        goodsId = FindGoodsId(goodsCode);
    record->date = date;
    record->goodsId = goodsId;
    record->quantity = quantity;
    m_tables.Balances().Array().Append();
    return true;
}

namespace {

const char* GoodsCode(const void* records, int index)
{
    return static_cast<const GoodsRecord*>(records)[index].code;
}

const char* SupplierCode(const void* records, int index)
{
    return static_cast<const SupplierRecord*>(records)[index].code;
}

// The identifier of the first record whose code is `code`: through the
// lookup when there is one, else by a scan in storage order.
template <class Record>
int32_t FindIdByCode(const CRecordTable<Record>& table, const CTableLookup* lookup, const char* code)
{
    const Record* records = table.Records();
    if (!code || !records)
        return 0;
    if (lookup) {
        int i = lookup->FindCode(records, code);
        return i >= 0 ? records[i].id : 0;
    }
    for (int i = 0; i < table.Count(); ++i) {
        if (FieldEquals(records[i].code, sizeof(records[i].code), code))
            return records[i].id;
    }
    return 0;
}

// The storage index of the first record with this identifier, or -1.
template <class Record>
int FindIndexById(const CRecordTable<Record>& table, const CTableLookup* lookup, int32_t id)
{
    const Record* records = table.Records();
    if (!records)
        return -1;
    if (lookup)
        return lookup->FindId((uint32_t)id);
    for (int i = 0; i < table.Count(); ++i)
        if (records[i].id == id)
            return i;
    return -1;
}

}  // namespace

const CTableLookup* CGoodsStore::GoodsLookup() const
{
    return m_goodsLookup.CatchUp(m_tables.Goods(), GoodsCode) ? &m_goodsLookup : 0;
}

const CTableLookup* CGoodsStore::SupplierLookup() const
{
    return m_supplierLookup.CatchUp(m_tables.Suppliers(), SupplierCode) ? &m_supplierLookup : 0;
}

int32_t CGoodsStore::FindGoodsId(const char* code) const
{
    if (!code || !m_tables.Goods().Records())
        return 0;
    return FindIdByCode(m_tables.Goods(), GoodsLookup(), code);
}

int32_t CGoodsStore::FindSupplierId(const char* code) const
{
    if (!code || !m_tables.Suppliers().Records())
        return 0;
    return FindIdByCode(m_tables.Suppliers(), SupplierLookup(), code);
}

int CGoodsStore::FirstGoodsIndex(int32_t id) const
{
    if (!m_tables.Goods().Records())
        return -1;
    return FindIndexById(m_tables.Goods(), GoodsLookup(), id);
}

int CGoodsStore::FirstSupplierIndex(int32_t id) const
{
    if (!m_tables.Suppliers().Records())
        return -1;
    return FindIndexById(m_tables.Suppliers(), SupplierLookup(), id);
}

void CGoodsStore::RecomputeGoodsFigures()
{
    // The tables are read afresh at every move: whatever the steps of the
    // progress bar let run may add to them.
    CRecordTable<GoodsRecord>& goods = m_tables.Goods();
    const CRecordTable<MoveRecord>& moves = m_tables.Moves();
    if (!goods.Records())
        return;
    for (int g = 0; g < goods.Count(); ++g) {
        GoodsRecord& r = goods[g];
        r.purchasePrice = r.suppliedQty = r.salePrice = r.soldQty = r.markup = 0;
        r.lastPurchasePrice = 0;
        r.lastPurchaseDate = 0;
        r.firstMoveDate = kUnsetDate;
    }
    // The storage index of the move that set lastPurchasePrice. Moves are taken
    // in storage order, so an entry that was set is always below i and one that
    // was not is 0: "entry < i" is "i > 0" either way, which is what stands in
    // when the array cannot be had (a full registry must not lose the figures).
    int32_t* lastSupply = 0;
    if (goods.Count() > 0)
        g_heapRegistry.Alloc(&lastSupply, (SIZE_T)goods.Count() * sizeof(int32_t));

    CProgressSteps steps(m_progressSource, moves.Count());
    for (int i = 0; moves.Records() && i < moves.Count(); ++i) {
        const MoveRecord& m = moves[i];
        int g = FirstGoodsIndex(m.goodsId);
        if (g >= 0) {
            GoodsRecord& r = goods[g];
            if (m.suppliedQty > 0 && m.supplyValue > 0) {
                r.suppliedQty += m.suppliedQty;
                r.purchasePrice += m.supplyValue;
                if (r.firstMoveDate == kUnsetDate || r.firstMoveDate > m.date)
                    r.firstMoveDate = m.date;
                bool later = lastSupply ? lastSupply[g] < i : i > 0;
                if (r.lastPurchaseDate < m.date || (r.lastPurchaseDate == m.date && later)) {
                    if (lastSupply)
                        lastSupply[g] = i;
                    r.lastPurchasePrice = m.supplyValue / m.suppliedQty;
                    r.lastPurchaseDate = m.date;
                }
            }
            if (m.soldQty > 0 && m.saleValue > 0) {
                r.soldQty += m.soldQty;
                r.salePrice += m.saleValue;
                if (r.firstMoveDate == kUnsetDate || r.firstMoveDate > m.date)
                    r.firstMoveDate = m.date;
            }
        }
        steps.Step();
    }

    for (int g = 0; g < goods.Count(); ++g) {
        GoodsRecord& r = goods[g];
        r.purchasePrice = r.suppliedQty != 0 ? r.purchasePrice / r.suppliedQty : 0;
        r.salePrice = r.soldQty != 0 ? r.salePrice / r.soldQty : 0;
        if (r.purchasePrice != 0)
            r.markup = (r.salePrice - r.purchasePrice) / r.purchasePrice;
        if (r.markup < 0)
            r.markup = 0;
    }
    if (lastSupply)
        g_heapRegistry.Free(&lastSupply);
}
