// OrvexHost: a stand-in for the host program of Orvex_DLL, shipped beside the
// library so that the converter's tables can be viewed without the real host.
//
// It opens a top-level window with a few children of its own, loads
// Orvex_DLL.dll from its own folder, attaches the plug-in to the window, feeds
// it the converter's tables (Positions.txt, Suppliers.txt, Moves.txt; Buyers.txt
// only to check the buyer codes of sales) through the add operations, and
// refreshes and saves the lists. Options then drive the plug-in's window as a
// user would (tabs, supplier box, button, double click on a row), take pictures
// of the window and quit. Every fault is a line on the console; no message box.
//
//   OrvexHost.exe [FOLDER] [options]     run with -help for the options
//
// Exit code: 0 all well; 1 a table was missing or had faulty rows (the rest was
// fed); 2 the library could not be loaded or attached; 3 a bad option or a
// step that could not be done.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <locale.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "OrvexInterface.h"

namespace {

const char kLibraryName[] = "Orvex_DLL.dll";
const char kReportName[]  = "GoodsDinamic.html";
const char kWindowClass[] = "OrvexHostWindow";

// Texts of the converter's tables, byte for byte (code page 1251).
const char kFictiveGoods[]     = "фикти";
const char kFictivePartner[]   = "Фикц";
const char kSupplierNotFound[] = "[поставщик не найден]";

// The dynamics page of the plug-in: supplier box and "build" button.
const int kSupplierBoxId  = 1011;
const int kBuildButtonId  = 1024;
const int kDynamicsTab    = 4;

// Defaults of a supplier record, as the plug-in's own template has them: the
// converter's supplier table carries no delivery terms.
const double kDeliveryCost    = 20000.0;
const double kDeliveryTimeAvg = 1.0;
const double kDeliveryTimeMax = 1.0;

// Fault lines per table before they are only counted.
const int kFaultLinesShown = 20;

enum ExitCode { kExitOk = 0, kExitTableFaults = 1, kExitLibrary = 2, kExitStep = 3 };

void Say(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fputs("\n", stdout);
    fflush(stdout);
}

// ---------------------------------------------------------------------------
// Timing and memory (-time)

bool   g_timing = false;
double g_tickScale = 0.0;

double NowMs()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    if (g_tickScale == 0.0) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        g_tickScale = 1000.0 / (double)frequency.QuadPart;
    }
    return (double)counter.QuadPart * g_tickScale;
}

void SayTime(const char* step, double startMs)
{
    if (g_timing)
        Say("time: %-40s %9.1f ms", step, NowMs() - startMs);
}

void SayPeakMemory()
{
    PROCESS_MEMORY_COUNTERS counters;
    memset(&counters, 0, sizeof counters);
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        Say("peak memory: working set %.1f MB, committed %.1f MB",
            counters.PeakWorkingSetSize / 1048576.0, counters.PeakPagefileUsage / 1048576.0);
}

// ---------------------------------------------------------------------------
// Tables

struct Row
{
    int line;                         // 1-based line number in the file
    std::vector<std::string> fields;  // split at '|'
};

struct Table
{
    const char* name;
    const char* header;
    bool read = false;
    std::string content;              // the whole file; rows are split as they are fed
    int faults = 0;                   // faulty rows and lines, all counted
};

void Fault(Table& table, int line, const char* format, ...)
{
    ++table.faults;
    if (table.faults > kFaultLinesShown)
        return;
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    text[sizeof text - 1] = 0;
    if (line > 0)
        Say("%s, line %d: %s", table.name, line, text);
    else
        Say("%s: %s", table.name, text);
}

void SayHiddenFaults(const Table& table)
{
    if (table.faults > kFaultLinesShown)
        Say("%s: %d more faults like these not shown", table.name, table.faults - kFaultLinesShown);
}

std::string JoinPath(const std::string& folder, const char* name)
{
    if (folder.empty())
        return name;
    std::string path = folder;
    char last = path[path.size() - 1];
    if (last != '\\' && last != '/' && last != ':')
        path += '\\';
    return path + name;
}

