// The plug-in's pages used as a user uses them: the dynamics of a supplier's
// goods, its report, row icons from a list file, menus and the list files.
#include "OrvexHostFixture.h"

#include <string.h>

namespace {

uint32_t Date(int day, int month, int year)
{
    return (uint32_t)day + 256u * (uint32_t)month + 65536u * (uint32_t)year;
}

using Pages = OrvexHost;

// Two goods of supplier S1, one sale of A1 through another supplier.
void FeedDynamics(IOrvexPlugin* plugin)
{
    ASSERT_TRUE(plugin->AddGoods(0, "A1", "Гвозди", 0, 0, 0, "", 0));
    ASSERT_TRUE(plugin->AddGoods(0, "B2", "Шурупы", 0, 0, 0, "", 0));
    ASSERT_TRUE(plugin->AddGoods(0, "C3", "Дюбели", 0, 0, 0, "", 0));
    ASSERT_TRUE(plugin->AddSupplier(0, "S0", "Другой", 0, 0, 0));
    ASSERT_TRUE(plugin->AddSupplier(0, "S1", "ООО Крепёж", 0, 0, 0));
    int s1 = plugin->FindSupplierId("S1");
    ASSERT_EQ(2, s1);
    ASSERT_TRUE(plugin->AddMove(Date(7, 3, 24), 2, s1, 1.5, 0, 3, 0));
    ASSERT_TRUE(plugin->AddMove(Date(5, 3, 24), 1, s1, 10, 0, 25, 0));
    ASSERT_TRUE(plugin->AddMove(Date(6, 3, 24), 1, 77, 0, 4, 0, 14));
    ASSERT_TRUE(plugin->AddMove(Date(6, 3, 24), 3, 1, 2, 0, 2, 0));
    ASSERT_TRUE(plugin->RefreshLists());
}

TEST_F(Pages, ASupplierPickedAndTheButtonPressedListsItsGoodsAndADoubleClickWritesTheReport)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    FeedDynamics(plugin);
    ClickTab(4);
    HWND strip = DynamicsStrip();
    ASSERT_NE(nullptr, strip);
    HWND box = GetDlgItem(strip, 1011);
    HWND button = GetDlgItem(strip, 1024);
    ASSERT_NE(nullptr, box);
    ASSERT_NE(nullptr, button);
    char text[64];
    GetWindowTextA(button, text, sizeof(text));
    EXPECT_STREQ("Построить динамику", text);
    ASSERT_EQ(2, (int)SendMessageA(box, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, (int)SendMessageA(box, CB_GETCURSEL, 0, 0));
    SendMessageA(box, CB_GETLBTEXT, 1, (LPARAM)text);
    EXPECT_STREQ("ООО Крепёж", text);

    HWND list = DynamicsList();
    EXPECT_EQ(0, Rows(list));
    SendMessageA(box, CB_SETCURSEL, 1, 0);
    SendMessageA(button, BM_CLICK, 0, 0);
    Pump();
    // In the storage order of S1's first delivery of each; C3 came from another supplier.
    ASSERT_EQ(2, Rows(list));
    EXPECT_EQ("00000002", Cell(list, 0, 0));
    EXPECT_EQ("Шурупы", Cell(list, 0, 1));
    EXPECT_EQ("00000001", Cell(list, 1, 0));
    EXPECT_EQ("Гвозди", Cell(list, 1, 1));

    ASSERT_TRUE(OpenRequests().empty());
    ClickRow(list, 1, true);
    ASSERT_EQ(1u, OpenRequests().size());
    EXPECT_EQ("open", OpenRequests()[0].verb);
    EXPECT_EQ("GoodsDinamic.html", OpenRequests()[0].file);
    EXPECT_EQ(SW_SHOW, OpenRequests()[0].show);
    std::string report;
    ASSERT_TRUE(ReadBytes(scratch.File("GoodsDinamic.html"), &report));
    const std::string row = "<tr align=\"center\">\r\n";
    std::string expected = std::string("<html><body>\r\n")
        + "\r\n<table cellspacing=\"0\" cellpadding=\"3\" border=\"1\" width=\"90%\" align=\"center\" >\r\n"
        + row + "<th>дата</th><th>остаток (нач.)</th><th>приход</th><th>расход</th><th>остаток (кон.)</th></tr>\r\n"
        + row + "<td>05.03.24</td><td>0.00</td><td>10.00</td><td>0.00</td><td>10.00</td></tr>\r\n"
        + row + "<td>06.03.24</td><td>10.00</td><td>0.00</td><td>4.00</td><td>6.00</td></tr>\r\n"
        + row + "<td>07.03.24</td><td>6.00</td><td>0.00</td><td>0.00</td><td>6.00</td></tr>\r\n"
        + "</table>\r\n</body></html>\r\n";
    EXPECT_EQ(Escaped(expected), Escaped(report));
}

TEST_F(Pages, ThePressedButtonWithoutSuppliersBuildsNothing)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    ClickTab(4);
    HWND strip = DynamicsStrip();
    ASSERT_NE(nullptr, strip);
    SendMessageA(GetDlgItem(strip, 1024), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(0, Rows(DynamicsList()));
    ClickRow(DynamicsList(), 0, true);
    EXPECT_TRUE(OpenRequests().empty());
    EXPECT_FALSE(FileThere(scratch.File("GoodsDinamic.html")));
}

// A goods list file made by hand: the row icons come from byte 384 of each record.
std::string GoodsImage(int key, int id, const char* code, const char* name, unsigned char icon)
{
    std::string record(672, '\0');
    memcpy(&record[0], &key, 4);
    memcpy(&record[8], &id, 4);
    memcpy(&record[12], code, strlen(code));
    memcpy(&record[44], name, strlen(name));
    double dK = 1.25;
    memcpy(&record[376], &dK, 8);
    record[384] = (char)icon;
    return record;
}

int IconOf(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = -7;
    SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item);
    return item.iImage;
}

