// The plug-in's list files as another program or a broken disk may leave them.
#include "FuzzTargets.h"

#include <windows.h>
#include <stdio.h>

#include "cwin/frame/AppFrame.h"
#include "Dynamics.h"
#include "DynamicsReport.h"
#include "GoodsStore.h"
#include "ListFiles.h"
#include "cwin/controls/ProgBar.h"

namespace fuzz {

namespace {

HINSTANCE WINAPI NoOpen(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)
{
    return (HINSTANCE)(INT_PTR)33;   // as the shell reports success
}

}  // namespace

Verdict RunListsInput(const FuzzInput& input)
{
    Verdict v;
    PutInput(input);
    DeleteFileA("GoodsDinamic.html");
    SetShellOpenFunction(NoOpen);

    CAppFrame frame;
    CProgBar progress;
    frame.SetProgressBar(&progress);
    CGoodsStore store;
    CStoreTables& tables = store.Tables();
    CListFiles files(tables);
    store.SetProgressSource(&frame);
    if (!tables.Bind()) {
        v.Fail("tables not bound");
        return v;
    }
    files.LoadLists();
    if (tables.Goods().Count() < 0 || tables.Suppliers().Count() < 0 || tables.Moves().Count() < 0 ||
        tables.Balances().Count() < 0)
        v.Fail("a negative count");
    store.RecomputeGoodsFigures();
    CDynamics dynamics;
    for (int s = 0; s < tables.Suppliers().Count(); ++s) {
        dynamics.Rebuild(store, s, &frame, &frame);
        if (dynamics.RowCount() < 0 || dynamics.SeriesCount() < 0)
            v.Fail("a negative row count");
        for (int r = 0; r < dynamics.RowCount(); ++r)
            WriteDynamicsReport(dynamics, r);
    }
    SetShellOpenFunction(NULL);
    return v;
}

// Small stores saved as list files: the seeds of the target.
bool MakeListSeeds(const std::string& dir)
{
    CreateDirectoryA(dir.c_str(), NULL);
    for (int seed = 0; seed < 4; ++seed) {
        CGoodsStore store;
        CStoreTables& tables = store.Tables();
        CListFiles files(tables);
        if (!tables.Bind())
            return false;
        const int goods = 2 + seed * 3;
        const int suppliers = 1 + seed;
        for (int s = 1; s <= suppliers; ++s) {
            char code[32], name[64];
            snprintf(code, sizeof(code), "S%d", s);
            snprintf(name, sizeof(name), "Поставщик %d", s);
            store.AddSupplier(s, code, name, 100.0 * s, 2.5, 7);
        }
        for (int g = 1; g <= goods; ++g) {
            char code[32], name[64];
            snprintf(code, sizeof(code), "G%03d", g);
            snprintf(name, sizeof(name), "Товар %d", g);
            store.AddGoods(g, code, name, 0.5 * g, g % 3, 10, "примечание", g % 2);
        }
        for (int day = 0; day < 10 + seed * 20; ++day) {
            int g = 1 + day % goods;
            PackedDate date = MakePackedDate(1 + day % 28, 1 + (day / 28) % 12, 4 + seed);
            store.AddMove(date, g, 1 + day % suppliers, day % 3 ? 5.0 : 0.0, day % 2 ? 2.0 : 0.0, 50.0, 30.0);
            if (day % 7 == 0)
                store.AddBalance(date, g, "", 10.0 + day);
        }
        char sub[32];
        snprintf(sub, sizeof(sub), "\\s%d", seed);
        std::string folder = dir + sub;
        CreateDirectoryA(folder.c_str(), NULL);
        for (int t = 0; t < StoreTableCount; ++t) {
            StoreTable table = (StoreTable)t;
            if (!files.SaveTable(table, (folder + "\\" + CListFiles::FileName(table)).c_str()))
                return false;
        }
    }
    return true;
}

}  // namespace fuzz