bool ReadWholeFile(const std::string& path, std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;   // a table, not a disk image
    if (ok) {
        content.resize((size_t)size.QuadPart);
        DWORD done = 0;
        ok = content.empty() || (ReadFile(file, &content[0], (DWORD)content.size(), &done, NULL) &&
                                 done == content.size());
    }
    CloseHandle(file);
    return ok;
}

void ReadTable(const std::string& folder, Table& table)
{
    std::string path = JoinPath(folder, table.name);
    if (!ReadWholeFile(path, table.content)) {
        char full[MAX_PATH] = "";
        DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, NULL);
        Fault(table, 0, "cannot read %s", length && length < sizeof full ? full : path.c_str());
        return;
    }
    table.read = true;
}

// Hands each row of a '|'-separated table to the given function, one at a time
// (a year of moves split into strings at once would not fit a 32-bit host). The
// first line is the header; a first line that is not the expected header is
// read as a row, so that no row goes unseen.
template <class Function>
void ForEachRow(Table& table, Function each)
{
    const std::string& content = table.content;
    Row row;
    std::string text;
    size_t start = 0;
    int line = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        text.assign(content, start, end - start);
        start = end + 1;
        ++line;
        if (!text.empty() && text[text.size() - 1] == '\r')
            text.erase(text.size() - 1);
        if (text.find('\0') != std::string::npos) {
            Fault(table, line, "holds a NUL byte; not a text table line, skipped");
            continue;
        }
        if (line == 1) {
            if (text == table.header)
                continue;
            Fault(table, line, "the header \"%s\" is missing; the line is read as a row", table.header);
        }
        if (text.empty())
            continue;
        row.line = line;
        row.fields.clear();
        size_t from = 0;
        for (;;) {
            size_t bar = text.find('|', from);
            row.fields.push_back(text.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
            if (bar == std::string::npos)
                break;
            from = bar + 1;
        }
        each(row);
    }
}

// A decimal number as the converter writes it ("%.5f"), or an integer; an empty
// field is 0. Read with the decimal point whatever the runtime's locale says.
bool ParseNumber(const std::string& text, double& value)
{
    value = 0.0;
    if (text.empty())
        return true;
    size_t i = 0, n = text.size();
    if (text[i] == '-' || text[i] == '+')
        ++i;
    size_t digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') { ++i; ++digits; }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') { ++i; ++digits; }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '-' || text[i] == '+'))
            ++i;
        size_t exponentDigits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') { ++i; ++exponentDigits; }
        if (exponentDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    std::string local = text;
    const char* point = localeconv()->decimal_point;
    for (char& c : local)
        if (c == '.')
            c = point && *point ? *point : '.';
    value = strtod(local.c_str(), NULL);
    return value == value && value - value == 0.0;   // neither NaN nor infinite
}

// A count or index: decimal digits only.
bool ParseCount(const char* text, int& value)
{
    char* end = NULL;
    long number = strtol(text, &end, 10);
    if (!*text || *end || number < 0 || number > 0x7fffffff)
        return false;
    value = (int)number;
    return true;
}

// "dd.mm.yy" into a packed date: day in bits 0-7, month 8-15, year 16-23. The
// converter's years count on past 99, so up to three digits are taken.
bool ParseDate(const std::string& text, uint32_t& date)
{
    int parts[3] = {0, 0, 0};
    size_t i = 0, n = text.size();
    const size_t maxDigits[3] = {2, 2, 3};
    for (int p = 0; p < 3; ++p) {
        size_t digits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            parts[p] = parts[p] * 10 + (text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || digits > maxDigits[p])
            return false;
        if (p < 2) {
            if (i >= n || text[i] != '.')
                return false;
            ++i;
        }
    }
    if (i != n || parts[0] < 1 || parts[0] > 31 || parts[1] < 1 || parts[1] > 12 || parts[2] > 255)
        return false;
    date = (uint32_t)parts[0] | ((uint32_t)parts[1] << 8) | ((uint32_t)parts[2] << 16);
    return true;
}