TEST_F(Pages, TheListFilesInTheCurrentFolderAreLoadedWithTheirRowIcons)
{
    ASSERT_TRUE(WriteBytes(scratch.File("GNList.dat"),
                           GoodsImage(1, 10, "K1", "Клей", 3) + GoodsImage(2, 11, "K2", "Краска", 7) +
                           GoodsImage(3, 12, "K3", "Кисть", 0) + GoodsImage(4, 13, "K4", "Валик", 4)));
    ASSERT_TRUE(WriteBytes(scratch.File("GDList.dat"), std::string(23, 'x')));   // broken: no table
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    HWND goods = GoodsList();
    ASSERT_EQ(4, Rows(goods));
    EXPECT_EQ("Клей", Cell(goods, 0, 1));
    EXPECT_EQ("1.250", Cell(goods, 0, 5));
    EXPECT_EQ("0000000B", Cell(goods, 1, 0));
    EXPECT_EQ(3, IconOf(goods, 0));
    EXPECT_EQ(0, IconOf(goods, 1));   // 7 is no icon of the strip
    EXPECT_EQ(0, IconOf(goods, 2));
    EXPECT_EQ(4, IconOf(goods, 3));
    EXPECT_EQ(0, Rows(BalanceList()));
    EXPECT_EQ(12, plugin->FindGoodsId("K3"));
    // Loaded keys stay taken: the next goods gets key 5 as its id.
    ASSERT_TRUE(plugin->AddGoods(0, "K5", "Лак", 0, 0, 0, "", 0));
    EXPECT_EQ(5, plugin->FindGoodsId("K5"));
    ASSERT_TRUE(plugin->RefreshLists());
    EXPECT_EQ(5, Rows(goods));
}

TEST_F(Pages, AHeaderClickSortsTheSuppliersByName)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    ASSERT_TRUE(plugin->AddSupplier(0, "Z", "Яшма", 0, 0, 0));
    ASSERT_TRUE(plugin->AddSupplier(0, "A", "Агат", 0, 0, 0));
    ASSERT_TRUE(plugin->RefreshLists());
    ClickTab(1);
    HWND list = SupplierList();
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    RECT r;
    SendMessageA(header, HDM_GETITEMRECT, 1, (LPARAM)&r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ("Агат", Cell(list, 0, 1));
    EXPECT_EQ("Яшма", Cell(list, 1, 1));
    EXPECT_TRUE(IsWindowEnabled(list));
}

