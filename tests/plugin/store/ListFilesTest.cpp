// The list files: raw record images, read from the current directory.
#include <string.h>

#include <string>

#include "IdText.h"
#include "cwin/system/HeapRegistry.h"
#include "StoreFixture.h"
#include "TestSupport.h"

namespace {

std::string Word(uint32_t v)
{
    return std::string(reinterpret_cast<const char*>(&v), 4);
}

std::string Double(double v)
{
    return std::string(reinterpret_cast<const char*>(&v), 8);
}

// A goods record image built field by field at the offsets of the layout.
std::string GoodsImage(uint32_t key, uint32_t id, const char* code, const char* name)
{
    std::string r(672, '\0');
    r.replace(0, 4, Word(key));
    r.replace(8, 4, Word(id));
    r.replace(12, strlen(code), code);
    r.replace(44, strlen(name), name);
    return r;
}

std::string MoveImages(int n)
{
    std::string bytes;
    for (int i = 0; i < n; ++i) {
        std::string r(80, '\0');
        r.replace(0, 4, Word((uint32_t)(i + 1)));
        r.replace(8, 4, Word(0x00040100u + (uint32_t)(i + 1)));   // 01.01.04 + i days
        r.replace(12, 4, Word(100u + (uint32_t)i));
        r.replace(24, 8, Double(i * 1.5));
        bytes += r;
    }
    return bytes;
}

class ListFilesTest : public StoreTest
{
protected:
    ListFilesTest() : folder(scratch.Path()) {}

    bool Put(const char* name, const std::string& bytes) { return WriteBytes(scratch.File(name), bytes); }
    std::string Saved(StoreTable table)
    {
        std::string path = scratch.File("saved.dat");
        EXPECT_TRUE(files.SaveTable(table, path.c_str()));
        std::string bytes;
        EXPECT_TRUE(ReadBytes(path, &bytes));
        return bytes;
    }

