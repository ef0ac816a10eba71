// The list files' two locations: written to the root of drive c:, read from
// the current directory.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "FileFaults.h"
#include "StoreFixture.h"
#include "TestSupport.h"

namespace {

void RemoveRootLists()
{
    for (int t = 0; t < StoreTableCount; ++t)
        DeleteFileA(CListFiles::SavePath((StoreTable)t));
}

void Fill(CGoodsStore& store)
{
    store.AddGoods(0, "G1", "Гвозди", 0.5, 2, 100, "ящик", 3);
    store.AddGoods(77, NULL, "Шурупы", 0.25, 1, 50, "", 0);
    store.AddSupplier(0, "S1", "ООО Метиз", 1200, 2, 5);
    store.AddMove(MakePackedDate(3, 2, 4), 1, 1, 10, 0, 150, 0);
    store.AddMove(MakePackedDate(4, 2, 4), 1, 1, 0, 4, 0, 80);
    store.AddBalance(MakePackedDate(5, 2, 4), 77, NULL, 12.5);
    store.RecomputeGoodsFigures();
    store.Tables().Goods()[1].head.rowMark[0] = 1;   // as a list view leaves a focused row
}

template <class T>
void ExpectSameRecords(const CRecordTable<T>& a, const CRecordTable<T>& b)
{
    ASSERT_EQ(a.Count(), b.Count());
    EXPECT_EQ(memcmp(a.Records(), b.Records(), sizeof(T) * (size_t)a.Count()), 0);
}

TEST(ListFilesAtTheDriveRoot, SaveAndLoadInTheRootGiveBackTheSameTables)
{
    RemoveRootLists();
    CurrentDir root("c:\\");
    CGoodsStore saved;
    CStoreTables& savedTables = saved.Tables();
    ASSERT_TRUE(savedTables.Bind());
    Fill(saved);
    ASSERT_NE(savedTables.Goods()[0].purchasePrice, 0.0);
    CListFiles(savedTables).SaveLists();

    CGoodsStore loaded;
    CStoreTables& loadedTables = loaded.Tables();
    ASSERT_TRUE(loadedTables.Bind());
    CListFiles(loadedTables).LoadLists();
    ExpectSameRecords(savedTables.Goods(), loadedTables.Goods());
    ExpectSameRecords(savedTables.Suppliers(), loadedTables.Suppliers());
    ExpectSameRecords(savedTables.Moves(), loadedTables.Moves());
    ExpectSameRecords(savedTables.Balances(), loadedTables.Balances());
    EXPECT_EQ(loadedTables.Goods()[1].head.rowMark[0], 1);
    EXPECT_EQ(loadedTables.Goods()[0].purchasePrice, 15.0);
    RemoveRootLists();
}

TEST(ListFilesAtTheDriveRoot, ElsewhereTheSaveStillGoesToTheRootAndTheLoadDoesNotSeeIt)
{
    RemoveRootLists();
    ScratchDir scratch;
    CurrentDir here(scratch.Path());
    CGoodsStore saved;
    CStoreTables& savedTables = saved.Tables();
    ASSERT_TRUE(savedTables.Bind());
    Fill(saved);
    CListFiles(savedTables).SaveLists();
    std::string bytes;
    ASSERT_TRUE(ReadBytes("c:\\GNList.dat", &bytes));
    EXPECT_EQ(bytes.size(), 2u * 672u);
    ASSERT_TRUE(ReadBytes("c:\\SNList.dat", &bytes));
    EXPECT_EQ(bytes.size(), 1112u);
    ASSERT_TRUE(ReadBytes("c:\\GMList.dat", &bytes));
    EXPECT_EQ(bytes.size(), 2u * 80u);
    ASSERT_TRUE(ReadBytes("c:\\GDList.dat", &bytes));
    EXPECT_EQ(bytes.size(), 24u);
    EXPECT_FALSE(FileThere(scratch.File("GNList.dat")));

    CGoodsStore loaded;
    CStoreTables& loadedTables = loaded.Tables();
    ASSERT_TRUE(loadedTables.Bind());
    CListFiles(loadedTables).LoadLists();
    EXPECT_EQ(loadedTables.Goods().Count(), 0);
    EXPECT_EQ(loadedTables.Suppliers().Count(), 0);
    EXPECT_EQ(loadedTables.Moves().Count(), 0);
    EXPECT_EQ(loadedTables.Balances().Count(), 0);
    RemoveRootLists();
}

TEST(ListFilesAtTheDriveRoot, AnEmptyTableSavesAnEmptyFile)
{
    RemoveRootLists();
    CGoodsStore store;
    CStoreTables& tables = store.Tables();
    CListFiles files(tables);
    ASSERT_TRUE(tables.Bind());
    files.SaveLists();
    std::string bytes = "x";
    ASSERT_TRUE(ReadBytes("c:\\GMList.dat", &bytes));
    EXPECT_EQ(bytes.size(), 0u);
    RemoveRootLists();
}

// A list file held open by another program without sharing: its old bytes stay
// whole, the other three files are written.
TEST(ListFilesAtTheDriveRoot, ALockedListFileKeepsItsOldBytes)
{
    RemoveRootLists();
    ASSERT_TRUE(WriteBytes("c:\\SNList.dat", "old bytes"));
    HANDLE held = CreateFileA("c:\\SNList.dat", GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    CGoodsStore store;
    CStoreTables& tables = store.Tables();
    CListFiles files(tables);
    ASSERT_TRUE(tables.Bind());
    Fill(store);
    EXPECT_FALSE(files.SaveLists());
    CloseHandle(held);
    EXPECT_FALSE(FileThere("c:\\SNList.dat.tmp"));
    std::string bytes;
    ASSERT_TRUE(ReadBytes("c:\\SNList.dat", &bytes));
    EXPECT_EQ("old bytes", bytes);
    ASSERT_TRUE(ReadBytes("c:\\GNList.dat", &bytes));
    EXPECT_EQ(2u * 672u, bytes.size());
    ASSERT_TRUE(ReadBytes("c:\\GDList.dat", &bytes));
    EXPECT_EQ(24u, bytes.size());
    RemoveRootLists();
}

// The images a save must leave: each table's records as they are in memory.
std::string Image(const void* block, int count, size_t recordSize)
{
    return std::string(static_cast<const char*>(block), (size_t)count * recordSize);
}

// A year of a large business, for the crash command's sweep (ORVEX_SWEEP_YEAR):
// 10,000 goods, 500 suppliers, 1,000,000 moves, 10,000 balances.
void FillYear(CGoodsStore& store)
{
    char code[16];
    for (int i = 0; i < 500; ++i) {
        snprintf(code, sizeof(code), "S%d", i);
        store.AddSupplier(0, code, "Поставщик", 1000 + i, 1, 2);
    }
    for (int i = 0; i < 10000; ++i) {
        snprintf(code, sizeof(code), "G%d", i);
        store.AddGoods(0, code, "Товар", 0.1 * (i % 10), i % 5, 1 + i % 24, "", 0);
    }
    for (int i = 0; i < 1000000; ++i)
        store.AddMove(MakePackedDate(1 + i % 28, 1 + i % 12, 4), 1 + i % 10000, 1 + i % 500, i % 50, 0, i, 0);
    for (int i = 0; i < 10000; ++i)
        store.AddBalance(MakePackedDate(1 + i % 28, 1 + i % 12, 4), 1 + i, NULL, i % 200);
}

// At every failing file operation of a save, the file being written keeps its
// old image, the other three get the new one, and the save answers false.
TEST(ListFilesAtTheDriveRoot, EveryFailingOperationOfASaveLeavesOldOrNewImagesOnly)
{
    RemoveRootLists();
    CGoodsStore store;
    CStoreTables& tables = store.Tables();
    CListFiles files(tables);
    ASSERT_TRUE(tables.Bind());
    if (getenv("ORVEX_SWEEP_YEAR"))
        FillYear(store);
    else
        Fill(store);
    const std::string fresh[4] = {Image(tables.Goods().Records(), tables.Goods().Count(), 672),
                                  Image(tables.Suppliers().Records(), tables.Suppliers().Count(), 1112),
                                  Image(tables.Moves().Records(), tables.Moves().Count(), 80),
                                  Image(tables.Balances().Records(), tables.Balances().Count(), 24)};
    // Earlier images of other sizes, whole records each.
    const std::string old[4] = {std::string(3 * 672, 'g'), std::string(2 * 1112, 's'), std::string(5 * 80, 'm'),
                                std::string(4 * 24, 'd')};
    auto putOld = [&] {
        for (int t = 0; t < 4; ++t)
            ASSERT_TRUE(WriteBytes(CListFiles::SavePath((StoreTable)t), old[t]));
    };

    FileFaults faults;
    faults.Arm(0);
    ASSERT_TRUE(files.SaveLists());
    const std::string ops = faults.Log();
    ASSERT_EQ("cwfxmcwfxmcwfxmcwfxm", ops);
    const int points = FileFaults::Sweep(ops, [&](int n, FileFaults::Kind kind) {
        putOld();
        faults.Arm(n, kind);
        EXPECT_FALSE(files.SaveLists());
        const int failed = (n - 1) / 5;   // five operations per file
        for (int t = 0; t < 4; ++t) {
            const char* name = CListFiles::SavePath((StoreTable)t);
            std::string bytes;
            ASSERT_TRUE(ReadBytes(name, &bytes)) << name;
            EXPECT_TRUE(bytes == (t == failed ? old[t] : fresh[t])) << name << ": " << bytes.size() << " bytes";
            EXPECT_FALSE(FileThere(std::string(name) + ".tmp")) << name;
        }
    });
    EXPECT_EQ(24, points);
    RemoveRootLists();
}

}  // namespace