// ---------------------------------------------------------------------------
// Feeding the plug-in

struct Fed
{
    int goods = 0, suppliers = 0, moves = 0, fictive = 0;
    std::vector<std::string> supplierCodes;           // in the order they were added
    // Per supplier id, the goods ids it supplied (non-zero quantity, known goods),
    // as the plug-in builds its dynamics rows.
    std::unordered_map<int32_t, std::unordered_set<int32_t>> suppliedGoods;
};

void FeedGoods(IOrvexPlugin* plugin, Table& table, Fed& fed)
{
    ForEachRow(table, [&](const Row& row) {
        if (row.fields.size() < 10) {
            Fault(table, row.line, "%u fields, 10 expected (code|name|6 empty|unit cost|second value); skipped",
                  (unsigned)row.fields.size());
            return;
        }
        double unitCost = 0.0, secondValue = 0.0;
        if (!ParseNumber(row.fields[8], unitCost) || !ParseNumber(row.fields[9], secondValue)) {
            Fault(table, row.line, "unit cost \"%s\" or second value \"%s\" is not a number; skipped",
                  row.fields[8].c_str(), row.fields[9].c_str());
            return;
        }
        // The goods record has no field for the unit cost (the plug-in derives
        // prices from the movements); the second value is the goods' volume.
        plugin->AddGoods(0, row.fields[0].c_str(), row.fields[1].c_str(), secondValue, 0, 0, "", 0.0);
        ++fed.goods;
    });
}

void FeedSuppliers(IOrvexPlugin* plugin, Table& table, Fed& fed)
{
    ForEachRow(table, [&](const Row& row) {
        if (row.fields.size() < 2) {
            Fault(table, row.line, "1 field, 2 expected (code|name); skipped");
            return;
        }
        plugin->AddSupplier(0, row.fields[0].c_str(), row.fields[1].c_str(),
                            kDeliveryCost, kDeliveryTimeAvg, kDeliveryTimeMax);
        fed.supplierCodes.push_back(row.fields[0]);
        ++fed.suppliers;
    });
}

class CodeCache
{
public:
    CodeCache(IOrvexPlugin* plugin, bool goods) : m_plugin(plugin), m_goods(goods) {}
    // The plug-in's lookups scan the whole table; one call per distinct code.
    int32_t Find(const std::string& code)
    {
        auto found = m_ids.find(code);
        if (found != m_ids.end())
            return found->second;
        int32_t id = m_goods ? m_plugin->FindGoodsId(code.c_str()) : m_plugin->FindSupplierId(code.c_str());
        m_ids.emplace(code, id);
        return id;
    }
private:
    IOrvexPlugin* m_plugin;
    bool m_goods;
    std::unordered_map<std::string, int32_t> m_ids;
};