    ScratchDir scratch;
    CurrentDir folder;
};

TEST_F(ListFilesTest, ABalanceImageLoadsAndSavesByteForByte)
{
    const std::string image("\x03\x00\x00\x00" "\x00\x00\x00\x00" "\x05\x01\x04\x00" "\x07\x00\x00\x00"
                            "\x00\x00\x00\x00\x00\x00\x25\x40", 24);
    ASSERT_TRUE(Put("GDList.dat", image));
    files.LoadLists();
    ASSERT_EQ(tables.Balances().Count(), 1);
    EXPECT_EQ(tables.Balances()[0].head.key, 3);
    EXPECT_EQ(tables.Balances()[0].date, D(5, 1, 4));
    EXPECT_EQ(tables.Balances()[0].goodsId, 7);
    EXPECT_EQ(tables.Balances()[0].quantity, 10.5);
    EXPECT_EQ(Escaped(Saved(BalanceTable)), Escaped(image));
    EXPECT_EQ(tables.Goods().Count(), 0);
    EXPECT_EQ(tables.Suppliers().Count(), 0);
    EXPECT_EQ(tables.Moves().Count(), 0);
}

TEST_F(ListFilesTest, GoodsFieldsSitAtTheirOffsets)
{
    std::string r = GoodsImage(9, 1234, "КОД-1", "Гвозди 100 мм");
    r.replace(4, 1, "\x01");                 // focus mark
    r.replace(304, 8, Double(12.5));         // purchase price
    r.replace(336, 8, Double(0.2));          // markup
    r.replace(344, 4, Word(0x00040105u));    // first move date
    r.replace(376, 8, Double(1.125));        // dK
    r.replace(384, 1, "\x03");               // list icon
    r.replace(385, 1, "\x7f");               // reserved byte, kept
    r.replace(392, 8, Double(0.75));         // volume
    r.replace(400, 4, Word(5));
    r.replace(404, 4, Word(24));
    r.replace(408, 5, "notes");
    r.replace(664, 8, Double(3.0));
    ASSERT_TRUE(Put("GNList.dat", r));
    files.LoadLists();
    ASSERT_EQ(tables.Goods().Count(), 1);
    const GoodsRecord& g = tables.Goods()[0];
    EXPECT_EQ(g.head.key, 9);
    EXPECT_EQ(g.head.rowMark[0], 1);
    EXPECT_EQ(g.id, 1234);
    EXPECT_STREQ(g.code, "КОД-1");
    EXPECT_STREQ(g.name, "Гвозди 100 мм");
    EXPECT_EQ(g.purchasePrice, 12.5);
    EXPECT_EQ(g.markup, 0.2);
    EXPECT_EQ(g.firstMoveDate, D(5, 1, 4));
    EXPECT_EQ(g.dK, 1.125);
    EXPECT_EQ(g.listIcon, 3);
    EXPECT_EQ(g.volume, 0.75);
    EXPECT_EQ(g.assortment, 5);
    EXPECT_EQ(g.packQty, 24);
    EXPECT_STREQ(g.note, "notes");
    EXPECT_EQ(g.specialDelivery, 3.0);
    EXPECT_EQ(Escaped(Saved(GoodsTable)), Escaped(r));
}

TEST_F(ListFilesTest, OnlyWholeMultiplesOfTheRecordSizeLoad)
{
    ASSERT_TRUE(Put("GMList.dat", MoveImages(10)));
    EXPECT_TRUE(files.LoadTable(MoveTable, "GMList.dat"));
    ASSERT_EQ(tables.Moves().Count(), 10);
    EXPECT_EQ(tables.Moves()[9].goodsId, 109);
    EXPECT_EQ(tables.Moves()[9].suppliedQty, 13.5);

    // 801 bytes: refused whole, the table stays as it was.
    ASSERT_TRUE(Put("GMList.dat", MoveImages(10) + "x"));
    EXPECT_FALSE(files.LoadTable(MoveTable, "GMList.dat"));
    EXPECT_EQ(tables.Moves().Count(), 10);

    ASSERT_TRUE(Put("GMList.dat", ""));
    EXPECT_TRUE(files.LoadTable(MoveTable, "GMList.dat"));
    EXPECT_EQ(tables.Moves().Count(), 0);

    EXPECT_FALSE(files.LoadTable(SupplierTable, "SNList.dat"));   // missing
    EXPECT_EQ(tables.Suppliers().Count(), 0);
}

TEST_F(ListFilesTest, ATruncatedFileLeavesItsTableEmptyAndTheOthersLoaded)
{
    ASSERT_TRUE(Put("GNList.dat", GoodsImage(1, 1, "A", "a") + GoodsImage(2, 2, "B", "b").substr(0, 400)));
    ASSERT_TRUE(Put("GMList.dat", MoveImages(3)));
    files.LoadLists();
    EXPECT_EQ(tables.Goods().Count(), 0);
    EXPECT_EQ(tables.Moves().Count(), 3);
    // The empty table still takes new records.
    store.AddGoods(0, "N", "new", 0, 0, 0, "", 0);
    ASSERT_EQ(tables.Goods().Count(), 1);
    EXPECT_EQ(tables.Goods()[0].id, 1);
}

TEST_F(ListFilesTest, NewRecordsGetKeysThatTheFileDoesNotHold)
{
    ASSERT_TRUE(Put("GNList.dat", GoodsImage(1, 500, "A", "a") + GoodsImage(3, 501, "B", "b")));
    files.LoadLists();
    ASSERT_EQ(tables.Goods().Count(), 2);
    store.AddGoods(0, "C", "c", 0, 0, 0, "", 0);
    store.AddGoods(0, "D", "d", 0, 0, 0, "", 0);
    ASSERT_EQ(tables.Goods().Count(), 4);
    EXPECT_EQ(tables.Goods()[2].head.key, 2);
    EXPECT_EQ(tables.Goods()[2].id, 2);
    EXPECT_EQ(tables.Goods()[3].head.key, 4);
    EXPECT_EQ(tables.Goods()[3].id, 4);
    // Loaded identifiers are data and stay as they were.
    EXPECT_EQ(tables.Goods()[0].id, 500);
    EXPECT_EQ(store.FindGoodsId("B"), 501);
}

TEST_F(ListFilesTest, AKeyZeroRecordIsTheFreeSlotTheNextAddFills)
{
    // The file ends with a record whose key is 0.
    ASSERT_TRUE(Put("GNList.dat", GoodsImage(5, 5, "A", "a") + GoodsImage(0, 77, "junk", "junk")));
    files.LoadLists();
    ASSERT_EQ(tables.Goods().Count(), 1);
    EXPECT_EQ(tables.Goods().Pending(), &tables.Goods()[1]);
    EXPECT_STREQ(tables.Goods()[1].name, "");   // a fresh slot, not the junk
    store.AddGoods(0, "N", "new", 0, 0, 0, "", 0);
    ASSERT_EQ(tables.Goods().Count(), 2);
    EXPECT_STREQ(tables.Goods()[1].name, "new");
    EXPECT_EQ(tables.Goods()[1].head.key, 1);
    EXPECT_EQ(tables.Goods().Array().ViewCount(), 2);
}

TEST_F(ListFilesTest, KeyZeroRecordsInsideTheFileLeaveNoGapNoTwinRowAndNoEmptyRecord)
{
    ASSERT_TRUE(Put("GNList.dat", GoodsImage(5, 5, "A", "a") + GoodsImage(0, 77, "junk", "junk") +
                                      GoodsImage(6, 6, "B", "b") + GoodsImage(0, 0, "", "")));
    files.LoadLists();
    ASSERT_EQ(tables.Goods().Count(), 2);
    EXPECT_STREQ(tables.Goods()[0].name, "a");
    EXPECT_STREQ(tables.Goods()[1].name, "b");
    store.AddGoods(0, "N", "new", 0, 0, 0, "", 0);
    ASSERT_EQ(tables.Goods().Count(), 3);
    EXPECT_STREQ(tables.Goods()[2].name, "new");
    EXPECT_EQ(store.FindGoodsId("junk"), 0);

    // Every committed slot is listed once.
    ASSERT_EQ(tables.Goods().Array().ViewCount(), 3);
    EXPECT_EQ(tables.Goods().Array().View()[0], 0u);
    EXPECT_EQ(tables.Goods().Array().View()[1], 1u);
    EXPECT_EQ(tables.Goods().Array().View()[2], 2u);

    // The next save holds the three records, none of them empty.
    std::string saved = Saved(GoodsTable);
    ASSERT_EQ(saved.size(), 3u * 672u);
    EXPECT_EQ(saved.substr(0, 672), GoodsImage(5, 5, "A", "a"));
    EXPECT_EQ(saved.substr(672, 672), GoodsImage(6, 6, "B", "b"));
    EXPECT_EQ(Word(*reinterpret_cast<const uint32_t*>(saved.data() + 2 * 672)), Word(1));
}

TEST_F(ListFilesTest, TextsThatFillTheirFieldsAreEndedAtTheLastByte)
{
    std::string r = GoodsImage(1, 1, "", "");
    r.replace(12, 32, std::string(32, 'C'));
    r.replace(44, 260, std::string(260, 'N'));
    r.replace(408, 256, std::string(256, 'Z'));
    std::string s(1112, '\0');
    s.replace(0, 4, Word(1));
    s.replace(12, 32, std::string(32, 'c'));
    s.replace(44, 1024, std::string(1024, 'n'));
    ASSERT_TRUE(Put("GNList.dat", r));
    ASSERT_TRUE(Put("SNList.dat", s));
    files.LoadLists();
    ASSERT_EQ(tables.Goods().Count(), 1);
    ASSERT_EQ(tables.Suppliers().Count(), 1);
    EXPECT_EQ(std::string(tables.Goods()[0].code), std::string(31, 'C'));
    EXPECT_EQ(std::string(tables.Goods()[0].name), std::string(259, 'N'));
    EXPECT_EQ(std::string(tables.Goods()[0].note), std::string(255, 'Z'));
    EXPECT_EQ(std::string(tables.Suppliers()[0].code), std::string(31, 'c'));
    EXPECT_EQ(std::string(tables.Suppliers()[0].name), std::string(1023, 'n'));
    EXPECT_EQ(store.FindGoodsId(std::string(31, 'C').c_str()), 1);
}

TEST_F(ListFilesTest, GarbageFilesLoadAsRecordsThatEverythingCanUse)
{
    // Pseudo-random bytes, every key forced non-zero; the balance file is not a multiple.
    uint32_t seed = 12345;
    auto garbage = [&](size_t n) {
        std::string bytes(n, '\0');
        for (auto& c : bytes) {
            seed = seed * 1103515245u + 12345u;
            c = (char)(seed >> 16);
        }
        return bytes;
    };
    std::string goods = garbage(672 * 4), suppliers = garbage(1112 * 2), moves = garbage(80 * 50);
    for (int i = 0; i < 4; ++i) goods[672 * i] = 1 + i;
    for (int i = 0; i < 2; ++i) suppliers[1112 * i] = 1 + i;
    for (int i = 0; i < 50; ++i) moves[80 * i] = 1 + i;
    ASSERT_TRUE(Put("GNList.dat", goods));
    ASSERT_TRUE(Put("SNList.dat", suppliers));
    ASSERT_TRUE(Put("GMList.dat", moves));
    ASSERT_TRUE(Put("GDList.dat", garbage(24 * 3 + 5)));
    files.LoadLists();
    EXPECT_EQ(tables.Goods().Count(), 4);
    EXPECT_EQ(tables.Suppliers().Count(), 2);
    EXPECT_EQ(tables.Moves().Count(), 50);
    EXPECT_EQ(tables.Balances().Count(), 0);

    store.RecomputeGoodsFigures();
    char buffer[64];
    int idMode = IdModeCode;
    for (int i = 0; i < tables.Goods().Count(); ++i) {
        EXPECT_LT(strlen(tables.Goods()[i].name), 260u);
        FormatId(store, idMode, buffer, sizeof(buffer), tables.Goods()[i].id, NULL, true);
        EXPECT_LT(strlen(buffer), 32u);
    }
    BuildDynamics(0);
    BuildDynamics(1);
    store.AddMove(D(1, 1, 4), 1, 1, 1, 1, 1, 1);
    EXPECT_EQ(tables.Moves().Count(), 51);
}

}  // namespace

