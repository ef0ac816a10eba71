// ShowMessageBox and the replaceable function behind it.
#include "cwin/system/MessageBox.h"

static int SystemMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return MessageBoxA(owner, text, caption, type);
}

static MessageBoxFunction g_messageBox = SystemMessageBox;

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return g_messageBox(owner, text, caption, type);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction fn)
{
    MessageBoxFunction previous = g_messageBox;
    g_messageBox = fn ? fn : SystemMessageBox;
    return previous;
}
