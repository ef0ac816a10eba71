// The calendar, the rows of one supplier's goods and their day cells.
#include "StoreFixture.h"
#include "TestSupport.h"

namespace {

class DynamicsTest : public StoreTest
{
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        store.AddSupplier(0, "S1", "Первый поставщик", 0, 0, 0);   // id 1
        store.AddSupplier(0, "S2", "Второй поставщик", 0, 0, 0);   // id 2
        store.AddGoods(0, "G1", "Товар 1", 0, 0, 0, "", 0);        // id 1
        store.AddGoods(0, "G2", "Товар 2", 0, 0, 0, "", 0);        // id 2
        store.AddGoods(0, "G3", "Товар 3", 0, 0, 0, "", 0);        // id 3
    }

    // The sample: four dates, goods 1 and 3 delivered by supplier 1.
    void AddSample()
    {
        store.AddMove(D(28, 12, 3), 1, 1, 10, 0, 100, 0);   // 0 receipt
        store.AddMove(D(5, 1, 4), 2, 1, 0, 5, 0, 50);       // 1 no supplied quantity: no row
        store.AddMove(D(5, 1, 4), 3, 2, 4, 0, 40, 0);       // 2 the other supplier's
        store.AddMove(D(6, 1, 4), 1, 2, 2, 0, 0, 0);        // 3 unpriced: adjustment
        store.AddMove(D(6, 1, 4), 99, 1, 3, 0, 30, 0);      // 4 goods not in the table
        store.AddMove(D(7, 1, 4), 3, 1, -1, 0, 5, 0);       // 5 negative, priced: receipt
        store.AddMove(D(7, 1, 4), 1, 1, 0, 3, 0, 30);       // 6 expense
        store.AddMove(D(7, 1, 4), 1, 1, 0, 1, 0, 0);        // 7 unpriced sale: adjustment
        store.AddMove(D(5, 1, 4), 1, 2, 3, 0, 0, 0);        // 8 unpriced, same day as a balance
        store.AddBalance(D(1, 1, 4), 1, NULL, 7);      // lands on 05.01.04
        store.AddBalance(D(1, 1, 5), 1, NULL, 100);    // second of goods 1: ignored
        store.AddBalance(D(31, 12, 5), 3, NULL, 9);    // after the last date: lands on 07.01.04
        store.AddBalance(D(1, 1, 4), 55, NULL, 1);     // unknown goods
    }

    const DayCell& Cell(int series, int day) { return store.series[series].cells[day]; }
};

TEST_F(DynamicsTest, CalendarHoldsEveryMoveDateOnceInDateOrder)
{
    store.AddMove(D(5, 1, 4), 1, 1, 1, 0, 1, 0);
    store.AddMove(D(28, 12, 3), 1, 1, 1, 0, 1, 0);
    store.AddMove(D(5, 1, 4), 2, 2, 0, 0, 0, 0);
    store.AddMove(D(1, 2, 3), 2, 2, 0, 0, 0, 0);
    store.BuildCalendar();
    ASSERT_EQ(store.calendarCount, 3);
    EXPECT_EQ(store.calendar[0].date, D(1, 2, 3));
    EXPECT_EQ(store.calendar[1].date, D(28, 12, 3));
    EXPECT_EQ(store.calendar[2].date, D(5, 1, 4));
}

TEST_F(DynamicsTest, RowsAreTheSuppliersDeliveredGoodsInOrderOfFirstDelivery)
{
    AddSample();
    EXPECT_TRUE(store.BuildDynamics(0));
    ASSERT_EQ(store.rowCount, 2);
    EXPECT_EQ(store.rows[0].goodsId, 1);
    EXPECT_EQ(store.rows[0].goodsIndex, 0);
    EXPECT_STREQ(store.RowGoodsName(0), "Товар 1");
    EXPECT_EQ(store.rows[1].goodsId, 3);
    EXPECT_EQ(store.rows[1].goodsIndex, 2);
    EXPECT_STREQ(store.RowGoodsName(1), "Товар 3");
    EXPECT_EQ(store.rows[0].head.key, 1);
    EXPECT_EQ(store.rows[1].head.key, 2);
    ASSERT_EQ(store.seriesCount, 2);
    EXPECT_EQ(store.series[1].index, 1);
    EXPECT_EQ(store.series[1].dayCount, 4);
    EXPECT_EQ(store.series[1].row.goodsId, 3);

    EXPECT_TRUE(store.BuildDynamics(1));
    ASSERT_EQ(store.rowCount, 2);
    EXPECT_EQ(store.rows[0].goodsId, 3);
    EXPECT_EQ(store.rows[1].goodsId, 1);
}

