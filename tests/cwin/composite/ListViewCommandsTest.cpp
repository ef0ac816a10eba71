// The list view grid's order by the owner's keys, the selection kept across a
// sort, the header's own images, and the grid's commands (select all, copy,
// save as CSV, find in every column) through the registered message, the
// keys and the find prompt. Driven with real messages and real input to a
// real SysListView32; checked through the clipboard, the files and what the
// control shows.
#include "FrameworkFixture.h"
#include "FileFaults.h"
#include "cwin/composite/ListView.h"
#include "cwin/composite/ListViewCommands.h"
#include "cwin/controls/TextPrompt.h"

#include <float.h>
#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>

namespace {

struct Item
{
    uint32_t id;
    BYTE     mark;      // the grid's focus mark
    BYTE     spare[3];
    double   price;
    char     name[40];
    char     code[16];
};

// The grid's owner: names, prices (a number column) and codes (a text column
// that may look like a number); compares by any of them and, when asked to,
// gives keys for the prices.
struct Owner : ISortKeySource
{
    long long compares = 0;
    int keyCalls = 0;
    int keyColumn = -99;
    int keyCount = -1;
    bool keysForPrices = true;
    CProgBar* bar = nullptr;
    int highestProgress = 0;

    bool MakeSortKeys(CListView*, int column, const void* records, int recordSize, int count,
                      uint64_t* keys) override
    {
        ++keyCalls;
        keyColumn = column;
        keyCount = count;
        if (column != 1 || !keysForPrices)
            return false;
        for (int i = 0; i < count; ++i)
            keys[i] = SortKeyOfDouble(reinterpret_cast<const Item*>(static_cast<const char*>(records) +
                                                                     (size_t)i * recordSize)->price);
        return true;
    }
};
Owner* g_owner = nullptr;

int CompareItems(const Item* a, const Item* b, int column)
{
    switch (column) {
    case 0: return strcmp(a->name, b->name);
    case 1: return a->price > b->price ? 1 : a->price < b->price ? -1 : 0;
    default: return strcmp(a->code, b->code);
    }
}

int OwnerCallback(WindowEvent* e)
{
    Owner& o = *g_owner;
    if (e->eventCode == EV_CACHE_HINT) {
        if (o.bar && o.bar->GetShownPos() > o.highestProgress)
            o.highestProgress = o.bar->GetShownPos();
        NMLVDISPINFOA* request = reinterpret_cast<NMLVDISPINFOA*>(e->notify);
        const Item* item = reinterpret_cast<const Item*>(e->param);
        if (!(request->item.mask & LVIF_TEXT))
            return 0;
        char* text = request->item.pszText;
        int size = request->item.cchTextMax;
        if (!item)
            snprintf(text, size, "Итого");
        else if (request->item.iSubItem == 0)
            snprintf(text, size, "%s", item->name);
        else if (request->item.iSubItem == 1)
            snprintf(text, size, "%.2f", item->price);
        else
            snprintf(text, size, "%s", item->code);
        return 0;
    }
    if (e->eventCode == EV_COMPARE) {
        ++o.compares;
        return CompareItems(reinterpret_cast<Item*>(e->notify), reinterpret_cast<Item*>(e->aux), (int)e->param);
    }
    return 0;
}

class ListViewCommands : public FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        g_owner = &owner;
        command = RegisterWindowMessageA(CWIN_LISTVIEW_COMMAND_MESSAGE);
    }
    void TearDown() override
    {
        g_owner = nullptr;
        if (arrows)
            ImageList_Destroy(arrows);
        if (icons)
            ImageList_Destroy(icons);
        FrameTest::TearDown();
    }

    CListView* MakeGrid(DWORD style = 0)
    {
        CListView* grid = Make<CListView>(10, 10, 410, 310, WS_VISIBLE | LVS_SHOWSELALWAYS | style);
        if (!grid)
            return nullptr;
        grid->InsertColumn(0, "Наименование", 150, 0, 0);
        grid->InsertColumn(1, "Цена", 80, LVCFMT_RIGHT, CWIN_COLUMN_NUMBERS);
        grid->InsertColumn(2, "Код", 80, 0, 0);
        grid->BindStore(reinterpret_cast<void**>(&block), reinterpret_cast<void**>(&pending),
                        reinterpret_cast<void**>(&current), sizeof(Item), 10, &count);
        grid->AddHandler(OwnerCallback, EV_CACHE_HINT | EV_COMPARE, 0, NULL);
        return grid;
    }
    void Add(CListView* grid, const char* name, double price, const char* code = "")
    {
        strcpy(pending->name, name);
        pending->price = price;
        strcpy(pending->code, code);
        grid->GetStore()->Append();
    }
    std::vector<uint32_t> Order(CListView* grid)
    {
        std::vector<uint32_t> ids;
        for (int row = 0; row < grid->GetStore()->ViewCount(); ++row)
            ids.push_back(static_cast<Item*>(grid->GetStore()->GetByView(row))->id);
        return ids;
    }
    void ClickHeader(CListView* grid, int column)
    {
        HWND header = (HWND)SendMessageA(grid->GetHandle(), LVM_GETHEADER, 0, 0);
        RECT r;
        SendMessageA(header, HDM_GETITEMRECT, (WPARAM)column, (LPARAM)&r);
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(header, WM_LBUTTONUP, 0, at);
    }
    void SetState(CListView* grid, int row, UINT state, UINT mask = LVIS_SELECTED | LVIS_FOCUSED)
    {
        LVITEMA item = {};
        item.stateMask = mask;
        item.state = state;
        SendMessageA(grid->GetHandle(), LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)&item);
    }
    std::vector<int> SelectedRows(CListView* grid)
    {
        std::vector<int> rows;
        for (int row = -1; (row = (int)SendMessageA(grid->GetHandle(), LVM_GETNEXTITEM, (WPARAM)row,
                                                    LVNI_SELECTED)) >= 0;)
            rows.push_back(row);
        return rows;
    }
    int FocusedRow(CListView* grid)
    {
        return (int)SendMessageA(grid->GetHandle(), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    }
    int RowOf(CListView* grid, uint32_t id)
    {
        std::vector<uint32_t> order = Order(grid);
        return (int)(std::find(order.begin(), order.end(), id) - order.begin());
    }
    LRESULT Command(CListView* grid, WPARAM what, const char* argument = NULL)
    {
        return SendMessageA(grid->GetHandle(), command, what, (LPARAM)argument);
    }
    // The column's header format and image.
    LVCOLUMNA Column(CListView* grid, int column)
    {
        LVCOLUMNA info = {};
        info.mask = LVCF_FMT | LVCF_IMAGE;
        SendMessageA(grid->GetHandle(), LVM_GETCOLUMNA, (WPARAM)column, (LPARAM)&info);
        return info;
    }
    HIMAGELIST Strip(int size, int images)
    {
        HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, images, 0);
        HDC screen = GetDC(NULL);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, size * images, size);
        ReleaseDC(NULL, screen);
        ImageList_AddMasked(list, bitmap, RGB(255, 0, 255));
        DeleteObject(bitmap);
        return list;
    }

    Owner owner;
    UINT command = 0;
    Item* block = nullptr;
    Item* pending = nullptr;
    Item* current = nullptr;
    int count = 0;
    HIMAGELIST arrows = NULL;
    HIMAGELIST icons = NULL;
};

