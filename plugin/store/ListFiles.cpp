// The list files: each table's record buffer written and read as a raw image.
// Written to the root of drive c:, read from the current directory.
#include "GoodsStore.h"

#include "cwin/system/RecordArray.h"

namespace {

const char* const kListNames[CGoodsStore::ListCount] = {
    "GNList.dat", "SNList.dat", "GMList.dat", "GDList.dat"};
const char* const kSaveNames[CGoodsStore::ListCount] = {
    "c:\\GNList.dat", "c:\\SNList.dat", "c:\\GMList.dat", "c:\\GDList.dat"};

void Terminate(char* field, size_t size)
{
    field[size - 1] = 0;
}

}  // namespace

const char* CGoodsStore::ListFileName(ListTable table)
{
    return table >= 0 && table < ListCount ? kListNames[table] : 0;
}

const char* CGoodsStore::SavePathName(ListTable table)
{
    return table >= 0 && table < ListCount ? kSaveNames[table] : 0;
}

CRecordArray* CGoodsStore::Table(ListTable table) const
{
    switch (table) {
    case GoodsList:    return m_binding.goods;
    case SupplierList: return m_binding.suppliers;
    case MoveList:     return m_binding.moves;
    case BalanceList:  return m_binding.balances;
    default:           return 0;
    }
}

bool CGoodsStore::SaveTable(ListTable table, const char* path)
{
    CRecordArray* array = Table(table);
    return array && path && array->Save(path);
}

bool CGoodsStore::LoadTable(ListTable table, const char* path)
{
    CRecordArray* array = Table(table);
    if (!array || !path || !array->Load(path))
        return false;
    // A file from elsewhere may hold texts that fill their fields: every text
    // is read as a string later, so its last byte must end it.
    if (table == GoodsList) {
        for (int i = 0; i < goodsCount; ++i) {
            Terminate(goods[i].code, sizeof(goods[i].code));
            Terminate(goods[i].name, sizeof(goods[i].name));
            Terminate(goods[i].note, sizeof(goods[i].note));
        }
    } else if (table == SupplierList) {
        for (int i = 0; i < supplierCount; ++i) {
            Terminate(suppliers[i].code, sizeof(suppliers[i].code));
            Terminate(suppliers[i].name, sizeof(suppliers[i].name));
        }
    }
    return true;
}

// Each file is replaced whole or not at all; one that fails does not keep the
// others from being saved.
bool CGoodsStore::SaveLists()
{
    bool all = true;
    for (int t = 0; t < ListCount; ++t)
        all = SaveTable((ListTable)t, kSaveNames[t]) && all;
    return all;
}

void CGoodsStore::LoadLists()
{
    for (int t = 0; t < ListCount; ++t)
        LoadTable((ListTable)t, kListNames[t]);
}
