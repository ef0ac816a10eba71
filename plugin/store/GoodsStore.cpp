// CGoodsStore: the four tables, the add and find operations, the derived goods
// figures and the identifier display; the dynamics build is forwarded.
#include "GoodsStore.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include "DynamicsBuilder.h"
#include "FirstIndex.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/system/RecordArray.h"
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

CGoodsStore::CGoodsStore()
    : goods(0), goodsCount(0), suppliers(0), supplierCount(0), moves(0), moveCount(0),
      balances(0), balanceCount(0), calendar(0), calendarCount(0), rows(0), rowCount(0),
      series(0), seriesCount(0), cells(0), m_progress(0), m_calendarMoves(0), m_countedMoves(0),
      m_builtBalances(0)
{
    memset(&m_binding, 0, sizeof(m_binding));
}

CGoodsStore::~CGoodsStore()
{
    CDynamicsBuilder(*this).Release();
}

void CGoodsStore::SetBinding(const StoreBinding& binding)
{
    m_binding = binding;
    m_progress = 0;
}

bool CGoodsStore::AddGoods(int32_t id, const char* code, const char* name, double volume,
                           int32_t assortment, int32_t packQty, const char* note,
                           double specialDelivery)
{
    if (!m_binding.goods || !m_binding.goodsPending || !*m_binding.goodsPending)
        return false;
    GoodsRecord* record = *m_binding.goodsPending;
    if (code) {
        CopyText(record->code, sizeof(record->code), code);
        // The key the append gives is the identifier: nothing is handed out in between.
        id = (int32_t)m_binding.goods->NextId(false);
    }
    record->id = id;
    CopyText(record->name, sizeof(record->name), name);
    record->volume = volume;
    record->assortment = assortment;
    record->packQty = packQty;
    CopyText(record->note, sizeof(record->note), note);
    record->specialDelivery = specialDelivery;
    m_binding.goods->Append();
    return true;
}

bool CGoodsStore::AddSupplier(int32_t id, const char* code, const char* name, double deliveryCost,
                              double deliveryTimeAvg, double deliveryTimeMax)
{
    if (!m_binding.suppliers || !m_binding.supplierPending || !*m_binding.supplierPending)
        return false;
    SupplierRecord* record = *m_binding.supplierPending;
    if (code) {
        CopyText(record->code, sizeof(record->code), code);
        id = (int32_t)m_binding.suppliers->NextId(false);
    }
    record->id = id;
    CopyText(record->name, sizeof(record->name), name);
    record->deliveryCost = deliveryCost;
    record->deliveryTimeAvg = deliveryTimeAvg;
    record->deliveryTimeMax = deliveryTimeMax;
    m_binding.suppliers->Append();
    return true;
}

bool CGoodsStore::AddMove(PackedDate date, int32_t goodsId, int32_t supplierId, double suppliedQty,
                          double soldQty, double supplyValue, double saleValue)
{
    if (!m_binding.moves || !m_binding.movePending || !*m_binding.movePending)
        return false;
    MoveRecord* record = *m_binding.movePending;
    record->date = date;
    record->goodsId = goodsId;
    record->supplierId = supplierId;
    record->suppliedQty = suppliedQty;
    record->soldQty = soldQty;
    record->supplyValue = supplyValue;
    record->saleValue = saleValue;
    m_binding.moves->Append();
    return true;
}

bool CGoodsStore::AddBalance(PackedDate date, int32_t goodsId, const char* goodsCode, double quantity)
{
    if (!m_binding.balances || !m_binding.balancePending || !*m_binding.balancePending)
        return false;
    if (goodsCode)
        goodsId = FindGoodsId(goodsCode);
    BalanceRecord* record = *m_binding.balancePending;
    record->date = date;
    record->goodsId = goodsId;
    record->quantity = quantity;
    m_binding.balances->Append();
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

// Brings `lookup` up to the `count` records stored now; false when it cannot be had.
template <class Record>
bool CatchUp(CGoodsStore::TableLookup& lookup, const CRecordArray* array, const Record* records, int count,
             CFirstCodeIndex::CodeOf codeOf)
{
    if (!array || !records)
        return false;
    if (lookup.indexed < 0 || lookup.generation != array->Generation() || count < lookup.indexed) {
        lookup.indexed = -1;
        if (!lookup.byId.Reset(count) || !lookup.byCode.Reset(count, codeOf, sizeof(records->code)))
            return false;
        lookup.generation = array->Generation();
        lookup.indexed = 0;
    }
    for (int i = lookup.indexed; i < count; ++i) {
        if (!lookup.byId.AddFirst((uint32_t)records[i].id, i) || !lookup.byCode.AddFirst(records, i)) {
            lookup.indexed = -1;   // incomplete: started again at the next lookup
            return false;
        }
    }
    lookup.indexed = count;
    return true;
}

}  // namespace

