// CRouter: the table of messages and the table of notifications.
#include "cwin/frame/Router.h"

#include <string.h>

CRouter::CRouter(IWindowResources& frame, CControlTable& table, CStatusBar& statusBar, CTrayIcon& tray,
                 CDragTracker& drag, CFrameLayout& layout)
    : m_frame(frame), m_table(table), m_statusBar(statusBar), m_tray(tray), m_drag(drag), m_layout(layout),
      m_commandTarget(NULL), m_inDialog(false), m_wantDefault(false)
{
    m_contextPoint.x = m_contextPoint.y = 0;
}

LRESULT CRouter::RouteForMainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* passOn)
{
    bool outerDialog = m_inDialog;
    m_inDialog = false;
    m_wantDefault = false;
    LRESULT result = RouteMessage(window, message, wParam, lParam);
    *passOn = m_wantDefault;
    m_inDialog = outerDialog;
    return result;
}

LRESULT CRouter::RouteForPage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* passOn)
{
    m_wantDefault = false;
    m_inDialog = true;
    LRESULT result = RouteMessage(window, message, wParam, lParam);
    m_inDialog = false;
    *passOn = m_wantDefault;
    return result;
}

LRESULT CRouter::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool passOn = true;
    LRESULT result = 0;

    // The tray row goes on through the rows below.
    if (m_tray.IsTrayMessage(message) && !m_inDialog)
        m_tray.OnMessage(lParam);

    switch (message) {
    case WM_DESTROY:
        if (!m_inDialog)
            m_tray.Remove();
        break;
    case WM_SIZE:
        m_layout.Arrange(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_ERASEBKGND:
        if (!m_inDialog && m_layout.ErasesBackground()) {
            result = 1;
            passOn = false;
        }
        break;
    case WM_SETCURSOR:
        m_statusBar.ShowHintOf((HWND)wParam);
        break;
    case WM_NOTIFY:
        result = RouteNotify(wParam, lParam);
        passOn = m_wantDefault;
        break;
    case WM_CONTEXTMENU:
        if (!m_inDialog)
            OnContextMenu(lParam);
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        if (OnControlColour(wParam, lParam, &result))
            passOn = false;
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
        if (window == m_frame.GetMainWindow())
            m_drag.OnMove(message, wParam, lParam);
        break;
    case WM_LBUTTONUP:
        if (m_drag.IsDragging())
            m_drag.OnMove(message, wParam, lParam);
        break;
    case WM_SIZING:
        if (m_layout.OnSizing(reinterpret_cast<RECT*>(lParam))) {
            result = 1;
            passOn = false;
        }
        break;
    }
    m_wantDefault = passOn;
    return result;
}

LRESULT CRouter::RouteNotify(WPARAM wParam, LPARAM lParam)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    m_wantDefault = true;
    if (!header)
        return 0;
    m_statusBar.OnNotify(header, wParam, lParam);
    if (header->code == (UINT)HDN_ENDTRACKA) {
        OnColumnResized(header, wParam, lParam);
        return 0;
    }
    // The sender is found through its own window (WindowObjectOf's binding).
    CBaseWindow* object = m_table.ObjectOf(header->hwndFrom);
    if (!object)
        return 0;
    bool passOn = true;
    LRESULT result = 0;
    object->PrepareEvent(lParam, wParam, lParam);
    if (!object->OnNotify(header, wParam, lParam, &result, &passOn)) {
        switch (header->code) {
        case LVN_BEGINDRAG:
        case TVN_BEGINDRAGA:
            m_drag.Start(object, header, wParam, m_inDialog);
            break;
        }
    }
    m_wantDefault = passOn;
    return result;
}

LRESULT CRouter::RouteCommand(WPARAM wParam, LPARAM lParam)
{
    int code = HIWORD(wParam);
    if (code != 0 && code != 1)
        return 0;
    CBaseWindow* object = m_table.ObjectOf((HWND)lParam);
    if (object) {
        // Only the selection controls have a selection to report; others give 0.
        INT_PTR selection = 0;
        if (code == 1) {
            IItemList* list = dynamic_cast<IItemList*>(object);
            selection = list ? list->GetCurSel() : 0;
        }
        object->PrepareEvent(selection, wParam, lParam);
        return object->Dispatch(EV_COMMAND);
    }
    if (!m_inDialog && m_commandTarget)
        return m_commandTarget->OnMenuCommand(LOWORD(wParam));
    return 0;
}

// ---- the rows' helpers

void CRouter::OnContextMenu(LPARAM lParam)
{
    GetCursorPos(&m_contextPoint);
    POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    POINT client = p;
    HWND mainWindow = m_frame.GetMainWindow();
    ScreenToClient(mainWindow, &client);
    CBaseWindow* object = m_table.ControlFromPoint(mainWindow, client.x, client.y);
    if (object)
        object->ShowPopupMenu(p.x, p.y);
}

bool CRouter::OnControlColour(WPARAM wParam, LPARAM lParam, LRESULT* brush)
{
    CBaseWindow* object = m_table.ObjectOf((HWND)lParam);
    if (!object || !object->BackBrush())
        return false;
    SetTextColor((HDC)wParam, object->TextColor());
    SetBkColor((HDC)wParam, object->BackColor());
    *brush = (LRESULT)object->BackBrush();
    return true;
}

CBaseWindow* CRouter::ListViewOfHeader(HWND header) const
{
    for (int i = 0; header && i < m_table.GetControlCount(); ++i) {
        CBaseWindow* c = m_table.GetControl(i);
        HWND list = c->GetHandle();
        if (c->GetKind() == KIND_LISTVIEW && list && (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0) == header)
            return c;
    }
    return NULL;
}

// A list's header sends it: the list reports the resized column.
void CRouter::OnColumnResized(NMHDR* header, WPARAM wParam, LPARAM lParam)
{
    CBaseWindow* list = ListViewOfHeader(header->hwndFrom);
    if (!list)
        return;
    list->PrepareEvent(lParam, wParam, lParam, (int)HDN_ENDTRACKA);
    list->Dispatch(EV_COLUMN_RESIZED);
}

// A scroll bar control's request moves its position, when its owner agrees.
bool CRouter::OnScrollBar(WPARAM wParam, LPARAM lParam)
{
    CBaseWindow* bar = lParam ? m_table.ObjectOf((HWND)lParam) : NULL;
    if (!bar)
        return false;
    SCROLLINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (!SendMessageA(bar->GetHandle(), SBM_GETSCROLLINFO, 0, (LPARAM)&info))
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
        SendMessageA(bar->GetHandle(), SBM_SETSCROLLINFO, TRUE, (LPARAM)&info);
    }
    return true;
}
