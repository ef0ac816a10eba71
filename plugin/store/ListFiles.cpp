// CListFiles: each table's record block written and read as a raw image.
#include "ListFiles.h"

namespace {

const char* const kListNames[StoreTableCount] = {"GNList.dat", "SNList.dat", "GMList.dat", "GDList.dat"};
const char* const kSavePaths[StoreTableCount] = {"c:\\GNList.dat", "c:\\SNList.dat", "c:\\GMList.dat",
                                                 "c:\\GDList.dat"};

// Written only where needed: a table loaded as a view of its file keeps the
// file's pages until a byte of them changes.
void Terminate(char* field, size_t size)
{
    if (field[size - 1])
        field[size - 1] = 0;
}

}  // namespace

const char* CListFiles::FileName(StoreTable table)
{
    return table >= 0 && table < StoreTableCount ? kListNames[table] : 0;
}

const char* CListFiles::SavePath(StoreTable table)
{
    return table >= 0 && table < StoreTableCount ? kSavePaths[table] : 0;
}

bool CListFiles::SaveTable(StoreTable table, const char* path)
{
    CRecordArray* array = m_tables.Array(table);
    return array && path && array->Save(path);
}

bool CListFiles::LoadTable(StoreTable table, const char* path)
{
    CRecordArray* array = m_tables.Array(table);
    if (!array || !path || !array->Load(path))
        return false;
    // A file from elsewhere may hold texts that fill their fields: every text
    // is read as a string later, so its last byte must end it.
    if (table == GoodsTable) {
        CRecordTable<GoodsRecord>& goods = m_tables.Goods();
        for (int i = 0; i < goods.Count(); ++i) {
            Terminate(goods[i].code, sizeof(goods[i].code));
            Terminate(goods[i].name, sizeof(goods[i].name));
            Terminate(goods[i].note, sizeof(goods[i].note));
        }
    } else if (table == SupplierTable) {
        CRecordTable<SupplierRecord>& suppliers = m_tables.Suppliers();
        for (int i = 0; i < suppliers.Count(); ++i) {
            Terminate(suppliers[i].code, sizeof(suppliers[i].code));
            Terminate(suppliers[i].name, sizeof(suppliers[i].name));
        }
    }
    return true;
}

bool CListFiles::SaveLists()
{
    bool all = true;
    for (int t = 0; t < StoreTableCount; ++t)
        all = SaveTable((StoreTable)t, kSavePaths[t]) && all;
    return all;
}

void CListFiles::LoadLists()
{
    for (int t = 0; t < StoreTableCount; ++t)
        LoadTable((StoreTable)t, kListNames[t]);
}