void FeedMoves(IOrvexPlugin* plugin, Table& table, Table& buyers, Fed& fed)
{
    CodeCache goodsIds(plugin, true), supplierIds(plugin, false);
    std::unordered_set<std::string> buyerCodes;
    ForEachRow(buyers, [&](const Row& row) { buyerCodes.insert(row.fields[0]); });

    ForEachRow(table, [&](const Row& row) {
        const std::vector<std::string>& f = row.fields;
        uint32_t date = 0;
        if (f.size() >= 3 && f[1] == kFictiveGoods && f[2] == kFictivePartner) {
            // A calendar day without movements: a move of nothing, so that the
            // plug-in's calendar holds the day.
            if (!ParseDate(f[0], date)) {
                Fault(table, row.line, "date \"%s\" is not dd.mm.yy; skipped", f[0].c_str());
                return;
            }
            plugin->AddMove(date, 0, 0, 0.0, 0.0, 0.0, 0.0);
            ++fed.fictive;
            return;
        }
        if (f.size() < 7) {
            Fault(table, row.line, "%u fields, 7 expected (Date|IDG|IDS|NIN|NOUT|DIN|DOUT); skipped",
                  (unsigned)f.size());
            return;
        }
        if (!ParseDate(f[0], date)) {
            Fault(table, row.line, "date \"%s\" is not dd.mm.yy; skipped", f[0].c_str());
            return;
        }
        double values[4];
        static const char* const names[4] = {"NIN", "NOUT", "DIN", "DOUT"};
        bool numbers = true;
        for (int k = 0; k < 4 && numbers; ++k) {
            if (!ParseNumber(f[3 + k], values[k])) {
                Fault(table, row.line, "%s \"%s\" is not a number; skipped", names[k], f[3 + k].c_str());
                numbers = false;
            }
        }
        if (!numbers)
            return;

        int32_t goodsId = goodsIds.Find(f[1]);
        if (goodsId == 0)
            Fault(table, row.line, "goods code \"%s\" is not in the goods table; the move is kept with goods id 0",
                  f[1].c_str());
        // IDS names the supplier of a receipt (NIN filled) and the buyer of
        // anything else; buyers are no suppliers, so a sale has supplier id 0.
        int32_t supplierId = 0;
        if (!f[3].empty()) {
            if (f[2] == kSupplierNotFound)
                Fault(table, row.line, "the converter found no supplier for goods \"%s\"; the move is kept with supplier id 0",
                      f[1].c_str());
            else if ((supplierId = supplierIds.Find(f[2])) == 0)
                Fault(table, row.line, "supplier \"%s\" is not in the supplier table; the move is kept with supplier id 0",
                      f[2].c_str());
        } else if (buyers.read && buyerCodes.count(f[2]) == 0) {
            Fault(table, row.line, "buyer code \"%s\" is not in Buyers.txt; the move is kept", f[2].c_str());
        }
        plugin->AddMove(date, goodsId, supplierId, values[0], values[1], values[2], values[3]);
        ++fed.moves;
        if (supplierId != 0 && goodsId != 0 && values[0] != 0.0)
            fed.suppliedGoods[supplierId].insert(goodsId);
    });
}

// ---------------------------------------------------------------------------
// The host window and the plug-in's windows in it

HWND g_host = NULL;
bool g_quitPosted = false;
const int kQuitButtonId = 101;

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kQuitButtonId && HIWORD(wParam) == BN_CLICKED) {
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        if (window == g_host) {
            g_host = NULL;
            PostQuitMessage(0);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateHostWindow(const std::string& folder)
{
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = HostProcedure;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass))
        return NULL;
    HWND window = CreateWindowExA(0, kWindowClass, "Orvex - stand-in host",
                                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1000, 720,
                                  NULL, NULL, windowClass.hInstance, NULL);
    if (!window)
        return NULL;
    // The host's own children, which the plug-in hides when it shows itself.
    std::string label = "Tables from: " + (folder.empty() ? std::string("the current directory") : folder);
    CreateWindowExA(0, "STATIC", label.c_str(), WS_CHILD | WS_VISIBLE, 10, 10, 600, 20,
                    window, (HMENU)100, windowClass.hInstance, NULL);
    CreateWindowExA(0, "BUTTON", "Quit", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 40, 100, 26,
                    window, (HMENU)(INT_PTR)kQuitButtonId, windowClass.hInstance, NULL);
    CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 120, 40, 300, 24,
                    window, (HMENU)102, windowClass.hInstance, NULL);
    return window;
}

