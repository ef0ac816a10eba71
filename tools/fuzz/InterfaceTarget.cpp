// The plug-in library as a hostile host drives it: Orvex_DLL.dll loaded fresh
// for every input, a host window with some children, and a sequence of the
// twelve operations decoded from the input's one file "calls". The host shares
// only the interface header with the library; the library's message boxes and
// open requests are caught at its imports, so that nothing waits for a user.
//
// The file: one byte for the host's child count, then calls, each an operation
// byte (modulo 12, the slot) followed by a fixed number of argument bytes that
// pick hostile values; bytes past the end read as 0, so any bytes decode.
#include "FuzzTargets.h"

#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <limits>

#include "ImportRedirect.h"
#include "OrvexInterface.h"
#include "WindowLookup.h"

namespace fuzz {

namespace {

enum Op
{
    OpAttachHost, OpReserved, OpShowPlugin, OpAddSupplier, OpRefreshLists, OpSetIdMode, OpAddMove,
    OpFindGoodsId, OpFindSupplierId, OpAddGoods, OpAddBalance, OpSaveLists, OpCount
};
// Argument bytes of each slot: texts, identifiers, doubles and modes take one,
// a date two, AttachHost's window and module name one each.
const int kArgBytes[OpCount] = { 2, 0, 0, 6, 0, 1, 8, 1, 1, 8, 5, 0 };
const size_t kMaxCalls = 400;   // a hand-made input cannot run for ever

const char kLibraryName[] = "Orvex_DLL.dll";

// Where an input's time goes, when ORVEX_FUZZ_PROFILE is set: wall time per
// phase and per operation, summed over the worker's inputs.
enum Phase
{
    PhaseFiles = OpCount, PhaseWindows, PhaseLoadLibrary, PhaseImports, PhasePump, PhaseLastRefresh, PhaseDraw,
    PhaseReadLists, PhaseDestroyHost, PhaseFreeLibrary, PhaseWaitUnload, PhaseCount
};
const char* const kPhaseNames[PhaseCount] = {
    "AttachHost", "Reserved", "ShowPlugin", "AddSupplier", "RefreshLists", "SetIdMode", "AddMove", "FindGoodsId",
    "FindSupplierId", "AddGoods", "AddBalance", "SaveLists(+check)", "delete list files", "host windows",
    "LoadLibrary", "imports+GetInterface", "Pump", "last RefreshLists", "DrawAll", "read lists",
    "destroy host+pump", "FreeLibrary", "wait for unload" };
struct Profile
{
    bool on = getenv("ORVEX_FUZZ_PROFILE") != NULL;
    LARGE_INTEGER freq = {};
    double seconds[PhaseCount] = {};
    long long counts[PhaseCount] = {};
    long long inputs = 0;
    Profile() { QueryPerformanceFrequency(&freq); }
    ~Profile()
    {
        if (!on || !inputs)
            return;
        double total = 0;
        for (double s : seconds)
            total += s;
        fprintf(stderr, "profile of %lld inputs: %.1f ms each in the phases below\n", inputs, 1000 * total / inputs);
        for (int i = 0; i < PhaseCount; ++i)
            if (counts[i])
                fprintf(stderr, "  %-22s %8lld calls %9.3f ms per input %8.3f ms per call\n", kPhaseNames[i],
                        counts[i], 1000 * seconds[i] / inputs, 1000 * seconds[i] / counts[i]);
    }
};
Profile g_profile;

class Timed
{
public:
    explicit Timed(int phase) : m_phase(phase)
    {
        if (g_profile.on)
            QueryPerformanceCounter(&m_start);
    }
    ~Timed() { Stop(); }
    void Stop()
    {
        if (!g_profile.on || m_phase < 0)
            return;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&end);
        g_profile.seconds[m_phase] += double(end.QuadPart - m_start.QuadPart) / g_profile.freq.QuadPart;
        g_profile.counts[m_phase]++;
        m_phase = -1;
    }

private:
    int m_phase;
    LARGE_INTEGER m_start = {};
};
const char* const kListNames[4] = { "GNList.dat", "SNList.dat", "GMList.dat", "GDList.dat" };
const DWORD kRecordSizes[4] = { 672, 1112, 80, 24 };
const int kMaxHostChildren = 32;

class Reader
{
public:
    explicit Reader(const std::string& bytes) : m_bytes(bytes) {}
    bool More() const { return m_at < m_bytes.size(); }
    uint8_t Next() { return m_at < m_bytes.size() ? (uint8_t)m_bytes[m_at++] : 0; }

private:
    const std::string& m_bytes;
    size_t m_at = 0;
};

// ---------------------------------------------------------------------------
// Hostile values

const char* Text(uint8_t b)
{
    static const std::string ya5000(5000, '\xDF');   // "Я"
    static const std::string zhe1023(1023, '\xC6');  // "Ж"
    static const std::string x2000(2000, 'x');
    static const std::string code40(40, 'C'), code31(31, 'C');   // a 40-character code and what is kept of it
    switch (b % 16) {
    case 0: return NULL;
    case 1: return ya5000.c_str();
    case 2: return "";
    case 3: return "нет такого";
    case 4: return "A1";
    case 5: return "B2";
    case 6: return "S1";
    case 7: return "G001";
    case 8: return code31.c_str();
    case 9: return code40.c_str();
    case 10: return "%s%n%s%d%x%.1000f";
    case 11: return kLibraryName;
    case 12: return "a\tb;c|d\r\n\xB3";
    case 13: return "\xFF\x98\x01\x7F";
    case 14: return zhe1023.c_str();
    default: return x2000.c_str();
    }
}

int32_t Id(uint8_t b)
{
    static const int32_t values[16] = { 0, -1, 0x7FFFFFFF, (int32_t)0x80000000, 1, 2, 3, 4,
                                        5, 77, 255, 1000, -77, 65536, 0x7FFFFFFE, 6 };
    return values[b % 16];
}

double Number(uint8_t b)
{
    const double values[16] = { std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                -0.0, 1e308, -1e308, 0.0, 1.5, 4.25, -3.0,
                                std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(),
                                100.0, 2.5, 1e-300 };
    return values[b % 16];
}

int32_t Mode(uint8_t b)
{
    static const int32_t values[16] = { 0, 1, 2, 3, -1, 255, (int32_t)0x80000000, 0x7FFFFFFF,
                                        257, 258, 1, 2, 65537, -2, 4, 0x10002 };
    return values[b % 16];
}

// Day, month and two-digit year from pools with months 0, 13 and 255; now and
// then the unset date or a non-zero top byte.
uint32_t Date(uint8_t a, uint8_t b)
{
    static const uint32_t days[8] = { 0, 1, 15, 28, 31, 32, 99, 255 };
    static const uint32_t months[8] = { 0, 1, 2, 12, 13, 255, 6, 7 };
    static const uint32_t years[8] = { 0, 4, 5, 24, 99, 100, 255, 26 };
    uint32_t date = days[a & 7] | months[(a >> 3) & 7] << 8 | years[b & 7] << 16;
    switch (a >> 6) {
    case 1: return 0xFFFFFFFFu;
    case 2: return date | (uint32_t)b << 24;
    default: return date;
    }
}

// Names of modules given to AttachHost: the first two name the library itself
// (without the extension the system adds ".dll").
const char* ModuleName(uint8_t b)
{
    switch (b % 8) {
    case 0: case 1: case 2: return kLibraryName;
    case 3: return "orvex_dll";
    case 4: return NULL;
    case 5: return "";
    case 6: return Text(1);   // 5,000 characters
    default: return "kernel32.dll";
    }
}

bool NamesLibrary(const char* name)
{
    return name && (!strcmp(name, kLibraryName) || !strcmp(name, "orvex_dll"));
}

// ---------------------------------------------------------------------------
// The library's imports seen by the host

struct SeenBox
{
    std::string caption, text;
};
std::vector<SeenBox> g_boxes;

int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    g_boxes.push_back(SeenBox{ caption ? caption : "", text ? text : "" });
    return IDOK;
}

