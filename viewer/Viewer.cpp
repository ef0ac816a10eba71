// The viewer's sessions, its menu, the folder it opens, the converter run and
// its message boxes.
#include "Viewer.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "cwin/system/MessageBox.h"
#include "PluginDriver.h"
#include "ViewerIds.h"
#include "ViewerTexts.h"

namespace host {
namespace {

const char kWindowClass[]    = "OrvexHostWindow";
const char kConvertClass[]   = "OrvexConvertWindow";
const char kStopEventName[]  = "Exit_MathFlow";
const char kGuideName[]      = "Руководство.html";
const char kGoodsListName[]  = "Номенкл.csv";
const char kKindsName[]      = "moves_type.txt";
const char kReportFileName[] = "ZORB_MVS.txt";
const char kSettingsKey[]    = "Software\\Orvex\\Viewer";
const char kLastFolderValue[] = "LastFolder";
const char* const kListFiles[] = {"c:\\GNList.dat", "c:\\SNList.dat", "c:\\GMList.dat", "c:\\GDList.dat"};
const int kQuitButtonId = 101;
// A menu command travels to the message loop as a thread message.
const UINT kViewerCommand = WM_APP + 1;
// A session's boxes wait for the message loop: the window is whole by then.
const UINT kViewerNotice = WM_APP + 2;
const UINT_PTR kMenuPictureTimer = 1;

Viewer* g_viewer = NULL;
std::string g_menuPicturePath;
bool g_menuPictureTaken = false;

bool PreDispatchHook(MSG& message) { return g_viewer && g_viewer->PreDispatch(message); }

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (lParam == 0 && LOWORD(wParam) >= IDM_OPEN_FOLDER) {
            PostThreadMessageA(GetCurrentThreadId(), kViewerCommand, LOWORD(wParam), 0);
            return 0;
        }
        if (LOWORD(wParam) == kQuitButtonId && HIWORD(wParam) == BN_CLICKED) {
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        if (window == g_host) {
            g_host = NULL;
            if (!g_viewer || !g_viewer->Reloading())
                PostQuitMessage(0);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterClasses()
{
    static bool registered = false;
    if (registered)
        return true;
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = HostProcedure;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hIcon = LoadIcon(NULL, IDI_APPLICATION);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass))
        return false;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = kConvertClass;
    registered = RegisterClassA(&windowClass) != 0;
    return registered;
}

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH] = "";
    DWORD length = GetFullPathNameA(path.empty() ? "." : path.c_str(), sizeof full, full, NULL);
    if (length == 0 || length >= sizeof full)
        return path;
    std::string result(full, length);
    if (result.size() > 3 && (result.back() == '\\' || result.back() == '/'))
        result.pop_back();
    return result;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash ? slash : 1);
}

std::string NameOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Format(const char* format, va_list args)
{
    char text[4096];
    vsnprintf(text, sizeof text, format, args);
    text[sizeof text - 1] = 0;
    return text;
}

HWND CreateHostWindow(const std::string& caption, const std::string& label, const RECT& place)
{
    if (!RegisterClasses())
        return NULL;
    HINSTANCE instance = GetModuleHandleA(NULL);
    HWND window = CreateWindowExA(0, kWindowClass, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  place.left, place.top, place.right - place.left, place.bottom - place.top,
                                  NULL, LoadMenuA(instance, MAKEINTRESOURCEA(IDR_VIEWER_MENU)), instance, NULL);
    if (!window)
        return NULL;
    // The host's own children, which the plug-in hides when it shows itself.
    CreateWindowExA(0, "STATIC", label.c_str(), WS_CHILD | WS_VISIBLE, 10, 10, 600, 20,
                    window, (HMENU)100, instance, NULL);
    CreateWindowExA(0, "BUTTON", text::kQuitButton, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 40, 100, 26,
                    window, (HMENU)(INT_PTR)kQuitButtonId, instance, NULL);
    CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 120, 40, 300, 24,
                    window, (HMENU)102, instance, NULL);
    return window;
}

