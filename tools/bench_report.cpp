// bench_report: the plug-in's own part of the report of one row, as a host sees
// it: the time the double click on the row takes to be handled (the report
// written and its open request made), without any message pump around it.
// Usage, in a folder that holds the list files: bench_report SUPPLIER
// (Orvex_DLL.dll is taken from the program's own folder). One line on standard
// output: "report of row 0: <ms> ms, <bytes> bytes".
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "OrvexInterface.h"
#include "BenchClock.h"

static void Pump()
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

static BOOL CALLBACK Collect(HWND window, LPARAM found)
{
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// The first descendant of the class (and dialog item, when not -1) with the style bits.
static HWND Find(HWND host, const char* className, int item, LONG_PTR style)
{
    std::vector<HWND> all;
    EnumChildWindows(host, Collect, (LPARAM)&all);
    for (HWND window : all) {
        char name[64] = "";
        GetClassNameA(window, name, sizeof(name));
        if (lstrcmpiA(name, className) != 0 || (item != -1 && GetDlgCtrlID(window) != item))
            continue;
        if ((GetWindowLongPtrA(window, GWL_STYLE) & style) == style)
            return window;
    }
    return NULL;
}

int main(int argc, char** argv)
{
    int supplier = argc > 1 ? atoi(argv[1]) : 0;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof(path));
    char* slash = length ? strrchr(path, '\\') : NULL;
    if (!slash)
        return 2;
    strcpy(slash + 1, "Orvex_DLL.dll");
    HMODULE library = LoadLibraryA(path);
    GetInterfaceFunction get = library ? (GetInterfaceFunction)(void*)GetProcAddress(library, "GetInterface") : NULL;
    IOrvexPlugin* plugin = get ? get() : NULL;
    if (!plugin) {
        printf("Orvex_DLL.dll could not be loaded\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "BenchReportHost";
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 900, 700,
                                NULL, NULL, wc.hInstance, NULL);
    ShowWindow(host, SW_SHOW);
    UpdateWindow(host);
    plugin->AttachHost(host, "Orvex_DLL.dll");
    plugin->ShowPlugin();
    plugin->RefreshLists();
    Pump();

    // The dynamics tab, the supplier, the button: as a user's clicks give them.
    HWND tabs = Find(host, WC_TABCONTROLA, -1, 0);
    RECT rect;
    if (!tabs || !SendMessageA(tabs, TCM_GETITEMRECT, 4, (LPARAM)&rect)) {
        printf("no dynamics tab\n");
        return 3;
    }
    LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(tabs, WM_LBUTTONUP, 0, point);
    Pump();
    HWND box = Find(host, WC_COMBOBOXA, 1011, 0);
    HWND button = Find(host, WC_BUTTONA, 1024, 0);
    if (!box || !button || SendMessageA(box, CB_SETCURSEL, supplier, 0) != supplier) {
        printf("no supplier %d\n", supplier);
        return 3;
    }
    SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(1011, CBN_SELCHANGE), (LPARAM)box);
    SendMessageA(button, BM_CLICK, 0, 0);
    Pump();
    HWND list = Find(host, WC_LISTVIEWA, -1, LVS_SINGLESEL | LVS_OWNERDATA);
    RECT row;
    row.left = LVIR_BOUNDS;
    if (!list || SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) < 1 || !SendMessageA(list, LVM_GETITEMRECT, 0, (LPARAM)&row)) {
        printf("no dynamics rows\n");
        return 3;
    }
    LVITEMA state = {};
    state.stateMask = state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, 0, (LPARAM)&state);
    Pump();
    DeleteFileA("GoodsDinamic.html");

    double start = Now();
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(row.left + 20, (row.top + row.bottom) / 2));
    double took = (Now() - start) * 1000;

    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA("GoodsDinamic.html", GetFileExInfoStandard, &data)) {
        printf("no report was written\n");
        return 3;
    }
    printf("report of row 0: %.1f ms, %lu bytes\n", took, data.nFileSizeLow);
    fflush(stdout);
    // The workers and the library go with the process.
    ExitProcess(0);
}
