// The gallery's views of the chart, the tree view, the bars and the MDI client.
#include <windows.h>
#include <commctrl.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "cwin/frame/AppFrame.h"
#include "cwin/composite/Bars.h"
#include "cwin/controls/BasicControls.h"
#include "cwin/controls/Graph.h"
#include "GalleryViews.h"
#include "cwin/composite/MDIChild.h"
#include "cwin/composite/TreeView.h"

namespace {

const int kStreamSeries = 2;
const UINT_PTR kStreamTimer = 77;
CGraph* g_streamChart = NULL;
int g_streamTick = 0;

void CALLBACK FeedStream(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_streamChart)
        return;
    // A recorder's trace: the ring moves on one point per tick.
    const double t = g_streamTick++ * 0.35;
    g_streamChart->AddPoint(kStreamSeries, 40 + 25 * sin(t) + 8 * sin(3.1 * t), true, true);
    g_streamChart->Invalidate(true);
}

// The tree's text format, with TAB indentation: a small catalogue of goods.
const char kCatalogue[] =
    "1 Крепёж \r\n{\r\n"
    "\t11 Гвозди \r\n\t{\r\n\t\t111 Гвозди строительные 100 мм \r\n\t\t112 Гвозди финишные 40 мм \r\n\t}\r\n"
    "\t12 Шурупы и саморезы \r\n\t{\r\n\t\t121 Шурупы по дереву 4x40 \r\n\t\t122 Саморезы кровельные \r\n\t}\r\n"
    "\t13 Анкер клиновой 10x100 \r\n}\r\n"
    "2 Стройматериалы \r\n{\r\n\t21 Цемент М500, мешок 50 кг \r\n\t22 Песок речной \r\n}\r\n"
    "3 Лакокрасочные \r\n{\r\n\t31 Эмаль ПФ-115 белая \r\n\t32 Грунтовка ГФ-021 \r\n}\r\n";

HIMAGELIST g_treeImages = NULL;

// Closed folder, open folder, leaf: drawn once.
HIMAGELIST TreeImages()
{
    if (g_treeImages)
        return g_treeImages;
    g_treeImages = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 0);
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    for (int image = 0; image < 3; ++image) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, 16, 16};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc, &all, magenta);
        DeleteObject(magenta);
        HBRUSH fill = CreateSolidBrush(image == 2 ? RGB(120, 160, 220) : RGB(240, 200, 80));
        RECT body = image == 2 ? RECT{4, 2, 12, 14} : RECT{1, 4, 15, 14};
        FillRect(dc, &body, fill);
        if (image == 1) {
            RECT lid = {3, 7, 15, 14};
            HBRUSH light = CreateSolidBrush(RGB(255, 230, 140));
            FillRect(dc, &lid, light);
            DeleteObject(light);
        }
        DeleteObject(fill);
        SelectObject(dc, old);
        ImageList_AddMasked(g_treeImages, bitmap, RGB(255, 0, 255));
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    return g_treeImages;
}

void ExpandAll(CTreeView* tree)
{
    HTREEITEM item = NULL;
    while ((item = tree->NextPreorder(item, NULL, NULL)) != NULL)
        SendMessageA(tree->GetHandle(), TVM_EXPAND, TVE_EXPAND, (LPARAM)item);
}

int OnChildCreated(WindowEvent* e);

}  // namespace

CBaseWindow* MakeGalleryChart(CAppFrame& frame, HWND parent)
{
    CGraph* chart = frame.Create<CGraph>(ControlArgs().Parent(parent).Place(0, 0, 300, 200)
                                             .Style(WS_VISIBLE | WS_HSCROLL).ExStyle(WS_EX_CLIENTEDGE));
    if (!chart)
        return NULL;
    chart->SetColors(RGB(0, 0, 0), RGB(255, 255, 248));
    chart->leftMargin = 50;
    chart->bottomMargin = 30;
    // A data series: a year of stock of one goods item, day by day.
    static double days[365], stock[365];
    for (int d = 0; d < 365; ++d) {
        days[d] = d;
        stock[d] = 120 + 60 * sin(d / 29.0) - d * 0.15 + 15 * sin(d / 4.0);
    }
    HPEN blue = CreatePen(PS_SOLID, 2, RGB(30, 60, 200));
    chart->SetSeriesData(1, 8, days, stock, 365, blue);
    // A stream series over the same days, fed by a timer in ring mode.
    HPEN red = CreatePen(PS_SOLID, 1, RGB(200, 30, 30));
    chart->DefineStreamSeries(kStreamSeries, 0, 3, 360, red);
    for (int i = 0; i < 121; ++i)
        chart->AddPoint(kStreamSeries, 40 + 25 * sin(i * 0.35) + 8 * sin(3.1 * i * 0.35), false, false);
    g_streamTick = 121;
    static const char xTitle[] = "день";
    static const char yTitle[] = "остаток";
    chart->SetAxisTitles(xTitle, yTitle);
    chart->SetHint("Колесо мыши: масштаб, средняя кнопка дважды: весь график");
    g_streamChart = chart;
    SetTimer(frame.GetMainWindow(), kStreamTimer, 200, FeedStream);
    return chart;
}

