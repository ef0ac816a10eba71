// EnsureWindowClass: registers one of the framework's own window classes
// unless the instance already holds it with the same window procedure.
#ifndef CWIN_WINDOWCLASS_H
#define CWIN_WINDOWCLASS_H

#include <windows.h>

// The class gets no icon, cursor or menu and the menu colour as its background.
// The class is looked up every time rather than remembered: a library that
// registered it and was unloaded, or someone else holding the name, leaves a
// class under it that is not ours. A failed registration unregisters the name,
// so that the next call tries again. False when the class cannot be had.
bool EnsureWindowClass(HINSTANCE instance, const char* className, WNDPROC procedure, UINT style = 0);

#endif
