// The list view grid over a record array: cell texts asked of the owner, the
// identifier column and footer rows, header clicks sorting in three states,
// search, the in-place edit box, focus marks and the stretch column. Driven
// with real messages to a real SysListView32; checked through what the
// owner's handler received and what the control shows.
#include "FrameworkFixture.h"
#include "cwin/composite/ListView.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>

namespace {

struct Goods
{
    uint32_t id;
    BYTE     mark;      // the grid's focus mark
    BYTE     spare[3];
    int      price;
    char     name[40];
};

struct CellRequest
{
    int row;
    int subItem;
    Goods* record;
    UINT mask;
};

struct Edit
{
    Goods* record;
    int column;
    std::string text;
};

// The grid's owner: answers cell texts from the records, compares by price or
// name, and remembers what it was asked.
struct Owner
{
    std::vector<CellRequest> cells;
    std::vector<Edit> edits;
    std::vector<int> events;
    std::vector<INT_PTR> params;
    std::vector<int> clickedRows;
    long long compares = 0;
    INT_PTR compareParam = -99;
    bool inconsistent = false;
    int editAnswer = 0;
    CProgBar* bar = nullptr;
    int highestProgress = 0;
};
Owner* g_owner = nullptr;

int CompareGoods(const Goods* a, const Goods* b, int column)
{
    if (column == 0)
        return strcmp(a->name, b->name);
    return a->price > b->price ? 1 : a->price < b->price ? -1 : 0;
}

int OwnerCallback(WindowEvent* e)
{
    Owner& o = *g_owner;
    o.events.push_back(e->eventCode);
    switch (e->eventCode) {
    case EV_CACHE_HINT: {
        NMLVDISPINFOA* request = reinterpret_cast<NMLVDISPINFOA*>(e->notify);
        Goods* record = reinterpret_cast<Goods*>(e->param);
        o.cells.push_back(CellRequest{request->item.iItem, request->item.iSubItem, record, request->item.mask});
        if (!(request->item.mask & LVIF_TEXT))
            return 0;
        if (!record)
            snprintf(request->item.pszText, request->item.cchTextMax, "Итого %d", request->item.iItem);
        else if (request->item.iSubItem == 0)
            snprintf(request->item.pszText, request->item.cchTextMax, "%s", record->name);
        else
            snprintf(request->item.pszText, request->item.cchTextMax, "%d", record->price);
        return 0;
    }
    case EV_COMPARE: {
        ++o.compares;
        o.compareParam = e->param;
        if (o.bar && o.bar->GetShownPos() > o.highestProgress)
            o.highestProgress = o.bar->GetShownPos();
        if (o.inconsistent)
            return rand() % 3 - 1;
        return CompareGoods(reinterpret_cast<Goods*>(e->notify), reinterpret_cast<Goods*>(e->aux), (int)e->param);
    }
    case EV_EDIT_END:
        o.edits.push_back(Edit{reinterpret_cast<Goods*>(e->param), (int)e->aux,
                               e->notify ? reinterpret_cast<const char*>(e->notify) : ""});
        return o.editAnswer;
    case EV_CLICK:
    case EV_DOUBLE_CLICK:
        o.clickedRows.push_back(reinterpret_cast<NMITEMACTIVATE*>(e->notify)->iItem);
        return 0;
    default:
        o.params.push_back(e->param);
        return 0;
    }
}

class ListViewTest : public FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        g_owner = &owner;
    }
    void TearDown() override
    {
        g_owner = nullptr;
        FrameTest::TearDown();
    }

    CListView* MakeGrid(int mask = EV_CACHE_HINT | EV_COMPARE | EV_EDIT_END | EV_ROW_FOCUSED | EV_ROW_UNFOCUSED,
                        bool bind = true)
    {
        CBaseWindow* made = Make<CListView>(10, 10, 410, 310, WS_VISIBLE | LVS_SHOWSELALWAYS);
        CListView* grid = dynamic_cast<CListView*>(made);
        if (!grid)
            return nullptr;
        grid->InsertColumn(0, "Наименование", 150, 0, 0);
        grid->InsertColumn(1, "Цена", 80, LVCFMT_RIGHT, 0);
        if (bind)
            grid->BindStore(reinterpret_cast<void**>(&block), reinterpret_cast<void**>(&pending),
                        reinterpret_cast<void**>(&current), sizeof(Goods), 10, &count);
        if (mask)
            grid->AddHandler(OwnerCallback, mask, 0, NULL);
        return grid;
    }
    void Add(CListView* grid, const char* name, int price)
    {
        strcpy(pending->name, name);
        pending->price = price;
        grid->GetStore()->Append();
    }
    std::string Cell(CListView* grid, int row, int column)
    {
        char buffer[256] = "?";
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = sizeof(buffer);
        SendMessageA(grid->GetHandle(), LVM_GETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
        return item.pszText ? item.pszText : "";
    }
    int Rows(CListView* grid) { return (int)SendMessageA(grid->GetHandle(), LVM_GETITEMCOUNT, 0, 0); }
    // The identifiers of the rows in the order shown.
    std::vector<uint32_t> Order(CListView* grid)
    {
        std::vector<uint32_t> ids;
        for (int row = 0; row < grid->GetStore()->ViewCount(); ++row)
            ids.push_back(static_cast<Goods*>(grid->GetStore()->GetByView(row))->id);
        return ids;
    }
    // A click on a header item, as the mouse gives it.
    void ClickHeader(CListView* grid, int column)
    {
        HWND header = (HWND)SendMessageA(grid->GetHandle(), LVM_GETHEADER, 0, 0);
        RECT r;
        SendMessageA(header, HDM_GETITEMRECT, (WPARAM)column, (LPARAM)&r);
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(header, WM_LBUTTONUP, 0, at);
    }
    int FocusedRow(CListView* grid)
    {
        return (int)SendMessageA(grid->GetHandle(), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    }
    void Type(HWND box, const char* text)
    {
        for (const char* c = text; *c; ++c)
            SendMessageA(box, WM_CHAR, (WPARAM)(BYTE)*c, 1);
    }
    std::string BoxText(CListView* grid)
    {
        char buffer[256] = "";
        GetWindowTextA(grid->GetEditBox()->GetHandle(), buffer, sizeof(buffer));
        return buffer;
    }

    Owner owner;
    Goods* block = nullptr;
    Goods* pending = nullptr;
    Goods* current = nullptr;
    int count = 0;
};

// Tests that move the keyboard focus or use the real pointer.
using ListViewOnDesktop = ListViewTest;

TEST_F(ListViewTest, TheFactoryMakesAnEmptyOwnerDataGrid)
{
    CListView* grid = MakeGrid(0, false);
    ASSERT_NE(nullptr, grid);
    EXPECT_EQ(KIND_LISTVIEW, grid->GetKind());
    LONG style = GetWindowLongA(grid->GetHandle(), GWL_STYLE);
    EXPECT_EQ((LONG)LVS_OWNERDATA, style & LVS_OWNERDATA);
    EXPECT_EQ((LONG)LVS_REPORT, style & LVS_TYPEMASK);
    EXPECT_EQ(-1, grid->GetStretchColumn());
    EXPECT_EQ(-1, grid->GetSortColumn());
    EXPECT_TRUE(grid->NotifiesFocus());
    EXPECT_TRUE(grid->IsUnbound());
    EXPECT_FALSE(grid->HasIdColumn());
    EXPECT_EQ(0, Rows(grid));
    // An unbound store: no rows, and rows asked for anyway are empty without a crash.
    grid->SetStore(NULL);
    EXPECT_EQ(grid->GetEmbeddedStore(), grid->GetStore());
    EXPECT_TRUE(grid->Refresh());
    EXPECT_EQ(0, Rows(grid));
    EXPECT_EQ(-1, grid->GetCurrentRecordIndex());
    EXPECT_EQ(-1, grid->FindNextMarked(0));
    EXPECT_FALSE(grid->SortByColumn(0));
    EXPECT_FALSE(grid->DeleteRow(-1));
}

TEST_F(ListViewTest, CellTextsComeFromTheOwnerWithTheIdentifierColumnFirst)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 50);
    Add(grid, "Соль", 20);
    Add(grid, "Мука", 35);
    EXPECT_TRUE(grid->Refresh());
    EXPECT_FALSE(grid->IsUnbound());
    EXPECT_EQ(3, Rows(grid));
    EXPECT_EQ("Соль", Cell(grid, 1, 0));
    EXPECT_EQ("35", Cell(grid, 2, 1));

    EXPECT_TRUE(grid->ShowIdColumn("Код", 40));
    EXPECT_EQ(3, (int)SendMessageA((HWND)SendMessageA(grid->GetHandle(), LVM_GETHEADER, 0, 0), HDM_GETITEMCOUNT, 0, 0));
    owner.cells.clear();
    EXPECT_EQ("2", Cell(grid, 1, 0));        // the identifier, written by the grid
    EXPECT_EQ("Соль", Cell(grid, 1, 1));     // screen column 1 is the owner's column 0
    EXPECT_EQ("20", Cell(grid, 1, 2));
    ASSERT_EQ(3u, owner.cells.size());
    EXPECT_EQ(0u, owner.cells[0].mask & LVIF_TEXT);   // the owner's turn without the text bit
    EXPECT_EQ(0, owner.cells[1].subItem);
    EXPECT_EQ(1, owner.cells[2].subItem);
    EXPECT_EQ(block + 1, owner.cells[1].record);

    // Taking the column away numbers the owner's columns from screen column 0 again.
    EXPECT_FALSE(grid->ShowIdColumn(NULL, 0));
    EXPECT_EQ("Соль", Cell(grid, 1, 0));
    EXPECT_FALSE(grid->ShowIdColumn(NULL, 40));   // no title, no column
}

