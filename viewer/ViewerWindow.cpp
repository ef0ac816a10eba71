// The viewer's window classes and procedures.
#include "ViewerWindow.h"

#include <string.h>

#include "HostCommon.h"
#include "ViewerIds.h"
#include "ViewerTexts.h"

namespace host {
namespace {

const char kWindowClass[] = "OrvexHostWindow";
const char kPageClass[]   = "OrvexHostPage";
const int kQuitButtonId = 101;

// The plug-in keeps a minimum size for the window it is lent (its answer to
// WM_SIZING): while the viewer's window is dragged, the lent window is asked
// for its share of the dragged rectangle, as if it were dragged itself.
bool AskPageSizing(HWND window, WPARAM edge, RECT* dragged)
{
    RECT outer, inner;
    if (!g_host || !GetWindowRect(window, &outer) || !GetClientRect(window, &inner))
        return false;
    int extraWidth = (outer.right - outer.left) - (inner.right - inner.left);
    int extraHeight = (outer.bottom - outer.top) - (inner.bottom - inner.top);
    RECT page = {dragged->left, dragged->top, dragged->right - extraWidth, dragged->bottom - extraHeight};
    if (!SendMessageA(g_host, WM_SIZING, edge, (LPARAM)&page))
        return false;
    dragged->left = page.left;
    dragged->top = page.top;
    dragged->right = page.right + extraWidth;
    dragged->bottom = page.bottom + extraHeight;
    return true;
}

// The viewer's own window: its menu, and the lent window kept over its client area.
LRESULT CALLBACK MainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (lParam == 0 && LOWORD(wParam) >= IDM_OPEN_FOLDER) {
            PostThreadMessageA(GetCurrentThreadId(), kViewerCommand, LOWORD(wParam), 0);
            return 0;
        }
        break;
    case WM_SIZE:
        if (g_host && wParam != SIZE_MINIMIZED)
            MoveWindow(g_host, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SIZING:
        if (AskPageSizing(window, wParam, reinterpret_cast<RECT*>(lParam)))
            return TRUE;
        break;
    case WM_DESTROY:
        if (window == g_main) {
            g_main = NULL;
            PostQuitMessage(0);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The window lent to the plug-in, with the host's own children on it.
LRESULT CALLBACK PageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kQuitButtonId && HIWORD(wParam) == BN_CLICKED) {
            if (g_main)
                DestroyWindow(g_main);
            return 0;
        }
        break;
    case WM_DESTROY:
        if (window == g_host)
            g_host = NULL;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterClasses()
{
    static bool registered = false;
    if (registered)
        return true;
    if (!RegisterViewerClass(kWindowClass, MainProcedure, LoadIcon(NULL, IDI_APPLICATION)))
        return false;
    registered = RegisterViewerClass(kPageClass, PageProcedure, NULL);
    return registered;
}

}  // namespace

HWND CreateMainWindow(const std::string& caption)
{
    if (!RegisterClasses())
        return NULL;
    HINSTANCE instance = GetModuleHandleA(NULL);
    return CreateWindowExA(0, kWindowClass, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1000, 720,
                           NULL, LoadMenuA(instance, MAKEINTRESOURCEA(IDR_VIEWER_MENU)), instance, NULL);
}

HWND CreateHostPage(HWND main, const std::string& label)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    RECT client;
    GetClientRect(main, &client);
    HWND window = CreateWindowExA(0, kPageClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                                  client.right, client.bottom, main, NULL, instance, NULL);
    if (!window)
        return NULL;
    // The host's own children, which the plug-in hides when it shows itself.
    CreateWindowExA(0, "STATIC", label.c_str(), WS_CHILD | WS_VISIBLE, 10, 10, 600, 20,
                    window, (HMENU)100, instance, NULL);
    CreateWindowExA(0, "BUTTON", text::kQuitButton, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 40, 100, 26,
                    window, (HMENU)(INT_PTR)kQuitButtonId, instance, NULL);
    CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 120, 40, 300, 24,
                    window, (HMENU)102, instance, NULL);
    return window;
}

}  // namespace host