std::string ReadLastFolder()
{
    char folder[MAX_PATH] = "";
    DWORD size = sizeof folder - 1, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::string();
    LONG status = RegQueryValueExA(key, kLastFolderValue, NULL, &type, (BYTE*)folder, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return std::string();
    folder[size < sizeof folder ? size : sizeof folder - 1] = 0;
    return folder;
}

void WriteLastFolder(const std::string& folder)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, kLastFolderValue, 0, REG_SZ, (const BYTE*)folder.c_str(), (DWORD)folder.size() + 1);
    RegCloseKey(key);
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM start)
{
    if (message == BFFM_INITIALIZED && start)
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, start);
    return 0;
}

std::string ChooseFolder(HWND owner, const std::string& start)
{
    char chosen[MAX_PATH] = "";
    BROWSEINFOA browse;
    memset(&browse, 0, sizeof browse);
    browse.hwndOwner = owner;
    browse.pszDisplayName = chosen;
    browse.lpszTitle = text::kChooseFolder;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = BrowseCallback;
    browse.lParam = start.empty() ? 0 : (LPARAM)start.c_str();
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (!item)
        return std::string();
    bool ok = SHGetPathFromIDListA(item, chosen) != FALSE;
    CoTaskMemFree(item);
    return ok ? std::string(chosen) : std::string();
}

std::string ChooseReport(HWND owner, const std::string& folder)
{
    char filter[256];
    lstrcpynA(filter, text::kReportFilter, sizeof filter);
    for (char* c = filter; *c; ++c)
        if (*c == '|')
            *c = 0;
    char file[MAX_PATH] = "";
    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrInitialDir = folder.empty() ? NULL : folder.c_str();
    dialog.lpstrTitle = text::kChooseReport;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&dialog) ? std::string(file) : std::string();
}

void FileTimeNow(FILETIME& now)
{
    GetSystemTimeAsFileTime(&now);
    // File systems keep write times to 2 s (FAT) at worst.
    ULARGE_INTEGER value = {{now.dwLowDateTime, now.dwHighDateTime}};
    value.QuadPart -= 2 * 10000000ull;
    now.dwLowDateTime = value.LowPart;
    now.dwHighDateTime = value.HighPart;
}

bool WrittenSince(const char* path, const FILETIME& since)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path, GetFileExInfoStandard, &data) &&
           !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && CompareFileTime(&data.ftLastWriteTime, &since) >= 0;
}

// The converter's console lines, shown as they come in a small window over
// the viewer's, and echoed on the viewer's console.
class ConverterWindow
{
public:
    explicit ConverterWindow(HWND owner) : m_owner(owner)
    {
        RECT place = {100, 100, 100 + 600, 100 + 360};
        if (owner) {
            RECT over;
            GetWindowRect(owner, &over);
            place = {over.left + 60, over.top + 80, over.left + 60 + 600, over.top + 80 + 360};
        }
        HINSTANCE instance = GetModuleHandleA(NULL);
        m_window = CreateWindowExA(WS_EX_DLGMODALFRAME, kConvertClass, text::kConverting,
                                   WS_POPUP | WS_CAPTION | WS_VISIBLE, place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, owner, NULL, instance, NULL);
        RECT client = {0, 0, 0, 0};
        if (m_window)
            GetClientRect(m_window, &client);
        m_edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                                 0, 0, client.right, client.bottom, m_window, NULL, instance, NULL);
        SendMessageA(m_edit, WM_SETFONT, (WPARAM)GetStockObject(ANSI_FIXED_FONT), FALSE);
        if (owner)
            EnableWindow(owner, FALSE);
    }
    ~ConverterWindow()
    {
        if (m_owner && IsWindow(m_owner))
            EnableWindow(m_owner, TRUE);
        if (m_window)
            DestroyWindow(m_window);
        if (m_owner && IsWindow(m_owner))
            SetActiveWindow(m_owner);
    }
    // Console output: lines end at LF (CR LF or a lone LF); the box shows CR LF.
    void Add(const char* bytes, size_t size)
    {
        std::string shown;
        for (size_t i = 0; i < size; ++i) {
            char c = bytes[i];
            if (c == '\r')
                continue;
            if (c == '\n') {
                Say("fromZORB: %s", m_line.c_str());
                m_line.clear();
                shown += "\r\n";
            } else {
                m_line += c;
                shown += c;
            }
        }
        Show(shown);
    }
    void Finish(const char* last)
    {
        if (!m_line.empty())
            Say("fromZORB: %s", m_line.c_str());
        m_line.clear();
        Show(std::string("\r\n") + last);
    }
    HWND Window() const { return m_window; }

