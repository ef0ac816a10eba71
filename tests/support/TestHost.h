// The test programs' host windows: the window the framework or the plug-in is
// lent, of a class registered once per name.
#ifndef TESTS_TESTHOST_H
#define TESTS_TESTHOST_H

#include <windows.h>

// Registers the host class on first use (arrow cursor, button-face background)
// and returns its name; a name keeps the procedure it was first registered with.
const char* RegisterTestHostClass(const char* name = "OrvexTestHost", WNDPROC procedure = DefWindowProcA);

// A window of a class from RegisterTestHostClass; null when it cannot be made.
HWND CreateTestHost(const char* className, const char* title, DWORD style, int x, int y, int width, int height,
                    HWND parent = NULL);

#endif