HINSTANCE WINAPI NoOpen(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)
{
    return (HINSTANCE)(INT_PTR)42;   // above 32: success
}

// The system libraries the plug-in imports stay in the host for good, as in a
// real host program that has them loaded already: without that every input
// would also load and unload shell32, ole32 and comdlg32 (a fifth of an
// input's time), none of which is under test. The library itself still
// comes and goes with every input.
void KeepImportsLoaded(HMODULE module)
{
    static bool kept = false;
    if (kept)
        return;
    kept = true;
    BYTE* base = reinterpret_cast<BYTE*>(module);
    IMAGE_NT_HEADERS* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    IMAGE_DATA_DIRECTORY imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return;
    for (IMAGE_IMPORT_DESCRIPTOR* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         d->Name; ++d) {
        HMODULE kept = NULL;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, reinterpret_cast<char*>(base + d->Name), &kept);
    }
}

// ---------------------------------------------------------------------------
// The host's windows

// Bounded: a window that posts to itself for ever shows as a hang elsewhere.
void Pump()
{
    MSG msg;
    for (int n = 0; n < 10000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); ++n) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

const char* HostClass()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = "OrvexFuzzHostWindow";
        RegisterClassA(&wc);
        registered = true;
    }
    return "OrvexFuzzHostWindow";
}