TEST_F(Pages, TheResourcesCarryTheirTextsInCodePage1251)
{
    ASSERT_TRUE(Load());
    HMENU menu = LoadMenuA(library, MAKEINTRESOURCEA(130));
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(9, GetMenuItemCount(menu));
    char text[128];
    GetMenuStringA(menu, 3, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ("4", text);
    HMENU first = GetSubMenu(menu, 0);
    GetMenuStringA(first, 0, text, sizeof(text), MF_BYPOSITION);
    // "Загрузить данные..." byte for byte in code page 1251.
    EXPECT_EQ("\xC7\xE0\xE3\xF0\xF3\xE7\xE8\xF2\xFC \xE4\xE0\xED\xED\xFB\xE5 \xE8\xE7 "
              "\xF2\xE5\xEA\xF1\xF2\xEE\xE2\xEE\xE3\xEE \xF4\xE0\xE9\xEB\xE0",
              std::string(text));
    EXPECT_EQ(131, (int)GetMenuItemID(first, 0));
    EXPECT_EQ(205, (int)GetMenuItemID(first, 3));
    HMENU goods = GetSubMenu(menu, 4);
    EXPECT_EQ(192, (int)GetMenuItemID(goods, 8));
    HMENU grouping = GetSubMenu(goods, 5);
    ASSERT_NE(nullptr, grouping);
    GetMenuStringA(goods, 5, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ("Группировка товаров", text);
    EXPECT_EQ(186, (int)GetMenuItemID(grouping, 5));
    EXPECT_EQ(192, (int)GetMenuItemID(GetSubMenu(menu, 7), 0));
    DestroyMenu(menu);

    // The dialog strip: 358 x 31 dialog units, its button text in code page 1251.
    HWND strip = CreateDialogParamA(library, MAKEINTRESOURCEA(206), host, NULL, 0);
    ASSERT_NE(nullptr, strip);
    GetDlgItemTextA(strip, 1024, text, sizeof(text));
    EXPECT_EQ("\xCF\xEE\xF1\xF2\xF0\xEE\xE8\xF2\xFC \xE4\xE8\xED\xE0\xEC\xE8\xEA\xF3", std::string(text));
    RECT units = {0, 0, 358, 31}, client;
    MapDialogRect(strip, &units);
    GetClientRect(strip, &client);
    EXPECT_EQ(units.right, client.right);
    EXPECT_EQ(units.bottom, client.bottom);
    char cls[32];
    GetClassNameA(GetDlgItem(strip, 1011), cls, sizeof(cls));
    EXPECT_STREQ("ComboBox", cls);
    DestroyWindow(strip);

    struct Strip { int id, width, height; };
    const Strip strips[4] = {{153, 48, 16}, {179, 80, 16}, {188, 91, 13}, {190, 26, 13}};
    for (const Strip& s : strips) {
        HBITMAP bitmap = (HBITMAP)LoadImageA(library, MAKEINTRESOURCEA(s.id), IMAGE_BITMAP, 0, 0, 0);
        ASSERT_NE(nullptr, bitmap) << s.id;
        BITMAP info;
        GetObjectA(bitmap, sizeof(info), &info);
        EXPECT_EQ(s.width, info.bmWidth) << s.id;
        EXPECT_EQ(s.height, info.bmHeight) << s.id;
        // The mask colour stands in the top left corner of every strip.
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, bitmap);
        EXPECT_EQ(RGB(255, 0, 255), GetPixel(dc, 0, 0)) << s.id;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
}

TEST_F(Pages, SavedListsComeBackWhenTheLibraryIsLoadedAgain)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    ASSERT_TRUE(plugin->AddGoods(0, "A1", "Гвозди", 1, 2, 3, "прим", 4));
    ASSERT_TRUE(plugin->AddSupplier(0, "S1", "ООО Крепёж", 5, 6, 7));
    ASSERT_TRUE(plugin->AddMove(Date(1, 2, 23), 1, 1, 8, 0, 16, 0));
    ASSERT_TRUE(plugin->AddBalance(Date(1, 2, 23), 0, "A1", 9));
    ASSERT_TRUE(plugin->RefreshLists());
    ASSERT_TRUE(plugin->SaveLists());
    const char* names[4] = {"GNList.dat", "SNList.dat", "GMList.dat", "GDList.dat"};
    const size_t sizes[4] = {672, 1112, 80, 24};
    for (int i = 0; i < 4; ++i) {
        std::string bytes;
        ASSERT_TRUE(ReadBytes(std::string("c:\\") + names[i], &bytes)) << names[i];
        EXPECT_EQ(sizes[i], bytes.size()) << names[i];
        ASSERT_TRUE(WriteBytes(scratch.File(names[i]), bytes));
        DeleteFileA((std::string("c:\\") + names[i]).c_str());
    }
    ASSERT_TRUE(Unload());

    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    EXPECT_EQ("Гвозди", Cell(GoodsList(), 0, 1));
    EXPECT_EQ("2.00", Cell(GoodsList(), 0, 2));   // the figures were saved with the goods
    EXPECT_EQ("ООО Крепёж", Cell(SupplierList(), 0, 1));
    EXPECT_EQ("01.02.23", Cell(MoveList(), 0, 0));
    EXPECT_EQ("00000001", Cell(BalanceList(), 0, 1));
    EXPECT_EQ("9.00000", Cell(BalanceList(), 0, 2));
}

}  // namespace
