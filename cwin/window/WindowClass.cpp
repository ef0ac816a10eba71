// EnsureWindowClass: the one registration of the framework's own window classes.
#include "cwin/window/WindowClass.h"

#include <string.h>

bool EnsureWindowClass(HINSTANCE instance, const char* className, WNDPROC procedure, UINT style)
{
    WNDCLASSA known;
    if (GetClassInfoA(instance, className, &known) && known.lpfnWndProc == procedure)
        return true;
    WNDCLASSA wc;
    memset(&wc, 0, sizeof(wc));
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hbrBackground = (HBRUSH)(COLOR_MENU + 1);
    wc.lpszClassName = className;
    if (RegisterClassA(&wc))
        return true;
    UnregisterClassA(className, instance);
    return false;
}
