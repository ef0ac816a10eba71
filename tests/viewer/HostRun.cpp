// Runs the viewer as a process of its own and finds the windows it shows.
#include "HostRun.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

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
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE writeEnd = NULL;
    if (!CreatePipe(&m_pipe, &writeEnd, &inherit, 0))
        return;
    SetHandleInformation(m_pipe, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process;
    std::string commandLine = "\"" + program + "\" " + arguments;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    if (CreateProcessA(NULL, line.data(), NULL, NULL, TRUE, 0, NULL, directory.c_str(), &startup, &process)) {
        m_process = process.hProcess;
        m_id = process.dwProcessId;
        CloseHandle(process.hThread);
        m_reader = CreateThread(NULL, 0, ReadOutput, this, 0, NULL);
    }
    CloseHandle(writeEnd);
}

RunningProgram::~RunningProgram()
{
    if (m_process) {
        if (WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0) {
            TerminateProcess(m_process, 99);
            WaitForSingleObject(m_process, 5000);
        }
        CloseHandle(m_process);
    }
    if (m_reader) {
        WaitForSingleObject(m_reader, 5000);
        CloseHandle(m_reader);
    }
    if (m_pipe)
        CloseHandle(m_pipe);
    DeleteCriticalSection(&m_lock);
}

DWORD WINAPI RunningProgram::ReadOutput(void* self)
{
    RunningProgram* program = static_cast<RunningProgram*>(self);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(program->m_pipe, buffer, sizeof buffer, &got, NULL) && got) {
        EnterCriticalSection(&program->m_lock);
        program->m_output.append(buffer, got);
        LeaveCriticalSection(&program->m_lock);
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
        WindowSearch search = {m_id, className, NULL};
        EnumWindows(MatchWindow, (LPARAM)&search);
        if (search.found)
            return search.found;
        if (!m_process || WaitForSingleObject(m_process, 50) == WAIT_OBJECT_0)
            return NULL;
    } while (GetTickCount() - since < milliseconds);
    return NULL;
}

HostRun RunningProgram::Finish(DWORD milliseconds)
{
    HostRun run;
    if (!m_process)
        return run;
    run.finished = WaitForSingleObject(m_process, milliseconds) == WAIT_OBJECT_0;
    if (!run.finished) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    GetExitCodeProcess(m_process, &run.exitCode);
    if (m_reader)
        WaitForSingleObject(m_reader, 5000);
    EnterCriticalSection(&m_lock);
    run.output = m_output;
    LeaveCriticalSection(&m_lock);
    return run;
}

std::string WindowText(HWND window)
{
    char text[4096] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
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

}  // namespace hosttest
