// The store's add, find and figures, through its operations; its lookups
// also as the identifier display uses them.
#include <string.h>

#include "IdText.h"
#include "cwin/system/HeapRegistry.h"
#include "StoreFixture.h"
#include "TestSupport.h"

namespace {

typedef StoreTest GoodsStoreAdd;

TEST_F(GoodsStoreAdd, GoodsWithCodesGetTheRecordArrayKeysAsIdentifiers)
{
    EXPECT_TRUE(store.AddGoods(500, "A-1", "Молоко", 0.25, 3, 12, "в коробке", 7.0));
    EXPECT_TRUE(store.AddGoods(600, "A-2", "Кефир", 0.5, 1, 6, "", 0.0));
    ASSERT_EQ(tables.Goods().Count(), 2);
    EXPECT_EQ(tables.Goods()[0].head.key, 1);
    EXPECT_EQ(tables.Goods()[0].id, 1);
    EXPECT_EQ(tables.Goods()[1].head.key, 2);
    EXPECT_EQ(tables.Goods()[1].id, 2);

    const GoodsRecord& g = tables.Goods()[0];
    EXPECT_STREQ(g.code, "A-1");
    EXPECT_STREQ(g.name, "Молоко");
    EXPECT_EQ(g.volume, 0.25);
    EXPECT_EQ(g.assortment, 3);
    EXPECT_EQ(g.packQty, 12);
    EXPECT_STREQ(g.note, "в коробке");
    EXPECT_EQ(g.specialDelivery, 7.0);
    // Derived figures, dK and the icon stay as the fresh slot had them.
    EXPECT_EQ(g.purchasePrice, 0.0);
    EXPECT_EQ(g.dK, 0.0);
    EXPECT_EQ(g.listIcon, 0);
    EXPECT_EQ(g.firstMoveDate, 0u);
}

TEST_F(GoodsStoreAdd, GoodsWithoutCodeKeepTheCallersIdentifier)
{
    store.AddGoods(42, NULL, "Сыр", 0, 0, 0, "x", 0);
    ASSERT_EQ(tables.Goods().Count(), 1);
    EXPECT_EQ(tables.Goods()[0].id, 42);
    EXPECT_EQ(tables.Goods()[0].head.key, 1);
    EXPECT_STREQ(tables.Goods()[0].code, "");
}

TEST_F(GoodsStoreAdd, TextsAreCutToTheirFieldsAndNullReadsNull)
{
    std::string longCode(40, 'K');
    std::string longName(300, 'N');
    std::string longNote(400, 'Z');
    store.AddGoods(0, longCode.c_str(), longName.c_str(), 0, 0, 0, longNote.c_str(), 0);
    store.AddGoods(0, "B", NULL, 0, 0, 0, NULL, 0);
    const GoodsRecord& g = tables.Goods()[0];
    EXPECT_EQ(std::string(g.code), std::string(31, 'K'));
    EXPECT_EQ(std::string(g.name), std::string(259, 'N'));
    EXPECT_EQ(std::string(g.note), std::string(255, 'Z'));
    EXPECT_STREQ(tables.Goods()[1].name, "(null)");
    EXPECT_STREQ(tables.Goods()[1].note, "(null)");

    std::string longSupplier(1500, 'S');
    store.AddSupplier(0, NULL, longSupplier.c_str(), 1, 2, 3);
    EXPECT_EQ(std::string(tables.Suppliers()[0].name), std::string(1023, 'S'));
}

TEST_F(GoodsStoreAdd, SuppliersTakeTheirValuesAndNewPendingRecordsTheTemplate)
{
    store.AddSupplier(7, "P1", "ООО Ромашка", 1500.5, 2.5, 4.0);
    ASSERT_EQ(tables.Suppliers().Count(), 1);
    const SupplierRecord& s = tables.Suppliers()[0];
    EXPECT_EQ(s.id, 1);   // a code was given
    EXPECT_STREQ(s.code, "P1");
    EXPECT_STREQ(s.name, "ООО Ромашка");
    EXPECT_EQ(s.deliveryCost, 1500.5);
    EXPECT_EQ(s.deliveryTimeAvg, 2.5);
    EXPECT_EQ(s.deliveryTimeMax, 4.0);
    // The next record the table offers carries the delivery defaults.
    SupplierRecord* pending = tables.Suppliers().Pending();
    ASSERT_NE(pending, nullptr);
    EXPECT_EQ(pending->deliveryCost, 20000.0);
    EXPECT_EQ(pending->deliveryTimeAvg, 1.0);
    EXPECT_EQ(pending->deliveryTimeMax, 1.0);
    EXPECT_STREQ(pending->name, "");
}

TEST_F(GoodsStoreAdd, MovesAreStoredUnchanged)
{
    store.AddMove(D(5, 1, 4), 12, -3, -2.5, 1e9, 0.0, -7.25);
    ASSERT_EQ(tables.Moves().Count(), 1);
    const MoveRecord& m = tables.Moves()[0];
    EXPECT_EQ(m.date, 0x00040105u);
    EXPECT_EQ(m.goodsId, 12);
    EXPECT_EQ(m.supplierId, -3);
    EXPECT_EQ(m.suppliedQty, -2.5);
    EXPECT_EQ(m.soldQty, 1e9);
    EXPECT_EQ(m.supplyValue, 0.0);
    EXPECT_EQ(m.saleValue, -7.25);
}

TEST_F(GoodsStoreAdd, BalancesResolveAGivenCodeAndOtherwiseKeepTheIdentifier)
{
    store.AddGoods(0, "G1", "Первый", 0, 0, 0, "", 0);
    store.AddGoods(0, "G2", "Второй", 0, 0, 0, "", 0);
    store.AddBalance(D(1, 2, 4), 77, "G2", 3.5);
    store.AddBalance(D(1, 2, 4), 77, "нет такого", 1.0);
    store.AddBalance(D(1, 2, 4), 77, NULL, 2.0);
    ASSERT_EQ(tables.Balances().Count(), 3);
    EXPECT_EQ(tables.Balances()[0].goodsId, 2);
    EXPECT_EQ(tables.Balances()[0].quantity, 3.5);
    EXPECT_EQ(tables.Balances()[1].goodsId, 0);
    EXPECT_EQ(tables.Balances()[2].goodsId, 77);
    EXPECT_EQ(tables.Balances()[2].date, D(1, 2, 4));
}

TEST(GoodsStoreUnbound, AddsAreRefusedAndLookupsFindNothing)
{
    CGoodsStore store;
    EXPECT_FALSE(store.AddGoods(1, "A", "a", 0, 0, 0, "", 0));
    EXPECT_FALSE(store.AddSupplier(1, "A", "a", 0, 0, 0));
    EXPECT_FALSE(store.AddMove(D(1, 1, 4), 1, 1, 1, 0, 1, 0));
    EXPECT_FALSE(store.AddBalance(D(1, 1, 4), 1, NULL, 1));
    EXPECT_EQ(store.FindGoodsId("A"), 0);
    EXPECT_EQ(store.FindSupplierId("A"), 0);
    store.RecomputeGoodsFigures();
    CDynamics dynamics;
    EXPECT_TRUE(dynamics.Rebuild(store, 0, NULL, NULL));
    EXPECT_EQ(dynamics.RowCount(), 0);
}

typedef StoreTest GoodsStoreFind;

TEST_F(GoodsStoreFind, ExactWholeCodeFirstStoredWins)
{
    store.AddGoods(0, "A1", "first", 0, 0, 0, "", 0);
    store.AddGoods(0, "A1", "second", 0, 0, 0, "", 0);
    store.AddGoods(0, "A10", "third", 0, 0, 0, "", 0);
    EXPECT_EQ(store.FindGoodsId("A1"), 1);
    EXPECT_EQ(store.FindGoodsId("A10"), 3);
    EXPECT_EQ(store.FindGoodsId("a1"), 0);
    EXPECT_EQ(store.FindGoodsId("A"), 0);
    EXPECT_EQ(store.FindGoodsId(""), 0);
    EXPECT_EQ(store.FindGoodsId(NULL), 0);
}

TEST_F(GoodsStoreFind, ALongCodeIsFoundByItsFirst31Characters)
{
    std::string code = "0123456789012345678901234567890123456789";
    store.AddGoods(0, code.c_str(), "x", 0, 0, 0, "", 0);
    store.AddSupplier(0, code.c_str(), "y", 0, 0, 0);
    EXPECT_EQ(store.FindGoodsId(code.c_str()), 0);
    EXPECT_EQ(store.FindGoodsId(code.substr(0, 31).c_str()), 1);
    EXPECT_EQ(store.FindSupplierId(code.c_str()), 0);
    EXPECT_EQ(store.FindSupplierId(code.substr(0, 31).c_str()), 1);
}

TEST_F(GoodsStoreFind, SuppliersByCodeIdentifiersGivenWithoutCode)
{
    EXPECT_EQ(store.FindSupplierId("P"), 0);   // empty table
    store.AddSupplier(90, NULL, "без кода", 0, 0, 0);
    store.AddSupplier(0, "P", "с кодом", 0, 0, 0);
    EXPECT_EQ(store.FindSupplierId("P"), 2);
    EXPECT_EQ(store.FindSupplierId(""), 90);   // the record without code has an empty one
}

typedef StoreTest GoodsFigures;

TEST_F(GoodsFigures, PricesMarkupAndDatesFromPricedMovesOnly)
{
    store.AddGoods(0, "A", "a", 0, 0, 0, "", 0);   // id 1
    store.AddGoods(0, "B", "b", 0, 0, 0, "", 0);   // id 2
    store.AddGoods(0, "C", "c", 0, 0, 0, "", 0);   // id 3
    store.AddMove(D(10, 1, 4), 1, 1, 10, 0, 100, 0);
    store.AddMove(D(5, 1, 4), 1, 1, 5, 0, 60, 0);
    store.AddMove(D(12, 1, 4), 1, 1, 0, 4, 0, 60);
    store.AddMove(D(12, 1, 4), 1, 1, 0, 2, 0, 0);     // sale without value: not counted
    store.AddMove(D(10, 1, 4), 1, 1, 5, 0, 70, 0);    // same date as the latest supply, later
    store.AddMove(D(3, 1, 4), 2, 1, 3, 1, 0, 0);      // no values at all
    store.AddMove(D(6, 1, 4), 3, 1, 10, 0, 100, 0);
    store.AddMove(D(7, 1, 4), 3, 1, 0, 10, 0, 50);
    store.AddMove(D(1, 1, 4), 99, 1, 1, 1, 1, 1);     // unknown goods
    store.AddMove(D(2, 1, 4), 3, 1, -5, 0, 50, 0);    // negative quantity: not counted

    store.RecomputeGoodsFigures();

    const GoodsRecord& a = tables.Goods()[0];
    EXPECT_DOUBLE_EQ(a.suppliedQty, 20.0);
    EXPECT_DOUBLE_EQ(a.purchasePrice, 230.0 / 20.0);
    EXPECT_DOUBLE_EQ(a.soldQty, 4.0);
    EXPECT_DOUBLE_EQ(a.salePrice, 15.0);
    EXPECT_DOUBLE_EQ(a.markup, (15.0 - 11.5) / 11.5);
    EXPECT_EQ(a.firstMoveDate, D(5, 1, 4));
    EXPECT_DOUBLE_EQ(a.lastPurchasePrice, 14.0);
    EXPECT_EQ(a.lastPurchaseDate, D(10, 1, 4));

    const GoodsRecord& b = tables.Goods()[1];
    EXPECT_EQ(b.suppliedQty, 0.0);
    EXPECT_EQ(b.purchasePrice, 0.0);
    EXPECT_EQ(b.salePrice, 0.0);
    EXPECT_EQ(b.markup, 0.0);
    EXPECT_EQ(b.lastPurchaseDate, 0u);
    EXPECT_EQ(b.firstMoveDate, 0xFFFFFFFFu);

    const GoodsRecord& c = tables.Goods()[2];
    EXPECT_DOUBLE_EQ(c.purchasePrice, 10.0);
    EXPECT_DOUBLE_EQ(c.salePrice, 5.0);
    EXPECT_EQ(c.markup, 0.0);   // selling below cost shows no negative markup
    EXPECT_EQ(c.firstMoveDate, D(6, 1, 4));
    EXPECT_DOUBLE_EQ(c.lastPurchasePrice, 10.0);

    // One step per move, found or not.
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"range 0..10", "step 10"}));
}