private:
    void Show(const std::string& shown)
    {
        if (!m_edit || shown.empty())
            return;
        int end = GetWindowTextLengthA(m_edit);
        SendMessageA(m_edit, EM_SETSEL, end, end);
        SendMessageA(m_edit, EM_REPLACESEL, FALSE, (LPARAM)shown.c_str());
    }

    HWND m_owner;
    HWND m_window = NULL;
    HWND m_edit = NULL;
    std::string m_line;
};

struct ConverterRun
{
    bool started = false;
    DWORD exitCode = 0;
    std::string output;
};

// Runs the converter in the report's folder and waits for it, the windows
// alive meanwhile; its console output is collected and shown as it comes.
ConverterRun RunConverter(const std::string& converter, const std::string& folder)
{
    ConverterRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE readEnd = NULL, writeEnd = NULL;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = NULL;
    PROCESS_INFORMATION process;
    std::string commandLine = "\"" + converter + "\"";
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    ConverterWindow window(g_host);
    run.started = CreateProcessA(converter.c_str(), line.data(), NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL,
                                 folder.c_str(), &startup, &process) != FALSE;
    CloseHandle(writeEnd);
    if (!run.started) {
        CloseHandle(readEnd);
        return run;
    }
    bool quit = false;
    char buffer[4096];
    for (;;) {
        DWORD available = 0, got = 0;
        bool open = PeekNamedPipe(readEnd, NULL, 0, NULL, &available, NULL) != FALSE;
        if (open && available &&
            ReadFile(readEnd, buffer, available < sizeof buffer ? available : sizeof buffer, &got, NULL)) {
            run.output.append(buffer, got);
            window.Add(buffer, got);
            continue;
        }
        if (!open && WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
            break;
        MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    window.Finish(text::kConverterDone);
    Pump(300);      // the last lines stay readable for a moment
    if (quit)
        PostQuitMessage(0);
    return run;
}

// The piece of the console output that one import step printed.
bool StepFailed(const std::string& output, const char* step)
{
    size_t at = output.find(step);
    if (at == std::string::npos)
        return false;
    size_t next = output.find("Import", at + 1);
    return output.substr(at, next == std::string::npos ? std::string::npos : next - at).find("fault !!!") !=
           std::string::npos;
}

std::string ResourceText(const std::vector<char>& data, const char* name)
{
    char query[128];
    snprintf(query, sizeof query, "\\StringFileInfo\\041904E3\\%s", name);
    char* value = NULL;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), query, (void**)&value, &length) || !value || !length)
        return std::string();
    return std::string(value);
}

std::vector<char> VersionData(const std::string& path)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> data(size);
    if (!size || !GetFileVersionInfoA(path.c_str(), 0, size, data.data()))
        data.clear();
    return data;
}

std::string OwnPath()
{
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    return length && length < sizeof path ? std::string(path, length) : std::string();
}

VOID CALLBACK MenuPictureTimer(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    // From the menu bar down: without a window manager nobody draws the caption.
    RECT rect, bar;
    GetWindowRect(window, &rect);
    if (GetMenuItemRect(window, GetMenu(window), 0, &bar))
        rect.top = bar.top;
    HDC screen = GetDC(NULL);
    g_menuPictureTaken = WriteBitmap(g_menuPicturePath.c_str(), screen, rect.left, rect.top,
                                     rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(NULL, screen);
    EndMenu();
}

}  // namespace

