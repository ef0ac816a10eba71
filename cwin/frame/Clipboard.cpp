// CClipboard: the clipboard's text.
#include "cwin/frame/Clipboard.h"
#include "cwin/system/HeapRegistry.h"

#include <string.h>

void CClipboard::ReadPlatform()
{
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    if (GetVersionExA(&version))
        m_oldStyle = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

int CClipboard::GetText(HWND owner, char** out) const
{
    if (!out || !OpenClipboard(owner))
        return 0;
    int length = 0;
    if (m_oldStyle) {
        HANDLE data = GetClipboardData(CF_TEXT);
        const char* text = data ? static_cast<const char*>(GlobalLock(data)) : NULL;
        if (text) {
            length = (int)strlen(text);
            *out = NULL;
            if (g_heapRegistry.Alloc(out, (SIZE_T)length + 1))
                memcpy(*out, text, (size_t)length + 1);
            else
                length = 0;
            GlobalUnlock(data);
        }
    } else {
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : NULL;
        if (text) {
            int wide = (int)wcslen(text);
            int bytes = wide ? WideCharToMultiByte(CP_ACP, 0, text, wide, NULL, 0, NULL, NULL) : 0;
            *out = NULL;
            if (g_heapRegistry.Alloc(out, (SIZE_T)bytes + 1)) {
                length = bytes ? WideCharToMultiByte(CP_ACP, 0, text, wide, *out, bytes, NULL, NULL) : 0;
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return length;
}
