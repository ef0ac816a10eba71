// The plug-in's boxes and menus on the real desktop: found, read and closed
// as a user would close them.
#include "OrvexHostFixture.h"

#include <set>

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

// What the library makes that must be freed, seen at its imports: image
// lists, GDI objects and menus, each kept until the library frees it.
std::set<void*> g_live;
std::vector<void*> g_failedFrees;
int g_made = 0, g_madeLists = 0;

template <class H> H Made(H handle, bool list = false)
{
    if (handle) {
        g_live.insert((void*)handle);
        ++g_made;
        g_madeLists += list;
    }
    return handle;
}

BOOL Freed(void* handle, BOOL done)
{
    if (done)
        g_live.erase(handle);
    else
        g_failedFrees.push_back(handle);
    return done;
}

HIMAGELIST WINAPI HookListCreate(int cx, int cy, UINT flags, int initial, int grow)
{
    return Made(ImageList_Create(cx, cy, flags, initial, grow), true);
}
BOOL WINAPI HookListDestroy(HIMAGELIST list) { return Freed(list, ImageList_Destroy(list)); }
HFONT WINAPI HookFont(const LOGFONTA* font) { return Made(CreateFontIndirectA(font)); }
HBRUSH WINAPI HookBrush(COLORREF colour) { return Made(CreateSolidBrush(colour)); }
HPEN WINAPI HookPen(int style, int width, COLORREF colour) { return Made(CreatePen(style, width, colour)); }
HBITMAP WINAPI HookBitmap(HDC dc, int cx, int cy) { return Made(CreateCompatibleBitmap(dc, cx, cy)); }
HDC WINAPI HookDC(HDC dc) { return Made(CreateCompatibleDC(dc)); }
// A menu owns the submenus still in it: they are made and destroyed with it.
template <class Action> void ForEachSubmenu(HMENU menu, Action action)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (HMENU sub = GetSubMenu(menu, i)) {
            ForEachSubmenu(sub, action);
            action(sub);
        }
}
HMENU WINAPI HookMenu(HINSTANCE module, LPCSTR name)
{
    HMENU menu = Made(LoadMenuA(module, name));
    ForEachSubmenu(menu, [](HMENU sub) { g_live.insert(sub); });
    return menu;
}
HANDLE WINAPI HookImage(HINSTANCE module, LPCSTR name, UINT type, int cx, int cy, UINT flags)
{
    HANDLE image = LoadImageA(module, name, type, cx, cy, flags);
    return type == IMAGE_BITMAP && !(flags & LR_SHARED) ? Made(image) : image;
}
BOOL WINAPI HookDelete(HGDIOBJ object) { return Freed(object, DeleteObject(object)); }
BOOL WINAPI HookDeleteDC(HDC dc) { return Freed(dc, DeleteDC(dc)); }
BOOL WINAPI HookDestroyMenu(HMENU menu)
{
    std::vector<HMENU> inside;
    ForEachSubmenu(menu, [&inside](HMENU sub) { inside.push_back(sub); });
    BOOL done = Freed(menu, DestroyMenu(menu));
    if (done)
        for (HMENU sub : inside)
            g_live.erase(sub);
    return done;
}

int LiveOf(bool menus, DWORD type = 0)
{
    int n = 0;
    for (void* h : g_live)
        n += menus ? IsMenu((HMENU)h) != FALSE : !IsMenu((HMENU)h) && GetObjectType((HGDIOBJ)h) == type;
    return n;
}

#define HOOK(dll, name, hook) \
    ASSERT_TRUE(RedirectImport(library, dll, name, reinterpret_cast<FARPROC>(reinterpret_cast<void*>(hook)))) << name

// A host that loads and unloads the library again and again must not run out
// of GDI handles: the four image lists (tabs, marks, sort arrows, goods
// icons), the grids' fonts and brushes and their menus are all freed when the
// library goes, each once (the three grids that show the sort arrows leave
// them to the frame: one that destroyed them would make the others' and the
// frame's destroy fail).
TEST_F(Cycles, EverythingALoadMakesIsFreedOnceWhenTheLibraryGoes)
{
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(Load()) << round;
        g_live.clear();
        g_failedFrees.clear();
        g_made = g_madeLists = 0;
        HOOK("comctl32.dll", "ImageList_Create", HookListCreate);
        HOOK("comctl32.dll", "ImageList_Destroy", HookListDestroy);
        HOOK("gdi32.dll", "CreateFontIndirectA", HookFont);
        HOOK("gdi32.dll", "CreateSolidBrush", HookBrush);
        HOOK("gdi32.dll", "CreatePen", HookPen);
        HOOK("gdi32.dll", "CreateCompatibleBitmap", HookBitmap);
        HOOK("gdi32.dll", "CreateCompatibleDC", HookDC);
        HOOK("gdi32.dll", "DeleteObject", HookDelete);
        HOOK("gdi32.dll", "DeleteDC", HookDeleteDC);
        HOOK("user32.dll", "LoadMenuA", HookMenu);
        HOOK("user32.dll", "LoadImageA", HookImage);
        HOOK("user32.dll", "DestroyMenu", HookDestroyMenu);
        ASSERT_TRUE(Attach());
        ASSERT_TRUE(plugin->ShowPlugin());
        ASSERT_TRUE(plugin->AddGoods(0, "A1", "Гвозди", 0, 0, 0, "", 0));
        ASSERT_TRUE(plugin->RefreshLists());
        ClickTab(1);   // the suppliers' grid, with the sort arrows, is drawn
        EXPECT_EQ(4, g_madeLists);
        // While the window lives, so do the grids' fonts and brushes and one
        // pop-up menu (with its own submenus) for each of the five grids (the goods, suppliers,
        // moves and balances submenus and the dynamics list's "Поиск далее").
        EXPECT_GE(LiveOf(true), 5) << round;
        EXPECT_GE(LiveOf(false, OBJ_FONT), 1) << round;
        EXPECT_GE(LiveOf(false, OBJ_BRUSH), 1) << round;
        ASSERT_TRUE(Unload()) << round;
        std::string left;
        for (void* h : g_live)
            left += IsMenu((HMENU)h) ? " menu" : " gdi" + std::to_string(GetObjectType((HGDIOBJ)h));
        EXPECT_TRUE(g_live.empty()) << g_live.size() << " of " << g_made << " objects left, round " << round << ":" << left;
        EXPECT_TRUE(g_failedFrees.empty()) << g_failedFrees.size() << " frees failed, round " << round;
    }
}

}  // namespace
