// The plug-in's boxes and menus on the real desktop: found, read and closed
// as a user would close them.
#include "OrvexHostFixture.h"

#include <algorithm>

#include <psapi.h>

namespace {

bool Visible(HWND window)
{
    return window && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

using PluginOnDesktop = OrvexHost;

TEST_F(PluginOnDesktop, FortyHostWindowsFillTheArrayOnceAndTheFirst32AreHidden)
{
    ASSERT_TRUE(Load(40));
    BoxWatcher watcher("Ошибка !!!");
    ASSERT_TRUE(Attach());
    const std::vector<SeenBox>& boxes = watcher.Finish();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Массив заполнен", boxes[0].text);
    ASSERT_TRUE(plugin->ShowPlugin());
    int hidden = 0;
    for (int i = 0; i < 40; ++i)
        hidden += Visible(hostChildren[i]) ? 0 : 1;
    EXPECT_EQ(32, hidden);
    for (int i = 0; i < 32; ++i)
        EXPECT_FALSE(Visible(hostChildren[i])) << i;   // enumerated in creation order
    EXPECT_NE(nullptr, GoodsList());   // the window is built all the same
}

TEST_F(PluginOnDesktop, WithoutItsOwnResourcesTheDynamicsPageIsMissingAndSaysSo)
{
    ASSERT_TRUE(Load());
    BoxWatcher watcher("cDlg == NULL");
    ASSERT_TRUE(Attach(NULL));   // the host program's module: no dialog, menu or bitmaps
    const std::vector<SeenBox>& boxes = watcher.Finish();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("COrvex", boxes[0].text);
    ASSERT_TRUE(plugin->ShowPlugin());
    EXPECT_NE(nullptr, GoodsList());
    EXPECT_EQ(nullptr, DynamicsList());
    EXPECT_EQ(nullptr, DynamicsStrip());
    ASSERT_TRUE(plugin->AddSupplier(0, "S", "Поставщик", 0, 0, 0));
    EXPECT_TRUE(plugin->RefreshLists());   // no supplier box to fill
    EXPECT_EQ(1, Rows(SupplierList()));
}

TEST_F(PluginOnDesktop, ARightClickOnTheGoodsListOpensSubmenu4AndItsCommandsChangeNothing)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    ASSERT_TRUE(plugin->AddGoods(0, "A1", "Гвозди", 0, 0, 0, "", 0));
    ASSERT_TRUE(plugin->RefreshLists());
    HWND goods = GoodsList();
    RECT r;
    GetWindowRect(goods, &r);
    MenuItemsSeen().clear();
    SendMessageA(host, WM_CONTEXTMENU, (WPARAM)goods, MAKELPARAM(r.left + 40, r.top + 40));
    Pump();
    std::vector<std::string> expected = {"Обновить расчётные параметры", "", "Загрузить данные из текстового файла",
                                         "Добавить данные из текстового файла", "", "Группировка товаров",
                                         "Обратотать спец. сроки доставки", "", "Поиск далее"};
    ASSERT_GE(MenuItemsSeen().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(expected[i], MenuItemsSeen()[i]) << i;
    // "Обновить расчётные параметры" was chosen: nothing handles it.
    EXPECT_EQ(1, Rows(goods));
    EXPECT_EQ("Гвозди", Cell(goods, 0, 1));
    EXPECT_EQ(1, plugin->FindGoodsId("A1"));
}

using Cycles = OrvexHost;

// Loading, attaching, feeding and unloading again and again leaves no thread,
// handle or mapping behind.
TEST_F(Cycles, AHundredLoadsAndUnloadsInOneProcess)
{
    auto handles = []() {
        DWORD count = 0;
        GetProcessHandleCount(GetCurrentProcess(), &count);
        return (int)count;
    };
    int before = 0;
    for (int round = 0; round < 100; ++round) {
        ASSERT_TRUE(Load()) << round;
        ASSERT_TRUE(Attach()) << round;
        ASSERT_TRUE(plugin->ShowPlugin());
        ASSERT_TRUE(plugin->AddGoods(0, "A1", "Гвозди", 0, 0, 0, "", 0));
        ASSERT_TRUE(plugin->AddSupplier(0, "S1", "Поставщик", 0, 0, 0));
        ASSERT_TRUE(plugin->AddMove(5 + 256 * 3 + 65536 * 24, 1, 1, 1, 0, 1, 0));
        ASSERT_TRUE(plugin->RefreshLists());
        ASSERT_EQ("Гвозди", Cell(GoodsList(), 0, 1)) << round;
        ASSERT_TRUE(Unload()) << round;
        if (round == 4)
            before = handles();   // after the first rounds' one-time allocations
    }
    EXPECT_LE(handles(), before + 10);
    EXPECT_EQ(nullptr, GetModuleHandleA("Orvex_DLL.dll"));
}

// The library's image lists, seen at its imports of comctl32.
std::vector<HIMAGELIST> g_madeLists;
std::vector<std::pair<HIMAGELIST, BOOL>> g_destroyedLists;

HIMAGELIST WINAPI CountedCreate(int width, int height, UINT flags, int initial, int grow)
{
    HIMAGELIST list = ImageList_Create(width, height, flags, initial, grow);
    if (list)
        g_madeLists.push_back(list);
    return list;
}

BOOL WINAPI CountedDestroy(HIMAGELIST list)
{
    BOOL done = ImageList_Destroy(list);
    g_destroyedLists.push_back(std::make_pair(list, done));
    return done;
}

// The frame's four strips (tabs, marks, sort arrows, goods icons) are made at
// every attach and destroyed once when the library goes; the three grids that
// show the sort arrows leave them to the frame (a grid that destroyed them
// would make the frame's destroy fail, and the next grid's a double one).
TEST_F(Cycles, EveryImageListOfALoadIsDestroyedOnceWhenTheLibraryGoes)
{
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(Load()) << round;
        g_madeLists.clear();
        g_destroyedLists.clear();
        ASSERT_TRUE(RedirectImport(library, "comctl32.dll", "ImageList_Create",
                                   reinterpret_cast<FARPROC>(reinterpret_cast<void*>(CountedCreate))));
        ASSERT_TRUE(RedirectImport(library, "comctl32.dll", "ImageList_Destroy",
                                   reinterpret_cast<FARPROC>(reinterpret_cast<void*>(CountedDestroy))));
        ASSERT_TRUE(Attach());
        ASSERT_TRUE(plugin->ShowPlugin());
        ASSERT_TRUE(plugin->AddGoods(0, "A1", "Гвозди", 0, 0, 0, "", 0));
        ASSERT_TRUE(plugin->RefreshLists());
        ClickTab(1);   // the suppliers' grid, with the sort arrows, is drawn
        ASSERT_EQ(4u, g_madeLists.size());
        EXPECT_TRUE(g_destroyedLists.empty());   // none while the window lives
        ASSERT_TRUE(Unload()) << round;
        std::vector<HIMAGELIST> destroyed;
        for (const auto& d : g_destroyedLists) {
            EXPECT_TRUE(d.second) << "a list destroyed by someone else first";
            destroyed.push_back(d.first);
        }
        std::sort(destroyed.begin(), destroyed.end());
        std::vector<HIMAGELIST> made = g_madeLists;
        std::sort(made.begin(), made.end());
        EXPECT_EQ(made, destroyed) << round;
    }
}

}  // namespace