TEST_F(ListViewTest, RowsBeyondTheViewAreEmptyAndNeverReachTheOwner)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 50);
    grid->Refresh();
    owner.cells.clear();
    NMLVDISPINFOA request = {};
    char buffer[64] = "мусор";
    request.hdr.hwndFrom = grid->GetHandle();
    request.hdr.code = LVN_GETDISPINFOA;
    request.item.mask = LVIF_TEXT;
    request.item.iItem = 5;
    request.item.pszText = buffer;
    request.item.cchTextMax = sizeof(buffer);
    SendMessageA(host, WM_NOTIFY, 0, (LPARAM)&request);
    EXPECT_STREQ("", buffer);
    EXPECT_TRUE(owner.cells.empty());
    request.item.iItem = -3;
    strcpy(buffer, "мусор");
    SendMessageA(host, WM_NOTIFY, 0, (LPARAM)&request);
    EXPECT_STREQ("", buffer);
    EXPECT_TRUE(owner.cells.empty());
}

TEST_F(ListViewTest, FooterRowsFollowTheDataAsNegativeRowsAndVanishWithoutData)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    grid->SetFooterRows(2);
    grid->Refresh();
    EXPECT_EQ(0, Rows(grid));   // footer rows without data rows show nothing
    Add(grid, "Сахар", 50);
    Add(grid, "Соль", 20);
    grid->Refresh();
    EXPECT_EQ(4, Rows(grid));
    owner.cells.clear();
    EXPECT_EQ("Итого -1", Cell(grid, 2, 0));
    EXPECT_EQ("Итого -2", Cell(grid, 3, 1));
    ASSERT_EQ(2u, owner.cells.size());
    EXPECT_EQ(nullptr, owner.cells[0].record);
    EXPECT_EQ(-1, owner.cells[0].row);
    EXPECT_EQ(-2, owner.cells[1].row);
    // The identifier column of a footer row stays empty.
    grid->ShowIdColumn("Код", 40);
    EXPECT_EQ("", Cell(grid, 2, 0));
}

