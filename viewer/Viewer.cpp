// The viewer's sessions, its menu, the folder it opens, the converter run and
// its message boxes (its windows, settings and versions have files of their own).
#include "Viewer.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "cwin/system/MessageBox.h"
#include "ConverterRun.h"
#include "PluginDriver.h"
#include "ViewerIds.h"
#include "ViewerSettings.h"
#include "ViewerTexts.h"
#include "ViewerWindow.h"

namespace host {
namespace {

const char kStopEventName[]  = "Exit_MathFlow";
// ASCII: unzip tools that ignore the zip's UTF-8 flag garble Cyrillic names.
const char kGuideName[]      = "Guide.html";
const char kGoodsListName[]  = "Номенкл.csv";
const char kKindsName[]      = "moves_type.txt";
const char kReportFileName[] = "ZORB_MVS.txt";
// The identifiers' display (the plug-in's SetIdMode) and its menu item.
const int kIdModeCommands[3] = {IDM_VIEW_HEX, IDM_VIEW_DECIMAL, IDM_VIEW_CODES};
const char* const kIdModeNames[3] = {"hexadecimal numbers", "decimal numbers", "codes"};
const int kDefaultIdMode = 2;
const char* const kListFiles[] = {"c:\\GNList.dat", "c:\\SNList.dat", "c:\\GMList.dat", "c:\\GDList.dat"};
// A session's boxes wait for the message loop: the window is whole by then.
const UINT kViewerNotice = WM_APP + 2;
const UINT_PTR kMenuPictureTimer = 1;

Viewer* g_viewer = NULL;
std::string g_menuPicturePath;
bool g_menuPictureTaken = false;

bool PreDispatchHook(MSG& message) { return g_viewer && g_viewer->PreDispatch(message); }

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

void Viewer::Box(UINT type, const char* format, ...)
{
    if (!m_options.interactive)
        return;
    va_list args;
    va_start(args, format);
    std::string message = Format(format, args);
    va_end(args);
    ShowMessageBox(g_main, message.c_str(), text::kBoxCaption, MB_OK | type);
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
            ShowMessageBox(g_main, notice.text.c_str(), text::kBoxCaption, MB_OK | notice.type);
        }
        return true;
    }
    if (m_keys && g_main && (message.hwnd == g_main || IsChild(g_main, message.hwnd)))
        return TranslateAcceleratorA(g_main, m_keys, &message) != 0;
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

void Viewer::DestroyMain()
{
    if (g_main)
        DestroyWindow(g_main);
}

// Only with -savelists: the list files go to the root of drive c:, where a
// standard user may not create files; a save that could not replace all four
// is then said.
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
    if (g_main) {
        SetWindowTextA(g_main, caption.c_str());
    } else if ((g_main = CreateMainWindow(caption)) != NULL) {
        ShowWindow(g_main, SW_SHOW);
        UpdateWindow(g_main);
    }
    g_host = g_main ? CreateHostPage(g_main, label) : NULL;
    if (!g_host) {
        Say("the host window could not be created");
        return kExitLibrary;
    }
    UpdateWindow(g_host);

    double start = NowMs();
    m_plugin->AttachHost(g_host, kLibraryName);
    SayTime("AttachHost (list files loaded)", start);
    m_plugin->ShowPlugin();
    // Painted once, when the lists are in (below): a paint of empty lists
    // before the feed would only cost time.
    ShowIdMode(m_idMode);

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
    FinishPainting();
    SayTime("RefreshLists", start);
    if (fed && m_options.saveLists && !SaveLists())
        result = kExitStep;
    if (fed && m_options.interactive && haveFolder)
        WriteLastFolder(m_folder);
    return result;
}

void Viewer::CloseSession()
{
    UnloadPlugin();
}