// Runs the message loop until no message is waiting, at least for the given time.
void Pump(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                g_quitPosted = true;
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (GetTickCount() - start >= milliseconds)
            return;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

struct FoundWindows
{
    std::vector<HWND> all;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM found)
{
    reinterpret_cast<FoundWindows*>(found)->all.push_back(window);
    return TRUE;
}

std::string ClassOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The first descendant of the host window of the given class (and dialog item
// id, when not -1) that also passes the style test.
HWND FindDescendant(const char* className, int itemId = -1, LONG_PTR styleMask = 0)
{
    if (!g_host)
        return NULL;
    FoundWindows found;
    EnumChildWindows(g_host, CollectWindow, (LPARAM)&found);
    for (HWND window : found.all) {
        if (lstrcmpiA(ClassOf(window).c_str(), className) != 0)
            continue;
        if (itemId != -1 && GetDlgCtrlID(window) != itemId)
            continue;
        if (styleMask && (GetWindowLongPtrA(window, GWL_STYLE) & styleMask) != styleMask)
            continue;
        return window;
    }
    return NULL;
}

HWND DynamicsList() { return FindDescendant(WC_LISTVIEWA, -1, LVS_SINGLESEL | LVS_OWNERDATA); }

void Repaint()
{
    if (!g_host)
        return;
    RedrawWindow(g_host, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
}

// ---------------------------------------------------------------------------
// Actions, in command-line order

enum ActionKind { kTab, kSupplier, kBuild, kDoubleClick, kShot, kWait, kQuit };

struct Action
{
    ActionKind kind;
    std::string text;
    int number = 0;
};

bool SelectTab(int index)
{
    HWND tab = FindDescendant(WC_TABCONTROLA);
    if (!tab) {
        Say("no tab control in the window");
        return false;
    }
    int count = (int)SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0);
    if (index < 0 || index >= count) {
        Say("no tab %d: the tab control has %d tabs", index, count);
        return false;
    }
    // A click on the tab, as a user gives it: the control then tells its
    // parent TCN_SELCHANGING and TCN_SELCHANGE (TCM_SETCURSEL tells nobody).
    RECT rect;
    if (SendMessageA(tab, TCM_GETCURSEL, 0, 0) != index &&
        SendMessageA(tab, TCM_GETITEMRECT, index, (LPARAM)&rect)) {
        LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(tab, WM_LBUTTONUP, 0, point);
    }
    Pump(0);
    Repaint();
    if (SendMessageA(tab, TCM_GETCURSEL, 0, 0) != index) {
        Say("tab %d could not be selected", index);
        return false;
    }
    char text[256] = "";
    TCITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tab, TCM_GETITEMA, index, (LPARAM)&item);
    Say("tab %d: %s", index, text);
    return true;
}

// The supplier with the most goods in its dynamics: the most distinct known
// goods delivered with a non-zero quantity; the first such in storage order.
int MostGoodsSupplier(IOrvexPlugin* plugin, const Fed& fed, int boxCount)
{
    int best = -1;
    size_t bestCount = 0;
    for (size_t k = 0; k < fed.supplierCodes.size(); ++k) {
        int32_t id = plugin->FindSupplierId(fed.supplierCodes[k].c_str());
        auto goods = fed.suppliedGoods.find(id);
        size_t count = goods == fed.suppliedGoods.end() ? 0 : goods->second.size();
        if (best < 0 || count > bestCount) {
            best = (int)k;
            bestCount = count;
        }
    }
    if (best < 0)
        return -1;
    // Suppliers loaded from the list file come before the ones added here.
    int loaded = boxCount - (int)fed.supplierCodes.size();
    return loaded < 0 ? -1 : loaded + best;
}

bool PickSupplier(IOrvexPlugin* plugin, const Fed& fed, const std::string& which)
{
    HWND box = FindDescendant(WC_COMBOBOXA, kSupplierBoxId);
    if (!box) {
        Say("no supplier box (item %d) in the window", kSupplierBoxId);
        return false;
    }
    int count = (int)SendMessageA(box, CB_GETCOUNT, 0, 0);
    int index = -1;
    if (which == "most") {
        index = MostGoodsSupplier(plugin, fed, count);
        if (index < 0) {
            Say("no supplier was added, so none has the most goods");
            return false;
        }
    } else if (!ParseCount(which.c_str(), index)) {
        Say("-supplier takes a number or \"most\", not \"%s\"", which.c_str());
        return false;
    }
    if (index >= count) {
        Say("no supplier %d: the box holds %d", index, count);
        return false;
    }
    SendMessageA(box, CB_SETCURSEL, index, 0);
    // As the box itself would tell its dialog after a choice.
    SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(kSupplierBoxId, CBN_SELCHANGE), (LPARAM)box);
    Pump(0);
    std::string name(1024, '\0');
    LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, index, 0);
    if (length >= 0 && length < (LRESULT)name.size())
        SendMessageA(box, CB_GETLBTEXT, index, (LPARAM)&name[0]);
    Say("supplier %d: %s", index, name.c_str());
    return true;
}