TEST_F(ListViewTest, ThreeClicksOnOneHeaderSortUpDownAndRestoreTheFirstOrder)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 50);   // 1
    Add(grid, "Соль", 20);    // 2
    Add(grid, "Мука", 50);    // 3
    Add(grid, "Чай", 10);     // 4
    Add(grid, "Рис", 20);     // 5
    grid->Refresh();
    grid->ShowIdColumn("Код", 40);
    // Mixed up first, so that the order to restore is not the physical one.
    uint32_t* view = grid->GetStore()->ViewIndex();
    std::swap(view[0], view[3]);
    const std::vector<uint32_t> first = Order(grid);   // 4 2 3 1 5

    ClickHeader(grid, 2);   // price, the owner's column 1
    EXPECT_EQ(1, owner.compareParam);
    EXPECT_EQ(2, grid->GetSortColumn());
    // Ties keep the order they had: 2 before 5 (20), 3 before 1 (50).
    EXPECT_EQ((std::vector<uint32_t>{4, 2, 5, 3, 1}), Order(grid));
    EXPECT_EQ("Чай", Cell(grid, 0, 1));
    EXPECT_EQ("10", Cell(grid, 0, 2));
    ClickHeader(grid, 2);
    EXPECT_EQ((std::vector<uint32_t>{3, 1, 2, 5, 4}), Order(grid));
    EXPECT_EQ("Мука", Cell(grid, 0, 1));
    ClickHeader(grid, 2);
    EXPECT_EQ(first, Order(grid));
    EXPECT_EQ(-1, grid->GetSortColumn());

    // Another header in between: the third click still gives the order before the first sort.
    ClickHeader(grid, 2);
    ClickHeader(grid, 1);   // name, the owner's column 0
    EXPECT_EQ(0, owner.compareParam);
    EXPECT_EQ((std::vector<uint32_t>{3, 5, 1, 2, 4}), Order(grid));
    ClickHeader(grid, 1);
    EXPECT_EQ((std::vector<uint32_t>{4, 2, 1, 5, 3}), Order(grid));
    ClickHeader(grid, 1);
    EXPECT_EQ(first, Order(grid));

    // The identifier column sorts by identifier without asking the owner.
    owner.compares = 0;
    ClickHeader(grid, 0);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4, 5}), Order(grid));
    ClickHeader(grid, 0);
    EXPECT_EQ((std::vector<uint32_t>{5, 4, 3, 2, 1}), Order(grid));
    EXPECT_EQ(0, owner.compares);
}