// One top-level window per process (destroying a top-level window under Wine
// without a window manager waits for the X server); the host window lent to
// the plug-in is a child of it, made anew for every input. It stays hidden:
// painting on the X server after every refresh took 30 ms; the plug-in's
// windows are drawn once per input into a memory bitmap instead (DrawAll).
HWND SharedTop()
{
    static HWND top = NULL;
    if (!top || !IsWindow(top))
        top = CreateWindowExA(0, HostClass(), "Хост", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 900, 640, NULL,
                              NULL, GetModuleHandleA(NULL), NULL);
    return top;
}

// The plug-in's lists, shown or on a hidden page, drawn into a memory bitmap
// as a print of them: they ask the plug-in for their cells' texts. (The tab
// strip shows only the library's own titles, and its print cost as much as
// all the lists together under Wine.)
BOOL CALLBACK PrintOne(HWND window, LPARAM dc)
{
    char cls[64];
    GetClassNameA(window, cls, sizeof(cls));
    if (lstrcmpiA(cls, WC_LISTVIEWA) == 0)
        SendMessageA(window, WM_PRINT, (WPARAM)dc, PRF_CLIENT | PRF_ERASEBKGND | PRF_NONCLIENT);
    return TRUE;
}

void DrawAll(HWND host)
{
    HDC screen = GetDC(host);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 900, 640);
    HGDIOBJ old = SelectObject(memory, bitmap);
    EnumChildWindows(host, PrintOne, (LPARAM)memory);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(host, screen);
}

// A handle that once named a window and names none now.
HWND GoneWindow()
{
    static HWND gone = NULL;
    if (!gone) {
        gone = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, SharedTop(), NULL, GetModuleHandleA(NULL),
                               NULL);
        DestroyWindow(gone);
    }
    return gone;
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string s(path, n < MAX_PATH ? n : 0);
    size_t slash = s.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : s.substr(0, slash);
}

DWORD FileSize(const char* path, bool* there)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    *there = GetFileAttributesExA(path, GetFileExInfoStandard, &data) != 0;
    return *there ? data.nFileSizeLow : 0;
}

// ---------------------------------------------------------------------------
// What the library must answer: the tables as the calls built them.

struct Entry
{
    std::string code;
    int32_t id;
};

struct Model
{
    bool attached = false;
    HWND attachedTo = NULL;
    bool moduleIsLibrary = false;
    std::vector<Entry> goods, suppliers;
    int moves = 0, balances = 0;
    int idMode = 0;   // hexadecimal until SetIdMode takes 1 or 2 (or 0 again)

    // The identifier column: decimal; the code, or hexadecimal when it is empty; hexadecimal.
    std::string IdText(const Entry& e) const
    {
        char text[32];
        if (idMode == 1)
            snprintf(text, sizeof(text), "%d", (int)e.id);
        else if (idMode == 2 && !e.code.empty())
            return e.code;
        else
            snprintf(text, sizeof(text), "%.8X", (unsigned)e.id);
        return text;
    }

