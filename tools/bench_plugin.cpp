// bench_plugin: times the plug-in store on a year of a large business:
// 10,000 goods, 500 suppliers, 1,000,000 moves over 365 dates, 10,000 balances.
// Figures go to standard output. Usage: bench_plugin [moves]
#include <windows.h>
#include <psapi.h>

#include <algorithm>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "cwin/frame/AppFrame.h"
#include "GoodsStore.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/controls/ProgBar.h"
#include "StoreTables.h"

static CWIN_HEAP_INFO g_entries[CWIN_HEAP_INFO_NUM_PLUGIN];
CHeapRegistry g_heapRegistry(g_entries, CWIN_HEAP_INFO_NUM_PLUGIN);
static CAppFrame g_frame;
static CProgBar g_bar;

static uint32_t g_seed = 20040101;
static uint32_t Next(uint32_t n)
{
    g_seed = g_seed * 1664525u + 1013904223u;
    return (uint32_t)(((uint64_t)(g_seed >> 8) * n) >> 24);
}

static double Now()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)f.QuadPart;
}

static PackedDate DayOfYear2004(int day)
{
    static const int lengths[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    while (day >= lengths[month]) {
        day -= lengths[month];
        ++month;
    }
    return MakePackedDate((uint32_t)day + 1, (uint32_t)month + 1, 4);
}

int main(int argc, char** argv)
{
    const int goodsCount = 10000, supplierCount = 500, dateCount = 365, balanceCount = 10000;
    int moveCount = argc > 1 ? atoi(argv[1]) : 1000000;
    g_frame.SetProgressBar(&g_bar);

    CGoodsStore store;
    CStoreTables tables(store, &g_frame, &g_frame);
    tables.Bind();
    char code[32], name[64];
    double t0 = Now();
    for (int i = 0; i < supplierCount; ++i) {
        snprintf(code, sizeof(code), "S%04d", i);
        snprintf(name, sizeof(name), "Поставщик %d", i);
        store.AddSupplier(0, code, name, 1000 + i, 1 + i % 7, 2 + i % 9);
    }
    for (int i = 0; i < goodsCount; ++i) {
        snprintf(code, sizeof(code), "G%05d", i);
        snprintf(name, sizeof(name), "Товар номер %d", i);
        store.AddGoods(0, code, name, 0.1 * (i % 10), i % 5, 1 + i % 24, "", 0);
    }
    // Each goods item has a main supplier; a fifth of the supplies come from anyone.
    // Supplier 0 is the main supplier of many more goods than the others.
    for (int i = 0; i < moveCount; ++i) {
        int goods = (int)Next(goodsCount) + 1;
        int main = goods % 5 == 0 ? 1 : (int)((uint32_t)goods * 2654435761u % supplierCount) + 1;
        int supplier = Next(5) == 0 ? (int)Next(supplierCount) + 1 : main;
        PackedDate date = DayOfYear2004((int)Next(dateCount));
        uint32_t kind = Next(20);
        double qty = 1 + Next(50);
        if (kind < 10)
            store.AddMove(date, goods, supplier, qty, 0, qty * (10 + Next(90)), 0);
        else if (kind < 19)
            store.AddMove(date, goods, supplier, 0, qty, 0, qty * (15 + Next(90)));
        else
            store.AddMove(date, goods, supplier, qty - 25, 0, 0, 0);
    }
    for (int i = 0; i < balanceCount; ++i)
        store.AddBalance(DayOfYear2004((int)Next(dateCount)), (int)Next(goodsCount) + 1, NULL, Next(200));
    double tFill = Now() - t0;

    // The supplier with the most distinct goods supplied (worked out by hand, not timed).
    int best = 0, bestGoods = -1;
    {
        static unsigned char seen[501][10001];
        memset(seen, 0, sizeof(seen));
        int counts[501] = {0};
        for (int i = 0; i < store.moveCount; ++i) {
            const MoveRecord& m = store.moves[i];
            if (m.suppliedQty != 0 && !seen[m.supplierId][m.goodsId]) {
                seen[m.supplierId][m.goodsId] = 1;
                ++counts[m.supplierId];
            }
        }
        for (int s = 1; s <= supplierCount; ++s)
            if (counts[s] > bestGoods) {
                bestGoods = counts[s];
                best = s - 1;
            }
    }

    t0 = Now();
    store.RecomputeGoodsFigures();
    double tRecompute = Now() - t0;

    t0 = Now();
    store.BuildDynamics(best);
    double tDynamics = Now() - t0;

    // Seven saves, each over the files of the one before (the first over none):
    // a single save varies by tens of per cent on a shared machine.
    SetCurrentDirectoryA("c:\\");
    const int saves = 7;
    double saveTimes[saves];
    for (int i = 0; i < saves; ++i) {
        t0 = Now();
        store.SaveLists();
        saveTimes[i] = Now() - t0;
    }
    std::sort(saveTimes, saveTimes + saves);
    double tSave = saveTimes[saves / 2];

    CGoodsStore loaded;
    CStoreTables loadedTables(loaded, &g_frame);
    loadedTables.Bind();
    t0 = Now();
    loaded.LoadLists();
    double tLoad = Now() - t0;
    for (int t = 0; t < CGoodsStore::ListCount; ++t)
        DeleteFileA(CGoodsStore::SavePathName((CGoodsStore::ListTable)t));

    PROCESS_MEMORY_COUNTERS memory;
    memset(&memory, 0, sizeof(memory));
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));

    printf("tables: %d goods, %d suppliers, %d moves over %d dates, %d balances (filled in %.2f s)\n",
           store.goodsCount, store.supplierCount, store.moveCount, store.calendarCount, store.balanceCount, tFill);
    printf("RecomputeGoodsFigures:             %.3f s\n", tRecompute);
    printf("BuildDynamics (supplier %d, %d goods): %.3f s  (%d rows x %d days)\n", best, bestGoods, tDynamics,
           store.rowCount, store.calendarCount);
    printf("save of the four list files:       %.3f s  (median of %d; fastest %.3f s, slowest %.3f s)\n", tSave,
           saves, saveTimes[0], saveTimes[saves - 1]);
    printf("load of the four list files:       %.3f s  (%d goods, %d moves back)\n", tLoad, loaded.goodsCount,
           loaded.moveCount);
    printf("peak working set: %.0f MB (two copies of the tables)\n", memory.PeakWorkingSetSize / 1048576.0);
    bool ok = loaded.moveCount == store.moveCount && loaded.goodsCount == store.goodsCount &&
              store.rowCount == bestGoods;
    printf("%s\n", ok ? "results consistent" : "RESULTS INCONSISTENT");
    return ok ? 0 : 1;
}