// A literal stable insertion sort of the view by the same answers.
static void InsertionSortLikeTheGrid(std::vector<uint32_t>& view, const Goods* records, int column, bool ascending)
{
    for (size_t i = 1; i < view.size(); ++i)
        for (size_t j = i; j > 0; --j) {
            int e = CompareGoods(&records[view[j - 1]], &records[view[j]], column);
            if (!(ascending ? e > 0 : e < 0))
                break;
            std::swap(view[j - 1], view[j]);
        }
}

TEST_F(ListViewTest, SortsGiveTheInsertionSortsOrderWithFewCompares)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    CProgBar bar;   // a bar without a window counts and shows positions all the same
    frame->SetProgressBar(&bar);
    owner.bar = &bar;
    srand(7);
    const int n = 2000;
    char name[40];
    for (int i = 0; i < n; ++i) {
        snprintf(name, sizeof(name), "Товар %c%c", 'А' + rand() % 4, 'а' + rand() % 3);
        Add(grid, name, rand() % 25);   // many ties in both columns
    }
    grid->Refresh();
    const uint32_t* view = grid->GetStore()->ViewIndex();
    std::vector<uint32_t> expected(view, view + n);

    // Name ascending, then price ascending and descending: ties by price keep the name order.
    struct Step { int column; bool ascending; } steps[] = {{0, true}, {1, true}, {1, false}};
    for (const Step& step : steps) {
        owner.compares = 0;
        owner.highestProgress = 0;
        ASSERT_TRUE(grid->SortByColumn(step.column));
        InsertionSortLikeTheGrid(expected, block, step.column, step.ascending);
        ASSERT_EQ(expected, std::vector<uint32_t>(view, view + n)) << "column " << step.column;
        EXPECT_LT(owner.compares, 2000LL * 11 + 2000);   // n log2 n + n; the insertion sort asks ~n*n/4
        EXPECT_GT(owner.highestProgress, 0);
        EXPECT_EQ(0, bar.GetShownPos());
    }
    // A handler that answers at random: the sort ends and keeps every row once.
    owner.inconsistent = true;
    ASSERT_TRUE(grid->SortByColumn(0));
    std::vector<uint32_t> shown(view, view + n);
    std::sort(shown.begin(), shown.end());
    for (int i = 0; i < n; ++i)
        ASSERT_EQ((uint32_t)i, shown[i]);
    frame->SetProgressBar(NULL);
}