std::string Viewer::VersionOf(const std::string& path)
{
    std::vector<char> data = VersionData(path);
    std::string version = data.empty() ? std::string() : ResourceText(data, "ProductVersion");
    return version.empty() ? std::string("?") : version;
}

void Viewer::SayVersions()
{
    std::string folder = ProgramFolder();
    Say("OrvexHost.exe %s", VersionOf(OwnPath()).c_str());
    Say("%s %s", kLibraryName, VersionOf(JoinPath(folder, kLibraryName)).c_str());
    Say("%s %s", kConverterName, VersionOf(JoinPath(folder, kConverterName)).c_str());
}

void Viewer::Box(UINT type, const char* format, ...)
{
    if (!m_options.interactive)
        return;
    va_list args;
    va_start(args, format);
    std::string message = Format(format, args);
    va_end(args);
    ShowMessageBox(g_host, message.c_str(), text::kBoxCaption, MB_OK | type);
}

void Viewer::Notify(UINT type, const char* format, ...)
{
    if (!m_options.interactive)
        return;
    va_list args;
    va_start(args, format);
    m_notices.push_back(Notice{type, Format(format, args)});
    va_end(args);
    PostThreadMessageA(GetCurrentThreadId(), kViewerNotice, 0, 0);
}

bool Viewer::PreDispatch(MSG& message)
{
    if (message.hwnd == NULL && message.message == kViewerCommand) {
        OnCommand((int)message.wParam);
        return true;
    }
    if (message.hwnd == NULL && message.message == kViewerNotice) {
        while (!m_notices.empty()) {
            Notice notice = m_notices.front();
            m_notices.erase(m_notices.begin());
            ShowMessageBox(g_host, notice.text.c_str(), text::kBoxCaption, MB_OK | notice.type);
        }
        return true;
    }
    if (m_keys && g_host && (message.hwnd == g_host || IsChild(g_host, message.hwnd)))
        return TranslateAcceleratorA(g_host, m_keys, &message) != 0;
    return false;
}

bool Viewer::LoadPlugin()
{
    std::string libraryPath = JoinPath(ProgramFolder(), kLibraryName);
    m_library = LoadLibraryA(libraryPath.c_str());
    if (!m_library) {
        Say("cannot load %s (error %lu)", libraryPath.c_str(), GetLastError());
        Box(MB_ICONERROR, text::kNoLibrary, libraryPath.c_str());
        return false;
    }
    GetInterfaceFunction getInterface = (GetInterfaceFunction)(void*)GetProcAddress(m_library, "GetInterface");
    m_plugin = getInterface ? getInterface() : NULL;
    if (!m_plugin) {
        Say(getInterface ? "GetInterface returned no interface" : "%s exports no GetInterface", kLibraryName);
        Box(MB_ICONERROR, text::kNotALibrary, libraryPath.c_str());
        FreeLibrary(m_library);
        m_library = NULL;
        return false;
    }
    return true;
}

// Stops the plug-in's workers through their named event and frees the
// library once they have let it go; the event is cleared for the next load.
void Viewer::UnloadPlugin()
{
    HANDLE stop = CreateEventA(NULL, TRUE, FALSE, kStopEventName);
    if (stop)
        SetEvent(stop);
    if (g_host)
        DestroyWindow(g_host);
    Pump(0);
    if (m_library) {
        FreeLibrary(m_library);
        // Workers end within one interval (100 ms) and only then unpin the library.
        DWORD start = GetTickCount();
        while (GetModuleHandleA(kLibraryName) && GetTickCount() - start < 2000)
            Sleep(20);
        Say(GetModuleHandleA(kLibraryName) ? "%s still loaded after 2 s" : "%s unloaded", kLibraryName);
    }
    m_library = NULL;
    m_plugin = NULL;
    if (stop) {
        ResetEvent(stop);
        CloseHandle(stop);
    }
}

