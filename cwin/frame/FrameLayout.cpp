// CFrameLayout: status bar, docked bars, the controls' layout and the minimum size.
#include "cwin/frame/FrameLayout.h"
#include "cwin/frame/StatusBar.h"

CFrameLayout::CFrameLayout(IWindowResources& frame, CControlTable& table, const CStatusBar& statusBar)
    : m_frame(frame), m_table(table), m_statusBar(statusBar), m_minWidth(-1), m_minHeight(-1),
      m_eraseBackground(false)
{
    SetRect(&m_freeArea, 0, 0, 0, 0);
}

void CFrameLayout::ReadClientArea()
{
    GetClientRect(m_frame.GetMainWindow(), &m_freeArea);
}

// A page that is a top-level window of its own comes first: what lies before
// it in the table is left alone.
int CFrameLayout::FirstControlToLayout() const
{
    for (int i = 0; i < m_table.GetControlCount(); ++i) {
        CBaseWindow* c = m_table.GetControl(i);
        if (c->GetKind() == KIND_DIALOG && !(c->Style() & WS_CHILD))
            return i;
    }
    return 0;
}

void CFrameLayout::TakeBarsOffFreeArea(int first)
{
    HWND statusBar = m_statusBar.GetWindow();
    if (statusBar) {
        SendMessageA(statusBar, WM_SIZE, 0, 0);
        RECT bar;
        if (GetWindowRect(statusBar, &bar))
            m_freeArea.bottom -= bar.bottom - bar.top;
    }
    for (int i = first; i < m_table.GetControlCount(); ++i) {
        CBaseWindow* c = m_table.GetControl(i);
        if (c->IsDeleted() || (c->GetKind() != KIND_REBAR && c->GetKind() != KIND_TOOLBAR))
            continue;
        RECT bar;
        if (!GetWindowRect(c->GetHandle(), &bar))
            continue;
        switch (c->Style() & (CCS_TOP | CCS_BOTTOM | CCS_VERT)) {
        case CCS_TOP:               m_freeArea.top += bar.bottom - bar.top; break;
        case CCS_BOTTOM:            m_freeArea.bottom -= bar.bottom - bar.top; break;
        case CCS_VERT | CCS_TOP:    m_freeArea.left += bar.right - bar.left; break;
        case CCS_VERT | CCS_BOTTOM: m_freeArea.right -= bar.right - bar.left; break;
        }
    }
}

void CFrameLayout::Arrange(int width, int height)
{
    HWND mainWindow = m_frame.GetMainWindow();
    if (width == 0 || height == 0 || !mainWindow)
        return;
    int first = FirstControlToLayout();
    GetClientRect(mainWindow, &m_freeArea);
    TakeBarsOffFreeArea(first);
    for (int i = first; i < m_table.GetControlCount(); ++i) {
        CBaseWindow* c = m_table.GetControl(i);
        if (c->IsDeleted())
            continue;
        if (c->Parent() == mainWindow) {
            c->Layout(m_freeArea.right - m_freeArea.left, m_freeArea.bottom - m_freeArea.top);
        } else {
            RECT client = {0, 0, 0, 0};
            GetClientRect(c->Parent(), &client);
            c->Layout(client.right, client.bottom);
        }
    }
    // A tab control places its pages on its own WM_SIZE.
    for (int i = first; i < m_table.GetControlCount(); ++i) {
        CBaseWindow* c = m_table.GetControl(i);
        RECT client;
        if (!c->IsDeleted() && c->GetKind() == KIND_TCONTROL && GetClientRect(c->GetHandle(), &client))
            SendMessageA(c->GetHandle(), WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    }
}

void CFrameLayout::LayoutAll()
{
    RECT client;
    HWND mainWindow = m_frame.GetMainWindow();
    if (mainWindow && GetClientRect(mainWindow, &client))
        Arrange(client.right, client.bottom);
}

bool CFrameLayout::SetMinimumClientSize(int width, int height, int eraseFlag)
{
    if (eraseFlag != -1)
        m_eraseBackground = eraseFlag != 0;
    HWND mainWindow = m_frame.GetMainWindow();
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, (DWORD)GetWindowLongA(mainWindow, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongA(mainWindow, GWL_EXSTYLE));
    m_minWidth = (r.left < 0 ? -r.left : r.left) + r.right;
    m_minHeight = (r.top < 0 ? -r.top : r.top) + r.bottom;
    return true;
}

bool CFrameLayout::OnSizing(RECT* dragged) const
{
    if (m_minWidth == -1 || !dragged)
        return false;
    bool changed = false;
    if (dragged->right - dragged->left < m_minWidth) {
        dragged->right = dragged->left + m_minWidth;
        changed = true;
    }
    if (dragged->bottom - dragged->top < m_minHeight) {
        dragged->bottom = dragged->top + m_minHeight;
        changed = true;
    }
    return changed;
}

bool CFrameLayout::ShowAllControls(bool show)
{
    for (int i = 0; i < m_table.GetControlCount(); ++i) {
        CBaseWindow* c = m_table.GetControl(i);
        if (!show)
            c->HideRememberingVisibility();
        else
            c->ShowIfVisibleBefore();
    }
    return true;
}