TEST_F(DynamicsTest, CellsCountEverySuppliersMovesAndTheFirstBalance)
{
    AddSample();
    store.BuildDynamics(0);
    ASSERT_EQ(store.calendarCount, 4);   // 28.12.03 05.01.04 06.01.04 07.01.04
    ASSERT_EQ(store.seriesCount, 2);

    // Goods 1.
    EXPECT_EQ(Cell(0, 0).receipt, 10.0);
    EXPECT_EQ(Cell(0, 0).adjustment, 0.0);
    EXPECT_EQ(Cell(0, 1).adjustment, 10.0);   // balance 7 + unpriced supply 3
    EXPECT_EQ(Cell(0, 1).receipt, 0.0);
    EXPECT_EQ(Cell(0, 2).adjustment, 2.0);
    EXPECT_EQ(Cell(0, 3).expense, 3.0);
    EXPECT_EQ(Cell(0, 3).adjustment, -1.0);
    // Goods 3: the other supplier's delivery counts, the negative receipt too.
    EXPECT_EQ(Cell(1, 1).receipt, 4.0);
    EXPECT_EQ(Cell(1, 3).receipt, -1.0);
    EXPECT_EQ(Cell(1, 3).adjustment, 9.0);
    EXPECT_EQ(Cell(1, 0).receipt + Cell(1, 0).expense + Cell(1, 0).adjustment, 0.0);

    for (int j = 0; j < 2; ++j)
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(Cell(j, k).entry, &store.calendar[k]);
            EXPECT_EQ(Cell(j, k).opening, 0.0);
        }

    // Row step: one per move; accumulation: one per move of a listed goods item.
    EXPECT_EQ(progress.calls,
              (std::vector<std::string>{"range 0..9", "step 9", "range 0..9", "step 7"}));
}

TEST_F(DynamicsTest, ABalanceBeforeTheFirstDateLandsOnTheFirstDay)
{
    store.AddMove(D(10, 3, 4), 2, 2, 1, 0, 1, 0);
    store.AddMove(D(12, 3, 4), 2, 2, 1, 0, 1, 0);
    store.AddBalance(D(1, 1, 4), 2, NULL, 6.5);
    store.BuildDynamics(1);
    ASSERT_EQ(store.seriesCount, 1);
    EXPECT_EQ(Cell(0, 0).adjustment, 6.5);
    EXPECT_EQ(Cell(0, 1).adjustment, 0.0);
}

TEST_F(DynamicsTest, NothingToListLeavesEmptyRows)
{
    // Supplier 2 has moves, none with a supplied quantity.
    store.AddMove(D(1, 1, 4), 1, 2, 0, 4, 0, 10);
    store.BuildDynamics(1);
    EXPECT_EQ(store.rowCount, 0);
    EXPECT_EQ(store.seriesCount, 0);
    EXPECT_EQ(store.calendarCount, 1);
}

TEST_F(DynamicsTest, WithoutMovesThereIsNoCalendarRowOrCell)
{
    store.BuildDynamics(0);
    EXPECT_EQ(store.calendarCount, 0);
    EXPECT_EQ(store.rowCount, 0);
    EXPECT_EQ(store.seriesCount, 0);
    EXPECT_EQ(store.cells, nullptr);
}

TEST_F(DynamicsTest, NoSelectionKeepsThePreviousBuild)
{
    AddSample();
    store.BuildDynamics(0);
    store.BuildDynamics(-1);
    store.BuildDynamics(5);   // no such supplier
    EXPECT_EQ(store.rowCount, 2);
    EXPECT_EQ(store.seriesCount, 2);
    EXPECT_EQ(Cell(0, 0).receipt, 10.0);
}

