// CTrayIcon: the frame's icon in the notification area, its pop-up menu and
// the handler of the commands chosen from it.
#ifndef CWIN_TRAYICON_H
#define CWIN_TRAYICON_H

#include "cwin/window/Window.h"
#include "cwin/window/WindowOwner.h"

class CTrayIcon
{
public:
    CTrayIcon(IWindowResources& frame, IEventGate& events);
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // The icon of the module's resource iconId (none: 0) with a tip of at most
    // 63 characters; the shell sends callbackMessage to the main window.
    bool Add(UINT callbackMessage, int iconId, const char* tip, HMENU menu, EventCallback commandHandler);
    bool Remove();

    bool IsTrayMessage(UINT message) const { return m_message && message == m_message; }
    // A double click shows the main window, the right button the menu.
    void OnMessage(LPARAM mouse);

private:
    IWindowResources& m_frame;
    IEventGate&       m_events;
    UINT          m_message;
    HMENU         m_menu;
    EventCallback m_commandHandler;
    int           m_iconId;   // 0: no icon
};

#endif