TEST_F(GoodsFigures, AnEarlierDateNeverReplacesTheLastPurchase)
{
    store.AddGoods(0, "A", "a", 0, 0, 0, "", 0);
    store.AddMove(D(1, 1, 5), 1, 1, 2, 0, 10, 0);    // 01.01.05: price 5
    store.AddMove(D(31, 12, 4), 1, 1, 1, 0, 9, 0);   // 31.12.04, stored later: price 9
    store.RecomputeGoodsFigures();
    EXPECT_DOUBLE_EQ(tables.Goods()[0].lastPurchasePrice, 5.0);
    EXPECT_EQ(tables.Goods()[0].lastPurchaseDate, D(1, 1, 5));
    EXPECT_EQ(tables.Goods()[0].firstMoveDate, D(31, 12, 4));
}

TEST_F(GoodsFigures, ARecomputeStartsFromZeroAndTheFirstOfTwoEqualIdsGetsTheMoves)
{
    store.AddGoods(5, NULL, "first", 0, 0, 0, "", 0);
    store.AddGoods(5, NULL, "twin", 0, 0, 0, "", 0);
    tables.Goods()[0].markup = 3;
    tables.Goods()[1].purchasePrice = 8;
    tables.Goods()[1].lastPurchaseDate = D(1, 1, 1);
    store.AddMove(D(2, 2, 4), 5, 1, 4, 0, 20, 0);
    store.RecomputeGoodsFigures();
    EXPECT_DOUBLE_EQ(tables.Goods()[0].purchasePrice, 5.0);
    EXPECT_EQ(tables.Goods()[0].markup, 0.0);
    EXPECT_EQ(tables.Goods()[1].purchasePrice, 0.0);
    EXPECT_EQ(tables.Goods()[1].lastPurchaseDate, 0u);
    EXPECT_EQ(tables.Goods()[1].firstMoveDate, 0xFFFFFFFFu);
}

}  // namespace