bool PressBuild()
{
    HWND button = FindDescendant(WC_BUTTONA, kBuildButtonId);
    if (!button) {
        Say("no button (item %d) in the window", kBuildButtonId);
        return false;
    }
    SendMessageA(button, BM_CLICK, 0, 0);
    Pump(0);
    Repaint();
    HWND list = DynamicsList();
    int rows = list ? (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) : 0;
    Say("dynamics built: %d goods rows", rows);
    return true;
}

bool ReportTime(FILETIME& time)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(kReportName, GetFileExInfoStandard, &data))
        return false;
    time = data.ftLastWriteTime;
    return true;
}

bool DoubleClickRow(int row)
{
    HWND list = DynamicsList();
    if (!list) {
        Say("no dynamics list in the window");
        return false;
    }
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (row < 0 || row >= count) {
        Say("no row %d: the dynamics list has %d rows", row, count);
        return false;
    }
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
    Pump(0);
    RECT rect;
    rect.left = LVIR_BOUNDS;
    if (!SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&rect)) {
        Say("row %d has no rectangle on screen", row);
        return false;
    }
    RECT client;
    GetClientRect(list, &client);
    int x = rect.left + 20;
    if (x < client.left + 2)
        x = client.left + 2;
    LPARAM point = MAKELPARAM(x, (rect.top + rect.bottom) / 2);
    FILETIME before = {0, 0}, after = {0, 0};
    bool existed = ReportTime(before);
    // The messages of a double click, posted so that the list view's own
    // button-down loop finds the button-up in the queue as it would.
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    Pump(50);
    Repaint();
    if (!ReportTime(after) || (existed && CompareFileTime(&before, &after) == 0)) {
        Say("double click on row %d: no %s was written", row, kReportName);
        return false;
    }
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    Say("double click on row %d: report %s", row, JoinPath(directory, kReportName).c_str());
    return true;
}

bool WriteBitmap(const char* path, HDC source, int left, int top, int width, int height)
{
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    if (!memory || !bitmap) {
        if (memory) DeleteDC(memory);
        if (bitmap) DeleteObject(bitmap);
        return false;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info;
    memset(&info, 0, sizeof info);
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;          // bottom-up, as a BMP file stores it
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    info.biSizeImage = stride * (DWORD)height;
    std::vector<unsigned char> pixels(info.biSizeImage);
    bool ok = GetDIBits(memory, bitmap, 0, height, pixels.data(), (BITMAPINFO*)&info, DIB_RGB_COLORS) == height;
    DeleteObject(bitmap);
    DeleteDC(memory);
    if (!ok)
        return false;

    BITMAPFILEHEADER file;
    memset(&file, 0, sizeof file);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* out = fopen(path, "wb");
    if (!out)
        return false;
    ok = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info, sizeof info, 1, out) == 1 &&
         fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    return fclose(out) == 0 && ok;
}

