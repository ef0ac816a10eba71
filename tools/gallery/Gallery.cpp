// The framework at work: one top-level window with a frame, its status bar and
// progress bar, the basic and range controls, and a tab control whose pages are
// an owner-data grid (identifier column, a footer row, columns sorted by a
// comparison handler), a drawing surface, a dialog page, a chart and a tree.
// Runs until the window is closed. "-view chart" and "-view tree" open their
// tabs; "-view bars" shows a tool bar and a resize bar between a tree and a
// chart instead, "-view mdi" an MDI client with two children.
#include <windows.h>
#include <math.h>
#include <stdio.h>

#include "cwin/frame/AppFrame.h"
#include "cwin/controls/BasicControls.h"
#include "cwin/controls/Custom.h"
#include "cwin/system/HeapRegistry.h"
#include "GalleryViews.h"
#include "cwin/composite/ListView.h"
#include "cwin/controls/RangeControls.h"
#include "cwin/composite/TControl.h"

#include <string.h>

static CAppFrame g_frame;
static CWIN_HEAP_INFO g_heapEntries[CWIN_HEAP_INFO_NUM_PLUGIN];
CHeapRegistry g_heapRegistry(g_heapEntries, CWIN_HEAP_INFO_NUM_PLUGIN);

// A small chart drawn into the back buffer: grid, axes and a damped wave.
class CWaveSurface : public CCustom
{
public:
    bool OnPaint(HDC dc, bool toBackBuffer) override
    {
        if (!toBackBuffer)
            return true;
        int w = rect.right - rect.left, h = rect.bottom - rect.top;
        HPEN grid = CreatePen(PS_DOT, 1, RGB(190, 190, 210));
        HPEN axis = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        HPEN wave = CreatePen(PS_SOLID, 2, RGB(200, 30, 30));
        HGDIOBJ old = SelectObject(dc, grid);
        for (int x = 0; x < w; x += 20) {
            MoveToEx(dc, x, 0, NULL);
            LineTo(dc, x, h);
        }
        for (int y = 0; y < h; y += 20) {
            MoveToEx(dc, 0, y, NULL);
            LineTo(dc, w, y);
        }
        SelectObject(dc, axis);
        MoveToEx(dc, 0, h / 2, NULL);
        LineTo(dc, w, h / 2);
        SelectObject(dc, wave);
        for (int x = 0; x < w; ++x) {
            double t = x / 25.0;
            int y = h / 2 - (int)(h * 0.4 * exp(-t / 12.0) * sin(t));
            if (x == 0)
                MoveToEx(dc, x, y, NULL);
            else
                LineTo(dc, x, y);
        }
        SelectObject(dc, old);
        DeleteObject(grid);
        DeleteObject(axis);
        DeleteObject(wave);
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, 6, 4, "Custom: динамика", 16);
        return true;
    }

    bool OnMouseMove() override
    {
        g_frame.SetStatusText(2, 0, "x = %.2f  y = %.2f", worldX, worldY);
        return true;
    }
};

static CWaveSurface g_wave;

// The grid's rows: a record array of goods with a price and a stock.
struct GoodsRow
{
    uint32_t id;
    uint8_t  mark[4];
    char     name[40];
    double   price;
    double   stock;
};

static GoodsRow* g_rows = NULL;
static GoodsRow* g_pendingRow = NULL;
static GoodsRow* g_currentRow = NULL;
static int g_rowCount = 0;

static void AddRow(CRecordArray* store, const char* name, double price, double stock)
{
    if (!g_pendingRow)
        return;
    lstrcpynA(g_pendingRow->name, name, sizeof(g_pendingRow->name));
    g_pendingRow->price = price;
    g_pendingRow->stock = stock;
    store->Append();
}

