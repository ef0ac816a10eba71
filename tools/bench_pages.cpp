// bench_pages: the plug-in's list pages on a year of a large business, through
// the real Orvex_DLL.dll as a host drives it: 10,000 goods, 500 suppliers,
// 1,000,000 moves over 365 dates fed through the interface, then on the
// movements list header clicks on a number column, on the goods identifier
// (codes and hexadecimal) and on the date (ascending, descending, back), all
// rows selected and copied, and the list saved as CSV (the grid's registered
// command message). Figures go to standard output.
// Usage: bench_pages [moves]   (run in an empty folder: the CSV is written there)
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "OrvexInterface.h"
#include "cwin/composite/ListViewCommands.h"
#include "BenchClock.h"

static uint32_t g_seed = 20050101;
static uint32_t Next(uint32_t n)
{
    g_seed = g_seed * 1664525u + 1013904223u;
    return (uint32_t)(((uint64_t)(g_seed >> 8) * n) >> 24);
}

static uint32_t DayOfYear2005(int day)
{
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    while (day >= lengths[month]) {
        day -= lengths[month];
        ++month;
    }
    return (uint32_t)(day + 1) + 256u * (uint32_t)(month + 1) + 65536u * 5u;
}

static void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

struct ListSearch
{
    int columns;
    HWND found;
};

static BOOL CALLBACK FindList(HWND window, LPARAM param)
{
    ListSearch* search = reinterpret_cast<ListSearch*>(param);
    char cls[64];
    GetClassNameA(window, cls, sizeof(cls));
    if (lstrcmpiA(cls, WC_LISTVIEWA) != 0)
        return TRUE;
    HWND header = (HWND)SendMessageA(window, LVM_GETHEADER, 0, 0);
    if ((int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) != search->columns)
        return TRUE;
    search->found = window;
    return FALSE;
}