TEST_F(ListViewTest, ASortWithoutCompareHandlerOrCapacityDoesNothing)
{
    CListView* grid = MakeGrid(EV_CACHE_HINT);
    ASSERT_NE(nullptr, grid);
    Add(grid, "Соль", 20);
    Add(grid, "Мука", 35);
    grid->Refresh();
    EXPECT_FALSE(grid->SortByColumn(0));
    EXPECT_EQ((std::vector<uint32_t>{1, 2}), Order(grid));
    EXPECT_EQ(-1, grid->GetSortColumn());
    EXPECT_TRUE(IsWindowEnabled(grid->GetHandle()));
}

TEST_F(ListViewTest, DeleteRowForgetsTheSortAndEmptiesTheStore)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 50);
    Add(grid, "Соль", 20);
    Add(grid, "Мука", 35);
    grid->Refresh();
    ASSERT_TRUE(grid->SortByColumn(1));
    // One row removed while sorted: the third click gives the first order without it.
    EXPECT_TRUE(grid->DeleteRow(1));   // Мука (35)
    grid->Refresh();
    EXPECT_EQ(2, Rows(grid));
    grid->SortByColumn(1);
    grid->SortByColumn(1);
    EXPECT_EQ((std::vector<uint32_t>{1, 2}), Order(grid));
    grid->SortByColumn(1);

    EXPECT_TRUE(grid->DeleteRow(-1));
    EXPECT_EQ(-1, grid->GetSortColumn());
    EXPECT_EQ(0, Rows(grid));
    EXPECT_EQ(0, count);
    EXPECT_EQ(0, grid->GetStore()->ViewCount());
    Add(grid, "Чай", 10);
    EXPECT_EQ(1u, block[0].id);
    EXPECT_FALSE(grid->DeleteRow(5));
}

TEST_F(ListViewTest, TheStretchColumnTakesTheRestButNeverLessThanItsFirstWidth)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    grid->SetStretchColumn(0);
    grid->Refresh();
    RECT client;
    GetClientRect(grid->GetHandle(), &client);
    HWND w = grid->GetHandle();
    EXPECT_EQ(client.right - 80, (int)SendMessageA(w, LVM_GETCOLUMNWIDTH, 0, 0));
    // The identifier column moves the stretch column along.
    grid->ShowIdColumn("Код", 60);
    grid->Refresh();
    EXPECT_EQ(client.right - 80 - 60, (int)SendMessageA(w, LVM_GETCOLUMNWIDTH, 1, 0));
    // Narrower than the first width (150): it stays 150.
    SetWindowPos(w, NULL, 0, 0, 200, 300, SWP_NOMOVE | SWP_NOZORDER);
    grid->Refresh();
    EXPECT_EQ(150, (int)SendMessageA(w, LVM_GETCOLUMNWIDTH, 1, 0));
}

TEST_F(ListViewTest, SearchStartsBelowTheFocusedRowAndFoldsCyrillic)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "ПОСТАВЩИК Иванов", 1);
    Add(grid, "Сахар", 2);
    Add(grid, "поставщик Петров", 3);
    Add(grid, "Соль", 4);
    Add(grid, "Поставщик Ёлкин", 5);
    grid->Refresh();
    grid->ShowIdColumn("Код", 40);
    EXPECT_FALSE(grid->FindNext("Сахар", 1));   // no focused row
    ASSERT_TRUE(grid->SelectRow(0));
    EXPECT_FALSE(grid->FindNext("", 1));
    EXPECT_FALSE(grid->FindNext(NULL, 1));
    EXPECT_EQ(0, FocusedRow(grid));

    owner.cells.clear();
    EXPECT_TRUE(grid->FindNext("ПОСТАВЩИК", 1));   // row 0 matches too, but the search begins below it
    EXPECT_EQ(2, FocusedRow(grid));
    ASSERT_FALSE(owner.cells.empty());
    EXPECT_EQ(0, owner.cells[0].subItem);          // screen column 1 is the owner's column 0
    EXPECT_EQ(1, owner.cells[0].row);
    EXPECT_STREQ("поставщик", grid->GetSearchText());
    // Repeating it goes on from there; at the end nothing changes and the answer is true.
    EXPECT_TRUE(grid->FindNext(NULL, -1));
    EXPECT_EQ(4, FocusedRow(grid));
    EXPECT_TRUE(grid->FindNext(NULL, -1));
    EXPECT_EQ(4, FocusedRow(grid));
    // In the price column.
    grid->SelectRow(0);
    EXPECT_TRUE(grid->FindNext("4", 2));
    EXPECT_EQ(3, FocusedRow(grid));
}

