// The calendar, the rows of one supplier's goods and their day cells.
#include <algorithm>

#include "StoreFixture.h"
#include "TestSupport.h"

#include <commctrl.h>

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

    const DayCell& Cell(int series, int day) { return dynamics.DayCells(series)[day]; }
};

TEST_F(DynamicsTest, CalendarHoldsEveryMoveDateOnceInDateOrder)
{
    store.AddMove(D(5, 1, 4), 1, 1, 1, 0, 1, 0);
    store.AddMove(D(28, 12, 3), 1, 1, 1, 0, 1, 0);
    store.AddMove(D(5, 1, 4), 2, 2, 0, 0, 0, 0);
    store.AddMove(D(1, 2, 3), 2, 2, 0, 0, 0, 0);
    BuildDynamics(0);
    ASSERT_EQ(dynamics.CalendarCount(), 3);
    EXPECT_EQ(dynamics.Calendar()[0].date, D(1, 2, 3));
    EXPECT_EQ(dynamics.Calendar()[1].date, D(28, 12, 3));
    EXPECT_EQ(dynamics.Calendar()[2].date, D(5, 1, 4));
}

TEST_F(DynamicsTest, RowsAreTheSuppliersDeliveredGoodsInOrderOfFirstDelivery)
{
    AddSample();
    EXPECT_TRUE(BuildDynamics(0));
    ASSERT_EQ(dynamics.RowCount(), 2);
    EXPECT_EQ(dynamics.Rows()[0].goodsId, 1);
    EXPECT_EQ(dynamics.Rows()[0].goodsIndex, 0);
    EXPECT_STREQ(dynamics.RowGoodsName(0), "Товар 1");
    EXPECT_EQ(dynamics.Rows()[1].goodsId, 3);
    EXPECT_EQ(dynamics.Rows()[1].goodsIndex, 2);
    EXPECT_STREQ(dynamics.RowGoodsName(1), "Товар 3");
    EXPECT_EQ(dynamics.Rows()[0].head.key, 1);
    EXPECT_EQ(dynamics.Rows()[1].head.key, 2);
    ASSERT_EQ(dynamics.SeriesCount(), 2);
    EXPECT_EQ(dynamics.Series(1)->index, 1);
    EXPECT_EQ(dynamics.Series(1)->dayCount, 4);
    EXPECT_EQ(dynamics.Series(1)->row.goodsId, 3);

    EXPECT_TRUE(BuildDynamics(1));
    ASSERT_EQ(dynamics.RowCount(), 2);
    EXPECT_EQ(dynamics.Rows()[0].goodsId, 3);
    EXPECT_EQ(dynamics.Rows()[1].goodsId, 1);
}

TEST_F(DynamicsTest, CellsCountEverySuppliersMovesAndTheFirstBalance)
{
    AddSample();
    BuildDynamics(0);
    ASSERT_EQ(dynamics.CalendarCount(), 4);   // 28.12.03 05.01.04 06.01.04 07.01.04
    ASSERT_EQ(dynamics.SeriesCount(), 2);

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
            EXPECT_EQ(Cell(j, k).entry, &dynamics.Calendar()[k]);
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
    BuildDynamics(1);
    ASSERT_EQ(dynamics.SeriesCount(), 1);
    EXPECT_EQ(Cell(0, 0).adjustment, 6.5);
    EXPECT_EQ(Cell(0, 1).adjustment, 0.0);
}

TEST_F(DynamicsTest, NothingToListLeavesEmptyRows)
{
    // Supplier 2 has moves, none with a supplied quantity.
    store.AddMove(D(1, 1, 4), 1, 2, 0, 4, 0, 10);
    BuildDynamics(1);
    EXPECT_EQ(dynamics.RowCount(), 0);
    EXPECT_EQ(dynamics.SeriesCount(), 0);
    EXPECT_EQ(dynamics.CalendarCount(), 1);
}

TEST_F(DynamicsTest, WithoutMovesThereIsNoCalendarRowOrCell)
{
    BuildDynamics(0);
    EXPECT_EQ(dynamics.CalendarCount(), 0);
    EXPECT_EQ(dynamics.RowCount(), 0);
    EXPECT_EQ(dynamics.SeriesCount(), 0);
    EXPECT_EQ(dynamics.DayCells(0), nullptr);
}

