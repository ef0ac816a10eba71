// OpenBenchHost: the benchmarks' top-level window, shown and attached to their frame.
#ifndef ORVEX_BENCHHOST_H
#define ORVEX_BENCHHOST_H

#include <windows.h>

#include "cwin/frame/AppFrame.h"

// A plain window of the given outer size at the screen's corner; the class is
// the benchmark's own, with no background, so that only the controls paint.
inline HWND OpenBenchHost(CAppFrame& frame, const char* className, int width, int height)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, className, "bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, width, height,
                                NULL, NULL, wc.hInstance, NULL);
    ShowWindow(host, SW_SHOW);
    UpdateWindow(host);
    frame.Attach(host, NULL);
    return host;
}

#endif
