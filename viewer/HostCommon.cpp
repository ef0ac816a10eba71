// Console lines, timing, paths and the message pump of the viewer.
#include "HostCommon.h"

#include <psapi.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace host {

bool RegisterViewerClass(const char* name, WNDPROC procedure, HICON icon)
{
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hIcon = icon;
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

const char kLibraryName[]   = "Orvex_DLL.dll";
const char kConverterName[] = "fromZORB.exe";
const char kReportName[]    = "GoodsDinamic.html";

HWND g_main = NULL;
HWND g_host = NULL;
bool g_quitPosted = false;
bool (*g_preDispatch)(MSG& message) = NULL;

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
static double g_tickScale = 0.0;

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

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
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
            if (g_preDispatch && g_preDispatch(message))
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (GetTickCount() - start >= milliseconds)
            return;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace host