TEST_F(ListViewTest, FocusMarksTheRecordAndMakesItCurrent)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 50);
    Add(grid, "Соль", 20);
    Add(grid, "Мука", 35);
    grid->Refresh();
    EXPECT_EQ(-1, grid->FindNextMarked(0));
    owner.events.clear();
    owner.params.clear();
    ASSERT_TRUE(grid->SelectRow(1));
    EXPECT_EQ(1, block[1].mark);
    EXPECT_EQ(block + 1, current);
    EXPECT_EQ(1, grid->GetCurrentRecordIndex());
    ASSERT_FALSE(owner.params.empty());
    EXPECT_EQ((INT_PTR)(block + 1), owner.params.back());
    // The keyboard moves the focus down a row.
    SendMessageA(grid->GetHandle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(2, FocusedRow(grid));
    // Losing the focus names the record that was current; gaining it names the new one.
    std::vector<int> rowEvents;
    for (int code : owner.events)
        if (code == EV_ROW_FOCUSED || code == EV_ROW_UNFOCUSED)
            rowEvents.push_back(code);
    EXPECT_EQ((std::vector<int>{EV_ROW_FOCUSED, EV_ROW_UNFOCUSED, EV_ROW_FOCUSED}), rowEvents);
    ASSERT_EQ(3u, owner.params.size());
    EXPECT_EQ((INT_PTR)(block + 1), owner.params[1]);
    EXPECT_EQ((INT_PTR)(block + 2), owner.params[2]);
    EXPECT_EQ(1, block[1].mark);   // marks are never cleared
    EXPECT_EQ(1, grid->FindNextMarked(0));
    EXPECT_EQ(2, grid->FindNextMarked(2));
    EXPECT_FALSE(grid->SelectRow(3));
    EXPECT_FALSE(grid->SelectRow(-1));

    // Without notify focus: no events, no marks.
    grid->SetNotifyFocus(false);
    owner.params.clear();
    grid->SelectRow(0);
    EXPECT_TRUE(owner.params.empty());
    EXPECT_EQ(0, block[0].mark);
}

static std::vector<INT_PTR> g_drawnRecords;
static int OnDraw(WindowEvent* e)
{
    NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(e->notify);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT)
        g_drawnRecords.push_back(e->param);
    return CDRF_DODEFAULT;
}

TEST_F(ListViewTest, CustomDrawNamesTheRecordOfEachRowDrawn)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 50);
    Add(grid, "Соль", 20);
    grid->SetFooterRows(1);
    grid->AddHandler(OnDraw, EV_CUSTOM_DRAW, 0, NULL);
    g_drawnRecords.clear();
    grid->Refresh();
    RedrawWindow(grid->GetHandle(), NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_GE(g_drawnRecords.size(), 3u);
    EXPECT_EQ((INT_PTR)block, g_drawnRecords[0]);
    EXPECT_EQ((INT_PTR)(block + 1), g_drawnRecords[1]);
    EXPECT_EQ(0, g_drawnRecords[2]);   // the footer row has no record
}

