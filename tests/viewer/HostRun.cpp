// Runs the viewer as a process of its own and finds the windows it shows.
#include "HostRun.h"
#include "ViewerTables.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <psapi.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

namespace hosttest {

std::string g_openLog;

std::string Folder(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string ThisFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, sizeof path);
    return Folder(path);
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, n);
    fclose(file);
    return bytes;
}


HostRun RunProgram(const std::string& program, const std::string& arguments, const std::string& directory)
{
    // 120 s at most: a host that hangs (or a child of it that keeps the pipe
    // open) cannot hold the test.
    RunningProgram running(program, arguments, directory);
    HostRun run = running.Finish(120000);
    if (running.Started() && !run.finished)
        ADD_FAILURE() << "OrvexHost did not end within 120 s and was stopped: " << program << " " << arguments;
    return run;
}

std::string NewFolder(const char* prefix)
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    for (unsigned n = GetTickCount();; ++n) {
        std::string folder = std::string(temp) + prefix + std::to_string(n);
        if (CreateDirectoryA(folder.c_str(), NULL))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
    }
}

RunningProgram::RunningProgram(const std::string& program, const std::string& arguments,
                               const std::string& directory)
{
    InitializeCriticalSection(&m_lock);
    if (m_child.Start(NULL, "\"" + program + "\" " + arguments, directory.c_str(), 0,
                      GetStdHandle(STD_INPUT_HANDLE)))
        m_reader = CreateThread(NULL, 0, ReadOutput, this, 0, NULL);
}

RunningProgram::~RunningProgram()
{
    m_child.Stop(99);
    if (m_reader) {
        WaitForSingleObject(m_reader, 5000);
        CloseHandle(m_reader);
    }
    DeleteCriticalSection(&m_lock);
}

DWORD WINAPI RunningProgram::ReadOutput(void* self)
{
    RunningProgram* program = static_cast<RunningProgram*>(self);
    std::string piece;
    while (program->m_child.ReadNext(piece)) {
        EnterCriticalSection(&program->m_lock);
        program->m_output += piece;
        LeaveCriticalSection(&program->m_lock);
        piece.clear();
    }
    return 0;
}

namespace {

struct WindowSearch
{
    DWORD process;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (process == search->process && IsWindowVisible(window) && strcmp(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND window, LPARAM data)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, "Static") == 0) {
        std::string text = WindowText(window);
        if (!text.empty()) {
            std::string* all = reinterpret_cast<std::string*>(data);
            *all += text;
        }
    }
    return TRUE;
}

}  // namespace

HWND RunningProgram::WaitForWindow(const char* className, DWORD milliseconds)
{
    DWORD since = GetTickCount();
    do {
        WindowSearch search = {m_child.ProcessId(), className, NULL};
        EnumWindows(MatchWindow, (LPARAM)&search);
        if (search.found)
            return search.found;
        if (!m_child.Started() || m_child.Wait(50))
            return NULL;
    } while (GetTickCount() - since < milliseconds);
    return NULL;
}

HostRun RunningProgram::Finish(DWORD milliseconds)
{
    HostRun run;
    if (!m_child.Started())
        return run;
    run.finished = m_child.Wait(milliseconds);
    if (!run.finished)
        m_child.Stop(99);
    run.exitCode = m_child.ExitCode();
    if (m_reader)
        WaitForSingleObject(m_reader, 5000);
    EnterCriticalSection(&m_lock);
    run.output = m_output;
    LeaveCriticalSection(&m_lock);
    return run;
}

std::string RunningProgram::Output()
{
    EnterCriticalSection(&m_lock);
    std::string output = m_output;
    LeaveCriticalSection(&m_lock);
    return output;
}

bool RunningProgram::WaitForOutput(const std::string& text, DWORD milliseconds)
{
    DWORD since = GetTickCount();
    do {
        if (Output().find(text) != std::string::npos)
            return true;
        if (!m_child.Started() || m_child.Wait(50))
            return Output().find(text) != std::string::npos;
    } while (GetTickCount() - since < milliseconds);
    return false;
}

std::string WindowText(HWND window)
{
    char text[4096] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ControlText(HWND control)
{
    std::vector<char> text(1 << 16);
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(), (LPARAM)text.data(), SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    return std::string(text.data(), std::min<size_t>(length, text.size()));
}

std::vector<std::string> ModulesOf(HWND window)
{
    std::vector<std::string> paths;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    if (!process)
        return paths;
    HMODULE modules[1024];
    DWORD needed = 0;
    if (EnumProcessModules(process, modules, sizeof modules, &needed)) {
        for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 1024; ++i) {
            char path[MAX_PATH] = "";
            if (GetModuleFileNameExA(process, modules[i], path, sizeof path))
                paths.push_back(path);
        }
    }
    CloseHandle(process);
    return paths;
}

std::string BoxText(HWND box)
{
    std::string all;
    EnumChildWindows(box, CollectStatic, (LPARAM)&all);
    return all;
}

void PressOk(HWND box)
{
    HWND ok = GetDlgItem(box, IDOK);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)ok);
}