// A picture of the host window's client area as it is on the screen (24-bit BMP).
bool TakePicture(const std::string& path)
{
    if (!g_host) {
        Say("no window to take a picture of");
        return false;
    }
    Repaint();
    Pump(300);           // let the display catch up with what was painted
    // The client area: without a window manager (Xvfb) nobody draws the frame.
    RECT rect;
    GetClientRect(g_host, &rect);
    MapWindowPoints(g_host, NULL, (POINT*)&rect, 2);
    HDC screen = GetDC(NULL);
    bool ok = WriteBitmap(path.c_str(), screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(NULL, screen);
    if (!ok) {
        Say("picture %s could not be written", path.c_str());
        return false;
    }
    Say("picture: %s", path.c_str());
    return true;
}

// ---------------------------------------------------------------------------
// Command line

void Usage()
{
    Say("usage: OrvexHost.exe [FOLDER] [options]");
    Say("  Loads Orvex_DLL.dll from the program's folder, shows it in a window and feeds it");
    Say("  Positions.txt, Suppliers.txt and Moves.txt from FOLDER (else the current directory).");
    Say("  The plug-in loads its list files from the current directory and writes its report there.");
    Say("options, done in the order given once the tables are in:");
    Say("  -tab N          click tab N (0 goods, 1 suppliers, 2 movements, 3 balances, 4 dynamics)");
    Say("  -supplier N     choose supplier N in the dynamics page's box; \"most\": the one with most goods");
    Say("  -build          press \"Build the dynamics\"");
    Say("  -dblclick N     double-click row N of the dynamics list (writes and opens the report)");
    Say("  -shot FILE      save a picture of the window as a 24-bit BMP");
    Say("  -wait MS        keep the window running for MS milliseconds");
    Say("  -quit           quit (else the program runs until its window is closed)");
    Say("  -idmode N       identifiers shown as 1 decimal numbers, 2 codes (default hexadecimal)");
    Say("  -nofeed         feed no tables (the list files alone)");
    Say("  -time           print the time of every step and the peak memory");
}

struct Options
{
    std::string folder;
    bool feed = true;
    int idMode = 0;
    std::vector<Action> actions;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    bool haveFolder = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        Action action;
        if (arg == "-help" || arg == "--help" || arg == "-h" || arg == "/?") {
            Usage();
            exit(kExitOk);
        } else if (arg == "-tab" || arg == "-dblclick" || arg == "-wait" || arg == "-idmode") {
            int value = 0;
            if (!hasValue || !ParseCount(argv[i + 1], value)) {
                Say("%s needs a number", arg.c_str());
                return false;
            }
            ++i;
            if (arg == "-idmode") {
                options.idMode = value;
                continue;
            }
            action.kind = arg == "-tab" ? kTab : arg == "-dblclick" ? kDoubleClick : kWait;
            action.number = value;
            options.actions.push_back(action);
        } else if (arg == "-supplier" || arg == "-shot") {
            if (!hasValue) {
                Say("%s needs a value", arg.c_str());
                return false;
            }
            action.kind = arg == "-supplier" ? kSupplier : kShot;
            action.text = argv[++i];
            options.actions.push_back(action);
        } else if (arg == "-build") {
            action.kind = kBuild;
            options.actions.push_back(action);
        } else if (arg == "-quit") {
            action.kind = kQuit;
            options.actions.push_back(action);
        } else if (arg == "-nofeed") {
            options.feed = false;
        } else if (arg == "-time") {
            g_timing = true;
        } else if (!arg.empty() && arg[0] == '-') {
            Say("unknown option %s (-help lists them)", arg.c_str());
            return false;
        } else if (!haveFolder) {
            options.folder = arg;
            haveFolder = true;
        } else {
            Say("one folder only: %s", arg.c_str());
            return false;
        }
    }
    return true;
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return std::string();
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

// Quit: stop the plug-in's workers through their named event, destroy the
// window and free the library once the workers have let it go.
void Shutdown(HMODULE library)
{
    HANDLE stop = CreateEventA(NULL, TRUE, FALSE, "Exit_MathFlow");
    if (stop)
        SetEvent(stop);
    if (g_host)
        DestroyWindow(g_host);
    Pump(0);
    if (library) {
        FreeLibrary(library);
        // Workers end within one interval (100 ms) and only then unpin the library.
        DWORD start = GetTickCount();
        while (GetModuleHandleA(kLibraryName) && GetTickCount() - start < 2000)
            Sleep(20);
        Say(GetModuleHandleA(kLibraryName) ? "%s still loaded after 2 s" : "%s unloaded", kLibraryName);
    }
    if (stop)
        CloseHandle(stop);
}

int Run(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options))
        return kExitStep;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    g_host = CreateHostWindow(options.folder);
    if (!g_host) {
        Say("the host window could not be created");
        return kExitLibrary;
    }
    ShowWindow(g_host, SW_SHOW);
    UpdateWindow(g_host);

    std::string libraryPath = JoinPath(ProgramFolder(), kLibraryName);
    HMODULE library = LoadLibraryA(libraryPath.c_str());
    if (!library) {
        Say("cannot load %s (error %lu)", libraryPath.c_str(), GetLastError());
        DestroyWindow(g_host);
        return kExitLibrary;
    }
    GetInterfaceFunction getInterface = (GetInterfaceFunction)(void*)GetProcAddress(library, "GetInterface");
    IOrvexPlugin* plugin = getInterface ? getInterface() : NULL;
    if (!plugin) {
        Say(getInterface ? "GetInterface returned no interface" : "%s exports no GetInterface", kLibraryName);
        DestroyWindow(g_host);
        FreeLibrary(library);
        return kExitLibrary;
    }

    double start = NowMs();
    plugin->AttachHost(g_host, kLibraryName);
    SayTime("AttachHost (list files loaded)", start);
    plugin->ShowPlugin();
    if (options.idMode && !plugin->SetIdMode(options.idMode))
        Say("identifier display %d refused (1 or 2)", options.idMode);
    Pump(0);

    int result = kExitOk;
    Fed fed;
    if (options.feed) {
        Table positions, suppliers, buyers, moves;
        positions.name = "Positions.txt";
        suppliers.name = "Suppliers.txt";
        buyers.name = "Buyers.txt";
        moves.name = "Moves.txt";
        positions.header = suppliers.header = buyers.header = "ID|Name";
        moves.header = "Date|IDG|IDS|NIN|NOUT|DIN|DOUT";
        start = NowMs();
        for (Table* table : {&positions, &suppliers, &buyers, &moves})
            ReadTable(options.folder, *table);
        SayTime("reading the tables", start);
        start = NowMs();
        FeedGoods(plugin, positions, fed);
        FeedSuppliers(plugin, suppliers, fed);
        FeedMoves(plugin, moves, buyers, fed);
        SayTime("add operations", start);
        for (const Table* table : {&positions, &suppliers, &buyers, &moves}) {
            SayHiddenFaults(*table);
            if (table->faults)
                result = kExitTableFaults;
        }
        Say("fed: %d goods, %d suppliers, %d moves and %d fictive days", fed.goods, fed.suppliers, fed.moves,
            fed.fictive);
    }
    start = NowMs();
    plugin->RefreshLists();
    Pump(0);
    Repaint();
    SayTime("RefreshLists", start);
    if (options.feed) {
        start = NowMs();
        plugin->SaveLists();
        SayTime("SaveLists", start);
    }

    bool quit = false;
    for (const Action& action : options.actions) {
        if (g_quitPosted || !g_host) {
            Say("the window was closed before all steps were done");
            result = kExitStep;
            break;
        }
        start = NowMs();
        bool ok = true;
        std::string step;
        switch (action.kind) {
        case kTab:         ok = SelectTab(action.number);       step = "tab " + std::to_string(action.number); break;
        case kSupplier:    ok = PickSupplier(plugin, fed, action.text); step = "supplier " + action.text; break;
        case kBuild:       ok = PressBuild();                   step = "BuildDynamics"; break;
        case kDoubleClick: ok = DoubleClickRow(action.number);  step = "report of row " + std::to_string(action.number); break;
        case kShot:        ok = TakePicture(action.text);       step = "picture"; break;
        case kWait:        Pump((DWORD)action.number);          step = "wait"; break;
        case kQuit:        quit = true;                         break;
        }
        if (quit)
            break;
        if (action.kind != kShot && action.kind != kWait)
            SayTime(step.c_str(), start);
        if (!ok)
            result = kExitStep;
    }
    if (!quit && !g_quitPosted) {
        MSG message;
        while (g_host && GetMessageA(&message, NULL, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (g_timing)
        SayPeakMemory();
    Shutdown(library);
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    return Run(argc, argv);
}