// Tests with the clipboard, the keyboard focus, real keys or modal windows.
using ListViewCommandsOnDesktop = ListViewCommands;

// A literal stable insertion sort of the view by the owner's comparisons.
void InsertionSort(std::vector<uint32_t>& view, const Item* records, int column, bool ascending)
{
    for (size_t i = 1; i < view.size(); ++i)
        for (size_t j = i; j > 0; --j) {
            int e = CompareItems(&records[view[j - 1]], &records[view[j]], column);
            if (!(ascending ? e > 0 : e < 0))
                break;
            std::swap(view[j - 1], view[j]);
        }
}

TEST_F(ListViewCommands, KeysGiveTheOrderOfCompareEventsWithoutAskingOne)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    grid->SetSortKeySource(&owner);
    grid->ShowIdColumn("№", 40);
    srand(11);
    const int n = 500;
    char name[40];
    for (int i = 0; i < n; ++i) {
        snprintf(name, sizeof(name), "Товар %c", 'А' + rand() % 5);
        Add(grid, name, (rand() % 20 - 5) * 0.5);   // many equal prices, some negative
    }
    grid->Refresh();
    const uint32_t* view = grid->GetStore()->ViewIndex();
    std::vector<uint32_t> expected(view, view + n);

    // Screen column 1 is the owner's column 0 (names: the source gives no keys,
    // compare events), screen column 2 its column 1 (prices: keys only).
    struct Step { int screen; int column; bool ascending; bool keys; } steps[] = {
        {1, 0, true, false}, {2, 1, true, true}, {2, 1, false, true}};
    for (const Step& step : steps) {
        owner.compares = 0;
        owner.keyCalls = 0;
        ASSERT_TRUE(grid->SortByColumn(step.screen));
        InsertionSort(expected, block, step.column, step.ascending);
        ASSERT_EQ(expected, std::vector<uint32_t>(view, view + n)) << "screen column " << step.screen;
        EXPECT_EQ(1, owner.keyCalls);
        EXPECT_EQ(step.column, owner.keyColumn);
        EXPECT_EQ(n, owner.keyCount);
        if (step.keys)
            EXPECT_EQ(0, owner.compares);
        else
            EXPECT_GT(owner.compares, 0);
    }
    // A source that gives no keys at all: the prices by compare events, the same order.
    owner.keysForPrices = false;
    ASSERT_TRUE(grid->SortByColumn(2));   // back to the first order
    grid->SortByColumn(1);
    expected.assign(view, view + n);
    owner.compares = 0;
    ASSERT_TRUE(grid->SortByColumn(2));
    InsertionSort(expected, block, 1, true);
    EXPECT_EQ(expected, std::vector<uint32_t>(view, view + n));
    EXPECT_GT(owner.compares, 0);
    // The identifier column asks neither keys nor events.
    owner.keyCalls = 0;
    owner.compares = 0;
    ASSERT_TRUE(grid->SortByColumn(0));
    for (int i = 0; i < n; ++i)
        ASSERT_EQ((uint32_t)(i + 1), block[view[i]].id);
    EXPECT_EQ(0, owner.keyCalls);
    EXPECT_EQ(0, owner.compares);
}