int Viewer::Reload(const std::string& folder)
{
    double start = NowMs();
    CloseSession();
    SayTime("closing the session (lent window destroyed, library freed)", start);
    start = NowMs();
    if (!LoadPlugin())
        return kExitLibrary;
    SayTime("loading the library", start);
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
    std::string folder = ChooseFolder(g_main, m_folder);
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
// the folder's tables stay as they are; what went wrong in the run is said
// from its exit code once its window is closed.
bool Viewer::Convert(const std::string& reportPath, bool autoClose)
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

    ConverterRun run = RunConverter(converter, folder, autoClose || !m_options.interactive);
    if (!run.started) {
        Say("the converter could not be started (error %lu)", run.startError);
        Box(MB_ICONERROR, text::kConverterNotStarted, converter.c_str());
        return false;
    }
    Say("fromZORB.exe ended with code %lu", run.exitCode);
    switch (run.exitCode) {
    case kConverted:
        break;
    case kNotWritten: {
        // "<file> NOT written... "
        size_t at = run.output.find(" NOT written...");
        size_t from = at == std::string::npos ? at : run.output.find_last_of(" \n", at - 1);
        std::string said = at == std::string::npos ? std::string("NOT written...")
                                                   : run.output.substr(from + 1, at + 15 - from - 1);
        Box(MB_ICONERROR, text::kTablesNotWritten, said.c_str());
        return false;
    }
    case kNotRead:
        if (StepFailed(run.output, "Import positions"))
            Box(MB_ICONERROR, text::kGoodsListFault, goods.c_str());
        else
            Box(MB_ICONERROR, text::kReportUnreadable, report.c_str());
        return false;
    case kNoReportTable: {
        const char* marker = "Tables start NOT found...";
        if (run.output.find(marker) == std::string::npos &&
            run.output.find("Tables end NOT found...") != std::string::npos)
            marker = "Tables end NOT found...";
        Box(MB_ICONERROR, text::kNoReportTable, marker);
        return false;
    }
    default:
        Box(MB_ICONERROR, text::kConverterFailed, run.exitCode, run.exitCode);
        return false;
    }
    if (StepFailed(run.output, "Import moves type"))
        Box(MB_ICONWARNING, text::kKindsFault);
    // How the new session went is the session's result (m_result); a window
    // the person closed meanwhile is no failure of the conversion.
    m_result = Reload(folder);
    if (!kindsExisted && FileExists(JoinPath(folder, kKindsName)))
        Box(MB_ICONINFORMATION, text::kKindsCreated);
    return true;
}

// «Файл > Сохранить список…»: the list of the current page, as a CSV file.
void Viewer::SaveCurrentList()
{
    if (!CurrentList()) {
        Say("no list on the current page");
        Box(MB_ICONWARNING, text::kNoListToSave);
        return;
    }
    std::string page = CurrentTabName();
    std::string path = ChooseSaveFile(g_main, m_folder, (page.empty() ? std::string("list") : page) + ".csv");
    if (path.empty())
        return;
    if (!SaveList(path))
        Box(MB_ICONERROR, text::kListNotSaved, path.c_str());
}

// The identifiers of the plug-in's lists shown as hexadecimal numbers (0),
// decimal numbers (1) or codes (2); the menu's check mark follows.
bool Viewer::ShowIdMode(int mode)
{
    if (!m_plugin)
        return false;
    if (!m_plugin->SetIdMode(mode)) {
        Say("identifiers as %s (%d): refused by the plug-in", kIdModeNames[mode], mode);
        CheckIdMode();
        return false;
    }
    m_idMode = mode;
    CheckIdMode();
    // The lists show the new identifiers at their next paint.
    Invalidate();
    Say("identifiers shown as %s", kIdModeNames[mode]);
    return true;
}

void Viewer::CheckIdMode()
{
    HMENU menu = g_main ? GetMenu(g_main) : NULL;
    if (!menu)
        return;
    CheckMenuRadioItem(menu, IDM_VIEW_CODES, IDM_VIEW_HEX, kIdModeCommands[m_idMode], MF_BYCOMMAND);
    // What the menu now shows (another process cannot ask a menu).
    std::string checked;
    for (int command : {IDM_VIEW_CODES, IDM_VIEW_DECIMAL, IDM_VIEW_HEX}) {
        if (!(GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED))
            continue;
        char item[128] = "";
        GetMenuStringA(menu, command, item, sizeof item, MF_BYCOMMAND);
        std::string name;
        for (const char* c = item; *c; ++c)
            if (*c != '&')
                name += *c;
        checked += (checked.empty() ? "" : ", ") + name;
    }
    Say("menu View: %s checked", checked.empty() ? "nothing" : checked.c_str());
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
    ShellExecuteA(g_main, "open", guide.c_str(), NULL, ProgramFolder().c_str(), SW_SHOWNORMAL);
}