// The list files go to the root of drive c:; a save that could not replace
// all four (no right to write there, a full disk) is the user's to know.
bool Viewer::SaveLists()
{
    FILETIME since;
    FileTimeNow(since);
    double start = NowMs();
    bool saved = m_plugin->SaveLists();
    SayTime("SaveLists", start);
    for (const char* path : kListFiles)
        saved = saved && WrittenSince(path, since);
    if (!saved) {
        Say("the list files could not be saved to c:\\ (the previous ones are kept)");
        Notify(MB_ICONWARNING, text::kListsNotSaved);
    }
    return saved;
}

int Viewer::OpenSession(const std::string& folder, bool haveFolder, bool feed)
{
    m_folder = haveFolder ? FullPath(folder) : std::string();
    m_fed = Fed();
    // A person's session works in the tables' folder: the plug-in loads its list
    // files from the current folder and writes its report there.
    if (m_options.interactive && haveFolder)
        SetCurrentDirectoryA(m_folder.c_str());
    std::string caption = std::string(text::kWindowCaption) + " — " + (haveFolder ? m_folder : text::kNoFolder);
    std::string label = text::kTablesFrom + (haveFolder ? m_folder : std::string(text::kNoFolder));
    g_host = CreateHostWindow(caption, label, m_placement);
    if (!g_host) {
        Say("the host window could not be created");
        return kExitLibrary;
    }
    ShowWindow(g_host, SW_SHOW);
    UpdateWindow(g_host);

    double start = NowMs();
    m_plugin->AttachHost(g_host, kLibraryName);
    SayTime("AttachHost (list files loaded)", start);
    m_plugin->ShowPlugin();
    if (m_options.idMode && !m_plugin->SetIdMode(m_options.idMode))
        Say("identifier display %d refused (1 or 2)", m_options.idMode);
    Pump(0);

    int result = kExitOk;
    bool fed = false;
    if (feed && haveFolder && m_options.interactive && !HasTables(folder)) {
        Say("no tables in %s", m_folder.c_str());
        Notify(MB_ICONWARNING, text::kNoTables, m_folder.c_str());
    } else if (feed && (haveFolder || !m_options.interactive)) {
        TableSet tables;
        fed = true;
        if (!FeedFolder(m_plugin, folder, tables, m_fed)) {
            result = kExitTableFaults;
            std::string faults;
            char line[512];
            for (const Table* table : tables.all) {
                if (!table->read)
                    snprintf(line, sizeof line, text::kTableMissing, table->name);
                else if (table->faults)
                    snprintf(line, sizeof line, text::kTableFaults, table->name, table->faults);
                else
                    continue;
                faults += line;
            }
            Notify(MB_ICONWARNING, text::kPartialTables, haveFolder ? m_folder.c_str() : ".", faults.c_str());
        }
    }
    start = NowMs();
    m_plugin->RefreshLists();
    Pump(0);
    Repaint();
    SayTime("RefreshLists", start);
    if (fed && !SaveLists())
        result = kExitStep;
    if (fed && m_options.interactive && haveFolder)
        WriteLastFolder(m_folder);
    return result;
}

void Viewer::CloseSession()
{
    if (g_host)
        GetWindowRect(g_host, &m_placement);
    m_reloading = true;
    UnloadPlugin();
    m_reloading = false;
}

int Viewer::Reload(const std::string& folder)
{
    CloseSession();
    if (!LoadPlugin())
        return kExitLibrary;
    return OpenSession(folder, true, true);
}

// The folder named on the command line; else the current one if it holds the
// tables; else the one used last; else the user is asked.
std::string Viewer::StartFolder(bool& haveFolder)
{
    haveFolder = true;
    if (m_options.folderGiven)
        return m_options.folder;
    if (!m_options.interactive) {
        haveFolder = false;
        return std::string();
    }
    std::string current = FullPath(".");
    if (HasTables(current))
        return current;
    std::string last = ReadLastFolder();
    if (!last.empty() && HasTables(last))
        return last;
    std::string chosen = ChooseFolder(NULL, last);
    haveFolder = !chosen.empty();
    return chosen;
}

void Viewer::OpenFolder()
{
    std::string folder = ChooseFolder(g_host, m_folder);
    if (folder.empty())
        return;
    if (!HasTables(folder)) {
        Say("no tables in %s", folder.c_str());
        Box(MB_ICONWARNING, text::kNoTables, folder.c_str());
        return;
    }
    m_result = Reload(folder);
}