TEST_F(DynamicsTest, NoSelectionKeepsThePreviousBuild)
{
    AddSample();
    BuildDynamics(0);
    BuildDynamics(-1);
    BuildDynamics(5);   // no such supplier
    EXPECT_EQ(dynamics.RowCount(), 2);
    EXPECT_EQ(dynamics.SeriesCount(), 2);
    EXPECT_EQ(Cell(0, 0).receipt, 10.0);
}

// The supplier box lists the suppliers in storage order: a selection one past
// the last names none, though the table's pending record lies there.
TEST_F(DynamicsTest, ASelectionJustPastTheLastSupplierKeepsThePreviousBuild)
{
    AddSample();
    store.AddMove(D(8, 1, 4), 2, 0, 6, 0, 60, 0);   // a supply of goods 2 under identifier 0
    ASSERT_TRUE(BuildDynamics(0));
    ASSERT_EQ(2, tables.Suppliers().Count());
    EXPECT_TRUE(BuildDynamics(2));
    ASSERT_EQ(2, dynamics.RowCount());
    EXPECT_EQ(1, dynamics.Rows()[0].goodsId);
    EXPECT_EQ(3, dynamics.Rows()[1].goodsId);
    EXPECT_EQ(10.0, Cell(0, 0).receipt);
}

TEST_F(DynamicsTest, ARebuildReplacesEverything)
{
    AddSample();
    BuildDynamics(0);
    BuildDynamics(0);
    ASSERT_EQ(dynamics.RowCount(), 2);
    EXPECT_EQ(Cell(0, 0).receipt, 10.0);   // not 20
    EXPECT_EQ(dynamics.Rows()[0].head.key, 1);
}

TEST_F(DynamicsTest, RowNamesFollowTheGoodsTableWhenItMoves)
{
    AddSample();
    BuildDynamics(0);
    const GoodsRecord* before = tables.Goods().Records();
    for (int i = 0; i < 2500; ++i)   // grows the goods block past its first 1000 slots
        store.AddGoods(0, "X", "more", 0, 0, 0, "", 0);
    ASSERT_NE(tables.Goods().Records(), before);
    EXPECT_STREQ(dynamics.RowGoodsName(0), "Товар 1");
    EXPECT_STREQ(dynamics.RowGoodsName(1), "Товар 3");
    EXPECT_STREQ(dynamics.RowGoodsName(2), "");
    EXPECT_STREQ(dynamics.RowGoodsName(-1), "");
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
    BuildDynamics(0);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "date is absent in calendar !!!");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Error in Dates");
    EXPECT_EQ(boxes.Boxes()[0].type, (UINT)MB_OK);
    EXPECT_EQ(boxes.Boxes()[0].owner, (HWND)NULL);
    ASSERT_EQ(dynamics.CalendarCount(), 2);
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
    EXPECT_TRUE(BuildDynamics(0));
    ASSERT_EQ(1, dynamics.SeriesCount());
    ASSERT_EQ(2, dynamics.CalendarCount());
    EXPECT_DOUBLE_EQ(Cell(0, 0).receipt, 5.0);
    EXPECT_DOUBLE_EQ(Cell(0, 0).adjustment, 3.0);
    EXPECT_DOUBLE_EQ(Cell(0, 0).expense, 0.0);
    EXPECT_DOUBLE_EQ(Cell(0, 1).receipt, 0.0);
    EXPECT_DOUBLE_EQ(Cell(0, 1).adjustment, -3.0);
    EXPECT_DOUBLE_EQ(Cell(0, 1).expense, 4.0);
}

}  // namespace