// The window with its File menu dropped, as a 24-bit BMP (the demo's picture):
// the menu's own loop runs the timer that takes it.
bool Viewer::MenuPicture(const std::string& path)
{
    HMENU bar = g_main ? GetMenu(g_main) : NULL;
    RECT item;
    if (!bar || !GetMenuItemRect(g_main, bar, 0, &item)) {
        Say("no menu to take a picture of");
        return false;
    }
    Repaint();
    Pump(300);
    g_menuPicturePath = path;
    g_menuPictureTaken = false;
    HiliteMenuItem(g_main, bar, 0, MF_BYPOSITION | MF_HILITE);
    SetTimer(g_main, kMenuPictureTimer, 500, MenuPictureTimer);
    TrackPopupMenu(GetSubMenu(bar, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY | TPM_RETURNCMD, item.left,
                   item.bottom, 0, g_main, NULL);
    KillTimer(g_main, kMenuPictureTimer);
    HiliteMenuItem(g_main, bar, 0, MF_BYPOSITION | MF_UNHILITE);
    Say(g_menuPictureTaken ? "picture with the menu: %s" : "picture with the menu %s could not be taken",
        path.c_str());
    return g_menuPictureTaken;
}

void Viewer::OnCommand(int id)
{
    switch (id) {
    case IDM_OPEN_FOLDER: OpenFolder(); break;
    case IDM_CONVERT: {
        std::string report = ChooseReport(g_main, m_folder);
        if (!report.empty())
            Convert(report, false);
        break;
    }
    case IDM_SAVE_LIST: SaveCurrentList(); break;
    case IDM_VIEW_CODES:
    case IDM_VIEW_DECIMAL:
    case IDM_VIEW_HEX: {
        int mode = id == IDM_VIEW_CODES ? 2 : id == IDM_VIEW_DECIMAL ? 1 : 0;
        // A person's choice is remembered for the next start.
        if (ShowIdMode(mode) && m_options.interactive)
            WriteIdMode(mode);
        break;
    }
    case IDM_EXIT:  if (g_main) DestroyWindow(g_main); break;
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
    case kSupplier:    ok = PickSupplier(m_fed, action.text); step = "supplier " + action.text; break;
    case kSort:        ok = ClickHeader(action.number);     step = "sort by column " + std::to_string(action.number); break;
    case kSelect:      ok = ClickRow(action.number);        break;
    case kSelectAll:   ok = SelectAllRows();                step = "select all"; break;
    case kCopy:        ok = CopyRows(action.text);          step = "copy"; break;
    case kSave:        ok = SaveList(FullPath(action.text)); step = "save the list"; break;
    case kFind:        ok = FindRow(&action.text);          step = "find"; break;
    case kFindNext:    ok = FindRow(NULL);                  step = "find next"; break;
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
    case kConvert:     ok = Convert(action.text, true);     step = "convert"; break;
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

    // Codes unless another display was chosen last; -idmode for this run.
    int remembered = ReadIdMode();
    m_idMode = m_options.idMode >= 0 ? m_options.idMode : remembered >= 0 ? remembered : kDefaultIdMode;
    if (m_options.idMode >= 0 && m_options.interactive)
        WriteIdMode(m_options.idMode);

    if (!LoadPlugin())
        return kExitLibrary;
    bool haveFolder = false;
    std::string folder = StartFolder(haveFolder);
    int result = OpenSession(folder, haveFolder, m_options.feed);
    if (result == kExitLibrary) {
        UnloadPlugin();
        DestroyMain();
        return result;
    }

    bool quit = false;
    for (const Action& action : m_options.actions) {
        if (g_quitPosted || !g_main) {
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
        while (g_main && GetMessageA(&message, NULL, 0, 0) > 0) {
            if (PreDispatch(message))
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (g_timing)
        SayPeakMemory();
    UnloadPlugin();
    DestroyMain();
    OleUninitialize();
    g_preDispatch = NULL;
    g_viewer = NULL;
    return result;
}

}  // namespace host
