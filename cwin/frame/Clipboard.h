// CClipboard: the clipboard's text in code page 1251, read as the platform
// keeps it (CF_TEXT on the Windows 95 family, CF_UNICODETEXT converted elsewhere).
#ifndef CWIN_CLIPBOARD_H
#define CWIN_CLIPBOARD_H

#include <windows.h>

class CClipboard
{
public:
    CClipboard() : m_oldStyle(false) {}

    // Reads which family the platform is of.
    void ReadPlatform();
    // The text into a heap registry block in *out (the caller frees it), opened
    // for the owner window; its length, 0 when there is none (*out untouched).
    int GetText(HWND owner, char** out) const;

private:
    bool m_oldStyle;
};

#endif
