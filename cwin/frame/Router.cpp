// CAppFrame's router: Win32 messages and notifications of the windows that
// hold controls become events on the framework objects. A notification goes to
// the sending control's own rows first (CBaseWindow::OnNotify); the frame keeps
// the rows that are its own: the status bar, a list's header, drag and drop.
#include "cwin/frame/AppFrame.h"
#include "cwin/controls/BasicControls.h"

#include <string.h>

LRESULT CAppFrame::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool passOn = true;
    LRESULT result = 0;
    CBaseWindow* object = NULL;

    // The tray row goes on through the rows below.
    if (m_trayMessage && message == m_trayMessage && !inDialog)
        OnTrayMessage(lParam);

    switch (message) {
    case WM_DESTROY:
        if (!inDialog)
            RemoveTrayIcon();
        break;
    case WM_SIZE:
        LayoutControls(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_ERASEBKGND:
        if (!inDialog && m_eraseBackground) {
            result = 1;
            passOn = false;
        }
        break;
    case WM_SETCURSOR:
        if (m_statusBar)
            ShowStatusHint((HWND)wParam);
        break;
    case WM_NOTIFY:
        result = RouteNotify(window, wParam, lParam);
        passOn = wantDefault;
        break;
    case WM_CONTEXTMENU:
        if (!inDialog) {
            GetCursorPos(&m_contextPoint);
            POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
            POINT client = p;
            ScreenToClient(m_mainWindow, &client);
            object = ControlFromPoint(NULL, client.x, client.y);
            if (object)
                object->ShowPopupMenu(p.x, p.y);
        }
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        if (FindControlByWindow((HWND)lParam, &object) && object->backBrush) {
            SetTextColor((HDC)wParam, object->textColor);
            SetBkColor((HDC)wParam, object->backColor);
            result = (LRESULT)object->backBrush;
            passOn = false;
        }
        break;
    case WM_COMMAND:
        RouteCommand(wParam, lParam);
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (OnScrollBar(wParam, lParam)) {
            result = 0;
            passOn = false;
        }
        break;
    case WM_MOUSEMOVE:
        if (window == m_mainWindow)
            OnDragMove(message, wParam, lParam);
        break;
    case WM_LBUTTONUP:
        if (m_dragSource >= 0)
            OnDragMove(message, wParam, lParam);
        break;
    case WM_SIZING:
        if (OnSizing(reinterpret_cast<RECT*>(lParam))) {
            result = 1;
            passOn = false;
        }
        break;
    }
    wantDefault = passOn;
    return result;
}

LRESULT CAppFrame::RouteForPage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* passOn)
{
    wantDefault = false;
    inDialog = true;
    LRESULT result = RouteMessage(window, message, wParam, lParam);
    inDialog = false;
    *passOn = wantDefault;
    return result;
}

LRESULT CAppFrame::RouteCommand(WPARAM wParam, LPARAM lParam)
{
    int code = HIWORD(wParam);
    if (code != 0 && code != 1)
        return 0;
    CBaseWindow* object = NULL;
    if (FindControlByWindow((HWND)lParam, &object)) {
        object->PrepareEvent(0, wParam, lParam);
        if (code == 1)
            object->event.param = SelectionOf(object);
        return object->Dispatch(EV_COMMAND);
    }
    if (!inDialog && m_commandTarget)
        return m_commandTarget->OnMenuCommand(LOWORD(wParam));
    return 0;
}

// Only the selection controls have a selection to report; others give 0.
INT_PTR CAppFrame::SelectionOf(CBaseWindow* object)
{
    if (IItemList* list = dynamic_cast<IItemList*>(object))
        return list->GetCurSel();
    return 0;
}

CBaseWindow* CAppFrame::ListViewOfHeader(HWND header)
{
    for (int i = 0; header && i < controlCount; ++i) {
        CBaseWindow* c = controls[i];
        if (c->kind == KIND_LISTVIEW && c->hwnd && (HWND)SendMessageA(c->hwnd, LVM_GETHEADER, 0, 0) == header)
            return c;
    }
    return NULL;
}

