// The real plug-in library driven by a test host through its twelve operations.
#include "OrvexHostFixture.h"

#include <tlhelp32.h>

namespace {

const uint32_t kDate = 5 + 256u * 3 + 65536u * 24;   // 05.03.24

bool Visible(HWND window)
{
    return window && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

using Interface = OrvexHost;

TEST_F(Interface, TheSameObjectEveryTimeAndOnlyLookupsAndTheModeBeforeAttaching)
{
    ASSERT_TRUE(Load());
    GetInterfaceFunction get = reinterpret_cast<GetInterfaceFunction>(reinterpret_cast<void*>(GetProcAddress(library, "GetInterface")));
    EXPECT_EQ(plugin, get());
    EXPECT_TRUE(plugin->Reserved());
    EXPECT_EQ(0, plugin->FindGoodsId("A1"));
    EXPECT_EQ(0, plugin->FindSupplierId(NULL));
    EXPECT_TRUE(plugin->SetIdMode(0));
    EXPECT_FALSE(plugin->SetIdMode(3));
    EXPECT_TRUE(plugin->SetIdMode(1));
    // No tables or windows yet: refused, nothing made.
    EXPECT_FALSE(plugin->AddGoods(0, "A1", "Гвозди", 1, 1, 1, "", 0));
    EXPECT_FALSE(plugin->AddSupplier(0, "S", "Поставщик", 1, 1, 1));
    EXPECT_FALSE(plugin->AddMove(kDate, 1, 1, 1, 0, 1, 0));
    EXPECT_FALSE(plugin->AddBalance(kDate, 1, NULL, 1));
    EXPECT_FALSE(plugin->RefreshLists());
    EXPECT_FALSE(plugin->SaveLists());
    EXPECT_FALSE(plugin->ShowPlugin());
    EXPECT_EQ(nullptr, Tabs());
    EXPECT_TRUE(Visible(hostChildren[0]));
}

TEST_F(Interface, AttachingBuildsTheHiddenWindowAndShowingHandsTheHostOver)
{
    ASSERT_TRUE(Load(3));
    ASSERT_TRUE(Attach());
    EXPECT_FALSE(plugin->AttachHost(host, "Orvex_DLL.dll"));   // once only
    HWND tabs = Tabs();
    ASSERT_NE(nullptr, tabs);
    EXPECT_FALSE(Visible(tabs));
    ASSERT_EQ(5, (int)SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    const char* titles[5] = {"Товары", "Поставщики", "Проводки", "Остатки", "Динамика"};
    for (int i = 0; i < 5; ++i) {
        char text[64] = {0};
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        ASSERT_TRUE(SendMessageA(tabs, TCM_GETITEMA, i, (LPARAM)&item));
        EXPECT_STREQ(titles[i], text);
        EXPECT_EQ(i, item.iImage);
    }
    HWND bar = FindWindowExA(host, NULL, STATUSCLASSNAMEA, NULL);
    ASSERT_NE(nullptr, bar);
    EXPECT_FALSE(Visible(bar));
    int parts[4] = {0};
    ASSERT_EQ(3, (int)SendMessageA(bar, SB_GETPARTS, 4, (LPARAM)parts));
    EXPECT_EQ(470, parts[0]);
    EXPECT_EQ(570, parts[1]);
    EXPECT_EQ(-1, parts[2]);

    ASSERT_TRUE(plugin->ShowPlugin());
    Pump();
    for (HWND own : hostChildren)
        EXPECT_FALSE(Visible(own));
    EXPECT_TRUE(Visible(bar));
    EXPECT_TRUE(Visible(tabs));
    EXPECT_EQ(0, (int)SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
    EXPECT_TRUE(Visible(GoodsList()));
    EXPECT_FALSE(Visible(SupplierList()));
    EXPECT_FALSE(Visible(DynamicsList()));
    EXPECT_FALSE(Visible(DynamicsStrip()));

    // The tabs switch the pages by themselves; a second ShowPlugin only hides the host's windows again.
    ClickTab(4);
    EXPECT_TRUE(Visible(DynamicsList()));
    EXPECT_TRUE(Visible(DynamicsStrip()));
    EXPECT_FALSE(Visible(GoodsList()));
    ShowWindow(hostChildren[1], SW_SHOW);
    ASSERT_TRUE(plugin->ShowPlugin());
    EXPECT_FALSE(Visible(hostChildren[1]));
    EXPECT_EQ(4, (int)SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
    EXPECT_TRUE(Visible(DynamicsList()));
}

struct ColumnSeen
{
    std::string title;
    int width;
    int format;
};

ColumnSeen ColumnOf(HWND list, int index)
{
    char text[128] = {0};
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = text;
    column.cchTextMax = sizeof(text);
    SendMessageA(list, LVM_GETCOLUMNA, index, (LPARAM)&column);
    return ColumnSeen{text, column.cx, column.fmt & LVCFMT_JUSTIFYMASK};
}

TEST_F(Interface, EveryListHasItsColumnsWidthsAlignmentsAndHint)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    struct Expected { const char* title; int width; int format; };
    const Expected goods[11] = {{"ID", 81, 0}, {"Наименование", 150, 0}, {"Цена покупки", 100, 2},
                                {"Цена продажи", 100, 2}, {"Наценка", 80, 2}, {"dK", 80, 2},
                                {"Кубатура", 80, 2}, {"Ассортимент", 40, 2}, {"Кол-во в уп.", 80, 2},
                                {"Примечание", 80, 0}, {"Спец.ср.дост.", 80, 2}};
    const Expected suppliers[5] = {{"ID", 70, 0}, {"Наименование", 100, 0}, {"Ст.доставки", 100, 2},
                                   {"вр.дост.ср.", 100, 2}, {"вр.дост.max", 100, 2}};
    const Expected moves[7] = {{"Дата", 80, 0}, {"ID товара", 90, 0}, {"ID поставщика", 90, 0},
                               {"Поставка кол-во", 120, 0}, {"Продажа кол-во", 120, 0},
                               {"Цена поставки", 120, 0}, {"Цена продажи", 100, 0}};
    const Expected balances[3] = {{"Дата", 100, 0}, {"ID товара", 90, 0}, {"Количество", 100, 0}};
    const Expected dynamics[2] = {{"ID", 80, 0}, {"Наименование товара", 140, 0}};
    struct Page { HWND list; const Expected* columns; int count; int stretch; };
    Page pages[5] = {{GoodsList(), goods, 11, 1}, {SupplierList(), suppliers, 5, 1}, {MoveList(), moves, 7, -1},
                     {BalanceList(), balances, 3, 2}, {DynamicsList(), dynamics, 2, 1}};
    for (const Page& page : pages) {
        ASSERT_NE(nullptr, page.list);
        for (int c = 0; c < page.count; ++c) {
            ColumnSeen seen = ColumnOf(page.list, c);
            EXPECT_EQ(page.columns[c].title, seen.title);
            EXPECT_EQ(page.columns[c].format, seen.format) << seen.title;
            if (c == page.stretch)   // takes the rest of the width, never less than its own
                EXPECT_GE(seen.width, page.columns[c].width) << seen.title;
            else
                EXPECT_EQ(page.columns[c].width, seen.width) << seen.title;
        }
        DWORD exStyle = (DWORD)SendMessageA(page.list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
        EXPECT_TRUE(exStyle & LVS_EX_FULLROWSELECT);
        EXPECT_EQ(page.list != DynamicsList(), (exStyle & LVS_EX_INFOTIP) != 0);
        EXPECT_TRUE(GetWindowLongA(page.list, GWL_STYLE) & LVS_OWNERDATA);
        EXPECT_EQ(0xC8C8C8u, (DWORD)SendMessageA(page.list, LVM_GETBKCOLOR, 0, 0));
    }
    EXPECT_TRUE(GetWindowLongA(DynamicsList(), GWL_STYLE) & LVS_SINGLESEL);
    EXPECT_FALSE(GetWindowLongA(GoodsList(), GWL_STYLE) & LVS_SINGLESEL);

    // The hint of the list under the pointer goes to the status bar.
    HWND bar = FindWindowExA(host, NULL, STATUSCLASSNAMEA, NULL);
    SendMessageA(GoodsList(), WM_SETCURSOR, (WPARAM)GoodsList(), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    char status[256];
    GetWindowTextA(bar, status, sizeof(status));
    EXPECT_STREQ("Здесь отображено содержимое справочника товаров", status);
}

// Goods "A1" and "B2", one supplier, moves and balances, as a host feeds them.
void Feed(IOrvexPlugin* plugin)
{
    ASSERT_TRUE(plugin->AddGoods(99, "A1", "Гвозди", 1.5, 3, 10, "шт", 2.6));
    ASSERT_TRUE(plugin->AddGoods(0, "B2", "Шурупы", 0, 0, 0, NULL, 0));
    ASSERT_TRUE(plugin->AddSupplier(0, "S1", "ООО Крепёж", 150.5, 2, 3));
    ASSERT_EQ(1, plugin->FindGoodsId("A1"));
    ASSERT_EQ(2, plugin->FindGoodsId("B2"));
    ASSERT_EQ(1, plugin->FindSupplierId("S1"));
    // 10 in for 25.00 (2.50 each), 4 out for 14.00 (3.50 each): markup 0.40.
    ASSERT_TRUE(plugin->AddMove(kDate, 1, 1, 10, 0, 25, 0));
    ASSERT_TRUE(plugin->AddMove(kDate + 1, 1, 77, 0, 4, 0, 14));
    ASSERT_TRUE(plugin->AddMove(kDate + 2, 2, 1, 1.5, 0, 3, 0));
    ASSERT_TRUE(plugin->AddBalance(kDate, 5, "B2", 7.25));   // the code wins over the id
    ASSERT_TRUE(plugin->AddBalance(kDate, 1, NULL, 2));
    ASSERT_TRUE(plugin->AddBalance(kDate, 1, "нет такого", 1));
    ASSERT_TRUE(plugin->RefreshLists());
}

TEST_F(Interface, CellsShowTheFedRecordsInEveryIdentifierMode)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    Feed(plugin);
    HWND goods = GoodsList();
    ASSERT_EQ(2, Rows(goods));
    const char* row0[11] = {"00000001", "Гвозди", "2.50", "3.50", "0.40", "0.000", "1.50", "3", "10", "шт", "3"};
    for (int c = 0; c < 11; ++c)
        EXPECT_EQ(row0[c], Cell(goods, 0, c)) << "column " << c;
    EXPECT_EQ("00000002", Cell(goods, 1, 0));
    EXPECT_EQ("2.00", Cell(goods, 1, 2));   // 3.00 for 1.5 units
    EXPECT_EQ("0.00", Cell(goods, 1, 4));   // sold nothing: no markup
    EXPECT_EQ("(null)", Cell(goods, 1, 9));

    HWND suppliers = SupplierList();
    ASSERT_EQ(1, Rows(suppliers));
    const char* supplier[5] = {"00000001", "ООО Крепёж", "150.50000", "2.00000", "3.00000"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(supplier[c], Cell(suppliers, 0, c));

    HWND moves = MoveList();
    ASSERT_EQ(3, Rows(moves));
    const char* move1[7] = {"06.03.24", "00000001", "0000004D", "0.00000", "4.00000", "0.00000", "14.00000"};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(move1[c], Cell(moves, 1, c));
    EXPECT_EQ("1.50000", Cell(moves, 2, 3));

    HWND balances = BalanceList();
    ASSERT_EQ(3, Rows(balances));
    EXPECT_EQ("05.03.24", Cell(balances, 0, 0));
    EXPECT_EQ("00000002", Cell(balances, 0, 1));
    EXPECT_EQ("7.25000", Cell(balances, 0, 2));
    EXPECT_EQ("00000000", Cell(balances, 2, 1));   // a code that names no goods

    ASSERT_TRUE(plugin->SetIdMode(1));
    EXPECT_EQ("1", Cell(goods, 0, 0));
    EXPECT_EQ("77", Cell(moves, 1, 2));
    ASSERT_TRUE(plugin->SetIdMode(2));
    EXPECT_EQ("A1", Cell(goods, 0, 0));
    EXPECT_EQ("S1", Cell(suppliers, 0, 0));
    EXPECT_EQ("A1", Cell(moves, 1, 1));
    EXPECT_EQ("", Cell(moves, 1, 2));     // supplier 77 is in no table
    EXPECT_EQ("B2", Cell(balances, 0, 1));
    EXPECT_FALSE(plugin->SetIdMode(3));
    EXPECT_EQ("A1", Cell(goods, 0, 0));   // unchanged
    ASSERT_TRUE(plugin->SetIdMode(0));    // hexadecimal again
    EXPECT_EQ("00000001", Cell(goods, 0, 0));
    EXPECT_EQ("0000004D", Cell(moves, 1, 2));

    // A column the plug-in has no text for.
    LVCOLUMNA extra = {};
    extra.mask = LVCF_TEXT | LVCF_WIDTH;
    extra.pszText = const_cast<char*>("?");
    extra.cx = 50;
    SendMessageA(balances, LVM_INSERTCOLUMNA, 3, (LPARAM)&extra);
    EXPECT_EQ("<< ошибка >>", Cell(balances, 0, 3));
}

}  // namespace

namespace {

// Threads of this process, for the unload checks.
int ThreadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    CloseHandle(snapshot);
    return count;
}

// The count once threads on their way out are gone (up to 2 s).
int ThreadCountSettlingAt(int expected)
{
    int count = ThreadCount();
    for (int i = 0; i < 200 && count != expected; ++i) {
        Sleep(10);
        count = ThreadCount();
    }
    return count;
}

using Lifetime = OrvexHost;

TEST_F(Lifetime, SignallingTheStopEventAndFreeingTheLibraryUnloadsIt)
{
    int threadsBefore = ThreadCount();
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    EXPECT_EQ(threadsBefore + 2, ThreadCountSettlingAt(threadsBefore + 2));   // the two workers
    DWORD started = GetTickCount();
    EXPECT_TRUE(Unload());
    EXPECT_LT(GetTickCount() - started, 10000u);   // the workers wake every 100 ms; a loaded machine is slower
    EXPECT_EQ(threadsBefore, ThreadCountSettlingAt(threadsBefore));
}

// Which module a window's procedure lives in.
HMODULE ModuleOfProcedure(HWND window)
{
    HMODULE module = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(GetWindowLongPtrA(window, GWLP_WNDPROC)), &module);
    return module;
}

TEST_F(Lifetime, AHostThatFreesTheLibraryWithItsWindowAliveKeepsAWorkingWindow)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    ASSERT_TRUE(plugin->AddGoods(0, "A1", "Гвозди", 0, 0, 0, "", 0));
    ASSERT_TRUE(plugin->RefreshLists());
    ClickTab(4);
    HWND strip = DynamicsStrip();
    ASSERT_NE(nullptr, strip);
    EXPECT_EQ(library, ModuleOfProcedure(host));
    EXPECT_EQ(library, ModuleOfProcedure(strip));
    ASSERT_TRUE(Unload(true));
    ASSERT_TRUE(IsWindow(host));
    EXPECT_NE(ModuleOfProcedure(host), (HMODULE)NULL);
    EXPECT_EQ(GetModuleHandleA(NULL), ModuleOfProcedure(host));
    // The host's window and what is left in it go on working.
    SetWindowPos(host, NULL, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(GetDlgItem(strip, 1024), BM_CLICK, 0, 0);
    RedrawWindow(host, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    EXPECT_TRUE(IsWindow(strip));
}

}  // namespace