namespace {

TEST_F(GoodsFigures, ASaleDatedBeforeTheFirstSupplyIsTheFirstMoveDate)
{
    store.AddGoods(0, "A", "a", 0, 0, 0, "", 0);
    store.AddMove(D(10, 3, 24), 1, 1, 4, 0, 20, 0);   // supply 10.03.24
    store.AddMove(D(1, 3, 24), 1, 1, 0, 2, 0, 16);    // sale 01.03.24, stored later
    store.RecomputeGoodsFigures();
    const GoodsRecord& a = tables.Goods()[0];
    EXPECT_EQ(a.firstMoveDate, D(1, 3, 24));
    EXPECT_EQ(a.lastPurchaseDate, D(10, 3, 24));
    EXPECT_DOUBLE_EQ(a.lastPurchasePrice, 5.0);
    EXPECT_DOUBLE_EQ(a.markup, (8.0 - 5.0) / 5.0);
}

TEST_F(GoodsStoreAdd, AddsOnAFullTableAnswerTrueAndAddNothing)
{
    tables.Goods().Array().SetMaximumCount(2);
    tables.Moves().Array().SetMaximumCount(1);
    EXPECT_TRUE(store.AddGoods(0, "A", "a", 0, 0, 0, "", 0));
    EXPECT_TRUE(store.AddGoods(0, "B", "b", 0, 0, 0, "", 0));
    EXPECT_TRUE(store.AddGoods(0, "C", "c", 0, 0, 0, "", 0));
    EXPECT_EQ(2, tables.Goods().Count());
    EXPECT_EQ(0, store.FindGoodsId("C"));
    EXPECT_EQ(2, store.FindGoodsId("B"));
    EXPECT_TRUE(store.AddMove(D(1, 1, 4), 1, 1, 1, 0, 1, 0));
    EXPECT_TRUE(store.AddMove(D(2, 1, 4), 2, 1, 1, 0, 1, 0));
    EXPECT_EQ(1, tables.Moves().Count());
    EXPECT_EQ(D(1, 1, 4), tables.Moves()[0].date);
    store.RecomputeGoodsFigures();
    EXPECT_DOUBLE_EQ(tables.Goods()[0].suppliedQty, 1.0);
    EXPECT_EQ(tables.Goods()[1].suppliedQty, 0.0);
}

// Every entry of the registry taken: the figures lose no move through their
// fallbacks, and the dynamics, which need blocks of their own, build nothing
// rather than half a build.
TEST_F(GoodsFigures, AFullRegistryLeavesTheFiguresRight)
{
    MessageBoxRecorder boxes;
    store.AddGoods(0, "A", "a", 0, 0, 0, "", 0);
    store.AddGoods(0, "B", "b", 0, 0, 0, "", 0);
    store.AddSupplier(0, "S", "s", 0, 0, 0);
    store.AddMove(D(5, 1, 4), 1, 1, 2, 0, 10, 0);
    store.AddMove(D(5, 1, 4), 1, 1, 2, 0, 14, 0);   // same date, stored later: the last purchase
    store.AddMove(D(6, 1, 4), 2, 1, 3, 0, 3, 0);
    store.AddMove(D(7, 1, 4), 1, 1, 0, 1, 0, 9);
    std::vector<void*> taken;
    for (int i = 0; i < 2000; ++i) {
        void* block = NULL;
        if (!g_heapRegistry.Alloc(&block, 16))
            break;
        taken.push_back(block);
    }
    ASSERT_FALSE(boxes.Boxes().empty());   // the registry said it is full
    EXPECT_EQ("Programm notice", boxes.Boxes()[0].caption);

    store.RecomputeGoodsFigures();
    const GoodsRecord& a = tables.Goods()[0];
    EXPECT_DOUBLE_EQ(a.suppliedQty, 4.0);
    EXPECT_DOUBLE_EQ(a.purchasePrice, 6.0);
    EXPECT_DOUBLE_EQ(a.lastPurchasePrice, 7.0);
    EXPECT_EQ(a.lastPurchaseDate, D(5, 1, 4));
    EXPECT_DOUBLE_EQ(a.salePrice, 9.0);
    EXPECT_DOUBLE_EQ(a.markup, 0.5);
    EXPECT_DOUBLE_EQ(tables.Goods()[1].lastPurchasePrice, 1.0);

    EXPECT_TRUE(BuildDynamics(0));
    EXPECT_EQ(0, dynamics.SeriesCount());
    for (void* block : taken)
        g_heapRegistry.Free(&block);
    // With room again the same build is whole.
    EXPECT_TRUE(BuildDynamics(0));
    EXPECT_EQ(2, dynamics.RowCount());
    EXPECT_EQ(2, dynamics.SeriesCount());
    EXPECT_EQ(3, dynamics.CalendarCount());
}

}  // namespace