TEST_F(ListViewOnDesktop, EnterInTheEditBoxGivesTheOwnerTheTextAndDataColumn)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 50);
    Add(grid, "Соль", 20);
    grid->Refresh();
    grid->ShowIdColumn("Код", 40);
    ASSERT_TRUE(grid->EditCell(NULL, 1, 2, "20"));
    CEditBox* box = grid->GetEditBox();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(grid->GetHandle(), GetParent(box->GetHandle()));
    EXPECT_STREQ("Введите новое значение для ячейки...", box->Hint());
    EXPECT_EQ(box->GetHandle(), GetFocus());
    EXPECT_EQ((LONG)ES_RIGHT, GetWindowLongA(box->GetHandle(), GWL_STYLE) & ES_RIGHT);   // the column's alignment
    DWORD start = 0, end = 0;
    SendMessageA(box->GetHandle(), EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(0u, start);
    EXPECT_EQ(2u, end);   // the whole text selected
    HWND boxWindow = box->GetHandle();
    Type(boxWindow, "Ёж 25");
    SendMessageA(boxWindow, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_EQ(1u, owner.edits.size());
    EXPECT_EQ(block + 1, owner.edits[0].record);
    EXPECT_EQ(1, owner.edits[0].column);
    EXPECT_EQ("Ёж 25", owner.edits[0].text);
    EXPECT_EQ(nullptr, grid->GetEditBox());
    EXPECT_EQ(-1, grid->GetEditColumn());
    EXPECT_FALSE(IsWindow(boxWindow));
}

TEST_F(ListViewOnDesktop, EscapeAndFocusLossCancelTheEdit)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 50);
    grid->Refresh();
    ASSERT_TRUE(grid->EditCell(NULL, 0, 0, "Сахар"));
    HWND box = grid->GetEditBox()->GetHandle();
    Type(box, "Мёд");
    SendMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(owner.edits.empty());
    EXPECT_EQ(nullptr, grid->GetEditBox());

    ASSERT_TRUE(grid->EditCell(NULL, 0, 1, NULL));
    box = grid->GetEditBox()->GetHandle();
    Type(box, "99");
    SetFocus(grid->GetHandle());
    EXPECT_TRUE(owner.edits.empty());
    EXPECT_EQ(nullptr, grid->GetEditBox());
    EXPECT_FALSE(IsWindow(box));

    // A second box replaces an open one; the first one's end reaches nobody.
    ASSERT_TRUE(grid->EditCell(NULL, 0, 1, "1"));
    HWND first = grid->GetEditBox()->GetHandle();
    ASSERT_TRUE(grid->EditCell(NULL, 0, 0, "2"));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ("2", BoxText(grid));
    SendMessageA(grid->GetEditBox()->GetHandle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(1u, owner.edits.size());
    // Out of range cells open nothing.
    EXPECT_FALSE(grid->EditCell(NULL, 7, 0, "x"));
}