// Two texts may be asked for in one printf: each call has its own of four buffers.
static const char* Cell(HWND list, int row, int column)
{
    static char texts[4][1100];
    static int next = 0;
    char* text = texts[next++ % 4];
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof(texts[0]);
    text[0] = 0;
    SendMessageA(list, LVM_GETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
    return text;
}

// What a number or date cell orders by: dates dd.mm.yy as yymmdd.
static double Value(const char* text, bool date)
{
    if (!date)
        return atof(text);
    int day = 0, month = 0, year = 0;
    sscanf(text, "%d.%d.%d", &day, &month, &year);
    return year * 10000.0 + month * 100.0 + day;
}

// Every thousandth row in order (a sample: reading a million cells would take longer than the sort).
static bool SampleInOrder(HWND list, int rows, int column, bool date, bool ascending)
{
    double previous = 0;
    for (int row = 0; row < rows; row += 1000) {
        double value = Value(Cell(list, row, column), date);
        if (row > 0 && (ascending ? value < previous : value > previous))
            return false;
        previous = value;
    }
    return true;
}

// A click on the header item, as the mouse gives it; the seconds it took.
static double ClickHeader(HWND list, int column)
{
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    RECT r;
    SendMessageA(header, HDM_GETITEMRECT, (WPARAM)column, (LPARAM)&r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    double t = Now();
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    double seconds = Now() - t;
    Pump();
    return seconds;
}

int main(int argc, char** argv)
{
    const int goodsCount = 10000, supplierCount = 500, dateCount = 365;
    int moveCount = argc > 1 ? atoi(argv[1]) : 1000000;

    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    char* slash = strrchr(path, '\\');
    if (slash)
        *slash = 0;
    char library[MAX_PATH + 32];
    snprintf(library, sizeof(library), "%s\\Orvex_DLL.dll", path);
    HMODULE module = LoadLibraryA(library);
    GetInterfaceFunction get = module ? reinterpret_cast<GetInterfaceFunction>(
                                            reinterpret_cast<void*>(GetProcAddress(module, "GetInterface")))
                                      : NULL;
    IOrvexPlugin* plugin = get ? get() : NULL;
    if (!plugin) {
        printf("cannot load %s\n", library);
        return 1;
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "BenchPagesHost";
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 900,
                                700, NULL, NULL, wc.hInstance, NULL);
    ShowWindow(host, SW_SHOW);
    UpdateWindow(host);
    plugin->AttachHost(host, "Orvex_DLL.dll");
    plugin->ShowPlugin();
    Pump();

    char code[32], name[64];
    double t = Now();
    for (int i = 0; i < supplierCount; ++i) {
        snprintf(code, sizeof(code), "S%03d", i);
        snprintf(name, sizeof(name), "Поставщик %03d", i);
        plugin->AddSupplier(0, code, name, 1000 + i, 1 + i % 7, 2 + i % 9);
    }
    for (int i = 0; i < goodsCount; ++i) {
        // Codes in an order of their own, unlike the identifiers.
        snprintf(code, sizeof(code), "G%05u", (unsigned)((uint32_t)i * 7919u % 100000u));
        snprintf(name, sizeof(name), "Товар №%d, партия %d", i, i % 7);
        plugin->AddGoods(0, code, name, 0.1 * (i % 10), i % 5, 1 + i % 24, "", 0);
    }
    for (int i = 0; i < moveCount; ++i) {
        int goods = (int)Next(goodsCount) + 1;
        int supplier = (int)Next(supplierCount) + 1;
        uint32_t date = DayOfYear2005((int)Next(dateCount));
        double qty = 1 + Next(50);
        if (Next(2) == 0)
            plugin->AddMove(date, goods, supplier, qty, 0, qty * (10 + Next(90)), 0);
        else
            plugin->AddMove(date, goods, supplier, 0, qty, 0, qty * (15 + Next(90)));
    }
    plugin->RefreshLists();
    Pump();
    printf("fed %d goods, %d suppliers, %d moves and refreshed in %.2f s (not the benchmark)\n", goodsCount,
           supplierCount, moveCount, Now() - t);

    ListSearch search = {7, NULL};
    EnumChildWindows(host, FindList, (LPARAM)&search);
    HWND moves = search.found;
    if (!moves) {
        printf("no movements list\n");
        return 1;
    }
    // The movements page in front, so that every sort also redraws it.
    HWND tabs = FindWindowExA(host, NULL, WC_TABCONTROLA, NULL);
    RECT tab;
    if (tabs && SendMessageA(tabs, TCM_GETITEMRECT, 2, (LPARAM)&tab)) {
        LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
        SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(tabs, WM_LBUTTONUP, 0, at);
    }
    Pump();
    printf("movements list: %d rows\n", (int)SendMessageA(moves, LVM_GETITEMCOUNT, 0, 0));

    struct Sort
    {
        int mode;   // identifier mode
        int column;
        const char* name;
        int checked;   // 0 not checked, 1 a number, 2 a date
    };
    const Sort sorts[] = {
        {2, 3, "number column \"Поставка кол-во\"", 1},
        {2, 1, "goods identifier as codes (text)", 0},
        {0, 1, "goods identifier in hexadecimal", 0},
        {0, 0, "date", 2},
    };
    bool ordered = true;
    const char* clicks[3] = {"ascending", "descending", "stored order"};
    double worst = 0;
    for (const Sort& sort : sorts) {
        plugin->SetIdMode(sort.mode);
        for (int click = 0; click < 3; ++click) {
            double seconds = ClickHeader(moves, sort.column);
            if (seconds > worst)
                worst = seconds;
            bool inOrder = sort.checked == 0 || click == 2
                           || SampleInOrder(moves, moveCount, sort.column, sort.checked == 2, click == 0);
            ordered = ordered && inOrder;
            printf("sort by %-38s %-13s %.3f s   first row %s, last row %s%s\n", sort.name, clicks[click], seconds,
                   Cell(moves, 0, sort.column), Cell(moves, moveCount - 1, sort.column),
                   inOrder ? "" : " (WRONG ORDER)");
        }
    }
    printf("slowest click: %.3f s\n", worst);

    UINT command = RegisterWindowMessageA(CWIN_LISTVIEW_COMMAND_MESSAGE);
    t = Now();
    SendMessageA(moves, command, LVC_SELECT_ALL, 0);
    double selectAll = Now() - t;
    t = Now();
    LRESULT copied = SendMessageA(moves, command, LVC_COPY, 0);
    double copy = Now() - t;
    size_t clipboardBytes = 0;
    if (OpenClipboard(host)) {
        HANDLE data = GetClipboardData(CF_TEXT);
        if (data)
            clipboardBytes = GlobalSize(data);
        CloseClipboard();
    }
    // A sort with every row selected keeps them selected.
    double sortSelected = ClickHeader(moves, 4);
    int selected = (int)SendMessageA(moves, LVM_GETSELECTEDCOUNT, 0, 0);
    ClickHeader(moves, 4);
    ClickHeader(moves, 4);
    printf("sort with every row selected: %.3f s (%d rows selected after it)\n", sortSelected, selected);
    printf("select all: %.3f s; copy of %d rows: %.3f s (%s, %.1f MB as CF_TEXT)\n", selectAll, moveCount, copy,
           copied ? "copied" : "NOT COPIED", clipboardBytes / 1048576.0);

    const char* csv = "bench_pages_moves.csv";
    DeleteFileA(csv);
    t = Now();
    LRESULT saved = SendMessageA(moves, command, LVC_SAVE_CSV, (LPARAM)csv);
    double save = Now() - t;
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    GetFileAttributesExA(csv, GetFileExInfoStandard, &info);
    printf("save as CSV: %.3f s (%s, %.1f MB)\n", save, saved ? "written" : "NOT WRITTEN",
           ((double)info.nFileSizeHigh * 4294967296.0 + info.nFileSizeLow) / 1048576.0);
    DeleteFileA(csv);

    PROCESS_MEMORY_COUNTERS memory = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    printf("peak working set: %.0f MB\n", memory.PeakWorkingSetSize / 1048576.0);
    bool ok = copied && saved && ordered;
    DestroyWindow(host);
    return ok ? 0 : 1;
}
