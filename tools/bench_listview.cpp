// bench_listview: the list view grid over a record array of 1,000,000 records.
// First screen and a scroll to the end (cell requests counted: only visible
// cells are asked for), then a sort by a compare handler, the reverse sort and
// back to the first order (compare events and seconds). Figures go to standard
// output. Usage: bench_listview [records]
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>

#include "cwin/frame/AppFrame.h"
#include "BenchHost.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/composite/ListView.h"
#include "BenchClock.h"

static CWIN_HEAP_INFO g_entries[CWIN_HEAP_INFO_NUM_PLUGIN];
CHeapRegistry g_heapRegistry(g_entries, CWIN_HEAP_INFO_NUM_PLUGIN);
static CAppFrame g_frame;

struct Row
{
    uint32_t id;
    BYTE     mark;
    BYTE     spare[3];
    int      value;
};

static long long g_cellRequests = 0;
static long long g_compares = 0;

static int Owner(WindowEvent* e)
{
    if (e->eventCode == EV_CACHE_HINT) {
        ++g_cellRequests;
        NMLVDISPINFOA* request = reinterpret_cast<NMLVDISPINFOA*>(e->notify);
        const Row* row = reinterpret_cast<const Row*>(e->param);
        if (row && (request->item.mask & LVIF_TEXT))
            snprintf(request->item.pszText, request->item.cchTextMax, "%d", row->value);
        return 0;
    }
    if (e->eventCode == EV_COMPARE) {
        ++g_compares;
        const Row* a = reinterpret_cast<const Row*>(e->notify);
        const Row* b = reinterpret_cast<const Row*>(e->aux);
        return a->value > b->value ? 1 : a->value < b->value ? -1 : 0;
    }
    return 0;
}

int main(int argc, char** argv)
{
    int records = argc > 1 ? atoi(argv[1]) : 1000000;
    if (records < 2)
        records = 2;
    HWND host = OpenBenchHost(g_frame, "BenchListViewHost", 820, 680);
    g_frame.CreateStatusBar("", WS_VISIBLE, 0, 0, NULL);
    int parts[2] = {400, -1};
    SendMessageA(g_frame.GetStatusBar(), SB_SETPARTS, 2, (LPARAM)parts);
    g_frame.CreateProgressBar(1, WS_VISIBLE | PBS_SMOOTH);

    CListView* grid = g_frame.Create<CListView>(ControlArgs().Parent(host).Place(0, 0, 800, 600).Style(WS_VISIBLE));
    if (!grid) {
        printf("no grid\n");
        return 1;
    }
    grid->InsertColumn(0, "Значение", 120, 0, 0);
    grid->InsertColumn(1, "Ещё раз", 120, LVCFMT_RIGHT, 0);
    grid->AddHandler(Owner, EV_CACHE_HINT | EV_COMPARE, 0, NULL);
    Row* block = NULL;
    Row* pending = NULL;
    Row* current = NULL;
    int count = 0;
    grid->BindStore(reinterpret_cast<void**>(&block), reinterpret_cast<void**>(&pending),
                    reinterpret_cast<void**>(&current), sizeof(Row), 100000, &count);
    uint32_t seed = 20040101;
    double t = Now();
    for (int i = 0; i < records; ++i) {
        seed = seed * 1664525u + 1013904223u;
        pending->value = (int)(seed >> 12);
        if (!grid->GetStore()->Append()) {
            printf("append failed at %d\n", i);
            return 1;
        }
    }
    printf("records: %d (filled in %.3f s)\n", count, Now() - t);

    int perPage = (int)SendMessageA(grid->GetHandle(), LVM_GETCOUNTPERPAGE, 0, 0);
    g_cellRequests = 0;
    t = Now();
    grid->Refresh();
    UpdateWindow(grid->GetHandle());
    double first = Now() - t;
    printf("first screen: %lld cell requests (%d rows per page, 2 columns), %.3f s\n", g_cellRequests, perPage,
           first);

    g_cellRequests = 0;
    t = Now();
    SendMessageA(grid->GetHandle(), LVM_ENSUREVISIBLE, (WPARAM)(records - 1), FALSE);
    UpdateWindow(grid->GetHandle());
    double scroll = Now() - t;
    printf("scroll to the end: %lld cell requests, %.3f s; top row now %d\n", g_cellRequests, scroll,
           (int)SendMessageA(grid->GetHandle(), LVM_GETTOPINDEX, 0, 0));

    const char* names[3] = {"ascending", "descending", "back to the first order"};
    for (int click = 0; click < 3; ++click) {
        g_compares = 0;
        t = Now();
        grid->SortByColumn(0);
        double seconds = Now() - t;
        const uint32_t* view = grid->GetStore()->View();
        bool ordered = true;
        for (int i = 1; i < records && click < 2; ++i) {
            int a = block[view[i - 1]].value, b = block[view[i]].value;
            ordered = ordered && (click == 0 ? a <= b : a >= b);
        }
        if (click == 2)
            for (int i = 0; i < records; ++i)
                ordered = ordered && view[i] == (uint32_t)i;
        printf("sort %s: %lld compare events, %.3f s%s\n", names[click], g_compares, seconds,
               ordered ? "" : " (WRONG ORDER)");
    }
    DestroyWindow(host);
    return 0;
}