// The converter of the viewer's own folder, run in the report's folder; its
// new tables are then shown. What it cannot do is said before it runs, so that
// the folder's tables stay as they are.
bool Viewer::Convert(const std::string& reportPath)
{
    std::string report = FullPath(reportPath);
    Say("convert: %s", report.c_str());
    if (lstrcmpiA(NameOf(report).c_str(), kReportFileName) != 0) {
        Say("the converter reads %s only, not %s", kReportFileName, NameOf(report).c_str());
        Box(MB_ICONWARNING, text::kNotAReportName, report.c_str());
        return false;
    }
    std::string converter = JoinPath(ProgramFolder(), kConverterName);
    if (!FileExists(converter)) {
        Say("no converter: %s", converter.c_str());
        Box(MB_ICONERROR, text::kNoConverter, converter.c_str());
        return false;
    }
    std::string folder = FolderOf(report);
    std::string goods = JoinPath(folder, kGoodsListName);
    if (!FileExists(goods)) {
        Say("no goods list beside the report: %s", goods.c_str());
        Box(MB_ICONWARNING, text::kNoGoodsList, goods.c_str());
        return false;
    }
    bool kindsExisted = FileExists(JoinPath(folder, kKindsName));

    ConverterRun run = RunConverter(converter, folder);
    if (!run.started) {
        Say("the converter could not be started (error %lu)", GetLastError());
        Box(MB_ICONERROR, text::kConverterNotStarted, converter.c_str());
        return false;
    }
    Say("fromZORB.exe ended with code %lu", run.exitCode);
    for (const char* marker : {"Tables start NOT found...", "Tables end NOT found..."}) {
        if (run.output.find(marker) != std::string::npos) {
            Box(MB_ICONERROR, text::kNoReportTable, marker);
            return false;
        }
    }
    if (run.exitCode != 0 || run.output.find("Program ended") == std::string::npos) {
        Box(MB_ICONERROR, text::kConverterFailed, run.exitCode);
        return false;
    }
    if (StepFailed(run.output, "Import moves type"))
        Box(MB_ICONWARNING, text::kKindsFault);
    if (StepFailed(run.output, "Import positions"))
        Box(MB_ICONWARNING, text::kGoodsListFault);
    m_result = Reload(folder);
    if (!kindsExisted && FileExists(JoinPath(folder, kKindsName)))
        Box(MB_ICONINFORMATION, text::kKindsCreated);
    return g_host != NULL;
}

void Viewer::OpenGuide()
{
    std::string guide = JoinPath(ProgramFolder(), kGuideName);
    if (!FileExists(guide)) {
        Say("no guide: %s", guide.c_str());
        Box(MB_ICONWARNING, text::kNoGuide, guide.c_str());
        return;
    }
    Say("guide: %s", guide.c_str());
    ShellExecuteA(g_host, "open", guide.c_str(), NULL, ProgramFolder().c_str(), SW_SHOWNORMAL);
}

void Viewer::ShowAbout()
{
    std::string folder = ProgramFolder();
    std::vector<char> own = VersionData(OwnPath());
    std::string copyright = own.empty() ? std::string() : ResourceText(own, "LegalCopyright");
    std::string mine = VersionOf(OwnPath());
    std::string library = VersionOf(JoinPath(folder, kLibraryName));
    std::string converter = VersionOf(JoinPath(folder, kConverterName));
    auto shown = [](const std::string& v) { return v == "?" ? text::kNoVersion : v.c_str(); };
    SayVersions();
    Box(MB_ICONINFORMATION, text::kAbout, shown(mine), shown(mine), shown(library), shown(converter),
        copyright.c_str());
}