TEST_F(ListViewCommands, KeysOfNumbersOrderLikeTheNumbers)
{
    const double values[] = {-INFINITY, -1e308, -2.5, -1e-300, -DBL_TRUE_MIN, 0.0, DBL_TRUE_MIN, 1e-300, 2.5,
                             1e308, INFINITY, NAN};
    for (size_t i = 1; i < sizeof(values) / sizeof(values[0]); ++i)
        EXPECT_LT(SortKeyOfDouble(values[i - 1]), SortKeyOfDouble(values[i])) << values[i - 1] << " " << values[i];
    EXPECT_EQ(SortKeyOfDouble(0.0), SortKeyOfDouble(-0.0));
    EXPECT_EQ(SortKeyOfDouble(NAN), SortKeyOfDouble(-NAN));
    const int64_t integers[] = {INT64_MIN, INT_MIN, -1, 0, 1, INT_MAX, INT64_MAX};
    for (size_t i = 1; i < sizeof(integers) / sizeof(integers[0]); ++i)
        EXPECT_LT(SortKeyOfSigned(integers[i - 1]), SortKeyOfSigned(integers[i]));
}

TEST_F(ListViewCommands, TheSelectedRecordsStaySelectedAndTheFocusedOneInView)
{
    CListView* grid = MakeGrid(0);
    ASSERT_NE(nullptr, grid);
    grid->SetSortKeySource(&owner);
    const int n = 200;
    for (int i = 0; i < n; ++i)
        Add(grid, "x", (double)((i * 37) % n));   // every price once
    grid->Refresh();
    SetState(grid, 5, LVIS_SELECTED);
    SetState(grid, 190, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageA(grid->GetHandle(), LVM_ENSUREVISIBLE, 190, FALSE);
    // Rows 5 and 190 hold records 6 (price 185) and 191 (price 30).
    ClickHeader(grid, 1);
    EXPECT_EQ(1, grid->GetSortColumn());
    EXPECT_EQ((std::vector<int>{30, 185}), SelectedRows(grid));
    EXPECT_EQ(191u, static_cast<Item*>(grid->GetStore()->GetByView(30))->id);
    EXPECT_EQ(30, FocusedRow(grid));
    EXPECT_EQ(block + 190, current);   // the focused row's record is the current one
    int top = (int)SendMessageA(grid->GetHandle(), LVM_GETTOPINDEX, 0, 0);
    int perPage = (int)SendMessageA(grid->GetHandle(), LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_LE(top, 30);
    EXPECT_LT(30, top + perPage);

    // Every row selected: all stay selected, the focus follows its record (now at row 169).
    ASSERT_EQ(1, Command(grid, LVC_SELECT_ALL));
    EXPECT_EQ(n, (int)SendMessageA(grid->GetHandle(), LVM_GETSELECTEDCOUNT, 0, 0));
    ClickHeader(grid, 1);   // descending
    EXPECT_FALSE(grid->IsAscending());
    EXPECT_EQ(n, (int)SendMessageA(grid->GetHandle(), LVM_GETSELECTEDCOUNT, 0, 0));
    EXPECT_EQ(n - 1 - 30, FocusedRow(grid));
    EXPECT_EQ(191u, static_cast<Item*>(grid->GetStore()->GetByView(FocusedRow(grid)))->id);
}

TEST_F(ListViewCommands, ARefreshAfterTheStoreGrewSortsTheNewRowsIn)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    grid->SetSortKeySource(&owner);
    grid->SetSortImageBase(0);
    arrows = Strip(13, 2);
    grid->SetHeaderImages(&arrows);
    Add(grid, "a", 30);   // 1
    Add(grid, "b", 10);   // 2
    Add(grid, "c", 20);   // 3
    grid->Refresh();
    ClickHeader(grid, 1);
    EXPECT_EQ((std::vector<uint32_t>{2, 3, 1}), Order(grid));
    Add(grid, "d", 5);    // 4
    Add(grid, "e", 25);   // 5
    grid->Refresh();
    EXPECT_EQ((std::vector<uint32_t>{4, 2, 3, 5, 1}), Order(grid));
    EXPECT_EQ(1, grid->GetSortColumn());
    EXPECT_EQ(0, Column(grid, 1).iImage);   // the arrow still tells the truth
    // A refresh without changes sorts nothing and asks nothing.
    owner.keyCalls = 0;
    grid->Refresh();
    EXPECT_EQ(0, owner.keyCalls);
    ClickHeader(grid, 1);
    EXPECT_EQ((std::vector<uint32_t>{1, 5, 3, 2, 4}), Order(grid));
    // The order saved before the first sort lacks the new rows: the stored order stands in.
    ClickHeader(grid, 1);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4, 5}), Order(grid));
}

