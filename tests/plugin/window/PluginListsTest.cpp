// The plug-in's lists as a user works with them: header clicks ordering every
// kind of column (Russian texts, numbers, dates, identifiers in each mode),
// the order when the identifier mode changes, a double click on a sorted
// dynamics list, rows without the sort arrows, and the grids' commands (copy,
// CSV, find) through the context menus and the registered message.
#include "OrvexHostFixture.h"

#include <string.h>

#include "cwin/composite/ListViewCommands.h"

namespace {

using Lists = OrvexHost;

uint32_t Date(int day, int month, int year)
{
    return (uint32_t)day + 256u * (uint32_t)month + 65536u * (uint32_t)year;
}

typedef std::vector<std::string> Texts;

// Goods 1 .. 12 whose names, codes, volumes and pack quantities each sort
// differently from their byte order; three suppliers; six moves.
void Feed(IOrvexPlugin* plugin)
{
    struct Goods { const char* code; const char* name; double volume; int pack; };
    const Goods goods[12] = {
        {"b2", "яблоко", 10, 5},      {"Б1", "Ёж", 2, -3},       {"a1", "ель", -1.5, 12},
        {"", "Ежевика", 0.25, 100},   {"B1", "абрикос", 100, 0}, {"е5", "Апельсин", 0, 0},
        {"Ё4", "ёлка", 0, 0},         {"10", "Zebra", 0, 0},     {"9", "apple", 0, 0},
        {"ж", "10 гвоздей", 0, 0},    {"Е5", "еж", 0, 0},        {"а1", "Ель", 0, 0},
    };
    for (const Goods& g : goods)
        ASSERT_TRUE(plugin->AddGoods(0, g.code, g.name, g.volume, 0, g.pack, "", 0));
    ASSERT_TRUE(plugin->AddSupplier(0, "S1", "ООО Крепёж", 0, 0, 0));
    ASSERT_TRUE(plugin->AddSupplier(0, "S2", "Агат", 0, 0, 0));
    ASSERT_TRUE(plugin->AddSupplier(0, "S3", "ёмкость", 0, 0, 0));
    ASSERT_TRUE(plugin->AddMove(Date(31, 12, 23), 12, 2, 10, 0, 25, 0));    // m1
    ASSERT_TRUE(plugin->AddMove(Date(1, 1, 24), 3, 1, 0, 4, 0, 14));       // m2
    ASSERT_TRUE(plugin->AddMove(Date(15, 2, 24), 77, 5, 1.5, 0, 3, 0));    // m3: goods and supplier unknown
    ASSERT_TRUE(plugin->AddMove(Date(2, 3, 24), 1, 1, 100, 0, 150, 0));    // m4
    ASSERT_TRUE(plugin->AddMove(Date(1, 3, 24), 10, 3, 2, 0, 2.5, 0));     // m5
    ASSERT_TRUE(plugin->AddMove(Date(15, 2, 24), -5, 2, 0, 0.5, 0, 1));    // m6: a negative identifier
    ASSERT_TRUE(plugin->RefreshLists());
}

void ClickHeader(HWND list, int column)
{
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    RECT r;
    SendMessageA(header, HDM_GETITEMRECT, (WPARAM)column, (LPARAM)&r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    Pump();
}

LRESULT Command(HWND list, WPARAM what, const char* argument = NULL)
{
    return SendMessageA(list, RegisterWindowMessageA(CWIN_LISTVIEW_COMMAND_MESSAGE), what, (LPARAM)argument);
}

int FocusedRow(HWND list)
{
    return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
}

std::vector<int> SelectedRows(HWND list)
{
    std::vector<int> rows;
    for (int row = -1; (row = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)row, LVNI_SELECTED)) >= 0;)
        rows.push_back(row);
    return rows;
}

int ColumnImage(HWND list, int column)
{
    LVCOLUMNA info = {};
    info.mask = LVCF_FMT | LVCF_IMAGE;
    SendMessageA(list, LVM_GETCOLUMNA, (WPARAM)column, (LPARAM)&info);
    return (info.fmt & LVCFMT_IMAGE) ? info.iImage : -1;
}

