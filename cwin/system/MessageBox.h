// Every message box of the system goes through ShowMessageBox, so that a test
// can put a recorder in its place (SetMessageBoxFunction) instead of a modal box.
#ifndef CWIN_MESSAGEBOX_H
#define CWIN_MESSAGEBOX_H

#include <windows.h>

typedef int (*MessageBoxFunction)(HWND owner, const char* text, const char* caption, UINT type);

// Shows a box through the current function (MessageBoxA unless replaced).
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type = MB_OK);

// Replaces the function; null restores MessageBoxA. Returns the previous one.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction fn);

// Shows boxes for a part that has no window of its own to own them.
class IMessageBoxes
{
public:
    virtual int ShowBox(const char* text, const char* caption, UINT type) = 0;
};

#endif