// Files of every size around the growth step of the moves (10,000): the
// records come in whole and in order, the pending record is the slot right
// after them and all zero, the capacity is whole growth steps, and the next
// move gets the lowest key not in the file.
namespace {

TEST_F(ListFilesTest, MoveFilesOfEverySizeLoadWholeWithThePendingSlotAfterThem)
{
    const int sizes[] = {0, 1, 2, 9999, 10000, 10001, 25000};
    for (int n : sizes) {
        SCOPED_TRACE(n);
        ASSERT_TRUE(Put("GMList.dat", MoveImages(n)));
        ASSERT_TRUE(files.LoadTable(MoveTable, "GMList.dat"));
        ASSERT_EQ(n, tables.Moves().Count());
        EXPECT_EQ(10000 * (n / 10000 + 1), tables.Moves().Array().Capacity());
        ASSERT_EQ(n, tables.Moves().Array().ViewCount());
        if (n > 0) {
            EXPECT_EQ(0u, tables.Moves().Array().View()[0]);
            EXPECT_EQ((uint32_t)(n - 1), tables.Moves().Array().View()[n - 1]);
            EXPECT_EQ((uint32_t)n, tables.Moves()[n - 1].head.key);
            EXPECT_EQ(100 + n - 1, tables.Moves()[n - 1].goodsId);
            EXPECT_EQ((n - 1) * 1.5, tables.Moves()[n - 1].suppliedQty);
        }
        ASSERT_EQ(&tables.Moves()[n], tables.Moves().Pending());
        EXPECT_EQ(std::string(80, '\0'), std::string(reinterpret_cast<const char*>(&tables.Moves()[n]), 80));

        store.AddMove(D(9, 9, 9), 7, 8, 1, 2, 3, 4);
        ASSERT_EQ(n + 1, tables.Moves().Count());
        EXPECT_EQ((uint32_t)(n + 1), tables.Moves()[n].head.key);
        EXPECT_EQ(n + 1, tables.Moves().Array().ViewCount());
        std::string saved = Saved(MoveTable);
        ASSERT_EQ((size_t)(n + 1) * 80, saved.size());
        EXPECT_TRUE(saved.compare(0, (size_t)n * 80, MoveImages(n)) == 0);
    }
}

// A large moves file is taken as a view of itself: what the store adds or
// recomputes never reaches the file, and saving over that very file writes
// the table as it is. The goods table, rewritten by its figures, is read.
TEST_F(ListFilesTest, ALargeMovesFileStaysAsItIsUntilSavedOverItself)
{
    const int n = 30001;   // 2.4 MB, not whole 64 KB units
    const std::string moves = MoveImages(n);
    std::string goods;
    for (int g = 0; g < 2000; ++g)   // 1.3 MB
        goods += GoodsImage((uint32_t)(g + 1), (uint32_t)(100 + g), "c", "n");
    ASSERT_TRUE(Put("GMList.dat", moves));
    ASSERT_TRUE(Put("GNList.dat", goods));
    files.LoadLists();
    ASSERT_EQ(n, tables.Moves().Count());
    ASSERT_EQ(2000, tables.Goods().Count());
#ifndef ORVEX_GUARD_PAGES
    EXPECT_TRUE(g_heapRegistry.IsFileView(tables.Moves().Records()));
#endif
    EXPECT_FALSE(g_heapRegistry.IsFileView(tables.Goods().Records()));
    EXPECT_EQ(100 + n - 1, tables.Moves()[n - 1].goodsId);

    store.RecomputeGoodsFigures();
    store.AddMove(D(9, 9, 9), 7, 8, 1, 2, 3, 4);
    ASSERT_TRUE(tables.Moves().Array().RemoveAt(0));
    std::string now;
    ASSERT_TRUE(ReadBytes(scratch.File("GMList.dat"), &now));
    EXPECT_TRUE(now == moves);

    ASSERT_TRUE(files.SaveTable(MoveTable, "GMList.dat"));
    ASSERT_TRUE(ReadBytes(scratch.File("GMList.dat"), &now));
    ASSERT_EQ((size_t)n * 80, now.size());
    EXPECT_TRUE(now.compare(0, (size_t)(n - 1) * 80, moves, 80, std::string::npos) == 0);
    EXPECT_EQ(Word((uint32_t)(n + 1)), now.substr((size_t)(n - 1) * 80, 4));
    EXPECT_EQ(Word(7), now.substr((size_t)(n - 1) * 80 + 12, 4));
}

// Sizes that are no whole number of records, and files of key-0 records only.
TEST_F(ListFilesTest, PartRecordsAreRefusedAndKeyZeroRecordsAreFreeSlots)
{
    ASSERT_TRUE(Put("GMList.dat", MoveImages(3)));
    ASSERT_TRUE(files.LoadTable(MoveTable, "GMList.dat"));
    const size_t wrong[] = {1, 79, 81, 10000 * 80 + 79};
    for (size_t bytes : wrong) {
        SCOPED_TRACE(bytes);
        std::string image = MoveImages((int)(bytes / 80));
        image += std::string(bytes % 80, 'x');
        ASSERT_TRUE(Put("GMList.dat", image));
        EXPECT_FALSE(files.LoadTable(MoveTable, "GMList.dat"));
        EXPECT_EQ(3, tables.Moves().Count());   // as it was
    }

    // One record, key 0: an empty table whose pending record is slot 0, zeroed.
    std::string zero = GoodsImage(0, 9, "Z", "zero");
    ASSERT_TRUE(Put("GNList.dat", zero));
    ASSERT_TRUE(files.LoadTable(GoodsTable, "GNList.dat"));
    EXPECT_EQ(0, tables.Goods().Count());
    EXPECT_EQ(0, tables.Goods().Array().ViewCount());
    ASSERT_EQ(&tables.Goods()[0], tables.Goods().Pending());
    EXPECT_STREQ("", tables.Goods()[0].code);
    EXPECT_EQ(0, store.FindGoodsId("Z"));
    store.AddGoods(0, "N", "new", 0, 0, 0, "", 0);
    ASSERT_EQ(1, tables.Goods().Count());
    EXPECT_EQ(1, tables.Goods()[0].head.key);

    // Key 0 first, then records: they close up in their order.
    ASSERT_TRUE(Put("GNList.dat", zero + GoodsImage(4, 40, "P", "p") + zero + GoodsImage(2, 20, "Q", "q")));
    ASSERT_TRUE(files.LoadTable(GoodsTable, "GNList.dat"));
    ASSERT_EQ(2, tables.Goods().Count());
    EXPECT_EQ(40, store.FindGoodsId("P"));
    EXPECT_EQ(20, store.FindGoodsId("Q"));
    EXPECT_EQ(&tables.Goods()[2], tables.Goods().Pending());
    store.AddGoods(0, "R", "r", 0, 0, 0, "", 0);
    EXPECT_EQ(1, tables.Goods()[2].head.key);   // the lowest key not in use
}

}  // namespace
