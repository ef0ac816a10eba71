// The test host that loads Orvex_DLL.dll and reads back what the plug-in shows.
#include "OrvexHostFixture.h"

#include "TestHost.h"

#include <string.h>

namespace {

std::vector<OpenRequest> g_openRequests;

HINSTANCE WINAPI RecordOpen(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT show)
{
    g_openRequests.push_back(OpenRequest{verb ? verb : "", file ? file : "", show});
    return (HINSTANCE)42;   // above 32: success
}

std::vector<std::string> g_menuSeen;
int g_menuDowns = 1;

// The host's own procedure, which the plug-in's frame passes messages on to: it
// reads every pop-up menu that opens and closes it by choosing its first item.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static bool keysSent = false;
    if (message == WM_INITMENUPOPUP) {
        HMENU menu = (HMENU)wParam;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[128] = {0};
            GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
            g_menuSeen.push_back(text);
        }
        keysSent = false;
    }
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && !keysSent) {
        keysSent = true;
        for (int i = 0; i < g_menuDowns; ++i)
            PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* HostClass()
{
    return RegisterTestHostClass("OrvexTestHostWindow", HostProc);
}

BOOL CALLBACK FindClass(HWND window, LPARAM param)
{
    std::pair<const char*, HWND>* search = reinterpret_cast<std::pair<const char*, HWND>*>(param);
    char cls[64];
    GetClassNameA(window, cls, sizeof(cls));
    if (lstrcmpiA(cls, search->first) == 0) {
        search->second = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectBoxText(HWND child, LPARAM param)
{
    char cls[32], text[256];
    GetClassNameA(child, cls, sizeof(cls));
    GetWindowTextA(child, text, sizeof(text));
    if (lstrcmpiA(cls, "Static") == 0 && text[0])
        *reinterpret_cast<std::string*>(param) = text;
    return TRUE;
}

}  // namespace

std::vector<OpenRequest>& OpenRequests() { return g_openRequests; }
std::vector<std::string>& MenuItemsSeen() { return g_menuSeen; }
int& MenuDownPresses() { return g_menuDowns; }

BoxWatcher::BoxWatcher(const char* caption) : m_caption(caption), m_stop(false)
{
    m_thread = CreateThread(NULL, 0, Watch, this, 0, NULL);
}

BoxWatcher::~BoxWatcher()
{
    Finish();
}

DWORD WINAPI BoxWatcher::Watch(void* param)
{
    BoxWatcher* self = static_cast<BoxWatcher*>(param);
    while (!self->m_stop) {
        HWND box = FindWindowA("#32770", self->m_caption.c_str());
        if (box) {
            SeenBox seen;
            seen.caption = self->m_caption;
            EnumChildWindows(box, CollectBoxText, (LPARAM)&seen.text);
            self->m_seen.push_back(seen);
            // The box's thread answers unless it is stuck elsewhere: then no longer than 2 s.
            SendMessageTimeoutA(box, WM_COMMAND, IDOK, 0, SMTO_NORMAL, 2000, NULL);
            for (int i = 0; i < 100 && IsWindow(box); ++i)
                Sleep(10);
        }
        Sleep(20);
    }
    return 0;
}

const std::vector<SeenBox>& BoxWatcher::Finish()
{
    if (m_thread) {
        Sleep(200);   // a box still on its way up
        m_stop = true;
        if (WaitForSingleObject(m_thread, 10000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the box watcher did not end within 10 s";
            TerminateThread(m_thread, 1);
        }
        CloseHandle(m_thread);
        m_thread = NULL;
    }
    return m_seen;
}

void OrvexHost::SetUp()
{
    g_openRequests.clear();
    g_menuDowns = 1;
    // The stop event is shared by the session; a previous unload left it set.
    HANDLE stop = CreateEventA(NULL, TRUE, FALSE, "Exit_MathFlow");
    ResetEvent(stop);
    CloseHandle(stop);
    here = new CurrentDir(scratch.Path());
}

void OrvexHost::TearDown()
{
    if (library)
        Unload();
    if (host)
        DestroyWindow(host);
    host = NULL;
    delete here;
    here = NULL;
}

// One top-level window per process: destroying a top-level window under Wine
// without a window manager waits for the X server. The plug-in's host window is
// a child of it, made anew for every load.
static HWND SharedTop()
{
    static HWND top = NULL;
    if (!top || !IsWindow(top)) {
        top = CreateTestHost(HostClass(), "Хост", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 900, 640);
        ShowWindow(top, SW_SHOW);
        UpdateWindow(top);
    }
    return top;
}

bool OrvexHost::Load(int children)
{
    HWND top = SharedTop();
    RECT area;
    GetClientRect(top, &area);
    host = CreateTestHost(HostClass(), NULL, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, area.right,
                          area.bottom, top);
    if (!host)
        return false;
    hostChildren.clear();
    for (int i = 0; i < children; ++i)
        hostChildren.push_back(CreateWindowExA(0, "BUTTON", "своё", WS_CHILD | WS_VISIBLE, 10 + (i % 10) * 40,
                                               10 + (i / 10) * 30, 38, 28, host, NULL, GetModuleHandleA(NULL),
                                               NULL));
    UpdateWindow(host);
    library = LoadLibraryA((ProgramDir() + "\\Orvex_DLL.dll").c_str());
    if (!library)
        return false;
    // The report's open request is seen without a viewer starting.
    RedirectImport(library, "shell32.dll", "ShellExecuteA",
                   reinterpret_cast<FARPROC>(reinterpret_cast<void*>(RecordOpen)));
    GetInterfaceFunction get = reinterpret_cast<GetInterfaceFunction>(reinterpret_cast<void*>(GetProcAddress(library, "GetInterface")));
    plugin = get ? get() : NULL;
    return plugin != NULL;
}

bool OrvexHost::Attach(const char* moduleName)
{
    bool attached = plugin && plugin->AttachHost(host, moduleName);
    Pump();
    return attached;
}

bool OrvexHost::Unload(bool keepHostWindow)
{
    if (host && !keepHostWindow) {
        DestroyWindow(host);
        host = NULL;
    }
    Pump();
    HANDLE stop = CreateEventA(NULL, TRUE, FALSE, "Exit_MathFlow");
    SetEvent(stop);
    FreeLibrary(library);
    library = NULL;
    plugin = NULL;
    bool gone = false;
    for (int i = 0; i < 1000 && !gone; ++i) {   // up to 10 s on a loaded machine
        gone = GetModuleHandleA("Orvex_DLL.dll") == NULL;
        if (!gone)
            Sleep(10);
    }
    ResetEvent(stop);
    CloseHandle(stop);
    return gone;
}

HWND OrvexHost::Tabs()
{
    std::pair<const char*, HWND> search(WC_TABCONTROLA, (HWND)NULL);
    EnumChildWindows(host, FindClass, (LPARAM)&search);
    return search.second;
}

HWND OrvexHost::ListWithColumns(int columns)
{
    return FindListWithColumns(host, columns);
}

HWND OrvexHost::DynamicsStrip()
{
    std::pair<const char*, HWND> search("#32770", (HWND)NULL);
    EnumChildWindows(host, FindClass, (LPARAM)&search);
    return search.second;
}

std::string OrvexHost::Cell(HWND list, int row, int column)
{
    char text[1100] = {0};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return text;
}

void OrvexHost::ClickTab(int tab)
{
    HWND tabs = Tabs();
    RECT item;
    if (!SendMessageA(tabs, TCM_GETITEMRECT, tab, (LPARAM)&item))
        return;
    LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tabs, WM_LBUTTONUP, 0, at);
    Pump();
}

void OrvexHost::ClickRow(HWND list, int row, bool twice)
{
    RECT r = {};
    r.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&r);
    LPARAM at = MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    if (twice) {
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
    }
    Pump();
}

const char* const OrvexHost::kListFileNames[4] = {"GNList.dat", "SNList.dat", "GMList.dat", "GDList.dat"};

void OrvexHost::TakeListFiles(std::string files[4])
{
    for (int i = 0; i < 4; ++i) {
        std::string path = std::string("c:\\") + kListFileNames[i];
        ASSERT_TRUE(ReadBytes(path, &files[i])) << path;
        DeleteFileA(path.c_str());
    }
}
