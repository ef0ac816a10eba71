// CListView: the grid's window subclassed, so that its own keys (Ctrl+A,
// Ctrl+C, Ctrl+F, F3) and the registered command message of ListViewCommands.h
// reach the grid whoever owns the parent window.
#include "cwin/composite/ListView.h"
#include "cwin/composite/ListViewCommands.h"

namespace {

// The list view class's own procedure, for a window whose object is gone.
WNDPROC g_listProc = NULL;

UINT CommandMessage()
{
    static UINT message = RegisterWindowMessageA(CWIN_LISTVIEW_COMMAND_MESSAGE);
    return message;
}

bool Down(int key)
{
    return GetKeyState(key) < 0;
}

}  // namespace

void CListView::Subclass()
{
    char className[32];
    // Not the place-holder that stands in for a missing class.
    if (!hwnd || !GetClassNameA(hwnd, className, sizeof(className)) || lstrcmpiA(className, WC_LISTVIEWA))
        return;
    CommandMessage();
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)static_cast<CBaseWindow*>(this));
    m_previousProc = (WNDPROC)SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)GridProc);
    if (!g_listProc)
        g_listProc = m_previousProc;
}

void CListView::RestoreWindowProc()
{
    if (m_previousProc && hwnd && IsWindow(hwnd)
        && GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == (LONG_PTR)GridProc)
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)m_previousProc);
}

LRESULT CALLBACK CListView::GridProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CListView* grid = dynamic_cast<CListView*>(WindowObjectOf(window));
    if (!grid || grid->hwnd != window || !grid->m_previousProc)
        return g_listProc ? CallWindowProcA(g_listProc, window, message, wParam, lParam)
                          : DefWindowProcA(window, message, wParam, lParam);
    DispatchScope scope(grid->owner);   // no object is freed under the commands' events
    return grid->OnGridMessage(message, wParam, lParam);
}

LRESULT CListView::OnGridMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = hwnd;
    WNDPROC previous = m_previousProc;
    if (message == CommandMessage() && message != 0)
        return RunCommand(wParam, lParam);
    switch (message) {
    case WM_KEYDOWN:
        if (OnKey(wParam))
            return 0;
        break;
    case WM_CHAR:
        // Ctrl+A, Ctrl+C and Ctrl+F also arrive as control characters: not a row to look for.
        if (wParam == 1 || wParam == 3 || wParam == 6)
            return 0;
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)previous);
        m_previousProc = NULL;
        break;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

bool CListView::OnKey(WPARAM key)
{
    bool control = Down(VK_CONTROL), alt = Down(VK_MENU), shift = Down(VK_SHIFT);
    if (alt)
        return false;
    if (control && !shift) {
        switch (key) {
        case 'A':
            SelectAllRows();
            return true;
        case 'C':
        case VK_INSERT:
            CopySelection();
            return true;
        case 'F':
            PromptFind();
            return true;
        }
        return false;
    }
    if (key == VK_F3 && !control && !shift) {
        RepeatFind();
        return true;
    }
    return false;
}

LRESULT CListView::RunCommand(WPARAM command, LPARAM argument)
{
    switch (command) {
    case LVC_SELECT_ALL:
        SelectAllRows();
        return 1;
    case LVC_COPY:
        return CopySelection() ? 1 : 0;
    case LVC_SAVE_CSV:
        return SaveCsv(reinterpret_cast<const char*>(argument)) ? 1 : 0;
    case LVC_FIND:
        return FindText(reinterpret_cast<const char*>(argument)) ? 1 : 0;
    case LVC_FIND_NEXT:
        return FindTextAgain() ? 1 : 0;
    }
    return 0;
}