// The window with its File menu dropped, as a 24-bit BMP (the demo's picture):
// the menu's own loop runs the timer that takes it.
bool Viewer::MenuPicture(const std::string& path)
{
    HMENU bar = g_host ? GetMenu(g_host) : NULL;
    RECT item;
    if (!bar || !GetMenuItemRect(g_host, bar, 0, &item)) {
        Say("no menu to take a picture of");
        return false;
    }
    Repaint();
    Pump(300);
    g_menuPicturePath = path;
    g_menuPictureTaken = false;
    HiliteMenuItem(g_host, bar, 0, MF_BYPOSITION | MF_HILITE);
    SetTimer(g_host, kMenuPictureTimer, 500, MenuPictureTimer);
    TrackPopupMenu(GetSubMenu(bar, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY | TPM_RETURNCMD, item.left,
                   item.bottom, 0, g_host, NULL);
    KillTimer(g_host, kMenuPictureTimer);
    HiliteMenuItem(g_host, bar, 0, MF_BYPOSITION | MF_UNHILITE);
    Say(g_menuPictureTaken ? "picture with the menu: %s" : "picture with the menu %s could not be taken",
        path.c_str());
    return g_menuPictureTaken;
}

void Viewer::OnCommand(int id)
{
    switch (id) {
    case IDM_OPEN_FOLDER: OpenFolder(); break;
    case IDM_CONVERT: {
        std::string report = ChooseReport(g_host, m_folder);
        if (!report.empty())
            Convert(report);
        break;
    }
    case IDM_EXIT:  if (g_host) DestroyWindow(g_host); break;
    case IDM_GUIDE: OpenGuide(); break;
    case IDM_ABOUT: ShowAbout(); break;
    }
}

bool Viewer::RunAction(const Action& action, bool& quit)
{
    double start = NowMs();
    bool ok = true;
    std::string step;
    switch (action.kind) {
    case kTab:         ok = SelectTab(action.number);       step = "tab " + std::to_string(action.number); break;
    case kSupplier:    ok = PickSupplier(m_plugin, m_fed, action.text); step = "supplier " + action.text; break;
    case kBuild:       ok = PressBuild();                   step = "BuildDynamics"; break;
    case kDoubleClick: ok = DoubleClickRow(action.number);  step = "report of row " + std::to_string(action.number); break;
    case kShot:        ok = TakePicture(action.text);       break;
    case kMenuShot:    ok = MenuPicture(action.text);       break;
    case kWait:        Pump((DWORD)action.number);          break;
    case kOpen:
        if (!HasTables(action.text)) {
            Say("no tables in %s", action.text.c_str());
            Box(MB_ICONWARNING, text::kNoTables, FullPath(action.text).c_str());
            ok = false;
        } else {
            ok = Reload(action.text) == kExitOk;
        }
        step = "open";
        break;
    case kConvert:     ok = Convert(action.text);           step = "convert"; break;
    case kQuit:        quit = true;                         break;
    }
    if (!step.empty())
        SayTime(step.c_str(), start);
    return ok;
}

int Viewer::Run()
{
    g_viewer = this;
    g_preDispatch = PreDispatchHook;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(NULL);     // the folder chooser's new style needs it
    m_keys = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_VIEWER_KEYS));

    if (!LoadPlugin())
        return kExitLibrary;
    bool haveFolder = false;
    std::string folder = StartFolder(haveFolder);
    int result = OpenSession(folder, haveFolder, m_options.feed);
    if (result == kExitLibrary) {
        UnloadPlugin();
        return result;
    }

    bool quit = false;
    for (const Action& action : m_options.actions) {
        if (g_quitPosted || !g_host) {
            Say("the window was closed before all steps were done");
            result = kExitStep;
            break;
        }
        m_result = kExitOk;
        if (!RunAction(action, quit) || m_result != kExitOk)
            result = kExitStep;
        if (quit)
            break;
    }
    if (!quit && !g_quitPosted) {
        MSG message;
        while (g_host && GetMessageA(&message, NULL, 0, 0) > 0) {
            if (PreDispatch(message))
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (g_timing)
        SayPeakMemory();
    UnloadPlugin();
    OleUninitialize();
    g_preDispatch = NULL;
    g_viewer = NULL;
    return result;
}

}  // namespace host