    static int32_t Find(const std::vector<Entry>& table, const char* code)
    {
        if (!code)
            return 0;
        for (const Entry& e : table)
            if (e.code == code)
                return e.id;
        return 0;
    }
    // A code is kept to its field's 31 characters and takes the next key as
    // identifier; without a code the caller's identifier is stored, code empty.
    static void Add(std::vector<Entry>& table, int32_t id, const char* code)
    {
        Entry e;
        e.code = code ? std::string(code).substr(0, 31) : std::string();
        e.id = code ? (int32_t)table.size() + 1 : id;
        table.push_back(e);
    }
};

std::string Describe(size_t call, const char* what)
{
    return "call " + std::to_string(call) + ": " + what;
}

class Session
{
public:
    Session(const FuzzInput& input, Verdict& v) : m_verdict(v)
    {
        for (const FuzzFile& f : input)
            if (f.name == "calls" && f.present)
                m_calls = f.bytes;
    }
    void Run();

private:
    bool Load();
    void Unload();
    void Call(Reader& in, size_t index);
    void CheckShown(size_t index);
    void CheckSaved(size_t index);
    void CheckLists();
    void Expect(bool holds, size_t index, const char* what)
    {
        if (!holds)
            m_verdict.Fail(Describe(index, what));
    }

    Verdict& m_verdict;
    std::string m_calls;
    HWND m_host = NULL;
    std::vector<HWND> m_children;
    HMODULE m_library = NULL;
    IOrvexPlugin* m_plugin = NULL;
    Model m_model;
};

HANDLE StopEvent()
{
    static HANDLE stop = CreateEventA(NULL, TRUE, FALSE, "Exit_MathFlow");
    return stop;
}

bool Session::Load()
{
    // Fresh tables: the window build reads the list files of the current folder.
    {
        Timed t(PhaseFiles);
        for (const char* name : kListNames) {
            DeleteFileA(name);
            DeleteFileA((std::string("c:\\") + name).c_str());
        }
        ResetEvent(StopEvent());
    }
    Timed windows(PhaseWindows);
    HWND top = SharedTop();
    RECT area;
    GetClientRect(top, &area);
    m_host = CreateWindowExA(0, HostClass(), NULL, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, area.right,
                             area.bottom, top, NULL, GetModuleHandleA(NULL), NULL);
    if (!m_host)
        return false;
    uint8_t b = m_calls.empty() ? 0 : (uint8_t)m_calls[0];
    const int children = b < 200 ? b % 6 : 30 + b % 12;   // now and then more than the 32 recorded
    for (int i = 0; i < children; ++i)
        m_children.push_back(CreateWindowExA(0, "BUTTON", "своё", WS_CHILD | WS_VISIBLE, 10 + (i % 10) * 40,
                                             10 + (i / 10) * 30, 38, 28, m_host, NULL, GetModuleHandleA(NULL),
                                             NULL));
    windows.Stop();
    if (GetModuleHandleA(kLibraryName)) {
        m_verdict.Fail("the library was still loaded from an earlier input");
        return false;
    }
    {
        Timed t(PhaseLoadLibrary);
        m_library = LoadLibraryA((ProgramFolder() + "\\" + kLibraryName).c_str());
    }
    if (!m_library)
        return false;
    Timed imports(PhaseImports);
    KeepImportsLoaded(m_library);
    // A box the host cannot catch would wait for a user: no calls then.
    if (!RedirectImport(m_library, "user32.dll", "MessageBoxA",
                        reinterpret_cast<FARPROC>(reinterpret_cast<void*>(RecordBox))) ||
        !RedirectImport(m_library, "shell32.dll", "ShellExecuteA",
                        reinterpret_cast<FARPROC>(reinterpret_cast<void*>(NoOpen)))) {
        m_verdict.Fail("the library's MessageBoxA or ShellExecuteA import was not found");
        return false;
    }
    GetInterfaceFunction get =
        reinterpret_cast<GetInterfaceFunction>(reinterpret_cast<void*>(GetProcAddress(m_library, "GetInterface")));
    m_plugin = get ? get() : NULL;
    if (m_plugin && get() != m_plugin)
        m_verdict.Fail("GetInterface answered two pointers");
    return m_plugin != NULL;
}