TEST_F(ListViewOnDesktop, AppendModeCommitsThePendingRecordWhenTheOwnerAgrees)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 50);
    grid->SetFooterRows(1);
    grid->Refresh();
    Goods* fresh = pending;
    grid->SetAppendMode(true);
    owner.editAnswer = 1;
    ASSERT_TRUE(grid->EditCell(NULL, 1, 0, NULL));   // over the footer row
    HWND box = grid->GetEditBox()->GetHandle();
    Type(box, "Чай");
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_EQ(1u, owner.edits.size());
    EXPECT_EQ(fresh, owner.edits[0].record);   // the pending record
    EXPECT_EQ(2, count);
    EXPECT_EQ(3, Rows(grid));   // two rows and the footer
    EXPECT_EQ(1, FocusedRow(grid));
    EXPECT_FALSE(grid->IsAppendMode());   // one edit only

    // Without a record the edit reaches the owner only when allowed.
    ASSERT_TRUE(grid->EditCell(NULL, 2, 0, "x"));
    SendMessageA(grid->GetEditBox()->GetHandle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(1u, owner.edits.size());
    grid->SetEditWithoutRecord(true);
    ASSERT_TRUE(grid->EditCell(NULL, 2, 0, "y"));
    SendMessageA(grid->GetEditBox()->GetHandle(), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_EQ(2u, owner.edits.size());
    EXPECT_EQ(nullptr, owner.edits[1].record);
    EXPECT_EQ("y", owner.edits[1].text);
}

TEST_F(ListViewOnDesktop, F3RepeatsTheSearchAndOtherKeysReachTheOwner)
{
    CListView* grid = MakeGrid(EV_CACHE_HINT | EV_KEY_DOWN);
    ASSERT_NE(nullptr, grid);
    Add(grid, "Чай", 1);
    Add(grid, "Чай зелёный", 2);
    Add(grid, "Сахар", 3);
    Add(grid, "ЧАЙ чёрный", 4);
    grid->Refresh();
    grid->SelectRow(0);
    ASSERT_TRUE(grid->FindNext("чай", 0));
    EXPECT_EQ(1, FocusedRow(grid));
    SetFocus(grid->GetHandle());
    owner.params.clear();
    SendMessageA(grid->GetHandle(), WM_KEYDOWN, VK_F3, 0);
    EXPECT_EQ(3, FocusedRow(grid));
    EXPECT_TRUE(owner.params.empty());
    SendMessageA(grid->GetHandle(), WM_KEYDOWN, 'Q', 0);
    ASSERT_EQ(1u, owner.params.size());
    EXPECT_EQ('Q', owner.params[0]);

    // Keys typed in an edit box reach the same owner.
    ASSERT_TRUE(grid->EditCell(NULL, 0, 0, NULL));
    owner.params.clear();
    SendMessageA(grid->GetEditBox()->GetHandle(), WM_KEYDOWN, VK_F5, 0);
    ASSERT_EQ(1u, owner.params.size());
    EXPECT_EQ(VK_F5, owner.params[0]);
    SendMessageA(grid->GetEditBox()->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(ListViewOnDesktop, SearchAtTheContextMenuPointOpensABoxWithTheLastText)
{
    CListView* grid = MakeGrid();
    ASSERT_NE(nullptr, grid);
    Add(grid, "Гречка", 1);
    Add(grid, "Сахар", 2);
    Add(grid, "Сахар-рафинад", 3);
    grid->Refresh();
    grid->ShowIdColumn("Код", 40);
    grid->SelectRow(0);
    grid->FindNext("греч", 1);

    RECT cell = {};
    cell.top = 1;
    cell.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageA(grid->GetHandle(), LVM_GETSUBITEMRECT, 0, (LPARAM)&cell));
    POINT p = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ClientToScreen(grid->GetHandle(), &p);
    SetCursorPos(p.x, p.y);
    SendMessageA(host, WM_CONTEXTMENU, (WPARAM)grid->GetHandle(), MAKELPARAM(p.x, p.y));
    ASSERT_TRUE(grid->SearchAtCursor(-1));
    ASSERT_NE(nullptr, grid->GetEditBox());
    EXPECT_EQ("греч", BoxText(grid));
    SetWindowTextA(grid->GetEditBox()->GetHandle(), "САХАР");
    SendMessageA(grid->GetEditBox()->GetHandle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(owner.edits.empty());   // a search, not an edit
    EXPECT_EQ(1, FocusedRow(grid));
    EXPECT_EQ(nullptr, grid->GetEditBox());

    // Over the identifier column there is nothing to search.
    cell.top = 0;
    cell.left = LVIR_LABEL;
    SendMessageA(grid->GetHandle(), LVM_GETSUBITEMRECT, 0, (LPARAM)&cell);
    POINT q = {cell.left + 5, (cell.top + cell.bottom) / 2};
    ClientToScreen(grid->GetHandle(), &q);
    SetCursorPos(q.x, q.y);
    SendMessageA(host, WM_CONTEXTMENU, (WPARAM)grid->GetHandle(), MAKELPARAM(q.x, q.y));
    EXPECT_FALSE(grid->SearchAtCursor(-1));
}

TEST_F(ListViewOnDesktop, ClicksOnFooterRowsReachTheOwnerAsNegativeRows)
{
    CListView* grid = MakeGrid(EV_CACHE_HINT | EV_CLICK | EV_DOUBLE_CLICK);
    ASSERT_NE(nullptr, grid);
    Add(grid, "Сахар", 50);
    Add(grid, "Соль", 20);
    grid->SetFooterRows(2);
    grid->Refresh();
    HWND w = grid->GetHandle();
    auto clickRow = [&](int row, bool twice) {
        RECT r = {};
        r.left = LVIR_LABEL;
        SendMessageA(w, LVM_GETITEMRECT, (WPARAM)row, (LPARAM)&r);
        LPARAM at = MAKELPARAM(r.left + 10, (r.top + r.bottom) / 2);
        SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(w, WM_LBUTTONUP, 0, at);
        if (twice) {
            SendMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            SendMessageA(w, WM_LBUTTONUP, 0, at);
        }
    };
    clickRow(1, false);
    clickRow(3, false);
    ASSERT_EQ(2u, owner.clickedRows.size());
    EXPECT_EQ(1, owner.clickedRows[0]);
    EXPECT_EQ(-2, owner.clickedRows[1]);
    owner.events.clear();
    owner.clickedRows.clear();
    clickRow(2, true);
    bool doubleClick = false;
    for (int code : owner.events)
        doubleClick = doubleClick || code == EV_DOUBLE_CLICK;
    EXPECT_TRUE(doubleClick);
    for (int row : owner.clickedRows)
        EXPECT_EQ(-1, row);
}

}  // namespace
