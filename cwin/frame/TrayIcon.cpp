// CTrayIcon: the notification-area icon and its menu.
#include "cwin/frame/TrayIcon.h"

#include <shellapi.h>
#include <string.h>

CTrayIcon::CTrayIcon(IWindowResources& frame, IEventGate& events)
    : m_frame(frame), m_events(events), m_message(0), m_menu(NULL), m_commandHandler(NULL), m_iconId(0)
{
}

bool CTrayIcon::Add(UINT callbackMessage, int iconId, const char* tip, HMENU menu, EventCallback commandHandler)
{
    NOTIFYICONDATAA data;
    memset(&data, 0, sizeof(data));
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = m_frame.GetMainWindow();
    data.uID = (UINT)(iconId & 0xFFFF);
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = callbackMessage;
    if (iconId) {
        data.uFlags |= NIF_ICON;
        data.hIcon = LoadIconA(m_frame.GetInstance(), MAKEINTRESOURCEA(iconId));
    }
    if (tip) {
        data.uFlags |= NIF_TIP;
        lstrcpynA(data.szTip, tip, 64);
    }
    if (!Shell_NotifyIconA(NIM_ADD, &data))
        return false;
    m_message = callbackMessage;
    if (menu)
        m_menu = menu;
    m_commandHandler = commandHandler;
    m_iconId = iconId;
    return true;
}

bool CTrayIcon::Remove()
{
    if (!m_iconId)
        return false;
    NOTIFYICONDATAA data;
    memset(&data, 0, sizeof(data));
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = m_frame.GetMainWindow();
    data.uID = (UINT)(m_iconId & 0xFFFF);
    BOOL done = Shell_NotifyIconA(NIM_DELETE, &data);
    UpdateWindow(GetDesktopWindow());
    m_iconId = 0;
    return done != FALSE;
}

void CTrayIcon::OnMessage(LPARAM mouse)
{
    HWND mainWindow = m_frame.GetMainWindow();
    if (mouse == WM_LBUTTONDBLCLK) {
        if (!IsWindowVisible(mainWindow))
            ShowWindow(mainWindow, SW_SHOW);
    } else if (mouse == WM_RBUTTONDOWN && m_menu) {
        POINT p;
        GetCursorPos(&p);
        int command = (int)TrackPopupMenuEx(m_menu, TPM_RETURNCMD, p.x, p.y, mainWindow, NULL);
        if (command > 0 && m_commandHandler) {
            WindowEvent e;
            memset(&e, 0, sizeof(e));
            e.eventCode = EV_MENU_COMMAND;
            e.param = command;
            m_events.Lock();
            m_commandHandler(&e);
            m_events.Unlock();
        }
    }
}