LRESULT CAppFrame::RouteNotify(HWND window, WPARAM wParam, LPARAM lParam)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    wantDefault = true;
    if (!header)
        return 0;
    if (m_statusBar && header->hwndFrom == m_statusBar && m_statusNotify) {
        WindowEvent e;
        memset(&e, 0, sizeof(e));
        e.code = (int)header->code;
        e.aux = wParam;
        e.notify = lParam;
        switch (header->code) {
        case NM_CLICK: case NM_DBLCLK: case NM_RCLICK: case NM_RDBLCLK:
            e.param = (INT_PTR)reinterpret_cast<NMMOUSE*>(lParam)->dwItemSpec;
            break;
        }
        Lock();
        m_statusNotify(&e);
        Unlock();
    }

    if (header->code == (UINT)HDN_ENDTRACKA) {
        CBaseWindow* list = ListViewOfHeader(header->hwndFrom);
        if (list) {
            list->PrepareEvent(lParam, wParam, lParam);
            list->event.code = (int)HDN_ENDTRACKA;
            list->Dispatch(EV_COLUMN_RESIZED);
        }
        wantDefault = true;
        return 0;
    }

    CBaseWindow* object = NULL;
    if (!FindControlByWindow(header->hwndFrom, &object))
        return 0;
    bool passOn = true;
    LRESULT result = 0;
    object->PrepareEvent(lParam, wParam, lParam);

    if (!object->OnNotify(header, wParam, lParam, &result, &passOn)) {
        switch (header->code) {
        case LVN_BEGINDRAG:
        case TVN_BEGINDRAGA:
            StartDrag(object, header, wParam);
            break;
        }
    }
    wantDefault = passOn;
    return result;
}

// ---- the frame's own rows: scroll bars, drag and drop

bool CAppFrame::OnScrollBar(WPARAM wParam, LPARAM lParam)
{
    CBaseWindow* bar = NULL;
    if (!lParam || !FindControlByWindow((HWND)lParam, &bar))
        return false;
    SCROLLINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (!SendMessageA(bar->hwnd, SBM_GETSCROLLINFO, 0, (LPARAM)&info))
        return false;
    int position = info.nPos;
    switch (LOWORD(wParam)) {
    case SB_LINEUP:     position -= 1; break;
    case SB_LINEDOWN:   position += 1; break;
    case SB_PAGEUP:     position -= (int)info.nPage; break;
    case SB_PAGEDOWN:   position += (int)info.nPage; break;
    case SB_THUMBTRACK: position = HIWORD(wParam); break;
    default:            return false;
    }
    if (position < info.nMin)
        position = info.nMin;
    if (position > info.nMax)
        position = info.nMax;
    bar->PrepareEvent(position, wParam, lParam);
    if (bar->Dispatch(EV_DRAG)) {
        info.fMask = SIF_POS;
        info.nPos = position;
        SendMessageA(bar->hwnd, SBM_SETSCROLLINFO, TRUE, (LPARAM)&info);
    }
    return true;
}

bool CAppFrame::StartDrag(CBaseWindow* source, NMHDR* header, WPARAM wParam)
{
    int index = -1;
    for (int i = 0; i < controlCount && index < 0; ++i)
        if (controls[i] == source)
            index = i;
    if (index < 0)
        return false;
    source->PrepareEvent((INT_PTR)header, wParam, (LPARAM)header);
    if (!source->Dispatch(EV_DRAG))
        return false;
    m_dragSource = index;
    m_dragCapture = inDialog ? GetParent(source->hwnd) : m_mainWindow;
    SetCapture(m_dragCapture);
    return true;
}

void CAppFrame::OnDragMove(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_dragSource < 0 || m_dragSource >= controlCount)
        return;
    CBaseWindow* source = controls[m_dragSource];
    CBaseWindow* under = ControlFromPoint(m_dragCapture, (short)LOWORD(lParam), (short)HIWORD(lParam));
    source->PrepareEvent(under ? under->id : 0, wParam, lParam);
    source->event.code = message == WM_LBUTTONUP ? 514 : 512;
    source->Dispatch(EV_DRAG);
    if (message == WM_LBUTTONUP) {
        ReleaseCapture();
        m_dragSource = -1;
        m_dragCapture = NULL;
    }
}
