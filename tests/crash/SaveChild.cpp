// The child of the kill test: a host of Orvex_DLL.dll that either feeds a
// year's tables (variant A or B) and saves them, saying on its output when the
// save starts, or attaches in c:\ and prints how many rows each list loaded.
//
//   orvex_save_child feed A|B   (in a folder without list files)
//   orvex_save_child load       (in c:\)
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "OrvexInterface.h"
#include "TestHost.h"
#include "TestSupport.h"

namespace {

uint32_t g_random = 1;

uint32_t Next(uint32_t below)
{
    g_random = g_random * 1103515245u + 12345u;
    return (g_random >> 8) % below;
}

uint32_t Date(int dayOfYear)
{
    static const int lengths[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    while (dayOfYear >= lengths[month])
        dayOfYear -= lengths[month++];
    return (uint32_t)(dayOfYear + 1) | (uint32_t)(month + 1) << 8 | 4u << 16;
}

// A year of a large business: 10,000 goods, 500 suppliers, 1,000,000 moves
// over 365 dates, 10,000 balances; the variant changes every value.
void Feed(IOrvexPlugin* plugin, char variant)
{
    g_random = variant == 'A' ? 1 : 2;
    const int goods = 10000, suppliers = 500, moves = 1000000, balances = 10000;
    char code[32], name[64];
    for (int i = 0; i < suppliers; ++i) {
        snprintf(code, sizeof(code), "S%c%04d", variant, i);
        snprintf(name, sizeof(name), "Поставщик %c%d", variant, i);
        plugin->AddSupplier(0, code, name, 1000 + i, 1 + i % 7, 2 + i % 9);
    }
    for (int i = 0; i < goods; ++i) {
        snprintf(code, sizeof(code), "G%c%05d", variant, i);
        snprintf(name, sizeof(name), "Товар %c%d", variant, i);
        plugin->AddGoods(0, code, name, 0.1 * (i % 10), i % 5, 1 + i % 24, "", 0);
    }
    for (int i = 0; i < moves; ++i) {
        const double qty = 1 + Next(50);
        if (Next(2))
            plugin->AddMove(Date((int)Next(365)), (int)Next(goods) + 1, (int)Next(suppliers) + 1, qty, 0,
                            qty * (10 + Next(90)), 0);
        else
            plugin->AddMove(Date((int)Next(365)), (int)Next(goods) + 1, 0, 0, qty, 0, qty * (15 + Next(90)));
    }
    for (int i = 0; i < balances; ++i)
        plugin->AddBalance(Date((int)Next(365)), (int)Next(goods) + 1, NULL, Next(200));
}

int Rows(HWND host, int columns)
{
    HWND list = FindListWithColumns(host, columns);
    return list ? (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) : -1;
}

// Ends at once: the kill test wants no unload, which a killed host never has either.
void End(int code)
{
    fflush(stdout);
    TerminateProcess(GetCurrentProcess(), (UINT)code);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool feed = argc == 3 && strcmp(argv[1], "feed") == 0 && (argv[2][0] == 'A' || argv[2][0] == 'B');
    if (!feed && !(argc == 2 && strcmp(argv[1], "load") == 0)) {
        fprintf(stderr, "usage: orvex_save_child feed A|B | load\n");
        return 3;
    }
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    strcpy(strrchr(path, '\\') + 1, "Orvex_DLL.dll");
    HMODULE library = LoadLibraryA(path);
    GetInterfaceFunction get =
        library ? reinterpret_cast<GetInterfaceFunction>(reinterpret_cast<void*>(GetProcAddress(library, "GetInterface")))
                : NULL;
    IOrvexPlugin* plugin = get ? get() : NULL;
    HWND host = CreateTestHost(RegisterTestHostClass(), "host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600);
    if (!plugin || !host || !plugin->AttachHost(host, "Orvex_DLL.dll")) {
        fprintf(stderr, "the plug-in could not be attached\n");
        End(2);
    }
    if (!feed) {
        // Goods 11 columns, suppliers 5, moves 7, balances 3.
        printf("%d %d %d %d\n", Rows(host, 11), Rows(host, 5), Rows(host, 7), Rows(host, 3));
        End(0);
    }
    Feed(plugin, argv[2][0]);
    printf("saving\n");
    fflush(stdout);
    const DWORD start = GetTickCount();
    const bool saved = plugin->SaveLists();
    printf("saved %d in %lu ms\n", saved ? 1 : 0, (unsigned long)(GetTickCount() - start));
    End(saved ? 0 : 1);
    return 0;
}