TEST_F(ListViewCommands, TheArrowsAreTheHeadersOwnImagesAndTheRowsKeepTheirs)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "a", 1);
    Add(grid, "b", 2);
    grid->Refresh();
    HWND w = grid->GetHandle();
    HWND header = (HWND)SendMessageA(w, LVM_GETHEADER, 0, 0);
    arrows = Strip(13, 2);
    icons = Strip(16, 5);
    grid->SetSortImageBase(0);
    ASSERT_TRUE(grid->SetHeaderImages(&arrows));
    EXPECT_EQ(arrows, (HIMAGELIST)SendMessageA(header, HDM_GETIMAGELIST, 0, 0));
    EXPECT_EQ(nullptr, (HIMAGELIST)SendMessageA(w, LVM_GETIMAGELIST, LVSIL_SMALL, 0));   // rows draw no image

    struct Click { int fmtImage; int image; } clicks[] = {{LVCFMT_IMAGE, 0}, {LVCFMT_IMAGE, 1}, {0, -1}};
    for (const Click& c : clicks) {
        ClickHeader(grid, 2);
        LVCOLUMNA info = Column(grid, 2);
        EXPECT_EQ(c.fmtImage, info.fmt & LVCFMT_IMAGE);
        if (c.image >= 0) {
            EXPECT_EQ(c.image, info.iImage);
        }
        EXPECT_EQ(0, Column(grid, 0).fmt & LVCFMT_IMAGE);
    }
    // Row icons of their own: the header keeps the arrows.
    ASSERT_TRUE(grid->SetImageList(&icons, LVSIL_SMALL));
    EXPECT_EQ(icons, (HIMAGELIST)SendMessageA(w, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    EXPECT_EQ(arrows, (HIMAGELIST)SendMessageA(header, HDM_GETIMAGELIST, 0, 0));
}

TEST_F(ListViewCommands, SaveCsvWritesTheShownOrderWithTitlesQuotesAndDecimalCommas)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    CProgBar bar;
    frame->SetProgressBar(&bar);
    owner.bar = &bar;
    Add(grid, "Сахар", 12.5, "12.50");                // a code that looks like a number keeps its point
    Add(grid, "Чай; \"Ахмад\"", -3.25, "a\r\nb");     // a separator, quotes and a line break: quoted
    Add(grid, "Ёрш", 1000, "x");
    grid->SetFooterRows(1);                             // a total row is no data
    grid->Refresh();
    grid->ShowIdColumn("№", 40);
    grid->SortByColumn(2);
    grid->SortByColumn(2);   // prices descending
    ScratchDir dir;
    std::string path = dir.File("список.csv");
    ASSERT_EQ(1, Command(grid, LVC_SAVE_CSV, path.c_str()));
    std::string bytes;
    ASSERT_TRUE(ReadBytes(path, &bytes));
    const std::string expected = "№;Наименование;Цена;Код\r\n"
                                 "3;Ёрш;1000,00;x\r\n"
                                 "1;Сахар;12,50;12.50\r\n"
                                 "2;\"Чай; \"\"Ахмад\"\"\";-3,25;\"a\r\nb\"\r\n";
    EXPECT_EQ(Escaped(expected), Escaped(bytes));
    // Code page 1251, byte for byte: "№" and "Ёрш".
    EXPECT_EQ(std::string("\xB9;"), bytes.substr(0, 2));
    EXPECT_EQ(std::string("3;\xA8\xF0\xF8;"), bytes.substr(bytes.find("\r\n") + 2, 6));
    EXPECT_GE(owner.highestProgress, 1);
    EXPECT_EQ(0, bar.GetShownPos());
    EXPECT_FALSE(FileThere(path + ".tmp"));

    // No such folder: nothing written.
    std::string nowhere = dir.File("нет\\список.csv");
    EXPECT_EQ(0, Command(grid, LVC_SAVE_CSV, nowhere.c_str()));
    EXPECT_FALSE(FileThere(nowhere));
    EXPECT_EQ(0, Command(grid, LVC_SAVE_CSV, ""));
    // A write that fails leaves the file that was there as it was.
    ASSERT_TRUE(WriteBytes(path, "старое"));
    {
        FileFaults faults;
        faults.Arm(2);   // create, then the first write
        EXPECT_EQ(0, Command(grid, LVC_SAVE_CSV, path.c_str()));
        EXPECT_TRUE(faults.Fired());
    }
    ASSERT_TRUE(ReadBytes(path, &bytes));
    EXPECT_EQ("старое", bytes);
    EXPECT_FALSE(FileThere(path + ".tmp"));
    frame->SetProgressBar(NULL);
}