// Cell texts: data columns from 0 (the grid writes the identifier column), the
// footer row (row -1, no record) with the totals.
static int OnGridCell(WindowEvent* e)
{
    if (e->code != -150)
        return 0;
    NMLVDISPINFOA* request = reinterpret_cast<NMLVDISPINFOA*>(e->notify);
    if (!(request->item.mask & LVIF_TEXT))
        return 0;
    char* text = request->item.pszText;
    int size = request->item.cchTextMax;
    const GoodsRow* row = reinterpret_cast<const GoodsRow*>(e->param);
    if (!row) {
        double sum = 0, stock = 0;
        for (int i = 0; i < g_rowCount; ++i) {
            sum += g_rows[i].price * g_rows[i].stock;
            stock += g_rows[i].stock;
        }
        const char* cells[3] = {"Итого", "", ""};
        char value[64];
        if (request->item.iSubItem == 1)
            snprintf(value, sizeof(value), "%.2f руб.", sum);
        else
            snprintf(value, sizeof(value), "%.0f", stock);
        snprintf(text, (size_t)size, "%s", request->item.iSubItem == 0 ? cells[0] : value);
        return 1;
    }
    switch (request->item.iSubItem) {
    case 0: snprintf(text, (size_t)size, "%s", row->name); break;
    case 1: snprintf(text, (size_t)size, "%.2f", row->price); break;
    case 2: snprintf(text, (size_t)size, "%.0f", row->stock); break;
    }
    return 1;
}

// Positive: row A (notify) sorts after row B (aux).
static int OnGridCompare(WindowEvent* e)
{
    const GoodsRow* a = reinterpret_cast<const GoodsRow*>(e->notify);
    const GoodsRow* b = reinterpret_cast<const GoodsRow*>(e->aux);
    switch (e->param) {
    case 0: return lstrcmpiA(a->name, b->name);
    case 1: return a->price > b->price ? 1 : a->price < b->price ? -1 : 0;
    default: return a->stock > b->stock ? 1 : a->stock < b->stock ? -1 : 0;
    }
}

static int OnGridEvent(WindowEvent* e)
{
    if (e->eventCode == EV_COMPARE)
        return OnGridCompare(e);
    if (e->eventCode == EV_ROW_FOCUSED && e->param) {
        const GoodsRow* row = reinterpret_cast<const GoodsRow*>(e->param);
        g_frame.SetStatusText(0, 0, "%s: %.2f", row->name, row->price);
    }
    return OnGridCell(e);
}

static int OnBuild(WindowEvent* e)
{
    CProgBar* bar = g_frame.StatusBar().GetProgressBar();
    if (bar)
        bar->Step();
    g_frame.SetStatusText(0, 0, "Нажата кнопка %d", e->user);
    return 1;
}

static LRESULT CALLBACK MainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

