// The host window class the test programs and fixtures share.
#include "TestHost.h"

const char* RegisterTestHostClass(const char* name, WNDPROC procedure)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    WNDCLASSA wc = {};
    if (GetClassInfoA(instance, name, &wc))
        return name;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
    return name;
}

HWND CreateTestHost(const char* className, const char* title, DWORD style, int x, int y, int width, int height,
                    HWND parent)
{
    return CreateWindowExA(0, className, title, style, x, y, width, height, parent, NULL, GetModuleHandleA(NULL),
                           NULL);
}
