// Message-box recorder, scratch folders, file bytes, child programs and message pumping.
#include "TestSupport.h"
#include "cwin/system/MessageBox.h"

#include <commctrl.h>

#include <gtest/gtest.h>
#include <stdio.h>

static std::vector<RecordedBox> g_boxes;

static int RecordBox(HWND owner, const char* text, const char* caption, UINT type)
{
    g_boxes.push_back(RecordedBox{owner, text ? text : "", caption ? caption : "", type});
    return IDOK;
}

MessageBoxRecorder::MessageBoxRecorder()
{
    g_boxes.clear();
    SetMessageBoxFunction(RecordBox);
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    SetMessageBoxFunction(NULL);
    g_boxes.clear();
}

const std::vector<RecordedBox>& MessageBoxRecorder::Boxes() const
{
    return g_boxes;
}

void MessageBoxRecorder::Clear()
{
    g_boxes.clear();
}

ScratchDir::ScratchDir()
{
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static LONG counter = 0;
    // A name in use is tried again with the next number; a folder that cannot
    // be written at all ends the attempts.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[MAX_PATH + 64];
        snprintf(name, sizeof(name), "%sorvex-%lu-%ld-%lu", base, GetCurrentProcessId(),
                 InterlockedIncrement(&counter), GetTickCount());
        if (CreateDirectoryA(name, NULL)) {
            m_path = name;
            return;
        }
    }
    ADD_FAILURE() << "no scratch folder could be made under " << base << " in 1,000 attempts";
}

static void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

ScratchDir::~ScratchDir()
{
    if (!m_path.empty())   // never the root of the current drive
        RemoveTree(m_path);
}

CurrentDir::CurrentDir(const std::string& path)
{
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    m_previous = previous;
    SetCurrentDirectoryA(path.c_str());
}

CurrentDir::~CurrentDir()
{
    SetCurrentDirectoryA(m_previous.c_str());
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool ReadBytes(const std::string& path, std::string* bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, NULL);
    bytes->assign(size, '\0');
    DWORD read = 0;
    BOOL ok = size == 0 || ReadFile(file, &(*bytes)[0], size, &read, NULL);
    CloseHandle(file);
    return ok && read == size;
}

bool FileThere(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ProgramDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string dir(path, n);
    size_t slash = dir.find_last_of("\\/");
    return slash == std::string::npos ? "." : dir.substr(0, slash);
}

bool CollectOutput(HANDLE readEnd, HANDLE process, DWORD timeoutMs, std::string* output)
{
    const DWORD started = GetTickCount();
    char chunk[4096];
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(readEnd, NULL, 0, NULL, &available, NULL)) {
            // Every writer has closed its end: only the process itself is left to wait for.
            DWORD spent = GetTickCount() - started;
            return WaitForSingleObject(process, spent < timeoutMs ? timeoutMs - spent : 0) == WAIT_OBJECT_0;
        }
        if (available) {
            DWORD got = 0;
            if (ReadFile(readEnd, chunk, available < sizeof(chunk) ? available : sizeof(chunk), &got, NULL))
                output->append(chunk, got);
            continue;
        }
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            // Ended: what it wrote last is in the pipe already.
            while (PeekNamedPipe(readEnd, NULL, 0, NULL, &available, NULL) && available) {
                DWORD got = 0;
                if (!ReadFile(readEnd, chunk, available < sizeof(chunk) ? available : sizeof(chunk), &got, NULL))
                    break;
                output->append(chunk, got);
            }
            return true;
        }
        if (GetTickCount() - started >= timeoutMs)
            return false;
        Sleep(5);
    }
}

bool StartProgram(const std::string& commandLine, const std::string& folder, PROCESS_INFORMATION* process,
                  HANDLE* readEnd)
{
    SECURITY_ATTRIBUTES inherit = { sizeof(inherit), NULL, TRUE };
    HANDLE writeEnd = NULL;
    if (!CreatePipe(readEnd, &writeEnd, &inherit, 0))
        return false;
    SetHandleInformation(*readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string line = commandLine;
    const BOOL started = CreateProcessA(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, folder.c_str(), &startup, process);
    CloseHandle(writeEnd);
    if (!started)
        CloseHandle(*readEnd);
    return started != FALSE;
}

ProcessResult RunProgram(const std::string& commandLine, const std::string& folder, DWORD timeoutMs)
{
    ProcessResult result;
    PROCESS_INFORMATION process = {};
    HANDLE readEnd = NULL;
    if (!StartProgram(commandLine, folder, &process, &readEnd))
        return result;
    result.started = true;
    const bool ended = CollectOutput(readEnd, process.hProcess, timeoutMs, &result.output);
    CloseHandle(readEnd);
    if (!ended) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
        ADD_FAILURE() << "the program did not end within " << timeoutMs << " ms and was stopped: " << commandLine;
    }
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return result;
}

std::string Escaped(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n\n";
        else if (c >= 0x20 && c < 0x7F && c != '\\')
            out += (char)c;
        else {
            char hex[8];
            snprintf(hex, sizeof(hex), "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

void Pump()
{
    // A window that posts to itself for ever would keep the pump going for ever.
    const int kMostMessages = 100000;
    MSG msg;
    int delivered = 0;
    for (int round = 0; round < 3; ++round)
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            if (++delivered == kMostMessages) {
                ADD_FAILURE() << "messages kept coming: " << kMostMessages << " delivered in one pump, the last "
                              << msg.message << " to window " << msg.hwnd;
                return;
            }
        }
}

