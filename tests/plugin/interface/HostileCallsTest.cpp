// A host that calls the twelve operations with hostile arguments, in a fixed
// pseudo-random order: null and 5,000-byte texts, NaN and infinite doubles,
// identifiers that name nothing, dates with month 0, 13 or 255, calls before
// AttachHost. The library must answer as specified and keep working.
#include "OrvexHostFixture.h"

#include <limits>
#include <math.h>

namespace {

struct Hostile
{
    uint32_t state = 12345;
    uint32_t Next()
    {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    }
    int Pick(int n) { return (int)(Next() % (uint32_t)n); }

    std::string longText = std::string(5000, '\xDF');   // 5,000 x "Я"
    const char* Text()
    {
        static const char* plain[] = {"A1", "", "S1", "нет такого", "B2"};
        switch (Pick(4)) {
        case 0: return NULL;
        case 1: return longText.c_str();
        default: return plain[Pick(5)];
        }
    }
    double Number()
    {
        const double values[] = {std::numeric_limits<double>::quiet_NaN(), INFINITY, -INFINITY, -0.0, 1e308,
                                 -1e308, 0.0, 1.5, 4.25, -3.0};
        return values[Pick(10)];
    }
    int32_t Id()
    {
        const int32_t values[] = {0, -1, 0x7FFFFFFF, (int32_t)0x80000000, 1, 2, 3, 77};
        return values[Pick(8)];
    }
    uint32_t Date()
    {
        const uint32_t days[] = {0, 1, 15, 31, 32, 255};
        const uint32_t months[] = {0, 1, 12, 13, 255};
        const uint32_t years[] = {0, 5, 24, 99, 255};
        uint32_t date = days[Pick(6)] + 256u * months[Pick(5)] + 65536u * years[Pick(5)];
        return Pick(8) == 0 ? 0xFFFFFFFFu : date;
    }
};

using HostileCalls = OrvexHost;

TEST_F(HostileCalls, BeforeAttachingEveryCallIsRefusedOrAnswersOnEmptyTables)
{
    ASSERT_TRUE(Load());
    Hostile h;
    for (int i = 0; i < 200; ++i) {
        EXPECT_FALSE(plugin->AddGoods(h.Id(), h.Text(), h.Text(), h.Number(), h.Id(), h.Id(), h.Text(), h.Number()));
        EXPECT_FALSE(plugin->AddSupplier(h.Id(), h.Text(), h.Text(), h.Number(), h.Number(), h.Number()));
        EXPECT_FALSE(plugin->AddMove(h.Date(), h.Id(), h.Id(), h.Number(), h.Number(), h.Number(), h.Number()));
        EXPECT_FALSE(plugin->AddBalance(h.Date(), h.Id(), h.Text(), h.Number()));
        EXPECT_EQ(0, plugin->FindGoodsId(h.Text()));
        EXPECT_EQ(0, plugin->FindSupplierId(h.Text()));
        int mode = h.Id();
        EXPECT_EQ(mode >= 0 && mode <= 2, plugin->SetIdMode(mode));
    }
    EXPECT_FALSE(plugin->RefreshLists());
    EXPECT_FALSE(plugin->SaveLists());
    EXPECT_FALSE(plugin->ShowPlugin());
    EXPECT_FALSE(plugin->AttachHost(NULL, NULL));
    EXPECT_FALSE(plugin->AttachHost((HWND)(INT_PTR)0x1234, "Orvex_DLL.dll"));   // no such window
    EXPECT_TRUE(plugin->Reserved());
    ASSERT_TRUE(Attach());   // still attaches to a real window afterwards
    EXPECT_EQ(0, Rows(GoodsList()));
}

TEST_F(HostileCalls, ThreeThousandCallsInAnyOrderLeaveAWorkingPlugIn)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    Hostile h;
    int goods = 0, suppliers = 0, moves = 0, balances = 0;
    for (int i = 0; i < 3000; ++i) {
        switch (h.Pick(12)) {
        case 0: EXPECT_FALSE(plugin->AttachHost(host, h.Text())); break;
        case 1: EXPECT_TRUE(plugin->Reserved()); break;
        case 2: EXPECT_TRUE(plugin->ShowPlugin()); break;
        case 3:
            EXPECT_TRUE(plugin->AddSupplier(h.Id(), h.Text(), h.Text(), h.Number(), h.Number(), h.Number()));
            ++suppliers;
            break;
        case 4:
            if (h.Pick(10) == 0) {
                EXPECT_TRUE(plugin->RefreshLists());
            }
            break;
        case 5: {
            int mode = h.Id();
            EXPECT_EQ(mode >= 0 && mode <= 2, plugin->SetIdMode(mode));
            break;
        }
        case 6:
            EXPECT_TRUE(plugin->AddMove(h.Date(), h.Id(), h.Id(), h.Number(), h.Number(), h.Number(), h.Number()));
            ++moves;
            break;
        case 7: plugin->FindGoodsId(h.Text()); break;
        case 8: plugin->FindSupplierId(h.Text()); break;
        case 9:
            EXPECT_TRUE(plugin->AddGoods(h.Id(), h.Text(), h.Text(), h.Number(), h.Id(), h.Id(), h.Text(),
                                         h.Number()));
            ++goods;
            break;
        case 10:
            EXPECT_TRUE(plugin->AddBalance(h.Date(), h.Id(), h.Text(), h.Number()));
            ++balances;
            break;
        case 11:
            if (h.Pick(20) == 0) {
                EXPECT_TRUE(plugin->SaveLists());
            }
            break;
        }
    }
    ASSERT_TRUE(plugin->RefreshLists());
    EXPECT_EQ(goods, Rows(GoodsList()));
    EXPECT_EQ(suppliers, Rows(SupplierList()));
    EXPECT_EQ(moves, Rows(MoveList()));
    EXPECT_EQ(balances, Rows(BalanceList()));
    // Every cell of the first rows can be drawn, whatever went into them.
    HWND lists[4] = {GoodsList(), SupplierList(), MoveList(), BalanceList()};
    int columns[4] = {11, 5, 7, 3};
    for (int l = 0; l < 4; ++l)
        for (int row = 0; row < 20 && row < Rows(lists[l]); ++row)
            for (int c = 0; c < columns[l]; ++c)
                EXPECT_LE(Cell(lists[l], row, c).size(), 1023u);
    // The longest name is cut to its field: 259 characters.
    bool cut = false;
    for (int row = 0; row < Rows(GoodsList()) && !cut; ++row)
        cut = Cell(GoodsList(), row, 1) == std::string(259, '\xDF');
    EXPECT_TRUE(cut);

    // The dynamics of every supplier, with a report of its first row.
    ClickTab(4);
    HWND strip = DynamicsStrip();
    ASSERT_NE(nullptr, strip);
    HWND box = GetDlgItem(strip, 1011);
    ASSERT_EQ(suppliers, (int)SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int s = 0; s < suppliers && s < 40; ++s) {
        SendMessageA(box, CB_SETCURSEL, s, 0);
        SendMessageA(GetDlgItem(strip, 1024), BM_CLICK, 0, 0);
        Pump();
        if (Rows(DynamicsList()) > 0)
            ClickRow(DynamicsList(), 0, true);
    }
    EXPECT_FALSE(OpenRequests().empty());
    EXPECT_TRUE(Unload());
}

}  // namespace
