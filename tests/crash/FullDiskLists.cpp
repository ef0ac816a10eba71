// The list files on a real full disk, run by full-disk.sh with ORVEX_FULL_DISK
// naming the drive of a small file system with little room left: each table is
// saved over an old image there as SaveLists saves it; what does not fit fails
// and keeps its old image, what fits is the new image, and no temporary file
// stays.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string>

#include "GoodsStore.h"
#include "ListFiles.h"
#include "TestSupport.h"

namespace {

const char* const kNames[StoreTableCount] = {"GNList.dat", "SNList.dat", "GMList.dat", "GDList.dat"};

TEST(FullDisk, AListThatDoesNotFitKeepsItsOldImage)
{
    const char* drive = getenv("ORVEX_FULL_DISK");
    if (!drive)
        GTEST_SKIP() << "full-disk.sh gives the drive (ORVEX_FULL_DISK)";
    CGoodsStore store;
    CStoreTables& tables = store.Tables();
    CListFiles files(tables);
    ASSERT_TRUE(tables.Bind());
    // Small goods and supplier lists, and 20,000 moves: 1.6 MB, more than the room left.
    store.AddGoods(0, "G1", "Гвозди", 0.5, 2, 100, "", 0);
    store.AddSupplier(0, "S1", "ООО Метиз", 1200, 2, 5);
    for (int i = 0; i < 20000; ++i)
        store.AddMove(MakePackedDate(1 + i % 28, 1 + i % 12, 4), 1, 1, i, 0, 2.0 * i, 0);
    store.AddBalance(MakePackedDate(5, 2, 4), 1, NULL, 12.5);
    const std::string fresh[4] = {
        std::string((const char*)tables.Goods().Records(), 672),
        std::string((const char*)tables.Suppliers().Records(), 1112),
        std::string((const char*)tables.Moves().Records(), 20000u * 80),
        std::string((const char*)tables.Balances().Records(), 24)};
    const std::string old[4] = {std::string(2 * 672, 'g'), std::string(2 * 1112, 's'), std::string(3 * 80, 'm'),
                                std::string(2 * 24, 'd')};
    bool saved[4];
    for (int t = 0; t < 4; ++t) {
        const std::string path = std::string(drive) + kNames[t];
        ASSERT_TRUE(WriteBytes(path, old[t])) << path;
        saved[t] = files.SaveTable((StoreTable)t, path.c_str());
    }
    EXPECT_FALSE(saved[2]) << "the movement list fitted: the disk had too much room";
    for (int t = 0; t < 4; ++t) {
        const std::string path = std::string(drive) + kNames[t];
        std::string bytes;
        ASSERT_TRUE(ReadBytes(path, &bytes)) << path;
        EXPECT_TRUE(bytes == (saved[t] ? fresh[t] : old[t])) << path << ": " << bytes.size() << " bytes";
        EXPECT_FALSE(FileThere(path + ".tmp")) << path;
        printf("%s: %s\n", kNames[t], saved[t] ? "new image" : "old image kept");
    }
}

}  // namespace
