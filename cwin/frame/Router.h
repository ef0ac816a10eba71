// CRouter: turns the Win32 messages and notifications of the windows that hold
// controls (the main window, dialog pages, subclassed controls) into events on
// the framework objects. A notification goes to its sender's own rows first
// (CBaseWindow::OnNotify); the rows that belong to the frame go to its parts.
#ifndef CWIN_ROUTER_H
#define CWIN_ROUTER_H

#include "cwin/frame/DragTracker.h"
#include "cwin/frame/FrameLayout.h"
#include "cwin/frame/StatusBar.h"
#include "cwin/frame/TrayIcon.h"

class CRouter : public IPageRouter
{
public:
    CRouter(IWindowResources& frame, CControlTable& table, CStatusBar& statusBar, CTrayIcon& tray,
            CDragTracker& drag, CFrameLayout& layout);
    CRouter(const CRouter&) = delete;
    CRouter& operator=(const CRouter&) = delete;

    // Receives the menu commands that no control claims.
    void SetCommandTarget(ICommandTarget* target) { m_commandTarget = target; }

    // A message of the main window (which may arrive while a page's message is
    // routed); *passOn: its previous procedure still has to see it.
    LRESULT RouteForMainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* passOn);
    LRESULT RouteForPage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* passOn) override;
    void EnterModalPage() override { m_table.EnterModalPage(); }
    void LeaveModalPage(CBaseWindow* page) override { m_table.LeaveModalPage(page); }
    POINT GetContextMenuPoint() const override { return m_contextPoint; }

    // Set by the router when the message it routed last still needs the
    // previous procedure.
    bool WantsDefault() const { return m_wantDefault; }

private:
    LRESULT RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT RouteNotify(WPARAM wParam, LPARAM lParam);
    LRESULT RouteCommand(WPARAM wParam, LPARAM lParam);
    void OnContextMenu(LPARAM lParam);
    bool OnControlColour(WPARAM wParam, LPARAM lParam, LRESULT* brush);
    bool OnScrollBar(WPARAM wParam, LPARAM lParam);
    void OnColumnResized(NMHDR* header, WPARAM wParam, LPARAM lParam);
    CBaseWindow* ListViewOfHeader(HWND header) const;

    IWindowResources& m_frame;
    CControlTable&    m_table;
    CStatusBar&       m_statusBar;
    CTrayIcon&        m_tray;
    CDragTracker&     m_drag;
    CFrameLayout&     m_layout;
    ICommandTarget*   m_commandTarget;
    POINT m_contextPoint;
    bool  m_inDialog;      // set while a page's or a subclassed control's message is routed
    bool  m_wantDefault;
};

#endif