// The host's window goes first (the plug-in's frame has subclassed it), then
// the stop event lets the workers end; the last of them unloads the library.
void Session::Unload()
{
    Timed destroy(PhaseDestroyHost);
    if (m_host)
        DestroyWindow(m_host);
    m_host = NULL;
    Pump();
    destroy.Stop();
    if (!m_library)
        return;
    {
        Timed t(PhaseFreeLibrary);
        SetEvent(StopEvent());
        FreeLibrary(m_library);
    }
    m_library = NULL;
    m_plugin = NULL;
    Timed wait(PhaseWaitUnload);
    bool gone = false;
    for (int i = 0; i < 300 && !gone; ++i) {   // up to 3 s; the hang limit is above
        gone = GetModuleHandleA(kLibraryName) == NULL;
        if (!gone)
            Sleep(5);
    }
    ResetEvent(StopEvent());
    if (!gone)
        m_verdict.Fail("the library stayed loaded after its workers were stopped");
}

void Session::Call(Reader& in, size_t index)
{
    IOrvexPlugin* p = m_plugin;
    Model& m = m_model;
    const bool on = m.attached;
    const uint8_t op = in.Next() % OpCount;
    uint8_t a[8] = {};
    for (int i = 0; i < kArgBytes[op] && i < 8; ++i)
        a[i] = in.Next();
    Timed timed(op);
    switch (op) {
    case OpAttachHost: {
        HWND window;
        switch (a[0] % 8) {
        case 5: window = NULL; break;
        case 6: window = GoneWindow(); break;
        case 7: window = m_children.empty() ? m_host : m_children[0]; break;
        default: window = m_host; break;
        }
        const char* module = ModuleName(a[1]);
        const size_t boxesBefore = g_boxes.size();
        const bool expected = !on && window && IsWindow(window);
        const bool answer = p->AttachHost(window, module);
        Pump();
        Expect(answer == expected, index, expected ? "AttachHost refused a host window" : "AttachHost accepted");
        if (answer && !on) {
            m.attached = true;
            m.attachedTo = window;
            m.moduleIsLibrary = NamesLibrary(module);
            // A host window with more than 32 descendants gives one box; a
            // module without the plug-in's dialog may give "cDlg == NULL".
            int full = 0, noDialog = 0, other = 0;
            for (size_t i = boxesBefore; i < g_boxes.size(); ++i) {
                if (g_boxes[i].caption == "Ошибка !!!" && g_boxes[i].text == "Массив заполнен")
                    ++full;
                else if (g_boxes[i].caption == "cDlg == NULL")
                    ++noDialog;
                else
                    ++other;
            }
            const int descendants = window == m_host ? (int)m_children.size() : 0;
            Expect(full == (descendants > kMaxHostChildren ? 1 : 0), index, "the full-array box");
            Expect(noDialog == 0 || (noDialog == 1 && !m.moduleIsLibrary), index, "a dialog box of the page");
            Expect(other == 0, index, "an unexpected message box while attaching");
        } else {
            Expect(g_boxes.size() == boxesBefore, index, "a message box from a refused AttachHost");
        }
        break;
    }
    case OpReserved:
        Expect(p->Reserved(), index, "Reserved answered false");
        break;
    case OpShowPlugin:
        Expect(p->ShowPlugin() == on, index, "ShowPlugin");
        Pump();
        if (on)
            CheckShown(index);
        break;
    case OpAddSupplier: {
        const char* code = Text(a[1]);
        const int32_t id = Id(a[0]);
        Expect(p->AddSupplier(id, code, Text(a[2]), Number(a[3]), Number(a[4]), Number(a[5])) == on, index,
               "AddSupplier");
        if (on)
            Model::Add(m.suppliers, id, code);
        break;
    }
    case OpRefreshLists:
        Expect(p->RefreshLists() == on, index, "RefreshLists");
        Pump();
        break;
    case OpSetIdMode: {
        const int32_t mode = Mode(a[0]);
        Expect(p->SetIdMode(mode) == (mode >= 0 && mode <= 2), index, "SetIdMode");
        if (mode >= 0 && mode <= 2)
            m.idMode = mode;
        break;
    }
    case OpAddMove:
        Expect(p->AddMove(Date(a[0], a[1]), Id(a[2]), Id(a[3]), Number(a[4]), Number(a[5]), Number(a[6]),
                          Number(a[7])) == on,
               index, "AddMove");
        if (on)
            ++m.moves;
        break;
    case OpFindGoodsId: {
        const char* code = Text(a[0]);
        Expect(p->FindGoodsId(code) == Model::Find(m.goods, code), index, "FindGoodsId");
        break;
    }
    case OpFindSupplierId: {
        const char* code = Text(a[0]);
        Expect(p->FindSupplierId(code) == Model::Find(m.suppliers, code), index, "FindSupplierId");
        break;
    }
    case OpAddGoods: {
        const char* code = Text(a[1]);
        const int32_t id = Id(a[0]);
        Expect(p->AddGoods(id, code, Text(a[2]), Number(a[3]), Id(a[4]), Id(a[5]), Text(a[6]), Number(a[7])) == on,
               index, "AddGoods");
        if (on)
            Model::Add(m.goods, id, code);
        break;
    }
    case OpAddBalance:
        Expect(p->AddBalance(Date(a[0], a[1]), Id(a[2]), Text(a[3]), Number(a[4])) == on, index, "AddBalance");
        if (on)
            ++m.balances;
        break;
    case OpSaveLists:
        Expect(p->SaveLists() == on, index, "SaveLists");
        if (on)
            CheckSaved(index);
        break;
    }
}