namespace {

struct ChildSearch
{
    const char* className;
    int itemId;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM data)
{
    ChildSearch* search = reinterpret_cast<ChildSearch*>(data);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, search->className) == 0 && IsWindowVisible(window) &&
        (search->itemId == -1 || GetDlgCtrlID(window) == search->itemId)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND ShownChild(HWND parent, const char* className, int itemId)
{
    ChildSearch search = {className, itemId, NULL};
    EnumChildWindows(parent, MatchChild, (LPARAM)&search);
    return search.found;
}

int ListRows(HWND list)
{
    return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
}

std::string ListCellText(HWND list, int row, int column)
{
    DWORD id = 0;
    GetWindowThreadProcessId(list, &id);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    if (!process)
        return "<no process>";
    // The request and its text buffer in the list's own process.
    const SIZE_T textSize = 1024;
    char* remote = (char*)VirtualAllocEx(process, NULL, sizeof(LVITEMA) + textSize, MEM_COMMIT, PAGE_READWRITE);
    std::string text = "<no memory>";
    if (remote) {
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.iSubItem = column;
        item.pszText = remote + sizeof(LVITEMA);
        item.cchTextMax = (int)textSize;
        char buffer[1024] = "";
        SIZE_T done = 0;
        if (WriteProcessMemory(process, remote, &item, sizeof item, &done) &&
            WriteProcessMemory(process, remote + sizeof(LVITEMA), buffer, 1, &done)) {
            SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)remote);
            if (ReadProcessMemory(process, remote + sizeof(LVITEMA), buffer, sizeof buffer, &done)) {
                buffer[sizeof buffer - 1] = 0;
                text = buffer;
            }
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

std::string ClipboardText()
{
    std::string text;
    for (int i = 0; i < 50 && !OpenClipboard(NULL); ++i)
        Sleep(20);
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* bytes = data ? (const char*)GlobalLock(data) : NULL;
    if (bytes) {
        text.assign(bytes, strnlen(bytes, GlobalSize(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

bool ChooseInFileDialog(HWND dialog, const std::string& path)
{
    // The file name box: a combo box (cmb13) in the newer dialogs, an edit
    // (edt1) in the older ones.
    const int nameBoxes[] = {0x47c, 0x480};
    for (int id : nameBoxes) {
        HWND box = GetDlgItem(dialog, id);
        if (box && IsWindowVisible(box)) {
            SendMessageA(box, WM_SETTEXT, 0, (LPARAM)path.c_str());
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dialog, IDOK));
            return true;
        }
    }
    return false;
}

void WriteLongNames(const std::string& folder)
{
    WriteBytes(folder + "\\Positions.txt",
               "ID|Name\r\n"
               "G1|Гвоздь 100|||||||1.00000|0.10000\r\n"
               "G2|Шуруп 50|||||||2.00000|0.20000\r\n"
               "G3|Дюбель 8|||||||3.00000|0.30000\r\n"
               "G4|Анкер 10|||||||4.00000|0.40000\r\n"
               kLongGoodsA "|Длинный код 1|||||||1.00000|0.00000\r\n"
               kLongGoodsB "|Длинный код 2|||||||1.00000|0.00000\r\n");
    WriteBytes(folder + "\\Suppliers.txt",
               "ID|Name\r\n"
               kSupplier40 "|" kSupplier40 "\r\n"
               kSupplierA "|" kSupplierA "\r\n"
               kSupplierB "|" kSupplierB "\r\n");
    WriteBytes(folder + "\\Buyers.txt", "ID|Name\r\n" kLongBuyer "|ЧП Покупатель\r\n");
    WriteBytes(folder + "\\Moves.txt",
               "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n"
               "01.03.05|G1|" kSupplier40 "|5.00000||5.00000||\r\n"
               "01.03.05|G2|" kSupplierA "|1.00000||2.00000||\r\n"
               "01.03.05|G3|" kSupplierA "|1.00000||3.00000||\r\n"
               "02.03.05|G4|" kSupplierB "|1.00000||4.00000||\r\n"
               "02.03.05|" kLongGoodsA "|" kSupplierB "|1.00000||1.00000||\r\n"
               "02.03.05|" kLongGoodsB "|" kSupplierB "|1.00000||1.00000||\r\n"
               "03.03.05|G1|" kLongBuyer "||2.00000||4.00000|\r\n");
}

std::string RootListing()
{
    std::vector<std::string> lines;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("c:\\*", &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            char line[MAX_PATH + 64];
            snprintf(line, sizeof line, "%s %lu %08lx%08lx", found.cFileName, found.nFileSizeLow,
                     found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
            lines.push_back(line);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(lines.begin(), lines.end());
    std::string listing;
    for (const std::string& line : lines)
        listing += line + "\n";
    return listing;
}

int IdModeSetting()
{
    DWORD mode = 0, size = sizeof mode;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Orvex\\Viewer", "IdMode", RRF_RT_REG_DWORD, NULL, &mode, &size) !=
        ERROR_SUCCESS)
        return -1;
    return (int)mode;
}

bool SetIdModeSetting(int mode)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Orvex\\Viewer", 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return false;
    LONG status;
    if (mode < 0) {
        status = RegDeleteValueA(key, "IdMode");
        if (status == ERROR_FILE_NOT_FOUND)
            status = ERROR_SUCCESS;
    } else {
        DWORD value = (DWORD)mode;
        status = RegSetValueExA(key, "IdMode", 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace hosttest