CBaseWindow* MakeGalleryTree(CAppFrame& frame, HWND parent)
{
    CTreeView* tree = frame.Create<CTreeView>(
        ControlArgs().Parent(parent).Place(0, 0, 200, 200).ExStyle(WS_EX_CLIENTEDGE)
            .Style(WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS));
    if (!tree)
        return NULL;
    static HIMAGELIST images = TreeImages();
    tree->SetImageList(&images);
    // Loaded from a file in the text format, as a user's saved tree would be.
    char path[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH - 32, path);
    strcpy(path + (n ? n : 0), "gallery-tree.txt");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, kCatalogue, sizeof(kCatalogue) - 1, &written, NULL);
        CloseHandle(file);
    }
    tree->LoadFromFile(NULL, path);
    ExpandAll(tree);
    HTREEITEM first = tree->NextPreorder(NULL, NULL, NULL);
    HTREEITEM child = first ? tree->NextPreorder(first, NULL, NULL) : NULL;
    HTREEITEM leaf = child ? tree->NextPreorder(child, NULL, NULL) : NULL;
    if (leaf)
        SendMessageA(tree->GetHandle(), TVM_SELECTITEM, TVGN_CARET, (LPARAM)leaf);
    return tree;
}

// A tool bar with labels docked at the top, a tree and a chart either side of
// a resize bar.
void BuildBarsView(CAppFrame& frame, HWND main)
{
    CToolBar* bar = frame.Create<CToolBar>(ControlArgs().Parent(main).Place(0, 0, 100, 30)
                                               .Style(WS_VISIBLE | CCS_TOP | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS));
    if (bar)
        bar->AddButtons(GALLERY_TOOLBAR_FIRST, 16, 16, 3, "Открыть|Сохранить|График");
    // The panes come after the bar: moving it lays out the controls made after it.
    CReSizeBar* split = frame.Create<CReSizeBar>(ControlArgs().Parent(main).Place(0, 0, 4, 300).Style(WS_VISIBLE));
    if (split) {
        split->AnchorSide(SideAnchor(ANCHOR_LEFT, 6));
        split->AnchorSide(SideAnchor(ANCHOR_TOP, 6));
        split->AnchorSide(SideAnchor(ANCHOR_RIGHT, 6));
        split->AnchorSide(SideAnchor(ANCHOR_BOTTOM, 6));
        split->SetLimits(120, 200);
    }
    CBaseWindow* tree = MakeGalleryTree(frame, main);
    if (tree) {
        tree->AnchorSide(SideAnchor(ANCHOR_LEFT, 6));
        tree->AnchorSide(SideAnchor(ANCHOR_TOP, 6));
        tree->AnchorSide(SideAnchor(ANCHOR_RIGHT, 1).From(split, ANCHOR_LEFT));
        tree->AnchorSide(SideAnchor(ANCHOR_BOTTOM, 6));
    }
    CBaseWindow* chart = MakeGalleryChart(frame, main);
    if (chart) {
        chart->AnchorSide(SideAnchor(ANCHOR_LEFT, 1).From(split, ANCHOR_RIGHT));
        chart->AnchorSide(SideAnchor(ANCHOR_TOP, 6));
        chart->AnchorSide(SideAnchor(ANCHOR_RIGHT, 6));
        chart->AnchorSide(SideAnchor(ANCHOR_BOTTOM, 6));
    }
    frame.LayoutAll();
    if (split)
        split->SetSplitPosition(35, true);
}

namespace {

int OnChildCreated(WindowEvent* e)
{
    CMDI_Child* mdi = static_cast<CMDI_Child*>(e->sender);
    HWND child = (HWND)e->param;
    CREATESTRUCTA* create = reinterpret_cast<CREATESTRUCTA*>(e->notify);
    MDICREATESTRUCTA* request = create ? reinterpret_cast<MDICREATESTRUCTA*>(create->lpCreateParams) : NULL;
    const int number = request ? (int)request->lParam : 0;
    mdi->AddChild(child, number);
    // The owner fills the child: a line of text in it.
    HWND label = CreateWindowExA(0, "STATIC", number == 1 ? "Поставщик: ООО \"Восток\"" : "Поставщик: ИП Смирнов",
                                 WS_CHILD | WS_VISIBLE, 10, 10, 260, 20, child, NULL, GetModuleHandleA(NULL), NULL);
    SendMessageA(label, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
    return 0;
}

}  // namespace

// An MDI client with two children, the window menu listing them.
void BuildMdiView(CAppFrame& frame, HWND main)
{
    HMENU bar = CreateMenu();
    HMENU windows = CreatePopupMenu();
    AppendMenuA(windows, MF_STRING, 4001, "Каскадом");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)windows, "Окна");
    SetMenu(main, bar);
    CMDI_Child* mdi = frame.Create<CMDI_Child>(
        ControlArgs().Parent(main).Place(0, 0, 100, 100).ExStyle(WS_EX_CLIENTEDGE)
            .Style(WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL));
    if (!mdi)
        return;
    mdi->AnchorSide(SideAnchor(ANCHOR_LEFT, 1));
    mdi->AnchorSide(SideAnchor(ANCHOR_TOP, 1));
    mdi->AnchorSide(SideAnchor(ANCHOR_RIGHT, 1));
    mdi->AnchorSide(SideAnchor(ANCHOR_BOTTOM, 1));
    mdi->AddHandler(OnChildCreated, EV_DIALOG_INIT, 0, NULL);
    frame.LayoutAll();
    const char* titles[2] = {"Динамика: ООО \"Восток\"", "Динамика: ИП Смирнов"};
    for (int i = 0; i < 2; ++i) {
        MDICREATESTRUCTA create = {};
        create.szClass = CWIN_MDI_CHILD_CLASS;
        create.szTitle = titles[i];
        create.hOwner = frame.GetInstance();
        create.x = 20 + 150 * i;
        create.y = 20 + 90 * i;
        create.cx = 360;
        create.cy = 220;
        create.style = WS_VISIBLE;
        create.lParam = i + 1;
        SendMessageA(mdi->GetHandle(), WM_MDICREATE, 0, (LPARAM)&create);
    }
}