// The recorded host windows are hidden: the first 32 descendants of the
// window the plug-in was lent.
void Session::CheckShown(size_t index)
{
    int hidden = 0;
    for (HWND child : m_children)
        if (!(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE))
            ++hidden;
    const int descendants = m_model.attachedTo == m_host ? (int)m_children.size() : 0;
    Expect(hidden == (descendants < kMaxHostChildren ? descendants : kMaxHostChildren), index,
           "ShowPlugin hid another number of host windows");
}

// Each list file is its table's records back to back.
void Session::CheckSaved(size_t index)
{
    const int counts[4] = { (int)m_model.goods.size(), (int)m_model.suppliers.size(), m_model.moves,
                            m_model.balances };
    for (int t = 0; t < 4; ++t) {
        bool there = false;
        DWORD size = FileSize((std::string("c:\\") + kListNames[t]).c_str(), &there);
        if (!there || size != counts[t] * kRecordSizes[t]) {
            m_verdict.Fail(Describe(index, "SaveLists wrote ") + kListNames[t] + " of " + std::to_string(size) +
                           " bytes for " + std::to_string(counts[t]) + " records");
            return;
        }
    }
}

// After a last refresh every list shows its table's rows, and every cell of
// the first rows reads back within the 1023 characters of a cell.
void Session::CheckLists()
{
    Timed refresh(PhaseLastRefresh);
    if (!m_plugin->RefreshLists())
        m_verdict.Fail("the last RefreshLists answered false");
    Pump();
    refresh.Stop();
    {
        Timed t(PhaseDraw);
        DrawAll(m_host);
    }
    Timed read(PhaseReadLists);
    const int columns[4] = { 11, 5, 7, 3 };
    const char* names[4] = { "goods", "suppliers", "moves", "balances" };
    const int counts[4] = { (int)m_model.goods.size(), (int)m_model.suppliers.size(), m_model.moves,
                            m_model.balances };
    for (int t = 0; t < 4; ++t) {
        HWND list = FindListWithColumns(m_host, columns[t]);
        if (!list) {
            m_verdict.Fail(std::string("no ") + names[t] + " list in the host window");
            continue;
        }
        const int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        if (rows != counts[t])
            m_verdict.Fail(std::string("the ") + names[t] + " list shows " + std::to_string(rows) + " rows, " +
                           std::to_string(counts[t]) + " were added");
        for (int row = 0; row < rows && row < 3; ++row)
            for (int c = 0; c < columns[t]; ++c) {
                char text[1100];
                memset(text, 0, sizeof(text));
                LVITEMA item = {};
                item.iSubItem = c;
                item.pszText = text;
                item.cchTextMax = sizeof(text);
                SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
                if (strlen(text) > 1023)
                    m_verdict.Fail(std::string("a ") + names[t] + " cell longer than 1023 characters");
                const std::vector<Entry>* table = t == 0 ? &m_model.goods : t == 1 ? &m_model.suppliers : NULL;
                if (c == 0 && table && row < (int)table->size() && m_model.IdText((*table)[row]) != text)
                    m_verdict.Fail(std::string("the ") + names[t] + " row " + std::to_string(row) + " shows the id " +
                                   text + ", not " + m_model.IdText((*table)[row]));
            }
    }
}