TEST_F(ListViewCommands, FindLooksInEveryShownColumnAfterTheFocusedRowAndWraps)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 12.5, "SA");              // row 0, id 1
    Add(grid, "Чай зелёный", 30, "TE");          // row 1, id 2
    Add(grid, "ЁЛКА новогодняя", 99.99, "EL");   // row 2, id 3
    Add(grid, "сахарная пудра", 7, "SP");        // row 3, id 4
    Add(grid, "Мёд", 250, "HO");                 // row 4, id 5
    grid->Refresh();
    grid->ShowIdColumn("№", 40);
    EXPECT_EQ(0, Command(grid, LVC_FIND_NEXT));   // no text yet

    struct Case { int focused; const char* text; int found; } cases[] = {
        {-1, "сахар", 0},      // nothing focused: from the first row
        {0, "САХАР", 3},       // below the focused row, capitals folded
        {3, "сахар", 0},       // wraps at the end
        {1, "ёлка", 2},        // Ё and ё
        {0, "99.99", 2},       // a number as shown
        {4, "te", 1},          // the code column, wrapping
        {0, "4", 3},           // only the identifier column holds it
        {4, "Мёд", 4},         // only the focused row: found after a full round
        {2, "кофе", -1},       // nowhere: the selection stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        grid->SelectRow(c.focused >= 0 ? c.focused : 0);
        if (c.focused < 0)
            SetState(grid, 0, 0);
        EXPECT_EQ(c.found >= 0 ? 1 : 0, Command(grid, LVC_FIND, c.text));
        int expected = c.found >= 0 ? c.found : c.focused;
        EXPECT_EQ(expected, FocusedRow(grid));
        EXPECT_EQ(std::vector<int>{expected}, SelectedRows(grid));
    }
    // The last text again and again.
    grid->SelectRow(1);
    ASSERT_EQ(1, Command(grid, LVC_FIND, "сахар"));
    EXPECT_EQ(3, FocusedRow(grid));
    EXPECT_EQ(1, Command(grid, LVC_FIND_NEXT));
    EXPECT_EQ(0, FocusedRow(grid));
    EXPECT_EQ(1, Command(grid, LVC_FIND_NEXT));
    EXPECT_EQ(3, FocusedRow(grid));
    EXPECT_EQ(0, Command(grid, LVC_FIND, ""));
    EXPECT_EQ(0, Command(grid, 99));   // no such command
}