// Pixels of the sort arrows' colour that the list's own rows draw (the
// header is a window of its own and not drawn here).
int ArrowPixels(HWND list)
{
    RECT client;
    GetClientRect(list, &client);
    int width = client.right, height = client.bottom;
    HDC screen = GetDC(list);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageA(list, WM_PRINTCLIENT, (WPARAM)memory, PRF_CLIENT | PRF_ERASEBKGND);
    SelectObject(memory, old);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels((size_t)width * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(list, screen);
    int n = 0;
    for (DWORD p : pixels)
        n += (p & 0xFFFFFF) == 0x603C18;   // (96, 60, 24) as blue, green, red bytes
    return n;
}

class ListsFixture : public OrvexHost
{
protected:
    Texts Column(HWND list, int column)
    {
        Texts texts;
        for (int row = 0; row < Rows(list); ++row)
            texts.push_back(Cell(list, row, column));
        return texts;
    }
    bool Ready()
    {
        if (!Load() || !Attach() || !plugin->ShowPlugin())
            return false;
        Feed(plugin);
        return !HasFatalFailure();
    }
};

using ListOrder = ListsFixture;
using ListOrderOnDesktop = ListsFixture;

TEST_F(ListOrder, HeaderClicksOrderEveryKindOfColumnThenGiveTheStoredOrderBack)
{
    ASSERT_TRUE(Ready());
    struct Case
    {
        const char* what;
        int columns;   // the list: 11 goods, 5 suppliers, 7 moves
        int column;
        int idMode;
        Texts ascending, descending;
    };
    const Case cases[] = {
        {"Russian names, case and ё", 11, 1, 0,
         {"10 гвоздей", "apple", "Zebra", "абрикос", "Апельсин", "еж", "Ёж", "Ежевика", "ёлка", "ель", "Ель",
          "яблоко"},
         {"яблоко", "ель", "Ель", "ёлка", "Ежевика", "Ёж", "еж", "Апельсин", "абрикос", "Zebra", "apple",
          "10 гвоздей"}},
        {"supplier names", 5, 1, 0, {"Агат", "ёмкость", "ООО Крепёж"}, {"ООО Крепёж", "ёмкость", "Агат"}},
        {"volumes by value", 11, 6, 0,
         {"-1.50", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.25", "2.00", "10.00", "100.00"},
         {"100.00", "10.00", "2.00", "0.25", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "-1.50"}},
        {"pack quantities by value", 11, 8, 0,
         {"-3", "0", "0", "0", "0", "0", "0", "0", "0", "5", "12", "100"},
         {"100", "12", "5", "0", "0", "0", "0", "0", "0", "0", "0", "-3"}},
        {"goods codes as shown (an empty code shows hexadecimal)", 11, 0, 2,
         {"00000004", "10", "9", "a1", "B1", "b2", "а1", "Б1", "Ё4", "е5", "Е5", "ж"},
         {"ж", "е5", "Е5", "Ё4", "Б1", "а1", "b2", "B1", "a1", "9", "10", "00000004"}},
        {"dates across months and years", 7, 0, 0,
         {"31.12.23", "01.01.24", "15.02.24", "15.02.24", "01.03.24", "02.03.24"},
         {"02.03.24", "01.03.24", "15.02.24", "15.02.24", "01.01.24", "31.12.23"}},
        {"quantities by value", 7, 3, 0,
         {"0.00000", "0.00000", "1.50000", "2.00000", "10.00000", "100.00000"},
         {"100.00000", "10.00000", "2.00000", "1.50000", "0.00000", "0.00000"}},
        {"goods identifiers in hexadecimal: unsigned", 7, 1, 0,
         {"00000001", "00000003", "0000000A", "0000000C", "0000004D", "FFFFFFFB"},
         {"FFFFFFFB", "0000004D", "0000000C", "0000000A", "00000003", "00000001"}},
        {"goods identifiers in decimal: signed", 7, 1, 1,
         {"-5", "1", "3", "10", "12", "77"}, {"77", "12", "10", "3", "1", "-5"}},
        {"goods identifiers as codes (unknown goods empty)", 7, 1, 2,
         {"", "", "a1", "b2", "а1", "ж"}, {"ж", "а1", "b2", "a1", "", ""}},
        {"supplier identifiers as codes", 7, 2, 2,
         {"", "S1", "S1", "S2", "S2", "S3"}, {"S3", "S2", "S2", "S1", "S1", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(plugin->SetIdMode(c.idMode));
        HWND list = ListWithColumns(c.columns);
        ASSERT_NE(nullptr, list);
        const Texts stored = Column(list, c.column);
        ClickHeader(list, c.column);
        EXPECT_EQ(c.ascending, Column(list, c.column));
        EXPECT_EQ(0, ColumnImage(list, c.column));   // the ascending arrow
        ClickHeader(list, c.column);
        EXPECT_EQ(c.descending, Column(list, c.column));
        EXPECT_EQ(1, ColumnImage(list, c.column));
        ClickHeader(list, c.column);
        EXPECT_EQ(stored, Column(list, c.column));
        EXPECT_EQ(-1, ColumnImage(list, c.column));
        EXPECT_TRUE(IsWindowEnabled(list));
    }
}

TEST_F(ListOrder, EqualKeysKeepTheOrderTheyHadAndTheSelectedRowGoesWithItsRecord)
{
    ASSERT_TRUE(Ready());
    HWND moves = MoveList();
    // The move of 02.03.24 (row 3) selected.
    LVITEMA state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(moves, LVM_SETITEMSTATE, 3, (LPARAM)&state);
    ClickHeader(moves, 0);   // by date: m1 m2 m3 m6 m5 m4; m3 before m6 as stored
    EXPECT_EQ((Texts{"0000000C", "00000003", "0000004D", "FFFFFFFB", "0000000A", "00000001"}), Column(moves, 1));
    EXPECT_EQ(std::vector<int>{5}, SelectedRows(moves));
    EXPECT_EQ(5, FocusedRow(moves));
    EXPECT_EQ("02.03.24", Cell(moves, 5, 0));
    // Then by sold quantity: the four moves that sold nothing keep the date order.
    ClickHeader(moves, 4);
    EXPECT_EQ((Texts{"31.12.23", "15.02.24", "01.03.24", "02.03.24", "15.02.24", "01.01.24"}), Column(moves, 0));
    EXPECT_EQ(3, FocusedRow(moves));
    ClickHeader(moves, 4);   // descending: the equal ones still in that order
    EXPECT_EQ((Texts{"01.01.24", "15.02.24", "31.12.23", "15.02.24", "01.03.24", "02.03.24"}), Column(moves, 0));
    ClickHeader(moves, 4);   // the stored order, not the order by date
    EXPECT_EQ((Texts{"31.12.23", "01.01.24", "15.02.24", "02.03.24", "01.03.24", "15.02.24"}), Column(moves, 0));
    EXPECT_EQ(std::vector<int>{3}, SelectedRows(moves));
}

TEST_F(ListOrder, ANewIdentifierModeSortsAListSortedByIdentifiersAgainAsItShows)
{
    ASSERT_TRUE(Ready());
    HWND moves = MoveList();
    ClickHeader(moves, 1);   // hexadecimal, ascending
    ASSERT_EQ((Texts{"00000001", "00000003", "0000000A", "0000000C", "0000004D", "FFFFFFFB"}), Column(moves, 1));
    ASSERT_TRUE(plugin->SetIdMode(2));
    EXPECT_EQ((Texts{"", "", "a1", "b2", "а1", "ж"}), Column(moves, 1));
    EXPECT_EQ(0, ColumnImage(moves, 1));
    ASSERT_TRUE(plugin->SetIdMode(1));
    EXPECT_EQ((Texts{"-5", "1", "3", "10", "12", "77"}), Column(moves, 1));
    EXPECT_FALSE(plugin->SetIdMode(7));
    EXPECT_EQ((Texts{"-5", "1", "3", "10", "12", "77"}), Column(moves, 1));
    // A list sorted by something else keeps its order; it only shows the new mode.
    HWND goods = GoodsList();
    ClickHeader(goods, 1);
    const Texts names = Column(goods, 1);
    ASSERT_TRUE(plugin->SetIdMode(0));
    EXPECT_EQ(names, Column(goods, 1));
    EXPECT_EQ("0000000A", Cell(goods, 0, 0));   // "10 гвоздей" is goods 10
    ClickHeader(moves, 1);   // descending, hexadecimal
    ClickHeader(moves, 1);
    EXPECT_EQ((Texts{"0000000C", "00000003", "0000004D", "00000001", "0000000A", "FFFFFFFB"}), Column(moves, 1));
}

TEST_F(ListOrder, AGoodsListSortedByAFigureFollowsTheFiguresRefreshRecomputes)
{
    ASSERT_TRUE(Ready());
    ASSERT_TRUE(plugin->SetIdMode(2));
    HWND goods = GoodsList();
    ClickHeader(goods, 2);   // purchase price: goods 10 at 1.25, goods 1 at 1.50, goods 12 at 2.50
    ASSERT_EQ((Texts{"0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "1.25", "1.50",
                     "2.50"}),
              Column(goods, 2));
    // Goods 2 (Б1) bought at 5.00; goods 10 (ж) now 4 units for 3.00, 0.75 each.
    ASSERT_TRUE(plugin->AddMove(Date(3, 3, 24), 2, 1, 1, 0, 5, 0));
    ASSERT_TRUE(plugin->AddMove(Date(3, 3, 24), 10, 3, 2, 0, 0.5, 0));
    ASSERT_TRUE(plugin->RefreshLists());
    EXPECT_EQ((Texts{"0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.75", "1.50", "2.50",
                     "5.00"}),
              Column(goods, 2));
    EXPECT_EQ((Texts{"a1", "00000004", "B1", "е5", "Ё4", "10", "9", "Е5", "ж", "b2", "а1", "Б1"}), Column(goods, 0));
    EXPECT_EQ(0, ColumnImage(goods, 2));
}

TEST_F(ListOrder, TheRowsDrawNoSortArrowTheHeadersCarryThem)
{
    ASSERT_TRUE(Ready());
    ASSERT_TRUE(plugin->AddBalance(Date(5, 3, 24), 1, NULL, 2));
    ASSERT_TRUE(plugin->RefreshLists());
    struct Page { int tab; int columns; bool rowIcons; } pages[] = {
        {0, 11, true}, {1, 5, false}, {2, 7, false}, {3, 3, false}};
    for (const Page& p : pages) {
        SCOPED_TRACE(p.columns);
        ClickTab(p.tab);
        HWND list = ListWithColumns(p.columns);
        ASSERT_NE(nullptr, list);
        ASSERT_GT(Rows(list), 0);
        HIMAGELIST rows = (HIMAGELIST)SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
        HIMAGELIST arrows = (HIMAGELIST)SendMessageA((HWND)SendMessageA(list, LVM_GETHEADER, 0, 0),
                                                     HDM_GETIMAGELIST, 0, 0);
        ASSERT_NE(nullptr, arrows);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(arrows, &cx, &cy);
        EXPECT_EQ(13, cx);
        EXPECT_EQ(2, ImageList_GetImageCount(arrows));
        if (p.rowIcons) {
            ASSERT_NE(nullptr, rows);
            ImageList_GetIconSize(rows, &cx, &cy);
            EXPECT_EQ(16, cx);   // the goods' own icons, which draw that colour too
            EXPECT_GT(ArrowPixels(list), 0);
        } else {
            EXPECT_EQ(nullptr, rows);
            EXPECT_EQ(0, ArrowPixels(list));
        }
        ClickHeader(list, 0);
        EXPECT_EQ(0, ColumnImage(list, 0));
        if (!p.rowIcons) {
            EXPECT_EQ(0, ArrowPixels(list));
        }
    }
    // The dynamics list: its header carries the arrows as well.
    HWND dynamics = DynamicsList();
    ASSERT_NE(nullptr, dynamics);
    EXPECT_EQ(nullptr, (HIMAGELIST)SendMessageA(dynamics, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    EXPECT_NE(nullptr, (HIMAGELIST)SendMessageA((HWND)SendMessageA(dynamics, LVM_GETHEADER, 0, 0),
                                                HDM_GETIMAGELIST, 0, 0));
}

// Two goods of supplier S1 (B2 "Шурупы" stored first), one sale of A1 through another supplier.
void FeedDynamics(IOrvexPlugin* plugin)
{
    ASSERT_TRUE(plugin->AddGoods(0, "A1", "Гвозди", 0, 0, 0, "", 0));
    ASSERT_TRUE(plugin->AddGoods(0, "B2", "Шурупы", 0, 0, 0, "", 0));
    ASSERT_TRUE(plugin->AddSupplier(0, "S0", "Другой", 0, 0, 0));
    ASSERT_TRUE(plugin->AddSupplier(0, "S1", "ООО Крепёж", 0, 0, 0));
    ASSERT_TRUE(plugin->AddMove(Date(7, 3, 24), 2, 2, 1.5, 0, 3, 0));
    ASSERT_TRUE(plugin->AddMove(Date(5, 3, 24), 1, 2, 10, 0, 25, 0));
    ASSERT_TRUE(plugin->AddMove(Date(6, 3, 24), 1, 77, 0, 4, 0, 14));
    ASSERT_TRUE(plugin->RefreshLists());
}

TEST_F(Lists, ADoubleClickOnASortedDynamicsListReportsTheRowClicked)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    FeedDynamics(plugin);
    ClickTab(4);
    HWND strip = DynamicsStrip();
    ASSERT_NE(nullptr, strip);
    SendMessageA(GetDlgItem(strip, 1011), CB_SETCURSEL, 1, 0);
    SendMessageA(GetDlgItem(strip, 1024), BM_CLICK, 0, 0);
    Pump();
    HWND list = DynamicsList();
    ASSERT_EQ(2, Rows(list));
    ASSERT_EQ("Шурупы", Cell(list, 0, 1));
    ClickHeader(list, 1);   // by name: "Гвозди" first
    ASSERT_EQ("Гвозди", Cell(list, 0, 1));
    EXPECT_EQ("00000001", Cell(list, 0, 0));
    EXPECT_EQ(0, ColumnImage(list, 1));

    ClickRow(list, 0, true);
    ASSERT_EQ(1u, OpenRequests().size());
    std::string report;
    ASSERT_TRUE(ReadBytes(scratch.File("GoodsDinamic.html"), &report));
    // The report of A1: 10 received on 05.03.24, 4 sold on 06.03.24.
    const std::string row = "<tr align=\"center\">\r\n";
    std::string expected = std::string("<html><body>\r\n")
        + "\r\n<table cellspacing=\"0\" cellpadding=\"3\" border=\"1\" width=\"90%\" align=\"center\" >\r\n"
        + row + "<th>дата</th><th>остаток (нач.)</th><th>приход</th><th>расход</th><th>остаток (кон.)</th></tr>\r\n"
        + row + "<td>05.03.24</td><td>0.00</td><td>10.00</td><td>0.00</td><td>10.00</td></tr>\r\n"
        + row + "<td>06.03.24</td><td>10.00</td><td>0.00</td><td>4.00</td><td>6.00</td></tr>\r\n"
        + row + "<td>07.03.24</td><td>6.00</td><td>0.00</td><td>0.00</td><td>6.00</td></tr>\r\n"
        + "</table>\r\n</body></html>\r\n";
    EXPECT_EQ(Escaped(expected), Escaped(report));

    // Built again while sorted: the new rows are in the order the arrow shows.
    SendMessageA(GetDlgItem(strip, 1024), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ("Гвозди", Cell(list, 0, 1));
    EXPECT_EQ("Шурупы", Cell(list, 1, 1));
    ClickHeader(list, 1);   // descending
    EXPECT_EQ("Шурупы", Cell(list, 0, 1));
    ClickRow(list, 1, true);
    ASSERT_EQ(2u, OpenRequests().size());
    std::string again;
    ASSERT_TRUE(ReadBytes(scratch.File("GoodsDinamic.html"), &again));
    EXPECT_EQ(Escaped(expected), Escaped(again));
}

// Built again while sorted, with as many rows as before: the new rows come in
// the order the arrow shows, and the third click gives them in the order of
// the new build, not that of a build gone.
TEST_F(Lists, TheThirdClickAfterARebuildShowsTheRowsOfTheNewBuildInTheirOrder)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    FeedDynamics(plugin);
    ASSERT_TRUE(plugin->AddGoods(0, "C3", "Дюбель", 0, 0, 0, "", 0));     // id 3
    ASSERT_TRUE(plugin->AddMove(Date(4, 3, 24), 3, 2, 1, 0, 1, 0));       // from S1, stored last
    ASSERT_TRUE(plugin->RefreshLists());
    ClickTab(4);
    HWND strip = DynamicsStrip();
    ASSERT_NE(nullptr, strip);
    SendMessageA(GetDlgItem(strip, 1011), CB_SETCURSEL, 1, 0);
    SendMessageA(GetDlgItem(strip, 1024), BM_CLICK, 0, 0);
    Pump();
    HWND list = DynamicsList();
    auto names = [&]() {
        Texts shown;
        for (int row = 0; row < Rows(list); ++row)
            shown.push_back(Cell(list, row, 1));
        return shown;
    };
    ASSERT_EQ(3, Rows(list));
    // Rows in the order of their first supply: B2, A1, C3.
    EXPECT_EQ(Texts({"Шурупы", "Гвозди", "Дюбель"}), names());
    ClickHeader(list, 1);
    EXPECT_EQ(Texts({"Гвозди", "Дюбель", "Шурупы"}), names());

    SendMessageA(GetDlgItem(strip, 1024), BM_CLICK, 0, 0);
    Pump();
    ASSERT_EQ(3, Rows(list));
    EXPECT_EQ(Texts({"Гвозди", "Дюбель", "Шурупы"}), names());
    EXPECT_EQ(0, ColumnImage(list, 1));
    ClickHeader(list, 1);   // descending
    EXPECT_EQ(Texts({"Шурупы", "Дюбель", "Гвозди"}), names());
    EXPECT_EQ(1, ColumnImage(list, 1));
    ClickHeader(list, 1);   // the order of the build
    EXPECT_EQ(Texts({"Шурупы", "Гвозди", "Дюбель"}), names());
    EXPECT_EQ(-1, ColumnImage(list, 1));
}

TEST_F(ListOrder, TheMovementsListSavedAsCsvInItsShownOrder)
{
    ASSERT_TRUE(Ready());
    HWND moves = MoveList();
    ClickHeader(moves, 0);   // by date
    std::string path = scratch.File("Проводки.csv");
    ASSERT_EQ(1, Command(moves, LVC_SAVE_CSV, path.c_str()));
    std::string bytes;
    ASSERT_TRUE(ReadBytes(path, &bytes));
    // Dates keep their points; the quantities and values get decimal commas.
    const std::string expected =
        "Дата;ID товара;ID поставщика;Поставка кол-во;Продажа кол-во;Цена поставки;Цена продажи\r\n"
        "31.12.23;0000000C;00000002;10,00000;0,00000;25,00000;0,00000\r\n"
        "01.01.24;00000003;00000001;0,00000;4,00000;0,00000;14,00000\r\n"
        "15.02.24;0000004D;00000005;1,50000;0,00000;3,00000;0,00000\r\n"
        "15.02.24;FFFFFFFB;00000002;0,00000;0,50000;0,00000;1,00000\r\n"
        "01.03.24;0000000A;00000003;2,00000;0,00000;2,50000;0,00000\r\n"
        "02.03.24;00000001;00000001;100,00000;0,00000;150,00000;0,00000\r\n";
    EXPECT_EQ(Escaped(expected), Escaped(bytes));

    // A name with the separator and quotes is quoted; the goods' numbers get commas.
    ASSERT_TRUE(plugin->AddGoods(0, "K", "Болт; \"М6\"", 0.5, 2, 3, "", 1));
    ASSERT_TRUE(plugin->RefreshLists());
    ASSERT_TRUE(plugin->SetIdMode(2));
    HWND goods = GoodsList();
    ASSERT_EQ(1, Command(goods, LVC_SAVE_CSV, path.c_str()));
    ASSERT_TRUE(ReadBytes(path, &bytes));
    EXPECT_EQ(0u, bytes.find("ID;Наименование;Цена покупки;Цена продажи;Наценка;dK;Кубатура;Ассортимент;"
                             "Кол-во в уп.;Примечание;Спец.ср.дост.\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("\r\nK;\"Болт; \"\"М6\"\"\";0,00;0,00;0,00;0,000;0,50;2;3;;1\r\n"))
        << Escaped(bytes);
}

TEST_F(ListOrder, FindLooksThroughEveryColumnAndWraps)
{
    ASSERT_TRUE(Ready());
    HWND moves = MoveList();
    EXPECT_EQ(0, Command(moves, LVC_FIND_NEXT));
    ASSERT_EQ(1, Command(moves, LVC_FIND, "0000004d"));   // from the first row, any case
    EXPECT_EQ(2, FocusedRow(moves));
    ASSERT_EQ(1, Command(moves, LVC_FIND, "15.02"));
    EXPECT_EQ(5, FocusedRow(moves));
    ASSERT_EQ(1, Command(moves, LVC_FIND_NEXT));          // round the end
    EXPECT_EQ(2, FocusedRow(moves));
    SendMessageA(moves, WM_KEYDOWN, VK_F3, 0);            // F3 is the same
    EXPECT_EQ(5, FocusedRow(moves));
    EXPECT_EQ(0, Command(moves, LVC_FIND, "нет такого"));
    EXPECT_EQ(5, FocusedRow(moves));
    EXPECT_EQ(std::vector<int>{5}, SelectedRows(moves));
    ASSERT_TRUE(plugin->SetIdMode(2));
    ASSERT_EQ(1, Command(moves, LVC_FIND, "Ж"));           // a code as shown, capitals folded
    EXPECT_EQ(4, FocusedRow(moves));
    HWND goods = GoodsList();
    ASSERT_EQ(1, Command(goods, LVC_FIND, "ЁЛ"));          // "ёлка", goods 7
    EXPECT_EQ(6, FocusedRow(goods));
}

// Answers the find prompt, from inside its own message loop.
void CALLBACK FindCrepezh(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowA("#32770", "Найти");
    if (!dialog)
        return;
    KillTimer(NULL, timer);
    SetDlgItemTextA(dialog, 100, "крепёж");   // the prompt's edit box
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

TEST_F(ListOrderOnDesktop, TheContextMenusCopySelectAllAndFind)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    ASSERT_TRUE(plugin->AddGoods(0, "A1", "Гвозди", 1.5, 3, 10, "шт", 2.6));
    ASSERT_TRUE(plugin->AddGoods(0, "B2", "Шурупы", 0, 0, 0, "", 0));
    ASSERT_TRUE(plugin->AddSupplier(0, "S1", "ООО Крепёж", 150.5, 2, 3));
    ASSERT_TRUE(plugin->RefreshLists());
    HWND goods = GoodsList();
    RECT r;
    GetWindowRect(goods, &r);
    LPARAM at = MAKELPARAM(r.left + 40, r.top + 40);

    // Goods menu: 156, 131, 155, two submenus, 192, then «Копировать», «Выделить всё», «Найти…».
    MenuItemsSeen().clear();
    MenuDownPresses() = 8;   // «Выделить всё»
    SendMessageA(host, WM_CONTEXTMENU, (WPARAM)goods, at);
    Pump();
    ASSERT_GE(MenuItemsSeen().size(), 13u);
    EXPECT_EQ("Поиск далее", MenuItemsSeen()[8]);
    EXPECT_EQ("", MenuItemsSeen()[9]);
    EXPECT_EQ("Копировать\tCtrl+C", MenuItemsSeen()[10]);
    EXPECT_EQ("Выделить всё\tCtrl+A", MenuItemsSeen()[11]);
    EXPECT_EQ("Найти…\tCtrl+F", MenuItemsSeen()[12]);
    EXPECT_EQ(2, (int)SendMessageA(goods, LVM_GETSELECTEDCOUNT, 0, 0));

    MenuDownPresses() = 7;   // «Копировать»
    SendMessageA(host, WM_CONTEXTMENU, (WPARAM)goods, at);
    Pump();
    std::string copied;
    std::wstring wide;
    ASSERT_TRUE(OpenClipboard(host));
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        copied = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        wide = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    EXPECT_EQ(Escaped("ID\tНаименование\tЦена покупки\tЦена продажи\tНаценка\tdK\tКубатура\tАссортимент\t"
                      "Кол-во в уп.\tПримечание\tСпец.ср.дост.\r\n"
                      "00000001\tГвозди\t0,00\t0,00\t0,00\t0,000\t1,50\t3\t10\tшт\t3\r\n"
                      "00000002\tШурупы\t0,00\t0,00\t0,00\t0,000\t0,00\t0\t0\t\t0\r\n"),
              Escaped(copied));
    // "Гвозди\t0,00" in UTF-16.
    EXPECT_NE(std::wstring::npos, wide.find(L"\u0413\u0432\u043E\u0437\u0434\u0438\t0,00\t"));

    // Suppliers menu: 131, 155, 205, then «Копировать», «Выделить всё», «Найти…»: the prompt.
    ClickTab(1);
    HWND suppliers = SupplierList();
    GetWindowRect(suppliers, &r);
    MenuDownPresses() = 6;
    SetTimer(NULL, 0, 30, FindCrepezh);
    SendMessageA(host, WM_CONTEXTMENU, (WPARAM)suppliers, MAKELPARAM(r.left + 40, r.top + 40));
    ASSERT_TRUE(PumpUntil([&] { return FocusedRow(suppliers) == 0; }));
    EXPECT_EQ(std::vector<int>{0}, SelectedRows(suppliers));
}

}  // namespace