void Session::Run()
{
    g_profile.inputs++;
    g_boxes.clear();
    if (Load()) {
        Reader in(m_calls);
        in.Next();   // the child count, read by Load
        size_t index = 0;
        for (; in.More() && index < kMaxCalls; ++index) {
            Call(in, index);
            if (index % 16 == 15) {
                Timed t(PhasePump);
                Pump();
            }
        }
        if (m_model.attached)
            CheckLists();
        const size_t attachBoxes = g_boxes.size();
        Unload();
        if (g_boxes.size() != attachBoxes)
            m_verdict.Fail("a message box while the library was unloaded");
    } else {
        if (m_verdict.ok)
            m_verdict.Fail("the library could not be loaded");
        Unload();
    }
    m_verdict.boxes += (int)g_boxes.size();
}

}  // namespace

Verdict RunInterfaceInput(const FuzzInput& input)
{
    Verdict v;
    Session session(input, v);
    session.Run();
    return v;
}

// The call sequence of one input: AttachHost early (rarely never), ShowPlugin
// mostly right after it, adds between lookups, refreshes and saves.
FuzzInput MakeInterfaceInput(uint64_t seed, uint64_t index)
{
    Rng rng(InputSeed(seed, "interface", index));
    std::string bytes;
    bytes += (char)rng.Below(256);
    const size_t calls = 20 + rng.Below(181);
    const size_t attachAt = rng.Chance(5) ? calls : rng.Chance(50) ? rng.Below(3) : rng.Below(12);
    for (size_t i = 0; i < calls; ++i) {
        int op;
        if (i == attachAt) {
            op = OpAttachHost;
        } else if (i == attachAt + 1 && rng.Chance(70)) {
            op = OpShowPlugin;
        } else {
            const size_t r = rng.Below(100);
            // Refreshes and saves are rarer than the rest: every one of them
            // costs a few milliseconds of window and file work under Wine, and
            // each input ends with a refresh and a drawing of every list anyway.
            op = r < 16   ? OpAddGoods
                 : r < 29 ? OpAddSupplier
                 : r < 46 ? OpAddMove
                 : r < 57 ? OpAddBalance
                 : r < 66 ? OpFindGoodsId
                 : r < 74 ? OpFindSupplierId
                 : r < 80 ? OpShowPlugin
                 : r < 83 ? OpRefreshLists
                 : r < 85 ? OpSaveLists
                 : r < 92 ? OpSetIdMode
                 : r < 96 ? OpReserved
                          : OpAttachHost;
        }
        // The operation byte: any value that is the slot modulo 12.
        bytes += (char)(op + OpCount * rng.Below(256 / OpCount));
        for (int k = 0; k < kArgBytes[op]; ++k)
            bytes += (char)rng.Below(256);
        if (i == attachAt)
            bytes[bytes.size() - 2] = (char)(8 * rng.Below(32));   // the host window itself
    }
    FuzzInput input;
    FuzzFile file;
    file.name = "calls";
    file.bytes = bytes;
    input.push_back(file);
    return input;
}

}  // namespace fuzz
