// CTControl: the tab control and the windows tied to its tabs.
#include "cwin/composite/TControl.h"

#include <string.h>

CTControl::CTControl() : pageCount(0), shownTab(-1)
{
    memset(pageTab, 0, sizeof(pageTab));
    memset(pageWindow, 0, sizeof(pageWindow));
    notifyHandler = this;
}

bool CTControl::Create()
{
    INITCOMMONCONTROLSEX classes;
    classes.dwSize = sizeof(classes);
    classes.dwICC = 0xFF;
    if (!InitCommonControlsEx(&classes))
        return false;
    return CreateWindowOf(WC_TABCONTROLA);
}

bool CTControl::AddPage(HWND window, int tab)
{
    if (!window || pageCount >= CWIN_MAX_TAB_PAGES)
        return false;
    pageWindow[pageCount] = window;
    pageTab[pageCount] = tab;
    ++pageCount;
    return true;
}

bool CTControl::RemovePage(HWND window)
{
    if (!window)
        return false;
    for (int i = 0; i < pageCount; ++i) {
        if (pageWindow[i] != window)
            continue;
        memmove(&pageWindow[i], &pageWindow[i + 1], sizeof(pageWindow[0]) * (pageCount - i - 1));
        memmove(&pageTab[i], &pageTab[i + 1], sizeof(pageTab[0]) * (pageCount - i - 1));
        --pageCount;
        pageWindow[pageCount] = NULL;
        pageTab[pageCount] = 0;
        return true;
    }
    return false;
}

// A framework control shows itself (a tab control hides its own pages with it);
// a foreign window is simply shown or hidden. A shown page goes above its
// siblings: the tab control, made before its pages, would otherwise lie over
// them, and the pointer (context menus, hints) would find the tab strip.
void CTControl::ShowPageWindow(HWND window, bool show)
{
    if (show)
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CBaseWindow* control = NULL;
    if (owner && owner->Table().FindControlByWindow(window, &control) && control != this)
        control->Show(show);
    else
        ShowWindow(window, show ? SW_SHOW : SW_HIDE);
}

void CTControl::ShowTab(int tab)
{
    if (shownTab != -1 && shownTab == tab)
        return;
    shownTab = tab;
    for (int i = 0; i < pageCount; ++i)
        ShowPageWindow(pageWindow[i], pageTab[i] == tab);
}

// A negative index is refused like one past the count: it names no tab.
int CTControl::SelectTab(int tab)
{
    if (!hwnd || tab < 0 || tab >= (int)SendMessageA(hwnd, TCM_GETITEMCOUNT, 0, 0))
        return -1;
    if (!(GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE)) {
        shownTab = tab;
        return -1;
    }
    ShowTab(tab);
    return (int)SendMessageA(hwnd, TCM_SETCURSEL, tab, 0);
}

int CTControl::GetSelectedTab(LPARAM* userValue)
{
    shownTab = (int)SendMessageA(hwnd, TCM_GETCURSEL, 0, 0);
    if (userValue) {
        TCITEMA item;
        memset(&item, 0, sizeof(item));
        item.mask = TCIF_PARAM;
        if (SendMessageA(hwnd, TCM_GETITEMA, shownTab, (LPARAM)&item))
            *userValue = item.lParam;
    }
    return shownTab;
}

int CTControl::InsertItem(int index, const char* text, int image, bool textAlways)
{
    TCITEMA item;
    memset(&item, 0, sizeof(item));
    if (textAlways || text) {
        item.mask |= TCIF_TEXT;
        item.pszText = const_cast<char*>(text ? text : "");
    }
    if (image >= 0) {
        item.mask |= TCIF_IMAGE;
        item.iImage = image;
    }
    return (int)SendMessageA(hwnd, TCM_INSERTITEMA, index, (LPARAM)&item);
}

int CTControl::InsertTab(int index, const char* text, int image)
{
    return InsertItem(index, text, image, true);
}

int CTControl::InsertTabItem(int index, const char* text, int image)
{
    return InsertItem(index, text, image, false);
}

const char* CTControl::GetTabText(int tab)
{
    TCITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = CWIN_TEXT_SIZE;
    text[0] = 0;
    if (!SendMessageA(hwnd, TCM_GETITEMA, tab, (LPARAM)&item))
        return NULL;
    // The control may answer with a text of its own instead of filling ours.
    if (item.pszText != text) {
        strncpy(text, item.pszText ? item.pszText : "", CWIN_TEXT_SIZE - 1);
        text[CWIN_TEXT_SIZE - 1] = 0;
    }
    return text;
}

// The message answers the previous list (null the first time): success is
// whether the control holds the list afterwards.
bool CTControl::SetImageList(HIMAGELIST* list)
{
    if (!list || !hwnd)
        return false;
    SendMessageA(hwnd, TCM_SETIMAGELIST, 0, (LPARAM)*list);
    return (HIMAGELIST)SendMessageA(hwnd, TCM_GETIMAGELIST, 0, 0) == *list;
}

bool CTControl::ResetShownTab()
{
    shownTab = -1;
    return true;
}

bool CTControl::Show(bool show)
{
    if (!show) {
        for (int i = 0; i < pageCount; ++i)
            ShowWindow(pageWindow[i], SW_HIDE);
        return ShowWindow(hwnd, SW_HIDE) != FALSE;
    }
    int remembered = shownTab;
    shownTab = -1;
    ShowTab(remembered);
    return ShowWindow(hwnd, SW_SHOW) != FALSE;
}

bool CTControl::Layout(int parentWidth, int parentHeight)
{
    DWORD current = hwnd ? (DWORD)GetWindowLongA(hwnd, GWL_STYLE) : 0;
    if (current)
        style = current;
    CBaseWindow::Layout(parentWidth, parentHeight);
    clientRect = rect;
    RECT item;
    if (!hwnd || !SendMessageA(hwnd, TCM_GETITEMRECT, 0, (LPARAM)&item))
        return false;
    int rows = (int)SendMessageA(hwnd, TCM_GETROWCOUNT, 0, 0);
    if (!(style & TCS_VERTICAL)) {
        int m = item.left, h = item.bottom - item.top;
        if (!(style & TCS_BOTTOM)) {
            clientRect.top += rows * h + 2 * m;
            clientRect.bottom -= m;
        } else {
            clientRect.top += m;
            clientRect.bottom -= rows * h + 2 * m;
        }
        clientRect.left += m;
        clientRect.right -= m;
    } else {
        int m = item.top, w = item.right - item.left;
        if (!(style & TCS_RIGHT)) {
            clientRect.left += rows * w + 2 * m;
            clientRect.right -= m;
        } else {
            clientRect.left += m;
            clientRect.right -= rows * w + 2 * m;
        }
        clientRect.top += m;
        clientRect.bottom -= m;
    }
    return true;
}

bool CTControl::HandleNotify(NMHDR* header, WPARAM wParam, LRESULT* result, bool* passOn)
{
    if (header->code != (UINT)TCN_SELCHANGE)
        return false;
    ShowTab((int)SendMessageA(hwnd, TCM_GETCURSEL, 0, 0));
    return true;
}