const CGoodsStore::TableLookup* CGoodsStore::GoodsLookup() const
{
    return CatchUp(m_goodsLookup, m_binding.goods, goods, goodsCount, GoodsCode) ? &m_goodsLookup : 0;
}

const CGoodsStore::TableLookup* CGoodsStore::SupplierLookup() const
{
    return CatchUp(m_supplierLookup, m_binding.suppliers, suppliers, supplierCount, SupplierCode)
               ? &m_supplierLookup : 0;
}

int32_t CGoodsStore::FindGoodsId(const char* code) const
{
    if (!code || !goods)
        return 0;
    if (const TableLookup* lookup = GoodsLookup()) {
        int i = lookup->byCode.Find(goods, code);
        return i >= 0 ? goods[i].id : 0;
    }
    for (int i = 0; i < goodsCount; ++i) {
        if (FieldEquals(goods[i].code, sizeof(goods[i].code), code))
            return goods[i].id;
    }
    return 0;
}

int32_t CGoodsStore::FindSupplierId(const char* code) const
{
    if (!code || !suppliers)
        return 0;
    if (const TableLookup* lookup = SupplierLookup()) {
        int i = lookup->byCode.Find(suppliers, code);
        return i >= 0 ? suppliers[i].id : 0;
    }
    for (int i = 0; i < supplierCount; ++i) {
        if (FieldEquals(suppliers[i].code, sizeof(suppliers[i].code), code))
            return suppliers[i].id;
    }
    return 0;
}

int CGoodsStore::FirstGoodsIndex(int32_t id) const
{
    if (!goods)
        return -1;
    if (const TableLookup* lookup = GoodsLookup())
        return lookup->byId.Find((uint32_t)id);
    for (int g = 0; g < goodsCount; ++g)
        if (goods[g].id == id)
            return g;
    return -1;
}

int CGoodsStore::FirstSupplierIndex(int32_t id) const
{
    if (!suppliers)
        return -1;
    if (const TableLookup* lookup = SupplierLookup())
        return lookup->byId.Find((uint32_t)id);
    for (int i = 0; i < supplierCount; ++i)
        if (suppliers[i].id == id)
            return i;
    return -1;
}

bool CGoodsStore::BuildDynamics(int supplierSelection)
{
    return CDynamicsBuilder(*this).Build(supplierSelection);
}

void CGoodsStore::BuildCalendar()
{
    CDynamicsBuilder(*this).BuildCalendar();
}

const char* CGoodsStore::RowGoodsName(int row) const
{
    if (!rows || row < 0 || row >= rowCount)
        return "";
    int g = rows[row].goodsIndex;
    if (!goods || g < 0 || g >= goodsCount)
        return "";
    return goods[g].name;
}

void CGoodsStore::SetProgressRange(int maximum) const
{
    m_progress = m_binding.progress ? m_binding.progress->GetProgress() : 0;
    if (m_progress)
        m_progress->SetRange(0, maximum);
}

int CGoodsStore::ShowBox(const char* text, const char* caption) const
{
    return m_binding.boxes ? m_binding.boxes->ShowBox(text, caption, MB_OK) : ShowMessageBox(NULL, text, caption, MB_OK);
}

void CGoodsStore::StepProgress() const
{
    if (m_progress)
        m_progress->Step();
}

void CGoodsStore::RecomputeGoodsFigures()
{
    if (!goods)
        return;
    for (int g = 0; g < goodsCount; ++g) {
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
    if (goodsCount > 0)
        g_heapRegistry.Alloc(&lastSupply, (SIZE_T)goodsCount * sizeof(int32_t));

    SetProgressRange(moveCount);
    for (int i = 0; moves && i < moveCount; ++i) {
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
        StepProgress();
    }

    for (int g = 0; g < goodsCount; ++g) {
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

void CGoodsStore::FormatId(char* buffer, int bufferSize, int32_t id, const char* code, bool isGoods) const
{
    if (!buffer || bufferSize <= 0)
        return;
    buffer[0] = 0;
    int mode = m_binding.idMode ? *m_binding.idMode : IdModeHex;
    if (mode == IdModeDecimal) {
        snprintf(buffer, (size_t)bufferSize, "%d", (int)id);
        return;
    }
    if (mode == IdModeCode) {
        char found[32];
        if (!code) {
            int i = isGoods ? FirstGoodsIndex(id) : FirstSupplierIndex(id);
            if (i < 0)
                return;
            memcpy(found, isGoods ? goods[i].code : suppliers[i].code, sizeof(found));
            found[sizeof(found) - 1] = 0;
            code = found;
        }
        if (code[0]) {
            snprintf(buffer, (size_t)bufferSize, "%s", code);
            return;
        }
    }
    snprintf(buffer, (size_t)bufferSize, "%.8x", (unsigned)id);
    for (char* p = buffer; *p; ++p)
        *p = (char)toupper((unsigned char)*p);
}