// The lookups by code and the identifier display in code mode give the first
// record in storage order that matches, however the table came to be: added,
// loaded from a list file, added to afterwards, with lookups in between.
namespace {

class StoreLookups : public StoreTest
{
protected:
    StoreLookups() : folder(scratch.Path()), idMode(IdModeHex) {}

    // The goods table saved and loaded back into the same store.
    void SaveAndLoadGoods()
    {
        std::string path = scratch.File("GNList.dat");
        ASSERT_TRUE(files.SaveTable(GoodsTable, path.c_str()));
        ASSERT_TRUE(files.LoadTable(GoodsTable, path.c_str()));
    }
    void SaveAndLoadSuppliers()
    {
        std::string path = scratch.File("SNList.dat");
        ASSERT_TRUE(files.SaveTable(SupplierTable, path.c_str()));
        ASSERT_TRUE(files.LoadTable(SupplierTable, path.c_str()));
    }
    std::string Shown(int32_t id, bool isGoods)
    {
        char buffer[64];
        strcpy(buffer, "stale");
        FormatId(store, idMode, buffer, sizeof(buffer), id, NULL, isGoods);
        return buffer;
    }

    ScratchDir scratch;
    CurrentDir folder;
    int idMode;   // the identifier display Shown formats in
};

TEST_F(StoreLookups, DuplicateCodesGiveTheFirstBeforeAndAfterALoadAndAfterMoreAdds)
{
    store.AddGoods(0, "A", "a1", 0, 0, 0, "", 0);      // id 1
    store.AddGoods(0, "B", "b", 0, 0, 0, "", 0);       // id 2
    store.AddGoods(0, "A", "a2", 0, 0, 0, "", 0);      // id 3
    EXPECT_EQ(1, store.FindGoodsId("A"));
    EXPECT_EQ(2, store.FindGoodsId("B"));
    store.AddGoods(0, "C", "c", 0, 0, 0, "", 0);       // id 4, added after a lookup
    store.AddGoods(0, "B", "b2", 0, 0, 0, "", 0);      // id 5
    EXPECT_EQ(4, store.FindGoodsId("C"));
    EXPECT_EQ(2, store.FindGoodsId("B"));
    EXPECT_EQ(0, store.FindGoodsId("D"));

    SaveAndLoadGoods();
    ASSERT_EQ(5, tables.Goods().Count());
    EXPECT_EQ(1, store.FindGoodsId("A"));
    EXPECT_EQ(2, store.FindGoodsId("B"));
    EXPECT_EQ(4, store.FindGoodsId("C"));
    store.AddGoods(0, "A", "a3", 0, 0, 0, "", 0);      // id 6
    store.AddGoods(0, "D", "d", 0, 0, 0, "", 0);       // id 7
    EXPECT_EQ(1, store.FindGoodsId("A"));
    EXPECT_EQ(7, store.FindGoodsId("D"));

    // The same for suppliers.
    store.AddSupplier(0, "S", "s1", 0, 0, 0);           // id 1
    store.AddSupplier(0, "S", "s2", 0, 0, 0);           // id 2
    EXPECT_EQ(1, store.FindSupplierId("S"));
    store.AddSupplier(0, "T", "t", 0, 0, 0);            // id 3
    SaveAndLoadSuppliers();
    EXPECT_EQ(1, store.FindSupplierId("S"));
    EXPECT_EQ(3, store.FindSupplierId("T"));
    store.AddSupplier(0, "T", "t2", 0, 0, 0);           // id 4
    store.AddSupplier(0, "U", "u", 0, 0, 0);            // id 5
    EXPECT_EQ(3, store.FindSupplierId("T"));
    EXPECT_EQ(5, store.FindSupplierId("U"));
}

// A file's records are data: the first record of a code is the first in the
// file, whatever identifiers the records carry; what the table held before the
// load is gone for the lookups too.
TEST_F(StoreLookups, ALoadedFileIsLookedUpInItsOwnOrder)
{
    store.AddGoods(0, "OLD", "old", 0, 0, 0, "", 0);
    EXPECT_EQ(1, store.FindGoodsId("OLD"));
    // Records without codes keep the caller's identifiers: 500 first, then 7.
    CGoodsStore other;
    CStoreTables& otherTables = other.Tables();
    ASSERT_TRUE(otherTables.Bind());
    other.AddGoods(500, NULL, "x", 0, 0, 0, "", 0);
    other.AddGoods(7, NULL, "y", 0, 0, 0, "", 0);
    strcpy(otherTables.Goods()[0].code, "K");
    strcpy(otherTables.Goods()[1].code, "K");
    std::string path = scratch.File("other.dat");
    ASSERT_TRUE(CListFiles(otherTables).SaveTable(GoodsTable, path.c_str()));

    ASSERT_TRUE(files.LoadTable(GoodsTable, path.c_str()));
    EXPECT_EQ(500, store.FindGoodsId("K"));
    EXPECT_EQ(0, store.FindGoodsId("OLD"));
    idMode = IdModeCode;
    EXPECT_EQ("K", Shown(500, true));
    EXPECT_EQ("", Shown(1, true));
}

// Thousands of adds with a lookup after each: the index grows many times and
// every answer is the first record of the code.
TEST_F(StoreLookups, LookupsBetweenThousandsOfAddsGiveTheFirstRecord)
{
    char code[16];
    for (int i = 0; i < 3000; ++i) {
        snprintf(code, sizeof(code), "C%d", i % 1000);
        store.AddGoods(0, code, "x", 0, 0, 0, "", 0);   // id i + 1
        // The first record of code i % 1000 is number i % 1000, id i % 1000 + 1.
        ASSERT_EQ(i % 1000 + 1, store.FindGoodsId(code)) << i;
        snprintf(code, sizeof(code), "C%d", (i * 7) % 1000);
        int first = (i * 7) % 1000;
        ASSERT_EQ(first <= i ? first + 1 : 0, store.FindGoodsId(code)) << i;
    }
}

// Code mode without a code: the code of the first record with the identifier,
// in the goods or the supplier table; hexadecimal when that code is empty;
// nothing when no record has it. Duplicate identifiers, a load and later adds.
TEST_F(StoreLookups, CodeModeShowsTheCodeOfTheFirstRecordWithTheIdentifier)
{
    store.AddGoods(10, NULL, "first ten", 0, 0, 0, "", 0);
    store.AddGoods(10, NULL, "second ten", 0, 0, 0, "", 0);
    strcpy(tables.Goods()[1].code, "TEN-2");               // the first one has no code
    store.AddGoods(0, "G3", "third", 0, 0, 0, "", 0);      // id 3
    store.AddSupplier(4, NULL, "s", 0, 0, 0);
    store.AddSupplier(0, "S2", "s2", 0, 0, 0);              // id 2
    store.AddSupplier(2, NULL, "another two", 0, 0, 0);

    idMode = IdModeHex;
    EXPECT_EQ("0000000A", Shown(10, true));
    EXPECT_EQ("00000063", Shown(99, false));
    idMode = IdModeDecimal;
    EXPECT_EQ("10", Shown(10, true));
    EXPECT_EQ("99", Shown(99, false));
    idMode = IdModeCode;
    EXPECT_EQ("0000000A", Shown(10, true));   // the first record of id 10 has no code
    EXPECT_EQ("G3", Shown(3, true));
    EXPECT_EQ("", Shown(4, true));            // no goods 4
    EXPECT_EQ("S2", Shown(2, false));         // the first supplier of id 2
    EXPECT_EQ("00000004", Shown(4, false));
    EXPECT_EQ("", Shown(3, false));

    store.AddGoods(0, "G4", "fourth", 0, 0, 0, "", 0);     // id 4, after the lookups
    EXPECT_EQ("G4", Shown(4, true));
    SaveAndLoadGoods();
    EXPECT_EQ("0000000A", Shown(10, true));
    EXPECT_EQ("G4", Shown(4, true));
    store.AddGoods(3, NULL, "a second three", 0, 0, 0, "", 0);
    strcpy(tables.Goods()[4].code, "LATE");
    EXPECT_EQ("G3", Shown(3, true));
}

}  // namespace