// Shows the laid-out window and runs until it is closed.
static int ShowAndRun(HWND main)
{
    ShowWindow(main, SW_SHOW);
    g_frame.LayoutAll();
    UpdateWindow(main);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const char* view = commandLine ? strstr(commandLine, "-view ") : NULL;
    view = view ? view + 6 : "controls";
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "OrvexGallery";
    RegisterClassA(&wc);
    HWND main = CreateWindowExA(0, "OrvexGallery", "CWin gallery", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20,
                                820, 560, NULL, NULL, instance, NULL);
    if (!main)
        return 1;
    g_frame.Attach(main, NULL);
    g_frame.SetMinimumClientSize(600, 450, -1);
    g_frame.CreateStatusBar("всегда готов ...", 0, 16, 0, "Arial");
    int parts[3] = {300, 470, -1};
    SendMessageA(g_frame.GetStatusBar(), SB_SETPARTS, 3, (LPARAM)parts);
    g_frame.CreateProgressBar(1, WS_VISIBLE | PBS_SMOOTH);
    g_frame.RestoreStatusHint();
    if (CProgBar* bar = g_frame.StatusBar().GetProgressBar()) {
        bar->SetRange(0, 10);
        for (int i = 0; i < 6; ++i)
            bar->Step();
    }
    g_frame.SetStatusText(2, 0, "строк: %d", 42);

    if (!strncmp(view, "bars", 4) || !strncmp(view, "mdi", 3)) {
        if (view[0] == 'b')
            BuildBarsView(g_frame, main);
        else
            BuildMdiView(g_frame, main);
        return ShowAndRun(main);
    }

    const DWORD vis = WS_VISIBLE;
    const ControlArgs here = ControlArgs().Parent(main).Style(vis);
    CStatic* title = g_frame.Create<CStatic>(ControlArgs(here).Place(10, 10, 250, 28).Text("Элементы управления"));
    title->SetFont(18, 0, 0, "Arial");
    CButton* button = g_frame.Create<CButton>(
        ControlArgs(here).Place(10, 36, 130, 64).Style(vis | BS_PUSHBUTTON).Text("Кнопка"));
    button->AddHandler(OnBuild, EV_COMMAND, 1, NULL);
    button->SetHint("Обычная кнопка: шаг индикатора");
    CButton* check = g_frame.Create<CButton>(
        ControlArgs(here).Place(140, 36, 260, 64).Style(vis | BS_AUTOCHECKBOX).Text("Флажок"));
    check->SetCheck(true);
    CEditBox* edit = g_frame.Create<CEditBox>(ControlArgs(here).Place(10, 74, 260, 98).Style(vis | ES_AUTOHSCROLL)
                                                  .ExStyle(WS_EX_CLIENTEDGE).Text("Поле ввода"));
    edit->SetHint("Enter - принять, Esc - отменить");
    CComboBox* c = g_frame.Create<CComboBox>(
        ControlArgs(here).Place(10, 108, 260, 200).Style(vis | CBS_DROPDOWNLIST | WS_VSCROLL));
    c->InsertString(-1, "Поставщик 1");
    c->InsertString(-1, "Поставщик 2");
    c->SetCurSel(0);
    CListBox* l = g_frame.Create<CListBox>(
        ControlArgs(here).Place(10, 142, 260, 232).Style(vis | LBS_NOTIFY).ExStyle(WS_EX_CLIENTEDGE));
    l->InsertString(-1, "Товары");
    l->InsertString(-1, "Поставщики");
    l->InsertString(-1, "Движения");
    l->InsertString(-1, "Остатки");
    l->SetCurSel(1);
    g_frame.Create<CDTPControl>(ControlArgs(here).Place(10, 242, 260, 266));
    CTrackBar* t = g_frame.Create<CTrackBar>(ControlArgs(here).Place(10, 276, 260, 306).Style(vis | TBS_AUTOTICKS));
    t->SetRange(0, 10);
    t->SetPos(7);
    CEditBox* spinEdit =
        g_frame.Create<CEditBox>(ControlArgs(here).Place(10, 316, 80, 340).ExStyle(WS_EX_CLIENTEDGE).Text("5"));
    CUpDown* spin = g_frame.Create<CUpDown>(
        ControlArgs(here).Place(80, 316, 98, 340).Style(vis | UDS_ARROWKEYS | UDS_SETBUDDYINT));
    spin->SetRange(0, 100);
    spin->SetBuddy(spinEdit->GetHandle());
    spin->SetPos(5);
    CScrollBar* s = g_frame.Create<CScrollBar>(ControlArgs(here).Place(110, 320, 260, 338).Style(vis | SBS_HORZ));
    s->SetRange(0, 100);
    s->SetPage(20);
    s->SetPos(30);

    // The right-hand side: a tab control with the grid, the drawing and the dialog page.
    CTControl* tabs =
        g_frame.Create<CTControl>(ControlArgs(here).Place(280, 10, 800, 480).Style(vis | WS_CLIPSIBLINGS));
    if (tabs) {
        tabs->AnchorSide(SideAnchor(ANCHOR_LEFT, 281));
        tabs->AnchorSide(SideAnchor(ANCHOR_TOP, 11));
        tabs->AnchorSide(SideAnchor(ANCHOR_RIGHT, 11));
        tabs->AnchorSide(SideAnchor(ANCHOR_BOTTOM, 11));
        tabs->InsertTab(0, "Таблица", -1);
        tabs->InsertTab(1, "Рисунок", -1);
        tabs->InsertTab(2, "Диалог", -1);
        tabs->InsertTab(3, "График", -1);
        tabs->InsertTab(4, "Дерево", -1);
        tabs->FitToParent();
    }
    // A page fills the tab control's client rectangle; the dialog page keeps its size.
    auto placeOnPage = [tabs](CBaseWindow* window, int margin, bool fill) {
        window->AnchorSide(SideAnchor(ANCHOR_LEFT, margin).From(tabs, ANCHOR_LEFT).ClientRect());
        window->AnchorSide(SideAnchor(ANCHOR_TOP, margin).From(tabs, ANCHOR_TOP).ClientRect());
        if (!fill)
            return;
        window->AnchorSide(SideAnchor(ANCHOR_RIGHT, margin).From(tabs, ANCHOR_RIGHT).ClientRect());
        window->AnchorSide(SideAnchor(ANCHOR_BOTTOM, margin).From(tabs, ANCHOR_BOTTOM).ClientRect());
    };
    auto fillPage = [placeOnPage](CBaseWindow* window) { placeOnPage(window, 1, true); };

    CListView* grid = g_frame.Create<CListView>(ControlArgs(here).Place(0, 0, 100, 100)
                                                    .Style(LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA)
                                                    .ExStyle(WS_EX_CLIENTEDGE));
    if (grid && tabs) {
        fillPage(grid);
        grid->SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        grid->SetColors(RGB(0, 0, 0), RGB(236, 240, 250));
        grid->ShowIdColumn("№", 40);
        grid->InsertColumn(1, "Наименование товара", 200, LVCFMT_LEFT, 0);
        grid->InsertColumn(2, "Цена", 90, LVCFMT_RIGHT, 0);
        grid->InsertColumn(3, "Остаток", 80, LVCFMT_CENTER, 0);
        grid->SetStretchColumn(1);
        grid->SetFooterRows(1);
        grid->SetHint("Щелчок по заголовку: сортировка (третий щелчок - исходный порядок)");
        grid->AddHandler(OnGridEvent, EV_CACHE_HINT | EV_COMPARE | EV_ROW_FOCUSED, 0, NULL);
        CRecordArray* store = grid->BindStore((void**)&g_rows, (void**)&g_pendingRow, (void**)&g_currentRow,
                                              sizeof(GoodsRow), 16, &g_rowCount);
        if (store) {
            AddRow(store, "Гвозди строительные 100 мм", 12.50, 340);
            AddRow(store, "Шурупы по дереву 4x40", 3.20, 1200);
            AddRow(store, "Дюбели распорные 6x30", 1.75, 860);
            AddRow(store, "Анкер клиновой 10x100", 48.00, 75);
            AddRow(store, "Саморезы кровельные", 2.40, 2300);
            AddRow(store, "Болт М8x60 оцинкованный", 9.90, 410);
            AddRow(store, "Гайка М8", 1.10, 1500);
            AddRow(store, "Шайба плоская 8 мм", 0.45, 3100);
            AddRow(store, "Цемент М500, мешок 50 кг", 395.00, 42);
            AddRow(store, "Эмаль ПФ-115 белая", 310.00, 18);
        }
        grid->Refresh();
        grid->SortByColumn(2);   // by price, ascending: the header is clicked once
        tabs->AddPage(grid->GetHandle(), 0);
    }

    g_wave.doubleBuffered = true;
    g_wave.scale = 25.0;
    if (g_frame.Adopt(&g_wave, ControlArgs().Parent(main).Place(0, 0, 100, 100).ExStyle(WS_EX_CLIENTEDGE)) && tabs) {
        fillPage(&g_wave);
        tabs->AddPage(g_wave.GetHandle(), 1);
    }

    CDialog* page = g_frame.CreatePage(MAKEINTRESOURCEA(100), ControlArgs().Parent(main).Place(0, 0, 240, 120));
    if (page) {
        g_frame.AttachItem<CButton>(page->GetHandle(), 1024, OnBuild, EV_COMMAND);
        g_frame.AttachItem<CEditBox>(page->GetHandle(), 1001);
        page->SetItemText(1001, "%s", "Иванов");
        page->SetItemText(1024, "%s", "Построить");
        page->SetItemText(1002, "%s", "Активен");
        page->SetItemText(1000, "%s", "Страница диалога");
        page->SetItemText(1003, "%s", "Имя:");
        if (tabs) {
            placeOnPage(page, 11, false);
            tabs->AddPage(page->GetHandle(), 2);
        }
    }
    CBaseWindow* chart = MakeGalleryChart(g_frame, main);
    if (chart && tabs) {
        fillPage(chart);
        tabs->AddPage(chart->GetHandle(), 3);
    }
    CBaseWindow* tree = MakeGalleryTree(g_frame, main);
    if (tree && tabs) {
        fillPage(tree);
        tabs->AddPage(tree->GetHandle(), 4);
    }
    if (tabs)
        tabs->SelectTab(!strncmp(view, "chart", 5) ? 3 : !strncmp(view, "tree", 4) ? 4 : 0);

    return ShowAndRun(main);
}