// ---- clipboard, keys and the prompt

std::string ClipboardBytes(HWND owner)
{
    std::string bytes;
    if (!OpenClipboard(owner))
        return "(clipboard not open)";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr) {
        bytes = text;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

std::wstring ClipboardWide(HWND owner)
{
    std::wstring text;
    if (!OpenClipboard(owner))
        return L"(clipboard not open)";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (const wchar_t* wide = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr) {
        text = wide;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void PutOnClipboard(HWND owner, const char* text)
{
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    strcpy(static_cast<char*>(GlobalLock(block)), text);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

TEST_F(ListViewCommandsOnDesktop, CopyGivesTheSelectedRowsWithTitlesInBothFormats)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 12.5, "12.50");
    Add(grid, "Чай\tзелёный", -3.25, "A;1");   // a tab inside a cell becomes a blank
    Add(grid, "Ёрш", 1000, "x\"y");
    grid->SetFooterRows(1);
    grid->Refresh();
    HWND w = grid->GetHandle();

    PutOnClipboard(host, "маркер");
    EXPECT_EQ(0, Command(grid, LVC_COPY));   // nothing selected
    EXPECT_EQ("маркер", ClipboardBytes(host));

    SetState(grid, 2, LVIS_SELECTED);
    SetState(grid, 0, LVIS_SELECTED);
    SetState(grid, 3, LVIS_SELECTED);   // the footer row: no data
    ASSERT_EQ(1, Command(grid, LVC_COPY));
    EXPECT_EQ(Escaped("Наименование\tЦена\tКод\r\nСахар\t12,50\t12.50\r\nЁрш\t1000,00\tx\"y\r\n"),
              Escaped(ClipboardBytes(host)));
    // The same in UTF-16.
    EXPECT_TRUE(ClipboardWide(host) ==
                L"\u041D\u0430\u0438\u043C\u0435\u043D\u043E\u0432\u0430\u043D\u0438\u0435\t\u0426\u0435\u043D"
                L"\u0430\t\u041A\u043E\u0434\r\n\u0421\u0430\u0445\u0430\u0440\t12,50\t12.50\r\n"
                L"\u0401\u0440\u0448\t1000,00\tx\"y\r\n");

    ASSERT_EQ(1, Command(grid, LVC_SELECT_ALL));
    EXPECT_EQ(4, (int)SendMessageA(w, LVM_GETSELECTEDCOUNT, 0, 0));
    ASSERT_EQ(1, Command(grid, LVC_COPY));
    EXPECT_EQ(Escaped("Наименование\tЦена\tКод\r\nСахар\t12,50\t12.50\r\nЧай зелёный\t-3,25\tA;1\r\n"
                      "Ёрш\t1000,00\tx\"y\r\n"),
              Escaped(ClipboardBytes(host)));
    EXPECT_TRUE(ClipboardWide(host).find(L"\u0427\u0430\u0439 \u0437\u0435\u043B\u0451\u043D\u044B\u0439\t-3,25")
                != std::wstring::npos);
}

TEST_F(ListViewCommandsOnDesktop, ASingleSelectionGridKeepsItsOneRow)
{
    CListView* grid = MakeGrid(LVS_SINGLESEL);
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 1);
    Add(grid, "Соль", 2);
    grid->Refresh();
    grid->SelectRow(1);
    EXPECT_EQ(1, Command(grid, LVC_SELECT_ALL));
    EXPECT_EQ(std::vector<int>{1}, SelectedRows(grid));
    ASSERT_EQ(1, Command(grid, LVC_COPY));
    EXPECT_EQ("Наименование\tЦена\tКод\r\nСоль\t2,00\t\r\n", ClipboardBytes(host));
}

// Real keys, as a user types them into the window with the focus.
void Keys(std::initializer_list<WORD> down)
{
    std::vector<INPUT> inputs;
    for (WORD key : down) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (auto key = down.end(); key != down.begin();) {
        --key;
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *key;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
    for (int i = 0; i < 10; ++i) {
        Pump();
        Sleep(10);
    }
}

// What the prompt showed and what the test did with it, from a timer that
// runs inside the prompt's own message loop.
struct PromptScript
{
    std::string type;      // typed into the edit box
    bool accept = true;
    int seen = 0;
    std::string caption, label, acceptText, cancelText, initial;
    DWORD selectionStart = 99, selectionEnd = 99;
};
PromptScript* g_script = nullptr;

std::string ItemText(HWND dialog, int item)
{
    char text[256] = "";
    GetDlgItemTextA(dialog, item, text, sizeof(text));
    return text;
}

void CALLBACK AnswerPrompt(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowA("#32770", "Найти");
    if (!dialog || !g_script)
        return;
    KillTimer(NULL, timer);
    PromptScript& s = *g_script;
    ++s.seen;
    char text[256] = "";
    GetWindowTextA(dialog, text, sizeof(text));
    s.caption = text;
    s.label = ItemText(dialog, TEXT_PROMPT_LABEL);
    s.acceptText = ItemText(dialog, IDOK);
    s.cancelText = ItemText(dialog, IDCANCEL);
    s.initial = ItemText(dialog, TEXT_PROMPT_EDIT);
    SendDlgItemMessageA(dialog, TEXT_PROMPT_EDIT, EM_GETSEL, (WPARAM)&s.selectionStart, (LPARAM)&s.selectionEnd);
    SetDlgItemTextA(dialog, TEXT_PROMPT_EDIT, s.type.c_str());
    SendMessageA(GetDlgItem(dialog, s.accept ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
}

void ExpectPrompt(PromptScript& script)
{
    g_script = &script;
    SetTimer(NULL, 0, 30, AnswerPrompt);
}

TEST_F(ListViewCommandsOnDesktop, ThePromptGivesTheTypedTextOrNothing)
{
    char text[64] = "чай";
    PromptScript script;
    script.type = "Ёлка зелёная";
    ExpectPrompt(script);
    TextPromptTexts texts = {"Найти", "Текст для поиска:", "Найти", "Отмена"};
    ASSERT_TRUE(AskText(host, texts, text, sizeof(text)));
    EXPECT_EQ(1, script.seen);
    EXPECT_STREQ("Ёлка зелёная", text);
    EXPECT_EQ("Найти", script.caption);
    EXPECT_EQ("Текст для поиска:", script.label);
    EXPECT_EQ("Найти", script.acceptText);
    EXPECT_EQ("Отмена", script.cancelText);
    EXPECT_EQ("чай", script.initial);
    EXPECT_EQ(0u, script.selectionStart);   // the first text all selected
    EXPECT_EQ(3u, script.selectionEnd);

    // Cut to the room there is.
    char small[5] = "";
    script = PromptScript();
    script.type = "абвгдеж";
    ExpectPrompt(script);
    ASSERT_TRUE(AskText(host, texts, small, sizeof(small)));
    EXPECT_STREQ("абвг", small);

    script = PromptScript();
    script.type = "другое";
    script.accept = false;
    ExpectPrompt(script);
    EXPECT_FALSE(AskText(host, texts, text, sizeof(text)));
    EXPECT_EQ(1, script.seen);
    EXPECT_STREQ("Ёлка зелёная", text);   // left as it was
    g_script = nullptr;
}

TEST_F(ListViewCommandsOnDesktop, KeysSelectAllCopyFindAndFindAgain)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 12.5, "SA");
    Add(grid, "Чай", 30, "TE");
    Add(grid, "сахарная пудра", 7, "SP");
    grid->Refresh();
    HWND w = grid->GetHandle();
    SetForegroundWindow(host);
    SetFocus(w);
    ASSERT_EQ(w, GetFocus());

    Keys({VK_CONTROL, 'A'});
    EXPECT_EQ(3, (int)SendMessageA(w, LVM_GETSELECTEDCOUNT, 0, 0));
    PutOnClipboard(host, "маркер");
    Keys({VK_CONTROL, 'C'});
    EXPECT_EQ("Наименование\tЦена\tКод\r\nСахар\t12,50\tSA\r\nЧай\t30,00\tTE\r\nсахарная пудра\t7,00\tSP\r\n",
              ClipboardBytes(host));

    // Ctrl+F asks for the text and finds it; F3 finds the next one, round the end.
    grid->SelectRow(0);
    SetFocus(w);
    PromptScript script;
    script.type = "САХАР";
    ExpectPrompt(script);
    Keys({VK_CONTROL, 'F'});
    ASSERT_TRUE(PumpUntil([&] { return script.seen == 1; }));
    EXPECT_EQ(2, FocusedRow(grid));
    EXPECT_EQ(w, GetFocus());
    Keys({VK_F3});
    EXPECT_EQ(0, FocusedRow(grid));
    Keys({VK_F3});
    EXPECT_EQ(2, FocusedRow(grid));
    EXPECT_TRUE(boxes.Boxes().empty());

    // Nothing holds it: the user is told, the row stays.
    script = PromptScript();
    script.type = "кофе";
    ExpectPrompt(script);
    Keys({VK_CONTROL, 'F'});
    ASSERT_TRUE(PumpUntil([&] { return script.seen == 1; }));
    EXPECT_EQ("САХАР", script.initial);   // the last text is offered
    EXPECT_EQ(2, FocusedRow(grid));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Текст «кофе» не найден.", boxes.Boxes()[0].text);
    EXPECT_EQ("Найти", boxes.Boxes()[0].caption);
    Keys({VK_F3});
    EXPECT_EQ(2u, boxes.Boxes().size());
    g_script = nullptr;
}

TEST_F(ListViewCommandsOnDesktop, ASortGivesTheKeyboardFocusBackToTheGrid)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "b", 2);
    Add(grid, "a", 1);
    grid->Refresh();
    SetFocus(grid->GetHandle());
    ASSERT_TRUE(grid->SortByColumn(0));
    EXPECT_EQ(grid->GetHandle(), GetFocus());
    EXPECT_TRUE(IsWindowEnabled(grid->GetHandle()));
}

}  // namespace