TEST_F(DynamicsTest, ARebuildReplacesEverything)
{
    AddSample();
    store.BuildDynamics(0);
    store.BuildDynamics(0);
    ASSERT_EQ(store.rowCount, 2);
    EXPECT_EQ(Cell(0, 0).receipt, 10.0);   // not 20
    EXPECT_EQ(store.rows[0].head.key, 1);
}

TEST_F(DynamicsTest, RowNamesFollowTheGoodsTableWhenItMoves)
{
    AddSample();
    store.BuildDynamics(0);
    const GoodsRecord* before = store.goods;
    for (int i = 0; i < 2500; ++i)   // grows the goods block past its first 1000 slots
        store.AddGoods(0, "X", "more", 0, 0, 0, "", 0);
    ASSERT_NE(store.goods, before);
    EXPECT_STREQ(store.RowGoodsName(0), "Товар 1");
    EXPECT_STREQ(store.RowGoodsName(1), "Товар 3");
    EXPECT_STREQ(store.RowGoodsName(2), "");
    EXPECT_STREQ(store.RowGoodsName(-1), "");
}

TEST_F(DynamicsTest, AMoveWhoseDateIsNotInTheCalendarStopsTheAccumulation)
{
    MessageBoxRecorder boxes;
    store.AddMove(D(1, 3, 4), 1, 1, 5, 0, 50, 0);
    store.AddMove(D(2, 3, 4), 1, 1, 0, 2, 0, 20);
    // A move added after the calendar was made, while the rows are built.
    bool added = false;
    progress.onStep = [&]() {
        if (!added) {
            added = true;
            store.AddMove(D(9, 9, 9), 1, 1, 1, 0, 1, 0);
            store.AddMove(D(2, 3, 4), 1, 1, 0, 7, 0, 70);
        }
    };
    store.BuildDynamics(0);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "date is absent in calendar !!!");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Error in Dates");
    EXPECT_EQ(boxes.Boxes()[0].type, (UINT)MB_OK);
    EXPECT_EQ(boxes.Boxes()[0].owner, (HWND)NULL);
    ASSERT_EQ(store.calendarCount, 2);
    EXPECT_EQ(Cell(0, 0).receipt, 5.0);
    EXPECT_EQ(Cell(0, 1).expense, 2.0);   // the sale of 7 after the bad move is not counted
}

}  // namespace

namespace {

// A supply or sale with a money value is a receipt or expense whatever its
// sign; a value of exactly 0 makes it a correction of the stock level.
TEST_F(DynamicsTest, ZeroValuesCorrectTheLevelAndNegativeValuesStillCountAsMoney)
{
    store.AddMove(D(1, 2, 4), 1, 1, 5, 0, -20, 0);   // negative value: receipt 5
    store.AddMove(D(1, 2, 4), 1, 1, 3, 0, 0, 0);     // zero value: adjustment +3
    store.AddMove(D(2, 2, 4), 1, 1, -2, 0, 0, 0);    // zero value, negative quantity: adjustment -2
    store.AddMove(D(2, 2, 4), 1, 2, 0, 4, 0, -8);    // negative sale value: expense 4
    store.AddMove(D(2, 2, 4), 1, 2, 0, 1, 0, 0);     // unpriced sale: adjustment -1
    EXPECT_TRUE(store.BuildDynamics(0));
    ASSERT_EQ(1, store.seriesCount);
    ASSERT_EQ(2, store.calendarCount);
    EXPECT_DOUBLE_EQ(Cell(0, 0).receipt, 5.0);
    EXPECT_DOUBLE_EQ(Cell(0, 0).adjustment, 3.0);
    EXPECT_DOUBLE_EQ(Cell(0, 0).expense, 0.0);
    EXPECT_DOUBLE_EQ(Cell(0, 1).receipt, 0.0);
    EXPECT_DOUBLE_EQ(Cell(0, 1).adjustment, -3.0);
    EXPECT_DOUBLE_EQ(Cell(0, 1).expense, 4.0);
}

}  // namespace
