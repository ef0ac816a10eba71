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
#include "Dynamics.h"
#include "DynamicsReport.h"
#include "GoodsStore.h"
#include "IdText.h"
#include "ListFiles.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/controls/ProgBar.h"
#include "BenchClock.h"

static CWIN_HEAP_INFO g_entries[CWIN_HEAP_INFO_NUM_PLUGIN];
CHeapRegistry g_heapRegistry(g_entries, CWIN_HEAP_INFO_NUM_PLUGIN);
static CAppFrame g_frame;
static CProgBar g_bar;

static HINSTANCE WINAPI NoOpen(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)
{
    return (HINSTANCE)(INT_PTR)42;
}

static uint32_t g_seed = 20040101;
static uint32_t Next(uint32_t n)
{
    g_seed = g_seed * 1664525u + 1013904223u;
    return (uint32_t)(((uint64_t)(g_seed >> 8) * n) >> 24);
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
    CStoreTables& tables = store.Tables();
    CListFiles files(tables);
    store.SetProgressSource(&g_frame);
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
    double tReferences = Now() - t0;
    // A host turns each distinct code of its moves into an identifier once.
    t0 = Now();
    long long found = 0;
    for (int i = 0; i < goodsCount; ++i) {
        snprintf(code, sizeof(code), "G%05d", i);
        found += store.FindGoodsId(code) != 0;
    }
    for (int i = 0; i < supplierCount; ++i) {
        snprintf(code, sizeof(code), "S%04d", i);
        found += store.FindSupplierId(code) != 0;
    }
    double tLookups = Now() - t0;
    // Each goods item has a main supplier; a fifth of the supplies come from anyone.
    // Supplier 0 is the main supplier of many more goods than the others. The
    // moves are made a batch at a time and only their adds are timed.
    struct Move
    {
        PackedDate date;
        int goods, supplier;
        double supplied, sold, supplyValue, saleValue;
    };
    static Move batch[10000];
    double tMoves = 0;
    for (int done = 0; done < moveCount;) {
        int n = moveCount - done < 10000 ? moveCount - done : 10000;
        for (int k = 0; k < n; ++k) {
            Move& m = batch[k];
            m.goods = (int)Next(goodsCount) + 1;
            int main = m.goods % 5 == 0 ? 1 : (int)((uint32_t)m.goods * 2654435761u % supplierCount) + 1;
            m.supplier = Next(5) == 0 ? (int)Next(supplierCount) + 1 : main;
            m.date = DayOfYear2004((int)Next(dateCount));
            uint32_t kind = Next(20);
            double qty = 1 + Next(50);
            m.supplied = m.sold = m.supplyValue = m.saleValue = 0;
            if (kind < 10) {
                m.supplied = qty;
                m.supplyValue = qty * (10 + Next(90));
            } else if (kind < 19) {
                m.sold = qty;
                m.saleValue = qty * (15 + Next(90));
            } else {
                m.supplied = qty - 25;
            }
        }
        t0 = Now();
        for (int k = 0; k < n; ++k) {
            const Move& m = batch[k];
            store.AddMove(m.date, m.goods, m.supplier, m.supplied, m.sold, m.supplyValue, m.saleValue);
        }
        tMoves += Now() - t0;
        done += n;
    }
    double tMovesStart = Now();
    for (int i = 0; i < balanceCount; ++i)
        store.AddBalance(DayOfYear2004((int)Next(dateCount)), (int)Next(goodsCount) + 1, NULL, Next(200));
    double tFill = tReferences + tLookups + tMoves + (Now() - tMovesStart);

    // The identifier columns of the moves list in code mode: two cells a move.
    int idMode = IdModeCode;
    char cell[64];
    t0 = Now();
    long long shown = 0;
    for (int i = 0; i < tables.Moves().Count(); ++i) {
        FormatId(store, idMode, cell, sizeof(cell), tables.Moves()[i].goodsId, NULL, true);
        shown += cell[0] != 0;
        FormatId(store, idMode, cell, sizeof(cell), tables.Moves()[i].supplierId, NULL, false);
        shown += cell[0] != 0;
    }
    double tFormat = Now() - t0;

    // The supplier with the most distinct goods supplied (worked out by hand, not timed).
    int best = 0, bestGoods = -1;
    {
        static unsigned char seen[501][10001];
        memset(seen, 0, sizeof(seen));
        int counts[501] = {0};
        for (int i = 0; i < tables.Moves().Count(); ++i) {
            const MoveRecord& m = tables.Moves()[i];
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
    CDynamics dynamics = CDynamics::Build(store, tables.Suppliers()[best].id, &g_frame, &g_frame);
    double tDynamics = Now() - t0;

    // The report of the first row, its file written in the current directory
    // (the open request is left out: it is the system's).
    SetShellOpenFunction(NoOpen);
    SetCurrentDirectoryA("c:\\");
    t0 = Now();
    WriteDynamicsReport(dynamics, 0);
    double tReport = Now() - t0;
    DeleteFileA("GoodsDinamic.html");

    // Seven saves, each over the files of the one before (the first over none):
    // a single save varies by tens of per cent on a shared machine.
    const int saves = 7;
    double saveTimes[saves];
    for (int i = 0; i < saves; ++i) {
        t0 = Now();
        files.SaveLists();
        saveTimes[i] = Now() - t0;
    }
    std::sort(saveTimes, saveTimes + saves);
    double tSave = saveTimes[saves / 2];

    CGoodsStore loaded;
    CStoreTables& loadedTables = loaded.Tables();
    loadedTables.Bind();
    t0 = Now();
    CListFiles(loadedTables).LoadLists();
    double tLoad = Now() - t0;
    for (int t = 0; t < StoreTableCount; ++t)
        DeleteFileA(CListFiles::SavePath((StoreTable)t));

    PROCESS_MEMORY_COUNTERS memory;
    memset(&memory, 0, sizeof(memory));
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));

    // What the machine asks for memory touched the first time: the moves'
    // block and its view index are that much of every fill and every load.
    const SIZE_T probe = (SIZE_T)84 * 1024 * 1024;
    t0 = Now();
    char* fresh = static_cast<char*>(VirtualAlloc(NULL, probe, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (fresh)
        memset(fresh, 1, probe);
    double tFresh = Now() - t0;
    if (fresh)
        VirtualFree(fresh, 0, MEM_RELEASE);

    printf("tables: %d goods, %d suppliers, %d moves over %d dates, %d balances (filled in %.2f s)\n",
           tables.Goods().Count(), tables.Suppliers().Count(), tables.Moves().Count(), dynamics.CalendarCount(),
           tables.Balances().Count(), tFill);
    printf("  goods and suppliers added:       %.3f s  (%d and %d, with codes)\n", tReferences, tables.Goods().Count(),
           tables.Suppliers().Count());
    printf("  codes looked up:                 %.3f s  (%lld of %d found)\n", tLookups, found,
           goodsCount + supplierCount);
    printf("  moves added:                     %.3f s  (%d; their block and view are fresh memory)\n", tMoves,
           tables.Moves().Count());
    printf("FormatId in code mode:             %.3f s  (%lld of %d identifier cells of the moves)\n", tFormat,
           shown, 2 * tables.Moves().Count());
    printf("RecomputeGoodsFigures:             %.3f s\n", tRecompute);
    printf("BuildDynamics (supplier %d, %d goods): %.3f s  (%d rows x %d days)\n", best, bestGoods, tDynamics,
           dynamics.RowCount(), dynamics.CalendarCount());
    printf("report of row 0 (written, not opened): %.3f s  (%d days)\n", tReport, dynamics.CalendarCount());
    printf("save of the four list files:       %.3f s  (median of %d; fastest %.3f s, slowest %.3f s)\n", tSave,
           saves, saveTimes[0], saveTimes[saves - 1]);
    printf("load of the four list files:       %.3f s  (%d goods, %d moves back)\n", tLoad,
           loadedTables.Goods().Count(), loadedTables.Moves().Count());
    printf("peak working set: %.0f MB (two copies of the tables)\n", memory.PeakWorkingSetSize / 1048576.0);
    printf("first touch of 84 MB of fresh memory on this machine: %.3f s (the size of the moves' block and view)\n",
           tFresh);
    bool ok = loadedTables.Moves().Count() == tables.Moves().Count() &&
              loadedTables.Goods().Count() == tables.Goods().Count() && dynamics.RowCount() == bestGoods;
    printf("%s\n", ok ? "results consistent" : "RESULTS INCONSISTENT");
    return ok ? 0 : 1;
}