// A build counts what it lists; the day cells of a row are those of the moves
// and balances stored at the build, whenever and in whatever order rows are read.
namespace {

TEST_F(DynamicsTest, CellsReadAfterMoreRecordsWereStoredAreThoseOfTheBuild)
{
    AddSample();
    BuildDynamics(0);
    // Stored after the build, on dates of the calendar: none of them counts.
    store.AddMove(D(28, 12, 3), 1, 1, 50, 0, 500, 0);
    store.AddMove(D(7, 1, 4), 3, 2, 0, 8, 0, 80);
    store.AddBalance(D(1, 1, 3), 3, NULL, 1000);   // would be the first balance of goods 3
    // Goods 3 first, then goods 1.
    EXPECT_EQ(Cell(1, 1).receipt, 4.0);
    EXPECT_EQ(Cell(1, 3).receipt, -1.0);
    EXPECT_EQ(Cell(1, 3).adjustment, 9.0);
    EXPECT_EQ(Cell(1, 3).expense, 0.0);
    EXPECT_EQ(Cell(1, 0).adjustment, 0.0);
    EXPECT_EQ(Cell(0, 0).receipt, 10.0);
    EXPECT_EQ(Cell(0, 1).adjustment, 10.0);
    // A rebuild counts them.
    BuildDynamics(0);
    EXPECT_EQ(Cell(0, 0).receipt, 60.0);
    EXPECT_EQ(Cell(1, 3).expense, 8.0);
    EXPECT_EQ(Cell(1, 3).adjustment, 9.0);   // the balance of 1000 is not the first of goods 3
    EXPECT_EQ(Cell(1, 0).adjustment, 0.0);
}

// A balance stored after the build is not the first balance of its goods for
// that build, even when the goods had none; the next build takes it.
TEST_F(DynamicsTest, ABalanceStoredAfterTheBuildWaitsForTheNextBuild)
{
    store.AddMove(D(3, 3, 4), 2, 2, 5, 0, 50, 0);
    store.AddMove(D(4, 3, 4), 2, 2, 0, 1, 0, 10);
    BuildDynamics(1);
    ASSERT_EQ(dynamics.SeriesCount(), 1);
    store.AddBalance(D(4, 3, 4), 2, NULL, 30);
    EXPECT_EQ(Cell(0, 1).adjustment, 0.0);
    EXPECT_EQ(Cell(0, 1).expense, 1.0);
    BuildDynamics(1);
    EXPECT_EQ(Cell(0, 1).adjustment, 30.0);
}

// A deterministic year in small: goods, suppliers, moves with and without
// values, signs, balances before, between and after the dates. Every row and
// every cell is compared with the build written out here as the algorithm
// reads: rows in order of first delivery, the calendar sorted, the first
// balance set, the moves added in storage order.
TEST_F(DynamicsTest, EveryRowAndCellAgreeWithTheAlgorithmOnARandomYear)
{
    uint32_t seed = 12345;
    auto next = [&](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    for (int g = 3; g < 300; ++g)
        store.AddGoods(0, ("G" + std::to_string(g)).c_str(), "x", 0, 0, 0, "", 0);   // ids 4 .. 300
    for (int s = 2; s < 20; ++s)
        store.AddSupplier(0, ("S" + std::to_string(s)).c_str(), "s", 0, 0, 0);       // ids 3 .. 20
    for (int i = 0; i < 20000; ++i) {
        PackedDate date = D(1 + (int)next(28), 1 + (int)next(3), 4);
        int32_t goodsId = 1 + (int32_t)next(310);   // ten of them are no goods
        int32_t supplierId = 1 + (int32_t)next(20);
        double qty = (double)next(40) - 5;          // some negative, some zero
        uint32_t kind = next(4);
        if (kind == 0)
            store.AddMove(date, goodsId, supplierId, qty, 0, qty * 3, 0);
        else if (kind == 1)
            store.AddMove(date, goodsId, supplierId, qty, 0, 0, 0);
        else if (kind == 2)
            store.AddMove(date, goodsId, supplierId, 0, qty + 0.25, 0, qty * 2);
        else
            store.AddMove(date, goodsId, supplierId, 0, qty, 0, 0);
    }
    for (int b = 0; b < 500; ++b)
        store.AddBalance(D(1 + (int)next(28), 1 + (int)next(5), 3 + (int)next(2)), 1 + (int32_t)next(310), NULL,
                         (double)next(100) / 4);

    for (int selection : {0, 7, 19}) {
        SCOPED_TRACE(selection);
        progress.calls.clear();
        ASSERT_TRUE(BuildDynamics(selection));
        const int32_t supplierId = tables.Suppliers()[selection].id;

        // The calendar: every move date once, ascending.
        std::vector<PackedDate> dates;
        for (int i = 0; i < tables.Moves().Count(); ++i)
            dates.push_back(tables.Moves()[i].date);
        std::sort(dates.begin(), dates.end());
        dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
        ASSERT_EQ((int)dates.size(), dynamics.CalendarCount());
        for (int k = 0; k < dynamics.CalendarCount(); ++k)
            ASSERT_EQ(dates[k], dynamics.Calendar()[k].date);

        // The rows: goods of the table the supplier delivered a non-zero quantity
        // of, in the order of their first such move.
        std::vector<int32_t> rows;
        for (int i = 0; i < tables.Moves().Count(); ++i) {
            const MoveRecord& m = tables.Moves()[i];
            if (m.supplierId != supplierId || m.suppliedQty == 0 || m.goodsId < 1 || m.goodsId > 300)
                continue;
            if (std::find(rows.begin(), rows.end(), m.goodsId) == rows.end())
                rows.push_back(m.goodsId);
        }
        ASSERT_EQ((int)rows.size(), dynamics.RowCount());
        ASSERT_EQ((int)rows.size(), dynamics.SeriesCount());

        int counted = 0;
        for (int i = 0; i < tables.Moves().Count(); ++i)
            if (std::find(rows.begin(), rows.end(), tables.Moves()[i].goodsId) != rows.end())
                ++counted;
        EXPECT_EQ(progress.calls, (std::vector<std::string>{"range 0..20000", "step 20000", "range 0..20000",
                                                            "step " + std::to_string(counted)}));

        // Read the rows from the last to the first.
        for (int j = (int)rows.size() - 1; j >= 0; --j) {
            ASSERT_EQ(rows[j], dynamics.Rows()[j].goodsId);
            ASSERT_EQ(rows[j], tables.Goods()[dynamics.Rows()[j].goodsIndex].id);
            std::vector<double> receipt(dates.size()), expense(dates.size()), adjustment(dates.size());
            for (int b = 0; b < tables.Balances().Count(); ++b) {
                if (tables.Balances()[b].goodsId != rows[j])
                    continue;
                size_t a = std::lower_bound(dates.begin(), dates.end(), tables.Balances()[b].date) - dates.begin();
                if (a == dates.size())
                    a = dates.size() - 1;
                adjustment[a] = tables.Balances()[b].quantity;
                break;
            }
            for (int i = 0; i < tables.Moves().Count(); ++i) {
                const MoveRecord& m = tables.Moves()[i];
                if (m.goodsId != rows[j])
                    continue;
                size_t c = std::lower_bound(dates.begin(), dates.end(), m.date) - dates.begin();
                if (m.supplyValue == 0)
                    adjustment[c] += m.suppliedQty;
                else
                    receipt[c] += m.suppliedQty;
                if (m.saleValue == 0)
                    adjustment[c] -= m.soldQty;
                else
                    expense[c] += m.soldQty;
            }
            for (size_t k = 0; k < dates.size(); ++k) {
                const DayCell& cell = Cell(j, (int)k);
                ASSERT_EQ(&dynamics.Calendar()[k], cell.entry) << j << " " << k;
                ASSERT_EQ(receipt[k], cell.receipt) << j << " " << k;
                ASSERT_EQ(expense[k], cell.expense) << j << " " << k;
                ASSERT_EQ(adjustment[k], cell.adjustment) << j << " " << k;
                ASSERT_EQ(0.0, cell.opening) << j << " " << k;
            }
        }
    }
}

// With the bar in a window: each range is reached or left where its steps
// left it, and the window is given positions at intervals only.
WNDPROC g_barInner = NULL;
int g_barPositions = 0;
LRESULT CALLBACK CountBarPositions(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == PBM_SETPOS)
        ++g_barPositions;
    return CallWindowProcA(g_barInner, window, message, w, l);
}

TEST_F(DynamicsTest, TheProgressBarWindowIsRepaintedAtIntervalsAndEndsWhereTheStepsLeftIt)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
    HWND window = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 200, 20, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    ASSERT_NE((HWND)NULL, window);
    g_barInner = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)CountBarPositions);
    progress.SetWindow(window);

    // 200,000 moves of goods 1, 2 and 3 in turn, on 20 dates; goods 2 comes
    // from supplier 2, the others from supplier 1.
    const int moves = 200000;
    for (int i = 0; i < moves; ++i)
        store.AddMove(D(1 + i % 20, 2, 4), 1 + i % 3, i % 3 == 1 ? 2 : 1, 1, 0, 2, 0);
    g_barPositions = 0;
    DWORD start = GetTickCount();
    store.RecomputeGoodsFigures();
    BuildDynamics(0);
    DWORD elapsed = GetTickCount() - start;
    // Three ranges: the first two reached (0 given at once each), the last not.
    EXPECT_LE(g_barPositions, (int)(elapsed / CProgBar::kRepaintInterval) + 2 + 3);
    ASSERT_EQ(dynamics.RowCount(), 2);   // goods 1 and 3 delivered by supplier 1
    // Moves of goods 1 and 3: two in three.
    int counted = moves - moves / 3 - (moves % 3 > 1 ? 1 : 0);
    EXPECT_EQ(counted, progress.GetCounter());
    EXPECT_EQ(counted, (int)SendMessageA(window, PBM_GETPOS, 0, 0));
    progress.SetWindow(NULL);
    DestroyWindow(window);
}

}  // namespace
